// Printing as the sheet's page setup says: header and footer codes, fit to pages, scale, print
// area, breaks, titles, centring, page ranges and copies, and the page setup dialog writing its
// choices back into the sheet. PDFs are read back with poppler's tools.
#include <gtest/gtest.h>

#include <QDialog>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>

#include "control/control.h"
#include "control/control_events.h"
#include "qt/dialogs/control_dialogs.h"
#include "qt/print/header_footer.h"
#include "qt/print/pdf_printout.h"
#include "qt/print/table_printer.h"
#include "qt_support.h"

namespace {

void FillGrid(engine::Control& c, int rows, int cols) {
  for (int r = 1; r <= rows; ++r)
    for (int k = 1; k <= cols; ++k)
      c.SetCellText(r, k, "r" + std::to_string(r) + "c" + std::to_string(k));
}

void ChangePageSetup(engine::Control& c, const std::function<void(engine::PageSetup&)>& change) {
  engine::SheetFeatures f = c.GetSheetFeatures();
  change(f.page);
  c.SetSheetFeatures(f);
}

QByteArray RunTool(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(-1) || p.exitCode() != 0) return {};
  return p.readAllStandardOutput();
}

int PdfPages(const QString& pdf) {
  for (const QByteArray& line : RunTool("pdfinfo", {pdf}).split('\n'))
    if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
  return -1;
}

// The text of every page, one entry a page.
QStringList PdfPageTexts(const QString& pdf) {
  QStringList pages = QString::fromUtf8(RunTool("pdftotext", {"-layout", pdf, "-"})).split('\f');
  if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
  return pages;
}

// Prints the control's active sheet to a PDF and gives the pages' texts.
QStringList PrintToPdf(engine::Control& c, const QString& path, int* pages = nullptr) {
  {
    qtui::PdfPrintout pdf(path);
    c.SetDialogs(&pdf);
    c.PrintTable(false);
    c.SetDialogs(nullptr);
    EXPECT_TRUE(pdf.Finish());
    if (pages) *pages = pdf.Pages();
  }
  return PdfPageTexts(path);
}

// A layout at 96 dpi (one grid pixel a device pixel) on a page of w × h.
qtui::PrintLayout Layout(const engine::Control& c, int w, int h) {
  return qtui::LayoutActiveSheet(c, w, h, 96);
}

// Counts Modified events.
struct ModifiedCounter : engine::ControlEvents {
  int count = 0;
  void OnModified() override { ++count; }
};

}  // namespace

TEST(HeaderFooterCodes, SectionsFieldsAndFontCodesNeverPrintAsWritten) {
  qtui::HeaderFooterFields f;
  f.page = 3;
  f.pages = 12;
  f.file = "book.xls";
  f.folder = "/data/";
  f.sheet = "Runs";
  f.now = QDateTime(QDate(2024, 2, 29), QTime(13, 5));
  auto text = [&](const std::string& code, int part) {
    return qtui::SectionText(qtui::ExpandHeaderFooter(code, f)[static_cast<std::size_t>(part)]);
  };
  // Text before any section code is centred; each section takes what follows it.
  EXPECT_EQ(text("Page &P of &N", qtui::kCenterSection), "Page 3 of 12");
  const std::string three = "&L&F on &A&CTitle&RPage &P+1 / &N&&more";
  EXPECT_EQ(text(three, qtui::kLeftSection), "book.xls on Runs");
  EXPECT_EQ(text(three, qtui::kCenterSection), "Title");
  EXPECT_EQ(text(three, qtui::kRightSection), "Page 4 / 12&more");
  EXPECT_EQ(text("&Z&F", qtui::kCenterSection), "/data/book.xls");
  EXPECT_FALSE(text("&D &T", qtui::kCenterSection).contains('&'));
  EXPECT_TRUE(text("&D", qtui::kCenterSection).contains("24")) << text("&D", 1).toStdString();

  // Font codes become fonts; colours, pictures and unknown codes vanish with their arguments;
  // a lone ampersand at the end, an unterminated font and a huge size do no harm.
  const auto runs = qtui::ExpandHeaderFooter(
      "&\"Courier New,Bold Italic\"&14A&Bb&B&Uc&KFF0000d&G&Xe&Qf&", f)[qtui::kCenterSection];
  EXPECT_EQ(qtui::SectionText(runs), "Abcdef");
  ASSERT_GE(runs.size(), 3u);
  EXPECT_EQ(runs[0].family, "Courier New");
  EXPECT_TRUE(runs[0].bold && runs[0].italic);
  EXPECT_EQ(runs[0].points, 14);
  EXPECT_FALSE(runs[1].bold);  // "&B" switched bold off again
  EXPECT_EQ(text("x&\"Arial", qtui::kCenterSection), "x");
  EXPECT_EQ(qtui::ExpandHeaderFooter("&99999999z", f)[1].front().points, 409);
  EXPECT_EQ(text("&P-5", qtui::kCenterSection), "-2");
  EXPECT_EQ(text("&P-x", qtui::kCenterSection), "3-x");
}

