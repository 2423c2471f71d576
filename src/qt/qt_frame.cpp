// The table's window on Qt.

#include "qt/qt_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWhatsThis>

#include "control/control.h"
#include "qt/grid_model.h"
#include "qt/grid_view.h"
#include "qt/qt_platform.h"
#include "qt/qt_window.h"
#include "resources/accelerators.h"
#include "resources/icon.h"
#include "resources/menus.h"

namespace qtui {

namespace {

constexpr unsigned kStrReady = 57345;
constexpr unsigned kCmdWhatsThis = 57669;
constexpr int kDefaultWidth = 640, kDefaultHeight = 480;
constexpr const char* kCommandProperty = "datatable.command";

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

unsigned CommandOf(const QAction* action) {
  return action != nullptr ? action->property(kCommandProperty).toUInt() : 0;
}

// The first command inside a submenu (the one a state request for the submenu names).
unsigned FirstCommand(const QMenu* menu) {
  for (QAction* action : menu->actions()) {
    if (action->menu() != nullptr) {
      if (unsigned id = FirstCommand(action->menu())) return id;
    } else if (unsigned id = CommandOf(action)) {
      return id;
    }
  }
  return 0;
}

QKeySequence KeysOf(const resources::Accelerator& accelerator) {
  int key = 0;
  if (accelerator.key >= 'A' && accelerator.key <= 'Z')
    key = Qt::Key_A + (accelerator.key - 'A');
  else if (accelerator.key >= '0' && accelerator.key <= '9')
    key = Qt::Key_0 + (accelerator.key - '0');
  else if (accelerator.key == resources::kKeyDelete)
    key = Qt::Key_Delete;
  else if (accelerator.key >= resources::kKeyF1 && accelerator.key < resources::kKeyF1 + 24)
    key = Qt::Key_F1 + (accelerator.key - resources::kKeyF1);
  if (key == 0) return {};
  int modifiers = 0;
  if (accelerator.modifiers & resources::kModCtrl) modifiers |= Qt::ControlModifier;
  if (accelerator.modifiers & resources::kModShift) modifiers |= Qt::ShiftModifier;
  if (accelerator.modifiers & resources::kModAlt) modifiers |= Qt::AltModifier;
  return QKeySequence(key | modifiers);
}

QAction* FindAction(const QList<QAction*>& actions, unsigned command) {
  for (QAction* action : actions) {
    if (action->menu() != nullptr) {
      if (QAction* found = FindAction(action->menu()->actions(), command)) return found;
    } else if (CommandOf(action) == command) {
      return action;
    }
  }
  return nullptr;
}

}  // namespace

QWidget* WidgetOfWindow(CWnd* window) {
  if (auto* frame = dynamic_cast<QtFrame*>(window)) return frame->Widget();
  return WidgetWindow::WidgetOf(window);
}

// --- Control pane ------------------------------------------------------------------------------

ControlPane::ControlPane(engine::Control* control, QWidget* parent) : QWidget(parent) {
  model_ = new GridModel(control, this);
  grid_ = new GridView(model_, this);
  tabs_ = new QTabBar(this);
  tabs_->setShape(QTabBar::RoundedSouth);
  tabs_->setExpanding(false);
  tabs_->setDrawBase(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(grid_, 1);
  layout->addWidget(tabs_, 0, Qt::AlignLeft);
  connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
    engine::Control* c = model_->Control();
    if (syncingTabs_ || c == nullptr || index < 0) return;
    try {
      c->SetActiveSheet(index + 1);
    } catch (...) {
    }
  });
  connect(model_, &GridModel::workbookChanged, this, &ControlPane::ShowEngineTabs);
  ShowEngineTabs();
}

ControlPane::~ControlPane() { Detach(); }

void ControlPane::Detach() {
  if (model_ != nullptr) model_->Detach();
}

