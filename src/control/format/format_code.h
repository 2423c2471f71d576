#pragma once
// The parsed form of a number-format code: up to four sections, each a list of tokens with
// the layout facts the renderer needs worked out once at parse time.

#include <cstdint>
#include <string>
#include <vector>

#include "control/format/number_format.h"

namespace engine::format {

enum class Tok : std::uint8_t {
  Literal,      // text shown as it stands
  Digit,        // digit placeholder; ch is '0', '#' or '?'
  Point,        // the decimal point of a number section
  Comma,        // "," until the layout is known (thousands, scaling by 1000 or literal)
  Percent,      // '%'
  Exponent,     // E+ / E-; plusSign says whether a positive exponent shows "+"
  FractionBar,  // '/' between numerator and denominator
  Denominator,  // a fixed denominator (# ?/8); value in number
  TextValue,    // '@'
  General,      // the word General inside a section
  Year2,
  Year4,
  Month,
  Month2,
  MonthAbbr,
  MonthFull,
  MonthLetter,
  Day,
  Day2,
  DayAbbr,
  DayFull,
  Hour,
  Hour2,
  Minute,
  Minute2,
  Second,
  Second2,
  FracSecond,  // fractional seconds; count = digits
  AmPm,        // AM/PM: the locale's texts
  AP,          // A/P: the letters as written (text = "AP" or "ap" …)
  ElapsedHours,
  ElapsedMinutes,
  ElapsedSeconds,  // count = minimum width
};

// Which part of a number a digit placeholder belongs to.
enum class DigitRole : std::uint8_t { Int, Frac, Exp, Num, Den };

struct Token {
  Tok kind = Tok::Literal;
  char ch = 0;
  DigitRole role = DigitRole::Int;
  bool plusSign = false;
  int count = 0;
  int number = 0;
  std::string text;
};

enum class SectionKind : std::uint8_t { Number, Fraction, Scientific, DateTime, Text, General };

struct Condition {
  enum class Op : std::uint8_t { None, Lt, Le, Gt, Ge, Eq, Ne };
  Op op = Op::None;
  double value = 0;
  bool Holds(double v) const;
};

struct Section {
  std::vector<Token> tokens;
  SectionKind kind = SectionKind::Number;
  Condition condition;
  int color = 0;  // spreadsheet colour number 1–56, 0 = none

  // Number layout.
  bool thousands = false;   // group the integer digits
  int scale = 0;            // decimal shift: +2 per %, −3 per trailing comma
  int intDigits = 0;        // placeholders before the point (mantissa or whole part)
  int fracDigits = 0;       // placeholders after the point
  bool intHasHash = false;  // engineering notation when the mantissa has '#' placeholders
  int expZeros = 0;         // '0' placeholders of the exponent: its minimum width
  int numDigits = 0;        // fraction: numerator placeholders
  int denDigits = 0;        // fraction: denominator placeholders (0 with a fixed denominator)
  int fixedDen = 0;         // fraction: fixed denominator
  bool percent = false;
  bool currency = false;

  // Date layout.
  bool hasDate = false;
  bool hasTime = false;
  bool hasAmPm = false;
  int fracSecDigits = 0;
};

class NumberFormat {
 public:
  std::string code;
  std::vector<Section> sections;  // numeric sections (up to three), in order
  int textSection = -1;           // index into `texts` or -1
  std::vector<Section> texts;     // the text section, when there is one
  bool hasConditions = false;
  FormatCategory category = FormatCategory::General;
};

// Section renderers; `value` is ≥ 0 unless a date section is handed a negative number.
void RenderNumberSection(const Section& s, double value, const LocaleSettings& locale,
                         std::string& out);
void RenderDateSection(const Section& s, double value, const LocaleSettings& locale,
                       bool date1904, std::string& out);
void RenderTextSection(const Section& s, const std::string& text, std::string& out);

// Appends the General rendering of a finite number.
void AppendGeneral(double number, const LocaleSettings& locale, std::string& out);

}  // namespace engine::format
