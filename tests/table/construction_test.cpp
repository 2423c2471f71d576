// Construction: the window in both modes, the File menu trimming, placement from the profile,
// the date format, validity, and the end of a table through Destroy.

#include <algorithm>

#include "table_fixture.h"

namespace {

std::vector<unsigned> FileMenuIds(const platform::HeadlessFrame& frame) {
  std::vector<unsigned> ids;
  if (frame.MenuBar().empty()) return ids;
  for (const auto& item : frame.MenuBar()[0].children) ids.push_back(item.separator ? 0 : item.id);
  return ids;
}

bool Has(const std::vector<unsigned>& ids, unsigned id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

}  // namespace

TEST_F(TableTest, FrameStartsHiddenWithMenuStatusBarAndViewBelowMenu) {
  EXPECT_FALSE(F().IsChild());
  EXPECT_FALSE(F().IsVisible());
  EXPECT_EQ(T().IsViewOpened(), 0);
  EXPECT_EQ(F().GetTitle(), "Data Table");
  ASSERT_NE(F().Status(), nullptr);
  EXPECT_EQ(F().Status()->Text(), "Ready");
  EXPECT_EQ(F().AcceleratorId(), 3001u);
  EXPECT_EQ(F().IconId(true), 3002u);
  EXPECT_EQ(F().IconId(false), 3002u);
  // The minimise box is removed from the requested style.
  EXPECT_EQ(F().Created().style & platform::WS_MINIMIZEBOX, 0u);
  EXPECT_NE(F().Created().style & platform::WS_MAXIMIZEBOX, 0u);
  ASSERT_NE(F().ControlView(), nullptr);
  EXPECT_EQ(F().ControlView()->Id(), 1u);
  EXPECT_EQ(F().ControlView()->Control(), &E());
  // The view fills the client area above the status bar.
  const auto client = F().GetClientRect();
  EXPECT_EQ(F().ControlView()->GetRect(),
            (platform::Rect{0, 0, client.Width(), client.Height() - 20}));
}

TEST_F(TableTest, FileCommandsAndPrintPreviewStayWhenAsked) {
  const auto ids = FileMenuIds(F());
  ASSERT_GE(ids.size(), 5u);
  EXPECT_EQ(ids[0], 57600u);
  EXPECT_TRUE(Has(ids, 57601) && Has(ids, 57603) && Has(ids, 57604) && Has(ids, 57609));
}

TEST_F(TableTest, DefaultConstructionDropsFileCommandsKeepsPrintPreview) {
  std::unique_ptr<CZAT_PSF1, void (*)(CZAT_PSF1*)> plain(CZAT_PSF1::CreateObject(),
                                                         [](CZAT_PSF1* t) { t->Destroy(); });
  auto* frame = platform_->LastFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_FALSE(frame->IsVisible());
  const auto ids = FileMenuIds(*frame);
  for (unsigned gone : {57600u, 57601u, 57603u, 57604u}) EXPECT_FALSE(Has(ids, gone)) << gone;
  ASSERT_FALSE(ids.empty());
  EXPECT_EQ(ids[0], 34320u);  // "&Import..." comes first, the separator went too
  EXPECT_TRUE(Has(ids, 57609));
}

TEST_F(TableTest, NoFileCommandsNoPrintPreviewLeavesImportFirst) {
  auto table = MakeTable(false, nullptr, false, false);
  const auto ids = FileMenuIds(*table->Frame());
  ASSERT_FALSE(ids.empty());
  EXPECT_EQ(ids[0], 34320u);
  EXPECT_EQ(table->Frame()->MenuBar()[0].children[0].text, "&Import...");
  EXPECT_FALSE(Has(ids, 57609));
  EXPECT_TRUE(Has(ids, 57607));
}

TEST_F(TableTest, ChildWindowIsVisibleWithoutMenuOrStatusBarAndViewFillsIt) {
  platform::HeadlessWindow parent(platform::Rect{100, 100, 900, 700});
  const int readsBefore = Profile().ReadCount();
  auto table = MakeTable(true, &parent);
  auto* frame = table->Frame();
  EXPECT_TRUE(frame->IsChild());
  EXPECT_TRUE(frame->IsVisible());
  EXPECT_EQ(table->IsViewOpened(), 0);
  EXPECT_TRUE(frame->MenuBar().empty());
  EXPECT_EQ(frame->Status(), nullptr);
  EXPECT_EQ(frame->Spec().parent, &parent);
  EXPECT_EQ(frame->Spec().helpId, 3001u);
  EXPECT_EQ(frame->GetTitle(), "Data Table");
  EXPECT_EQ(frame->AcceleratorId(), 3001u);
  EXPECT_EQ(table->Engine().GetBorderStyle(), 0);
  EXPECT_EQ(Profile().ReadCount(), readsBefore);  // nothing read at construction
  frame->Resize(300, 200);
  EXPECT_EQ(frame->ControlView()->GetRect(), (platform::Rect{0, 0, 300, 200}));
}

TEST_F(TableTest, FrameIsCentredOnDesktopWithoutStoredPlacement) {
  platform_->Desktop().SetRect(platform::Rect{0, 0, 1920, 1080});
  auto table = MakeTable();
  const auto rect = table->Frame()->GetWindowRect();
  EXPECT_EQ(rect, (platform::Rect{707, 347, 707 + 505, 347 + 385}));
  EXPECT_EQ(table->Frame()->ControlView()->GetRect(), (platform::Rect{0, 0, 505, 385 - 20}));
}

TEST_F(TableTest, FrameIsCentredOnParentAndOddExtraPixelGoesRightAndDown) {
  platform::HeadlessWindow parent(platform::Rect{10, 20, 10 + 506, 20 + 388});
  auto table = MakeTable(false, &parent);
  // 1 extra pixel horizontally: left gets 0, right 1; 3 vertically: top 1, bottom 2.
  EXPECT_EQ(table->Frame()->GetWindowRect(), (platform::Rect{10, 21, 515, 406}));
}

TEST_F(TableTest, ParentSmallerThanFrameCentresWithTruncationTowardZero) {
  platform::HeadlessWindow parent(platform::Rect{0, 0, 100, 100});
  auto table = MakeTable(false, &parent);
  // (100 - 505) / 2 = -202 (toward zero), (100 - 385) / 2 = -142.
  EXPECT_EQ(table->Frame()->GetWindowRect(), (platform::Rect{-202, -142, 303, 243}));
}

TEST_F(TableTest, StoredPlacementIsUsedAsItIs) {
  for (auto [key, value] : {std::pair{"Top", 50}, {"Bottom", 450}, {"Right", 3000}, {"Left", 2000}})
    Profile().WriteInt("Data Table", key, value);
  auto table = MakeTable();
  EXPECT_EQ(table->Frame()->GetWindowRect(), (platform::Rect{2000, 50, 3000, 450}));
  EXPECT_EQ(table->Frame()->ControlView()->GetRect(), (platform::Rect{0, 0, 1000, 380}));
}

TEST_F(TableTest, PlacementWithOneKeyMissingOrNoAreaIsCentred) {
  Profile().WriteInt("Data Table", "Top", 50);
  Profile().WriteInt("Data Table", "Bottom", 450);
  Profile().WriteInt("Data Table", "Right", 3000);
  auto table = MakeTable();  // "Left" missing
  EXPECT_EQ(table->Frame()->GetWindowRect().Width(), 505);
  EXPECT_EQ(table->Frame()->GetWindowRect().left, 707);
  table.reset();
  // A stored rectangle without area (right left of left) would hide the window: centred.
  for (auto [key, value] : {std::pair{"Top", 50}, {"Bottom", 450}, {"Right", 10}, {"Left", 20}})
    Profile().WriteInt("Data Table", key, value);
  table = MakeTable();
  EXPECT_EQ(table->Frame()->GetWindowRect(), (platform::Rect{707, 347, 1212, 732}));
}

TEST_F(TableTest, ConstructionStateOfMembersAndEngine) {
  EXPECT_EQ(T().IsValid(), 1);
  EXPECT_EQ(T().GetDirtyBit(), 0);
  EXPECT_TRUE(T().NoModalUp());
  EXPECT_FALSE(T().ShowTabs());
  EXPECT_EQ(E().GetShowTabsMode(), 0);
  EXPECT_TRUE(T().GetChangeDupArgName());
  EXPECT_FALSE(T().GetReadOnly());
  EXPECT_EQ(T().Sink(), nullptr);
  EXPECT_EQ(T().HeaderColCounts(), std::vector<unsigned>{0});
  EXPECT_FALSE(E().GetViewFlag(3));  // ConstructFlag67
  CString name = "x";
  T().GetFileName(name);
  EXPECT_EQ(name, "");
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_NONE);
}

