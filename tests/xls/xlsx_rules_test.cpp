// Conditional-format rules and filter criteria that only a package can express (colour scales,
// data bars, icon sets, top N, averages, text rules, duplicates, blanks, errors, time periods;
// many values, date groups, dynamic, colour and icon filters, three conditions): read from a
// workbook another program wrote, moved by inserted and deleted rows and columns, saved, and
// seen the same by that program; left out of an .xls only. Text the package must escape
// travels in cells, rule formulas and criteria. A workbook carrying parts only a package holds
// refuses an .xls save unless asked to leave them out.
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "support/scratch.h"
#include "support/shell.h"
#include "control/engine_error.h"
#include "control/xlsx/xlsx_autofilter.h"
#include "control/xlsx/xlsx_condfmt.h"
#include "control/xlsx/zip_package.h"
#include "corpus_support.h"

namespace {

namespace fs = std::filesystem;
using namespace engine;

fs::path Scratch(const std::string& name) { return ScratchFile("xlsx_rules", name); }

std::string RunPython(const std::string& script, const fs::path& file) {
  int status = 0;
  std::string out = RunPythonScript(script, Scratch("script.py"), file.string(), status);
  EXPECT_EQ(status, 0) << out;
  return out;
}

// Every kind of rule and criterion, written by openpyxl (argv[1]).
const char* kMake = R"py(
import sys
from openpyxl import Workbook
from openpyxl.formatting.rule import ColorScaleRule, DataBarRule, IconSetRule, Rule, CellIsRule
from openpyxl.styles import Font, PatternFill
from openpyxl.styles.differential import DifferentialStyle
from openpyxl.worksheet.filters import (FilterColumn, Filters, DateGroupItem, Top10, CustomFilters,
    CustomFilter, DynamicFilter, ColorFilter, IconFilter)
wb = Workbook(); ws = wb.active; ws.title = "Data"
for r in range(1, 21):
    for c in range(1, 9): ws.cell(r, c, "h%d" % c if r == 1 else (r * c) % 7)
bold = DifferentialStyle(font=Font(bold=True), fill=PatternFill("solid", bgColor="FFFFC7CE"))
cf = ws.conditional_formatting
cf.add("B2:B20", ColorScaleRule(start_type="min", start_color="FFF8696B", mid_type="percentile",
    mid_value=50, mid_color="FFFFEB84", end_type="max", end_color="FF63BE7B"))
cf.add("C2:C20", DataBarRule(start_type="num", start_value=1, end_type="percent", end_value=90,
    color="FF638EC6", showValue=False, minLength=5, maxLength=80))
cf.add("D2:D20", IconSetRule("4Arrows", "percent", [0, 25, 50, 75], showValue=False, reverse=True))
cf.add("E2:E20", Rule(type="top10", rank=3, bottom=True, percent=True, dxf=bold))
cf.add("E2:E20", Rule(type="aboveAverage", aboveAverage=False, equalAverage=True, stdDev=1,
    dxf=bold, stopIfTrue=True))
cf.add("F2:F20", Rule(type="containsText", operator="containsText", text="ab",
    formula=['NOT(ISERROR(SEARCH("ab",F2)))'], dxf=bold))
cf.add("F2:F20", Rule(type="notContainsText", operator="notContains", text="q",
    formula=['ISERROR(SEARCH("q",F2))'], dxf=bold))
cf.add("F2:F20", Rule(type="beginsWith", operator="beginsWith", text="x",
    formula=['LEFT(F2,LEN("x"))="x"'], dxf=bold))
cf.add("F2:F20", Rule(type="endsWith", operator="endsWith", text="z",
    formula=['RIGHT(F2,LEN("z"))="z"'], dxf=bold))
cf.add("G2:G20", Rule(type="duplicateValues", dxf=bold))
cf.add("G2:G20", Rule(type="uniqueValues", dxf=bold))
cf.add("G2:G20", Rule(type="containsBlanks", formula=['LEN(TRIM(G2))=0'], dxf=bold))
cf.add("G2:G20", Rule(type="notContainsErrors", formula=['NOT(ISERROR(G2))'], dxf=bold))
cf.add("H2:H20", Rule(type="timePeriod", timePeriod="last7Days",
    formula=['AND(TODAY()-FLOOR(H2,1)<=6,FLOOR(H2,1)<=TODAY())'], dxf=bold))
cf.add("H2:H20", CellIsRule(operator="greaterThan", formula=["5"], font=Font(italic=True)))
ws.auto_filter.ref = "A1:H20"
fc = ws.auto_filter.filterColumn
fc.append(FilterColumn(colId=0, filters=Filters(filter=["1", "2", "3", "5"])))
fc.append(FilterColumn(colId=1, filters=Filters(dateGroupItem=[
    DateGroupItem(year=2024, month=3, dateTimeGrouping="month")])))
fc.append(FilterColumn(colId=2, top10=Top10(top=True, percent=True, val=600)))
fc.append(FilterColumn(colId=3, dynamicFilter=DynamicFilter(type="aboveAverage", val=3.5)))
fc.append(FilterColumn(colId=4, colorFilter=ColorFilter(dxfId=0, cellColor=False)))
fc.append(FilterColumn(colId=5, iconFilter=IconFilter(iconSet="3Arrows", iconId=1)))
fc.append(FilterColumn(colId=6, customFilters=CustomFilters(_and=False, customFilter=[
    CustomFilter(operator="equal", val="1"), CustomFilter(operator="equal", val="2"),
    CustomFilter(operator="equal", val="4")])))
fc.append(FilterColumn(colId=7, filters=Filters(filter=["3"])))
wb._differential_styles.append(DifferentialStyle(fill=PatternFill("solid", bgColor="FF00B050")))
wb.save(sys.argv[1])
)py";

