// Rich texts in the window: the grid draws each run in its font and colour, aligned and
// flowing as a plain text is; an in-cell edit that leaves the text keeps its runs.

#include <gtest/gtest.h>

#include <QPainter>

#include "grid_render.h"
#include "qt/cell_painter.h"
#include "support/rich_text_cells.h"

namespace {

using rich_cells::Bold;
using rich_cells::RunsAt;
using rich_cells::SetRich;

engine::Font Red() {
  engine::Font f;
  f.color = 0x0000FF;
  return f;
}

int RedPixels(const QImage& image, const QRect& rect) {
  int red = 0;
  for (int x = rect.left(); x <= rect.right(); ++x)
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
      const QColor c(image.pixel(x, y));
      if (c.red() > 150 && c.green() < 100 && c.blue() < 100) ++red;
    }
  return red;
}

// The left and right halves of a rectangle.
QRect Left(const QRect& r) { return r.adjusted(0, 0, -r.width() / 2, 0); }
QRect Right(const QRect& r) { return r.adjusted(r.width() / 2, 0, 0, 0); }

using RichGridTest = GridRenderTest;

}  // namespace

TEST_F(RichGridTest, EachRunIsDrawnInItsOwnFontAndColour) {
  control_.SetColumnWidth(1, 30 * 256);
  const std::string text = "Hello Hello";
  control_.SetCellText(1, 1, text);                    // plain
  SetRich(control_, 2, 1, text, {{0, Bold()}, {6, engine::Font()}});  // "Hello " bold
  SetRich(control_, 3, 1, text, {{6, Red()}});         // the second word red
  // Text that needs shaping goes through Qt's text layout, runs and all.
  SetRich(control_, 4, 1, "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D red", {{5, Red()}});
  const QImage image = Render();
  EXPECT_GT(RedPixels(image, Inside(4, 1)), 0);
  const QRect plain = Inside(1, 1), bold = Inside(2, 1), red = Inside(3, 1);
  // The same text, the same place; bold where the runs say so, and only there.
  const int plainInk = Ink(image, plain);
  ASSERT_GT(plainInk, 0);
  EXPECT_GT(Ink(image, bold), plainInk + plainInk / 10);
  EXPECT_EQ(RedPixels(image, plain), 0);
  EXPECT_EQ(RedPixels(image, bold), 0);
  EXPECT_GT(RedPixels(image, red), 0);
  // The first word of row 3 is black and at the plain word's place.
  const QRect firstWord(red.left(), red.top(), red.width() / 8, red.height());
  EXPECT_EQ(RedPixels(image, firstWord), 0);
  const int plainWord = Ink(image, firstWord.translated(0, plain.top() - red.top()));
  EXPECT_NEAR(Ink(image, firstWord), plainWord, plainWord / 10 + 1);  // sub-pixel placement
}

TEST_F(RichGridTest, ARichTextIsAlignedAndFlowsOverEmptyNeighboursAsAPlainOne) {
  SetRich(control_, 1, 1, "right", {{0, Bold()}});
  AlignRight(1, 1);
  SetRich(control_, 2, 1, "A long rich text that needs about three columns", {{2, Bold()}});
  SetRich(control_, 3, 1, "A long rich text that stops at the next cell", {{2, Bold()}});
  control_.SetCellText(3, 2, "x");
  const QImage image = Render();
  EXPECT_EQ(Ink(image, Left(Inside(1, 1))), 0);
  EXPECT_GT(Ink(image, Right(Inside(1, 1))), 0);
  EXPECT_GT(Ink(image, Inside(2, 2)), 0);
  EXPECT_GT(Ink(image, Inside(2, 3)), 0);
  EXPECT_EQ(Ink(image, Right(Inside(3, 2))), 0);  // only the "x": the rich text is cut
  EXPECT_EQ(Ink(image, Inside(3, 3)), 0);
}

TEST_F(RichGridTest, PrintingDrawsTheRunsToo) {
  SetRich(control_, 1, 1, "Hello", {{0, Red()}});
  qtui::CellPainter painter;
  const qtui::CellLook look = painter.Look(control_, 1, 1);
  ASSERT_EQ(look.runs.size(), 1);
  QImage image(80, 20, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  qtui::CellPainter::Paint(p, image.rect(), look);
  p.end();
  EXPECT_GT(RedPixels(image, image.rect()), 0);
  // A text its format shows with more around it has no runs to place.
  control_.SetSelection(1, 1, 1, 1);
  control_.SetNumberFormat("\"<\"@\">\"");
  EXPECT_TRUE(painter.Look(control_, 1, 1).runs.isEmpty());
}

TEST_F(RichGridTest, AnEditThatLeavesTheTextKeepsTheRunsAChangedTextIsANewEntry) {
  const rich_cells::Runs runs = {{0, Bold()}, {6, Red()}};
  SetRich(control_, 1, 1, "Hello World", runs);
  const QModelIndex cell = model_.index(0, 0);
  ASSERT_TRUE(model_.setData(cell, QString("Hello World"), Qt::EditRole));
  EXPECT_EQ(RunsAt(control_, 1, 1), runs);
  ASSERT_TRUE(model_.setData(cell, QString("Hello there"), Qt::EditRole));
  EXPECT_EQ(control_.GetCellText(1, 1), "Hello there");
  EXPECT_TRUE(RunsAt(control_, 1, 1).empty());

  // Ended by a call rather than by the person: the same.
  SetRich(control_, 1, 1, "Hello World", runs);
  control_.SetActiveCell(1, 1);
  ASSERT_TRUE(control_.BeginCellEdit(control_.GetCellText(1, 1)));
  control_.TerminateCellEdit();
  EXPECT_EQ(RunsAt(control_, 1, 1), runs);
}
