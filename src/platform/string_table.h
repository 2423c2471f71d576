#pragma once
// The string table: a string by id in the current language (English or Japanese).

#include <string>

namespace platform {

class StringTable {
 public:
  virtual ~StringTable() = default;
  // false when the id has no string; out is then left empty.
  virtual bool Load(unsigned id, std::string& out) const = 0;
  virtual void SetLanguage(const std::string& language) = 0;  // "en" or "ja"
};

}  // namespace platform
