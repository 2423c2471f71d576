// Formatting runs of text cells follow their cell through every edit of the sheet, go with a
// new value, and travel with copies (copying a sheet to another table goes through the same
// copy and paste).
#include <gtest/gtest.h>

#include "control/clipboard_data.h"
#include "support/rich_text_cells.h"

using namespace engine;
using rich_cells::Bold;
using rich_cells::RedItalic;
using rich_cells::Runs;
using rich_cells::RunsAt;
using rich_cells::SetRich;

namespace {

const Runs kRuns = {{0, Bold()}, {6, RedItalic()}};

}  // namespace

TEST(RichTextCells, RunsFollowTheirCellThroughInsertsDeletesMovesAndSorts) {
  Control c;
  SetRich(c, 3, 3, "Hello World", kRuns);
  c.SetCellText(3, 2, "plain");
  c.InsertRange(1, 1, 1, 1, kShiftRows);  // a row above it
  EXPECT_TRUE(RunsAt(c, 3, 3).empty());
  EXPECT_EQ(RunsAt(c, 4, 3), kRuns);
  c.InsertRange(1, 1, 1, 1, kShiftColumns);  // a column before it
  EXPECT_EQ(RunsAt(c, 4, 4), kRuns);
  EXPECT_TRUE(RunsAt(c, 4, 3).empty());  // the plain cell now there has none
  c.InsertRange(4, 4, 4, 4, kShiftVertical);  // a cell pushed down within its column
  EXPECT_EQ(RunsAt(c, 5, 4), kRuns);
  c.DeleteRange(1, 1, 1, 1, kShiftRows);
  c.DeleteRange(1, 1, 1, 1, kShiftColumns);
  c.DeleteRange(3, 3, 3, 3, kShiftVertical);
  EXPECT_EQ(c.GetCellText(3, 3), "Hello World");
  EXPECT_EQ(RunsAt(c, 3, 3), kRuns);

  c.MoveRange(3, 3, 3, 3, 5, 2);  // to E8
  EXPECT_EQ(RunsAt(c, 8, 5), kRuns);
  EXPECT_TRUE(RunsAt(c, 3, 3).empty());

  // Sorting the column puts "Hello World" below "Apple": its runs go with it.
  c.SetCellText(9, 5, "Apple");
  c.SortRange(8, 5, 9, 5, true, 5, 0, 0);
  EXPECT_EQ(c.GetCellText(8, 5), "Apple");
  EXPECT_TRUE(RunsAt(c, 8, 5).empty());
  EXPECT_EQ(RunsAt(c, 9, 5), kRuns);

  // Deleting the row that holds it takes the runs with it: nothing is left to land elsewhere.
  c.DeleteRange(9, 1, 9, 1, kShiftRows);
  EXPECT_EQ(c.Book().Active().RichTextCount(), 0u);
  // The names row leaving and coming back moves every row; the runs stay with their cell.
  SetRich(c, 2, 1, "Hello World", kRuns);
  c.DeleteNamesRow();
  EXPECT_EQ(RunsAt(c, 1, 1), kRuns);
  c.InsertNamesRow();
  EXPECT_EQ(RunsAt(c, 2, 1), kRuns);
}

TEST(RichTextCells, ANewValueOrClearingDropsTheRunsAndARestoredCellGetsThemBack) {
  Control c;
  SetRich(c, 1, 1, "Hello World", kRuns);
  c.SetCellText(1, 1, "Hello World");  // typed again: a new entry has no runs
  EXPECT_TRUE(RunsAt(c, 1, 1).empty());
  SetRich(c, 1, 1, "Hello World", kRuns);
  c.SetCellValue(1, 1, Value::Text("from the host"));
  EXPECT_TRUE(RunsAt(c, 1, 1).empty());
  SetRich(c, 1, 1, "Hello World", kRuns);
  c.ClearRange(1, 1, 1, 1, kClearValues);
  EXPECT_TRUE(RunsAt(c, 1, 1).empty());
  // A text entry reused for another cell's text never finds the old runs there.
  SetRich(c, 1, 1, "Hello World", kRuns);
  c.SetCellText(1, 1, "7");
  c.SetCellText(2, 2, "Another text");
  EXPECT_TRUE(RunsAt(c, 2, 2).empty());
  EXPECT_EQ(c.Book().Active().RichTextCount(), 0u);
  // An entry that fails puts the cell back as it was, runs included.
  SetRich(c, 1, 1, "Hello World", kRuns);
  const SavedCell saved = c.SaveCell(1, 1);
  c.SetCellText(1, 1, "typed over");
  c.RestoreCell(saved);
  EXPECT_EQ(c.GetCellText(1, 1), "Hello World");
  EXPECT_EQ(RunsAt(c, 1, 1), kRuns);
}

TEST(RichTextCells, CopyPasteAndFillKeepTheRunsAcrossWorkbooksInOneProcess) {
  ProcessClipboard clipboard;
  Control c, other;
  c.SetClipboard(&clipboard);
  other.SetClipboard(&clipboard);
  SetRich(c, 1, 1, "Hello World", kRuns);
  c.SetSelection(1, 1, 1, 1);
  c.CopySelection();
  c.SetSelection(4, 2, 4, 2);
  c.PasteClipboard();
  EXPECT_EQ(RunsAt(c, 4, 2), kRuns);
  // Into another workbook, whose font table is its own.
  other.Book().Styles().InternFont(Font{"Tahoma", 300, false, false, false, false, 0xFF0000});
  other.SetSelection(2, 2, 2, 2);
  other.PasteClipboard();
  EXPECT_EQ(RunsAt(other, 2, 2), kRuns);
  // Paste values pastes the text as a value, without its formatting.
  other.SetSelection(3, 3, 3, 3);
  other.PasteValues();
  EXPECT_TRUE(RunsAt(other, 3, 3).empty());

  c.SetSelection(1, 1, 3, 1);
  c.FillDown();
  EXPECT_EQ(RunsAt(c, 3, 1), kRuns);
  c.SetSelection(1, 1, 1, 3);
  c.FillRight();
  EXPECT_EQ(RunsAt(c, 1, 3), kRuns);

  // A cut pasted on its own sheet moves the cell, runs and all.
  c.SetSelection(4, 2, 4, 2);
  c.CutSelection();
  c.SetSelection(10, 10, 10, 10);
  c.PasteClipboard();
  EXPECT_EQ(RunsAt(c, 10, 10), kRuns);
  EXPECT_TRUE(RunsAt(c, 4, 2).empty());
}
