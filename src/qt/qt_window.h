#pragma once
// A QWidget as the table sees a window (CWnd): a host's widget given as the parent, the desktop.
// One per widget, alive as long as the widget.

#include <QPointer>
#include <QWidget>

#include "platform/window.h"

namespace qtui {

class WidgetWindow : public CWnd {
 public:
  // The window of a widget, made on first use; nullptr for nullptr.
  static WidgetWindow* Of(QWidget* widget);
  // The widget of a window of this kind; nullptr for any other CWnd or a widget that is gone.
  static QWidget* WidgetOf(CWnd* window);

  explicit WidgetWindow(QWidget* widget) : widget_(widget) {}
  platform::Rect GetWindowRect() const override;
  QWidget* Widget() const { return widget_; }

 private:
  QPointer<QWidget> widget_;
};

// The rectangle of a widget in screen coordinates (its frame for a top-level window).
platform::Rect ScreenRect(const QWidget& widget);

// The desktop: the primary screen's rectangle.
class DesktopWindow : public CWnd {
 public:
  platform::Rect GetWindowRect() const override;
};

}  // namespace qtui
