#include "resources/string_table.h"

#include <algorithm>

#include "resources/string_table_data.h"

namespace resources {

std::span<const StringEntry> StringTable() { return detail::kStringEntries; }

const char* String(int id, Language lang) {
  const auto entries = StringTable();
  const auto it = std::lower_bound(entries.begin(), entries.end(), id,
                                   [](const StringEntry& e, int key) { return e.id < key; });
  if (it == entries.end() || it->id != id) return nullptr;
  const int index = static_cast<int>(lang);
  if (index < 0 || index >= kLanguageCount) return nullptr;
  return it->text[index];
}

}  // namespace resources
