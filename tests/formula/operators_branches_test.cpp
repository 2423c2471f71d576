// Ranges of sheets, union and intersection, branches that are not evaluated and halving
// lookups.
#include "formula_test_support.h"

namespace engine::formula::testing {
namespace {

class SheetRanges : public FormulaTest {
 protected:
  void SetUp() override {
    ctl.SetNumSheets(3);
    for (int s = 1; s <= 3; ++s) {
      ctl.SetActiveSheet(s);
      Set(1, 1, std::to_string(s));       // A1 = 1, 2, 3
      Set(2, 1, std::to_string(10 * s));  // A2 = 10, 20, 30
    }
    ctl.SetActiveSheet(1);
  }
};

TEST_F(SheetRanges, ARangeOfSheetsReadsEverySheetBetweenItsEnds) {
  Set(5, 2, "=SUM(Sheet1:Sheet3!A1)");
  EXPECT_EQ(Num(5, 2), 6);
  EXPECT_EQ(Formula(5, 2), "SUM(Sheet1:Sheet3!A1)");
  Set(5, 3, "=SUM(sheet3:sheet2!A1:A2)");  // either order, any case
  EXPECT_EQ(Num(5, 3), 55);
  EXPECT_EQ(Formula(5, 3), "SUM(Sheet2:Sheet3!A1:A2)");
  Set(5, 4, "=COUNT(Sheet1:Sheet3!A1:A2)");
  EXPECT_EQ(Num(5, 4), 6);
  Set(5, 5, "=Sheet1:Sheet3!A1");  // one value wanted, three areas given
  EXPECT_EQ(Val(5, 5).error, ErrorValue::Value);
  // A change on a sheet inside the range recomputes the readers.
  ctl.SetActiveSheet(2);
  Set(1, 1, "100");
  ctl.SetActiveSheet(1);
  EXPECT_EQ(Num(5, 2), 104);
}

TEST_F(SheetRanges, NamesThatNeedQuotesAreQuotedAsOne) {
  ctl.SetSheetName(2, "Two Words");
  Set(5, 2, "=SUM('Sheet1:Two Words'!A1)");
  EXPECT_EQ(Num(5, 2), 3);
  EXPECT_EQ(Formula(5, 2), "SUM('Sheet1:Two Words'!A1)");
  EXPECT_THROW(Set(5, 3, "=SUM(Sheet1:Nowhere!A1)"), EngineError);
}

TEST_F(SheetRanges, SheetsInsertedDeletedAndMovedChangeWhatTheRangeCovers) {
  Set(5, 2, "=SUM(Sheet1:Sheet3!A1)");
  ctl.InsertSheets(2, 1);  // a new, empty sheet between the ends
  ctl.SetActiveSheet(2);
  Set(1, 1, "1000");
  ctl.SetActiveSheet(1);
  EXPECT_EQ(Num(5, 2), 1006);
  // The formula now sits on the inserted Sheet4; moving the end Sheet3 to the front makes
  // the order Sheet3, Sheet1, Sheet4, Sheet2: the range turns round and covers two sheets.
  ctl.SetActiveSheet(2);
  Set(5, 2, "=SUM(Sheet1:Sheet3!A1)");
  ctl.MoveSheet(4, 1);
  int own = 0;
  for (int s = 1; s <= 4; ++s)
    if (ctl.GetSheetName(s) == "Sheet4") own = s;
  ctl.SetActiveSheet(own);
  EXPECT_EQ(Formula(5, 2), "SUM(Sheet3:Sheet1!A1)");
  EXPECT_EQ(Num(5, 2), 3 + 1);
  // Deleting an end sheet moves that end inward.
  ctl.DeleteSheets(1, 1);  // Sheet3
  for (int s = 1; s <= 3; ++s)
    if (ctl.GetSheetName(s) == "Sheet4") own = s;
  ctl.SetActiveSheet(own);
  EXPECT_EQ(Formula(5, 2), "SUM(Sheet1!A1)");
  EXPECT_EQ(Num(5, 2), 1);
}

TEST_F(SheetRanges, RowsInsertedOnOneSheetMoveOnlyThatSheetsReferences) {
  Set(5, 2, "=SUM(Sheet1:Sheet3!A2)");
  Set(5, 3, "=Sheet2!A2");
  ctl.SetActiveSheet(2);
  ctl.InsertRange(1, -1, 1, -1, 2);  // a whole row at the top of Sheet2
  ctl.SetActiveSheet(1);
  EXPECT_EQ(Formula(5, 3), "Sheet2!A3");
  EXPECT_EQ(Num(5, 3), 20);
  EXPECT_EQ(Formula(5, 2), "SUM(Sheet1:Sheet3!A2)");
  EXPECT_EQ(Num(5, 2), 10 + 2 + 30);  // Sheet2's A2 is now the moved A1
}

class Operators : public FormulaTest {
 protected:
  void SetUp() override {
    for (int r = 1; r <= 4; ++r)
      for (int c = 1; c <= 4; ++c) Set(r, c, std::to_string(r * 10 + c));
  }
};

TEST_F(Operators, UnionAndIntersectionAreReferences) {
  EXPECT_EQ(EvalNum("SUM((A1:A2,C1:C2))"), 11 + 21 + 13 + 23);
  EXPECT_EQ(Formula(100, 26), "SUM((A1:A2,C1:C2))");
  EXPECT_EQ(EvalNum("SUM(A1:C2 B2:D4)"), 22 + 23);
  EXPECT_EQ(Formula(100, 26), "SUM(A1:C2 B2:D4)");
  EXPECT_EQ(EvalNum("A1:D1 B1:B4"), 12);
  EXPECT_EQ(EvalErr("A1:A2 C1:C2"), ErrorValue::Null);
  EXPECT_EQ(EvalNum("INDEX((A1:A2,C1:D2),1,2,2)"), 14);
  EXPECT_EQ(EvalNum("AREAS((A1,B2,C3:D4))"), 3);
  // Union and intersection follow rows inserted above them.
  Set(10, 1, "=SUM((A1:A2,C1:C2))+SUM(A1:C2 B2:D4)");
  ctl.InsertRange(1, -1, 1, -1, 2);
  EXPECT_EQ(Formula(11, 1), "SUM((A2:A3,C2:C3))+SUM(A2:C3 B3:D5)");
  EXPECT_EQ(Num(11, 1), 68 + 45);
}

TEST_F(Operators, BranchesNotTakenAreNotEvaluated) {
  // The branch not taken would be a circular reference: it is never read.
  Set(6, 1, "=IF(A1>0,1,A6+1)");
  EXPECT_EQ(Num(6, 1), 1);
  Set(6, 2, "=CHOOSE(2,B6,7,B6)");
  EXPECT_EQ(Num(6, 2), 7);
  // Branches may be references, and omitted ones are 0.
  EXPECT_EQ(EvalNum("SUM(IF(A1=11,A1:A4,B1))"), 11 + 21 + 31 + 41);
  EXPECT_EQ(EvalNum("IF(TRUE,,1)"), 0);
  EXPECT_EQ(EvalNum("CHOOSE(1,,2)"), 0);
  // Nested branches pick through each level.
  EXPECT_EQ(EvalNum("IF(A1>0,CHOOSE(IF(B1>100,1,3),1/0,NA(),33),1/0)+1"), 34);
  EXPECT_EQ(EvalText("IF(A1<0,1/0,IF(A1>5,\"big\",1/0))"), "big");
  EXPECT_FALSE(EvalBool("IF(A1<0,1/0)"));
  EXPECT_EQ(EvalErr("IF(NA(),1,2)"), ErrorValue::NA);
  EXPECT_EQ(EvalErr("CHOOSE(0,1,2)"), ErrorValue::Value);
  // AND and OR look at every argument, as spreadsheets do.
  EXPECT_EQ(EvalErr("AND(FALSE,1/0)"), ErrorValue::Div0);
}

class SortedLookups : public FormulaTest {};

TEST_F(SortedLookups, HalvingFindsWhatAWalkWouldFind) {
  // 1,000 sorted keys 2, 4, … with gaps (empty cells) and a text cell in between.
  for (int r = 1; r <= 1000; ++r) {
    if (r % 97 == 0) continue;
    if (r == 500) {
      Set(r, 1, "text");
      continue;
    }
    Set(r, 1, std::to_string(2 * r));
    Set(r, 2, "v" + std::to_string(r));
  }
  for (int key : {1, 2, 3, 193, 194, 195, 999, 1000, 1001, 2000, 5000}) {
    // The largest key <= the one sought, stepping over empty and text cells.
    int expect = -1;
    for (int r = 1; r <= 1000; ++r)
      if (r % 97 != 0 && r != 500 && 2 * r <= key) expect = r;
    SCOPED_TRACE(key);
    std::string k = std::to_string(key);
    if (expect < 0) {
      EXPECT_EQ(EvalErr("VLOOKUP(" + k + ",A1:B1000,2)"), ErrorValue::NA);
      EXPECT_EQ(EvalErr("MATCH(" + k + ",A1:A1000)"), ErrorValue::NA);
      continue;
    }
    EXPECT_EQ(EvalText("VLOOKUP(" + k + ",A1:B1000,2)"), "v" + std::to_string(expect));
    EXPECT_EQ(EvalNum("MATCH(" + k + ",A1:A1000,1)"), expect);
    EXPECT_EQ(EvalText("LOOKUP(" + k + ",A1:A1000,B1:B1000)"), "v" + std::to_string(expect));
  }
  // Descending data for MATCH type -1: the smallest value >= the key.
  for (int c = 1; c <= 10; ++c) Set(1, 3 + c, std::to_string(100 - 10 * c));  // 90 … 0
  EXPECT_EQ(EvalNum("MATCH(45,D1:M1,-1)"), 5);
  EXPECT_EQ(EvalNum("MATCH(90,D1:M1,-1)"), 1);
  EXPECT_EQ(EvalErr("MATCH(95,D1:M1,-1)"), ErrorValue::NA);
  EXPECT_EQ(EvalNum("HLOOKUP(4000,A1:B1,1)"), 2);
}

}  // namespace
}  // namespace engine::formula::testing
