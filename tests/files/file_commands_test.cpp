// The File menu through scripted file dialogs: what each command leaves as name, type and
// dirty bit, the notifications in their order, the first-sheet-only message, and the edits a
// failed or cancelled step must keep.

#include <filesystem>

#include "files_fixture.h"
#include "platform/command_state.h"

using Calls = std::vector<std::string>;

namespace {

bool IsCompoundFile(const std::string& bytes) {
  return bytes.size() >= 8 && bytes.compare(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") == 0;
}

platform::FileDialogResult Chosen(const std::string& path, int filterIndex) {
  platform::FileDialogResult r;
  r.path = path;
  r.filterIndex = filterIndex;
  return r;
}

// The table's own entries, then .xlsx and .csv as filter indexes 4 and 5.
constexpr const char* kOpenFilter =
    "Microsoft Excel Files (*.xls)|*.xls|Tabbed Text (*.txt)|*.txt|All Files (*.*)|*.*|"
    "Excel Workbook (*.xlsx)|*.xlsx|CSV, Comma-Separated Text (*.csv)|*.csv||";
constexpr const char* kSaveFilter =
    "Microsoft Excel 97-2000 (*.xls)|*.xls|MIcrosoft Excel 5.0/95 (*.xls)|*.xls|Tabbed Text "
    "(*.txt)|*.txt|Excel Workbook (*.xlsx)|*.xlsx|CSV, Comma-Separated Text (*.csv)|*.csv||";
constexpr const char* kFirstSheetOnly =
    "Importing the first sheet only. Other sheets are being ignored.";

}  // namespace

class FileCommandsTest : public FilesTest {
 protected:
  CString Name() {
    CString name;
    T().GetFileName(name);
    return name;
  }
  // A workbook of three sheets, each with one parameter, written to path.
  void WriteThreeSheets(const std::string& path) {
    Fill({"First"}, {{"f1"}, {"f2"}});
    T().AppendSheets(2);
    for (long s = 2; s <= 3; ++s) {
      T().SetSheet(s);
      CString name = "OnSheet" + std::to_string(s);
      ASSERT_EQ(T().AppendArg(name, "v", 0, nullptr, 0), 0);
    }
    T().SetSheet(1L);
    ASSERT_EQ(T().Save(path, 0, CZAT::FILE_TYPE_EXCEL97, 0), 0);
  }
  bool Enabled(unsigned id) {
    platform::CommandState state;
    state.id = id;
    EXPECT_TRUE(T().OnUpdateCommand(state));
    return state.enabled.value_or(true);
  }
};

TEST_F(FileCommandsTest, SaveAsTakesTheTypeFromTheFilterAndTheExtensionOnlyWhenNoneWasTyped) {
  Fill({"User"}, {{"ann"}});
  struct Case {
    std::string typed;
    int filter;
    std::string written;
    short type;
  } cases[] = {
      {"Results", 3, "Results.txt", CZAT::FILE_TYPE_TEXT},
      {"Results5", 2, "Results5.xls", CZAT::FILE_TYPE_EXCEL5},
      {"Results97", 1, "Results97.xls", CZAT::FILE_TYPE_EXCEL97},
      // The filter decides the form, never the typed extension.
      {"a.txt", 2, "a.txt", CZAT::FILE_TYPE_EXCEL5},
      {"Book", 4, "Book.xlsx", CZAT::FILE_TYPE_XLSX},
      {"Plain", 5, "Plain.csv", CZAT::FILE_TYPE_CSV},
  };
  for (const Case& c : cases) {
    Dialogs().QueueResult(Chosen(Path(c.typed), c.filter));
    T().OnFileSaveAs();
    EXPECT_EQ(Name(), Path(c.written)) << c.typed;
    EXPECT_EQ(T().FileType(), c.type) << c.typed;
    EXPECT_EQ(T().GetDirtyBit(), 0);
    const std::string bytes = ReadFile(Path(c.written));
    EXPECT_EQ(IsCompoundFile(bytes), c.type == CZAT::FILE_TYPE_EXCEL5 ||
                                         c.type == CZAT::FILE_TYPE_EXCEL97)
        << c.typed;
    if (c.type == CZAT::FILE_TYPE_XLSX) EXPECT_EQ(bytes.substr(0, 2), "PK");
    if (c.type == CZAT::FILE_TYPE_CSV) EXPECT_EQ(bytes.substr(0, 5), "User\r");
  }
  // The save dialog starts empty, asks before overwriting and adds no extension itself.
  const platform::FileDialogRequest& request = Dialogs().Requests().back();
  EXPECT_FALSE(request.open);
  EXPECT_EQ(request.filter, kSaveFilter);
  EXPECT_TRUE(request.fileName.empty());
  EXPECT_TRUE(request.defaultExt.empty());
  EXPECT_NE(request.flags & platform::OFN_OVERWRITEPROMPT, 0u);
  EXPECT_TRUE(T().NoModalUp());

  // A dot in a folder name counts as an extension: the path is taken as typed.
  std::filesystem::create_directory(Path("My.Tests"));
  Dialogs().QueueResult(Chosen(Path("My.Tests/Results"), 3));
  T().OnFileSaveAs();
  EXPECT_EQ(Name(), Path("My.Tests/Results"));
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_TEXT);
  EXPECT_EQ(ReadFile(Path("My.Tests/Results")).substr(0, 9), "User\r\nann");
}

