// What a sheet carries besides cells follows structural edits as a spreadsheet's items do, and
// the names row's trip out and back moves nothing; typed entries are checked against the rules.
#include <gtest/gtest.h>

#include "control/control.h"

using namespace engine;

namespace {

// One of every range-bearing item, none of them in row 1 or column 1.
SheetFeatures Sample() {
  SheetFeatures f;
  f.merges = {{3, 2, 4, 3}};
  f.comments = {{5, 3, "ann", "a note", false}};
  Hyperlink l;
  l.range = {6, 4, 6, 4};
  l.target = "https://example.org/";
  f.links = {l};
  ValidationRule v;
  v.type = ValidationType::Whole;
  v.formula1 = "1";
  v.formula2 = "9";
  v.ranges = {{7, 5, 9, 5}};
  f.validations = {v};
  f.conditional = {{{{8, 6, 9, 6}}, {{1, 3, 0, 0}}}};
  f.filter.on = true;
  f.filter.range = {2, 2, 10, 7};
  f.filter.criteria = {{2, 0, 0, 0}};  // on the filter's third column (D)
  f.page.printArea = {{2, 2, 20, 4}};
  f.page.titleRow1 = f.page.titleRow2 = 2;
  f.page.titleCol1 = f.page.titleCol2 = 2;
  f.page.rowBreaks = {10};
  f.page.colBreaks = {4};
  return f;
}

TEST(SheetFeatures, ItemsMoveWithRowsAndColumnsInsertedAndDeletedBeforeThem) {
  Control c;
  SheetFeatures f = Sample();
  c.SetSheetFeatures(f);
  c.InsertRange(1, -1, 1, -1, kShiftRows);
  const SheetFeatures& g = c.GetSheetFeatures();
  EXPECT_EQ(g.merges[0], (CellRange{4, 2, 5, 3}));
  EXPECT_EQ(g.comments[0].row, 6);
  EXPECT_EQ(g.links[0].range, (CellRange{7, 4, 7, 4}));
  EXPECT_EQ(g.validations[0].ranges[0], (CellRange{8, 5, 10, 5}));
  EXPECT_EQ(g.conditional[0].ranges[0], (CellRange{9, 6, 10, 6}));
  EXPECT_EQ(g.filter.range, (CellRange{3, 2, 11, 7}));
  EXPECT_EQ(g.page.printArea[0], (CellRange{3, 2, 21, 4}));
  EXPECT_EQ(g.page.titleRow1, 3);
  EXPECT_EQ(g.page.rowBreaks[0], 11);
  c.InsertRange(-1, 1, -1, 1, kShiftColumns);
  EXPECT_EQ(g.merges[0], (CellRange{4, 3, 5, 4}));
  EXPECT_EQ(g.comments[0].col, 4);
  EXPECT_EQ(g.links[0].range, (CellRange{7, 5, 7, 5}));
  EXPECT_EQ(g.filter.range, (CellRange{3, 3, 11, 8}));
  EXPECT_EQ(g.filter.criteria[0][0], 2);  // still the filter's third column
  EXPECT_EQ(g.page.titleCol1, 3);
  EXPECT_EQ(g.page.colBreaks[0], 5);
  c.DeleteRange(1, -1, 1, -1, kShiftRows);
  c.DeleteRange(-1, 1, -1, 1, kShiftColumns);
  EXPECT_EQ(c.GetSheetFeatures(), f);
}

TEST(SheetFeatures, ItemsGrowShrinkAndDisappearWithTheirCells) {
  Control c;
  c.SetSheetFeatures(Sample());
  // A row inserted inside a merge and a filter grows them; one deleted shrinks them back.
  c.InsertRange(4, -1, 4, -1, kShiftRows);
  EXPECT_EQ(c.GetSheetFeatures().merges[0], (CellRange{3, 2, 5, 3}));
  EXPECT_EQ(c.GetSheetFeatures().filter.range, (CellRange{2, 2, 11, 7}));
  c.DeleteRange(3, -1, 5, -1, kShiftRows);  // the merge's rows are gone
  EXPECT_TRUE(c.GetSheetFeatures().merges.empty());
  EXPECT_EQ(c.GetSheetFeatures().comments[0].row, 3);
  // The column under the comment and the filter's criterion column go: so do they.
  c.DeleteRange(-1, 3, -1, 4, kShiftColumns);
  const SheetFeatures& g = c.GetSheetFeatures();
  EXPECT_TRUE(g.comments.empty());
  EXPECT_TRUE(g.links.empty());
  EXPECT_TRUE(g.filter.criteria.empty());
  EXPECT_EQ(g.filter.range, (CellRange{2, 2, 8, 5}));
  EXPECT_EQ(g.page.colBreaks.size(), 0u);
  // A cell-wide shift only moves what lies wholly in its columns.
  c.InsertRange(1, 3, 1, 3, kShiftVertical);  // column C shifts down by one
  EXPECT_EQ(g.validations[0].ranges[0], (CellRange{6, 3, 8, 3}));
  EXPECT_EQ(g.filter.range, (CellRange{2, 2, 8, 5}));
}

TEST(SheetFeatures, NamesRowOutAndBackLeavesEveryItemWhereTheFileHadIt) {
  Control c;
  SheetFeatures f = Sample();
  // Items on the names row, a filter and titles starting there, and a pane frozen below it.
  f.comments.push_back({1, 1, "ann", "login name", true});
  f.merges.push_back({1, 5, 1, 6});
  f.links.push_back({{1, 7, 1, 7}, LinkKind::Cell, "", "Sheet1!A1", "top", ""});
  f.filter.range = {1, 1, 7, 7};
  f.page.titleRow1 = f.page.titleRow2 = 1;
  f.view.frozen = true;
  f.view.splitRow = 2;
  f.view.paneRow = 2;
  c.SetSheetFeatures(f);
  c.SetRowsHidden(1, 1, true);
  c.SetCellText(1, 1, "User");
  c.SetCellText(2, 1, "ann");
  c.DeleteNamesRow();
  const SheetFeatures& g = c.GetSheetFeatures();
  EXPECT_EQ(c.GetCellText(1, 1), "ann");
  EXPECT_EQ(g.comments.back().row, 0);  // on the heading row
  EXPECT_EQ(g.filter.range, (CellRange{0, 1, 6, 7}));
  EXPECT_EQ(g.view.splitRow, 1);
  EXPECT_EQ(g.merges[0], (CellRange{2, 2, 3, 3}));
  EXPECT_FALSE(c.GetRowHidden(1));
  c.InsertNamesRow();
  EXPECT_EQ(c.GetSheetFeatures(), f);
  EXPECT_TRUE(c.GetRowHidden(1));
  EXPECT_EQ(c.GetCellText(2, 1), "ann");

  // A row a person inserts in the open form is an edit: the filter grows below its heading.
  c.DeleteNamesRow();
  c.InsertRange(1, -1, 1, -1, kShiftRows);
  EXPECT_EQ(c.GetSheetFeatures().filter.range, (CellRange{0, 1, 7, 7}));
  EXPECT_EQ(c.GetSheetFeatures().comments.back().row, 0);
  c.InsertNamesRow();
  EXPECT_EQ(c.GetSheetFeatures().filter.range, (CellRange{1, 1, 8, 7}));
  EXPECT_EQ(c.GetSheetFeatures().comments.back().row, 1);
}

TEST(SheetFeatures, SortedAndMovedCellsTakeTheirItemsAlong) {
  Control c;
  for (int r = 1; r <= 3; ++r) c.SetCellText(r, 1, std::to_string(4 - r));  // 3, 2, 1
  SheetFeatures f;
  f.comments = {{1, 2, "", "on three", false}};
  f.links = {{{3, 1, 3, 1}, LinkKind::Url, "https://one/", "", "", ""}};
  f.merges = {{1, 1, 3, 1}};  // spans the block: stays
  c.SetSheetFeatures(f);
  c.SortRange(1, 1, 3, 2, true, 1, 0, 0);
  EXPECT_EQ(c.GetCellText(3, 1), "3");
  EXPECT_EQ(c.GetSheetFeatures().comments[0].row, 3);
  EXPECT_EQ(c.GetSheetFeatures().links[0].range.row1, 1);
  EXPECT_EQ(c.GetSheetFeatures().merges[0], (CellRange{1, 1, 3, 1}));
  c.MoveRange(3, 2, 3, 2, 2, 1);
  EXPECT_EQ(c.GetSheetFeatures().comments[0].row, 5);
  EXPECT_EQ(c.GetSheetFeatures().comments[0].col, 3);
}

ValidationRule Rule(ValidationType type, ValidationOperator op, std::string f1,
                    std::string f2 = {}) {
  ValidationRule v;
  v.type = type;
  v.op = op;
  v.formula1 = std::move(f1);
  v.formula2 = std::move(f2);
  v.errorTitle = "Age";
  v.errorText = "Age must be 1 to 120";
  return v;
}

TEST(Validation, TypedEntriesAreCheckedAgainstEveryKindOfRule) {
  Control c;
  c.SetValidationRule(1, 1, 10, 1,
                      Rule(ValidationType::Whole, ValidationOperator::Between, "1", "120"));
  EXPECT_TRUE(c.CheckEntry(2, 1, "31").ok);
  EXPECT_TRUE(c.CheckEntry(2, 1, "").ok);  // blanks are ignored by default
  for (const char* bad : {"0", "121", "31.5", "abc", "TRUE"})
    EXPECT_FALSE(c.CheckEntry(2, 1, bad).ok) << bad;
  auto check = c.CheckEntry(2, 1, "0");
  EXPECT_EQ(check.message, "Age must be 1 to 120");
  EXPECT_EQ(check.style, ErrorStyle::Stop);
  EXPECT_TRUE(c.CheckEntry(11, 1, "abc").ok);  // outside the rule

  c.SetValidationRule(1, 2, 5, 2,
                      Rule(ValidationType::Decimal, ValidationOperator::Greater, "0.5"));
  EXPECT_TRUE(c.CheckEntry(1, 2, "0.75").ok);
  EXPECT_FALSE(c.CheckEntry(1, 2, "0.5").ok);

  ValidationRule list = Rule(ValidationType::List, ValidationOperator::Between, "");
  list.items = {"admin", "guest", "7"};
  list.ignoreBlank = false;
  c.SetValidationRule(1, 3, 5, 3, list);
  EXPECT_TRUE(c.CheckEntry(1, 3, "guest").ok);
  EXPECT_TRUE(c.CheckEntry(1, 3, "7").ok);
  EXPECT_FALSE(c.CheckEntry(1, 3, "root").ok);
  EXPECT_FALSE(c.CheckEntry(1, 3, "").ok);

  // A list from cells of another sheet.
  c.InsertSheets(2, 1);
  c.SetActiveSheet(2);
  c.SetCellText(1, 1, "red");
  c.SetCellText(2, 1, "green");
  std::string other = c.GetSheetName(2);
  c.SetActiveSheet(1);
  c.SetValidationRule(
      1, 4, 5, 4, Rule(ValidationType::List, ValidationOperator::Between, other + "!$A$1:$A$3"));
  EXPECT_TRUE(c.CheckEntry(1, 4, "green").ok);
  EXPECT_FALSE(c.CheckEntry(1, 4, "blue").ok);

  c.SetValidationRule(
      1, 5, 5, 5, Rule(ValidationType::Date, ValidationOperator::GreaterOrEqual, "DATE(2024,1,1)"));
  EXPECT_TRUE(c.CheckEntry(1, 5, "3/1/2024").ok);
  EXPECT_FALSE(c.CheckEntry(1, 5, "12/31/2023").ok);
  c.SetValidationRule(1, 6, 5, 6, Rule(ValidationType::Time, ValidationOperator::Less, "0.5"));
  EXPECT_TRUE(c.CheckEntry(1, 6, "9:30").ok);
  EXPECT_FALSE(c.CheckEntry(1, 6, "13:00").ok);
  c.SetValidationRule(1, 7, 5, 7,
                      Rule(ValidationType::TextLength, ValidationOperator::LessOrEqual, "3"));
  EXPECT_TRUE(c.CheckEntry(1, 7, "äöü").ok);  // characters, not bytes
  EXPECT_FALSE(c.CheckEntry(1, 7, "abcd").ok);
  // A custom formula sees the entry in its cell.
  c.SetValidationRule(1, 8, 5, 8,
                      Rule(ValidationType::Custom, ValidationOperator::Between, "ISNUMBER(H1)"));
  EXPECT_TRUE(c.CheckEntry(1, 8, "12").ok);
  EXPECT_FALSE(c.CheckEntry(1, 8, "twelve").ok);
}

TEST(Validation, ABlockTakesOneRuleAndBadRulesAreRefused) {
  Control c;
  c.SetValidationRule(1, 1, 10, 2,
                      Rule(ValidationType::Whole, ValidationOperator::Between, "1", "9"));
  c.SetValidationRule(3, 2, 4, 2, Rule(ValidationType::Decimal, ValidationOperator::Less, "5"));
  EXPECT_EQ(c.GetValidationRule(3, 2)->type, ValidationType::Decimal);
  EXPECT_EQ(c.GetValidationRule(3, 1)->type, ValidationType::Whole);
  EXPECT_EQ(c.GetValidationRule(5, 2)->type, ValidationType::Whole);
  c.ClearValidationRules(1, 1, 10, 1);
  EXPECT_EQ(c.GetValidationRule(3, 1), nullptr);
  std::size_t before = c.GetValidationRules().size();
  EXPECT_THROW(
      c.SetValidationRule(1, 1, 1, 1, Rule(ValidationType::Whole, ValidationOperator::Equal, "1+")),
      EngineError);
  EXPECT_THROW(
      c.SetValidationRule(1, 1, 1, 1, Rule(ValidationType::List, ValidationOperator::Equal, "")),
      EngineError);
  EXPECT_EQ(c.GetValidationRules().size(), before);
  // The last visible sheet cannot be hidden.
  EXPECT_THROW(c.SetSheetVisibility(1, SheetVisibility::Hidden), EngineError);
  c.InsertSheets(2, 1);
  c.SetSheetVisibility(2, SheetVisibility::VeryHidden);
  EXPECT_EQ(c.GetSheetVisibility(2), SheetVisibility::VeryHidden);
}

}  // namespace

