// Excel 2007's built-in cell styles (Good, Heading 1, 20% - Accent1, …) through .xls saves as
// built-in styles with their exact colours; cell formats marking only the parts they set apart
// from their style; font records whose bold bit agrees with the weight; damaged style records
// refused. Read back by us and by xlrd.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "control/io/byte_io.h"
#include "control/xls/compound_file.h"
#include "control/xls/xls_file.h"
#include "biff_stream_support.h"
#include "corpus_support.h"
#include "support/scratch.h"
#include "support/shell.h"

namespace {

namespace fs = std::filesystem;
using namespace engine;
using namespace engine::xls;
using biff_stream::BuiltinStyle;
using biff_stream::Record;
using biff_stream::UserStyle;

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The global records of a written file's workbook stream, up to their EOF.
std::vector<std::pair<unsigned, Bytes>> GlobalRecords(const fs::path& file) {
  std::string bytes = Contents(file);
  CompoundFileReader cf(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  Bytes stream;
  EXPECT_TRUE(cf.ReadStream("Workbook", stream));
  std::vector<std::pair<unsigned, Bytes>> out;
  for (std::size_t p = 0; p + 4 <= stream.size();) {
    unsigned id = Get16(stream.data() + p), size = Get16(stream.data() + p + 2);
    out.emplace_back(id, Bytes(stream.begin() + static_cast<long>(p) + 4,
                               stream.begin() + static_cast<long>(p + 4 + size)));
    p += 4 + size;
    if (id == 0x000A) break;
  }
  return out;
}

std::string RunPython(const char* script, const std::string& args) {
  fs::path py = ScratchFile("style_ext", "script.py");
  std::ofstream(py) << script;
  int status = 0;
  std::string out = Shell("/usr/bin/python3 " + py.string() + " " + args + " 2>&1", status);
  EXPECT_EQ(status, 0) << out;
  return out;
}

// A named style in words: identity, flags, parts, and the format's colours and look.
std::string Describe(const Workbook& book, const NamedStyle& n) {
  const Style& s = n.format;
  const Font& f = book.Styles().GetFont(s.font);
  std::ostringstream o;
  o << NamedStyleName(n) << "|" << n.builtinId << "/" << n.level << (n.hidden ? " hidden" : "")
    << (n.customBuiltin ? " custom" : "") << " parts " << int(n.parts) << " ["
    << book.Formats().Code(s.numberFormat) << "] " << f.name << " " << f.heightTwips
    << (f.bold ? " b" : "") << std::hex << " c" << f.color << " p" << int(s.pattern) << "/"
    << s.patternFore << "/" << s.patternBack << " t" << int(s.top.line) << "/" << s.top.color
    << " b" << int(s.bottom.line) << "/" << s.bottom.color;
  return o.str();
}

std::vector<std::string> StyleLines(const Workbook& book) {
  std::vector<std::string> out;
  for (const NamedStyle& n : book.Styles().NamedStyles()) out.push_back(Describe(book, n));
  std::sort(out.begin(), out.end());
  return out;
}

const NamedStyle* Find(const Workbook& book, const std::string& name) {
  int i = book.Styles().FindNamed(name);
  return i < 0 ? nullptr : &book.Styles().GetNamed(static_cast<std::uint16_t>(i));
}

// xlrd's view: every style name with its built-in flag, and each cell's style by name.
const char* kXlrdStyles = R"(
import sys, xlrd
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
by_xf = {}
for name, (builtin, xf) in sorted(b.style_name_map.items()):
    by_xf.setdefault(xf, name)
    print("N\t%s\t%d" % (name, builtin))
s = b.sheet_by_index(0)
for r in range(min(s.nrows, 30)):
    for c in range(s.ncols):
        print("C\t%d,%d\t%s" % (r + 1, c + 1, by_xf.get(b.xf_list[s.cell_xf_index(r, c)].parent_style_index, "?")))
)";

TEST(StyleExtensions, ExcelsBuiltinStylesComeBackBuiltinWithTheirColoursThroughOurSave) {
  fs::path source = corpus::Dir("real-xls") / "poi-rank.xls";
  Control c;
  short type = 0;
  c.ReadFile(source.string(), type);
  const Workbook& book = c.Book();
  struct Expect {
    const char* name;
    int id;
  } builtins[] = {{"Normal", 0},         {"Comma", 3},         {"Good", 26},
                  {"Heading 1", 16},     {"20% - Accent1", 30}, {"60% - Accent6", 52},
                  {"Explanatory Text", 53}, {"Input", 20},     {"Note", 10}};
  for (const Expect& e : builtins) {
    const NamedStyle* n = Find(book, e.name);
    ASSERT_TRUE(n) << e.name;
    EXPECT_EQ(n->builtinId, e.id) << e.name;
  }
  // The exact colours the extensions carry, not the palette's nearest: Input's fill FFCC99,
  // Heading 1's bottom border 4F81BD (as 0x00BBGGRR).
  EXPECT_EQ(Find(book, "Input")->format.patternFore, 0x99CCFFu);
  EXPECT_EQ(Find(book, "Heading 1")->format.bottom.color, 0xBD814Fu);
  EXPECT_EQ(Find(book, "Heading 1")->format.bottom.line, 5);

  fs::path copy = ScratchFile("style_ext", "rank.xls"), again = ScratchFile("style_ext", "rank2.xls");
  c.WriteFile(copy.string(), kTypeBiff8);
  Control back;
  back.ReadFile(copy.string(), type);
  EXPECT_EQ(StyleLines(back.Book()), StyleLines(book));
  back.WriteFile(again.string(), kTypeBiff8);
  EXPECT_TRUE(Contents(copy) == Contents(again)) << "a second save writes other bytes";

  // Each STYLE is followed by its extension; a built-in style beyond 9 is named in the STYLE
  // record (older readers keep it as a user style) and numbered in the extension.
  std::vector<std::pair<unsigned, Bytes>> recs = GlobalRecords(copy);
  int styles = 0;
  bool sawGood = false, sawComma = false;
  for (std::size_t i = 0; i < recs.size(); ++i) {
    if (recs[i].first != 0x0293) continue;
    ++styles;
    ASSERT_LT(i + 1, recs.size());
    ASSERT_EQ(recs[i + 1].first, 0x0892u);
    const Bytes& s = recs[i].second;
    const Bytes& x = recs[i + 1].second;
    ASSERT_GE(x.size(), 20u);
    EXPECT_EQ(Get16(x.data()), 0x0892u);
    bool styleBuiltin = Get16(s.data()) & 0x8000;
    if (!styleBuiltin && std::string(s.begin() + 5, s.end()) == "Good") {
      sawGood = true;
      EXPECT_EQ(x[12], 1) << "built-in";
      EXPECT_EQ(x[13], 1) << "good, bad and neutral";
      EXPECT_EQ(x[14], 26);
    }
    if (styleBuiltin && s[2] == 3) {
      sawComma = true;
      EXPECT_EQ(x[13], 5) << "number format";
      EXPECT_EQ(x[14], 3);
    }
  }
  EXPECT_EQ(styles, static_cast<int>(book.Styles().NamedStyles().size()));
  EXPECT_TRUE(sawGood && sawComma);

  // xlrd reads the copy: the same style names and every cell under the same style.
  std::string ours = RunPython(kXlrdStyles, copy.string());
  std::string theirs = RunPython(kXlrdStyles, source.string());
  EXPECT_NE(ours.find("N\tGood\t0"), std::string::npos) << ours;
  EXPECT_NE(ours.find("N\tHeading 1\t0"), std::string::npos);
  EXPECT_EQ(ours, theirs);
}

// Each cell's XF flags as xlrd reads them (number, font, alignment, border, fill,
// protection: 1 the cell's own), then each .xlsx cell format's apply attributes.
const char* kXlrdFlags = R"(
import sys, xlrd
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
s = b.sheet_by_index(0)
for r in range(3):
    for c in range(2):
        x = b.xf_list[s.cell_xf_index(r, c)]
        print("%d,%d %d%d%d%d%d%d" % (r + 1, c + 1, x._format_flag, x._font_flag,
              x._alignment_flag, x._border_flag, x._background_flag, x._protection_flag))
)";

