#include "qt/print/pdf_printout.h"

#include "qt/print/table_printer.h"

namespace qtui {

PdfPrintout::PdfPrintout(const QString& path) {
  printer_.setOutputFormat(QPrinter::PdfFormat);
  printer_.setOutputFileName(path);
  printer_.setPageOrientation(QPageLayout::Portrait);
}

PdfPrintout::~PdfPrintout() {
  if (painter_.isActive()) painter_.end();
}

bool PdfPrintout::Begin() {
  if (painter_.isActive()) return true;
  if (failed_) return false;
  failed_ = !painter_.begin(&printer_);
  return !failed_;
}

bool PdfPrintout::Print(engine::Control& control, bool) {
  // Each sheet's pages take its own paper, orientation and margins (a PDF changes them from
  // one page to the next).
  if (!failed_) ApplyPageSetup(printer_, control);
  if (!Begin()) return false;
  pages_ += PaintActiveSheet(painter_, printer_, control, pages_);
  return true;
}

bool PdfPrintout::Finish() {
  if (!Begin()) return false;
  if (pages_ == 0) pages_ = 1;
  return painter_.end() && !failed_;
}

}  // namespace qtui
