// Named cell styles: applying one to cells, and the styles with every cell's style kept
// through inserted and deleted rows and columns and through saves in each file form, as we
// and independent readers (xlrd, openpyxl) read them back; damaged style records refused.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "control/io/byte_io.h"
#include "biff_stream_support.h"
#include "control/xls/xls_file.h"
#include "corpus_support.h"
#include "support/shell.h"

namespace {

namespace fs = std::filesystem;
using namespace engine;
using namespace engine::xls;

// A format in words, independent of the workbook's table numbering.
std::string Describe(const Workbook& book, const Style& s) {
  const Font& f = book.Styles().GetFont(s.font);
  std::ostringstream o;
  o << "[" << book.Formats().Code(s.numberFormat) << "] " << f.name << " " << f.heightTwips
    << (f.bold ? " b" : "") << (f.italic ? " i" : "") << " c" << f.color << " p" << int(s.pattern)
    << "/" << s.patternFore << " l" << int(s.left.line) << int(s.bottom.line) << " a"
    << int(s.hAlign) << int(s.vAlign) << s.wrap << " k" << s.locked << s.hidden;
  return o.str();
}

// The named styles as "name|builtin|level|parts|format" lines. A file form that cannot hold a
// built-in number keeps the style by its name.
std::vector<std::string> StyleLines(const Workbook& book, int maxBuiltin) {
  std::vector<std::string> out;
  for (const NamedStyle& n : book.Styles().NamedStyles()) {
    int id = n.builtinId <= maxBuiltin ? n.builtinId : NamedStyle::kUser;
    out.push_back(NamedStyleName(n) + "|" + std::to_string(id) + "|" + std::to_string(n.level) +
                  "|" + std::to_string(n.parts) + "|" + Describe(book, n.format));
  }
  std::sort(out.begin(), out.end());
  return out;
}

// Every cell of the active sheet's block as "r,c name format".
std::vector<std::string> CellLines(Control& c, int rows, int cols) {
  std::vector<std::string> out;
  const Workbook& book = c.Book();
  for (int r = 1; r <= rows; ++r)
    for (int col = 1; col <= cols; ++col) {
      const Style& s = book.Styles().Get(book.Active().EffectiveStyle(r, col));
      out.push_back(std::to_string(r) + "," + std::to_string(col) + " " +
                    NamedStyleName(book.Styles().GetNamed(s.parent)) + " " + Describe(book, s));
    }
  return out;
}

NamedStyle Named(int builtinId, const std::string& name, std::uint8_t parts = kAllParts) {
  NamedStyle n;
  n.builtinId = builtinId;
  n.name = name;
  n.parts = parts;
  return n;
}

// A book with user and built-in styles on its cells, moved about by inserts and deletes.
void MakeStyledBook(Control& c) {
  StyleTable& styles = c.Book().Styles();
  NamedStyle input = Named(NamedStyle::kUser, "Input");
  input.format.pattern = 1;
  input.format.patternFore = 0x99CCFF;
  input.format.numberFormat = c.Book().Formats().Intern("0.000");
  styles.AddNamed(input);
  NamedStyle data = Named(NamedStyle::kUser, "Test data", kPartFont | kPartAlign);
  Font bold;
  bold.bold = true;
  bold.color = 0x0000FF;
  data.format.font = styles.InternFont(bold);
  data.format.hAlign = HAlign::Center;
  styles.AddNamed(data);
  NamedStyle comma = Named(3, "");
  comma.format.numberFormat = c.Book().Formats().Intern("#,##0.00");
  comma.parts = kPartNumber;
  styles.AddNamed(comma);
  NamedStyle heading = Named(16, "", kPartFont | kPartBorder);
  heading.format.bottom.line = 5;
  heading.format.font = styles.InternFont(bold);
  styles.AddNamed(heading);
  NamedStyle outline = Named(1, "");
  outline.level = 1;
  outline.format.wrap = true;
  styles.AddNamed(outline);

  for (int r = 1; r <= 6; ++r)
    for (int col = 1; col <= 5; ++col) c.SetCellText(r, col, std::to_string(r * 10 + col));
  c.SetSelection(2, 2, 2, 2);
  c.SetNumberFormat("0%");
  c.ApplyCellStyle(1, 1, 1, 5, "Heading 1");
  c.ApplyCellStyle(2, 1, 3, 2, "Test data");  // 2,2 keeps its percent format
  c.ApplyCellStyle(4, 3, 5, 4, "input");      // names match in any case
  c.ApplyCellStyle(6, 1, 6, 1, "Comma");
  c.ApplyCellStyle(6, 5, 6, 5, "RowLevel_2");
  c.InsertRange(2, -1, 2, -1, kShiftRows);
  c.InsertRange(-1, 2, -1, 2, kShiftColumns);
  c.DeleteRange(5, -1, 5, -1, kShiftRows);
  c.DeleteRange(-1, 5, -1, 5, kShiftColumns);
}

fs::path TempDir(const std::string& what) {
  fs::path dir = fs::temp_directory_path() / (what + "_" + std::to_string(getpid()));
  fs::create_directories(dir);
  return dir;
}


std::string RunPython(const fs::path& dir, const char* script, const std::string& args) {
  fs::path py = dir / "script.py";
  {
    std::FILE* f = std::fopen(py.c_str(), "w");
    std::fputs(script, f);
    std::fclose(f);
  }
  int status = 0;
  std::string out = Shell("/usr/bin/python3 " + py.string() + " " + args + " 2>&1", status);
  EXPECT_EQ(status, 0) << out;
  return out;
}

TEST(NamedStyles, ABookWithoutStylesHasNormalAloneAndKeepsItThroughASave) {
  Control c;
  c.SetCellText(1, 1, "x");
  ASSERT_EQ(c.GetCellStyles().size(), 1u);
  EXPECT_EQ(c.GetCellStyles()[0].name, "Normal");
  EXPECT_EQ(c.GetCellStyleName(), "Normal");
  fs::path dir = TempDir("styles_plain");
  for (short form : {short(11), short(4), short(51)}) {
    std::string path =
        (dir / ("plain" + std::to_string(form) + (form == 51 ? ".xlsx" : ".xls"))).string();
    c.WriteFile(path, form);
    Control back;
    short type = 0;
    back.ReadFile(path, type);
    ASSERT_EQ(back.GetCellStyles().size(), 1u) << form;
    EXPECT_EQ(back.Book().Styles().Count(), c.Book().Styles().Count()) << form;
  }
  fs::remove_all(dir);
}

TEST(NamedStyles, ApplyingAStyleSetsItsPartsAndTheCellsStyleAndBadNamesChangeNothing) {
  Control c;
  MakeStyledBook(c);
  const Workbook& book = c.Book();
  auto styleAt = [&](int r, int col) {
    return book.Styles().Get(book.Active().EffectiveStyle(r, col));
  };
  auto nameAt = [&](int r, int col) {
    c.SetSelection(r, col, r, col);
    return c.GetCellStyleName();
  };
  // After the inserts and deletes: row 1 headings, rows 3-4 "Test data" in columns 1 and 3.
  EXPECT_EQ(nameAt(1, 1), "Heading 1");
  EXPECT_EQ(nameAt(2, 1), "Normal");  // the inserted row
  EXPECT_EQ(nameAt(3, 1), "Test data");
  EXPECT_EQ(nameAt(3, 3), "Test data");
  EXPECT_EQ(nameAt(3, 2), "Normal");                                 // the inserted column
  EXPECT_EQ(book.Formats().Code(styleAt(3, 3).numberFormat), "0%");  // not a part the style sets
  EXPECT_EQ(styleAt(3, 3).hAlign, HAlign::Center);
  EXPECT_TRUE(book.Styles().GetFont(styleAt(3, 3).font).bold);
  EXPECT_EQ(nameAt(5, 4), "Input");
  EXPECT_EQ(book.Formats().Code(styleAt(5, 4).numberFormat), "0.000");
  EXPECT_EQ(styleAt(5, 4).pattern, 1);
  EXPECT_EQ(nameAt(6, 1), "Comma");
  EXPECT_EQ(nameAt(6, 5), "RowLevel_2");
  // One index per format and style: equal cells share it; the same format under another
  // style does not.
  EXPECT_EQ(book.Active().EffectiveStyle(1, 1), book.Active().EffectiveStyle(1, 4));
  c.SetSelection(8, 1, 8, 1);
  c.AddCellStyle("Plain copy");
  c.ApplyCellStyle(8, 1, 8, 1, "Plain copy");
  EXPECT_EQ(styleAt(8, 1).parent, book.Styles().FindNamed("Plain copy"));
  EXPECT_NE(book.Active().EffectiveStyle(8, 1), book.Active().EffectiveStyle(8, 2));

  std::vector<std::string> before = CellLines(c, 8, 6);
  std::size_t styles = book.Styles().NamedStyles().size();
  EXPECT_THROW(c.ApplyCellStyle(1, 1, 2, 2, "No such style"), EngineError);
  EXPECT_THROW(c.AddCellStyle("Comma"), EngineError);      // a built-in name
  EXPECT_THROW(c.AddCellStyle("TEST DATA"), EngineError);  // in use, in any case
  EXPECT_THROW(c.AddCellStyle(""), EngineError);
  EXPECT_THROW(c.RenameCellStyle("Heading 1", "Top"), EngineError);  // built-in
  EXPECT_THROW(c.RenameCellStyle("Input", "Heading 2"), EngineError);
  EXPECT_THROW(c.RenameCellStyle("Input", "Test data"), EngineError);
  EXPECT_EQ(CellLines(c, 8, 6), before);
  EXPECT_EQ(book.Styles().NamedStyles().size(), styles);
  c.RenameCellStyle("Input", "Entry");
  EXPECT_EQ(nameAt(5, 4), "Entry");
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(NamedStyles, StylesAndEveryCellsStyleSurviveSavesInEachForm) {
  Control c;
  MakeStyledBook(c);
  fs::path dir = TempDir("styles_forms");
  for (short form : {short(11), short(4), short(51)}) {
    SCOPED_TRACE("form " + std::to_string(form));
    std::string path =
        (dir / ("styled" + std::to_string(form) + (form == 51 ? ".xlsx" : ".xls"))).string();
    c.WriteFile(path, form);
    Control back;
    short type = 0;
    back.ReadFile(path, type);
    int maxBuiltin = form == 51 ? 255 : form == 11 ? 9 : 7;
    EXPECT_EQ(StyleLines(back.Book(), maxBuiltin), StyleLines(c.Book(), maxBuiltin));
    EXPECT_EQ(CellLines(back, 7, 6), CellLines(c, 7, 6));
    // A second trip changes nothing more.
    std::string again = path + "." + (form == 51 ? "2.xlsx" : "2.xls");
    back.WriteFile(again, form);
    Control third;
    third.ReadFile(again, type);
    EXPECT_EQ(StyleLines(third.Book(), 255), StyleLines(back.Book(), 255));
    EXPECT_EQ(third.Book().Styles().Count(), back.Book().Styles().Count());
    // What was read numbers its formats and styles as the table did: the same file again.
    if (form != 51) {
      EXPECT_TRUE(Contents(path) == Contents(again));
    }
  }
  fs::remove_all(dir);
}

// Style names, then each cell's style name, as xlrd sees them.
const char* kXlrdStyles = R"(
import sys, xlrd
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
by_xf = {}
for name, (builtin, xf) in b.style_name_map.items():
    by_xf.setdefault(xf, name)
    print("N\t" + name)
s = b.sheet_by_index(0)
for r in range(int(sys.argv[2])):
    for c in range(int(sys.argv[3])):
        try:
            x = s.cell_xf_index(r, c)
        except IndexError:
            x = -1  # beyond the cells written: the default format
        name = by_xf.get(b.xf_list[x].parent_style_index, "?") if x >= 0 else "Normal"
        print("C\t%d,%d\t%s" % (r + 1, c + 1, name))
)";

const char* kOpenpyxlStyles = R"(
import sys, openpyxl
b = openpyxl.load_workbook(sys.argv[1])
for n in b.named_styles:
    print("N\t" + getattr(n, "name", n))
s = b.worksheets[0]
for r in range(int(sys.argv[2])):
    for c in range(int(sys.argv[3])):
        print("C\t%d,%d\t%s" % (r + 1, c + 1, s.cell(r + 1, c + 1).style))
)";