TEST_F(FileCommandsTest, OpenThroughTheDialogKeepsTheTypeOfTheExtension) {
  Fill({"User", "Age"}, {{"ann", "31"}});
  ASSERT_EQ(T().Save(Path("old95.xls"), 0, CZAT::FILE_TYPE_EXCEL5, 0), 0);
  ASSERT_EQ(T().Open("", CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
  Register();
  Dialogs().QueueResult(Chosen(Path("old95.xls"), 1));
  T().OnFileOpen();
  EXPECT_EQ(Name(), Path("old95.xls"));
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_EXCEL97);  // so the next Save writes 97-2000
  EXPECT_EQ(T().GetDirtyBit(), 0);
  EXPECT_EQ(Column("Age"), (std::vector<std::string>{"31"}));
  const std::string p = Path("old95.xls");
  EXPECT_EQ(sink_.calls, (Calls{"OpenFile(" + p + ")", "OpenFileDone(" + p + ")",
                                "FileNameChanged(" + p + ")"}));
  const platform::FileDialogRequest& request = Dialogs().Requests().back();
  EXPECT_TRUE(request.open);
  EXPECT_EQ(request.filter, kOpenFilter);
  EXPECT_TRUE(request.fileName.empty());
  EXPECT_TRUE(request.defaultExt.empty());
  EXPECT_NE(request.flags & platform::OFN_FILEMUSTEXIST, 0u);
  EXPECT_NE(request.flags & platform::OFN_HIDEREADONLY, 0u);

  // Typed without extension under the text filter: ".txt" is added.
  WriteFile("plain.txt", "Code\r\nx1\r\n");
  Dialogs().QueueResult(Chosen(Path("plain"), 2));
  T().OnFileOpen();
  EXPECT_EQ(Name(), Path("plain.txt"));
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_TEXT);
  EXPECT_EQ(Column("Code"), (std::vector<std::string>{"x1"}));

  // Under "All Files" a name without extension cannot be opened, and nothing is said.
  EXPECT_TRUE(Shown().empty());
  Dialogs().QueueResult(Chosen(Path("plain"), 3));
  EXPECT_EQ(T().OpenDlg(false, true), -1);
  Dialogs().QueueResult(Chosen(Path("other.csv"), 3));
  EXPECT_EQ(T().OpenDlg(false, true), -1);
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(Name(), Path("plain.txt"));

  // The .xlsx and .csv entries open those forms; an .xlsx under "All Files" is refused.
  ASSERT_EQ(T().Save(Path("book.xlsx"), 0, CZAT::FILE_TYPE_XLSX, 0), 0);
  WriteFile("list.csv", "Code,Qty\r\n\"a,b\",3\r\n");
  Dialogs().QueueResult(Chosen(Path("book.xlsx"), 3));
  EXPECT_EQ(T().OpenDlg(false, true), -1);
  Dialogs().QueueResult(Chosen(Path("book"), 4));
  T().OnFileOpen();
  EXPECT_EQ(Name(), Path("book.xlsx"));
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_XLSX);
  EXPECT_EQ(Column("Code"), (std::vector<std::string>{"x1"}));
  Dialogs().QueueResult(Chosen(Path("list.csv"), 5));
  T().OnFileOpen();
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_CSV);
  EXPECT_EQ(Column("Code"), (std::vector<std::string>{"a,b"}));
}