TEST_F(TableTest, ShortDateFormatGetsFourDigitYear) {
  EXPECT_EQ(T().ShortDateFormat(), "M/d/yyyy");  // the fixture's user format is M/d/yy
  struct Case {
    const char* user;
    const char* table;
  };
  for (Case c : {Case{"dd/MM/yy", "dd/MM/yyyy"}, Case{"yyyy-MM-dd", "yyyy-MM-dd"},
                 Case{"d.M.", "d.M."}, Case{"yy/MM/dd", "yyyy/MM/dd"},
                 Case{"yyy-M-d", "yyyyy-M-d"}}) {
    auto locale = platform_->LocaleSettings().Settings();
    locale.shortDateFormat = c.user;
    platform_->LocaleSettings().Set(locale);
    auto table = MakeTable();
    EXPECT_EQ(table->ShortDateFormat(), c.table) << c.user;
  }
}

TEST_F(TableTest, ShortDateFormatIsCutToFortyBytesAtACharacterBoundary) {
  auto locale = platform_->LocaleSettings().Settings();
  locale.shortDateFormat = std::string(39, 'd') + "\xE5\xB9\xB4" + "yy";  // 年 straddles byte 40
  platform_->LocaleSettings().Set(locale);
  auto table = MakeTable();
  EXPECT_EQ(table->ShortDateFormat(), std::string(39, 'd'));
}