void ControlPane::ShowEngineTabs() {
  engine::Control* c = model_->Control();
  if (c == nullptr) return;
  syncingTabs_ = true;
  const int count = c->GetNumSheets();
  while (tabs_->count() > count) tabs_->removeTab(tabs_->count() - 1);
  for (int i = 0; i < count; ++i) {
    const QString name = FromUtf8(c->GetSheetName(i + 1));
    if (i < tabs_->count()) {
      if (tabs_->tabText(i) != name) tabs_->setTabText(i, name);
    } else {
      tabs_->addTab(name);
    }
  }
  tabs_->setCurrentIndex(c->GetActiveSheet() - 1);
  tabs_->setVisible(c->GetShowTabsMode() != 0);
  syncingTabs_ = false;
}

void QtControlWindow::MoveWindow(int /*x*/, int /*y*/, int /*width*/, int /*height*/,
                                 bool repaint) {
  if (pane_ && repaint) pane_->update();
}

platform::Rect QtControlWindow::GetRect() const {
  if (!pane_) return {};
  const QRect r = pane_->geometry();
  return platform::Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void QtControlWindow::Refresh() {
  if (!pane_) return;
  pane_->Grid()->ShowEngineLayout();
  pane_->Grid()->ShowEngineSelection();
  pane_->ShowEngineTabs();
  pane_->Grid()->viewport()->update();
  pane_->Grid()->horizontalHeader()->viewport()->update();
}

// --- Status bar --------------------------------------------------------------------------------

QtStatusBar::QtStatusBar(QStatusBar* bar, std::string ready) : bar_(bar) {
  const QString readyText = FromUtf8(ready);
  // "Ready" whenever nothing else is shown (a menu item's prompt ends with an empty message).
  QObject::connect(bar, &QStatusBar::messageChanged, bar, [bar, readyText](const QString& text) {
    if (text.isEmpty()) bar->showMessage(readyText);
  });
  bar->showMessage(readyText);
}

void QtStatusBar::SetText(const std::string& text) {
  if (bar_) bar_->showMessage(FromUtf8(text));
}

std::string QtStatusBar::Text() const {
  return bar_ ? bar_->currentMessage().toStdString() : std::string();
}

platform::Rect QtStatusBar::GetClientRect() const {
  if (!bar_) return {};
  const QSize size = bar_->isVisible() ? bar_->size() : bar_->sizeHint();
  return platform::Rect{0, 0, size.width(), size.height()};
}

// --- Frame -------------------------------------------------------------------------------------

// Window messages: the close box, resizing.
class QtFrame::Events : public QObject {
 public:
  explicit Events(QtFrame& frame) : frame_(frame) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != frame_.widget_) return false;
    switch (event->type()) {
      case QEvent::Close: {
        event->ignore();
        if (!frame_.IsWindow()) return true;
        platform::FrameClient* client = frame_.client_;
        client->OnClose();  // may destroy the window and this frame
        return true;
      }
      case QEvent::Resize:
        if (frame_.IsWindow()) frame_.SendSize();
        return false;
      default:
        return false;
    }
  }

 private:
  QtFrame& frame_;
};

QtFrame::QtFrame(QtPlatform& platform)
    : platform_(platform),
      guard_(std::make_unique<QObject>()),
      events_(std::make_unique<Events>(*this)) {}

QtFrame::~QtFrame() {
  guard_.reset();  // no connection reaches this frame any more
  ReleaseWidget();
}

void QtFrame::ReleaseWidget() {
  for (auto& [id, timer] : timers_)
    if (timer) timer->stop();
  if (control_ && control_->Pane()) control_->Pane()->Detach();
  if (widget_) {
    widget_->removeEventFilter(events_.get());
    widget_->hide();
    widget_->deleteLater();  // it may be in the middle of its own event
  }
  widget_ = nullptr;
}

