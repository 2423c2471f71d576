// Selecting whole rows from row numbers and range lists, and reading row selections back.
#include "rows_fixture.h"

using Strings = std::vector<std::string>;

namespace {
const std::string kMax = std::to_string(engine::kMaxCol);
std::string Rows(int first, int last) {
  return std::to_string(first) + ",1:" + std::to_string(last) + "," + kMax;
}
}  // namespace

class RowSelectionTest : public RowsTest {};

TEST_F(RowSelectionTest, UnSelectRowsLeavesCellA1AndTheActiveSheet) {
  EnsureSheets(2);
  FillSheet(3, 5);
  SelectWholeRows(2, 4);
  ASSERT_EQ(T().UnSelectRows(0), 0);
  EXPECT_EQ(Blocks(1), Strings{"1,1:1,1"});
  EXPECT_EQ(T().GetSheet(), 1);

  // Another sheet: its selection goes, the active sheet stays.
  E().SetActiveSheet(2);
  SelectWholeRows(3, 3);
  E().SetActiveSheet(1);
  SelectWholeRows(2, 2);
  ASSERT_EQ(T().UnSelectRows(2), 0);
  EXPECT_EQ(Blocks(2), Strings{"1,1:1,1"});
  EXPECT_EQ(Blocks(1), Strings{Rows(2, 2)});
  EXPECT_EQ(T().GetSheet(), 1);

  EXPECT_EQ(T().UnSelectRows(3), -1);
  EXPECT_EQ(Blocks(1), Strings{Rows(2, 2)});
}

TEST_F(RowSelectionTest, SelectRowsChecksBoundsOnlyWhenAsked) {
  FillSheet(2, 4);
  E().SetSelection(2, 2, 2, 2);
  EXPECT_EQ(T().SelectRows(2, 5, 0, true), -1);
  EXPECT_EQ(T().SelectRows(0, 3, 0, true), -1);
  EXPECT_EQ(Blocks(1), Strings{"2,2:2,2"});

  ASSERT_EQ(T().SelectRows(2, 5, 0, false), 0);
  EXPECT_EQ(Blocks(1), Strings{Rows(2, 5)});
  ASSERT_EQ(T().SelectRows(3, 3, 0, true), 0);
  EXPECT_EQ(Blocks(1), Strings{Rows(3, 3)});
}

TEST_F(RowSelectionTest, SelectRowsLeavesTheNamedSheetActiveButNotOnFailure) {
  EnsureSheets(2);
  E().SetActiveSheet(2);
  FillSheet(2, 3);
  E().SetActiveSheet(1);
  ASSERT_EQ(T().SelectRows(2, 3, 2, true), 0);
  EXPECT_EQ(T().GetSheet(), 2);
  EXPECT_EQ(Blocks(2), Strings{Rows(2, 3)});

  E().SetActiveSheet(1);
  EXPECT_EQ(T().SelectRows(2, 9, 2, true), -1);
  EXPECT_EQ(T().GetSheet(), 1);
  EXPECT_EQ(T().SelectRows(1, 1, 3, false), -1);
  EXPECT_EQ(T().AddSelectRows(1, 1, 3), -1);
}

TEST_F(RowSelectionTest, RowsTheEngineCannotAddressAreRefusedWithoutChange) {
  FillSheet(2, 4);
  E().SetSelection(2, 2, 2, 2);
  const long beyond = engine::kMaxRow + 1;
  EXPECT_EQ(T().SelectRows(2, beyond, 0, false), -1);
  EXPECT_EQ(T().SelectRows(-5, 2, 0, false), -1);
  EXPECT_EQ(T().SelectRows(0, 0, 0, false), -1);
  EXPECT_EQ(T().AddSelectRows(-3, 2, 0), -1);
  EXPECT_EQ(Blocks(1), Strings{"2,2:2,2"});
}

TEST_F(RowSelectionTest, AddSelectRowsJoinsARowSelectionAndReplacesCells) {
  FillSheet(3, 10);
  ASSERT_EQ(T().SelectRows(2, 3, 0, false), 0);
  ASSERT_EQ(T().AddSelectRows(7, 8, 0), 0);
  EXPECT_EQ(Blocks(1), (Strings{Rows(2, 3), Rows(7, 8)}));

  E().SetSelection(4, 2, 4, 2);  // a click on a cell
  ASSERT_EQ(T().AddSelectRows(7, 8, 0), 0);
  EXPECT_EQ(Blocks(1), Strings{Rows(7, 8)});

  EXPECT_EQ(T().AddSelectRows(9, 11, 0), -1);
  EXPECT_EQ(Blocks(1), Strings{Rows(7, 8)});
}

