// What a sheet carries besides its cells, in .xlsx packages: read from a workbook another
// program wrote (openpyxl), kept through the names row's trip out and back and through a save,
// seen again by that program in our copy; every item of the model survives our own round trip;
// and damaged or oversized items are clipped or refused without harm.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/scratch.h"
#include "control/engine_error.h"
#include "control/xlsx/xlsx_autofilter.h"
#include "control/xlsx/xlsx_condfmt.h"
#include "control/xlsx/zip_package.h"
#include "corpus_support.h"
#include "support/shell.h"

namespace {

namespace fs = std::filesystem;
using namespace engine;

fs::path Scratch(const std::string& name) { return ScratchFile("xlsx_features", name); }


// Makes a workbook with openpyxl (argv[1]) carrying every kind of item.
const char* kMake = R"py(
import sys
from openpyxl import Workbook
from openpyxl.comments import Comment
from openpyxl.worksheet.datavalidation import DataValidation
from openpyxl.formatting.rule import CellIsRule, FormulaRule
from openpyxl.styles import Font, PatternFill
from openpyxl.worksheet.pagebreak import Break
wb = Workbook(); ws = wb.active; ws.title = "Data"
for r in range(1, 8):
    for c in range(1, 6): ws.cell(r, c, r * c if r > 1 else "h%d" % c)
ws.freeze_panes = "B2"
ws.sheet_view.zoomScale = 120
ws.sheet_view.showGridLines = False
ws.sheet_properties.tabColor = "FF0000"
ws.sheet_format.baseColWidth = 12
ws.merge_cells("A10:C10")
def dv(sqref, **kw):
    v = DataValidation(sqref=sqref, **kw); ws.add_data_validation(v); return v
dv("B2:B5", type="list", formula1='"red,green,blue"', allow_blank=True, showErrorMessage=True,
   errorStyle="warning", errorTitle="Colour", error="Pick one", promptTitle="Colour",
   prompt="From the list", showInputMessage=True)
dv("C2:C5 C7", type="whole", operator="between", formula1="1", formula2="10", showErrorMessage=True)
dv("D2:D5", type="decimal", operator="greaterThan", formula1="0.5")
dv("E2:E5", type="textLength", operator="lessThanOrEqual", formula1="8", errorStyle="information")
dv("F2:F5", type="custom", formula1="ISNUMBER(F2)")
dv("G2:G5", type="list", formula1="$A$2:$A$5", showDropDown=True)
dv("H2", type="date", operator="greaterThanOrEqual", formula1="DATE(2024,1,1)")
dv("A1", type="time", operator="lessThan", formula1="0.5")
ws["A1"].comment = Comment("Name of the user", "Ann")
ws["C3"].comment = Comment("Checked", "Bo")
ws["D2"].hyperlink = "https://example.org/a"
ws["D2"].hyperlink.tooltip = "Open it"
ws["D3"].hyperlink = "#Data!A1"
ws.conditional_formatting.add("C2:C5", CellIsRule(operator="greaterThan", formula=["5"],
    font=Font(bold=True, color="FFFF0000"), fill=PatternFill("solid", start_color="FFFFFF00", end_color="FFFFFF00")))
ws.conditional_formatting.add("A2:A5", FormulaRule(formula=["$C2>3"], font=Font(italic=True)))
ws.auto_filter.ref = "A1:E7"
from openpyxl.worksheet.filters import FilterColumn, CustomFilter, CustomFilters, Top10
ws.auto_filter.add_filter_column(1, ["4", "6"])
ws.auto_filter.filterColumn.append(FilterColumn(colId=2, customFilters=CustomFilters(
    _and=True, customFilter=[CustomFilter(operator="greaterThan", val="5"), CustomFilter(operator="notEqual", val="x*")])))
ws.auto_filter.filterColumn.append(FilterColumn(colId=3, top10=Top10(top=False, val=2)))
ws.page_setup.orientation = "landscape"
ws.page_setup.paperSize = 9
ws.page_setup.fitToWidth = 1
ws.page_setup.fitToHeight = 0
ws.sheet_properties.pageSetUpPr.fitToPage = True
ws.page_margins.left = 0.5; ws.page_margins.top = 1.25
ws.print_options.horizontalCentered = True
ws.print_options.gridLines = True
ws.oddHeader.center.text = "Title"
ws.oddFooter.right.text = "Page &P"
ws.row_breaks.append(Break(id=20))
ws.col_breaks.append(Break(id=3))
ws.print_area = "A1:E30"
ws.print_title_rows = "1:1"
ws.row_dimensions[3].outlineLevel = 1
ws.column_dimensions["D"].outlineLevel = 2
h = wb.create_sheet("Hidden"); h["A1"] = 1; h.sheet_state = "hidden"
v = wb.create_sheet("Very"); v["A1"] = 2; v.sheet_state = "veryHidden"
wb.save(sys.argv[1])
)py";

