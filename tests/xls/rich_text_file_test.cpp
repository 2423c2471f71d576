// Formatting runs of text cells in files: a workbook written by another program (xlwt) reads
// with its runs, keeps them through row and column inserts, and writes them to both forms,
// where we and independent readers (xlrd for .xls; the shared strings part itself, read with
// Python's XML parser, and openpyxl for .xlsx) find the same runs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "control/control.h"
#include "support/rich_text_cells.h"

namespace {

namespace fs = std::filesystem;
using engine::Control;
using rich_cells::Runs;

const char* kXlwtScript = R"py(
import sys, xlwt
wb = xlwt.Workbook(encoding="utf-8")
ws = wb.add_sheet("Rich")
bold = xlwt.Font(); bold.bold = True
red = xlwt.Font(); red.italic = True; red.colour_index = 2; red.height = 280; red.name = "Courier New"
under = xlwt.Font(); under.underline = True
ws.write_rich_text(0, 0, ["Plain ", ("Bold", bold), " and ", ("red italic", red)])
ws.write_rich_text(1, 1, [("\u65e5\u672c", under), " text"])
ws.write(2, 0, "Plain Bold and red italic")
# Enough rich strings that the shared strings run over several records.
for i in range(400):
    ws.write_rich_text(4 + i, 2, ["item %d " % i, ("bold %d" % i, bold)])
wb.save(sys.argv[1])
)py";

// One line per run: row, column, position, bold, italic, underline, height, name, colour.
const char* kXlrdScript = R"py(
import sys, xlrd
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
s = b.sheet_by_index(0)
for (r, c), runs in sorted(s.rich_text_runlist_map.items()):
    for at, fi in runs:
        f = b.font_list[fi]
        col = b.colour_map.get(f.colour_index)
        col = "auto" if col is None else "%02X%02X%02X" % col
        print("%d %d %d %d %d %d %d %s %s" % (r + 1, c + 1, at, f.weight >= 700, f.italic,
              f.underline_type != 0, f.height, f.name, col))
)py";

const char* kXlsxScript = R"py(
import sys, re, warnings, zipfile, openpyxl, xml.etree.ElementTree as ET
warnings.simplefilter("ignore")  # openpyxl's notes on parts it does not model
m = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
z = zipfile.ZipFile(sys.argv[1])
items = ET.fromstring(z.read("xl/sharedStrings.xml")).findall(m + "si")
values = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
def place(ref):
    g = re.match(r"([A-Z]+)(\d+)", ref)
    col = 0
    for ch in g.group(1): col = col * 26 + ord(ch) - 64
    return int(g.group(2)), col
for c in ET.fromstring(z.read("xl/worksheets/sheet1.xml")).iter(m + "c"):
    if c.get("t") != "s": continue
    r, col = place(c.get("r"))
    at, text = 0, ""
    for run in items[int(c.find(m + "v").text)].findall(m + "r"):
        t = run.find(m + "t").text or ""
        p = run.find(m + "rPr")
        if p is not None:
            g = lambda n: p.find(m + n)
            color = g("color")
            rgb = color.get("rgb")[2:] if color is not None and color.get("rgb") else "auto"
            print("%d %d %d %d %d %d %d %s %s" % (r, col, at, g("b") is not None,
                  g("i") is not None, g("u") is not None, round(float(g("sz").get("val")) * 20),
                  g("rFont").get("val"), rgb))
        at += len(t.encode("utf-16-le")) // 2
        text += t
    # openpyxl joins the runs into the cell's value.
    if text and values.cell(r, col).value != text: print("value differs at", r, col)
)py";

std::string RunScript(const char* script, const std::string& arg, int& status) {
  fs::path file = fs::temp_directory_path() / ("rich_" + std::to_string(getpid()) + ".py");
  {
    std::FILE* f = std::fopen(file.c_str(), "w");
    std::fputs(script, f);
    std::fclose(f);
  }
  std::FILE* p = popen(("/usr/bin/python3 " + file.string() + " '" + arg + "' 2>&1").c_str(), "r");
  std::string out;
  char buf[4096];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  status = pclose(p);
  fs::remove(file);
  return out;
}