// What openpyxl sees of the rules and criteria of a workbook (argv[1]), in priority order.
const char* kSee = R"py(
import sys
from openpyxl import load_workbook
wb = load_workbook(sys.argv[1]); ws = wb["Data"]
rules = []
for cf in ws.conditional_formatting:
    for r in cf.rules: rules.append((r.priority, str(cf.sqref), r))
for p, sqref, r in sorted(rules, key=lambda x: x[0]):
    extra = ""
    if r.colorScale: extra = [(v.type, v.val) for v in r.colorScale.cfvo] + [c.rgb for c in r.colorScale.color]
    if r.dataBar: extra = ([(v.type, v.val) for v in r.dataBar.cfvo], r.dataBar.color.rgb,
        r.dataBar.minLength, r.dataBar.maxLength, r.dataBar.showValue)
    if r.iconSet: extra = (r.iconSet.iconSet, [(v.type, v.val) for v in r.iconSet.cfvo],
        r.iconSet.showValue, r.iconSet.reverse)
    fill = r.dxf.fill.bgColor.rgb if r.dxf and r.dxf.fill and r.dxf.fill.bgColor else None
    bold = int(bool(r.dxf and r.dxf.font and r.dxf.font.b))
    print("rule", p, sqref, r.type, r.operator, r.text, r.timePeriod, r.rank, r.percent, r.bottom,
          r.aboveAverage, r.equalAverage, r.stdDev, r.stopIfTrue, r.formula, bold, fill, extra)
af = ws.auto_filter
print("filter", af.ref)
for c in af.filterColumn:
    print("column", c.colId,
          (c.filters.filter, [(g.year, g.month, g.dateTimeGrouping) for g in c.filters.dateGroupItem]) if c.filters else None,
          (c.top10.top, c.top10.percent, c.top10.val) if c.top10 else None,
          (c.dynamicFilter.type, c.dynamicFilter.val) if c.dynamicFilter else None,
          c.colorFilter.cellColor if c.colorFilter else None,
          (c.iconFilter.iconSet, c.iconFilter.iconId) if c.iconFilter else None,
          [(f.operator, f.val) for f in c.customFilters.customFilter] if c.customFilters else None)
    if c.colorFilter:
        d = wb._differential_styles[c.colorFilter.dxfId]
        print("colour", d.fill.bgColor.rgb if d.fill else None)
)py";

std::vector<std::string> Lines(const std::string& text) { return OutputLines(text); }

// What openpyxl sees, with the ranges of the rules and the filter spelt as in the first file.
std::string Seen(const fs::path& file) { return RunPython(kSee, file); }

