// The edit-line text of a number: what a person would type to enter the same value again.
#include <charconv>
#include <cmath>

#include "control/format/format_code.h"
#include "control/format/number_format.h"
#include "control/format/serial_date.h"

namespace engine::format {
namespace {

std::string FullNumber(double v, const LocaleSettings& locale) {
  if (!std::isfinite(v)) return "#NUM!";
  if (v == 0) return "0";
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
  std::string s;
  for (char* p = buf; p < r.ptr; ++p) {
    if (*p == '.')
      s += locale.decimalSeparator;
    else
      s += *p == 'e' ? 'E' : *p;
  }
  return s;
}

// The locale's short date format, parsed once for as long as the locale keeps it.
const NumberFormat& ShortDateFormat(const LocaleSettings& locale) {
  thread_local std::string code;
  thread_local std::shared_ptr<const NumberFormat> parsed;
  std::string wanted = ShortDateCode(locale);
  if (!parsed || wanted != code) {
    code = wanted;
    parsed = ParseNumberFormat(code);
  }
  return *parsed;
}

const NumberFormat& TimeOfDayFormat() {
  static const auto parsed = ParseNumberFormat("h:mm:ss AM/PM");
  return *parsed;
}

}  // namespace

std::string EditText(const NumberFormat& format, double number, const LocaleSettings& locale,
                     bool date1904) {
  const FormatCategory category = Category(format);
  if (category == FormatCategory::Percent) return FullNumber(number * 100, locale) + "%";
  if (!IsDateOrTime(format) || !(number >= 0) || number >= MaxDateSerial(date1904) + 1.0)
    return FullNumber(number, locale);
  const bool whole = number == std::floor(number);
  const bool showTime = !whole || category == FormatCategory::Time;
  const bool showDate = number >= 1 || category != FormatCategory::Time;
  std::string out;
  if (showDate) out = Render(ShortDateFormat(locale), Value::Number(number), locale, date1904);
  if (showTime) {
    if (!out.empty()) out += ' ';
    out += Render(TimeOfDayFormat(), Value::Number(number), locale, date1904);
  }
  return out;
}

}  // namespace engine::format
