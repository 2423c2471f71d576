// The Edit and Data menu commands on the selection: their enabling rules, the repairs of the
// header row, the host's veto of a parameter deletion and the context menu.
#include <algorithm>

#include "table_fixture.h"

namespace {
enum : unsigned {
  kClearAll = 57633,
  kClearFormats = 34326,
  kClearContents = 34327,
  kInsert = 34301,
  kDelete = 34302,
  kFillRight = 34303,
  kFillDown = 34304,
  kFind = 57636,
  kReplace = 57641,
  kGoTo = 34305,
  kRecalc = 34306,
  kSort = 34307,
};

class CellCommandsTest : public TableTest {
 protected:
  bool Enabled(unsigned id) { return F().UpdateCommand(id).enabled.value_or(false); }
  std::vector<std::string> Names() {
    const CZATArgList& list = T().GetHeaderArgList(0);
    return {list.begin(), list.end()};
  }
  void SelectColumns(int c1, int c2) { E().SetSelection(1, c1, E().GetMaxRow(), c2); }
  void SelectRows(int r1, int r2) { E().SetSelection(r1, 1, r2, E().GetMaxCol()); }
};

// Records whether the table counted a dialog as up while the engine's dialog ran.
class RecordingDialogs : public engine::ControlDialogs {
 public:
  explicit RecordingDialogs(ProbeTable& t) : table(t) {}
  bool Find(engine::Control&) override { return Note("Find"); }
  bool Replace(engine::Control&) override { return Note("Replace"); }
  bool Goto(engine::Control&) override { return Note("Goto"); }
  bool Sort(engine::Control&) override { return Note("Sort"); }
  bool NumberFormat(engine::Control&) override { return Note("NumberFormat"); }
  bool ValidationRule(engine::Control&) override { return Note("ValidationRule"); }
  bool Note(const std::string& name) {
    shown.push_back(name + (table.NoModalUp() ? ":free" : ":modal"));
    return true;
  }
  ProbeTable& table;
  std::vector<std::string> shown;
};
}  // namespace

TEST_F(CellCommandsTest, InsertAndDeleteNeedWholeRowsOrWholeColumnsButNotBoth) {
  FillSheet(3, 4);
  E().SetSelection(1, 1, 2, 2);  // a plain range
  EXPECT_FALSE(Enabled(kInsert));
  EXPECT_FALSE(Enabled(kDelete));
  E().SetSelection(1, 1, E().GetMaxRow(), E().GetMaxCol());  // the whole sheet
  EXPECT_FALSE(Enabled(kInsert));
  EXPECT_FALSE(Enabled(kDelete));
  SelectRows(2, 3);
  EXPECT_TRUE(Enabled(kInsert));
  EXPECT_TRUE(Enabled(kDelete));
  SelectColumns(2, 2);
  EXPECT_TRUE(Enabled(kInsert));
  EXPECT_TRUE(Enabled(kDelete));
  E().AddSelection(1, 3, E().GetMaxRow(), 3);  // two ranges
  EXPECT_FALSE(Enabled(kInsert));
  SelectColumns(2, 2);
  T().SetReadOnly(true);
  EXPECT_FALSE(Enabled(kInsert));
  EXPECT_FALSE(Enabled(kDelete));
  // Chosen anyway (an accelerator), a disabled command changes nothing.
  T().SetReadOnly(false);
  E().SetSelection(1, 1, E().GetMaxRow(), E().GetMaxCol());
  F().Command(kDelete);
  F().Command(kInsert);
  EXPECT_EQ(Names(), (std::vector<std::string>{"P1", "P2", "P3"}));
  EXPECT_TRUE(Boxes().Shown().empty());
}

TEST_F(CellCommandsTest, DeletingColumnsRightOfTheParametersAsksNothing) {
  FillSheet(2, 3);
  T().RegisterNotify(&sink_);
  SelectColumns(4, 6);
  F().Command(kDelete);
  EXPECT_TRUE(Boxes().Shown().empty());
  EXPECT_TRUE(sink_.calls.empty());
  EXPECT_EQ(Names(), (std::vector<std::string>{"P1", "P2"}));
}

TEST_F(CellCommandsTest, AVetoingSinkKeepsTheParametersAndNoQuestionIsAsked) {
  FillSheet(3, 3);
  T().RegisterNotify(&sink_);
  sink_.answer = CZATNotify::ZAT_NTFY_CANCEL;
  SelectColumns(2, 3);
  F().Command(kDelete);
  EXPECT_EQ(sink_.Count("OnDeleteArg(P2,P3)"), 1);
  EXPECT_TRUE(Boxes().Shown().empty());
  EXPECT_EQ(Names(), (std::vector<std::string>{"P1", "P2", "P3"}));
  EXPECT_EQ(E().GetCellFormattedText(2, 3), "2:3");
}

