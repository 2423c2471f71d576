// A large sheet read in halves on two threads: where the rows may be cut, and that a workbook
// read in halves is, cell for cell, the workbook one parser reads, with the same errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "control/engine_error.h"
#include "control/model/workbook.h"
#include "control/xlsx/row_cut.h"
#include "control/xlsx/xlsx_file.h"
#include "control/xlsx/zip_package.h"

namespace {

using engine::EngineError;
using engine::xlsx::FindRowCut;
using engine::xlsx::XlsxReadOptions;

// ---- where the rows are cut ----

const std::string kHead =
    R"(<?xml version="1.0" encoding="UTF-8"?><x:worksheet xmlns:x="urn:main" xmlns:r="urn:rel" )"
    R"(mc:Ignorable="a"><x:sheetPr/><x:sheetData xmlns:q="urn:q">)";

TEST(RowCut, CutsOnlyBeforeANumberedRowDirectlyInSheetData) {
  // Candidates that are not rows of sheetData: in a comment, a CDATA section, a processing
  // instruction, a quoted '>' before a row's name, a row nested in a cell, a row without a
  // number or with one that is not digits; then the real one.
  std::string part = kHead +
                     R"(<x:row r="1"><x:c r="A1"><x:v>1</x:v></x:c></x:row>)"
                     R"(<!-- <x:row r="2"> -->)"
                     R"(<x:row r="3"><x:c r="A3" t="inlineStr"><x:is><x:t><![CDATA[<x:row r="4">]]>)"
                     R"(</x:t></x:is></x:c><?pi <x:row r="5"?><x:c r="B3" x:q='a>"<x:row r="6"'/>)"
                     R"(<x:c r="C3"><x:row r="7"/></x:c></x:row>)"
                     R"(<x:row><x:c><x:v>8</x:v></x:c></x:row><x:row r="x9"/><x:row r="0123456789"/>)";
  const std::size_t real = part.size();
  part += R"(<x:row
    r="10" spans="1:2"/></x:sheetData><x:row r="11"/></x:worksheet>)";

  auto cut = FindRowCut(part, part.find("<x:row r=\"3\"") + 1);
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->at, real);
  EXPECT_EQ(cut->opening,
            R"(<x:worksheet xmlns:x="urn:main" xmlns:r="urn:rel"><x:sheetData xmlns:q="urn:q">)");
  // Before the first row it cuts at the first row; past the last one nowhere, not even at the
  // row after sheetData's end.
  ASSERT_TRUE(FindRowCut(part, 0));
  EXPECT_EQ(FindRowCut(part, 0)->at, kHead.size());
  EXPECT_FALSE(FindRowCut(part, real + 1));
}

TEST(RowCut, AnythingUncertainGivesNoCut) {
  const std::string rows = R"(<row r="1"/><row r="2"/></sheetData></worksheet>)";
  const char* parts[] = {
      "",
      "\xFF\xFE<\0w\0",                                                  // UTF-16
      "<!DOCTYPE w><worksheet><sheetData><row r=\"1\"/></sheetData></worksheet>",
      "<worksheet><sheetData><!-- never closed <row r=\"1\"/>",
      "<worksheet><sheetData><c r=\"A1\" t=\"s><row r=\"1\"/></sheetData></worksheet>",
      "<worksheet><x><sheetData><row r=\"1\"/></sheetData></x></worksheet>",  // not in the root
  };
  for (const char* p : parts) EXPECT_FALSE(FindRowCut(p, 0)) << p;
  EXPECT_TRUE(FindRowCut("\xEF\xBB\xBF<worksheet><sheetData>" + rows, 0));  // a BOM is fine
}

// ---- a sheet read in halves ----

const std::string kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

