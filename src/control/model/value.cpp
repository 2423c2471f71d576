#include "control/model/value.h"

#include <cctype>

namespace engine {

namespace {
struct ErrorName {
  ErrorValue code;
  const char* text;
};
constexpr ErrorName kErrorNames[] = {
    {ErrorValue::Null, "#NULL!"}, {ErrorValue::Div0, "#DIV/0!"}, {ErrorValue::Value, "#VALUE!"},
    {ErrorValue::Ref, "#REF!"},   {ErrorValue::Name, "#NAME?"},  {ErrorValue::Num, "#NUM!"},
    {ErrorValue::NA, "#N/A"},
};
}  // namespace

const char* ErrorText(ErrorValue e) {
  for (const auto& n : kErrorNames)
    if (n.code == e) return n.text;
  return "#VALUE!";
}

bool ParseErrorText(std::string_view text, ErrorValue& out) {
  for (const auto& n : kErrorNames) {
    std::string_view name(n.text);
    if (name.size() != text.size()) continue;
    bool same = true;
    for (size_t i = 0; i < name.size() && same; ++i)
      same = std::toupper(static_cast<unsigned char>(text[i])) == name[i];
    if (same) {
      out = n.code;
      return true;
    }
  }
  return false;
}

bool operator==(const Value& a, const Value& b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case ValueKind::Empty:
      return true;
    case ValueKind::Number:
      return a.number == b.number;
    case ValueKind::Text:
      return a.text == b.text;
    case ValueKind::Logical:
      return a.logical == b.logical;
    case ValueKind::Error:
      return a.error == b.error;
  }
  return false;
}

}  // namespace engine
