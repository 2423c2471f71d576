// Round trips that must not lose anything: formulas that use parameter names, in both workbook
// forms, and parameters whose column holds nothing but the name, while sheets come and go.

#include <filesystem>

#include "files_fixture.h"

namespace {

CString Value(CZAT& t, long row, const char* name, long sheet) {
  CString v;
  if (t.GetArgValue(row, name, v, sheet) != 0) v = "<none>";
  return v;
}

CString Formula(CZAT& t, long row, const char* name, long sheet) {
  CString f;
  if (t.GetArgFormula(row, name, f, sheet) != 0) f = "<none>";
  return f;
}

}  // namespace

// Qty, Price and Sum = Qty*Price on two sheets that use the same parameter names with their
// own values, a total SUM(Qty), and a parameter only the second sheet has. Saved and opened
// again in either form, every formula is still a formula, each sheet's formulas still use
// that sheet's names, and changing a value recalculates.
TEST_F(FilesTest, FormulasByParameterNameSurviveBothWorkbookForms) {
  Fill({"Qty", "Price", "Sum", "Total"}, {{"2", "3"}, {"4", "5"}});
  ASSERT_EQ(T().SetArgFormula(1, "Sum", "Qty*Price", 0), 0);
  ASSERT_EQ(T().SetArgFormula(2, "Sum", "Qty*Price", 0), 0);
  ASSERT_EQ(T().SetArgFormula(1, "Total", "SUM(Qty)", 0), 0);
  T().AppendSheets(1);
  ASSERT_EQ(T().SetSheet(2L), 0);
  Fill({"Rate", "Qty", "Price", "Sum"}, {{"0.5", "10", "7"}});
  ASSERT_EQ(T().SetArgFormula(1, "Sum", "Qty*Price*Rate", 0), 0);
  ASSERT_EQ(T().SetSheet(1L), 0);
  ASSERT_EQ(Value(T(), 1, "Sum", 1), "6");
  ASSERT_EQ(Value(T(), 1, "Total", 1), "6");
  ASSERT_EQ(Value(T(), 1, "Sum", 2), "35");

  for (CZAT::FILE_TYPE type : {CZAT::FILE_TYPE_EXCEL5, CZAT::FILE_TYPE_EXCEL97}) {
    SCOPED_TRACE(type);
    const std::string path = Path("formulas" + std::to_string(type) + ".xls");
    ASSERT_EQ(T().Save(path, 1, type, 0), 0);
    ASSERT_EQ(T().Open(path, CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
    EXPECT_TRUE(Shown().empty());

    EXPECT_TRUE(T().IsFormula(1, "Sum", 1));
    EXPECT_TRUE(T().IsFormula(2, "Sum", 1));
    EXPECT_TRUE(T().IsFormula(1, "Total", 1));
    EXPECT_TRUE(T().IsFormula(1, "Sum", 2));
    EXPECT_EQ(Formula(T(), 1, "Sum", 1), "Qty*Price");
    EXPECT_EQ(Formula(T(), 1, "Total", 1), "SUM(Qty)");
    EXPECT_EQ(Formula(T(), 1, "Sum", 2), "Qty*Price*Rate");
    EXPECT_EQ(Value(T(), 1, "Sum", 1), "6");
    EXPECT_EQ(Value(T(), 2, "Sum", 1), "20");
    EXPECT_EQ(Value(T(), 1, "Sum", 2), "35");

    // The formulas still follow their parameters.
    ASSERT_EQ(T().SetSheet(1L), 0);
    ASSERT_EQ(T().AddArgValue(1, "Qty", "10", 0, nullptr), 0);
    EXPECT_EQ(Value(T(), 1, "Sum", 1), "30");
    EXPECT_EQ(Value(T(), 1, "Total", 1), "14");
    ASSERT_EQ(T().SetSheet(2L), 0);
    ASSERT_EQ(T().AddArgValue(1, "Rate", "1", 0, nullptr), 0);
    EXPECT_EQ(Value(T(), 1, "Sum", 2), "70");
    // Back to the values the next form starts from.
    ASSERT_EQ(T().AddArgValue(1, "Rate", "0.5", 0, nullptr), 0);
    ASSERT_EQ(T().SetSheet(1L), 0);
    ASSERT_EQ(T().AddArgValue(1, "Qty", "2", 0, nullptr), 0);
  }
}

// A formula that uses a name nothing defines keeps its place among the names in both forms,
// so the formulas after it still point at the right parameter.
TEST_F(FilesTest, UndefinedNameInAFormulaDoesNotShiftTheOthers) {
  Fill({"Qty", "Odd", "Twice"}, {{"4"}});
  ASSERT_EQ(T().SetArgFormula(1, "Odd", "Missing+1", 0), 0);
  ASSERT_EQ(T().SetArgFormula(1, "Twice", "Qty*2", 0), 0);
  for (CZAT::FILE_TYPE type : {CZAT::FILE_TYPE_EXCEL5, CZAT::FILE_TYPE_EXCEL97}) {
    SCOPED_TRACE(type);
    const std::string path = Path("undefined" + std::to_string(type) + ".xls");
    ASSERT_EQ(T().Save(path, 1, type, 0), 0);
    ASSERT_EQ(T().Open(path, CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
    EXPECT_EQ(Formula(T(), 1, "Odd", 0), "Missing+1");
    EXPECT_EQ(Value(T(), 1, "Odd", 0), "#NAME?");
    EXPECT_EQ(Formula(T(), 1, "Twice", 0), "Qty*2");
    EXPECT_EQ(Value(T(), 1, "Twice", 0), "8");
  }
}

// What only the 97-2000 form can hold is refused by the 5.0/95 form with a message; the file
// already there is left as it was and the table keeps its formula.
TEST_F(FilesTest, FormulaTheExcel5FormCannotHoldFailsTheSaveAndKeepsTheFile) {
  Fill({"Far"}, {{"1"}});
  const std::string path = Path("kept.xls");
  ASSERT_EQ(T().Save(path, 1, CZAT::FILE_TYPE_EXCEL5, 0), 0);
  const std::string before = ReadFile(path);

  ASSERT_EQ(T().SetArgFormula(1, "Far", "A20000+1", 0), 0);
  T().MarkDirty();
  EXPECT_EQ(T().Save(path, 1, CZAT::FILE_TYPE_EXCEL5, 0), -1);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_NE(Shown()[0].find("Excel 5.0/95"), std::string::npos) << Shown()[0];
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_EQ(T().GetDirtyBit(), 1);
  EXPECT_EQ(Formula(T(), 1, "Far", 0), "A20000+1");
  EXPECT_EQ(T().GetHeaderArgList(0), (CZATArgList{"Far"}));

  // The 97-2000 form holds it.
  ASSERT_EQ(T().Save(path, 1, CZAT::FILE_TYPE_EXCEL97, 0), 0);
  ASSERT_EQ(T().Open(path, CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
  EXPECT_EQ(Formula(T(), 1, "Far", 0), "A20000+1");
}

// A parameter whose column holds only its name stays a parameter of its sheet when a sheet is
// inserted in front of it, when one in front of it is deleted, and across a save and reopen
// after each.
TEST_F(FilesTest, HeadingOnlyParameterFollowsItsSheet) {
  const std::string path = Path("heading.xls");
  {
    engine::Control stored;  // the stored form: names in row 1, values below
    const char* names[] = {"A", "B", "C", "D"};
    for (int c = 1; c <= 4; ++c) stored.SetCellText(1, c, names[c - 1]);
    for (int c = 1; c <= 3; ++c) stored.SetCellText(2, c, std::to_string(c));
    stored.WriteFile(path, CZAT::FILE_TYPE_EXCEL97);
  }
  ASSERT_EQ(T().Open(path, CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
  ASSERT_EQ(E().GetLastCol(), 3);  // column 4 holds nothing but its name
  const CZATArgList all{"A", "B", "C", "D"};
  ASSERT_EQ(T().GetHeaderArgList(1), all);

  ASSERT_EQ(T().InsertSheets(1L, 1), 0);
  EXPECT_EQ(T().GetHeaderArgList(2), all);
  EXPECT_TRUE(T().GetHeaderArgList(1).empty());
  ASSERT_EQ(T().Save(path, 1, CZAT::FILE_TYPE_EXCEL97, 0), 0);
  ASSERT_EQ(T().Open(path, CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
  EXPECT_EQ(T().GetHeaderArgList(2), all);

  ASSERT_EQ(T().DeleteSheets(1L, 1), 0);
  EXPECT_EQ(T().GetHeaderArgList(1), all);
  ASSERT_EQ(T().Save(path, 1, CZAT::FILE_TYPE_EXCEL5, 0), 0);
  ASSERT_EQ(T().Open(path, CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
  EXPECT_EQ(T().GetHeaderArgList(1), all);

  // Appended sheets, SetNumSheets both ways and a deleted sheet behind it leave it alone.
  T().AppendSheets(2);
  T().SetNumSheets(5);
  EXPECT_EQ(T().GetHeaderArgList(1), all);
  T().SetNumSheets(2);
  ASSERT_EQ(T().DeleteSheets(2L, 1), 0);
  EXPECT_EQ(T().GetHeaderArgList(1), all);
  // A sheet inserted in front of it through SetNumSheets cannot happen; one put in front by
  // name can.
  ASSERT_EQ(T().InsertSheets(T().GetSheetsList().front(), 2), 0);
  EXPECT_EQ(T().GetHeaderArgList(3), all);
  EXPECT_TRUE(T().GetHeaderArgList(1).empty());
  EXPECT_TRUE(T().GetHeaderArgList(2).empty());
}