engine::xls::Bytes Package(const std::vector<std::string>& sheets, const std::string& strings,
                           const std::string& sstAttrs = "") {
  engine::xlsx::ZipWriter zip;
  zip.Add("_rels/.rels",
          R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
          R"(<Relationship Id="rId1" Type=")" +
              kRel + R"(officeDocument" Target="xl/workbook.xml"/></Relationships>)");
  std::string book =
      R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
      R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets>)";
  std::string rels =
      R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
      R"(<Relationship Id="rIdS" Type=")" +
      kRel + R"(sharedStrings" Target="sharedStrings.xml"/>)";
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    std::string n = std::to_string(i + 1);
    book += R"(<sheet name="S)" + n + R"(" sheetId=")" + n + R"(" r:id="rId)" + n + R"("/>)";
    rels += R"(<Relationship Id="rId)" + n + R"(" Type=")" + kRel +
            R"(worksheet" Target="worksheets/sheet)" + n + R"(.xml"/>)";
    zip.Add("xl/worksheets/sheet" + n + ".xml", sheets[i]);
  }
  zip.Add("xl/workbook.xml", book + "</sheets></workbook>");
  zip.Add("xl/_rels/workbook.xml.rels", rels + "</Relationships>");
  zip.Add("xl/sharedStrings.xml",
          R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")" + sstAttrs +
              ">" + strings +
              "</sst>");
  return zip.Finish();
}

std::string Strings() {
  std::string s;
  for (int i = 0; i < 50; ++i) s += "<si><t>word" + std::to_string(i) + "_x000D_</t></si>";
  return s + "<si><r><t>ri</t></r><r><t>ch</t></r><rPh><t>no</t></rPh></si>";
}

// Every kind of cell and row a writer may give, with comments, CDATA and processing
// instructions between the rows; `p` prefixes every name.
std::string Sheet(int rows, const std::string& p, const std::string& inside = "",
                  const std::string& tail = "") {
  std::string s = "<?xml version=\"1.0\"?>\n<" + p + "worksheet xmlns" +
                  (p.empty() ? "" : ":" + p.substr(0, p.size() - 1)) +
                  "=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><" + p +
                  "sheetFormatPr defaultRowHeight=\"15\"/><" + p + "cols><" + p +
                  "col min=\"2\" max=\"3\" width=\"20\" customWidth=\"1\"/></" + p + "cols><" +
                  p + "sheetData>\n";
  auto cell = [&](int r, const char* col, const std::string& attrs, const std::string& body) {
    return "<" + p + "c r=\"" + col + std::to_string(r) + "\"" + attrs + ">" + body + "</" + p +
           "c>";
  };
  auto v = [&](const std::string& text) { return "<" + p + "v>" + text + "</" + p + "v>"; };
  for (int r = 1; r <= rows; ++r) {
    std::string n = std::to_string(r);
    if (r % 97 == 0) {  // empty rows, plain or with a format of their own
      s += "<" + p + "row r=\"" + n + "\"" + (r % 2 ? " hidden=\"1\"" : "") + "/>\n";
      continue;
    }
    s += "<" + p + "row r=\"" + n + "\"" + (r % 13 == 0   ? " ht=\"30\" customHeight=\"1\""
          : r % 17 == 0 ? " ht=\"18\""
                        : "") +
         ">";
    s += cell(r, "A", " t=\"s\"", v(std::to_string(r % 51)));
    s += cell(r, "B", r % 5 ? "" : " s=\"1\"", v(std::to_string(r) + "." + std::to_string(r % 7)));
    s += cell(r, "C", "", v(std::to_string(r * 37)));
    s += cell(r, "D", " t=\"inlineStr\"",
              "<" + p + "is><" + p + "t>in" + n + "&amp;_x0009_</" + p + "t></" + p + "is>");
    if (r == 2) {  // the anchor of a shared formula the rows below use
      s += cell(r, "E", "", "<" + p + "f t=\"shared\" ref=\"E2:E" + std::to_string(rows) +
                                "\" si=\"0\">C2*2</" + p + "f>" + v("74"));
    } else if (r > 2) {
      s += cell(r, "E", "", "<" + p + "f t=\"shared\" si=\"0\"/>" + v(std::to_string(r * 74)));
    }
    s += cell(r, "F", "", "<" + p + "f>SUM(B" + n + ":C" + n + ")</" + p + "f>");
    s += cell(r, "G", " t=\"b\"", v(r % 2 ? "1" : "0"));
    if (r % 11 == 0) s += cell(r, "H", " t=\"e\"", v("#DIV/0!"));
    if (r % 19 == 0) s += cell(r, "I", " t=\"str\"", v("x_x0041_"));
    if (r % 23 == 0) s += cell(r, "J", " t=\"d\"", v("2024-03-0" + std::to_string(r % 9 + 1)));
    s += "<" + p + "c>" + v("-" + n) + "</" + p + "c>";  // follows the cell before it
    s += "<" + p + "c t=\"inlineStr\"><" + p + "is><" + p + "t><![CDATA[<" + p + "row r=\"1\">" +
         "]]></" + p + "t></" + p + "is></" + p + "c>";
    s += "</" + p + "row>";
    if (r % 7 == 0) s += "<!-- <" + p + "row r=\"" + n + "\"> -->";
    if (r % 9 == 0) s += "<?keep <" + p + "row r=\"1\"?>";
    s += "\n";
    if (r == rows / 2) s += inside;
  }
  return s + "</" + p + "sheetData><" + p + "mergeCells count=\"1\"><" + p +
         "mergeCell ref=\"K1:L2\"/></" + p + "mergeCells>" + tail + "</" + p + "worksheet>";
}

