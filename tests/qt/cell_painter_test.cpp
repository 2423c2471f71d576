// The look of a cell: alignment by type, the format's colour, the font, fill and borders, and
// "#" for a number too wide for its cell.

#include "qt/cell_painter.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "control/control.h"

TEST(CellPainterTest, AlignsAsASpreadsheetAndTakesTheFormatsColour) {
  engine::Control c;
  c.SetCellText(1, 1, "12.5");
  c.SetCellText(1, 2, "text");
  c.SetCellText(1, 3, "TRUE");
  c.SetCellText(1, 4, "-3");
  c.SetSelection(1, 4, 1, 4);
  c.SetNumberFormat("0;[Red]-0");
  qtui::CellPainter painter;
  EXPECT_TRUE(painter.Look(c, 1, 1).alignment & Qt::AlignRight);
  EXPECT_TRUE(painter.Look(c, 1, 2).alignment & Qt::AlignLeft);
  EXPECT_TRUE(painter.Look(c, 1, 3).alignment & Qt::AlignHCenter);
  const qtui::CellLook negative = painter.Look(c, 1, 4);
  EXPECT_EQ(negative.text, "-3");
  EXPECT_EQ(negative.textColor, QColor(255, 0, 0));
  EXPECT_EQ(painter.Look(c, 1, 1).textColor, QColor(Qt::black));
  // Outside the sheet: an empty look, no throw.
  EXPECT_TRUE(painter.Look(c, 0, 1).text.isEmpty());
  EXPECT_TRUE(painter.Look(c, 1, 300).text.isEmpty());
}

TEST(CellPainterTest, FillFontColourAndBordersComeFromTheStyle) {
  engine::Control c;
  c.SetCellText(2, 2, "x");
  c.SetSelection(2, 2, 2, 2);
  c.SetPattern(1, 0x0000FF, engine::CellLook::kAutoColor);  // solid red (0x00BBGGRR)
  c.SetFontColor(0x00FF00);
  c.SetBorder(1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0);
  qtui::CellPainter painter;
  const qtui::CellLook look = painter.Look(c, 2, 2);
  EXPECT_TRUE(look.filled);
  EXPECT_EQ(look.fillFore, QColor(255, 0, 0));
  EXPECT_EQ(look.textColor, QColor(0, 255, 0));
  EXPECT_NE(look.left.line, 0);
  EXPECT_NE(look.bottom.line, 0);
  ASSERT_NE(look.font, nullptr);

  QImage image(40, 20, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  qtui::CellPainter::Paint(p, QRect(0, 0, 40, 20), look);
  p.end();
  EXPECT_EQ(QColor(image.pixel(20, 10)).red(), 255);  // the fill, not white
  EXPECT_EQ(QColor(image.pixel(20, 10)).blue(), 0);
}

TEST(CellPainterTest, ANumberTooWideForItsCellShowsHashes) {
  engine::Control c;
  c.SetCellText(1, 1, "123456789012");
  qtui::CellPainter painter;
  const qtui::CellLook look = painter.Look(c, 1, 1);
  ASSERT_TRUE(look.isNumber);
  QImage narrow(30, 20, QImage::Format_ARGB32), wide(300, 20, QImage::Format_ARGB32);
  for (QImage* image : {&narrow, &wide}) {
    image->fill(Qt::white);
    QPainter p(image);
    qtui::CellPainter::Paint(p, image->rect(), look);
  }
  // Right-aligned digits reach the right edge of the wide cell; the narrow one is drawn too
  // (hashes), never left blank.
  auto inked = [](const QImage& image) {
    for (int x = 0; x < image.width(); ++x)
      for (int y = 0; y < image.height(); ++y)
        if (QColor(image.pixel(x, y)).lightness() < 128) return true;
    return false;
  };
  EXPECT_TRUE(inked(narrow));
  EXPECT_TRUE(inked(wide));
}

// The grid draws Latin text from the font's glyphs directly; it must look as Qt's text layout
// (which printing uses) draws it, in every alignment, font and colour.
TEST(CellPainterTest, TheGridsGlyphsLookAsQtsTextLayoutDrawsThem) {
  engine::Control c;
  const char* texts[] = {"user123", "1234.5", "value 7", "Wave, jog; AV Ta", "-0.25%", "Ünïcödé"};
  for (int i = 0; i < 6; ++i) c.SetCellText(i + 1, 1, texts[i]);
  c.SetCellText(7, 1, "日本語");  // not Latin: through Qt's layout on both paths
  c.SetSelection(3, 1, 4, 1);
  c.SetFontColor(0x0000FF);
  qtui::CellPainter painter;
  for (int row = 1; row <= 7; ++row) {
    for (const Qt::Alignment align : {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter}) {
      qtui::CellLook look = painter.Look(c, row, 1);
      look.alignment = align | Qt::AlignBottom;
      const QRect cell(3, 2, 120, 19);
      QImage layout(130, 24, QImage::Format_ARGB32_Premultiplied), glyphs = layout;
      layout.fill(Qt::white);
      glyphs.fill(Qt::white);
      {
        QPainter p(&layout);
        qtui::CellPainter::Paint(p, cell, look);
      }
      {
        QPainter p(&glyphs);
        qtui::CellPainter::TextLayout text;
        painter.LayOut(look, cell.width() - 2 * qtui::CellPainter::kTextMargin, text);
        EXPECT_EQ(text.glyphs, row != 7) << row;
        qtui::CellPainter::PaintText(p, cell, cell.left(), cell.right(), look, text);
      }
      int differ = 0, inked = 0;
      for (int x = 0; x < layout.width(); ++x)
        for (int y = 0; y < layout.height(); ++y) {
          differ += layout.pixel(x, y) != glyphs.pixel(x, y);
          inked += layout.pixel(x, y) != qRgb(255, 255, 255);
        }
      EXPECT_GT(inked, 20) << row;
      EXPECT_LE(differ, inked / 20) << "row " << row << " alignment " << align;
    }
  }
}