const char* kXlsxApply = R"PY(
import sys, zipfile, re
z = zipfile.ZipFile(sys.argv[1])
styles = z.read("xl/styles.xml").decode()
xfs = re.findall(r"<xf [^>]*>", re.search(r"<cellXfs.*?</cellXfs>", styles).group(0))
sheet = z.read("xl/worksheets/sheet1.xml").decode()
for ref, s in re.findall(r'<c r="([A-Z]+[0-9]+)"(?: s="([0-9]+)")?', sheet):
    xf = xfs[int(s or 0)]
    print(ref, " ".join(sorted(re.findall(r"(apply\w+)=\"1\"", xf))))
)PY";

TEST(StyleExtensions, CellFormatsMarkOnlyThePartsTheySetApartFromTheirStyle) {
  Control c;
  StyleTable& styles = c.Book().Styles();
  NamedStyle heading;
  heading.builtinId = 16;
  heading.parts = kPartFont | kPartBorder;
  Font bold;
  bold.bold = true;
  heading.format.font = styles.InternFont(bold);
  heading.format.bottom = {5, 0xBD814F};
  styles.AddNamed(heading);
  for (int r = 1; r <= 3; ++r)
    for (int col = 1; col <= 2; ++col) c.SetCellText(r, col, std::to_string(r * 10 + col));
  c.ApplyCellStyle(1, 1, 2, 1, "Heading 1");  // A1, A2 under the heading
  c.SetSelection(2, 1, 2, 1);
  c.SetNumberFormat("0%");  // A2 sets its number format itself
  c.SetSelection(1, 2, 1, 2);
  c.SetPattern(1, 0x0000FF, 0xFFFFFF);  // B1: a fill of its own under Normal
  c.SetSelection(3, 1, 3, 1);
  c.SetNumberFormat("0.00");
  c.ApplyCellStyle(3, 1, 3, 1, "Heading 1");  // A3: the style leaves number formats alone

  fs::path xls = ScratchFile("style_ext", "parts.xls"), xlsx = ScratchFile("style_ext", "parts.xlsx");
  c.WriteFile(xls.string(), kTypeBiff8);
  c.WriteFile(xlsx.string(), 51);
  EXPECT_EQ(RunPython(kXlrdFlags, xls.string()),
            "1,1 000000\n1,2 000010\n2,1 100000\n2,2 000000\n3,1 100000\n3,2 000000\n");
  EXPECT_EQ(RunPython(kXlsxApply, xlsx.string()),
            "A1 \nB1 applyFill\nA2 applyNumberFormat\nB2 \nA3 applyNumberFormat\nB3 \n");

  // Read back, every cell shows what it showed and keeps its style.
  for (const fs::path& file : {xls, xlsx}) {
    SCOPED_TRACE(file.filename().string());
    Control back;
    short type = 0;
    back.ReadFile(file.string(), type);
    for (int r = 1; r <= 3; ++r)
      for (int col = 1; col <= 2; ++col) {
        c.SetSelection(r, col, r, col);
        back.SetSelection(r, col, r, col);
        EXPECT_EQ(back.GetCellStyleName(), c.GetCellStyleName()) << r << "," << col;
        EXPECT_EQ(back.GetCellFormattedText(r, col), c.GetCellFormattedText(r, col));
        const Style& a = c.Book().Styles().Get(c.Book().Active().EffectiveStyle(r, col));
        const Style& b = back.Book().Styles().Get(back.Book().Active().EffectiveStyle(r, col));
        EXPECT_EQ(back.Book().Styles().GetFont(b.font).bold, c.Book().Styles().GetFont(a.font).bold);
        EXPECT_EQ(b.bottom.line, a.bottom.line);
        EXPECT_EQ(b.pattern, a.pattern);
      }
  }
}

