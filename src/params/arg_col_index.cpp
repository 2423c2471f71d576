#include "params/arg_col_index.h"

#include "control/control.h"
#include "params/column_letters.h"

namespace params {

void SheetArgIndex::Rebuild(const engine::Control& ctl, long lastCol) {
  if (lastCol < 0) lastCol = 0;
  if (lastCol > engine::kMaxCol) lastCol = engine::kMaxCol;
  columns_.clear();
  columns_.reserve(static_cast<std::size_t>(lastCol));
  for (long c = 1; c <= lastCol; ++c) {
    const std::string& heading = ctl.GetColumnHeading(static_cast<int>(c));
    // The first column with a name wins, as a scan from the left finds it.
    columns_.emplace(heading.empty() ? ColumnLetters(c) : heading, c);
  }
}

SheetArgIndex& ArgColumnIndex::For(const engine::SheetStamp& sheet) {
  if (sheet.book != book_) {
    entries_.clear();
    book_ = sheet.book;
  }
  if (last_ < entries_.size() && entries_[last_].sheet == sheet.sheet &&
      entries_[last_].sheetId == sheet.sheetId)
    return entries_[last_].index;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].sheet == sheet.sheet && entries_[i].sheetId == sheet.sheetId) {
      last_ = i;
      return entries_[i].index;
    }
  }
  // Forget sheets that are gone or replaced by one with the same id; keep the list short.
  if (entries_.size() >= 64) entries_.clear();
  entries_.push_back(Entry{sheet.sheet, sheet.sheetId, SheetArgIndex()});
  last_ = entries_.size() - 1;
  return entries_.back().index;
}

}  // namespace params
