#pragma once
// The start of the window programs (datatable-edit, datatable-print): the display they run on,
// the application whose names the tables' settings go under, and the tables' Qt platform.

#include <QApplication>
#include <memory>

namespace platform {
class Platform;
}

namespace dtapp {

// True when a window can be shown: a display (X11 or Wayland) or a Qt platform asked for by name
// (offscreen, vnc, …).
bool HasDisplay();

// What a window program does when there is no display.
enum class WithoutDisplay {
  Refuse,     // no application is made; the program says so and ends
  Offscreen,  // the application runs on Qt's offscreen platform
};

// The program's QApplication, with the names the tables' settings go under; nullptr when there is
// no display and the program refuses to run without one. argc and argv must outlive it.
std::unique_ptr<QApplication> StartQt(int& argc, char** argv, WithoutDisplay without);

// Installs the tables' platform: the given one, or Qt's platform for the user's locale. It must
// go before the application does: the returned guard takes it out again.
class PlatformGuard {
 public:
  explicit PlatformGuard(std::shared_ptr<platform::Platform> platform = nullptr);
  ~PlatformGuard();
  PlatformGuard(const PlatformGuard&) = delete;
  PlatformGuard& operator=(const PlatformGuard&) = delete;
};

}  // namespace dtapp
