// Sheets: the list, lookup by exact name, inserting, appending, deleting (with the sink's
// veto and the last-sheet rule), renaming, the selected mark and the sheet-argument rules.

#include "table_fixture.h"

class SheetsTest : public TableTest {
 protected:
  void SetUp() override {
    TableTest::SetUp();
    T().SetNumSheets(3);  // Sheet1, Sheet2, Sheet3
  }
  std::vector<CString> Names() {
    const CStringList& list = T().GetSheetsList();
    return {list.begin(), list.end()};
  }
};

TEST_F(SheetsTest, ListAndLookupByExactName) {
  EXPECT_EQ(Names(), (std::vector<CString>{"Sheet1", "Sheet2", "Sheet3"}));
  EXPECT_EQ(T().GetSheetIndex("Sheet2"), 2);
  EXPECT_EQ(T().GetSheetIndex("sheet2"), 0);
  EXPECT_EQ(T().GetSheetIndex("Sheet2 "), 0);
  EXPECT_EQ(T().GetSheetIndex("Nope"), 0);
  EXPECT_EQ(T().GetNumSheets(), 3);
}

TEST_F(SheetsTest, ListReferenceStaysAndIsRefilled) {
  const CStringList& list = T().GetSheetsList();
  T().AppendSheets(1);
  EXPECT_EQ(list.size(), 3u);  // contents change only with the next call
  const CStringList& again = T().GetSheetsList();
  EXPECT_EQ(&again, &list);
  EXPECT_EQ(list.size(), 4u);
}

TEST_F(SheetsTest, GetSheetNameOfActiveAndOutOfRange) {
  T().SetSheet(2);
  CString name = "stale";
  EXPECT_EQ(T().GetSheetName(name, 0), 0);
  EXPECT_EQ(name, "Sheet2");
  name = "stale";
  EXPECT_EQ(T().GetSheetName(name, 4), -1);
  EXPECT_EQ(name, "");
  name = "stale";
  EXPECT_EQ(T().GetSheetName(name, -1), -1);
  EXPECT_EQ(name, "");
}

TEST_F(SheetsTest, SetSheetByIndexAndName) {
  EXPECT_EQ(T().SetSheet(3), 0);
  EXPECT_EQ(T().GetSheet(), 3);
  EXPECT_EQ(T().SetSheet("Sheet1"), 0);
  EXPECT_EQ(T().GetSheet(), 1);
  for (long bad : {0L, 4L, -1L, -100000L}) EXPECT_EQ(T().SetSheet(bad), -1) << bad;
  EXPECT_EQ(T().SetSheet("Nope"), -1);
  EXPECT_EQ(T().GetSheet(), 1);
}

TEST_F(SheetsTest, InsertPutsNewSheetsInFrontAndKeepsActiveIndex) {
  T().SetSheet(2);
  EXPECT_EQ(T().InsertSheets(1, 2), 0);
  EXPECT_EQ(T().GetNumSheets(), 5);
  EXPECT_EQ(Names()[2], "Sheet1");  // the old sheet 1 is now sheet 3
  EXPECT_EQ(T().GetSheet(), 2);
  EXPECT_EQ(E().GetViewMode(2), 1);  // prepared like the view does
  EXPECT_EQ(T().InsertSheets("Sheet3", 1), 0);
  EXPECT_EQ(Names()[5], "Sheet3");
}

TEST_F(SheetsTest, InsertRefusesBadIndexNameAndCount) {
  for (long bad : {0L, 4L, -2L}) EXPECT_EQ(T().InsertSheets(bad, 1), -1) << bad;
  EXPECT_EQ(T().InsertSheets("Nope", 1), -1);
  EXPECT_EQ(T().InsertSheets(1, 0), -1);
  EXPECT_EQ(T().InsertSheets(1, -3), -1);
  EXPECT_EQ(T().GetNumSheets(), 3);
}

