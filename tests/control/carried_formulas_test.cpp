// Form controls linked to cells, lists filled from a range and text boxes linked to a cell keep
// naming their cells through inserts, deletes, block moves and sorts; objects whose records do
// not add up are left exactly as they were. Conditional formats over several ranges move with
// sorted rows as a one-range format does.
#include <gtest/gtest.h>

#include "control/control.h"
#include "support/object_records.h"

using namespace engine;

namespace {

using namespace object_records;

CarriedShape Shape(std::vector<CarriedRecord> records) {
  CarriedShape s;
  for (CarriedRecord& r : records) s.parts.push_back({0, std::move(r)});
  return s;
}

// "row,col" of an absolute reference at `at`, "row1-row2,col1-col2" of an area, "#REF!" when
// it became an error.
std::string RefAt(const Bytes& b, std::size_t at) {
  const unsigned ptg = b[at];
  if (ptg == 0x2A || ptg == 0x2B) return "#REF!";
  if (ptg == 0x24) return std::to_string(Get16(b, at + 1)) + "," + std::to_string(Get16(b, at + 3) & 0xFF);
  return std::to_string(Get16(b, at + 1)) + "-" + std::to_string(Get16(b, at + 3)) + "," +
         std::to_string(Get16(b, at + 5) & 0xFF) + "-" + std::to_string(Get16(b, at + 7) & 0xFF);
}

TEST(CarriedFormulas, LinkedControlsListsAndTextBoxesFollowTheirCells) {
  Control c;
  SheetFeatures f;
  // A check box on C5, a list on B3 filled from E2:E6, a text box showing G10.
  f.drawings = {Shape({{0x005D, CheckBox(Ref(4, 2)), {}}}),
                Shape({{0x005D, ListBox(Ref(2, 1), Area(1, 5, 4, 4)), {}}}),
                Shape({TextBox(Ref(9, 6))})};
  c.SetSheetFeatures(f);
  const SheetFeatures& g = c.GetSheetFeatures();
  auto check = [&] { return RefAt(g.drawings[0].parts[0].record.body, kCheckLinkAt); };
  auto link = [&] { return RefAt(g.drawings[1].parts[0].record.body, kListLinkAt); };
  auto source = [&] { return RefAt(g.drawings[1].parts[0].record.body, kListSourceAt); };
  auto text = [&] { return RefAt(g.drawings[2].parts[0].record.body, kTextLinkAt); };

  c.InsertRange(4, -1, 5, -1, kShiftRows);  // two rows before C5, inside E2:E6
  EXPECT_EQ(check(), "6,2");
  EXPECT_EQ(link(), "2,1");
  EXPECT_EQ(source(), "1-7,4-4");
  EXPECT_EQ(text(), "11,6");

  c.DeleteRange(7, -1, 7, -1, kShiftRows);  // the check box's cell: its link is #REF!
  EXPECT_EQ(check(), "#REF!");
  EXPECT_EQ(source(), "1-6,4-4");
  EXPECT_EQ(text(), "10,6");

  c.MoveRange(11, 7, 11, 7, 1, 1);  // the text box's cell G11 to H12
  c.MoveRange(2, 5, 7, 5, 0, 1);    // the list's source E2:E7 to F2:F7
  EXPECT_EQ(text(), "11,7");
  EXPECT_EQ(source(), "1-6,5-5");
  EXPECT_EQ(link(), "2,1");

  // Rows 2-4 sorted on column B: row 3 (value 1) comes first. The list's linked cell goes with
  // its row; its source across the sorted rows stays.
  c.SetCellText(2, 2, "3");
  c.SetCellText(3, 2, "1");
  c.SetCellText(4, 2, "2");
  c.SortRange(2, 1, 4, 3, true, 2, 0, 0);
  EXPECT_EQ(link(), "1,1");
  EXPECT_EQ(source(), "1-6,5-5");
  // The text that follows a text box's formula is not touched.
  const Bytes& txo = g.drawings[2].parts[0].record.body;
  EXPECT_EQ(Bytes(txo.end() - 3, txo.end()), (Bytes{'a', 'b', 'c'}));
}

TEST(CarriedFormulas, AListFilledFromWholeColumnsMovesOnlyWithWholeColumns) {
  Control c;
  SheetFeatures f;
  f.drawings = {Shape({{0x005D, ListBox(Ref(0, 200), Area(0, 0xFFFF, 4, 5)), {}}})};  // E:F
  c.SetSheetFeatures(f);
  auto source = [&] { return RefAt(c.GetSheetFeatures().drawings[0].parts[0].record.body, kListSourceAt); };
  c.MoveRange(2, 5, 6, 6, 0, 3);  // part of the columns: the list keeps naming E:F
  EXPECT_EQ(source(), "0-65535,4-5");
  c.MoveRange(-1, 6, -1, 6, 0, 2);  // column F to H: the list's end goes with it
  EXPECT_EQ(source(), "0-65535,4-7");
  c.MoveRange(1, 5, kMaxRow, 5, 0, 4);  // column E to I, every row: E:H turns round to H:I
  EXPECT_EQ(source(), "0-65535,7-8");
}

TEST(CarriedFormulas, ObjectsThatDoNotAddUpAreLeftAsTheyWere) {
  Control c;
  SheetFeatures f;
  Bytes overlong = CheckBox(Ref(4, 2));
  overlong[22 + 16 + 2] = 0x40;  // the link's size runs past the record
  Bytes noCmo = CheckBox(Ref(4, 2));
  noCmo[0] = 0x16;  // not an object this form knows
  Bytes cut = ListBox(Ref(0, 200), Area(1, 5, 4, 4));  // linked to a cell no edit below moves
  cut.resize(kListSourceAt + 4);                      // the source range is cut off
  CarriedRecord shortText = TextBox(Ref(9, 6));
  shortText.body[16] = 0x30;  // the formula overruns the box's own record
  Bytes counted = CheckBox(Ref(4, 2));
  counted[22 + 16 + 4] = 0x20;  // more tokens than the formula holds
  f.drawings = {Shape({{0x005D, overlong, {}}, {0x005D, noCmo, {}}, {0x005D, cut, {}},
                       shortText, {0x005D, counted, {}}})};
  c.SetSheetFeatures(f);
  const std::vector<CarriedShape::Part> before = c.GetSheetFeatures().drawings[0].parts;
  c.InsertRange(2, -1, 3, -1, kShiftRows);
  c.MoveRange(1, 1, 20, 8, 2, 2);
  c.SetCellText(5, 1, "2");
  c.SetCellText(6, 1, "1");
  c.SortRange(5, 1, 6, 8, true, 1, 0, 0);
  c.DeleteRange(3, -1, 9, -1, kShiftRows);
  const std::vector<CarriedShape::Part>& after = c.GetSheetFeatures().drawings[0].parts;
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i)
    EXPECT_TRUE(after[i].record == before[i].record) << "part " << i;
}

