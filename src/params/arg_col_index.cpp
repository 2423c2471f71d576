#include "params/arg_col_index.h"

#include "control/control.h"
#include "params/column_letters.h"

namespace params {

void SheetArgIndex::Rebuild(const engine::Control& ctl, long lastCol) {
  if (lastCol < 0) lastCol = 0;
  if (lastCol > engine::kMaxCol) lastCol = engine::kMaxCol;
  columns_.Clear(static_cast<std::size_t>(lastCol));
  for (long c = 1; c <= lastCol; ++c) {
    const std::string& heading = ctl.GetColumnHeading(static_cast<int>(c));
    // The first column with a name wins, as a scan from the left finds it.
    columns_.Add(heading.empty() ? ColumnLetters(c) : heading, c);
  }
}

void ColumnNameTable::Clear(std::size_t expected) {
  std::size_t size = 16;
  while (size < 2 * expected + 2) size *= 2;
  slots_.assign(size, Slot());
  mask_ = size - 1;
  count_ = 0;
}

void ColumnNameTable::Add(const std::string& name, long col) {
  // At most half full, so that every probe soon ends at an empty slot.
  if (2 * (count_ + 1) > slots_.size()) {
    std::vector<Slot> old = std::move(slots_);
    Clear(old.size());
    for (Slot& slot : old) {
      if (slot.col == 0) continue;
      std::size_t i = slot.hash & mask_;
      while (slots_[i].col != 0) i = (i + 1) & mask_;
      slots_[i] = std::move(slot);
      ++count_;
    }
  }
  const std::uint64_t h = Hash(name.data(), name.size());
  std::size_t i = h & mask_;
  for (; slots_[i].col != 0; i = (i + 1) & mask_)
    if (slots_[i].hash == h && slots_[i].name == name) return;
  slots_[i] = Slot{h, col, name};
  ++count_;
}

SheetArgIndex& ArgColumnIndex::Find(const void* book, const void* sheet, std::uint32_t sheetId) {
  if (book != book_) {
    entries_.clear();
    book_ = book;
  }
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].sheet == sheet && entries_[i].sheetId == sheetId) {
      last_ = i;
      return entries_[i].index;
    }
  }
  // Forget sheets that are gone or replaced by one with the same id; keep the list short.
  if (entries_.size() >= 64) entries_.clear();
  entries_.push_back(Entry{sheet, sheetId, SheetArgIndex()});
  last_ = entries_.size() - 1;
  return entries_.back().index;
}

}  // namespace params
