// The view for the host and the window-level operations: open, close, activate, auto-fit,
// title, tabs, hidden rows and columns, accelerators, message boxes and the timer.

#include "table_fixture.h"

TEST_F(TableTest, ViewOpenShowsOnceAndTellsTheSinkOnce) {
  RecordingSink& sink = sink_;
  T().RegisterNotify(&sink);
  EXPECT_EQ(T().ViewOpen(), 0);
  EXPECT_EQ(T().ViewOpen(), 0);
  EXPECT_TRUE(F().IsVisible());
  EXPECT_EQ(F().ShowCount(), 1);
  EXPECT_EQ(T().IsViewOpened(), 1);
  EXPECT_EQ(sink.Count("OnViewOpen()"), 1);
}

TEST_F(TableTest, ViewCloseHidesWithoutTellingTheSink) {
  RecordingSink& sink = sink_;
  T().RegisterNotify(&sink);
  T().ViewOpen();
  EXPECT_EQ(T().ViewClose(), 0);
  EXPECT_FALSE(F().IsVisible());
  EXPECT_EQ(T().IsViewOpened(), 0);
  EXPECT_EQ(T().ViewClose(), 0);  // already closed: still 0
  EXPECT_EQ(sink.calls, std::vector<std::string>{"OnViewOpen()"});
}

TEST_F(TableTest, ViewCloseRefusesWhileABoxOrDialogIsUp) {
  T().ViewOpen();
  T().SetNoModalUp(false);
  EXPECT_EQ(T().ViewClose(), -1);
  EXPECT_TRUE(F().IsVisible());
  EXPECT_EQ(T().IsViewOpened(), 1);
  T().SetNoModalUp(true);
}

TEST_F(TableTest, ViewCloseEndsAnInCellEdit) {
  FillSheet(1, 1);
  T().ViewOpen();
  E().SetActiveCell(1, 1);
  ASSERT_TRUE(E().BeginCellEdit());
  E().SetEditText("typed");
  EXPECT_EQ(T().ViewClose(), 0);
  EXPECT_FALSE(E().IsEditing());
  EXPECT_EQ(E().GetCellText(1, 1), "typed");
}

TEST_F(TableTest, ViewRestoresSelectionKeptWhileClosed) {
  FillSheet(2, 6);
  T().ViewOpen();
  E().SetSelection(2, -1, 3, -1);
  ASSERT_EQ(T().ViewClose(), 0);
  E().SetSelection(1, 1, 1, 1);  // the view set-up resets the active cell anyway
  ASSERT_EQ(T().ViewOpen(), 0);
  CWBRowsRangeList rows;
  ASSERT_EQ(T().GetSelectedRows(rows, 0), 0);
  CString sheet;
  T().GetSheetName(sheet, 1);
  CRowsRange range;
  ASSERT_EQ(rows.GetRowsRangeEntry(sheet, 0, range), 0);
  EXPECT_EQ(range.nFirstRow, 2);
  EXPECT_EQ(range.nLastRow, 3);
}

TEST_F(TableTest, ViewDataTableActivatesAnOpenViewOrOpensIt) {
  RecordingSink& sink = sink_;
  T().RegisterNotify(&sink);
  EXPECT_TRUE(T().ViewDataTable());
  EXPECT_EQ(T().IsViewOpened(), 1);
  EXPECT_EQ(sink.Count("OnViewOpen()"), 1);
  const int activations = F().ActivateCount();
  EXPECT_TRUE(T().ViewDataTable());
  EXPECT_EQ(F().ActivateCount(), activations + 1);
  EXPECT_EQ(sink.Count("OnViewOpen()"), 1);
}

TEST_F(TableTest, ViewOpenReappliesTheViewSettingsWithoutDirtying) {
  T().SetShowTabs(true);
  E().SetActiveCell(5, 5);
  E().SetProgramChangeMode(true);
  T().ResetDirtyBit();
  T().ViewOpen();
  int row = 0, col = 0;
  E().GetActiveCell(row, col);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(col, 1);
  EXPECT_FALSE(E().GetProgramChangeMode());
  EXPECT_EQ(E().GetShowTabsMode(), 1);
  EXPECT_EQ(E().GetViewMode(2), 1);  // SheetViewMode16
  EXPECT_EQ(T().GetDirtyBit(), 0);
}

