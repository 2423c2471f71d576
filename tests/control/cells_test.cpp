#include <gtest/gtest.h>

#include "control/control.h"
#include "control/model/workbook.h"

using namespace engine;

TEST(Cells, NewWorkbookHasOneEmptySheet) {
  Control c;
  EXPECT_EQ(c.GetNumSheets(), 1);
  EXPECT_EQ(c.GetSheetName(1), "Sheet1");
  EXPECT_EQ(c.GetLastRow(), 0);
  EXPECT_EQ(c.GetLastCol(), 0);
  EXPECT_EQ(c.GetMaxRow(), 65536);
  EXPECT_EQ(c.GetMaxCol(), 256);
}

TEST(Cells, EmptyTextIsKeptAndCountsAsUsed) {
  Control c;
  c.SetCellText(3, 2, "");
  EXPECT_EQ(c.GetLastRow(), 3);
  EXPECT_EQ(c.GetLastCol(), 2);
  EXPECT_EQ(c.GetCellType(3, 2), kTypeText);
  c.ClearRange(3, 2, 3, 2, kClearAll);
  EXPECT_EQ(c.GetLastRow(), 0);
  EXPECT_EQ(c.GetCellType(3, 2), kTypeEmpty);
}

TEST(Cells, TypesOfTypedEntries) {
  Control c;
  c.SetCellText(1, 1, "42");
  c.SetCellText(2, 1, "hello");
  c.SetCellText(3, 1, "TRUE");
  c.SetCellText(4, 1, "#N/A");
  c.SetCellText(5, 1, "'42");
  EXPECT_EQ(c.GetCellType(1, 1), kTypeNumber);
  EXPECT_EQ(c.GetCellType(2, 1), kTypeText);
  EXPECT_EQ(c.GetCellType(3, 1), kTypeLogical);
  EXPECT_EQ(c.GetCellType(4, 1), kTypeError);
  EXPECT_EQ(c.GetCellType(5, 1), kTypeText);
  EXPECT_EQ(c.GetCellText(5, 1), "42");
  EXPECT_EQ(c.GetCellFormattedText(3, 1), "TRUE");
  EXPECT_EQ(c.GetCellFormattedText(4, 1), "#N/A");
}

TEST(Cells, CellEntryWritesRawText) {
  Control c;
  c.SetCellEntry(1, 1, "=1+2");
  c.SetCellEntry(1, 2, "007");
  EXPECT_EQ(c.GetCellType(1, 1), kTypeText);
  EXPECT_EQ(c.GetCellText(1, 1), "=1+2");
  EXPECT_EQ(c.GetCellFormula(1, 1), "");
  EXPECT_EQ(c.GetCellFormattedText(1, 2), "007");
}

TEST(Cells, OutOfRangeCallsThrowReadableErrors) {
  Control c;
  EXPECT_THROW(c.SetCellText(0, 1, "x"), EngineError);
  EXPECT_THROW(c.SetCellText(1, 257, "x"), EngineError);
  EXPECT_THROW(c.GetCellText(65537, 1), EngineError);
  try {
    c.GetCellType(1, 0);
    FAIL();
  } catch (const EngineError& e) {
    EXPECT_EQ(e.Code(), kErrBadColumn);
    EXPECT_FALSE(e.Description().empty());
  }
  EXPECT_EQ(c.GetLastRow(), 0);
}

TEST(Cells, FormatOnlyCellsDoNotExtendTheSheet) {
  Control c;
  c.SetSelection(10, 5, 10, 5);
  c.SetNumberFormat("0.00");
  EXPECT_EQ(c.GetLastRow(), 0);
  EXPECT_EQ(c.GetLastCol(), 0);
  c.SetSelection(-1, 3, -1, 3);  // the whole column
  c.SetNumberFormat("0%");
  EXPECT_EQ(c.GetLastRow(), 0);
  c.SetCellValue(40000, 3, Value::Number(0.25));
  EXPECT_EQ(c.GetCellFormattedText(40000, 3), "25%");
}

TEST(Cells, ColumnHeadingsOutsideTheSheetReadEmpty) {
  Control c;
  c.SetColumnHeadingText(2, "Name");
  EXPECT_EQ(c.GetColumnHeadingText(2), "Name");
  EXPECT_EQ(c.GetColumnHeadingText(0), "");
  EXPECT_EQ(c.GetColumnHeadingText(257), "");
  EXPECT_EQ(c.GetLastCol(), 0);  // a heading is not content
}

TEST(Cells, FormatCellRef) {
  Control c;
  EXPECT_EQ(c.FormatCellRef(1, 1, true), "$A$1");
  EXPECT_EQ(c.FormatCellRef(65536, 256, false), "IV65536");
  EXPECT_EQ(c.FormatCellRef(3, 27, false), "AA3");
}

TEST(Cells, EditLineShowsNumbersInFull) {
  Control c;
  c.SetCellValue(1, 1, Value::Number(3.14159265358979));
  EXPECT_EQ(c.GetCellText(1, 1), "3.14159265358979");
  c.SetCellValue(2, 1, Value::Number(1e20));
  EXPECT_EQ(c.GetCellText(2, 1), "1E+20");
  c.SetCellValue(3, 1, Value::Number(-0.5));
  EXPECT_EQ(c.GetCellText(3, 1), "-0.5");
}

