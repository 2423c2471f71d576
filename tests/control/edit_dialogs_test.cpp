// What the control's edit dialogs do: find, replace, go to, sort and number-format codes.
#include "control/dialogs/edit_dialogs.h"

#include <gtest/gtest.h>

#include "control/control.h"

using namespace engine;

namespace {
struct ModifiedCounter : ControlEvents {
  int modified = 0;
  void OnModified() override { ++modified; }
};

// A 3 × 3 block: names, cities, numbers.
void FillBlock(Control& c) {
  const char* rows[3][3] = {
      {"apple", "Paris", "3"}, {"Apple pie", "rome", "1"}, {"cherry", "Paris", "2"}};
  for (int r = 0; r < 3; ++r)
    for (int k = 0; k < 3; ++k) c.SetCellText(r + 1, k + 1, rows[r][k]);
}

std::pair<int, int> Active(const Control& c) {
  int r, k;
  c.GetActiveCell(r, k);
  return {r, k};
}
}  // namespace

TEST(FindDialog, NextAndPreviousGoRoundInTheChosenOrder) {
  Control c;
  FillBlock(c);
  c.SetActiveCell(1, 1);
  FindOptions o;
  o.text = "paris";
  ASSERT_TRUE(FindNext(c, o));
  EXPECT_EQ(Active(c), std::make_pair(1, 2));
  ASSERT_TRUE(FindNext(c, o));
  EXPECT_EQ(Active(c), std::make_pair(3, 2));
  ASSERT_TRUE(FindNext(c, o));  // round the sheet
  EXPECT_EQ(Active(c), std::make_pair(1, 2));
  ASSERT_TRUE(FindNext(c, o, true));
  EXPECT_EQ(Active(c), std::make_pair(3, 2));

  // By columns, "apple" in column 1 comes before anything in column 2.
  o.text = "p";
  o.byColumns = true;
  c.SetActiveCell(1, 1);
  ASSERT_TRUE(FindNext(c, o));
  EXPECT_EQ(Active(c), std::make_pair(2, 1));
  o.byColumns = false;
  c.SetActiveCell(1, 1);
  ASSERT_TRUE(FindNext(c, o));
  EXPECT_EQ(Active(c), std::make_pair(1, 2));
  // The selection follows the cell found.
  int r1, c1, r2, c2;
  c.GetSelection(0, r1, c1, r2, c2);
  EXPECT_EQ(r1, r2);
  EXPECT_EQ(c1, c2);
}

TEST(FindDialog, CaseWholeCellAndFormulas) {
  Control c;
  FillBlock(c);
  c.SetCellText(4, 1, "=C1*10");
  c.SetActiveCell(1, 1);
  FindOptions o;
  o.text = "Apple";
  o.matchCase = true;
  ASSERT_TRUE(FindNext(c, o));
  EXPECT_EQ(Active(c), std::make_pair(2, 1));
  o.matchCase = false;
  o.wholeCell = true;
  c.SetActiveCell(2, 1);
  ASSERT_TRUE(FindNext(c, o));
  EXPECT_EQ(Active(c), std::make_pair(1, 1));  // "Apple pie" is not the whole cell
  o.text = "nothing";
  EXPECT_FALSE(FindNext(c, o));
  EXPECT_EQ(Active(c), std::make_pair(1, 1));
  o.text = "";
  EXPECT_FALSE(FindNext(c, o));

  // The value 30 shows; the formula's text holds C1.
  o.wholeCell = false;
  o.text = "30";
  ASSERT_TRUE(FindNext(c, o));
  EXPECT_EQ(Active(c), std::make_pair(4, 1));
  o.text = "C1";
  EXPECT_FALSE(FindNext(c, o));
  o.inFormulas = true;
  ASSERT_TRUE(FindNext(c, o));
  EXPECT_EQ(Active(c), std::make_pair(4, 1));

  Control empty;
  o.text = "x";
  EXPECT_FALSE(FindNext(empty, o));
}

