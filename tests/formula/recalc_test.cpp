// Dependency tracking, recalculation order, circular references and volatile functions.
#include "formula_test_support.h"

namespace engine::formula::testing {
namespace {

class Recalc : public FormulaTest {};

TEST_F(Recalc, AChangeRecomputesItsDependentsInOrder) {
  Set(1, 1, "1");
  Set(1, 2, "=A1+1");
  Set(1, 3, "=B1*2+A1");
  Set(1, 4, "=SUM(A1:C1)");
  Set(1, 1, "10");
  EXPECT_EQ(Num(1, 2), 11);
  EXPECT_EQ(Num(1, 3), 32);
  EXPECT_EQ(Num(1, 4), 53);
  ctl.ClearRange(1, 1, 1, 1, kClearValues);
  EXPECT_EQ(Num(1, 4), 1 + 2);
}

TEST_F(Recalc, FormulasEnteredBeforeTheirInputsComputeInTheRightOrder) {
  // Entered bottom-up: each reads one entered later.
  for (int r = 1; r <= 50; ++r) Set(r, 1, "=A" + std::to_string(r + 1) + "+1");
  Set(51, 1, "5");
  EXPECT_EQ(Num(1, 1), 55);
  ctl.Recalculate();
  EXPECT_EQ(Num(1, 1), 55);
}

TEST_F(Recalc, ALongChainDoesNotExhaustTheStack) {
  Set(1, 1, "1");
  for (int r = 2; r <= 20000; ++r) Set(r, 1, "=A" + std::to_string(r - 1) + "+1");
  EXPECT_EQ(Num(20000, 1), 20000);
  Set(1, 1, "0");
  EXPECT_EQ(Num(20000, 1), 19999);
}

TEST_F(Recalc, CircularReferencesEndInAnErrorAndRecoverWhenBroken) {
  Set(1, 1, "=A1+1");
  EXPECT_EQ(Val(1, 1).error, FormulaEngine::kCircularError);
  Set(2, 1, "=C2");
  Set(2, 2, "=A2");
  Set(2, 3, "=B2+1");
  EXPECT_TRUE(Val(2, 1).IsError());
  EXPECT_TRUE(Val(2, 2).IsError());
  EXPECT_TRUE(Val(2, 3).IsError());
  Set(3, 1, "=SUM(A2:C2)");  // reads the cycle: its error propagates
  EXPECT_TRUE(Val(3, 1).IsError());
  Set(2, 2, "7");  // breaks the cycle
  EXPECT_EQ(Num(2, 3), 8);
  EXPECT_EQ(Num(2, 1), 8);
  EXPECT_EQ(Num(3, 1), 23);
  // A cycle through a range.
  Set(5, 1, "=SUM(A5:A6)");
  EXPECT_TRUE(Val(5, 1).IsError());
  ctl.Recalculate();
  EXPECT_TRUE(Val(5, 1).IsError());
}

TEST_F(Recalc, IndirectReadsAreComputedFirstEvenWithoutAStaticLink) {
  Set(1, 1, "=INDIRECT(\"B1\")*2");
  Set(1, 2, "=C1+1");
  Set(1, 3, "4");
  ctl.PostModifyAction();  // what the table calls after a modification
  EXPECT_EQ(Num(1, 1), 10);
  Set(1, 3, "5");  // B1 depends on C1 statically; A1 is volatile
  ctl.PostModifyAction();
  EXPECT_EQ(Num(1, 1), 12);
}

TEST_F(Recalc, VolatileFunctionsRecalculateOnRequestAndAfterEveryChange) {
  Set(1, 1, "=RAND()");
  Set(1, 2, "=A1*0+1");
  double first = Num(1, 1);
  bool changed = false;
  for (int i = 0; i < 5 && !changed; ++i) {
    ctl.Recalculate();
    changed = Num(1, 1) != first;
  }
  EXPECT_TRUE(changed);
  // Any change computes volatile formulas again, with what reads them; reading does not.
  changed = false;
  for (int i = 0; i < 5 && !changed; ++i) {
    double before = Num(1, 1);
    Set(5, 5, std::to_string(i));
    changed = Num(1, 1) != before;
  }
  EXPECT_TRUE(changed);
  double now = Num(1, 1);
  EXPECT_EQ(Num(1, 1), now);
  EXPECT_EQ(Num(1, 2), 1);
}

TEST_F(Recalc, ClearingARangeRecomputesReaders) {
  for (int r = 1; r <= 3; ++r) Set(r, 1, "2");
  Set(1, 2, "=SUM(A1:A3)");
  Set(2, 2, "=A2");
  ctl.ClearRange(1, 1, 3, 1, kClearAll);
  EXPECT_EQ(Num(1, 2), 0);
  EXPECT_EQ(Num(2, 2), 0);
}

TEST_F(Recalc, ChangingANameRecomputesItsReaders) {
  Set(1, 1, "=Rate*10");
  EXPECT_EQ(Val(1, 1).error, ErrorValue::Name);
  ctl.SetDefinedName("Rate", "0.5");
  EXPECT_EQ(Num(1, 1), 5);
  ctl.DeleteDefinedName("Rate");
  EXPECT_EQ(Val(1, 1).error, ErrorValue::Name);
}

}  // namespace
}  // namespace engine::formula::testing
