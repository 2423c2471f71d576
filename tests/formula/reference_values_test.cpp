// Function families against the values a spreadsheet gives: data/functions_reference.tsv holds
// each formula of data/formulas.txt with the value LibreOffice 7.4 (headless) shows for it,
// computed once by data/make_reference.py; data/overrides.tsv lists the few formulas whose
// expected value differs from LibreOffice's, each with the reason.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "formula_test_support.h"

namespace engine::formula::testing {
namespace {

const std::filesystem::path kData = DT_FORMULA_DATA;

// The sheet of make_reference.py: columns A-E of rows 1-23.
const char* const kSheet[23][5] = {
    {"1", "-1000", "apple", "10", "5"},
    {"2", "300", "banana", "20", "x"},
    {"3", "400", "cherry", "30", "TRUE"},
    {"4", "500", "apple", "40", ""},
    {"5", "200", "date", "50", "-3"},
    {"6", "-50", "fig", "60", "2.5"},
    {"7", "100", "grape", "70", "0"},
    {"8", "250", "apple", "80", "10"},
    {"9", "125", "kiwi", "90", ""},
    {"10", "75", "lemon", "100", "7"},
    {"", "", "", "", ""},
    {"10", "20", "30", "40", ""},
    {"a", "b", "c", "d", ""},            {"", "", "", "", ""},
    {"Name", "Qty", "Price", "Region", ""}, {"apple", "10", "1.5", "north", ""},
    {"pear", "5", "2", "south", ""},      {"apple", "7", "1.25", "south", ""},
    {"plum", "12", "3", "north", ""},     {"", "", "", "", ""},
    {"Name", "Region", "Qty", "", "Qty"}, {"apple", "", ">6", "", ">11"},
    {"", "north", "", "", ""},
};

std::vector<std::pair<std::string, std::string>> ReadPairs(const std::filesystem::path& p) {
  std::vector<std::pair<std::string, std::string>> out;
  std::ifstream in(p);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    std::size_t end = line.find('\t', tab + 1);
    out.emplace_back(
        line.substr(0, tab),
        line.substr(tab + 1, end == std::string::npos ? std::string::npos : end - tab - 1));
  }
  return out;
}

// Does the computed value show as `expected` (LibreOffice's text: numbers to 15 digits,
// logicals as 1 and 0)?
::testing::AssertionResult Shows(const Value& v, const std::string& expected) {
  char* end = nullptr;
  double want = std::strtod(expected.c_str(), &end);
  bool numeric = !expected.empty() && end && *end == '\0';
  if (numeric) {
    double got = v.IsLogical() ? (v.logical ? 1 : 0) : v.number;
    if ((v.IsNumber() || v.IsLogical()) &&
        std::fabs(got - want) <= 1e-9 * std::max(1.0, std::fabs(want)))
      return ::testing::AssertionSuccess();
  } else if (v.IsError()) {
    if (ErrorText(v.error) == expected) return ::testing::AssertionSuccess();
  } else if (v.IsText() && v.text == expected) {
    return ::testing::AssertionSuccess();
  }
  std::ostringstream got;
  got.precision(15);
  if (v.IsNumber())
    got << v.number;
  else if (v.IsError())
    got << ErrorText(v.error);
  else if (v.IsLogical())
    got << (v.logical ? "TRUE" : "FALSE");
  else
    got << "'" << v.text << "'";
  return ::testing::AssertionFailure() << "shows " << got.str() << ", expected " << expected;
}

class SpreadsheetValues : public FormulaTest {
 protected:
  void SetUp() override {
    for (int r = 0; r < 23; ++r)
      for (int c = 0; c < 5; ++c)
        if (*kSheet[r][c]) Set(r + 1, c + 1, kSheet[r][c]);
  }
};

TEST_F(SpreadsheetValues, EveryListedFormulaGivesTheSpreadsheetsValue) {
  auto reference = ReadPairs(kData / "functions_reference.tsv");
  ASSERT_GT(reference.size(), 100u);
  std::map<std::string, std::string> overrides;
  for (auto& [f, v] : ReadPairs(kData / "overrides.tsv")) overrides[f] = v;
  int row = 1;
  for (auto& [formula, shown] : reference) {
    std::string expected = overrides.count(formula) ? overrides[formula] : shown;
    SCOPED_TRACE(formula);
    ASSERT_NO_THROW(Set(row, 6, "=" + formula));
    EXPECT_TRUE(Shows(Val(row, 6), expected));
    ++row;
  }
}

}  // namespace
}  // namespace engine::formula::testing