TEST_F(CellCommandsTest, DeletingParametersAsksWithOrWithoutASink) {
  FillSheet(3, 3);
  SelectColumns(2, 2);
  Boxes().QueueAnswer(platform::IDNO);
  F().Command(kDelete);
  ASSERT_EQ(Boxes().Shown().size(), 1u);
  EXPECT_EQ(Boxes().Shown()[0].text,
            "Parameter is about to be deleted with all its cells values. Continue?");
  EXPECT_EQ(Boxes().Shown()[0].type, platform::MB_YESNO | platform::MB_ICONQUESTION);
  EXPECT_EQ(Names(), (std::vector<std::string>{"P1", "P2", "P3"}));

  T().RegisterNotify(&sink_);
  Boxes().QueueAnswer(platform::IDYES);
  F().Command(kDelete);
  EXPECT_EQ(sink_.Count("OnDeleteArg(P2)"), 1);
  EXPECT_EQ(Names(), (std::vector<std::string>{"P1", "P3"}));
  EXPECT_EQ(E().GetCellFormattedText(1, 2), "1:3");
}

TEST_F(CellCommandsTest, InsertAndDeleteRowsKeepTheFirstValueRowAndTheNames) {
  FillSheet(2, 3);
  SelectRows(1, 1);
  F().Command(kInsert);
  EXPECT_EQ(E().GetCellFormattedText(2, 1), "1:1");
  EXPECT_EQ(E().GetCellText(1, 1), "");
  EXPECT_EQ(Names(), (std::vector<std::string>{"P1", "P2"}));
  SelectRows(1, 1);
  F().Command(kDelete);
  EXPECT_TRUE(Boxes().Shown().empty());  // rows are never questioned
  EXPECT_EQ(E().GetCellFormattedText(1, 1), "1:1");
  // Deleting every value row leaves the parameters in place.
  SelectRows(1, E().GetLastRow());
  F().Command(kDelete);
  EXPECT_EQ(Names(), (std::vector<std::string>{"P1", "P2"}));
  EXPECT_EQ(E().GetCellText(1, 2), "");
}

TEST_F(CellCommandsTest, InsertingColumnsNamesTheNewParameters) {
  FillSheet(3, 2);
  SelectColumns(2, 3);
  F().Command(kInsert);
  const auto names = Names();
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(names[0], "P1");
  EXPECT_EQ(names[3], "P2");
  EXPECT_EQ(names[4], "P3");
  EXPECT_FALSE(names[1].empty());
  EXPECT_NE(names[1], names[2]);
  EXPECT_NE(names[1], "B");  // a generated name, not the column's letters
}

TEST_F(CellCommandsTest, EngineErrorsAreShownAndEndTheCommand) {
  FillSheet(2, 2);
  E().SetCellText(E().GetMaxRow(), 1, "bottom");  // an insert would push it off the sheet
  SelectRows(1, 1);
  F().Command(kInsert);
  ASSERT_EQ(Boxes().Shown().size(), 1u);
  EXPECT_EQ(E().GetCellFormattedText(1, 1), "1:1");
  EXPECT_EQ(E().GetCellFormattedText(E().GetMaxRow(), 1), "bottom");
}

TEST_F(CellCommandsTest, ClearRepairsRowOneOnlyForContents) {
  FillSheet(3, 3);
  E().SetSelection(1, 2, 2, 5);
  EXPECT_TRUE(Enabled(kClearContents));
  EXPECT_TRUE(F().UpdateCommand(kClearAll, true).enabled.value_or(false));
  F().Command(kClearContents);
  EXPECT_EQ(E().GetCellText(1, 2), "");
  EXPECT_EQ(E().GetCellText(2, 3), "");
  EXPECT_EQ(E().GetCellFormattedText(1, 1), "1:1");
  // Row 1 of the cleared parameter columns is kept as a value row.
  EXPECT_EQ(E().GetLastRow(), 3);
  EXPECT_EQ(Names(), (std::vector<std::string>{"P1", "P2", "P3"}));

  // Formats are cleared without touching any value.
  E().SetSelection(3, 1, 3, 3);
  E().FormatPercent();
  F().Command(kClearFormats);
  EXPECT_EQ(E().GetNumberFormat(), "General");
  EXPECT_EQ(E().GetCellFormattedText(3, 1), "3:1");

  E().AddSelection(5, 5, 5, 5);
  EXPECT_FALSE(Enabled(kClearAll));
  EXPECT_FALSE(Enabled(kClearContents));
  EXPECT_FALSE(F().UpdateCommand(kClearAll, true).enabled.value_or(true));
  E().SetSelection(1, 1, 1, 1);
  T().SetReadOnly(true);
  EXPECT_FALSE(Enabled(kClearFormats));
}

