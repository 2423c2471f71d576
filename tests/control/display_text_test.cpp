// The displayed text of General numbers and plain texts takes a short way through the engine;
// it must give exactly what the format's full renderer gives, for any number and any text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "control/control.h"
#include "control/format/number_format.h"
#include "control/model/value.h"

using namespace engine;

namespace {

// Numbers of every size and shape a sheet holds: whole, decimal, tiny, huge, negative, at the
// edges where General switches notation, and any bit pattern that is a finite number.
double RandomNumber(std::mt19937_64& random) {
  std::uniform_int_distribution<int> kind(0, 10);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const double sign = random() % 2 ? -1.0 : 1.0;
  switch (kind(random)) {
    case 0:
      return sign * static_cast<double>(random() % 100000000000ULL);
    case 1:
      return sign * std::round(unit(random) * 1e6) / 1000.0;
    case 2:
      return sign * unit(random) * std::pow(10.0, static_cast<int>(random() % 40) - 20);
    case 3:
      return sign * (1e11 - static_cast<double>(random() % 3));  // 11 and 12 digits
    case 4:
      return sign * (1e-4 + (static_cast<double>(random() % 3) - 1) * 1e-19);
    case 5:
      return sign * 0.1 * static_cast<double>(random() % 10);
    case 6: {
      std::uint64_t bits = random();
      double d = 0;
      static_assert(sizeof d == sizeof bits);
      std::memcpy(&d, &bits, sizeof d);
      return std::isfinite(d) ? d : 1.5;
    }
    case 7:  // 1 to 17 significant digits, the point anywhere: both sides of 15 digits
      return sign * static_cast<double>(random() % 100000000000000000ULL) /
             std::pow(10.0, static_cast<int>(random() % 22));
    case 9: {  // next to a power of ten, where the number of whole digits changes
      double x = std::pow(10.0, static_cast<int>(random() % 16) - 5);
      for (int k = static_cast<int>(random() % 3); k > 0; --k)
        x = std::nextafter(x, random() % 2 ? 0.0 : 1e300);
      return sign * x;
    }
    case 10:  // 14 to 16 significant digits with the point anywhere
      return sign * static_cast<double>(10000000000000ULL + random() % 9990000000000000ULL) /
             std::pow(10.0, static_cast<int>(random() % 20));
    default:
      return sign * static_cast<double>(random() % 1000) / 8.0;
  }
}

std::string RandomText(std::mt19937_64& random) {
  static const char* const pieces[] = {"a", "Z",    "0", "1.5",  " ",    "\t", "@",   "\"",
                                       "é", "日本", "-", "TRUE", "#N/A", "%",  "E+10"};
  std::string s;
  const int n = static_cast<int>(random() % 8);
  for (int i = 0; i < n; ++i) s += pieces[random() % (sizeof pieces / sizeof *pieces)];
  return s;
}

void CompareWithRenderer(Control& c, std::mt19937_64& random, int rounds) {
  const auto general = format::ParseNumberFormat("General");
  std::string out = "left over from an earlier read, longer than what comes next";
  for (int i = 0; i < rounds; ++i) {
    const double x = RandomNumber(random);
    c.SetCellValue(1, 1, Value::Number(x));
    const std::string expected = format::Render(*general, Value::Number(x), c.Locale());
    const std::string& code = c.ReadCellFormattedText(1, 1, out);
    ASSERT_EQ(out, expected) << "number " << x;
    ASSERT_EQ(out, c.GetCellFormattedText(1, 1));
    ASSERT_EQ(code, "General");

    const std::string text = RandomText(random);
    c.SetCellValue(2, 1, Value::Text(text));
    c.ReadCellFormattedText(2, 1, out);
    ASSERT_EQ(out, format::Render(*general, Value::Text(text), c.Locale())) << "text " << text;

    const Value logical = Value::Logical(random() % 2 == 0);
    c.SetCellValue(3, 1, logical);
    c.ReadCellFormattedText(3, 1, out);
    ASSERT_EQ(out, format::Render(*general, logical, c.Locale()));
  }
}

}  // namespace

TEST(DisplayText, GeneralNumbersAndTextsGiveWhatTheRendererGives) {
  std::mt19937_64 random(20261208);
  Control c;
  CompareWithRenderer(c, random, 20000);
  // A locale whose decimal separator is a comma.
  LocaleSettings comma = LocaleSettings::EnUs();
  comma.decimalSeparator = ",";
  comma.thousandsSeparator = ".";
  c.SetLocale(comma);
  CompareWithRenderer(c, random, 5000);
}

TEST(DisplayText, FormattedCellsAndOtherValuesTakeTheFullRenderer) {
  Control c;
  std::string out = "x";
  EXPECT_EQ(c.ReadCellFormattedText(3, 3, out), "General");  // an empty cell
  EXPECT_EQ(out, "");
  c.SetCellValue(1, 1, Value::Number(1234.5));
  c.SetCellValue(2, 1, Value::Text("abc"));
  c.SetCellValue(3, 1, Value::Logical(true));
  c.SetSelection(1, 1, 2, 1);
  c.SetNumberFormat("#,##0.00;;;\"<\"@\">\"");
  EXPECT_EQ(c.ReadCellFormattedText(1, 1, out), "#,##0.00;;;\"<\"@\">\"");
  EXPECT_EQ(out, "1,234.50");
  c.ReadCellFormattedText(2, 1, out);
  EXPECT_EQ(out, "<abc>");  // a text section is applied, not skipped
  c.ReadCellFormattedText(3, 1, out);
  EXPECT_EQ(out, "TRUE");
  // A formula's result, through the cell's format.
  c.SetCellText(4, 1, "=A1*2");
  c.SetSelection(4, 1, 4, 1);
  c.SetNumberFormat("0.0");
  c.ReadCellFormattedText(4, 1, out);
  EXPECT_EQ(out, "2469.0");
  c.SetCellText(5, 1, "=1/0");
  c.ReadCellFormattedText(5, 1, out);
  EXPECT_EQ(out, "#DIV/0!");
  EXPECT_THROW(c.ReadCellFormattedText(0, 1, out), EngineError);
}

TEST(DisplayText, ReadingIntoAStringThatHoldsTheTextKeepsItsStorage) {
  Control c;
  c.SetCellValue(1, 1, Value::Text("a text longer than any short-string buffer holds"));
  c.SetCellValue(1, 2, Value::Number(741.55));
  std::string out;
  out.reserve(256);
  const char* storage = out.data();
  c.ReadCellFormattedText(1, 1, out);
  c.ReadCellFormattedText(1, 2, out);
  EXPECT_EQ(out, "741.55");
  EXPECT_EQ(out.data(), storage);
}
