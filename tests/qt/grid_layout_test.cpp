// The grid's layout as a file gives it and as a spreadsheet draws it: row heights (the sheet's
// default, each row's own, hidden rows) of a table read from a workbook, and text that flows over
// empty neighbour cells while numbers show "#" instead.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QHeaderView>
#include <QImage>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTest>
#include <filesystem>

#include "control/control.h"
#include "control/model/style.h"
#include "control/model/workbook.h"
#include "qt/grid_model.h"
#include "qt/grid_view.h"
#include "grid_render.h"
#include "qt_support.h"
#include "table_fixture.h"

namespace {

namespace fs = std::filesystem;

class GridRowHeightsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::Install(std::make_shared<qtui::QtPlatform>(QLocale(QLocale::English)));
    dir_ = fs::temp_directory_path() / ("grid_layout_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    platform::Install(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    fs::remove_all(dir_);
  }
  TemporarySettings settings_;
  fs::path dir_;
};

// A stored table: names in row 1, values below; row 3 (the second value row) is tall, row 5
// hidden, and the sheet's rows are 18 pt by default.
TEST_F(GridRowHeightsTest, TheGridShowsTheHeightsAndHiddenRowsOfTheFile) {
  const fs::path file = dir_ / "tall.xls";
  {
    engine::Control c;
    c.SetCellText(1, 1, "Name");
    for (int r = 2; r <= 8; ++r) c.SetCellText(r, 1, "v" + std::to_string(r));
    engine::Sheet& sheet = c.Book().GetSheet(1);
    sheet.Features().defaultRowHeight = 360;
    sheet.MutableRowAttr(3).heightTwips = 900;
    sheet.MutableRowAttr(5).hidden = true;
    c.WriteFile(file.string(), 11);
  }
  TablePtr table(
      new ProbeTable(nullptr, file.string(), CZAT::FILE_TYPE_NONE, nullptr, false, true, true));
  ASSERT_TRUE(table->IsValid());
  table->ViewOpen();
  qtui::GridView* grid = FrameOf(table.get())->Pane()->Grid();
  const QHeaderView* rows = grid->verticalHeader();
  // The names row is the headings: grid row 1 is the file's row 2.
  const int normal = grid->RowPixels(360), tall = grid->RowPixels(900);
  ASSERT_GT(tall, normal);
  EXPECT_EQ(rows->sectionSize(0), normal);
  EXPECT_EQ(rows->sectionSize(1), tall);
  EXPECT_EQ(rows->sectionSize(2), normal);
  EXPECT_TRUE(grid->isRowHidden(3));
  EXPECT_EQ(rows->sectionSize(4), normal);
  EXPECT_EQ(rows->sectionSize(60000), normal);
  // Shown again by the host, the hidden row takes the default height.
  table->SetRowHidden(4, 4, false);
  EXPECT_FALSE(grid->isRowHidden(3));
  EXPECT_EQ(rows->sectionSize(3), normal);
  // The row positions follow: row 3 starts below the tall row.
  EXPECT_EQ(rows->sectionPosition(2), normal + tall);
}

using GridSpillTest = GridRenderTest;

TEST_F(GridSpillTest, TextFlowsOverEmptyNeighboursUpToTheFirstCellThatHoldsSomething) {
  const std::string text = "A long text that needs about three columns";
  // Fonts that first appear late in the painted area (new fonts while earlier cells' looks
  // are kept).
  for (int col = 3; col <= 5; ++col) {
    control_.SetCellText(8, col, "font " + std::to_string(col));
    control_.SetSelection(8, col, 8, col);
    control_.SetFontColor(static_cast<std::uint32_t>(0x10 * col));
  }
  control_.SetSelection(1, 1, 1, 1);
  control_.SetCellText(1, 1, text);  // left aligned: flows right
  control_.SetCellText(2, 1, text);
  control_.SetCellText(2, 2, "x");  // … but not here
  QImage image = Render();
  EXPECT_GT(Ink(image, Inside(1, 2)), 0);
  EXPECT_GT(Ink(image, Inside(1, 3)), 0);
  EXPECT_EQ(Ink(image, Inside(1, 6)), 0);  // it ends where the text ends
  const QRect blocked = Inside(2, 2);
  EXPECT_EQ(Ink(image, blocked.adjusted(blocked.width() / 2, 0, 0, 0)), 0);  // only the "x"
  EXPECT_EQ(Ink(image, Inside(2, 3)), 0);
  // The grid line between the cells the text covers is gone; elsewhere it is drawn.
  const int line = view_.visualRect(model_.index(0, 0)).right() + 1;
  const QColor grid = view_.palette().color(QPalette::Mid);
  const auto gridPixels = [&](int row) {
    const QRect cell = view_.visualRect(model_.index(row - 1, 0));
    int n = 0;
    for (int y = cell.top(); y < cell.bottom(); ++y) n += image.pixel(line, y) == grid.rgb();
    return n;
  };
  EXPECT_EQ(gridPixels(1), 0);
  EXPECT_GT(gridPixels(3), 0);

  // Right-aligned text flows left; a number never flows: "#" fills its own cell.
  control_.SetCellText(4, 4, text);
  AlignRight(4, 4);
  control_.SetCellText(6, 2, "12345678901234567890");
  image = Render();
  EXPECT_GT(Ink(image, Inside(4, 3)), 0);
  EXPECT_EQ(Ink(image, Inside(4, 5)), 0);
  EXPECT_GT(Ink(image, Inside(6, 2)), 0);
  EXPECT_EQ(Ink(image, Inside(6, 1)), 0);
  EXPECT_EQ(Ink(image, Inside(6, 3)), 0);
}

// Records what the view paints.
class PaintRecorder : public QObject {
 public:
  QRegion painted;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

TEST_F(GridSpillTest, AnEditedCellsRowIsDrawnAgainWhereItsTextMayFlow) {
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
  QCoreApplication::processEvents();
  PaintRecorder recorder;
  view_.viewport()->installEventFilter(&recorder);
  control_.SetCellText(3, 1, "A long text that needs about three columns");
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  view_.viewport()->removeEventFilter(&recorder);
  EXPECT_TRUE(recorder.painted.contains(Inside(3, 4).center()));
  EXPECT_FALSE(recorder.painted.contains(Inside(5, 4).center()));
}

TEST_F(GridSpillTest, TextFromACellScrolledOutOfViewStillFlowsIntoIt) {
  control_.SetCellText(1, 1, "A long text that needs about three columns");
  view_.horizontalScrollBar()->setValue(1);  // column A is out of view
  ASSERT_LT(view_.columnViewportPosition(0), 0);
  const QImage image = Render();
  EXPECT_GT(Ink(image, Inside(1, 2)), 0);
  EXPECT_EQ(Ink(image, Inside(2, 2)), 0);
}

}  // namespace
