// .xlsx packages made by hand: the parts a reader must understand (shared formulas, inline
// strings, the 1904 system, styles), the sheet limits, and hostile or damaged packages, which
// must fail with a clear error and leave the open workbook as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/control.h"
#include "control/engine_error.h"
#include "control/model/workbook.h"
#include "control/xlsx/xlsx_file.h"
#include "control/xlsx/zip_package.h"

namespace {

using engine::xlsx::ZipWriter;

const char* kRels =
    R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";

std::string BookRels(const std::string& sheetTarget = "worksheets/sheet1.xml") {
  return R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target=")" +
         sheetTarget + R"("/></Relationships>)";
}

std::string Workbook(const std::string& extra = "") {
  return R"(<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
         R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)" +
         extra + R"(<sheets><sheet name="Data" sheetId="1" r:id="rId1"/></sheets></workbook>)";
}

std::string Sheet(const std::string& data) {
  return R"(<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" +
         data + "</sheetData></worksheet>";
}

engine::xls::Bytes Package(const std::string& sheet, const std::string& workbook = Workbook(),
                           const std::string& bookRels = BookRels()) {
  ZipWriter zip;
  zip.Add("_rels/.rels", kRels);
  zip.Add("xl/workbook.xml", workbook);
  zip.Add("xl/_rels/workbook.xml.rels", bookRels);
  zip.Add("xl/worksheets/sheet1.xml", sheet);
  return zip.Finish();
}

// Reads a package into a control; returns the engine's error text, empty on success.
std::string Read(engine::Control& c, const engine::xls::Bytes& bytes) {
  std::string path = testing::TempDir() + "/pkg_" + std::to_string(bytes.size()) + ".xlsx";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  short type = 0;
  try {
    c.ReadFile(path, type);
  } catch (const engine::EngineError& e) {
    std::remove(path.c_str());
    return e.Description();
  }
  std::remove(path.c_str());
  return {};
}

TEST(XlsxPackage, SharedFormulasInlineStringsAndValuesWithoutCachedResults) {
  engine::Control c;
  std::string data =
      R"(<row r="1"><c r="A1"><v>2</v></c><c r="B1"><f t="shared" ref="B1:B3" si="0">A1*10</f></c></row>)"
      R"(<row r="2"><c r="A2"><v>3</v></c><c r="B2"><f t="shared" si="0"/><v>999</v></c></row>)"
      R"(<row r="3"><c r="A3" t="inlineStr"><is><r><t>in</t></r><r><t>line</t></r></is></c>)"
      R"(<c r="B3"><f t="shared" si="0"/></c><c r="C3" t="b"><v>1</v></c><c r="D3" t="e"><v>#N/A</v></c></row>)"
      R"(<row><c><v>7</v></c><c t="str"><f>_xlfn.CONCAT("a","b")</f><v>ab</v></c></row>)";
  ASSERT_EQ(Read(c, Package(Sheet(data))), "");
  EXPECT_EQ(c.GetCellFormula(2, 2), "A2*10");
  EXPECT_EQ(c.GetCellFormattedText(1, 2), "20");
  EXPECT_EQ(c.GetCellFormattedText(2, 2), "30");  // computed, not the stale cached 999
  EXPECT_EQ(c.GetCellFormattedText(3, 1), "inline");
  EXPECT_EQ(c.GetCellFormattedText(3, 2), "#VALUE!");  // text times ten
  EXPECT_EQ(c.GetCellFormattedText(3, 3), "TRUE");
  EXPECT_EQ(c.GetCellFormattedText(3, 4), "#N/A");
  EXPECT_EQ(c.GetCellFormattedText(4, 1), "7");  // rows and cells without a reference follow on
  EXPECT_EQ(c.GetCellFormattedText(4, 2), "ab");
}

