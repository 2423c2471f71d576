// Pictures, embedded charts, controls, chart sheets and macro sheets are carried through an open
// and a save as the file held them: their records come back unchanged, the shape numbers of the
// written drawings agree with the drawing group (comments included), chart series still point
// at their sheets and cells after the names row went out and back, renames, deletions and
// inserted rows, and LibreOffice still finds the charts and pictures in what we wrote.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <set>

#include "support/scratch.h"
#include "control/io/byte_io.h"
#include "control/xls/compound_file.h"
#include "control/xls/xls_file.h"
#include "corpus_support.h"
#include "support/shell.h"

namespace {

namespace fs = std::filesystem;
using namespace engine;
using engine::xls::Bytes;
using engine::xls::Get16;
using engine::xls::Get32;

const LocaleSettings kLocale;

fs::path Scratch(const std::string& name) { return ScratchFile("carried_drawing", name); }

Bytes Load(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::unique_ptr<Workbook> Read(const Bytes& file) {
  short type = 0;
  return xls::ReadXls(file.data(), file.size(), &kLocale, type);
}

fs::path Corpus(const char* name) { return corpus::Dir("real-xls") / name; }

// Every chart series and linked object's 3-D reference of the book as "Sheet!row,col…": the
// sheet by name through the book's own reference entries, then the reference's cell bytes.
std::vector<std::string> SeriesRefs(const Workbook& book) {
  std::vector<std::string> out;
  auto sheetName = [&](unsigned ixti) -> std::string {
    const auto& ext = book.Carried().externSheets;
    if (ixti >= ext.size()) return "?";
    if (ext[ixti].carriedSheet >= 0)
      return book.Carried().sheets[static_cast<std::size_t>(ext[ixti].carriedSheet)].name;
    if (!ext[ixti].first) return "?";
    const Sheet* s = book.SheetById(ext[ixti].first);
    return s ? s->Name() : "?";
  };
  auto scan = [&](const CarriedRecord& r) {
    if (r.id != 0x1051 || r.body.size() < 8) return;
    std::size_t cce = Get16(r.body.data() + 6);
    const std::uint8_t* t = r.body.data() + 8;
    if (cce < 7 || 8 + cce > r.body.size()) return;
    unsigned base = t[0] & 0x1F;
    if (base != 0x1A && base != 0x1B && base != 0x1C && base != 0x1D) return;
    // "Sheet!row1-row2,col1-col2" (0-based, as the tokens hold them).
    const bool area = base == 0x1B || base == 0x1D;
    const unsigned row2 = Get16(t + (area ? 5 : 3));
    const unsigned col1 = Get16(t + (area ? 7 : 5)) & 0x3FFF;
    const unsigned col2 = Get16(t + (area ? 9 : 5)) & 0x3FFF;
    out.push_back((base >= 0x1C ? "#REF!" : "") + sheetName(Get16(t + 1)) + "!" +
                  std::to_string(Get16(t + 3)) + "-" + std::to_string(row2) + "," +
                  std::to_string(col1) + "-" + std::to_string(col2));
  };
  for (int i = 1; i <= book.SheetCount(); ++i)
    for (const CarriedShape& d : book.GetSheet(i).Features().drawings)
      for (const CarriedShape::Part& p : d.parts) scan(p.record);
  for (const CarriedSheet& s : book.Carried().sheets)
    for (const CarriedRecord& r : s.records) scan(r);
  return out;
}

// The records of carried objects that hold no shape numbers or references: as they were.
std::vector<CarriedRecord> Untouched(const Workbook& book) {
  std::vector<CarriedRecord> out;
  auto keep = [&](const CarriedRecord& r) {
    // References, fonts and cell formats are renumbered for the file written.
    static const std::set<std::uint16_t> renumbered = {0x1051, 0x005D, 0x00EC, 0x1026, 0x1060,
                                                       0x0006, 0x0201, 0x0203, 0x0204, 0x0205,
                                                       0x027E, 0x00BD, 0x00BE, 0x0208, 0x007D};
    if (!renumbered.count(r.id)) out.push_back(r);
  };
  for (int i = 1; i <= book.SheetCount(); ++i)
    for (const CarriedShape& d : book.GetSheet(i).Features().drawings)
      for (const CarriedShape::Part& p : d.parts) keep(p.record);
  for (const CarriedSheet& s : book.Carried().sheets)
    for (const CarriedRecord& r : s.records) keep(r);
  return out;
}

// The drawing records of a written workbook agree with its drawing group: every shape number
// is used once, lies in a block the group gives to that drawing, and each drawing's count
// and last number are right; OBJ ids are unique per sheet.
void ExpectConsistentDrawings(const Bytes& file) {
  xls::CompoundFileReader cf(file.data(), file.size());
  Bytes s;
  ASSERT_TRUE(cf.ReadStream("Workbook", s));
  std::map<std::uint32_t, std::uint32_t> clusterOwner;  // block -> drawing id
  std::set<std::uint32_t> spids;
  std::vector<Bytes> art;  // per open substream
  std::vector<std::set<unsigned>> objIds;
  int substreams = 0;
  auto walk = [&](auto&& self, const Bytes& a, std::size_t at, std::size_t end, int& dgid,
                  std::uint32_t& count, std::uint32_t& last) -> void {
    while (at + 8 <= end) {
      unsigned vi = Get16(a.data() + at), type = Get16(a.data() + at + 2);
      std::uint32_t len = Get32(a.data() + at + 4);
      ASSERT_LE(at + 8 + len, end);
      if (type == 0xF008) {
        dgid = static_cast<int>(vi >> 4);
        count = Get32(a.data() + at + 8);
        last = Get32(a.data() + at + 12);
      }
      if (type == 0xF00A) {
        std::uint32_t spid = Get32(a.data() + at + 8);
        EXPECT_TRUE(spids.insert(spid).second) << "shape number used twice: " << spid;
        EXPECT_EQ(clusterOwner[spid >> 10], static_cast<std::uint32_t>(dgid)) << spid;
        EXPECT_LE(spid, last);
        --count;
      }
      if ((vi & 0xF) == 0xF) self(self, a, at + 8, at + 8 + len, dgid, count, last);
      at += 8 + len;
    }
  };
  std::size_t at = 0;
  std::uint16_t previous = 0;
  Bytes group;
  while (at + 4 <= s.size()) {
    unsigned id = Get16(s.data() + at), len = Get16(s.data() + at + 2);
    const std::uint8_t* body = s.data() + at + 4;
    if (id == 0x0809) {
      if (substreams++ == 1 && !group.empty()) {
        // The group is complete: its table gives block k + 1 to drawing rgidcl[k].
        ASSERT_GE(group.size(), 32u);
        ASSERT_EQ(Get16(group.data() + 10), 0xF006);
        std::uint32_t n = Get32(group.data() + 20);
        ASSERT_GE(group.size(), 32 + 8 * static_cast<std::size_t>(n - 1));
        for (std::uint32_t k = 0; k + 1 < n; ++k)
          clusterOwner[k + 1] = Get32(group.data() + 32 + 8 * k);
      }
      art.emplace_back();
      objIds.emplace_back();
    }
    if (id == 0x00EB || (id == 0x003C && previous == 0x00EB))
      group.insert(group.end(), body, body + len);
    if ((id == 0x00EC || (id == 0x003C && previous == 0x00EC)) && !art.empty())
      art.back().insert(art.back().end(), body, body + len);
    if (id == 0x005D && len >= 8 && !objIds.empty()) {
      EXPECT_TRUE(objIds.back().insert(Get16(body + 6)).second) << "OBJ id used twice";
    }
    if (id == 0x000A && !art.empty()) {
      if (!art.back().empty()) {
        int dgid = -1;
        std::uint32_t count = 0, last = 0;
        walk(walk, art.back(), 0, art.back().size(), dgid, count, last);
        EXPECT_EQ(count, 0u) << "the drawing's shape count";
      }
      art.pop_back();
      objIds.pop_back();
    }
    if (id != 0x003C) previous = static_cast<std::uint16_t>(id);
    at += 4 + len;
  }
}

TEST(CarriedDrawings, ChartsPicturesAndChartSheetsComeBackAsTheyWere) {
  const char* files[] = {"poi-SimpleScatterChart.xls",
                         "poi-SimpleWithImages.xls",
                         "poi-WithThreeCharts.xls",
                         "poi-44010-TwoCharts.xls",
                         "poi-WithCheckBoxes.xls",
                         "poi-60405.xls",
                         "poi-49581.xls",
                         "poi-DrawingContinue.xls",
                         // Drawing bytes continued after OBJ, TXO and embedded charts' EOF.
                         "poi-drawings.xls",
                         "poi-46137.xls"};
  for (const char* name : files) {
    SCOPED_TRACE(name);
    std::unique_ptr<Workbook> first;
    try {
      first = Read(Load(Corpus(name)));
    } catch (const EngineError& e) {
      ADD_FAILURE() << name << ": " << e.what();
      continue;
    }
    std::size_t shapes = 0;
    for (int i = 1; i <= first->SheetCount(); ++i)
      shapes += first->GetSheet(i).Features().drawings.size();
    EXPECT_TRUE(shapes > 0 || !first->Carried().sheets.empty()) << "nothing carried";
    Bytes once = xls::WriteXls(*first, xls::kTypeBiff8, 1252);
    auto second = Read(once);
    EXPECT_EQ(first->Carried().drawingGroup, second->Carried().drawingGroup);
    ASSERT_EQ(first->Carried().sheets.size(), second->Carried().sheets.size());
    for (std::size_t k = 0; k < first->Carried().sheets.size(); ++k) {
      EXPECT_EQ(first->Carried().sheets[k].name, second->Carried().sheets[k].name);
      EXPECT_EQ(first->Carried().sheets[k].kind, second->Carried().sheets[k].kind);
    }
    for (int i = 1; i <= first->SheetCount(); ++i) {
      const auto& a = first->GetSheet(i).Features().drawings;
      const auto& b = second->GetSheet(i).Features().drawings;
      ASSERT_EQ(a.size(), b.size());
      for (std::size_t k = 0; k < a.size(); ++k) {
        EXPECT_EQ(a[k].art.size(), b[k].art.size());
        EXPECT_EQ(a[k].parts.size(), b[k].parts.size());
        EXPECT_EQ(a[k].anchored, b[k].anchored);
        EXPECT_EQ(a[k].row1, b[k].row1);
        EXPECT_EQ(a[k].col2, b[k].col2);
      }
    }
    EXPECT_TRUE(Untouched(*first) == Untouched(*second));
    EXPECT_EQ(SeriesRefs(*first), SeriesRefs(*second));
    // A second round writes the very same bytes.
    Bytes twice = xls::WriteXls(*second, xls::kTypeBiff8, 1252);
    EXPECT_TRUE(once == twice);
    ExpectConsistentDrawings(once);
  }
}

// Opens the workbook as a table does (names row out of every sheet), lets `edit` change it,
// puts the names rows back and saves.
void OpenEditSave(const fs::path& in, const fs::path& out,
                  const std::function<void(Control&)>& edit = {}) {
  Control c;
  short type = 0;
  c.ReadFile(in.string(), type);
  for (int s = 1; s <= c.GetNumSheets(); ++s) {
    c.SetActiveSheet(s);
    c.DeleteNamesRow();
  }
  if (edit) edit(c);
  for (int s = 1; s <= c.GetNumSheets(); ++s) {
    c.SetActiveSheet(s);
    c.InsertNamesRow();
  }
  c.WriteFile(out.string(), xls::kTypeBiff8);
}

TEST(CarriedDrawings, LibreOfficeStillFindsTheChartsAndPicturesWeWrote) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "LibreOffice (soffice) is not installed; scripts/install-deps.sh installs it";
  struct Case {
    const char* file;
    const char* part;  // what the converted package must hold
  } cases[] = {{"poi-SimpleWithImages.xls", "xl/media/"},
               {"poi-WithThreeCharts.xls", "xl/charts/chart"},
               {"poi-SimpleScatterChart.xls", "xl/charts/chart"}};
  fs::path dir = Scratch("lo");
  fs::create_directories(dir / "out");
  for (const Case& k : cases) OpenEditSave(Corpus(k.file), dir / k.file);
  std::string cmd = "cd '" + dir.string() + "' && soffice -env:UserInstallation=file://" +
                    (dir / "profile").string() +
                    " --headless --convert-to 'xlsx:Calc MS Excel 2007 XML' --outdir out *.xls"
                    " >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.file);
    fs::path x = dir / "out" / (fs::path(k.file).stem().string() + ".xlsx");
    ASSERT_TRUE(fs::is_regular_file(x));
    std::string list =
        "/usr/bin/python3 -c \"import sys,zipfile; "
        "sys.exit(0 if any(n.startswith(sys.argv[2]) for n in "
        "zipfile.ZipFile(sys.argv[1]).namelist()) else 1)\" '" +
        x.string() + "' '" + k.part + "'";
    EXPECT_EQ(std::system(list.c_str()), 0) << "no " << k.part << " in LibreOffice's copy";
  }
  fs::remove_all(dir);
}

