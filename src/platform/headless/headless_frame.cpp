// The headless window.

#include "platform/headless/headless_frame.h"

#include <algorithm>
#include <string>

#include "platform/headless/headless_platform.h"
#include "resources/accelerators.h"
#include "resources/icon.h"
#include "resources/menus.h"

namespace platform {

namespace {

HeadlessMenuItem Convert(const resources::MenuItem& item, resources::Language lang) {
  HeadlessMenuItem out;
  out.id = static_cast<unsigned>(item.id);
  out.separator = item.separator;
  out.grayed = item.grayed;
  if (const char* text = item.Text(lang)) out.text = text;
  for (const auto& child : item.children) out.children.push_back(Convert(child, lang));
  return out;
}

std::vector<HeadlessMenuItem> LoadMenu(unsigned id, resources::Language lang) {
  std::vector<HeadlessMenuItem> bar;
  if (const resources::Menu* menu = resources::FindMenu(static_cast<int>(id)))
    for (const auto& item : menu->items) bar.push_back(Convert(item, lang));
  return bar;
}

// Removes the first item with the command id, searching nested popups too.
bool RemoveCommand(std::vector<HeadlessMenuItem>& items, unsigned command) {
  for (auto it = items.begin(); it != items.end(); ++it) {
    if (!it->separator && it->children.empty() && it->id == command) {
      items.erase(it);
      return true;
    }
    if (RemoveCommand(it->children, command)) return true;
  }
  return false;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

constexpr Rect kDefaultRect{0, 0, 640, 480};

}  // namespace

void HeadlessControlWindow::MoveWindow(int x, int y, int width, int height, bool /*repaint*/) {
  rect_ = Rect{x, y, x + width, y + height};
}

HeadlessFrame::HeadlessFrame(HeadlessPlatform& platform) : platform_(platform) {
  platform_.frames_.push_back(this);
}

HeadlessFrame::~HeadlessFrame() {
  auto& frames = platform_.frames_;
  frames.erase(std::remove(frames.begin(), frames.end(), this), frames.end());
}

bool HeadlessFrame::Create(FrameClient& client, const FrameSpec& spec) {
  if (created_) return false;
  client_ = &client;
  spec_ = spec;
  cs_ = CreateStruct{};
  cs_.className = spec.className;
  cs_.title = spec.title;
  cs_.style = spec.style;
  cs_.rect = spec.defaultRect ? kDefaultRect : spec.rect;
  cs_.parent = spec.parent;
  if (!spec.child && spec.resourceId != 0) {
    // A frame loaded from its resource: menu, accelerators and title.
    const auto lang = resources::LanguageFor(platform_.StringSource().Language());
    menu_ = LoadMenu(spec.resourceId, lang);
    menuLoaded_ = true;
    cs_.hMenu = static_cast<HMENU>(&menu_);
    LoadAccelerators(spec.resourceId);
    std::string title;
    if (platform_.Strings().Load(spec.resourceId, title)) cs_.title = FirstLine(title);
  }
  if (!client.PreCreateWindow(cs_)) return false;
  created_ = true;
  rect_ = cs_.rect;
  title_ = cs_.title;
  if (cs_.hMenu == nullptr) menu_.clear();
  visible_ = (cs_.style & WS_VISIBLE) != 0;
  if (visible_) ++shows_;
  if (client.OnCreate(cs_) == -1) {
    destroyed_ = true;
    visible_ = false;
    return false;
  }
  SendSize();
  return true;
}

bool HeadlessFrame::DestroyWindow() {
  if (!IsWindow()) return false;
  client_->OnDestroy();
  destroyed_ = true;
  visible_ = false;
  active_ = false;
  timers_.clear();
  return true;
}

void HeadlessFrame::Show(bool show) {
  if (show && !visible_) ++shows_;
  visible_ = show;
  if (!show) active_ = false;
}

void HeadlessFrame::Activate() {
  active_ = true;
  ++activations_;
}

void HeadlessFrame::MoveWindow(int x, int y, int width, int height, bool /*repaint*/) {
  const bool resized = width != rect_.Width() || height != rect_.Height();
  rect_ = Rect{x, y, x + width, y + height};
  if (status_) status_->SetWidth(width);
  if (resized && IsWindow()) SendSize();
}

HMENU HeadlessFrame::GetMenu() const {
  if (!menuLoaded_ || menuDestroyed_) return nullptr;
  return static_cast<HMENU>(const_cast<std::vector<HeadlessMenuItem>*>(&menu_));
}

HeadlessMenuItem* HeadlessFrame::Submenu(int position) {
  if (position < 0 || static_cast<std::size_t>(position) >= menu_.size()) return nullptr;
  return &menu_[static_cast<std::size_t>(position)];
}

bool HeadlessFrame::DeleteMenuCommand(HMENU menu, int submenu, unsigned command) {
  if (menu == nullptr || menu != GetMenu()) return false;
  HeadlessMenuItem* popup = Submenu(submenu);
  return popup != nullptr && RemoveCommand(popup->children, command);
}

bool HeadlessFrame::DeleteMenuPosition(HMENU menu, int submenu, int position) {
  if (menu == nullptr || menu != GetMenu()) return false;
  HeadlessMenuItem* popup = Submenu(submenu);
  if (popup == nullptr || position < 0 ||
      static_cast<std::size_t>(position) >= popup->children.size())
    return false;
  popup->children.erase(popup->children.begin() + position);
  return true;
}

bool HeadlessFrame::DestroyMenu(HMENU menu) {
  if (menu == nullptr || menu != GetMenu()) return false;
  menu_.clear();
  menuDestroyed_ = true;
  return true;
}

void HeadlessFrame::TrackPopupMenu(unsigned menuId, int popup, const Point& point) {
  popups_.push_back(TrackedPopup{menuId, popup, point});
}

HACCEL HeadlessFrame::LoadAccelerators(unsigned id) {
  auto table = resources::AcceleratorTable(static_cast<int>(id));
  if (table.empty()) return nullptr;
  accelId_ = id;
  accel_ = const_cast<resources::Accelerator*>(table.data());
  return accel_;
}

HICON HeadlessFrame::LoadIcon(unsigned id) {
  auto sizes = resources::IconSizes(static_cast<int>(id));
  if (sizes.empty()) return nullptr;
  HICON icon = const_cast<int*>(sizes.data());
  iconIds_[icon] = id;
  return icon;
}

void HeadlessFrame::SetIcon(HICON icon, bool big) {
  auto it = iconIds_.find(icon);
  (big ? bigIcon_ : smallIcon_) = it == iconIds_.end() ? 0 : it->second;
}

StatusBar* HeadlessFrame::CreateStatusBar(int /*panes*/) {
  status_ = std::make_unique<HeadlessStatusBar>();
  status_->SetWidth(rect_.Width());
  std::string ready;
  if (platform_.Strings().Load(57345, ready)) status_->SetText(ready);
  return status_.get();
}

ControlWindow* HeadlessFrame::CreateControlWindow(unsigned id, unsigned long style,
                                                  const Rect& rect, engine::Control* control) {
  control_ = std::make_unique<HeadlessControlWindow>(id, style, rect, control);
  return control_.get();
}

void HeadlessFrame::SetTimer(unsigned id, unsigned periodMs) { timers_[id] = periodMs; }

void HeadlessFrame::KillTimer(unsigned id) { timers_.erase(id); }

bool HeadlessFrame::FireTimer(unsigned id) {
  if (!IsWindow() || !TimerRunning(id)) return false;
  client_->OnTimer(id);
  return true;
}

void HeadlessFrame::RequestClose() {
  if (!IsWindow()) return;
  FrameClient* client = client_;
  client->OnClose();  // may delete this frame
}

void HeadlessFrame::Resize(int cx, int cy) { MoveWindow(rect_.left, rect_.top, cx, cy, true); }

bool HeadlessFrame::Command(unsigned id) { return IsWindow() && client_->OnCommand(id); }

CommandState HeadlessFrame::UpdateCommand(unsigned id, bool opensSubmenu) {
  CommandState state;
  state.id = id;
  state.opensSubmenu = opensSubmenu;
  if (IsWindow()) client_->OnUpdateCommand(state);
  return state;
}

void HeadlessFrame::ContextMenu(const Point& point) {
  if (IsWindow()) client_->OnContextMenu(this, point);
}

void HeadlessFrame::SendSize() {
  const Rect client = GetClientRect();
  client_->OnSize(0, client.Width(), client.Height());
}

}  // namespace platform
