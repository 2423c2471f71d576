// Saving: which path and format are written, what the table keeps afterwards, the names row
// that cannot be inserted, a file held by another program, and the Save As dialog.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

#include "files_fixture.h"

using Calls = std::vector<std::string>;

namespace {

bool IsCompoundFile(const std::string& bytes) {
  return bytes.size() >= 8 && bytes.compare(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") == 0;
}

}  // namespace

TEST_F(FilesTest, SaveWithoutNameUsesTheRecordedNameAndFormat) {
  Fill({"User", "Age"}, {{"ann", "31"}});
  const std::string path = Path("a.xls");
  T().SetFile(path);
  T().SetFileType(CZAT::FILE_TYPE_EXCEL5);
  Register();
  ASSERT_EQ(T().Save(CZAT::null_cstring_ref, 1, CZAT::FILE_TYPE_NONE, 1), 0);
  EXPECT_EQ(sink_.calls, (Calls{"Save"}));
  EXPECT_EQ(T().GetDirtyBit(), 0);
  EXPECT_TRUE(IsCompoundFile(ReadFile(path)));
  EXPECT_EQ(Column("User"), (std::vector<std::string>{"ann"}));  // open form again

  // Reading it back reports the 5.0/95 form, which a later save keeps.
  ASSERT_EQ(T().Open(path, CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_EXCEL5);
  EXPECT_EQ(T().GetHeaderArgList(0), (CZATArgList{"User", "Age"}));
  EXPECT_EQ(Column("Age"), (std::vector<std::string>{"31"}));
}

TEST_F(FilesTest, CopyKeepsNameTypeAndDirtyBit) {
  Fill({"User"}, {{"ann"}, {"bob"}});
  T().SetFile("/t/orig.xls");
  Register();
  ASSERT_EQ(T().Save(Path("copy.txt"), 0, CZAT::FILE_TYPE_NONE, 0), 0);
  EXPECT_EQ(ReadFile(Path("copy.txt")).substr(0, 13), "User\nann\nbob\n");
  CString name;
  T().GetFileName(name);
  EXPECT_EQ(name, "/t/orig.xls");
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_NONE);
  EXPECT_EQ(T().GetDirtyBit(), 1);
  EXPECT_EQ(sink_.calls, (Calls{"FileNameChanged(/t/orig.xls)"}));

  // A recorded type wins over the extension.
  T().SetFileType(CZAT::FILE_TYPE_EXCEL97);
  ASSERT_EQ(T().Save(Path("copy2.txt"), 0, CZAT::FILE_TYPE_NONE, 0), 0);
  EXPECT_TRUE(IsCompoundFile(ReadFile(Path("copy2.txt"))));
}

TEST_F(FilesTest, UnknownExtensionFailsBeforeWritingButTheNameIsAdopted) {
  Fill({"A"}, {{"1"}});
  EXPECT_EQ(T().Save(Path("x.doc"), 1, CZAT::FILE_TYPE_NONE, 0), -1);
  CString name;
  T().GetFileName(name);
  EXPECT_EQ(name, Path("x.doc"));
  EXPECT_FALSE(std::filesystem::exists(Path("x.doc")));
  EXPECT_TRUE(Shown().empty());
}

TEST_F(FilesTest, SheetFullToItsLastRowFailsWithAMessageAndStaysOpenForm) {
  Fill({"A", "B"}, {{"1", "x"}});
  const int last = E().GetMaxRow();
  E().SetCellText(last, 2, "bottom");
  T().AppendSheets(1);
  T().SetSheet(2L);
  CString n2 = "Other";
  T().AppendArg(n2, CZAT::null_cstring_ref, 0, nullptr, 0);
  E().SetCellText(1, 1, "o1");
  T().SetSheet(1L);
  T().ResetDirtyBit();
  Register();

  EXPECT_EQ(T().Save(Path("full.xls"), 1, CZAT::FILE_TYPE_NONE, 1), -1);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(sink_.calls.back(), "Save");
  EXPECT_FALSE(std::filesystem::exists(Path("full.xls")));
  // Every sheet is as it was: names as headings, values from row 1.
  EXPECT_EQ(T().GetHeaderArgList(1), (CZATArgList{"A", "B"}));
  EXPECT_EQ(T().GetHeaderArgList(2), (CZATArgList{"Other"}));
  EXPECT_EQ(E().GetCellText(1, 1), "1");
  EXPECT_EQ(E().GetCellText(last, 2), "bottom");
  CString v;
  EXPECT_EQ(T().GetArgValue(1, "Other", v, 2), 0);
  EXPECT_EQ(v, "o1");
  EXPECT_EQ(T().GetDirtyBit(), 0);
  void* blob = nullptr;
  EXPECT_EQ(T().SaveToBlob(&blob), -1);
  EXPECT_EQ(blob, nullptr);
}

TEST_F(FilesTest, FileHeldByAnotherProgramGivesTheSaveSharingMessage) {
  Fill({"A"}, {{"1"}});
  const std::string path = Path("held.xls");
  WriteFile("held.xls", "old contents");
  WriteFile(".~lock.held.xls#", "someone");
  EXPECT_EQ(T().Save(path, 1, CZAT::FILE_TYPE_NONE, 0), -1);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_NE(Shown()[0].find("Unable to save table"), std::string::npos);
  EXPECT_EQ(ReadFile(path), "old contents");
  EXPECT_EQ(T().GetHeaderArgList(0), (CZATArgList{"A"}));
  EXPECT_EQ(Column("A"), (std::vector<std::string>{"1"}));
  EXPECT_EQ(T().GetDirtyBit(), 1);
}

TEST_F(FilesTest, SaveKeepsTheRowSelection) {
  Fill({"A"}, {{"1"}, {"2"}, {"3"}, {"4"}});
  ASSERT_EQ(T().SelectRows(2, 3, 0, true), 0);
  ASSERT_EQ(T().Save(Path("sel.txt"), 1, CZAT::FILE_TYPE_NONE, 0), 0);
  CWBRowsRangeList rows;
  ASSERT_EQ(T().GetSelectedRows(rows, 0), 0);
  CString sheet;
  T().GetSheetName(sheet, 1);
  int count = 0;
  ASSERT_EQ(rows.GetRowsRangeCount(sheet, count), 0);
  ASSERT_EQ(count, 1);
  CRowsRange range;
  rows.GetRowsRangeEntry(sheet, 0, range);
  EXPECT_EQ(range.nFirstRow, 2);
  EXPECT_EQ(range.nLastRow, 3);
}

TEST_F(FilesTest, SaveAsNotifiesInOrderAndTakesTypeFromTheFilter) {
  Fill({"A"}, {{"1"}});
  T().SetFile("/t/old.xls");
  Register();
  Dialogs().QueueResult({Path("Results"), 3});  // Tabbed Text, no extension typed
  CString saved = "junk";
  ASSERT_EQ(T().SaveAsDlg(saved), 0);
  const std::string p = Path("Results.txt");
  EXPECT_EQ(saved, p);
  EXPECT_EQ(sink_.calls, (Calls{"SaveAsFile(/t/old.xls," + p + ")", "FileNameChanged(" + p + ")",
                                "FileNameChanged(" + p + ")", "Save", "SaveAsFileDone(" + p + ")"}));
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_TEXT);
  EXPECT_EQ(T().GetDirtyBit(), 0);
  EXPECT_EQ(ReadFile(p), "A\n1\n");
  const auto& requests = Dialogs().Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_FALSE(requests[0].open);
  EXPECT_NE(requests[0].filter.find("Tabbed Text (*.txt)|*.txt"), std::string::npos);

