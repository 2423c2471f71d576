// Workbooks written by other programs, opened as tables: row 1 becomes the parameter names and
// every value reads back as the writing program displayed it; a save and reopen keeps it all.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "expected_json.h"
#include "params/column_letters.h"
#include "params_fixture.h"

namespace {

const char* const kWorkbooks[] = {"login", "texts", "many", "sheets"};
const char* const kWriters[] = {"gnumeric97", "gnumeric95", "libreoffice97"};

// A General number shows as many digits as a standard-width column holds, where the writing
// program showed all fifteen: the same number is fine.
bool SameText(const std::string& got, const std::string& want) {
  if (got == want) return true;
  char* endGot = nullptr;
  char* endWant = nullptr;
  double g = std::strtod(got.c_str(), &endGot);
  double w = std::strtod(want.c_str(), &endWant);
  if (got.empty() || want.empty() || *endGot != '\0' || *endWant != '\0') return false;
  return std::fabs(g - w) <= 1e-9 * std::max(1.0, std::fabs(w)) + 5e-8;
}

std::string CorpusFile(const std::string& name) {
  return std::string(DT_CORPUS_DIR) + "/interop/" + name;
}

// The names a table reports for a stored header row: an empty name is the column's letters;
// empty names after the last column in use are not columns at all.
CZATArgList ExpectedNames(const ExpectedSheet& sheet) {
  CZATArgList names;
  if (sheet.rows.empty()) return names;
  std::size_t width = 0;
  for (const auto& row : sheet.rows)
    for (std::size_t c = 0; c < row.size(); ++c)
      if (!row[c].empty()) width = std::max(width, c + 1);
  for (std::size_t c = 0; c < width; ++c) {
    const std::string& name = c < sheet.rows[0].size() ? sheet.rows[0][c] : std::string();
    names.push_back(name.empty() ? params::ColumnLetters(static_cast<long>(c + 1)) : name);
  }
  return names;
}

class StoredForm : public ParamsTest {
 protected:
  // Checks names, row count and every value of every sheet against what the writer displayed.
  void ExpectTable(const std::vector<ExpectedSheet>& sheets, const std::string& what) {
    ASSERT_EQ(T().GetNumSheets(), static_cast<long>(sheets.size())) << what;
    for (std::size_t s = 0; s < sheets.size(); ++s) {
      const long sheet = static_cast<long>(s + 1);
      const ExpectedSheet& expected = sheets[s];
      SCOPED_TRACE(what + " sheet " + expected.name);
      // A 5.0/95 file cannot name a sheet outside its code page; the writer's record of what
      // such a sheet showed is empty and says nothing.
      if (expected.rows.empty() && expected.name.find('?') != std::string::npos) continue;
      CZATArgList names = ExpectedNames(expected);
      EXPECT_EQ(T().GetHeaderArgList(sheet), names);
      long rows = -1;
      ASSERT_EQ(T().GetMaxRows(rows, sheet), 0);
      long expectedRows = expected.rows.empty() ? 0 : static_cast<long>(expected.rows.size()) - 1;
      EXPECT_EQ(rows, expectedRows);
      long c = 0;
      for (const std::string& name : names) {
        ++c;
        for (long r = 1; r <= expectedRows; ++r) {
          const auto& row = expected.rows[static_cast<std::size_t>(r)];
          std::string want = static_cast<std::size_t>(c - 1) < row.size() ? row[c - 1] : "";
          CString got = "unset";
          ASSERT_EQ(T().GetArgValue(r, name, got, sheet), 0) << name << " row " << r;
          EXPECT_PRED2(SameText, got, want) << name << " row " << r;
        }
      }
    }
  }
};

TEST_F(StoredForm, WorkbooksOfOtherProgramsOpenWithTheirNamesAndValues) {
  for (const char* book : kWorkbooks) {
    for (const char* writer : kWriters) {
      std::string base = std::string(book) + "." + writer;
      auto sheets = ReadExpectedSheets(CorpusFile(base + ".expected.json"));
      ASSERT_FALSE(sheets.empty()) << base;
      ASSERT_EQ(T().Open(CorpusFile(base + ".xls"), CZAT::FILE_TYPE_NONE, nullptr, 1), 0) << base;
      ExpectTable(sheets, base);
    }
  }
}

TEST_F(StoredForm, SavingAndReopeningKeepsNamesValuesAndRowCount) {
  std::string dir = ::testing::TempDir() + "/params_stored_form_" + std::to_string(::getpid());
  std::filesystem::create_directories(dir);
  for (const char* book : kWorkbooks) {
    std::string base = std::string(book) + ".libreoffice97";
    auto sheets = ReadExpectedSheets(CorpusFile(base + ".expected.json"));
    ASSERT_EQ(T().Open(CorpusFile(base + ".xls"), CZAT::FILE_TYPE_NONE, nullptr, 1), 0);
    for (CZAT::FILE_TYPE type : {CZAT::FILE_TYPE_EXCEL97, CZAT::FILE_TYPE_EXCEL5}) {
      std::string path = dir + "/" + base + "." + std::to_string(type) + ".xls";
      ASSERT_EQ(T().Save(path, 0, type, 0), 0) << path;
      ExpectTable(sheets, base + " after saving");  // the open form is back after the save
      if (type == CZAT::FILE_TYPE_EXCEL97) {
        ASSERT_EQ(T().Open(path, CZAT::FILE_TYPE_NONE, nullptr, 1), 0) << path;
        ExpectTable(sheets, base + " reopened");
      }
    }
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