TEST_F(FileCommandsTest, EmptyTextFileOpensEmptyAndAVetoLeavesTheTableAlone) {
  Fill({"Keep"}, {{"k1"}});
  T().ResetDirtyBit();
  WriteFile("empty.txt", "");
  Register();
  sink_.openAnswer = CZATNotify::ZAT_NTFY_CANCEL;
  Dialogs().QueueResult(Chosen(Path("empty.txt"), 2));
  T().OnFileOpen();
  EXPECT_EQ(Name(), "");
  EXPECT_EQ(Column("Keep"), (std::vector<std::string>{"k1"}));

  sink_.openAnswer = CZATNotify::ZAT_NTFY_OK;
  sink_.calls.clear();
  Dialogs().QueueResult(Chosen(Path("empty.txt"), 2));
  T().OnFileOpen();
  EXPECT_EQ(Name(), Path("empty.txt"));
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_TEXT);
  EXPECT_EQ(T().GetDirtyBit(), 0);
  EXPECT_EQ(T().GetHeaderArgList(0).size(), 0u);
  EXPECT_EQ(sink_.calls.back(), "FileNameChanged(" + Path("empty.txt") + ")");
}

TEST_F(FileCommandsTest, ImportShowsFirstSheetOnlyWhenTabsAreHiddenAndKeepsTheTableIdentity) {
  WriteThreeSheets(Path("three.xls"));
  ASSERT_EQ(T().Open("", CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
  T().SetNumSheets(1);
  Fill({"Mine"}, {{"m"}});
  ASSERT_EQ(T().Save(Path("mine.xls"), 1, CZAT::FILE_TYPE_EXCEL5, 0), 0);
  Register();

  Dialogs().QueueResult(Chosen(Path("three.xls"), 1));
  T().OnFileImport();
  EXPECT_EQ(Shown(), (std::vector<std::string>{kFirstSheetOnly}));
  EXPECT_EQ(T().GetNumSheets(), 1);
  EXPECT_EQ(T().GetHeaderArgList(0), (CZATArgList{"First"}));
  EXPECT_EQ(Name(), Path("mine.xls"));
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_EXCEL5);
  EXPECT_EQ(T().GetDirtyBit(), 1);
  EXPECT_EQ(sink_.calls.back(), "SaveAsFileDone(" + Path("mine.xls") + ")");
  EXPECT_TRUE(T().NoModalUp());

  // With the tabs shown every sheet stays and nothing is said.
  T().SetShowTabs(true);
  Boxes().ClearShown();
  Dialogs().QueueResult(Chosen(Path("three.xls"), 1));
  T().OnFileImport();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(T().GetNumSheets(), 3);

  // Imported names are repaired; an Open keeps them as they stand.
  WriteFile("names.txt", "Login Name\tAge\r\nann\t3\r\n");
  Dialogs().QueueResult(Chosen(Path("names.txt"), 2));
  T().OnFileImport();
  EXPECT_EQ(T().GetHeaderArgList(0), (CZATArgList{"Login_Name", "Age"}));
  EXPECT_EQ(Column("Login_Name"), (std::vector<std::string>{"ann"}));
}

TEST_F(FileCommandsTest, CancelledImportMarksModifiedAndReportsTheUnchangedName) {
  Fill({"A"}, {{"1"}});
  T().SetFile("/t/named.xls");
  T().ResetDirtyBit();
  Register();
  Dialogs().QueueCancel();
  T().OnFileImport();
  EXPECT_EQ(T().GetDirtyBit(), 1);
  EXPECT_EQ(sink_.calls, (Calls{"SaveAsFileDone(/t/named.xls)"}));
  EXPECT_EQ(Column("A"), (std::vector<std::string>{"1"}));
}

TEST_F(FileCommandsTest, ExportWritesACopyAndKeepsNameTypeAndDirtyBit) {
  Fill({"A", "B"}, {{"1", "x"}});
  ASSERT_EQ(T().Save(Path("orig.xls"), 1, CZAT::FILE_TYPE_NONE, 0), 0);
  E().SetCellText(2, 1, "2");  // modified after the save
  ASSERT_EQ(T().GetDirtyBit(), 1);
  Register();
  Dialogs().QueueResult(Chosen(Path("copy"), 3));
  T().OnFileExport();
  EXPECT_EQ(ReadFile(Path("copy.txt")), "A\tB\n1\tx\n2\n");
  EXPECT_EQ(Name(), Path("orig.xls"));
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_EXCEL97);
  EXPECT_EQ(T().GetDirtyBit(), 1);
  const std::string orig = Path("orig.xls"), copy = Path("copy.txt");
  EXPECT_EQ(sink_.calls,
            (Calls{"SaveAsFile(" + orig + "," + copy + ")", "FileNameChanged(" + copy + ")",
                   "FileNameChanged(" + copy + ")", "Save", "SaveAsFileDone(" + copy + ")",
                   "FileNameChanged(" + orig + ")", "SaveAsFileDone(" + orig + ")"}));

  // A cancelled export sends nothing.
  sink_.calls.clear();
  Dialogs().QueueCancel();
  T().OnFileExport();
  EXPECT_TRUE(sink_.calls.empty());
  EXPECT_EQ(T().GetDirtyBit(), 1);
}

