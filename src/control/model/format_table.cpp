#include "control/model/format_table.h"

#include "control/engine_error.h"

namespace engine {

FormatTable::FormatTable() { Intern("General"); }

std::uint16_t FormatTable::Intern(std::string_view code) {
  std::string key(code);
  auto it = index_.find(key);
  if (it != index_.end()) return it->second;
  if (entries_.size() >= 0xFFFF) throw EngineError(kErrBadArgument, "Too many number formats.");
  auto index = static_cast<std::uint16_t>(entries_.size());
  entries_.push_back({key, format::ParseNumberFormat(code)});
  index_.emplace(std::move(key), index);
  return index;
}

}  // namespace engine
