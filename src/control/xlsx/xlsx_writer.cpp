// Writing .xlsx packages: the workbook, one part per sheet, shared strings and styles. Every
// engine style becomes the cell format of the same index, so cells keep their style numbers.
#include <unordered_map>

#include "control/engine_error.h"
#include "control/format/number_format.h"
#include "control/formula/formula_engine.h"
#include "control/xlsx/cell_ref.h"
#include "control/xlsx/xlsx_carried.h"
#include "control/xlsx/xlsx_file.h"
#include "control/xlsx/xlsx_sheet_features.h"
#include "control/xlsx/xlsx_styles.h"
#include "control/xlsx/xml_stream.h"
#include "control/xlsx/xml_write.h"
#include "control/xlsx/zip_package.h"

namespace engine::xlsx {

namespace {

constexpr const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kRelType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
constexpr const char* kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

std::string ColorElement(const char* tag, std::uint32_t bgr) {
  if (bgr == kAutoColor) return std::string("<") + tag + " auto=\"1\"/>";
  return std::string("<") + tag + " rgb=\"" + Argb(bgr) + "\"/>";
}

// The children of a <font>, or of a rich-text run's <rPr> (nameTag "rFont").
void AppendFontProperties(std::string& out, const engine::Font& f, const char* nameTag) {
  if (f.bold) out += "<b/>";
  if (f.italic) out += "<i/>";
  if (f.strikeout) out += "<strike/>";
  if (f.underline) out += "<u/>";
  out += "<sz val=\"";
  AppendNumber(out, f.heightTwips / 20.0);
  out += "\"/>";
  if (f.color != kAutoColor) out += ColorElement("color", f.color);
  out += std::string("<") + nameTag + " val=\"" + Escaped(f.name) + "\"/>";
}

class StylesWriter {
 public:
  explicit StylesWriter(const Workbook& book) : book_(book) {}

  std::string Write(const std::string& diffFormats) {
    const StyleTable& styles = book_.Styles();
    const FormatTable& formats = book_.Formats();
    // Number formats: a code equal to a built-in one keeps the built-in id.
    std::vector<int> formatId(formats.Count(), 0);
    std::string numFmts;
    int customCount = 0;
    for (std::size_t i = 1; i < formats.Count(); ++i) {
      const std::string& code = formats.Code(static_cast<std::uint16_t>(i));
      // Only the codes every reader shows alike keep a built-in id: dates and currencies of
      // built-in ids follow each reader's own locale, so they are written out.
      int id = -1;
      for (int b : {1, 2, 3, 4, 9, 10, 11, 12, 13, 49})
        if (id < 0 && format::BuiltinFormatCode(b) == code) id = b;
      if (id < 0) {
        id = 164 + static_cast<int>(i);
        numFmts += "<numFmt numFmtId=\"" + std::to_string(id) + "\" formatCode=\"" + Escaped(code) + "\"/>";
        ++customCount;
      }
      formatId[i] = id;
    }
    std::string out = kXmlHead;
    out += std::string("<styleSheet xmlns=\"") + kMain + "\">";
    if (customCount)
      out += "<numFmts count=\"" + std::to_string(customCount) + "\">" + numFmts + "</numFmts>";
    out += "<fonts count=\"" + std::to_string(styles.FontCount()) + "\">";
    for (std::size_t i = 0; i < styles.FontCount(); ++i) Font(out, styles.GetFont(static_cast<std::uint16_t>(i)));
    out += "</fonts>";

    // Fills and borders are shared between cell formats; the first two fills are fixed.
    std::vector<std::string> fills = {"<fill><patternFill patternType=\"none\"/></fill>",
                                      "<fill><patternFill patternType=\"gray125\"/></fill>"};
    std::vector<std::string> borders = {"<border><left/><right/><top/><bottom/><diagonal/></border>"};
    // Named styles' formats say which parts they leave out; cell formats which they set.
    std::string styleXfs, xfs;
    for (const NamedStyle& n : styles.NamedStyles())
      styleXfs += Xf(n.format, -1, n.parts, formatId, fills, borders);
    for (std::size_t i = 0; i < styles.Count(); ++i) {
      const Style& s = styles.Get(static_cast<std::uint16_t>(i));
      int parent = s.parent < styles.NamedStyles().size() ? s.parent : 0;
      xfs += Xf(s, parent, OwnParts(s, styles), formatId, fills, borders);
    }
    out += "<fills count=\"" + std::to_string(fills.size()) + "\">";
    for (const auto& f : fills) out += f;
    out += "</fills><borders count=\"" + std::to_string(borders.size()) + "\">";
    for (const auto& b : borders) out += b;
    out += "</borders>";
    out += "<cellStyleXfs count=\"" + std::to_string(styles.NamedStyles().size()) + "\">" +
           styleXfs + "</cellStyleXfs>";
    out += "<cellXfs count=\"" + std::to_string(styles.Count()) + "\">" + xfs + "</cellXfs>";
    out += CellStylesXml(styles);
    out += diffFormats;
    out += "</styleSheet>";
    return out;
  }

