#pragma once
// What a view needs of rich texts (text cells whose font changes at character positions): the
// runs of a cell, to draw each piece in its font, and a system clipboard that also hands over
// the HTML another program put beside its text, from which a paste takes the runs.

#include <cstdint>
#include <string>
#include <vector>

namespace engine {

class Control;

// From UTF-16 position `at` of the cell's displayed text on, another font. Colours are
// 0x00BBGGRR or CellLook::kAutoColor; the same fontIndex is the same font (for caching).
struct CellRun {
  std::uint32_t at = 0;
  std::uint16_t fontIndex = 0;
  std::string fontName;
  int fontHeightTwips = 200;
  bool bold = false, italic = false, underline = false, strikeout = false;
  std::uint32_t fontColor = 0xFFFFFFFFu;
};

// The runs of cell (row, col) of the active sheet (1-based), in rising order. Empty for a plain
// cell, a cell outside the sheet, and a text that its number format shows with more around it
// (the positions would not fit).
void GetCellRuns(const Control& control, int row, int col, std::vector<CellRun>& runs);

}  // namespace engine