const char* kXlrdFonts = R"(
import sys, xlrd
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
s = b.sheet_by_index(0)
for r in range(3):
    f = b.font_list[b.xf_list[s.cell_xf_index(r, 0)].font_index]
    print("%d bold=%d weight=%d italic=%d struck=%d" % (r + 1, f.bold, f.weight, f.italic, f.struck_out))
)";

TEST(StyleExtensions, FontRecordsSetTheBoldBitAsTheWeightSaysAndReadTheWeightAsTheTruth) {
  Control c;
  StyleTable& styles = c.Book().Styles();
  Font heavy, slanted;
  heavy.bold = true;
  heavy.strikeout = true;
  slanted.italic = true;
  Style s1, s2;
  s1.font = styles.InternFont(heavy);
  s2.font = styles.InternFont(slanted);
  for (int r = 1; r <= 3; ++r) c.SetCellText(r, 1, "x");
  c.Book().SetCellStyle(c.Book().Active(), 1, 1, styles.Intern(s1));
  c.Book().SetCellStyle(c.Book().Active(), 2, 1, styles.Intern(s2));
  fs::path xls = ScratchFile("style_ext", "fonts.xls");
  c.WriteFile(xls.string(), kTypeBiff8);
  EXPECT_EQ(RunPython(kXlrdFonts, xls.string()),
            "1 bold=1 weight=700 italic=0 struck=1\n2 bold=0 weight=400 italic=1 struck=0\n"
            "3 bold=0 weight=400 italic=0 struck=0\n");
  for (const auto& [id, body] : GlobalRecords(xls))
    if (id == 0x0031) {
      EXPECT_EQ((Get16(body.data() + 2) & 1) != 0, Get16(body.data() + 6) >= 700);
    }
}