std::unique_ptr<engine::Workbook> Read(const engine::xls::Bytes& bytes, const XlsxReadOptions& o) {
  static engine::LocaleSettings locale;
  return engine::xlsx::ReadXlsx(bytes.data(), bytes.size(), &locale, o);
}

XlsxReadOptions OneParser() {
  XlsxReadOptions o;
  o.halves.from = std::numeric_limits<std::size_t>::max();
  return o;
}

XlsxReadOptions Halves(double cutAt, XlsxReadOptions::Stats& stats) {
  XlsxReadOptions o;
  o.halves.from = 1;
  o.halves.cutAt = cutAt;
  o.stats = &stats;
  return o;
}

// Every cell, row and column of every sheet alike, and the two write the same package.
void ExpectSame(engine::Workbook& a, engine::Workbook& b, const std::string& what) {
  ASSERT_EQ(a.SheetCount(), b.SheetCount()) << what;
  for (int i = 1; i <= a.SheetCount(); ++i) {
    engine::Sheet& sa = a.GetSheet(i);
    engine::Sheet& sb = b.GetSheet(i);
    ASSERT_EQ(sa.RowAttrCount(), sb.RowAttrCount()) << what;
    for (int r = 1; r <= sa.RowAttrCount(); ++r)
      ASSERT_TRUE(sa.GetRowAttr(r) == sb.GetRowAttr(r)) << what << " row " << r;
    int cells = 0;
    for (int c = 1; c <= engine::kMaxCol; ++c) {
      ASSERT_EQ(sa.ColAttr(c).width, sb.ColAttr(c).width) << what;
      ASSERT_EQ(sa.Col(c).LastUsedRow(), sb.Col(c).LastUsedRow()) << what << " column " << c;
      for (int r = 1; r <= sa.Col(c).LastSlotRow(); ++r) {
        const engine::CellSlot* x = sa.Find(r, c);
        const engine::CellSlot* y = sb.Find(r, c);
        bool blankX = !x || x->IsBlank(), blankY = !y || y->IsBlank();
        ASSERT_EQ(blankX, blankY) << what << " R" << r << "C" << c;
        if (blankX) continue;
        ++cells;
        ASSERT_EQ(x->kind, y->kind) << what << " R" << r << "C" << c;
        ASSERT_EQ(x->style, y->style) << what << " R" << r << "C" << c;
        ASSERT_EQ(x->small, y->small) << what << " R" << r << "C" << c;
        if (x->kind == engine::CellKind::Number) {
          ASSERT_EQ(std::memcmp(&x->number, &y->number, sizeof(double)), 0) << what;
        }
        if (x->kind == engine::CellKind::Text) {
          ASSERT_EQ(sa.Text(*x), sb.Text(*y)) << what;
        }
        if (x->kind == engine::CellKind::Formula) {
          ASSERT_EQ(sa.Formula(*x).text, sb.Formula(*y).text) << what << " R" << r << "C" << c;
          ASSERT_TRUE(sa.Formula(*x).result == sb.Formula(*y).result) << what;
        }
      }
    }
    EXPECT_GT(cells, 0) << what;
  }
  EXPECT_TRUE(engine::xlsx::WriteXlsx(a) == engine::xlsx::WriteXlsx(b)) << what;
}

