#pragma once
// A printout to a PDF file without any dialog: each Print of the control appends the active
// sheet's pages to one document, so that several sheets print into one file in order. The
// command line's print installs it as the control's dialogs.

#include <QPainter>
#include <QPrinter>
#include <QString>

#include "qt/dialogs/control_dialogs.h"

namespace qtui {

class PdfPrintout : public QtControlDialogs {
 public:
  explicit PdfPrintout(const QString& path);
  ~PdfPrintout() override;

  bool Print(engine::Control& control, bool showDialog) override;
  // Ends the document (a printout without any cell gets one empty page). False when the file
  // could not be written.
  bool Finish();
  int Pages() const { return pages_; }

 private:
  bool Begin();

  QPrinter printer_{QPrinter::HighResolution};
  QPainter painter_;
  int pages_ = 0;
  bool failed_ = false;
};

}  // namespace qtui
