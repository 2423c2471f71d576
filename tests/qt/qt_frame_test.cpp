// The Qt window as the platform gives it to any client: the menu bar, accelerators on the items'
// own actions gated by the update handlers, the status prompts, timers and the child window.

#include <gtest/gtest.h>

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTest>
#include <set>

#include "control/control.h"
#include "qt/grid_view.h"
#include "qt/qt_window.h"
#include "qt_support.h"

namespace {

class FakeClient : public platform::FrameClient {
 public:
  std::set<unsigned> disabled;
  std::vector<unsigned> commands, updates, timers;
  bool PreCreateWindow(platform::CreateStruct&) override { return true; }
  int OnCreate(platform::CreateStruct&) override { return 0; }
  void OnSize(unsigned, int, int) override {}
  void OnClose() override {}
  void OnDestroy() override {}
  void OnTimer(unsigned id) override { timers.push_back(id); }
  void OnContextMenu(CWnd*, const platform::Point&) override {}
  bool OnCommand(unsigned id) override {
    commands.push_back(id);
    return true;
  }
  bool OnUpdateCommand(platform::CommandState& state) override {
    updates.push_back(state.id);
    if (disabled.count(state.id)) state.Enable(false);
    return true;
  }
};

constexpr unsigned kCopy = 57634, kFillDown = 34304, kFillRight = 34303, kRecalc = 34306;

class QtFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_ =
        std::make_unique<qtui::QtPlatform>(QLocale(QLocale::English, QLocale::UnitedStates));
  }
  void TearDown() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
  std::unique_ptr<qtui::QtFrame> MakeFrame(bool child, QWidget* parent = nullptr) {
    auto frame = std::make_unique<qtui::QtFrame>(*platform_);
    platform::FrameSpec spec;
    spec.child = child;
    if (child) {
      spec.style = platform::WS_CHILD | platform::WS_VISIBLE;
      spec.parent = qtui::WidgetWindow::Of(parent);
    } else {
      spec.resourceId = 3001;
    }
    EXPECT_TRUE(frame->Create(client_, spec));
    if (child) frame->LoadAccelerators(3001);
    frame->CreateStatusBar(1);
    frame->CreateControlWindow(1, 0, {}, &control_);
    return frame;
  }
  static void Activate(QWidget* w) {
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
  }

  std::unique_ptr<qtui::QtPlatform> platform_;
  FakeClient client_;
  engine::Control control_;
};

TEST_F(QtFrameTest, MenuBarHoldsTheFiveMenusWithTheirAcceleratorsOnTheirOwnActions) {
  auto frame = MakeFrame(false);
  QMainWindow* main = frame->MainWindow();
  ASSERT_NE(main, nullptr);
  QStringList titles;
  for (QAction* a : main->menuBar()->actions()) titles << a->text();
  EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&Data", "Forma&t", "&Help"}));

  QAction* copy = frame->CommandAction(kCopy);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->text(), "&Copy");  // no shortcut text after it
  EXPECT_EQ(copy->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
  EXPECT_EQ(frame->CommandAction(34327)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
  EXPECT_EQ(frame->CommandAction(57669)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F1));
  EXPECT_EQ(frame->CommandAction(kRecalc)->shortcut(), QKeySequence(Qt::Key_F9));
  EXPECT_EQ(frame->CommandAction(34301)->statusTip(), "Insert empty cells");

  // No two actions (nor any QShortcut) of the window carry the same keys.
  std::map<QString, int> keys;
  for (QAction* a : main->findChildren<QAction*>())
    if (!a->shortcut().isEmpty()) ++keys[a->shortcut().toString()];
  for (QShortcut* s : main->findChildren<QShortcut*>()) ++keys[s->key().toString()];
  EXPECT_EQ(keys.size(), 14u);
  for (const auto& [k, n] : keys) EXPECT_EQ(n, 1) << k.toStdString();
}

