#pragma once
// The table's window on Qt: a QMainWindow with the menu bar of menu 3001, the accelerators of
// table 3001 on the menu items' own actions and a status bar (frame mode), or a plain widget
// inside the host's widget (child mode, the accelerators limited to it). Either holds the control
// pane: the grid over the engine and the sheet tabs below it.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <string>

#include "platform/frame.h"

class QAction;
class QIcon;
class QMainWindow;
class QMenu;
class QMenuBar;
class QStatusBar;
class QTabBar;
class QTimer;

namespace engine {
class Control;
}

namespace qtui {

class GridModel;
class GridView;
class QtPlatform;

// The widget of a table window or of a host's window; nullptr for anything else.
QWidget* WidgetOfWindow(CWnd* window);

// The grid and the sheet tabs.
class ControlPane : public QWidget {
  Q_OBJECT

 public:
  ControlPane(engine::Control* control, QWidget* parent);
  ~ControlPane() override;
  GridView* Grid() const { return grid_; }
  GridModel* Model() const { return model_; }
  QTabBar* Tabs() const { return tabs_; }
  // The engine goes away: the pane shows nothing of it from now on.
  void Detach();
  void ShowEngineTabs();

 private:
  GridModel* model_;
  GridView* grid_;
  QTabBar* tabs_;
  bool syncingTabs_ = false;
};

class QtControlWindow : public platform::ControlWindow {
 public:
  explicit QtControlWindow(ControlPane* pane) : pane_(pane) {}
  // The pane fills the window's client area by itself (a layout); this records the request.
  void MoveWindow(int x, int y, int width, int height, bool repaint) override;
  platform::Rect GetRect() const override;
  void Refresh() override;
  ControlPane* Pane() const { return pane_; }

 private:
  QPointer<ControlPane> pane_;
};

class QtStatusBar : public platform::StatusBar {
 public:
  QtStatusBar(QStatusBar* bar, std::string ready);
  void SetText(const std::string& text) override;
  std::string Text() const override;
  platform::Rect GetClientRect() const override;

 private:
  QPointer<QStatusBar> bar_;
};

class QtFrame : public platform::Frame {
 public:
  explicit QtFrame(QtPlatform& platform);
  ~QtFrame() override;

  bool Create(platform::FrameClient& client, const platform::FrameSpec& spec) override;
  bool DestroyWindow() override;
  bool IsWindow() const override;
  platform::Rect GetWindowRect() const override;
  void SetTitle(const std::string& title) override;
  std::string GetTitle() const override;
  void Show(bool show) override;
  bool IsVisible() const override;
  void Activate() override;
  void MoveWindow(int x, int y, int width, int height, bool repaint) override;
  platform::Rect GetClientRect() const override;
  HMENU GetMenu() const override;
  bool DeleteMenuCommand(HMENU menu, int submenu, unsigned command) override;
  bool DeleteMenuPosition(HMENU menu, int submenu, int position) override;
  bool DestroyMenu(HMENU menu) override;
  void TrackPopupMenu(unsigned menuId, int popup, const platform::Point& point) override;
  HACCEL LoadAccelerators(unsigned id) override;
  HACCEL Accelerators() const override { return accel_; }
  HICON LoadIcon(unsigned id) override;
  void SetIcon(HICON icon, bool big) override;
  platform::StatusBar* CreateStatusBar(int panes) override;
  platform::ControlWindow* CreateControlWindow(unsigned id, unsigned long style,
                                               const platform::Rect& rect,
                                               engine::Control* control) override;
  void SetTimer(unsigned id, unsigned periodMs) override;
  void KillTimer(unsigned id) override;

  // --- For the SDK, the application and tests ------------------------------------------------
  // The QMainWindow (frame mode) or the child widget; nullptr before Create and after destroy.
  QWidget* Widget() const { return widget_; }
  QMainWindow* MainWindow() const;
  ControlPane* Pane() const;
  bool IsChild() const { return spec_.child; }
  // The action of a command (a menu item's, or the accelerator's own when the command has no
  // item); nullptr when none.
  QAction* CommandAction(unsigned command) const;
  // Asks the client for a command's state and applies it to its action, as a menu does before
  // it opens.
  platform::CommandState UpdateCommand(unsigned id, bool opensSubmenu = false);
  // Asks the client for a command's state without showing it.
  platform::CommandState QueryCommand(unsigned id, bool opensSubmenu = false);
  // Runs a command as its menu item or accelerator would: not when its update handler grays it.
  bool Dispatch(unsigned id);
  bool TimerRunning(unsigned id) const;

 private:
  class Events;
  void BuildMenuBar(unsigned id);
  void PrepareMenu(QMenu* menu);
  void WireAction(QAction* action, unsigned id);
  void SendSize();
  void ReleaseWidget();

  QtPlatform& platform_;
  platform::FrameClient* client_ = nullptr;
  platform::FrameSpec spec_;
  // Context of every connection: they end with the frame, even when the widget lives on until
  // its deferred deletion.
  std::unique_ptr<QObject> guard_;
  std::unique_ptr<Events> events_;
  QPointer<QWidget> widget_;
  QPointer<QMenuBar> menuBar_;
  bool menuDestroyed_ = false;
  bool created_ = false;
  bool destroyed_ = false;
  HACCEL accel_ = nullptr;
  std::map<unsigned, QPointer<QAction>> accelActions_;  // accelerators without a menu item
  std::map<HICON, std::unique_ptr<QIcon>> icons_;
  std::unique_ptr<QtStatusBar> status_;
  std::unique_ptr<QtControlWindow> control_;
  std::map<unsigned, QPointer<QTimer>> timers_;
};

}  // namespace qtui