// Prints what openpyxl sees of the items of a workbook (argv[1]).
const char* kSee = R"py(
import sys
from openpyxl import load_workbook
wb = load_workbook(sys.argv[1])
for ws in wb.worksheets:
    print("sheet", ws.title, ws.sheet_state)
ws = wb["Data"]
print("freeze", ws.freeze_panes, "zoom", ws.sheet_view.zoomScale, "grid", int(bool(ws.sheet_view.showGridLines)))
print("tab", ws.sheet_properties.tabColor.rgb if ws.sheet_properties.tabColor else None)
for m in sorted(str(r) for r in ws.merged_cells.ranges): print("merge", m)
for v in ws.data_validations.dataValidation:
    print("dv", v.type, v.operator, str(v.sqref), v.formula1, v.formula2, v.errorStyle,
          int(bool(v.allow_blank)), int(bool(v.showDropDown)), v.errorTitle, v.error, v.promptTitle, v.prompt)
for row in ws.iter_rows():
    for c in row:
        if c.comment: print("comment", c.coordinate, c.comment.author, c.comment.text)
        if c.hyperlink: print("link", c.coordinate, c.hyperlink.target, c.hyperlink.location, c.hyperlink.tooltip)
for cf in ws.conditional_formatting:
    for r in cf.rules:
        print("cf", str(cf.sqref), r.type, r.operator, r.formula, int(bool(r.dxf and r.dxf.font and r.dxf.font.b)),
              int(bool(r.dxf and r.dxf.font and r.dxf.font.i)),
              r.dxf.fill.bgColor.rgb if r.dxf and r.dxf.fill else None)
print("filter", ws.auto_filter.ref)
for fc in ws.auto_filter.filterColumn:
    print("fc", fc.colId, fc.filters.filter if fc.filters else None,
          [(c.operator, c.val) for c in fc.customFilters.customFilter] if fc.customFilters else None,
          int(bool(fc.customFilters and fc.customFilters._and)), (fc.top10.top, fc.top10.val) if fc.top10 else None)
ps = ws.page_setup
print("page", ps.orientation, ps.paperSize, ps.fitToWidth, ps.fitToHeight, int(bool(ws.sheet_properties.pageSetUpPr.fitToPage)))
print("margins", ws.page_margins.left, ws.page_margins.top)
print("print", int(bool(ws.print_options.horizontalCentered)), int(bool(ws.print_options.gridLines)))
print("header", ws.oddHeader.center.text, "footer", ws.oddFooter.right.text)
print("breaks", [b.id for b in ws.row_breaks.brk], [b.id for b in ws.col_breaks.brk])
print("area", ws.print_area, "titles", ws.print_title_rows)
print("outline", ws.row_dimensions[3].outlineLevel, ws.column_dimensions["D"].outlineLevel)
print("base", ws.sheet_format.baseColWidth)
)py";

std::string RunPython(const char* script, const fs::path& file) {
  fs::path py = Scratch("script.py");
  std::ofstream(py) << script;
  int status = 0;
  std::string out =
      Shell("/usr/bin/python3 " + py.string() + " " + file.string() + " 2>&1", status);
  EXPECT_EQ(status, 0) << out;
  return out;
}

void ExpectLines(const std::string& out, std::initializer_list<const char*> lines) {
  for (const char* line : lines)
    EXPECT_NE(out.find(line), std::string::npos) << line << "\n" << out;
}

