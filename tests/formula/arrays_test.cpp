// Array values: operators element by element over ranges inside functions that take arrays,
// with the sizes, broadcasting and error values a spreadsheet gives.
#include <functional>

#include "control/engine_error.h"
#include "formula_test_support.h"

namespace engine::formula::testing {
namespace {

class Arrays : public FormulaTest {
 protected:
  void SetUp() override {
    // A1:A5 = 1,2,"x",TRUE,(empty)   B1:B5 = 10…50   C1:C3 = apple, banana, cherry
    // E1:F1 = 1,2
    Set(1, 1, "1");
    Set(2, 1, "2");
    Set(3, 1, "x");
    Set(4, 1, "TRUE");
    for (int r = 1; r <= 5; ++r) Set(r, 2, std::to_string(r * 10));
    Set(1, 3, "apple");
    Set(2, 3, "banana");
    Set(3, 3, "cherry");
    Set(1, 5, "1");
    Set(1, 6, "2");
  }
};

TEST_F(Arrays, SumProductOverArrayExpressions) {
  EXPECT_EQ(EvalNum("SUMPRODUCT((B1:B5>20)*B1:B5)"), 120);
  EXPECT_EQ(EvalNum("SUMPRODUCT((A1:A5=1)+0)"), 1);  // text, logical, empty never equal 1
  EXPECT_EQ(EvalNum("SUMPRODUCT(B1:B3,B1:B3*2)"), 2800);
  EXPECT_EQ(EvalNum("SUMPRODUCT(--(C1:C3=\"BANANA\"))"), 1);
  EXPECT_EQ(EvalNum("SUMPRODUCT(B1:B5/10%)"), 1500);
  // A column against a row spreads to a block.
  EXPECT_EQ(EvalNum("SUMPRODUCT(B1:B3*E1:F1)"), 180);
  // Inside a branch IF takes.
  EXPECT_EQ(EvalNum("IF(TRUE,SUMPRODUCT((B1:B5>20)*1),1/0)"), 3);
  // Plain arguments keep working.
  EXPECT_EQ(EvalNum("SUMPRODUCT(A1:A2,B1:B2)"), 50);
}

TEST_F(Arrays, SizeAndElementErrors) {
  EXPECT_EQ(EvalErr("SUMPRODUCT(B1:B3*B1:B2)"), ErrorValue::NA);  // no third value
  EXPECT_EQ(EvalErr("SUMPRODUCT(A1:A3*1)"), ErrorValue::Value);   // "x"*1
  EXPECT_EQ(EvalErr("SUMPRODUCT(B1:B3,B1:B2*1)"), ErrorValue::Value);
  EXPECT_EQ(EvalErr("SUMPRODUCT((B1:B2,B4:B5)*1)"), ErrorValue::Value);
  EXPECT_EQ(EvalErr("SUMPRODUCT((B1:B2,B4:B5))"), ErrorValue::Value);
  EXPECT_EQ(EvalErr("SUMPRODUCT(B1:B3/(B1:B3-20))"), ErrorValue::Div0);
  // An oversized block is refused, not allocated.
  EXPECT_EQ(EvalErr("SUMPRODUCT(A:IV*1)"), ErrorValue::Num);
}

TEST_F(Arrays, OutsideArrayFunctionsRangesIntersect) {
  // A range in an ordinary formula still takes the value in the formula's row.
  Set(2, 7, "=B1:B3*2");
  EXPECT_EQ(Num(2, 7), 40);
  EXPECT_EQ(EvalErr("B1:B3*2"), ErrorValue::Value);
  EXPECT_EQ(EvalErr("SUM(B1:B3*2)"), ErrorValue::Value);
}

}  // namespace
}  // namespace engine::formula::testing