bool QtFrame::Create(platform::FrameClient& client, const platform::FrameSpec& spec) {
  if (created_) return false;
  client_ = &client;
  spec_ = spec;
  platform::CreateStruct cs;
  cs.className = spec.className;
  cs.title = spec.title;
  cs.style = spec.style;
  cs.rect = spec.defaultRect ? platform::Rect{0, 0, kDefaultWidth, kDefaultHeight} : spec.rect;
  cs.parent = spec.parent;
  if (!spec.child && spec.resourceId != 0) {
    BuildMenuBar(spec.resourceId);
    cs.hMenu = menuBar_.data();
    std::string title;
    if (platform_.Strings().Load(spec.resourceId, title))
      cs.title = title.substr(0, title.find('\n'));
  }
  if (!client.PreCreateWindow(cs)) {
    delete menuBar_.data();
    return false;
  }
  created_ = true;
  if (spec.child) {
    QWidget* parent = WidgetOfWindow(cs.parent);
    auto* widget = new QWidget(parent);
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    widget_ = widget;
    if (parent != nullptr) {
      widget->setGeometry(cs.rect.left, cs.rect.top, cs.rect.Width(), cs.rect.Height());
    } else {
      widget->resize(cs.rect.Width(), cs.rect.Height());
    }
  } else {
    auto* window = new QMainWindow;
    if (cs.hMenu != nullptr && menuBar_) {
      window->setMenuBar(menuBar_);
    } else {
      delete menuBar_.data();
    }
    window->resize(cs.rect.Width(), cs.rect.Height());
    widget_ = window;
    if (spec.resourceId != 0) LoadAccelerators(spec.resourceId);
  }
  widget_->setWindowTitle(FromUtf8(cs.title));
  widget_->installEventFilter(events_.get());
  if (cs.style & platform::WS_VISIBLE) widget_->show();
  if (client.OnCreate(cs) == -1) {
    destroyed_ = true;
    ReleaseWidget();
    return false;
  }
  SendSize();
  return true;
}

void QtFrame::BuildMenuBar(unsigned id) {
  const resources::Menu* menu = resources::FindMenu(static_cast<int>(id));
  if (menu == nullptr) return;
  const auto lang = resources::LanguageFor(platform_.Language());
  auto* bar = new QMenuBar;
  std::function<void(QMenu*, std::span<const resources::MenuItem>)> fill =
      [&](QMenu* into, std::span<const resources::MenuItem> items) {
        for (const resources::MenuItem& item : items) {
          if (item.separator) {
            into->addSeparator();
          } else if (item.IsPopup()) {
            QMenu* sub = into->addMenu(FromUtf8(item.Text(lang) ? item.Text(lang) : ""));
            fill(sub, item.children);
            PrepareMenu(sub);
          } else {
            QAction* action = into->addAction(FromUtf8(item.Text(lang) ? item.Text(lang) : ""));
            action->setEnabled(!item.grayed);
            WireAction(action, static_cast<unsigned>(item.id));
          }
        }
      };
  for (const resources::MenuItem& top : menu->items) {
    QMenu* popup = bar->addMenu(FromUtf8(top.Text(lang) ? top.Text(lang) : ""));
    fill(popup, top.children);
    PrepareMenu(popup);
  }
  menuBar_ = bar;
}

void QtFrame::WireAction(QAction* action, unsigned id) {
  action->setProperty(kCommandProperty, id);
  std::string prompt;
  if (platform_.Strings().Load(id, prompt))
    action->setStatusTip(FromUtf8(prompt.substr(0, prompt.find('\n'))));
  QObject::connect(action, &QAction::triggered, guard_.get(), [this, id] { Dispatch(id); });
}

void QtFrame::PrepareMenu(QMenu* menu) {
  // The update handlers run before the menu opens. Once it closes, its actions are enabled again
  // so that their accelerators reach Dispatch, which asks the handler when the key is pressed.
  QObject::connect(menu, &QMenu::aboutToShow, guard_.get(), [this, menu] {
    for (QAction* action : menu->actions()) {
      if (action->isSeparator()) continue;
      if (QMenu* sub = action->menu()) {
        if (unsigned first = FirstCommand(sub)) {
          const platform::CommandState state = UpdateCommand(first, true);
          if (state.enabled) action->setEnabled(*state.enabled);
        }
      } else if (unsigned id = CommandOf(action)) {
        UpdateCommand(id);
      }
    }
  });
  QObject::connect(menu, &QMenu::aboutToHide, guard_.get(), [menu] {
    for (QAction* action : menu->actions())
      if (!action->isSeparator() && action->menu() == nullptr && !action->shortcut().isEmpty())
        action->setEnabled(true);
  });
}

