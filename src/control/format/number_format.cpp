// Rendering a value with a parsed format: choosing the section, the sign, and the built-in
// codes of the spreadsheet.
#include "control/format/number_format.h"

#include <cmath>

#include "control/format/format_code.h"

namespace engine::format {
namespace {

struct Choice {
  const Section* section = nullptr;
  bool minus = false;  // show "-" before the rendering of the absolute value
};

Choice ChooseSection(const NumberFormat& f, double v) {
  const auto& s = f.sections;
  const std::size_t n = s.size();
  if (!f.hasConditions) {
    if (n == 1 || (v > 0) || (v == 0 && n == 2)) return {&s[0], v < 0};
    if (v < 0) return {&s[1], false};
    return {&s[2], false};
  }
  // With conditions the first section whose condition holds wins; sections without one stand
  // for "≥ 0" (first of two), "> 0" (first of three) and "< 0" (second); the last catches all.
  using Op = Condition::Op;
  for (std::size_t k = 0; k + 1 < n; ++k) {
    Condition c = s[k].condition;
    if (c.op == Op::None) {
      if (k == 0) c = {n >= 3 ? Op::Gt : Op::Ge, 0};
      else if (k == 1) c = {Op::Lt, 0};
    }
    if (c.Holds(v)) {
      bool negativeSection = k == 1 && (c.op == Op::Lt || c.op == Op::Le) && c.value <= 0;
      return {&s[k], v < 0 && !negativeSection};
    }
  }
  return {&s[n - 1], v < 0 && n == 1};
}

std::string RenderNumber(const NumberFormat& f, double v, const LocaleSettings& locale,
                         bool date1904) {
  std::string out;
  if (!std::isfinite(v)) return "#NUM!";
  if (f.sections.empty()) {  // a text-only format shows numbers as General
    AppendGeneral(v, locale, out);
    return out;
  }
  Choice c = ChooseSection(f, v);
  const Section& s = *c.section;
  double a = std::fabs(v);
  switch (s.kind) {
    case SectionKind::DateTime:
      // A negative date has no rendering; the negative section of a date format shows the
      // absolute value.
      RenderDateSection(s, c.minus ? v : a, locale, date1904, out);
      return out;
    case SectionKind::General:
    case SectionKind::Text: {
      if (c.minus) out += '-';
      std::string general;
      AppendGeneral(a, locale, general);
      for (const Token& t : s.tokens) {
        if (t.kind == Tok::Literal)
          out += t.text;
        else
          out += general;
      }
      return out;
    }
    default:
      if (c.minus) out += '-';
      RenderNumberSection(s, a, locale, out);
      return out;
  }
}

}  // namespace

bool ShowsTextAsIs(const NumberFormat& format) { return format.textSection < 0; }

std::string Render(const NumberFormat& format, const Value& value, const LocaleSettings& locale,
                   bool date1904) {
  switch (value.kind) {
    case ValueKind::Empty:
      return {};
    case ValueKind::Number:
      return RenderNumber(format, value.number, locale, date1904);
    case ValueKind::Text:
      if (format.textSection < 0) return value.text;
      {
        std::string out;
        RenderTextSection(format.texts[static_cast<std::size_t>(format.textSection)], value.text,
                          out);
        return out;
      }
    case ValueKind::Logical:
      return value.logical ? "TRUE" : "FALSE";
    case ValueKind::Error:
      return ErrorText(value.error);
  }
  return {};
}

int SectionColor(const NumberFormat& format, const Value& value) {
  switch (value.kind) {
    case ValueKind::Number:
      if (format.sections.empty() || !std::isfinite(value.number)) return 0;
      return ChooseSection(format, value.number).section->color;
    case ValueKind::Text:
      if (format.textSection < 0) return 0;
      return format.texts[static_cast<std::size_t>(format.textSection)].color;
    default:
      return 0;
  }
}

std::string BuiltinFormatCode(int id) {
  // The codes the spreadsheet writes for its built-in formats (English, United States);
  // 23–36 are reserved for East Asian formats and have no code here.
  static const char* const kCodes[50] = {
      "General",
      "0",
      "0.00",
      "#,##0",
      "#,##0.00",
      "\"$\"#,##0_);\\(\"$\"#,##0\\)",
      "\"$\"#,##0_);[Red]\\(\"$\"#,##0\\)",
      "\"$\"#,##0.00_);\\(\"$\"#,##0.00\\)",
      "\"$\"#,##0.00_);[Red]\\(\"$\"#,##0.00\\)",
      "0%",
      "0.00%",
      "0.00E+00",
      "# ?/?",
      "# ?\?/??",
      "m/d/yyyy",
      "d-mmm-yy",
      "d-mmm",
      "mmm-yy",
      "h:mm AM/PM",
      "h:mm:ss AM/PM",
      "h:mm",
      "h:mm:ss",
      "m/d/yyyy h:mm",
      nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
      nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
      "#,##0_);(#,##0)",
      "#,##0_);[Red](#,##0)",
      "#,##0.00_);(#,##0.00)",
      "#,##0.00_);[Red](#,##0.00)",
      "_(* #,##0_);_(* \\(#,##0\\);_(* \"-\"_);_(@_)",
      "_(\"$\"* #,##0_);_(\"$\"* \\(#,##0\\);_(\"$\"* \"-\"_);_(@_)",
      "_(* #,##0.00_);_(* \\(#,##0.00\\);_(* \"-\"?\?_);_(@_)",
      "_(\"$\"* #,##0.00_);_(\"$\"* \\(#,##0.00\\);_(\"$\"* \"-\"?\?_);_(@_)",
      "mm:ss",
      "[h]:mm:ss",
      "mm:ss.0",
      "##0.0E+0",
      "@",
  };
  if (id < 0 || id >= 50 || !kCodes[id]) return {};
  return kCodes[id];
}

std::string ShortDateCode(const LocaleSettings& locale) {
  // The locale's pattern uses the same letters (M, d, y) as format codes; only its quoted
  // text ('de') and the era (g) need translating.
  std::string out;
  const std::string& p = locale.shortDateFormat;
  for (std::size_t i = 0; i < p.size(); ++i) {
    char c = p[i];
    if (c == '\'') {
      auto close = p.find('\'', i + 1);
      if (close == std::string::npos) close = p.size();
      if (close == i + 1) {
        out += "\\'";  // '' is a quote character
      } else {
        out += '"';
        out.append(p, i + 1, close - i - 1);
        out += '"';
      }
      i = close;
    } else if (c == 'g') {  // the era, and the space after it
      while (i + 1 < p.size() && p[i + 1] == 'g') ++i;
      if (i + 1 < p.size() && p[i + 1] == ' ') ++i;
    } else {
      out += c;
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out.empty() ? std::string("m/d/yyyy") : out;
}

}  // namespace engine::format
