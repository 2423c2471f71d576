// datatable-print FILE [--sheet N|NAME] -o OUT.pdf: prints a table as File › Print does (the
// parameter names in the first row, then every value row) into a PDF file, every sheet in
// order or the one asked for. `datatable print` starts it, so that datatable never loads Qt.
// Without a display it uses Qt's offscreen platform. The file appears only when complete.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "datatable/datatable.h"
#include "datatable/qt_platform.h"
#include "qt/print/pdf_printout.h"
#include "qt/qt_platform.h"
#include "qt_start.h"

namespace {

bool EndsWith(const std::string& name, const char* ext) {
  const std::string e = ext;
  if (name.size() < e.size()) return false;
  std::string tail = name.substr(name.size() - e.size());
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == e;
}

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

int Fail(const std::string& line, int code = 1) {
  std::fprintf(stderr, "datatable: print: %s\n", line.c_str());
  return code;
}

// Removes the temporary file unless it was handed over.
struct TempFile {
  std::filesystem::path path;
  bool kept = false;
  ~TempFile() {
    std::error_code ec;
    if (!kept) std::filesystem::remove(path, ec);
  }
};

// A table whose File › Print this program calls as the menu would.
class PrintingTable : public CZAT_PSF1 {
 public:
  using CZAT_PSF1::CZAT_PSF1;
  using CZAT_PSF1::OnFilePrint;
};

}  // namespace

int main(int argc, char** argv) {
  std::string file, sheet, out;
  bool haveSheet = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--sheet" || arg == "-o" || arg == "--output") {
      if (i + 1 >= argc) return Fail(arg + " needs a value", 2);
      (arg == "--sheet" ? sheet : out) = argv[++i];
      if (arg == "--sheet") haveSheet = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return Fail("unknown option " + arg, 2);
    } else if (file.empty()) {
      file = arg;
    } else {
      return Fail("takes one FILE", 2);
    }
  }
  if (file.empty()) return Fail("no FILE given", 2);
  if (out.empty()) return Fail("no output given (-o OUT.pdf)", 2);
  if (haveSheet && sheet.empty()) return Fail("--sheet needs a number or a name", 2);
  if (!std::filesystem::exists(file)) return Fail(file + ": no such file");

  // Qt's own notices (fonts, runtime folders) are no part of this program's one-line report.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  const std::unique_ptr<QApplication> app =
      dtapp::StartQt(argc, argv, dtapp::WithoutDisplay::Offscreen);

  // The document goes to a temporary file beside OUT and takes OUT's name when complete.
  const std::filesystem::path target = std::filesystem::absolute(out);
  TempFile temp{target.parent_path() / ("." + target.filename().string() + ".part")};

  auto platform = std::make_shared<qtui::QtPlatform>();
  auto printout = std::make_unique<qtui::PdfPrintout>(QString::fromStdString(temp.path.string()));
  qtui::PdfPrintout* pdf = printout.get();
  platform->SetControlDialogs(std::move(printout));
  const dtapp::PlatformGuard installed(platform);

  const CZAT::FILE_TYPE type = EndsWith(file, ".xls") || EndsWith(file, ".txt")
                                   ? CZAT::FILE_TYPE_NONE
                                   : CZAT::FILE_TYPE_EXCEL97;
  auto* table = new PrintingTable(nullptr, file, type, nullptr, false, true, true);
  int status = 0;
  if (!table->IsValid()) {
    status = Fail(file + ": could not be opened");
  } else if (haveSheet) {
    const int set = AllDigits(sheet) ? table->SetSheet(std::atol(sheet.c_str()))
                                     : table->SetSheet(CString(sheet));
    if (set != 0)
      status = Fail("no sheet " + sheet + " in " + file);
    else
      table->OnFilePrint();
  } else {
    for (long s = 1; s <= table->GetNumSheets(); ++s) {
      table->SetSheet(s);
      table->OnFilePrint();
    }
  }
  table->Destroy();
  if (status != 0) return status;
  if (!pdf->Finish()) return Fail(out + ": could not be written");
  std::error_code ec;
  std::filesystem::rename(temp.path, target, ec);
  if (ec) return Fail(out + ": " + ec.message());
  temp.kept = true;
  return 0;
}