// The first carried shape with a cell anchor on a worksheet: its sheet and anchor.
struct Anchor {
  int sheet = 0, row1 = 0, col1 = 0, row2 = 0, col2 = 0;
};
Anchor FirstAnchor(const Workbook& book) {
  for (int i = 1; i <= book.SheetCount(); ++i)
    for (const CarriedShape& d : book.GetSheet(i).Features().drawings)
      if (d.anchored && d.row1 >= 2) return {i, d.row1, d.col1, d.row2, d.col2};
  return {};
}

TEST(CarriedDrawings, PicturesMoveWithInsertedAndDeletedRowsAndColumns) {
  fs::path in = Corpus("poi-SimpleWithImages.xls"), out = Scratch("images.xls");
  Anchor before = FirstAnchor(*Read(Load(in)));
  ASSERT_GT(before.sheet, 0);
  // The names row out and back moves nothing.
  OpenEditSave(in, out);
  Anchor same = FirstAnchor(*Read(Load(out)));
  EXPECT_EQ(same.row1, before.row1);
  EXPECT_EQ(same.col1, before.col1);
  EXPECT_EQ(same.row2, before.row2);
  // Two rows and a column inserted before it (open-form row 1 is the file's row 2).
  OpenEditSave(in, out, [&](Control& c) {
    c.SetActiveSheet(before.sheet);
    c.InsertRange(1, -1, 2, -1, kShiftRows);
    c.InsertRange(-1, 1, -1, 1, kShiftColumns);
  });
  Anchor moved = FirstAnchor(*Read(Load(out)));
  EXPECT_EQ(moved.row1, before.row1 + 2);
  EXPECT_EQ(moved.row2, before.row2 + 2);
  EXPECT_EQ(moved.col1, before.col1 + 1);
  EXPECT_EQ(moved.col2, before.col2 + 1);
  // … and deleted again: back where it was.
  OpenEditSave(out, out, [&](Control& c) {
    c.SetActiveSheet(before.sheet);
    c.DeleteRange(1, -1, 2, -1, kShiftRows);
    c.DeleteRange(-1, 1, -1, 1, kShiftColumns);
  });
  Anchor back = FirstAnchor(*Read(Load(out)));
  EXPECT_EQ(back.row1, before.row1);
  EXPECT_EQ(back.col1, before.col1);
  EXPECT_EQ(back.row2, before.row2);
  EXPECT_EQ(back.col2, before.col2);
  // The rows under a picture deleted: it stays, squeezed, and the file stays whole.
  OpenEditSave(in, out, [&](Control& c) {
    c.SetActiveSheet(before.sheet);
    c.DeleteRange(before.row1 - 1, -1, before.row2 - 1, -1, kShiftRows);
  });
  auto squeezed = Read(Load(out));
  EXPECT_EQ(squeezed->GetSheet(before.sheet).Features().drawings.size(),
            Read(Load(in))->GetSheet(before.sheet).Features().drawings.size());
  ExpectConsistentDrawings(Load(out));
}

