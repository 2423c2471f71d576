// Conditional formats in the newer form a package keeps in a worksheet's extension list: a data
// bar's border, gradient, negative bars and axis linked to its rule by an id, an icon set of the
// newer sets with icons chosen one by one, and a rule whose formula names another sheet. Read
// from a workbook written as the newer spreadsheets write one, moved by edits, saved, read back
// the same by us, and found in our copy by openpyxl and LibreOffice with every id linking one
// rule to one extension. Damaged extension lists leave the rest of the sheet readable.
#include <cstdio>
#include <fstream>

#include "control/engine_error.h"
#include "control/xlsx/xlsx_header_footer.h"
#include "corpus_support.h"
#include "support/scratch.h"
#include "support/shell.h"

namespace {

namespace fs = std::filesystem;
using namespace engine;

fs::path Scratch(const std::string& name) { return ScratchFile("xlsx_newer_rules", name); }

std::string RunPython(const std::string& script, const std::string& args) {
  int status = 0;
  std::string out = RunPythonScript(script, Scratch("script.py"), args, status);
  EXPECT_EQ(status, 0) << out;
  return out;
}

// A workbook by openpyxl (argv[1]) with its first sheet's extension list (argv[2]) put in as a
// newer spreadsheet writes it; argv[3] is the id the data bar's own rule names.
const char* kMake = R"py(
import sys, zipfile, shutil
from openpyxl import Workbook
from openpyxl.formatting.rule import DataBarRule
wb = Workbook(); ws = wb.active; ws.title = "Data"
for r in range(1, 11):
    for c in range(1, 7): ws.cell(r, c, "h%d" % c if r == 1 else (r * c) % 9 - 3)
wb.create_sheet("Other")["A1"] = 4
ws.conditional_formatting.add("B2:B10", DataBarRule(start_type="min", end_type="max", color="FF638EC6"))
wb.save(sys.argv[1] + ".tmp")
link = ('<extLst><ext uri="{B025F937-C7B1-47D3-B67F-A62EFF666E3E}" '
        'xmlns:x14="http://schemas.microsoft.com/office/spreadsheetml/2009/9/main">'
        '<x14:id>%s</x14:id></ext></extLst></cfRule>' % sys.argv[3])
with zipfile.ZipFile(sys.argv[1] + ".tmp") as src, zipfile.ZipFile(sys.argv[1], "w") as dst:
    for item in src.infolist():
        data = src.read(item.filename)
        if item.filename == "xl/worksheets/sheet1.xml":
            text = data.decode()
            text = text.replace("</cfRule>", link, 1)
            text = text.replace("</worksheet>", open(sys.argv[2]).read() + "</worksheet>")
            data = text.encode()
        dst.writestr(item, data)
)py";

const char* kExtension = R"x(<extLst>
<ext uri="{78C0D931-6437-407d-A8EE-F0AAD7539E65}" xmlns:x14="http://schemas.microsoft.com/office/spreadsheetml/2009/9/main">
<x14:conditionalFormattings>
<x14:conditionalFormatting xmlns:xm="http://schemas.microsoft.com/office/excel/2006/main">
 <x14:cfRule type="dataBar" id="{5E0C52A4-1C2B-4E51-9A41-0B7B2E1D0F11}">
  <x14:dataBar minLength="0" maxLength="100" border="1" gradient="0" direction="leftToRight"
      negativeBarColorSameAsPositive="0" negativeBarBorderColorSameAsPositive="0" axisPosition="middle">
   <x14:cfvo type="autoMin"/><x14:cfvo type="autoMax"/>
   <x14:borderColor rgb="FF638EC6"/><x14:negativeFillColor rgb="FFFF0000"/>
   <x14:negativeBorderColor theme="5" tint="-0.25"/><x14:axisColor rgb="FF000000"/>
  </x14:dataBar>
 </x14:cfRule>
 <xm:sqref>B2:B10</xm:sqref>
