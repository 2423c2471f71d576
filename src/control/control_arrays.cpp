// Array formulas: a block of cells that holds one formula, calculated as one and protected as
// one.
#include <algorithm>

#include "control/control.h"
#include "control/engine_error.h"
#include "control/formula/formula_engine.h"
#include "control/model/sheet.h"
#include "control/model/workbook.h"

namespace engine {

void Control::CheckArrayBlocks(const Sheet& sheet, int row1, int col1, int row2, int col2,
                               const Block* except) const {
  Sheet& cells = const_cast<Sheet&>(sheet);  // walked, not changed
  for (int c = col1; c <= col2; ++c) {
    Column& column = cells.Col(c);
    int last = std::min(row2, column.LastUsedRow());
    if (last < row1) continue;
    column.ForEachSlot(row1, last, [&](int row, CellSlot& s) {
      if (s.kind != CellKind::Formula) return;
      const FormulaCell& f = cells.Formula(s);
      if (!f.InBlock()) return;
      int top = row - f.arrayRow, left = c - f.arrayCol;
      int bottom = top + f.arrayRows - 1, right = left + f.arrayCols - 1;
      if (except && top >= except->row1 && left >= except->col1 && bottom <= except->row2 &&
          right <= except->col2)
        return;  // a whole block that moves itself
      if (top < row1 || left < col1 || bottom > row2 || right > col2)
        throw EngineError(kErrArrayPart, "You cannot change part of an array.");
    });
  }
}

void Control::CheckArrayShift(Sheet& sheet, int row1, int col1, int row2, int col2,
                              bool vertical, bool insert) const {
  // In the direction of the shift, "lines" run across it (rows for a vertical shift): the
  // cells at and after line `first` move, within the span of cross lines lo…hi.
  const int first = vertical ? row1 : col1, last = vertical ? row2 : col2;
  const int lo = vertical ? col1 : row1, hi = vertical ? col2 : row2;
  sheet.ForEachFormula([&](int row, int col, FormulaCell& f) {
    if (!f.InBlock() || f.arrayRow != 0 || f.arrayCol != 0) return;
    const int top = vertical ? row : col, bottom = top + (vertical ? f.arrayRows : f.arrayCols) - 1;
    const int left = vertical ? col : row, right = left + (vertical ? f.arrayCols : f.arrayRows) - 1;
    if (right < lo || left > hi || bottom < first) return;  // does not move
    bool split = left < lo || right > hi;                    // part of it would move
    if (insert) split = split || top < first;
    else split = split || (top <= last && (top < first || bottom > last));
    if (split) throw EngineError(kErrArrayPart, "You cannot change part of an array.");
  });
}

void Control::SetArrayFormula(int row1, int col1, int row2, int col2, const std::string& text) {
  CheckRange(row1, col1, row2, col2);
  std::string_view body(text);
  if (!body.empty() && body.front() == '=') body.remove_prefix(1);
  if (body.empty()) throw EngineError(kErrFormulaSyntax, "The array formula is empty.");
  Sheet& sheet = ActiveSheet();
  CheckArrayBlocks(sheet, row1, col1, row2, col2);
  const int rows = row2 - row1 + 1, cols = col2 - col1 + 1;
  // Compile every cell before changing any, so a formula that does not parse leaves the
  // block as it was.
  std::vector<std::unique_ptr<FormulaCell>> compiled;
  compiled.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols));
  for (int r = row1; r <= row2; ++r)
    for (int c = col1; c <= col2; ++c) {
      auto f = book_->Formulas().Compile(sheet, r, c, body);
      f->arrayRows = rows;
      f->arrayCols = cols;
      f->arrayRow = r - row1;
      f->arrayCol = c - col1;
      compiled.push_back(std::move(f));
    }
  if (editing_) TerminateCellEdit();
  ModifyScope scope(*this);
  std::size_t i = 0;
  for (int r = row1; r <= row2; ++r)
    for (int c = col1; c <= col2; ++c) book_->SetFormula(sheet, r, c, std::move(compiled[i++]));
  scope.ChangedCells(row1, col1, row2, col2);
}

}  // namespace engine
