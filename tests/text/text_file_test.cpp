// Tab-separated text: fields are read as typed, any encoding a text file comes in is
// recognised, and what we write reads back to the same values.
#include "control/text/text_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "control/control.h"
#include "control/model/workbook.h"

namespace {

namespace fs = std::filesystem;
using engine::Control;

class TextFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("text_file_" + std::to_string(getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Write(const std::string& bytes) {
    std::string path = (dir_ / "t.txt").string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir_;
};

TEST_F(TextFile, FieldsAreReadAsTyped) {
  Control c;
  short type = 0;
  c.ReadFile(Write("Name\tAge\tWhen\tOk\tF\tBad\n"
                   "alice\t31\t1/15/2024\tTRUE\t=B2*2\t=(\n"
                   "\t'007\t12%\t$1,234.50\n"),
             type);
  EXPECT_EQ(type, 3);
  EXPECT_EQ(c.GetCellType(2, 2), engine::kTypeNumber);
  EXPECT_EQ(c.GetCellFormattedText(2, 3), "1/15/2024");
  EXPECT_EQ(c.GetCellType(2, 4), engine::kTypeLogical);
  EXPECT_EQ(c.GetCellFormattedText(2, 5), "62");
  EXPECT_EQ(c.GetCellText(2, 6), "=(");  // a formula that does not parse stays text
  EXPECT_EQ(c.GetCellType(2, 6), engine::kTypeText);
  EXPECT_EQ(c.GetCellText(3, 1), "");
  EXPECT_EQ(c.GetCellFormattedText(3, 2), "007");
  EXPECT_EQ(c.GetCellFormattedText(3, 3), "12%");
  EXPECT_EQ(c.GetCellFormattedText(3, 4), "$1,234.50");
}

TEST_F(TextFile, QuotedFieldsHoldTabsQuotesAndLineBreaks) {
  Control c;
  short type = 0;
  c.ReadFile(Write("\"a\tb\"\t\"say \"\"hi\"\"\"\t\"two\r\nlines\"\r\nnext\r\n"), type);
  EXPECT_EQ(c.GetCellText(1, 1), "a\tb");
  EXPECT_EQ(c.GetCellText(1, 2), "say \"hi\"");
  EXPECT_EQ(c.GetCellText(1, 3), "two\r\nlines");
  EXPECT_EQ(c.GetCellText(2, 1), "next");
  EXPECT_EQ(c.GetLastRow(), 2);
}

TEST_F(TextFile, EveryEncodingOfATextFileIsRecognised) {
  const std::string cafe = "caf\xC3\xA9";
  struct Case {
    const char* what;
    std::string bytes;
    const char* language;
  } cases[] = {
      {"UTF-8", cafe + "\n", "en"},
      {"UTF-8 with BOM", "\xEF\xBB\xBF" + cafe + "\n", "en"},
      {"UTF-16LE with BOM", std::string("\xFF\xFE" "c\0a\0f\0\xE9\0\n\0", 12), "en"},
      {"UTF-16BE with BOM", std::string("\xFE\xFF\0c\0a\0f\0\xE9\0\n", 12), "en"},
      {"CP1252", "caf\xE9\n", "en"},
  };
  for (const auto& k : cases) {
    engine::LocaleSettings locale;
    locale.language = k.language;
    Control c(locale);
    short type = 0;
    c.ReadFile(Write(k.bytes), type);
    EXPECT_EQ(c.GetCellText(1, 1), cafe) << k.what;
  }
  engine::LocaleSettings ja;
  ja.language = "ja";
  Control c(ja);
  short type = 0;
  c.ReadFile(Write("\x93\xfa\x96\x7b\n"), type);  // 日本 in CP932
  EXPECT_EQ(c.GetCellText(1, 1), "\xE6\x97\xA5\xE6\x9C\xAC");
}

TEST_F(TextFile, BytesThatAreNotTextAreRefused) {
  engine::LocaleSettings locale;
  std::string out;
  const std::uint8_t nul[] = {'a', 0, 'b'};
  EXPECT_FALSE(engine::text::DecodeText(nul, sizeof nul, locale, out));
  const std::uint8_t control[] = {'a', 0x01, 0x02, 0x03};
  EXPECT_FALSE(engine::text::DecodeText(control, sizeof control, locale, out));
  const std::uint8_t oddUtf16[] = {0xFF, 0xFE, 'a'};
  EXPECT_FALSE(engine::text::DecodeText(oddUtf16, sizeof oddUtf16, locale, out));
  Control c;
  c.SetCellText(1, 1, "kept");
  short type = 0;
  EXPECT_THROW(c.ReadFile(Write(std::string("\x01\x02\x03\x04", 4)), type), engine::EngineError);
  EXPECT_EQ(c.GetCellText(1, 1), "kept");
}

TEST_F(TextFile, WrittenTextReadsBackToTheSameValues) {
  Control c;
  const char* texts[] = {"007", "3.10", "1/2", "TRUE", "=not a formula", "'quoted",
                         "tab\there", "say \"hi\"", "two\nlines", "plain"};
  int row = 1;
  for (const char* t : texts) c.SetCellValue(row++, 1, engine::Value::Text(t));
  c.SetCellText(1, 2, "12.5");
  c.SetCellText(2, 2, "=B1*2");
  c.SetCellText(3, 2, "FALSE");
  c.SetCellText(4, 2, "3/4/2021");
  c.SetCellText(5, 2, "#DIV/0!");
  c.SetCellText(6, 3, "end");
  std::string path = (dir_ / "out.txt").string();
  c.WriteFile(path, 3);
  std::string bytes = Read(path);
  // Text typed entry would misread is a text formula, quoted because it holds quotes.
  EXPECT_NE(bytes.find("\"=\"\"007\"\"\""), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("\"say \"\"hi\"\"\""), std::string::npos) << bytes;
  Control r;
  short type = 0;
  r.ReadFile(path, type);
  for (int rr = 1; rr <= 10; ++rr)
    for (int cc = 1; cc <= 3; ++cc)
      EXPECT_EQ(r.GetCellFormattedText(rr, cc), c.GetCellFormattedText(rr, cc)) << rr << "," << cc;
  EXPECT_EQ(r.GetCellFormula(2, 2), "B1*2");
  EXPECT_EQ(r.GetCellType(1, 1), -engine::kTypeText);
  EXPECT_EQ(r.GetCellType(10, 1), engine::kTypeText);
}

TEST_F(TextFile, ATableLargerThanASheetIsRefused) {
  std::string wide(300, '\t');
  Control c;
  short type = 0;
  EXPECT_THROW(c.ReadFile(Write("a" + wide + "b\n"), type), engine::EngineError);
}

}  // namespace