TEST(CarriedDrawings, ChartSeriesFollowRenamedAndDeletedSheets) {
  fs::path in = Corpus("poi-WithThreeCharts.xls"), out = Scratch("charts.xls");
  auto book = Read(Load(in));
  std::vector<std::string> refs = SeriesRefs(*book);
  ASSERT_FALSE(refs.empty());
  const std::string data = refs[0].substr(0, refs[0].find('!'));
  const int index = book->SheetIndexByName(data);
  ASSERT_GT(index, 0) << data;
  auto renamed = refs;
  for (std::string& r : renamed)
    if (r.starts_with(data + "!")) r = "Renamed data" + r.substr(data.size());
  // Renamed, and another sheet inserted before it: the series still name its cells.
  OpenEditSave(in, out, [&](Control& c) {
    c.SetSheetName(index, "Renamed data");
    c.InsertSheets(1, 1);
  });
  auto after = Read(Load(out));
  EXPECT_EQ(SeriesRefs(*after), renamed);
  ExpectConsistentDrawings(Load(out));
  // The sheet deleted: the series that named it are #REF!, the others unchanged.
  if (book->SheetCount() > 1) {
    OpenEditSave(in, out, [&](Control& c) { c.DeleteSheets(index, 1); });
    for (const std::string& r : SeriesRefs(*Read(Load(out))))
      EXPECT_TRUE(r.starts_with("#REF!") || !r.starts_with(data + "!")) << r;
  }
}