TEST_F(SheetsTest, AppendAddsAfterTheLast) {
  T().SetSheet(1);
  T().AppendSheets(2);
  EXPECT_EQ(T().GetNumSheets(), 5);
  EXPECT_EQ(T().GetSheet(), 1);
  T().AppendSheets(0);
  T().AppendSheets(-4);
  EXPECT_EQ(T().GetNumSheets(), 5);
}

TEST_F(SheetsTest, DeleteAsksTheSinkWithTheRange) {
  T().AppendSheets(2);
  RecordingSink& sink = sink_;
  T().RegisterNotify(&sink);
  EXPECT_EQ(T().DeleteSheets(2, 3), 0);
  EXPECT_EQ(sink.calls, std::vector<std::string>{"OnDeleteSheets(2,4)"});
  EXPECT_EQ(Names(), (std::vector<CString>{"Sheet1", "Sheet5"}));
}

TEST_F(SheetsTest, VetoedDeleteReturnsZeroAndKeepsEverySheet) {
  RecordingSink& sink = sink_;
  sink.answer = CZATNotify::ZAT_NTFY_CANCEL;
  T().RegisterNotify(&sink);
  EXPECT_EQ(T().DeleteSheets(1, 3), 0);
  EXPECT_EQ(T().DeleteSheets("Sheet2", 1), 0);
  EXPECT_EQ(T().GetNumSheets(), 3);
  EXPECT_EQ(sink.calls.size(), 2u);
}

TEST_F(SheetsTest, DeletingEverySheetLeavesOneFreshSheet1) {
  FillSheet(2, 3);
  T().SetSheetName(1, "Data");
  EXPECT_EQ(T().DeleteSheets(1, 3), 0);
  EXPECT_EQ(Names(), std::vector<CString>{"Sheet1"});
  long args = -1;
  T().GetMaxArgs(args);
  EXPECT_EQ(args, 0);
}

TEST_F(SheetsTest, DeleteRefusesBadRangesWithoutAskingTheSink) {
  RecordingSink& sink = sink_;
  T().RegisterNotify(&sink);
  EXPECT_EQ(T().DeleteSheets(2, 3), -1);  // past the end
  EXPECT_EQ(T().DeleteSheets(0, 1), -1);
  EXPECT_EQ(T().DeleteSheets(-1, 1), -1);
  EXPECT_EQ(T().DeleteSheets(1, 0), -1);
  EXPECT_EQ(T().DeleteSheets(2, -1), -1);
  EXPECT_EQ(T().DeleteSheets("Nope", 1), -1);
  EXPECT_TRUE(sink.calls.empty());
  EXPECT_EQ(T().GetNumSheets(), 3);
}

TEST_F(SheetsTest, RenameRefusesDuplicatesIncludingItsOwnName) {
  EXPECT_EQ(T().SetSheetName(2, "Sheet3"), -6);
  EXPECT_EQ(T().SetSheetName(2, "Sheet2"), -6);
  EXPECT_EQ(T().SetSheetName(2, "Results"), 0);
  EXPECT_EQ(Names()[1], "Results");
  EXPECT_EQ(T().SetSheetName("Results", "Final"), 0);
  EXPECT_EQ(T().SetSheetName("Nope", "X"), -1);
  EXPECT_EQ(T().SetSheetName(0, "X"), -1);
  EXPECT_EQ(T().SetSheetName(4, "X"), -1);
  EXPECT_EQ(T().SetSheetName(1, nullptr), -1);
  EXPECT_EQ(T().SetSheetName(1, "sheet3"), 0);  // case differs: not a duplicate
}

TEST_F(SheetsTest, RenameToANameTheWorkbookCannotHoldThrows) {
  EXPECT_THROW(T().SetSheetName(1, ""), engine::EngineError);
  EXPECT_EQ(Names()[0], "Sheet1");
}