// What a reader should print: the style names (sorted), then each cell's style name.
std::vector<std::string> Expected(Control& c, int rows, int cols) {
  std::vector<std::string> out;
  for (const CellStyleInfo& s : c.GetCellStyles()) out.push_back("N\t" + s.name);
  std::sort(out.begin(), out.end());
  const Workbook& book = c.Book();
  for (int r = 1; r <= rows; ++r)
    for (int col = 1; col <= cols; ++col) {
      const Style& s = book.Styles().Get(book.Active().EffectiveStyle(r, col));
      out.push_back("C\t" + std::to_string(r) + "," + std::to_string(col) + "\t" +
                    NamedStyleName(book.Styles().GetNamed(s.parent)));
    }
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> names, cells;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    (line.rfind("N\t", 0) == 0 ? names : cells).push_back(line);
  std::sort(names.begin(), names.end());
  names.insert(names.end(), cells.begin(), cells.end());
  return names;
}

TEST(NamedStyles, IndependentReadersSeeTheStylesAndEachCellsStyle) {
  ASSERT_EQ(std::system("/usr/bin/python3 -c 'import xlrd, openpyxl' 2>/dev/null"), 0)
      << "python3-xlrd or python3-openpyxl is missing (scripts/install-deps.sh installs them)";
  Control c;
  MakeStyledBook(c);
  fs::path dir = TempDir("styles_readers");
  std::string xls = (dir / "styled.xls").string(), xlsx = (dir / "styled.xlsx").string();
  c.WriteFile(xls, 11);
  c.WriteFile(xlsx, 51);
  EXPECT_EQ(Lines(RunPython(dir, kXlrdStyles, xls + " 7 6")), Expected(c, 7, 6));
  EXPECT_EQ(Lines(RunPython(dir, kOpenpyxlStyles, xlsx + " 7 6")), Expected(c, 7, 6));
  fs::remove_all(dir);
}

