// Writing what a sheet carries besides its cells into its worksheet part, with the comments
// part and the drawing that shows each comment, and the sheets' built-in names. Items on the
// heading row (row 0 of an open table whose names row is out) are not written.
#include <algorithm>
#include <iterator>

#include "control/formula/parser.h"
#include "control/xls/biff_palette.h"
#include "control/xlsx/cell_ref.h"
#include "control/xlsx/xlsx_carried.h"
#include "control/xlsx/xlsx_condfmt.h"
#include "control/xlsx/xlsx_header_footer.h"
#include "control/xlsx/xlsx_sheet_features.h"
#include "control/xlsx/xml_stream.h"
#include "control/xlsx/xml_write.h"

namespace engine::xlsx {

namespace {

constexpr const char* kRelType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
constexpr const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

std::string Attr(const char* name, const std::string& value) {
  return std::string(" ") + name + "=\"" + Escaped(value) + "\"";
}

bool OnSheet(const CellRange& r) {
  return r.row1 >= 1 && r.col1 >= 1 && r.row2 >= r.row1 && r.col2 >= r.col1;
}

std::string RangeName(const CellRange& r) {
  std::string a = CellName(r.row1, r.col1);
  if (r.row1 == r.row2 && r.col1 == r.col2) return a;
  return a + ":" + CellName(r.row2, r.col2);
}

std::string RangeList(const std::vector<CellRange>& ranges) {
  std::string out;
  for (const CellRange& r : ranges) {
    if (!OnSheet(r)) continue;
    if (!out.empty()) out += ' ';
    out += RangeName(r);
  }
  return out;
}

const char* ValidationTypeName(ValidationType t) {
  switch (t) {
    case ValidationType::Whole:
      return "whole";
    case ValidationType::Decimal:
      return "decimal";
    case ValidationType::List:
      return "list";
    case ValidationType::Date:
      return "date";
    case ValidationType::Time:
      return "time";
    case ValidationType::TextLength:
      return "textLength";
    case ValidationType::Custom:
      return "custom";
    case ValidationType::Any:
      break;
  }
  return nullptr;
}

const char* OperatorName(ValidationOperator o) {
  switch (o) {
    case ValidationOperator::NotBetween:
      return "notBetween";
    case ValidationOperator::Equal:
      return "equal";
    case ValidationOperator::NotEqual:
      return "notEqual";
    case ValidationOperator::Greater:
      return "greaterThan";
    case ValidationOperator::Less:
      return "lessThan";
    case ValidationOperator::GreaterOrEqual:
      return "greaterThanOrEqual";
    case ValidationOperator::LessOrEqual:
      return "lessThanOrEqual";
    case ValidationOperator::Between:
      break;
  }
  return nullptr;
}

std::string ViewXml(const SheetView& v, bool active) {
  std::string out = "<sheetViews><sheetView";
  if (!v.gridlines) out += " showGridLines=\"0\"";
  if (!v.headings) out += " showRowColHeaders=\"0\"";
  if (!v.zeros) out += " showZeros=\"0\"";
  if (active) out += " tabSelected=\"1\"";
  if (v.topRow > 1 || v.leftCol > 1)
    out += " topLeftCell=\"" +
           CellName(std::clamp(v.topRow, 1, kMaxRow), std::clamp(v.leftCol, 1, kMaxCol)) + "\"";
  if (v.zoom != 100) {
    std::string z = std::to_string(std::clamp(v.zoom, 10, 400));
    out += " zoomScale=\"" + z + "\" zoomScaleNormal=\"" + z + "\"";
  }
  out += " workbookViewId=\"0\"";
  static constexpr const char* kPanes[4] = {"bottomRight", "topRight", "bottomLeft", "topLeft"};
  std::string pane;
  if (v.frozen && (v.splitRow > 1 || v.splitCol > 1)) {
    int rows = std::max(v.splitRow - 1, 0), cols = std::max(v.splitCol - 1, 0);
    int top = v.paneRow > 0 ? v.paneRow : rows + 1, left = v.paneCol > 0 ? v.paneCol : cols + 1;
    const char* active = rows > 0 && cols > 0 ? "bottomRight"
                         : rows > 0           ? "bottomLeft"
                                              : "topRight";
    pane = "<pane";
    if (cols > 0) pane += " xSplit=\"" + std::to_string(cols) + "\"";
    if (rows > 0) pane += " ySplit=\"" + std::to_string(rows) + "\"";
    pane +=
        " topLeftCell=\"" + CellName(std::clamp(top, 1, kMaxRow), std::clamp(left, 1, kMaxCol)) +
        "\" activePane=\"" + active + "\" state=\"frozen\"/><selection pane=\"" + active + "\"/>";
  } else if (!v.frozen && (v.splitX > 0 || v.splitY > 0)) {
    pane = "<pane";
    if (v.splitX > 0) pane += " xSplit=\"" + std::to_string(v.splitX) + "\"";
    if (v.splitY > 0) pane += " ySplit=\"" + std::to_string(v.splitY) + "\"";
    int top = std::clamp(v.paneRow > 0 ? v.paneRow : 1, 1, kMaxRow);
    int left = std::clamp(v.paneCol > 0 ? v.paneCol : 1, 1, kMaxCol);
    pane += " topLeftCell=\"" + CellName(top, left) + "\" activePane=\"" +
            kPanes[v.activePane & 3] + "\"/>";
  }
  out += pane.empty() ? "/>" : ">" + pane + "</sheetView>";
  return out + "</sheetViews>";
}

std::string ValidationXml(const ValidationRule& v) {
  std::string ranges = RangeList(v.ranges);
  if (ranges.empty()) return {};
  std::string out = "<dataValidation";
  if (const char* t = ValidationTypeName(v.type)) out += std::string(" type=\"") + t + "\"";
  if (v.errorStyle == ErrorStyle::Warning) out += " errorStyle=\"warning\"";
  if (v.errorStyle == ErrorStyle::Information) out += " errorStyle=\"information\"";
  if (const char* o = OperatorName(v.op)) out += std::string(" operator=\"") + o + "\"";
  if (v.ignoreBlank) out += " allowBlank=\"1\"";
  if (!v.dropDown) out += " showDropDown=\"1\"";
  if (v.showInput) out += " showInputMessage=\"1\"";
  if (v.showError) out += " showErrorMessage=\"1\"";
  if (!v.errorTitle.empty()) out += Attr("errorTitle", v.errorTitle);
  if (!v.errorText.empty()) out += Attr("error", v.errorText);
  if (!v.inputTitle.empty()) out += Attr("promptTitle", v.inputTitle);
  if (!v.inputText.empty()) out += Attr("prompt", v.inputText);
  out += " sqref=\"" + ranges + "\">";
  std::string f1 = v.formula1;
  if (v.type == ValidationType::List && f1.empty() && !v.items.empty()) {
    f1 = "\"";
    for (std::size_t i = 0; i < v.items.size(); ++i) {
      if (i) f1 += ',';
      for (char c : v.items[i]) f1 += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    f1 += '"';
  }
  if (!f1.empty()) out += "<formula1>" + Escaped(f1) + "</formula1>";
  if (!v.formula2.empty()) out += "<formula2>" + Escaped(v.formula2) + "</formula2>";
  return out + "</dataValidation>";
}

std::string PageXml(const PageSetup& p) {
  std::string out;
  if (p.centerH || p.centerV || p.printGridlines || p.printHeadings) {
    out += "<printOptions";
    if (p.centerH) out += " horizontalCentered=\"1\"";
    if (p.centerV) out += " verticalCentered=\"1\"";
    if (p.printHeadings) out += " headings=\"1\"";
    if (p.printGridlines) out += " gridLines=\"1\"";
    out += "/>";
  }
  out += "<pageMargins left=\"" + NumberText(p.left) + "\" right=\"" + NumberText(p.right) +
         "\" top=\"" + NumberText(p.top) + "\" bottom=\"" + NumberText(p.bottom) + "\" header=\"" +
         NumberText(p.headerMargin) + "\" footer=\"" + NumberText(p.footerMargin) + "\"/>";
  std::string setup;
  if (p.printerSettings && p.paperSize > 0)
    setup += " paperSize=\"" + std::to_string(p.paperSize) + "\"";
  if (p.scale != 100) setup += " scale=\"" + std::to_string(std::clamp(p.scale, 10, 400)) + "\"";
  if (p.usePageNumber) setup += " firstPageNumber=\"" + std::to_string(p.firstPage) + "\"";
  if (p.fitWidth != 1) setup += " fitToWidth=\"" + std::to_string(p.fitWidth) + "\"";
  if (p.fitHeight != 1) setup += " fitToHeight=\"" + std::to_string(p.fitHeight) + "\"";
  if (p.leftToRight) setup += " pageOrder=\"overThenDown\"";
  if (p.landscape)
    setup += " orientation=\"landscape\"";
  else if (p.printerSettings)
    setup += " orientation=\"portrait\"";
  if (p.blackAndWhite) setup += " blackAndWhite=\"1\"";
  if (p.draft) setup += " draft=\"1\"";
  if (p.usePageNumber) setup += " useFirstPageNumber=\"1\"";
  if (p.printerSettings) {
    setup += " horizontalDpi=\"" + std::to_string(p.hRes) + "\" verticalDpi=\"" +
             std::to_string(p.vRes) + "\"";
    if (p.copies > 1) setup += " copies=\"" + std::to_string(p.copies) + "\"";
  }
  if (!setup.empty()) out += "<pageSetup" + setup + "/>";
  if (!p.header.empty() || !p.footer.empty()) {
    out += "<headerFooter>";
    if (!p.header.empty()) out += "<oddHeader>" + Escaped(OrderedSections(p.header)) + "</oddHeader>";
    if (!p.footer.empty()) out += "<oddFooter>" + Escaped(OrderedSections(p.footer)) + "</oddFooter>";
    out += "</headerFooter>";
  }
  auto breaks = [&](const char* tag, std::vector<int> list, int limit, const char* max) {
    list.erase(std::remove_if(list.begin(), list.end(), [&](int b) { return b < 2 || b > limit; }),
               list.end());
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    if (list.empty()) return;
    std::string n = std::to_string(list.size());
    out += std::string("<") + tag + " count=\"" + n + "\" manualBreakCount=\"" + n + "\">";
    for (int b : list)
      out += "<brk id=\"" + std::to_string(b - 1) + "\" max=\"" + max + "\" man=\"1\"/>";
    out += std::string("</") + tag + ">";
  };
  breaks("rowBreaks", p.rowBreaks, kMaxRow, "16383");
  breaks("colBreaks", p.colBreaks, kMaxCol, "1048575");
  return out;
}


// The drawing that shows comments: one note shape per comment, anchored beside its cell.
std::string NotesVml(const std::vector<const Comment*>& notes, int index) {
  std::string out =
      "<xml xmlns:v=\"urn:schemas-microsoft-com:vml\" "
      "xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
      "xmlns:x=\"urn:schemas-microsoft-com:office:excel\">"
      "<o:shapelayout v:ext=\"edit\"><o:idmap v:ext=\"edit\" data=\"" +
      std::to_string(index) +
      "\"/></o:shapelayout>"
      "<v:shapetype id=\"_x0000_t202\" coordsize=\"21600,21600\" o:spt=\"202\" "
      "path=\"m,l,21600r21600,l21600,xe\">"
      "<v:stroke joinstyle=\"miter\"/><v:path gradientshapeok=\"t\" "
      "o:connecttype=\"rect\"/></v:shapetype>";
  int id = index * 1024 + 1;
  for (const Comment* c : notes) {
    int col0 = c->col - 1, row0 = c->row - 1;
    int anchorRow = std::max(row0 - 1, 0);
    out +=
        "<v:shape id=\"_x0000_s" + std::to_string(id++) +
        "\" type=\"#_x0000_t202\" style=\"position:absolute;margin-left:59.25pt;margin-top:1.5pt;"
        "width:108pt;height:59.25pt;z-index:1;visibility:" +
        (c->shown ? "visible" : "hidden") +
        "\" fillcolor=\"#ffffe1\" o:insetmode=\"auto\"><v:fill color2=\"#ffffe1\"/>"
        "<v:shadow on=\"t\" color=\"black\" obscured=\"t\"/><v:path o:connecttype=\"none\"/>"
        "<v:textbox style=\"mso-direction-alt:auto\"><div "
        "style=\"text-align:left\"></div></v:textbox>"
        "<x:ClientData ObjectType=\"Note\"><x:MoveWithCells/><x:SizeWithCells/><x:Anchor>" +
        std::to_string(std::min(col0 + 1, kMaxCol - 1)) + ", 15, " + std::to_string(anchorRow) +
        ", 2, " + std::to_string(std::min(col0 + 3, kMaxCol - 1)) + ", 15, " +
        std::to_string(std::min(anchorRow + 4, kMaxRow - 1)) +
        ", 16</x:Anchor><x:AutoFill>False</x:AutoFill><x:Row>" + std::to_string(row0) +
        "</x:Row><x:Column>" + std::to_string(col0) + "</x:Column>" +
        (c->shown ? "<x:Visible/>" : "") + "</x:ClientData></v:shape>";
  }
  return out + "</xml>";
}

std::string CommentsXml(const std::vector<const Comment*>& notes) {
  std::vector<std::string> authors;
  std::string list;
  for (const Comment* c : notes) {
    auto it = std::find(authors.begin(), authors.end(), c->author);
    std::size_t author = static_cast<std::size_t>(it - authors.begin());
    if (it == authors.end()) authors.push_back(c->author);
    list += "<comment ref=\"" + CellName(c->row, c->col) + "\" authorId=\"" +
            std::to_string(author) + "\"><text><t xml:space=\"preserve\">" + Escaped(c->text) +
            "</t></text></comment>";
  }
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
  out += std::string("<comments xmlns=\"") + kMain + "\"><authors>";
  for (const std::string& a : authors) out += "<author>" + Escaped(a) + "</author>";
  return out + "</authors><commentList>" + list + "</commentList></comments>";
}

std::string AreaText(const std::string& sheet, const CellRange& r) {
  std::string prefix = formula::QuoteSheetName(sheet) + "!";
  auto abs = [](int row, int col) { return "$" + ColumnName(col) + "$" + std::to_string(row); };
  return prefix + abs(r.row1, r.col1) + ":" + abs(r.row2, r.col2);
}

}  // namespace

std::string DxfXml(const DiffFormat& f, std::string_view tag) {
  std::string out = "<" + std::string(tag) + ">";
  bool font =
      f.hasBold || f.hasItalic || f.hasStrike || f.hasUnderline || f.fontColor != kAutoColor;
  if (font) {
    out += "<font>";
    if (f.hasBold) out += f.bold ? "<b/>" : "<b val=\"0\"/>";
    if (f.hasItalic) out += f.italic ? "<i/>" : "<i val=\"0\"/>";
    if (f.hasStrike) out += f.strike ? "<strike/>" : "<strike val=\"0\"/>";
    if (f.fontColor != kAutoColor) out += "<color rgb=\"" + Argb(f.fontColor) + "\"/>";
    if (f.hasUnderline) out += f.underline ? "<u/>" : "<u val=\"none\"/>";
    out += "</font>";
  }
  if (f.fill != kAutoColor)
    out += "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"" + Argb(f.fill) +
           "\"/><bgColor rgb=\"" + Argb(f.fill) + "\"/></patternFill></fill>";
  return out + "</" + std::string(tag) + ">";
}

std::string FeatureWriter::SheetHead(const Sheet& sheet, bool active) {
  const SheetFeatures& f = sheet.Features();
  std::string out;
  bool tab = f.view.tabColor >= 8 && f.view.tabColor < 64;
  if (tab || f.page.fitToPage) {
    out += "<sheetPr>";
    if (tab)
      out += "<tabColor rgb=\"" +
             Argb(xls::Palette().Color(static_cast<unsigned>(f.view.tabColor))) + "\"/>";
    if (f.page.fitToPage) out += "<pageSetUpPr fitToPage=\"1\"/>";
    out += "</sheetPr>";
  }
  out += ViewXml(f.view, active);
  out += "<sheetFormatPr";
  if (f.defaultColWidth != 8)
    out += " baseColWidth=\"" + std::to_string(std::clamp(f.defaultColWidth, 0, 255)) + "\"";
  int rowLevels = 0, colLevels = 0;
  for (int r = 1; r <= sheet.RowAttrCount(); ++r)
    rowLevels = std::max<int>(rowLevels, sheet.GetRowAttr(r).outline);
  for (int c = 1; c <= kMaxCol; ++c) colLevels = std::max<int>(colLevels, sheet.ColAttr(c).outline);
  {
    const int height = f.defaultRowHeight;
    out += " defaultRowHeight=\"";
    out += NumberText((height > 0 ? height : kStandardRowHeight) / 20.0);
    out += height > 0 && height != kStandardRowHeight ? "\" customHeight=\"1\"" : "\"";
  }
  if (rowLevels) out += " outlineLevelRow=\"" + std::to_string(rowLevels) + "\"";
  if (colLevels) out += " outlineLevelCol=\"" + std::to_string(colLevels) + "\"";
  return out + "/>";
}

std::string FeatureWriter::SheetTail(const Sheet& sheet, int index, SheetExtraParts& extra) {
  const SheetFeatures& f = sheet.Features();
  std::string out;
  if (f.filter.on && OnSheet(f.filter.range)) {
    std::string columns = FilterColumnsXml(f.filter);
    out += "<autoFilter ref=\"" + RangeName(f.filter.range) + "\"" +
           (columns.empty() ? "/>" : ">" + columns + "</autoFilter>");
  }

  std::string merges;
  int mergeCount = 0;
  for (const CellRange& r : f.merges)
    if (OnSheet(r)) {
      merges += "<mergeCell ref=\"" + RangeName(r) + "\"/>";
      ++mergeCount;
    }
  if (mergeCount)
    out += "<mergeCells count=\"" + std::to_string(mergeCount) + "\">" + merges + "</mergeCells>";

  ExtensionRulesWriter newerRules(book_, index);
  out += ConditionalXml(f, newerRules);

  std::string validations;
  int validationCount = 0;
  for (const ValidationRule& v : f.validations) {
    std::string x = ValidationXml(v);
    if (x.empty()) continue;
    validations += x;
    ++validationCount;
  }
  if (validationCount || f.validationPromptsHidden) {
    out += "<dataValidations";
    if (f.validationPromptsHidden) out += " disablePrompts=\"1\"";
    out +=
        " count=\"" + std::to_string(validationCount) + "\">" + validations + "</dataValidations>";
  }

  std::string links;
  for (const Hyperlink& l : f.links) {
    if (!OnSheet(l.range)) continue;
    bool external = l.kind != LinkKind::Cell && !l.target.empty();
    if (!external && l.location.empty()) continue;
    links += "<hyperlink ref=\"" + RangeName(l.range) + "\"";
    if (external) {
      std::string id = "rId" + std::to_string(extra.nextRel++);
      extra.rels += "<Relationship Id=\"" + id + "\" Type=\"" + kRelType + "hyperlink\" Target=\"" +
                    Escaped(l.target) + "\" TargetMode=\"External\"/>";
      links += " r:id=\"" + id + "\"";
    }
    if (!l.location.empty()) links += Attr("location", l.location);
    if (!l.tooltip.empty()) links += Attr("tooltip", l.tooltip);
    if (!l.description.empty()) links += Attr("display", l.description);
    links += "/>";
  }
  if (!links.empty()) out += "<hyperlinks>" + links + "</hyperlinks>";

  out += PageXml(f.page);

  out += CarriedElements(book_, sheet, "drawing", extra.rels, extra.nextRel);
  std::vector<const Comment*> notes;
  for (const Comment& c : f.comments)
    if (c.row >= 1 && c.col >= 1 && c.row <= kMaxRow && c.col <= kMaxCol) notes.push_back(&c);
  if (!notes.empty()) {
    std::string n = std::to_string(index);
    std::string comments = "xl/comments" + n + ".xml",
                vml = "xl/drawings/commentsDrawing" + n + ".vml";
    extra.parts.emplace_back(comments, CommentsXml(notes));
    extra.parts.emplace_back(vml, NotesVml(notes, index));
    extra.contentTypes.emplace_back(
        "/" + comments, "application/vnd.openxmlformats-officedocument.spreadsheetml.comments+xml");
    extra.contentTypes.emplace_back("/" + vml,
                                    "application/vnd.openxmlformats-officedocument.vmlDrawing");
    std::string cid = "rId" + std::to_string(extra.nextRel++);
    std::string vid = "rId" + std::to_string(extra.nextRel++);
    extra.rels += "<Relationship Id=\"" + cid + "\" Type=\"" + kRelType +
                  "comments\" Target=\"../comments" + n + ".xml\"/>";
    extra.rels += "<Relationship Id=\"" + vid + "\" Type=\"" + kRelType +
                  "vmlDrawing\" Target=\"../drawings/commentsDrawing" + n + ".vml\"/>";
    out += "<legacyDrawing r:id=\"" + vid + "\"/>";
  }
  out += CarriedElements(book_, sheet, "legacyDrawingHF", extra.rels, extra.nextRel);
  out += CarriedElements(book_, sheet, "picture", extra.rels, extra.nextRel);
  return out + newerRules.Xml();
}

std::string FeatureWriter::FilterColumnsXml(const AutoFilter& filter) {
  // Columns in order, whichever form holds their criteria.
  std::vector<std::pair<int, std::string>> columns;
  for (const RecordBytes& c : filter.criteria)
    if (c.size() >= 2) columns.emplace_back(c[0] | (c[1] << 8), RecordToFilterXml(c));
  for (const ExtendedFilter& x : filter.extended) {
    std::string xml = "<filterColumn colId=\"" + std::to_string(x.column) + "\">" + x.xml;
    if (x.byColor) {
      dxfs_.push_back(DxfXml(x.format));
      xml += "<colorFilter dxfId=\"" + std::to_string(dxfs_.size() - 1) + "\"" +
             (x.cellColor ? "" : " cellColor=\"0\"") + "/>";
    }
    columns.emplace_back(x.column, xml + "</filterColumn>");
  }
  std::stable_sort(columns.begin(), columns.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string out;
  for (const auto& c : columns) out += c.second;
  return out;
}

std::string FeatureWriter::ConditionalXml(const SheetFeatures& f, ExtensionRulesWriter& newer) {
  // Rules keep the priorities they were read with, renumbered from 1; a rule without one
  // follows the rule before it.
  std::vector<std::pair<int, std::size_t>> order;
  int last = 0;
  auto note = [&](int priority) {
    if (priority > 0) last = priority;
    order.emplace_back(last, order.size());
  };
  std::vector<const ConditionalFormat*> kept;
  for (const ConditionalFormat& cf : f.conditional) {
    if (std::none_of(cf.ranges.begin(), cf.ranges.end(), OnSheet)) continue;
    kept.push_back(&cf);
    for (std::size_t i = 0; i < cf.rules.size(); ++i)
      note(i < cf.priorities.size() ? cf.priorities[i] : 0);
    for (const ExtendedRule& rule : cf.extended) note(rule.priority);
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<int> priority(order.size());
  for (std::size_t i = 0; i < order.size(); ++i)
    priority[order[i].second] = static_cast<int>(i) + 1;

  std::string out;
  std::size_t next = 0;
  for (const ConditionalFormat* cf : kept) {
    std::vector<CellRange> ranges;
    std::copy_if(cf->ranges.begin(), cf->ranges.end(), std::back_inserter(ranges), OnSheet);
    std::string rules;
    for (const RecordBytes& bytes : cf->rules) {
      int p = priority[next++];
      PackageRule rule;
      if (!RecordToRule(book_, ranges.front(), bytes, rule)) continue;
      dxfs_.push_back(DxfXml(rule.format));
      rules += "<cfRule type=\"" + rule.type + "\" dxfId=\"" + std::to_string(dxfs_.size() - 1) +
               "\" priority=\"" + std::to_string(p) + "\"";
      if (!rule.op.empty()) rules += " operator=\"" + rule.op + "\"";
      rules += ">";
      for (const std::string& formula : rule.formulas)
        rules += "<formula>" + Escaped(formula) + "</formula>";
      rules += "</cfRule>";
    }
    for (const ExtendedRule& rule : cf->extended) {
      int p = priority[next++];
      if (rule.extensionOnly) {
        newer.Add(ranges.front(), rule, p);
        continue;
      }
      int dxf = -1;
      if (rule.hasFormat) {
        dxfs_.push_back(DxfXml(rule.format));
        dxf = static_cast<int>(dxfs_.size()) - 1;
      }
      std::string id = rule.ext.present ? newer.Link(ranges.front(), rule) : std::string();
      rules += ExtendedRuleXml(book_, ranges.front(), rule, p, dxf, id);
    }
    newer.EndFormat(RangeList(ranges));
    if (!rules.empty())
      out += "<conditionalFormatting sqref=\"" + RangeList(ranges) + "\">" + rules +
             "</conditionalFormatting>";
  }
  return out;
}

std::string FeatureWriter::BuiltinNames() {
  std::string out;
  for (int i = 1; i <= book_.SheetCount(); ++i) {
    const Sheet& sheet = book_.GetSheet(i);
    const SheetFeatures& f = sheet.Features();
    std::string local = " localSheetId=\"" + std::to_string(i - 1) + "\"";
    if ((f.filter.on || f.filter.named) && OnSheet(f.filter.range))
      out += "<definedName name=\"_xlnm._FilterDatabase\"" + local + " hidden=\"1\">" +
             Escaped(AreaText(sheet.Name(), f.filter.range)) + "</definedName>";
    std::string area;
    for (const CellRange& r : f.page.printArea) {
      if (!OnSheet(r)) continue;
      if (!area.empty()) area += ',';
      area += AreaText(sheet.Name(), r);
    }
    if (!area.empty())
      out +=
          "<definedName name=\"_xlnm.Print_Area\"" + local + ">" + Escaped(area) + "</definedName>";
    std::string titles;
    std::string prefix = formula::QuoteSheetName(sheet.Name()) + "!";
    if (f.page.titleCol1 >= 1 && f.page.titleCol2 >= f.page.titleCol1)
      titles += prefix + "$" + ColumnName(f.page.titleCol1) + ":$" +
                ColumnName(std::min(f.page.titleCol2, kMaxCol));
    if (f.page.titleRow1 >= 1 && f.page.titleRow2 >= f.page.titleRow1) {
      if (!titles.empty()) titles += ',';
      titles += prefix + "$" + std::to_string(f.page.titleRow1) + ":$" +
                std::to_string(std::min(f.page.titleRow2, kMaxRow));
    }
    if (!titles.empty())
      out += "<definedName name=\"_xlnm.Print_Titles\"" + local + ">" + Escaped(titles) +
             "</definedName>";
  }
  return out;
}

std::string FeatureWriter::DiffFormats() const {
  if (dxfs_.empty()) return {};
  std::string out = "<dxfs count=\"" + std::to_string(dxfs_.size()) + "\">";
  for (const std::string& d : dxfs_) out += d;
  return out + "</dxfs>";
}

}  // namespace engine::xlsx