  // The 5.0/95 filter with a typed .txt writes a 5.0/95 workbook under that name.
  Dialogs().QueueResult({Path("b.txt"), 2});
  ASSERT_EQ(T().SaveAsDlg(CZAT::null_cstring_ref), 0);
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_EXCEL5);
  EXPECT_TRUE(IsCompoundFile(ReadFile(Path("b.txt"))));
}

TEST_F(FilesTest, SaveAsCancelVetoAndFailure) {
  Fill({"A"}, {{"1"}});
  T().SetFile("/t/old.xls");
  Register();
  CString saved = "junk";
  EXPECT_EQ(T().SaveAsDlg(saved), 2);  // nothing queued: cancelled
  EXPECT_EQ(saved, "");
  EXPECT_TRUE(sink_.calls.empty());

  sink_.saveAsAnswer = CZATNotify::ZAT_NTFY_CANCEL;
  Dialogs().QueueResult({Path("v.xls"), 1});
  EXPECT_EQ(T().SaveAsDlg(saved), -3);
  EXPECT_EQ(sink_.calls, (Calls{"SaveAsFile(/t/old.xls," + Path("v.xls") + ")"}));

  // The same name in other letters is no new name: no question.
  sink_.calls.clear();
  Dialogs().QueueResult({"/T/OLD.XLS", 9});  // an index the save dialog does not have
  EXPECT_EQ(T().SaveAsDlg(saved), -1);
  EXPECT_TRUE(sink_.calls.empty());

  // A failed save puts the previous name and type back.
  sink_.saveAsAnswer = CZATNotify::ZAT_NTFY_OK;
  Dialogs().QueueResult({Path("no-such-folder/f.xls"), 1});
  EXPECT_NE(T().SaveAsDlg(saved), 0);
  CString name;
  T().GetFileName(name);
  EXPECT_EQ(name, "/t/old.xls");
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_NONE);
  EXPECT_EQ(sink_.calls.back(), "FileNameChanged(/t/old.xls)");
}