// A rule comparing with the cell one row up and one column left of each formatted cell.
RecordBytes RuleOnLeftAbove(unsigned row, unsigned col, unsigned bits) {
  RecordBytes b = {2, 0, 5, 0, 0, 0, 0, 0, 0x3F, 0, 0, 0, 0x44};
  Put16(b, row);
  Put16(b, col | bits);
  return b;
}
int RuleRow(const RecordBytes& b) { return static_cast<int>(Get16(b, 13)); }
int RuleCol(const RecordBytes& b) { return static_cast<int>(Get16(b, 15) & 0xFF); }

TEST(CarriedFormulas, FormatsOverSeveralRangesMoveWithSortedRows) {
  Control c;
  SheetFeatures f;
  // F10 and F12 formatted by comparing with the cell up and left (E9 for F10); F10 and H10 by
  // one whose row alone is relative ($E9).
  f.conditional = {{{{10, 6, 10, 6}, {12, 6, 12, 6}}, {RuleOnLeftAbove(8, 4, 0xC000)}},
                   {{{10, 6, 10, 6}, {10, 8, 10, 8}}, {RuleOnLeftAbove(8, 4, 0x8000)}}};
  c.SetSheetFeatures(f);
  c.SetCellText(10, 1, "3");
  c.SetCellText(11, 1, "1");
  c.SetCellText(12, 1, "2");
  c.SortRange(10, 1, 12, 8, true, 1, 0, 0);  // row 10 goes to 12, row 12 to 11
  const std::vector<ConditionalFormat>& g = c.GetSheetFeatures().conditional;
  ASSERT_EQ(g.size(), 3u);
  // The ranges moved apart: one format each, F12 comparing with E11 and F11 with E10.
  EXPECT_EQ(g[0].ranges, (std::vector<CellRange>{{12, 6, 12, 6}}));
  EXPECT_EQ(RuleRow(g[0].rules[0]) + 1, 11);
  EXPECT_EQ(g[1].ranges, (std::vector<CellRange>{{11, 6, 11, 6}}));
  EXPECT_EQ(RuleRow(g[1].rules[0]) + 1, 10);
  EXPECT_EQ(RuleCol(g[1].rules[0]), 4);
  // Both ranges of one row went together: one format, its relative row moved with it.
  EXPECT_EQ(g[2].ranges, (std::vector<CellRange>{{12, 6, 12, 6}, {12, 8, 12, 8}}));
  EXPECT_EQ(RuleRow(g[2].rules[0]) + 1, 11);
  EXPECT_EQ(RuleCol(g[2].rules[0]), 4);
  // Sorted the other way, the cell that went down comes back to F10 and names E9 again.
  c.SortRange(10, 1, 12, 8, true, -1, 0, 0);
  EXPECT_EQ(g[0].ranges, (std::vector<CellRange>{{10, 6, 10, 6}}));
  EXPECT_EQ(RuleRow(g[0].rules[0]) + 1, 9);
}

