#pragma once
// The table's window: a top-level frame (menu 3001, accelerators 3001, status bar) or a child
// window inside the host's window, holding the engine's view. The platform reports window
// messages and menu commands to a FrameClient (the table).

#include <string>

#include "datatable/window_types.h"
#include "platform/command_state.h"
#include "platform/geometry.h"
#include "platform/window.h"

namespace engine {
class Control;
}

namespace platform {

// Window styles the table asks for.
enum WindowStyle : unsigned long {
  WS_CHILD = 0x40000000UL,
  WS_VISIBLE = 0x10000000UL,
  WS_CLIPSIBLINGS = 0x04000000UL,
  WS_CLIPCHILDREN = 0x02000000UL,
  WS_OVERLAPPEDWINDOW = 0x00CF0000UL,
  WS_MINIMIZEBOX = 0x00020000UL,
  WS_MAXIMIZEBOX = 0x00010000UL,
  FWS_ADDTOTITLE = 0x00008000UL,
};

// What a window is created with; the client may change it in PreCreateWindow.
struct CreateStruct {
  std::string className;
  std::string title;
  unsigned long style = 0;
  Rect rect;               // position and size
  CWnd* parent = nullptr;
  HMENU hMenu = nullptr;   // the menu the window gets (frame mode)
};

// How the table asks for its window.
struct FrameSpec {
  bool child = false;          // child window inside parent, no menu, no status bar
  unsigned resourceId = 0;     // frame mode: menu, accelerators and title from this id
  std::string className;
  std::string title;
  unsigned long style = 0;
  Rect rect;
  bool defaultRect = true;     // let the platform choose position and size
  CWnd* parent = nullptr;
  unsigned helpId = 0;
};

// What the window reports to the table.
class FrameClient {
 public:
  virtual ~FrameClient() = default;
  virtual bool PreCreateWindow(CreateStruct& cs) = 0;
  virtual int OnCreate(CreateStruct& cs) = 0;  // -1 fails the creation
  virtual void OnSize(unsigned type, int cx, int cy) = 0;
  // The user asked to close the window. The client may destroy the window, and the frame
  // object with it, before this returns.
  virtual void OnClose() = 0;
  virtual void OnDestroy() = 0;
  virtual void OnTimer(unsigned id) = 0;
  virtual void OnContextMenu(CWnd* wnd, const Point& point) = 0;
  virtual bool OnCommand(unsigned id) = 0;
  virtual bool OnUpdateCommand(CommandState& state) = 0;
};

class StatusBar {
 public:
  virtual ~StatusBar() = default;
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
  virtual Rect GetClientRect() const = 0;  // (0, 0, width, height)
};

// The child window that shows the engine's workbook.
class ControlWindow {
 public:
  virtual ~ControlWindow() = default;
  // Position within the frame's client area.
  virtual void MoveWindow(int x, int y, int width, int height, bool repaint) = 0;
  virtual Rect GetRect() const = 0;
  // The window repaints from the engine (after a change the table made without events).
  virtual void Refresh() = 0;
};

class Frame : public CWnd {
 public:
  // Creates the window: builds a CreateStruct from the spec, lets the client's PreCreateWindow
  // adjust it, creates the window, runs the client's OnCreate and sends the first OnSize.
  // false when any step fails.
  virtual bool Create(FrameClient& client, const FrameSpec& spec) = 0;
  // Destroys the window; the client's OnDestroy runs inside. false when it cannot.
  virtual bool DestroyWindow() = 0;
  virtual bool IsWindow() const = 0;

  virtual void SetTitle(const std::string& title) = 0;
  virtual std::string GetTitle() const = 0;
  virtual void Show(bool show) = 0;
  virtual bool IsVisible() const = 0;
  virtual void Activate() = 0;  // bring to the front and make it the active window
  virtual void MoveWindow(int x, int y, int width, int height, bool repaint) = 0;
  virtual Rect GetClientRect() const = 0;  // (0, 0, width, height)

  // Menus. A submenu is addressed by its position in the menu bar.
  virtual HMENU GetMenu() const = 0;
  virtual bool DeleteMenuCommand(HMENU menu, int submenu, unsigned command) = 0;
  virtual bool DeleteMenuPosition(HMENU menu, int submenu, int position) = 0;
  virtual bool DestroyMenu(HMENU menu) = 0;
  // Shows popup `popup` of menu resource `menuId` at a screen point; commands come back
  // through the client's OnCommand.
  virtual void TrackPopupMenu(unsigned menuId, int popup, const Point& point) = 0;

  virtual HACCEL LoadAccelerators(unsigned id) = 0;
  virtual HACCEL Accelerators() const = 0;
  virtual HICON LoadIcon(unsigned id) = 0;
  virtual void SetIcon(HICON icon, bool big) = 0;

  // Owned by the frame.
  virtual StatusBar* CreateStatusBar(int panes) = 0;
  virtual ControlWindow* CreateControlWindow(unsigned id, unsigned long style, const Rect& rect,
                                             engine::Control* control) = 0;

  // Timers: once started, the client's OnTimer(id) runs every period until it is stopped.
  // Starting a running timer restarts it.
  virtual void SetTimer(unsigned id, unsigned periodMs) = 0;
  virtual void KillTimer(unsigned id) = 0;
};

}  // namespace platform