</x14:conditionalFormatting>
<x14:conditionalFormatting xmlns:xm="http://schemas.microsoft.com/office/excel/2006/main">
 <x14:cfRule type="iconSet" priority="2" id="{5E0C52A4-1C2B-4E51-9A41-0B7B2E1D0F12}">
  <x14:iconSet iconSet="3Stars" showValue="0" custom="1">
   <x14:cfvo type="percent"><xm:f>0</xm:f></x14:cfvo>
   <x14:cfvo type="percent"><xm:f>33</xm:f></x14:cfvo>
   <x14:cfvo type="formula" gte="0"><xm:f>Other!$A$1</xm:f></x14:cfvo>
   <x14:cfIcon iconSet="3Flags" iconId="0"/><x14:cfIcon iconSet="NoIcons" iconId="0"/>
   <x14:cfIcon iconSet="3Stars" iconId="2"/>
  </x14:iconSet>
 </x14:cfRule>
 <xm:sqref>C2:C10</xm:sqref>
</x14:conditionalFormatting>
<x14:conditionalFormatting xmlns:xm="http://schemas.microsoft.com/office/excel/2006/main">
 <x14:cfRule type="expression" priority="3" stopIfTrue="1" id="{5E0C52A4-1C2B-4E51-9A41-0B7B2E1D0F13}">
  <xm:f>Other!$A$1&lt;D2</xm:f>
  <x14:dxf><font><b/><color rgb="FF9C0006"/></font><fill><patternFill><bgColor rgb="FFFFC7CE"/></patternFill></fill></x14:dxf>
 </x14:cfRule>
 <x14:cfRule type="dataBar" id="{5E0C52A4-1C2B-4E51-9A41-0B7B2E1D0FFF}">
  <x14:dataBar border="1"><x14:cfvo type="min"/><x14:cfvo type="max"/></x14:dataBar>
 </x14:cfRule>
 <xm:sqref>D2:D10 F2</xm:sqref>
</x14:conditionalFormatting>
</x14:conditionalFormattings>
</ext>
</extLst>)x";

const char* kLinkId = "{5E0C52A4-1C2B-4E51-9A41-0B7B2E1D0F11}";

fs::path Make(const std::string& name, const std::string& extension) {
  fs::path file = Scratch(name), ext = Scratch(name + ".ext");
  std::ofstream(ext) << extension;
  RunPython(kMake, file.string() + " " + ext.string() + " '" + kLinkId + "'");
  return file;
}

// What openpyxl and a plain look at the XML find in a workbook (argv[1]): the rules of the own
// list, every link id with the extension it names, and the extensions themselves.
const char* kSee = R"py(
import sys, zipfile, warnings
import xml.etree.ElementTree as ET
with warnings.catch_warnings(record=True) as caught:
    warnings.simplefilter("always")
    from openpyxl import load_workbook
    ws = load_workbook(sys.argv[1])["Data"]
    for cf in ws.conditional_formatting:
        for r in cf.rules:
            print("own", str(cf.sqref), r.type, r.priority, r.dataBar.color.rgb if r.dataBar else None)
    for w in caught:
        if "header or footer" in str(w.message): print("warning", w.message)
X14 = "{http://schemas.microsoft.com/office/spreadsheetml/2009/9/main}"
XM = "{http://schemas.microsoft.com/office/excel/2006/main}"
MAIN = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
root = ET.fromstring(zipfile.ZipFile(sys.argv[1]).read("xl/worksheets/sheet1.xml"))
links = [i.text for i in root.iter(X14 + "id")]
ids = {}
for fmt in root.iter(X14 + "conditionalFormatting"):
    for rule in fmt.findall(X14 + "cfRule"):
        ids[rule.get("id")] = ids.get(rule.get("id"), 0) + 1
        bar, icons = rule.find(X14 + "dataBar"), rule.find(X14 + "iconSet")
        print("ext", fmt.find(XM + "sqref").text, rule.get("type"), rule.get("priority"),
              "linked" if rule.get("id") in links else "own-id",
              [f.text for f in rule.findall(XM + "f")])
        if bar is not None:
            print(" bar", sorted(bar.attrib.items()), [c.get("type") for c in bar.findall(X14 + "cfvo")],
                  [(c.tag[len(X14):], c.get("rgb") or c.get("theme")) for c in bar if c.tag != X14 + "cfvo"])
        if icons is not None:
            print(" icons", sorted(icons.attrib.items()),
                  [(c.get("type"), c.get("gte"), [f.text for f in c.findall(XM + "f")]) for c in icons.findall(X14 + "cfvo")],
                  [(c.get("iconSet"), c.get("iconId")) for c in icons.findall(X14 + "cfIcon")])
        dxf = rule.find(X14 + "dxf")
        if dxf is not None:
            print(" dxf", [e.tag[len(MAIN):] for e in dxf.iter()][1:])