TEST_F(QtFrameTest, UpdateHandlersRunBeforeAMenuOpensAndGateAccelerators) {
  auto frame = MakeFrame(false);
  Activate(frame->Widget());
  client_.disabled = {kFillDown};
  QMenu* edit = frame->MainWindow()->menuBar()->actions()[1]->menu();
  emit edit->aboutToShow();
  EXPECT_FALSE(frame->CommandAction(kFillDown)->isEnabled());
  EXPECT_TRUE(frame->CommandAction(kFillRight)->isEnabled());  // grayed in the resource
  emit edit->aboutToHide();

  // The key asks the handler: grayed, nothing runs; enabled, the command runs.
  client_.updates.clear();
  QTest::keyClick(frame->Widget(), Qt::Key_D, Qt::ControlModifier);
  EXPECT_EQ(client_.updates, std::vector<unsigned>{kFillDown});
  EXPECT_TRUE(client_.commands.empty());
  client_.disabled.clear();
  QTest::keyClick(frame->Widget(), Qt::Key_D, Qt::ControlModifier);
  QTest::keyClick(frame->Widget(), Qt::Key_F9);
  EXPECT_EQ(client_.commands, (std::vector<unsigned>{kFillDown, kRecalc}));
}

TEST_F(QtFrameTest, StatusBarShowsReadyAndTheHighlightedItemsPrompt) {
  auto frame = MakeFrame(false);
  Activate(frame->Widget());
  QStatusBar* bar = frame->MainWindow()->statusBar();
  EXPECT_EQ(bar->currentMessage(), "Ready");
  QMenu* edit = frame->MainWindow()->menuBar()->actions()[1]->menu();
  frame->MainWindow()->menuBar()->setActiveAction(frame->MainWindow()->menuBar()->actions()[1]);
  QTest::qWait(20);
  QTest::mouseMove(edit, edit->actionGeometry(frame->CommandAction(34302)).center());
  QTest::qWait(20);
  EXPECT_EQ(bar->currentMessage(), "Delete selected cells");
  edit->hide();
  QTRY_COMPARE(bar->currentMessage(), QString("Ready"));
  bar->clearMessage();
  EXPECT_EQ(bar->currentMessage(), "Ready");
}

TEST_F(QtFrameTest, TimersFireUntilKilled) {
  auto frame = MakeFrame(false);
  frame->SetTimer(777, 10);
  EXPECT_TRUE(frame->TimerRunning(777));
  QTRY_VERIFY_WITH_TIMEOUT(!client_.timers.empty(), 2000);
  frame->KillTimer(777);
  EXPECT_FALSE(frame->TimerRunning(777));
  EXPECT_EQ(client_.timers.front(), 777u);
}

TEST_F(QtFrameTest, ChildWindowHasNoBarsAndItsAcceleratorsStayInsideIt) {
  QWidget host;
  host.resize(500, 300);
  auto frame = MakeFrame(true, &host);
  QWidget* child = frame->Widget();
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->parentWidget(), &host);
  EXPECT_FALSE(child->isHidden());
  EXPECT_EQ(frame->MainWindow(), nullptr);
  EXPECT_EQ(child->findChild<QStatusBar*>(), nullptr);
  EXPECT_EQ(child->findChild<QMenuBar*>(), nullptr);
  QAction* recalc = frame->CommandAction(kRecalc);
  ASSERT_NE(recalc, nullptr);
  EXPECT_EQ(recalc->shortcutContext(), Qt::WidgetWithChildrenShortcut);
  EXPECT_EQ(recalc->shortcut(), QKeySequence(Qt::Key_F9));

  Activate(&host);
  frame->Pane()->Grid()->setFocus();
  QTest::keyClick(frame->Pane()->Grid(), Qt::Key_F9);
  EXPECT_EQ(client_.commands, std::vector<unsigned>{kRecalc});
}

}  // namespace
