#pragma once
// A grid over an engine, drawn offscreen into an image, and how much ink a part of it holds.

#include <gtest/gtest.h>

#include <QImage>

#include "control/control.h"
#include "control/model/style.h"
#include "control/model/workbook.h"
#include "qt/grid_model.h"
#include "qt/grid_view.h"

// A grid over an engine, drawn offscreen into an image.
class GridRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    view_.resize(700, 300);
    view_.show();
    for (int c = 1; c <= 8; ++c) control_.SetColumnWidth(c, 10 * 256);
  }
  QImage Render() {
    view_.viewport()->update();
    QImage image(view_.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    view_.viewport()->render(&image);
    return image;
  }
  // The part of cell (row, col) away from its edges and grid lines.
  QRect Inside(int row, int col) {
    return view_.visualRect(model_.index(row - 1, col - 1)).adjusted(3, 2, -3, -2);
  }
  static int Ink(const QImage& image, const QRect& rect) {
    int dark = 0;
    for (int x = rect.left(); x <= rect.right(); ++x)
      for (int y = rect.top(); y <= rect.bottom(); ++y)
        if (QColor(image.pixel(x, y)).lightness() < 128) ++dark;
    return dark;
  }
  void AlignRight(int row, int col) {
    engine::Style style = control_.Book().Styles().Get(0);
    style.hAlign = engine::HAlign::Right;
    const std::uint16_t index = control_.Book().Styles().Intern(style);
    control_.Book().GetSheet(1).Col(col).At(row).style = index;
  }

  engine::Control control_;
  qtui::GridModel model_{&control_};
  qtui::GridView view_{&model_};
};