TEST(CarriedDrawings, CommentsJoinTheCarriedShapesInOneDrawing) {
  fs::path in = Corpus("poi-SimpleWithImages.xls"), out = Scratch("commented.xls");
  auto original = Read(Load(in));
  Anchor a = FirstAnchor(*original);
  ASSERT_GT(a.sheet, 0);
  const std::size_t shapes = original->GetSheet(a.sheet).Features().drawings.size();
  OpenEditSave(in, out, [&](Control& c) {
    SheetFeatures f = c.GetSheetFeatures(a.sheet);
    f.comments.push_back({1, 1, "Ann", "first value", false});
    f.comments.push_back({3, 2, "Bo", "shown note", true});
    c.SetSheetFeatures(f, a.sheet);
  });
  Bytes written = Load(out);
  ExpectConsistentDrawings(written);
  auto back = Read(written);
  const SheetFeatures& f = back->GetSheet(a.sheet).Features();
  EXPECT_EQ(f.drawings.size(), shapes);
  ASSERT_EQ(f.comments.size(), 2u);
  EXPECT_EQ(f.comments[0].row, 2);  // open-form row 1 is the file's row 2
  EXPECT_EQ(f.comments[0].text, "first value");
  EXPECT_EQ(f.comments[1].author, "Bo");
  EXPECT_TRUE(f.comments[1].shown);
  EXPECT_EQ(back->Carried().drawingGroup, original->Carried().drawingGroup);
}

TEST(CarriedDrawings, AMalformedDrawingFailsTheReadClearly) {
  Bytes file = Load(Corpus("poi-SimpleWithImages.xls"));
  auto book = Read(file);
  Bytes good = xls::WriteXls(*book, xls::kTypeBiff8, 1252);
  xls::CompoundFileReader cf(good.data(), good.size());
  Bytes stream;
  ASSERT_TRUE(cf.ReadStream("Workbook", stream));
  // The sheet drawing's length and, apart, the drawing group's, each made to overrun.
  for (unsigned id : {0x00ECu, 0x00EBu}) {
    SCOPED_TRACE(id);
    Bytes bad = stream;
    bool done = false;
    for (std::size_t at = 0; at + 4 <= bad.size() && !done;) {
      unsigned rid = Get16(bad.data() + at), len = Get16(bad.data() + at + 2);
      if (rid == id && len >= 8) {
        xls::Set32(bad, at + 8, 0x7FFFFFF0u);
        done = true;
      }
      at += 4 + len;
    }
    ASSERT_TRUE(done);
    short type = 0;
    try {
      xls::ReadBiffStream(bad, &kLocale, type);
      ADD_FAILURE() << "read without an error";
    } catch (const EngineError& e) {
      EXPECT_NE(std::string(e.what()).find("damaged"), std::string::npos) << e.what();
    }
  }
}

