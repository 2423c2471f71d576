#include "rows_fixture.h"

// Selection blocks of any sheet, read from the engine's model.
#include "control/model/workbook.h"

std::string RangesText(const CWBRowsRangeList& list, const CString& sheet) {
  int count = 0;
  if (list.GetRowsRangeCount(sheet, count) != 0) return "none";
  std::string out;
  for (int k = 0; k < count; ++k) {
    CRowsRange range;
    if (list.GetRowsRangeEntry(sheet, k, range) != 0) return "unreadable";
    if (!out.empty()) out += " ";
    out += std::to_string(range.nFirstRow) + "-" + std::to_string(range.nLastRow);
  }
  return out;
}

void RowsTest::FillSheet(int params, int rows) {
  for (int c = 1; c <= params; ++c) {
    E().SetColumnHeadingText(c, "P" + std::to_string(c));
    for (int r = 1; r <= rows; ++r)
      E().SetCellText(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
  }
}

void RowsTest::EnsureSheets(int count) {
  while (T().GetNumSheets() < count) T().AppendSheets(1);
}

std::vector<std::string> RowsTest::Blocks(int sheet) {
  std::vector<std::string> out;
  for (const engine::Block& b : E().Book().GetSheet(sheet).Sel().blocks)
    out.push_back(std::to_string(b.row1) + "," + std::to_string(b.col1) + ":" +
                  std::to_string(b.row2) + "," + std::to_string(b.col2));
  return out;
}

CString RowsTest::SheetName(int sheet) {
  CString name;
  EXPECT_EQ(T().GetSheetName(name, sheet), 0);
  return name;
}