platform::CommandState QtFrame::QueryCommand(unsigned id, bool opensSubmenu) {
  platform::CommandState state;
  state.id = id;
  state.opensSubmenu = opensSubmenu;
  if (!IsWindow()) return state;
  try {
    client_->OnUpdateCommand(state);
  } catch (...) {
  }
  return state;
}

platform::CommandState QtFrame::UpdateCommand(unsigned id, bool opensSubmenu) {
  const platform::CommandState state = QueryCommand(id, opensSubmenu);
  if (opensSubmenu) return state;
  if (QAction* action = CommandAction(id)) {
    if (state.enabled) action->setEnabled(*state.enabled);
    if (state.checked) {
      action->setCheckable(*state.checked != 0);
      action->setChecked(*state.checked != 0);
    }
    if (state.text) action->setText(FromUtf8(*state.text));
  }
  return state;
}

bool QtFrame::Dispatch(unsigned id) {
  if (!IsWindow()) return false;
  // The key asks the update handler; the action itself stays enabled for the next key.
  const platform::CommandState state = QueryCommand(id);
  if (state.enabled && !*state.enabled) return false;
  platform::FrameClient* client = client_;
  bool handled = false;
  try {
    handled = client->OnCommand(id);  // may destroy the window and this frame
  } catch (...) {
    return false;
  }
  if (!handled && id == kCmdWhatsThis) {
    QWhatsThis::enterWhatsThisMode();
    return true;
  }
  return handled;
}

QAction* QtFrame::CommandAction(unsigned command) const {
  if (menuBar_ && !menuDestroyed_) {
    if (QAction* action = FindAction(menuBar_->actions(), command)) return action;
  }
  auto it = accelActions_.find(command);
  return it != accelActions_.end() ? it->second.data() : nullptr;
}

bool QtFrame::DestroyWindow() {
  if (!IsWindow()) return false;
  client_->OnDestroy();
  destroyed_ = true;
  ReleaseWidget();
  return true;
}

bool QtFrame::IsWindow() const { return created_ && !destroyed_ && widget_ != nullptr; }

platform::Rect QtFrame::GetWindowRect() const {
  return widget_ ? ScreenRect(*widget_) : platform::Rect{};
}

void QtFrame::SetTitle(const std::string& title) {
  if (widget_) widget_->setWindowTitle(FromUtf8(title));
}

std::string QtFrame::GetTitle() const {
  return widget_ ? widget_->windowTitle().toStdString() : std::string();
}

void QtFrame::Show(bool show) {
  if (widget_) widget_->setVisible(show);
}

bool QtFrame::IsVisible() const { return widget_ && !widget_->isHidden(); }

void QtFrame::Activate() {
  if (!widget_) return;
  QWidget* window = widget_->window();
  window->raise();
  window->activateWindow();
}

void QtFrame::MoveWindow(int x, int y, int width, int height, bool /*repaint*/) {
  if (!widget_) return;
  if (widget_->isWindow()) {
    // The rectangle is the outer one; the widget's own size leaves out the decorations.
    const QSize extra = widget_->frameGeometry().size() - widget_->geometry().size();
    widget_->move(x, y);
    widget_->resize(std::max(0, width - extra.width()), std::max(0, height - extra.height()));
  } else {
    const QPoint origin = widget_->parentWidget() != nullptr
                              ? widget_->parentWidget()->mapFromGlobal(QPoint(x, y))
                              : QPoint(x, y);
    widget_->setGeometry(origin.x(), origin.y(), width, height);
  }
}

platform::Rect QtFrame::GetClientRect() const {
  if (!widget_) return {};
  int height = widget_->height();
  if (auto* main = qobject_cast<QMainWindow*>(widget_.data()); main && main->menuWidget())
    height -= main->menuWidget()->isVisible() ? main->menuWidget()->height() : 0;
  return platform::Rect{0, 0, widget_->width(), std::max(0, height)};
}

