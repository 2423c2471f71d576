// The streaming layer under the .xlsx reader: the fast lane a handler opens for the inside of
// one element, zip entries inflated ahead on a second thread, and a large sheet read through
// both, with the same results and the same errors as the ordinary path.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "control/control.h"
#include "control/engine_error.h"
#include "control/model/mapped_memory.h"
#include "control/model/value.h"
#include "control/xlsx/cell_ref.h"
#include "control/xlsx/xml_stream.h"
#include "control/xlsx/zip_package.h"

namespace {

using engine::EngineError;
using engine::xlsx::XmlAttrs;
using engine::xlsx::XmlHandler;
using engine::xlsx::XmlRawEvents;
using engine::xlsx::ZipReader;
using engine::xlsx::ZipWriter;

// Logs every event; the inside of any element named "fast" arrives raw.
class Recorder : public XmlHandler {
 public:
  std::vector<std::string> log;
  void Start(std::string_view name, const XmlAttrs&) override {
    log.push_back("<" + std::string(name));
    if (name == "fast") DivertInside({this, &RawStart, &RawEnd, &RawText});
  }
  void End(std::string_view name) override { log.push_back("/" + std::string(name)); }
  void Text(std::string_view text) override {
    log.push_back("'" + std::string(text));
    DivertInside({this, &RawStart, &RawEnd, &RawText});  // outside Start: no effect
  }

