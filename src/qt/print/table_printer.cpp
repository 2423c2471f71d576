#include "qt/print/table_printer.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <utility>

#include "control/engine_error.h"
#include "control/limits.h"
#include "control/sheet_features.h"
#include "qt/cell_painter.h"
#include "qt/print/header_footer.h"

namespace qtui {
namespace {

// The grid's geometry at screen resolution: a row is 20 pixels, a column a count of 1/256 of
// the default font's digit width plus 5.
constexpr int kScreenDpi = 96;
constexpr int kGridRowHeight = 20;
constexpr int kGridTextMargin = 2;  // each side of a cell's text
// A page setup's scale runs from 10% to 400%; fitting to pages never enlarges.
constexpr double kMinScale = 0.10, kMaxScale = 4.00;

int GridPixelWidth(int width) {
  const int digit =
      std::max(1, QFontMetrics(QApplication::font()).horizontalAdvance(QLatin1Char('0')));
  return static_cast<int>(std::lround(width / 256.0 * digit)) + 5;
}

int Scaled(int screenPixels, int dpi) {
  return std::max(1, static_cast<int>(std::lround(screenPixels * double(dpi) / kScreenDpi)));
}

// The column's name in the headings: A … Z, AA … .
QString ColumnLetters(int col) {
  QString s;
  for (int c = col; c > 0; c = (c - 1) / 26) s.prepend(QChar(u'A' + (c - 1) % 26));
  return s;
}

// Sheet lines (rows or columns) cut into pages of at most `room` device pixels each: the title
// lines head every page after the one that holds them (when they leave room for more), and a
// manual break starts a page. Every page holds at least one line that is not a repeated title.
std::vector<std::vector<int>> CutLines(const std::vector<int>& lines,
                                       const std::vector<int>& titles,
                                       const std::vector<int>& breaks, const std::vector<int>& size,
                                       int room) {
  auto sizeOf = [&](int line) { return size.empty() ? 1 : size[static_cast<std::size_t>(line)]; };
  int titleSize = 0;
  for (int t : titles) titleSize += sizeOf(t);
  const bool repeat = !titles.empty() && titleSize < room && lines.size() > titles.size();
  std::vector<int> starts = breaks;
  std::sort(starts.begin(), starts.end());
  std::vector<std::vector<int>> pages;
  std::size_t i = 0;
  while (i < lines.size()) {
    std::vector<int> page;
    int used = 0;
    if (repeat && lines[i] > titles.back()) {
      page = titles;
      used = titleSize;
    }
    const std::size_t own = page.size();
    while (i < lines.size()) {
      const int line = lines[i];
      if (page.size() > own &&
          (used + sizeOf(line) > room || std::binary_search(starts.begin(), starts.end(), line)))
        break;
      page.push_back(line);
      used += sizeOf(line);
      ++i;
    }
    pages.push_back(std::move(page));
  }
  return pages;
}

struct AreaPages {
  std::vector<std::vector<int>> blocks, bands;
};

// The geometry of the sheet that does not depend on the scale.
struct SheetLines {
  std::vector<engine::CellRange> areas;
  std::vector<int> titleRows, titleCols;
  PrintLayout base;  // column widths, row height, headings
};

SheetLines ReadSheet(const engine::Control& control, int dpi) {
  SheetLines s;
  const int lastRow = control.GetLastRow();
  const int lastCol = control.GetLastCol();
  if (lastRow < 1 || lastCol < 1) return s;
  const engine::PageSetup& setup = control.GetSheetFeatures().page;
  s.base.rowHeight = Scaled(kGridRowHeight, dpi);
  s.base.colWidth.assign(static_cast<std::size_t>(lastCol) + 1, 0);
  s.base.screenWidth.assign(static_cast<std::size_t>(lastCol) + 1, 0);
  for (int c = 1; c <= lastCol; ++c)
    if (!control.GetColumnHidden(c)) {
      s.base.screenWidth[c] = GridPixelWidth(control.GetColumnWidth(c));
      s.base.colWidth[c] = Scaled(s.base.screenWidth[c], dpi);
    }

  // The print area, cut to the used range (an area of whole columns would otherwise print
  // tens of thousands of empty rows); without one, the used range.
  for (engine::CellRange area : setup.printArea) {
    area.row1 = std::max(area.row1, 1);
    area.col1 = std::max(area.col1, 1);
    area.row2 = std::min(area.row2, lastRow);
    area.col2 = std::min(area.col2, lastCol);
    if (area.row1 <= area.row2 && area.col1 <= area.col2) s.areas.push_back(area);
  }
  if (s.areas.empty()) {
    if (!setup.printArea.empty()) return s;  // the area holds nothing that is used
    s.areas.push_back(engine::CellRange{1, 1, lastRow, lastCol});
  }

  // The sheet's print titles; without title rows, the first row when it is printed (the names
  // row of a printout from the menu).
  if (setup.titleRow1 >= 1 && setup.titleRow2 >= setup.titleRow1) {
    for (int r = setup.titleRow1; r <= std::min(setup.titleRow2, lastRow); ++r)
      if (!control.GetRowHidden(r)) s.titleRows.push_back(r);
  } else if (s.areas.front().row1 == 1 && !control.GetRowHidden(1)) {
    s.titleRows.push_back(1);
  }
  if (setup.titleCol1 >= 1 && setup.titleCol2 >= setup.titleCol1)
    for (int c = setup.titleCol1; c <= std::min(setup.titleCol2, lastCol); ++c)
      if (s.base.colWidth[c] > 0) s.titleCols.push_back(c);

  if (setup.printHeadings) {
    const QFontMetrics metrics(QApplication::font());
    s.base.headingWidth = Scaled(metrics.horizontalAdvance(QString::number(lastRow)) + 12, dpi);
    s.base.headingHeight = s.base.rowHeight;
  }
  return s;
}

// The pages at one scale; `across` and `down` give the most bands and blocks of any area.
PrintLayout LayoutAt(const engine::Control& control, const SheetLines& sheet, double scale,
                     int pageWidth, int pageHeight, bool manualBreaks, int* across, int* down) {
  const engine::PageSetup& setup = control.GetSheetFeatures().page;
  PrintLayout layout = sheet.base;
  layout.scale = scale;
  const int width = std::max(1, static_cast<int>(pageWidth / scale) - layout.headingWidth);
  const int height = std::max(1, static_cast<int>(pageHeight / scale) - layout.headingHeight);
  // A column wider than the page is printed at the page's width (its text is clipped there).
  for (int& w : layout.colWidth) w = std::min(w, width);
  const std::vector<int> none;
  *across = *down = 0;
  for (const engine::CellRange& area : sheet.areas) {
    std::vector<int> rows, cols;
    for (int r = area.row1; r <= area.row2; ++r)
      if (!control.GetRowHidden(r)) rows.push_back(r);
    for (int c = area.col1; c <= area.col2; ++c)
      if (layout.colWidth[c] > 0) cols.push_back(c);
    if (rows.empty() || cols.empty()) continue;
    // Title lines that the area does not hold still head its pages, before its own lines.
    std::vector<int> titleRows, titleCols;
    for (int r : sheet.titleRows)
      if (r <= rows.front() || (r >= area.row1 && r <= area.row2)) titleRows.push_back(r);
    for (int c : sheet.titleCols)
      if (c <= cols.front() || (c >= area.col1 && c <= area.col2)) titleCols.push_back(c);
    if (!titleRows.empty() && titleRows.front() < rows.front()) {
      std::vector<int> head;
      for (int r : titleRows)
        if (r < rows.front()) head.push_back(r);
      rows.insert(rows.begin(), head.begin(), head.end());
    }
    if (!titleCols.empty() && titleCols.front() < cols.front()) {
      std::vector<int> head;
      for (int c : titleCols)
        if (c < cols.front()) head.push_back(c);
      cols.insert(cols.begin(), head.begin(), head.end());
    }
    const auto blocks = CutLines(rows, titleRows, manualBreaks ? setup.rowBreaks : none,
                                 std::vector<int>(), height / layout.rowHeight);
    const auto bands =
        CutLines(cols, titleCols, manualBreaks ? setup.colBreaks : none, layout.colWidth, width);
    *down = std::max(*down, static_cast<int>(blocks.size()));
    *across = std::max(*across, static_cast<int>(bands.size()));
    if (setup.leftToRight) {  // over, then down
      for (const auto& block : blocks)
        for (const auto& band : bands) layout.pages.push_back(PrintPage{block, band, 0});
    } else {  // down, then over
      for (const auto& band : bands)
        for (const auto& block : blocks) layout.pages.push_back(PrintPage{block, band, 0});
    }
  }
  return layout;
}

// The printer's paper codes and Qt's sizes.
struct PaperEntry {
  int code;
  QPageSize::PageSizeId id;
};
constexpr std::array<PaperEntry, 37> kPapers{{
    {1, QPageSize::Letter},
    {2, QPageSize::Letter},
    {3, QPageSize::Tabloid},
    {4, QPageSize::Ledger},
    {5, QPageSize::Legal},
    {6, QPageSize::Statement},
    {7, QPageSize::Executive},
    {8, QPageSize::A3},
    {9, QPageSize::A4},
    {10, QPageSize::A4},
    {11, QPageSize::A5},
    {12, QPageSize::JisB4},
    {13, QPageSize::JisB5},
    {15, QPageSize::Quarto},
    {16, QPageSize::Imperial10x14},
    {18, QPageSize::Note},
    {19, QPageSize::Envelope9},
    {20, QPageSize::Comm10E},
    {21, QPageSize::Envelope11},
    {22, QPageSize::Envelope12},
    {23, QPageSize::Envelope14},
    {24, QPageSize::AnsiC},
    {25, QPageSize::AnsiD},
    {26, QPageSize::AnsiE},
    {27, QPageSize::DLE},
    {28, QPageSize::C5E},
    {29, QPageSize::EnvelopeC3},
    {30, QPageSize::EnvelopeC4},
    {31, QPageSize::EnvelopeC6},
    {32, QPageSize::EnvelopeC65},
    {33, QPageSize::B4},
    {34, QPageSize::B5},
    {36, QPageSize::EnvelopeItalian},
    {37, QPageSize::EnvelopeMonarch},
    {38, QPageSize::EnvelopePersonal},
    {39, QPageSize::FanFoldUS},
    {40, QPageSize::FanFoldGerman},
}};

// A run's font: the default face and size unless the run chooses its own.
QFont RunFont(const HeaderFooterRun& run, const QFont& base) {
  QFont font = base;
  if (!run.family.isEmpty()) font.setFamily(run.family);
  if (run.points > 0) font.setPointSizeF(run.points);
  font.setBold(run.bold);
  font.setItalic(run.italic);
  font.setUnderline(run.underline);
  font.setStrikeOut(run.strikeOut);
  return font;
}

// Draws one section in [left, right] on one baseline: top-aligned at y (header) or
// bottom-aligned at y (footer).
void DrawSection(QPainter& painter, const HeaderFooterSection& section, const QFont& base, int left,
                 int right, int y, bool fromBottom, HeaderFooterPart part) {
  if (section.empty()) return;
  qreal width = 0, ascent = 0, descent = 0;
  std::vector<QFont> fonts;
  for (const HeaderFooterRun& run : section) {
    fonts.push_back(RunFont(run, base));
    const QFontMetricsF metrics(fonts.back(), painter.device());
    width += metrics.horizontalAdvance(run.text);
    ascent = std::max(ascent, metrics.ascent());
    descent = std::max(descent, metrics.descent());
  }
  qreal x = part == kLeftSection    ? left
            : part == kRightSection ? right - width
                                    : (left + right - width) / 2;
  const qreal baseline = fromBottom ? y - descent : y + ascent;
  for (std::size_t i = 0; i < section.size(); ++i) {
    painter.setFont(fonts[i]);
    painter.drawText(QPointF(x, baseline), section[i].text);
    x += QFontMetricsF(fonts[i], painter.device()).horizontalAdvance(section[i].text);
  }
}

// The header and footer of one page, in paper coordinates.
void PaintHeaderFooter(QPainter& painter, const QRect& paper, const QMargins& margins, int dpi,
                       const engine::Control& control, const HeaderFooterFields& fields) {
  const engine::PageSetup& setup = control.GetSheetFeatures().page;
  if (setup.header.empty() && setup.footer.empty()) return;
  QFont base(QString::fromStdString(control.Locale().defaultFontFace));
  base.setPointSize(std::clamp(control.Locale().defaultFontSize, 1, 409));
  painter.save();
  painter.setPen(Qt::black);
  const int left = paper.left() + margins.left();
  const int right = paper.right() - margins.right();
  const auto inches = [dpi](double v) {
    return static_cast<int>(std::lround(std::clamp(v, 0.0, 50.0) * dpi));
  };
  for (bool footer : {false, true}) {
    const std::string& code = footer ? setup.footer : setup.header;
    if (code.empty()) continue;
    const auto sections = ExpandHeaderFooter(code, fields);
    const int y = footer ? paper.bottom() - inches(setup.footerMargin)
                         : paper.top() + inches(setup.headerMargin);
    for (int part : {kLeftSection, kCenterSection, kRightSection})
      DrawSection(painter, sections[static_cast<std::size_t>(part)], base, left, right, y, footer,
                  static_cast<HeaderFooterPart>(part));
  }
  painter.restore();
}

// A formatted number the grid shows as "#" because it is wider than its column prints as "#"
// across the cell too, decided as the grid decides it (in screen pixels), so that it does not
// run into its neighbour. A number in the General format prints whole, as a spreadsheet shows
// it with the digits that fit: the printout keeps the value.
bool IsGeneral(const std::string& code) {
  return code.empty() ||
         QString::fromStdString(code).compare(QLatin1String("General"), Qt::CaseInsensitive) == 0;
}

void HashAsTheGridDoes(QPainter& painter, const QRect& rect, int screenWidth,
                       const engine::Control& control, int row, int col, CellLook& look) {
  if (!look.isNumber || look.metrics == nullptr || look.text.isEmpty()) return;
  if (IsGeneral(control.GetCellFormatCode(row, col))) return;
  if (look.metrics->horizontalAdvance(look.text) <= screenWidth - 2 * kGridTextMargin) return;
  const QFontMetricsF printed(look.font != nullptr ? *look.font : painter.font(), painter.device());
  const qreal hash = std::max<qreal>(1, printed.horizontalAdvance(QLatin1Char('#')));
  look.text = QString(std::max(1, static_cast<int>(rect.width() * 0.95 / hash)), QLatin1Char('#'));
}

// The cells of one page with their headings and gridlines, from the painter's origin.
void PaintCells(QPainter& painter, const PrintLayout& layout, const PrintPage& page,
                const engine::Control& control, CellPainter& cells) {
  const engine::PageSetup& setup = control.GetSheetFeatures().page;
  const int x0 = layout.headingWidth, y0 = layout.headingHeight;
  int width = 0;
  for (int c : page.cols) width += layout.colWidth[c];
  const int height = layout.rowHeight * static_cast<int>(page.rows.size());

  if (layout.headingWidth > 0) {
    QFont font = QApplication::font();
    painter.save();
    painter.setFont(font);
    painter.setPen(QPen(QColor(128, 128, 128), 0));
    const auto heading = [&](const QRect& rect, const QString& text) {
      painter.fillRect(rect, QColor(235, 235, 235));
      painter.drawRect(rect);
      painter.save();
      painter.setPen(Qt::black);
      painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, text);
      painter.restore();
    };
    heading(QRect(0, 0, x0, y0), QString());
    int x = x0;
    for (int c : page.cols) {
      heading(QRect(x, 0, layout.colWidth[c], y0), ColumnLetters(c));
      x += layout.colWidth[c];
    }
    int y = y0;
    for (int r : page.rows) {
      heading(QRect(0, y, x0, layout.rowHeight), QString::number(r));
      y += layout.rowHeight;
    }
    painter.restore();
  }

