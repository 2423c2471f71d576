// datatable-edit [FILE]: a table in its frame window, with the file commands and print preview.
// `datatable edit` starts it. Closing the window ends the program.

#include <QObject>
#include <QWidget>
#include <cstdio>
#include <string>

#include "datatable/datatable.h"
#include "datatable/qt_platform.h"
#include "qt_start.h"

namespace {

bool EndsWith(const std::string& name, const char* ext) {
  const std::string e = ext;
  if (name.size() < e.size()) return false;
  std::string tail = name.substr(name.size() - e.size());
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == e;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fprintf(stderr, "datatable: edit takes at most one FILE\n");
    return 2;
  }
  const std::unique_ptr<QApplication> app =
      dtapp::StartQt(argc, argv, dtapp::WithoutDisplay::Refuse);
  if (app == nullptr) {
    std::fprintf(stderr, "datatable: edit needs a display (none found: DISPLAY is not set)\n");
    return 1;
  }
  const dtapp::PlatformGuard platform;

  const std::string file = argc == 2 ? argv[1] : "";
  const CZAT::FILE_TYPE type = file.empty() || EndsWith(file, ".xls") || EndsWith(file, ".txt")
                                   ? CZAT::FILE_TYPE_NONE
                                   : CZAT::FILE_TYPE_EXCEL97;
  auto* table = new CZAT_PSF1(nullptr, file, type, nullptr, false, true, true);
  if (!file.empty() && !table->IsValid())
    std::fprintf(stderr, "datatable: %s could not be opened; showing an empty table\n",
                 file.c_str());
  QWidget* window = datatable::TableWindow(table);
  if (window == nullptr) {
    std::fprintf(stderr, "datatable: the window could not be made\n");
    table->Destroy();
    return 1;
  }
  // Closing the window destroys the table (and the window with it); then the program ends.
  table->ViewSetCloseOption(1);
  QObject::connect(window, &QObject::destroyed, app.get(), &QApplication::quit);
  table->ViewOpen();
  return QApplication::exec();
}