TEST_F(RowSelectionTest, SelectedRowsMergeAdjacentBlocksKeepOrderAndClip) {
  EnsureSheets(2);
  FillSheet(3, 10);
  CWBRowsRangeList list;
  const CString s1 = SheetName(1), s2 = SheetName(2);

  SelectWholeRows(2, 3);
  AddWholeRows(4, 6);
  ASSERT_EQ(T().GetSelectedRows(list, 1), 0);
  EXPECT_EQ(RangesText(list, s1), "2-6");
  EXPECT_EQ(RangesText(list, s2), "none");  // only the named sheet is examined

  SelectWholeRows(5, 6);
  AddWholeRows(2, 3);
  ASSERT_EQ(T().GetSelectedRows(list, 0), 0);
  EXPECT_EQ(RangesText(list, s1), "5-6 2-3");
  EXPECT_EQ(RangesText(list, s2), "");  // empty sheet: an entry without ranges

  SelectWholeRows(9, 14);
  AddWholeRows(20, 30);
  ASSERT_EQ(T().GetSelectedRows(list, 0), 0);
  EXPECT_EQ(RangesText(list, s1), "9-10");

  E().SetSelection(2, 1, 5, 3);  // ordinary cells, not whole rows
  ASSERT_EQ(T().GetSelectedRows(list, 0), 0);
  EXPECT_EQ(RangesText(list, s1), "");
  EXPECT_TRUE(list.IsEmptyRowsList(CWBRowsRangeList::null_cstring_ref));

  EXPECT_EQ(T().GetSelectedRows(list, 3), -1);
}

TEST_F(RowSelectionTest, SelectedRowsOfEverySheetLeaveTheActiveSheetAlone) {
  EnsureSheets(3);
  for (int s = 1; s <= 3; ++s) {
    E().SetActiveSheet(s);
    FillSheet(2, 8);
    SelectWholeRows(s, s + 1);
  }
  E().SetActiveSheet(2);
  CWBRowsRangeList list;
  ASSERT_EQ(T().GetSelectedRows(list, 0), 0);
  EXPECT_EQ(RangesText(list, SheetName(1)), "1-2");
  EXPECT_EQ(RangesText(list, SheetName(2)), "2-3");
  EXPECT_EQ(RangesText(list, SheetName(3)), "3-4");
  EXPECT_EQ(T().GetSheet(), 2);
}

// A table whose parameters fill all 256 columns has nothing past its last parameter; its
// whole rows are still whole rows.
TEST_F(RowSelectionTest, WholeRowsCountInATableWithEveryColumnAParameter) {
  FillSheet(engine::kMaxCol, 6);
  SelectWholeRows(2, 2);
  AddWholeRows(5, 6);
  CWBRowsRangeList list;
  ASSERT_EQ(T().GetSelectedRows(list, 0), 0);
  EXPECT_EQ(RangesText(list, SheetName(1)), "2-2 5-6");

  ASSERT_EQ(T().AddSelectRows(4, 4, 0), 0);  // joins: block 0 is a row selection
  EXPECT_EQ(Blocks(1), (Strings{Rows(2, 2), Rows(5, 6), Rows(4, 4)}));
}

// A block of ordinary cells between whole rows keeps its rows out of the row ranges, and whole
// rows after such a block are read like any others.
TEST_F(RowSelectionTest, CellBlocksBetweenWholeRowsDoNotJoinThem) {
  FillSheet(3, 10);
  CWBRowsRangeList list;
  const CString s1 = SheetName(1);

  SelectWholeRows(2, 3);
  E().AddSelection(4, 2, 4, 2);
  AddWholeRows(5, 6);
  ASSERT_EQ(T().GetSelectedRows(list, 0), 0);
  EXPECT_EQ(RangesText(list, s1), "2-3 5-6");

  E().SetSelection(2, 1, 3, 2);
  AddWholeRows(4, 5);
  ASSERT_EQ(T().GetSelectedRows(list, 0), 0);
  EXPECT_EQ(RangesText(list, s1), "4-5");
  EXPECT_EQ(T().StoreSelRows(list, 0), 0);
  EXPECT_EQ(RangesText(list, s1), "4-5");
}

TEST_F(RowSelectionTest, AllRowsAreTheValueRowsOfEachSheet) {
  EnsureSheets(2);
  FillSheet(2, 10);
  CWBRowsRangeList list;
  ASSERT_EQ(T().GetAllRows(list, 0), 0);
  EXPECT_EQ(RangesText(list, SheetName(1)), "1-10");
  EXPECT_EQ(RangesText(list, SheetName(2)), "");
  ASSERT_EQ(T().GetAllRows(list, 2), 0);
  EXPECT_EQ(RangesText(list, SheetName(1)), "none");
  EXPECT_EQ(T().GetAllRows(list, 5), -1);
  EXPECT_EQ(T().GetSheet(), 1);
}