// --- Hand-made streams ----------------------------------------------------------------------

Bytes Xf(unsigned flags, unsigned font = 0, std::size_t size = 20) {
  Bytes b(size, 0);
  if (size >= 2) Set16(b, 0, font);
  if (size >= 6) Set16(b, 4, flags);
  return b;
}

Bytes FontRecord(unsigned grbit, unsigned weight, const std::string& name) {
  Bytes b;
  Put16(b, 200);
  Put16(b, grbit);
  Put16(b, 0x7FFF);
  Put16(b, weight);
  Put16(b, 0);
  Put32(b, 0);
  Put8(b, static_cast<unsigned>(name.size()));
  Put8(b, 0);
  b.insert(b.end(), name.begin(), name.end());
  return b;
}

// A style extension: flags, category, built-in number and level, name, then raw properties.
Bytes Ext(unsigned flags, unsigned category, unsigned id, unsigned level, const std::string& name,
          const Bytes& props = {}, unsigned count = 0) {
  Bytes b;
  Put16(b, 0x0892);
  for (int i = 0; i < 10; ++i) Put8(b, 0);
  Put8(b, flags);
  Put8(b, category);
  Put8(b, id);
  Put8(b, level);
  Put16(b, static_cast<unsigned>(name.size()));
  for (char ch : name) Put16(b, static_cast<unsigned char>(ch));
  Put16(b, 0);
  Put16(b, count);
  b.insert(b.end(), props.begin(), props.end());
  return b;
}

Bytes Stream(const std::vector<Bytes>& globals) { return biff_stream::Stream(globals, 1); }

const unsigned kStyleXf = 0xFFF4;

std::unique_ptr<Workbook> Read(const Bytes& stream) {
  static LocaleSettings locale;
  short type = 0;
  return ReadBiffStream(stream, &locale, type);
}

