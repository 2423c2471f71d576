#pragma once
// Structural operations on one sheet's storage: shifting cells and attributes for inserts and
// deletes, moving blocks, clearing. They keep the text and formula pools consistent; they do not
// check limits, raise events or tell the formula engine (the facade does).

#include "control/model/sheet.h"

namespace engine::sheet_ops {

// Moves the cells of columns [col1, col2] from row `row` down by `count` rows (row attributes
// too when `withRowAttrs`). Cells pushed past the last row are dropped.
void ShiftDown(Sheet& sheet, int row, int count, int col1, int col2, bool withRowAttrs);
// Deletes rows [row, row+count) of columns [col1, col2]; the cells below move up.
void ShiftUp(Sheet& sheet, int row, int count, int col1, int col2, bool withRowAttrs);
// Moves the cells of rows [row1, row2] from column `col` right by `count` columns (column
// attributes too when `withColAttrs`).
void ShiftRight(Sheet& sheet, int col, int count, int row1, int row2, bool withColAttrs);
// Deletes columns [col, col+count) of rows [row1, row2]; the cells to the right move left.
void ShiftLeft(Sheet& sheet, int col, int count, int row1, int row2, bool withColAttrs);
// Moves a block by (dRow, dCol); what it lands on is replaced, what it leaves is blank.
void MoveBlock(Sheet& sheet, int row1, int col1, int row2, int col2, int dRow, int dCol);
// Clears content and/or own styles of a block.
void ClearBlock(Sheet& sheet, int row1, int col1, int row2, int col2, bool content, bool styles);

}  // namespace engine::sheet_ops
