// What a sheet carries besides cells survives a save in both workbook forms, follows edits
// made between an open and a save, is what an independent reader (xlrd) sees, and a malformed
// record of any of it is refused with a clear error.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/scratch.h"
#include "control/io/byte_io.h"
#include "control/xls/xls_file.h"
#include "corpus_support.h"
#include "support/shell.h"

namespace {

namespace fs = std::filesystem;
using namespace engine;

fs::path Scratch(const std::string& name) { return ScratchFile("sheet_features", name); }

// Every item a sheet can carry, as set through the facade.
SheetFeatures Sample() {
  SheetFeatures f;
  f.view.frozen = true;
  f.view.splitRow = 2;
  f.view.splitCol = 2;
  f.view.paneRow = 2;
  f.view.paneCol = 2;
  f.view.gridlines = false;
  f.view.zoom = 150;
  f.view.tabColor = 10;
  f.defaultColWidth = 12;
  f.merges = {{3, 1, 3, 4}, {5, 1, 6, 2}};
  f.comments = {{1, 1, "Ann Author", "Login name\nof the account", false},
                {1, 3, "Bo", "Age in whole years – ü", true}};
  f.links = {{{2, 6, 2, 6}, LinkKind::Url, "https://example.org/ann", "", "ann", "Open"},
             {{3, 6, 3, 6}, LinkKind::File, "../docs/a.txt", "", "", ""},
             {{4, 6, 4, 7}, LinkKind::Cell, "", "Sheet1!A1", "home", ""}};
  ValidationRule list;
  list.type = ValidationType::List;
  list.items = {"admin", "guest", "user"};
  list.inputTitle = "Role";
  list.inputText = "Pick a role";
  list.ranges = {{2, 2, 27, 2}};
  ValidationRule whole;
  whole.type = ValidationType::Whole;
  whole.formula1 = "1";
  whole.formula2 = "120";
  whole.errorStyle = ErrorStyle::Warning;
  whole.errorTitle = "Age";
  whole.errorText = "Age must be 1 to 120";
  whole.ignoreBlank = false;
  whole.ranges = {{2, 3, 27, 3}, {30, 3, 31, 3}};
  ValidationRule range;
  range.type = ValidationType::List;
  range.formula1 = "$H$1:$H$3";
  range.dropDown = false;
  range.ranges = {{2, 4, 4, 4}};
  ValidationRule date;
  date.type = ValidationType::Date;
  date.op = ValidationOperator::GreaterOrEqual;
  date.formula1 = "DATE(2024,1,1)";
  date.showInput = false;
  date.ranges = {{2, 5, 4, 5}};
  f.validations = {list, whole, range, date};
  // A "cell value equal to 1" rule with no format of its own.
  RecordBytes rule = {1, 3, 3, 0, 0, 0, 0, 0, 0x3F, 0, 0, 0, 0x1E, 1, 0};
  f.conditional = {{{{2, 3, 27, 3}}, {rule}}};
  f.filter.on = f.filter.named = true;
  f.filter.range = {1, 1, 7, 7};
  f.page.landscape = true;
  f.page.printerSettings = true;
  f.page.paperSize = 9;
  f.page.scale = 80;
  f.page.fitToPage = true;
  f.page.fitWidth = 1;
  f.page.fitHeight = 0;
  f.page.marginsSet = true;
  f.page.left = 0.5;
  f.page.top = 1.25;
  f.page.header = "&CAccounts";
  f.page.footer = "Page &P";
  f.page.centerH = true;
  f.page.printGridlines = true;
  f.page.rowBreaks = {20};
  f.page.colBreaks = {5};
  f.page.printArea = {{1, 1, 27, 7}};
  f.page.titleRow1 = f.page.titleRow2 = 1;
  return f;
}

// Item by item, so that a failure says which.
void ExpectSame(const SheetFeatures& a, const SheetFeatures& b) {
  EXPECT_EQ(a.visibility, b.visibility);
  EXPECT_TRUE(a.view == b.view);
  EXPECT_EQ(a.defaultColWidth, b.defaultColWidth);
  EXPECT_EQ(a.merges, b.merges);
  EXPECT_TRUE(a.comments == b.comments);
  EXPECT_TRUE(a.links == b.links);
  ASSERT_EQ(a.validations.size(), b.validations.size());
  for (std::size_t i = 0; i < a.validations.size(); ++i)
    EXPECT_TRUE(a.validations[i] == b.validations[i]) << "rule " << i;
  EXPECT_TRUE(a.conditional == b.conditional);
  EXPECT_TRUE(a.filter == b.filter);
  EXPECT_TRUE(a.page == b.page);
}

void Build(Control& c) {
  c.SetCellText(1, 1, "User");
  c.SetCellText(2, 1, "ann");
  c.SetSheetFeatures(Sample());
  c.InsertSheets(2, 1);
  c.SetSheetName(2, "Lookup");
  c.SetSheetVisibility(2, SheetVisibility::Hidden);
  c.SetActiveSheet(2);
  c.SetCellText(1, 1, "x");
  c.SetActiveSheet(1);
  RowAttr& row = c.Book().GetSheet(1).MutableRowAttr(4);
  row.outline = 2;
  row.collapsed = true;
  c.Book().GetSheet(1).ColAttr(3).outline = 1;
  c.SetColumnHidden(7, true);
}

TEST(FeatureFiles, EverythingASheetCarriesSurvivesASaveInBothForms) {
  Control c;
  Build(c);
  fs::path b8 = Scratch("all8.xls"), b5 = Scratch("all5.xls");
  c.WriteFile(b8.string(), 11);
  c.WriteFile(b5.string(), 4);
  Control back;
  short type = 0;
  back.ReadFile(b8.string(), type);
  ExpectSame(back.GetSheetFeatures(1), c.GetSheetFeatures(1));
  EXPECT_EQ(back.GetSheetName(1), "Sheet1");
  EXPECT_EQ(back.GetSheetVisibility(2), SheetVisibility::Hidden);
  EXPECT_EQ(back.Book().GetSheet(1).GetRowAttr(4).outline, 2);
  EXPECT_TRUE(back.Book().GetSheet(1).GetRowAttr(4).collapsed);
  EXPECT_EQ(back.Book().GetSheet(1).ColAttr(3).outline, 1);
  EXPECT_TRUE(back.GetColumnHidden(7));
  // Saved again, the file is the same.
  fs::path again = Scratch("again8.xls");
  back.WriteFile(again.string(), 11);
  std::ifstream x(b8, std::ios::binary), y(again, std::ios::binary);
  std::string bx((std::istreambuf_iterator<char>(x)), {}),
      by((std::istreambuf_iterator<char>(y)), {});
  EXPECT_EQ(bx.size(), by.size());
  EXPECT_TRUE(bx == by) << "the second save differs from the first";

  // The 5.0/95 form keeps what it has records for and drops the rest.
  Control five;
  five.ReadFile(b5.string(), type);
  EXPECT_EQ(type, 4);
  SheetFeatures want = c.GetSheetFeatures(1), got = five.GetSheetFeatures(1);
  EXPECT_EQ(got.view.splitRow, 2);
  EXPECT_EQ(got.view.zoom, 150);
  EXPECT_EQ(got.page, want.page);
  EXPECT_EQ(got.filter.range, want.filter.range);
  ASSERT_EQ(got.comments.size(), 2u);
  EXPECT_EQ(got.comments[1].text, want.comments[1].text);
  EXPECT_TRUE(got.links.empty());
  EXPECT_TRUE(got.validations.empty());
  EXPECT_TRUE(got.merges.empty());
  EXPECT_EQ(five.GetSheetVisibility(2), SheetVisibility::Hidden);
  EXPECT_EQ(five.Book().GetSheet(1).GetRowAttr(4).outline, 2);
  fs::remove_all(b8.parent_path());
}

// Reads a written workbook with xlrd and prints what it sees of the features.
const char* kScript = R"(
import sys, xlrd
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
for s in b.sheets():
    print("sheet", s.name, s.visibility)
    for m in sorted(s.merged_cells): print("merge", *m)
    print("frozen", int(bool(s.panes_are_frozen)), s.horz_split_pos, s.vert_split_pos)
    print("view", int(bool(s.show_grid_lines)), s.scl_mag_factor)
    for (r, c), n in sorted(s.cell_note_map.items()):
        print("note", r, c, n.author, int(bool(n.show)), n.text.replace("\n", "|"))
    t = lambda x: (x.decode("latin-1") if isinstance(x, bytes) else (x or "")).rstrip("\0")
    for h in s.hyperlink_list:
        print("link", h.frowx, h.fcolx, h.type, t(h.url_or_path), t(h.desc), t(h.textmark))
    for c, ci in sorted(s.colinfo_map.items()):
        if ci.hidden or ci.outline_level: print("col", c, int(ci.hidden), ci.outline_level)
    for r, ri in sorted(s.rowinfo_map.items()):
        if ri.outline_level: print("row", r, ri.outline_level, int(bool(ri.outline_group_starts_ends)))
)";


