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

// Powers of ten, each exact in a double.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                             1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};

// A number from 1E-04 below 1E+11 that is not whole, in fixed notation with the fewest digits
// that read back as it, when 15 significant digits or fewer do; nullptr otherwise. The
// 15-digit decimals lie further apart than neighbouring doubles, so at most one of them reads
// back as `a`, and it is the one nearest a × 10^scale: when that one reads back, its digits
// without trailing zeros are the shortest form (any shorter form is a 15-digit decimal too).
char* WriteFixedShort(double a, char* p) {
  // Few decimals first, the common case: the first count of decimals whose nearest decimal
  // reads back as `a` gives the shortest form (a × 10^d below 10^15, so that at most one
  // decimal with d decimals reads back as it and rounding a × 10^d finds it).
  if (a >= 1) {
    for (int d = 1; d <= 4; ++d) {
      const double y = a * kPow10[d];
      if (!(y < 1e15)) break;
      const std::uint64_t m = static_cast<std::uint64_t>(y + 0.5);
      if (static_cast<double>(m) / kPow10[d] != a) continue;
      char digits[24];
      const int n = static_cast<int>(std::to_chars(digits, digits + sizeof digits, m).ptr - digits);
      if (n <= d) break;  // not of the form this writes: the general way below decides
      for (int k = 0; k < n - d; ++k) *p++ = digits[k];
      *p++ = '.';
      for (int k = n - d; k < n; ++k) *p++ = digits[k];
      return p;
    }
  }
  int e = 0;  // a lies in [10^e, 10^(e+1)), -4 <= e <= 10; a wrong guess fails the check below
  if (a >= 1) {
    while (e < 10 && a >= kPow10[e + 1]) ++e;
  } else {
    e = -1;
    while (e > -4 && a * kPow10[-e] < 1) --e;
  }
  const int scale = 14 - e;  // a × 10^scale has 15 digits before the point
  const double y = a * kPow10[scale];
  if (!(y >= 1e14 - 0.5 && y < 1e15 - 0.5)) return nullptr;
  const std::uint64_t m = static_cast<std::uint64_t>(y + 0.5);
  if (m < 100000000000000ULL || m >= 1000000000000000ULL) return nullptr;
  if (static_cast<double>(m) / kPow10[scale] != a) return nullptr;  // does not read back
  char digits[16];
  std::to_chars(digits, digits + sizeof digits, m);  // exactly 15 digits
  int n = 15;
  while (n > 0 && digits[n - 1] == '0') --n;
  const int whole = e + 1;         // digits before the point, when a >= 1
  if (n <= whole) return nullptr;  // a whole number: not ours
  if (whole > 0) {
    for (int k = 0; k < whole; ++k) *p++ = digits[k];
    *p++ = '.';
    for (int k = whole; k < n; ++k) *p++ = digits[k];
  } else {
    *p++ = '0';
    *p++ = '.';
    for (int k = whole; k < 0; ++k) *p++ = '0';
    for (int k = 0; k < n; ++k) *p++ = digits[k];
  }
  return p;
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
    if (char* end = WriteFixedShort(a, q)) return end;
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
  // Whole numbers from 1 below 10^11, the most common, as their digits.
  if (number >= 1 && number < 1e11) {
    const auto whole = static_cast<std::uint64_t>(number);
    if (static_cast<double>(whole) == number) {
      out.assign(buf, std::to_chars(buf, buf + sizeof buf, whole).ptr);
      return;
    }
  }
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
