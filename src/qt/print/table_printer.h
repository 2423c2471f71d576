#pragma once
// Printing the active sheet of a control: its used range as the grid shows it (cells drawn by
// the grid's CellPainter, column widths as the grid gives them, hidden rows and columns left
// out), cut into pages down the rows and then across the columns, as the sheet's page setup
// says: its print area, manual page breaks, scale or fit to a number of pages, page order,
// centring, gridlines, row and column headings, header and footer, first page number, paper,
// orientation and margins. The sheet's print titles (or, without any, the first row: the names
// row of a printout from the menu) head every page.

#include <QDateTime>
#include <QString>
#include <vector>

#include "control/control.h"

class QPainter;
class QPrinter;
class QWidget;

namespace qtui {

// Where each page's cells come from.
struct PrintPage {
  std::vector<int> rows;  // sheet rows, 1-based, the repeated title rows first when they repeat
  std::vector<int> cols;  // sheet columns, 1-based, the repeated title columns first
  int number = 1;         // the page number printed for "&P"
};

struct PrintLayout {
  std::vector<PrintPage> pages;
  std::vector<int> colWidth;     // device pixels at 100%, by sheet column (index 0 unused)
  std::vector<int> screenWidth;  // the grid's width of each column in screen pixels
  int rowHeight = 0;             // device pixels at 100%
  double scale = 1.0;            // how much the cells are enlarged (> 1) or reduced on paper
  int headingWidth = 0;          // the row headings' column, device pixels at 100%; 0: none printed
  int headingHeight = 0;         // the column headings' row, likewise
};

// The pages of the active sheet for a printable area of pageWidth × pageHeight device pixels
// at dpi. An empty sheet (or print area) gives no pages.
PrintLayout LayoutActiveSheet(const engine::Control& control, int pageWidth, int pageHeight,
                              int dpi);

// Which of a sheet's pages to print, and how often.
struct PrintJob {
  int fromPage = 0, toPage = 0;  // 1-based positions among the sheet's pages; 0: from the
                                 // first, to the last
  int copies = 1;
  bool collate = true;  // whole copies one after another, else each page its copies in turn
  QDateTime now = QDateTime::currentDateTime();  // "&D" and "&T"
};

// Prints the active sheet on the printer (whose page setup is already chosen). Returns the
// number of pages. Throws the engine's error when the printer cannot be started.
int PrintActiveSheet(QPrinter& printer, const engine::Control& control,
                     const PrintJob& job = PrintJob());
// Paints the active sheet's pages with a painter already begun on the printer; the first page
// goes on a new page when pagesBefore > 0. Returns the number of pages painted.
int PaintActiveSheet(QPainter& painter, QPrinter& printer, const engine::Control& control,
                     int pagesBefore, const PrintJob& job = PrintJob());

// The dialogs: each returns false when the user cancels. parent may be null. The print dialog
// offers the sheet's pages as its range and honours copies; page setup writes paper,
// orientation and margins back into the sheet's page setup.
bool PrintWithDialog(QWidget* parent, const engine::Control& control, bool showDialog);
bool ShowPrintPreview(QWidget* parent, const engine::Control& control);
bool ShowPrintSetup(QWidget* parent, engine::Control& control);

// The sheet's page setup on the printer: paper, orientation, and margins when the sheet gives
// them.
void ApplyPageSetup(QPrinter& printer, const engine::Control& control);
// The printer's orientation and margins, and its paper when storePaper, into the sheet's page
// setup (a change of the sheet, so the table counts as modified when anything differs).
void StorePageSetup(const QPrinter& printer, engine::Control& control, bool storePaper = true);

// The printer's paper codes of a page setup (1 Letter, 9 A4, …) and Qt's page sizes; 0 and
// QPageSize::Custom where the other side has none.
int PaperCode(int qtPageSizeId);
int QtPageSizeId(int paperCode);

// The printer every printout of this process starts from, so that a page setup chosen once
// holds for the next print and preview.
QPrinter& SharedPrinter();

}  // namespace qtui