// A workbook another program made: a user style and built-in ones on cells.
const char* kMakeWithOpenpyxl = R"(
import sys
from openpyxl import Workbook
from openpyxl.styles import NamedStyle, Font
b = Workbook()
s = b.active
data = NamedStyle(name="Test data")
data.font = Font(bold=True, color="FF0000")
data.number_format = "0.0"
b.add_named_style(data)
for r in range(1, 4):
    for c in range(1, 4):
        s.cell(r, c, r * c)
s["A1"].style = "Headline 1"  # openpyxl's name of built-in style 16
s["B2"].style = "Test data"
s["C3"].style = "Input"
s["C2"].style = "Percent"
b.save(sys.argv[1])
)";

TEST(NamedStyles, AnotherProgramsStylesComeThroughOurXlsAndXlsxCopies) {
  ASSERT_EQ(std::system("/usr/bin/python3 -c 'import xlrd, openpyxl' 2>/dev/null"), 0);
  fs::path dir = TempDir("styles_openpyxl");
  std::string made = (dir / "made.xlsx").string();
  RunPython(dir, kMakeWithOpenpyxl, made);
  Control c;
  short type = 0;
  c.ReadFile(made, type);
  const Workbook& book = c.Book();
  auto nameAt = [&](int r, int col) {
    return NamedStyleName(
        book.Styles().GetNamed(book.Styles().Get(book.Active().EffectiveStyle(r, col)).parent));
  };
  EXPECT_EQ(nameAt(1, 1), "Heading 1");
  EXPECT_EQ(nameAt(2, 2), "Test data");
  EXPECT_EQ(nameAt(3, 3), "Input");
  EXPECT_EQ(nameAt(2, 3), "Percent");
  EXPECT_EQ(nameAt(1, 2), "Normal");
  EXPECT_EQ(c.GetCellFormattedText(2, 2), "4.0");
  int heading = book.Styles().FindNamed("Heading 1");
  ASSERT_GE(heading, 0);
  EXPECT_EQ(book.Styles().GetNamed(static_cast<std::uint16_t>(heading)).builtinId, 16);
  std::string xls = (dir / "copy.xls").string(), xlsx = (dir / "copy.xlsx").string();
  c.WriteFile(xls, 11);
  c.WriteFile(xlsx, 51);
  EXPECT_EQ(Lines(RunPython(dir, kXlrdStyles, xls + " 3 3")), Expected(c, 3, 3));
  EXPECT_EQ(Lines(RunPython(dir, kOpenpyxlStyles, xlsx + " 3 3")), Expected(c, 3, 3));
  fs::remove_all(dir);
}

