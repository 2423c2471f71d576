// Reading and writing values and formulas, and the sheet each operation works on.
#include <gtest/gtest.h>

#include "params_fixture.h"

namespace {

using Values = ParamsTest;

TEST_F(Values, ReadsTheDisplayedTextOfARowOfAParameter) {
  MakeSheet({"P1", "P2"}, 3);
  CString value;
  EXPECT_EQ(T().GetArgValue(2, "P2", value, 0), 0);
  EXPECT_EQ(value, "r2c2");
  CString raw;
  E().SetCellText(3, 1, "=1+1");
  EXPECT_EQ(T().GetRawValue(3, "P1", raw, 0), 0);
  EXPECT_EQ(raw, "=1+1");
  EXPECT_EQ(T().GetArgValue(3, "P1", value, 0), 0);
  EXPECT_EQ(value, "2");
}

TEST_F(Values, ReadsIntoTheCallersStringWithoutReplacingItsStorage) {
  MakeSheet({"P1", "P2"}, 2);
  E().SetCellText(1, 1, "a value longer than any short-string buffer holds");
  E().SetCellText(2, 2, "12.5");
  E().ClearRange(2, 1, 2, 1, engine::kClearAll);
  CString value;
  value.reserve(200);
  const char* storage = value.data();
  EXPECT_EQ(T().GetArgValue(1, "P1", value, 0), 0);
  EXPECT_EQ(value, "a value longer than any short-string buffer holds");
  EXPECT_EQ(T().GetArgValue(2, "P2", value, 0), 0);
  EXPECT_EQ(value, "12.5");
  EXPECT_EQ(T().GetArgValue(2, "P1", value, 0), 0);  // an empty cell empties the string
  EXPECT_EQ(value, "");
  EXPECT_EQ(value.data(), storage);
}

TEST_F(Values, InvalidArgumentsLeaveTheOutputAlone) {
  MakeSheet({"P"}, 2);
  EnsureSheets(2);
  CString value = "untouched";
  EXPECT_EQ(T().GetArgValue(0, "P", value, 0), -1);
  EXPECT_EQ(T().GetArgValue(3, "P", value, 0), -1);
  EXPECT_EQ(T().GetArgValue(1, "", value, 0), -1);
  EXPECT_EQ(T().GetArgValue(1, "Q", value, 0), -1);
  EXPECT_EQ(T().GetArgValue(1, "P", value, 3), -1);
  EXPECT_EQ(T().GetArgValue(1, "P", value, -1), -1);
  CString formula = "untouched";
  EXPECT_EQ(T().GetArgFormula(5, "P", formula, 0), -1);
  EXPECT_EQ(T().GetRawValue(5, "P", formula, 0), -1);
  EXPECT_EQ(value, "untouched");
  EXPECT_EQ(formula, "untouched");
  EXPECT_FALSE(T().IsFormula(1, "P", 9));
  EXPECT_FALSE(T().IsFormula(1, "P", 0));
  EXPECT_EQ(T().GetSheet(), 1);
}

TEST_F(Values, WritesGoIntoExistingRowsOrTheRowAfterTheLast) {
  MakeSheet({"P"}, 2);
  EXPECT_EQ(T().AddArgValue(3, "P", "new", 0, nullptr), 0);
  EXPECT_EQ(Shown(3, 1), "new");
  EXPECT_EQ(T().AddArgValue(5, "P", "gap", 0, nullptr), -1);
  EXPECT_EQ(T().AddArgValue(0, "P", "zero", 0, nullptr), -1);
  EXPECT_EQ(T().AddArgValue(1, "Q", "absent", 0, nullptr), -1);
  EXPECT_EQ(T().AddArgValue(1, "P", "1.50", 0, nullptr), 0);
  CString value;
  T().GetArgValue(1, "P", value, 0);
  EXPECT_EQ(value, "1.50");
}

TEST_F(Values, AFailedEntryIsReportedAndLeavesTheCellAsItWas) {
  MakeSheet({"P"}, 2);
  E().SetCellText(2, 1, "=2*3");
  EXPECT_EQ(T().AddArgValue(1, "P", "=1+", 0, nullptr), -1);
  EXPECT_EQ(E().GetCellText(1, 1), "r1c1");
  // A format the engine refuses fails after the value went in: the value is taken back.
  EXPECT_EQ(T().AddArgValue(2, "P", "17", 5, ""), -1);
  EXPECT_EQ(E().GetCellFormula(2, 1), "2*3");
  EXPECT_EQ(Shown(2, 1), "6");
  // An empty cell stays empty, with the format it had.
  E().SetSelection(3, 1, 3, 1);
  E().SetNumberFormat("0.0");
  EXPECT_EQ(T().AddArgValue(3, "P", "=(", 0, nullptr), -1);
  EXPECT_EQ(E().GetCellType(3, 1), engine::kTypeEmpty);
  EXPECT_EQ(E().GetNumberFormat(), "0.0");
  EXPECT_EQ(E().GetLastRow(), 2);
  // A formula that fails is reported by SetArgFormula too.
  EXPECT_EQ(T().SetArgFormula(1, "P", "SUM(", 0), -1);
  EXPECT_EQ(E().GetCellText(1, 1), "r1c1");
}

TEST_F(Values, FormulasAreWrittenWithoutTheirEqualsSign) {
  MakeSheet({"P", "Q"}, 2);
  E().SetCellText(1, 1, "21");
  EXPECT_EQ(T().SetArgFormula(1, "Q", "A1*2", 0), 0);
  EXPECT_TRUE(T().IsFormula(1, "Q", 0));
  EXPECT_FALSE(T().IsFormula(1, "P", 0));
  CString formula, value;
  EXPECT_EQ(T().GetArgFormula(1, "Q", formula, 0), 0);
  EXPECT_EQ(formula, "A1*2");
  EXPECT_EQ(T().GetArgValue(1, "Q", value, 0), 0);
  EXPECT_EQ(value, "42");
  // Logical and error results count as formulas too.
  EXPECT_EQ(T().SetArgFormula(2, "Q", "a1>3", 0), 0);
  EXPECT_TRUE(T().IsFormula(2, "Q", 0));
  EXPECT_EQ(T().SetArgFormula(2, "Q", "1/0", 0), 0);
  EXPECT_TRUE(T().IsFormula(2, "Q", 0));
}

TEST_F(Values, OtherSheetsAreReadAndWrittenWithoutChangingTheActiveSheet) {
  EnsureSheets(3);
  T().SetSheet(2L);
  MakeSheet({"S2"}, 2);
  T().SetSheet(1L);
  MakeSheet({"S1"}, 1);
  CString value;
  EXPECT_EQ(T().GetArgValue(2, "S2", value, 2), 0);
  EXPECT_EQ(value, "r2c1");
  EXPECT_EQ(T().GetSheet(), 1);
  EXPECT_EQ(T().SetArgFormula(1, "S2", "1+2", 2), 0);
  EXPECT_EQ(T().GetSheet(), 1);
  EXPECT_TRUE(T().IsFormula(1, "S2", 2));
  EXPECT_EQ(T().GetArgValue(1, "S2", value, 1), -1);  // not on sheet 1
  EXPECT_EQ(T().GetSheet(), 1);
  long rows = -5;
  EXPECT_EQ(T().GetMaxRows(rows, 3), 0);
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(T().GetSheet(), 1);
  EXPECT_EQ(T().GetMaxRows(rows, 4), -1);
  EXPECT_EQ(rows, 0);
}

TEST_F(Values, SubstituteParamsGivesWhatGetArgValueGives) {
  EnsureSheets(2);
  T().SetSheet(2L);
  MakeSheet({"P"}, 2);
  E().SetCellText(2, 1, "=10/4");
  T().SetSheet(1L);
  for (long row : {0L, 1L, 2L, 3L}) {
    for (const char* name : {"P", "Q", ""}) {
      CString a = "a", b = "a";
      T().SetSheet(2L);
      int expected = T().GetArgValue(row, name, a, 0);
      T().SetSheet(1L);
      EXPECT_EQ(T().SubstituteParams(row, name, b, 2), expected) << row << name;
      EXPECT_EQ(b, a);
      EXPECT_EQ(T().GetSheet(), 1);
    }
  }
}

TEST_F(Values, DateDisplaysLoseTheirNoBreakSpacesByTheFormatOfTheCellRead) {
  MakeSheet({"D", "T"}, 0);
  E().SetCellEntry(1, 1,
                   "01\xC2\xA0"
                   "02\xC2\xA0"
                   "2003");
  E().SetSelection(1, 1, 1, 1);
  E().SetNumberFormat("dd mm yyyy");
  E().SetCellEntry(1, 2,
                   "a\xC2\xA0"
                   "b");
  // The active cell is the date cell while a General cell is read: its text is not touched.
  E().SetSelection(1, 1, 1, 1);
  CString value;
  ASSERT_EQ(T().GetArgValue(1, "T", value, 0), 0);
  EXPECT_EQ(value,
            "a\xC2\xA0"
            "b");
  ASSERT_EQ(T().GetArgValue(1, "D", value, 0), 0);
  EXPECT_EQ(value, "01 02 2003");
  // And the other way round: a date cell read while a General cell is active.
  E().SetSelection(1, 2, 1, 2);
  ASSERT_EQ(T().GetArgValue(1, "D", value, 0), 0);
  EXPECT_EQ(value, "01 02 2003");
}

TEST_F(Values, ExtentOfTheTable) {
  E().SetColumnHeadingText(1, "P");
  E().SetColumnHeadingText(2, "Q");
  T().HeaderColCounts() = {2};
  long rows = -1, cols = -1, args = -1;
  EXPECT_EQ(T().GetMaxRows(rows, 0), 0);
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(T().IsEmpty(), 1);
  EXPECT_EQ(T().GetMaxCols(cols, 0), 0);
  EXPECT_EQ(cols, 2);
  EXPECT_EQ(T().GetMaxArgs(args), 0);
  EXPECT_EQ(args, 2);
  E().SetCellText(4, 2, "x");
  EXPECT_EQ(T().GetMaxRows(rows, 0), 0);
  EXPECT_EQ(rows, 4);
  EXPECT_EQ(T().IsEmpty(), 0);
  EXPECT_EQ(T().GetMaxCols(cols, -2), -1);
  EXPECT_EQ(cols, 0);
}

TEST_F(Values, SelectArgSelectsTheColumnAndLeavesItsSheetActive) {
  EnsureSheets(2);
  T().SetSheet(2L);
  MakeSheet({"X", "Y"}, 2);
  T().SetSheet(1L);
  EXPECT_EQ(T().SelectArg("Y", 2), 0);
  EXPECT_EQ(T().GetSheet(), 2);
  int r1, c1, r2, c2;
  E().GetSelection(0, r1, c1, r2, c2);
  EXPECT_EQ(c1, 2);
  EXPECT_EQ(c2, 2);
  EXPECT_EQ(r1, 1);
  EXPECT_EQ(r2, E().GetMaxRow());
  T().SetSheet(1L);
  EXPECT_EQ(T().SelectArg("Nope", 2), -1);
  EXPECT_EQ(T().GetSheet(), 2);  // switched even though the name is absent
  EXPECT_EQ(T().SelectArg("", 1), -1);
  EXPECT_EQ(T().SelectArg("X", 5), -1);
}

}  // namespace