TEST_F(TableTest, HeaderListOfConstructionBecomesParameters) {
  CZATArgList names{"Alpha", "Beta"};
  auto table = MakeTable(false, nullptr, true, true, &names);
  EXPECT_EQ(table->IsValid(), 1);
  EXPECT_EQ(table->GetDirtyBit(), 0);
  const CZATArgList& header = table->GetHeaderArgList(0);
  EXPECT_EQ(std::vector<CString>(header.begin(), header.end()),
            (std::vector<CString>{"Alpha", "Beta"}));
  long rows = -1;
  EXPECT_EQ(table->GetMaxRows(rows, 0), 0);
  EXPECT_EQ(rows, 0);
}

TEST_F(TableTest, MissingFileAtConstructionLeavesTableUsableAndNotValid) {
  TablePtr table(new ProbeTable(nullptr, "/nonexistent/dir/table.xls", CZAT::FILE_TYPE_NONE,
                                nullptr, false, true, true));
  EXPECT_EQ(table->IsValid(), 0);
  CString name = "P";
  EXPECT_EQ(table->AppendArg(name, CZAT::null_cstring_ref, 0, nullptr, 1), 0);
  // Later opens do not change validity.
  EXPECT_EQ(table->Open("", CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
  EXPECT_EQ(table->IsValid(), 0);
}

TEST_F(TableTest, DestroyAsksSinkSavesPlacementAndReportsCloseDone) {
  RecordingSink& sink = sink_;
  auto* table = table_.release();
  ASSERT_EQ(table->RegisterNotify(&sink), 1);
  table->Frame()->MoveWindow(11, 22, 600, 400, true);
  EXPECT_TRUE(table->Destroy());
  EXPECT_EQ(sink.calls, (std::vector<std::string>{"OnClose()", "OnCloseDone()"}));
  EXPECT_EQ(Profile().GetInt("Data Table", "Top", -1), 22);
  EXPECT_EQ(Profile().GetInt("Data Table", "Bottom", -1), 422);
  EXPECT_EQ(Profile().GetInt("Data Table", "Right", -1), 611);
  EXPECT_EQ(Profile().GetInt("Data Table", "Left", -1), 11);
  EXPECT_EQ(platform_->LastFrame(), nullptr);  // the window went with the object
  // The sink keeps the old table pointer; OnCloseDone was its last call.
  EXPECT_EQ(sink.Table(), table);
}

TEST_F(TableTest, VetoedDestroyLeavesWindowAndMenu) {
  RecordingSink& sink = sink_;
  sink.answer = CZATNotify::ZAT_NTFY_CANCEL;
  T().RegisterNotify(&sink);
  EXPECT_FALSE(T().Destroy());
  EXPECT_TRUE(F().IsWindow());
  EXPECT_FALSE(F().MenuDestroyed());
  EXPECT_FALSE(F().MenuBar().empty());
  EXPECT_FALSE(Profile().Has("Data Table", "Top"));
  // Only exactly 1 vetoes.
  sink.answer = static_cast<CZATNotify::ZAT_NTFY_RC>(2);
  auto* table = table_.release();
  EXPECT_TRUE(table->Destroy());
  EXPECT_EQ(sink.Count("OnCloseDone()"), 1);
}

TEST_F(TableTest, DestroyingChildWindowSavesPlacementToo) {
  platform::HeadlessWindow parent(platform::Rect{0, 0, 800, 600});
  auto table = MakeTable(true, &parent);
  table->Frame()->MoveWindow(5, 6, 70, 80, true);
  table.reset();
  EXPECT_EQ(Profile().GetInt("Data Table", "Left", -1), 5);
  EXPECT_EQ(Profile().GetInt("Data Table", "Bottom", -1), 86);
}

TEST_F(TableTest, EachTableKeepsThePlatformItWasBuiltOn) {
  auto other = std::make_shared<platform::HeadlessPlatform>();
  platform::Install(other);
  auto second = MakeTable();
  EXPECT_EQ(other->Frames().size(), 1u);
  EXPECT_EQ(platform_->Frames().size(), 1u);  // the fixture's table
  second.reset();
  EXPECT_TRUE(other->Frames().empty());
  EXPECT_EQ(other->ProfileStore().GetInt("Data Table", "Top", -1), 347);
}
