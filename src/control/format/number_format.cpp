// Placeholder renderer: General only. Replaced by the full format-code engine.
#include "control/format/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace engine::format {

class NumberFormat {
 public:
  std::string code;
};

std::shared_ptr<const NumberFormat> ParseNumberFormat(std::string_view code) {
  auto f = std::make_shared<NumberFormat>();
  f->code = std::string(code);
  return f;
}

const std::string& FormatCode(const NumberFormat& format) { return format.code; }
FormatCategory Category(const NumberFormat&) { return FormatCategory::General; }

std::string RenderGeneral(double number, const LocaleSettings&) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, number);
  return std::string(buf, r.ptr);
}

std::string Render(const NumberFormat&, const Value& value, const LocaleSettings& locale, bool) {
  switch (value.kind) {
    case ValueKind::Empty:
      return {};
    case ValueKind::Number:
      return RenderGeneral(value.number, locale);
    case ValueKind::Text:
      return value.text;
    case ValueKind::Logical:
      return value.logical ? "TRUE" : "FALSE";
    case ValueKind::Error:
      return ErrorText(value.error);
  }
  return {};
}

std::string BuiltinFormatCode(int id) { return id == 0 ? "General" : std::string(); }

}  // namespace engine::format
