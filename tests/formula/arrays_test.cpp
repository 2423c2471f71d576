// Array values: operators element by element over ranges inside functions that take arrays,
// with the sizes, broadcasting and error values a spreadsheet gives.
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
