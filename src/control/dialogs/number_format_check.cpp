// Checking a number-format code before it is applied, and previewing it on the active cell.
#include <cctype>
#include <cstdlib>

#include "control/control.h"
#include "control/dialogs/edit_dialogs.h"
#include "control/format/number_format.h"
#include "control/model/value.h"
#include "control/model/workbook.h"

namespace engine {

namespace {

std::string Lower(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

// A bracketed part: a colour, a condition, an elapsed-time unit or a currency/locale tag.
bool KnownBracket(const std::string& inner) {
  const std::string s = Lower(inner);
  static const char* const kColours[] = {"black",   "blue", "cyan",  "green",
                                         "magenta", "red",  "white", "yellow"};
  for (const char* c : kColours)
    if (s == c) return true;
  if (s.rfind("color", 0) == 0 && s.size() > 5) {
    char* end = nullptr;
    const long n = std::strtol(s.c_str() + 5, &end, 10);
    return *end == '\0' && n >= 1 && n <= 56;
  }
  if (!s.empty() && (s[0] == '<' || s[0] == '>' || s[0] == '=')) {
    std::size_t i = 1;
    if (i < s.size() && (s[i] == '=' || (s[0] == '<' && s[i] == '>'))) ++i;
    if (i >= s.size()) return false;
    char* end = nullptr;
    std::strtod(s.c_str() + i, &end);
    return end != s.c_str() + i && *end == '\0';
  }
  if (!s.empty() && (s[0] == 'h' || s[0] == 'm' || s[0] == 's'))
    return s.find_first_not_of(s[0]) == std::string::npos;
  return !s.empty() && s[0] == '$';
}

}  // namespace

bool CheckNumberFormat(const std::string& code, std::string& reason) {
  reason.clear();
  if (code.empty()) {
    reason = "Enter a format code.";
    return false;
  }
  int sections = 1;
  bool digits = false, at = false;
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char ch = code[i];
    switch (ch) {
      case '"': {
        const auto close = code.find('"', i + 1);
        if (close == std::string::npos) {
          reason = "A quoted text has no closing quotation mark.";
          return false;
        }
        i = close;
        break;
      }
      case '\\':
      case '_':
      case '*':
        if (i + 1 >= code.size()) {
          reason = std::string("\"") + ch + "\" must be followed by a character.";
          return false;
        }
        ++i;
        break;
      case '[': {
        const auto close = code.find(']', i + 1);
        if (close == std::string::npos) {
          reason = "A \"[\" has no closing \"]\".";
          return false;
        }
        const std::string inner = code.substr(i + 1, close - i - 1);
        if (!KnownBracket(inner)) {
          reason = "\"[" + inner + "]\" is not a colour, a condition or a time unit.";
          return false;
        }
        i = close;
        break;
      }
      case ']':
        reason = "A \"]\" has no opening \"[\".";
        return false;
      case ';':
        if (++sections > 4) {
          reason = "A format has at most four sections separated by \";\".";
          return false;
        }
        digits = at = false;
        break;
      case '0':
      case '#':
      case '?':
        digits = true;
        break;
      case '@':
        at = true;
        break;
      default:
        break;
    }
    if (digits && at) {
      reason = "Text (@) and digit placeholders (0 # ?) cannot share a section.";
      return false;
    }
  }
  return true;
}

std::string PreviewNumberFormat(const Control& control, const std::string& code) {
  std::string reason;
  if (!CheckNumberFormat(code, reason)) return {};
  int row = 1, col = 1;
  control.GetActiveCell(row, col);
  const auto format = format::ParseNumberFormat(code);
  return format::Render(*format, control.GetCellValue(row, col), control.Locale(),
                        control.Book().Date1904());
}

}  // namespace engine

namespace engine {

NumberFormatKind KindOfNumberFormat(const std::string& code) {
  static_assert(static_cast<int>(format::FormatCategory::Text) ==
                static_cast<int>(NumberFormatKind::Text));
  return static_cast<NumberFormatKind>(format::Category(*format::ParseNumberFormat(code)));
}

std::vector<std::string> BuiltinNumberFormats() {
  std::vector<std::string> codes;
  for (int id = 0; id < 50; ++id) {
    std::string code = format::BuiltinFormatCode(id);
    if (!code.empty()) codes.push_back(std::move(code));
  }
  return codes;
}

std::vector<std::string> DefinedNames(const Control& control) {
  std::vector<std::string> names;
  for (const auto& name : control.Book().Names()) names.push_back(name.name);
  return names;
}

}  // namespace engine
