// A workbook of the function families and operators written by LibreOffice
// (formula/data/functions_lo.xls, made by formula/data/make_reference.py): we read it,
// calculate it and show what LibreOffice shows; saved by us, LibreOffice reads it back with
// the same formula texts and results (run when soffice is installed).
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "control/model/workbook.h"
#include "corpus_support.h"

namespace {

namespace fs = std::filesystem;
const fs::path kData = DT_FORMULA_DATA;
constexpr int kFormulaCol = 6;  // the formulas sit in column F

std::vector<std::vector<std::string>> ReadTsv(const fs::path& p, bool skipComments = true) {
  std::vector<std::vector<std::string>> rows;
  std::ifstream in(p);
  for (std::string line; std::getline(in, line);) {
    if (skipComments && !line.empty() && line[0] == '#') continue;
    std::vector<std::string> f;
    std::istringstream ls(line);
    for (std::string x; std::getline(ls, x, '\t');) f.push_back(x);
    if (line.empty() || line.back() == '\t') f.emplace_back();
    rows.push_back(f);
  }
  return rows;
}

std::vector<std::string> Formulas() {
  std::vector<std::string> out;
  std::ifstream in(kData / "formulas.txt");
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '#') out.push_back(line);
  return out;
}

// Is `got` (a value LibreOffice shows as text) the same as `want`: numbers within 1e-9
// relative, everything else exactly.
bool SameShown(const std::string& got, const std::string& want) {
  char *e1 = nullptr, *e2 = nullptr;
  double a = std::strtod(got.c_str(), &e1), b = std::strtod(want.c_str(), &e2);
  if (!got.empty() && !want.empty() && *e1 == '\0' && *e2 == '\0')
    return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b));
  return got == want;
}

// Our value as LibreOffice's text export shows it: logicals as 1 and 0.
std::string AsShown(const engine::Value& v) {
  if (v.IsNumber()) {
    std::ostringstream o;
    o.precision(15);
    o << v.number;
    return o.str();
  }
  if (v.IsLogical()) return v.logical ? "1" : "0";
  if (v.IsError()) return std::string(engine::ErrorText(v.error));
  return v.text;
}

// The value expected from us in row i: what LibreOffice shows, unless overrides.tsv says the
// spreadsheet convention differs there (when LibreOffice wrote the formula as listed, its
// logical arguments as 1 and 0).
std::vector<std::string> Expected(const std::vector<std::vector<std::string>>& loRead) {
  auto forms = Formulas();
  auto reference = ReadTsv(kData / "functions_reference.tsv");
  std::map<std::string, std::string> overrides;
  for (auto& r : ReadTsv(kData / "overrides.tsv"))
    if (r.size() >= 2) overrides[r[0]] = r[1];
  std::vector<std::string> out;
  for (std::size_t i = 0; i < loRead.size(); ++i) {
    std::string want = loRead[i].size() > 1 ? loRead[i][1] : "";
    std::string listed = i < forms.size() ? forms[i] : "";
    for (auto [from, to] : {std::pair{",TRUE)", ",1)"}, std::pair{",FALSE)", ",0)"}})
      for (std::size_t p; (p = listed.find(from)) != std::string::npos;)
        listed.replace(p, std::strlen(from), to);
    if (i < forms.size() && overrides.count(forms[i]) && "=" + listed == loRead[i][0])
      want = overrides[forms[i]];
    out.push_back(want);
  }
  return out;
}

TEST(LibreOfficeWorkbook, ReadCalculatedAndShownAsLibreOfficeShowsIt) {
  auto loRead = ReadTsv(kData / "functions_lo_read.tsv");
  ASSERT_GT(loRead.size(), 100u);
  auto expected = Expected(loRead);
  engine::Control c;
  short type = 0;
  c.ReadFile((kData / "functions_lo.xls").string(), type);
  EXPECT_EQ(type, 11);
  c.Recalculate();
  int formulas = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    int row = static_cast<int>(i) + 1;
    SCOPED_TRACE(loRead[i][0]);
    engine::Value v = c.GetCellValue(row, kFormulaCol);
    EXPECT_TRUE(SameShown(AsShown(v), expected[i])) << AsShown(v) << " vs " << expected[i];
    if (!c.GetCellFormula(row, kFormulaCol).empty()) ++formulas;
    // Short numbers and texts are shown as they are.
    if (v.IsNumber() && expected[i].size() <= 10 && expected[i].find('E') == std::string::npos &&
        SameShown(AsShown(v), expected[i])) {
      EXPECT_EQ(c.GetCellFormattedText(row, kFormulaCol), expected[i]);
    }
    if (v.IsText() || v.IsError()) {
      EXPECT_EQ(c.GetCellFormattedText(row, kFormulaCol), AsShown(v));
    }
  }
  EXPECT_EQ(formulas, static_cast<int>(expected.size()));
}

std::string Run(const std::string& cmd) {
  std::FILE* p = popen(cmd.c_str(), "r");
  std::string out;
  char buf[4096];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  pclose(p);
  return out;
}