 private:
  static void RawStart(void* data, const char* name, const char** attrs) {
    std::string e = "raw<" + std::string(name);
    for (; *attrs; attrs += 2) e += std::string(" ") + attrs[0] + "=" + attrs[1];
    static_cast<Recorder*>(data)->log.push_back(e);
    if (std::strcmp(name, "boom") == 0) throw EngineError(engine::kErrFile, "boom went the cell");
  }
  static void RawEnd(void* data, const char* name) {
    static_cast<Recorder*>(data)->log.push_back("raw/" + std::string(name));
  }
  static void RawText(void* data, const char* text, int length) {
    static_cast<Recorder*>(data)->log.push_back(
        "raw'" + std::string(text, static_cast<std::size_t>(length)));
  }
};

std::string ParseError(const std::string& document) {
  Recorder r;
  try {
    engine::xlsx::ParseXmlText(document, "part.xml", r);
  } catch (const EngineError& e) {
    return e.Description();
  }
  return {};
}

TEST(XmlStream, ADivertedElementGivesRawEventsThenHandsBackItsOwnEnd) {
  Recorder r;
  engine::xlsx::ParseXmlText(
      R"(<root xmlns:x="urn:x"><a/><x:fast k="1"><x:c r="A1" t="s">t</x:c><fast/></x:fast>)"
      R"(<b>u</b><c/></root>)",
      "part.xml", r);
  std::vector<std::string> expected = {
      "<root", "<a",      "/a",       "<fast",    "raw<x:c r=A1 t=s",
      "raw't", "raw/x:c", "raw<fast", "raw/fast", "/fast",
      "<b",    "'u",      "/b",       "<c",       "/c",
      "/root"};
  EXPECT_EQ(r.log, expected);
}

TEST(XmlStream, InsideADiversionTheLimitsAndErrorsStayTheParsers) {
  std::string deep = "<root><fast>";
  for (int i = 0; i < 300; ++i) deep += "<x>";
  EXPECT_NE(ParseError(deep).find("nest too deeply"), std::string::npos);
  EXPECT_EQ(ParseError("<root><fast><boom/></fast></root>"), "boom went the cell");
  std::string err = ParseError("<root><fast><c></fast></root>");
  EXPECT_NE(err.find("part.xml"), std::string::npos) << err;
  EXPECT_NE(ParseError(R"(<!DOCTYPE r [<!ENTITY e "x">]><root><fast>&e;</fast></root>)")
                .find("document type"),
            std::string::npos);
}

// An entry large enough to inflate ahead on its own thread, and not a trivial pattern.
std::string LargeText() {
  std::string text;
  unsigned x = 12345;
  while (text.size() < (std::size_t{6} << 20)) {
    x = x * 1103515245u + 12345u;
    text += "<row r=\"" + std::to_string(x % 65536) + "\">" + std::to_string(x >> 8) + "</row>";
  }
  return text;
}

TEST(ZipPackage, StreamingAheadDeliversEveryByteAndStopsCleanlyOnAnError) {
  const std::string large = LargeText();
  ZipWriter w;
  w.Add("big.xml", large);
  w.Add("small.xml", "<small/>");
  engine::xls::Bytes bytes = w.Finish();
  ZipReader zip(bytes.data(), bytes.size());

  std::string got;
  std::size_t calls = 0;
  zip.StreamAhead("big.xml", [&](const char* d, std::size_t n) {
    got.append(d, n);
    // Another part may be read while this one streams.
    if (++calls == 2) {
      EXPECT_EQ(zip.Read("small.xml", 1024), "<small/>");
    }
  });
  EXPECT_EQ(got, large);
  EXPECT_GT(calls, 2u);

  // The reader stops after a few chunks: the inflater is stopped and joined, nothing hangs,
  // and the package reads again afterwards.
  calls = 0;
  EXPECT_THROW(zip.StreamAhead("big.xml",
                               [&](const char*, std::size_t) {
                                 if (++calls == 3) throw EngineError(engine::kErrFile, "stop");
                               }),
               EngineError);
  EXPECT_EQ(calls, 3u);
  got.clear();
  zip.StreamAhead("big.xml", [&](const char* d, std::size_t n) { got.append(d, n); });
  EXPECT_EQ(got.size(), large.size());
  EXPECT_THROW(zip.StreamAhead("missing.xml", [](const char*, std::size_t) {}), EngineError);

  // A bomb streamed ahead fails as it would in turn, after the chunks before it.
  ZipWriter b;
  b.Add("bomb.xml", std::string(std::size_t{40} << 20, '\0'));
  engine::xls::Bytes bomb = b.Finish();
  ZipReader bombZip(bomb.data(), bomb.size());
  std::size_t delivered = 0;
  try {
    bombZip.StreamAhead("bomb.xml", [&](const char*, std::size_t n) { delivered += n; });
    ADD_FAILURE() << "the bomb inflated";
  } catch (const EngineError& e) {
    EXPECT_NE(e.Description().find("inflates far beyond"), std::string::npos) << e.Description();
  }
  EXPECT_GT(delivered, 0u);
  EXPECT_LE(delivered, std::size_t{17} << 20);
}

TEST(ZipPackage, InflatingIntoLentMemoryFillsItInPlaceThenUsesItsOwn) {
  const std::string large = LargeText();
  ZipWriter w;
  w.Add("big.xml", large);
  engine::xls::Bytes bytes = w.Finish();
  ZipReader zip(bytes.data(), bytes.size());

  // Room for a third of the entry, with guard bytes after it that must stay as they are.
  const std::size_t room = large.size() / 3;
  std::vector<char> lent(room + 64, '#');
  std::size_t filled = 0;
  std::string rest;
  zip.StreamInto(
      "big.xml", [&] { return std::span<char>(lent.data() + filled, room - filled); },
      [&](const char* d, std::size_t n) {
        if (d == lent.data() + filled) {
          filled += n;
        } else {
          EXPECT_TRUE(d < lent.data() || d >= lent.data() + lent.size());
          rest.append(d, n);
        }
      });
  EXPECT_EQ(filled, room);
  EXPECT_EQ(std::string(lent.data(), room) + rest, large);
  EXPECT_EQ(std::string(lent.data() + room, 64), std::string(64, '#'));

  // A bomb fails as when streamed, however much room is lent.
  ZipWriter b;
  b.Add("bomb.xml", std::string(std::size_t{40} << 20, '\0'));
  engine::xls::Bytes bomb = b.Finish();
  ZipReader bombZip(bomb.data(), bomb.size());
  engine::MappedBuffer whole(std::size_t{40} << 20);
  std::size_t at = 0;
  try {
    bombZip.StreamInto(
        "bomb.xml", [&] { return std::span<char>(whole.chars() + at, whole.capacity() - at); },
        [&](const char*, std::size_t n) { at += n; });
    ADD_FAILURE() << "the bomb inflated";
  } catch (const EngineError& e) {
    EXPECT_NE(e.Description().find("inflates far beyond"), std::string::npos) << e.Description();
  }
  EXPECT_LE(at, std::size_t{17} << 20);
}

TEST(MappedBuffer, GivesZeroedMemoryHugeAlignedWhenLargeOrRefusesAndMovesItsOwnership) {
  for (std::size_t size : {std::size_t{1}, std::size_t{4096}, (std::size_t{5} << 20) + 123}) {
    engine::MappedBuffer b(size);
    b.SetSize(size);
    ASSERT_NE(b.data(), nullptr) << size;
    EXPECT_EQ(b.size(), size);
    if (size >= engine::kHugePageBytes) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b.data()) % engine::kHugePageBytes, 0u);
    }
    std::size_t nonzero = 0;
    for (std::size_t i = 0; i < size; i += 1024) nonzero += b.data()[i] != 0;
    EXPECT_EQ(nonzero, 0u);
    std::memset(b.data(), 'x', size);  // every byte is ours to write
    engine::MappedBuffer moved(std::move(b));
    EXPECT_EQ(b.data(), nullptr);
    EXPECT_EQ(moved.data()[size - 1], 'x');
    engine::MappedBuffer other(64);
    other = std::move(moved);
    EXPECT_EQ(other.size(), size);
  }
  // Nothing to be had: a clean refusal, no fault.
  EXPECT_THROW(engine::MappedBuffer(std::numeric_limits<std::size_t>::max()), std::bad_alloc);
  EXPECT_THROW(engine::MappedBuffer(std::numeric_limits<std::size_t>::max() - 4096),
               std::bad_alloc);
  EXPECT_THROW(engine::MappedBuffer(std::size_t{1} << 62), std::bad_alloc);
}