TEST_F(RowSelectionTest, SelectRowsFromAListTouchesOnlySheetsItNames) {
  EnsureSheets(3);
  for (int s = 1; s <= 3; ++s) {
    E().SetActiveSheet(s);
    FillSheet(2, 10);
    E().SetSelection(1, 2, 1, 2);
  }
  E().SetActiveSheet(1);
  CWBRowsRangeList list;
  list.AddSheetEntry(SheetName(1));
  list.AddRowsRangeEntry(SheetName(1), {2, 3});
  list.AddRowsRangeEntry(SheetName(1), {0, 4});  // unusable: skipped
  list.AddRowsRangeEntry(SheetName(1), {6, 7});
  list.AddSheetEntry(SheetName(2));  // no usable range: selection kept
  list.AddRowsRangeEntry(SheetName(2), {-1, 2});
  list.AddRowsRangeEntry(SheetName(2), {3, engine::kMaxRow + 5});
  ASSERT_EQ(T().SelectRows(list, 0), 0);
  EXPECT_EQ(Blocks(1), (Strings{Rows(2, 3), Rows(6, 7)}));
  EXPECT_EQ(Blocks(2), Strings{"1,2:1,2"});
  EXPECT_EQ(Blocks(3), Strings{"1,2:1,2"});
  EXPECT_EQ(T().GetSheet(), 1);

  CWBRowsRangeList third;
  third.AddSheetEntry(SheetName(3));
  third.AddRowsRangeEntry(SheetName(3), {4, 4});
  ASSERT_EQ(T().SelectRows(third, 3), 0);
  EXPECT_EQ(Blocks(3), Strings{Rows(4, 4)});
  EXPECT_EQ(T().GetSheet(), 3);
  EXPECT_EQ(T().SelectRows(third, 4), -1);
}

TEST_F(RowSelectionTest, StoreAndRestoreCarryTheRowSelectionOfEverySheet) {
  EnsureSheets(2);
  FillSheet(2, 10);
  SelectWholeRows(2, 4);
  E().SetActiveSheet(2);
  FillSheet(2, 10);
  SelectWholeRows(6, 7);
  AddWholeRows(9, 9);
  E().SetActiveSheet(1);

  CWBRowsRangeList kept;
  ASSERT_EQ(T().StoreSelRows(kept, 0), 0);
  T().UnSelectRows(1);
  T().UnSelectRows(2);
  T().RestoreSelRows(kept, 0);
  EXPECT_TRUE(kept.IsEmptyRowsList(CWBRowsRangeList::null_cstring_ref));
  EXPECT_EQ(RangesText(kept, SheetName(1)), "none");
  EXPECT_EQ(Blocks(1), Strings{Rows(2, 4)});
  EXPECT_EQ(Blocks(2), (Strings{Rows(6, 7), Rows(9, 9)}));

  EXPECT_EQ(T().StoreSelRows(kept, 7), -1);
  EXPECT_EQ(RangesText(kept, SheetName(1)), "none");
}

TEST_F(RowSelectionTest, SelectionIsKeptWhileTheViewIsClosed) {
  EnsureSheets(2);
  FillSheet(3, 10);
  E().SetActiveSheet(2);
  FillSheet(3, 10);
  E().SetActiveSheet(1);
  ASSERT_EQ(T().ViewOpen(), 0);
  ASSERT_EQ(T().SelectRows(2, 4, 1, false), 0);
  ASSERT_EQ(T().SelectRows(6, 7, 2, false), 0);
  ASSERT_EQ(T().AddSelectRows(9, 9, 2), 0);
  E().SetActiveSheet(1);
  EXPECT_TRUE(T().SavedSelRows().IsEmptyRowsList(CWBRowsRangeList::null_cstring_ref));

  ASSERT_EQ(T().ViewClose(), 0);
  EXPECT_EQ(RangesText(T().SavedSelRows(), SheetName(1)), "2-4");
  EXPECT_EQ(RangesText(T().SavedSelRows(), SheetName(2)), "6-7 9-9");

  // While closed every selection change is mirrored.
  ASSERT_EQ(T().AddSelectRows(6, 6, 1), 0);
  EXPECT_EQ(RangesText(T().SavedSelRows(), SheetName(1)), "2-4 6-6");

  ASSERT_EQ(T().ViewOpen(), 0);
  EXPECT_TRUE(T().SavedSelRows().IsEmptyRowsList(CWBRowsRangeList::null_cstring_ref));
  EXPECT_EQ(Blocks(1), (Strings{Rows(2, 4), Rows(6, 6)}));
  EXPECT_EQ(Blocks(2), (Strings{Rows(6, 7), Rows(9, 9)}));

  ASSERT_EQ(T().ViewClose(), 0);
  ASSERT_EQ(T().UnSelectRows(1), 0);
  EXPECT_EQ(RangesText(T().SavedSelRows(), SheetName(1)), "none");
}