TEST(XlsxPackage, RunsOfAnInlineStringCountTheDecodedText) {
  engine::Control c;
  std::string data =
      R"(<row r="1"><c r="A1" t="inlineStr"><is><r><t>in</t></r><r><rPr><b/><sz val="14"/>)"
      R"(<color rgb="FF00FF00"/><rFont val="Tahoma"/></rPr><t>_x000D_li</t></r><r><t>ne</t></r>)"
      R"(<rPh sb="0" eb="1"><t>phonetic</t></rPh></is></c></row>)";
  ASSERT_EQ(Read(c, Package(Sheet(data))), "");
  auto runsOf = [](const engine::Control& control) {
    std::vector<std::pair<std::uint32_t, engine::Font>> out;
    const engine::Sheet& sheet = control.Book().Active();
    if (const engine::TextRuns* runs = sheet.Runs(*sheet.Find(1, 1)))
      for (const engine::TextRun& r : *runs)
        out.emplace_back(r.at, control.Book().Styles().GetFont(r.font));
    return out;
  };
  EXPECT_EQ(c.GetCellValue(1, 1).text, "in\rline");
  auto runs = runsOf(c);
  ASSERT_EQ(runs.size(), 2u);  // the plain first run is the cell's font anyway
  EXPECT_EQ(runs[0].first, 2u);
  EXPECT_EQ(runs[0].second, (engine::Font{"Tahoma", 280, true, false, false, false, 0x00FF00}));
  EXPECT_EQ(runs[1].first, 5u);  // "in", the decoded carriage return, "li"
  EXPECT_EQ(runs[1].second, c.Book().Styles().GetFont(0));

  std::string path = testing::TempDir() + "/inline_runs.xlsx";
  c.WriteFile(path, 51);
  engine::Control again;
  short type = 0;
  again.ReadFile(path, type);
  EXPECT_EQ(again.GetCellValue(1, 1).text, "in\rline");
  EXPECT_EQ(runsOf(again), runs);
  std::remove(path.c_str());
}

TEST(XlsxPackage, DatesOfThe1904SystemAndEscapedCharacters) {
  engine::Control c;
  std::string data = R"(<row r="1"><c r="A1" t="d"><v>2024-03-01T12:00:00</v></c>)"
                     R"(<c r="B1" t="inlineStr"><is><t>a_x000D_b</t></is></c></row>)";
  ASSERT_EQ(Read(c, Package(Sheet(data), Workbook(R"(<workbookPr date1904="1"/>)"))), "");
  EXPECT_DOUBLE_EQ(c.GetCellValue(1, 1).number, 43890.5);  // 1 March 2024 counted from 1904
  EXPECT_EQ(c.GetCellValue(1, 2).text, "a\rb");

  // Written back, the 1904 system and the character survive.
  std::string path = testing::TempDir() + "/escape.xlsx";
  c.WriteFile(path, 51);
  engine::Control again;
  short type = 0;
  again.ReadFile(path, type);
  EXPECT_DOUBLE_EQ(again.GetCellValue(1, 1).number, 43890.5);
  EXPECT_EQ(again.GetCellValue(1, 2).text, "a\rb");
  std::remove(path.c_str());
}

TEST(XlsxPackage, CellsBeyondTheSheetLimitsAreRefusedFormatsAreClipped) {
  engine::Control c;
  c.SetCellText(1, 1, "kept");
  std::string err = Read(c, Package(Sheet(R"(<row r="70000"><c r="A70000"><v>1</v></c></row>)")));
  EXPECT_NE(err.find("\"Data\""), std::string::npos) << err;
  EXPECT_NE(err.find("65,536"), std::string::npos) << err;
  EXPECT_EQ(c.GetCellText(1, 1), "kept");  // a failed read changes nothing

  err = Read(c, Package(Sheet(R"(<row r="1"><c r="IW1"><v>1</v></c></row>)")));
  EXPECT_NE(err.find("column 256"), std::string::npos) << err;

  // Only formats and definitions past the limits: clipped, and the cells inside are read.
  std::string clipped = R"(<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
                        R"(<dimension ref="A1:XFD1048576"/><cols><col min="1" max="16384" width="20" customWidth="1"/></cols>)"
                        R"(<sheetData><row r="1"><c r="A1"><v>5</v></c><c r="XFD1"/></row>)"
                        R"(<row r="1048576" hidden="1"/></sheetData></worksheet>)";
  EXPECT_EQ(Read(c, Package(clipped)), "");
  EXPECT_EQ(c.GetCellText(1, 1), "5");
}

