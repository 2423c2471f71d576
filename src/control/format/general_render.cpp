// The General rendering of numbers in a cell wide enough for them (the control's columns never
// cut a number off): whole numbers of up to 11 digits as they are, other numbers from 1E-04
// up to 11 integer digits in fixed notation with up to 15 significant digits (the precision
// the spreadsheet keeps), and everything else in scientific notation as a standard cell shows
// it (1.23457E+11, 1.2E-05).
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

#include "control/format/decimal_digits.h"
#include "control/format/format_code.h"

namespace engine::format {
namespace {

constexpr int kMaxIntegerDigits = 11;

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
  const DecimalDigits d15 = ToDecimal(x);
  const int e = d15.point - 1;
  if (e >= -4 && e < kMaxIntegerDigits) {
    const DecimalDigits& d = d15;
    if (d.point <= 0) {
      *p++ = '0';
      *p++ = '.';
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
  // Scientific: one digit, up to five decimals (four with a three-digit exponent).
  DecimalDigits d = d15;
  RoundSignificant(d, 6);
  int exponent = d.point - 1;
  if (exponent >= 100 || exponent <= -100) {
    d = d15;
    RoundSignificant(d, 5);
    exponent = d.point - 1;
  }
  *p++ = d.digits[0];
  if (d.count > 1) {
    *p++ = '.';
    for (int k = 1; k < d.count; ++k) *p++ = d.digits[k];
  }
  *p++ = 'E';
  *p++ = exponent < 0 ? '-' : '+';
  int a = exponent < 0 ? -exponent : exponent;
  if (a < 10) *p++ = '0';
  return std::to_chars(p, p + 4, a).ptr;
}

// The same text by a shorter way for the common decimals: the shortest form that reads back as
// the number, in fixed notation, is the General form when it has at most 15 significant
// digits (rounding to 15 digits then changes nothing) and the number lies where General
// shows fixed notation. Anything else goes the full way.
char* WriteGeneralShort(double x, char* p) {
  const double a = x < 0 ? -x : x;
  if (a >= 1e-4 && a < 1e11 && a != std::floor(a)) {
    char* q = p;
    if (x < 0) *q++ = '-';
    const auto r = std::to_chars(q, p + 40, a, std::chars_format::fixed);
    if (r.ec == std::errc()) {
      int digits = 0;
      bool significant = false;
      for (const char* c = q; c < r.ptr; ++c) {
        if (*c == '.') continue;
        significant = significant || *c != '0';
        digits += significant;
      }
      if (digits <= 15) return r.ptr;
    }
  }
  return WriteGeneral(x, p);
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

void AssignGeneral(double number, const LocaleSettings& locale, std::string& out) {
  char buf[48];
  char* end = WriteGeneralShort(number, buf);
  if (locale.decimalSeparator == ".") {
    out.assign(buf, end);
    return;
  }
  out.clear();
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