TEST_F(FilesTest, DialogPathGetsTheFiltersExtensionUnlessItHasADot) {
  CString path;
  platform::FileDialogResult r{"/home/u/Results", 1};
  EXPECT_EQ(T().GetDlgPathName(r, path, 0), 0);
  EXPECT_EQ(path, "/home/u/Results.xls");
  r.filterIndex = 2;
  EXPECT_EQ(T().GetDlgPathName(r, path, 1), 0);
  EXPECT_EQ(path, "/home/u/Results.txt");
  r.filterIndex = 3;
  EXPECT_EQ(T().GetDlgPathName(r, path, 1), -1);  // All Files: no extension to add
  EXPECT_EQ(T().GetDlgPathName(r, path, 0), 0);
  EXPECT_EQ(path, "/home/u/Results.txt");
  r.path = "/home/My.Tests/Results";
  EXPECT_EQ(T().GetDlgPathName(r, path, 0), 0);
  EXPECT_EQ(path, "/home/My.Tests/Results");
  r.path = "";
  EXPECT_EQ(T().GetDlgPathName(r, path, 0), -1);

  short type = 0;
  for (auto [index, expected] : {std::pair{1, 11}, {2, 4}, {3, 3}}) {
    r.filterIndex = index;
    EXPECT_EQ(T().GetSaveAsDlgType(r, &type), 0);
    EXPECT_EQ(type, expected);
  }
  r.filterIndex = 0;
  EXPECT_EQ(T().GetSaveAsDlgType(r, &type), -1);
}

TEST_F(FilesTest, SaveWithoutAnyNameAsksForOne) {
  Fill({"A"}, {{"1"}});
  EXPECT_EQ(T().Save(CZAT::null_cstring_ref, 1, CZAT::FILE_TYPE_NONE, 1), 2);
  Dialogs().QueueResult({Path("n.xls"), 1});
  EXPECT_EQ(T().Save("", 1, CZAT::FILE_TYPE_NONE, 1), 0);
  CString name;
  T().GetFileName(name);
  EXPECT_EQ(name, Path("n.xls"));
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_EXCEL97);
}