// A BIFF8 workbook stream: XFs with the given flags words (font 0, General), STYLE records,
// one sheet with a number in A1 of XF `cellXf`.
Bytes Stream(const std::vector<unsigned>& xfFlags, const std::vector<Bytes>& styles,
             unsigned cellXf) {
  std::vector<Bytes> globals;
  for (unsigned flags : xfFlags) {
    Bytes b(20, 0);
    Set16(b, 4, flags);
    globals.push_back(biff_stream::Record(0x00E0, b));
  }
  for (const Bytes& s : styles) globals.push_back(biff_stream::Record(0x0293, s));
  return biff_stream::Stream(globals, cellXf);
}

using biff_stream::BuiltinStyle;
using biff_stream::UserStyle;

TEST(NamedStyles, DamagedStyleRecordsAndParentsFailTheReadClearly) {
  static LocaleSettings locale;
  short type = 0;
  const unsigned styleXf = 0xFFF4, cellUnder1 = 0x0010;  // a cell XF under style XF 1
  // Sound: Normal and a user style, a cell under the user style.
  auto book = xls::ReadBiffStream(
      Stream({styleXf, styleXf, cellUnder1}, {BuiltinStyle(0, 0, 0xFF), UserStyle(1, "Input")}, 2),
      &locale, type);
  ASSERT_EQ(book->Styles().NamedStyles().size(), 2u);
  const Style& cell = book->Styles().Get(book->GetSheet(1).EffectiveStyle(1, 1));
  EXPECT_EQ(NamedStyleName(book->Styles().GetNamed(cell.parent)), "Input");

  auto refused = [&](const Bytes& stream, const std::string& why) {
    try {
      xls::ReadBiffStream(stream, &locale, type);
      ADD_FAILURE() << "read: " << why;
    } catch (const EngineError& e) {
      EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
    }
  };
  refused(Stream({styleXf}, {Bytes{0x00}}, 0), "shorter");
  refused(Stream({styleXf}, {Bytes{0, 0, 9, 0, 0, 'a'}}, 0), "cut off");  // a name cut off
  refused(Stream({styleXf}, {BuiltinStyle(0, 1, 7)}, 0), "level");
  refused(Stream({styleXf}, {UserStyle(5, "Gone")}, 0), "does not exist");
  refused(Stream({styleXf, 0x0030}, {}, 1), "does not exist");  // a cell XF under XF 3
}