TEST(XlsxFeatures, AnotherProgramsWorkbookKeepsEveryItemThroughTheNamesRowAndASave) {
  ASSERT_EQ(std::system("/usr/bin/python3 -c 'import openpyxl' 2>/dev/null"), 0)
      << "python3-openpyxl is missing (scripts/install-deps.sh installs it)";
  fs::path made = Scratch("made.xlsx"), copy = Scratch("copy.xlsx");
  RunPython(kMake, made);
  Control c;
  short type = 0;
  c.ReadFile(made.string(), type);
  const SheetFeatures& f = c.GetSheetFeatures(1);
  EXPECT_TRUE(f.view.frozen);
  EXPECT_EQ(f.view.splitRow, 2);
  EXPECT_EQ(f.view.splitCol, 2);
  EXPECT_EQ(f.view.zoom, 120);
  EXPECT_FALSE(f.view.gridlines);
  EXPECT_EQ(f.view.tabColor, 10);  // the palette's red
  EXPECT_EQ(f.defaultColWidth, 12);
  ASSERT_EQ(f.merges.size(), 1u);
  EXPECT_EQ(f.merges[0], (CellRange{10, 1, 10, 3}));
  ASSERT_EQ(f.validations.size(), 8u);
  const ValidationRule& list = f.validations[0];
  EXPECT_EQ(list.type, ValidationType::List);
  EXPECT_EQ(list.items, (std::vector<std::string>{"red", "green", "blue"}));
  EXPECT_TRUE(list.formula1.empty());
  EXPECT_EQ(list.errorStyle, ErrorStyle::Warning);
  EXPECT_EQ(list.inputText, "From the list");
  EXPECT_EQ(f.validations[1].ranges, (std::vector<CellRange>{{2, 3, 5, 3}, {7, 3, 7, 3}}));
  EXPECT_EQ(f.validations[1].formula2, "10");
  EXPECT_EQ(f.validations[2].op, ValidationOperator::Greater);
  EXPECT_EQ(f.validations[3].errorStyle, ErrorStyle::Information);
  EXPECT_EQ(f.validations[4].formula1, "ISNUMBER(F2)");
  EXPECT_FALSE(f.validations[5].dropDown);
  EXPECT_EQ(f.validations[7].type, ValidationType::Time);
  ASSERT_EQ(f.comments.size(), 2u);
  EXPECT_EQ(f.comments[0].author, "Ann");
  EXPECT_EQ(f.comments[0].text, "Name of the user");
  ASSERT_EQ(f.links.size(), 2u);
  EXPECT_EQ(f.links[0].kind, LinkKind::Url);
  EXPECT_EQ(f.links[0].target, "https://example.org/a");
  EXPECT_EQ(f.links[0].tooltip, "Open it");
  EXPECT_EQ(f.links[1].kind, LinkKind::Cell);
  EXPECT_EQ(f.links[1].location, "Data!A1");
  ASSERT_EQ(f.conditional.size(), 2u);
  xlsx::PackageRule rule;
  ASSERT_TRUE(
      xlsx::RecordToRule(c.Book(), f.conditional[0].ranges[0], f.conditional[0].rules.at(0), rule));
  EXPECT_EQ(rule.op, "greaterThan");
  EXPECT_EQ(rule.formulas, std::vector<std::string>{"5"});
  EXPECT_TRUE(rule.format.bold);
  EXPECT_EQ(rule.format.fill, 0x00FFFFu);  // yellow
  EXPECT_EQ(f.filter.range, (CellRange{1, 1, 7, 5}));
  EXPECT_TRUE(f.filter.on);
  EXPECT_EQ(f.filter.criteria.size(), 3u);
  EXPECT_TRUE(f.page.landscape);
  EXPECT_EQ(f.page.paperSize, 9);
  EXPECT_TRUE(f.page.fitToPage);
  EXPECT_EQ(f.page.fitHeight, 0);
  EXPECT_DOUBLE_EQ(f.page.left, 0.5);
  EXPECT_TRUE(f.page.centerH);
  EXPECT_TRUE(f.page.printGridlines);
  EXPECT_EQ(f.page.rowBreaks, std::vector<int>{21});
  EXPECT_EQ(f.page.colBreaks, std::vector<int>{4});
  EXPECT_EQ(f.page.printArea, (std::vector<CellRange>{{1, 1, 30, 5}}));
  EXPECT_EQ(f.page.titleRow1, 1);
  EXPECT_EQ(f.page.titleRow2, 1);
  EXPECT_EQ(c.Book().GetSheet(1).GetRowAttr(3).outline, 1);
  EXPECT_EQ(c.Book().GetSheet(1).ColAttr(4).outline, 2);
  EXPECT_EQ(c.GetSheetVisibility(2), SheetVisibility::Hidden);
  EXPECT_EQ(c.GetSheetVisibility(3), SheetVisibility::VeryHidden);

  // The table takes the names row out on open and puts it back for a save: the items of row 1
  // (a comment, a validation, the filter's head) wait on the heading row and come back.
  SheetFeatures before = f;
  c.DeleteNamesRow();
  EXPECT_EQ(c.GetSheetFeatures(1).comments[0].row, 0);
  c.InsertNamesRow();
  EXPECT_TRUE(c.GetSheetFeatures(1) == before);
  c.WriteFile(copy.string(), 51);

  Control back;
  back.ReadFile(copy.string(), type);
  EXPECT_EQ(type, 51);
  EXPECT_TRUE(back.GetSheetFeatures(1) == before);
  std::string seen = RunPython(kSee, copy);
  ExpectLines(seen, {"sheet Data visible",
                     "sheet Hidden hidden",
                     "sheet Very veryHidden",
                     "freeze B2 zoom 120 grid 0",
                     "tab FFFF0000",
                     "merge A10:C10",
                     "dv list None B2:B5 \"red,green,blue\" None warning 1 0 Colour Pick one "
                     "Colour From the list",
                     "dv whole None C2:C5 C7 1 10 None",
                     "dv decimal greaterThan D2:D5 0.5",
                     "dv textLength lessThanOrEqual E2:E5 8 None information",
                     "dv custom None F2:F5 ISNUMBER(F2)",
                     "dv list None G2:G5 $A$2:$A$5 None None 0 1",
                     "dv date greaterThanOrEqual H2 DATE(2024,1,1)",
                     "dv time lessThan A1 0.5",
                     "comment A1 Ann Name of the user",
                     "comment C3 Bo Checked",
                     "link D2 https://example.org/a None Open it",
                     "link D3 None Data!A1",
                     "cf C2:C5 cellIs greaterThan ['5'] 1 0 FFFFFF00",
                     "cf A2:A5 expression None ['$C2>3'] 0 1 None",
                     "filter A1:E7",
                     "fc 1 ['4', '6'] None 0 None",
                     "fc 2 None [('greaterThan', '5'), ('notEqual', 'x*')] 1 None",
                     "fc 3 None None 0 (False, 2.0)",
                     "page landscape 9 None 0 1",
                     "margins 0.5 1.25",
                     "print 1 1",
                     "header Title footer Page &P",
                     "breaks [20] [3]",
                     "area ['$A$1:$E$30'] titles $1:$1",
                     "outline 1 2",
                     "base 12"});
  fs::remove_all(made.parent_path());
}

