#pragma once
// The platform a table runs on: every service the table needs of a window system, each a small
// interface. The headless platform is the default; a host installs another (the Qt platform)
// before it constructs tables. Tables keep the platform they were built on.

#include <memory>

#include "platform/file_dialogs.h"
#include "platform/frame.h"
#include "platform/locale_source.h"
#include "platform/message_boxes.h"
#include "platform/profile.h"
#include "platform/string_table.h"
#include "platform/table_dialogs.h"

namespace engine {
class SystemClipboard;
class ControlDialogs;
}  // namespace engine

namespace platform {

class Platform {
 public:
  virtual ~Platform() = default;
  virtual MessageBoxes& Boxes() = 0;
  virtual StringTable& Strings() = 0;
  virtual Profile& UserProfile() = 0;
  virtual FileDialogs& Files() = 0;
  virtual LocaleSource& Locale() = 0;
  virtual TableDialogs& Dialogs() = 0;
  // A window not yet created (Frame::Create creates it).
  virtual std::unique_ptr<Frame> NewFrame() = 0;
  // The desktop window (its rectangle is the screen's).
  virtual CWnd* DesktopWindow() = 0;
  // The engine's services; nullptr lets the engine use its headless defaults.
  virtual engine::SystemClipboard* Clipboard() = 0;
  virtual engine::ControlDialogs* ControlDialogs() = 0;
};

// The installed platform; a headless one is created on first use.
std::shared_ptr<Platform> Current();
// Installs a platform for tables constructed from now on; nullptr installs a fresh headless one.
void Install(std::shared_ptr<Platform> platform);

}  // namespace platform
