#include "resources/language.h"

namespace resources {

namespace {

bool IsLower(char c, char lower) { return c == lower || c == lower - 'a' + 'A'; }

// Characters that may end the language part of a locale name.
bool EndsLanguagePart(char c) { return c == '_' || c == '-' || c == '.' || c == '@'; }

}  // namespace

Language LanguageFor(std::string_view localeLanguage) {
  if (localeLanguage.size() < 2 || !IsLower(localeLanguage[0], 'j') ||
      !IsLower(localeLanguage[1], 'a'))
    return Language::English;
  if (localeLanguage.size() > 2 && !EndsLanguagePart(localeLanguage[2])) return Language::English;
  return Language::Japanese;
}

}  // namespace resources
