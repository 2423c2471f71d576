// The parsed form the file reader and writer convert to and from, and the table's text
// formulas.
#include "control/formula/parser.h"
#include "formula_test_support.h"

namespace engine::formula::testing {
namespace {

class TokenForm : public FormulaTest {
 protected:
  std::vector<Token> Parse(const std::string& text, int row = 5, int col = 3) {
    return ParseFormula(text, ctl.Book(), ctl.Book().Active().Id(), row, col);
  }
};

TEST_F(TokenForm, TokensAreInReversePolishOrderWithRelativeOffsets) {
  auto t = Parse("SUM(A4:$B$2,3)*-2");
  ASSERT_EQ(t.size(), 6u);
  EXPECT_EQ(t[0].kind, TokenKind::Area);
  EXPECT_EQ(t[0].a, (RefPoint{-1, -2, true, true}));  // A4 seen from C5
  EXPECT_EQ(t[0].b, (RefPoint{2, 2, false, false}));  // $B$2
  EXPECT_EQ(t[1].kind, TokenKind::Number);
  EXPECT_EQ(t[2].kind, TokenKind::Func);
  EXPECT_EQ(t[2].func, 4);
  EXPECT_EQ(t[2].argc, 2);
  EXPECT_EQ(t[3].kind, TokenKind::Number);
  EXPECT_EQ(t[4].kind, TokenKind::Minus);
  EXPECT_EQ(t[5].kind, TokenKind::Mul);
  // The same tokens print for any cell they are placed at.
  EXPECT_EQ(FormulaText(t, ctl.Book(), ctl.Book().Active().Id(), 5, 3), "SUM(A4:$B$2,3)*-2");
  EXPECT_EQ(FormulaText(t, ctl.Book(), ctl.Book().Active().Id(), 6, 4), "SUM(B5:$B$2,3)*-2");
  EXPECT_EQ(FormulaText(t, ctl.Book(), ctl.Book().Active().Id(), 1, 1), "SUM(#REF!,3)*-2");
}

TEST_F(TokenForm, SpacesAreTokensBeforeWhatTheyPrecede) {
  auto t = Parse("1 + SUM( 2 )");
  std::vector<TokenKind> kinds;
  for (const Token& x : t) kinds.push_back(x.kind);
  EXPECT_EQ(kinds, (std::vector<TokenKind>{TokenKind::Number, TokenKind::SpaceBefore,
                                           TokenKind::Number, TokenKind::SpaceBeforeClose,
                                           TokenKind::SpaceBefore, TokenKind::Func,
                                           TokenKind::SpaceBefore, TokenKind::Add}));
  EXPECT_EQ(FormulaText(t, ctl.Book(), ctl.Book().Active().Id(), 5, 3), "1 + SUM( 2 )");
}

TEST_F(TokenForm, WholeColumnsRowsOtherSheetsAndNames) {
  ctl.SetNumSheets(2);
  auto t = Parse("SUM(Sheet2!C:C)+Total+Sheet2!$1:$2");
  EXPECT_TRUE(t[0].wholeCols);
  EXPECT_EQ(t[0].sheet, ctl.Book().GetSheet(2).Id());
  EXPECT_EQ(t[2].kind, TokenKind::Name);
  EXPECT_EQ(t[2].text, "Total");
  EXPECT_TRUE(t[4].wholeRows);
  EXPECT_FALSE(t[4].a.rowRel);
}

TEST_F(TokenForm, SpacingSurvivesStructureChanges) {
  Set(3, 1, "5");
  Set(1, 2, "= A3 *  2 ");
  ctl.InsertRange(2, -1, 2, -1, kShiftRows);
  EXPECT_EQ(Formula(1, 2), " A4 *  2 ");
  EXPECT_EQ(Num(1, 2), 10);
}

TEST_F(TokenForm, TextFormulasKeepTheExactText) {
  // The table stores a value the control would change as ="value".
  Set(1, 1, "=\"007\"");
  EXPECT_EQ(ctl.GetCellType(1, 1), -kTypeText);
  EXPECT_EQ(ctl.GetCellFormattedText(1, 1), "007");
  EXPECT_EQ(Formula(1, 1), "\"007\"");
  Set(2, 1, "=\"1.50\"");
  EXPECT_EQ(ctl.GetCellFormattedText(2, 1), "1.50");
  Set(3, 1, "=\"\"");
  EXPECT_EQ(ctl.GetCellType(3, 1), -kTypeText);
  EXPECT_EQ(ctl.GetCellFormattedText(3, 1), "");
  Set(4, 1, "=A1*2");
  EXPECT_EQ(Num(4, 1), 14);  // text that reads as a number computes
}

TEST_F(TokenForm, NamesWithRelativeReferencesReadFromTheUsingCell) {
  Set(1, 1, "10");
  Set(2, 1, "20");
  Set(3, 1, "30");
  // Relative parts of a name count from A1: $A2 is "column A, one row below".
  ctl.SetDefinedName("NextA", "$A2");
  Set(1, 3, "=NextA*2");
  Set(2, 3, "=NextA*2");
  EXPECT_EQ(Num(1, 3), 40);
  EXPECT_EQ(Num(2, 3), 60);
  Set(3, 1, "31");
  EXPECT_EQ(Num(2, 3), 62);
}

}  // namespace
}  // namespace engine::formula::testing
