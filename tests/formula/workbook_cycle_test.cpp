// The login workbook's formulas, rebuilt by hand and read from the shared corpus, and the
// table's save cycle (a row 1 inserted on every sheet, the values moved back up, the spare row
// deleted) leaving every formula, defined name and value as it was.
#include <algorithm>
#include <filesystem>
#include <map>

#include "formula_test_support.h"

namespace engine::formula::testing {
namespace {

// The table's header conversion, step by step as the table drives the control.
void SetColText(Control& ctl, int col, const std::string& name) {
  try {
    ctl.SetColumnHeadingText(col, name);
    ctl.SetDefinedName(name, ctl.FormatCellRef(1, col, true) + ":" +
                                 ctl.FormatCellRef(kMaxRow - 10, col, true));
  } catch (const EngineError&) {
  }
}

int LastNamedCol(Control& ctl) {
  int last = ctl.GetLastCol();
  for (int c = 1; c <= kMaxCol; ++c)
    if (!ctl.GetColumnHeadingText(c).empty()) last = std::max(last, c);
  return last;
}

void AddHeader(Control& ctl) {
  int active = ctl.GetActiveSheet();
  for (int i = 1; i <= ctl.GetNumSheets(); ++i) {
    ctl.SetActiveSheet(i);
    int last = LastNamedCol(ctl);
    ctl.InsertRange(1, -1, 1, -1, kShiftRows);
    for (int c = 1; c <= last; ++c) ctl.SetCellEntry(1, c, ctl.GetColumnHeadingText(c));
  }
  ctl.SetActiveSheet(active);
}

void DelHeader(Control& ctl, bool takeNames) {
  int active = ctl.GetActiveSheet();
  for (int i = 1; i <= ctl.GetNumSheets(); ++i) {
    ctl.SetActiveSheet(i);
    if (ctl.GetLastRow() < 1) continue;
    if (takeNames)
      for (int c = 1; c <= ctl.GetLastCol(); ++c) {
        std::string t = ctl.GetCellText(1, c);
        if (!t.empty()) SetColText(ctl, c, t);
      }
    int lc = LastNamedCol(ctl);
    int lr = ctl.GetLastRow();
    ctl.ClearRange(1, 1, 1, lc, kClearAll);
    if (lr >= 2) {
      ctl.MoveRange(2, 1, lr, lc, -1, 0);
      ctl.ClearRange(lr, 1, lr, lc, kClearAll);
      ctl.DeleteRange(lr, 1, lr, lc, kShiftRows);
    }
  }
  ctl.SetActiveSheet(active);
}

struct Snapshot {
  std::map<std::string, std::string> cells;  // "sheet!r,c" → formula text | shown text
  std::map<std::string, std::string> names;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(Control& ctl) {
  Snapshot s;
  int active = ctl.GetActiveSheet();
  for (int i = 1; i <= ctl.GetNumSheets(); ++i) {
    ctl.SetActiveSheet(i);
    for (int r = 1; r <= ctl.GetLastRow(); ++r)
      for (int c = 1; c <= ctl.GetLastCol(); ++c)
        s.cells[std::to_string(i) + "!" + std::to_string(r) + "," + std::to_string(c)] =
            ctl.GetCellFormula(r, c) + " | " + ctl.GetCellFormattedText(r, c);
  }
  ctl.SetActiveSheet(active);
  for (const DefinedName& n : ctl.Book().Names())
    s.names[std::to_string(n.sheetId) + ":" + n.name] = n.formula;
  return s;
}

const char* kTotals[] = {"62", "90", "54", "120", "38"};
const char* kLabels[] = {"alice-31", "bob-45", "carol-27", "dave-60", "eve-19"};
const char* kCounts[] = {"32", "46", "28", "61"};
const char* kSums[] = {"31", "76", "103", "163"};

void ExpectLoginValues(Control& ctl) {
  ctl.SetActiveSheet(1);
  for (int r = 1; r <= 5; ++r) {
    EXPECT_EQ(ctl.GetCellFormattedText(r, 8), kTotals[r - 1]) << "Total row " << r;
    EXPECT_EQ(ctl.GetCellFormattedText(r, 9), kLabels[r - 1]) << "Label row " << r;
  }
  ctl.SetActiveSheet(2);
  for (int r = 1; r <= 4; ++r) {
    EXPECT_EQ(ctl.GetCellFormattedText(r, 3), kCounts[r - 1]) << "Count row " << r;
    EXPECT_EQ(ctl.GetCellFormattedText(r, 4), kSums[r - 1]) << "Sum row " << r;
  }
  ctl.SetActiveSheet(1);
}

// The login workbook in its stored form, with the formulas the corpus files hold.
void BuildLogin(Control& ctl) {
  const char* names[] = {"UserName", "Password", "Age", "StartDate", "Amount", "Rate", "Active",
                         "Total", "Label", "", "Notes"};
  const char* users[] = {"alice", "bob", "carol", "dave", "eve"};
  const char* ages[] = {"31", "45", "27", "60", "19"};
  ctl.SetSheetName(1, "Logins");
  for (int c = 1; c <= 11; ++c) ctl.SetCellEntry(1, c, names[c - 1]);
  for (int i = 0; i < 5; ++i) {
    int r = i + 2;
    ctl.SetCellText(r, 1, users[i]);
    ctl.SetCellText(r, 3, ages[i]);
    ctl.SetCellText(r, 8, "=C" + std::to_string(r) + "*2");
    ctl.SetCellText(r, 9, "=A" + std::to_string(r) + "&\"-\"&C" + std::to_string(r));
    ctl.SetCellText(r, 10, std::to_string(20 + 10 * i));
  }
  ctl.InsertSheets(2, 1);
  ctl.SetSheetName(2, "Steps");
  ctl.SetActiveSheet(2);
  const char* stepNames[] = {"Step", "Expected", "Count", "Sum"};
  for (int c = 1; c <= 4; ++c) ctl.SetCellEntry(1, c, stepNames[c - 1]);
  for (int i = 0; i < 4; ++i) {
    int r = i + 2;
    ctl.SetCellText(r, 1, "step" + std::to_string(i + 1));
    ctl.SetCellText(r, 2, "ok " + std::to_string(i + 2));
    ctl.SetCellText(r, 3, "=Logins!C" + std::to_string(r) + "+1");
    ctl.SetCellText(r, 4, "=SUM(Logins!C$2:C" + std::to_string(r) + ")");
  }
  ctl.SetActiveSheet(1);
}

TEST(LoginWorkbook, RebuiltFormulasGiveTheValuesTheFilesShow) {
  Control ctl;
  BuildLogin(ctl);
  DelHeader(ctl, true);
  ExpectLoginValues(ctl);
  EXPECT_EQ(ctl.GetCellFormula(1, 8), "C1*2");
  EXPECT_EQ(ctl.GetCellFormula(5, 9), "A5&\"-\"&C5");
  // Named while row 1 still held the names, the range then loses the spare last row.
  EXPECT_EQ(ctl.GetDefinedName("Age"), "$C$1:$C$65525");
  ctl.SetActiveSheet(2);
  EXPECT_EQ(ctl.GetCellFormula(1, 3), "Logins!C1+1");
  EXPECT_EQ(ctl.GetCellFormula(4, 4), "SUM(Logins!C$1:C4)");
}

TEST(LoginWorkbook, SaveCycleTwiceLeavesFormulasNamesAndValuesUnchanged) {
  Control ctl;
  BuildLogin(ctl);
  DelHeader(ctl, true);
  // Formulas over parameter names and whole rows and columns take part too.
  ctl.SetCellText(1, 12, "=Age*2+SUM(C:C)+COUNTA(5:5)");
  ctl.SetCellText(2, 12, "=SUM($C$1:C5)+Steps!C4");
  Snapshot before = Take(ctl);
  EXPECT_EQ(ctl.GetCellFormattedText(1, 12), std::to_string(62 + 182 + 5));
  for (int round = 0; round < 2; ++round) {
    AddHeader(ctl);
    EXPECT_EQ(ctl.GetCellText(1, 3), "Age");
    EXPECT_EQ(ctl.GetCellFormula(2, 8), "C2*2");
    DelHeader(ctl, false);
    Snapshot after = Take(ctl);
    EXPECT_EQ(after.names, before.names) << "round " << round;
    for (const auto& [cell, shown] : before.cells)
      EXPECT_EQ(after.cells[cell], shown) << cell << " round " << round;
    EXPECT_EQ(after.cells.size(), before.cells.size());
  }
  ExpectLoginValues(ctl);
}

TEST(LoginWorkbook, CorpusFilesReadWithTheirFormulas) {
  for (const char* file : {"login.gnumeric97.xls", "login.gnumeric95.xls",
                           "login.libreoffice97.xls"}) {
    std::string path = std::string(DT_CORPUS_DIR) + "/interop/" + file;
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    Control ctl;
    short type = 0;
    ctl.ReadFile(path, type);
    DelHeader(ctl, true);
    SCOPED_TRACE(file);
    ExpectLoginValues(ctl);
    EXPECT_EQ(ctl.GetCellFormula(1, 8), "C1*2");
    ctl.SetActiveSheet(2);
    EXPECT_EQ(ctl.GetCellFormula(2, 3), "Logins!C2+1");
    // The values follow a change of an input.
    ctl.SetActiveSheet(1);
    ctl.SetCellText(1, 3, "32");
    EXPECT_EQ(ctl.GetCellFormattedText(1, 8), "64");
    ctl.SetActiveSheet(2);
    EXPECT_EQ(ctl.GetCellFormattedText(4, 4), "164");
  }
}

}  // namespace
}  // namespace engine::formula::testing