TEST(PrintLayout, FitToPagesScaleBreaksAreaTitlesAndHeadings) {
  engine::Control c;
  FillGrid(c, 40, 30);
  // The natural layout: several bands across, several blocks down.
  const qtui::PrintLayout natural = Layout(c, 600, 400);
  int bands = 0;
  for (const auto& page : natural.pages) bands += page.rows == natural.pages[0].rows;
  ASSERT_GT(bands, 1);
  const std::size_t blocks = natural.pages.size() / static_cast<std::size_t>(bands);

  // Fit to one page wide, as tall as it takes: every page holds every column, and the rows
  // shrink with them.
  ChangePageSetup(c, [](engine::PageSetup& p) {
    p.fitToPage = true;
    p.fitWidth = 1;
    p.fitHeight = 0;
  });
  const qtui::PrintLayout wide = Layout(c, 600, 400);
  EXPECT_LT(wide.scale, 1.0);
  EXPECT_GT(wide.scale, 0.1);
  for (const auto& page : wide.pages) EXPECT_EQ(page.cols.size(), 30u);
  int width = 0;
  for (int col = 1; col <= 30; ++col) width += wide.colWidth[col];
  EXPECT_LE(width * wide.scale, 600.0);
  EXPECT_GT(width * wide.scale, 600.0 * 0.95) << "fit to width gives away more than it needs";
  EXPECT_LT(wide.pages.size(), blocks);
  // One page both ways; a sheet already fitting keeps 100%.
  ChangePageSetup(c, [](engine::PageSetup& p) { p.fitHeight = 1; });
  EXPECT_EQ(Layout(c, 600, 400).pages.size(), 1u);
  EXPECT_EQ(Layout(c, 100000, 100000).scale, 1.0);

  // A scale of 50% holds twice the rows and columns a page; 400% is the most.
  ChangePageSetup(c, [](engine::PageSetup& p) {
    p.fitToPage = false;
    p.scale = 50;
  });
  const qtui::PrintLayout half = Layout(c, 600, 400);
  EXPECT_EQ(half.scale, 0.5);
  EXPECT_LT(half.pages.size(), natural.pages.size());
  EXPECT_GE(half.pages[1].rows.size(), 2 * natural.pages[1].rows.size() - 1);
  ChangePageSetup(c, [](engine::PageSetup& p) { p.scale = 100000; });
  EXPECT_EQ(Layout(c, 600, 400).scale, 4.0);

  // A print area with manual breaks: pages start at rows 5 and 8 and at column 4; the first
  // row (the names) heads each page; the first page number comes from the page setup.
  ChangePageSetup(c, [](engine::PageSetup& p) {
    p.scale = 100;
    p.printArea = {engine::CellRange{1, 2, 10, 5}};
    p.rowBreaks = {5, 8};
    p.colBreaks = {4};
    p.usePageNumber = true;
    p.firstPage = 7;
  });
  const qtui::PrintLayout area = Layout(c, 100000, 100000);
  ASSERT_EQ(area.pages.size(), 6u);
  EXPECT_EQ(area.pages[0].rows, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(area.pages[1].rows, (std::vector<int>{1, 5, 6, 7}));
  EXPECT_EQ(area.pages[2].rows, (std::vector<int>{1, 8, 9, 10}));
  EXPECT_EQ(area.pages[0].cols, (std::vector<int>{2, 3}));
  EXPECT_EQ(area.pages[3].cols, (std::vector<int>{4, 5}));
  EXPECT_EQ(area.pages[0].number, 7);
  EXPECT_EQ(area.pages[5].number, 12);

  // Over, then down; title columns repeat on the bands after them; headings take room.
  ChangePageSetup(c, [](engine::PageSetup& p) {
    p.leftToRight = true;
    p.titleCol1 = p.titleCol2 = 2;
    p.printHeadings = true;
  });
  const qtui::PrintLayout over = Layout(c, 100000, 100000);
  ASSERT_EQ(over.pages.size(), 6u);
  EXPECT_EQ(over.pages[1].rows, over.pages[0].rows);
  EXPECT_EQ(over.pages[1].cols, (std::vector<int>{2, 4, 5}));
  EXPECT_GT(over.headingWidth, 0);
  EXPECT_GT(over.headingHeight, 0);

  // An area outside the used range prints nothing; whole columns print the used rows only.
  ChangePageSetup(c, [](engine::PageSetup& p) {
    p = engine::PageSetup();
    p.printArea = {engine::CellRange{100, 100, 200, 200}};
  });
  EXPECT_TRUE(Layout(c, 1000, 1000).pages.empty());
  ChangePageSetup(c, [](engine::PageSetup& p) {
    p.printArea = {engine::CellRange{1, 1, 65536, 1}};
  });
  std::size_t rows = 0;
  for (const auto& page : Layout(c, 1000, 1000).pages) rows += page.rows.size();
  EXPECT_LE(rows, 40u + 10u);
}

TEST(PdfPageSetup, FitToWidthScaleHeaderFooterCentringAndRange) {
  QTemporaryDir dir;
  engine::Control c;
  // A wide sheet: 26 columns of 20 characters, 60 rows.
  FillGrid(c, 60, 26);
  for (int col = 1; col <= 26; ++col) c.SetColumnWidth(col, 20 * 256);
  c.SetCellText(60, 26, "LastCell");

  int natural = 0;
  const QStringList plain = PrintToPdf(c, dir.filePath("plain.pdf"), &natural);
  EXPECT_EQ(PdfPages(dir.filePath("plain.pdf")), natural);
  ASSERT_GT(natural, 4);
  EXPECT_FALSE(plain.join("").contains("Page 1")) << "a sheet without a footer printed one";

  // One page wide: every page shows the first and the last column.
  ChangePageSetup(c, [](engine::PageSetup& p) {
    p.fitToPage = true;
    p.fitWidth = 1;
    p.fitHeight = 0;
    p.footer = "&LPrinted &D&RPage &P of &N";
    p.header = "&C&B&\"Arial,Italic\"&12Report &A";
  });
  c.SetSheetName(1, "Runs");
  int fitted = 0;
  const QStringList wide = PrintToPdf(c, dir.filePath("wide.pdf"), &fitted);
  ASSERT_EQ(PdfPages(dir.filePath("wide.pdf")), fitted);
  ASSERT_EQ(wide.size(), fitted);
  EXPECT_LT(fitted, natural);
  for (int p = 0; p < fitted; ++p) {
    EXPECT_TRUE(wide[p].contains("r1c1")) << p;
    EXPECT_TRUE(wide[p].contains("r1c26")) << p;
    EXPECT_TRUE(wide[p].contains(QString("Page %1 of %2").arg(p + 1).arg(fitted))) << p;
    EXPECT_TRUE(wide[p].contains("Report Runs")) << wide[p].left(300).toStdString();
    EXPECT_FALSE(wide[p].contains('&')) << p;
  }
  EXPECT_TRUE(wide.back().contains("LastCell"));

  // 15% holds the whole sheet on one page; centred both ways, nothing is lost.
  ChangePageSetup(c, [](engine::PageSetup& p) {
    p.fitToPage = false;
    p.scale = 15;
    p.centerH = p.centerV = true;
    p.printGridlines = true;
    p.printHeadings = true;
  });
  const QStringList small = PrintToPdf(c, dir.filePath("small.pdf"));
  ASSERT_EQ(small.size(), 1);
  for (const char* cell : {"r1c1", "r1c26", "r60c1", "LastCell", "Page 1 of 1"})
    EXPECT_TRUE(small[0].contains(cell)) << cell;

  // A page range and copies: pages 2 to 3 of the natural printout, twice, collated.
  ChangePageSetup(c, [](engine::PageSetup& p) { p = engine::PageSetup(); });
  {
    const QString path = dir.filePath("range.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    qtui::ApplyPageSetup(printer, c);
    qtui::PrintJob job;
    job.fromPage = 2;
    job.toPage = 3;
    job.copies = 2;
    EXPECT_EQ(qtui::PrintActiveSheet(printer, c, job), 4);
    const QStringList texts = PdfPageTexts(path);
    ASSERT_EQ(texts.size(), 4);
    EXPECT_EQ(texts[0], plain[1]);
    EXPECT_EQ(texts[1], plain[2]);
    EXPECT_EQ(texts[2], plain[1]);
    // Uncollated: each page its copies in turn; a range past the end prints what there is.
    job.collate = false;
    job.fromPage = natural - 1;
    job.toPage = natural + 5;
    EXPECT_EQ(qtui::PrintActiveSheet(printer, c, job), 4);
    const QStringList tail = PdfPageTexts(path);
    ASSERT_EQ(tail.size(), 4);
    EXPECT_EQ(tail[0], tail[1]);
    EXPECT_EQ(tail[1], plain[natural - 2]);
    EXPECT_EQ(tail[3], plain[natural - 1]);
  }
}

TEST(PdfPageSetup, EachSheetPrintsOnItsOwnPaperAndOrientation) {
  QTemporaryDir dir;
  const QString path = dir.filePath("two.pdf");
  engine::Control c;
  FillGrid(c, 3, 3);
  ChangePageSetup(c, [](engine::PageSetup& p) {
    p.paperSize = 9;  // A4
    p.printerSettings = true;
  });
  {
    qtui::PdfPrintout pdf(path);
    c.SetDialogs(&pdf);
    c.PrintTable(false);
    ChangePageSetup(c, [](engine::PageSetup& p) {
      p.paperSize = 1;  // Letter
      p.landscape = true;
    });
    c.PrintTable(false);
    c.SetDialogs(nullptr);
    EXPECT_TRUE(pdf.Finish());
  }
  const QString info = QString::fromUtf8(RunTool("pdfinfo", {"-f", "1", "-l", "2", path}));
  EXPECT_TRUE(info.contains(QRegularExpression("Page +1 size: +595 x 842"))) << info.toStdString();
  EXPECT_TRUE(info.contains(QRegularExpression("Page +2 size: +792 x 612"))) << info.toStdString();
}

TEST(PrintSetupDialog, ChoicesGoBackToTheSheetAndCancelChangesNothing) {
  engine::Control c;
  FillGrid(c, 2, 2);
  ModifiedCounter events;
  c.SetEventListener(&events);
  qtui::QtControlDialogs dialogs;
  c.SetDialogs(&dialogs);
  const engine::SheetFeatures before = c.GetSheetFeatures();

  WhenModal([](QWidget* w) {
    if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
  });
  c.ShowPrintSetupDialog();
  EXPECT_EQ(c.GetSheetFeatures(), before);
  EXPECT_EQ(events.count, 0);

  // Landscape chosen in the dialog becomes the sheet's.
  bool found = false;
  WhenModal([&](QWidget* w) {
    auto* d = qobject_cast<QPageSetupDialog*>(w);
    if (!d) return;
    for (QRadioButton* b : d->findChildren<QRadioButton*>())
      if (b->objectName() == QLatin1String("landscape")) {
        b->click();
        found = true;
      }
    d->accept();
  });
  c.ShowPrintSetupDialog();
  c.SetDialogs(nullptr);
  c.SetEventListener(nullptr);
  ASSERT_TRUE(found) << "the page setup dialog has no landscape button";
  EXPECT_TRUE(c.GetSheetFeatures().page.landscape);
  EXPECT_GE(events.count, 1);

  // A paper the page setup names goes to the printer and back unchanged.
  for (int code : {1, 5, 8, 9, 11}) {
    const int id = qtui::QtPageSizeId(code);
    EXPECT_EQ(qtui::PaperCode(id), code) << code;
  }
  EXPECT_EQ(qtui::QtPageSizeId(0), QPageSize::Custom);
  EXPECT_EQ(qtui::QtPageSizeId(-3), QPageSize::Custom);
  QPrinter printer;
  printer.setPageSize(QPageSize(QPageSize::A5));
  engine::Control other;
  FillGrid(other, 1, 1);
  qtui::StorePageSetup(printer, other);
  EXPECT_EQ(other.GetSheetFeatures().page.paperSize, 11);
  EXPECT_TRUE(other.GetSheetFeatures().page.printerSettings);
}

TEST(PdfPageSetup, AFormattedNumberTooWideForItsColumnPrintsAsHashes) {
  QTemporaryDir dir;
  engine::Control c;
  c.SetCellText(1, 1, "Amount");
  c.SetCellText(1, 2, "When");
  c.SetCellText(2, 1, "$123,456,789.00");
  c.SetCellText(2, 2, "short");
  c.SetCellText(3, 1, "1234.56789");  // General: printed whole, as the value
  c.SetColumnWidth(1, 4 * 256);
  const QStringList pages = PrintToPdf(c, dir.filePath("hash.pdf"));
  ASSERT_EQ(pages.size(), 1);
  EXPECT_TRUE(pages[0].contains("##")) << pages[0].toStdString();
  EXPECT_FALSE(pages[0].contains("123,456")) << "a number ran out of its cell";
  EXPECT_TRUE(pages[0].contains("1234.56789"));
  EXPECT_TRUE(pages[0].contains("short"));
}

TEST(PrintDialogs, ThePrintDialogsPageRangeAndCopiesAreHonoured) {
  QTemporaryDir dir;
  const QString path = dir.filePath("dialog.pdf");
  engine::Control c;
  FillGrid(c, 200, 3);
  QPrinter& printer = qtui::SharedPrinter();
  const QPrinter::OutputFormat format = printer.outputFormat();
  const QString file = printer.outputFileName();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  qtui::QtControlDialogs dialogs;
  c.SetDialogs(&dialogs);
  int offered = 0;
  WhenModal([&](QWidget* w) {
    auto* d = qobject_cast<QDialog*>(w);
    if (!d) return;
    for (QSpinBox* box : d->findChildren<QSpinBox*>()) {
      if (box->objectName() == QLatin1String("to")) offered = box->maximum();
      if (box->objectName() == QLatin1String("from")) box->setValue(2);
    }
    for (QSpinBox* box : d->findChildren<QSpinBox*>()) {
      if (box->objectName() == QLatin1String("to")) box->setValue(3);
      if (box->objectName() == QLatin1String("copies")) box->setValue(2);
    }
    for (QRadioButton* b : d->findChildren<QRadioButton*>())
      if (b->objectName() == QLatin1String("printRange")) b->click();
    d->accept();
  });
  c.PrintTable(true);
  c.SetDialogs(nullptr);
  printer.setOutputFormat(format);
  printer.setOutputFileName(file);
  // The dialog offers the sheet's pages; pages 2 and 3, twice.
  EXPECT_GT(offered, 3);
  const QStringList pages = PdfPageTexts(path);
  ASSERT_EQ(pages.size(), 4);
  EXPECT_FALSE(pages[0].contains(QRegularExpression("\\br2c1\\b")));
  EXPECT_EQ(pages[0], pages[2]);
  EXPECT_EQ(pages[1], pages[3]);
  EXPECT_NE(pages[0], pages[1]);
}

TEST(PrintCommand, ACorpusSheetSetUpLandscapePrintsLandscape) {
  QTemporaryDir dir;
  const QString pdf = dir.filePath("accounts.pdf");
  QProcess p;
  p.start(QStringLiteral(DT_PRINT_PROGRAM),
          {QStringLiteral(DT_CORPUS_DIR "/fidelity/accounts.xls"), "--sheet", "Accounts", "-o", pdf});
  ASSERT_TRUE(p.waitForFinished(-1));
  ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  const QString info = QString::fromUtf8(RunTool("pdfinfo", {pdf}));
  const QRegularExpressionMatch size =
      QRegularExpression("Page size: +([0-9.]+) x ([0-9.]+)").match(info);
  ASSERT_TRUE(size.hasMatch()) << info.toStdString();
  EXPECT_GT(size.captured(1).toDouble(), size.captured(2).toDouble()) << info.toStdString();
}