namespace engine::formula::testing {
namespace {

class ArrayFormulas : public FormulaTest {
 protected:
  void SetUp() override {
    for (int r = 1; r <= 3; ++r) {
      Set(r, 1, std::to_string(r));       // A1:A3 = 1,2,3
      Set(r, 2, std::to_string(r * 10));  // B1:B3 = 10,20,30
    }
  }
  void ExpectRefused(const std::function<void()>& change) {
    try {
      change();
      ADD_FAILURE() << "a change to part of an array was accepted";
    } catch (const EngineError& e) {
      EXPECT_EQ(e.Code(), kErrArrayPart);
      EXPECT_EQ(std::string(e.what()), "You cannot change part of an array.");
    }
  }
};

TEST_F(ArrayFormulas, SingleCellComputesOverArraysAndShowsBraces) {
  ctl.SetArrayFormula(5, 1, 5, 1, "=SUM((A1:A3>1)*B1:B3)");
  EXPECT_EQ(Num(5, 1), 50);
  EXPECT_EQ(ctl.GetCellText(5, 1), "{=SUM((A1:A3>1)*B1:B3)}");
  EXPECT_EQ(ctl.GetCellFormula(5, 1), "SUM((A1:A3>1)*B1:B3)");
  Set(1, 1, "5");  // recalculated as any formula
  EXPECT_EQ(Num(5, 1), 60);
  // The same text as an ordinary formula intersects instead.
  Set(6, 1, "=SUM((A1:A3>1)*B1:B3)");
  EXPECT_TRUE(Val(6, 1).IsError());
}

TEST_F(ArrayFormulas, BlockSpreadsTheResultWithNaOutside) {
  ctl.SetArrayFormula(1, 4, 4, 5, "A1:A3*B1:B3");  // D1:E4, a 3 × 1 result
  EXPECT_EQ(Num(1, 4), 10);
  EXPECT_EQ(Num(3, 4), 90);
  EXPECT_EQ(Num(2, 5), 40);  // one column repeats across
  EXPECT_EQ(Val(4, 4).error, ErrorValue::NA);
  EXPECT_EQ(Val(4, 5).error, ErrorValue::NA);
  EXPECT_EQ(ctl.GetCellText(4, 5), "{=A1:A3*B1:B3}");
  Set(2, 2, "100");
  EXPECT_EQ(Num(2, 4), 200);
}

TEST_F(ArrayFormulas, PartOfABlockIsProtected) {
  ctl.SetArrayFormula(1, 4, 3, 4, "A1:A3+1");
  ExpectRefused([&] { Set(2, 4, "7"); });
  ExpectRefused([&] { ctl.SetCellEntry(2, 4, ""); });
  ExpectRefused([&] { ctl.SetCellValue(1, 4, Value::Number(1)); });
  ExpectRefused([&] { ctl.ClearRange(1, 4, 2, 4, kClearValues); });
  ExpectRefused([&] { ctl.SetArrayFormula(3, 4, 4, 4, "1"); });
  EXPECT_EQ(Num(2, 4), 3);  // unchanged
  // Formats may change; the whole block may be replaced or cleared.
  ctl.ClearRange(1, 4, 2, 4, kClearFormats);
  ctl.SetArrayFormula(1, 4, 3, 4, "A1:A3*2");
  EXPECT_EQ(Num(3, 4), 6);
  ctl.ClearRange(1, 3, 5, 4, kClearValues);
  EXPECT_TRUE(Val(2, 4).IsEmpty());
  Set(2, 4, "7");
  EXPECT_EQ(Num(2, 4), 7);
}

TEST_F(ArrayFormulas, BadEntryLeavesTheBlockAsItWas) {
  ctl.SetArrayFormula(1, 4, 2, 4, "A1:A2");
  EXPECT_THROW(ctl.SetArrayFormula(1, 4, 2, 4, "=SUM(("), EngineError);
  EXPECT_THROW(ctl.SetArrayFormula(1, 4, 2, 4, "="), EngineError);
  EXPECT_EQ(Num(2, 4), 2);
  EXPECT_EQ(ctl.GetCellText(1, 4), "{=A1:A2}");
}

TEST_F(ArrayFormulas, ReferencesFollowMovedRows) {
  ctl.SetArrayFormula(5, 4, 6, 4, "A1:A3*B1:B3");
  ctl.InsertRange(1, 1, 2, 256, kShiftRows);
  EXPECT_EQ(ctl.GetCellText(7, 4), "{=A3:A5*B3:B5}");
  EXPECT_EQ(Num(8, 4), 40);
  ExpectRefused([&] { Set(8, 4, "1"); });
}

TEST_F(ArrayFormulas, ABlockFromTheNamesRowIntoTheValuesKeepsTheSheetFromOpeningAsATable) {
  ctl.SetArrayFormula(1, 2, 2, 2, "A1:A2*2");  // B1:B2
  try {
    ctl.DeleteNamesRow();
    ADD_FAILURE() << "the block was cut in two";
  } catch (const EngineError& e) {
    EXPECT_NE(e.Description().find("B1:B2"), std::string::npos) << e.Description();
  }
  EXPECT_EQ(ctl.GetCellText(2, 2), "{=A1:A2*2}");
  ctl.ClearRange(1, 2, 2, 2, kClearAll);
  ctl.SetArrayFormula(1, 2, 1, 3, "A1:B1");  // a block on the names row alone goes with it
  ctl.DeleteNamesRow();
  EXPECT_EQ(ctl.GetCellText(1, 2), "");
}

TEST_F(ArrayFormulas, MovesThatSplitABlockAreRefused) {
  ctl.SetArrayFormula(5, 4, 7, 5, "A1:A3*B1:B3");  // D5:E7
  ExpectRefused([&] { ctl.InsertRange(6, 1, 6, 256, kShiftRows); });         // through it
  ExpectRefused([&] { ctl.InsertRange(5, 4, 5, 4, kShiftVertical); });       // one column of it
  ExpectRefused([&] { ctl.DeleteRange(7, 1, 8, 256, kShiftRows); });         // its last row
  ExpectRefused([&] { ctl.DeleteRange(1, 5, 1, 5, kShiftColumns); });        // column E
  ExpectRefused([&] { ctl.InsertRange(1, 5, 1, 5, kShiftColumns); });        // between D and E
  ExpectRefused([&] { ctl.MoveRange(5, 4, 6, 5, 10, 0); });                  // part of it
  ExpectRefused([&] { ctl.MoveRange(1, 1, 1, 1, 4, 3); });                   // onto part of it
  EXPECT_EQ(ctl.GetCellText(5, 4), "{=A1:A3*B1:B3}");
  EXPECT_EQ(Num(7, 5), 90);
  // Whole blocks move: rows above, columns before, the block itself.
  ctl.InsertRange(5, 1, 5, 256, kShiftRows);
  ctl.InsertRange(1, 3, 1, 3, kShiftColumns);  // the data moves too: A, B stay, D:E → E:F
  EXPECT_EQ(ctl.GetCellText(6, 5), "{=A1:A3*B1:B3}");
  ctl.MoveRange(6, 5, 8, 6, 1, 0);
  EXPECT_EQ(ctl.GetCellText(9, 6), "{=A1:A3*B1:B3}");
  EXPECT_EQ(Num(9, 6), 90);
  ctl.DeleteRange(7, 5, 9, 6, kShiftVertical);
  EXPECT_TRUE(Val(9, 6).IsEmpty());
}

}  // namespace
}  // namespace engine::formula::testing
