// Widgets as windows of the table.

#include "qt/qt_window.h"

#include <QGuiApplication>
#include <QScreen>

namespace qtui {

namespace {
constexpr const char* kWindowProperty = "datatable.window";
}

WidgetWindow* WidgetWindow::Of(QWidget* widget) {
  if (widget == nullptr) return nullptr;
  // The window object lives in a child QObject of the widget, so it goes with the widget.
  if (auto* holder = widget->findChild<QObject*>(kWindowProperty, Qt::FindDirectChildrenOnly))
    return static_cast<WidgetWindow*>(holder->property(kWindowProperty).value<void*>());
  struct Holder : QObject {
    explicit Holder(QWidget* w) : QObject(w), window(w) {}
    WidgetWindow window;
  };
  auto* holder = new Holder(widget);
  holder->setObjectName(kWindowProperty);
  holder->setProperty(kWindowProperty, QVariant::fromValue(static_cast<void*>(&holder->window)));
  return &holder->window;
}

QWidget* WidgetWindow::WidgetOf(CWnd* window) {
  auto* own = dynamic_cast<WidgetWindow*>(window);
  return own != nullptr ? own->Widget() : nullptr;
}

platform::Rect ScreenRect(const QWidget& widget) {
  QRect r;
  if (widget.isWindow()) {
    r = widget.frameGeometry();
  } else {
    r = QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size());
  }
  return platform::Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

platform::Rect WidgetWindow::GetWindowRect() const {
  return widget_ ? ScreenRect(*widget_) : platform::Rect{};
}

platform::Rect DesktopWindow::GetWindowRect() const {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return platform::Rect{0, 0, 1920, 1080};
  const QRect r = screen->geometry();
  return platform::Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

}  // namespace qtui