TEST(CellRef, InPlaceAndCountedReferencesAgree) {
  for (const char* text : {"A1", "$B$12", "b7", "XFD1048576", "IV65536", "ABCD1", "ABCDE1", "A0",
                           "A", "1", "", "A1B", "A$", "$", "A123456789", "A12345678", "Z 1"}) {
    int r1 = -1, c1 = -1, r2 = -1, c2 = -1;
    bool counted = engine::xlsx::ParseCellRef(std::string_view(text), r1, c1);
    bool inPlace = engine::xlsx::ParseCellRef(text, r2, c2);
    EXPECT_EQ(counted, inPlace) << text;
    EXPECT_EQ(r1, r2) << text;
    EXPECT_EQ(c1, c2) << text;
  }
  int r = 0, c = 0;
  ASSERT_TRUE(engine::xlsx::ParseCellRef("$IV$65536", r, c));
  EXPECT_EQ(r, 65536);
  EXPECT_EQ(c, 256);
}

// A package with shared strings and one sheet part of the given text.
engine::xls::Bytes Book(const std::string& sheet, const std::string& strings) {
  const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
  ZipWriter zip;
  zip.Add("_rels/.rels",
          R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
          R"(<Relationship Id="rId1" Type=")" +
              rel + R"(officeDocument" Target="xl/workbook.xml"/></Relationships>)");
  zip.Add("xl/workbook.xml",
          R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
          R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
          R"(<sheets><sheet name="Data" sheetId="1" r:id="rId1"/></sheets></workbook>)");
  zip.Add("xl/_rels/workbook.xml.rels",
          R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
          R"(<Relationship Id="rId1" Type=")" +
              rel +
              R"(worksheet" Target="worksheets/sheet1.xml"/>)"
              R"(<Relationship Id="rId2" Type=")" +
              rel + R"(sharedStrings" Target="sharedStrings.xml"/></Relationships>)");
  zip.Add("xl/sharedStrings.xml",
          R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)" + strings +
              "</sst>");
  zip.Add("xl/worksheets/sheet1.xml", sheet);
  return zip.Finish();
}

std::string ReadBook(engine::Control& c, const engine::xls::Bytes& bytes) {
  std::string path = testing::TempDir() + "/stream_" + std::to_string(bytes.size()) + ".xlsx";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  short type = 0;
  std::string error;
  try {
    c.ReadFile(path, type);
  } catch (const EngineError& e) {
    error = e.Description();
  }
  std::remove(path.c_str());
  return error;
}

// Every name prefixed, as some writers do; rows 1..`rows` of a shared string, a number, a
// logical and a cell without a reference. Large enough to stream ahead.
std::string PrefixedSheet(int rows, const std::string& tail = "") {
  std::string s =
      R"(<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
      R"(<x:sheetData>)";
  for (int r = 1; r <= rows; ++r) {
    std::string n = std::to_string(r);
    s += "<x:row r=\"" + n + "\"><x:c r=\"A" + n + "\" t=\"s\"><x:v>" + std::to_string(r % 3) +
         "</x:v></x:c><x:c r=\"B" + n + "\"><x:v>" + n + ".25</x:v></x:c><x:c r=\"C" + n +
         "\" t=\"b\"><x:v>" + std::to_string(r % 2) + "</x:v></x:c><x:c><x:v>-" + n +
         "</x:v></x:c>\n</x:row>";
  }
  return s + tail + "</x:sheetData></x:worksheet>";
}