TEST(StyleExtensions, TheReaderPairsExtensionsWithTheirStylesAndTakesOnlyKnownNumbers) {
  // An extension right after its STYLE, and others grouped after every STYLE (as some writers
  // put them), found by name; one names no style, one a number no built-in style has.
  Bytes red;
  Put16(red, 0x01);
  Put16(red, 12);
  for (unsigned v : {0x05u, 0xFFu, 0u, 0u, 0x12u, 0x34u, 0x56u, 0xFFu}) Put8(red, v);
  Bytes solid = Xf(kStyleXf);
  solid[18] = 0x08;  // palette fore colour 8 (black) …
  solid[17] = 0x04;  // … in a solid fill (pattern 1 in bits 26-31 of the second border word)
  auto book = Read(Stream({Record(0x0031, FontRecord(0, 400, "Arial")),
                           Record(0x00E0, Xf(kStyleXf)), Record(0x00E0, Xf(0)),
                           Record(0x00E0, solid), Record(0x00E0, Xf(kStyleXf)),
                           Record(0x00E0, Xf(kStyleXf)), Record(0x0293, BuiltinStyle(0, 0)),
                           Record(0x0293, UserStyle(2, "Good")),
                           Record(0x0892, Ext(0x03, 1, 26, 0xFF, "Good", red, 1)),
                           Record(0x0293, UserStyle(3, "Title")),
                           Record(0x0293, UserStyle(4, "Mine")),
                           Record(0x0892, Ext(0x01, 3, 15, 0xFF, "Title")),
                           Record(0x0892, Ext(0x01, 2, 0xFF, 0xFF, "Mine")),
                           Record(0x0892, Ext(0x01, 2, 20, 0xFF, "Nobody"))}));
  const Workbook& b = *book;
  const NamedStyle* good = Find(b, "Good");
  ASSERT_TRUE(good);
  EXPECT_EQ(good->builtinId, 26);
  EXPECT_TRUE(good->hidden);
  EXPECT_EQ(good->format.pattern, 1);
  EXPECT_EQ(good->format.patternFore, 0x563412u);  // RGB 123456, not the palette's black
  ASSERT_TRUE(Find(b, "Title"));
  EXPECT_EQ(Find(b, "Title")->builtinId, 15);
  ASSERT_TRUE(Find(b, "Mine"));
  EXPECT_EQ(Find(b, "Mine")->builtinId, NamedStyle::kUser);
  EXPECT_FALSE(Find(b, "Input"));
  EXPECT_EQ(b.Styles().NamedStyles().size(), 4u);
}

TEST(StyleExtensions, ACellShowsItsOwnFormatEvenWhereItsFlagsSayTheStyleGivesIt) {
  // Cell XFs hold a whole format; writers leave the flags clear where the cell differs
  // (borders drawn on cells under Normal in several real files): the border stays, and our
  // save marks it as the cell's own.
  Bytes bordered = Xf(0);
  Set32(bordered, 10, 0x1000 | (8u << 23));  // bottom line thin … (border word 1, bits 12-15)
  bordered[9] = 0;                            // … though no part is flagged as the cell's
  auto book = Read(Stream({Record(0x00E0, Xf(kStyleXf)), Record(0x00E0, bordered),
                           Record(0x0293, BuiltinStyle(0, 0))}));
  const Style& cell = book->Styles().Get(book->GetSheet(1).EffectiveStyle(1, 1));
  EXPECT_EQ(cell.bottom.line, 1);
  EXPECT_EQ(cell.parent, 0);
  EXPECT_EQ(OwnParts(cell, book->Styles()), kPartBorder);
}

