// Rendering of date and time sections from a date serial (days, with the time of day as the
// fraction).
#include <cmath>

#include "control/format/format_code.h"
#include "control/format/serial_date.h"

namespace engine::format {
namespace {

constexpr const char* kMonthNames[] = {"January", "February", "March",     "April",
                                       "May",     "June",     "July",      "August",
                                       "September", "October", "November", "December"};
constexpr const char* kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};

// A date the system cannot show fills the cell with this.
constexpr const char* kNoDate = "########";

void AppendPadded(long long n, int width, std::string& out) {
  std::string digits = std::to_string(n);
  for (int k = static_cast<int>(digits.size()); k < width; ++k) out += '0';
  out += digits;
}

}  // namespace

void RenderDateSection(const Section& s, double value, const LocaleSettings& locale,
                       bool date1904, std::string& out) {
  const int maxSerial = MaxDateSerial(date1904);
  if (!(value >= 0) || value >= maxSerial + 1.0) {
    out += kNoDate;
    return;
  }
  // The serial is rounded to the finest unit shown (whole seconds unless the format shows
  // fractions of a second); minutes and hours are then truncated, as the clock reads.
  long long unit = 1;
  for (int k = 0; k < s.fracSecDigits; ++k) unit *= 10;
  const long long perDay = 86400 * unit;
  auto total = static_cast<long long>(std::floor(value * static_cast<double>(perDay) + 0.5));
  long long days = total / perDay;
  if (days > maxSerial) {
    out += kNoDate;
    return;
  }
  long long rem = total % perDay;
  long long hour = rem / (3600 * unit);
  long long minute = rem / (60 * unit) % 60;
  long long second = rem / unit % 60;
  long long fraction = rem % unit;
  CivilDate date;
  if (s.hasDate) date = SerialToDate(static_cast<int>(days), date1904);
  for (const Token& t : s.tokens) {
    switch (t.kind) {
      case Tok::Literal:
        out += t.text;
        break;
      case Tok::Year2:
        AppendPadded(date.year % 100, 2, out);
        break;
      case Tok::Year4:
        AppendPadded(date.year, 4, out);
        break;
      case Tok::Month:
        AppendPadded(date.month, 1, out);
        break;
      case Tok::Month2:
        AppendPadded(date.month, 2, out);
        break;
      case Tok::MonthAbbr:
        out.append(kMonthNames[date.month - 1], 3);
        break;
      case Tok::MonthFull:
        out += kMonthNames[date.month - 1];
        break;
      case Tok::MonthLetter:
        out += kMonthNames[date.month - 1][0];
        break;
      case Tok::Day:
        AppendPadded(date.day, 1, out);
        break;
      case Tok::Day2:
        AppendPadded(date.day, 2, out);
        break;
      case Tok::DayAbbr:
        out.append(kDayNames[SerialWeekday(static_cast<int>(days), date1904)], 3);
        break;
      case Tok::DayFull:
        out += kDayNames[SerialWeekday(static_cast<int>(days), date1904)];
        break;
      case Tok::Hour:
      case Tok::Hour2: {
        long long h = hour;
        if (s.hasAmPm) h = h % 12 == 0 ? 12 : h % 12;
        AppendPadded(h, t.kind == Tok::Hour2 ? 2 : 1, out);
        break;
      }
      case Tok::Minute:
        AppendPadded(minute, 1, out);
        break;
      case Tok::Minute2:
        AppendPadded(minute, 2, out);
        break;
      case Tok::Second:
        AppendPadded(second, 1, out);
        break;
      case Tok::Second2:
        AppendPadded(second, 2, out);
        break;
      case Tok::FracSecond: {
        out += locale.decimalSeparator;
        std::string digits;
        AppendPadded(fraction, s.fracSecDigits, digits);
        out.append(digits, 0, static_cast<std::size_t>(t.count));
        break;
      }
      case Tok::AmPm:
        out += hour < 12 ? locale.amText : locale.pmText;
        break;
      case Tok::AP:
        out += hour < 12 ? t.text[0] : t.text[1];
        break;
      case Tok::ElapsedHours:
        AppendPadded(total / (3600 * unit), t.count, out);
        break;
      case Tok::ElapsedMinutes:
        AppendPadded(total / (60 * unit), t.count, out);
        break;
      case Tok::ElapsedSeconds:
        AppendPadded(total / unit, t.count, out);
        break;
      default:
        break;
    }
  }
}

void RenderTextSection(const Section& s, const std::string& text, std::string& out) {
  for (const Token& t : s.tokens) {
    if (t.kind == Tok::TextValue)
      out += text;
    else if (t.kind == Tok::Literal)
      out += t.text;
  }
}

}  // namespace engine::format