TEST_F(SheetsTest, SelectedMarkByIndexAndName) {
  EXPECT_EQ(T().SetSheetSelected(2, true), 0);
  EXPECT_TRUE(T().GetSheetSelected(2));
  EXPECT_TRUE(T().GetSheetSelected("Sheet2"));
  EXPECT_EQ(T().SetSheetSelected("Sheet2", false), 0);
  EXPECT_FALSE(T().GetSheetSelected(2));
  EXPECT_FALSE(T().GetSheetSelected(0));
  EXPECT_FALSE(T().GetSheetSelected(9));
  EXPECT_FALSE(T().GetSheetSelected("Nope"));
  EXPECT_EQ(T().SetSheetSelected(0, true), -1);
  EXPECT_EQ(T().SetSheetSelected(-1, true), -1);
  EXPECT_EQ(T().SetSheetSelected("Nope", true), -1);
}

TEST_F(SheetsTest, UnicodeNamesCompareExactly) {
  ASSERT_EQ(T().SetSheetName(3, "\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF"), 0);  // データ
  EXPECT_EQ(T().GetSheetIndex("\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF"), 3);
  EXPECT_EQ(T().GetSheetIndex("\xE3\x83\x87\xE3\x83\xBC"), 0);
}

TEST_F(SheetsTest, RequestedSheetResolvesAndActivatesWhenAsked) {
  long sheet = -9, previous = -9;
  T().SetSheet(2);
  EXPECT_EQ(T().GetRequestedSheet(0, sheet, previous, true), 0);
  EXPECT_EQ(sheet, 2);
  EXPECT_EQ(previous, 2);
  EXPECT_EQ(T().GetRequestedSheet(3, sheet, previous, false), 0);
  EXPECT_EQ(sheet, 3);
  EXPECT_EQ(T().GetSheet(), 2);
  EXPECT_EQ(T().GetRequestedSheet(3, sheet, previous, true), 0);
  EXPECT_EQ(T().GetSheet(), 3);
  EXPECT_EQ(previous, 2);
  sheet = -9;
  EXPECT_EQ(T().GetRequestedSheet(4, sheet, previous, true), -1);
  EXPECT_EQ(T().GetRequestedSheet(-1, sheet, previous, true), -1);
  EXPECT_EQ(sheet, -9);
  EXPECT_EQ(T().GetSheet(), 3);
}

TEST_F(SheetsTest, RequestedSheetsResolveAllOrOne) {
  long first = 0, last = 0, previous = 0;
  EXPECT_EQ(T().GetRequestedSheets(0, first, last, previous), 0);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(last, 3);
  EXPECT_EQ(T().GetRequestedSheets(2, first, last, previous), 0);
  EXPECT_EQ(first, 2);
  EXPECT_EQ(last, 2);
  EXPECT_EQ(T().GetRequestedSheets(4, first, last, previous), -1);
  EXPECT_EQ(T().GetRequestedSheets(-2, first, last, previous), -1);
}

TEST_F(SheetsTest, SheetArgumentsOfValueOperationsRestoreTheActiveSheet) {
  FillSheet(1, 2);
  T().SetSheet(2);
  CString name = "Q";
  ASSERT_EQ(T().AppendArg(name, "on two", 0, nullptr, 1), 0);
  T().SetSheet(1);
  CString value;
  EXPECT_EQ(T().GetArgValue(1, "Q", value, 2), 0);
  EXPECT_EQ(value, "on two");
  EXPECT_EQ(T().GetSheet(), 1);
  EXPECT_NE(T().GetArgValue(1, "Q", value, 4), 0);
}

TEST_F(SheetsTest, SetNumSheetsWritesTheCountDirectly) {
  T().SetNumSheets(5);
  EXPECT_EQ(T().GetNumSheets(), 5);
  T().SetNumSheets(2);
  EXPECT_EQ(T().GetNumSheets(), 2);
  EXPECT_THROW(T().SetNumSheets(0), engine::EngineError);
  EXPECT_EQ(T().GetNumSheets(), 2);
}
