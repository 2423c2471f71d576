// Choosing the resources' language from the user's locale.

#include "resources/language.h"

#include <gtest/gtest.h>

namespace {

using resources::Language;
using resources::LanguageFor;

TEST(Language, JapaneseLocalesInEveryNotation) {
  for (const char* locale : {"ja", "JA", "Ja", "ja_JP", "ja-JP", "ja_JP.UTF-8", "ja_JP.eucJP",
                             "ja.UTF-8", "ja_JP@calendar=japanese"}) {
    EXPECT_EQ(LanguageFor(locale), Language::Japanese) << locale;
  }
}

TEST(Language, EverythingElseIsEnglish) {
  // "jv" is Javanese and "jam" Jamaican Creole: only "ja" as the whole language part counts.
  for (const char* locale : {"", "C", "POSIX", "en", "en_US.UTF-8", "de_DE", "zh_CN", "j", "jv_ID",
                             "jam", "jap", "xja", " ja", "ja JP"}) {
    EXPECT_EQ(LanguageFor(locale), Language::English) << '"' << locale << '"';
  }
}

}  // namespace
