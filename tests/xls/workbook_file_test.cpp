// Workbook files through the control: what we write reads back the same in both forms, reads
// are all or nothing, saves are atomic, and every refusal says why.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "control/control.h"
#include "control/model/workbook.h"
#include "control/xls/compound_file.h"
#include "control/xls/xls_file.h"
#include "corpus_support.h"

namespace {

namespace fs = std::filesystem;
using engine::Control;
using engine::EngineError;

class WorkbookFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("xls_file_" + std::to_string(getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void Spit(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string ReadError(const std::string& path) {
    Control c;
    short type = 0;
    try {
      c.ReadFile(path, type);
    } catch (const EngineError& e) {
      return e.Description();
    }
    return "";
  }
  // A table with one of everything the file keeps.
  static void Fill(Control& c) {
    c.SetSheetName(1, "Logins");
    c.InsertSheets(2, 1);
    c.SetSheetName(2, "Steps");
    c.SetActiveSheet(1);
    c.SetCellText(1, 1, "Name");
    c.SetCellText(1, 2, "Amount");
    c.SetCellText(1, 3, "When");
    c.SetCellText(1, 4, "Flag");
    c.SetCellText(1, 5, "Sum");
    c.SetCellText(2, 1, "alice");
    c.SetCellText(2, 2, "$1,234.50");
    c.SetCellText(2, 3, "1/15/2024");
    c.SetCellText(2, 4, "TRUE");
    c.SetCellText(2, 5, "=B2*2");
    c.SetCellText(3, 1, "bob \"the\" builder");
    c.SetCellText(3, 2, "0.125");
    c.SetCellText(3, 4, "#N/A");
    c.SetCellText(3, 5, "=A2&\"-\"&Steps!A1");
    c.SetSelection(2, 1, 2, 1);
    c.SetPattern(1, 0x00FFFF, 0x00FFFF);
    c.SetSelection(3, 1, 3, 1);
    c.SetFontColor(0x0000FF);
    c.SetColumnWidth(1, 20 * 256);
    c.SetColumnHidden(4, true);
    c.SetRowsHidden(3, 3, true);
    c.SetActiveSheet(2);
    c.SetCellText(1, 1, "step1");
    c.SetDefinedName("Rate", "=Logins!$B$2");
    c.SetActiveSheet(1);
  }
  fs::path dir_;
};

TEST_F(WorkbookFile, BothFormsKeepValuesFormulasStylesNamesAndLayout) {
  for (short form : {short(11), short(4)}) {
    SCOPED_TRACE(form);
    Control c;
    Fill(c);
    std::string path = Path(form == 11 ? "t8.xls" : "t5.xls");
    c.WriteFile(path, form);
    Control r;
    short type = 0;
    r.ReadFile(path, type);
    EXPECT_EQ(type, form);
    ASSERT_EQ(r.GetNumSheets(), 2);
    EXPECT_EQ(r.GetSheetName(1), "Logins");
    EXPECT_EQ(r.GetSheetName(2), "Steps");
    r.SetActiveSheet(1);
    for (int row = 1; row <= 3; ++row)
      for (int col = 1; col <= 5; ++col) {
        c.SetActiveSheet(1);
        EXPECT_EQ(r.GetCellFormattedText(row, col), c.GetCellFormattedText(row, col))
            << row << "," << col;
        EXPECT_EQ(r.GetCellText(row, col), c.GetCellText(row, col)) << row << "," << col;
      }
    EXPECT_EQ(r.GetCellFormula(2, 5), "B2*2");
    EXPECT_EQ(r.GetCellFormattedText(3, 5), "alice-step1");
    short pattern = 0;
    std::uint32_t fore = 0, back = 0;
    r.SetSelection(2, 1, 2, 1);
    r.GetPattern(pattern, fore, back);
    EXPECT_EQ(pattern, 1);
    EXPECT_EQ(fore, 0x00FFFFu);
    r.SetSelection(3, 1, 3, 1);
    EXPECT_EQ(r.GetFontColor(), 0x0000FFu);
    EXPECT_EQ(r.GetColumnWidth(1), 20 * 256);
    EXPECT_TRUE(r.GetColumnHidden(4));
    EXPECT_FALSE(r.GetColumnHidden(3));
    EXPECT_TRUE(r.GetRowHidden(3));
    EXPECT_FALSE(r.GetRowHidden(2));
    EXPECT_EQ(r.GetDefinedName("Rate"), c.GetDefinedName("Rate"));
  }
}

TEST_F(WorkbookFile, ShowTabsAndDateSystemRoundTrip) {
  Control c;
  c.SetCellText(1, 1, "x");
  c.SetShowTabsMode(0);
  c.Book().SetDate1904(true);
  c.SetCellValue(2, 1, engine::Value::Number(0));
  c.WriteFile(Path("a.xls"), 11);
  Control r;
  short type = 0;
  r.ReadFile(Path("a.xls"), type);
  EXPECT_FALSE(r.Book().ShowTabs());
  EXPECT_TRUE(r.Book().Date1904());
}

TEST_F(WorkbookFile, Biff5KeepsItsCodePageAndRefusesTallSheets) {
  Control c;
  c.SetCellText(1, 1, "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC");  // café 日本
  c.WriteFile(Path("w.xls"), 4);
  Control r;
  short type = 0;
  r.ReadFile(Path("w.xls"), type);
  EXPECT_EQ(r.GetCellText(1, 1), "caf\xC3\xA9 ??");
  // Under a Japanese locale the form is written in CP932, which holds both.
  engine::LocaleSettings ja;
  ja.language = "ja";
  Control cj(ja);
  cj.SetCellText(1, 1, "\xE6\x97\xA5\xE6\x9C\xAC");
  cj.WriteFile(Path("j.xls"), 4);
  Control rj(ja);
  rj.ReadFile(Path("j.xls"), type);
  EXPECT_EQ(rj.GetCellText(1, 1), "\xE6\x97\xA5\xE6\x9C\xAC");

  Spit(Path("tall.xls"), "old contents");
  c.SetCellText(16385, 1, "too far");
  try {
    c.WriteFile(Path("tall.xls"), 4);
    ADD_FAILURE() << "a sheet of 16,385 rows was written as Excel 5.0/95";
  } catch (const EngineError& e) {
    EXPECT_NE(e.Description().find("16,384"), std::string::npos) << e.Description();
  }
  EXPECT_EQ(Slurp(Path("tall.xls")), "old contents");
  c.WriteFile(Path("tall8.xls"), 11);  // the other form holds it
}

TEST_F(WorkbookFile, AFailedReadLeavesTheTableAsItWas) {
  Control c;
  c.SetCellText(1, 1, "keep me");
  Spit(Path("bad.xls"), std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\x01'));
  short type = 11;
  EXPECT_THROW(c.ReadFile(Path("bad.xls"), type), EngineError);
  EXPECT_EQ(c.GetCellText(1, 1), "keep me");
  EXPECT_EQ(type, 11);
}

TEST_F(WorkbookFile, RefusalsSayWhy) {
  EXPECT_NE(ReadError(Path("missing.xls")).find("not found"), std::string::npos);
  EXPECT_NE(ReadError(dir_.string()).find("folder"), std::string::npos);
  Spit(Path("empty.xls"), "");
  EXPECT_NE(ReadError(Path("empty.xls")).find("not a workbook"), std::string::npos);
  Spit(Path("zip.xls"), std::string("PK\x03\x04", 4) + std::string(100, 'z'));
  EXPECT_NE(ReadError(Path("zip.xls")).find("zip"), std::string::npos);
  Spit(Path("bin.xls"), std::string("\x00\x01\x02garbage\x00", 11));
  EXPECT_NE(ReadError(Path("bin.xls")).find("not a workbook"), std::string::npos);
  // A bare Excel 4.0 stream.
  Spit(Path("b4.xls"), std::string("\x09\x04\x06\x00\x00\x00\x10\x00\x00\x00\x0A\x00\x00\x00", 14));
  EXPECT_NE(ReadError(Path("b4.xls")).find("not supported"), std::string::npos);
  // A password-protected workbook: FILEPASS right after the first BOF.
  engine::xls::Bytes s = {0x09, 0x08, 0x10, 0x00, 0x00, 0x06, 0x05, 0x00, 0, 0, 0, 0, 0, 0, 0, 0,
                          0, 0, 0, 0, 0x2F, 0x00, 0x02, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x00};
  engine::xls::Bytes file = engine::xls::WriteCompoundFile({{"Workbook", s}});
  Spit(Path("pw.xls"), std::string(file.begin(), file.end()));
  EXPECT_NE(ReadError(Path("pw.xls")).find("password"), std::string::npos);
}

TEST_F(WorkbookFile, UnknownFunctionsKeepTheirValueAndText) {
  Control c;
  c.SetCellText(1, 1, "=SUM(1,2)");
  engine::xls::Bytes file = engine::xls::WriteXls(c.Book(), 11, 1252);
  engine::xls::CompoundFileReader cf(file.data(), file.size());
  engine::xls::Bytes stream;
  ASSERT_TRUE(cf.ReadStream("Workbook", stream));
  // Turn SUM (a variable-argument call of function 4) into function 0x3F0, which nobody knows.
  bool patched = false;
  for (std::size_t i = 0; i + 3 < stream.size(); ++i)
    if ((stream[i] == 0x42 || stream[i] == 0x22) && stream[i + 1] == 2 && stream[i + 2] == 4 &&
        stream[i + 3] == 0) {
      stream[i + 2] = 0xF0;
      stream[i + 3] = 0x03;
      patched = true;
    }
  ASSERT_TRUE(patched);
  engine::LocaleSettings locale;
  short type = 0;
  auto book = engine::xls::ReadBiffStream(stream, &locale, type);
  Control r;
  r.ReplaceWorkbook(std::move(book));
  EXPECT_EQ(r.GetCellFormattedText(1, 1), "3");
  EXPECT_NE(r.GetCellText(1, 1).find("(1,2)"), std::string::npos) << r.GetCellText(1, 1);
}

TEST_F(WorkbookFile, SavesAreAtomicAndKeepPermissionsAndLinks) {
  Control c;
  c.SetCellText(1, 1, "v1");
  std::string real = Path("real.xls"), link = Path("link.xls");
  c.WriteFile(real, 11);
  chmod(real.c_str(), 0640);
  fs::create_symlink("real.xls", link);
  c.SetCellText(1, 1, "v2");
  c.WriteFile(link, 11);
  EXPECT_TRUE(fs::is_symlink(link));
  struct stat st;
  ASSERT_EQ(stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  Control r;
  short type = 0;
  r.ReadFile(real, type);
  EXPECT_EQ(r.GetCellText(1, 1), "v2");
  // A write that fails leaves the old file and no temporary file behind.
  std::string before = Slurp(real);
  EXPECT_THROW(c.WriteFile(real, 99), EngineError);
  EXPECT_EQ(Slurp(real), before);
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir_)) files += e.is_symlink() ? 0 : 1;
  EXPECT_EQ(files, 1);
  // A folder we cannot write into.
  EXPECT_THROW(c.WriteFile(Path("no/such/folder.xls"), 11), EngineError);
}

TEST_F(WorkbookFile, AFileHeldOpenElsewhereIsReportedOnlyWhenWriting) {
  Control c;
  c.SetCellText(1, 1, "x");
  std::string path = Path("held.xls");
  c.WriteFile(path, 11);
  Spit(Path(".~lock.held.xls#"), "someone,host,/home/someone;");
  try {
    c.WriteFile(path, 11);
    ADD_FAILURE() << "wrote a file another program holds";
  } catch (const EngineError& e) {
    EXPECT_EQ(e.Code(), engine::kErrUnableToOpen);
    EXPECT_EQ(e.Description(), "Unable to open file.");
  }
  short type = 0;
  Control r;
  EXPECT_NO_THROW(r.ReadFile(path, type));  // reading is never refused for it
  fs::remove(Path(".~lock.held.xls#"));
  // An exclusive advisory lock held through another open file.
  int fd = open(path.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
  EXPECT_THROW(c.WriteFile(path, 11), EngineError);
  EXPECT_NO_THROW(r.ReadFile(path, type));
  flock(fd, LOCK_UN);
  close(fd);
  EXPECT_NO_THROW(c.WriteFile(path, 11));
}

TEST_F(WorkbookFile, BlobsHoldACountedWorkbookOwnedByTheCaller) {
  Control c;
  c.SetCellText(1, 1, "in a blob");
  void* blob = nullptr;
  c.WriteToBlob(&blob, 0);
  ASSERT_NE(blob, nullptr);
  const auto* p = static_cast<const std::uint8_t*>(blob);
  std::uint64_t count = 0;
  for (int i = 7; i >= 0; --i) count = (count << 8) | p[i];
  EXPECT_TRUE(engine::xls::IsCompoundFile(p + 8, count));
  Control r;
  r.ReadFromBlob(blob, 0);
  EXPECT_EQ(r.GetCellText(1, 1), "in a blob");
  std::free(blob);

  EXPECT_THROW(r.ReadFromBlob(nullptr, 0), EngineError);
  EXPECT_THROW(c.WriteToBlob(nullptr, 0), EngineError);
  std::uint8_t zero[16] = {};
  EXPECT_THROW(r.ReadFromBlob(zero, 0), EngineError);
  std::uint8_t huge[16] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
  EXPECT_THROW(r.ReadFromBlob(huge, 0), EngineError);
  EXPECT_EQ(r.GetCellText(1, 1), "in a blob");
}

}  // namespace

namespace {

// Each sheet's own name "Col" over a whole column (past the 5.0/95 form's last row), a name
// only the second sheet has, and before them all a name neither form can write: formulas
// must still find, on reading, the very names they used.
TEST_F(WorkbookFile, FormulasKeepTheirNamesInBothForms) {
  for (short form : {short(11), short(4)}) {
    SCOPED_TRACE(form);
    Control c;
    c.InsertSheets(2, 1);
    c.SetActiveSheet(1);
    c.SetDefinedName("Bad", "SUM(Sheet1:Sheet2!$A$1)");
    c.SetDefinedName("Col", "$A$1:$A$65526");
    c.SetCellText(1, 1, "2");
    c.SetCellText(2, 1, "3");
    c.SetCellText(1, 2, "=SUM(Col)");
    c.SetActiveSheet(2);
    c.SetDefinedName("Col", "$B$1:$B$65526");
    c.SetDefinedName("Only2", "$C$1");
    c.SetCellText(1, 2, "10");
    c.SetCellText(2, 2, "20");
    c.SetCellText(1, 3, "7");
    c.SetCellText(1, 1, "=SUM(Col)");
    c.SetCellText(2, 1, "=Only2*2");
    ASSERT_EQ(c.GetCellFormattedText(1, 1), "30");

    std::string path = Path("names.xls");
    c.WriteFile(path, form);
    Control r;
    short type = 0;
    r.ReadFile(path, type);
    r.SetActiveSheet(1);
    EXPECT_EQ(r.GetCellFormula(1, 2), "SUM(Col)");
    EXPECT_EQ(r.GetCellFormattedText(1, 2), "5");
    // Clipped to the 5.0/95 form's rows, the name covers the whole column there.
    EXPECT_EQ(r.GetDefinedName("Col"), form == 4 ? "$A:$A" : "$A$1:$A$65526");
    r.SetActiveSheet(2);
    EXPECT_EQ(r.GetCellFormula(1, 1), "SUM(Col)");
    EXPECT_EQ(r.GetCellFormattedText(1, 1), "30");
    EXPECT_EQ(r.GetCellFormula(2, 1), "Only2*2");
    EXPECT_EQ(r.GetCellFormattedText(2, 1), "14");
    r.SetCellText(1, 3, "8");
    EXPECT_EQ(r.GetCellFormattedText(2, 1), "16");
  }
}

// A single cell past the 5.0/95 form's rows fits only the 97-2000 form: writing the 5.0/95
// form refuses it and says so, and the file already there stays as it was.
TEST_F(WorkbookFile, Biff5RefusesWhatOnlyBiff8Holds) {
  std::string path = Path("keep.xls");
  Spit(path, "old bytes");
  Control c;
  c.SetCellText(1, 1, "=A20000+1");
  try {
    c.WriteFile(path, 4);
    ADD_FAILURE() << "written";
  } catch (const EngineError& e) {
    EXPECT_NE(e.Description().find("A20000+1"), std::string::npos) << e.Description();
    EXPECT_NE(e.Description().find("97-2000"), std::string::npos) << e.Description();
  }
  EXPECT_EQ(Slurp(path), "old bytes");
  c.WriteFile(path, 11);
  Control r;
  short type = 0;
  r.ReadFile(path, type);
  EXPECT_EQ(r.GetCellFormula(1, 1), "A20000+1");

  // Text too long for a 5.0/95 cell is refused the same way.
  Control t;
  t.SetCellText(3, 2, std::string(3000, 'x'));
  EXPECT_THROW(t.WriteFile(Path("long.xls"), 4), EngineError);
  EXPECT_FALSE(fs::exists(Path("long.xls")));
}

}  // namespace
