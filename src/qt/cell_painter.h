#pragma once
// Drawing one cell of the engine's active sheet into a rectangle: the displayed text in its
// number format's colour (or the font colour), aligned as a spreadsheet aligns it, in the cell's
// font, over its fill, with its borders. The grid and printing draw cells with it.

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <Qt>
#include <cstdint>
#include <vector>

#include "control/control.h"

class QPainter;
class QRect;

namespace qtui {

// A colour of the engine (0x00BBGGRR, or automatic) as Qt's; automatic gives `automatic`.
QColor EngineColor(std::uint32_t bgr, const QColor& automatic);

// What a cell looks like.
struct CellLook {
  QString text;
  QColor textColor = Qt::black;
  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignBottom;
  // The cell's font, owned by the CellPainter that made the look (valid while it lives).
  const QFont* font = nullptr;
  const QFontMetrics* metrics = nullptr;
  // A number (or date) shows "#" across the cell when it is wider than the cell.
  bool isNumber = false;
  bool filled = false;
  QColor fillFore, fillBack;
  Qt::BrushStyle fillPattern = Qt::SolidPattern;
  engine::CellLook::Edge left, right, top, bottom;
};

class CellPainter {
 public:
  // The look of cell (row, col) of the control's active sheet (1-based). Never throws: a cell
  // outside the sheet looks empty.
  CellLook Look(const engine::Control& control, int row, int col);
  // Draws a look into rect (fill, text with a small margin, borders on the rectangle's edges).
  static void Paint(QPainter& painter, const QRect& rect, const CellLook& look);
  // Both in one.
  void Paint(QPainter& painter, const QRect& rect, const engine::Control& control, int row,
             int col) {
    Paint(painter, rect, Look(control, row, col));
  }

 private:
  // The Qt font of a cell's font, cached by the engine's font index.
  const QFont& FontOf(const engine::CellLook& cell, const QFontMetrics** metrics);

  struct CachedFont {
    std::string name;
    int heightTwips = 0;
    bool bold = false, italic = false, underline = false, strikeout = false;
    QFont qfont;
    QFontMetrics metrics{QFont()};
    bool valid = false;
  };
  std::vector<CachedFont> fonts_;
  engine::CellLook cell_;  // reused between reads
};

}  // namespace qtui