TEST(FeatureFiles, AnIndependentReaderSeesThem) {
  ASSERT_EQ(std::system("/usr/bin/python3 -c 'import xlrd' 2>/dev/null"), 0)
      << "python3-xlrd is missing (scripts/install-deps.sh installs it)";
  Control c;
  Build(c);
  fs::path file = Scratch("xlrd.xls"), script = Scratch("features.py");
  c.WriteFile(file.string(), 11);
  std::ofstream(script) << kScript;
  int status = 0;
  std::string out =
      Shell("/usr/bin/python3 " + script.string() + " " + file.string() + " 2>&1", status);
  ASSERT_EQ(status, 0) << out;
  for (const char* line :
       {"sheet Sheet1 0", "merge 2 3 0 4", "merge 4 6 0 2", "frozen 1 1 1", "view 0 150",
        "note 0 0 Ann Author 0 Login name|of the account", "note 0 2 Bo 1 Age in whole years – ü",
        "link 1 5 url https://example.org/ann ann ", "link 3 5 workbook  home Sheet1!A1",
        "col 2 0 1", "col 6 1 0", "row 3 2", "sheet Lookup 1"})
    EXPECT_NE(out.find(line), std::string::npos) << line << "\n" << out;
  EXPECT_NE(out.find("link 2 5 local file ../docs/a.txt"), std::string::npos) << out;
  fs::remove_all(file.parent_path());
}

