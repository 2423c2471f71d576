#pragma once
// The table's string table: messages, status-bar prompts of the menu commands (under the
// command's id), file-dialog filters and the window title, in English and Japanese. Texts are
// UTF-8, kept exactly as the messages are worded, with their line breaks and placeholders ("%1"
// is replaced by the caller's argument, "%s" is a printf conversion); both languages carry the
// same placeholders. The data is compiled in: nothing is read at run time.

#include <span>

#include "resources/language.h"

namespace resources {

struct StringEntry {
  int id;
  const char* text[kLanguageCount];  // indexed by Language
};

// Every entry, sorted by id, each id once.
std::span<const StringEntry> StringTable();

// The text of string id in lang, or nullptr when the table has no such id.
const char* String(int id, Language lang);

}  // namespace resources