TEST_F(FileCommandsTest, NewAfterACancelledOrFailedSaveLeavesTheTableAsItWas) {
  Fill({"Work"}, {{"unsaved"}});
  ASSERT_EQ(T().GetDirtyBit(), 1);
  // Yes, then the Save As dialog (the table has no name) is cancelled.
  Boxes().QueueAnswer(platform::IDYES);
  Dialogs().QueueCancel();
  T().OnFileNew();
  EXPECT_EQ(Column("Work"), (std::vector<std::string>{"unsaved"}));
  EXPECT_EQ(T().GetDirtyBit(), 1);
  // Yes, and the save fails: the folder does not exist.
  T().SetFile(Path("no-such-dir/t.xls"));
  Boxes().QueueAnswer(platform::IDYES);
  T().OnFileNew();
  EXPECT_EQ(Column("Work"), (std::vector<std::string>{"unsaved"}));
  EXPECT_EQ(T().GetDirtyBit(), 1);
  // Cancel.
  Boxes().QueueAnswer(platform::IDCANCEL);
  T().OnFileNew();
  EXPECT_EQ(Column("Work"), (std::vector<std::string>{"unsaved"}));

  // No: the table starts afresh.
  Register();
  Boxes().QueueAnswer(platform::IDNO);
  T().OnFileNew();
  EXPECT_EQ(T().GetHeaderArgList(0).size(), 0u);
  EXPECT_EQ(Name(), "");
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_NONE);
  EXPECT_EQ(T().GetDirtyBit(), 0);
  EXPECT_EQ(sink_.calls, (Calls{"FileNameChanged()", "OpenFile()"}));
}

