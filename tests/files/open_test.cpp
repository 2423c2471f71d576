// Opening tables: file types, files, empty text files, failures that keep the previous file,
// blobs, and the notifications each path sends.

#include <cstdlib>
#include <filesystem>

#include "files_fixture.h"

using Calls = std::vector<std::string>;

TEST_F(FilesTest, FileTypeComesFromTheLastExtensionOnly) {
  short type = -5;
  EXPECT_EQ(T().GetFileType("Table.XLS", &type), 0);
  EXPECT_EQ(type, CZAT::FILE_TYPE_EXCEL97);
  EXPECT_EQ(T().GetFileType("/home/u/table.Txt", &type), 0);
  EXPECT_EQ(type, CZAT::FILE_TYPE_TEXT);
  type = -5;
  for (const char* name : {"table", "table.", "table.csv", "a.xls/c", "C:\\a.b\\c", ""})
    EXPECT_EQ(T().GetFileType(name, &type), -1) << name;
  EXPECT_EQ(type, -5);  // untouched when not recognised
}

TEST_F(FilesTest, EmptyNameAndEmptyTextFileOpenAsNewTables) {
  Register();
  CZATArgList list{"User", "Password"};
  T().MarkDirty();
  ASSERT_EQ(T().Open("", CZAT::FILE_TYPE_NONE, &list, 0), 0);
  EXPECT_EQ(T().GetHeaderArgList(0), list);
  long rows = -1;
  T().GetMaxRows(rows, 0);
  EXPECT_EQ(rows, 0);
  CString name = "x";
  T().GetFileName(name);
  EXPECT_EQ(name, "");
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_NONE);
  EXPECT_EQ(T().GetDirtyBit(), 0);

  WriteFile("x.txt", "");
  sink_.calls.clear();
  ASSERT_EQ(T().Open(Path("x.txt"), CZAT::FILE_TYPE_NONE, &list, 0), 0);
  EXPECT_EQ(T().GetHeaderArgList(0), list);
  T().GetFileName(name);
  EXPECT_EQ(name, Path("x.txt"));
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_TEXT);
  EXPECT_EQ(T().GetDirtyBit(), 0);
  EXPECT_EQ(sink_.calls, (Calls{"FileNameChanged()", "FileNameChanged(" + Path("x.txt") + ")"}));
}

TEST_F(FilesTest, MissingFilesFoldersAndUnknownTypesFailQuietly) {
  Register();
  Fill({"A"}, {{"1"}});
  WriteFile("t.csv", "A\n1\n");
  EXPECT_EQ(T().Open(Path("none.xls"), CZAT::FILE_TYPE_NONE, nullptr, 0), -1);
  EXPECT_EQ(T().Open(Path("t.csv"), CZAT::FILE_TYPE_NONE, nullptr, 0), -1);
  // A folder is no table, whatever its name says.
  std::filesystem::create_directory(Path("dir.xls"));
  EXPECT_EQ(T().Open(Path("dir.xls"), CZAT::FILE_TYPE_NONE, nullptr, 0), -1);
  EXPECT_TRUE(sink_.calls.empty());
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(Column("A"), (std::vector<std::string>{"1"}));
}