// Every item of the model, set through the facade, survives our own save and read.
TEST(XlsxFeatures, EveryItemOfTheModelSurvivesOurOwnRoundTrip) {
  SheetFeatures f;
  f.view.splitX = 1200;
  f.view.splitY = 600;
  f.view.paneRow = 5;
  f.view.paneCol = 3;
  f.view.activePane = 0;
  f.view.topRow = 2;
  f.view.leftCol = 2;
  f.view.headings = false;
  f.view.zeros = false;
  f.view.tabColor = 12;
  f.merges = {{3, 1, 3, 4}};
  f.comments = {{1, 1, "Ann Author", "Login name\nof the account", false},
                {2, 3, "Bo & Co <x>", "Age in whole years – ü _x0041_", true}};
  f.links = {{{2, 6, 2, 6}, LinkKind::Url, "https://example.org/a?b=1&c=2", "", "ann", "Open"},
             {{3, 6, 3, 6}, LinkKind::File, "../docs/a.txt", "", "", ""},
             {{4, 6, 4, 7}, LinkKind::Cell, "", "Sheet1!A1", "home", ""}};
  ValidationRule list;
  list.type = ValidationType::List;
  list.items = {"a \"quoted\" item", "b"};
  list.ranges = {{2, 2, 27, 2}};
  ValidationRule none;  // prompts alone
  none.inputTitle = "Note";
  none.inputText = "Anything goes";
  none.showError = false;
  none.ranges = {{2, 9, 2, 9}};
  ValidationRule between;
  between.type = ValidationType::Decimal;
  between.op = ValidationOperator::NotBetween;
  between.formula1 = "A1*2";
  between.formula2 = "100";
  between.ignoreBlank = false;
  between.ranges = {{5, 5, 6, 6}};
  f.validations = {list, none, between};
  f.validationPromptsHidden = true;
  f.filter.on = f.filter.named = true;
  f.filter.range = {1, 1, 7, 7};
  xlsx::FilterColumn column;
  column.column = 1;
  column.conditions = {{"greaterThanOrEqual", "2.5"}, {"notEqual", "Zoë*"}};
  column.joinAnd = true;
  RecordBytes criteria;
  ASSERT_TRUE(xlsx::FilterToRecord(column, criteria));
  column = {};
  column.column = 3;
  column.isList = true;
  column.blank = true;
  column.values = {"ann"};
  RecordBytes values;
  ASSERT_TRUE(xlsx::FilterToRecord(column, values));
  f.filter.criteria = {criteria, values};
  f.page.leftToRight = true;
  f.page.blackAndWhite = true;
  f.page.draft = true;
  f.page.usePageNumber = true;
  f.page.firstPage = 3;
  f.page.printerSettings = true;
  f.page.paperSize = 1;
  f.page.copies = 2;
  f.page.hRes = f.page.vRes = 300;
  f.page.marginsSet = true;
  f.page.headerMargin = 0.25;
  f.page.header = "&L<left> & right";
  f.page.centerV = true;
  f.page.printHeadings = true;
  f.page.printArea = {{1, 1, 5, 5}, {8, 1, 9, 2}};
  f.page.titleCol1 = 1;
  f.page.titleCol2 = 2;
  Control c;
  c.SetCellText(1, 1, "User");
  c.SetSheetFeatures(f);
  c.InsertSheets(2, 1);
  c.SetSheetName(2, "Other's");
  c.SetSheetVisibility(2, SheetVisibility::VeryHidden);
  c.SetActiveSheet(1);
  // A name of a sheet that is gone, and a built-in name the print area already gives: neither
  // may leave the workbook part malformed or naming the print area twice.
  std::uint32_t sheet1 = c.Book().GetSheet(1).Id();
  c.Book().Names().push_back({"Orphan", 999, "$A$1", nullptr});
  c.Book().Names().push_back({"_xlnm.Print_Area", sheet1, "Sheet1!$A$1:$B$2", nullptr});
  fs::path file = Scratch("own.xlsx");
  c.WriteFile(file.string(), 51);
  Control back;
  short type = 0;
  back.ReadFile(file.string(), type);
  EXPECT_EQ(back.GetSheetName(1), "Sheet1");  // a name like the new workbook's own first sheet
  const SheetFeatures& g = back.GetSheetFeatures(1);
  EXPECT_TRUE(g.view == f.view);
  EXPECT_EQ(g.merges, f.merges);
  EXPECT_TRUE(g.comments == f.comments);
  EXPECT_TRUE(g.links == f.links);
  ASSERT_EQ(g.validations.size(), f.validations.size());
  for (std::size_t i = 0; i < f.validations.size(); ++i)
    EXPECT_TRUE(g.validations[i] == f.validations[i]) << "rule " << i;
  EXPECT_TRUE(g.validationPromptsHidden);
  EXPECT_TRUE(g.filter == f.filter);
  EXPECT_TRUE(g.page == f.page);
  EXPECT_EQ(back.GetSheetVisibility(2), SheetVisibility::VeryHidden);
  EXPECT_TRUE(back.Book().Names().empty());
  // Saved again, the package is the same.
  fs::path again = Scratch("again.xlsx");
  back.WriteFile(again.string(), 51);
  std::ifstream x(file, std::ios::binary), y(again, std::ios::binary);
  std::string bx((std::istreambuf_iterator<char>(x)), {}),
      by((std::istreambuf_iterator<char>(y)), {});
  EXPECT_TRUE(bx == by) << "the second save differs from the first";
  fs::remove_all(file.parent_path());
}