print("links", len(links), "linked", sum(1 for l in links if ids.get(l) == 1),
      "unique", all(n == 1 for n in ids.values()))
)py";

std::vector<std::string> Lines(const std::string& text) { return OutputLines(text); }

const ConditionalFormat* FormatOf(const SheetFeatures& f, const CellRange& first) {
  for (const ConditionalFormat& cf : f.conditional)
    if (!cf.ranges.empty() && cf.ranges[0] == first) return &cf;
  return nullptr;
}

TEST(XlsxNewerRules, ExtensionsAndRulesOfTheirOwnAreReadMovedAndSavedWithTheirIdsLinked) {
  fs::path made = Make("made.xlsx", kExtension), back = Scratch("back.xlsx");
  Control c;
  short type = 0;
  c.ReadFile(made.string(), type);
  const SheetFeatures before = c.GetSheetFeatures(1);

  // The data bar of the own list took its extension through the id.
  const ConditionalFormat* bars = FormatOf(before, {2, 2, 10, 2});
  ASSERT_NE(bars, nullptr);
  ASSERT_EQ(bars->extended.size(), 1u);
  const ExtendedRule& bar = bars->extended[0];
  EXPECT_FALSE(bar.extensionOnly);
  EXPECT_EQ(bar.colors.at(0).rgb, "FF638EC6");  // the own list's colour stays
  const RuleExtension& x = bar.ext;
  ASSERT_TRUE(x.present);
  EXPECT_TRUE(x.border);
  EXPECT_FALSE(x.gradient);
  EXPECT_FALSE(x.negativeSameFill);
  EXPECT_FALSE(x.negativeSameBorder);
  EXPECT_EQ(x.direction, "leftToRight");
  EXPECT_EQ(x.axisPosition, "middle");
  EXPECT_EQ(x.minLength, 0);
  EXPECT_EQ(x.maxLength, 100);
  ASSERT_EQ(x.points.size(), 2u);
  EXPECT_EQ(x.points[0].type, "autoMin");
  EXPECT_FALSE(x.hasColor[RuleExtension::kFill]);
  EXPECT_EQ(x.colors[RuleExtension::kNegativeFill].rgb, "FFFF0000");
  EXPECT_EQ(x.colors[RuleExtension::kNegativeBorder].theme, "5");
  EXPECT_EQ(x.colors[RuleExtension::kNegativeBorder].tint, "-0.25");
  EXPECT_EQ(x.colors[RuleExtension::kAxis].rgb, "FF000000");

  // The icon set and the rule naming another sheet exist only in the extension list.
  const ConditionalFormat* stars = FormatOf(before, {2, 3, 10, 3});
  ASSERT_NE(stars, nullptr);
  ASSERT_EQ(stars->extended.size(), 1u);
  const ExtendedRule& icons = stars->extended[0];
  EXPECT_TRUE(icons.extensionOnly);
  EXPECT_EQ(icons.iconSet, "3Stars");
  EXPECT_FALSE(icons.showValue);
  EXPECT_TRUE(icons.ext.custom);
  ASSERT_EQ(icons.ext.icons.size(), 3u);
  EXPECT_EQ(icons.ext.icons[1].set, "NoIcons");
  EXPECT_EQ(icons.ext.icons[2].id, 2);
  ASSERT_EQ(icons.ext.points.size(), 3u);
  EXPECT_EQ(icons.ext.points[2].value, "Other!$A$1");
  EXPECT_FALSE(icons.ext.points[2].gte);
  const ConditionalFormat* other = FormatOf(before, {2, 4, 10, 4});
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->ranges.size(), 2u);
  // The data bar beside it names no rule and has no priority of its own: it is left out.
  ASSERT_EQ(other->extended.size(), 1u);
  const ExtendedRule& expression = other->extended[0];
  EXPECT_TRUE(expression.extensionOnly && expression.stopIfTrue && expression.hasFormat);
  EXPECT_TRUE(expression.format.bold);
  EXPECT_EQ(expression.format.fill, 0xCEC7FFu);
  ASSERT_EQ(expression.formulas.size(), 1u);
  EXPECT_EQ(expression.formulas[0].text, "Other!$A$1<D2");

  // An inserted row moves every format; deleted again, all is as it was.
  c.InsertRange(1, -1, 1, -1, kShiftRows);
  EXPECT_NE(FormatOf(c.GetSheetFeatures(1), {3, 3, 11, 3}), nullptr);
  c.DeleteRange(1, -1, 1, -1, kShiftRows);
  EXPECT_TRUE(c.GetSheetFeatures(1) == before);

  // Saved and read back by us: the same.
  c.WriteFile(back.string(), 51);
  Control again;
  again.ReadFile(back.string(), type);
  EXPECT_TRUE(again.GetSheetFeatures(1) == before);

  // openpyxl reads the own list; each id of the own list names exactly one extension.
  std::vector<std::string> seen = Lines(RunPython(kSee, back.string()));
  std::vector<std::string> expected = {
      "own B2:B10 dataBar 1 FF638EC6",
      "ext B2:B10 dataBar None linked []",
      " bar [('axisPosition', 'middle'), ('border', '1'), ('direction', 'leftToRight'), "
      "('gradient', '0'), ('maxLength', '100'), ('minLength', '0'), "
      "('negativeBarBorderColorSameAsPositive', '0'), ('negativeBarColorSameAsPositive', '0')] "
      "['autoMin', 'autoMax'] [('borderColor', 'FF638EC6'), ('negativeFillColor', 'FFFF0000'), "
      "('negativeBorderColor', '5'), ('axisColor', 'FF000000')]",
      "ext C2:C10 iconSet 2 own-id []",
      " icons [('custom', '1'), ('iconSet', '3Stars'), ('showValue', '0')] "
      "[('percent', None, ['0']), ('percent', None, ['33']), ('formula', '0', ['Other!$A$1'])] "
      "[('3Flags', '0'), ('NoIcons', '0'), ('3Stars', '2')]",
      "ext D2:D10 F2 expression 3 own-id ['Other!$A$1<D2']",
      " dxf ['font', 'b', 'color', 'fill', 'patternFill', 'fgColor', 'bgColor']",
      "links 1 linked 1 unique True"};
  EXPECT_EQ(seen, expected);
  fs::remove_all(made.parent_path());
}

