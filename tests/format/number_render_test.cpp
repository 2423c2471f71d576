#include <gtest/gtest.h>

#include "render_helpers.h"

namespace engine::format::test {
namespace {

TEST(NumberRender, FixedDecimalsAndGrouping) {
  EXPECT_EQ(Show("0", 2.5), "3");
  EXPECT_EQ(Show("0", -2.5), "-3");
  EXPECT_EQ(Show("0.00", 1.005), "1.01");  // 1.005 is 1.00499999… in binary
  EXPECT_EQ(Show("0.00", 2.675), "2.68");
  EXPECT_EQ(Show("0.00", 0), "0.00");
  EXPECT_EQ(Show("#,##0", 1234567), "1,234,567");
  EXPECT_EQ(Show("#,##0", 999.5), "1,000");
  EXPECT_EQ(Show("#,##0", 0), "0");
  EXPECT_EQ(Show("#,##0.00", 1234.5), "1,234.50");
  EXPECT_EQ(Show("#,##0.00", -0.004), "-0.00");
  EXPECT_EQ(Show("0,000", 5), "0,005");
  EXPECT_EQ(Show("000-00-0000", 123456789), "123-45-6789");
  EXPECT_EQ(Show("00000", 42), "00042");
  EXPECT_EQ(Show("#", 0), "");
  EXPECT_EQ(Show("#.00", 0.5), ".50");
  EXPECT_EQ(Show(".00", 12.5), "12.50");
  EXPECT_EQ(Show("0", 1e20), "100000000000000000000");
  EXPECT_EQ(Show("0", 123456789012345678.0), "123456789012346000");
}

TEST(NumberRender, OptionalDecimalPlaceholders) {
  EXPECT_EQ(Show("0.0#", 1.5), "1.5");
  EXPECT_EQ(Show("0.0#", 1.25), "1.25");
  EXPECT_EQ(Show("0.##", 1), "1.");
  EXPECT_EQ(Show("0.??", 1.5), "1.5 ");
  EXPECT_EQ(Show("??0", 5), "  5");
}

TEST(NumberRender, CurrencyAndSignsOfOneSection) {
  EXPECT_EQ(Show("\"$\"#,##0.00", 1234.5), "$1,234.50");
  EXPECT_EQ(Show("\"$\"#,##0.00", -20), "-$20.00");
  EXPECT_EQ(Show("$#,##0", 5), "$5");
  EXPECT_EQ(Show("#,##0.00 \u20AC", 1234.5), "1,234.50 \u20AC");
  EXPECT_EQ(Show("[$\u20AC-407] #,##0.00", 3), "\u20AC 3.00");
}

TEST(NumberRender, PercentScalesByHundredEach) {
  EXPECT_EQ(Show("0%", 0.125), "13%");
  EXPECT_EQ(Show("0%", 0.145), "15%");
  EXPECT_EQ(Show("0.00%", 0.12345), "12.35%");
  EXPECT_EQ(Show("0%", -0.5), "-50%");
  EXPECT_EQ(Show("0%%", 0.01), "100%%");
}

TEST(NumberRender, TrailingCommasScaleByThousand) {
  EXPECT_EQ(Show("#,##0,", 1234567), "1,235");
  EXPECT_EQ(Show("0.0,,", 1234567), "1.2");
  EXPECT_EQ(Show("0,\"K\"", 2500), "3K");
  EXPECT_EQ(Show("#,##0,,\"M\"", 1500000000), "1,500M");
}

TEST(NumberRender, SectionsConditionsAndColours) {
  const char* code = "#,##0.00;[Red](#,##0.00);\"zero\";\"text: \"@";
  EXPECT_EQ(Show(code, 1234.5), "1,234.50");
  EXPECT_EQ(Show(code, -1234.5), "(1,234.50)");
  EXPECT_EQ(Show(code, 0), "zero");
  EXPECT_EQ(ShowText(code, "abc"), "text: abc");
  EXPECT_EQ(Show("0;0", -5), "5");  // the negative section shows the absolute value
  EXPECT_EQ(Show("0.0;-0.0", 0), "0.0");
  EXPECT_EQ(Show("[Blue]0;[Color10]-0", -3), "-3");
  EXPECT_EQ(Show("[<100]\"small\";[>=1000]\"big\";\"mid\"", 50), "small");
  EXPECT_EQ(Show("[<100]\"small\";[>=1000]\"big\";\"mid\"", 5000), "big");
  EXPECT_EQ(Show("[<100]\"small\";[>=1000]\"big\";\"mid\"", 500), "mid");
  EXPECT_EQ(Show("[<=9999999]###-####;(###) ###-####", 5551234), "555-1234");
  EXPECT_EQ(Show("[<=9999999]###-####;(###) ###-####", 2125551234), "(212) 555-1234");
  EXPECT_EQ(Show(";;;", 5), "");
  EXPECT_EQ(ShowText(";;;", "hidden"), "");
}

TEST(NumberRender, TextValuesAndTheTextFormat) {
  EXPECT_EQ(ShowText("0.00", "abc"), "abc");
  EXPECT_EQ(ShowText("@", "abc"), "abc");
  EXPECT_EQ(Show("@", 1.5), "1.5");
  EXPECT_EQ(ShowText("\"<\"@\">\"", "x"), "<x>");
  EXPECT_EQ(ShowText("0;-0;0;@\" units\"", "5"), "5 units");
  auto fmt = ParseNumberFormat("0.00");
  EXPECT_EQ(Render(*fmt, Value::Logical(true), LocaleSettings::EnUs()), "TRUE");
  EXPECT_EQ(Render(*fmt, Value::Error(ErrorValue::NA), LocaleSettings::EnUs()), "#N/A");
}

TEST(NumberRender, LiteralsEscapesSpacesAndFills) {
  EXPECT_EQ(Show("0\" kg\"", 5), "5 kg");
  EXPECT_EQ(Show("0\\%", 5), "5%");
  EXPECT_EQ(Show("#,##0_);(#,##0)", 1234), "1,234 ");
  EXPECT_EQ(Show("#,##0_);(#,##0)", -1234), "(1,234)");
  EXPECT_EQ(Show("_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)", 0), " - ");
  EXPECT_EQ(Show("**0", 5), "5");
  EXPECT_EQ(Show("General\" pcs\"", 2.5), "2.5 pcs");
  EXPECT_EQ(Show("General;-General", -2.5), "-2.5");
}

TEST(NumberRender, LocaleSeparators) {
  const auto de = GermanLocale();
  EXPECT_EQ(Show("#,##0.00", 1234567.891, de), "1.234.567,89");
  EXPECT_EQ(Show("0.0%", 0.255, de), "25,5%");
  EXPECT_EQ(Show("#,##0.00 \u20AC", -5, de), "-5,00 \u20AC");
  EXPECT_EQ(Show("0.00E+00", 1234, de), "1,23E+03");
}

TEST(NumberRender, Scientific) {
  EXPECT_EQ(Show("0.00E+00", 583.2), "5.83E+02");
  EXPECT_EQ(Show("0.00E+00", 0.000123), "1.23E-04");
  EXPECT_EQ(Show("0.00E+00", 0), "0.00E+00");
  EXPECT_EQ(Show("0.00E+00", 9.999), "1.00E+01");
  EXPECT_EQ(Show("0.00E+00", -583.2), "-5.83E+02");
  EXPECT_EQ(Show("0.00E-00", 583.2), "5.83E02");
  EXPECT_EQ(Show("0.0E+0", 1e100), "1.0E+100");
  EXPECT_EQ(Show("##0.0E+0", 12345), "12.3E+3");
  EXPECT_EQ(Show("##0.0E+0", 0.00012345), "123.5E-6");
  EXPECT_EQ(Show("##0.0E+0", 999999), "1.0E+6");
  EXPECT_EQ(Show("00.00E+00", 12345), "12.35E+03");
}

TEST(NumberRender, Fractions) {
  EXPECT_EQ(Show("# ?/?", 1.75), "1 3/4");
  EXPECT_EQ(Show("# ?/?", -1.75), "-1 3/4");
  EXPECT_EQ(Show("# ?/?", 0.333), " 1/3");
  EXPECT_EQ(Show("# ?/?", 2), "2    ");
  EXPECT_EQ(Show("# ?/?", 0), "0    ");
  EXPECT_EQ(Show("# ?/?", 2.99), "3    ");
  EXPECT_EQ(Show("# ?\?/??", 3.14159), "3 14/99");
  EXPECT_EQ(Show("# ?\?/??", 1.5), "1  1/2 ");
  EXPECT_EQ(Show("# ??\?/???", 3.14159265), "3  16/113");
  EXPECT_EQ(Show("?/?", 1.75), "7/4");
  EXPECT_EQ(Show("# ?/8", 1.3), "1 2/8");
  EXPECT_EQ(Show("# ?\?/16", 0.5), "  8/16");
  EXPECT_EQ(Show("# ?/100", 2.25), "2 25/100");
  EXPECT_EQ(Show("#,##0 ?/?", 1234.5), "1,234 1/2");
}

TEST(NumberRender, HostileCodesDoNotBreak) {
  EXPECT_EQ(Show("\"unterminated", 5), "unterminated");
  EXPECT_EQ(Show("0[", 5), "5[");
  EXPECT_EQ(Show("0;0;0;0;0;0", 5), "5");
  EXPECT_EQ(Show("\\", 5), "");
  EXPECT_EQ(Show("_", 5), " ");
  EXPECT_EQ(Show("[>abc]0", 5), "5");
  std::string many(5000, '%');
  EXPECT_FALSE(Show("0" + many, 1).empty());
  EXPECT_FALSE(Show("0." + std::string(400, '0'), 1.0 / 3).empty());
  EXPECT_FALSE(Show("# " + std::string(30, '?') + "/" + std::string(30, '?'), 0.1).empty());
  EXPECT_FALSE(Show("0.0E+" + std::string(50, '0'), 1e300).empty());
  EXPECT_EQ(Show("\xE2\x82", 1), "\xE2\x82");  // a cut UTF-8 sequence stays as it was
}

}  // namespace
}  // namespace engine::format::test