TEST(XlsxHalves, ASheetReadInHalvesIsTheSheetOneParserReads) {
  const std::string strings = Strings();
  const engine::xls::Bytes bytes =
      Package({Sheet(3000, "x:"), Sheet(2500, "", "</sheetData><sheetData>"),
               "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>5</v></c></row></sheetData>"
               "</worksheet>"},
              strings);
  auto whole = Read(bytes, OneParser());
  ASSERT_EQ(whole->GetSheet(1).Text(*whole->GetSheet(1).Find(1, 1)), "word1\r");
  ASSERT_EQ(whole->GetSheet(1).Formula(*whole->GetSheet(1).Find(3000, 5)).text, "C3000*2");
  // Cuts at many places, each landing among different rows, comments and instructions (the
  // second sheet's sheetData ends and starts again in the middle), and the balanced cut the
  // reader picks itself.
  for (double at : {0.0, 0.05, 0.21, 0.5, 0.77, 0.93, 0.9995, 1.0, -1.0}) {
    XlsxReadOptions::Stats stats;
    auto halves = Read(bytes, Halves(at, stats));
    std::string what = "cut at " + std::to_string(at);
    if (at < 0.95) {  // the second sheet's rows are cut only before its sheetData ends
      EXPECT_GE(stats.sheetsInHalves, at >= 0 && at < 0.4 ? 2 : 1) << what;
    }
    if (at == 1.0) {  // past the last row: no cut
      EXPECT_EQ(stats.sheetsInHalves, 0) << what;
    }
    EXPECT_EQ(stats.laterHalvesRedone, 0) << what;
    ExpectSame(*whole, *halves, what);
  }
}

TEST(XlsxHalves, RowsOutOfOrderOrOverlappingEndAsInOneParser) {
  // The later rows write again into rows the earlier ones wrote, and go back up the sheet.
  std::string again;
  for (int r = 5; r >= 1; --r)
    again += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) +
             "\"><v>" + std::to_string(100 + r) + "</v></c><c r=\"Z9\" t=\"b\"><v>1</v></c></row>";
  const engine::xls::Bytes bytes = Package({Sheet(2000, "", again)}, Strings());
  auto whole = Read(bytes, OneParser());
  ASSERT_EQ(whole->GetSheet(1).Find(3, 1)->number, 103);
  XlsxReadOptions::Stats stats;
  auto halves = Read(bytes, Halves(0.3, stats));
  EXPECT_EQ(stats.sheetsInHalves, 1);
  ExpectSame(*whole, *halves, "rows again");
}

std::string ErrorOf(const engine::xls::Bytes& bytes, const XlsxReadOptions& o) {
  try {
    Read(bytes, o);
  } catch (const EngineError& e) {
    return e.Description();
  }
  return "no error";
}

TEST(XlsxHalves, AFaultInEitherHalfIsTheFaultOneParserReports) {
  struct Case {
    std::string inside, tail, says;
    bool redone;  // the second thread fails on it (others it hands over, to fail in turn)
  } cases[] = {
      // In the later half: not well-formed; cells the handler refuses.
      {"<row r=\"5000\"><c r=\"A5000\"><v>1</v></row>", "", "mismatched tag", true},
      {"<row r=\"5000\"><c r=\"A5000\"><v>1x</v></c></row>", "", "malformed number 1x", true},
      {"<row r=\"5000\"><c r=\"A5000\" t=\"s\"><v>99</v></c></row>", "", "missing shared string",
       true},
      {"<row r=\"5000\"><c r=\"A0\"><v>1</v></c></row>", "", "malformed reference A0", true},
      {"<row r=\"70000\"><c r=\"A70000\"><v>1</v></c></row>", "", "65,536", true},
      {"<row r=\"5000\"><c r=\"A5000\"><v>&bad;</v></c></row>", "", "undefined entity", true},
      {"<row r=\"5000\"><c r=\"A5000\" t=\"d\"><v>soon</v></c></row>", "", "malformed date soon",
       false},
      // After the rows, in what the first parser reads on.
      {"", "<mergeCells><x></mergeCells>", "mismatched tag", false},
  };
  const std::string strings = Strings();
  for (const Case& k : cases) {
    const engine::xls::Bytes bytes = Package({Sheet(2000, "", k.inside, k.tail)}, strings);
    std::string sequential = ErrorOf(bytes, OneParser());
    EXPECT_NE(sequential.find(k.says), std::string::npos) << sequential;
    for (double at : {0.1, 0.45, -1.0}) {
      XlsxReadOptions::Stats stats;
      EXPECT_EQ(ErrorOf(bytes, Halves(at, stats)), sequential) << k.inside << " at " << at;
      // Cut before the fault, the later rows failed on the second thread and were read again.
      if (at > 0) {
        EXPECT_EQ(stats.laterHalvesRedone, k.redone ? 1 : 0) << k.inside;
      }
    }
  }
  // In the earlier half: the first parser fails while the second thread still works, which
  // stops and is joined.
  const engine::xls::Bytes early =
      Package({"<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1x</v></c></row>" +
               Sheet(3000, "").substr(Sheet(3000, "").find("<row"))},
              strings);
  XlsxReadOptions::Stats stats;
  EXPECT_NE(ErrorOf(early, Halves(-1, stats)).find("malformed number 1x"), std::string::npos);
  EXPECT_NE(ErrorOf(early, Halves(0.9, stats)).find("malformed number 1x"), std::string::npos);
}