TEST(XlsxRules, EveryRuleAndCriterionKindSurvivesEditsAndASaveAsAnotherProgramSeesIt) {
  fs::path made = Scratch("made.xlsx"), moved = Scratch("moved.xlsx"), back = Scratch("back.xlsx");
  RunPython(kMake, made);
  Control c;
  short type = 0;
  c.ReadFile(made.string(), type);
  const SheetFeatures before = c.GetSheetFeatures(1);
  // Ten of the rules have no record; the comparison of H2:H20 has.
  std::size_t records = 0, extended = 0;
  for (const ConditionalFormat& cf : before.conditional) {
    records += cf.rules.size();
    extended += cf.extended.size();
  }
  EXPECT_EQ(records, 1u);
  EXPECT_EQ(extended, 14u);
  ASSERT_EQ(before.conditional.size(), 7u);
  const ExtendedRule& scale = before.conditional[0].extended.at(0);
  EXPECT_EQ(scale.type, "colorScale");
  ASSERT_EQ(scale.points.size(), 3u);
  EXPECT_EQ(scale.points[1].type, "percentile");
  EXPECT_EQ(scale.points[1].value, "50");
  EXPECT_EQ(scale.colors.at(2).rgb, "FF63BE7B");
  const ExtendedRule& bar = before.conditional[1].extended.at(0);
  EXPECT_EQ(bar.minLength, 5);
  EXPECT_EQ(bar.maxLength, 80);
  EXPECT_FALSE(bar.showValue);
  const ExtendedRule& icons = before.conditional[2].extended.at(0);
  EXPECT_EQ(icons.iconSet, "4Arrows");
  EXPECT_TRUE(icons.reverse);
  EXPECT_EQ(icons.points.size(), 4u);
  const ExtendedRule& top = before.conditional[3].extended.at(0);
  EXPECT_EQ(top.rank, 3);
  EXPECT_TRUE(top.bottom && top.percent && top.hasFormat && top.format.bold);
  const ExtendedRule& average = before.conditional[3].extended.at(1);
  EXPECT_TRUE(!average.aboveAverage && average.equalAverage && average.stopIfTrue);
  EXPECT_EQ(average.stdDev, 1);
  const ExtendedRule& text = before.conditional[4].extended.at(0);
  EXPECT_EQ(text.text, "ab");
  ASSERT_EQ(text.formulas.size(), 1u);
  EXPECT_FALSE(text.formulas[0].tokens.empty());  // its cells follow edits
  EXPECT_EQ(before.conditional[6].extended.at(0).timePeriod, "last7Days");
  ASSERT_EQ(before.conditional[6].priorities, std::vector<int>{15});
  EXPECT_EQ(before.filter.criteria.size(), 1u);  // one value of column H
  ASSERT_EQ(before.filter.extended.size(), 7u);
  EXPECT_TRUE(before.filter.extended[4].byColor);
  EXPECT_FALSE(before.filter.extended[4].cellColor);
  EXPECT_EQ(before.filter.extended[4].format.fill, 0x50B000u);

  // A row and a column inserted before everything move the rules, their formulas and the
  // criteria; deleted again, everything is as it was.
  c.InsertRange(1, -1, 1, -1, kShiftRows);
  c.InsertRange(-1, 1, -1, 1, kShiftColumns);
  const SheetFeatures& shifted = c.GetSheetFeatures(1);
  EXPECT_EQ(shifted.conditional[4].ranges[0], (CellRange{3, 7, 21, 7}));
  EXPECT_EQ(shifted.filter.range, (CellRange{2, 2, 21, 9}));
  EXPECT_EQ(shifted.filter.extended[0].column, 0);  // counted from the filter's first column
  c.WriteFile(moved.string(), 51);
  std::string seenMoved = Seen(moved);
  EXPECT_NE(seenMoved.find("rule 6 G3:G21 containsText containsText ab"), std::string::npos)
      << seenMoved;
  EXPECT_NE(seenMoved.find("['NOT(ISERROR(SEARCH(\"ab\",G3)))'] 1 FFFFC7CE"), std::string::npos)
      << seenMoved;
  EXPECT_NE(seenMoved.find("filter B2:I21"), std::string::npos) << seenMoved;
  c.DeleteRange(1, -1, 1, -1, kShiftRows);
  c.DeleteRange(-1, 1, -1, 1, kShiftColumns);
  EXPECT_TRUE(c.GetSheetFeatures(1) == before);

  // Saved as a package: read back by us the same, and by openpyxl the same as the original.
  c.WriteFile(back.string(), 51);
  Control again;
  again.ReadFile(back.string(), type);
  EXPECT_TRUE(again.GetSheetFeatures(1) == before);
  std::vector<std::string> original = Lines(Seen(made)), copy = Lines(Seen(back));
  EXPECT_EQ(copy, original);
  EXPECT_EQ(original.size(), 15u + 1u + 8u + 1u);

  // An .xls holds the comparison and the one-value criterion and leaves the rest out.
  fs::path xls = Scratch("rules.xls");
  c.WriteFile(xls.string(), 11);
  Control old;
  old.ReadFile(xls.string(), type);
  const SheetFeatures& o = old.GetSheetFeatures(1);
  ASSERT_EQ(o.conditional.size(), 1u);
  EXPECT_EQ(o.conditional[0].rules.size(), 1u);
  EXPECT_TRUE(o.conditional[0].extended.empty());
  EXPECT_EQ(o.filter.criteria.size(), 1u);
  EXPECT_TRUE(o.filter.extended.empty());
  EXPECT_TRUE(c.GetSheetFeatures(1) == before);  // the workbook itself keeps them all
  fs::remove_all(made.parent_path());
}