const char* kStrings =
    "<si><t>zero</t></si><si><r><t>o</t></r><r><t>ne</t></r></si><si><t>two_x000D_</t></si>";

TEST(XlsxStream, ALargePrefixedSheetReadsAsAnyOther) {
  engine::Control c;
  std::string sheet = PrefixedSheet(60000);
  ASSERT_GT(sheet.size(), std::size_t{4} << 20);  // streamed ahead
  ASSERT_EQ(ReadBook(c, Book(sheet, kStrings)), "");
  EXPECT_EQ(c.GetCellText(1, 1), "one");
  EXPECT_EQ(c.GetCellValue(2, 1).text, "two\r");
  EXPECT_EQ(c.GetCellText(3, 1), "zero");
  EXPECT_DOUBLE_EQ(c.GetCellValue(60000, 2).number, 60000.25);
  EXPECT_EQ(c.GetCellFormattedText(59999, 3), "TRUE");
  EXPECT_EQ(c.GetCellFormattedText(60000, 3), "FALSE");
  EXPECT_DOUBLE_EQ(c.GetCellValue(31234, 4).number, -31234);  // follows C without a reference

  // Indexes and numbers in the longer forms a writer may use still read.
  std::string odd =
      R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)"
      R"(<row r="1"><c r="A1" t="s"><v> 2 </v></c><c r="B1" t="s"><v>1.0</v></c>)"
      R"(<c r="C1" t="s" s="007"><v>0000000001</v></c><c r="D1"><v>+3</v></c>)"
      R"(<c r="E1" t="n"><v>1e3</v></c><c r="F1" t="s"></c><c r="G1"><v>123456789012345</v></c>)"
      R"(<c r="H1"><v>9007199254740993</v></c><c r="I1"><v>-0</v></c></row></sheetData></worksheet>)";
  ASSERT_EQ(ReadBook(c, Book(odd, kStrings)), "");
  EXPECT_EQ(c.GetCellValue(1, 1).text, "two\r");
  EXPECT_EQ(c.GetCellText(1, 2), "one");
  EXPECT_EQ(c.GetCellText(1, 3), "one");
  EXPECT_DOUBLE_EQ(c.GetCellValue(1, 4).number, 3);
  EXPECT_DOUBLE_EQ(c.GetCellValue(1, 5).number, 1000);
  EXPECT_TRUE(c.GetCellValue(1, 6).IsEmpty());
  EXPECT_EQ(c.GetCellValue(1, 7).number, 123456789012345.0);
  EXPECT_EQ(c.GetCellValue(1, 8).number, 9007199254740992.0);  // rounded as any parse rounds
  EXPECT_EQ(c.GetCellValue(1, 9).number, 0.0);
}

TEST(XlsxStream, FaultsDeepInALargeSheetFailClearlyAndChangeNothing) {
  engine::Control c;
  c.SetCellText(1, 1, "kept");
  struct Case {
    std::string tail, says;
  } cases[] = {
      {"<x:row r=\"60001\"><x:c r=\"A60001\"><x:v>1</x:v></x:row>", "xl/worksheets/sheet1.xml"},
      {"<x:row r=\"60001\"><x:c r=\"A60001\" t=\"s\"><x:v>3</x:v></x:c></x:row>",
       "missing shared string"},
      {"<x:row r=\"60001\"><x:c r=\"A60001\"><x:v>1x</x:v></x:c></x:row>", "malformed number 1x"},
      {"<x:row r=\"60001\"><x:c r=\"A0\"><x:v>1</x:v></x:c></x:row>", "malformed reference A0"},
      {"<x:row r=\"70000\"><x:c r=\"A70000\"><x:v>1</x:v></x:c></x:row>", "65,536"},
  };
  for (const Case& k : cases) {
    std::string err = ReadBook(c, Book(PrefixedSheet(60000, k.tail), kStrings));
    EXPECT_NE(err.find(k.says), std::string::npos) << err;
    EXPECT_EQ(c.GetCellText(1, 1), "kept");
  }
}

}  // namespace
