// The headless window: creation with the client's adjustments, menus from the resources,
// timers fired by hand, close and destroy, resizing and command routing.

#include <gtest/gtest.h>

#include "platform/headless/headless_frame.h"
#include "platform/headless/headless_platform.h"

using namespace platform;

namespace {

class Client : public FrameClient {
 public:
  bool PreCreateWindow(CreateStruct& cs) override {
    cs.style &= ~static_cast<unsigned long>(WS_MINIMIZEBOX);
    menu = cs.hMenu;
    return allowCreate;
  }
  int OnCreate(CreateStruct&) override { return createResult; }
  void OnSize(unsigned, int cx, int cy) override { sizes.push_back({cx, cy}); }
  void OnClose() override { ++closes; }
  void OnDestroy() override { ++destroys; }
  void OnTimer(unsigned id) override { timers.push_back(id); }
  void OnContextMenu(CWnd*, const Point& p) override { menus.push_back(p); }
  bool OnCommand(unsigned id) override {
    commands.push_back(id);
    return id != 57669;
  }
  bool OnUpdateCommand(CommandState& state) override {
    state.Enable(state.id != 34303);
    return true;
  }

  bool allowCreate = true;
  int createResult = 0;
  HMENU menu = nullptr;
  std::vector<std::pair<int, int>> sizes;
  int closes = 0, destroys = 0;
  std::vector<unsigned> timers, commands;
  std::vector<Point> menus;
};

FrameSpec FrameMode() {
  FrameSpec spec;
  spec.resourceId = 3001;
  spec.style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE;
  return spec;
}

}  // namespace

TEST(HeadlessFrame, FrameModeLoadsMenuAcceleratorsAndTitleFromResource) {
  HeadlessPlatform platform;
  HeadlessFrame frame(platform);
  Client client;
  ASSERT_TRUE(frame.Create(client, FrameMode()));
  EXPECT_TRUE(frame.IsWindow());
  EXPECT_FALSE(frame.IsVisible());
  EXPECT_EQ(frame.GetTitle(), "Data Table");
  EXPECT_EQ(frame.AcceleratorId(), 3001u);
  ASSERT_GE(frame.MenuBar().size(), 5u);
  EXPECT_EQ(frame.MenuBar()[0].text, "&File");
  EXPECT_EQ(client.menu, frame.GetMenu());
  EXPECT_EQ(frame.Created().style & WS_MINIMIZEBOX, 0u);
  ASSERT_EQ(client.sizes.size(), 1u);  // the first size message
  EXPECT_EQ(platform.LastFrame(), &frame);
}

TEST(HeadlessFrame, RefusedCreationLeavesNoWindow) {
  HeadlessPlatform platform;
  Client client;
  client.allowCreate = false;
  HeadlessFrame refused(platform);
  EXPECT_FALSE(refused.Create(client, FrameMode()));
  EXPECT_FALSE(refused.IsWindow());
  client.allowCreate = true;
  client.createResult = -1;
  HeadlessFrame failed(platform);
  EXPECT_FALSE(failed.Create(client, FrameMode()));
  EXPECT_FALSE(failed.IsWindow());
  EXPECT_FALSE(failed.DestroyWindow());
}

TEST(HeadlessFrame, ChildModeHasNoMenuAndIsVisible) {
  HeadlessPlatform platform;
  HeadlessFrame frame(platform);
  Client client;
  HeadlessWindow parent(Rect{0, 0, 400, 300});
  FrameSpec spec;
  spec.child = true;
  spec.style = WS_CHILD | WS_VISIBLE;
  spec.parent = &parent;
  spec.title = "Child";
  spec.defaultRect = false;
  spec.rect = Rect{0, 0, 200, 100};
  ASSERT_TRUE(frame.Create(client, spec));
  EXPECT_TRUE(frame.IsVisible());
  EXPECT_EQ(frame.GetMenu(), nullptr);
  EXPECT_TRUE(frame.MenuBar().empty());
  EXPECT_EQ(frame.GetTitle(), "Child");
  EXPECT_EQ(client.sizes.back(), (std::pair<int, int>{200, 100}));
}

TEST(HeadlessFrame, MenuItemsDeletedByCommandAndPosition) {
  HeadlessPlatform platform;
  HeadlessFrame frame(platform);
  Client client;
  frame.Create(client, FrameMode());
  HMENU menu = frame.GetMenu();
  const std::size_t before = frame.MenuBar()[0].children.size();
  EXPECT_TRUE(frame.DeleteMenuCommand(menu, 0, 57600));
  EXPECT_FALSE(frame.DeleteMenuCommand(menu, 0, 57600));  // gone already
  EXPECT_FALSE(frame.DeleteMenuCommand(menu, 9, 57601));  // no such submenu
  EXPECT_TRUE(frame.DeleteMenuCommand(menu, 1, 57633));   // inside the Clear submenu
  EXPECT_TRUE(frame.DeleteMenuPosition(menu, 0, 0));
  EXPECT_FALSE(frame.DeleteMenuPosition(menu, 0, 999));
  EXPECT_FALSE(frame.DeleteMenuPosition(nullptr, 0, 0));
  EXPECT_EQ(frame.MenuBar()[0].children.size(), before - 2);
  EXPECT_TRUE(frame.DestroyMenu(menu));
  EXPECT_TRUE(frame.MenuDestroyed());
  EXPECT_EQ(frame.GetMenu(), nullptr);
  EXPECT_FALSE(frame.DestroyMenu(menu));
}

