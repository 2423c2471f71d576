#include <gtest/gtest.h>

#include "control/control.h"
#include "control/model/workbook.h"

using namespace engine;

namespace {
// Fills rows 1..rows × cols 1..cols with "r<row>c<col>".
void Fill(Control& c, int rows, int cols) {
  for (int r = 1; r <= rows; ++r)
    for (int col = 1; col <= cols; ++col)
      c.SetCellText(r, col, "r" + std::to_string(r) + "c" + std::to_string(col));
}
}  // namespace

TEST(Structure, InsertWholeRowMovesCellsAndRowAttributes) {
  Control c;
  Fill(c, 3, 3);
  c.SetRowsHidden(2, 2, true);
  c.InsertRange(1, -1, 1, -1, kShiftRows);
  EXPECT_EQ(c.GetCellText(1, 1), "");
  EXPECT_EQ(c.GetCellText(2, 1), "r1c1");
  EXPECT_EQ(c.GetCellText(4, 3), "r3c3");
  EXPECT_TRUE(c.GetRowHidden(3));
  EXPECT_FALSE(c.GetRowHidden(2));
  EXPECT_EQ(c.GetLastRow(), 4);
}

TEST(Structure, ShiftCodeThreeIgnoresColumnBounds) {
  Control c;
  Fill(c, 2, 4);
  c.InsertRange(1, 2, 1, 3, kShiftRows);  // still an entire row
  EXPECT_EQ(c.GetCellText(2, 1), "r1c1");
  EXPECT_EQ(c.GetCellText(2, 4), "r1c4");
}

TEST(Structure, VerticalShiftMovesOnlyTheBlocksColumns) {
  Control c;
  Fill(c, 3, 3);
  c.InsertRange(2, 2, 2, 2, kShiftVertical);
  EXPECT_EQ(c.GetCellText(2, 1), "r2c1");
  EXPECT_EQ(c.GetCellText(2, 2), "");
  EXPECT_EQ(c.GetCellText(3, 2), "r2c2");
  EXPECT_EQ(c.GetCellText(4, 2), "r3c2");
  c.DeleteRange(2, 2, 2, 2, kShiftVertical);
  EXPECT_EQ(c.GetCellText(2, 2), "r2c2");
  EXPECT_EQ(c.GetLastRow(), 3);
}

TEST(Structure, WholeColumnInsertAndDeleteCarryHeadingsWidthsAndFormats) {
  Control c;
  Fill(c, 2, 3);
  c.SetColumnHeadingText(1, "A1");
  c.SetColumnHeadingText(2, "B1");
  c.SetColumnWidth(2, 5000);
  c.SetColumnHidden(3, true);
  c.InsertRange(-1, 2, -1, 2, kShiftColumns);
  EXPECT_EQ(c.GetColumnHeadingText(2), "");
  EXPECT_EQ(c.GetColumnHeadingText(3), "B1");
  EXPECT_EQ(c.GetColumnWidth(3), 5000);
  EXPECT_TRUE(c.GetColumnHidden(4));
  EXPECT_EQ(c.GetCellText(1, 3), "r1c2");
  c.DeleteRange(-1, 1, -1, 1, kShiftColumns);
  EXPECT_EQ(c.GetColumnHeadingText(2), "B1");
  EXPECT_EQ(c.GetCellText(1, 2), "r1c2");
  EXPECT_EQ(c.GetLastCol(), 3);
  // Deleting every column removes every heading.
  c.DeleteRange(-1, -1, -1, -1, kShiftColumns);
  EXPECT_EQ(c.GetLastCol(), 0);
  EXPECT_EQ(c.GetColumnHeadingText(2), "");
}

TEST(Structure, InsertThatWouldPushContentOffTheSheetFailsAndChangesNothing) {
  Control c;
  c.SetCellText(65536, 1, "last");
  c.SetCellText(1, 1, "first");
  EXPECT_THROW(c.InsertRange(1, -1, 1, -1, kShiftRows), EngineError);
  EXPECT_EQ(c.GetCellText(1, 1), "first");
  EXPECT_EQ(c.GetCellText(65536, 1), "last");
  c.SetColumnHeadingText(256, "Edge");
  EXPECT_THROW(c.InsertRange(-1, 1, -1, 1, kShiftColumns), EngineError);
  EXPECT_EQ(c.GetColumnHeadingText(256), "Edge");
}

TEST(Structure, MoveRangeHandlesOverlapBothWays) {
  Control c;
  Fill(c, 5, 2);
  c.MoveRange(2, 1, 5, 2, -1, 0);  // up by one, overlapping
  EXPECT_EQ(c.GetCellText(1, 1), "r2c1");
  EXPECT_EQ(c.GetCellText(4, 2), "r5c2");
  EXPECT_EQ(c.GetCellText(5, 2), "");
  EXPECT_EQ(c.GetLastRow(), 4);
  c.MoveRange(1, 1, 4, 2, 0, 1);  // right by one, overlapping
  EXPECT_EQ(c.GetCellText(1, 1), "");
  EXPECT_EQ(c.GetCellText(1, 2), "r2c1");
  EXPECT_EQ(c.GetCellText(1, 3), "r2c2");
  EXPECT_THROW(c.MoveRange(1, 1, 1, 1, -1, 0), EngineError);
}

