// Cut, copy, paste and paste values on a table: where a paste may start, the names new
// columns get, the enabling rules, and moving a whole sheet (formatting runs of its texts
// included) between two tables.

#include "files_fixture.h"
#include "platform/command_state.h"
#include "support/rich_text_cells.h"

using Values = std::vector<std::string>;

namespace {

constexpr const char* kOutside = "Target area must be within table's data or concatenated to it.";

}  // namespace

class ClipboardTest : public FilesTest {
 protected:
  bool Enabled(unsigned id) {
    platform::CommandState state;
    state.id = id;
    EXPECT_TRUE(T().OnUpdateCommand(state));
    return state.enabled.value_or(true);
  }
  // A second table on the same platform.
  TablePtrOf<FileTable> Another() {
    return TablePtrOf<FileTable>(
        new FileTable(nullptr, CString(), CZAT::FILE_TYPE_NONE, nullptr, false, true, true));
  }
};

TEST_F(ClipboardTest, PasteMayStartInTheValuesOrRightAfterThemButNoFurther) {
  Fill({"A", "B"}, {{"1", "2"}, {"3", "4"}});
  E().SetSelection(1, 1, 1, 1);
  ASSERT_EQ(T().EditCopy(), 1);

  // Two columns right of the last parameter: refused, nothing changes.
  E().SetSelection(1, 4, 1, 4);
  T().OnEditPaste();
  EXPECT_EQ(Shown(), (std::vector<std::string>{kOutside}));
  EXPECT_EQ(E().GetCellText(1, 4), "");
  EXPECT_EQ(T().GetHeaderArgList(0), (CZATArgList{"A", "B"}));
  // Two rows below the last value row: refused as well (Paste Values too).
  Boxes().ClearShown();
  E().SetSelection(4, 1, 4, 1);
  T().OnEditPastevalues();
  EXPECT_EQ(Shown(), (std::vector<std::string>{kOutside}));
  EXPECT_EQ(E().GetCellText(4, 1), "");
  EXPECT_TRUE(T().NoModalUp());

  // Right after them is accepted: the row below, and the column after the last parameter,
  // which becomes a parameter with a generated name.
  Boxes().ClearShown();
  E().SetSelection(3, 1, 3, 1);
  T().OnEditPaste();
  E().SetSelection(1, 3, 1, 3);
  T().OnEditPaste();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(Column("A"), (Values{"1", "3", "1"}));
  EXPECT_EQ(T().GetHeaderArgList(0), (CZATArgList{"A", "B", "Noname1"}));
  EXPECT_EQ(Column("Noname1"), (Values{"1", "", ""}));
}

TEST_F(ClipboardTest, PastedBlockNamesEveryNewColumnAndLeavesTheirFirstRowEmptyBelowRowOne) {
  Fill({"A", "B"}, {{"a1", "b1"}, {"a2", "b2"}, {"a3", "b3"}});
  E().SetSelection(1, 1, 2, 2);
  ASSERT_EQ(T().EditCopy(), 1);
  // A single target cell in row 2 of the first new column: the block reaches two columns past
  // the parameters, and both get names.
  E().SetSelection(2, 3, 2, 3);
  ASSERT_EQ(T().TestDlgEditPaste(), 1);
  EXPECT_EQ(T().GetHeaderArgList(0), (CZATArgList{"A", "B", "Noname1", "Noname2"}));
  EXPECT_EQ(Column("Noname1"), (Values{"", "a1", "a2"}));
  EXPECT_EQ(Column("Noname2"), (Values{"", "b1", "b2"}));

  // The host's paste without repairs names nothing.
  E().SetSelection(1, 5, 1, 5);
  T().EditPaste(0);
  EXPECT_EQ(T().GetHeaderArgList(0).size(), 6u);
  EXPECT_EQ(E().GetColumnHeadingText(5), "");
}

TEST_F(ClipboardTest, CopyNeedsExactlyOneRangeAndTheEditingCommandsAWritableTable) {
  Fill({"A", "B"}, {{"1", "2"}});
  E().SetSelection(1, 1, 1, 1);
  E().AddSelection(1, 2, 1, 2);
  EXPECT_EQ(T().EditCopy(), 0);
  EXPECT_EQ(T().TestDlgEditPaste(), 0);
  for (unsigned id : {57635u, 57634u, 57637u, 34300u}) EXPECT_FALSE(Enabled(id)) << id;

  E().SetSelection(1, 1, 1, 2);
  for (unsigned id : {57635u, 57634u, 57637u, 34300u}) EXPECT_TRUE(Enabled(id)) << id;
  T().SetReadOnly(true);
  EXPECT_TRUE(Enabled(57634u));
  for (unsigned id : {57635u, 57637u, 34300u}) EXPECT_FALSE(Enabled(id)) << id;
  T().SetReadOnly(false);
}