TEST_F(TableTest, AutoResizeRangesAndDirtyBit) {
  FillSheet(5, 2);
  CString wide = "a much longer value than the others";
  for (int c = 1; c <= 5; ++c) E().SetCellText(1, c, wide);
  auto widths = [&] {
    std::vector<int> w;
    for (int c = 1; c <= 6; ++c) w.push_back(E().GetColumnWidth(c));
    return w;
  };
  for (int c = 1; c <= 6; ++c) E().SetColumnWidth(c, 256);
  const auto narrow = widths();

  T().SetDirty(1);
  T().AutoResize(5, 2);  // backwards: nothing
  EXPECT_EQ(widths(), narrow);
  T().AutoResize(3, -1);  // column 3 only
  auto w = widths();
  EXPECT_GT(w[2], narrow[2]);
  EXPECT_EQ(w[1], narrow[1]);
  EXPECT_EQ(w[3], narrow[3]);
  T().AutoResize(2, 4);
  w = widths();
  EXPECT_GT(w[1], narrow[1]);
  EXPECT_GT(w[3], narrow[3]);
  EXPECT_EQ(w[4], narrow[4]);
  EXPECT_EQ(T().GetDirtyBit(), 1);

  T().ResetDirtyBit();
  T().AutoResize(-1, -1);  // every column
  EXPECT_GT(widths()[4], narrow[4]);
  EXPECT_EQ(T().GetDirtyBit(), 0);
}

TEST_F(TableTest, AutoResizeOutsideTheSheetThrowsAndKeepsDirtyBit) {
  T().ResetDirtyBit();
  EXPECT_THROW(T().AutoResize(300, -1), engine::EngineError);
  EXPECT_EQ(T().GetDirtyBit(), 0);
}

TEST_F(TableTest, ActiveCellAndHiddenColumnsByParameterName) {
  FillSheet(3, 4);
  T().SetActiveCell(3, "P2");
  int row = 0, col = 0;
  E().GetActiveCell(row, col);
  EXPECT_EQ(row, 3);
  EXPECT_EQ(col, 2);
  T().SetActiveCell(4, "Nope");  // silently nothing
  E().GetActiveCell(row, col);
  EXPECT_EQ(row, 3);
  T().SetColHidden("P3", true);
  EXPECT_TRUE(E().GetColumnHidden(3));
  T().SetColHidden("P3", false);
  EXPECT_FALSE(E().GetColumnHidden(3));
  T().SetColHidden("p3", true);  // names are case-sensitive
  EXPECT_FALSE(E().GetColumnHidden(3));
  T().SetRowHidden(2, 3, true);
  EXPECT_TRUE(E().GetRowHidden(2));
  EXPECT_TRUE(E().GetRowHidden(3));
  EXPECT_FALSE(E().GetRowHidden(4));
}

TEST_F(TableTest, TitleTabsEnabledAndRecalc) {
  T().SetTitle("Login test");
  EXPECT_EQ(F().GetTitle(), "Login test");
  T().SetTitle(nullptr);
  EXPECT_EQ(F().GetTitle(), "");
  T().SetShowTabs(true);
  EXPECT_TRUE(T().ShowTabs());
  EXPECT_EQ(E().GetShowTabsMode(), 1);
  T().SetShowTabs(false);
  EXPECT_EQ(E().GetShowTabsMode(), 0);
  T().SetEnabled(false);
  EXPECT_FALSE(E().GetEnabled());
  T().SetEnabled(true);
  EXPECT_TRUE(E().GetEnabled());
  FillSheet(1, 1);
  E().SetCellText(2, 1, "=1+1");
  T().Recalc();
  EXPECT_EQ(E().GetCellFormattedText(2, 1), "2");
}

