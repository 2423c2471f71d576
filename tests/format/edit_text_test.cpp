#include <gtest/gtest.h>

#include "render_helpers.h"

namespace engine::format::test {
namespace {

std::string Edit(const std::string& code, double v,
                 const LocaleSettings& locale = LocaleSettings::EnUs()) {
  return EditText(*ParseNumberFormat(code), v, locale);
}

TEST(EditText, NumbersInFull) {
  EXPECT_EQ(Edit("General", 3.14159265358979), "3.14159265358979");
  EXPECT_EQ(Edit("0.00", 1234.5678), "1234.5678");
  EXPECT_EQ(Edit("#,##0", 1e20), "1E+20");
  EXPECT_EQ(Edit("0", -0.5), "-0.5");
  EXPECT_EQ(Edit("0.00", 2.5, GermanLocale()), "2,5");
}

TEST(EditText, PercentagesKeepTheirPrecision) {
  EXPECT_EQ(Edit("0%", 0.12345), "12.345%");
  EXPECT_EQ(Edit("0%", 0.07), "7%");
  EXPECT_EQ(Edit("0.00%", -0.5), "-50%");
}

TEST(EditText, DatesAndTimes) {
  EXPECT_EQ(Edit("d-mmm-yy", 45306), "1/15/2024");
  EXPECT_EQ(Edit("m/d/yyyy h:mm", 45306.75), "1/15/2024 6:00:00 PM");
  EXPECT_EQ(Edit("h:mm", 0.75), "6:00:00 PM");
  EXPECT_EQ(Edit("h:mm", 0), "12:00:00 AM");
  EXPECT_EQ(Edit("[h]:mm", 1.0625), "1/1/1900 1:30:00 AM");
  EXPECT_EQ(Edit("yyyy", 45306, GermanLocale()), "15.01.2024");
  LocaleSettings quoted;
  quoted.shortDateFormat = "d 'de' MMMM 'de' yyyy";
  EXPECT_EQ(Edit("m/d/yyyy", 45306, quoted), "15 de January de 2024");
}

TEST(EditText, DatesOutsideTheCalendarShowTheNumber) {
  EXPECT_EQ(Edit("m/d/yyyy", -3), "-3");
  EXPECT_EQ(Edit("m/d/yyyy", 1e300), "1E+300");
  EXPECT_EQ(Edit("h:mm", -0.5), "-0.5");
}

}  // namespace
}  // namespace engine::format::test