// What the table reads through the facade instead of the model.
TEST(Cells, SavedCellPutsBackContentAndOwnStyle) {
  Control c;
  c.SetCellText(1, 1, "12.5%");  // a number with a percent format of its own
  c.SetCellText(2, 1, "=A1*2");
  c.SetCellText(3, 1, "text");
  c.SetActiveCell(4, 1);
  c.SetSelection(4, 1, 4, 1);
  c.FormatCurrency2();  // an empty cell that has a style only
  const std::string percentCode = c.GetCellFormatCode(1, 1);
  const std::string currencyCode = c.GetCellFormatCode(4, 1);
  ASSERT_NE(percentCode, c.GetCellFormatCode(5, 1));

  SavedCell number = c.SaveCell(1, 1);
  SavedCell formula = c.SaveCell(2, 1);
  SavedCell text = c.SaveCell(3, 1);
  SavedCell styledEmpty = c.SaveCell(4, 1);
  SavedCell outside = c.SaveCell(0, 1);
  c.SetCellText(1, 1, "=1/0");
  c.SetCellText(2, 1, "plain");
  c.ClearRange(3, 1, 3, 1, kClearAll);
  c.SetCellText(4, 1, "7/4/2024");

  c.RestoreCell(number);
  c.RestoreCell(formula);
  c.RestoreCell(text);
  c.RestoreCell(styledEmpty);
  c.RestoreCell(outside);  // nothing to do, no throw
  EXPECT_EQ(c.GetCellFormattedText(1, 1), "12.50%");
  EXPECT_EQ(c.GetCellFormatCode(1, 1), percentCode);
  EXPECT_EQ(c.GetCellFormula(2, 1), "A1*2");
  EXPECT_EQ(c.GetCellFormattedText(2, 1), "0.25");
  EXPECT_EQ(c.GetCellText(3, 1), "text");
  EXPECT_EQ(c.GetCellType(4, 1), kTypeEmpty);
  EXPECT_EQ(c.GetCellFormatCode(4, 1), currencyCode);
  EXPECT_THROW(c.GetCellFormatCode(0, 1), EngineError);
}

TEST(Cells, HeadingStampMovesWithHeadingsAndNamesTheSheet) {
  Control c;
  c.SetNumSheets(2);
  c.SetColumnHeadingText(3, "Name");
  const std::string& heading = c.GetColumnHeading(3);
  EXPECT_EQ(heading, "Name");
  EXPECT_EQ(c.GetColumnHeading(0), "");
  EXPECT_EQ(c.GetColumnHeading(257), "");

  const SheetStamp first = c.GetActiveSheetStamp();
  EXPECT_EQ(c.GetActiveSheetStamp(), first);  // reading changes nothing
  c.SetColumnHeadingText(3, "Other");
  const SheetStamp renamed = c.GetActiveSheetStamp();
  EXPECT_NE(renamed.changes, first.changes);
  EXPECT_EQ(renamed.sheet, first.sheet);
  EXPECT_EQ(renamed.sheetId, first.sheetId);

  c.SetActiveSheet(2);
  const SheetStamp second = c.GetActiveSheetStamp();
  EXPECT_NE(second.sheet, first.sheet);
  EXPECT_EQ(second.book, first.book);
  EXPECT_EQ(c.GetColumnHeading(3), "");
}

TEST(Cells, HeadingStampMovesOnlyWhenHeadingsMayChangeAndIsNeverShared) {
  Control c;
  c.SetNumSheets(2);
  c.SetColumnHeadingText(1, "P1");
  const std::uint64_t named = c.GetActiveSheetStamp().headings;
  // Values, fitting widths to them and reading headings leave it.
  for (int r = 1; r <= 20; ++r) c.SetCellText(r, 1, std::to_string(r));
  c.AutoFitColumns(1, 1, 20, 1, false);
  c.AutoFitColumns(-1, 1, -1, 1, false);
  EXPECT_EQ(c.GetColumnHeading(1), "P1");
  EXPECT_EQ(c.GetActiveSheetStamp().headings, named);
  EXPECT_EQ(c.GetActiveSheetStamp().lastCol, 1);
  c.SetCellText(1, 4, "x");
  EXPECT_EQ(c.GetActiveSheetStamp().lastCol, 4);
  // Renaming, inserting and deleting columns move it.
  c.SetColumnHeadingText(1, "Q1");
  const std::uint64_t renamed = c.GetActiveSheetStamp().headings;
  EXPECT_NE(renamed, named);
  c.InsertRange(-1, 1, -1, 1, kShiftColumns);
  const std::uint64_t inserted = c.GetActiveSheetStamp().headings;
  EXPECT_NE(inserted, renamed);
  c.DeleteRange(-1, 1, -1, 1, kShiftColumns);
  EXPECT_NE(c.GetActiveSheetStamp().headings, inserted);
  // No other sheet, of this workbook or a later one, has it.
  c.SetActiveSheet(2);
  const std::uint64_t second = c.GetActiveSheetStamp().headings;
  c.SetActiveSheet(1);
  const std::uint64_t first = c.GetActiveSheetStamp().headings;
  EXPECT_NE(first, second);
  c.SetNumSheets(1);
  c.SetNumSheets(2);
  c.SetActiveSheet(2);
  EXPECT_NE(c.GetActiveSheetStamp().headings, second);
  Control other;
  EXPECT_NE(other.GetActiveSheetStamp().headings, first);
  EXPECT_NE(other.GetActiveSheetStamp().headings, second);
}