// The sheets of a written workbook in the order its sheet list gives them, as "name:kind"
// (0 worksheet, 1 macro sheet, 2 chart), read from the records themselves.
std::vector<std::string> Tabs(const Bytes& file) {
  xls::CompoundFileReader cf(file.data(), file.size());
  Bytes s;
  if (!cf.ReadStream("Workbook", s)) return {};
  std::vector<std::string> out;
  for (std::size_t at = 0; at + 4 <= s.size();) {
    unsigned id = Get16(s.data() + at), len = Get16(s.data() + at + 2);
    const std::uint8_t* b = s.data() + at + 4;
    if (id == 0x000A) break;
    if (id == 0x0085 && len >= 8) {
      unsigned n = b[6];
      std::string name;
      for (unsigned i = 0; i < n; ++i) {
        unsigned c = (b[7] & 1) ? Get16(b + 8 + 2 * i) : b[8 + i];
        name += c < 0x80 ? static_cast<char>(c) : '?';
      }
      out.push_back(name + ":" + std::to_string(b[5]));
    }
    at += 4 + len;
  }
  return out;
}

TEST(CarriedSheets, ChartSheetsKeepTheirPlaceAmongTheWorksheets) {
  // Twenty-three worksheets, the last seventeen each followed by its chart sheet.
  const fs::path in = Corpus("poi-12843-1.xls"), out = Scratch("tabs.xls");
  const std::vector<std::string> original = Tabs(Load(in));
  ASSERT_EQ(original.size(), 40u);
  ASSERT_EQ(original[7], "POTS-?:2");
  const std::vector<std::string> refs = SeriesRefs(*Read(Load(in)));
  ASSERT_FALSE(refs.empty());
  auto without = [](std::vector<std::string> v, const std::string& tab) {
    std::erase(v, tab);
    return v;
  };
  OpenEditSave(in, out);
  EXPECT_EQ(Tabs(Load(out)), original);
  EXPECT_EQ(SeriesRefs(*Read(Load(out))), refs);
  // A worksheet inserted before all, one moved to the front: the charts stay where they were.
  OpenEditSave(in, out, [](Control& c) {
    c.MoveSheet(8, 1);  // the eighth worksheet, "BRA-?", the tenth tab
    c.InsertSheets(1, 1);
  });
  std::vector<std::string> expected = without(original, "BRA-?:0");
  expected.insert(expected.begin(), "BRA-?:0");
  expected.insert(expected.begin(), "Sheet1:0");
  const Bytes moved = Load(out);
  EXPECT_EQ(Tabs(moved), expected);
  EXPECT_EQ(SeriesRefs(*Read(moved)), refs);
  ExpectConsistentDrawings(moved);
  // Read back, the worksheets are where the window put them.
  auto back = Read(moved);
  EXPECT_EQ(back->SheetCount(), 24);
  EXPECT_EQ(back->GetSheet(1).Name(), "Sheet1");
  // The worksheet before a chart deleted: the chart follows the one before it; a rename takes
  // the tab's place.
  OpenEditSave(in, out, [](Control& c) {
    c.DeleteSheets(7, 1);  // "POTS-?", before its chart
    c.SetSheetName(1, "Renamed");
  });
  expected = without(original, "POTS-?:0");
  expected[0] = "Renamed:0";
  EXPECT_EQ(Tabs(Load(out)), expected);
  // An independent reader lists the worksheets in that order and finds each where the list
  // says it starts.
  int status = 0;
  std::string listed = Shell("/usr/bin/python3 -c \"import sys,xlrd; b=xlrd.open_workbook(sys.argv[1]); "
                           "print(len(b.sheet_names()), b.sheet_by_index(6).name[:4], "
                           "b.sheet_by_index(0).name)\" '" + out.string() + "' 2>&1",
                           status);
  EXPECT_EQ(status, 0) << listed;
  EXPECT_EQ(listed, "22 BRA- Renamed\n");
}

// The stream at `path` ("storage/…/stream") of a tree; null when there is none.
const CarriedStorageEntry* Find(const std::vector<CarriedStorageEntry>& tree,
                                const std::u16string& path) {
  const std::size_t slash = path.find(u'/');
  for (const CarriedStorageEntry& e : tree)
    if (e.name == path.substr(0, slash))
      return slash == std::u16string::npos ? &e : Find(e.children, path.substr(slash + 1));
  return nullptr;
}

std::size_t CountEntries(const std::vector<CarriedStorageEntry>& tree) {
  std::size_t n = tree.size();
  for (const CarriedStorageEntry& e : tree) n += CountEntries(e.children);
  return n;
}

// How many records of the given id the workbook stream holds.
int CountRecords(const Bytes& file, unsigned want) {
  xls::CompoundFileReader cf(file.data(), file.size());
  Bytes s;
  if (!cf.ReadStream("Workbook", s)) return -1;
  int n = 0;
  for (std::size_t at = 0; at + 4 <= s.size(); at += 4 + Get16(s.data() + at + 2))
    n += Get16(s.data() + at) == want;
  return n;
}

