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

#include "control/model/style.h"

class QPainter;
class QRect;

namespace engine {
class Control;
}

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
  engine::Border left, right, top, bottom;
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
  // The Qt font of an engine font, cached by its index in the workbook's font list.
  const QFont& FontOf(const engine::Control& control, std::uint16_t index);

 private:
  struct CachedFont {
    engine::Font font;
    QFont qfont;
    QFontMetrics metrics{QFont()};
    bool valid = false;
  };
  std::vector<CachedFont> fonts_;
};

}  // namespace qtui
