// datatable-edit [FILE]: a table in its frame window, with the file commands and print preview.
// `datatable edit` starts it. Closing the window ends the program.

#include <QApplication>
#include <QObject>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "datatable/datatable.h"
#include "datatable/qt_platform.h"

namespace {

bool HasDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform != nullptr && *platform != '\0') return true;  // offscreen, vnc, …
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x != nullptr && *x != '\0') || (wayland != nullptr && *wayland != '\0');
}

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
  if (!HasDisplay()) {
    std::fprintf(stderr, "datatable: edit needs a display (none found: DISPLAY is not set)\n");
    return 1;
  }
  QApplication::setOrganizationName("DataTable");
  QApplication::setApplicationName("datatable");
  QApplication app(argc, argv);
  datatable::InstallPlatform(datatable::MakeQtPlatform());

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
  QObject::connect(window, &QObject::destroyed, &app, &QApplication::quit);
  table->ViewOpen();
  return app.exec();
}
