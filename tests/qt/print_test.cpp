// Printing: the pages a sheet is cut into, a cancelled print dialog, and the command line's
// printout of a corpus workbook to PDF read back with poppler's tools.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>

#include "control/control.h"
#include "control/engine_error.h"
#include "qt/dialogs/control_dialogs.h"
#include "qt/print/pdf_printout.h"
#include "qt/print/table_printer.h"
#include "qt_support.h"

namespace {

void FillGrid(engine::Control& c, int rows, int cols) {
  for (int r = 1; r <= rows; ++r)
    for (int k = 1; k <= cols; ++k)
      c.SetCellText(r, k, "r" + std::to_string(r) + "c" + std::to_string(k));
}

// Runs a program and gives its exit code (and standard output, standard error).
int RunProgram(const QString& program, const QStringList& args, QByteArray* out = nullptr,
               QByteArray* err = nullptr) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(-1)) return -1;
  if (out) *out = p.readAllStandardOutput();
  if (err) *err = p.readAllStandardError();
  return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

int PdfPages(const QString& pdf) {
  QByteArray out;
  if (RunProgram("pdfinfo", {pdf}, &out) != 0) return -1;
  for (const QByteArray& line : out.split('\n'))
    if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
  return -1;
}

QString PdfText(const QString& pdf, int page = 0) {
  QStringList args{"-layout"};
  if (page > 0) args << "-f" << QString::number(page) << "-l" << QString::number(page);
  args << pdf << "-";
  QByteArray out;
  RunProgram("pdftotext", args, &out);
  return QString::fromUtf8(out);
}

}  // namespace

