#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render_helpers.h"

namespace engine::format::test {
namespace {

TEST(GeneralRender, WholeNumbersUpToElevenDigitsStandAsTheyAre) {
  EXPECT_EQ(General(0), "0");
  EXPECT_EQ(General(-0.0), "0");
  EXPECT_EQ(General(7), "7");
  EXPECT_EQ(General(-42), "-42");
  EXPECT_EQ(General(12345678901), "12345678901");
  EXPECT_EQ(General(-99999999999), "-99999999999");
}

TEST(GeneralRender, LargerNumbersTurnScientific) {
  EXPECT_EQ(General(123456789012), "1.23457E+11");
  EXPECT_EQ(General(100000000000), "1E+11");
  EXPECT_EQ(General(-123456789012), "-1.23457E+11");
  EXPECT_EQ(General(1e100), "1E+100");
  EXPECT_EQ(General(1.23456789e200), "1.2346E+200");
  EXPECT_EQ(General(999999999999.7), "1E+12");
}

TEST(GeneralRender, DecimalsShowFifteenSignificantDigits) {
  EXPECT_EQ(General(1.5), "1.5");
  EXPECT_EQ(General(0.1 + 0.2), "0.3");
  EXPECT_EQ(General(569.203874822212), "569.203874822212");
  EXPECT_EQ(General(1234.56789012), "1234.56789012");
  EXPECT_EQ(General(3.14159265358979), "3.14159265358979");
  EXPECT_EQ(General(0.221705854730692), "0.221705854730692");
  EXPECT_EQ(General(2.0 / 3.0), "0.666666666666667");
  EXPECT_EQ(General(12345678901.5), "12345678901.5");
  EXPECT_EQ(General(99999999999.7), "99999999999.7");
  EXPECT_EQ(General(-1.25), "-1.25");
  EXPECT_EQ(General(1.0000000000000002), "1");
}

TEST(GeneralRender, SmallNumbers) {
  EXPECT_EQ(General(0.0001), "0.0001");
  EXPECT_EQ(General(0.000123456789), "0.000123456789");
  EXPECT_EQ(General(0.00001), "1E-05");
  EXPECT_EQ(General(0.000012), "1.2E-05");
  EXPECT_EQ(General(0.0000123456789), "1.23457E-05");
  EXPECT_EQ(General(1.23456789e-20), "1.23457E-20");
  EXPECT_EQ(General(-0.00001), "-1E-05");
}

TEST(GeneralRender, UsesTheLocaleDecimalSeparator) {
  EXPECT_EQ(General(1234.5, GermanLocale()), "1234,5");
  EXPECT_EQ(General(1.5e-7, GermanLocale()), "1,5E-07");
  EXPECT_EQ(General(12, GermanLocale()), "12");
}

TEST(GeneralRender, NonFiniteNumbersShowAnError) {
  EXPECT_EQ(General(std::numeric_limits<double>::infinity()), "#NUM!");
  EXPECT_EQ(General(std::nan("")), "#NUM!");
}

TEST(GeneralRender, OtherValueKinds) {
  auto general = ParseNumberFormat("General");
  const auto l = LocaleSettings::EnUs();
  EXPECT_EQ(Render(*general, Value::Text("abc "), l), "abc ");
  EXPECT_EQ(Render(*general, Value::Logical(true), l), "TRUE");
  EXPECT_EQ(Render(*general, Value::Logical(false), l), "FALSE");
  EXPECT_EQ(Render(*general, Value::Error(ErrorValue::Div0), l), "#DIV/0!");
  EXPECT_EQ(Render(*general, Value::Empty(), l), "");
  EXPECT_EQ(Render(*general, Value::Number(2.5), l), "2.5");
}

}  // namespace
}  // namespace engine::format::test
