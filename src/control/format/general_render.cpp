// The General rendering of numbers: what a standard-width cell shows, at most 11 characters
// (the sign not counted), in fixed notation from 1E-04 to 11 integer digits and in scientific
// notation (1.23457E+11, 1.2E-05) outside that.
#include <charconv>
#include <cmath>
#include <cstdint>

#include "control/format/decimal_digits.h"
#include "control/format/format_code.h"

namespace engine::format {
namespace {

constexpr int kWidth = 11;

// Writes the General form with '.' as the decimal point; returns the end of the text.
char* WriteGeneral(double x, char* p) {
  if (!std::isfinite(x)) {
    for (const char* s = "#NUM!"; *s; ++s) *p++ = *s;
    return p;
  }
  if (x == 0) {  // also -0
    *p++ = '0';
    return p;
  }
  if (x < 0) {
    *p++ = '-';
    x = -x;
  }
  if (x < 1e11 && x == std::floor(x)) {  // whole numbers of up to 11 digits: the common case
    return std::to_chars(p, p + 24, static_cast<std::uint64_t>(x)).ptr;
  }
  const DecimalDigits exact = ToDecimal(x);
  int e = exact.point - 1;
  if (e >= -4 && e < kWidth) {
    DecimalDigits d = exact;
    // Leading "0." and zeros of small numbers count against the width like integer digits.
    int decimals = kWidth - 2 - (e > 0 ? e : 0);
    RoundDecimals(d, decimals > 0 ? decimals : 0);
    if (d.point <= kWidth) {
      if (d.point <= 0) {
        *p++ = '0';
        if (d.count) *p++ = '.';
        for (int k = d.point; k < 0; ++k) *p++ = '0';
        for (int k = 0; k < d.count; ++k) *p++ = d.digits[k];
      } else {
        for (int k = 0; k < d.point; ++k) *p++ = d.At(k);
        if (d.count > d.point) {
          *p++ = '.';
          for (int k = d.point; k < d.count; ++k) *p++ = d.digits[k];
        }
      }
      return p;
    }
  }
  // Scientific: one digit, up to five decimals (four with a three-digit exponent).
  DecimalDigits d = exact;
  RoundSignificant(d, 6);
  e = d.point - 1;
  if (e >= 100 || e <= -100) {
    d = exact;
    RoundSignificant(d, 5);
    e = d.point - 1;
  }
  *p++ = d.digits[0];
  if (d.count > 1) {
    *p++ = '.';
    for (int k = 1; k < d.count; ++k) *p++ = d.digits[k];
  }
  *p++ = 'E';
  *p++ = e < 0 ? '-' : '+';
  int a = e < 0 ? -e : e;
  if (a < 10) *p++ = '0';
  return std::to_chars(p, p + 4, a).ptr;
}

}  // namespace

void AppendGeneral(double number, const LocaleSettings& locale, std::string& out) {
  char buf[48];
  char* end = WriteGeneral(number, buf);
  if (locale.decimalSeparator == ".") {
    out.append(buf, end);
    return;
  }
  for (char* p = buf; p < end; ++p) {
    if (*p == '.')
      out += locale.decimalSeparator;
    else
      out += *p;
  }
}

std::string RenderGeneral(double number, const LocaleSettings& locale) {
  char buf[48];
  char* end = WriteGeneral(number, buf);
  if (locale.decimalSeparator == ".") return std::string(buf, end);
  std::string out;
  AppendGeneral(number, locale, out);
  return out;
}

}  // namespace engine::format