TEST(FeatureFiles, FidelityWorkbookItemsFollowEditsBetweenOpenAndSave) {
  fs::path src = corpus::Dir("fidelity") / "accounts.xls";
  Control c;
  short type = 0;
  c.ReadFile(src.string(), type);
  const SheetFeatures f = c.GetSheetFeatures(1);
  ASSERT_EQ(f.validations.size(), 2u);
  EXPECT_EQ(f.validations[0].type, ValidationType::List);
  EXPECT_EQ(f.validations[0].ranges[0], (CellRange{2, 2, 27, 2}));
  EXPECT_EQ(f.validations[1].type, ValidationType::Whole);
  EXPECT_EQ(f.validations[1].errorText, "Age must be 1 to 120");
  EXPECT_EQ(f.validations[1].formula1, "1");
  EXPECT_EQ(f.validations[1].formula2, "120");
  ASSERT_EQ(f.comments.size(), 2u);
  EXPECT_EQ(f.comments[0].text, "Login name of the account");
  ASSERT_EQ(f.links.size(), 6u);
  EXPECT_EQ(f.links[0].target, "https://example.org/ann");
  EXPECT_EQ(f.filter.range, (CellRange{1, 1, 7, 7}));
  EXPECT_TRUE(f.page.landscape);
  EXPECT_EQ(f.conditional.size(), 1u);
  EXPECT_EQ(c.GetSheetVisibility(2), SheetVisibility::Hidden);
  EXPECT_EQ(c.GetSheetFeatures(3).merges.size(), 2u);
  // The list rule accepts what its source holds.
  EXPECT_TRUE(c.CheckEntry(2, 3, "31").ok);
  EXPECT_FALSE(c.CheckEntry(2, 3, "200").ok);

  // A row and a column inserted before everything: saved, read back, all moved by one.
  c.InsertRange(1, -1, 1, -1, kShiftRows);
  c.InsertRange(-1, 1, -1, 1, kShiftColumns);
  fs::path moved = Scratch("moved.xls");
  c.WriteFile(moved.string(), 11);
  Control m;
  m.ReadFile(moved.string(), type);
  const SheetFeatures& g = m.GetSheetFeatures(1);
  EXPECT_EQ(g.validations[0].ranges[0], (CellRange{3, 3, 28, 3}));
  EXPECT_EQ(g.comments[0].row, 2);
  EXPECT_EQ(g.comments[0].col, 2);
  EXPECT_EQ(g.links[5].range, (CellRange{8, 7, 8, 7}));
  EXPECT_EQ(g.filter.range, (CellRange{2, 2, 8, 8}));
  CellRange cf = f.conditional[0].ranges[0];
  EXPECT_EQ(g.conditional[0].ranges[0],
            (CellRange{cf.row1 + 1, cf.col1 + 1, cf.row2 + 1, cf.col2 + 1}));
  // And deleted again: back where the file had them.
  m.DeleteRange(1, -1, 1, -1, kShiftRows);
  m.DeleteRange(-1, 1, -1, 1, kShiftColumns);
  m.WriteFile(moved.string(), 11);
  Control back;
  back.ReadFile(moved.string(), type);
  ExpectSame(back.GetSheetFeatures(1), f);
  fs::remove_all(moved.parent_path());
}