// A conditional format read from an .xls keeps its condition, formulas and format in a package.
TEST(XlsxFeatures, ConditionalFormatsOfAWorkbookFileBecomeRulesOfAPackage) {
  Control c;
  short type = 0;
  c.ReadFile((corpus::Dir("fidelity") / "accounts.xls").string(), type);
  const SheetFeatures& f = c.GetSheetFeatures(1);
  ASSERT_FALSE(f.conditional.empty());
  xlsx::PackageRule rule;
  ASSERT_TRUE(
      xlsx::RecordToRule(c.Book(), f.conditional[0].ranges[0], f.conditional[0].rules[0], rule));
  // Written and read again, the rule says the same.
  RecordBytes again;
  ASSERT_TRUE(xlsx::RuleToRecord(c.Book(), f.conditional[0].ranges[0], rule.type, rule.op,
                                 rule.formulas, rule.format, again));
  xlsx::PackageRule back;
  ASSERT_TRUE(xlsx::RecordToRule(c.Book(), f.conditional[0].ranges[0], again, back));
  EXPECT_EQ(back.type, rule.type);
  EXPECT_EQ(back.op, rule.op);
  EXPECT_EQ(back.formulas, rule.formulas);
  EXPECT_EQ(back.format.bold, rule.format.bold);
  EXPECT_EQ(back.format.fontColor, rule.format.fontColor);
  EXPECT_EQ(back.format.fill, rule.format.fill);
  // Cut-off records are refused, never read past their end.
  RecordBytes cut = f.conditional[0].rules[0];
  for (std::size_t n = 0; n + 1 < cut.size(); ++n) {
    RecordBytes part(cut.begin(), cut.begin() + static_cast<long>(n));
    EXPECT_FALSE(xlsx::RecordToRule(c.Book(), f.conditional[0].ranges[0], part, back)) << n;
  }
}

