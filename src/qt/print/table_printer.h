#pragma once
// Printing the active sheet of a control: its used range as the grid shows it (cells drawn by
// the grid's CellPainter, column widths as the grid gives them, hidden rows and columns left
// out), cut into pages down the rows and then across the columns. The sheet's print titles (or,
// without any, the first row: the names row of a printout from the menu) head every page.

#include <vector>

#include "control/control.h"

class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QWidget;

namespace qtui {

// Where each page's cells come from.
struct PrintPage {
  std::vector<int> rows;  // sheet rows, 1-based, the repeated title row first when it repeats
  std::vector<int> cols;  // sheet columns, 1-based
};

struct PrintLayout {
  std::vector<PrintPage> pages;
  std::vector<int> colWidth;  // device pixels, by sheet column (index 0 unused)
  int rowHeight = 0;          // device pixels
};

// The pages of the active sheet for a page of pageWidth × pageHeight device pixels at dpi.
// An empty sheet gives no pages.
PrintLayout LayoutActiveSheet(const engine::Control& control, int pageWidth, int pageHeight,
                              int dpi);

// Prints the active sheet on the printer (whose page setup is already chosen). Returns the
// number of pages. Throws the engine's error when the printer cannot be started.
int PrintActiveSheet(QPrinter& printer, const engine::Control& control);
// Paints the active sheet's pages with a painter already begun on the printer; the first page
// goes on a new page when pagesBefore > 0. Returns the number of pages painted.
int PaintActiveSheet(QPainter& painter, QPrinter& printer, const engine::Control& control,
                     int pagesBefore);

// The dialogs: each returns false when the user cancels. parent may be null.
bool PrintWithDialog(QWidget* parent, const engine::Control& control, bool showDialog);
bool ShowPrintPreview(QWidget* parent, const engine::Control& control);
bool ShowPrintSetup(QWidget* parent);

// The sheet's page setup on the printer: orientation, and margins when the sheet gives them.
void ApplyPageSetup(QPrinter& printer, const engine::Control& control);

// The printer every printout of this process starts from, so that a page setup chosen once
// holds for the next print and preview.
QPrinter& SharedPrinter();

}  // namespace qtui