// --- Malformed records ------------------------------------------------------------------------

struct StreamBuilder {
  xls::Bytes out;
  std::size_t sheetOffsetAt = 0;
  void Rec(unsigned id, const xls::Bytes& body) {
    xls::Put16(out, id);
    xls::Put16(out, static_cast<unsigned>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
  }
  void Bof(unsigned type) {
    xls::Bytes b;
    xls::Put16(b, 0x0600);
    xls::Put16(b, type);
    for (int i = 0; i < 3; ++i) xls::Put32(b, 0);
    Rec(0x0809, b);
  }
};

// A workbook of one sheet whose records are `records`.
xls::Bytes Workbook(const std::vector<std::pair<unsigned, xls::Bytes>>& records) {
  StreamBuilder s;
  s.Bof(0x0005);
  xls::Bytes bs;
  xls::Put32(bs, 0);
  xls::Put16(bs, 0);
  xls::Put8(bs, 1);
  xls::Put8(bs, 0);
  xls::Put8(bs, 'S');
  s.sheetOffsetAt = s.out.size() + 4;
  s.Rec(0x0085, bs);
  s.Rec(0x000A, {});
  xls::Set32(s.out, s.sheetOffsetAt, static_cast<std::uint32_t>(s.out.size()));
  s.Bof(0x0010);
  for (const auto& [id, body] : records) s.Rec(id, body);
  s.Rec(0x000A, {});
  return s.out;
}

TEST(FeatureFiles, MalformedRecordsAreRefusedWithAClearError) {
  LocaleSettings locale;
  short type = 0;
  auto refused = [&](const std::vector<std::pair<unsigned, xls::Bytes>>& records,
                     const char* what) {
    try {
      xls::ReadBiffStream(Workbook(records), &locale, type);
      ADD_FAILURE() << what << " was read";
    } catch (const EngineError& e) {
      EXPECT_NE(e.Description().find("damaged"), std::string::npos)
          << what << ": " << e.Description();
    }
  };
  using B = xls::Bytes;
  refused({{0x00E5, B{2, 0, 0, 0, 1, 0, 0, 0, 1, 0}}}, "merges claiming more than they hold");
  refused({{0x00E5, B{1, 0, 5, 0, 1, 0, 0, 0, 1, 0}}}, "a merge running backwards");
  refused({{0x01BE, B{3, 1, 0x0C, 0, 1, 0, 0}}}, "a cut-off validation rule");
  refused({{0x01BE, B{0x0F, 0, 0, 0}}}, "a validation rule of no known kind");
  refused({{0x01B8, B(12, 0)}}, "a hyperlink cut off");
  B odd = {0, 0, 0, 0, 0, 0, 0, 0};
  odd.resize(8 + 16, 0);
  xls::Put32(odd, 2);
  xls::Put32(odd, 0x01);  // a moniker follows, of a class nobody knows
  odd.resize(odd.size() + 16, 0xAB);
  refused({{0x01B8, odd}}, "a hyperlink of an unknown kind");
  refused({{0x01B1, B(12, 0)}}, "a conditional rule without its format");
  refused({{0x001C, B{0, 0, 0, 1, 0, 0, 1, 0, 5, 0}}}, "a comment cut off");
  refused({{0x001C, B{0xFF, 0xFF, 0x10, 0x01, 0, 0, 1, 0, 0, 0, 0, 0}}}, "a comment off the sheet");
  refused({{0x01B6, B(10, 0)}}, "a text box cut off");
  refused({{0x009E, B(6, 0)}}, "filter criteria cut off");
  refused({{0x001B, B{3, 0, 1, 0}}}, "page breaks cut off");
  refused({{0x00A1, B{9, 0, 100}}}, "a page setup cut off");
  refused({{0x0041, B{1, 0}}}, "a pane cut off");
  // A well-formed sheet of the same records reads.
  EXPECT_NO_THROW(
      xls::ReadBiffStream(Workbook({{0x00E5, B{1, 0, 0, 0, 1, 0, 0, 0, 1, 0}}}), &locale, type));
}

}  // namespace

