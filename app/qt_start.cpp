// The start of the window programs.

#include "qt_start.h"

#include <cstdlib>

#include "datatable/datatable.h"
#include "datatable/qt_platform.h"

namespace dtapp {

bool HasDisplay() {
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
  };
  return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

std::unique_ptr<QApplication> StartQt(int& argc, char** argv, WithoutDisplay without) {
  if (!HasDisplay()) {
    if (without == WithoutDisplay::Refuse) return nullptr;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  QApplication::setOrganizationName("DataTable");
  QApplication::setApplicationName("datatable");
  return std::make_unique<QApplication>(argc, argv);
}

PlatformGuard::PlatformGuard(std::shared_ptr<platform::Platform> platform) {
  datatable::InstallPlatform(platform != nullptr ? std::move(platform)
                                                 : datatable::MakeQtPlatform());
}

PlatformGuard::~PlatformGuard() { datatable::InstallPlatform(nullptr); }

}  // namespace dtapp
