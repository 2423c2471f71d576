#include "control/format/decimal_digits.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace engine::format {
namespace {

// Reads to_chars' scientific form "d.ddde±x" into `d`.
void ReadScientific(const char* p, const char* end, DecimalDigits& d) {
  d.count = 0;
  int exponent = 0;
  for (; p < end && *p != 'e'; ++p)
    if (*p != '.' && d.count < static_cast<int>(sizeof d.digits)) d.digits[d.count++] = *p;
  if (p < end) std::from_chars(p + 1 + (p[1] == '+'), end, exponent);
  d.point = exponent + 1;
  while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
}

void StripTrailingZeros(DecimalDigits& d) {
  while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
}

}  // namespace

DecimalDigits ToDecimal(double value) {
  DecimalDigits d;
  if (!(value > 0)) return d;
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
  ReadScientific(buf, r.ptr, d);
  // The shortest form that reads back as the same number, rounded half up to the 15 digits
  // the spreadsheet keeps: 266.33056045725948 (shortest 266.3305604572595) shows as
  // 266.33056045726, as spreadsheets display it.
  if (d.count > 15) RoundSignificant(d, 15);
  return d;
}

void RoundSignificant(DecimalDigits& d, int significant) {
  if (significant < 1) significant = 1;
  if (d.count <= significant) return;
  RoundDecimals(d, significant - d.point);
}

void RoundDecimals(DecimalDigits& d, int decimals) {
  if (d.count == 0) return;
  long keep = static_cast<long>(d.point) + decimals;
  if (keep >= d.count) return;
  if (keep < 0) {
    d.count = 0;
    d.point = 0;
    return;
  }
  bool up = d.digits[keep] >= '5';
  d.count = static_cast<int>(keep);
  if (up) {
    int i = d.count - 1;
    while (i >= 0 && d.digits[i] == '9') --i;
    if (i < 0) {
      // All nines (or nothing kept): the value becomes the next power of ten.
      d.digits[0] = '1';
      d.count = 1;
      ++d.point;
      return;
    }
    ++d.digits[i];
    d.count = i + 1;
  }
  StripTrailingZeros(d);
  if (d.count == 0) d.point = 0;
}

}  // namespace engine::format
