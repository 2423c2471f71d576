#include "control/model/sheet_ops.h"

#include <algorithm>

namespace engine::sheet_ops {

namespace {

// Releases the pool entries of the cells in a block and blanks the slots.
void ReleaseBlock(Sheet& sheet, int row1, int col1, int row2, int col2, bool styles) {
  for (int c = col1; c <= col2; ++c) {
    Column& column = sheet.Col(c);
    int last = std::min(row2, column.LastSlotRow());
    column.ForEachSlot(row1, last, [&](int, CellSlot& slot) {
      sheet.ClearContent(slot);
      if (styles) slot.style = 0;
    });
  }
}

void MoveSlot(Sheet& sheet, int fromRow, int fromCol, int toRow, int toCol) {
  const CellSlot* src = sheet.Find(fromRow, fromCol);
  CellSlot moved = src ? *src : CellSlot{};
  if (!moved.IsBlank() || sheet.Find(toRow, toCol)) sheet.Col(toCol).At(toRow) = moved;
  if (src) sheet.Col(fromCol).At(fromRow) = CellSlot{};
}

void Finish(Sheet& sheet, int col1, int col2) {
  for (int c = col1; c <= col2; ++c) sheet.Col(c).Recount();
  sheet.InvalidateExtent();
  sheet.Changed();
}

}  // namespace

void ShiftDown(Sheet& sheet, int row, int count, int col1, int col2, bool withRowAttrs) {
  int keep = kMaxRow - row + 1 - count;  // rows that stay on the sheet after moving
  if (keep > 0) ReleaseBlock(sheet, row + keep, col1, kMaxRow, col2, true);
  else ReleaseBlock(sheet, row, col1, kMaxRow, col2, true);
  for (int c = col1; c <= col2; ++c) {
    Column& column = sheet.Col(c);
    if (row == 1) {  // the whole column moves: only its origin does
      column.InsertTopRows(count);
      continue;
    }
    int last = std::min(column.LastSlotRow(), row + keep - 1);
    if (last >= row && keep > 0) column.MoveRows(row, last - row + 1, row + count);
  }
  if (withRowAttrs) {
    auto& rows = sheet.RowAttrs();
    if (static_cast<int>(rows.size()) >= row) {
      rows.insert(rows.begin() + (row - 1), count, RowAttr{});
      if (static_cast<int>(rows.size()) > kMaxRow) rows.resize(kMaxRow);
    }
  }
  Finish(sheet, col1, col2);
}

void ShiftUp(Sheet& sheet, int row, int count, int col1, int col2, bool withRowAttrs) {
  ReleaseBlock(sheet, row, col1, row + count - 1, col2, true);
  for (int c = col1; c <= col2; ++c) {
    Column& column = sheet.Col(c);
    if (row == 1) {  // the whole column moves: only its origin does
      column.RemoveTopRows(count);
      continue;
    }
    int last = column.LastSlotRow();
    if (last >= row + count) column.MoveRows(row + count, last - (row + count) + 1, row);
    else if (last >= row) column.MoveRows(row + count, 0, row);
  }
  if (withRowAttrs) {
    auto& rows = sheet.RowAttrs();
    int size = static_cast<int>(rows.size());
    if (size >= row) rows.erase(rows.begin() + (row - 1), rows.begin() + std::min(size, row - 1 + count));
  }
  Finish(sheet, col1, col2);
}

void ShiftRight(Sheet& sheet, int col, int count, int row1, int row2, bool withColAttrs) {
  bool wholeColumns = row1 == 1 && row2 == kMaxRow;
  int keepTo = kMaxCol - count;  // last source column that stays on the sheet
  if (wholeColumns) {
    for (int c = keepTo + 1; c <= kMaxCol; ++c) {
      ReleaseBlock(sheet, 1, c, kMaxRow, c, true);
      sheet.Col(c).Reset();
    }
    for (int c = keepTo; c >= col; --c) sheet.Col(c).Swap(sheet.Col(c + count));
    for (int c = col; c < col + count && c <= kMaxCol; ++c) sheet.Col(c).Reset();
  } else {
    ReleaseBlock(sheet, row1, std::max(col, keepTo + 1), row2, kMaxCol, true);
    for (int c = keepTo; c >= col; --c)
      for (int r = row1; r <= std::min(row2, sheet.Col(c).LastSlotRow()); ++r)
        MoveSlot(sheet, r, c, r, c + count);
  }
  if (withColAttrs) {
    auto& attrs = sheet.ColAttrs();
    attrs.insert(attrs.begin() + (col - 1), count, ColumnAttr{});
    attrs.resize(kMaxCol);
    for (int c = kMaxCol; c >= col + count; --c) sheet.ResetWidest(c, sheet.WidestEntry(c - count));
    for (int c = col; c < col + count && c <= kMaxCol; ++c) sheet.ResetWidest(c, 0);
  }
  Finish(sheet, col, kMaxCol);
}

void ShiftLeft(Sheet& sheet, int col, int count, int row1, int row2, bool withColAttrs) {
  bool wholeColumns = row1 == 1 && row2 == kMaxRow;
  ReleaseBlock(sheet, row1, col, row2, col + count - 1, true);
  if (wholeColumns) {
    for (int c = col; c < col + count; ++c) sheet.Col(c).Reset();
    for (int c = col + count; c <= kMaxCol; ++c) sheet.Col(c).Swap(sheet.Col(c - count));
  } else {
    for (int c = col + count; c <= kMaxCol; ++c)
      for (int r = row1; r <= std::min(row2, sheet.Col(c).LastSlotRow()); ++r)
        MoveSlot(sheet, r, c, r, c - count);
  }
  if (withColAttrs) {
    auto& attrs = sheet.ColAttrs();
    attrs.erase(attrs.begin() + (col - 1), attrs.begin() + (col - 1 + count));
    attrs.resize(kMaxCol);
    for (int c = col; c <= kMaxCol - count; ++c) sheet.ResetWidest(c, sheet.WidestEntry(c + count));
    for (int c = kMaxCol - count + 1; c <= kMaxCol; ++c) sheet.ResetWidest(c, 0);
  }
  Finish(sheet, col, kMaxCol);
}

void MoveBlock(Sheet& sheet, int row1, int col1, int row2, int col2, int dRow, int dCol) {
  if (dRow == 0 && dCol == 0) return;
  int rows = row2 - row1 + 1;
  // Release what the block lands on, except the cells that are part of the block itself.
  for (int c = col1 + dCol; c <= col2 + dCol; ++c) {
    Column& column = sheet.Col(c);
    int last = std::min(row2 + dRow, column.LastSlotRow());
    column.ForEachSlot(row1 + dRow, last, [&](int r, CellSlot& slot) {
      if (r >= row1 && r <= row2 && c >= col1 && c <= col2) return;
      sheet.ClearContent(slot);
      slot.style = 0;
    });
  }
  if (dCol == 0) {
    for (int c = col1; c <= col2; ++c) sheet.Col(c).MoveRows(row1, rows, row1 + dRow);
  } else {
    // Walk away from the direction of travel so no source is overwritten before it moves.
    int cStart = dCol > 0 ? col2 : col1, cEnd = dCol > 0 ? col1 - 1 : col2 + 1;
    int cStep = dCol > 0 ? -1 : 1;
    int rStart = dRow > 0 ? row2 : row1, rEnd = dRow > 0 ? row1 - 1 : row2 + 1;
    int rStep = dRow > 0 ? -1 : 1;
    for (int c = cStart; c != cEnd; c += cStep)
      for (int r = rStart; r != rEnd; r += rStep) MoveSlot(sheet, r, c, r + dRow, c + dCol);
  }
  Finish(sheet, std::min(col1, col1 + dCol), std::max(col2, col2 + dCol));
}

void ClearBlock(Sheet& sheet, int row1, int col1, int row2, int col2, bool content, bool styles) {
  for (int c = col1; c <= col2; ++c) {
    Column& column = sheet.Col(c);
    int last = std::min(row2, column.LastSlotRow());
    column.ForEachSlot(row1, last, [&](int, CellSlot& slot) {
      if (content) sheet.ClearContent(slot);
      if (styles) slot.style = 0;
    });
  }
  bool wholeColumns = row1 == 1 && row2 == kMaxRow;
  bool wholeRows = col1 == 1 && col2 == kMaxCol;
  if (styles && wholeColumns)
    for (int c = col1; c <= col2; ++c) sheet.ColAttr(c).style = 0;
  if (styles && wholeRows)
    for (int r = row1; r <= std::min(row2, sheet.RowAttrCount()); ++r)
      sheet.MutableRowAttr(r).style = 0;
  if (content && wholeColumns)
    for (int c = col1; c <= col2; ++c) sheet.ResetWidest(c, 0);
  Finish(sheet, col1, col2);
}

}  // namespace engine::sheet_ops