// A rule and a criterion that lack what their kind needs are not kept (a package holding them
// would not open); a deleted column takes its criterion and a deleted range its rules along.
TEST(XlsxRules, IncompleteRulesAreLeftOutAndDeletedCellsTakeTheirRulesAlong) {
  ExtendedRule scale;
  scale.type = "colorScale";
  scale.points = {{"min", "", true}, {"max", "", true}};
  EXPECT_FALSE(xlsx::IsCompleteRule(scale));  // no colours
  scale.colors = {{"FF000000", "", "", "", false}, {"", "3", "", "-0.25", false}};
  EXPECT_TRUE(xlsx::IsCompleteRule(scale));
  ExtendedRule between;
  between.type = "cellIs";
  between.op = "between";
  between.formulas = {{{}, "1"}};
  EXPECT_FALSE(xlsx::IsCompleteRule(between));
  ExtendedRule unknown;
  unknown.type = "sparkles";
  EXPECT_FALSE(xlsx::IsCompleteRule(unknown));

  SheetFeatures f;
  f.filter.on = true;
  f.filter.range = {1, 2, 10, 6};
  f.filter.extended = {{1, "<filters><filter val=\"1\"/></filters>", false, true, {}},
                       {3, "<iconFilter iconSet=\"3Arrows\" iconId=\"0\"/>", false, true, {}}};
  ExtendedRule rule = scale;
  f.conditional = {{{{2, 4, 10, 4}}, {}, {}, {rule}}};
  features::DeleteCols(f, 3, 1, 1, kMaxRow);  // column C: the filter's second column
  ASSERT_EQ(f.filter.extended.size(), 1u);
  EXPECT_EQ(f.filter.extended[0].column, 2);
  EXPECT_EQ(f.conditional[0].ranges[0], (CellRange{2, 3, 10, 3}));
  features::DeleteCols(f, 3, 1, 1, kMaxRow);
  EXPECT_TRUE(f.conditional.empty());
}