TEST_F(CellCommandsTest, ClearingTheOnlyValueRowKeepsItAsARow) {
  FillSheet(2, 1);
  E().SetSelection(1, 1, 1, 2);
  F().Command(kClearAll);
  EXPECT_EQ(E().GetLastRow(), 1);
  EXPECT_EQ(E().GetCellType(1, 1), engine::kTypeText);
  EXPECT_EQ(Names(), (std::vector<std::string>{"P1", "P2"}));
}

TEST_F(CellCommandsTest, FillRightAcrossTheLastParameterNamesTheFilledColumns) {
  FillSheet(2, 3);
  E().SetSelection(2, 2, 3, 4);
  EXPECT_TRUE(Enabled(kFillRight));
  F().Command(kFillRight);
  const auto names = Names();
  ASSERT_EQ(names.size(), 4u);
  EXPECT_NE(names[2], "C");
  EXPECT_NE(names[3], "D");
  EXPECT_NE(names[2], names[3]);
  EXPECT_EQ(E().GetCellFormattedText(2, 4), "2:2");
  EXPECT_EQ(E().GetCellText(1, 4), "");  // row 1 of the new columns is blank, not missing
  EXPECT_EQ(E().GetCellFormattedText(1, 2), "1:2");

  // Whole rows fill only across the parameters.
  SelectRows(1, 1);
  F().Command(kFillRight);
  EXPECT_EQ(E().GetCellFormattedText(1, 4), "1:1");
  EXPECT_EQ(Names().size(), 4u);

  E().SetSelection(1, 1, 3, 1);
  EXPECT_FALSE(Enabled(kFillRight));
  EXPECT_TRUE(Enabled(kFillDown));
}

TEST_F(CellCommandsTest, FillDownOfWholeColumnsStopsAtTheLastRow) {
  FillSheet(2, 3);
  SelectColumns(1, 1);
  F().Command(kFillDown);
  EXPECT_EQ(E().GetCellFormattedText(3, 1), "1:1");
  EXPECT_EQ(E().GetLastRow(), 3);
  E().SetSelection(1, 1, 1, 2);
  EXPECT_FALSE(Enabled(kFillDown));
}

TEST_F(CellCommandsTest, SortIsEnabledForMoreThanOneCell) {
  FillSheet(2, 3);
  E().SetSelection(2, 2, 2, 2);
  EXPECT_FALSE(Enabled(kSort));
  E().SetSelection(2, 2, 3, 2);
  EXPECT_TRUE(Enabled(kSort));
  E().SetSelection(2, 2, 2, 2);
  E().AddSelection(4, 4, 4, 4);
  EXPECT_TRUE(Enabled(kSort));
  EXPECT_FALSE(Enabled(kFind));
  EXPECT_FALSE(Enabled(kReplace));
  E().SetSelection(2, 2, 3, 2);
  T().SetReadOnly(true);
  EXPECT_FALSE(Enabled(kSort));
  EXPECT_TRUE(Enabled(kFind));
  EXPECT_FALSE(Enabled(kReplace));
}

TEST_F(CellCommandsTest, TheEngineDialogsRunAsModalDialogsOfTheTable) {
  RecordingDialogs dialogs(T());
  E().SetDialogs(&dialogs);
  for (unsigned id : {kFind, kReplace, kGoTo, kSort}) EXPECT_TRUE(F().Command(id));
  EXPECT_EQ(dialogs.shown,
            (std::vector<std::string>{"Find:modal", "Replace:modal", "Goto:modal", "Sort:modal"}));
  EXPECT_TRUE(T().NoModalUp());
  E().SetDialogs(nullptr);

  FillSheet(1, 1);
  E().SetCellText(2, 1, "=A1*2");
  E().SetCellText(1, 1, "21");
  EXPECT_TRUE(F().Command(kRecalc));
  EXPECT_EQ(E().GetCellFormattedText(2, 1), "42");
}

TEST_F(CellCommandsTest, TheContextMenuShowsOnlyInAChildWindow) {
  F().ContextMenu(platform::Point{40, 50});
  EXPECT_TRUE(F().Popups().empty());

  platform::HeadlessWindow parent(platform::Rect{0, 0, 800, 600});
  TablePtr child = MakeTable(true, &parent);
  child->Frame()->ContextMenu(platform::Point{40, 50});
  ASSERT_EQ(child->Frame()->Popups().size(), 1u);
  EXPECT_EQ(child->Frame()->Popups()[0].menuId, 3010u);
  EXPECT_EQ(child->Frame()->Popups()[0].popup, 0);
  EXPECT_EQ(child->Frame()->Popups()[0].point.x, 40);
  EXPECT_EQ(child->Frame()->Popups()[0].point.y, 50);
}
