#include "qt/print/table_printer.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>
#include <cmath>
#include <memory>

#include "control/engine_error.h"
#include "control/sheet_features.h"
#include "qt/cell_painter.h"

namespace qtui {
namespace {

// The grid's geometry at screen resolution: a row is 20 pixels, a column a count of 1/256 of
// the default font's digit width plus 5.
constexpr int kScreenDpi = 96;
constexpr int kGridRowHeight = 20;

int GridPixelWidth(int width) {
  const int digit =
      std::max(1, QFontMetrics(QApplication::font()).horizontalAdvance(QLatin1Char('0')));
  return static_cast<int>(std::lround(width / 256.0 * digit)) + 5;
}

int Scaled(int screenPixels, int dpi) {
  return std::max(1, static_cast<int>(std::lround(screenPixels * double(dpi) / kScreenDpi)));
}

}  // namespace

PrintLayout LayoutActiveSheet(const engine::Control& control, int pageWidth, int pageHeight,
                              int dpi) {
  PrintLayout layout;
  const int lastRow = control.GetLastRow();
  const int lastCol = control.GetLastCol();
  if (lastRow < 1 || lastCol < 1) return layout;
  layout.rowHeight = Scaled(kGridRowHeight, dpi);
  layout.colWidth.assign(static_cast<std::size_t>(lastCol) + 1, 0);

  std::vector<int> rows, cols;
  for (int r = 1; r <= lastRow; ++r)
    if (!control.GetRowHidden(r)) rows.push_back(r);
  for (int c = 1; c <= lastCol; ++c) {
    if (control.GetColumnHidden(c)) continue;
    cols.push_back(c);
    // A column wider than the page is printed at the page's width (its text is clipped there).
    layout.colWidth[c] =
        std::min(std::max(1, pageWidth), Scaled(GridPixelWidth(control.GetColumnWidth(c)), dpi));
  }
  if (rows.empty() || cols.empty()) return layout;

  // Column bands across the page width.
  std::vector<std::vector<int>> bands;
  int used = 0;
  for (int c : cols) {
    if (bands.empty() || used + layout.colWidth[c] > pageWidth) {
      bands.emplace_back();
      used = 0;
    }
    bands.back().push_back(c);
    used += layout.colWidth[c];
  }

  // Row blocks down the page height. The sheet's print titles head every page after the first
  // that does not hold them already; without any, the first row (the names row) does.
  const int perPage = std::max(1, pageHeight / layout.rowHeight);
  std::vector<int> titles;
  const engine::PageSetup& setup = control.GetSheetFeatures().page;
  if (setup.titleRow1 >= 1 && setup.titleRow2 >= setup.titleRow1) {
    for (int r : rows)
      if (r >= setup.titleRow1 && r <= setup.titleRow2) titles.push_back(r);
  } else {
    titles.push_back(rows.front());
  }
  const bool repeat =
      !titles.empty() && static_cast<int>(titles.size()) < perPage && rows.size() > titles.size();
  std::vector<std::vector<int>> blocks;
  std::size_t i = 0;
  while (i < rows.size()) {
    std::vector<int> block;
    if (repeat && rows[i] > titles.back()) block = titles;
    while (i < rows.size() && static_cast<int>(block.size()) < perPage) block.push_back(rows[i++]);
    blocks.push_back(std::move(block));
  }
  // Down, then across.
  for (const auto& band : bands)
    for (const auto& block : blocks) layout.pages.push_back(PrintPage{block, band});
  return layout;
}

int PaintActiveSheet(QPainter& painter, QPrinter& printer, const engine::Control& control,
                     int pagesBefore) {
  const int dpi = printer.resolution();
  const QRect paper = printer.pageLayout().paintRectPixels(dpi);
  const PrintLayout layout = LayoutActiveSheet(control, paper.width(), paper.height(), dpi);
  CellPainter cells;
  int printed = 0;
  for (const PrintPage& page : layout.pages) {
    if (pagesBefore + printed > 0 && !printer.newPage()) break;
    int y = 0;
    for (int r : page.rows) {
      int x = 0;
      for (int c : page.cols) {
        const QRect rect(x, y, layout.colWidth[c], layout.rowHeight);
        cells.Paint(painter, rect, control, r, c);
        x += layout.colWidth[c];
      }
      y += layout.rowHeight;
    }
    ++printed;
  }
  return printed;
}

int PrintActiveSheet(QPrinter& printer, const engine::Control& control) {
  QPainter painter;
  if (!painter.begin(&printer))
    throw engine::EngineError(engine::kErrFile, "The printer could not be started.");
  const int printed = PaintActiveSheet(painter, printer, control, 0);
  painter.end();
  return printed;
}

void ApplyPageSetup(QPrinter& printer, const engine::Control& control) {
  const engine::PageSetup& setup = control.GetSheetFeatures().page;
  printer.setPageOrientation(setup.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  if (setup.marginsSet && setup.left >= 0 && setup.right >= 0 && setup.top >= 0 &&
      setup.bottom >= 0 && setup.left + setup.right < 20 && setup.top + setup.bottom < 20)
    printer.setPageMargins(QMarginsF(setup.left, setup.top, setup.right, setup.bottom),
                           QPageLayout::Inch);
}

QPrinter& SharedPrinter() {
  static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
  return *printer;
}

bool PrintWithDialog(QWidget* parent, const engine::Control& control, bool showDialog) {
  QPrinter& printer = SharedPrinter();
  ApplyPageSetup(printer, control);
  if (showDialog) {
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
  }
  PrintActiveSheet(printer, control);
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

bool ShowPrintSetup(QWidget* parent) {
  QPageSetupDialog dialog(&SharedPrinter(), parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace qtui