std::string Colour(std::uint32_t bgr) {
  if (bgr == engine::kAutoColor) return "auto";
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02X%02X%02X", bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
  return buf;
}

// The runs of the active sheet as the scripts print them.
std::string OurRuns(const Control& c) {
  std::ostringstream o;
  for (int r = 1; r <= c.GetLastRow(); ++r)
    for (int col = 1; col <= c.GetLastCol(); ++col)
      for (const auto& [at, f] : rich_cells::RunsAt(c, r, col))
        o << r << " " << col << " " << at << " " << f.bold << " " << f.italic << " " << f.underline
          << " " << f.heightTwips << " " << f.name << " " << Colour(f.color) << "\n";
  return o.str();
}

class RichTextFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("rich_text_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

TEST_F(RichTextFile, RunsOfAnotherProgramsWorkbookSurviveEditsAndBothForms) {
  int status = 0;
  std::string out = RunScript(kXlwtScript, Path("in.xls"), status);
  ASSERT_EQ(status, 0) << "python3-xlwt writes the input: " << out;
  Control c;
  short type = 0;
  c.ReadFile(Path("in.xls"), type);
  // "Plain " in the cell's font, then "Bold", " and ", "red italic".
  const Runs a1 = rich_cells::RunsAt(c, 1, 1);
  ASSERT_EQ(a1.size(), 3u);
  EXPECT_EQ(a1[0].first, 6u);
  EXPECT_TRUE(a1[0].second.bold);
  EXPECT_EQ(a1[1].second, c.Book().Styles().GetFont(0));
  EXPECT_EQ(a1[2].first, 15u);
  EXPECT_EQ(a1[2].second.name, "Courier New");
  EXPECT_EQ(a1[2].second.color, 0x0000FFu);
  EXPECT_TRUE(a1[2].second.italic);
  EXPECT_TRUE(rich_cells::RunsAt(c, 3, 1).empty());  // the same text, plain
  const Runs last = rich_cells::RunsAt(c, 403, 3);
  ASSERT_EQ(last.size(), 1u);
  EXPECT_EQ(last[0].first, 9u);  // "item 399 " then "bold 399"

  c.InsertRange(1, 1, 1, 1, engine::kShiftRows);
  c.InsertRange(1, 1, 1, 1, engine::kShiftColumns);
  EXPECT_EQ(rich_cells::RunsAt(c, 2, 2), a1);
  // A text with a character beyond the BMP: positions count its two code units.
  rich_cells::SetRich(c, 1, 1, "a\xF0\x9F\x98\x80" "b", {{3, rich_cells::Bold()}});
  const std::string expected = OurRuns(c);
  ASSERT_NE(expected.find("1 1 3 1 0 0 200 Arial auto"), std::string::npos) << expected;

  for (short form : {short(11), short(4), short(51)}) {
    SCOPED_TRACE(form == 11 ? "xls" : form == 4 ? "xls 5.0/95" : "xlsx");
    const std::string path = Path(form == 51 ? "out.xlsx" : "out" + std::to_string(form) + ".xls");
    c.WriteFile(path, form);
    Control back;
    back.ReadFile(path, type);
    const std::string theirs = RunScript(form == 51 ? kXlsxScript : kXlrdScript, path, status);
    EXPECT_EQ(status, 0) << theirs;
    EXPECT_EQ(theirs, OurRuns(back));
    if (form == 4) continue;  // the code page has no emoji: "a?b" has its run at byte 2
    EXPECT_EQ(OurRuns(back), expected);
    EXPECT_EQ(back.GetCellText(1, 1), "a\xF0\x9F\x98\x80" "b");
  }
}

}  // namespace