// Rules made in the model, not read: a format holding a rule of the own list with every colour
// of an extension beside a data bar that only the extension holds keeps both, in their order.
TEST(XlsxNewerRules, RulesOfBothFormsInOneFormatSurviveOurOwnRoundTrip) {
  Control c;
  c.SetCellText(2, 1, "5");
  ExtendedRule own;
  own.type = "dataBar";
  own.priority = 2;
  own.points = {{"min", "", true}, {"max", "", true}};
  own.colors = {{"FF00B050", "", "", "", false}};
  own.ext.present = true;
  own.ext.points = {{"autoMin", "", true}, {"num", "A1*2", false}};
  for (int role = 0; role < RuleExtension::kRoles; ++role) {
    own.ext.hasColor[role] = true;
    own.ext.colors[role].rgb = "FF00000" + std::to_string(role);
  }
  own.ext.direction = "rightToLeft";
  own.ext.negativeSameFill = true;
  ExtendedRule only = own;
  only.priority = 1;
  only.extensionOnly = true;
  only.points.clear();
  only.colors.clear();
  only.ext.axisPosition = "none";
  only.ext.hasColor[RuleExtension::kAxis] = false;
  only.ext.colors[RuleExtension::kAxis] = {};
  SheetFeatures f = c.GetSheetFeatures(1);
  f.conditional = {{{{2, 1, 9, 1}, {2, 3, 2, 3}}, {}, {}, {own, only}}};
  c.SetSheetFeatures(f);
  fs::path file = Scratch("model.xlsx");
  c.WriteFile(file.string(), 51);
  Control back;
  short type = 0;
  back.ReadFile(file.string(), type);
  const SheetFeatures& g = back.GetSheetFeatures(1);
  // The own list holds one format and the extension list another for the same ranges.
  ASSERT_EQ(g.conditional.size(), 2u);
  ASSERT_EQ(g.conditional[0].extended.size(), 1u);
  ASSERT_EQ(g.conditional[1].extended.size(), 1u);
  EXPECT_EQ(g.conditional[1].ranges, f.conditional[0].ranges);
  ExtendedRule readOwn = g.conditional[0].extended[0], readOnly = g.conditional[1].extended[0];
  EXPECT_EQ(readOwn.priority, 2);  // renumbered, in the order they had
  EXPECT_EQ(readOnly.priority, 1);
  EXPECT_TRUE(readOwn == own);
  EXPECT_TRUE(readOnly == only);
  fs::remove_all(file.parent_path());
}

