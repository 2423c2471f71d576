// Selection of the active sheet: blocks and the active cell.
#include "control/control.h"
#include "control/model/workbook.h"

namespace engine {

void Control::GetActiveCell(int& row, int& col) const {
  const Selection& sel = ActiveSheet().Sel();
  row = sel.activeRow;
  col = sel.activeCol;
}

void Control::SetActiveCell(int row, int col) {
  CheckCell(row, col);
  if (editing_) TerminateCellEdit();
  Selection& sel = ActiveSheet().Sel();
  bool inside = false;
  for (const Block& b : sel.blocks) inside = inside || b.Contains(row, col);
  if (!inside) sel.blocks = {Block{row, col, row, col}};
  sel.activeRow = row;
  sel.activeCol = col;
}

void Control::GetSelection(int index, int& row1, int& col1, int& row2, int& col2) const {
  const Selection& sel = ActiveSheet().Sel();
  if (index < 0 || index >= static_cast<int>(sel.blocks.size()))
    throw EngineError(kErrBadArgument, "Invalid selection index " + std::to_string(index) + ".");
  const Block& b = sel.blocks[index];
  row1 = b.row1;
  col1 = b.col1;
  row2 = b.row2;
  col2 = b.col2;
}

void Control::SetSelection(int row1, int col1, int row2, int col2) {
  CheckRange(row1, col1, row2, col2);
  if (editing_) TerminateCellEdit();
  Selection& sel = ActiveSheet().Sel();
  sel.blocks = {Block{row1, col1, row2, col2}};
  sel.activeRow = row1;
  sel.activeCol = col1;
}

void Control::AddSelection(int row1, int col1, int row2, int col2) {
  CheckRange(row1, col1, row2, col2);
  if (editing_) TerminateCellEdit();
  Selection& sel = ActiveSheet().Sel();
  if (sel.blocks.size() >= 8192)
    throw EngineError(kErrBadArgument, "Too many selected ranges.");
  sel.blocks.push_back(Block{row1, col1, row2, col2});
  sel.activeRow = row1;
  sel.activeCol = col1;
}

short Control::GetSelectionCount() const {
  return static_cast<short>(ActiveSheet().Sel().blocks.size());
}

}  // namespace engine