namespace {

// A "cell value between <ref> and <area>" rule whose formulas name the cell (row, col) and the
// block rows r1-r2, columns c1-c2, as the file counts them (from 0), rows and columns relative.
RecordBytes BetweenRule(int row, int col, int r1, int r2, int c1, int c2) {
  RecordBytes b = {1, 1, 5, 0, 9, 0, 0, 0, 0x3F, 0, 0, 0};
  auto put = [&](int v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  b.push_back(0x44);
  put(row);
  put(col | 0xC000);
  b.push_back(0x45);
  put(r1);
  put(r2);
  put(c1 | 0xC000);
  put(c2 | 0xC000);
  return b;
}

struct RuleRefs {
  int ptg1, row, col, ptg2, r1, r2, c1, c2;
  bool operator==(const RuleRefs&) const = default;
};
RuleRefs Refs(const RecordBytes& b) {
  auto get = [&](std::size_t at) { return b[at] | (b[at + 1] << 8); };
  return {b[12], get(13), get(15) & 0xFF, b[17], get(18), get(20), get(22) & 0xFF, get(24) & 0xFF};
}

TEST(SheetFeatures, ConditionalFormatFormulasFollowTheCellsTheyName) {
  Control c;
  SheetFeatures f;
  // On F10:F12, comparing with E9 (file row 8) and B3:C4 (file rows 2-3).
  f.conditional = {{{{10, 6, 12, 6}}, {BetweenRule(8, 4, 2, 3, 1, 2)}}};
  c.SetSheetFeatures(f);
  const SheetFeatures& g = c.GetSheetFeatures();
  c.InsertRange(2, -1, 3, -1, kShiftRows);        // two rows before both
  c.InsertRange(-1, 1, -1, 1, kShiftColumns);     // a column before both
  EXPECT_EQ(Refs(g.conditional[0].rules[0]), (RuleRefs{0x44, 10, 5, 0x45, 4, 5, 2, 3}));
  EXPECT_EQ(g.conditional[0].ranges[0], (CellRange{12, 7, 14, 7}));
  c.DeleteRange(2, -1, 3, -1, kShiftRows);
  c.DeleteRange(-1, 1, -1, 1, kShiftColumns);
  EXPECT_EQ(Refs(g.conditional[0].rules[0]), (RuleRefs{0x44, 8, 4, 0x45, 2, 3, 1, 2}));
  // A row inside the block deleted shrinks it; the named cell's row deleted makes it #REF!.
  c.DeleteRange(4, -1, 4, -1, kShiftRows);
  EXPECT_EQ(Refs(g.conditional[0].rules[0]), (RuleRefs{0x44, 7, 4, 0x45, 2, 2, 1, 2}));
  c.DeleteRange(8, -1, 8, -1, kShiftRows);
  EXPECT_EQ(g.conditional[0].rules[0][12], 0x4A);  // a reference error in the rule's class
  // Formulas the mapper does not know (a short rule) are left alone.
  EXPECT_EQ(Refs(g.conditional[0].rules[0]).ptg2, 0x45);
}

TEST(SheetFeatures, ConditionalFormatFormulasStayPutThroughTheNamesRowAndFollowEditsInBetween) {
  Control c;
  SheetFeatures f;
  f.conditional = {{{{10, 6, 12, 6}}, {BetweenRule(8, 4, 0, 3, 1, 2)}}};  // block from row 1
  c.SetSheetFeatures(f);
  c.DeleteNamesRow();
  c.InsertNamesRow();
  EXPECT_TRUE(c.GetSheetFeatures() == f);
  c.DeleteNamesRow();
  c.InsertRange(1, -1, 1, -1, kShiftRows);  // open-form row 1: the file's second row
  c.InsertNamesRow();
  // The names row (file row 0) stays where it is; the block grows, the cell moves.
  EXPECT_EQ(Refs(c.GetSheetFeatures().conditional[0].rules[0]),
            (RuleRefs{0x44, 9, 4, 0x45, 0, 4, 1, 2}));
  EXPECT_EQ(c.GetSheetFeatures().conditional[0].tokenRowOffset, 1);
}

TEST(SheetFeatures, ConditionalFormatFormulasFollowMovedCellsAndSortedRows) {
  Control c;
  SheetFeatures f;
  // On F10, comparing with E9 and B3:C4 (file rows 8 and 2-3): one rule relative, one with
  // its rows absolute (bit 15 of a column field marks a relative row, bit 14 a relative column).
  RecordBytes fixedRows = BetweenRule(8, 4, 2, 3, 1, 2);
  for (std::size_t hi : {16u, 23u, 25u}) fixedRows[hi] &= 0x7F;
  f.conditional = {{{{10, 6, 10, 6}}, {BetweenRule(8, 4, 2, 3, 1, 2), fixedRows}}};
  c.SetSheetFeatures(f);
  const SheetFeatures& g = c.GetSheetFeatures();
  // The block B3:C4 moved ten rows down and E9 two columns right: the formulas follow them.
  c.MoveRange(2, 1, 5, 4, 10, 0);
  c.MoveRange(9, 5, 9, 5, 0, 2);
  EXPECT_EQ(Refs(g.conditional[0].rules[0]), (RuleRefs{0x44, 8, 6, 0x45, 12, 13, 1, 2}));
  // Cells outside what moves stay named; moving back restores the formulas.
  c.MoveRange(9, 7, 9, 7, 0, -2);
  c.MoveRange(12, 1, 15, 4, -10, 0);
  EXPECT_EQ(Refs(g.conditional[0].rules[0]), (RuleRefs{0x44, 8, 4, 0x45, 2, 3, 1, 2}));
  EXPECT_EQ(Refs(g.conditional[0].rules[1]).r1, 2);
  // Rows 10-12 sorted on column A: row 10 (value 3) goes last. The format goes with its row and
  // its relative references keep their distance; the absolute rows stay.
  c.SetCellText(10, 1, "3");
  c.SetCellText(11, 1, "1");
  c.SetCellText(12, 1, "2");
  c.SortRange(10, 1, 12, 6, true, 1, 0, 0);
  EXPECT_EQ(g.conditional[0].ranges[0], (CellRange{12, 6, 12, 6}));
  EXPECT_EQ(Refs(g.conditional[0].rules[0]), (RuleRefs{0x44, 10, 4, 0x45, 4, 5, 1, 2}));
  EXPECT_EQ(Refs(g.conditional[0].rules[1]), (RuleRefs{0x44, 8, 4, 0x45, 2, 3, 1, 2}));
}

}  // namespace
