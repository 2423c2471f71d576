// Parsing and canonical formula text.
#include "control/formula/parser.h"
#include "control/xls/biff_formula.h"
#include "formula_test_support.h"

namespace engine::formula::testing {
namespace {

class ParseText : public FormulaTest {};

TEST_F(ParseText, CanonicalTextUpperCasesFunctionsAndReferencesAndKeepsSpacing) {
  EXPECT_EQ(Canon("sum(a1:b2)"), "SUM(A1:B2)");
  EXPECT_EQ(Canon("a1 + $b$2 * 3"), "A1 + $B$2 * 3");
  EXPECT_EQ(Canon("  a1+1  "), "  A1+1  ");
  EXPECT_EQ(Canon("SUM( A1 , B1 )"), "SUM( A1 , B1 )");
  EXPECT_EQ(Canon("( 1 + 2 )*3"), "( 1 + 2 )*3");
  EXPECT_EQ(Canon("-a1%"), "-A1%");
  EXPECT_EQ(Canon("\"say \"\"hi\"\"\"&a1"), "\"say \"\"hi\"\"\"&A1");
  EXPECT_EQ(Canon("true"), "TRUE");
  EXPECT_EQ(Canon("#n/a"), "#N/A");
  EXPECT_EQ(Canon("1.50+1e3"), "1.5+1000");
  EXPECT_EQ(Canon("a:a"), "A:A");
  EXPECT_EQ(Canon("sum($c:$c, 1:1, $2:3)"), "SUM($C:$C, 1:1, $2:3)");
  EXPECT_EQ(Canon("if(a1,,2)"), "IF(A1,,2)");
  EXPECT_EQ(Canon("(a1:b2 b1:c3)"), "(A1:B2 B1:C3)");
  EXPECT_EQ(Canon("sum((a1,b2))"), "SUM((A1,B2))");
  EXPECT_EQ(Canon("myfunc(1, a1)"), "myfunc(1, A1)");
}

TEST_F(ParseText, ReferencesToOtherSheetsQuoteNamesThatNeedIt) {
  ctl.SetNumSheets(3);
  ctl.SetSheetName(2, "My Sheet");
  ctl.SetSheetName(3, "It's");
  EXPECT_EQ(Canon("'My Sheet'!a1"), "'My Sheet'!A1");
  EXPECT_EQ(Canon("'It''s'!A1+1"), "'It''s'!A1+1");
  EXPECT_EQ(Canon("sheet1!a1:b2"), "Sheet1!A1:B2");
  EXPECT_EQ(Canon("sum('my sheet'!$A$1:A2)"), "SUM('My Sheet'!$A$1:A2)");
  // Renaming the sheet changes the text that names it.
  ctl.SetSheetName(2, "Data");
  EXPECT_EQ(ctl.GetCellFormula(100, 26), "SUM(Data!$A$1:A2)");
}

TEST_F(ParseText, UnaryMinusBindsTighterThanPower) {
  EXPECT_EQ(EvalNum("-2^2"), 4);
  EXPECT_EQ(EvalNum("2^-1"), 0.5);
  EXPECT_EQ(EvalNum("0-2^2"), -4);
  EXPECT_EQ(EvalNum("2^3^2"), 64);  // left to right
  EXPECT_EQ(EvalNum("1+2*3-4/2"), 5);
  EXPECT_EQ(EvalNum("50%*2"), 1);
  EXPECT_EQ(EvalText("1+1&\"x\""), "2x");
  EXPECT_TRUE(EvalBool("1+1=2"));
  EXPECT_TRUE(EvalBool("\"a\"&\"b\"=\"AB\""));
}

TEST_F(ParseText, SyntaxErrorsAreRefusedAndLeaveTheCellUnchanged) {
  Set(1, 1, "42");
  for (const char* bad : {"=1+", "=SUM(1,2", "=(1", "=1)", "=\"abc", "=A1:", "=#FOO!",
                          "=SUM(1;2)", "=1 +* 2", "='No Such'!A1", "=IF()", "=ROUND(1)",
                          "=NoSheet!A1", "=1..2"}) {
    try {
      ctl.SetCellText(1, 1, bad);
      ADD_FAILURE() << bad << " was accepted";
    } catch (const EngineError& e) {
      EXPECT_EQ(e.Code(), kErrFormulaSyntax) << bad;
      EXPECT_FALSE(e.Description().empty());
    }
    EXPECT_EQ(Num(1, 1), 42) << bad;
  }
}

TEST_F(ParseText, HostileInputFailsCleanly) {
  std::string deep(5000, '(');
  EXPECT_THROW(ctl.SetCellText(1, 1, "=" + deep + "1"), EngineError);
  std::string longText = "=" + std::string(9000, '1');
  EXPECT_THROW(ctl.SetCellText(1, 1, longText), EngineError);
  std::string manyMinus = "=" + std::string(3000, '-') + "1";
  EXPECT_THROW(ctl.SetCellText(1, 1, manyMinus), EngineError);
  EXPECT_EQ(ctl.GetCellType(1, 1), kTypeEmpty);
}

TEST_F(ParseText, UnknownFunctionsAreKeptAndGiveNameError) {
  EXPECT_EQ(EvalErr("FOO(1,2)"), ErrorValue::Name);
  EXPECT_EQ(ctl.GetCellFormula(100, 26), "FOO(1,2)");
  EXPECT_EQ(EvalErr("undefinedname+1"), ErrorValue::Name);
}

TEST_F(ParseText, RelativeReferencesPrintFromTheCellsPosition) {
  Set(5, 3, "=A4+$A$1+A$2+$B3");
  EXPECT_EQ(Formula(5, 3), "A4+$A$1+A$2+$B3");
  EXPECT_EQ(ctl.GetCellText(5, 3), "=A4+$A$1+A$2+$B3");
}

TEST_F(ParseText, BuildExpressionChecksTokenOrder) {
  std::vector<Token> good = {MakeNumber(1), MakeNumber(2), MakeOp(TokenKind::Add)};
  EXPECT_NO_THROW(BuildExpression(good));
  std::vector<Token> bad = {MakeNumber(1), MakeOp(TokenKind::Add)};
  EXPECT_THROW(BuildExpression(bad), EngineError);
  std::vector<Token> two = {MakeNumber(1), MakeNumber(2)};
  EXPECT_THROW(BuildExpression(two), EngineError);
  std::vector<Token> fn = {MakeNumber(1), MakeNumber(2), MakeFunc(4, 2)};
  EXPECT_EQ(BuildExpression(fn)->Tokens().back().text, "SUM");
}

TEST_F(ParseText, FunctionDirectoryMapsNamesAndBiffNumbers) {
  EXPECT_EQ(FindFunction("sum")->number, 4);
  EXPECT_EQ(FindFunction(4)->name, std::string("SUM"));
  EXPECT_EQ(FindFunction("VLOOKUP")->number, 102);
  EXPECT_EQ(FindFunction("SUMPRODUCT")->number, 228);
  EXPECT_EQ(FindFunction("CONCATENATE")->number, 336);
  EXPECT_TRUE(IsAddIn(*FindFunction("IFERROR")));
  EXPECT_EQ(FindFunction("_xlfn.IFERROR"), FindFunction("IFERROR"));
  EXPECT_EQ(FindFunction("NOSUCH"), nullptr);
}

// One quoting rule for a sheet name before "!", used by the formula text and by the .xls
// reader alike: plain names stay bare; names with other characters, a leading digit, the
// look of a cell reference or of a logical are quoted, inner quotes doubled.
TEST_F(ParseText, SheetNamesAreQuotedWhenTheyWouldReadAsSomethingElse) {
  EXPECT_EQ(QuoteSheetName("Sheet1x"), "Sheet1x");
  EXPECT_EQ(QuoteSheetName("Orders_2024"), "Orders_2024");
  EXPECT_EQ(QuoteSheetName("Données"), "Données");
  EXPECT_EQ(QuoteSheetName("My Sheet"), "'My Sheet'");
  EXPECT_EQ(QuoteSheetName("Bob's"), "'Bob''s'");
  EXPECT_EQ(QuoteSheetName("2024"), "'2024'");
  EXPECT_EQ(QuoteSheetName("A1"), "'A1'");
  EXPECT_EQ(QuoteSheetName("IV65536"), "'IV65536'");
  EXPECT_EQ(QuoteSheetName("TRUE"), "'TRUE'");
  EXPECT_EQ(QuoteSheetName("FALSE"), "'FALSE'");
  EXPECT_EQ(QuoteSheetName("true"), "'true'");
  EXPECT_EQ(QuoteSheetName("Falsey"), "Falsey");
  EXPECT_EQ(QuoteSheetName(""), "''");
  // The .xls side has no rule of its own.
  EXPECT_EQ(&engine::xls::QuoteSheetName, &engine::formula::QuoteSheetName);
}

// A formula on a sheet named TRUE reads back through its quoted name.
TEST_F(ParseText, ReferenceToASheetNamedTrueKeepsItsQuotes) {
  Control c;
  c.SetNumSheets(2);
  c.SetSheetName(2, "TRUE");
  c.SetActiveSheet(2);
  c.SetCellText(1, 1, "7");
  c.SetActiveSheet(1);
  c.SetCellText(1, 1, "='TRUE'!A1+1");
  EXPECT_EQ(c.GetCellFormula(1, 1), "'TRUE'!A1+1");
  EXPECT_EQ(c.GetCellFormattedText(1, 1), "8");
}

}  // namespace
}  // namespace engine::formula::testing
