#pragma once
// Finding a parameter's column by name without scanning the header on every call. One index
// per sheet maps each column name (the heading, or the column letters of an unnamed column) to
// the first column that bears it, for the columns up to the sheet's last parameter column.
// An index is used only while its stamp still matches everything the answer depends on: the
// engine's heading stamp of the sheet (unique to the sheet and the state of its headings), the
// sheet's last used column, the sheet's position and its recorded header column count. Values
// written into the used columns leave it valid, so a lookup costs one hash and one comparison.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace engine {
class Control;
}

namespace params {

struct IndexStamp {
  std::uint64_t headings = 0;
  long lastUsedCol = 0;
  long sheetIndex = 0;
  long headerCount = -1;  // the recorded header column count; -1 when none is recorded
  bool operator==(const IndexStamp&) const = default;
};

// Names to columns in an open-addressing table of a power-of-two size, at most half full: a
// lookup hashes the name once and compares it with the one entry of equal hash, if any.
class ColumnNameTable {
 public:
  void Clear(std::size_t expected);
  // Keeps the column already entered for the name: the leftmost, when filled from the left.
  void Add(const std::string& name, long col);
  long Find(const std::string& name) const {
    if (slots_.empty()) return -1;
    const std::uint64_t h = Hash(name.data(), name.size());
    for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (slot.col == 0) return -1;
      if (slot.hash == h && SameText(slot.name, name)) return slot.col;
    }
  }
  // Whole words only, never a byte-wise tail: a name is read in at most a few loads.
  static std::uint64_t Hash(const char* p, std::size_t n) {
    std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ (n * 0xFF51AFD7ED558CCDULL);
    const char* end = p + n;
    if (n >= 8) {
      for (; end - p > 8; p += 8) h = Mix(h, Load<std::uint64_t>(p));
      h = Mix(h, Load<std::uint64_t>(end - 8));  // the last eight bytes, overlapping
    } else if (n >= 4) {
      h = Mix(h, Load<std::uint32_t>(p) | (std::uint64_t{Load<std::uint32_t>(end - 4)} << 32));
    } else if (n > 0) {
      h = Mix(h, std::uint64_t{static_cast<unsigned char>(p[0])} |
                     std::uint64_t{static_cast<unsigned char>(p[n / 2])} << 8 |
                     std::uint64_t{static_cast<unsigned char>(p[n - 1])} << 16);
    }
    return Mix(h, n);
  }

 private:
  template <class T>
  static T Load(const char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
  // Equal names; a name of up to 16 bytes is compared in at most four loads, without a call.
  static bool SameText(const std::string& a, const std::string& b) {
    const std::size_t n = a.size();
    if (n != b.size()) return false;
    const char* p = a.data();
    const char* q = b.data();
    if (n >= 8 && n <= 16)
      return Load<std::uint64_t>(p) == Load<std::uint64_t>(q) &&
             Load<std::uint64_t>(p + n - 8) == Load<std::uint64_t>(q + n - 8);
    if (n >= 4 && n < 8)
      return Load<std::uint32_t>(p) == Load<std::uint32_t>(q) &&
             Load<std::uint32_t>(p + n - 4) == Load<std::uint32_t>(q + n - 4);
    return std::memcmp(p, q, n) == 0;
  }
  static std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
    h = (h ^ v) * 0xC4CEB9FE1A85EC53ULL;
    return h ^ (h >> 29);
  }
  struct Slot {
    std::uint64_t hash = 0;
    long col = 0;  // 0: empty
    std::string name;
  };
  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
  std::size_t count_ = 0;
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
  long Find(const std::string& name) const { return columns_.Find(name); }

 private:
  bool valid_ = false;
  IndexStamp stamp_;
  ColumnNameTable columns_;
};

class ArgColumnIndex {
 public:
  // The index of the sheet a stamp names; created empty (not current) on first use. Indexes
  // of another workbook are dropped, since a replaced workbook may reuse sheet ids.
  SheetArgIndex& For(const void* book, const void* sheet, std::uint32_t sheetId) {
    if (book == book_ && last_ < entries_.size() && entries_[last_].sheet == sheet &&
        entries_[last_].sheetId == sheetId)
      return entries_[last_].index;
    return Find(book, sheet, sheetId);
  }
  void Clear() {
    entries_.clear();
    book_ = nullptr;
  }

 private:
  SheetArgIndex& Find(const void* book, const void* sheet, std::uint32_t sheetId);
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