TEST_F(FilesTest, OpeningATextFileTakesItsFirstLineAsNamesAndNotifiesInOrder) {
  WriteFile("t.txt", "User\tAge\nann\t31\nbob\t45\n");
  Register();
  T().MarkDirty();
  ASSERT_EQ(T().Open(Path("t.txt"), CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
  const std::string p = Path("t.txt");
  EXPECT_EQ(sink_.calls,
            (Calls{"FileNameChanged(" + p + ")", "OpenFile(" + p + ")", "OpenFileDone(" + p + ")"}));
  EXPECT_EQ(T().GetHeaderArgList(0), (CZATArgList{"User", "Age"}));
  EXPECT_EQ(Column("User"), (std::vector<std::string>{"ann", "bob"}));
  EXPECT_EQ(Column("Age"), (std::vector<std::string>{"31", "45"}));
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_TEXT);
  EXPECT_EQ(T().GetDirtyBit(), 0);
}

TEST_F(FilesTest, HeaderListThatDoesNotMatchFailsButKeepsTheFileOpen) {
  WriteFile("t.txt", "User\tAge\nann\t31\n");
  CZATArgList wrongOrder{"Age", "User"};
  EXPECT_EQ(T().Open(Path("t.txt"), CZAT::FILE_TYPE_NONE, &wrongOrder, 0), -1);
  CString name;
  T().GetFileName(name);
  EXPECT_EQ(name, Path("t.txt"));
  EXPECT_EQ(Column("User"), (std::vector<std::string>{"ann"}));
  CZATArgList exact{"User", "Age"};
  EXPECT_EQ(T().Open(Path("t.txt"), CZAT::FILE_TYPE_NONE, &exact, 0), 0);
}

TEST_F(FilesTest, UnreadableFileRestoresThePreviousFileWithItsOwnNotifications) {
  WriteFile("good.txt", "A\n1\n2\n");
  WriteFile("bad.xls", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 broken", 15));
  ASSERT_EQ(T().Open(Path("good.txt"), CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
  Register();
  const std::string good = Path("good.txt"), bad = Path("bad.xls");

  EXPECT_EQ(T().Open(bad, CZAT::FILE_TYPE_NONE, nullptr, 0), -1);
  EXPECT_EQ(sink_.calls, (Calls{"FileNameChanged(" + bad + ")", "OpenFile(" + bad + ")",
                                "FileNameChanged(" + good + ")", "OpenFile(" + good + ")",
                                "OpenFileDone(" + good + ")"}));
  EXPECT_EQ(Shown().size(), 1u);  // the reader's description, once
  CString name;
  T().GetFileName(name);
  EXPECT_EQ(name, good);
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_TEXT);
  EXPECT_EQ(Column("A"), (std::vector<std::string>{"1", "2"}));

  // Silently: -7 and no message.
  Boxes().ClearShown();
  EXPECT_EQ(T().Open(bad, CZAT::FILE_TYPE_NONE, nullptr, 1), -7);
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(Column("A"), (std::vector<std::string>{"1", "2"}));
}

TEST_F(FilesTest, FailureWithoutPreviousNameRecreatesACleanTableButKeepsUnsavedWork) {
  WriteFile("bad.xls", "not a workbook at all \x01\x02");
  Register();
  EXPECT_EQ(T().Open(Path("bad.xls"), CZAT::FILE_TYPE_EXCEL97, nullptr, 1), -7);
  EXPECT_EQ(sink_.calls.back(), "FileNameChanged()");

  // Unsaved values survive a failed open: the read did not replace them, and nothing reads
  // or re-creates over them.
  Fill({"Kept"}, {{"v1"}, {"v2"}});
  ASSERT_EQ(T().GetDirtyBit(), 1);
  sink_.calls.clear();
  EXPECT_EQ(T().Open(Path("bad.xls"), CZAT::FILE_TYPE_EXCEL97, nullptr, 1), -7);
  EXPECT_EQ(sink_.calls, (Calls{"FileNameChanged(" + Path("bad.xls") + ")",
                                "OpenFile(" + Path("bad.xls") + ")", "FileNameChanged()"}));
  EXPECT_EQ(Column("Kept"), (std::vector<std::string>{"v1", "v2"}));
  EXPECT_EQ(T().GetDirtyBit(), 1);
}

TEST_F(FilesTest, VetoedOpenLeavesTheTableAndRestoresTheName) {
  WriteFile("a.txt", "A\n1\n");
  WriteFile("b.txt", "B\n2\n");
  ASSERT_EQ(T().Open(Path("a.txt"), CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
  Register();
  sink_.openAnswer = CZATNotify::ZAT_NTFY_CANCEL;
  EXPECT_EQ(T().Open(Path("b.txt"), CZAT::FILE_TYPE_NONE, nullptr, 0), -3);
  CString name;
  T().GetFileName(name);
  EXPECT_EQ(name, Path("a.txt"));
  EXPECT_EQ(Column("A"), (std::vector<std::string>{"1"}));
  EXPECT_TRUE(Shown().empty());
  // Only 1 vetoes.
  sink_.openAnswer = 2;
  EXPECT_EQ(T().Open(Path("b.txt"), CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
  EXPECT_EQ(Column("B"), (std::vector<std::string>{"2"}));
}

TEST_F(FilesTest, BlobRoundTripKeepsTheNameAndTheDirtyBitRules) {
  Fill({"User", "Age"}, {{"ann", "31"}, {"bob", "45"}});
  T().SetFile("/t/keep.xls");
  ASSERT_EQ(T().GetDirtyBit(), 1);
  void* blob = nullptr;
  ASSERT_EQ(T().SaveToBlob(&blob), 0);
  ASSERT_NE(blob, nullptr);
  EXPECT_EQ(T().GetDirtyBit(), 1);  // a blob never clears it
  EXPECT_EQ(Column("User"), (std::vector<std::string>{"ann", "bob"}));  // open form again

  CString extra = "Extra";
  T().AppendArg(extra, CZAT::null_cstring_ref, 0, nullptr, 0);
  Register();
  EXPECT_EQ(T().OpenFromBlob(nullptr), -1);
  ASSERT_EQ(T().OpenFromBlob(&blob), 0);
  std::free(blob);
  EXPECT_EQ(sink_.calls, (Calls{"OpenFile(<BLOB>)", "OpenFileDone(<BLOB>)"}));
  EXPECT_EQ(T().GetHeaderArgList(0), (CZATArgList{"User", "Age"}));
  EXPECT_EQ(Column("Age"), (std::vector<std::string>{"31", "45"}));
  CString name;
  T().GetFileName(name);
  EXPECT_EQ(name, "/t/keep.xls");
  EXPECT_EQ(T().GetDirtyBit(), 0);
  EXPECT_EQ(T().SaveToBlob(nullptr), -1);
}

TEST_F(FilesTest, SharingTextsGetTheTablesOwnMessages) {
  int result = 0;
  T().ReplaceMsgIfSharing("INVALID FILE.", 3011, result, 1);
  EXPECT_EQ(result, -1);
  result = 0;
  T().ReplaceMsgIfSharing("Unable to open file.", 3012, result, 0);
  EXPECT_EQ(result, -1);
  result = 0;
  T().ReplaceMsgIfSharing("The file is damaged.", 3011, result, 1);
  EXPECT_EQ(result, -1);
  result = 0;
  T().ReplaceMsgIfSharing("operation CANCELED.", 3011, result, 1);  // shown as nothing
  EXPECT_EQ(result, -1);
  const std::vector<std::string> shown = Shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_NE(shown[0].find("Unable to open table"), std::string::npos);
  EXPECT_NE(shown[1].find("Unable to save table"), std::string::npos);
  EXPECT_EQ(shown[2], "The file is damaged.");
  EXPECT_TRUE(T().NoModalUp());
}