const char* kRels =
    R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
const char* kBook =
    R"(<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<sheets><sheet name="Data" sheetId="1" r:id="rId1"/></sheets>)"
    R"(<definedNames><definedName name="_xlnm.Print_Area" localSheetId="0">Data!$A$1:$XFD$1048576</definedName>)"
    R"(<definedName name="_xlnm.Print_Titles" localSheetId="7">Data!$1:$2</definedName></definedNames></workbook>)";
const char* kBookRels =
    R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>)";
const char* kSheetRels =
    R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/comments" Target="../comments1.xml"/>)"
    R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink" Target="../../secret.xml"/></Relationships>)";

engine::xls::Bytes Package(const std::string& sheetTail, const std::string& comments) {
  xlsx::ZipWriter zip;
  zip.Add("_rels/.rels", kRels);
  zip.Add("xl/workbook.xml", kBook);
  zip.Add("xl/_rels/workbook.xml.rels", kBookRels);
  zip.Add(
      "xl/worksheets/sheet1.xml",
      R"(<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
      R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
      R"(<sheetView><pane xSplit="1e300" ySplit="-5" state="frozen" topLeftCell="ZZZZ9"/></sheetView>)"
      R"(<sheetFormatPr defaultColWidth="nan"/><sheetData><row r="1"><c r="A1"><v>1</v></c></row></sheetData>)" +
          sheetTail + "</worksheet>");
  zip.Add("xl/worksheets/_rels/sheet1.xml.rels", kSheetRels);
  if (!comments.empty()) zip.Add("xl/comments1.xml", comments);
  return zip.Finish();
}

std::string Read(Control& c, const engine::xls::Bytes& bytes) {
  fs::path path = Scratch("pkg.xlsx");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  short type = 0;
  try {
    c.ReadFile(path.string(), type);
  } catch (const EngineError& e) {
    return e.Description();
  }
  return {};
}