TEST(CarriedSheets, MacrosEmbeddedObjectsAndPropertiesSurviveASave) {
  struct Case {
    const char* file;
    std::u16string stream;  // one stream that must come back byte for byte
  } cases[] = {{"poi-SimpleMacro.xls", u"_VBA_PROJECT_CUR/VBA/dir"},
               {"poi-WithEmbeddedObjects.xls", u"MBD001805CA/\x01Ole"},
               {"poi-44010-TwoCharts.xls", u"\x05SummaryInformation"}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.file);
    const Bytes original = Load(Corpus(k.file));
    xls::CompoundFileReader before(original.data(), original.size());
    const std::vector<CarriedStorageEntry> tree = before.OtherEntries();
    const CarriedStorageEntry* want = Find(tree, k.stream);
    ASSERT_TRUE(want);
    const fs::path out = Scratch("macro.xls");
    OpenEditSave(Corpus(k.file), out, [](Control& c) { c.InsertSheets(1, 1); });
    const Bytes written = Load(out);
    xls::CompoundFileReader after(written.data(), written.size());
    const std::vector<CarriedStorageEntry> back = after.OtherEntries();
    EXPECT_EQ(CountEntries(back), CountEntries(tree));
    const CarriedStorageEntry* got = Find(back, k.stream);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->data, want->data);  // the exact size: short streams are not padded
    EXPECT_EQ(after.RootClsid(), before.RootClsid());
    // What ties the project to the book and its sheets is written again.
    EXPECT_EQ(CountRecords(written, 0x00D3), CountRecords(original, 0x00D3));
    EXPECT_EQ(CountRecords(written, 0x01BA), CountRecords(original, 0x01BA));
    // Saved again, the same tree.
    EXPECT_EQ(Tabs(written).size(), Tabs(original).size() + 1);
    auto again = Read(written);
    EXPECT_TRUE(again->Carried().fileEntries == back);
  }
}

// A reference as SeriesRefs gives it, taken apart.
struct SeriesRef {
  std::string sheet;
  unsigned row1 = 0, row2 = 0, col1 = 0, col2 = 0;
};
SeriesRef Parse(const std::string& ref) {
  SeriesRef r;
  const std::size_t bang = ref.rfind('!');
  r.sheet = ref.substr(0, bang);
  std::sscanf(ref.c_str() + bang + 1, "%u-%u,%u-%u", &r.row1, &r.row2, &r.col1, &r.col2);
  return r;
}
std::string Text(const SeriesRef& r) {
  return r.sheet + "!" + std::to_string(r.row1) + "-" + std::to_string(r.row2) + "," +
         std::to_string(r.col1) + "-" + std::to_string(r.col2);
}

TEST(CarriedDrawings, ChartSeriesFollowInsertedAndDeletedRowsAndColumns) {
  for (const char* name : {"poi-WithThreeCharts.xls", "poi-12843-1.xls"}) {
    SCOPED_TRACE(name);
    const fs::path in = Corpus(name), out = Scratch("series.xls");
    auto book = Read(Load(in));
    const std::vector<std::string> refs = SeriesRefs(*book);
    ASSERT_FALSE(refs.empty());
    // The data sheet of the first series with rows below the names row (row 0 of the tokens,
    // out while the workbook is open), and the first of those rows.
    std::size_t pick = 0;
    while (pick < refs.size() && (Parse(refs[pick]).row2 == 0 || refs[pick].starts_with("#")))
      ++pick;
    ASSERT_LT(pick, refs.size());
    const SeriesRef first = Parse(refs[pick]);
    const unsigned top = std::max(first.row1, 1u), bottom = first.row2;
    const int index = book->SheetIndexByName(first.sheet);
    ASSERT_GT(index, 0) << first.sheet;
    // Two rows inserted at that row and a column before the first: every reference to that
    // sheet moves, the names row stays.
    OpenEditSave(in, out, [&](Control& c) {
      c.SetActiveSheet(index);
      c.InsertRange(static_cast<int>(top), -1, static_cast<int>(top) + 1, -1, kShiftRows);
      c.InsertRange(-1, 1, -1, 1, kShiftColumns);
    });
    std::vector<std::string> expected;
    for (const std::string& ref : refs) {
      SeriesRef r = Parse(ref);
      if (r.sheet == first.sheet) {
        if (r.row1 >= top) r.row1 += 2;
        if (r.row2 >= top) r.row2 += 2;
        ++r.col1;
        ++r.col2;
      }
      expected.push_back(Text(r));
    }
    EXPECT_EQ(SeriesRefs(*Read(Load(out))), expected);
    ExpectConsistentDrawings(Load(out));
    // Those rows deleted: a series wholly inside them names #REF!, as a cell formula would;
    // one that reaches past them shrinks, one below moves up.
    OpenEditSave(in, out, [&](Control& c) {
      c.SetActiveSheet(index);
      c.DeleteRange(static_cast<int>(top), -1, static_cast<int>(bottom), -1, kShiftRows);
    });
    const unsigned gone = bottom - top + 1;
    expected.clear();
    for (const std::string& ref : refs) {
      SeriesRef r = Parse(ref);
      if (r.sheet == first.sheet) {
        if (r.row1 >= top && r.row2 <= bottom) {
          expected.push_back("#REF!" + ref);
          continue;
        }
        r.row1 = r.row1 < top ? r.row1 : r.row1 > bottom ? r.row1 - gone : top;
        r.row2 = r.row2 > bottom ? r.row2 - gone : r.row2 < top ? r.row2 : top - 1;
      }
      expected.push_back(Text(r));
    }
    EXPECT_EQ(SeriesRefs(*Read(Load(out))), expected);
  }
}

// Reads a workbook, lets `edit` change the first sheet as the engine holds it (the names row
// in place), saves it and gives the series of what was saved.
std::vector<std::string> EditedSeries(const fs::path& in, const fs::path& out,
                                      const std::function<void(Control&)>& edit) {
  Control c;
  short type = 0;
  c.ReadFile(in.string(), type);
  c.SetActiveSheet(1);
  edit(c);
  c.WriteFile(out.string(), xls::kTypeBiff8);
  return SeriesRefs(*Read(Load(out)));
}

