#include "control/format/decimal_digits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

namespace engine::format {
namespace {

std::string Digits(const DecimalDigits& d) {
  return std::string(d.digits, static_cast<std::size_t>(d.count)) + "@" + std::to_string(d.point);
}

// The reference: the exact expansion rounded to 15 significant digits by the library.
std::string Reference(double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
  std::string s(buf, r.ptr);
  auto e = s.find('e');
  std::string digits;
  for (std::size_t k = 0; k < e; ++k)
    if (s[k] != '.') digits += s[k];
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  return digits + "@" + std::to_string(std::stoi(s.substr(e + 1)) + 1);
}

// Whether the shortest form has 16 digits ending in 5: the one case where rounding it and
// rounding the exact value may differ.
bool ShortestEndsOnMidpoint(double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
  std::string s(buf, r.ptr);
  std::string digits = s.substr(0, s.find('e'));
  digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
  return digits.size() == 16 && digits.back() == '5';
}

TEST(DecimalDigits, AgreesWithTheExactExpansionAtFifteenDigits) {
  std::mt19937_64 rng(12345);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-30, 30);
  for (int k = 0; k < 50000; ++k) {
    double v = mantissa(rng) * std::pow(10.0, exponent(rng));
    if (ShortestEndsOnMidpoint(v)) continue;
    ASSERT_EQ(Digits(ToDecimal(v)), Reference(v)) << v;
  }
  for (double v : {0.1 + 0.2, 1.005, 2.675, 1e-300, 1.7976931348623157e308, 123456789012345678.0})
    EXPECT_EQ(Digits(ToDecimal(v)), Reference(v)) << v;
}

TEST(DecimalDigits, RoundsTheShortestFormOnAMidpoint) {
  // Exactly 266.330560457259480…, shortest form 266.3305604572595.
  EXPECT_EQ(Digits(ToDecimal(266.33056045725948)), "26633056045726@3");
  EXPECT_EQ(Digits(ToDecimal(804.56948451403548)), "804569484514036@3");
}

TEST(DecimalDigits, RoundsHalfAwayFromZero) {
  DecimalDigits d = ToDecimal(0.125);
  RoundDecimals(d, 2);
  EXPECT_EQ(Digits(d), "13@0");
  d = ToDecimal(9.995);
  RoundDecimals(d, 2);
  EXPECT_EQ(Digits(d), "1@2");  // carries into a new digit: 10.00
  d = ToDecimal(0.004);
  RoundDecimals(d, 2);
  EXPECT_TRUE(d.IsZero());
  d = ToDecimal(0.006);
  RoundDecimals(d, 2);
  EXPECT_EQ(Digits(d), "1@-1");
  d = ToDecimal(1250);
  RoundDecimals(d, -2);
  EXPECT_EQ(Digits(d), "13@4");
  d = ToDecimal(123456);
  RoundSignificant(d, 2);
  EXPECT_EQ(Digits(d), "12@6");
}

}  // namespace
}  // namespace engine::format