  // With gridlines: fills first, the lines over them, then text and borders on top.
  std::vector<qtui::CellLook> looks;
  if (setup.printGridlines) looks.reserve(page.rows.size() * page.cols.size());
  int y = y0;
  for (int r : page.rows) {
    int x = x0;
    for (int c : page.cols) {
      const QRect rect(x, y, layout.colWidth[c], layout.rowHeight);
      qtui::CellLook look = cells.Look(control, r, c);
      HashAsTheGridDoes(painter, rect, layout.screenWidth[static_cast<std::size_t>(c)], control, r,
                        c, look);
      if (!setup.printGridlines) {
        CellPainter::Paint(painter, rect, look);
      } else {
        if (look.filled) {
          qtui::CellLook fill;
          fill.filled = true;
          fill.fillFore = look.fillFore;
          fill.fillBack = look.fillBack;
          fill.fillPattern = look.fillPattern;
          CellPainter::Paint(painter, rect, fill);
          look.filled = false;
        }
        looks.push_back(std::move(look));
      }
      x += layout.colWidth[c];
    }
    y += layout.rowHeight;
  }
  if (!setup.printGridlines) return;
  painter.save();
  painter.setPen(QPen(QColor(160, 160, 160), 0));
  int x = x0;
  painter.drawLine(x, y0, x, y0 + height);
  for (int c : page.cols) {
    x += layout.colWidth[c];
    painter.drawLine(x, y0, x, y0 + height);
  }
  for (int i = 0; i <= static_cast<int>(page.rows.size()); ++i)
    painter.drawLine(x0, y0 + i * layout.rowHeight, x0 + width, y0 + i * layout.rowHeight);
  painter.restore();
  std::size_t k = 0;
  y = y0;
  for (std::size_t i = 0; i < page.rows.size(); ++i) {
    x = x0;
    for (int c : page.cols) {
      CellPainter::Paint(painter, QRect(x, y, layout.colWidth[c], layout.rowHeight), looks[k++]);
      x += layout.colWidth[c];
    }
    y += layout.rowHeight;
  }
}

}  // namespace