TEST(ReplaceDialog, ReplaceAllCountsCellsAndIsOneModification) {
  Control c;
  FillBlock(c);
  c.SetCellText(4, 3, "=C1+1");
  ModifiedCounter events;
  c.SetEventListener(&events);
  FindOptions o;
  o.text = "PARIS";
  EXPECT_EQ(ReplaceAll(c, o, "Lyon"), 2);
  EXPECT_EQ(events.modified, 1);
  EXPECT_EQ(c.GetCellFormattedText(1, 2), "Lyon");
  EXPECT_EQ(c.GetCellFormattedText(3, 2), "Lyon");

  o.text = "p";  // every occurrence in a cell, one count per cell
  o.matchCase = true;
  EXPECT_EQ(ReplaceAll(c, o, "P"), 2);
  EXPECT_EQ(c.GetCellFormattedText(1, 1), "aPPle");
  EXPECT_EQ(c.GetCellFormattedText(2, 1), "APPle Pie");

  // Numbers are replaced in their entry and stay numbers; formulas only in formulas.
  o = {};
  o.text = "1";
  EXPECT_EQ(ReplaceAll(c, o, "7"), 1);
  EXPECT_EQ(c.GetCellType(2, 3), kTypeNumber);
  EXPECT_EQ(c.GetCellText(4, 3), "=C1+1");
  o.inFormulas = true;
  EXPECT_EQ(ReplaceAll(c, o, "2"), 1);
  EXPECT_EQ(c.GetCellText(4, 3), "=C2+2");
  EXPECT_EQ(c.GetCellFormattedText(4, 3), "9");

  // A replacement that breaks a formula leaves that formula alone.
  o.text = "C2";
  EXPECT_EQ(ReplaceAll(c, o, "(("), 0);
  EXPECT_EQ(c.GetCellText(4, 3), "=C2+2");
  events.modified = 0;
  o.text = "absent";
  EXPECT_EQ(ReplaceAll(c, o, "x"), 0);
  EXPECT_EQ(events.modified, 0);
}

TEST(ReplaceDialog, ReplaceChangesTheActiveCellAndMovesOn) {
  Control c;
  FillBlock(c);
  c.SetActiveCell(1, 2);
  FindOptions o;
  o.text = "Paris";
  EXPECT_TRUE(ReplaceCurrent(c, o, "Oslo"));
  EXPECT_EQ(c.GetCellFormattedText(1, 2), "Oslo");
  EXPECT_EQ(Active(c), std::make_pair(3, 2));
  c.SetActiveCell(1, 1);
  EXPECT_FALSE(ReplaceCurrent(c, o, "Oslo"));  // the active cell does not match: find only
  EXPECT_EQ(Active(c), std::make_pair(3, 2));
  EXPECT_EQ(c.GetCellFormattedText(3, 2), "Paris");
}