TEST_F(FileCommandsTest, OpenKeepsUnsavedEditsWhenTheSaveOrTheDialogDoesNotGoThrough) {
  WriteFile("other.txt", "Other\r\no1\r\n");
  Fill({"Work"}, {{"unsaved"}});
  T().SetFile(Path("no-such-dir/t.xls"));
  // Yes, the save fails: the other file is not read over the edits.
  Boxes().QueueAnswer(platform::IDYES);
  Dialogs().QueueResult(Chosen(Path("other.txt"), 2));
  T().OnFileOpen();
  EXPECT_EQ(Column("Work"), (std::vector<std::string>{"unsaved"}));
  EXPECT_EQ(Name(), Path("no-such-dir/t.xls"));
  EXPECT_EQ(T().GetDirtyBit(), 1);
  // A cancelled dialog leaves the edits counted as unsaved, so closing still asks.
  Dialogs().QueueCancel();
  T().OnFileOpen();
  EXPECT_EQ(T().GetDirtyBit(), 1);
  // No: the edits are given up and the other file is read.
  Boxes().QueueAnswer(platform::IDNO);
  Dialogs().QueueResult(Chosen(Path("other.txt"), 2));
  T().OnFileOpen();
  EXPECT_EQ(Column("Other"), (std::vector<std::string>{"o1"}));
  EXPECT_EQ(T().GetDirtyBit(), 0);
}

TEST_F(FileCommandsTest, FailedReadKeepsUnsavedEditsAndReadsAnUnmodifiedTableAgain) {
  WriteFile("broken.xls", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 broken", 15));
  Fill({"Mine"}, {{"edited"}});
  T().SetFile(Path("mine.txt"));
  T().SetFileType(CZAT::FILE_TYPE_TEXT);
  WriteFile("mine.txt", "Mine\r\nsaved\r\n");
  // Import (no save question) of an unreadable file: the edits stay.
  Dialogs().QueueResult(Chosen(Path("broken.xls"), 1));
  T().OnFileImport();
  EXPECT_EQ(Shown().size(), 1u);  // the read error
  EXPECT_EQ(Column("Mine"), (std::vector<std::string>{"edited"}));
  EXPECT_EQ(Name(), Path("mine.txt"));
  EXPECT_EQ(T().FileType(), CZAT::FILE_TYPE_TEXT);
  EXPECT_EQ(T().GetDirtyBit(), 1);

  // Without edits the previous file is read again.
  T().ResetDirtyBit();
  Dialogs().QueueResult(Chosen(Path("broken.xls"), 1));
  EXPECT_EQ(T().OpenDlg(true, false), -1);
  EXPECT_EQ(Column("Mine"), (std::vector<std::string>{"saved"}));
  EXPECT_EQ(Name(), Path("mine.txt"));
}

TEST_F(FileCommandsTest, MenuStateCommandRoutingAndPrintingWithoutAPrinter) {
  for (unsigned id : {57600u, 57601u, 34320u}) EXPECT_TRUE(Enabled(id)) << id;
  T().SetReadOnly(true);
  for (unsigned id : {57600u, 57601u, 34320u}) EXPECT_FALSE(Enabled(id)) << id;
  T().SetReadOnly(false);

  Fill({"A"}, {{"1"}});
  T().ResetDirtyBit();
  // Headless there is no printer: Print reports false, the menu's print says nothing (the
  // engine reports a cancel), and the table keeps its form and its clean state.
  EXPECT_FALSE(T().Print(0));
  EXPECT_FALSE(T().Print(1));
  T().OnFilePrint();
  T().OnFilePrintpreview();
  T().OnFilePrintsetup();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(Column("A"), (std::vector<std::string>{"1"}));
  EXPECT_EQ(T().GetHeaderArgList(0), (CZATArgList{"A"}));
  EXPECT_EQ(T().GetDirtyBit(), 0);
  EXPECT_TRUE(T().NoModalUp());

  // File › Save routes to Save; on an unnamed table that is the Save As dialog.
  Dialogs().QueueResult(Chosen(Path("routed"), 1));
  EXPECT_TRUE(T().OnCommand(57603));
  EXPECT_EQ(Name(), Path("routed.xls"));
  EXPECT_TRUE(std::filesystem::exists(Path("routed.xls")));
}
