#include "control/format/typed_entry.h"

#include <cctype>
#include <ctime>

#include "control/format/typed_entry_parts.h"

namespace engine::format {
namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k)
    if (std::tolower(static_cast<unsigned char>(a[k])) !=
        std::tolower(static_cast<unsigned char>(b[k])))
      return false;
  return true;
}

int CurrentYear() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

}  // namespace

TypedEntry InterpretTyped(std::string_view text, const LocaleSettings& locale, bool date1904) {
  return InterpretTyped(text, locale, date1904, CurrentYear());
}

TypedEntry InterpretTyped(std::string_view text, const LocaleSettings& locale, bool date1904,
                          int currentYear) {
  std::string_view t = text;
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  TypedEntry e;
  if (!t.empty()) {
    if (EqualsNoCase(t, "TRUE") || EqualsNoCase(t, "FALSE")) {
      e.value = Value::Logical(t.size() == 4);
      return e;
    }
    ErrorValue err;
    if (ParseErrorText(t, err)) {
      e.value = Value::Error(err);
      return e;
    }
    if (auto number = ParseTypedNumber(t, locale)) return *number;
    if (auto date = ParseTypedDateTime(t, locale, date1904, currentYear)) return *date;
  }
  e.value = Value::Text(std::string(text));
  return e;
}

}  // namespace engine::format