TEST(XlsxFeatures, ItemsBeyondTheSheetAreClippedAndDamagedPartsRefused) {
  Control c;
  std::string tail =
      R"(<autoFilter ref="A1:XFD9"/><mergeCells><mergeCell ref="A2:XFD1048576"/><mergeCell ref="ZZZZ1:ZZZZ2"/>)"
      R"(<mergeCell ref="nonsense"/><mergeCell ref="B3"/></mergeCells>)"
      R"(<conditionalFormatting sqref="A1:A3"><cfRule type="dataBar" priority="1"/>)"
      R"(<cfRule type="cellIs" operator="between" priority="2"><formula>1</formula></cfRule></conditionalFormatting>)"
      R"(<dataValidations><dataValidation type="whole" sqref="A70000 B1:B100000"><formula1>1</formula1></dataValidation>)"
      R"(<dataValidation type="list" sqref="IW1"><formula1>"a"</formula1></dataValidation></dataValidations>)"
      R"(<hyperlinks><hyperlink ref="A1" r:id="rId2"/><hyperlink ref="A2" r:id="rId9"/><hyperlink ref="A3"/></hyperlinks>)"
      R"(<pageMargins left="-1" right="1e308" top="x" bottom="0.5" header="0.3" footer="0.3"/>)"
      R"(<pageSetup scale="100000" fitToHeight="-4"/><rowBreaks><brk id="-1"/><brk id="70000"/><brk id="9"/></rowBreaks>)"
      R"(<extLst><ext><x14:dataValidations xmlns:x14="urn:x14" xmlns:xm="urn:xm"><x14:dataValidation type="list">)"
      R"(<x14:formula1><xm:f>Lookup!$A$1:$A$3</xm:f></x14:formula1><xm:sqref>D2:D9</xm:sqref></x14:dataValidation>)"
      R"(<x14:dataValidation type="list"><x14:formula1><xm:f>1</xm:f></x14:formula1></x14:dataValidation>)"
      R"(</x14:dataValidations></ext></extLst>)";
  std::string comments =
      R"(<comments xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><authors><author>A</author></authors>)"
      R"(<commentList><comment ref="A1" authorId="5"><text><t>no author</t></text></comment>)"
      R"(<comment ref="A99999" authorId="0"><text><t>past the sheet</t></text></comment></commentList></comments>)";
  ASSERT_EQ(Read(c, Package(tail, comments)), "");
  const SheetFeatures& f = c.GetSheetFeatures(1);
  EXPECT_EQ(f.filter.range, (CellRange{1, 1, 9, kMaxCol}));
  EXPECT_EQ(f.merges, (std::vector<CellRange>{{2, 1, kMaxRow, kMaxCol}}));
  EXPECT_TRUE(f.conditional.empty());   // a data bar, and a "between" missing its second formula
  ASSERT_EQ(f.validations.size(), 2u);  // the last of the extension list has no ranges
  EXPECT_EQ(f.validations[0].ranges, (std::vector<CellRange>{{1, 2, kMaxRow, 2}}));
  EXPECT_EQ(f.validations[1].ranges, (std::vector<CellRange>{{2, 4, 9, 4}}));
  EXPECT_EQ(f.validations[1].formula1, "Lookup!$A$1:$A$3");
  EXPECT_TRUE(f.links.empty());  // an internal part, a missing relationship, no location
  EXPECT_DOUBLE_EQ(f.page.left, 0.75);
  EXPECT_DOUBLE_EQ(f.page.right, 0.75);
  EXPECT_EQ(f.page.scale, 400);
  EXPECT_EQ(f.page.rowBreaks, std::vector<int>{10});
  EXPECT_EQ(f.page.printArea, (std::vector<CellRange>{{1, 1, kMaxRow, kMaxCol}}));
  EXPECT_EQ(f.page.titleRow1, -1);  // named for a sheet that is not there
  EXPECT_EQ(f.view.splitCol, kMaxCol);
  EXPECT_EQ(f.view.splitRow, 0);
  ASSERT_EQ(f.comments.size(), 1u);
  EXPECT_EQ(f.comments[0].author, "");
  // Written, it reads back the same.
  fs::path file = Scratch("clipped.xlsx");
  c.WriteFile(file.string(), 51);
  Control back;
  short type = 0;
  back.ReadFile(file.string(), type);
  EXPECT_TRUE(back.GetSheetFeatures(1) == f);

  // Items nested inside the text of others (no writer makes them, a hostile file may): read
  // without touching freed memory, whatever comes of them.
  std::string nestedTail,
      nestedComments =
          R"(<comments><authors><author>a<author>b<author>c</author></author></author></authors><commentList>)";
  for (int i = 1; i <= 40; ++i) {
    nestedTail +=
        R"(<dataValidation type="whole" sqref="A)" + std::to_string(i) + R"("><formula1>1)";
    nestedComments += R"(<comment ref="B)" + std::to_string(i) + R"(" authorId="0"><text><t>x)";
  }
  for (int i = 1; i <= 40; ++i) {
    nestedTail += "</formula1></dataValidation>";
    nestedComments += "</t></text></comment>";
  }
  nestedComments += "</commentList></comments>";
  Control nested;
  EXPECT_EQ(Read(nested,
                 Package("<dataValidations>" + nestedTail + "</dataValidations>", nestedComments)),
            "");
  EXPECT_EQ(nested.GetSheetFeatures(1).validations.size(), 40u);

  // A comments part that is not XML fails the read and leaves the open workbook as it was.
  SheetFeatures kept = f;
  std::string error = Read(c, Package("", "<comments><oops></comments>"));
  EXPECT_NE(error.find("comments1.xml"), std::string::npos) << error;
  EXPECT_TRUE(c.GetSheetFeatures(1) == kept);
  fs::remove_all(file.parent_path());
}

}  // namespace