TEST_F(TableTest, AcceleratorParametersNameTheTableWindow) {
  CWnd* wnd = nullptr;
  HACCEL accel = nullptr;
  T().GetAccelTableParams(&wnd, &accel);
  EXPECT_EQ(wnd, static_cast<CWnd*>(&F()));
  EXPECT_EQ(accel, F().Accelerators());
  EXPECT_NE(accel, nullptr);
  T().GetAccelTableParams(nullptr, nullptr);  // tolerated
}

TEST_F(TableTest, MessageBoxShowsStringAndMarksModalState) {
  bool noModalDuringBox = true;
  Boxes().SetHandler([&](const std::string&, unsigned) {
    noModalDuringBox = T().NoModalUp();
    return platform::IDNO;
  });
  EXPECT_EQ(T().MessageBoxA(3009, platform::MB_YESNO), platform::IDNO);
  EXPECT_FALSE(noModalDuringBox);
  EXPECT_TRUE(T().NoModalUp());
  ASSERT_EQ(Boxes().Shown().size(), 1u);
  EXPECT_EQ(Boxes().Shown()[0].text, "Name already exists!");
  EXPECT_TRUE(F().IsActive());  // the table window is active again
}

TEST_F(TableTest, ErrorMessagesSkipEmptyAndCancelledInAnyCase) {
  T().ShowErrMessage("");
  T().ShowErrMessage("Operation canceled.");
  T().ShowErrMessage("OPERATION CANCELED.");
  EXPECT_TRUE(Boxes().Shown().empty());
  T().ShowErrMessage("Disk full.");
  ASSERT_EQ(Boxes().Shown().size(), 1u);
  EXPECT_EQ(Boxes().Shown()[0].text, "Disk full.");
  EXPECT_EQ(Boxes().Shown()[0].type & 0xF, platform::MB_OK);
}

TEST_F(TableTest, JapaneseTablesAlsoKeepTheEnginesCancelTextQuiet) {
  platform_->StringSource().SetLanguage("ja");
  T().ShowErrMessage(engine::kTextOperationCanceled);
  EXPECT_TRUE(Boxes().Shown().empty());
}

TEST_F(TableTest, ModificationStartsTimerThatRunsDeferredCallOnce) {
  FillSheet(1, 1);
  F().KillTimer(CZAT_PSF1::TABLE_TIMER_ID);
  E().SetCellText(2, 1, "x");
  ASSERT_TRUE(F().TimerRunning(777));
  EXPECT_EQ(F().Timers().at(777), 100u);
  EXPECT_TRUE(F().FireTimer(777));
  EXPECT_FALSE(F().TimerRunning(777));
  EXPECT_FALSE(F().FireTimer(777));
}

TEST_F(TableTest, OtherTimersAreLeftAlone) {
  F().SetTimer(5, 1000);
  EXPECT_TRUE(F().FireTimer(5));
  EXPECT_TRUE(F().TimerRunning(5));
}

TEST_F(TableTest, FrameResizeKeepsViewAboveStatusBar) {
  F().Resize(800, 600);
  EXPECT_EQ(F().ControlView()->GetRect(), (platform::Rect{0, 0, 800, 580}));
  F().Resize(10, 5);  // smaller than the status bar: an empty view, not a negative one
  EXPECT_EQ(F().ControlView()->GetRect(), (platform::Rect{0, 0, 10, 0}));
}

TEST_F(TableTest, WindowOperationsOutsideTheSheetThrowTheEnginesError) {
  FillSheet(1, 1);
  EXPECT_THROW(T().SetRowHidden(0, 2, true), engine::EngineError);
  EXPECT_THROW(T().SetRowHidden(1, 70000, true), engine::EngineError);
  EXPECT_THROW(T().SetActiveCell(70000, "P1"), engine::EngineError);
  EXPECT_THROW(T().SetActiveCell(-5, "P1"), engine::EngineError);
  EXPECT_NO_THROW(T().SetActiveCell(70000, "Nope"));  // no such parameter: nothing at all
  EXPECT_FALSE(E().GetRowHidden(1));
}
