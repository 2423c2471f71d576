#include <gtest/gtest.h>

#include "control/control.h"
#include "control/model/workbook.h"

using namespace engine;

TEST(Selection, WholeRowsAndColumnsReportFullBounds) {
  Control c;
  c.SetSelection(3, -1, 5, -1);
  int r1, c1, r2, c2;
  c.GetSelection(0, r1, c1, r2, c2);
  EXPECT_EQ(std::make_tuple(r1, c1, r2, c2), std::make_tuple(3, 1, 5, 256));
  c.AddSelection(-1, 2, -1, 2);
  c.GetSelection(1, r1, c1, r2, c2);
  EXPECT_EQ(std::make_tuple(r1, c1, r2, c2), std::make_tuple(1, 2, 65536, 2));
  EXPECT_EQ(c.GetSelectionCount(), 2);
  int row, col;
  c.GetActiveCell(row, col);
  EXPECT_EQ(std::make_tuple(row, col), std::make_tuple(1, 2));
  EXPECT_THROW(c.GetSelection(2, r1, c1, r2, c2), EngineError);
}

TEST(Selection, ActiveCellInsideKeepsSelectionOutsideReplacesIt) {
  Control c;
  c.SetSelection(2, 2, 4, 4);
  c.SetActiveCell(3, 3);
  EXPECT_EQ(c.GetSelectionCount(), 1);
  int r1, c1, r2, c2;
  c.GetSelection(0, r1, c1, r2, c2);
  EXPECT_EQ(r2, 4);
  c.SetActiveCell(9, 9);
  c.GetSelection(0, r1, c1, r2, c2);
  EXPECT_EQ(std::make_tuple(r1, c1, r2, c2), std::make_tuple(9, 9, 9, 9));
}

TEST(Selection, IsKeptPerSheet) {
  Control c;
  c.InsertSheets(2, 1);
  c.SetSelection(5, 5, 6, 6);
  c.SetActiveSheet(2);
  c.SetSelection(1, 1, 1, 1);
  c.SetActiveSheet(1);
  int r1, c1, r2, c2;
  c.GetSelection(0, r1, c1, r2, c2);
  EXPECT_EQ(r1, 5);
}

TEST(Sheets, NewSheetsTakeUnusedNames) {
  Control c;
  c.SetSheetName(1, "Data");
  c.InsertSheets(2, 2);
  EXPECT_EQ(c.GetNumSheets(), 3);
  EXPECT_EQ(c.GetSheetName(2), "Sheet1");
  EXPECT_EQ(c.GetSheetName(3), "Sheet2");
  c.InsertSheets(1, 1);
  EXPECT_EQ(c.GetSheetName(1), "Sheet3");
}

TEST(Sheets, NamesAFileCannotStoreAreRefused) {
  Control c;
  for (const char* bad : {"", "a[b", "a]b", "a:b", "a*b", "a?b", "a/b", "a\\b",
                          "12345678901234567890123456789012"})
    EXPECT_THROW(c.SetSheetName(1, bad), EngineError) << bad;
  EXPECT_EQ(c.GetSheetName(1), "Sheet1");
  c.SetSheetName(1, "It's a sheet – ünï");
  EXPECT_EQ(c.GetSheetName(1), "It's a sheet – ünï");
  c.InsertSheets(2, 1);
  EXPECT_THROW(c.SetSheetName(2, "It's a sheet – ünï"), EngineError);
}

TEST(Sheets, CountNeverDropsBelowOne) {
  Control c;
  EXPECT_THROW(c.DeleteSheets(1, 1), EngineError);
  EXPECT_THROW(c.SetNumSheets(0), EngineError);
  c.SetNumSheets(4);
  c.SetActiveSheet(4);
  c.DeleteSheets(2, 3);
  EXPECT_EQ(c.GetNumSheets(), 1);
  EXPECT_EQ(c.GetActiveSheet(), 1);
  EXPECT_THROW(c.SetActiveSheet(2), EngineError);
}

TEST(Sheets, ActiveSheetFollowsInsertsBeforeIt) {
  Control c;
  c.SetNumSheets(2);
  c.SetActiveSheet(2);
  c.SetCellText(1, 1, "on two");
  c.InsertSheets(1, 1);
  EXPECT_EQ(c.GetActiveSheet(), 3);
  EXPECT_EQ(c.GetCellText(1, 1), "on two");
}

TEST(Sheets, SelectedMarksAreKept) {
  Control c;
  c.SetNumSheets(3);
  c.SetSheetSelected(2, true);
  EXPECT_TRUE(c.GetSheetSelected(2));
  EXPECT_FALSE(c.GetSheetSelected(3));
  EXPECT_THROW(c.GetSheetSelected(4), EngineError);
}
