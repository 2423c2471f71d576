// The grid reports a person's clicks and keys to the engine with the engine's coordinates (row 0
// the column headings, column 0 the row headings), and a listener may swallow a key.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTest>
#include <string>
#include <vector>

#include "control/control.h"
#include "qt/grid_model.h"
#include "qt/grid_view.h"

namespace {

class Recorder : public engine::ControlEvents {
 public:
  std::vector<std::string> events;
  bool swallow = false;
  void OnClick(int r, int c) override { Add("Click", r, c); }
  void OnDblClick(int r, int c) override { Add("DblClick", r, c); }
  void OnRClick(int r, int c) override { Add("RClick", r, c); }
  void OnRDblClick(int r, int c) override { Add("RDblClick", r, c); }
  void OnKeyDown(short& key, short shift) override {
    Add("KeyDown", key, shift);
    if (swallow) key = 0;
  }
  void OnStartEdit(std::string&, short&) override { events.push_back("StartEdit"); }

 private:
  void Add(const char* name, int a, int b) {
    events.push_back(std::string(name) + "(" + std::to_string(a) + "," + std::to_string(b) + ")");
  }
};

class GridEventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    control_.SetEventListener(&recorder_);
    view_.resize(600, 400);
    view_.show();
    view_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view_));
  }
  QPoint CellCenter(int row, int col) {
    return view_.visualRect(model_.index(row - 1, col - 1)).center();
  }

  engine::Control control_;
  Recorder recorder_;
  qtui::GridModel model_{&control_};
  qtui::GridView view_{&model_};
};

TEST_F(GridEventsTest, ClicksCarryTheEngineCoordinates) {
  QTest::mouseClick(view_.viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(2, 3));
  QTest::mouseClick(view_.viewport(), Qt::RightButton, Qt::NoModifier, CellCenter(4, 1));
  QHeaderView* columns = view_.horizontalHeader();
  QTest::mouseClick(columns->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(columns->sectionViewportPosition(1) + 5, columns->height() / 2));
  QHeaderView* rows = view_.verticalHeader();
  QTest::mouseClick(rows->viewport(), Qt::RightButton, Qt::NoModifier,
                    QPoint(rows->width() / 2, rows->sectionViewportPosition(6) + 5));
  QCoreApplication::processEvents();  // heading clicks are reported after the heading selects
  EXPECT_EQ(recorder_.events,
            (std::vector<std::string>{"Click(2,3)", "RClick(4,1)", "Click(0,2)", "RClick(7,0)"}));
  int row = 0, col = 0;
  control_.GetActiveCell(row, col);
  EXPECT_EQ(col, 2);  // the column heading selected column B
}

TEST_F(GridEventsTest, KeysAreReportedAndASwallowedKeyDoesNothing) {
  view_.setCurrentIndex(model_.index(0, 0));
  QTest::keyClick(&view_, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(recorder_.events.back(), "KeyDown(40,1)");
  int r1, c1, r2, c2;
  control_.GetSelection(0, r1, c1, r2, c2);
  EXPECT_EQ(r2, 2);  // Shift extended the block

  recorder_.swallow = true;
  recorder_.events.clear();
  QTest::keyClick(&view_, Qt::Key_A);
  EXPECT_EQ(recorder_.events, std::vector<std::string>{"KeyDown(65,0)"});  // no StartEdit
  EXPECT_FALSE(view_.IsEditing());
  recorder_.swallow = false;
  QTest::keyClick(&view_, Qt::Key_F2);
  EXPECT_TRUE(view_.IsEditing());
  EXPECT_TRUE(control_.IsEditing());
}

TEST_F(GridEventsTest, HostSelectionAndHiddenColumnsShowInTheView) {
  control_.SetSelection(3, 2, 5, 4);
  control_.AddSelection(8, 1, 8, 256);
  QItemSelectionModel* selection = view_.selectionModel();
  EXPECT_TRUE(selection->isSelected(model_.index(3, 2)));
  EXPECT_TRUE(selection->isRowSelected(7, {}));
  EXPECT_EQ(view_.currentIndex(), model_.index(7, 0));
  control_.SetColumnHidden(3, true);
  EXPECT_TRUE(view_.isColumnHidden(2));
  control_.SetColumnWidth(1, 20 * 256);
  EXPECT_EQ(view_.columnWidth(0), view_.PixelWidth(20 * 256));
  control_.SetRowsHidden(5, 6, true);
  EXPECT_TRUE(view_.isRowHidden(4));
  control_.SetRowsHidden(5, 6, false);
  EXPECT_FALSE(view_.isRowHidden(4));
}

}  // namespace
