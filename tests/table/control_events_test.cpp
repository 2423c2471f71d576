// The engine's events: where in-cell edits may start, the repairs after an edit, modification
// tracking and renaming a parameter by double-clicking its heading.

#include "table/headedit.h"
#include "table_fixture.h"

namespace {
platform::DialogAnswer Rename(const std::string& name) {
  return platform::DialogAnswer{{{CHeadEdit::kNameControl, name}}, {}, 1};
}
platform::DialogAnswer Cancel() { return platform::DialogAnswer{{}, {}, 2}; }
}  // namespace

class EventsTest : public TableTest {
 protected:
  void SetUp() override {
    TableTest::SetUp();
    FillSheet(3, 10);
    T().ResetDirtyBit();
  }
  platform::HeadlessTableDialogs& Dialogs() { return platform_->DialogScript(); }
  bool MayEdit(int row, int col) {
    E().SetActiveCell(row, col);
    const bool started = E().BeginCellEdit();
    if (started) E().CancelCellEdit();
    return started;
  }
};

TEST_F(EventsTest, EditsMayStartInsideTheTableAndOneBeyond) {
  EXPECT_TRUE(MayEdit(1, 1));
  EXPECT_TRUE(MayEdit(10, 3));
  EXPECT_TRUE(MayEdit(11, 4));  // the column and the row just beyond
  EXPECT_FALSE(MayEdit(1, 5));
  EXPECT_FALSE(MayEdit(12, 1));
}

TEST_F(EventsTest, ReadOnlyRefusesEveryEditAndIgnoresDoubleClicks) {
  T().SetReadOnly(true);
  EXPECT_FALSE(MayEdit(1, 1));
  Dialogs().QueueAnswer(Rename("Renamed"));
  T().OnDblClickVcf1(0, 1);
  EXPECT_TRUE(Dialogs().Shown().empty());
  EXPECT_EQ(E().GetColumnHeadingText(1), "P1");
}

TEST_F(EventsTest, TypingBeyondTheLastColumnNamesTheNewColumn) {
  ASSERT_TRUE(TypeInto(1, 4, "new value"));
  EXPECT_FALSE(E().GetColumnHeadingText(4).empty());
  EXPECT_EQ(E().GetColumnHeadingText(4).rfind("Noname", 0), 0u);
  EXPECT_EQ(E().GetCellText(1, 4), "new value");
}

TEST_F(EventsTest, ErasingAFirstRowCellLeavesItEmpty) {
  ASSERT_TRUE(TypeInto(1, 2, ""));
  EXPECT_EQ(E().GetCellText(1, 2), "");
  EXPECT_EQ(E().GetCellFormattedText(1, 2), "");
  // A later row is just cleared as typed.
  ASSERT_TRUE(TypeInto(3, 2, ""));
  EXPECT_EQ(E().GetCellText(3, 2), "");
}

TEST_F(EventsTest, EndOfEditFitsTheColumnAndStartsTheTimer) {
  E().SetColumnWidth(2, 256);
  F().KillTimer(777);
  ASSERT_TRUE(TypeInto(2, 2, "a considerably wider entry than before"));
  EXPECT_GT(E().GetColumnWidth(2), 256);
  EXPECT_TRUE(F().TimerRunning(777));
}

TEST_F(EventsTest, ModificationSetsDirtyBitTellsSinkAndClearsEngineFlag) {
  RecordingSink& sink = sink_;
  T().RegisterNotify(&sink);
  E().SetModifiedFlag(true);
  ASSERT_TRUE(TypeInto(2, 1, "changed"));
  EXPECT_EQ(T().GetDirtyBit(), 1);
  EXPECT_FALSE(E().GetModifiedFlag());
  EXPECT_GE(sink.modified, 1);
}

TEST_F(EventsTest, SinkThrowingFromOnModifiedDoesNotBreakTheEngine) {
  struct Throwing : RecordingSink {
    void OnModified() override { throw std::runtime_error("host bug"); }
  } sink;
  T().RegisterNotify(&sink);
  EXPECT_NO_THROW(E().SetCellText(2, 1, "x"));
  EXPECT_EQ(E().GetCellText(2, 1), "x");
  EXPECT_EQ(T().GetDirtyBit(), 1);
  T().UnRegisterNotify(0);
}

TEST_F(EventsTest, DoubleClickOnACellSetsCellOptionsOnly) {
  T().OnDblClickVcf1(2, 2);
  EXPECT_TRUE(Dialogs().Shown().empty());
  T().OnDblClickVcf1(0, 0);  // the corner: nothing
  T().OnDblClickVcf1(3, 0);  // a row heading: nothing
  EXPECT_TRUE(Dialogs().Shown().empty());
}

TEST_F(EventsTest, RenameFromHeadingAsksSinkAndRenames) {
  RecordingSink& sink = sink_;
  T().RegisterNotify(&sink);
  Dialogs().QueueAnswer(Rename("Login"));
  T().OnDblClickVcf1(0, 2);
  EXPECT_EQ(Dialogs().Shown(), std::vector<unsigned>{3004});
  EXPECT_EQ(E().GetColumnHeadingText(2), "Login");
  EXPECT_EQ(sink.Count("OnRenameArg(P2,Login)"), 1);
  EXPECT_TRUE(T().NoModalUp());
  CString value;
  EXPECT_EQ(T().GetArgValue(1, "Login", value, 0), 0);
  EXPECT_EQ(value, "1:2");
}