PrintLayout LayoutActiveSheet(const engine::Control& control, int pageWidth, int pageHeight,
                              int dpi) {
  const SheetLines sheet = ReadSheet(control, dpi);
  if (sheet.areas.empty()) return sheet.base;
  const engine::PageSetup& setup = control.GetSheetFeatures().page;
  pageWidth = std::max(1, pageWidth);
  pageHeight = std::max(1, pageHeight);
  int across = 0, down = 0;
  if (!setup.fitToPage) {
    const double scale = std::clamp(setup.scale / 100.0, kMinScale, kMaxScale);
    PrintLayout layout =
        LayoutAt(control, sheet, scale, pageWidth, pageHeight, true, &across, &down);
    const int first = setup.usePageNumber ? setup.firstPage : 1;
    for (std::size_t i = 0; i < layout.pages.size(); ++i)
      layout.pages[i].number = first + static_cast<int>(i);
    return layout;
  }
  // Fit to pages wide and tall (0: as many as it takes): the largest scale up to 100% whose
  // pages keep to both, or the smallest scale when none does. Manual breaks give way.
  const int wide = std::max(0, setup.fitWidth), tall = std::max(0, setup.fitHeight);
  const auto fits = [&] { return (wide == 0 || across <= wide) && (tall == 0 || down <= tall); };
  PrintLayout best = LayoutAt(control, sheet, 1.0, pageWidth, pageHeight, false, &across, &down);
  if (!fits()) {
    double lo = kMinScale, hi = 1.0;
    best = LayoutAt(control, sheet, lo, pageWidth, pageHeight, false, &across, &down);
    if (fits()) {
      // The largest fitting scale to within a tenth of a percent.
      while (hi - lo > 0.001) {
        const double mid = (lo + hi) / 2;
        PrintLayout trial =
            LayoutAt(control, sheet, mid, pageWidth, pageHeight, false, &across, &down);
        if (fits()) {
          lo = mid;
          best = std::move(trial);
        } else {
          hi = mid;
        }
      }
    }
  }
  const int first = setup.usePageNumber ? setup.firstPage : 1;
  for (std::size_t i = 0; i < best.pages.size(); ++i)
    best.pages[i].number = first + static_cast<int>(i);
  return best;
}

