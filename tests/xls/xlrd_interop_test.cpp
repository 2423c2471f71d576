// Independent readers (Debian's python3-xlrd for .xls, python3-openpyxl for .xlsx) read the
// workbooks we write to the same sheets and values.
#include <unistd.h>

#include <cstdio>
#include <sstream>

#include "corpus_support.h"

namespace {

namespace fs = std::filesystem;

const char* kScript = R"(
import sys, xlrd
b = xlrd.open_workbook(sys.argv[1])
for si, s in enumerate(b.sheets()):
    print("S\t%d\t%s" % (si + 1, s.name.encode("utf-8").hex()))
    for r in range(s.nrows):
        for c in range(s.ncols):
            cell = s.cell(r, c)
            t = cell.ctype
            if t in (0, 6): continue
            if t == 1: v = cell.value.encode("utf-8").hex()
            elif t in (2, 3): v = repr(float(cell.value))
            else: v = str(int(cell.value))
            print("C\t%d\t%d\t%d\t%d\t%s" % (si + 1, r + 1, c + 1, t, v))
)";

const char* kOpenpyxlScript = R"(
import sys, datetime, openpyxl
from openpyxl.utils.datetime import to_excel
b = openpyxl.load_workbook(sys.argv[1], data_only=True)  # formulas as their cached results
for si, s in enumerate(b.worksheets):
    print("S\t%d\t%s" % (si + 1, s.title.encode("utf-8").hex()))
    for row in s.iter_rows():
        for cell in row:
            v = cell.value
            if v is None or v == "": continue
            if isinstance(v, bool): t, v = 4, str(int(v))
            elif isinstance(v, (int, float)): t, v = 2, repr(float(v))
            elif isinstance(v, (datetime.datetime, datetime.date, datetime.time)): t, v = 3, repr(float(to_excel(v)))
            elif cell.data_type == "e": t, v = 5, str({"#NULL!": 0, "#DIV/0!": 7, "#VALUE!": 15, "#REF!": 23, "#NAME?": 29, "#NUM!": 36, "#N/A": 42}[v])
            else: t, v = 1, v.encode("utf-8").hex()
            print("C\t%d\t%d\t%d\t%d\t%s" % (si + 1, cell.row, cell.column, t, v))
)";

std::string Hex(const std::string& s) {
  static const char* d = "0123456789abcdef";
  std::string out;
  for (unsigned char c : s) {
    out.push_back(d[c >> 4]);
    out.push_back(d[c & 15]);
  }
  return out;
}

// What xlrd should print for our table.
std::vector<std::string> OurLines(engine::Control& c) {
  std::vector<std::string> lines;
  for (int s = 1; s <= c.GetNumSheets(); ++s) {
    c.SetActiveSheet(s);
    lines.push_back("S\t" + std::to_string(s) + "\t" + Hex(c.GetSheetName(s)));
    for (int r = 1; r <= c.GetLastRow(); ++r)
      for (int col = 1; col <= c.GetLastCol(); ++col) {
        engine::Value v = c.GetCellValue(r, col);
        std::string prefix = "C\t" + std::to_string(s) + "\t" + std::to_string(r) + "\t" +
                             std::to_string(col) + "\t";
        if (v.IsText()) {
          if (!v.text.empty()) lines.push_back(prefix + "1\t" + Hex(v.text));
        } else if (v.IsNumber()) {
          lines.push_back(prefix + "N\t" + std::to_string(v.number));
        } else if (v.IsLogical()) {
          lines.push_back(prefix + "4\t" + (v.logical ? "1" : "0"));
        } else if (v.IsError()) {
          lines.push_back(prefix + "5\t" + std::to_string(static_cast<int>(v.error)));
        }
      }
  }
  return lines;
}

// A reader's lines, with numbers (and dates) normalised the way OurLines prints them.
std::vector<std::string> ReaderLines(const char* scriptText, const std::string& path,
                                     std::string& error) {
  fs::path script = fs::temp_directory_path() / ("xlrd_dump_" + std::to_string(getpid()) + ".py");
  {
    std::FILE* f = std::fopen(script.c_str(), "w");
    std::fputs(scriptText, f);
    std::fclose(f);
  }
  std::string cmd = "/usr/bin/python3 " + script.string() + " '" + path + "' 2>&1";
  std::FILE* p = popen(cmd.c_str(), "r");
  std::string out;
  char buf[4096];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  int status = pclose(p);
  fs::remove(script);
  if (status != 0) error = out;
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> f;
    std::istringstream ls(line);
    for (std::string x; std::getline(ls, x, '\t');) f.push_back(x);
    if (f.size() == 6 && (f[4] == "2" || f[4] == "3")) {
      f[4] = "N";
      f[5] = std::to_string(std::stod(f[5]));
    }
    std::string joined;
    for (std::size_t i = 0; i < f.size(); ++i) joined += (i ? "\t" : "") + f[i];
    lines.push_back(joined);
  }
  return lines;
}

TEST(XlrdInterop, AnIndependentReaderSeesOurSheetsAndValues) {
  ASSERT_EQ(std::system("/usr/bin/python3 -c 'import xlrd' 2>/dev/null"), 0)
      << "python3-xlrd is missing (scripts/install-deps.sh installs it)";
  fs::path dir = fs::temp_directory_path() / ("xlrd_interop_" + std::to_string(getpid()));
  fs::create_directories(dir);
  auto files = corpus::Files("interop", ".xls");
  ASSERT_FALSE(files.empty());
  for (const auto& file : files) {
    if (file.string().find("gnumeric95") != std::string::npos) continue;  // same content
    engine::Control c;
    short type = 0;
    c.ReadFile(file.string(), type);
    for (short form : {short(11), short(4)}) {
      SCOPED_TRACE(file.filename().string() + (form == 11 ? " as BIFF8" : " as BIFF5"));
      fs::path out = dir / (file.stem().string() + std::to_string(form) + ".xls");
      c.WriteFile(out.string(), form);
      engine::Control mine;
      mine.ReadFile(out.string(), type);  // BIFF5 text is what the code page holds
      std::string error;
      auto theirs = ReaderLines(kScript, out.string(), error);
      ASSERT_TRUE(error.empty()) << error;
      auto ours = OurLines(mine);
      EXPECT_EQ(theirs, ours);
    }
  }
  fs::remove_all(dir);
}

TEST(OpenpyxlInterop, AnIndependentReaderSeesOurXlsxSheetsAndValues) {
  ASSERT_EQ(std::system("/usr/bin/python3 -c 'import openpyxl' 2>/dev/null"), 0)
      << "python3-openpyxl is missing (scripts/install-deps.sh installs it)";
  fs::path dir = fs::temp_directory_path() / ("openpyxl_interop_" + std::to_string(getpid()));
  fs::create_directories(dir);
  auto files = corpus::Files("interop", ".xls");
  ASSERT_FALSE(files.empty());
  for (const auto& file : files) {
    if (file.string().find("libreoffice97") == std::string::npos) continue;  // same content
    SCOPED_TRACE(file.filename().string());
    engine::Control c;
    short type = 0;
    c.ReadFile(file.string(), type);
    fs::path out = dir / (file.stem().string() + ".xlsx");
    c.WriteFile(out.string(), 51);
    std::string error;
    auto theirs = ReaderLines(kOpenpyxlScript, out.string(), error);
    ASSERT_TRUE(error.empty()) << error;
    EXPECT_EQ(theirs, OurLines(c));
  }
  fs::remove_all(dir);
}

}  // namespace
