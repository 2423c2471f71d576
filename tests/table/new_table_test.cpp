// A new table from Open with an empty name, the re-creation behind it, and the close request.

#include "table_fixture.h"

TEST_F(TableTest, OpenWithEmptyNameClearsParametersNameAndType) {
  FillSheet(3, 4);
  T().SetFile("old.xls");
  T().SetDirty(1);
  CZATArgList names{"X", "Y"};
  EXPECT_EQ(T().Open("", CZAT::FILE_TYPE_EXCEL97, &names, 0), 0);
  CString file = "?";
  T().GetFileName(file);
  EXPECT_EQ(file, "");
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_NONE);
  EXPECT_EQ(T().GetDirtyBit(), 0);
  long args = 0;
  T().GetMaxArgs(args);
  EXPECT_EQ(args, 2);
  CString value = "?";
  EXPECT_NE(T().GetArgValue(1, "P1", value, 0), 0);
}

TEST_F(TableTest, OpenWithTheSentinelNameIsANewTable) {
  FillSheet(1, 1);
  EXPECT_EQ(T().Open(CZAT::null_cstring_ref, CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
  long args = -1;
  T().GetMaxArgs(args);
  EXPECT_EQ(args, 0);
}

TEST_F(TableTest, HeaderListRepairsDuplicatesAndSkipsRefusedNames) {
  CZATArgList names{"Same", "Same", "with space", ""};
  EXPECT_EQ(T().Open("", CZAT::FILE_TYPE_NONE, &names, 0), 0);
  const CZATArgList& header = T().GetHeaderArgList(0);
  ASSERT_GE(header.size(), 2u);
  EXPECT_EQ(header.front(), "Same");
  EXPECT_NE(*std::next(header.begin()), "Same");
}

TEST_F(TableTest, HeaderListMayBeTheTablesOwnList) {
  FillSheet(3, 1);
  const CZATArgList& own = T().GetHeaderArgList(0);
  EXPECT_EQ(T().Open("", CZAT::FILE_TYPE_NONE, &own, 0), 0);
  const CZATArgList& header = T().GetHeaderArgList(0);
  EXPECT_EQ(std::vector<CString>(header.begin(), header.end()),
            (std::vector<CString>{"P1", "P2", "P3"}));
}

TEST_F(TableTest, ReCreateLeavesDirtyBitAlone) {
  T().SetDirty(1);
  EXPECT_EQ(T().ReCreate(nullptr), 0);
  EXPECT_EQ(T().GetDirtyBit(), 1);
}

TEST_F(TableTest, SetFileChangesOnlyTheName) {
  RecordingSink& sink = sink_;
  T().RegisterNotify(&sink);
  FillSheet(1, 1);
  sink.calls.clear();
  T().SetFile("/tmp/never/written.xls");
  CString file;
  T().GetFileName(file);
  EXPECT_EQ(file, "/tmp/never/written.xls");
  EXPECT_TRUE(sink.calls.empty());
  long args = 0;
  T().GetMaxArgs(args);
  EXPECT_EQ(args, 1);
}

TEST_F(TableTest, CloseWithoutChangesHidesViaHostAndStoresShowFlag) {
  RecordingSink& sink = sink_;
  T().RegisterNotify(&sink);
  T().ViewOpen();
  F().RequestClose();
  EXPECT_EQ(sink.Count("OnViewClose()"), 1);
  EXPECT_EQ(Profile().GetInt("Data Table", "Show", -1), 0);
  EXPECT_TRUE(F().IsVisible());  // the host decides; the window stays until it reacts
  EXPECT_TRUE(Boxes().Shown().empty());
}

TEST_F(TableTest, CloseWithDestroyOptionEndsTheTable) {
  RecordingSink& sink = sink_;
  auto* table = table_.release();
  table->RegisterNotify(&sink);
  table->ViewSetCloseOption(1);
  table->Frame()->RequestClose();
  EXPECT_EQ(sink.calls, (std::vector<std::string>{"OnFileNameChanged()", "OnClose()",
                                                  "OnCloseDone()"}));
  EXPECT_EQ(platform_->LastFrame(), nullptr);
}

TEST_F(TableTest, CloseWithDestroyOptionVetoedKeepsTheTable) {
  RecordingSink& sink = sink_;
  sink.answer = CZATNotify::ZAT_NTFY_CANCEL;
  T().RegisterNotify(&sink);
  T().ViewSetCloseOption(1);
  F().RequestClose();
  EXPECT_TRUE(F().IsWindow());
  EXPECT_EQ(sink.Count("OnClose()"), 1);
}

TEST_F(TableTest, CloseOfADirtyTableAsksAndCancelKeepsEverything) {
  FillSheet(1, 2);
  ASSERT_EQ(T().GetDirtyBit(), 1);
  RecordingSink& sink = sink_;
  T().RegisterNotify(&sink);
  T().ViewSetCloseOption(1);
  Boxes().QueueAnswer(platform::IDCANCEL);
  F().RequestClose();
  EXPECT_TRUE(F().IsWindow());
  EXPECT_EQ(T().GetDirtyBit(), 1);
  EXPECT_TRUE(sink.calls.empty());
}