TEST(XlsxPackage, HostileAndDamagedPackagesFailWithAClearError) {
  engine::Control c;
  c.SetCellText(1, 1, "kept");
  // Entity expansion: any document type declaration is refused.
  std::string laughs = R"(<?xml version="1.0"?><!DOCTYPE lolz [<!ENTITY lol "lol"><!ENTITY lol2 "&lol;&lol;&lol;&lol;">]>)"
                       R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>&lol2;</t></is></c></row></sheetData></worksheet>)";
  EXPECT_NE(Read(c, Package(laughs)).find("document type"), std::string::npos);
  // Malformed XML names the part.
  EXPECT_NE(Read(c, Package(Sheet("<row><c><v>1</row>"))).find("xl/worksheets/sheet1.xml"),
            std::string::npos);
  // A relationship that climbs out of the package leads nowhere.
  EXPECT_NE(Read(c, Package(Sheet(""), Workbook(), BookRels("../../../etc/passwd"))), "");
  // A zip bomb: an entry that inflates far beyond its stored size.
  std::string zeros(std::size_t{24} << 20, ' ');
  EXPECT_NE(Read(c, Package(Sheet(zeros))).find("inflates"), std::string::npos);
  // Not a zip at all behind the signature, and nesting without end.
  engine::xls::Bytes junk = {'P', 'K', 3, 4, 0, 0, 0, 0, 1, 2, 3};
  EXPECT_NE(Read(c, junk), "");
  std::string deep;
  for (int i = 0; i < 1000; ++i) deep += "<x>";
  EXPECT_NE(Read(c, Package(Sheet(deep))), "");
  // A shared string that is not there.
  EXPECT_NE(Read(c, Package(Sheet(R"(<row r="1"><c r="A1" t="s"><v>3</v></c></row>)"))), "");
  EXPECT_EQ(c.GetCellText(1, 1), "kept");
}

TEST(XlsxPackage, AWorkbookWithPartsWeDoNotModelIsNeverSavedWithoutThem) {
  ZipWriter zip;
  zip.Add("_rels/.rels", kRels);
  zip.Add("xl/workbook.xml", Workbook());
  zip.Add("xl/_rels/workbook.xml.rels", BookRels());
  zip.Add("xl/worksheets/sheet1.xml", Sheet(R"(<row r="1"><c r="A1"><v>1</v></c></row>)"));
  zip.Add("xl/charts/chart1.xml", "<chartSpace/>");
  engine::Control c;
  ASSERT_EQ(Read(c, zip.Finish()), "");
  std::string path = testing::TempDir() + "/chart.xlsx";
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fputs("original", f);
    std::fclose(f);
  }
  try {
    c.WriteFile(path, 51);
    ADD_FAILURE() << "a chart would have been dropped";
  } catch (const engine::EngineError& e) {
    EXPECT_NE(e.Description().find("xl/charts/chart1.xml"), std::string::npos);
  }
  std::FILE* f = std::fopen(path.c_str(), "rb");
  char buf[16] = {};
  std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  EXPECT_STREQ(buf, "original");  // the file on disk is untouched
  std::remove(path.c_str());
}

TEST(CsvText, SeparatorQuotesAndLineBreaks) {
  engine::Control c;
  auto readCsv = [&](const std::string& text) {
    std::string path = testing::TempDir() + "/t.csv";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    short type = 6;
    c.ReadFile(path, type);
    std::remove(path.c_str());
    return type;
  };
  EXPECT_EQ(readCsv("\xEF\xBB\xBFname,\"a,b\",\"say \"\"hi\"\"\"\r\n1,\"two\r\nlines\",3\r\n"), 6);
  EXPECT_EQ(c.GetCellText(1, 2), "a,b");
  EXPECT_EQ(c.GetCellText(1, 3), "say \"hi\"");
  EXPECT_EQ(c.GetCellValue(2, 2).text, "two\r\nlines");
  EXPECT_EQ(c.GetCellFormattedText(2, 3), "3");
  // A semicolon splits the first line into more fields than a comma: it is the separator.
  readCsv("a;b;\"c;d\"\n1,5;2;3\n");
  EXPECT_EQ(c.GetCellText(1, 3), "c;d");
  EXPECT_EQ(c.GetCellText(2, 1), "1,5");
  // Written as .csv: the separator, quotes and line breaks inside fields are quoted.
  std::string path = testing::TempDir() + "/w.csv";
  c.SetCellText(3, 1, "x,y");
  c.SetCellText(3, 2, "'007");  // text that would read back as a number
  c.WriteFile(path, 6);
  engine::Control again;
  short type = 6;
  again.ReadFile(path, type);
  EXPECT_EQ(again.GetCellText(3, 1), "x,y");
  EXPECT_EQ(again.GetCellValue(3, 2).text, "007");
  std::remove(path.c_str());
}

}  // namespace