// Characters XML cannot carry travel as the package's escapes, and a literal escape-like text
// stays literal, in a cell, a rule's formula and a filter criterion alike.
TEST(XlsxRules, ControlCharactersRoundTripInCellsRuleFormulasAndCriteria) {
  const std::string odd = std::string("a\x01") + "b_x0041_\x1F" + "c";
  Control c;
  c.SetCellText(2, 1, odd);
  SheetFeatures f;
  f.filter.on = f.filter.named = true;
  f.filter.range = {1, 1, 5, 3};
  xlsx::FilterColumn column;
  column.column = 0;
  column.conditions = {{"notEqual", odd}};
  RecordBytes criterion;
  ASSERT_TRUE(xlsx::FilterToRecord(column, criterion));
  f.filter.criteria = {criterion};
  // Criteria only a package holds keep their escapes as read.
  f.filter.extended = {{2,
                        "<customFilters><customFilter val=\"_x0002_\"></customFilter>"
                        "<customFilter val=\"x\"></customFilter><customFilter val=\"y\">"
                        "</customFilter></customFilters>",
                        false,
                        true,
                        {}}};
  ExtendedRule text;
  text.type = "expression";
  text.formulas = {{{}, "A2=\"" + odd + "\""}};
  text.hasFormat = true;
  text.format.bold = text.format.hasBold = true;
  ExtendedRule contains;
  contains.type = "containsText";
  contains.op = "containsText";
  contains.text = odd;
  contains.formulas = {{{}, "NOT(ISERROR(SEARCH(\"" + odd + "\",A2)))"}};
  f.conditional = {{{{2, 1, 5, 1}}, {}, {}, {text, contains}}};
  c.SetSheetFeatures(f);
  fs::path file = Scratch("odd.xlsx");
  c.WriteFile(file.string(), 51);
  Control back;
  short type = 0;
  back.ReadFile(file.string(), type);
  EXPECT_EQ(back.GetCellText(2, 1), odd);
  const SheetFeatures& g = back.GetSheetFeatures(1);
  EXPECT_TRUE(g.filter == f.filter);
  ASSERT_EQ(g.conditional.size(), 1u);
  ASSERT_EQ(g.conditional[0].extended.size(), 1u);  // the expression became a record rule
  EXPECT_EQ(g.conditional[0].extended[0].text, odd);
  ASSERT_EQ(g.conditional[0].rules.size(), 1u);
  xlsx::PackageRule rule;
  ASSERT_TRUE(
      xlsx::RecordToRule(back.Book(), g.conditional[0].ranges[0], g.conditional[0].rules[0], rule));
  EXPECT_EQ(rule.formulas, std::vector<std::string>{"A2=\"" + odd + "\""});
  std::string formula;
  const RuleFormula& tokens = g.conditional[0].extended[0].formulas.at(0);
  ASSERT_TRUE(xlsx::DecodeRuleFormula(back.Book(), g.conditional[0].ranges[0], tokens.tokens.data(),
                                      tokens.tokens.size(), formula));
  EXPECT_EQ(formula, contains.formulas[0].text);
  fs::remove_all(file.parent_path());
}

}  // namespace

namespace {

// A workbook file cannot hold a package's pictures and charts: the save is refused naming
// them, the file already there stays, and a blob is refused alike; asked to, the save leaves
// them out.
TEST(XlsxRules, AnXlsSaveRefusesWhatOnlyAPackageHoldsUnlessToldToLeaveItOut) {
  fs::path book = Scratch("chart.xlsx"), xls = Scratch("chart.xls");
  RunPython(R"py(
import sys
from openpyxl import Workbook
from openpyxl.chart import BarChart, Reference
wb = Workbook(); ws = wb.active
ws.append(["User", "Age"])
for i in range(4): ws.append(["u%d" % i, 20 + i])
c = BarChart(); c.add_data(Reference(ws, min_col=2, min_row=1, max_row=5), titles_from_data=True)
ws.add_chart(c, "D2")
wb.save(sys.argv[1])
)py",
            book);
  Control c;
  short type = 0;
  c.ReadFile(book.string(), type);
  std::ofstream(xls) << "kept";
  try {
    c.WriteFile(xls.string(), 11);
    ADD_FAILURE() << "the save went through";
  } catch (const EngineError& e) {
    EXPECT_NE(e.Description().find("charts"), std::string::npos) << e.Description();
    EXPECT_NE(e.Description().find("drawings"), std::string::npos) << e.Description();
  }
  std::ifstream in(xls);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), "kept");
  void* blob = nullptr;
  EXPECT_THROW(c.WriteToBlob(&blob, 0), EngineError);
  EXPECT_EQ(blob, nullptr);
  c.WriteFile(Scratch("chart.txt").string(), 3);  // text holds the values by definition
  c.WriteFile(Scratch("again.xlsx").string(), 51);
  c.SetDropUnsupported(true);
  c.WriteFile(xls.string(), 11);
  Control back;
  back.ReadFile(xls.string(), type);
  EXPECT_EQ(back.GetCellText(5, 2), "23");
  fs::remove_all(book.parent_path());
}

}  // namespace
