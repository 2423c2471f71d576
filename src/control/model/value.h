#pragma once
// A cell value as the engine computes with it.

#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

enum class ValueKind : std::uint8_t { Empty = 0, Number = 1, Text = 2, Logical = 3, Error = 4 };

// Error values with their BIFF codes.
enum class ErrorValue : std::uint8_t {
  Null = 0x00,
  Div0 = 0x07,
  Value = 0x0F,
  Ref = 0x17,
  Name = 0x1D,
  Num = 0x24,
  NA = 0x2A,
};

const char* ErrorText(ErrorValue e);                        // "#DIV/0!" …
bool ParseErrorText(std::string_view text, ErrorValue& out);  // exact, case-insensitive

struct Value {
  ValueKind kind = ValueKind::Empty;
  bool logical = false;
  ErrorValue error = ErrorValue::Null;
  double number = 0;
  std::string text;

  static Value Empty() { return {}; }
  static Value Number(double n) {
    Value v;
    v.kind = ValueKind::Number;
    v.number = n;
    return v;
  }
  static Value Text(std::string s) {
    Value v;
    v.kind = ValueKind::Text;
    v.text = std::move(s);
    return v;
  }
  static Value Logical(bool b) {
    Value v;
    v.kind = ValueKind::Logical;
    v.logical = b;
    return v;
  }
  static Value Error(ErrorValue e) {
    Value v;
    v.kind = ValueKind::Error;
    v.error = e;
    return v;
  }

  bool IsEmpty() const { return kind == ValueKind::Empty; }
  bool IsNumber() const { return kind == ValueKind::Number; }
  bool IsText() const { return kind == ValueKind::Text; }
  bool IsLogical() const { return kind == ValueKind::Logical; }
  bool IsError() const { return kind == ValueKind::Error; }

  friend bool operator==(const Value& a, const Value& b);
};

}  // namespace engine