TEST(PrintLayout, CutsDownThenAcrossRepeatsTheTitleRowAndLeavesOutHiddenCells) {
  engine::Control c;
  FillGrid(c, 10, 4);
  c.SetRowsHidden(5, 5, true);
  c.SetColumnHidden(2, true);
  const int dpi = 96;  // one grid pixel a device pixel: rows of 20
  // Three rows a page; columns 1 and 3 side by side, 4 on a page of its own.
  int w1 = 0;
  {
    const qtui::PrintLayout probe = qtui::LayoutActiveSheet(c, 100000, 60, dpi);
    w1 = probe.colWidth[1] + probe.colWidth[3];
    EXPECT_EQ(probe.rowHeight, 20);
    EXPECT_EQ(probe.colWidth[2], 0);
  }
  const qtui::PrintLayout layout = qtui::LayoutActiveSheet(c, w1, 60, dpi);
  // 9 visible rows: [1 2 3] [1 4 6] [1 7 8] [1 9 10], for each of two bands.
  ASSERT_EQ(layout.pages.size(), 8u);
  EXPECT_EQ(layout.pages[0].rows, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(layout.pages[1].rows, (std::vector<int>{1, 4, 6}));
  EXPECT_EQ(layout.pages[3].rows, (std::vector<int>{1, 9, 10}));
  EXPECT_EQ(layout.pages[0].cols, (std::vector<int>{1, 3}));
  EXPECT_EQ(layout.pages[4].cols, (std::vector<int>{4}));
  EXPECT_EQ(layout.pages[4].rows, layout.pages[0].rows);

  // Degenerate pages never loop or lose rows: a page lower than a row holds one row each,
  // a page narrower than a column one column each.
  const qtui::PrintLayout tiny = qtui::LayoutActiveSheet(c, 1, 1, dpi);
  EXPECT_EQ(tiny.pages.size(), 9u * 3u);
  for (const auto& page : tiny.pages) EXPECT_EQ(page.rows.size(), 1u);

  engine::Control empty;
  EXPECT_TRUE(qtui::LayoutActiveSheet(empty, 1000, 1000, dpi).pages.empty());

  // The sheet's own print titles (rows 2 and 3) head the pages instead of the first row.
  engine::SheetFeatures features = c.GetSheetFeatures();
  features.page.titleRow1 = 2;
  features.page.titleRow2 = 3;
  c.SetSheetFeatures(features);
  const qtui::PrintLayout titled = qtui::LayoutActiveSheet(c, 100000, 80, dpi);
  ASSERT_EQ(titled.pages.size(), 4u);  // [1 2 3 4] [2 3 6 7] [2 3 8 9] [2 3 10]
  EXPECT_EQ(titled.pages[0].rows, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(titled.pages[1].rows, (std::vector<int>{2, 3, 6, 7}));
  EXPECT_EQ(titled.pages[3].rows, (std::vector<int>{2, 3, 10}));
}

TEST(PrintDialogs, CancelledPrintDialogIsTheEnginesCancelAndPrintsNothing) {
  engine::Control c;
  FillGrid(c, 3, 3);
  qtui::QtControlDialogs dialogs;
  c.SetDialogs(&dialogs);
  bool sawDialog = false;
  WhenModal([&](QWidget* w) {
    sawDialog = qobject_cast<QDialog*>(w) != nullptr;
    if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
  });
  try {
    c.PrintTable(true);
    ADD_FAILURE() << "a cancelled print dialog printed";
  } catch (const engine::EngineError& e) {
    EXPECT_EQ(e.Code(), engine::kErrCanceled);
    EXPECT_STREQ(e.what(), "Operation canceled.");
  }
  EXPECT_TRUE(sawDialog);
  c.SetDialogs(nullptr);
}

TEST(PrintDialogs, WithoutAWindowPlatformPrintingIsAnErrorThatSaysWhy) {
  engine::Control c;
  FillGrid(c, 2, 2);
  try {
    c.PrintTable(false);
    ADD_FAILURE() << "printed without a printer";
  } catch (const engine::EngineError& e) {
    EXPECT_EQ(e.Code(), engine::kErrNoPrinter);
    EXPECT_NE(std::string(e.what()).find("Printing needs the window platform"), std::string::npos);
  }
}

TEST(PdfPrintout, SheetsAppendToOneDocumentAndTextStaysWhole) {
  QTemporaryDir dir;
  const QString path = dir.filePath("two.pdf");
  engine::Control c;
  const std::string longText = "a rather long value that is far wider than its column";
  c.SetCellText(1, 1, "Name");
  c.SetCellText(2, 1, longText);
  {
    qtui::PdfPrintout pdf(path);
    c.SetDialogs(&pdf);
    c.PrintTable(false);
    c.SetCellText(1, 1, "Second");
    c.PrintTable(false);
    c.SetDialogs(nullptr);
    EXPECT_EQ(pdf.Pages(), 2);
    EXPECT_TRUE(pdf.Finish());
  }
  EXPECT_EQ(PdfPages(path), 2);
  EXPECT_TRUE(PdfText(path, 1).contains("Name"));
  EXPECT_TRUE(PdfText(path, 2).contains("Second"));
  EXPECT_TRUE(PdfText(path).contains(QString::fromStdString(longText)));
}

TEST(PrintCommand, PrintsACorpusWorkbookToPdfWithNamesFirstAndLastRows) {
  const QString program = QStringLiteral(DT_PRINT_PROGRAM);
  const QString book = QStringLiteral(DT_CORPUS_DIR "/interop/many.libreoffice97.xls");
  QTemporaryDir dir;
  const QString pdf = dir.filePath("many.pdf");
  QByteArray err;
  ASSERT_EQ(RunProgram(program, {book, "-o", pdf}, nullptr, &err), 0) << err.toStdString();
  ASSERT_TRUE(QFile::exists(pdf));

  // 3,000 value rows under the names; the names row heads every page. The rows are cut into
  // blocks of a page each (the workbook's own margins choose how many), and the blocks repeat
  // for each band of columns across: the last row ends the first band.
  const int pages = PdfPages(pdf);
  ASSERT_GT(pages, 10);
  const QStringList texts = PdfText(pdf).split(QLatin1Char('\f'));
  ASSERT_GE(texts.size(), pages);
  int blocks = 0;
  for (int p = 0; p < pages && blocks == 0; ++p)
    if (texts[p].contains("s3001-641043437")) blocks = p + 1;
  ASSERT_GT(blocks, 10);
  EXPECT_EQ(pages % blocks, 0) << pages << " pages, " << blocks << " blocks of rows";
  for (int p = 0; p < pages; ++p) EXPECT_TRUE(texts[p].contains(QRegularExpression("P[1-8]"))) << p;

  const QString first = PdfText(pdf, 1);
  EXPECT_TRUE(first.contains("P1")) << first.left(400).toStdString();
  EXPECT_TRUE(first.contains("s2-144272509"));
  EXPECT_TRUE(first.contains("569.203874822212"));
  // The last row at the foot of the first band, under the repeated names.
  const QString endOfBand = PdfText(pdf, blocks);
  EXPECT_TRUE(endOfBand.contains("P1"));
  EXPECT_TRUE(endOfBand.contains("s3001-641043437")) << endOfBand.right(400).toStdString();
  EXPECT_TRUE(endOfBand.contains("216.511755101422"));
  // The last page ends the last column: its name and the last row's value.
  const QString last = PdfText(pdf, pages);
  EXPECT_TRUE(last.contains("P8"));
  EXPECT_TRUE(last.contains("2563")) << last.right(400).toStdString();

  // Sheets chosen by name or number; a missing sheet or file fails with one line and no file.
  const QString one = dir.filePath("one.pdf");
  EXPECT_EQ(RunProgram(program, {book, "--sheet", "Data", "-o", one}), 0);
  EXPECT_EQ(PdfPages(one), pages);
  const QString none = dir.filePath("none.pdf");
  EXPECT_NE(RunProgram(program, {book, "--sheet", "7", "-o", none}, nullptr, &err), 0);
  EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
  EXPECT_NE(RunProgram(program, {dir.filePath("missing.xls"), "-o", none}, nullptr, &err), 0);
  EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
  EXPECT_NE(RunProgram(program, {book, "-o", dir.filePath("no/such/dir/x.pdf")}, nullptr, &err), 0);
  EXPECT_FALSE(QFile::exists(none));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2)
      << "left a partial file";
}
