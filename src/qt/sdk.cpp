// The Qt SDK's functions.

#include "datatable/qt_platform.h"
#include "datatable/zat.h"
#include "qt/clipboard.h"
#include "qt/dialogs/control_dialogs.h"
#include "qt/file_dialogs.h"
#include "qt/qt_frame.h"
#include "qt/qt_platform.h"
#include "qt/qt_window.h"

namespace datatable {

std::shared_ptr<platform::Platform> MakeQtPlatform() {
  auto platform = std::make_shared<qtui::QtPlatform>();
  // The desktop's file dialogs and clipboard, and the control's own dialogs on screen.
  platform->SetFileDialogs(std::make_unique<qtui::QtFileDialogs>());
  platform->SetClipboard(std::make_unique<qtui::QtClipboard>());
  platform->SetControlDialogs(std::make_unique<qtui::QtControlDialogs>());
  return platform;
}

CWnd* ParentWindow(QWidget* widget) { return qtui::WidgetWindow::Of(widget); }

QWidget* TableWindow(CZAT* table) {
  if (table == nullptr) return nullptr;
  CWnd* window = nullptr;
  table->GetAccelTableParams(&window, nullptr);
  auto* frame = dynamic_cast<qtui::QtFrame*>(window);
  return frame != nullptr ? frame->Widget() : nullptr;
}

}  // namespace datatable