int PaintActiveSheet(QPainter& painter, QPrinter& printer, const engine::Control& control,
                     int pagesBefore, const PrintJob& job) {
  const int dpi = printer.resolution();
  const QPageLayout pageLayout = printer.pageLayout();
  const QRect paint = pageLayout.paintRectPixels(dpi);
  const QRect paper = pageLayout.fullRectPixels(dpi);
  const PrintLayout layout = LayoutActiveSheet(control, paint.width(), paint.height(), dpi);
  const engine::PageSetup& setup = control.GetSheetFeatures().page;
  const int count = static_cast<int>(layout.pages.size());
  const int from = job.fromPage > 0 ? std::min(job.fromPage, count + 1) : 1;
  const int to = job.toPage > 0 ? std::min(job.toPage, count) : count;

  HeaderFooterFields fields;
  fields.pages = count;
  fields.now = job.now;
  fields.sheet = QString::fromStdString(control.GetSheetName(control.GetActiveSheet()));
  if (!control.DocumentName().empty()) {
    const QFileInfo file(QString::fromStdString(control.DocumentName()));
    fields.file = file.fileName();
    if (control.DocumentName().find('/') != std::string::npos)
      fields.folder = file.path() + QLatin1Char('/');
  }
  // The painter's origin is the printable area's corner unless the printer prints the full page.
  const QPoint paperOrigin = printer.fullPage() ? QPoint(0, 0) : paper.topLeft() - paint.topLeft();
  const QRect paperRect(paperOrigin, paper.size());
  const QMargins margins(paint.left() - paper.left(), paint.top() - paper.top(),
                         paper.right() - paint.right(), paper.bottom() - paint.bottom());
  const QPoint printable = printer.fullPage() ? QPoint(margins.left(), margins.top()) : QPoint();

  CellPainter cells;
  int printed = 0;
  const int copies = std::max(1, job.copies);
  const int outer = job.collate ? copies : 1, inner = job.collate ? 1 : copies;
  for (int copy = 0; copy < outer; ++copy) {
    for (int p = from; p <= to; ++p) {
      const PrintPage& page = layout.pages[static_cast<std::size_t>(p - 1)];
      for (int again = 0; again < inner; ++again) {
        if (pagesBefore + printed > 0 && !printer.newPage()) return printed;
        fields.page = page.number;
        PaintHeaderFooter(painter, paperRect, margins, dpi, control, fields);
        painter.save();
        painter.translate(printable);
        painter.scale(layout.scale, layout.scale);
        // Centred on the page: the space left over shared on both sides.
        int width = layout.headingWidth, height = layout.headingHeight;
        for (int c : page.cols) width += layout.colWidth[c];
        height += layout.rowHeight * static_cast<int>(page.rows.size());
        const double room = paint.width() / layout.scale, tall = paint.height() / layout.scale;
        painter.translate(setup.centerH ? std::max(0.0, (room - width) / 2) : 0.0,
                          setup.centerV ? std::max(0.0, (tall - height) / 2) : 0.0);
        PaintCells(painter, layout, page, control, cells);
        painter.restore();
        ++printed;
      }
    }
  }
  return printed;
}

