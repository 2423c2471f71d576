#pragma once
// A positive number as the spreadsheet sees it for display: its shortest decimal form rounded
// to at most 15 significant digits, so that 1.005 is 1.005 and not 1.00499999999999989…;
// rounding is half away from zero.

namespace engine::format {

struct DecimalDigits {
  char digits[24];  // significant digits without leading or trailing zeros
  int count = 0;    // 0 for zero
  int point = 0;    // digits before the decimal point: value = 0.d1d2… × 10^point

  bool IsZero() const { return count == 0; }
  // The digit at 10^(point-1-k) for any k; zeros outside the significant digits.
  char At(int k) const { return k >= 0 && k < count ? digits[k] : '0'; }
};

// `value` must be finite and ≥ 0.
DecimalDigits ToDecimal(double value);

// Rounds half away from zero to `decimals` digits after the decimal point (negative: to tens,
// hundreds …).
void RoundDecimals(DecimalDigits& d, int decimals);

// Rounds half away from zero to `significant` digits (≥ 1).
void RoundSignificant(DecimalDigits& d, int significant);

}  // namespace engine::format
