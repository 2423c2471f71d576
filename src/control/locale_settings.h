#pragma once
// The regional settings the engine interprets and displays values with. The platform supplies
// them; the headless default is en_US. Nothing in the engine reads the process locale.

#include <string>

namespace engine {

enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

struct LocaleSettings {
  std::string shortDateFormat = "M/d/yyyy";  // as a number-format code
  DateOrder dateOrder = DateOrder::MonthDayYear;
  std::string decimalSeparator = ".";
  std::string thousandsSeparator = ",";
  std::string currencySymbol = "$";
  bool currencyBefore = true;  // $1.00 rather than 1.00 $
  bool currencySpace = false;  // a space between symbol and number
  std::string amText = "AM";
  std::string pmText = "PM";
  std::string defaultFontFace = "Arial";
  int defaultFontSize = 10;
  std::string language = "en";  // "en" or "ja": the language of messages

  static LocaleSettings EnUs() { return LocaleSettings{}; }
};

}  // namespace engine
