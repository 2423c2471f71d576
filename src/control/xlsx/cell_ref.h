#pragma once
// A1 cell references of package parts ("B12"), 1-based.

#include <string>
#include <string_view>

namespace engine::xlsx {

// Parses "AB12" (the "$" of an absolute reference allowed); false when malformed. Rows and
// columns beyond the sheet limits still parse, so a caller can tell what it is refusing.
bool ParseCellRef(std::string_view text, int& row, int& col);
// The same for a NUL-terminated reference, read in place (a cell's attribute as expat gives it).
bool ParseCellRef(const char* text, int& row, int& col);
// Parses "A1:C4" or a single cell (giving a one-cell range).
bool ParseRangeRef(std::string_view text, int& row1, int& col1, int& row2, int& col2);
std::string ColumnName(int col);
std::string CellName(int row, int col);

}  // namespace engine::xlsx