// What LibreOffice keeps of a workbook (argv[1]) in its own save of it: the rules of the
// extension list and their ranges, without the ids it makes afresh.
const char* kThroughLibreOffice = R"py(
import sys, subprocess, tempfile, os, zipfile, re
d = tempfile.mkdtemp()
subprocess.run(["soffice", "-env:UserInstallation=file:///tmp/lo-xlsxext-tests", "--headless",
                "--convert-to", "xlsx:Calc MS Excel 2007 XML", "--outdir", d, sys.argv[1]],
               capture_output=True, timeout=300)
out = os.path.join(d, os.path.basename(sys.argv[1]))
text = zipfile.ZipFile(out).read("xl/worksheets/sheet1.xml").decode() if os.path.exists(out) else ""
for rule in re.findall(r"<x14:cfRule.*?</x14:cfRule>\s*(?:<xm:sqref>[^<]*</xm:sqref>)?", text, re.S):
    print(re.sub(r' id="[^"]*"', "", rule))
)py";

TEST(XlsxNewerRules, LibreOfficeKeepsOfOurCopyWhatItKeepsOfTheOriginal) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "no LibreOffice";
  fs::path made = Make("lo.xlsx", kExtension), back = Scratch("lo-back.xlsx");
  Control c;
  short type = 0;
  c.ReadFile(made.string(), type);
  c.WriteFile(back.string(), 51);
  std::string original = RunPython(kThroughLibreOffice, made.string());
  std::string copy = RunPython(kThroughLibreOffice, back.string());
  // It keeps the negative bar colour, the axis, the icon set and the formula at least.
  for (const char* needle : {"axisPosition=\"middle\"", "negativeFillColor rgb=\"FFFF0000\"",
                             "iconSet=\"3Stars\"", "Other!$A$1"})
    EXPECT_NE(original.find(needle), std::string::npos) << needle << "\n" << original;
  EXPECT_EQ(copy, original);
  fs::remove_all(made.parent_path());
}

