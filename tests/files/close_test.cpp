// The save question and the close request of the window, with each answer.

#include "files_fixture.h"

using Calls = std::vector<std::string>;

TEST_F(FilesTest, SaveQuestionNamesTheFileWithoutItsFolder) {
  T().SetFile("/home/u/tests/Login.xls");
  bool modalFlagDuring = false;
  platform_->MessageBoxScript().SetHandler([&](const std::string&, unsigned) {
    modalFlagDuring = T().NoModalUp();
    return 7;
  });
  EXPECT_EQ(T().YesNoSaveMessage(), 7);
  EXPECT_TRUE(modalFlagDuring);  // this box leaves the flag alone
  T().SetFile("C:\\Tests\\100%s.xls");
  T().YesNoSaveMessage();
  T().SetFile("");
  T().YesNoSaveMessage();
  const auto& shown = platform_->MessageBoxScript().Shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].text, "Do you want to save changes you made to 'Login.xls'?");
  EXPECT_EQ(shown[0].type, platform::MB_YESNOCANCEL | platform::MB_ICONINFORMATION);
  EXPECT_EQ(shown[1].text, "Do you want to save changes you made to '100%s.xls'?");
  EXPECT_EQ(shown[2].text, "Do you want to save changes you made to this file?");
}

TEST_F(FilesTest, CloseAnsweredYesSavesThenHandsTheViewToTheHost) {
  WriteFile("t.txt", "A\n1\n");
  ASSERT_EQ(T().Open(Path("t.txt"), CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
  E().SetCellText(1, 1, "changed");
  ASSERT_EQ(T().GetDirtyBit(), 1);
  Register();
  Boxes().QueueAnswer(platform::IDYES);
  T().OnClose();
  EXPECT_EQ(ReadFile(Path("t.txt")), "A\nchanged\n");
  EXPECT_EQ(sink_.calls, (Calls{"Save", "ViewClose"}));
  EXPECT_EQ(T().GetDirtyBit(), 0);
  EXPECT_EQ(platform_->ProfileStore().GetInt("Data Table", "Show", -1), 0);
}

TEST_F(FilesTest, CloseAnsweredNoReadsTheFileAgain) {
  WriteFile("t.txt", "A\n1\n");
  ASSERT_EQ(T().Open(Path("t.txt"), CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
  E().SetCellText(1, 1, "changed");
  Register();
  Boxes().QueueAnswer(platform::IDNO);
  T().OnClose();
  EXPECT_EQ(Column("A"), (std::vector<std::string>{"1"}));
  EXPECT_EQ(T().GetDirtyBit(), 0);
  const std::string p = Path("t.txt");
  EXPECT_EQ(sink_.calls, (Calls{"FileNameChanged(" + p + ")", "OpenFile(" + p + ")",
                                "OpenFileDone(" + p + ")", "ViewClose"}));
}

TEST_F(FilesTest, CloseAnsweredCancelChangesNothing) {
  Fill({"A"}, {{"1"}});
  Register();
  Boxes().QueueAnswer(platform::IDCANCEL);
  T().OnClose();
  EXPECT_TRUE(sink_.calls.empty());
  EXPECT_EQ(T().GetDirtyBit(), 1);
  EXPECT_EQ(Column("A"), (std::vector<std::string>{"1"}));
}

TEST_F(FilesTest, CloseOfAnUnnamedTableWhoseSaveIsCancelledKeepsItOpen) {
  Fill({"A"}, {{"1"}});
  Register();
  Boxes().QueueAnswer(platform::IDYES);  // then the Save As dialog is cancelled
  T().OnClose();
  EXPECT_TRUE(sink_.calls.empty());
  EXPECT_EQ(T().GetDirtyBit(), 1);
  EXPECT_EQ(Column("A"), (std::vector<std::string>{"1"}));
}

TEST_F(FilesTest, CloseWithoutChangesAsksNothingAndWithCloseOptionDestroys) {
  Register();
  T().ViewSetCloseOption(1);
  T().OnClose();  // clean: no question; an unnamed table is re-created empty
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(sink_.calls, (Calls{"FileNameChanged()", "Close", "CloseDone"}));
  table_.release();  // the table ended itself
}