TEST_F(ClipboardTest, CutMovesPasteValuesDropsFormulasAndEngineErrorsBecomeMessages) {
  Fill({"A", "B"}, {{"2", "=A1*10"}});
  E().SetSelection(1, 2, 1, 2);
  T().OnEditCopy();
  E().SetSelection(2, 2, 2, 2);
  T().OnEditPastevalues();
  EXPECT_EQ(E().GetCellText(2, 2), "20");  // the value, not the formula
  E().SetSelection(3, 2, 3, 2);
  T().OnEditPaste();
  EXPECT_EQ(E().GetCellText(3, 2), "=A3*10");  // the formula, its reference moved along

  E().SetSelection(1, 1, 1, 1);
  T().OnEditCut();
  E().SetSelection(2, 1, 2, 1);
  T().OnEditPaste();
  EXPECT_EQ(Column("A"), (Values{"", "2", ""}));
  EXPECT_EQ(E().GetCellText(1, 2), "=A2*10");  // follows the moved cell

  // A paste with two ranges selected is refused by the engine; its text is shown.
  E().SetSelection(1, 1, 1, 1);
  E().AddSelection(2, 2, 2, 2);
  T().OnEditCopy();
  EXPECT_EQ(Shown(),
            (std::vector<std::string>{"That command cannot be used on multiple selections."}));
}

TEST_F(ClipboardTest, WholeSheetCopyNeedsASavedTableAndLeavesItUnchanged) {
  Fill({"Name", "Qty"}, {{"ann", "3"}});
  EXPECT_EQ(T().CopyAllContent(1), -1);  // never saved
  ASSERT_EQ(T().Save(Path("src.xls"), 1, CZAT::FILE_TYPE_NONE, 0), 0);
  EXPECT_EQ(T().CopyAllContent(7), -1);  // no such sheet
  E().SetCellText(2, 1, "bob");          // modified after the save
  ASSERT_EQ(T().CopyAllContent(1), 0);
  EXPECT_EQ(T().GetHeaderArgList(0), (CZATArgList{"Name", "Qty"}));
  EXPECT_EQ(Column("Name"), (Values{"ann", "bob"}));
  EXPECT_EQ(T().GetDirtyBit(), 1);
  T().ResetDirtyBit();
  ASSERT_EQ(T().CopyAllContent(0), 0);
  EXPECT_EQ(T().GetDirtyBit(), 0);
}

TEST_F(ClipboardTest, WholeSheetMovesBetweenTwoTablesWithNamesFormulasAndFormats) {
  Fill({"Name", "Qty", "Total"}, {{"ann", "3", "=B1*2"}, {"bob", "4", "=B2*2"}});
  E().SetSelection(1, 2, 2, 2);
  E().FormatCurrency2();
  const rich_cells::Runs runs = {{1, rich_cells::Bold()}};  // "a" plain, "nn" bold
  rich_cells::SetRich(E(), 1, 1, "ann", runs);
  ASSERT_EQ(T().Save(Path("src.xls"), 1, CZAT::FILE_TYPE_NONE, 0), 0);
  ASSERT_EQ(T().CopyAllContent(1), 0);

  auto target = Another();
  CString x = "X", y = "Y", z = "Z", w = "W";
  for (CString* n : {&x, &y, &z, &w}) ASSERT_EQ(target->AppendArg(*n, "old", 0, nullptr, 0), 0);
  target->AppendSheets(1);
  CString second;
  target->GetSheetName(second, 2);
  EXPECT_EQ(target->PasteFromMouse("No such sheet"), 0);
  EXPECT_EQ(target->GetHeaderArgList(1).size(), 4u);

  ASSERT_EQ(target->PasteFromMouse(second), 1);
  EXPECT_EQ(target->GetSheet(), 2);
  EXPECT_EQ(target->GetHeaderArgList(2), (CZATArgList{"Name", "Qty", "Total"}));
  CString v;
  ASSERT_EQ(target->GetArgValue(1, "Name", v, 2), 0);
  EXPECT_EQ(v, "ann");
  CString shown;
  ASSERT_EQ(T().GetArgValue(2, "Qty", shown, 0), 0);
  ASSERT_EQ(shown.substr(0, 5), "$4.00");
  ASSERT_EQ(target->GetArgValue(2, "Qty", v, 2), 0);
  EXPECT_EQ(v, shown);
  ASSERT_EQ(target->GetArgFormula(2, "Total", v, 2), 0);
  EXPECT_EQ(v, "B2*2");
  ASSERT_EQ(target->GetArgValue(2, "Total", v, 2), 0);
  EXPECT_EQ(v, "8");
  long rows = 0;
  target->GetMaxRows(rows, 2);
  EXPECT_EQ(rows, 2);
  // A text's formatting runs go with it, and stay in the source.
  EXPECT_EQ(rich_cells::RunsAt(target->Engine(), 1, 1), runs);
  EXPECT_EQ(rich_cells::RunsAt(E(), 1, 1), runs);
  // The first sheet of the target is untouched.
  EXPECT_EQ(target->GetHeaderArgList(1), (CZATArgList{"X", "Y", "Z", "W"}));
}

TEST_F(ClipboardTest, WholeSheetPasteWithNothingToPasteKeepsTheTarget) {
  auto target = Another();
  CString x = "X";
  ASSERT_EQ(target->AppendArg(x, "keep", 0, nullptr, 0), 0);
  CString sheet;
  target->GetSheetName(sheet, 1);
  // A clipboard emptied by another program.
  platform_->Clipboard()->SetText(std::string());
  EXPECT_EQ(target->PasteFromMouse(sheet), 0);
  EXPECT_EQ(target->GetHeaderArgList(1), (CZATArgList{"X"}));
  CString v;
  ASSERT_EQ(target->GetArgValue(1, "X", v, 1), 0);
  EXPECT_EQ(v, "keep");
}