 private:
  // One format: a cell format (under the named style `parent`, applying the parts it sets
  // apart from it, so that a later change of the style reaches the others) or a named
  // style's (parent -1: `parts` are those it sets, the others it leaves out).
  static std::string Xf(const Style& s, int parent, std::uint8_t parts,
                        const std::vector<int>& formatId, std::vector<std::string>& fills,
                        std::vector<std::string>& borders) {
    std::size_t fill = Intern(fills, Fill(s));
    std::size_t border = Intern(borders, BorderXml(s));
    int numFmt = s.numberFormat < formatId.size() ? formatId[s.numberFormat] : 0;
    std::string xfs = "<xf numFmtId=\"" + std::to_string(numFmt) + "\" fontId=\"" +
                      std::to_string(s.font) + "\" fillId=\"" + std::to_string(fill) +
                      "\" borderId=\"" + std::to_string(border) + "\"";
    if (parent >= 0) {
      xfs += " xfId=\"" + std::to_string(parent) + "\"";
      xfs += ApplyAttrs(parts, "1");
    } else {
      xfs += ApplyAttrs(static_cast<std::uint8_t>(~parts & kAllParts), "0");
    }
    bool align = s.hAlign != HAlign::General || s.vAlign != VAlign::Bottom || s.wrap;
    bool protect = !s.locked || s.hidden;
    if (!align && !protect) return xfs + "/>";
    xfs += ">";
    if (align) {
      xfs += "<alignment";
      if (s.hAlign != HAlign::General) xfs += std::string(" horizontal=\"") + HAlignName(s.hAlign) + "\"";
      if (s.vAlign != VAlign::Bottom) xfs += std::string(" vertical=\"") + VAlignName(s.vAlign) + "\"";
      if (s.wrap) xfs += " wrapText=\"1\"";
      xfs += "/>";
    }
    if (protect)
      xfs += std::string("<protection locked=\"") + (s.locked ? "1" : "0") + "\" hidden=\"" +
             (s.hidden ? "1" : "0") + "\"/>";
    return xfs + "</xf>";
  }

  static std::size_t Intern(std::vector<std::string>& list, const std::string& item) {
    for (std::size_t i = 0; i < list.size(); ++i)
      if (list[i] == item) return i;
    list.push_back(item);
    return list.size() - 1;
  }

  static void Font(std::string& out, const engine::Font& f) {
    out += "<font>";
    AppendFontProperties(out, f, "name");
    out += "</font>";
  }

  static std::string Fill(const Style& s) {
    if (s.pattern == 0) return "<fill><patternFill patternType=\"none\"/></fill>";
    std::string out = std::string("<fill><patternFill patternType=\"") + PatternName(s.pattern) + "\">";
    out += ColorElement("fgColor", s.patternFore);
    out += ColorElement("bgColor", s.patternBack);
    return out + "</patternFill></fill>";
  }

  static std::string Side(const char* tag, const engine::Border& b) {
    if (b.line == 0) return std::string("<") + tag + "/>";
    return std::string("<") + tag + " style=\"" + LineName(b.line) + "\">" +
           ColorElement("color", b.color) + "</" + tag + ">";
  }

  static std::string BorderXml(const Style& s) {
    return "<border>" + Side("left", s.left) + Side("right", s.right) + Side("top", s.top) +
           Side("bottom", s.bottom) + "<diagonal/></border>";
  }