TEST(Structure, MoveRangeReplacesWhatItLandsOn) {
  Control c;
  c.SetCellText(1, 1, "moving");
  c.SetCellText(3, 3, "replaced");
  c.MoveRange(1, 1, 1, 1, 2, 2);
  EXPECT_EQ(c.GetCellText(3, 3), "moving");
  EXPECT_EQ(c.GetCellType(1, 1), kTypeEmpty);
}

TEST(Structure, SortByRowsWithKeysAndDirections) {
  Control c;
  const char* names[] = {"pear", "Apple", "fig", "apple", ""};
  const char* sizes[] = {"3", "1", "2", "5", "4"};
  for (int r = 0; r < 5; ++r) {
    if (*names[r]) c.SetCellText(r + 1, 1, names[r]);
    c.SetCellText(r + 1, 2, sizes[r]);
  }
  c.SortRange(1, 1, 5, 2, true, 1, -2, 0);  // name ascending, then size descending
  EXPECT_EQ(c.GetCellText(1, 1), "apple");  // case-insensitive tie broken by size 5 > 1
  EXPECT_EQ(c.GetCellText(1, 2), "5");
  EXPECT_EQ(c.GetCellText(2, 1), "Apple");
  EXPECT_EQ(c.GetCellText(3, 1), "fig");
  EXPECT_EQ(c.GetCellText(4, 1), "pear");
  EXPECT_EQ(c.GetCellText(5, 1), "");  // blanks go last
  EXPECT_EQ(c.GetCellText(5, 2), "4");
  c.SortRange(1, 1, 5, 2, true, -2, 0, 0);
  EXPECT_EQ(c.GetCellText(1, 2), "5");
  EXPECT_EQ(c.GetCellText(5, 2), "1");
  EXPECT_THROW(c.SortRange(1, 1, 5, 2, true, 3, 0, 0), EngineError);
}

TEST(Structure, SortNumbersBeforeTextBeforeLogicals) {
  Control c;
  c.SetCellText(1, 1, "TRUE");
  c.SetCellText(2, 1, "b");
  c.SetCellText(3, 1, "10");
  c.SetCellText(4, 1, "9");
  c.SortRange(1, 1, 4, 1, true, 1, 0, 0);
  EXPECT_EQ(c.GetCellText(1, 1), "9");
  EXPECT_EQ(c.GetCellText(2, 1), "10");
  EXPECT_EQ(c.GetCellText(3, 1), "b");
  EXPECT_EQ(c.GetCellText(4, 1), "TRUE");
}

TEST(Structure, ClearCodesClearContentsFormatsOrBoth) {
  Control c;
  c.SetCellText(1, 1, "0.5");
  c.SetSelection(1, 1, 1, 1);
  c.SetNumberFormat("0%");
  c.ClearRange(1, 1, 1, 1, kClearFormats);
  EXPECT_EQ(c.GetNumberFormat(), "General");
  EXPECT_EQ(c.GetCellType(1, 1), kTypeNumber);
  c.SetNumberFormat("0%");
  c.ClearRange(1, 1, 1, 1, kClearValues);
  EXPECT_EQ(c.GetCellType(1, 1), kTypeEmpty);
  EXPECT_EQ(c.GetNumberFormat(), "0%");
  c.ClearRange(1, 1, 1, 1, kClearAll);
  EXPECT_EQ(c.GetNumberFormat(), "General");
  EXPECT_THROW(c.ClearRange(1, 1, 1, 1, 4), EngineError);
}

TEST(Structure, FillDownAndRightCopyTheFirstRowOrColumn) {
  Control c;
  c.SetCellText(1, 1, "x");
  c.SetCellText(1, 2, "7");
  c.SetSelection(1, 1, 3, 2);
  c.FillDown();
  EXPECT_EQ(c.GetCellText(3, 1), "x");
  EXPECT_EQ(c.GetCellText(3, 2), "7");
  c.SetSelection(1, 1, 1, 4);
  c.FillRight();
  EXPECT_EQ(c.GetCellText(1, 4), "x");
}

TEST(Structure, InsertAndDeleteAtSelection) {
  Control c;
  Fill(c, 3, 1);
  c.SetSelection(2, 1, 2, 1);
  c.InsertAtSelection(kShiftRows);
  EXPECT_EQ(c.GetCellText(3, 1), "r2c1");
  c.DeleteAtSelection(kShiftRows);
  EXPECT_EQ(c.GetCellText(2, 1), "r2c1");
  c.AddSelection(3, 1, 3, 1);
  EXPECT_THROW(c.InsertAtSelection(kShiftRows), EngineError);
}
