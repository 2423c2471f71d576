// Cell drawing shared by the grid and printing.

#include "qt/cell_painter.h"

#include <QPainter>
#include <QPen>
#include <QRect>
#include <algorithm>

#include "control/control.h"

namespace qtui {

namespace {

constexpr int kTextMargin = CellPainter::kTextMargin;

// Text that needs no shaping: Latin, Greek and Cyrillic letters, digits and signs, without
// combining marks, control characters or right-to-left scripts.
bool PlainText(const QString& text) {
  for (const QChar ch : text) {
    const char16_t u = ch.unicode();
    if (u < 0x20 || (u >= 0x7F && u < 0xA0) || u >= 0x0590 || (u >= 0x0300 && u < 0x0370))
      return false;
  }
  return true;
}

Qt::Alignment HorizontalAlignment(engine::CellLook::HAlign align, short type) {
  switch (align) {
    case engine::CellLook::HAlign::Left:
      return Qt::AlignLeft;
    case engine::CellLook::HAlign::Center:
    case engine::CellLook::HAlign::CenterAcross:
      return Qt::AlignHCenter;
    case engine::CellLook::HAlign::Right:
      return Qt::AlignRight;
    case engine::CellLook::HAlign::Justify:
      return Qt::AlignJustify;
    case engine::CellLook::HAlign::Fill:
    case engine::CellLook::HAlign::General:
      break;
  }
  // General: numbers (and dates) to the right, logicals and errors centred, text to the left.
  const short kind = type < 0 ? static_cast<short>(-type) : type;
  if (kind == engine::kTypeNumber) return Qt::AlignRight;
  if (kind == engine::kTypeLogical || kind == engine::kTypeError) return Qt::AlignHCenter;
  return Qt::AlignLeft;
}

Qt::Alignment VerticalAlignment(engine::CellLook::VAlign align) {
  switch (align) {
    case engine::CellLook::VAlign::Top:
      return Qt::AlignTop;
    case engine::CellLook::VAlign::Center:
    case engine::CellLook::VAlign::Justify:
      return Qt::AlignVCenter;
    case engine::CellLook::VAlign::Bottom:
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

QPen BorderPen(const engine::CellLook::Edge& border) {
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

// The glyphs of Latin text in a raw font, placed from x on (x moves past them); false when the
// font lacks one of them.
bool Glyphs(const QRawFont& raw, const QFont* font, const QString& text, qreal& x, QGlyphRun& out) {
  if (!raw.isValid()) return false;
  const QList<quint32> glyphs = raw.glyphIndexesForString(text);
  if (glyphs.size() != text.size()) return false;
  for (const quint32 g : glyphs)
    if (g == 0) return false;
  const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances);
  QList<QPointF> positions;
  positions.reserve(advances.size());
  for (const QPointF& a : advances) {
    positions.append(QPointF(x, 0));
    x += a.x();
  }
  out.setRawFont(raw);
  out.setGlyphIndexes(glyphs);
  out.setPositions(positions);
  if (font != nullptr) {
    out.setUnderline(font->underline());
    out.setStrikeOut(font->strikeOut());
  }
  return true;
}

// The baseline of a line of text in a cell, where Qt's one-line layout puts it.
qreal Baseline(const QRect& cell, Qt::Alignment alignment, qreal ascent, qreal descent) {
  const qreal height = ascent + descent;
  qreal top = cell.top();
  if (alignment & Qt::AlignBottom)
    top += cell.height() - height;
  else if (alignment & Qt::AlignVCenter)
    top += (cell.height() - height) / 2;
  return top + ascent;
}

// A rich Latin text as glyph runs, piece by piece in the runs' fonts (the text before the first
// run in the cell's own), as a plain text is drawn. False when a piece needs Qt's text layout.
bool LayOutPieces(const CellLook& look, CellPainter::TextLayout& out) {
  if (!PlainText(look.text) || look.runFaces.size() != look.runs.size()) return false;
  qreal x = 0;
  out.ascent = out.descent = 0;
  const auto piece = [&](int from, int to, const QRawFont* raw, const QFont* font, qreal ascent,
                         qreal descent, const QTextCharFormat* format) {
    if (to <= from) return true;
    CellPainter::TextLayout::Piece p;
    if (raw == nullptr || !Glyphs(*raw, font, look.text.mid(from, to - from), x, p.run))
      return false;
    if (format != nullptr && format->hasProperty(QTextFormat::ForegroundBrush)) {
      p.color = format->foreground().color();
      p.ownColor = true;
    }
    out.pieces.push_back(std::move(p));
    out.ascent = std::max(out.ascent, ascent);
    out.descent = std::max(out.descent, descent);
    return true;
  };
  if (!piece(0, look.runs.front().start, look.rawFont, look.font, look.ascent, look.descent,
             nullptr))
    return false;
  for (qsizetype k = 0; k < look.runs.size(); ++k) {
    const QTextLayout::FormatRange& r = look.runs[k];
    const CellLook::RunFace& face = look.runFaces[k];
    if (!piece(r.start, r.start + r.length, face.rawFont, face.font, face.ascent, face.descent,
               &r.format))
      return false;
  }
  out.width = x;
  return true;
}

// A rich text as one line of Qt's text layout: its runs over the cell's font. Line breaks show
// as spaces, as a plain cell's one line shows them.
std::shared_ptr<QTextLayout> RichLine(const CellLook& look, QPaintDevice* device) {
  QString text = look.text;
  for (QChar& ch : text)
    if (ch == QLatin1Char('\n') || ch == QLatin1Char('\r')) ch = QLatin1Char(' ');
  auto layout = std::make_shared<QTextLayout>(text, look.font != nullptr ? *look.font : QFont(),
                                              device);
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  layout->setTextOption(option);
  layout->setFormats(look.runs);
  layout->beginLayout();
  QTextLine line = layout->createLine();
  if (line.isValid()) line.setLineWidth(1 << 20);
  layout->endLayout();
  return layout;
}

qreal RichWidth(const QTextLayout& layout) {
  return layout.lineCount() > 0 ? layout.lineAt(0).naturalTextWidth() : 0;
}

// Draws a laid-out rich line from x = left, placed in the cell as its vertical alignment says.
void DrawRich(QPainter& painter, const QRect& cell, const CellLook& look, const QTextLayout& layout,
              qreal left) {
  if (layout.lineCount() == 0) return;
  const qreal height = layout.lineAt(0).height();
  qreal top = cell.top();
  if (look.alignment & Qt::AlignBottom)
    top += cell.height() - height;
  else if (look.alignment & Qt::AlignVCenter)
    top += (cell.height() - height) / 2;
  painter.setPen(look.textColor);
  layout.draw(&painter, QPointF(left, top));
}

}  // namespace

QColor EngineColor(std::uint32_t bgr, const QColor& automatic) {
  if (bgr == engine::CellLook::kAutoColor) return automatic;
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

template <class EngineFont>
const CellPainter::CachedFont& CellPainter::FontOf(const EngineFont& cell, std::uint16_t index) {
  if (fonts_.size() <= index) fonts_.resize(index + 1);
  CachedFont& cached = fonts_[index];
  if (!cached.valid || cached.name != cell.fontName || cached.heightTwips != cell.fontHeightTwips ||
      cached.bold != cell.bold || cached.italic != cell.italic ||
      cached.underline != cell.underline || cached.strikeout != cell.strikeout) {
    QFont q(QString::fromStdString(cell.fontName));
    q.setPointSizeF(cell.fontHeightTwips > 0 ? cell.fontHeightTwips / 20.0 : 10.0);
    q.setBold(cell.bold);
    q.setItalic(cell.italic);
    q.setUnderline(cell.underline);
    q.setStrikeOut(cell.strikeout);
    cached.name = cell.fontName;
    cached.heightTwips = cell.fontHeightTwips;
    cached.bold = cell.bold;
    cached.italic = cell.italic;
    cached.underline = cell.underline;
    cached.strikeout = cell.strikeout;
    cached.qfont = q;
    cached.metrics = QFontMetrics(q);
    const QFontMetricsF exact(q);
    cached.ascent = exact.ascent();
    cached.descent = exact.descent();
    cached.raw = QRawFont::fromFont(q);
    cached.valid = true;
  }
  return cached;
}

void CellPainter::RunFormats(const std::vector<engine::CellRun>& runs, CellLook& look) {
  const qsizetype length = look.text.size();
  for (std::size_t k = 0; k < runs.size(); ++k) {
    const qsizetype from = std::min<qsizetype>(runs[k].at, length);
    const qsizetype to = k + 1 < runs.size() ? std::min<qsizetype>(runs[k + 1].at, length) : length;
    if (to <= from) continue;
    QTextLayout::FormatRange range;
    range.start = static_cast<int>(from);
    range.length = static_cast<int>(to - from);
    const CachedFont& font = FontOf(runs[k], runs[k].fontIndex);
    range.format.setFont(font.qfont);
    // An automatic colour is the pen's: the cell's text colour.
    if (runs[k].fontColor != engine::CellLook::kAutoColor)
      range.format.setForeground(EngineColor(runs[k].fontColor, Qt::black));
    look.runs.append(range);
    look.runFaces.append(CellLook::RunFace{&font.raw, &font.qfont, font.ascent, font.descent});
  }
}

CellLook CellPainter::Look(const engine::Control& control, int row, int col) {
  CellLook look;
  if (row < 1 || row > engine::kMaxRow || col < 1 || col > engine::kMaxCol) return look;
  try {
    control.GetCellLook(row, col, cell_);
  } catch (...) {
    return look;
  }
  const CachedFont& cached = FontOf(cell_, cell_.fontIndex);
  look.font = &cached.qfont;
  look.metrics = &cached.metrics;
  look.rawFont = &cached.raw;
  look.ascent = cached.ascent;
  look.descent = cached.descent;
  look.textColor = EngineColor(cell_.fontColor, Qt::black);
  look.type = cell_.type;
  if (!cell_.text.empty()) {
    look.text = QString::fromStdString(cell_.text);
    look.isNumber = cell_.type == engine::kTypeNumber || cell_.type == -engine::kTypeNumber;
    look.textColor = EngineColor(cell_.formatColor, look.textColor);
    if (cell_.type == engine::kTypeText) {
      engine::GetCellRuns(control, row, col, runs_);
      if (!runs_.empty()) RunFormats(runs_, look);
    }
  }
  look.alignment = HorizontalAlignment(cell_.hAlign, cell_.type) | VerticalAlignment(cell_.vAlign);
  if (cell_.pattern != 0) {
    look.filled = true;
    look.fillPattern = PatternBrush(cell_.pattern);
    look.fillFore = EngineColor(cell_.patternFore, Qt::black);
    look.fillBack = EngineColor(cell_.patternBack, Qt::white);
    // A solid fill with an automatic colour shows nothing.
    if (cell_.pattern == 1 && cell_.patternFore == engine::CellLook::kAutoColor)
      look.filled = false;
  }
  look.left = cell_.left;
  look.right = cell_.right;
  look.top = cell_.top;
  look.bottom = cell_.bottom;
  return look;
}

void CellPainter::PaintFill(QPainter& painter, const QRect& rect, const CellLook& look) {
  if (!look.filled) return;
  if (look.fillPattern == Qt::SolidPattern) {
    painter.fillRect(rect, look.fillFore);
    return;
  }
  painter.fillRect(rect, look.fillBack);
  painter.fillRect(rect, QBrush(look.fillFore, look.fillPattern));
}

void CellPainter::LayOut(const CellLook& look, int width, TextLayout& out) const {
  out.text = look.text;
  out.glyphs = false;
  out.width = 0;
  out.rich.reset();
  out.pieces.clear();
  if (look.text.isEmpty()) return;
  if (!look.runs.isEmpty()) {
    if (LayOutPieces(look, out)) return;
    out.pieces.clear();
    out.rich = RichLine(look, nullptr);
    out.width = RichWidth(*out.rich);
    return;
  }
  for (int pass = 0; pass < 2; ++pass) {
    if (look.rawFont != nullptr && PlainText(out.text)) {
      qreal x = 0;
      out.glyphs = Glyphs(*look.rawFont, look.font, out.text, x, out.run);
      if (out.glyphs) out.width = x;
    }
    if (!out.glyphs && look.metrics != nullptr)
      out.width = look.metrics->horizontalAdvance(out.text);
    // A number that does not fit shows as "####" across the cell.
    if (pass == 1 || !look.isNumber || out.width <= width) return;
    const int hash = std::max(
        1, look.metrics != nullptr ? look.metrics->horizontalAdvance(QLatin1Char('#')) : 1);
    out.text = QString(std::max(1, width / hash), QLatin1Char('#'));
    out.glyphs = false;
  }
}

qreal CellPainter::TextLeft(const QRect& cell, Qt::Alignment alignment, qreal width) {
  const QRect r = cell.adjusted(kTextMargin, 0, -kTextMargin, 0);
  if (alignment & Qt::AlignRight) return r.x() + (r.width() - width);
  if (alignment & Qt::AlignHCenter) return r.x() + (r.width() - width) / 2;
  return r.x();
}

void CellPainter::PaintText(QPainter& painter, const QRect& cell, int clipLeft, int clipRight,
                            const CellLook& look, const TextLayout& text) {
  if (text.text.isEmpty()) return;
  const qreal left = TextLeft(cell, look.alignment, text.width);
  const bool clip =
      left < clipLeft + kTextMargin || left + text.width > clipRight - kTextMargin + 1;
  if (clip) {
    painter.save();
    painter.setClipRect(QRect(clipLeft + kTextMargin, cell.top(),
                              clipRight - clipLeft + 1 - 2 * kTextMargin, cell.height()),
                        Qt::IntersectClip);
  }
  painter.setPen(look.textColor);
  if (!text.pieces.empty()) {
    const QPointF baseline(left, Baseline(cell, look.alignment, text.ascent, text.descent));
    for (const TextLayout::Piece& piece : text.pieces) {
      painter.setPen(piece.ownColor ? piece.color : look.textColor);
      painter.drawGlyphRun(baseline, piece.run);
    }
  } else if (text.rich) {
    DrawRich(painter, cell, look, *text.rich, left);
  } else if (text.glyphs) {
    painter.drawGlyphRun(QPointF(left, Baseline(cell, look.alignment, look.ascent, look.descent)),
                         text.run);
  } else {
    if (look.font != nullptr) painter.setFont(*look.font);
    const QRectF line(left, cell.top(), text.width + 1, cell.height());
    painter.drawText(line,
                     static_cast<int>(look.alignment & Qt::AlignVertical_Mask) | Qt::AlignLeft |
                         Qt::TextSingleLine | Qt::TextDontClip,
                     text.text);
  }
  if (clip) painter.restore();
}

void CellPainter::PaintBorders(QPainter& painter, const QRect& rect, const CellLook& look) {
  const auto edge = [&](const engine::CellLook::Edge& border, QPoint from, QPoint to) {
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

void CellPainter::Paint(QPainter& painter, const QRect& rect, const CellLook& look) {
  if (look.filled) {
    if (look.fillPattern != Qt::SolidPattern) painter.fillRect(rect, look.fillBack);
    painter.fillRect(rect, QBrush(look.fillFore, look.fillPattern));
  }
  if (!look.runs.isEmpty() && !look.text.isEmpty()) {
    const QRect textRect = rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    const auto layout = RichLine(look, painter.device());
    painter.save();
    painter.setClipRect(textRect, Qt::IntersectClip);
    DrawRich(painter, rect, look, *layout, TextLeft(rect, look.alignment, RichWidth(*layout)));
    painter.restore();
  } else if (!look.text.isEmpty()) {
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
  const auto edge = [&](const engine::CellLook::Edge& border, QPoint from, QPoint to) {
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
