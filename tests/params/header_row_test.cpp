// The stored form (names in row 1) and the open form (names as headings), and header lists.
#include <gtest/gtest.h>

#include "params_fixture.h"

namespace {

using HeaderRow = ParamsTest;

TEST_F(HeaderRow, AddingTheHeaderPutsNamesIntoANewRowOneOfEverySheet) {
  EnsureSheets(2);
  MakeSheet({"P1", "", "P3"}, 2);
  T().SetSheet(2L);
  MakeSheet({"Q1"}, 1);
  T().SetSheet(1L);
  EXPECT_EQ(T().AddHeaderToZAT(), 0);
  EXPECT_EQ(T().GetSheet(), 1);
  EXPECT_EQ(E().GetCellText(1, 1), "P1");
  EXPECT_EQ(E().GetCellType(1, 2), engine::kTypeEmpty);  // unnamed: empty, not its letters
  EXPECT_EQ(E().GetCellText(1, 3), "P3");
  EXPECT_EQ(E().GetCellText(2, 1), "r1c1");
  T().SetSheet(2L);
  EXPECT_EQ(E().GetCellText(1, 1), "Q1");
  EXPECT_EQ(E().GetCellText(2, 1), "r1c1");
}

TEST_F(HeaderRow, AddThenRemoveLeavesTheTableAsItWas) {
  MakeSheet({"P1", "", "P3"}, 3);
  E().SetRowsHidden(2, 2, true);
  ASSERT_EQ(T().AddHeaderToZAT(), 0);
  ASSERT_EQ(T().DelHeaderFromZAT(0), 0);
  EXPECT_EQ(E().GetColumnHeadingText(1), "P1");
  EXPECT_EQ(E().GetColumnHeadingText(2), "");
  EXPECT_EQ(E().GetLastRow(), 3);
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= 3; ++c) EXPECT_EQ(Shown(r, c), Cell(r, c));
  // Row attributes stay with their rows.
  EXPECT_TRUE(E().GetRowHidden(2));
  EXPECT_FALSE(E().GetRowHidden(1));
  EXPECT_FALSE(E().GetRowHidden(3));
}

TEST_F(HeaderRow, TakingNamesReadsRowOneAndRecordsTheHeaderWidth) {
  EnsureSheets(2);
  // Stored form as a file brings it: names in row 1, one cell of it empty.
  E().SetCellText(1, 1, "Loop");
  E().SetCellText(1, 3, "Speed");
  E().SetCellText(1, 4, "Named_empty");
  E().SetCellText(2, 1, "1");
  E().SetCellText(2, 3, "fast");
  E().SetCellText(3, 1, "2");
  T().SetSheet(2L);
  E().SetCellText(1, 2, "Only");
  T().SetSheet(1L);
  ASSERT_EQ(T().DelHeaderFromZAT(1), 0);
  EXPECT_EQ(T().HeaderColCounts(), (std::vector<unsigned>{4, 2}));
  EXPECT_EQ(E().GetColumnHeadingText(1), "Loop");
  EXPECT_EQ(E().GetColumnHeadingText(2), "");  // the empty cell names nothing
  EXPECT_EQ(E().GetDefinedName("Speed"), "$C$1:$C$65526");
  EXPECT_EQ(T().GetLastRow(), 2);
  EXPECT_EQ(T().GetLastCol(), 4);  // the named column without values still counts
  EXPECT_EQ(T().GetArgCol("Named_empty"), 4);
  CString value;
  EXPECT_EQ(T().GetArgValue(1, "Speed", value, 0), 0);
  EXPECT_EQ(value, "fast");
  T().SetSheet(2L);
  EXPECT_EQ(T().GetLastRow(), 0);
  EXPECT_EQ(T().GetLastCol(), 2);
  EXPECT_EQ(T().GetArgCol("Only"), 2);
}

TEST_F(HeaderRow, ASheetWithoutRowsIsReportedButTheOthersAreConverted) {
  EnsureSheets(2);
  E().SetCellText(1, 1, "Name");
  E().SetCellText(2, 1, "v");
  EXPECT_EQ(T().DelHeaderFromZAT(1), -1);  // sheet 2 has no row at all
  EXPECT_EQ(E().GetColumnHeadingText(1), "Name");
  EXPECT_EQ(Shown(1, 1), "v");
  EXPECT_EQ(T().GetSheet(), 1);
}

TEST_F(HeaderRow, ASheetThatCannotTakeTheNamesRowLeavesEverySheetAsItWas) {
  EnsureSheets(3);
  MakeSheet({"A"}, 2);
  T().SetSheet(2L);
  MakeSheet({"B"}, 2);
  E().SetCellText(E().GetMaxRow(), 1, "bottom");  // no room to push rows down
  T().SetSheet(3L);
  MakeSheet({"C"}, 2);
  T().SetSheet(1L);
  EXPECT_THROW(T().AddHeaderToZAT(), engine::EngineError);
  EXPECT_EQ(T().GetSheet(), 1);
  for (int s = 1; s <= 3; ++s) {
    T().SetSheet(static_cast<long>(s));
    EXPECT_EQ(Shown(1, 1), "r1c1") << s;
    EXPECT_EQ(Shown(2, 1), "r2c1") << s;
  }
}

TEST_F(HeaderRow, HeaderListHasOneNamePerColumn) {
  EnsureSheets(2);
  T().SetSheet(2L);
  MakeSheet({"A1", "B1", ""}, 1);
  T().SetSheet(1L);
  MakeSheet({"Other"}, 1);
  const CZATArgList& list = T().GetHeaderArgList(2);
  EXPECT_EQ(list, (CZATArgList{"A1", "B1", "C"}));
  EXPECT_EQ(T().GetSheet(), 1);
  const CZATArgList& again = T().GetHeaderArgList(0);
  EXPECT_EQ(&again, &list);
  EXPECT_EQ(list, (CZATArgList{"Other"}));
  EXPECT_TRUE(T().GetHeaderArgList(3).empty());
  EXPECT_TRUE(T().GetHeaderArgList(-1).empty());
}

TEST_F(HeaderRow, ValidityCheckGivesTheFirstDisagreement) {
  MakeSheet({"A", "Loop", "C", "D"}, 1);
  EXPECT_EQ(T().HeaderValidityCheck(CZATArgList{"A", "Loop", "C", "D"}), 0);
  EXPECT_EQ(T().HeaderValidityCheck(CZATArgList{"A", "X", "C", "D"}), 2);
  EXPECT_EQ(T().HeaderValidityCheck(CZATArgList{"A", "Loop", "C"}), 4);
  EXPECT_EQ(T().HeaderValidityCheck(CZATArgList{"A", "Loop", "C", "D", "E"}), 5);
  EXPECT_EQ(T().HeaderValidityCheck(CZATArgList{}), 1);
  EXPECT_EQ(T().HeaderValidityCheck(CZATArgList{"A", "loop"}), 2);
  E().DeleteRange(-1, 1, -1, 4, engine::kShiftColumns);
  EXPECT_EQ(T().HeaderValidityCheck(CZATArgList{}), 0);
}

}  // namespace