// Damaged extension lists: what does not fit is left out and the rest of the sheet is read; XML
// that is not well-formed fails the read with a clear error.
TEST(XlsxNewerRules, DamagedExtensionListsAreLeftOutOrRefusedClearly) {
  const std::string head =
      "<extLst><ext uri=\"{78C0D931-6437-407d-A8EE-F0AAD7539E65}\" "
      "xmlns:x14=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/main\" "
      "xmlns:xm=\"http://schemas.microsoft.com/office/excel/2006/main\"><x14:conditionalFormattings>";
  const std::string tail = "</x14:conditionalFormattings></ext></extLst>";
  const std::vector<std::string> odd = {
      // points and formulas outside any rule, a rule outside any format
      "<x14:cfvo type=\"num\"><xm:f>1</xm:f></x14:cfvo><xm:f>A1</xm:f>"
      "<x14:cfRule type=\"iconSet\" priority=\"1\"><x14:iconSet><x14:cfvo type=\"min\"/>"
      "</x14:iconSet></x14:cfRule>",
      // rules nested in rules and points, a format without ranges
      "<x14:conditionalFormatting><x14:cfRule type=\"iconSet\" priority=\"1\"><x14:iconSet>"
      "<x14:cfvo type=\"num\"><x14:cfRule type=\"dataBar\" priority=\"2\"><xm:f>3</xm:f>"
      "<x14:cfvo/><x14:cfvo/><x14:cfvo/><x14:cfvo/><x14:cfvo/><x14:cfvo/><x14:cfvo/>"
      "</x14:cfRule><xm:f>2</xm:f></x14:cfvo></x14:iconSet></x14:cfRule></x14:conditionalFormatting>",
      // the link id on a rule of another type, custom icons fewer than points, no fill colour
      std::string("<x14:conditionalFormatting><x14:cfRule type=\"iconSet\" id=\"") + kLinkId +
          "\"><x14:iconSet><x14:cfvo type=\"min\"/><x14:cfvo type=\"max\"/></x14:iconSet>"
          "</x14:cfRule><x14:cfRule type=\"iconSet\" priority=\"2\"><x14:iconSet custom=\"1\">"
          "<x14:cfvo type=\"min\"/><x14:cfvo type=\"max\"/><x14:cfIcon iconSet=\"3Flags\"/>"
          "</x14:iconSet></x14:cfRule><x14:cfRule type=\"dataBar\" priority=\"3\"><x14:dataBar>"
          "<x14:cfvo type=\"min\"/><x14:cfvo type=\"max\"/></x14:dataBar></x14:cfRule>"
          "<x14:cfRule type=\"expression\" priority=\"4\"><x14:dxf><font><b/></font></x14:dxf>"
          "</x14:cfRule><xm:sqref>A1:ZZZ9999999 !!</xm:sqref></x14:conditionalFormatting>",
      // a formula far longer than any rule holds
      "<x14:conditionalFormatting><x14:cfRule type=\"expression\" priority=\"1\"><xm:f>" +
          std::string(200000, '1') + "</xm:f></x14:cfRule><xm:sqref>A1</xm:sqref>"
          "</x14:conditionalFormatting>"};
  for (std::size_t i = 0; i < odd.size(); ++i) {
    SCOPED_TRACE(i);
    fs::path file = Make("odd" + std::to_string(i) + ".xlsx", head + odd[i] + tail);
    Control c;
    short type = 0;
    ASSERT_NO_THROW(c.ReadFile(file.string(), type));
    EXPECT_EQ(c.GetCellText(2, 2), "1");  // the cells are all there
    const SheetFeatures& f = c.GetSheetFeatures(1);
    const ConditionalFormat* bars = FormatOf(f, {2, 2, 10, 2});
    ASSERT_NE(bars, nullptr);  // the own data bar, without an extension
    EXPECT_FALSE(bars->extended.at(0).ext.present);
    for (const ConditionalFormat& cf : f.conditional)
      for (const ExtendedRule& r : cf.extended)
        EXPECT_TRUE(r.formulas.empty() || r.formulas[0].text.size() < 100000);
    EXPECT_NO_THROW(c.WriteFile(Scratch("odd-back.xlsx").string(), 51));
  }
  // A format inside a rule of the own list ends that rule: what follows it is not the rule's.
  fs::path nested = Make("nested.xlsx",
                         "<conditionalFormatting sqref=\"A1\"><cfRule type=\"expression\" "
                         "priority=\"1\"><conditionalFormatting sqref=\"B1\"/><formula>1</formula>"
                         "<x14:id xmlns:x14=\"urn:x\">{1}</x14:id><dataBar/><cfvo type=\"min\"/>"
                         "</cfRule></conditionalFormatting>");
  {
    Control c;
    short type = 0;
    EXPECT_NO_THROW(c.ReadFile(nested.string(), type));
    EXPECT_NO_THROW(c.WriteFile(Scratch("nested-back.xlsx").string(), 51));
  }
  fs::path broken = Make("broken.xlsx", head + "<x14:conditionalFormatting><x14:cfRule>" + tail);
  Control c;
  short type = 0;
  try {
    c.ReadFile(broken.string(), type);
    ADD_FAILURE() << "a sheet that is not well-formed was read";
  } catch (const EngineError& e) {
    EXPECT_NE(e.Description().find("sheet1.xml"), std::string::npos) << e.Description();
  }
  fs::remove_all(broken.parent_path());
}