TEST(HeadlessFrame, TimersFireOnlyWhileRunning) {
  HeadlessPlatform platform;
  HeadlessFrame frame(platform);
  Client client;
  frame.Create(client, FrameMode());
  EXPECT_FALSE(frame.FireTimer(777));
  frame.SetTimer(777, 100);
  frame.SetTimer(777, 250);  // restarted with the new period
  EXPECT_EQ(frame.Timers().at(777), 250u);
  EXPECT_TRUE(frame.FireTimer(777));
  EXPECT_TRUE(frame.FireTimer(777));
  frame.KillTimer(777);
  EXPECT_FALSE(frame.FireTimer(777));
  EXPECT_EQ(client.timers, (std::vector<unsigned>{777, 777}));
}

TEST(HeadlessFrame, MovingResizesAndSendsSizeOnlyWhenTheSizeChanges) {
  HeadlessPlatform platform;
  HeadlessFrame frame(platform);
  Client client;
  frame.Create(client, FrameMode());
  const auto sent = client.sizes.size();
  frame.MoveWindow(10, 10, 640, 480, true);  // same size as created
  EXPECT_EQ(client.sizes.size(), sent);
  frame.MoveWindow(10, 10, 300, 200, true);
  EXPECT_EQ(client.sizes.back(), (std::pair<int, int>{300, 200}));
  EXPECT_EQ(frame.GetWindowRect(), (Rect{10, 10, 310, 210}));
  frame.Resize(50, 60);
  EXPECT_EQ(frame.GetWindowRect(), (Rect{10, 10, 60, 70}));
}

TEST(HeadlessFrame, CloseDestroyCommandsAndContextMenu) {
  HeadlessPlatform platform;
  auto frame = std::make_unique<HeadlessFrame>(platform);
  Client client;
  frame->Create(client, FrameMode());
  frame->SetTimer(1, 10);
  frame->RequestClose();
  EXPECT_EQ(client.closes, 1);
  EXPECT_TRUE(frame->Command(34306));
  EXPECT_FALSE(frame->Command(57669));
  EXPECT_EQ(frame->UpdateCommand(34303).enabled, std::optional<bool>(false));
  EXPECT_EQ(frame->UpdateCommand(34304).enabled, std::optional<bool>(true));
  frame->ContextMenu(Point{5, 6});
  EXPECT_EQ(client.menus.size(), 1u);
  frame->TrackPopupMenu(3010, 0, Point{5, 6});
  EXPECT_EQ(frame->Popups().size(), 1u);
  EXPECT_TRUE(frame->DestroyWindow());
  EXPECT_EQ(client.destroys, 1);
  EXPECT_FALSE(frame->IsWindow());
  EXPECT_TRUE(frame->Timers().empty());
  EXPECT_FALSE(frame->DestroyWindow());
  // A destroyed window routes nothing.
  EXPECT_FALSE(frame->Command(34306));
  frame->RequestClose();
  EXPECT_EQ(client.closes, 1);
  frame.reset();
  EXPECT_EQ(platform.LastFrame(), nullptr);
}

TEST(HeadlessFrame, StatusBarShowsReadyAndControlWindowRecordsItsPlace) {
  HeadlessPlatform platform;
  HeadlessFrame frame(platform);
  Client client;
  frame.Create(client, FrameMode());
  StatusBar* bar = frame.CreateStatusBar(1);
  EXPECT_EQ(bar->Text(), "Ready");
  EXPECT_EQ(bar->GetClientRect().Height(), HeadlessStatusBar::kHeight);
  ControlWindow* view = frame.CreateControlWindow(1, WS_CHILD, Rect{}, nullptr);
  view->MoveWindow(0, 0, 100, 80, true);
  EXPECT_EQ(view->GetRect(), (Rect{0, 0, 100, 80}));
  HICON icon = frame.LoadIcon(3002);
  ASSERT_NE(icon, nullptr);
  frame.SetIcon(icon, true);
  EXPECT_EQ(frame.IconId(true), 3002u);
  EXPECT_EQ(frame.LoadIcon(9999), nullptr);
  EXPECT_EQ(frame.LoadAccelerators(9999), nullptr);
}
