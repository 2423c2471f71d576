#pragma once
// What counts as a selection of whole rows, shared by the row-selection operations.

namespace rows {

// A selection block of whole rows starts in column 1 and reaches past the last parameter
// column. A block that reaches the workbook's last column is one too: in a table whose
// parameters fill every column nothing lies past the last parameter, and its selected rows
// must still count.
inline bool IsWholeRowBlock(long firstCol, long lastCol, long lastParamCol, long maxCol) {
  return firstCol == 1 && (lastCol > lastParamCol || lastCol >= maxCol);
}

// Rows the engine can address as a pair: both inside the sheet, or -1 twice (every row).
inline bool IsAddressableRowPair(long first, long last, long maxRow) {
  if (first == -1 && last == -1) return true;
  return first >= 1 && first <= maxRow && last >= 1 && last <= maxRow;
}

}  // namespace rows