// Extension content the engine does not model (sparklines here) is not dropped without a word:
// a save is refused naming it, and the file on disk stays.
TEST(XlsxNewerRules, ASheetsSparklinesRefuseASaveRatherThanVanish) {
  fs::path made = Make("sparklines.xlsx",
                       "<extLst><ext uri=\"{05C60535-1F16-4fd2-B633-F4F36F0B64E0}\" "
                       "xmlns:x14=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/main\">"
                       "<x14:sparklineGroups xmlns:xm=\"http://schemas.microsoft.com/office/excel/"
                       "2006/main\"><x14:sparklineGroup><x14:sparklines><x14:sparkline>"
                       "<xm:f>Data!A2:F2</xm:f><xm:sqref>G2</xm:sqref></x14:sparkline>"
                       "</x14:sparklines></x14:sparklineGroup></x14:sparklineGroups></ext>"
                       "<ext uri=\"{01252117-D84E-4E92-8308-4BE1C098FCBB}\"/></extLst>");
  Control c;
  short type = 0;
  c.ReadFile(made.string(), type);
  std::ifstream before(made, std::ios::binary);
  std::string kept((std::istreambuf_iterator<char>(before)), {});
  for (int form : {51, 11}) {
    SCOPED_TRACE(form);
    try {
      c.WriteFile(made.string(), form);
      ADD_FAILURE() << "the save went through";
    } catch (const EngineError& e) {
      EXPECT_NE(e.Description().find("sparklines of sheet \"Data\""), std::string::npos)
          << e.Description();
    }
  }
  std::ifstream after(made, std::ios::binary);
  EXPECT_TRUE(std::string((std::istreambuf_iterator<char>(after)), {}) == kept);
  fs::remove_all(made.parent_path());
}

// Header and footer text in the order and form a package's readers parse: each section once,
// left, centre, right, text before any section in the centre.
TEST(XlsxNewerRules, HeaderAndFooterSectionsAreWrittenInTheOrderReadersParse) {
  EXPECT_EQ(xlsx::OrderedSections("Title"), "&CTitle");
  EXPECT_EQ(xlsx::OrderedSections("&RPage &P&LLeft"), "&LLeft&RPage &P");
  EXPECT_EQ(xlsx::OrderedSections("&Ca&Rr&Cb"), "&Cab&Rr");
  EXPECT_EQ(xlsx::OrderedSections("A && B&\"Arial,&Bold\"x"), "&CA && B&\"Arial,&Bold\"x");
  EXPECT_EQ(xlsx::OrderedSections("&L&C&R"), "");
  EXPECT_EQ(xlsx::OrderedSections("trailing &"), "&Ctrailing &");
  EXPECT_EQ(xlsx::OrderedSections("&\"unclosed"), "&C&\"unclosed");

  Control c;
  c.SetCellText(1, 1, "x");
  SheetFeatures f = c.GetSheetFeatures(1);
  f.page.header = "&BTitle";
  f.page.footer = "&RPage &P of &N&LLeft";
  c.SetSheetFeatures(f);
  fs::path file = Scratch("header.xlsx");
  c.WriteFile(file.string(), 51);
  std::string seen = RunPython(R"py(
import sys, warnings
warnings.simplefilter("always")
with warnings.catch_warnings(record=True) as caught:
    warnings.simplefilter("always")
    from openpyxl import load_workbook
    ws = load_workbook(sys.argv[1]).active
    print("header", repr(ws.oddHeader.center.text), "footer", repr(ws.oddFooter.left.text),
          repr(ws.oddFooter.right.text))
    print("warnings", [str(w.message) for w in caught if "header" in str(w.message)])
)py",
                               file.string());
  EXPECT_NE(seen.find("header '&BTitle' footer 'Left' 'Page &P of &N'"), std::string::npos)
      << seen;
  EXPECT_NE(seen.find("warnings []"), std::string::npos) << seen;
  fs::remove_all(file.parent_path());
}

}  // namespace
