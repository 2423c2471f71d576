#include <gtest/gtest.h>

#include "control/control.h"
#include "control/model/workbook.h"

using namespace engine;

namespace {
struct Counter : ControlEvents {
  int modified = 0;
  int startEdits = 0, endEdits = 0;
  bool refuseStart = false;
  void OnModified() override { ++modified; }
  void OnStartEdit(std::string&, short& cancel) override {
    ++startEdits;
    if (refuseStart) cancel = 1;
  }
  void OnEndEdit(std::string&, short&) override { ++endEdits; }
};
}  // namespace

TEST(Events, ModifiedOncePerChangingCallNeverForViewChanges) {
  Control c;
  Counter events;
  c.SetEventListener(&events);
  c.SetCellText(1, 1, "a");
  EXPECT_EQ(events.modified, 1);
  c.InsertRange(1, -1, 3, -1, kShiftRows);
  EXPECT_EQ(events.modified, 2);
  c.SetSelection(1, 1, 4, 4);
  c.SetActiveCell(2, 2);
  c.SetSheetSelected(1, true);
  c.SetColumnHidden(2, true);
  c.SetActiveSheet(1);
  EXPECT_EQ(events.modified, 2);
  c.SetSelection(1, 1, 4, 4);
  c.ClearSelection(kClearAll);
  EXPECT_EQ(events.modified, 3);
  c.InsertSheets(2, 1);
  c.SetSheetName(2, "Two");
  c.DeleteSheets(2, 1);
  EXPECT_EQ(events.modified, 6);
  c.SetColumnHeadingText(1, "Name");
  EXPECT_EQ(events.modified, 7);
}

TEST(Events, InCellEditRaisesStartAndEndAndCanBeRefused) {
  Control c;
  Counter events;
  c.SetEventListener(&events);
  c.SetActiveCell(2, 3);
  ASSERT_TRUE(c.BeginCellEdit());
  c.SetEditText("12");
  EXPECT_TRUE(c.EndCellEdit());
  EXPECT_EQ(c.GetCellText(2, 3), "12");
  EXPECT_EQ(events.startEdits, 1);
  EXPECT_EQ(events.endEdits, 1);
  events.refuseStart = true;
  EXPECT_FALSE(c.BeginCellEdit());
  EXPECT_FALSE(c.IsEditing());
}

TEST(Clipboard, CopyPasteCarriesValuesAndFormats) {
  Control c;
  c.SetCellText(1, 1, "0.25");
  c.SetSelection(1, 1, 1, 1);
  c.SetNumberFormat("0%");
  c.SetCellText(1, 2, "text");
  c.SetSelection(1, 1, 1, 2);
  c.CopySelection();
  c.SetSelection(5, 3, 5, 3);
  c.PasteClipboard();
  EXPECT_EQ(c.GetCellFormattedText(5, 3), "25%");
  EXPECT_EQ(c.GetCellText(5, 4), "text");
  EXPECT_EQ(c.GetCellValue(1, 1).number, 0.25);  // the copy leaves its source alone
}

TEST(Clipboard, CutMovesAndPasteValuesKeepsTargetFormat) {
  Control c;
  c.SetCellText(1, 1, "moving");
  c.SetSelection(1, 1, 1, 1);
  c.CutSelection();
  c.SetSelection(2, 2, 2, 2);
  c.PasteClipboard();
  EXPECT_EQ(c.GetCellText(2, 2), "moving");
  EXPECT_EQ(c.GetCellType(1, 1), kTypeEmpty);
}

TEST(Clipboard, TextFromAnotherProgramIsEnteredAsTyped) {
  ProcessClipboard system;
  Control c;
  c.SetClipboard(&system);
  system.SetText("1\t\"a\tb\"\r\nTRUE\tx\r\n");
  c.SetSelection(3, 1, 3, 1);
  c.PasteClipboard();
  EXPECT_EQ(c.GetCellType(3, 1), kTypeNumber);
  EXPECT_EQ(c.GetCellText(3, 2), "a\tb");
  EXPECT_EQ(c.GetCellType(4, 1), kTypeLogical);
  EXPECT_EQ(c.GetCellText(4, 2), "x");
}

TEST(Clipboard, PasteBetweenTwoControlsAndAfterTheSourceIsGone) {
  Control target;
  {
    Control source;
    source.SetCellText(1, 1, "from source");
    source.SetSelection(1, 1, 1, 1);
    source.CopySelection();
    target.SetSelection(2, 2, 2, 2);
    target.PasteClipboard();
    EXPECT_EQ(target.GetCellText(2, 2), "from source");
  }
  target.SetSelection(3, 3, 3, 3);
  target.PasteClipboard();  // the copied values outlive their control
  EXPECT_EQ(target.GetCellText(3, 3), "from source");
}

TEST(FillLists, DefaultsAndEditing) {
  Control c;
  ASSERT_GE(c.GetAutoFillListCount(), 4);
  EXPECT_EQ(c.GetAutoFillList(1), "Sun;Mon;Tue;Wed;Thu;Fri;Sat");
  short n = c.GetAutoFillListCount();
  c.SetAutoFillList(n + 1, "Low;Medium;High");
  EXPECT_EQ(c.GetAutoFillListCount(), n + 1);
  int list, pos;
  EXPECT_TRUE(c.FindInFillList("medium", list, pos));
  EXPECT_EQ(list, n + 1);
  EXPECT_EQ(pos, 1);
  c.DeleteAutoFillList(n + 1);
  EXPECT_EQ(c.GetAutoFillListCount(), n);
  EXPECT_THROW(c.DeleteAutoFillList(0), EngineError);
  EXPECT_THROW(c.SetAutoFillList(1, "single"), EngineError);
}

TEST(Dialogs, HeadlessDialogsCancelAndPrintSaysThereIsNoPrinter) {
  Control c;
  EXPECT_NO_THROW(c.ShowFindDialog());
  EXPECT_NO_THROW(c.ShowSortDialog());
  try {
    c.PrintTable(true);
    FAIL();
  } catch (const EngineError& e) {
    EXPECT_EQ(e.Code(), kErrNoPrinter);
    EXPECT_EQ(e.Description(), kTextNoPrinter);
  }
}
