// The module's entry points and the host's platform choice.

#include "datatable/module.h"
#include "table_fixture.h"

TEST(Module, RegistrationHandsOutAStableZeroedValue) {
  void* first = nullptr;
  void* second = nullptr;
  EXPECT_EQ(AfxDllRegisterMe(&first), 1);
  EXPECT_EQ(AfxDllRegisterMe(&second), 1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(*static_cast<void**>(first), nullptr);
  EXPECT_EQ(AfxDllRegisterMe(nullptr), 1);
  InitZATExtDLL();  // again: harmless
}

TEST_F(TableTest, DynamicCreationByClassName) {
  EXPECT_EQ(datatable::CreateObjectByClassName("CZAT_Unknown"), nullptr);
  CZAT* table = datatable::CreateObjectByClassName("CZAT_PSF1");
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->IsValid(), 1);
  EXPECT_NE(dynamic_cast<CZAT_PSF1*>(table), nullptr);
  EXPECT_TRUE(table->Destroy());
}

TEST_F(TableTest, HostMessageBoxHandlerAnswersHeadlessBoxes) {
  std::vector<std::string> texts;
  datatable::SetHeadlessMessageBoxHandler([&](const std::string& text, unsigned type) {
    texts.push_back(text);
    return (type & 0xF) == platform::MB_YESNO ? platform::IDNO : platform::IDOK;
  });
  EXPECT_EQ(T().MessageBoxA(3009, platform::MB_YESNO), platform::IDNO);
  EXPECT_EQ(texts, std::vector<std::string>{"Name already exists!"});
  datatable::SetHeadlessMessageBoxHandler(nullptr);
  EXPECT_EQ(T().MessageBoxA(3009, platform::MB_YESNO), platform::IDYES);
}

TEST_F(TableTest, InstalledPlatformServesTablesMadeAfterwards) {
  auto mine = std::make_shared<platform::HeadlessPlatform>();
  datatable::InstallPlatform(mine);
  EXPECT_EQ(platform::Current(), mine);
  auto table = MakeTable();
  EXPECT_EQ(mine->Frames().size(), 1u);
  table.reset();
  EXPECT_EQ(datatable::GetHeadlessProfileInt("Data Table", "Left", -1), 707);
  datatable::InstallPlatform(nullptr);
  EXPECT_NE(platform::Current(), mine);
  EXPECT_NE(platform::Current(), nullptr);
}
