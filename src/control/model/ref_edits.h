#pragma once
// How the references of BIFF8 tokens follow a block move and a sort of their sheet's cells: the
// one rule the formulas of conditional formats and the carried formulas (chart series, linked
// cells, carried names) share, the same the cell formulas follow.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "control/sheet_features.h"

namespace engine::features {

// A block of cells moved by (dRow, dCol); what it lands on is replaced.
struct BlockMove {
  CellRange block;
  int dRow = 0, dCol = 0;
};

// Lines (rows, or columns) [first, first + where.size()) reordered: old line first + i is now
// line first + where[i]. Items across [band1, band2] take part.
struct LineOrder {
  bool rows = true;
  int first = 1, band1 = 1, band2 = 1;
  std::vector<int> where;
  // From a sort's order: new line i holds old line order[i].
  static LineOrder Of(bool rows, int first, int band1, int band2, const std::vector<int>& order);
  // A range of one line inside the reordered ones follows its line; a range across several
  // lines stays as it is. Returns how far the range moved.
  int Follow(CellRange& r) const;
};

// Each end of a reference moves with the block it lies in; an end of whole columns (rows)
// moves only with a block of whole columns (rows): part of a column moved leaves the column.
void MoveTokens(std::uint8_t* t, std::size_t size, const BlockMove& m, int rowOffset,
                const std::vector<bool>* entries);
// A reference to cells of one reordered line follows the line.
void SortTokens(std::uint8_t* t, std::size_t size, const LineOrder& o, int rowOffset,
                const std::vector<bool>* entries);
// The relative ends of the plain references move by (dRow, dCol): the formula of cells that
// moved, keeping the distance to what it names. An end pushed off the sheet is #REF!.
void ShiftRelativeTokens(std::uint8_t* t, std::size_t size, int dRow, int dCol, int rowOffset);

}  // namespace engine::features