TEST(NamedStyles, TheInteropWorkbooksKeepTheirStylesThroughOurSaves) {
  fs::path dir = TempDir("styles_interop");
  std::vector<fs::path> files = corpus::Files("interop-xlsx", ".xlsx");
  for (const fs::path& f : corpus::Files("interop", ".xls")) files.push_back(f);
  ASSERT_GE(files.size(), 20u);
  for (const fs::path& file : files) {
    Control first;
    short type = 0;
    first.ReadFile(file.string(), type);
    EXPECT_GE(first.GetCellStyles().size(), 1u);
    for (short form : {short(11), short(51)}) {
      SCOPED_TRACE(file.filename().string() + " form " + std::to_string(form));
      fs::path copy = dir / (file.stem().string() + (form == 51 ? ".xlsx" : ".xls"));
      first.WriteFile(copy.string(), form);
      Control back;
      back.ReadFile(copy.string(), type);
      EXPECT_EQ(Expected(back, first.GetLastRow(), first.GetLastCol()),
                Expected(first, first.GetLastRow(), first.GetLastCol()));
    }
  }
  fs::remove_all(dir);
}

// Copies a package (argv[1] to argv[2]) with a style reference in its styles part broken:
// argv[3] "cell" a cell format's style, "style" a named style's format.
const char* kBreakStyles = R"(
import sys, zipfile
src, dst, what = sys.argv[1:4]
with zipfile.ZipFile(src) as zin, zipfile.ZipFile(dst, "w") as zout:
    for item in zin.infolist():
        data = zin.read(item.filename)
        if item.filename == "xl/styles.xml":
            t = data.decode()
            if what == "cell":
                t = t.replace('xfId="0"', 'xfId="77"', 1)  # cellStyleXfs carry no xfId
            else:
                t = t.replace('<cellStyle name="Normal" xfId="0"', '<cellStyle name="Normal" xfId="77"')
            data = t.encode()
        zout.writestr(item, data)
)";

TEST(NamedStyles, AnXlsxStyleReferenceOutOfRangeFailsTheReadAndKeepsTheTable) {
  ASSERT_EQ(std::system("/usr/bin/python3 -c 'import zipfile' 2>/dev/null"), 0);
  fs::path dir = TempDir("styles_broken");
  Control c;
  MakeStyledBook(c);
  std::string good = (dir / "good.xlsx").string();
  c.WriteFile(good, 51);
  std::vector<std::string> before = CellLines(c, 7, 6);
  for (const char* what : {"cell", "style"}) {
    SCOPED_TRACE(what);
    std::string bad = (dir / (std::string(what) + ".xlsx")).string();
    RunPython(dir, kBreakStyles, good + " " + bad + " " + what);
    short type = 0;
    try {
      c.ReadFile(bad, type);
      ADD_FAILURE() << "read";
    } catch (const EngineError& e) {
      EXPECT_NE(std::string(e.what()).find("does not exist"), std::string::npos) << e.what();
    }
    EXPECT_EQ(CellLines(c, 7, 6), before);
  }
  fs::remove_all(dir);
}

}  // namespace
