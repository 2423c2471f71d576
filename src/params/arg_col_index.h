#pragma once
// Finding a parameter's column by name without scanning the header on every call. One index
// per sheet maps each column name (the heading, or the column letters of an unnamed column) to
// the first column that bears it, for the columns up to the sheet's last parameter column.
// An index is used only while its stamp still matches everything the answer depends on: the
// engine's heading stamp of the sheet (unique to the sheet and the state of its headings), the
// sheet's last used column, the sheet's position and its recorded header column count. Values
// written into the used columns leave it valid, so a lookup costs one hash and one comparison.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace engine {
class Control;
struct SheetStamp;
}

namespace params {

struct IndexStamp {
  std::uint64_t headings = 0;
  long lastUsedCol = 0;
  long sheetIndex = 0;
  long headerCount = -1;  // the recorded header column count; -1 when none is recorded
  bool operator==(const IndexStamp&) const = default;
};

class SheetArgIndex {
 public:
  bool IsCurrent(const IndexStamp& stamp) const { return valid_ && stamp == stamp_; }
  // Reads the headings of the engine's active sheet.
  void Rebuild(const engine::Control& ctl, long lastCol);
  void SetStamp(const IndexStamp& stamp) {
    stamp_ = stamp;
    valid_ = true;
  }
  void Invalidate() { valid_ = false; }
  // The first column bearing the name, or -1.
  long Find(const std::string& name) const {
    auto it = columns_.find(name);
    return it == columns_.end() ? -1 : it->second;
  }

 private:
  bool valid_ = false;
  IndexStamp stamp_;
  std::unordered_map<std::string, long> columns_;
};

class ArgColumnIndex {
 public:
  // The index of the sheet a stamp names; created empty (not current) on first use. Indexes
  // of another workbook are dropped, since a replaced workbook may reuse sheet ids.
  SheetArgIndex& For(const engine::SheetStamp& sheet);
  void Clear() {
    entries_.clear();
    book_ = nullptr;
  }

 private:
  struct Entry {
    const void* sheet;
    std::uint32_t sheetId;
    SheetArgIndex index;
  };
  const void* book_ = nullptr;
  std::vector<Entry> entries_;
  std::size_t last_ = 0;  // the entry found last: the run-row walk reads one sheet at a time
};

}  // namespace params
