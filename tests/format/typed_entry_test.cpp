#include "control/format/typed_entry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render_helpers.h"

namespace engine::format::test {
namespace {

constexpr int kYear = 2024;

TypedEntry Typed(std::string_view text, const LocaleSettings& l = LocaleSettings::EnUs(),
                 bool date1904 = false) {
  return InterpretTyped(text, l, date1904, kYear);
}

void ExpectNumber(std::string_view text, double value, const std::string& code,
                  const LocaleSettings& l = LocaleSettings::EnUs()) {
  TypedEntry e = Typed(text, l);
  ASSERT_EQ(e.value.kind, ValueKind::Number) << text;
  EXPECT_DOUBLE_EQ(e.value.number, value) << text;
  EXPECT_EQ(e.formatCode, code) << text;
}

void ExpectText(std::string_view text, const LocaleSettings& l = LocaleSettings::EnUs()) {
  TypedEntry e = Typed(text, l);
  EXPECT_EQ(e.value.kind, ValueKind::Text) << text;
  EXPECT_EQ(e.value.text, text);
  EXPECT_EQ(e.formatCode, "") << text;
}

// What the cell shows after the entry, in the format the entry chose.
std::string Displayed(std::string_view text, const LocaleSettings& l = LocaleSettings::EnUs()) {
  TypedEntry e = Typed(text, l);
  return Render(*ParseNumberFormat(e.formatCode), e.value, l);
}

TEST(TypedEntry, PlainNumbers) {
  ExpectNumber("42", 42, "");
  ExpectNumber("  -3.5 ", -3.5, "");
  ExpectNumber("+7", 7, "");
  ExpectNumber(".5", 0.5, "");
  ExpectNumber("5.", 5, "");
  ExpectNumber("007", 7, "");
  ExpectNumber("(12)", -12, "");
  ExpectNumber("1,234", 1234, "#,##0");
  ExpectNumber("1,234,567.5", 1234567.5, "#,##0.00");
  ExpectNumber("1E3", 1000, "0.00E+00");
  ExpectNumber("1.5e-2", 0.015, "0.00E+00");
  ExpectNumber("-0", 0, "");
  EXPECT_FALSE(std::signbit(Typed("-0").value.number));
}

TEST(TypedEntry, MalformedNumbersStayText) {
  for (const char* t : {"1,23", "12,34,567", "1.2.3.4", "1e", "1E400", "--5", "-(5)", "(-5)",
                        "5-5-5-5", "12abc", "$", "%", "1 2", "0x10", "1,,234", ",5", "."})
    ExpectText(t);
}

TEST(TypedEntry, Percentages) {
  ExpectNumber("12%", 0.12, "0%");
  ExpectNumber("12.5%", 0.125, "0.00%");
  ExpectNumber("-3 %", -0.03, "0%");
  ExpectNumber("1,200%", 12, "0%");
  EXPECT_EQ(Displayed("12.5%"), "12.50%");
}

TEST(TypedEntry, Currency) {
  ExpectNumber("$1,234.50", 1234.5, "$#,##0.00");
  ExpectNumber("$5", 5, "$#,##0");
  ExpectNumber("-$5", -5, "$#,##0");
  ExpectNumber("$-5", -5, "$#,##0");
  ExpectNumber("($5.25)", -5.25, "$#,##0.00");
  ExpectNumber("5$", 5, "$#,##0");
  EXPECT_EQ(Displayed("$1,234.50"), "$1,234.50");
  EXPECT_EQ(Displayed("($5)"), "-$5");
  ExpectText("$$5");
  ExpectText("($-5)");
}

TEST(TypedEntry, FractionsWithAWholePart) {
  ExpectNumber("1 1/2", 1.5, "# ?/?");
  ExpectNumber("-2 3/4", -2.75, "# ?/?");
  ExpectNumber("0 5/16", 0.3125, "# ?\?/??");
  EXPECT_EQ(Displayed("1 3/4"), "1 3/4");
  ExpectText("1 4/3");
  ExpectText("1 1/0");
}

TEST(TypedEntry, LogicalsErrorsAndText) {
  EXPECT_EQ(Typed("TRUE").value, Value::Logical(true));
  EXPECT_EQ(Typed("false").value, Value::Logical(false));
  EXPECT_EQ(Typed("True").value, Value::Logical(true));
  EXPECT_EQ(Typed("#N/A").value, Value::Error(ErrorValue::NA));
  EXPECT_EQ(Typed("#div/0!").value, Value::Error(ErrorValue::Div0));
  ExpectText("hello world");
  ExpectText("  padded  ");
  ExpectText("TRUEISH");
  EXPECT_EQ(Typed("").value, Value::Text(""));
  EXPECT_EQ(Typed("   ").value, Value::Text("   "));
}

TEST(TypedEntry, DatesInTheLocaleOrder) {
  ExpectNumber("1/15/2024", 45306, "M/d/yyyy");
  ExpectNumber("01/15/2024", 45306, "M/d/yyyy");
  ExpectNumber("1-15-2024", 45306, "M/d/yyyy");
  ExpectNumber("1/15/24", 45306, "M/d/yyyy");
  ExpectNumber("1/1/30", 10959, "M/d/yyyy");  // 1930
  ExpectNumber("2/29/1900", 60, "M/d/yyyy");
  ExpectNumber("2024/1/15", 45306, "M/d/yyyy");
  EXPECT_EQ(Displayed("1/15/2024"), "1/15/2024");
  for (const char* t : {"2/30/2024", "13/1/2024", "0/1/2024", "1/15/1899", "1/15/124",
                        "1/2/3/4", "1/15/2024/", "1//15/2024", "1.15.2024", "1/15-2024"})
    ExpectText(t);
}

TEST(TypedEntry, DateWithoutYearOrDay) {
  ExpectNumber("1/15", 45306, "d-mmm");
  ExpectNumber("1-15", 45306, "d-mmm");
  EXPECT_EQ(Displayed("1/15"), "15-Jan");
  ExpectNumber("1/2024", 45292, "mmm-yy");
  ExpectNumber("2/30", 10990, "mmm-yy");  // February 1930, as the spreadsheet reads it
}

TEST(TypedEntry, IsoAndNamedMonthDates) {
  ExpectNumber("2024-01-15", 45306, "yyyy-mm-dd");
  ExpectNumber("2024-01-15 10:30", 45306.4375, "yyyy-mm-dd hh:mm");
  ExpectNumber("2024-01-15 10:30:00", 45306.4375, "yyyy-mm-dd hh:mm:ss");
  EXPECT_EQ(Displayed("2024-01-15 10:30"), "2024-01-15 10:30");
  ExpectNumber("15-Jan-2024", 45306, "d-mmm-yyyy");
  ExpectNumber("15-jan-24", 45306, "d-mmm-yy");
  ExpectNumber("Jan 15, 2024", 45306, "mmm d, yyyy");
  ExpectNumber("January 15, 2024", 45306, "mmmm d, yyyy");
  ExpectNumber("15 Jan", 45306, "d mmm");
  ExpectNumber("Jan 2024", 45292, "mmm yyyy");
  for (const char* t : {"Jan 15, 2024", "15-Jan-2024", "15 January 2024"})
    EXPECT_EQ(Displayed(t), t);
  ExpectText("Foo 15, 2024");
  ExpectText("Jan");
  ExpectText("Jan Feb 2024");
  ExpectText("31-Feb-2024");
}

TEST(TypedEntry, Times) {
  ExpectNumber("6:00 PM", 0.75, "h:mm AM/PM");
  ExpectNumber("6 PM", 0.75, "h:mm AM/PM");
  ExpectNumber("6pm", 0.75, "h:mm AM/PM");
  ExpectNumber("12:00 am", 0, "h:mm AM/PM");
  ExpectNumber("6:30:15 a", (6 * 3600 + 30 * 60 + 15) / 86400.0, "h:mm:ss AM/PM");
  ExpectNumber("18:30", 0.7708333333333334, "h:mm");
  ExpectNumber("18:30:15", (18 * 3600 + 30 * 60 + 15) / 86400.0, "h:mm:ss");
  ExpectNumber("25:30", 1.0625, "[h]:mm:ss");
  ExpectNumber("1:30.5", 90.5 / 86400, "mm:ss.0");
  EXPECT_EQ(Displayed("6:00 PM"), "6:00 PM");
  EXPECT_EQ(Displayed("18:30"), "18:30");
  for (const char* t : {"18:60", "13:00 PM", "6:", ":30", "1:2:3:4", "6 XM", "18:30:61"})
    ExpectText(t);
}

TEST(TypedEntry, DateAndTimeTogether) {
  ExpectNumber("1/15/2024 10:30", 45306.4375, "M/d/yyyy h:mm");
  ExpectNumber("1/15/2024 6 PM", 45306.75, "M/d/yyyy h:mm AM/PM");
  ExpectNumber("1/15/2024  10:30:15 pm",
               45306 + (22 * 3600 + 30 * 60 + 15) / 86400.0, "M/d/yyyy h:mm:ss AM/PM");
  EXPECT_EQ(Displayed("1/15/2024 10:30"), "1/15/2024 10:30");
  ExpectText("1/15/2024 25:00");
  ExpectText("1/15/202410:30");
}

TEST(TypedEntry, The1904System) {
  TypedEntry e = Typed("1/15/2024", LocaleSettings::EnUs(), true);
  EXPECT_EQ(e.value, Value::Number(43844));
  EXPECT_EQ(Typed("1/1/1903", LocaleSettings::EnUs(), true).value.kind, ValueKind::Text);
  EXPECT_EQ(Typed("1/1/1903").value.kind, ValueKind::Number);
}

TEST(TypedEntry, GermanLocale) {
  const auto de = GermanLocale();
  ExpectNumber("1.234,5", 1234.5, "#,##0.00", de);
  ExpectNumber("3,25", 3.25, "", de);
  ExpectNumber("-1.234", -1234, "#,##0", de);
  ExpectNumber("12,5%", 0.125, "0.00%", de);
  ExpectNumber("5 \u20AC", 5, "#,##0 \u20AC", de);
  ExpectNumber("-1.234,50 \u20AC", -1234.5, "#,##0.00 \u20AC", de);
  ExpectNumber("15.01.2024", 45306, "dd.MM.yyyy", de);
  ExpectNumber("15.1.24", 45306, "dd.MM.yyyy", de);
  ExpectNumber("15.1", 45306, "d-mmm", de);
  ExpectNumber("15.01.2024 18:30", 45306 + 0.7708333333333334, "dd.MM.yyyy h:mm", de);
  ExpectNumber("18:30:15,5", (18 * 3600 + 30 * 60 + 15.5) / 86400.0, "h:mm:ss.0", de);
  EXPECT_EQ(Displayed("1.234,5", de), "1.234,50");
  EXPECT_EQ(Displayed("15.01.2024", de), "15.01.2024");
  EXPECT_EQ(Displayed("5 \u20AC", de), "5 \u20AC");
  ExpectText("1,234.5", de);
  ExpectText("$5", de);
  ExpectText("30.02.2024", de);
}

TEST(TypedEntry, LocaleWithAWordForCurrencyAndNoBreakSpaceGroups) {
  LocaleSettings sv = GermanLocale();
  sv.thousandsSeparator = "\u00A0";
  sv.currencySymbol = "kr";
  sv.shortDateFormat = "yyyy-MM-dd";
  sv.dateOrder = DateOrder::YearMonthDay;
  ExpectNumber("1\u00A0234,50 kr", 1234.5, "#,##0.00 [$kr]", sv);
  EXPECT_EQ(Displayed("1\u00A0234,50 kr", sv), "1\u00A0234,50 kr");
  EXPECT_EQ(Category(*ParseNumberFormat(Typed("5 kr", sv).formatCode)), FormatCategory::Currency);
  ExpectNumber("2024-01-15", 45306, "yyyy-mm-dd", sv);
  ExpectNumber("24-1-15", 45306, "yyyy-MM-dd", sv);
  ExpectNumber("1/15", 45306, "d-mmm", sv);
}

TEST(TypedEntry, HostileInputStaysText) {
  EXPECT_EQ(Typed(std::string(300, '9')).value.kind, ValueKind::Number);
  ExpectText(std::string(5000, '9'));  // beyond the largest number
  ExpectText(std::string(5000, '/'));
  ExpectText(std::string(3000, ':'));
  ExpectText("99999:99");
  ExpectText("1e99999999999999999999");
  ExpectText(std::string("1/15\0/2024", 10));
  ExpectText("\xFF\xFE/1/2024");
}

}  // namespace
}  // namespace engine::format::test