TEST(CarriedDrawings, ChartSeriesFollowMovedBlocksAndSortedColumns) {
  const fs::path in = Corpus("poi-WithThreeCharts.xls"), out = Scratch("moved-series.xls");
  // Five series on Sheet1!A1:A6, B1:B6 (twice), E1:E6 and D1:D6.
  ASSERT_EQ(SeriesRefs(*Read(Load(in))),
            (std::vector<std::string>{"Sheet1!0-5,0-0", "Sheet1!0-5,1-1", "Sheet1!0-5,1-1",
                                      "Sheet1!0-5,4-4", "Sheet1!0-5,3-3"}));
  // D1:E6 cut and pasted two columns right: the series of D and E go with their cells.
  EXPECT_EQ(EditedSeries(in, out, [](Control& c) { c.MoveRange(1, 4, 6, 5, 0, 2); }),
            (std::vector<std::string>{"Sheet1!0-5,0-0", "Sheet1!0-5,1-1", "Sheet1!0-5,1-1",
                                      "Sheet1!0-5,6-6", "Sheet1!0-5,5-5"}));
  // Only the lower half moved: each end of a series goes with its own cell, as a cell
  // formula's reference does.
  EXPECT_EQ(EditedSeries(in, out, [](Control& c) { c.MoveRange(4, 1, 6, 1, 0, 6); })[0],
            "Sheet1!0-5,0-6");
  // Columns A:E sorted on row 1, largest first (25, 10, 5, 1, blank): each series names one
  // column and goes with it; rows sorted under the series leave them as they are.
  EXPECT_EQ(EditedSeries(in, out, [](Control& c) { c.SortRange(1, 1, 6, 5, false, -1, 0, 0); }),
            (std::vector<std::string>{"Sheet1!0-5,3-3", "Sheet1!0-5,1-1", "Sheet1!0-5,1-1",
                                      "Sheet1!0-5,0-0", "Sheet1!0-5,2-2"}));
  EXPECT_EQ(EditedSeries(in, out, [](Control& c) { c.SortRange(1, 1, 6, 5, true, -2, 0, 0); }),
            SeriesRefs(*Read(Load(in))));
}

// What `script` (Python, given LibreOffice's copy as its argument) prints of the copy that
// LibreOffice makes of `book` in `dir` as `format` (its extension, with a filter after ':').
std::string ReadLibreOfficeCopy(const fs::path& dir, const std::string& book,
                                const std::string& format, const std::string& script) {
  fs::create_directories(dir / "out");
  const std::string cmd = "cd '" + dir.string() +
                          "' && xvfb-run -a soffice -env:UserInstallation=file://" +
                          (dir / "profile").string() + " --headless --convert-to '" + format +
                          "' --outdir out " + book + " >/dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0) return "LibreOffice failed";
  const fs::path copy =
      dir / "out" / (fs::path(book).stem().string() + "." + format.substr(0, format.find(':')));
  int status = 0;
  const std::string out =
      Shell("/usr/bin/python3 -c \"" + script + "\" '" + copy.string() + "' 2>&1", status);
  return status == 0 ? out : "failed: " + out;
}

TEST(CarriedDrawings, LibreOfficeDrawsTheMovedSeriesFromTheirNewCells) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "LibreOffice (soffice) is not installed; scripts/install-deps.sh installs it";
  const fs::path dir = Scratch("lo-moved-series");
  fs::create_directories(dir);
  EditedSeries(Corpus("poi-WithThreeCharts.xls"), dir / "moved.xls",
               [](Control& c) { c.MoveRange(1, 4, 6, 5, 0, 2); });
  // Every range its charts draw from, as it reads them (titles given as text left out).
  EXPECT_EQ(ReadLibreOfficeCopy(
                dir, "moved.xls", "xlsx:Calc MS Excel 2007 XML",
                "import sys,re,zipfile; z=zipfile.ZipFile(sys.argv[1]); "
                "print(' '.join(sorted(set(f for n in z.namelist() if n.startswith('xl/charts/chart') "
                "for f in re.findall('<c:f>([^<]*)</c:f>', z.read(n).decode()) if '!' in f))))"),
            "Sheet1!$A$1:$A$6 Sheet1!$B$1:$B$6 Sheet1!$F$1:$F$6 Sheet1!$G$1:$G$6\n");
  fs::remove_all(dir);
}

// The source range of the first list box on a worksheet, as "row1-row2,col1-col2".
std::string ListSource(const Workbook& book) {
  for (int i = 1; i <= book.SheetCount(); ++i)
    for (const CarriedShape& d : book.GetSheet(i).Features().drawings)
      for (const CarriedShape::Part& p : d.parts) {
        const Bytes& b = p.record.body;
        if (p.record.id != 0x005D || b.size() < 22 || Get16(b.data() + 4) != 0x12) continue;
        // Common data, then the scroll bar's data, then the list's data with its range.
        for (std::size_t at = 22; at + 21 <= b.size(); at += 4 + Get16(b.data() + at + 2)) {
          if (Get16(b.data() + at) != 0x13) continue;
          const std::uint8_t* t = b.data() + at + 12;
          if (t[0] != 0x25) return "not an area";
          return std::to_string(Get16(t + 1)) + "-" + std::to_string(Get16(t + 3)) + "," +
                 std::to_string(Get16(t + 5) & 0xFF) + "-" + std::to_string(Get16(t + 7) & 0xFF);
        }
      }
  return "none";
}

