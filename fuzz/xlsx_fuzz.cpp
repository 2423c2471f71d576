// libFuzzer target: the .xlsx package reader (zip container, XML parts) and the writer.
// A sheet given as text is read twice, by one parser and in halves on two threads, and the two
// must agree.
// An input that is not a zip package is taken as the XML of a sheet's parts, so that mutations
// reach the readers of the parts directly instead of dying in the deflate stream: the pieces
// between "\n====\n" lines become the worksheet, its relationships, a comments part, the
// drawing of the comments, the styles part and the shared strings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "control/engine_error.h"
#include "control/xlsx/xlsx_file.h"
#include "control/xlsx/zip_package.h"

namespace {

engine::xls::Bytes PackageOf(std::string_view text) {
  std::vector<std::string> parts;
  while (parts.size() < 5) {
    std::size_t at = text.find("\n====\n");
    if (at == std::string_view::npos) break;
    parts.emplace_back(text.substr(0, at));
    text.remove_prefix(at + 6);
  }
  parts.emplace_back(text);
  parts.resize(6);
  engine::xlsx::ZipWriter zip;
  zip.Add("_rels/.rels",
          "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
          "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
          "relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
  zip.Add(
      "xl/workbook.xml",
      "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
      "<sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets><definedNames>"
      "<definedName name=\"_xlnm.Print_Titles\" localSheetId=\"0\">S!$A:$B,S!$1:$2</definedName>"
      "</definedNames></workbook>");
  zip.Add("xl/_rels/workbook.xml.rels",
          "<Relationships><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
          "officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
          "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
          "relationships/styles\" Target=\"styles.xml\"/>"
          "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
          "relationships/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>");
  zip.Add("xl/worksheets/sheet1.xml", parts[0]);
  if (!parts[1].empty()) zip.Add("xl/worksheets/_rels/sheet1.xml.rels", parts[1]);
  if (!parts[2].empty()) zip.Add("xl/comments1.xml", parts[2]);
  if (!parts[3].empty()) zip.Add("xl/drawings/vmlDrawing1.vml", parts[3]);
  if (!parts[4].empty()) zip.Add("xl/styles.xml", parts[4]);
  if (!parts[5].empty()) zip.Add("xl/sharedStrings.xml", parts[5]);
  return zip.Finish();
}

// The package read as written, or the error it gives.
std::string Outcome(const engine::xls::Bytes& package, const engine::xlsx::XlsxReadOptions& o) {
  static engine::LocaleSettings locale;
  try {
    auto book = engine::xlsx::ReadXlsx(package.data(), package.size(), &locale, o);
    engine::xls::Bytes out = engine::xlsx::WriteXlsx(*book);
    return std::string(out.begin(), out.end());
  } catch (const engine::EngineError& e) {
    return "error: " + e.Description();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static engine::LocaleSettings locale;
  try {
    if (engine::xlsx::LooksLikeZip(data, size)) {
      auto book = engine::xlsx::ReadXlsx(data, size, &locale);
      engine::xlsx::WriteXlsx(*book);
      return 0;
    }
  } catch (const engine::EngineError&) {
    return 0;
  }
  engine::xls::Bytes package;
  try {
    package = PackageOf(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const engine::EngineError&) {
    return 0;
  }
  // The sheet read by one parser, and in halves cut where the input's length says: the same
  // workbook, or the same error.
  engine::xlsx::XlsxReadOptions whole, halves;
  whole.halves.from = SIZE_MAX;
  halves.halves.from = 1;
  halves.halves.cutAt = static_cast<double>(size % 101) / 100.0;
  if (Outcome(package, whole) != Outcome(package, halves)) std::abort();
  return 0;
}