HMENU QtFrame::GetMenu() const {
  return menuBar_ && !menuDestroyed_ ? static_cast<HMENU>(menuBar_.data()) : nullptr;
}

bool QtFrame::DeleteMenuCommand(HMENU menu, int submenu, unsigned command) {
  if (menu == nullptr || menu != GetMenu()) return false;
  const QList<QAction*> tops = menuBar_->actions();
  if (submenu < 0 || submenu >= tops.size() || tops[submenu]->menu() == nullptr) return false;
  std::function<bool(QMenu*)> remove = [&](QMenu* from) {
    for (QAction* action : from->actions()) {
      if (action->menu() != nullptr) {
        if (remove(action->menu())) return true;
      } else if (CommandOf(action) == command) {
        from->removeAction(action);
        // An accelerator of the command keeps working without its item.
        if (!action->shortcut().isEmpty()) {
          widget_->addAction(action);
          accelActions_[command] = action;
        } else {
          action->deleteLater();
        }
        return true;
      }
    }
    return false;
  };
  return remove(tops[submenu]->menu());
}

bool QtFrame::DeleteMenuPosition(HMENU menu, int submenu, int position) {
  if (menu == nullptr || menu != GetMenu()) return false;
  const QList<QAction*> tops = menuBar_->actions();
  if (submenu < 0 || submenu >= tops.size() || tops[submenu]->menu() == nullptr) return false;
  QMenu* popup = tops[submenu]->menu();
  const QList<QAction*> items = popup->actions();
  if (position < 0 || position >= items.size()) return false;
  QAction* action = items[position];
  popup->removeAction(action);
  if (action->parent() == popup) action->deleteLater();
  return true;
}

bool QtFrame::DestroyMenu(HMENU menu) {
  if (menu == nullptr || menu != GetMenu()) return false;
  menuBar_->hide();
  menuDestroyed_ = true;
  return true;
}

void QtFrame::TrackPopupMenu(unsigned menuId, int popup, const platform::Point& point) {
  const resources::Menu* menu = resources::FindMenu(static_cast<int>(menuId));
  if (menu == nullptr || popup < 0 || static_cast<std::size_t>(popup) >= menu->items.size() ||
      !IsWindow())
    return;
  const auto lang = resources::LanguageFor(platform_.Language());
  QMenu context(widget_);
  std::function<void(QMenu*, std::span<const resources::MenuItem>)> fill =
      [&](QMenu* into, std::span<const resources::MenuItem> items) {
        for (const resources::MenuItem& item : items) {
          const QString text = FromUtf8(item.Text(lang) ? item.Text(lang) : "");
          if (item.separator) {
            into->addSeparator();
          } else if (item.IsPopup()) {
            fill(into->addMenu(text), item.children);
          } else {
            QAction* action = into->addAction(text);
            action->setProperty(kCommandProperty, static_cast<unsigned>(item.id));
            action->setEnabled(!item.grayed);
          }
        }
        QObject::connect(into, &QMenu::aboutToShow, into, [this, into] {
          for (QAction* action : into->actions()) {
            if (action->isSeparator()) continue;
            const unsigned id = action->menu() ? FirstCommand(action->menu()) : CommandOf(action);
            if (id == 0) continue;
            const platform::CommandState state = UpdateCommand(id, action->menu() != nullptr);
            if (state.enabled) action->setEnabled(*state.enabled);
            if (state.checked && action->menu() == nullptr) {
              action->setCheckable(true);
              action->setChecked(*state.checked != 0);
            }
            if (state.text && action->menu() == nullptr) action->setText(FromUtf8(*state.text));
          }
        });
      };
  fill(&context, menu->items[static_cast<std::size_t>(popup)].children);
  QAction* chosen = context.exec(QPoint(point.x, point.y));
  if (const unsigned id = CommandOf(chosen)) Dispatch(id);
}