TEST(CarriedFormulas, RulesOnlyAPackageHoldsFollowMovesAndSorts) {
  Control c;
  SheetFeatures f;
  ExtendedRule above;
  above.type = "expression";
  above.formulas = {{Ref(8, 4 | 0xC000), ""}};  // E9 from F10
  f.conditional = {{{{10, 6, 10, 6}}, {}, {}, {above}}};
  c.SetSheetFeatures(f);
  const std::vector<ConditionalFormat>& g = c.GetSheetFeatures().conditional;
  c.MoveRange(9, 5, 9, 5, 3, 0);  // E9 to E12
  EXPECT_EQ(RefAt(g[0].extended[0].formulas[0].tokens, 0), "11,4");
  c.SetCellText(10, 1, "2");
  c.SetCellText(11, 1, "1");
  c.SortRange(10, 1, 11, 8, true, 1, 0, 0);  // F10 goes down a row, its formula with it
  EXPECT_EQ(g[0].ranges[0], (CellRange{11, 6, 11, 6}));
  EXPECT_EQ(RefAt(g[0].extended[0].formulas[0].tokens, 0), "12,4");
}

TEST(CarriedFormulas, ARuleWithItsColumnAloneRelativeKeepsItsRowOnASort) {
  Control c;
  SheetFeatures f;
  f.conditional = {{{{10, 6, 10, 6}}, {RuleOnLeftAbove(8, 4, 0x4000)}}};  // E$9
  c.SetSheetFeatures(f);
  c.SetCellText(10, 1, "2");
  c.SetCellText(11, 1, "1");
  c.SortRange(10, 1, 11, 8, true, 1, 0, 0);
  const ConditionalFormat& g = c.GetSheetFeatures().conditional[0];
  EXPECT_EQ(g.ranges[0], (CellRange{11, 6, 11, 6}));
  EXPECT_EQ(RuleRow(g.rules[0]), 8);
}

}  // namespace