TEST(GotoDialog, ReferencesSheetsAndNames) {
  Control c;
  c.SetNumSheets(2);
  c.SetSheetName(2, "My sheet");
  std::string error;
  ASSERT_TRUE(GotoReference(c, " c7 ", error));
  EXPECT_EQ(Active(c), std::make_pair(7, 3));
  ASSERT_TRUE(GotoReference(c, "$B$2:A4", error));
  int r1, c1, r2, c2;
  c.GetSelection(0, r1, c1, r2, c2);
  EXPECT_EQ((std::vector<int>{r1, c1, r2, c2}), (std::vector<int>{2, 1, 4, 2}));
  ASSERT_TRUE(GotoReference(c, "'My sheet'!D9", error));
  EXPECT_EQ(c.GetActiveSheet(), 2);
  EXPECT_EQ(Active(c), std::make_pair(9, 4));
  ASSERT_TRUE(GotoReference(c, "Sheet1!B:C", error));
  EXPECT_EQ(c.GetActiveSheet(), 1);
  c.GetSelection(0, r1, c1, r2, c2);
  EXPECT_EQ((std::vector<int>{r1, c1, r2, c2}), (std::vector<int>{1, 2, c.GetMaxRow(), 3}));
  ASSERT_TRUE(GotoReference(c, "3:5", error));
  c.GetSelection(0, r1, c1, r2, c2);
  EXPECT_EQ((std::vector<int>{r1, c1, r2, c2}), (std::vector<int>{3, 1, 5, c.GetMaxCol()}));

  c.SetDefinedName("Totals", "='My sheet'!$E$2:$F$3");
  ASSERT_TRUE(GotoReference(c, "totals", error)) << error;
  EXPECT_EQ(c.GetActiveSheet(), 2);
  c.GetSelection(0, r1, c1, r2, c2);
  EXPECT_EQ((std::vector<int>{r1, c1, r2, c2}), (std::vector<int>{2, 5, 3, 6}));

  // What names nothing says so and changes nothing.
  for (const char* bad : {"", "IW1", "A0", "A65537", "Nowhere!A1", "nosuchname", "A1:", "'x!A1"}) {
    EXPECT_FALSE(GotoReference(c, bad, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
  EXPECT_EQ(c.GetActiveSheet(), 2);
  EXPECT_EQ(Active(c), std::make_pair(2, 5));
  c.SetDefinedName("Answer", "=42");
  EXPECT_FALSE(GotoReference(c, "Answer", error));
  EXPECT_NE(error.find("does not refer to a range"), std::string::npos);
}

TEST(SortDialog, ThreeKeysHeaderAndWidening) {
  Control c;
  // Column 1 group, column 2 city, column 3 number; row 1 a heading.
  const char* rows[5][3] = {
      {"group", "city", "n"}, {"b", "x", "1"}, {"a", "y", "2"}, {"b", "x", "3"}, {"a", "y", "1"}};
  for (int r = 0; r < 5; ++r)
    for (int k = 0; k < 3; ++k) c.SetCellText(r + 1, k + 1, rows[r][k]);
  c.SetSelection(1, 1, 5, 3);
  SortRequest req;
  req.header = true;
  req.keys[0] = {1, false};
  req.keys[1] = {2, true};
  req.keys[2] = {3, true};
  SortSelection(c, req);
  auto row = [&](int r) {
    return c.GetCellFormattedText(r, 1) + c.GetCellFormattedText(r, 2) +
           c.GetCellFormattedText(r, 3);
  };
  EXPECT_EQ(row(1), "groupcityn");
  EXPECT_EQ(row(2), "ay2");
  EXPECT_EQ(row(3), "ay1");
  EXPECT_EQ(row(4), "bx3");
  EXPECT_EQ(row(5), "bx1");

  // Without the heading option the first row takes part.
  req = {};
  req.keys[0] = {3, false};
  c.SetSelection(1, 1, 5, 3);
  SortSelection(c, req);
  EXPECT_EQ(row(5), "groupcityn");

  // A key outside the selection or no key at all is refused, nothing moves.
  req.keys[0] = {7, false};
  EXPECT_THROW(SortSelection(c, req), EngineError);
  req.keys[0] = {};
  EXPECT_THROW(SortSelection(c, req), EngineError);
  EXPECT_EQ(row(5), "groupcityn");

  // A selection narrower than the used columns would tear rows; widened, it keeps them whole.
  c.SetSelection(1, 2, 4, 2);
  EXPECT_TRUE(SortWouldTearRows(c));
  WidenSortSelection(c);
  EXPECT_FALSE(SortWouldTearRows(c));
  int r1, c1, r2, c2;
  c.GetSelection(0, r1, c1, r2, c2);
  EXPECT_EQ((std::vector<int>{r1, c1, r2, c2}), (std::vector<int>{1, 1, 4, 3}));
  c.SetSelection(1, 1, 1, 3);  // one row cannot tear
  EXPECT_FALSE(SortWouldTearRows(c));
}

TEST(NumberFormatDialog, CodesAreCheckedWithAReasonAndPreviewed) {
  std::string reason;
  for (const char* good : {"0.00", "#,##0;[Red]-#,##0", "m/d/yyyy", "[h]:mm", "@", "\"kg\" 0",
                           "0_);(0)", "[>=100]0;0.0", "[Color12]0", "[$-409]d-mmm"})
    EXPECT_TRUE(CheckNumberFormat(good, reason)) << good << ": " << reason;
  for (const char* bad : {"", "0;0;0;0;0", "\"open", "[Purple]0", "[0", "0]", "0\\", "0@"}) {
    EXPECT_FALSE(CheckNumberFormat(bad, reason)) << bad;
    EXPECT_FALSE(reason.empty()) << bad;
  }
  Control c;
  c.SetCellText(2, 2, "1234.5");
  c.SetActiveCell(2, 2);
  EXPECT_EQ(PreviewNumberFormat(c, "#,##0.00"), "1,234.50");
  EXPECT_EQ(PreviewNumberFormat(c, "0%"), "123450%");
  EXPECT_EQ(PreviewNumberFormat(c, "[0"), "");
}