// Row heights: the sheet's default, a height a person set and one the writing program fitted
// to the row come back from every workbook form as they went in, and xlrd reads the same
// heights with the right "custom" flag.
TEST(FeatureFiles, RowHeightsSurviveEveryForm) {
  Control c;
  c.SetCellText(1, 1, "a");
  Sheet& sheet = c.Book().GetSheet(1);
  sheet.Features().defaultRowHeight = 300;
  sheet.MutableRowAttr(2).heightTwips = 900;  // set by a person
  RowAttr& fitted = sheet.MutableRowAttr(3);
  fitted.heightTwips = 420;
  fitted.fittedHeight = true;
  RowAttr& hidden = sheet.MutableRowAttr(5);
  hidden.heightTwips = 600;
  hidden.hidden = true;
  const fs::path b8 = Scratch("heights8.xls"), b5 = Scratch("heights5.xls"),
                 x = Scratch("heights.xlsx");
  c.WriteFile(b8.string(), 11);
  c.WriteFile(b5.string(), 4);
  c.WriteFile(x.string(), 51);
  for (const fs::path& file : {b8, b5, x}) {
    SCOPED_TRACE(file.filename().string());
    Control back;
    short type = 0;
    back.ReadFile(file.string(), type);
    EXPECT_EQ(back.GetDefaultRowHeight(), 300);
    EXPECT_EQ(back.GetRowHeight(1), 0);
    EXPECT_EQ(back.GetRowHeight(2), 900);
    EXPECT_EQ(back.GetRowHeight(3), 420);
    EXPECT_FALSE(back.Book().GetSheet(1).GetRowAttr(2).fittedHeight);
    EXPECT_TRUE(back.Book().GetSheet(1).GetRowAttr(3).fittedHeight);
    EXPECT_EQ(back.GetRowHeight(4), 0);
    EXPECT_EQ(back.GetRowHeight(5), 600);
    EXPECT_TRUE(back.GetRowHidden(5));
  }
  // A new sheet keeps the standard height; rows that a program fitted to the default height
  // (LibreOffice writes one for every row) have no height of their own.
  Control plain;
  EXPECT_EQ(plain.GetDefaultRowHeight(), 0);
  short type = 0;
  plain.ReadFile((corpus::Dir("interop") / "login.libreoffice97.xls").string(), type);
  EXPECT_EQ(plain.GetDefaultRowHeight(), 300);
  for (int r = 1; r <= 6; ++r) EXPECT_EQ(plain.GetRowHeight(r), 0) << r;

  ASSERT_EQ(std::system("/usr/bin/python3 -c 'import xlrd' 2>/dev/null"), 0);
  const fs::path script = Scratch("heights.py");
  std::ofstream(script) << R"(
import sys, xlrd
s = xlrd.open_workbook(sys.argv[1], formatting_info=True).sheet_by_index(0)
print("default", s.default_row_height)
for r, i in sorted(s.rowinfo_map.items()):
    print("row", r, i.height, int(bool(i.height_mismatch)), int(bool(i.hidden)))
)";
  int status = 0;
  const std::string out =
      Shell("/usr/bin/python3 " + script.string() + " " + b8.string() + " 2>&1", status);
  ASSERT_EQ(status, 0) << out;
  for (const char* line : {"default 300", "row 1 900 1 0", "row 2 420 0 0", "row 4 600 1 1"})
    EXPECT_NE(out.find(line), std::string::npos) << line << "\n" << out;
  fs::remove_all(b8.parent_path());
}
