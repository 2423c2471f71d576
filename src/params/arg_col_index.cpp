#include "params/arg_col_index.h"

#include "control/model/sheet.h"
#include "params/column_letters.h"

namespace params {

bool SheetArgIndex::HasSameHeader(const engine::Sheet& sheet, long lastCol) const {
  if (lastCol != lastCol_) return false;
  for (long c = 1; c <= lastCol; ++c)
    if (sheet.ColAttr(static_cast<int>(c)).heading != headings_[c - 1]) return false;
  return true;
}

void SheetArgIndex::Rebuild(const engine::Sheet& sheet, long lastCol) {
  if (lastCol < 0) lastCol = 0;
  if (lastCol > engine::kMaxCol) lastCol = engine::kMaxCol;
  lastCol_ = lastCol;
  headings_.resize(static_cast<std::size_t>(lastCol));
  columns_.clear();
  columns_.reserve(static_cast<std::size_t>(lastCol));
  for (long c = 1; c <= lastCol; ++c) {
    const std::string& heading = sheet.ColAttr(static_cast<int>(c)).heading;
    headings_[c - 1] = heading;
    // The first column with a name wins, as a scan from the left finds it.
    columns_.emplace(heading.empty() ? ColumnLetters(c) : heading, c);
  }
}

SheetArgIndex& ArgColumnIndex::For(const void* book, const engine::Sheet& sheet) {
  if (book != book_) {
    entries_.clear();
    book_ = book;
  }
  if (last_ < entries_.size() && entries_[last_].sheet == &sheet &&
      entries_[last_].sheetId == sheet.Id())
    return entries_[last_].index;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].sheet == &sheet && entries_[i].sheetId == sheet.Id()) {
      last_ = i;
      return entries_[i].index;
    }
  }
  // Forget sheets that are gone or replaced by one with the same id; keep the list short.
  if (entries_.size() >= 64) entries_.clear();
  entries_.push_back(Entry{&sheet, sheet.Id(), SheetArgIndex()});
  last_ = entries_.size() - 1;
  return entries_.back().index;
}

}  // namespace params
