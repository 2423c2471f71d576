#pragma once
// The two languages the table's resources exist in. Every string, menu text and dialog text has
// an English and a Japanese form under the same id; the platform picks one from the user's locale.

#include <string_view>

namespace resources {

enum class Language { English = 0, Japanese = 1 };

inline constexpr int kLanguageCount = 2;

// The language for a locale's language code, as the platform reports it ("ja", "ja_JP",
// "ja-JP", "ja_JP.UTF-8", "ja_JP@…"; letter case ignored): Japanese for "ja" as the whole
// language part, English for everything else ("en_US", "C", "POSIX", "", "jv_ID", …).
Language LanguageFor(std::string_view localeLanguage);

}  // namespace resources
