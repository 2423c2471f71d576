// Coercion of operands, empty cells, error propagation and implicit intersection.
#include "formula_test_support.h"

namespace engine::formula::testing {
namespace {

class Coercion : public FormulaTest {};

TEST_F(Coercion, TextThatReadsAsANumberTakesPartInArithmetic) {
  Set(1, 1, "'12");
  EXPECT_EQ(EvalNum("A1*2"), 24);
  EXPECT_EQ(EvalNum("\"3\"+\"4\""), 7);
  EXPECT_EQ(EvalErr("\"abc\"+1"), ErrorValue::Value);
  EXPECT_EQ(EvalErr("\"\"+1"), ErrorValue::Value);
  EXPECT_EQ(EvalNum("TRUE+TRUE"), 2);
  EXPECT_EQ(EvalText("TRUE&1"), "TRUE1");
  EXPECT_EQ(EvalText("1/4&\"\""), "0.25");
  EXPECT_EQ(EvalText("1/3&\"\""), "0.333333333333333");
}

TEST_F(Coercion, EmptyCellsAreZeroOrEmptyText) {
  EXPECT_EQ(EvalNum("B7+1"), 1);
  EXPECT_EQ(EvalText("B7&\"x\""), "x");
  EXPECT_TRUE(EvalBool("B7=0"));
  EXPECT_TRUE(EvalBool("B7=\"\""));
  EXPECT_TRUE(EvalBool("B7=FALSE"));
  // A formula that shows an empty cell shows 0.
  EXPECT_EQ(EvalNum("B7"), 0);
  EXPECT_EQ(ctl.GetCellType(100, 26), -kTypeNumber);
}

TEST_F(Coercion, ErrorsPropagateLeftFirst) {
  EXPECT_EQ(EvalErr("1/0"), ErrorValue::Div0);
  EXPECT_EQ(EvalErr("1/0+#N/A"), ErrorValue::Div0);
  EXPECT_EQ(EvalErr("#N/A+1/0"), ErrorValue::NA);
  EXPECT_EQ(EvalErr("#REF!&\"x\""), ErrorValue::Ref);
  EXPECT_EQ(EvalErr("SQRT(-1)"), ErrorValue::Num);
  EXPECT_EQ(EvalErr("0^0"), ErrorValue::Num);
  EXPECT_EQ(EvalErr("10^400"), ErrorValue::Num);
  Set(1, 1, "=1/0");
  EXPECT_EQ(EvalErr("A1*2"), ErrorValue::Div0);
  EXPECT_EQ(ctl.GetCellType(100, 26), -kTypeError);
}

TEST_F(Coercion, ComparisonsOrderNumbersBelowTextBelowLogicals) {
  EXPECT_TRUE(EvalBool("1<\"a\""));
  EXPECT_TRUE(EvalBool("\"z\"<TRUE"));
  EXPECT_TRUE(EvalBool("\"abc\"=\"ABC\""));
  EXPECT_TRUE(EvalBool("\"a\"<\"B\""));
  EXPECT_FALSE(EvalBool("1=\"1\""));
  EXPECT_TRUE(EvalBool("2<>3"));
  EXPECT_EQ(ctl.GetCellType(100, 26), -kTypeLogical);
}

TEST_F(Coercion, ColumnRangeInASingleCellFormulaTakesTheFormulasRow) {
  for (int r = 1; r <= 5; ++r) Set(r, 1, std::to_string(r * 10));
  Set(3, 2, "=A1:A5*2");
  EXPECT_EQ(Num(3, 2), 60);
  Set(9, 2, "=A1:A5*2");  // outside the range's rows
  EXPECT_EQ(Val(9, 2).error, ErrorValue::Value);
  Set(1, 4, "1");
  Set(1, 5, "2");
  Set(7, 5, "=D1:F1+1");  // a row range intersects by column
  EXPECT_EQ(Num(7, 5), 3);
  EXPECT_EQ(Val(8, 3).kind, ValueKind::Empty);
}

TEST_F(Coercion, ParameterNamesReadTheFormulasOwnRow) {
  // The table names every parameter column with a defined name over the whole column.
  Set(1, 3, "31");
  Set(2, 3, "45");
  ctl.SetDefinedName("Age", ctl.FormatCellRef(1, 3, true) + ":" +
                                ctl.FormatCellRef(kMaxRow - 10, 3, true));
  EXPECT_EQ(ctl.GetDefinedName("Age"), "$C$1:$C$65526");
  Set(1, 8, "=Age*2");
  Set(2, 8, "=age*2");
  EXPECT_EQ(Num(1, 8), 62);
  EXPECT_EQ(Num(2, 8), 90);
  EXPECT_EQ(Formula(2, 8), "Age*2");
  Set(2, 3, "50");
  EXPECT_EQ(Num(2, 8), 100);
  EXPECT_EQ(EvalNum("SUM(Age)"), 81);
}

TEST_F(Coercion, NameLocalToTheSheetWinsOverAWorkbookName) {
  ctl.Book().Names().push_back(DefinedName{"Rate", 0, "0.5", nullptr});
  ctl.Book().Formulas().CompileName(0, "0.5", ctl.Book().Names().back().formula,
                                    ctl.Book().Names().back().expr);
  EXPECT_EQ(EvalNum("Rate*2"), 1);
  ctl.SetDefinedName("Rate", "3");  // local to the active sheet
  EXPECT_EQ(Num(100, 26), 6);
  ctl.SetNumSheets(2);
  ctl.SetActiveSheet(2);
  EXPECT_EQ(EvalNum("Rate*2"), 1);
}

TEST_F(Coercion, RangeIntersectionAndUnionOperators) {
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= 3; ++c) Set(r, c, std::to_string(r * 10 + c));
  EXPECT_EQ(EvalNum("SUM(A1:B2 B1:C3)"), 12 + 22);
  EXPECT_EQ(EvalErr("SUM(A1:A2 C1:C2)"), ErrorValue::Null);
  EXPECT_EQ(EvalNum("SUM((A1,C3))"), 11 + 33);
  EXPECT_EQ(EvalNum("SUM(A1:A2:B3)"), 11 + 12 + 21 + 22 + 31 + 32);
}

}  // namespace
}  // namespace engine::formula::testing