HACCEL QtFrame::LoadAccelerators(unsigned id) {
  auto table = resources::AcceleratorTable(static_cast<int>(id));
  if (table.empty() || !widget_) return nullptr;
  if (accel_ != nullptr) return accel_;
  accel_ = const_cast<resources::Accelerator*>(table.data());
  const Qt::ShortcutContext context =
      spec_.child ? Qt::WidgetWithChildrenShortcut : Qt::WindowShortcut;
  for (const resources::Accelerator& accelerator : table) {
    const unsigned command = static_cast<unsigned>(accelerator.command);
    QAction* action = CommandAction(command);
    if (action == nullptr) {
      // No menu item (child mode): the accelerator gets an action of its own on the window.
      action = new QAction(widget_);
      WireAction(action, command);
      widget_->addAction(action);
      accelActions_[command] = action;
    }
    action->setShortcut(KeysOf(accelerator));
    action->setShortcutContext(context);
    // Grayed items still take their keys; Dispatch asks the update handler first.
    action->setEnabled(true);
  }
  return accel_;
}

HICON QtFrame::LoadIcon(unsigned id) {
  auto sizes = resources::IconSizes(static_cast<int>(id));
  if (sizes.empty()) return nullptr;
  auto icon = std::make_unique<QIcon>();
  for (int size : sizes) {
    auto xpm = resources::IconXpm(static_cast<int>(id), size);
    if (!xpm.empty()) icon->addPixmap(QPixmap(xpm.data()));
  }
  HICON handle = icon.get();
  icons_[handle] = std::move(icon);
  return handle;
}

void QtFrame::SetIcon(HICON icon, bool /*big*/) {
  auto it = icons_.find(icon);
  if (it != icons_.end() && widget_) widget_->setWindowIcon(*it->second);
}

platform::StatusBar* QtFrame::CreateStatusBar(int /*panes*/) {
  auto* main = MainWindow();
  if (main == nullptr) return nullptr;
  std::string ready;
  platform_.Strings().Load(kStrReady, ready);
  status_ = std::make_unique<QtStatusBar>(main->statusBar(), ready);
  return status_.get();
}

platform::ControlWindow* QtFrame::CreateControlWindow(unsigned /*id*/, unsigned long /*style*/,
                                                      const platform::Rect& /*rect*/,
                                                      engine::Control* control) {
  if (!widget_) return nullptr;
  auto* pane = new ControlPane(control, widget_);
  if (auto* main = MainWindow()) {
    main->setCentralWidget(pane);
  } else if (widget_->layout() != nullptr) {
    widget_->layout()->addWidget(pane);
  }
  pane->show();
  QObject::connect(pane->Grid(), &GridView::contextMenuRequested, guard_.get(),
                   [this](const QPoint& pos) {
                     if (IsWindow())
                       client_->OnContextMenu(this, platform::Point{pos.x(), pos.y()});
                   });
  control_ = std::make_unique<QtControlWindow>(pane);
  return control_.get();
}

void QtFrame::SetTimer(unsigned id, unsigned periodMs) {
  if (!widget_) return;
  QPointer<QTimer>& timer = timers_[id];
  if (!timer) {
    timer = new QTimer(widget_);
    QObject::connect(timer, &QTimer::timeout, guard_.get(), [this, id] {
      if (IsWindow()) client_->OnTimer(id);  // may destroy the window and this frame
    });
  }
  timer->start(static_cast<int>(periodMs));
}

void QtFrame::KillTimer(unsigned id) {
  auto it = timers_.find(id);
  if (it != timers_.end() && it->second) it->second->stop();
}

bool QtFrame::TimerRunning(unsigned id) const {
  auto it = timers_.find(id);
  return it != timers_.end() && it->second && it->second->isActive();
}

QMainWindow* QtFrame::MainWindow() const { return qobject_cast<QMainWindow*>(widget_.data()); }

ControlPane* QtFrame::Pane() const { return control_ ? control_->Pane() : nullptr; }

void QtFrame::SendSize() {
  const platform::Rect client = GetClientRect();
  client_->OnSize(0, client.Width(), client.Height());
}

}  // namespace qtui
