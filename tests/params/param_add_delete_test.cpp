// Adding and deleting parameters and value rows.
#include <gtest/gtest.h>

#include "params_fixture.h"

namespace {

using AddDelete = ParamsTest;

TEST_F(AddDelete, AppendNamesTheColumnWritesRowOneAndDefinesTheName) {
  CString name = "Speed";
  EXPECT_EQ(T().AppendArg(name, "10", 0, nullptr, 1), 0);
  EXPECT_EQ(name, "Speed");
  EXPECT_EQ(E().GetColumnHeadingText(1), "Speed");
  EXPECT_EQ(Shown(1, 1), "10");
  EXPECT_EQ(E().GetDefinedName("Speed"), "$A$1:$A$65526");
  CString second = "Mode";
  EXPECT_EQ(T().AppendArg(second, "fast", 0, nullptr, 1), 0);
  EXPECT_EQ(T().GetArgCol("Mode"), 2);
  EXPECT_FALSE(E().GetProgramChangeMode());
  int row = 0, col = 0;
  E().GetActiveCell(row, col);
  EXPECT_EQ(col, 2);
}

TEST_F(AddDelete, PositionsAreChecked) {
  MakeSheet({"P1", "P2"}, 1);
  CString name = "N";
  EXPECT_EQ(T().AddArg(0L, name, "v", 0, nullptr, 0), -1);
  EXPECT_EQ(T().AddArg(4L, name, "v", 0, nullptr, 0), -1);  // last column + 2
  EXPECT_EQ(T().AddArg(257L, name, "v", 0, nullptr, 0), -4);
  EXPECT_EQ(T().AddArg(-1L, name, "v", 0, nullptr, 0), -1);
  EXPECT_EQ(T().GetLastCol(), 2);
  EXPECT_EQ(T().AddArg(3L, name, "v", 0, nullptr, 0), 0);  // last column + 1
  EXPECT_EQ(T().GetArgCol("N"), 3);
}

TEST_F(AddDelete, NamesAreRefusedOrRepaired) {
  CString tooLong(256, 'a');
  EXPECT_EQ(T().AppendArg(tooLong, "", 0, nullptr, 0), -1);
  EXPECT_EQ(tooLong, std::string(256, 'a'));  // refused, not cut
  CString strict = "my param";
  EXPECT_EQ(T().AppendArg(strict, "", 0, nullptr, 1), -1);
  EXPECT_EQ(strict, "my_param");  // repaired in place even when refused
  EXPECT_EQ(T().GetLastCol(), 0);
  CString lenient = "my param";
  EXPECT_EQ(T().AppendArg(lenient, "", 0, nullptr, 0), 0);
  EXPECT_EQ(E().GetColumnHeadingText(1), "my_param");
  CString empty;
  EXPECT_EQ(T().AppendArg(empty, "", 0, nullptr, 0), -1);
  CString exact(255, 'b');
  EXPECT_EQ(T().AppendArg(exact, "", 0, nullptr, 1), 0);
}

TEST_F(AddDelete, DuplicateNamesAreNumberedOrRefusedByOption) {
  CString loop = "Loop";
  ASSERT_EQ(T().AppendArg(loop, "1", 0, nullptr, 0), 0);
  CString again = "Loop";
  EXPECT_EQ(T().AppendArg(again, "2", 0, nullptr, 0), 0);
  EXPECT_EQ(again, "Loop1");
  EXPECT_EQ(T().GetArgCol("Loop1"), 2);
  T().SetChangeDupArgName(false);
  CString third = "Loop";
  EXPECT_EQ(T().AppendArg(third, "3", 0, nullptr, 0), -1);
  EXPECT_EQ(T().GetLastCol(), 2);
}

TEST_F(AddDelete, AddBeforeTakesThePlaceOfTheOtherParameter) {
  MakeSheet({"A1", "B1"}, 2);
  CString name = "new one";
  EXPECT_EQ(T().AddArg(CString("B1"), name, "v", 0, nullptr), 0);
  EXPECT_EQ(name, "new_one");
  EXPECT_EQ(T().GetArgCol("new_one"), 2);
  EXPECT_EQ(T().GetArgCol("B1"), 3);
  EXPECT_EQ(Shown(1, 3), "r1c2");  // values moved with their column
  EXPECT_EQ(Shown(1, 2), "v");
  EXPECT_EQ(Shown(2, 2), "");
  CString other = "X";
  EXPECT_EQ(T().AddArg(CString("Absent"), other, "v", 0, nullptr), -1);
  EXPECT_EQ(T().AddArg(CString(""), other, "v", 0, nullptr), -1);
}

TEST_F(AddDelete, AFullSheetRefusesAnotherParameterAndKeepsItsColumns) {
  for (int c = 1; c <= 256; ++c) E().SetColumnHeadingText(c, "P" + std::to_string(c));
  E().SetCellText(1, 256, "last");
  CString name = "Extra";
  EXPECT_EQ(T().AppendArg(name, "v", 0, nullptr, 0), -4);
  EXPECT_EQ(T().AddArg(1L, name, "v", 0, nullptr, 0), -4);
  EXPECT_EQ(E().GetColumnHeadingText(1), "P1");
  EXPECT_EQ(E().GetColumnHeadingText(256), "P256");
  EXPECT_EQ(Shown(1, 256), "last");
}

TEST_F(AddDelete, AValueFromAFillListContinuesTheListDownTheRows) {
  E().SetAutoFillList(E().GetAutoFillListCount() + 1, "Mon;Tue;Wed");
  // Put the custom list first so that it, not the built-in day list, matches.
  while (E().GetAutoFillListCount() > 1) E().DeleteAutoFillList(1);
  MakeSheet({"P"}, 5);
  CString name = "Day";
  ASSERT_EQ(T().AppendArg(name, "Tue", 0, nullptr, 0), 0);
  const char* expected[] = {"Tue", "Wed", "Mon", "Tue", "Wed"};
  for (int r = 1; r <= 5; ++r) EXPECT_EQ(Shown(r, 2), expected[r - 1]) << r;
  EXPECT_EQ(Shown(6, 2), "");
}

TEST_F(AddDelete, ListsAreNotConsultedForOneRowOrWhenAskedNotTo) {
  MakeSheet({"P"}, 1);
  CString name = "Day";
  ASSERT_EQ(T().AppendArg(name, "Tue", 0, nullptr, 0), 0);
  EXPECT_EQ(Shown(1, 2), "Tue");
  EXPECT_EQ(E().GetLastRow(), 1);
  E().SetCellText(3, 1, "x");  // three rows now
  T().AddCol(3, "Tue", 0, 0, nullptr);
  EXPECT_EQ(Shown(1, 3), "Tue");
  EXPECT_EQ(Shown(2, 3), "");
  // The no-value sentinel writes an empty first cell and never consults the lists.
  T().AddCol(4, CZAT::null_cstring_ref, 1, 0, nullptr);
  EXPECT_EQ(E().GetCellType(1, 4), engine::kTypeText);
  EXPECT_EQ(Shown(1, 4), "");
  EXPECT_EQ(Shown(2, 4), "");
}

TEST_F(AddDelete, DeleteAsksTheHostFirstAndHonoursAVeto) {
  MakeSheet({"P1", "P2", "P3"}, 2);
  RecordingSink sink;
  ASSERT_EQ(T().RegisterNotify(&sink), 1);
  sink.answer = CZATNotify::ZAT_NTFY_CANCEL;
  EXPECT_EQ(T().DelArg(CString("P2")), -3);
  EXPECT_EQ(T().GetArgCol("P2"), 2);
  ASSERT_EQ(sink.deleteArgCalls.size(), 1u);
  EXPECT_EQ(sink.deleteArgCalls[0], CStringList{"P2"});
  // Column 0 still asks (with an empty name), then fails.
  sink.answer = CZATNotify::ZAT_NTFY_OK;
  EXPECT_EQ(T().DelArg(0L), -1);
  EXPECT_EQ(sink.deleteArgCalls.back(), CStringList{""});
  EXPECT_EQ(T().DelArg(CString("P2")), 0);
  EXPECT_EQ(T().GetArgCol("P2"), -1);
  EXPECT_EQ(T().GetArgCol("P3"), 2);
  EXPECT_EQ(Shown(1, 2), "r1c3");
  T().UnRegisterNotify(1);
}

TEST_F(AddDelete, DeleteRefusesAbsentParametersAndColumnsBeyondTheLast) {
  MakeSheet({"P1"}, 1);
  EXPECT_EQ(T().DelArg(CString("")), -1);
  EXPECT_EQ(T().DelArg(CString("Nope")), -1);
  EXPECT_EQ(T().DelArg(2L), -1);
  EXPECT_EQ(T().DelArg(-7L), -1);
  EXPECT_EQ(T().GetArgCol("P1"), 1);
}

TEST_F(AddDelete, DeleteRowMovesTheRowsBelowUp) {
  MakeSheet({"P1", "P2"}, 3);
  EXPECT_EQ(T().DelRow(4), -1);
  EXPECT_EQ(T().DelRow(0), -1);
  EXPECT_EQ(T().DelRow(2), 0);
  EXPECT_EQ(Shown(2, 1), "r3c1");
  EXPECT_EQ(E().GetLastRow(), 2);
}

TEST_F(AddDelete, DeletingTheLastRowKeepsTheParameters) {
  // A new table whose parameters exist only through their row-1 cells.
  CString a = "A_", b = "B_";
  ASSERT_EQ(T().AppendArg(a, "1", 0, nullptr, 0), 0);
  ASSERT_EQ(T().AppendArg(b, "", 0, nullptr, 0), 0);
  EXPECT_EQ(T().DelRow(1), 0);
  long args = 0;
  T().GetMaxArgs(args);
  EXPECT_EQ(args, 2);
  EXPECT_EQ(T().GetArgCol("B_"), 2);
  EXPECT_EQ(T().IsEmpty(), 1);
}

TEST_F(AddDelete, DeletingTheLastRowNeverBlanksAValue) {
  MakeSheet({"P1", "P2", "P3"}, 3);
  ASSERT_EQ(T().DelRow(3), 0);
  for (int c = 1; c <= 3; ++c) {
    EXPECT_EQ(Shown(1, c), Cell(1, c));
    EXPECT_EQ(Shown(2, c), Cell(2, c));
  }
}

TEST_F(AddDelete, DelArgValueEmptiesOneCell) {
  MakeSheet({"P"}, 2);
  EXPECT_EQ(T().DelArgValue(2, "P"), 0);
  EXPECT_EQ(Shown(2, 1), "");
  EXPECT_EQ(Shown(1, 1), "r1c1");
  EXPECT_EQ(T().DelArgValue(3, "P"), -1);
  EXPECT_EQ(T().DelArgValue(1, "Q"), -1);
}

}  // namespace
