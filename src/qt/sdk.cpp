// The Qt SDK's functions.

#include "datatable/qt_platform.h"
#include "datatable/zat.h"
#include "qt/qt_frame.h"
#include "qt/qt_platform.h"
#include "qt/qt_window.h"

namespace datatable {

std::shared_ptr<platform::Platform> MakeQtPlatform() {
  return std::make_shared<qtui::QtPlatform>();
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