  const Workbook& book_;
};

// <t> with its text, keeping spaces a reader would otherwise trim.
void AppendTextElement(std::string& out, std::string_view s) {
  bool keepSpace = !s.empty() && (s.front() == ' ' || s.back() == ' ' ||
                                  s.find('\n') != std::string::npos || s.front() == '\t');
  out += keepSpace ? "<t xml:space=\"preserve\">" : "<t>";
  Escape(out, s);
  out += "</t>";
}

// The runs of a rich string: the text before the first run, if any, in a run of no properties.
void AppendRuns(std::string& out, std::string_view text, const TextRuns& runs,
                const StyleTable& styles) {
  std::size_t from = text_runs::Utf8Offset(text, runs.front().at);
  if (from > 0) {
    out += "<r>";
    AppendTextElement(out, text.substr(0, from));
    out += "</r>";
  }
  for (std::size_t k = 0; k < runs.size(); ++k) {
    const std::size_t to =
        k + 1 < runs.size() ? text_runs::Utf8Offset(text, runs[k + 1].at) : text.size();
    out += "<r><rPr>";
    AppendFontProperties(out, styles.GetFont(runs[k].font), "rFont");
    out += "</rPr>";
    AppendTextElement(out, text.substr(from, to - from));
    out += "</r>";
    from = to;
  }
}

class SharedStrings {
 public:
  std::size_t Index(const std::string& text, const TextRuns* runs) {
    ++uses_;
    auto [it, added] = runs ? rich_.try_emplace(text_runs::Key(*runs, text), list_.size())
                            : index_.try_emplace(text, list_.size());
    if (added) list_.push_back({runs ? &text : &it->first, runs});
    return it->second;
  }
  std::string Write(const StyleTable& styles) const {
    std::string out = kXmlHead;
    out += std::string("<sst xmlns=\"") + kMain + "\" count=\"" + std::to_string(uses_) +
           "\" uniqueCount=\"" + std::to_string(list_.size()) + "\">";
    for (const Item& item : list_) {
      out += "<si>";
      if (item.runs) AppendRuns(out, *item.text, *item.runs, styles);
      else AppendTextElement(out, *item.text);
      out += "</si>";
    }
    return out + "</sst>";
  }

