#include <gtest/gtest.h>

#include "render_helpers.h"

namespace engine::format::test {
namespace {

FormatCategory Cat(const std::string& code) { return Category(*ParseNumberFormat(code)); }

TEST(FormatCategory, ByTheFirstSection) {
  EXPECT_EQ(Cat("General"), FormatCategory::General);
  EXPECT_EQ(Cat("general"), FormatCategory::General);
  EXPECT_EQ(Cat(""), FormatCategory::General);
  EXPECT_EQ(Cat("0.00"), FormatCategory::Number);
  EXPECT_EQ(Cat("#,##0_);[Red](#,##0)"), FormatCategory::Number);
  EXPECT_EQ(Cat("\"$\"#,##0.00"), FormatCategory::Currency);
  EXPECT_EQ(Cat("#,##0.00 \u20AC"), FormatCategory::Currency);
  EXPECT_EQ(Cat("[$kr-41D] #,##0"), FormatCategory::Currency);
  EXPECT_EQ(Cat("0%"), FormatCategory::Percent);
  EXPECT_EQ(Cat("# ?/?"), FormatCategory::Fraction);
  EXPECT_EQ(Cat("0.00E+00"), FormatCategory::Scientific);
  EXPECT_EQ(Cat("m/d/yyyy"), FormatCategory::Date);
  EXPECT_EQ(Cat("dd.MM.yyyy"), FormatCategory::Date);
  EXPECT_EQ(Cat("d-mmm"), FormatCategory::Date);
  EXPECT_EQ(Cat("h:mm AM/PM"), FormatCategory::Time);
  EXPECT_EQ(Cat("[h]:mm:ss"), FormatCategory::Time);
  EXPECT_EQ(Cat("mm:ss"), FormatCategory::Time);
  EXPECT_EQ(Cat("m/d/yyyy h:mm"), FormatCategory::DateTime);
  EXPECT_EQ(Cat("@"), FormatCategory::Text);
  EXPECT_EQ(Cat("\"mm\"0"), FormatCategory::Number);  // quoted letters are not date tokens
  EXPECT_TRUE(IsDateOrTime(*ParseNumberFormat("yyyy")));
  EXPECT_FALSE(IsDateOrTime(*ParseNumberFormat("0.00")));
}

TEST(FormatCode, KeepsTheCodeExactly) {
  auto f = ParseNumberFormat(" #,##0.00;[Red]-0 ");
  EXPECT_EQ(FormatCode(*f), " #,##0.00;[Red]-0 ");
}

TEST(BuiltinFormats, CodesOfTheCommonIds) {
  EXPECT_EQ(BuiltinFormatCode(0), "General");
  EXPECT_EQ(BuiltinFormatCode(4), "#,##0.00");
  EXPECT_EQ(BuiltinFormatCode(9), "0%");
  EXPECT_EQ(BuiltinFormatCode(14), "m/d/yyyy");
  EXPECT_EQ(BuiltinFormatCode(22), "m/d/yyyy h:mm");
  EXPECT_EQ(BuiltinFormatCode(49), "@");
  EXPECT_EQ(BuiltinFormatCode(23), "");
  EXPECT_EQ(BuiltinFormatCode(50), "");
  EXPECT_EQ(BuiltinFormatCode(-1), "");
}

TEST(BuiltinFormats, EveryCodeRendersAsExpected) {
  const double v = 1234.5;
  const std::pair<int, const char*> expected[] = {
      {1, "1235"},           {2, "1234.50"},        {3, "1,235"},
      {5, "$1,235 "},        {7, "$1,234.50 "},     {8, "$1,234.50 "},
      {10, "123450.00%"},    {11, "1.23E+03"},      {12, "1234 1/2"},
      {13, "1234  1/2 "},    {15, "18-May-03"},     {16, "18-May"},
      {17, "May-03"},        {18, "12:00 PM"},      {19, "12:00:00 PM"},
      {20, "12:00"},         {21, "12:00:00"},      {22, "5/18/1903 12:00"},
      {37, "1,235 "},        {39, "1,234.50 "},     {41, " 1,235 "},
      {42, " $1,235 "},      {44, " $1,234.50 "},   {45, "00:00"},
      {46, "29628:00:00"},   {47, "00:00.0"},       {48, "1.2E+3"},
      {49, "1234.5"},
  };
  for (auto [id, text] : expected) EXPECT_EQ(Show(BuiltinFormatCode(id), v), text) << id;
  EXPECT_EQ(Show(BuiltinFormatCode(6), -5), "($5)");
  EXPECT_EQ(Show(BuiltinFormatCode(43), 0), " -   ");
}

TEST(ShortDateCode, TranslatesTheLocalePattern) {
  LocaleSettings l;
  EXPECT_EQ(ShortDateCode(l), "M/d/yyyy");
  l.shortDateFormat = "dd.MM.yyyy";
  EXPECT_EQ(ShortDateCode(l), "dd.MM.yyyy");
  l.shortDateFormat = "d 'de' MMMM 'de' yyyy";
  EXPECT_EQ(ShortDateCode(l), "d \"de\" MMMM \"de\" yyyy");
  l.shortDateFormat = "gg yyyy/MM/dd";
  EXPECT_EQ(ShortDateCode(l), "yyyy/MM/dd");
  l.shortDateFormat = "";
  EXPECT_EQ(ShortDateCode(l), "m/d/yyyy");
}

}  // namespace
}  // namespace engine::format::test
