#pragma once
// Drawing one cell of the engine's active sheet into a rectangle: the displayed text in its
// number format's colour (or the font colour), aligned as a spreadsheet aligns it, in the cell's
// font, over its fill, with its borders. The grid and printing draw cells with it.

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QRawFont>
#include <QList>
#include <QString>
#include <QTextLayout>
#include <Qt>
#include <cstdint>
#include <deque>
#include <memory>

#include "control/control.h"
#include "control/rich_text.h"

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
  const QRawFont* rawFont = nullptr;  // the font's glyphs for Latin text (may be invalid)
  qreal ascent = 0, descent = 0;
  // A rich text's runs as formats of its characters; empty for a plain cell. Beside each, the
  // glyphs of its font, for drawing Latin text without Qt's text layout.
  QList<QTextLayout::FormatRange> runs;
  struct RunFace {
    const QRawFont* rawFont = nullptr;
    const QFont* font = nullptr;
    qreal ascent = 0, descent = 0;
  };
  QList<RunFace> runFaces;
  // A number (or date) shows "#" across the cell when it is wider than the cell.
  bool isNumber = false;
  short type = 0;  // the engine's cell type (kTypeEmpty: the cell holds nothing)
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

  // The grid draws a cell in passes (fill, then the grid lines, then text, then borders), so that
  // text can flow over empty neighbours.
  static void PaintFill(QPainter& painter, const QRect& rect, const CellLook& look);
  static void PaintBorders(QPainter& painter, const QRect& rect, const CellLook& look);
  // The text as it is laid out in a cell: its width in pixels, and for Latin text the glyphs
  // themselves (drawn without Qt's text layout, which costs more than everything else in a
  // grid of short texts). A number wider than width (the cell's width less its margins) turns
  // into "#" across it.
  struct TextLayout {
    QString text;
    qreal width = 0;
    bool glyphs = false;  // run holds the glyphs
    QGlyphRun run;
    // A rich Latin text: one glyph run per run of the text, each in its colour (or the pen's),
    // on one baseline at `ascent` below the line's top.
    struct Piece {
      QGlyphRun run;
      QColor color;
      bool ownColor = false;
    };
    std::vector<Piece> pieces;
    qreal ascent = 0, descent = 0;
    std::shared_ptr<QTextLayout> rich;  // any other rich text, laid out as one line
  };
  void LayOut(const CellLook& look, int width, TextLayout& out) const;
  // Draws laid-out text aligned in cell (the cell's rectangle), seen only between clipLeft and
  // clipRight (the cell itself, or the empty neighbours its text flows over).
  static void PaintText(QPainter& painter, const QRect& cell, int clipLeft, int clipRight,
                        const CellLook& look, const TextLayout& text);
  // The x at which laid-out text of a given width starts in a cell, as aligned.
  static qreal TextLeft(const QRect& cell, Qt::Alignment alignment, qreal width);
  static constexpr int kTextMargin = 2;

 private:
  struct CachedFont;
  // The Qt font of one of the engine's fonts, cached by the engine's font index.
  template <class EngineFont>
  const CachedFont& FontOf(const EngineFont& font, std::uint16_t index);
  // A rich cell's runs as character formats over the cell's font, and their glyphs.
  void RunFormats(const std::vector<engine::CellRun>& runs, CellLook& look);

  struct CachedFont {
    std::string name;
    int heightTwips = 0;
    bool bold = false, italic = false, underline = false, strikeout = false;
    QFont qfont;
    QFontMetrics metrics{QFont()};
    QRawFont raw;
    qreal ascent = 0, descent = 0;
    bool valid = false;
  };
  // A deque: the looks of a whole painted area point into it while more fonts come.
  std::deque<CachedFont> fonts_;
  engine::CellLook cell_;  // reused between reads
  std::vector<engine::CellRun> runs_;
};

}  // namespace qtui