TEST(StyleExtensions, FontWeightDecidesBoldWhateverTheBoldBitSays) {
  auto book = Read(Stream({Record(0x0031, FontRecord(0, 400, "Arial")),
                           Record(0x0031, FontRecord(0, 700, "Heavy")),
                           Record(0x0031, FontRecord(1, 400, "Light")),
                           Record(0x00E0, Xf(kStyleXf)), Record(0x00E0, Xf(0))}));
  int seen = 0;
  for (std::size_t i = 0; i < book->Styles().FontCount(); ++i) {
    const Font& f = book->Styles().GetFont(static_cast<std::uint16_t>(i));
    if (f.name == "Heavy") {
      EXPECT_TRUE(f.bold);
      ++seen;
    }
    if (f.name == "Light") {
      EXPECT_FALSE(f.bold);
      ++seen;
    }
  }
  EXPECT_EQ(seen, 2);
}

TEST(StyleExtensions, DamagedExtensionsAndFormatsFailTheReadClearly) {
  auto refused = [&](const std::vector<Bytes>& globals, const std::string& why) {
    try {
      Read(Stream(globals));
      ADD_FAILURE() << "read: " << why;
    } catch (const EngineError& e) {
      EXPECT_NE(std::string(e.what()).find("damaged"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
    }
  };
  auto with = [](const Bytes& ext) {
    return std::vector<Bytes>{Record(0x00E0, Xf(kStyleXf)), Record(0x00E0, Xf(0)),
                              Record(0x0293, UserStyle(0, "Good")), Record(0x0892, ext)};
  };
  Bytes ext = Ext(1, 1, 26, 0xFF, "Good");
  refused(with(Bytes(ext.begin(), ext.begin() + 15)), "shorter");
  Bytes otherId = ext;
  otherId[0] = 0x93;
  refused(with(otherId), "does not say what it is");
  refused(with(Ext(1, 9, 26, 0xFF, "Good")), "category");
  refused(with(Ext(1, 4, 1, 7, "RowLevel_8")), "level");
  Bytes longName = Ext(1, 1, 26, 0xFF, "Good");
  Set16(longName, 16, 300);
  refused(with(longName), "255");
  Bytes past;
  Put16(past, 0x01);
  Put16(past, 40);  // 36 bytes of colour that are not there
  refused(with(Ext(1, 1, 26, 0xFF, "Good", past, 1)), "run past");
  Bytes tiny;
  Put16(tiny, 0x01);
  Put16(tiny, 2);
  refused(with(Ext(1, 1, 26, 0xFF, "Good", tiny, 1)), "run past");
  Bytes cut;
  Put16(cut, 0x05);
  Put16(cut, 8);
  Put32(cut, 0);
  refused(with(Ext(1, 1, 26, 0xFF, "Good", cut, 1)), "colour is cut short");
  Bytes missing;  // says one property, holds none
  refused(with(Ext(1, 1, 26, 0xFF, "Good", missing, 1)), "shorter");
  // An XF cut short would put every later format on the wrong cells.
  refused({Record(0x00E0, Xf(kStyleXf)), Record(0x00E0, Xf(0, 0, 9))}, "shorter");
}

TEST(StyleExtensions, AFileWithoutExtensionsStillReadsItsStylesByName) {
  // A 97-2003 writer's file: "Good" is a user style; our save keeps it so.
  auto book = Read(Stream({Record(0x00E0, Xf(kStyleXf)), Record(0x00E0, Xf(0)),
                           Record(0x0293, BuiltinStyle(0, 0)), Record(0x0293, UserStyle(0, "Good"))}));
  ASSERT_TRUE(Find(*book, "Good"));
  EXPECT_EQ(Find(*book, "Good")->builtinId, NamedStyle::kUser);
  Bytes file = WriteXls(*book, kTypeBiff8, 1252);
  short type = 0;
  static LocaleSettings locale;
  auto back = ReadXls(file.data(), file.size(), &locale, type);
  ASSERT_TRUE(Find(*back, "Good"));
  EXPECT_EQ(Find(*back, "Good")->builtinId, NamedStyle::kUser);
}

}  // namespace