// poi-47701.xls with a list filled from H10:H13: two rows inserted above, its column's cells
// moved one column right and one of its rows deleted, saved to `out`.
void EditListBox(const fs::path& out) {
  Control c;
  short type = 0;
  c.ReadFile(Corpus("poi-47701.xls").string(), type);
  c.SetActiveSheet(1);
  c.InsertRange(2, -1, 3, -1, kShiftRows);
  c.MoveRange(1, 8, 20, 8, 0, 1);
  c.DeleteRange(13, -1, 13, -1, kShiftRows);
  c.WriteFile(out.string(), xls::kTypeBiff8);
}

TEST(CarriedDrawings, AListBoxKeepsItsSourceRangeThroughEditsAndASave) {
  const fs::path out = Scratch("list-box.xls");
  ASSERT_EQ(ListSource(*Read(Load(Corpus("poi-47701.xls")))), "9-12,7-7");  // H10:H13
  EditListBox(out);
  EXPECT_EQ(ListSource(*Read(Load(out))), "11-13,8-8");  // I12:I14
  ExpectConsistentDrawings(Load(out));
  // Another reader still opens what we wrote.
  int status = 0;
  const std::string opened = Shell("/usr/bin/python3 -c \"import sys,xlrd; "
                                   "print(xlrd.open_workbook(sys.argv[1]).nsheets)\" '" +
                                       out.string() + "' 2>&1",
                                   status);
  EXPECT_EQ(status, 0) << opened;
}

TEST(CarriedDrawings, LibreOfficeFillsTheEditedListBoxFromItsNewRange) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "LibreOffice (soffice) is not installed; scripts/install-deps.sh installs it";
  const fs::path dir = Scratch("lo-list-box");
  fs::create_directories(dir);
  EditListBox(dir / "list.xls");
  EXPECT_EQ(ReadLibreOfficeCopy(dir, "list.xls", "ods",
                                "import sys,re,zipfile; "
                                "print(' '.join(re.findall('source-cell-range=.([^\\x22]*)', "
                                "zipfile.ZipFile(sys.argv[1]).read('content.xml').decode())))"),
            "Sheet1.I12:Sheet1.I14\n");
  fs::remove_all(dir);
}

TEST(CarriedSheets, LibreOfficeReadsTheTabOrderAndTheMacrosWeWrote) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "LibreOffice (soffice) is not installed; scripts/install-deps.sh installs it";
  const fs::path dir = Scratch("lo-carried");
  fs::create_directories(dir / "out");
  OpenEditSave(Corpus("poi-12843-1.xls"), dir / "tabs.xls", [](Control& c) {
    c.MoveSheet(8, 1);
    c.DeleteSheets(7, 1);
  });
  OpenEditSave(Corpus("poi-SimpleMacro.xls"), dir / "macro.xls",
               [](Control& c) { c.InsertSheets(1, 1); });
  auto convert = [&](const std::string& file, const std::string& filter) {
    const std::string cmd = "cd '" + dir.string() + "' && xvfb-run -a soffice -env:UserInstallation=file://" +
                            (dir / "profile").string() + " --headless --convert-to '" + filter +
                            "' --outdir out " + file + " >/dev/null 2>&1";
    return std::system(cmd.c_str());
  };
  ASSERT_EQ(convert("tabs.xls", "xlsx:Calc MS Excel 2007 XML"), 0);
  ASSERT_EQ(convert("macro.xls", "xlsm:Calc MS Excel 2007 VBA XML"), 0);
  // Its copy lists the sheets, chart sheets among them, in the order we wrote.
  int status = 0;
  const std::string listed = Shell(
      "/usr/bin/python3 -c \"import sys,re,zipfile; "
      "w=zipfile.ZipFile(sys.argv[1]).read('xl/workbook.xml').decode(); "
      "print('|'.join(''.join(c if ord(c) < 128 else '?' for c in n) "
      "for n in re.findall('<sheet name=.([^\\x22]*).', w)))\" '" +
          (dir / "out" / "tabs.xlsx").string() + "' 2>&1",
      status);
  ASSERT_EQ(status, 0) << listed;
  std::string ours;
  for (const std::string& tab : Tabs(Load(dir / "tabs.xls")))
    ours += (ours.empty() ? "" : "|") + tab.substr(0, tab.rfind(':'));
  EXPECT_EQ(listed, ours + "\n");
  // It found the macros' project in what we wrote and keeps it in its own copy.
  const std::string vba = Shell(
      "/usr/bin/python3 -c \"import sys,zipfile; "
      "print('xl/vbaProject.bin' in zipfile.ZipFile(sys.argv[1]).namelist())\" '" +
          (dir / "out" / "macro.xlsm").string() + "' 2>&1",
      status);
  EXPECT_EQ(vba, "True\n");
  fs::remove_all(dir);
}

}  // namespace