TEST(XlsxHalves, APartThatStopsInflatingFailsAsWithOneParser) {
  // Deflated bytes spoiled in the middle of the sheet: the inflating thread fails, and the
  // parser waiting on it hears so instead of waiting on.
  engine::xls::Bytes bytes = Package({Sheet(3000, "")}, Strings());
  const std::string name = "xl/worksheets/sheet1.xml";
  auto at = std::search(bytes.begin(), bytes.end(), name.begin(), name.end());
  ASSERT_NE(at, bytes.end());
  for (std::size_t i = 0; i < 64; ++i) at[static_cast<std::ptrdiff_t>(20000 + i * 7)] ^= 0x5A;
  std::string sequential = ErrorOf(bytes, OneParser());
  EXPECT_NE(sequential, "no error");
  XlsxReadOptions::Stats stats;
  EXPECT_EQ(ErrorOf(bytes, Halves(-1, stats)), sequential);
  EXPECT_EQ(ErrorOf(bytes, Halves(0.5, stats)), sequential);
  EXPECT_EQ(stats.sheetsInHalves, 0);
}

TEST(XlsxHalves, ALaterHalfLongerThanOneBlockOfItsLogIsTakenInWhole) {
  // Far more cells after the cut than one block of the log holds, shared strings and numbers
  // in turn, so that every block's first and last entries land in the sheet.
  std::string sheet = "<worksheet><sheetData>";
  for (int r = 1; r <= 9000; ++r) {
    sheet += "<row r=\"" + std::to_string(r) + "\">";
    for (int c = 0; c < 26; ++c)
      sheet += c % 2 ? "<c><v>" + std::to_string(r * 26 + c) + "</v></c>"
                     : "<c t=\"s\"><v>" + std::to_string((r + c) % 50) + "</v></c>";
    sheet += "</row>";
  }
  sheet += "</sheetData></worksheet>";
  const engine::xls::Bytes bytes = Package({sheet}, Strings());
  auto whole = Read(bytes, OneParser());
  XlsxReadOptions::Stats stats;
  auto halves = Read(bytes, Halves(0.02, stats));
  EXPECT_EQ(stats.sheetsInHalves, 1);
  EXPECT_EQ(stats.laterHalvesRedone, 0);
  ExpectSame(*whole, *halves, "long later half");
  EXPECT_EQ(halves->GetSheet(1).Find(9000, 26)->number, 9000 * 26 + 25);
}

TEST(XlsxHalves, TheSharedStringsCountSizesNothingItCannotHold) {
  // The count of references a package gives is only a hint: absurd, negative, malformed or
  // too small, the cells read as with no count at all, and the pools hold what was read.
  const std::string sheet = Sheet(600, "");
  const engine::xls::Bytes plain = Package({sheet, sheet}, Strings());
  auto expected = Read(plain, OneParser());
  for (const char* count : {" count=\"99999999999999999999\"", " count=\"99999999999\"",
                            " count=\"-5\"", " count=\"x\"",
                            " count=\"3\"", " count=\"1200\" uniqueCount=\"51\""}) {
    const engine::xls::Bytes bytes = Package({sheet, sheet}, Strings(), count);
    auto one = Read(bytes, OneParser());
    ExpectSame(*expected, *one, count);
    XlsxReadOptions::Stats stats;
    auto halves = Read(bytes, Halves(0.5, stats));
    ExpectSame(*expected, *halves, std::string("halves") + count);
    EXPECT_EQ(one->GetSheet(2).Texts().Live(), expected->GetSheet(2).Texts().Live()) << count;
  }
}

}  // namespace