int PrintActiveSheet(QPrinter& printer, const engine::Control& control, const PrintJob& job) {
  QPainter painter;
  if (!painter.begin(&printer))
    throw engine::EngineError(engine::kErrFile, "The printer could not be started.");
  const int printed = PaintActiveSheet(painter, printer, control, 0, job);
  painter.end();
  return printed;
}

int PaperCode(int qtPageSizeId) {
  for (const PaperEntry& e : kPapers)
    if (e.id == qtPageSizeId) return e.code;
  return 0;
}

int QtPageSizeId(int paperCode) {
  for (const PaperEntry& e : kPapers)
    if (e.code == paperCode) return e.id;
  return QPageSize::Custom;
}

void ApplyPageSetup(QPrinter& printer, const engine::Control& control) {
  const engine::PageSetup& setup = control.GetSheetFeatures().page;
  // A paper the sheet does not name is the printer system's default, not the last sheet's.
  static const QPageSize defaultPaper = QPrinter().pageLayout().pageSize();
  const int paper = QtPageSizeId(setup.paperSize);
  printer.setPageSize(paper != QPageSize::Custom
                          ? QPageSize(static_cast<QPageSize::PageSizeId>(paper))
                          : defaultPaper);
  printer.setPageOrientation(setup.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  // The sheet's margins (a page setup's defaults when the file gave none), unless they leave
  // no room on any paper.
  if (setup.left >= 0 && setup.right >= 0 && setup.top >= 0 && setup.bottom >= 0 &&
      setup.left + setup.right < 20 && setup.top + setup.bottom < 20)
    printer.setPageMargins(QMarginsF(setup.left, setup.top, setup.right, setup.bottom),
                           QPageLayout::Inch);
}

void StorePageSetup(const QPrinter& printer, engine::Control& control, bool storePaper) {
  engine::SheetFeatures features = control.GetSheetFeatures();
  engine::PageSetup& setup = features.page;
  const QPageLayout layout = printer.pageLayout();
  setup.landscape = layout.orientation() == QPageLayout::Landscape;
  // A paper the page setup can name, when it is not the one the page setup gives already.
  const int paper = PaperCode(layout.pageSize().id());
  if (storePaper && paper != 0 && QtPageSizeId(setup.paperSize) != layout.pageSize().id()) {
    setup.paperSize = paper;
    setup.printerSettings = true;
  }
  const QMarginsF m = layout.margins(QPageLayout::Inch);
  const auto differs = [](double a, double b) { return std::abs(a - b) > 0.005; };
  if (differs(m.left(), setup.left) || differs(m.right(), setup.right) ||
      differs(m.top(), setup.top) || differs(m.bottom(), setup.bottom)) {
    setup.left = m.left();
    setup.right = m.right();
    setup.top = m.top();
    setup.bottom = m.bottom();
    setup.marginsSet = true;
  }
  if (!(features == control.GetSheetFeatures())) control.SetSheetFeatures(features);
}

QPrinter& SharedPrinter() {
  static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
  return *printer;
}

bool PrintWithDialog(QWidget* parent, const engine::Control& control, bool showDialog) {
  QPrinter& printer = SharedPrinter();
  ApplyPageSetup(printer, control);
  PrintJob job;
  if (showDialog) {
    // The range the dialog offers: the sheet's pages on the printer as it stands.
    const int dpi = printer.resolution();
    const QRect paint = printer.pageLayout().paintRectPixels(dpi);
    const int pages = std::max<int>(
        1, static_cast<int>(
               LayoutActiveSheet(control, paint.width(), paint.height(), dpi).pages.size()));
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    dialog.setMinMax(1, pages);
    if (dialog.exec() != QDialog::Accepted) return false;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
      job.fromPage = printer.fromPage();
      job.toPage = std::max(printer.fromPage(), printer.toPage());
    }
  }
  // A printer system that makes the copies itself gets one; a file gets them all.
  if (!printer.supportsMultipleCopies()) {
    job.copies = std::max(1, printer.copyCount());
    job.collate = printer.collateCopies();
  }
  PrintActiveSheet(printer, control, job);
  return true;
}

bool ShowPrintPreview(QWidget* parent, const engine::Control& control) {
  ApplyPageSetup(SharedPrinter(), control);
  QPrintPreviewDialog preview(&SharedPrinter(), parent);
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                   [&control](QPrinter* printer) {
                     try {
                       PrintActiveSheet(*printer, control);
                     } catch (...) {
                       // A preview that cannot paint shows empty pages.
                     }
                   });
  return preview.exec() == QDialog::Accepted;
}

bool ShowPrintSetup(QWidget* parent, engine::Control& control) {
  QPrinter& printer = SharedPrinter();
  ApplyPageSetup(printer, control);
  const QPageSize paperBefore = printer.pageLayout().pageSize();
  QPageSetupDialog dialog(&printer, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  // The paper goes to the sheet when the user chose one, not when the printer's default stood.
  StorePageSetup(printer, control, !printer.pageLayout().pageSize().isEquivalentTo(paperBefore));
  return true;
}

}  // namespace qtui
