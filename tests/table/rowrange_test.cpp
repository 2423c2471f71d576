// Row ranges per sheet and the last selected row per sheet.

#include <gtest/gtest.h>

#include <climits>

#include "datatable/rows_range.h"
#include "datatable/zat.h"

TEST(RowsRangeList, NewListIsEmptyForAnySheet) {
  CWBRowsRangeList list;
  EXPECT_TRUE(list.IsEmptyRowsList(CWBRowsRangeList::null_cstring_ref));
  int count = 7;
  EXPECT_EQ(list.GetRowsRangeCount("A", count), -1);
  EXPECT_EQ(count, 7);
  EXPECT_EQ(&CWBRowsRangeList::null_cstring_ref, &CZAT::null_cstring_ref);
  EXPECT_EQ(CZAT::null_cstring_ref, "null-cstring");
}

TEST(RowsRangeList, EntryWithoutRangesDiffersFromNoEntry) {
  CWBRowsRangeList list;
  EXPECT_EQ(list.AddSheetEntry("A"), 0);
  EXPECT_EQ(list.AddSheetEntry("A"), -1);
  int count = -1;
  EXPECT_EQ(list.GetRowsRangeCount("A", count), 0);
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(list.IsEmptyRowsList("A"));
  EXPECT_TRUE(list.IsEmptyRowsList("a"));
  EXPECT_EQ(list.GetRowsRangeCount("a", count), -1);
  EXPECT_TRUE(list.IsEmptyRowsList(CWBRowsRangeList::null_cstring_ref));
  EXPECT_EQ(list.AddRowsRangeEntry("a", CRowsRange{1, 1}), -1);
}

TEST(RowsRangeList, RangesComeBackInOrderAndCountRows) {
  CWBRowsRangeList list;
  list.AddSheetEntry("A");
  EXPECT_EQ(list.AddRowsRangeEntry("A", CRowsRange{2, 4}), 0);
  EXPECT_EQ(list.AddRowsRangeEntry("A", CRowsRange{7, 7}), 1);
  CRowsRange r;
  EXPECT_EQ(list.GetRowsRangeEntry("A", 0, r), 0);
  EXPECT_EQ(r.nFirstRow, 2);
  EXPECT_EQ(r.nLastRow, 4);
  EXPECT_EQ(list.GetRowsRangeEntry("A", 1, r), 0);
  EXPECT_EQ(r.nFirstRow, 7);
  int rows = 0;
  EXPECT_EQ(list.GetRowsCount("A", rows), 0);
  EXPECT_EQ(rows, 4);
  EXPECT_FALSE(list.IsEmptyRowsList("A"));
  EXPECT_FALSE(list.IsEmptyRowsList(CWBRowsRangeList::null_cstring_ref));
  EXPECT_EQ(list.GetRowsCount("B", rows), -1);
  EXPECT_EQ(rows, 4);
}

TEST(RowsRangeList, OutOfRangeIndexesLeaveTheOutputAndTheListAlone) {
  CWBRowsRangeList list;
  list.AddSheetEntry("A");
  list.AddRowsRangeEntry("A", CRowsRange{2, 4});
  list.AddRowsRangeEntry("A", CRowsRange{7, 7});
  CRowsRange r{99, 98};
  EXPECT_EQ(list.GetRowsRangeEntry("A", 2, r), -1);
  EXPECT_EQ(list.GetRowsRangeEntry("A", -1, r), -1);
  EXPECT_EQ(list.GetRowsRangeEntry("B", 0, r), -1);
  EXPECT_EQ(r.nFirstRow, 99);
  EXPECT_EQ(list.SetRowsRangeEntry("A", 2, CRowsRange{1, 1}), -1);
  EXPECT_EQ(list.SetRowsRangeEntry("A", -1, CRowsRange{1, 1}), -1);
  int count = 0;
  list.GetRowsRangeCount("A", count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(list.SetRowsRangeEntry("A", 1, CRowsRange{8, 9}), 0);
  EXPECT_EQ(list.GetRowsRangeEntry("A", 1, r), 0);
  EXPECT_EQ(r.nLastRow, 9);
}

TEST(RowsRangeList, SentinelIsRecognisedByAddressNotText) {
  CWBRowsRangeList list;
  list.AddSheetEntry("null-cstring");
  list.AddSheetEntry("B");
  list.AddRowsRangeEntry("B", CRowsRange{1, 2});
  const CString lookalike = "null-cstring";
  EXPECT_TRUE(list.IsEmptyRowsList(lookalike));  // the sheet of that name has no ranges
  EXPECT_FALSE(list.IsEmptyRowsList(CWBRowsRangeList::null_cstring_ref));
}

TEST(RowsRangeList, RowCountOfAbsurdRangesDoesNotOverflow) {
  CWBRowsRangeList list;
  list.AddSheetEntry("A");
  list.AddRowsRangeEntry("A", CRowsRange{1, LONG_MAX});
  list.AddRowsRangeEntry("A", CRowsRange{1, LONG_MAX});
  int rows = 0;
  EXPECT_EQ(list.GetRowsCount("A", rows), 0);
  EXPECT_EQ(rows, INT_MAX);
}

TEST(RowsRangeList, ClearRemovesEveryEntry) {
  CWBRowsRangeList list;
  list.AddSheetEntry("A");
  list.AddRowsRangeEntry("A", CRowsRange{1, 3});
  list.AddSheetEntry("B");
  list.ClearWBRowsRangeList();
  int count = 0;
  EXPECT_EQ(list.GetRowsRangeCount("A", count), -1);
  EXPECT_EQ(list.GetRowsRangeCount("B", count), -1);
  EXPECT_EQ(list.AddSheetEntry("A"), 0);
}

TEST(LastSelectedRow, AddNeverOverwritesAndSetNeverCreates) {
  CLastSelectedRow rows;
  EXPECT_EQ(rows.AddLastSelectedRowEntry("A", 0), 0);
  EXPECT_EQ(rows.AddLastSelectedRowEntry("A", 5), -1);
  long row = -1;
  EXPECT_EQ(rows.GetLastSelectedRow("A", row), 0);
  EXPECT_EQ(row, 0);
  EXPECT_EQ(rows.SetLastSelectedRowEntry("B", 3), -1);
  row = 42;
  EXPECT_EQ(rows.GetLastSelectedRow("B", row), -1);
  EXPECT_EQ(row, 42);
  EXPECT_EQ(rows.SetLastSelectedRowEntry("A", 9), 0);
  EXPECT_EQ(rows.GetLastSelectedRow("A", row), 0);
  EXPECT_EQ(row, 9);
  EXPECT_EQ(rows.GetLastSelectedRow("a", row), -1);
  rows.ClearLastSelectedRow();
  EXPECT_EQ(rows.GetLastSelectedRow("A", row), -1);
}
