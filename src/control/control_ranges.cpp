// Structure: insert, delete, clear, move and sort ranges of the active sheet.
#include <algorithm>
#include <numeric>

#include "control/control.h"
#include "control/formula/formula_engine.h"
#include "control/model/carried_refs.h"
#include "control/model/sheet_ops.h"
#include "control/model/workbook.h"

namespace engine {

namespace {

// Sets a flag for as long as it lives.
struct RaisedWhile {
  explicit RaisedWhile(bool& flag) : flag_(flag) { flag_ = true; }
  ~RaisedWhile() { flag_ = false; }
  RaisedWhile(const RaisedWhile&) = delete;
  RaisedWhile& operator=(const RaisedWhile&) = delete;
  bool& flag_;
};

using formula::StructureChange;

// True when any column of [col1, col2] holds content at or below `row`... past `limit`.
bool ContentBelow(const Sheet& sheet, int col1, int col2, int row) {
  for (int c = col1; c <= col2; ++c)
    if (sheet.Col(c).LastUsedRow() >= row) return true;
  return false;
}

bool ContentRight(const Sheet& sheet, int row1, int row2, int col) {
  for (int c = col; c <= kMaxCol; ++c) {
    const Column& column = sheet.Col(c);
    if (column.LastUsedRow() < row1) continue;
    if (row1 == 1 && row2 == kMaxRow) return true;
    for (int r = row1; r <= std::min(row2, column.LastUsedRow()); ++r) {
      const CellSlot* s = column.Find(r);
      if (s && s->HasContent()) return true;
    }
  }
  return false;
}

[[noreturn]] void OffSheet() {
  throw EngineError(kErrStructure,
                    "Cannot shift cells off the sheet: the cells at its edge are not empty.");
}

// Resolves a shift code against the block: whole rows or whole columns, or a plain shift.
struct Shift {
  bool vertical;
  bool rowAttrs;
  bool colAttrs;
};

Shift ResolveShift(int& row1, int& col1, int& row2, int& col2, int shift) {
  switch (shift) {
    case kShiftRows:
      col1 = 1;
      col2 = kMaxCol;
      return {true, true, false};
    case kShiftColumns:
      row1 = 1;
      row2 = kMaxRow;
      return {false, false, true};
    case kShiftVertical:
      return {true, col1 == 1 && col2 == kMaxCol, false};
    case kShiftHorizontal:
      return {false, false, row1 == 1 && row2 == kMaxRow};
    default:
      throw EngineError(kErrBadArgument, "Invalid shift code " + std::to_string(shift) + ".");
  }
}

}  // namespace

void Control::InsertRange(int row1, int col1, int row2, int col2, int shift) {
  CheckRange(row1, col1, row2, col2);
  Shift how = ResolveShift(row1, col1, row2, col2, shift);
  Sheet& sheet = ActiveSheet();
  CheckArrayShift(sheet, row1, col1, row2, col2, how.vertical, true);
  if (editing_) TerminateCellEdit();
  if (how.vertical) {
    int count = row2 - row1 + 1;
    if (ContentBelow(sheet, col1, col2, kMaxRow - count + 1)) OffSheet();
  } else {
    int count = col2 - col1 + 1;
    if (ContentRight(sheet, row1, row2, kMaxCol - count + 1)) OffSheet();
    if (how.colAttrs)
      for (int c = kMaxCol - count + 1; c <= kMaxCol; ++c)
        if (!sheet.ColAttr(c).heading.empty()) OffSheet();
  }
  ModifyScope scope(*this);
  StructureChange change{how.vertical ? StructureChange::InsertShiftDown
                                      : StructureChange::InsertShiftRight,
                         sheet.Id(), row1, col1, row2, col2};
  book_->Formulas().BeforeStructureChange(change);
  if (how.vertical) {
    sheet_ops::ShiftDown(sheet, row1, row2 - row1 + 1, col1, col2, how.rowAttrs);
    features::InsertRows(sheet.Features(), row1, row2 - row1 + 1, col1, col2);
  } else {
    sheet_ops::ShiftRight(sheet, col1, col2 - col1 + 1, row1, row2, how.colAttrs);
    features::InsertCols(sheet.Features(), col1, col2 - col1 + 1, row1, row2);
  }
  if (!namesRowEdit_)
    features::MapCarriedRefs(*book_, sheet,
                             how.vertical ? features::LineEdit{true, row1, row2 - row1 + 1, col1, col2, true}
                                          : features::LineEdit{false, col1, col2 - col1 + 1, row1, row2, true});
  book_->Formulas().AfterStructureChange();
  scope.Changed();
}

void Control::DeleteRange(int row1, int col1, int row2, int col2, int shift) {
  CheckRange(row1, col1, row2, col2);
  Shift how = ResolveShift(row1, col1, row2, col2, shift);
  Sheet& sheet = ActiveSheet();
  CheckArrayShift(sheet, row1, col1, row2, col2, how.vertical, false);
  if (editing_) CancelCellEdit();
  ModifyScope scope(*this);
  StructureChange change{how.vertical ? StructureChange::DeleteShiftUp
                                      : StructureChange::DeleteShiftLeft,
                         sheet.Id(), row1, col1, row2, col2};
  book_->Formulas().BeforeStructureChange(change);
  if (how.vertical) {
    sheet_ops::ShiftUp(sheet, row1, row2 - row1 + 1, col1, col2, how.rowAttrs);
    features::DeleteRows(sheet.Features(), row1, row2 - row1 + 1, col1, col2);
  } else {
    sheet_ops::ShiftLeft(sheet, col1, col2 - col1 + 1, row1, row2, how.colAttrs);
    features::DeleteCols(sheet.Features(), col1, col2 - col1 + 1, row1, row2);
  }
  if (!namesRowEdit_)
    features::MapCarriedRefs(*book_, sheet,
                             how.vertical ? features::LineEdit{true, row1, row2 - row1 + 1, col1, col2, false}
                                          : features::LineEdit{false, col1, col2 - col1 + 1, row1, row2, false});
  book_->Formulas().AfterStructureChange();
  scope.Changed();
}

void Control::DeleteNamesRow() {
  Sheet& sheet = ActiveSheet();
  // An array formula that holds a name and values below it cannot be cut in two: say which.
  for (int c = 1; c <= sheet.LastCol(); ++c) {
    Column& column = sheet.Col(c);
    column.ForEachSlot(1, 1, [&](int, CellSlot& s) {
      if (s.kind != CellKind::Formula) return;
      const FormulaCell& f = sheet.Formula(s);
      if (!f.InBlock() || f.arrayRow != 0 || f.arrayRows < 2) return;
      throw EngineError(kErrArrayPart,
                        "The array formula " + FormatCellRef(1, c - f.arrayCol, false) + ":" +
                            FormatCellRef(f.arrayRows, c - f.arrayCol + f.arrayCols - 1, false) +
                            " of sheet \"" + sheet.Name() +
                            "\" reaches from the names row into the values, so the sheet "
                            "cannot be opened as a table.");
    });
  }
  if (editing_) CancelCellEdit();
  // Row 1 as the file had it: its attributes and items wait on the heading row.
  sheet.HeadingRowAttr() = sheet.GetRowAttr(1);
  SheetFeatures kept = sheet.Features();
  {
    const RaisedWhile namesRow(namesRowEdit_);
    DeleteRange(1, -1, 1, -1, kShiftRows);
  }
  sheet.Features() = std::move(kept);
  features::ShiftForNamesRow(sheet.Features(), -1);
}

void Control::InsertNamesRow() {
  Sheet& sheet = ActiveSheet();
  SheetFeatures kept = sheet.Features();
  {
    const RaisedWhile namesRow(namesRowEdit_);
    InsertRange(1, -1, 1, -1, kShiftRows);
  }
  sheet.Features() = std::move(kept);
  features::ShiftForNamesRow(sheet.Features(), +1);
  if (sheet.HeadingRowAttr() != RowAttr{}) sheet.MutableRowAttr(1) = sheet.HeadingRowAttr();
}

void Control::ClearRange(int row1, int col1, int row2, int col2, int clearType) {
  CheckRange(row1, col1, row2, col2);
  if (clearType < kClearAll || clearType > kClearValues)
    throw EngineError(kErrBadArgument, "Invalid clear type " + std::to_string(clearType) + ".");
  Sheet& sheet = ActiveSheet();
  if (clearType != kClearFormats) CheckArrayBlocks(sheet, row1, col1, row2, col2);
  ModifyScope scope(*this);
  bool content = clearType != kClearFormats;
  bool styles = clearType != kClearValues;
  sheet_ops::ClearBlock(sheet, row1, col1, row2, col2, content, styles);
  if (content) book_->Formulas().RangeChanged(sheet, row1, col1, row2, col2);
  scope.Changed();
}

void Control::MoveRange(int row1, int col1, int row2, int col2, int rowOffset, int colOffset) {
  CheckRange(row1, col1, row2, col2);
  if (row1 + rowOffset < 1 || row2 + rowOffset > kMaxRow || col1 + colOffset < 1 ||
      col2 + colOffset > kMaxCol)
    throw EngineError(kErrStructure, "Cannot move the range off the sheet.");
  if (rowOffset == 0 && colOffset == 0) return;
  Sheet& sheet = ActiveSheet();
  CheckArrayBlocks(sheet, row1, col1, row2, col2);
  const Block moving{row1, col1, row2, col2};
  CheckArrayBlocks(sheet, row1 + rowOffset, col1 + colOffset, row2 + rowOffset, col2 + colOffset,
                   &moving);
  if (editing_) TerminateCellEdit();
  ModifyScope scope(*this);
  StructureChange change{StructureChange::Move, sheet.Id(), row1, col1, row2, col2,
                         rowOffset, colOffset};
  book_->Formulas().BeforeStructureChange(change);
  sheet_ops::MoveBlock(sheet, row1, col1, row2, col2, rowOffset, colOffset);
  features::MoveBlock(sheet.Features(), CellRange{row1, col1, row2, col2}, rowOffset, colOffset);
  features::MoveCarriedRefs(*book_, sheet,
                            features::BlockMove{{row1, col1, row2, col2}, rowOffset, colOffset});
  book_->Formulas().AfterStructureChange();
  scope.Changed();
}

namespace {

// Sort order of the spreadsheet: numbers, text (case-insensitive), logical, errors; blanks
// always last whatever the direction.
int Rank(const Value& v) {
  switch (v.kind) {
    case ValueKind::Number:
      return 0;
    case ValueKind::Text:
      return 1;
    case ValueKind::Logical:
      return 2;
    case ValueKind::Error:
      return 3;
    case ValueKind::Empty:
      return 4;
  }
  return 4;
}

int CompareText(const std::string& a, const std::string& b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int x = std::tolower(static_cast<unsigned char>(a[i]));
    int y = std::tolower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// <0, 0, >0 in ascending order, blanks last.
int CompareValues(const Value& a, const Value& b, bool descending) {
  int ra = Rank(a), rb = Rank(b);
  if (ra == 4 || rb == 4) return ra == rb ? 0 : (ra == 4 ? 1 : -1);
  int c = 0;
  if (ra != rb) {
    c = ra < rb ? -1 : 1;
  } else if (a.IsNumber()) {
    c = a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
  } else if (a.IsText()) {
    c = CompareText(a.text, b.text);
  } else if (a.IsLogical()) {
    c = int(a.logical) - int(b.logical);
  }
  return descending ? -c : c;
}

}  // namespace

void Control::SortRange(int row1, int col1, int row2, int col2, bool byRows, int key1, int key2,
                        int key3) {
  CheckRange(row1, col1, row2, col2);
  Sheet& sheet = ActiveSheet();
  // byRows: the rows of the range are reordered and the keys are column numbers; otherwise the
  // columns are reordered and the keys are row numbers. 0 ends the keys; negative descends.
  std::vector<int> keys;
  for (int k : {key1, key2, key3}) {
    if (k == 0) break;
    int at = std::abs(k);
    bool inside = byRows ? (at >= col1 && at <= col2) : (at >= row1 && at <= row2);
    if (!inside) throw EngineError(kErrBadArgument, "The sort key must lie within the range.");
    keys.push_back(k);
  }
  if (keys.empty()) throw EngineError(kErrBadArgument, "A sort needs at least one key.");
  if (editing_) TerminateCellEdit();
  int lines = byRows ? row2 - row1 + 1 : col2 - col1 + 1;
  int width = byRows ? col2 - col1 + 1 : row2 - row1 + 1;
  auto cellOf = [&](int line, int pos, int& r, int& c) {
    r = byRows ? row1 + line : row1 + pos;
    c = byRows ? col1 + pos : col1 + line;
  };
  // Only the used part of the range takes part; the blank tail stays where it is.
  if (byRows) lines = std::max(0, std::min(row2, sheet.LastRow()) - row1 + 1);
  else lines = std::max(0, std::min(col2, sheet.LastCol()) - col1 + 1);
  if (lines < 2) return;
  std::vector<std::vector<Value>> keyValues(keys.size(), std::vector<Value>(lines));
  for (std::size_t k = 0; k < keys.size(); ++k)
    for (int line = 0; line < lines; ++line) {
      int at = std::abs(keys[k]);
      int r = byRows ? row1 + line : at;
      int c = byRows ? at : col1 + line;
      keyValues[k][line] = book_->GetValue(sheet, r, c);
    }
  std::vector<int> order(lines);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    for (std::size_t k = 0; k < keys.size(); ++k) {
      int c = CompareValues(keyValues[k][a], keyValues[k][b], keys[k] < 0);
      if (c) return c < 0;
    }
    return false;
  });
  bool identity = true;
  for (int i = 0; i < lines && identity; ++i) identity = order[i] == i;
  if (identity) return;
  ModifyScope scope(*this);
  // Take every slot of the used lines out, then put them back in the new order. Pool entries
  // stay with their slots; formulas keep their relative references relative.
  std::vector<CellSlot> taken(static_cast<std::size_t>(lines) * width);
  for (int line = 0; line < lines; ++line)
    for (int pos = 0; pos < width; ++pos) {
      int r, c;
      cellOf(line, pos, r, c);
      if (const CellSlot* s = sheet.Find(r, c)) taken[line * width + pos] = *s;
    }
  for (int line = 0; line < lines; ++line)
    for (int pos = 0; pos < width; ++pos) {
      int r, c;
      cellOf(line, pos, r, c);
      const CellSlot& s = taken[order[line] * width + pos];
      if (!s.IsBlank() || sheet.Find(r, c)) sheet.Col(c).At(r) = s;
    }
  for (int c = col1; c <= col2; ++c) sheet.Col(c).Recount();
  if (byRows) features::SortRows(sheet.Features(), row1, col1, col2, order);
  else features::SortCols(sheet.Features(), col1, row1, row2, order);
  features::SortCarriedRefs(*book_, sheet,
                            byRows ? features::LineOrder::Of(true, row1, col1, col2, order)
                                   : features::LineOrder::Of(false, col1, row1, row2, order));
  sheet.InvalidateExtent();
  sheet.Changed();
  book_->Formulas().AfterStructureChange();
  scope.Changed();
}

}  // namespace engine