TEST_F(EventsTest, DialogStartsFromTheCurrentName) {
  std::string shown;
  Dialogs().SetObserver([&](platform::DialogModel& d) { shown = d.GetControlText(1007); });
  Dialogs().QueueAnswer(Cancel());
  T().OnDblClickVcf1(0, 3);
  EXPECT_EQ(shown, "P3");
}

TEST_F(EventsTest, CancelOrSameNameChangesNothingAndAsksNothing) {
  RecordingSink& sink = sink_;
  T().RegisterNotify(&sink);
  Dialogs().QueueAnswer(Cancel());
  T().OnDblClickVcf1(0, 1);
  Dialogs().QueueAnswer(Rename("P1"));
  T().OnDblClickVcf1(0, 1);
  EXPECT_EQ(E().GetColumnHeadingText(1), "P1");
  EXPECT_TRUE(sink.calls.empty());
  EXPECT_EQ(T().GetDirtyBit(), 0);
}

TEST_F(EventsTest, DuplicateNameShowsMessageAndDoesNotAskTheHost) {
  RecordingSink& sink = sink_;
  T().RegisterNotify(&sink);
  Dialogs().QueueAnswer(Rename("P3"));
  T().OnDblClickVcf1(0, 1);
  ASSERT_EQ(Boxes().Shown().size(), 1u);
  EXPECT_EQ(Boxes().Shown()[0].text, "Name already exists!");
  EXPECT_EQ(E().GetColumnHeadingText(1), "P1");
  EXPECT_TRUE(sink.calls.empty());
}

TEST_F(EventsTest, NameDifferingOnlyInCaseIsARename) {
  Dialogs().QueueAnswer(Rename("p1"));
  T().OnDblClickVcf1(0, 1);
  EXPECT_EQ(E().GetColumnHeadingText(1), "p1");
}

TEST_F(EventsTest, HostVetoKeepsTheOldName) {
  RecordingSink& sink = sink_;
  sink.answer = CZATNotify::ZAT_NTFY_CANCEL;
  T().RegisterNotify(&sink);
  Dialogs().QueueAnswer(Rename("Other"));
  T().OnDblClickVcf1(0, 1);
  EXPECT_EQ(E().GetColumnHeadingText(1), "P1");
  EXPECT_EQ(sink.Count("OnRenameArg(P1,Other)"), 1);
  CString value;
  EXPECT_NE(T().GetArgValue(1, "Other", value, 0), 0);
}

TEST_F(EventsTest, HeadingJustBeyondTheTableCreatesTheColumn) {
  Dialogs().QueueAnswer(Rename("Fourth"));
  T().OnDblClickVcf1(0, 4);
  EXPECT_EQ(E().GetColumnHeadingText(4), "Fourth");
  long args = 0;
  T().GetMaxArgs(args);
  EXPECT_EQ(args, 4);
  Dialogs().QueueAnswer(Rename("Sixth"));
  T().OnDblClickVcf1(0, 6);  // two beyond: nothing
  EXPECT_EQ(Dialogs().Shown().size(), 1u);
  EXPECT_TRUE(E().GetColumnHeadingText(6).empty() || E().GetColumnHeadingText(6) == "F");
}

TEST_F(EventsTest, InvalidNameBringsTheDialogBackUntilValidOrCancelled) {
  Dialogs().QueueAnswer(Rename("1bad"));
  Dialogs().QueueAnswer(Rename("Good"));
  T().OnDblClickVcf1(0, 2);
  EXPECT_EQ(Dialogs().Shown().size(), 2u);
  EXPECT_GE(Boxes().Shown().size(), 1u);  // the reason was shown
  EXPECT_EQ(E().GetColumnHeadingText(2), "Good");

  Dialogs().QueueAnswer(Rename("2bad"));
  Dialogs().QueueAnswer(Cancel());
  T().OnDblClickVcf1(0, 3);
  EXPECT_EQ(E().GetColumnHeadingText(3), "P3");
  EXPECT_TRUE(T().NoModalUp());
}

TEST_F(EventsTest, NameFieldTakesAtMost255Characters) {
  CString name = "x";
  CHeadEdit dialog(name, nullptr);
  std::string longName;
  for (int i = 0; i < 300; ++i) longName += "\xE5\x90\x8D";  // 名, three bytes each
  dialog.SetControlText(CHeadEdit::kNameControl, longName);
  EXPECT_EQ(dialog.m_Name.size(), 255u * 3);
  EXPECT_EQ(dialog.TextLimit(CHeadEdit::kNameControl), 255u);
  EXPECT_EQ(name, "x");  // only OK copies back
  EXPECT_TRUE(dialog.OnOK());
  EXPECT_EQ(name.size(), 255u * 3);
}
