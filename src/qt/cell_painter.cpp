// Cell drawing shared by the grid and printing.

#include "qt/cell_painter.h"

#include <QPainter>
#include <QPen>
#include <QRect>
#include <algorithm>

#include "control/control.h"
#include "control/format/number_format.h"
#include "control/xls/biff_palette.h"

namespace qtui {

namespace {

constexpr int kTextMargin = 2;

Qt::Alignment HorizontalAlignment(engine::HAlign align, short type) {
  switch (align) {
    case engine::HAlign::Left:
      return Qt::AlignLeft;
    case engine::HAlign::Center:
    case engine::HAlign::CenterAcross:
      return Qt::AlignHCenter;
    case engine::HAlign::Right:
      return Qt::AlignRight;
    case engine::HAlign::Justify:
      return Qt::AlignJustify;
    case engine::HAlign::Fill:
    case engine::HAlign::General:
      break;
  }
  // General: numbers (and dates) to the right, logicals and errors centred, text to the left.
  const short kind = type < 0 ? static_cast<short>(-type) : type;
  if (kind == engine::kTypeNumber) return Qt::AlignRight;
  if (kind == engine::kTypeLogical || kind == engine::kTypeError) return Qt::AlignHCenter;
  return Qt::AlignLeft;
}

Qt::Alignment VerticalAlignment(engine::VAlign align) {
  switch (align) {
    case engine::VAlign::Top:
      return Qt::AlignTop;
    case engine::VAlign::Center:
    case engine::VAlign::Justify:
      return Qt::AlignVCenter;
    case engine::VAlign::Bottom:
      break;
  }
  return Qt::AlignBottom;
}

// The file format's fill patterns, as near as Qt's brushes come.
Qt::BrushStyle PatternBrush(std::uint8_t pattern) {
  switch (pattern) {
    case 1:
      return Qt::SolidPattern;
    case 2:
      return Qt::Dense4Pattern;
    case 3:
      return Qt::Dense3Pattern;
    case 4:
      return Qt::Dense5Pattern;
    case 5:
      return Qt::HorPattern;
    case 6:
      return Qt::VerPattern;
    case 7:
      return Qt::BDiagPattern;
    case 8:
      return Qt::FDiagPattern;
    case 9:
      return Qt::CrossPattern;
    case 10:
      return Qt::DiagCrossPattern;
    default:
      return Qt::Dense6Pattern;
  }
}

QPen BorderPen(const engine::Border& border) {
  QPen pen(EngineColor(border.color, Qt::black));
  pen.setCapStyle(Qt::FlatCap);
  switch (border.line) {
    case 2:  // medium
    case 8:  // medium dashed
    case 10:
    case 12:
      pen.setWidth(2);
      break;
    case 5:  // thick
    case 6:  // double
      pen.setWidth(3);
      break;
    default:
      pen.setWidth(1);
  }
  switch (border.line) {
    case 3:
    case 8:
      pen.setStyle(Qt::DashLine);
      break;
    case 4:
    case 7:
      pen.setStyle(Qt::DotLine);
      break;
    case 9:
    case 10:
      pen.setStyle(Qt::DashDotLine);
      break;
    case 11:
    case 12:
    case 13:
      pen.setStyle(Qt::DashDotDotLine);
      break;
    default:
      pen.setStyle(Qt::SolidLine);
  }
  return pen;
}

const engine::xls::Palette& DefaultPalette() {
  static const engine::xls::Palette palette;
  return palette;
}

}  // namespace

QColor EngineColor(std::uint32_t bgr, const QColor& automatic) {
  if (bgr == engine::kAutoColor) return automatic;
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

const QFont& CellPainter::FontOf(const engine::Control& control, std::uint16_t index) {
  const engine::Font& font = control.Book().Styles().GetFont(index);
  if (fonts_.size() <= index) fonts_.resize(static_cast<std::size_t>(index) + 1);
  CachedFont& cached = fonts_[index];
  if (!cached.valid || !(cached.font == font)) {
    QFont q(QString::fromStdString(font.name));
    q.setPointSizeF(font.heightTwips > 0 ? font.heightTwips / 20.0 : 10.0);
    q.setBold(font.bold);
    q.setItalic(font.italic);
    q.setUnderline(font.underline);
    q.setStrikeOut(font.strikeout);
    cached = CachedFont{font, q, QFontMetrics(q), true};
  }
  return cached.qfont;
}

CellLook CellPainter::Look(const engine::Control& control, int row, int col) {
  CellLook look;
  if (row < 1 || row > engine::kMaxRow || col < 1 || col > engine::kMaxCol) return look;
  const engine::Workbook& book = control.Book();
  const engine::Sheet& sheet = book.Active();
  const engine::Style& style = book.Styles().Get(sheet.EffectiveStyle(row, col));
  look.font = &FontOf(control, style.font);
  look.metrics = &fonts_[style.font < fonts_.size() ? style.font : 0].metrics;
  const engine::Font& font = book.Styles().GetFont(style.font);
  look.textColor = EngineColor(font.color, Qt::black);

  short type = engine::kTypeEmpty;
  try {
    const engine::CellSlot* slot = sheet.Find(row, col);
    if (slot != nullptr && slot->HasContent()) {
      look.text = QString::fromStdString(book.DisplayText(sheet, row, col));
      type = control.GetCellType(row, col);
      look.isNumber = type == engine::kTypeNumber || type == -engine::kTypeNumber;
      // Only a format with a "[…]" section can colour its value.
      const engine::format::NumberFormat& format = book.CellFormat(sheet, row, col);
      if (engine::format::FormatCode(format).find('[') != std::string::npos) {
        const int colorNumber =
            engine::format::SectionColor(format, book.GetValue(sheet, row, col));
        if (colorNumber > 0)
          look.textColor = EngineColor(
              DefaultPalette().Color(static_cast<unsigned>(colorNumber) + 7), look.textColor);
      }
    }
  } catch (...) {
    look.text.clear();
  }
  look.alignment = HorizontalAlignment(style.hAlign, type) | VerticalAlignment(style.vAlign);

  if (style.pattern != 0) {
    look.filled = true;
    look.fillPattern = PatternBrush(style.pattern);
    look.fillFore = EngineColor(style.patternFore, Qt::black);
    look.fillBack = EngineColor(style.patternBack, Qt::white);
    // A solid fill with an automatic colour shows nothing.
    if (style.pattern == 1 && style.patternFore == engine::kAutoColor) look.filled = false;
  }
  look.left = style.left;
  look.right = style.right;
  look.top = style.top;
  look.bottom = style.bottom;
  return look;
}

void CellPainter::Paint(QPainter& painter, const QRect& rect, const CellLook& look) {
  if (look.filled) {
    if (look.fillPattern != Qt::SolidPattern) painter.fillRect(rect, look.fillBack);
    painter.fillRect(rect, QBrush(look.fillFore, look.fillPattern));
  }
  if (!look.text.isEmpty()) {
    if (look.font != nullptr) painter.setFont(*look.font);
    painter.setPen(look.textColor);
    const QRect textRect = rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    const QString* text = &look.text;
    QString hashes;
    // Measured only when it may not fit: a number that does not fit shows as "####".
    if (look.isNumber && look.metrics != nullptr &&
        look.text.size() * look.metrics->maxWidth() > textRect.width() &&
        look.metrics->horizontalAdvance(look.text) > textRect.width()) {
      const int hash = std::max(1, look.metrics->horizontalAdvance(QLatin1Char('#')));
      hashes = QString(std::max(1, textRect.width() / hash), QLatin1Char('#'));
      text = &hashes;
    }
    // drawText clips a text wider than the rectangle by itself.
    painter.drawText(textRect, static_cast<int>(look.alignment) | Qt::TextSingleLine, *text);
  }
  const auto edge = [&](const engine::Border& border, QPoint from, QPoint to) {
    if (border.line == 0) return;
    painter.save();
    painter.setPen(BorderPen(border));
    painter.drawLine(from, to);
    painter.restore();
  };
  edge(look.top, rect.topLeft(), rect.topRight());
  edge(look.bottom, rect.bottomLeft(), rect.bottomRight());
  edge(look.left, rect.topLeft(), rect.bottomLeft());
  edge(look.right, rect.topRight(), rect.bottomRight());
}

}  // namespace qtui
