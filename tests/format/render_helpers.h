#pragma once
// Shortcuts for rendering with a code in the tests.

#include <string>

#include "control/format/number_format.h"

namespace engine::format::test {

inline LocaleSettings GermanLocale() {
  LocaleSettings l;
  l.shortDateFormat = "dd.MM.yyyy";
  l.dateOrder = DateOrder::DayMonthYear;
  l.decimalSeparator = ",";
  l.thousandsSeparator = ".";
  l.currencySymbol = "\u20AC";
  l.currencyBefore = false;
  l.currencySpace = true;
  return l;
}

inline std::string Show(const std::string& code, double v,
                        const LocaleSettings& locale = LocaleSettings::EnUs(),
                        bool date1904 = false) {
  return Render(*ParseNumberFormat(code), Value::Number(v), locale, date1904);
}

inline std::string ShowText(const std::string& code, const std::string& text) {
  return Render(*ParseNumberFormat(code), Value::Text(text), LocaleSettings::EnUs());
}

inline std::string General(double v, const LocaleSettings& locale = LocaleSettings::EnUs()) {
  return RenderGeneral(v, locale);
}

}  // namespace engine::format::test
