#pragma once
// The workbook's number-format codes, interned: a style refers to a code by index, and each
// code is parsed once.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "control/format/number_format.h"

namespace engine {

class FormatTable {
 public:
  FormatTable();  // index 0 is "General"

  std::uint16_t Intern(std::string_view code);
  const std::string& Code(std::uint16_t index) const {
    return entries_[index < entries_.size() ? index : 0].code;
  }
  // Read for every cell displayed: inline.
  const format::NumberFormat& Get(std::uint16_t index) const {
    return *entries_[index < entries_.size() ? index : 0].parsed;
  }
  std::size_t Count() const { return entries_.size(); }

 private:
  struct Entry {
    std::string code;
    std::shared_ptr<const format::NumberFormat> parsed;
  };
  std::vector<Entry> entries_;
  std::unordered_map<std::string, std::uint16_t> index_;
};

}  // namespace engine