 private:
  struct Item {
    const std::string* text;  // a key of index_, or a cell's text while the book is written
    const TextRuns* runs;
  };
  std::unordered_map<std::string, std::size_t> index_;
  std::unordered_map<std::string, std::size_t> rich_;  // by text_runs::Key
  std::vector<Item> list_;
  std::size_t uses_ = 0;
};

void ValueAttrs(std::string& out, const Value& v) {
  if (v.IsText()) out += " t=\"str\"";
  else if (v.IsLogical()) out += " t=\"b\"";
  else if (v.IsError()) out += " t=\"e\"";
}

void ValueElement(std::string& out, const Value& v) {
  if (v.IsNumber()) {
    out += "<v>";
    AppendNumber(out, v.number);
    out += "</v>";
  } else if (v.IsText()) {
    out += "<v>";
    Escape(out, v.text);
    out += "</v>";
  } else if (v.IsLogical()) {
    out += v.logical ? "<v>1</v>" : "<v>0</v>";
  } else if (v.IsError()) {
    out += std::string("<v>") + ErrorText(v.error) + "</v>";
  }
}

std::string SheetXml(Workbook& book, Sheet& sheet, int index, bool active, SharedStrings& sst,
                     FeatureWriter& features, SheetExtraParts& extra) {
  std::string out = kXmlHead;
  out += std::string("<worksheet xmlns=\"") + kMain + "\" xmlns:r=\"" + kRelNs + "\">";
  out += features.SheetHead(sheet, active);
  std::string cols;
  for (int c = 1; c <= kMaxCol; ++c) {
    const ColumnAttr& a = sheet.ColAttr(c);
    if (a.width == kDefaultColumnWidth && !a.hidden && !a.style && !a.outline && !a.collapsed)
      continue;
    cols += "<col min=\"" + std::to_string(c) + "\" max=\"" + std::to_string(c) + "\" width=\"";
    AppendNumber(cols, a.width / 256.0);
    cols += "\"";
    if (a.width != kDefaultColumnWidth) cols += " customWidth=\"1\"";
    if (a.hidden) cols += " hidden=\"1\"";
    if (a.style) cols += " style=\"" + std::to_string(a.style) + "\"";
    if (a.outline) cols += " outlineLevel=\"" + std::to_string(a.outline & 7) + "\"";
    if (a.collapsed) cols += " collapsed=\"1\"";
    cols += "/>";
  }
  if (!cols.empty()) out += "<cols>" + cols + "</cols>";
  out += "<sheetData>";
  int lastCol = 0;
  for (int c = 1; c <= kMaxCol; ++c)
    if (sheet.Col(c).LastUsedRow() > 0) lastCol = c;
  int lastRow = 0;
  for (int c = 1; c <= lastCol; ++c) lastRow = std::max(lastRow, sheet.Col(c).LastUsedRow());
  lastRow = std::max(lastRow, sheet.RowAttrCount());
  auto& engine = book.Formulas();
  for (int r = 1; r <= lastRow; ++r) {
    const RowAttr& ra = sheet.GetRowAttr(r);
    bool rowAttrs = ra.hidden || ra.heightTwips || ra.style || ra.outline || ra.collapsed;
    std::string cells;
    for (int c = 1; c <= lastCol; ++c) {
      const CellSlot* s = sheet.Find(r, c);
      if (!s || s->IsBlank()) continue;
      cells += "<c r=\"" + CellName(r, c) + "\"";
      if (s->style) cells += " s=\"" + std::to_string(s->style) + "\"";
      switch (s->kind) {
        case CellKind::Empty: cells += "/>"; continue;
        case CellKind::Number:
          cells += "><v>";
          AppendNumber(cells, s->number);
          cells += "</v></c>";
          continue;
        case CellKind::Text:
          cells += " t=\"s\"><v>" + std::to_string(sst.Index(sheet.Text(*s), sheet.Runs(*s))) + "</v></c>";
          continue;
        case CellKind::Logical:
          cells += std::string(" t=\"b\"><v>") + (s->small ? "1" : "0") + "</v></c>";
          continue;
        case CellKind::Error:
          cells += std::string(" t=\"e\"><v>") + ErrorText(static_cast<ErrorValue>(s->small)) + "</v></c>";
          continue;
        case CellKind::Formula: {
          const FormulaCell& f = sheet.Formula(*s);
          ValueAttrs(cells, f.result);
          cells += "><f>";
          Escape(cells, engine.Text(sheet, r, c, f));
          cells += "</f>";
          ValueElement(cells, f.result);
          cells += "</c>";
          continue;
        }
      }
    }
    if (cells.empty() && !rowAttrs) continue;
    out += "<row r=\"" + std::to_string(r) + "\"";
    if (ra.style) out += " s=\"" + std::to_string(ra.style) + "\" customFormat=\"1\"";
    if (ra.heightTwips) {
      out += " ht=\"";
      AppendNumber(out, ra.heightTwips / 20.0);
      out += ra.fittedHeight ? "\"" : "\" customHeight=\"1\"";
    }
    if (ra.hidden) out += " hidden=\"1\"";
    if (ra.outline) out += " outlineLevel=\"" + std::to_string(ra.outline) + "\"";
    if (ra.collapsed) out += " collapsed=\"1\"";
    out += cells.empty() ? "/>" : ">" + cells + "</row>";
  }
  out += "</sheetData>";
  out += features.SheetTail(sheet, index, extra);
  return out + "</worksheet>";
}

std::string WorkbookXml(const Workbook& book, const std::string& builtinNames) {
  std::string out = kXmlHead;
  out += std::string("<workbook xmlns=\"") + kMain + "\" xmlns:r=\"" + kRelNs + "\">";
  out += book.Date1904() ? "<workbookPr date1904=\"1\"/>" : "<workbookPr/>";
  out += "<bookViews><workbookView activeTab=\"" + std::to_string(book.ActiveIndex() - 1) + "\"";
  if (!book.ShowTabs()) out += " showSheetTabs=\"0\"";
  out += "/></bookViews><sheets>";
  for (int i = 1; i <= book.SheetCount(); ++i) {
    SheetVisibility state = book.GetSheet(i).Features().visibility;
    out += "<sheet name=\"" + Escaped(book.GetSheet(i).Name()) + "\" sheetId=\"" +
           std::to_string(i) + "\"";
    if (state == SheetVisibility::Hidden) out += " state=\"hidden\"";
    if (state == SheetVisibility::VeryHidden) out += " state=\"veryHidden\"";
    out += " r:id=\"rId" + std::to_string(i) + "\"/>";
  }
  out += "</sheets>";
  std::string names = builtinNames;
  for (const DefinedName& n : book.Names()) {
    if (n.formula.empty()) continue;
    std::string head = "<definedName name=\"" + Escaped(n.name) + "\"";
    if (n.sheetId) {
      int index = book.SheetIndexById(n.sheetId);
      if (index == 0) continue;  // the name's sheet is gone
      head += " localSheetId=\"" + std::to_string(index - 1) + "\"";
    }
    // A built-in name the sheet's print settings or filter already give is written once.
    if (n.name.rfind("_xlnm.", 0) == 0 && builtinNames.find(head) != std::string::npos) continue;
    names += head + ">" + Escaped(n.formula) + "</definedName>";
  }
  if (!names.empty()) out += "<definedNames>" + names + "</definedNames>";
  return out + "</workbook>";
}

}  // namespace

xls::Bytes WriteXlsx(Workbook& book) {
  if (!book.ForeignParts().empty())
    throw EngineError(kErrFile,
                      "The workbook holds charts, pictures, macros or other objects (such as " +
                          book.ForeignParts().front() +
                          ") that this program cannot write to an .xlsx file; nothing was saved, "
                          "and the original file keeps them.");
  CheckCarried(book);
  SharedStrings sst;
  FeatureWriter features(book);
  std::vector<std::string> sheets;
  std::vector<SheetExtraParts> extras(static_cast<std::size_t>(book.SheetCount()));
  for (int i = 1; i <= book.SheetCount(); ++i)
    sheets.push_back(SheetXml(book, book.GetSheet(i), i, i == book.ActiveIndex(), sst, features,
                              extras[static_cast<std::size_t>(i - 1)]));

  int n = book.SheetCount();
  std::string types = std::string(kXmlHead) +
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
      "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
      "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>";
  for (int i = 1; i <= n; ++i)
    types += "<Override PartName=\"/xl/worksheets/sheet" + std::to_string(i) +
             ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
  for (const SheetExtraParts& e : extras)
    for (const auto& [part, type] : e.contentTypes)
      types += "<Override PartName=\"" + part + "\" ContentType=\"" + type + "\"/>";
  std::vector<std::pair<std::string, std::string>> carried;
  AddCarriedParts(book, carried, types);
  types += "</Types>";

  std::string rootRels = std::string(kXmlHead) +
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rId1\" Type=\"" + kRelType + "officeDocument\" Target=\"xl/workbook.xml\"/>"
      "</Relationships>";
  std::string bookRels = std::string(kXmlHead) +
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  for (int i = 1; i <= n; ++i)
    bookRels += "<Relationship Id=\"rId" + std::to_string(i) + "\" Type=\"" + kRelType +
                "worksheet\" Target=\"worksheets/sheet" + std::to_string(i) + ".xml\"/>";
  bookRels += "<Relationship Id=\"rId" + std::to_string(n + 1) + "\" Type=\"" + kRelType +
              "styles\" Target=\"styles.xml\"/>";
  bookRels += "<Relationship Id=\"rId" + std::to_string(n + 2) + "\" Type=\"" + kRelType +
              "sharedStrings\" Target=\"sharedStrings.xml\"/>";
  bookRels += "</Relationships>";

  ZipWriter zip;
  zip.Add("[Content_Types].xml", std::move(types));
  zip.Add("_rels/.rels", std::move(rootRels));
  zip.Add("xl/workbook.xml", WorkbookXml(book, features.BuiltinNames()));
  zip.Add("xl/_rels/workbook.xml.rels", std::move(bookRels));
  zip.Add("xl/styles.xml", StylesWriter(book).Write(features.DiffFormats()));
  zip.Add("xl/sharedStrings.xml", sst.Write(book.Styles()));
  for (int i = 1; i <= n; ++i) {
    std::string part = "xl/worksheets/sheet" + std::to_string(i) + ".xml";
    SheetExtraParts& extra = extras[static_cast<std::size_t>(i - 1)];
    zip.Add(part, std::move(sheets[static_cast<std::size_t>(i - 1)]));
    if (!extra.rels.empty())
      zip.Add("xl/worksheets/_rels/sheet" + std::to_string(i) + ".xml.rels",
              std::string(kXmlHead) +
                  "<Relationships "
                  "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
                  extra.rels + "</Relationships>");
    for (auto& [name, content] : extra.parts) zip.Add(name, std::move(content));
  }
  for (auto& [name, content] : carried) zip.Add(name, std::move(content));
  return zip.Finish();
}

}  // namespace engine::xlsx
