#pragma once
// The headless window: an in-memory record of what the window would show (title, visibility,
// rectangle, menu bar, status text, the engine view's rectangle, running timers), and the
// actions a person would take on it (close, resize, fire a timer, choose a command).

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/frame.h"

namespace platform {

class HeadlessPlatform;

// A menu as the window holds it (built from the menu resources, then trimmed by the table).
struct HeadlessMenuItem {
  unsigned id = 0;
  std::string text;
  bool separator = false;
  bool grayed = false;
  std::vector<HeadlessMenuItem> children;  // a popup when not empty
};

class HeadlessStatusBar : public StatusBar {
 public:
  void SetText(const std::string& text) override { text_ = text; }
  std::string Text() const override { return text_; }
  Rect GetClientRect() const override { return Rect{0, 0, width_, kHeight}; }
  void SetWidth(int width) { width_ = width; }
  static constexpr int kHeight = 20;

 private:
  std::string text_;
  int width_ = 0;
};

class HeadlessControlWindow : public ControlWindow {
 public:
  HeadlessControlWindow(unsigned id, unsigned long style, Rect rect, engine::Control* control)
      : id_(id), style_(style), rect_(rect), control_(control) {}
  void MoveWindow(int x, int y, int width, int height, bool repaint) override;
  Rect GetRect() const override { return rect_; }
  void Refresh() override { ++refreshes_; }
  unsigned Id() const { return id_; }
  unsigned long Style() const { return style_; }
  engine::Control* Control() const { return control_; }
  int Refreshes() const { return refreshes_; }

 private:
  unsigned id_;
  unsigned long style_;
  Rect rect_;
  engine::Control* control_;
  int refreshes_ = 0;
};

// A popup menu the window was asked to track.
struct TrackedPopup {
  unsigned menuId = 0;
  int popup = 0;
  Point point;
};

class HeadlessFrame : public Frame {
 public:
  explicit HeadlessFrame(HeadlessPlatform& platform);
  ~HeadlessFrame() override;

  // --- Frame --------------------------------------------------------------------------------
  bool Create(FrameClient& client, const FrameSpec& spec) override;
  bool DestroyWindow() override;
  bool IsWindow() const override { return created_ && !destroyed_; }
  Rect GetWindowRect() const override { return rect_; }
  void SetTitle(const std::string& title) override { title_ = title; }
  std::string GetTitle() const override { return title_; }
  void Show(bool show) override;
  bool IsVisible() const override { return visible_; }
  void Activate() override;
  void MoveWindow(int x, int y, int width, int height, bool repaint) override;
  Rect GetClientRect() const override { return Rect{0, 0, rect_.Width(), rect_.Height()}; }
  HMENU GetMenu() const override;
  bool DeleteMenuCommand(HMENU menu, int submenu, unsigned command) override;
  bool DeleteMenuPosition(HMENU menu, int submenu, int position) override;
  bool DestroyMenu(HMENU menu) override;
  void TrackPopupMenu(unsigned menuId, int popup, const Point& point) override;
  HACCEL LoadAccelerators(unsigned id) override;
  HACCEL Accelerators() const override { return accel_; }
  HICON LoadIcon(unsigned id) override;
  void SetIcon(HICON icon, bool big) override;
  StatusBar* CreateStatusBar(int panes) override;
  ControlWindow* CreateControlWindow(unsigned id, unsigned long style, const Rect& rect,
                                     engine::Control* control) override;
  void SetTimer(unsigned id, unsigned periodMs) override;
  void KillTimer(unsigned id) override;

  // --- What the window shows ------------------------------------------------------------------
  bool IsChild() const { return spec_.child; }
  const FrameSpec& Spec() const { return spec_; }
  const CreateStruct& Created() const { return cs_; }  // after PreCreateWindow
  bool IsDestroyed() const { return destroyed_; }
  bool IsActive() const { return active_; }
  int ShowCount() const { return shows_; }       // hidden → visible transitions
  int ActivateCount() const { return activations_; }
  bool MenuDestroyed() const { return menuDestroyed_; }
  // The menu bar (empty in child mode or after the menu was destroyed).
  const std::vector<HeadlessMenuItem>& MenuBar() const { return menu_; }
  unsigned AcceleratorId() const { return accelId_; }
  unsigned IconId(bool big) const { return big ? bigIcon_ : smallIcon_; }
  HeadlessStatusBar* Status() const { return status_.get(); }
  HeadlessControlWindow* ControlView() const { return control_.get(); }
  // Running timers and their periods.
  const std::map<unsigned, unsigned>& Timers() const { return timers_; }
  bool TimerRunning(unsigned id) const { return timers_.count(id) != 0; }
  const std::vector<TrackedPopup>& Popups() const { return popups_; }

  // --- What a person does -----------------------------------------------------------------------
  // The timer's period elapses: the client's OnTimer runs when the timer is running. false when
  // it was not running.
  bool FireTimer(unsigned id);
  // The close box. The client may destroy the window and delete this frame; nothing of the
  // frame may be used after this returns unless the caller knows it still exists.
  void RequestClose();
  // The user resizes the window to a client area of cx × cy.
  void Resize(int cx, int cy);
  // Chooses a menu command (or its accelerator); false when the client does not handle it.
  bool Command(unsigned id);
  // Asks the client for a command's state, as the menu does before it opens.
  CommandState UpdateCommand(unsigned id, bool opensSubmenu = false);
  // A right click at a screen point.
  void ContextMenu(const Point& point);

 private:
  void SendSize();
  HeadlessMenuItem* Submenu(int position);

  HeadlessPlatform& platform_;
  FrameClient* client_ = nullptr;
  FrameSpec spec_;
  CreateStruct cs_;
  bool created_ = false;
  bool destroyed_ = false;
  bool visible_ = false;
  bool active_ = false;
  int shows_ = 0;
  int activations_ = 0;
  Rect rect_;
  std::string title_;
  std::vector<HeadlessMenuItem> menu_;
  bool menuLoaded_ = false;
  bool menuDestroyed_ = false;
  HACCEL accel_ = nullptr;
  unsigned accelId_ = 0;
  unsigned bigIcon_ = 0;
  unsigned smallIcon_ = 0;
  std::map<HICON, unsigned> iconIds_;
  std::unique_ptr<HeadlessStatusBar> status_;
  std::unique_ptr<HeadlessControlWindow> control_;
  std::map<unsigned, unsigned> timers_;
  std::vector<TrackedPopup> popups_;
};

}  // namespace platform