// LibreOffice converts `xls` to tab-separated text, values or formulas; the rows of column F.
std::vector<std::string> LibreOfficeColumn(const fs::path& dir, const fs::path& xls,
                                           bool formulas) {
  fs::path out = dir / (formulas ? "formulas" : "values");
  fs::remove_all(out);
  std::string filter = std::string("csv:Text - txt - csv (StarCalc):9,0,76,1,,1033,false,true,") +
                       (formulas ? "false,true" : "false,false") + ",false,-1";
  Run("soffice -env:UserInstallation=file://" + (dir / "profile").string() +
      " --headless --convert-to '" + filter + "' --outdir '" + out.string() + "' '" + xls.string() +
      "' 2>&1");
  std::vector<std::string> column;
  if (!fs::exists(out) || fs::is_empty(out)) return column;
  for (auto& r : ReadTsv(fs::directory_iterator(out)->path(), false))
    column.push_back(r.size() >= kFormulaCol ? r[kFormulaCol - 1] : "");
  return column;
}

TEST(LibreOfficeWorkbook, SavedByUsLibreOfficeReadsTheSameFormulasAndResults) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "LibreOffice (soffice) is not installed";
  auto loRead = ReadTsv(kData / "functions_lo_read.tsv");
  fs::path dir = fs::temp_directory_path() / ("lo_formulas_" + std::to_string(getpid()));
  fs::create_directories(dir);
  engine::Control c;
  short type = 0;
  c.ReadFile((kData / "functions_lo.xls").string(), type);
  c.Recalculate();
  fs::path ours = dir / "ours.xls";
  c.WriteFile(ours.string(), 11);
  auto texts = LibreOfficeColumn(dir, ours, true);
  auto values = LibreOfficeColumn(dir, ours, false);
  ASSERT_GE(texts.size(), loRead.size());
  ASSERT_GE(values.size(), loRead.size());
  for (std::size_t i = 0; i < loRead.size(); ++i) {
    SCOPED_TRACE(loRead[i][0]);
    EXPECT_EQ(texts[i], loRead[i][0]);
    EXPECT_TRUE(SameShown(values[i], loRead[i][1])) << values[i] << " vs " << loRead[i][1];
  }
  fs::remove_all(dir);
}

}  // namespace

namespace {

// Our own round trip of what the LibreOffice sheet lacks: ranges of sheets over several sheets,
// union and intersection in both forms, and the newer functions in BIFF8.
TEST(FormulaFile, RangesOfSheetsUnionsAndNewerFunctionsSurviveBothForms) {
  engine::Control c;
  c.SetNumSheets(3);
  c.SetSheetName(2, "Mid Sheet");
  for (int s = 1; s <= 3; ++s) {
    c.SetActiveSheet(s);
    for (int r = 1; r <= 3; ++r) c.SetCellText(r, 1, std::to_string(s * 10 + r));
  }
  c.SetActiveSheet(1);
  const std::vector<std::string> formulas = {
      "SUM(Sheet1:Sheet3!A1:A3)",   "SUM('Mid Sheet:Sheet3'!A2)", "SUM((A1:A2,A3))",
      "SUM(A1:A3 A2:B3)",           "COUNTIFS(A1:A3,\">11\")",    "IFERROR(1/0,\"none\")",
      "SUMIFS(A1:A3,A1:A3,\"<13\")"};
  for (std::size_t i = 0; i < formulas.size(); ++i)
    c.SetCellText(static_cast<int>(i) + 1, 3, "=" + formulas[i]);
  std::vector<engine::Value> values;
  for (std::size_t i = 0; i < formulas.size(); ++i)
    values.push_back(c.GetCellValue(static_cast<int>(i) + 1, 3));
  EXPECT_EQ(values[0].number, 11 + 12 + 13 + 21 + 22 + 23 + 31 + 32 + 33);
  EXPECT_EQ(values[1].number, 22 + 32);
  fs::path dir = fs::temp_directory_path() / ("formula_file_" + std::to_string(getpid()));
  fs::create_directories(dir);
  for (short form : {short(11), short(4)}) {
    SCOPED_TRACE(form);
    fs::path path = dir / "f.xls";
    c.WriteFile(path.string(), form);
    engine::Control r;
    short type = 0;
    r.ReadFile(path.string(), type);
    for (std::size_t i = 0; i < formulas.size(); ++i) {
      int row = static_cast<int>(i) + 1;
      bool newer = formulas[i].find("IFS") != std::string::npos ||
                   formulas[i].find("IFERROR") != std::string::npos;
      // The older form has no names for the newer functions: those cells keep their values.
      EXPECT_EQ(r.GetCellFormula(row, 3), form == 4 && newer ? "" : formulas[i]);
      EXPECT_EQ(AsShown(r.GetCellValue(row, 3)), AsShown(values[i]));
    }
    // The newer functions' hidden names are not names of the table.
    EXPECT_TRUE(r.Book().Names().empty());
  }
  fs::remove_all(dir);
}

}  // namespace
