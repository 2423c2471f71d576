// Cell entry: values entered as typed, the exact-text guarantee, the entry flags, the shared
// argument check and the date display repair.
#include <gtest/gtest.h>

#include "params/date_display.h"
#include "params/fill_list.h"
#include "params_fixture.h"

namespace {

using CellEntry = ParamsTest;

TEST_F(CellEntry, TextsAndPlainNumbersAreEnteredOnce) {
  EXPECT_EQ(T().SetEntryRC(1, 1, "abc", 0, nullptr), 0);
  EXPECT_EQ(E().GetCellType(1, 1), engine::kTypeText);
  EXPECT_EQ(E().GetCellText(1, 1), "abc");
  EXPECT_EQ(T().SetEntryRC(2, 1, "42", 0, nullptr), 0);
  EXPECT_EQ(E().GetCellType(2, 1), engine::kTypeNumber);
  EXPECT_EQ(Shown(2, 1), "42");
  EXPECT_EQ(T().SetEntryRC(3, 1, "", 0, nullptr), 0);
  EXPECT_EQ(Shown(3, 1), "");
  EXPECT_EQ(E().GetCellFormula(3, 1), "");
}

TEST_F(CellEntry, AValueTheEngineWouldShowDifferentlyKeepsItsExactText) {
  for (const char* value : {"1.50", "007", "1e3", "'quoted", "'say \"hi\"", "  padded"}) {
    ASSERT_EQ(T().SetEntryRC(1, 2, value, 0, nullptr), 0) << value;
    EXPECT_EQ(Shown(1, 2), value);
  }
  // It is held as a formula giving that text.
  T().SetEntryRC(1, 2, "1.50", 0, nullptr);
  EXPECT_EQ(E().GetCellType(1, 2), -engine::kTypeText);
}

TEST_F(CellEntry, EveryFormulaStaysAFormulaWhateverItsResult) {
  E().SetCellText(1, 1, "5");
  E().SetCellText(2, 1, "x");
  // Typed in another letter case than the engine writes formulas, so neither the entry text
  // nor the displayed text equals what was given.
  struct Case {
    const char* typed;
    short type;
  } cases[] = {
      {"=a1*2", -engine::kTypeNumber},  {"=a2&\"y\"", -engine::kTypeText},
      {"=a1>3", -engine::kTypeLogical}, {"=vlookup(99,a1:a2,1,false)", -engine::kTypeError},
      {"=1/0", -engine::kTypeError},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(T().SetEntryRC(3, 1, c.typed, 0, nullptr), 0) << c.typed;
    EXPECT_EQ(E().GetCellType(3, 1), c.type) << c.typed;
    EXPECT_FALSE(E().GetCellFormula(3, 1).empty()) << c.typed;
  }
  T().SetEntryRC(3, 1, "=a1>3", 0, nullptr);
  EXPECT_EQ(Shown(3, 1), "TRUE");
}

TEST_F(CellEntry, AFormulaThatDoesNotParseFailsWithMinusOne) {
  EXPECT_EQ(T().SetEntryRC(1, 1, "=1+", 0, nullptr), -1);
  EXPECT_EQ(T().SetEntryRC(0, 1, "x", 0, nullptr), -1);
  EXPECT_EQ(T().SetEntryRC(1, 257, "x", 0, nullptr), -1);
  EXPECT_EQ(T().SetEntryRC(4294967297L, 1, "x", 0, nullptr), -1);  // never wraps to row 1
  EXPECT_EQ(Shown(1, 1), "");
}

TEST_F(CellEntry, FlagsChooseTheNumberFormat) {
  T().SetEntryRC(1, 1, "1234.5", 2, nullptr);
  EXPECT_EQ(E().GetNumberFormat().find("0.00"), std::string::npos);
  EXPECT_NE(Shown(1, 1).find('$'), std::string::npos);
  T().SetEntryRC(2, 1, "0.25", 4, nullptr);
  EXPECT_EQ(Shown(2, 1), "25%");
  T().SetEntryRC(3, 1, "40000", 5, "0.000");
  EXPECT_EQ(E().GetNumberFormat(), "0.000");
  EXPECT_EQ(Shown(3, 1), "40000.000");
  T().SetEntryRC(4, 1, "40000", 5, nullptr);  // the table's date format
  EXPECT_EQ(E().GetNumberFormat(), T().ShortDateFormat());
  EXPECT_EQ(Shown(4, 1), "7/6/2009");
  // A format the engine refuses is a failed entry.
  EXPECT_EQ(T().SetEntryRC(5, 1, "1", 5, ""), -1);
}

TEST_F(CellEntry, FlagsSelectTheCellAndSetTheEntryExtent) {
  E().SetSelection(9, 9, 9, 9);
  EXPECT_EQ(T().SetEntryRC(3, 2, "1.50", 7, nullptr), 0);
  int row = 0, col = 0;
  E().GetActiveCell(row, col);
  EXPECT_EQ(row, 3);
  EXPECT_EQ(col, 2);
  EXPECT_EQ(E().GetViewMode(3), 2);   // entry column
  EXPECT_EQ(E().GetViewMode(4), -1);  // entry extent
  // Low bits 7: no format and no exact-text step.
  EXPECT_EQ(Shown(3, 2), "1.5");
}

TEST_F(CellEntry, FillFlagSelectsKeepsTextExactAndFillsTheCell) {
  EXPECT_EQ(T().SetEntryRC(2, 2, "1.50", 0x10, nullptr), 0);
  EXPECT_EQ(Shown(2, 2), "1.50");
  short pattern = 0;
  std::uint32_t fore = 0, back = 0;
  E().GetPattern(pattern, fore, back);
  EXPECT_EQ(pattern, 1);
  EXPECT_EQ(fore, 0xC0C0C0u);
  EXPECT_EQ(back, 0xFFFFFFu);
}

TEST_F(CellEntry, DoBeforeArgValueChecksNameAndRowFirst) {
  MakeSheet({"P"}, 3);
  EXPECT_EQ(T().DoBeforeArgValue("P", 1, 3), 1);
  EXPECT_EQ(T().DoBeforeArgValue("P", 3, 3), 1);
  EXPECT_EQ(T().DoBeforeArgValue("P", 0, 3), -1);
  EXPECT_EQ(T().DoBeforeArgValue("P", -2, 3), -1);
  EXPECT_EQ(T().DoBeforeArgValue("P", 4, 3), -1);
  EXPECT_EQ(T().DoBeforeArgValue("", 1, 3), -1);
  EXPECT_EQ(T().DoBeforeArgValue("Q", 1, 3), -1);
}

TEST_F(CellEntry, FixSpaceInDateReplacesEveryNoBreakSpace) {
  CString text =
      "1\xC2\xA0"
      "2\xC2\xA0"
      "3\xC2\xA0";
  EXPECT_EQ(T().FixSpaceInDate(text), 1);
  EXPECT_EQ(text, "1 2 3 ");
  CString plain = "1/2/2003";
  EXPECT_EQ(T().FixSpaceInDate(plain), 0);
  EXPECT_EQ(plain, "1/2/2003");
  // Only a whole U+00A0: other characters holding the byte 0xA0 stay as they are.
  CString other = "\xE3\x82\xA0x\xE2\x80\xA0";  // ゠x†
  EXPECT_EQ(T().FixSpaceInDate(other), 0);
  EXPECT_EQ(other, "\xE3\x82\xA0x\xE2\x80\xA0");
}

TEST(DateDisplay, OnlyDayMonthYearFormatsAreDates) {
  EXPECT_TRUE(params::IsDayMonthYearFormat("dd/mm/yyyy"));
  EXPECT_TRUE(params::IsDayMonthYearFormat("mm-dd-yy"));
  EXPECT_TRUE(params::IsDayMonthYearFormat("dd mmm yy"));
  EXPECT_FALSE(params::IsDayMonthYearFormat("yyyy-mm-dd"));  // the year before both
  EXPECT_FALSE(params::IsDayMonthYearFormat("M/d/yyyy"));
  EXPECT_FALSE(params::IsDayMonthYearFormat("h:mm"));
  EXPECT_FALSE(params::IsDayMonthYearFormat(""));
}

TEST(FillList, ItemsAreRunsBetweenSeparators) {
  using V = std::vector<std::string>;
  EXPECT_EQ(params::SplitFillList("Mon;Tue;Wed"), (V{"Mon", "Tue", "Wed"}));
  EXPECT_EQ(params::SplitFillList(";;a;;b;"), (V{"a", "b"}));
  EXPECT_EQ(params::SplitFillList(" a ; b"), (V{" a ", " b"}));
  EXPECT_EQ(params::SplitFillList(""), V{});
  EXPECT_EQ(params::SplitFillList("\xE6\x9C\x88;\xE7\x81\xAB"),
            (V{"\xE6\x9C\x88", "\xE7\x81\xAB"}));
}

}  // namespace