// A workbook with a picture and a chart (openpyxl, argv[1]); argv[2] the picture file to make.
const char* kMakeDrawing = R"py(
import sys
from openpyxl import Workbook
from openpyxl.chart import BarChart, Reference
from openpyxl.drawing.image import Image
from PIL import Image as Picture
Picture.new("RGB", (8, 8), (200, 30, 30)).save(sys.argv[2])
wb = Workbook(); ws = wb.active; ws.title = "Sales"
for r, v in enumerate([3, 5, 2, 7], start=1): ws.cell(r, 1, "q%d" % r); ws.cell(r, 2, v)
chart = BarChart(); chart.add_data(Reference(ws, min_col=2, min_row=1, max_row=4))
ws.add_chart(chart, "D2")
ws.add_image(Image(sys.argv[2]), "D20")
wb.save(sys.argv[1])
)py";

// What openpyxl and LibreOffice find of the drawing in a workbook (argv[1]).
const char* kSeeDrawing = R"py(
import sys, subprocess, tempfile, zipfile, os
from openpyxl import load_workbook
ws = load_workbook(sys.argv[1])["Sales"]
print("charts", len(ws._charts), "images", len(ws._images))
d = tempfile.mkdtemp()
subprocess.run(["soffice", "-env:UserInstallation=file:///tmp/lo-xlsx-tests", "--headless",
                "--convert-to", "xlsx:Calc MS Excel 2007 XML", "--outdir", d, sys.argv[1]],
               capture_output=True, timeout=300)
out = os.path.join(d, os.path.basename(sys.argv[1]))
names = zipfile.ZipFile(out).namelist() if os.path.exists(out) else []
print("lo charts", sum(n.startswith("xl/charts/chart") for n in names),
      "lo media", sum(n.startswith("xl/media/") for n in names))
)py";

TEST(XlsxFeatures, PicturesAndChartsAreCarriedThroughASave) {
  ASSERT_EQ(std::system("/usr/bin/python3 -c 'import openpyxl, PIL' 2>/dev/null"), 0)
      << "python3-openpyxl or python3-pil is missing (scripts/install-deps.sh installs them)";
  fs::path made = Scratch("drawing.xlsx"), copy = Scratch("drawing-copy.xlsx");
  {
    fs::path py = Scratch("make.py");
    std::ofstream(py) << kMakeDrawing;
    int status = 0;
    std::string out = Shell("/usr/bin/python3 " + py.string() + " " + made.string() + " " +
                                Scratch("red.png").string() + " 2>&1",
                            status);
    ASSERT_EQ(status, 0) << out;
  }
  Control c;
  short type = 0;
  c.ReadFile(made.string(), type);
  c.SetCellText(5, 1, "q5");  // an edit beside the chart's data
  c.WriteFile(copy.string(), 51);
  Control back;
  back.ReadFile(copy.string(), type);
  EXPECT_EQ(back.GetCellFormattedText(5, 1), "q5");
  std::string seen = RunPython(kSeeDrawing, copy);
  EXPECT_NE(seen.find("charts 1 images 1"), std::string::npos) << seen;
  if (std::system("command -v soffice >/dev/null 2>&1") == 0) {
    EXPECT_NE(seen.find("lo charts 1 lo media 1"), std::string::npos) << seen;
  }

  // A renamed sheet leaves the chart's data references pointing nowhere: the save refuses and
  // the file on disk stays as it was.
  std::ifstream before(copy, std::ios::binary);
  std::string kept((std::istreambuf_iterator<char>(before)), {});
  back.SetSheetName(1, "Renamed");
  try {
    back.WriteFile(copy.string(), 51);
    ADD_FAILURE() << "a chart whose data sheet is gone was saved";
  } catch (const EngineError& e) {
    EXPECT_NE(e.Description().find("\"Sales\""), std::string::npos) << e.Description();
  }
  std::ifstream after(copy, std::ios::binary);
  EXPECT_TRUE(std::string((std::istreambuf_iterator<char>(after)), {}) == kept);
  // Deleting the sheet takes its chart with it, and the rest saves.
  back.InsertSheets(2, 1);
  back.DeleteSheets(1, 1);
  EXPECT_NO_THROW(back.WriteFile(copy.string(), 51));
  fs::remove_all(made.parent_path());
}
