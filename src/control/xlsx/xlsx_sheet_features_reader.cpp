// Reading what a worksheet part carries outside its cells. Ranges reaching past the sheet's
// limits are clipped; an item wholly beyond them is left out, as for column and row formats.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "control/engine_error.h"
#include "control/xlsx/cell_ref.h"
#include "control/xlsx/xlsx_carried.h"
#include "control/xlsx/xlsx_condfmt.h"
#include "control/xlsx/xlsx_sheet_features.h"
#include "control/xlsx/xlsx_styles.h"
#include "control/xlsx/xml_write.h"
#include "control/xlsx/zip_package.h"

namespace engine::xlsx {

namespace {

constexpr std::size_t kMaxFeatureText = 1u << 16;
constexpr std::size_t kMaxItems = 65536;  // ranges, links, comments … of one sheet
constexpr std::size_t kMaxFilterXml = 1u << 24;  // a filter column's criteria as read

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

class LinksHandler : public XmlHandler {
 public:
  explicit LinksHandler(std::string folder) : folder_(std::move(folder)) {}
  std::map<std::string, PartLink> byId;
  void Start(std::string_view name, const XmlAttrs& a) override {
    if (name != "Relationship" || byId.size() >= kMaxItems) return;
    PartLink l;
    l.type = std::string(a.Get("Type"));
    l.external = a.Get("TargetMode") == "External";
    l.target = l.external ? DecodeEscapes(std::string(a.Get("Target")))
                          : ResolvePartName(folder_, a.Get("Target"));
    byId[std::string(a.Get("Id"))] = std::move(l);
  }

 private:
  std::string folder_;
};

// A range clipped to the sheet; false when nothing of it lies on the sheet.
bool Clip(int r1, int c1, int r2, int c2, CellRange& out) {
  if (r1 > r2) std::swap(r1, r2);
  if (c1 > c2) std::swap(c1, c2);
  if (r1 < 1 || c1 < 1 || r1 > kMaxRow || c1 > kMaxCol) return false;
  out = CellRange{r1, c1, std::min(r2, kMaxRow), std::min(c2, kMaxCol)};
  return true;
}

bool RangeOf(std::string_view text, CellRange& out) {
  int r1, c1, r2, c2;
  return ParseRangeRef(text, r1, c1, r2, c2) && Clip(r1, c1, r2, c2, out);
}

}  // namespace

std::vector<CellRange> RangeList(std::string_view text) {
  std::vector<CellRange> out;
  while (!text.empty() && out.size() < kMaxItems) {
    std::size_t space = text.find(' ');
    std::string_view item = text.substr(0, space);
    CellRange r;
    if (!item.empty() && RangeOf(item, r)) out.push_back(r);
    if (space == std::string_view::npos) break;
    text.remove_prefix(space + 1);
  }
  return out;
}

namespace {

int TabColorIndex(const XmlAttrs& a) {
  if (a.Has("indexed")) {
    int i = a.Int("indexed", -1);
    return i >= 8 && i < 64 ? i : -1;
  }
  if (!a.Has("rgb")) return -1;
  // A tab colour is a palette entry: the nearest one.
  std::uint32_t bgr = ParseArgb(a.Get("rgb"), kAutoColor);
  return bgr == kAutoColor ? -1 : static_cast<int>(NearestPaletteIndex(bgr));
}

double Margin(const XmlAttrs& a, std::string_view name, double fallback) {
  double d = a.Number(name, fallback);
  return std::isfinite(d) && d >= 0 && d < 100 ? d : fallback;
}

void Breaks(const XmlAttrs& a, std::vector<int>& out, int limit) {
  int id = a.Int("id", 0);
  if (id >= 1 && id < limit && out.size() < 1026) out.push_back(id + 1);
}

ValidationType TypeOf(std::string_view t) {
  if (t == "whole") return ValidationType::Whole;
  if (t == "decimal") return ValidationType::Decimal;
  if (t == "list") return ValidationType::List;
  if (t == "date") return ValidationType::Date;
  if (t == "time") return ValidationType::Time;
  if (t == "textLength") return ValidationType::TextLength;
  if (t == "custom") return ValidationType::Custom;
  return ValidationType::Any;
}

ValidationOperator OperatorOf(std::string_view o) {
  if (o == "notBetween") return ValidationOperator::NotBetween;
  if (o == "equal") return ValidationOperator::Equal;
  if (o == "notEqual") return ValidationOperator::NotEqual;
  if (o == "greaterThan") return ValidationOperator::Greater;
  if (o == "lessThan") return ValidationOperator::Less;
  if (o == "greaterThanOrEqual") return ValidationOperator::GreaterOrEqual;
  if (o == "lessThanOrEqual") return ValidationOperator::LessOrEqual;
  return ValidationOperator::Between;
}

// A list validation's literal items: "a,b,c" in quotes, doubled quotes inside.
bool LiteralItems(const std::string& formula, std::vector<std::string>& items) {
  if (formula.size() < 2 || formula.front() != '"' || formula.back() != '"') return false;
  std::string body = formula.substr(1, formula.size() - 2);
  std::string item;
  items.clear();
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '"') {
      if (i + 1 < body.size() && body[i + 1] == '"')
        ++i;
      else
        return false;  // a quote ends the string early: a formula, not a list
      item += '"';
    } else if (body[i] == ',') {
      items.push_back(std::move(item));
      item.clear();
    } else {
      item += body[i];
    }
  }
  items.push_back(std::move(item));
  return true;
}

// Comments part: authors and the text of each comment (runs joined, phonetic hints left out).
class CommentsHandler : public XmlHandler {
 public:
  std::vector<std::string> authors;
  struct Item {
    std::string ref;
    int author = 0;
    std::string text;
  };
  std::vector<Item> items;
  void Start(std::string_view name, const XmlAttrs& a) override {
    if (name == "author") {
      capture_ = nullptr;
      if (authors.size() < kMaxItems) capture_ = &authors.emplace_back();
    } else if (name == "comment" && items.size() < kMaxItems) {
      capture_ = nullptr;  // the text taken may move with the list
      items.push_back({std::string(a.Get("ref")), a.Int("authorId", 0), {}});
      inComment_ = true;
    } else if (name == "rPh") {
      inPhonetic_ = true;
    } else if (name == "t" && inComment_ && !inPhonetic_) {
      capture_ = &items.back().text;
    }
  }
  void End(std::string_view name) override {
    if (name == "author" || name == "t")
      capture_ = nullptr;
    else if (name == "comment")
      inComment_ = false;
    else if (name == "rPh")
      inPhonetic_ = false;
  }
  void Text(std::string_view text) override {
    if (capture_ && capture_->size() + text.size() <= 32767) capture_->append(text);
  }

 private:
  std::string* capture_ = nullptr;
  bool inComment_ = false, inPhonetic_ = false;
};

// The drawing of comments: which notes are shown (x:Visible) at which cell.
class NoteShapesHandler : public XmlHandler {
 public:
  struct Note {
    int row = -1, col = -1;
    bool visible = false;
  };
  std::vector<Note> notes;
  std::size_t shapes = 0;
  void Start(std::string_view name, const XmlAttrs& a) override {
    if (name == "shape") {
      ++shapes;
    } else if (name == "ClientData") {
      inNote_ = a.Get("ObjectType") == "Note" && notes.size() < kMaxItems;
      if (inNote_) notes.emplace_back();
    } else if (inNote_ && (name == "Row" || name == "Column")) {
      text_.clear();
      capture_ = true;
    } else if (inNote_ && name == "Visible") {
      notes.back().visible = true;
    }
  }
  void End(std::string_view name) override {
    if (!inNote_) return;
    if (name == "Row")
      notes.back().row = XmlAttrs::ToInt(Trim(text_), -1);
    else if (name == "Column")
      notes.back().col = XmlAttrs::ToInt(Trim(text_), -1);
    else if (name == "ClientData")
      inNote_ = false;
    capture_ = false;
  }
  void Text(std::string_view text) override {
    if (capture_ && text_.size() < 64) text_.append(text);
  }

 private:
  static std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\n' || s.front() == '\r'))
      s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\n' || s.back() == '\r'))
      s.remove_suffix(1);
    return s;
  }
  bool inNote_ = false, capture_ = false;
  std::string text_;
};

// The differential formats of the styles part.
class DxfHandler : public XmlHandler {
 public:
  std::vector<DiffFormat> dxfs;
  void Start(std::string_view name, const XmlAttrs& a) override {
    if (name == "dxfs") {
      in_ = true;
    } else if (!in_) {
      return;
    } else if (name == "dxf") {
      if (dxfs.size() < kMaxItems)
        dxfs.emplace_back();
      else
        in_ = false;
    } else if (!dxfs.empty()) {
      parts_.Start(name, a, dxfs.back());
    }
  }
  void End(std::string_view name) override {
    if (name == "dxfs")
      in_ = false;
    else
      parts_.End(name);
  }

 private:
  bool in_ = false;
  DiffFormatParts parts_;
};

}  // namespace

std::map<std::string, PartLink> ReadPartLinks(const ZipReader& zip, const std::string& part) {
  std::size_t slash = part.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
  std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
  std::string rels = folder + "_rels/" + file + ".rels";
  LinksHandler h(folder);
  if (zip.Has(rels)) ParseXmlPart(zip, rels, h);
  return std::move(h.byId);
}

std::vector<DiffFormat> ReadDiffFormats(const ZipReader& zip, const std::string& stylesPart) {
  DxfHandler h;
  if (!stylesPart.empty() && zip.Has(stylesPart)) ParseXmlPart(zip, stylesPart, h);
  return std::move(h.dxfs);
}

SheetFeaturesReader::SheetFeaturesReader(Workbook& book, Sheet& sheet,
                                         const std::vector<DiffFormat>& dxfs)
    : book_(book), sheet_(sheet), f_(sheet.Features()), dxfs_(dxfs) {}

void SheetFeaturesReader::Start(std::string_view name, const XmlAttrs& a) {
  if (inExtRules_) {
    extRules_.Start(name, a);
    return;
  }
  if (name == "conditionalFormattings") {
    capture_ = nullptr;
    inExtRules_ = true;
    return;
  }
  // An element that adds an item may move the text being taken: the capture ends there.
  if (name == "dataValidation" || name == "cfRule" || name == "conditionalFormatting" ||
      name == "formula" || name == "formula1" || name == "formula2")
    capture_ = nullptr;
  if (name == "tabColor") {
    f_.view.tabColor = TabColorIndex(a);
  } else if (name == "pageSetUpPr") {
    f_.page.fitToPage = a.Bool("fitToPage", false);
  } else if (name == "sheetView") {
    inSheetView_ = viewCount_++ == 0;  // the first view is the sheet's
    if (inSheetView_) StartView(a);
  } else if (name == "pane" && inSheetView_) {
    SheetView& v = f_.view;
    std::string_view state = a.Get("state", "split");
    double x = a.Number("xSplit", 0), y = a.Number("ySplit", 0);
    int row = 0, col = 0;
    if (a.Has("topLeftCell") && ParseCellRef(a.Get("topLeftCell"), row, col)) {
      v.paneRow = std::clamp(row, 1, kMaxRow);
      v.paneCol = std::clamp(col, 1, kMaxCol);
    }
    std::string_view pane = a.Get("activePane", "topLeft");
    v.activePane = pane == "bottomRight"  ? 0
                   : pane == "topRight"   ? 1
                   : pane == "bottomLeft" ? 2
                                          : 3;
    if (state == "frozen" || state == "frozenSplit") {
      v.frozen = true;
      int xs = std::isfinite(x) ? static_cast<int>(std::clamp(x, 0.0, kMaxCol - 1.0)) : 0;
      int ys = std::isfinite(y) ? static_cast<int>(std::clamp(y, 0.0, kMaxRow - 1.0)) : 0;
      v.splitCol = xs ? xs + 1 : 0;
      v.splitRow = ys ? ys + 1 : 0;
      v.activePane = 3;
    } else {
      // A split's position is in twentieths of a point, as the model's twips.
      v.splitX = std::isfinite(x) ? static_cast<int>(std::clamp(x, 0.0, 65535.0)) : 0;
      v.splitY = std::isfinite(y) ? static_cast<int>(std::clamp(y, 0.0, 65535.0)) : 0;
    }
  } else if (name == "sheetFormatPr") {
    if (a.Has("baseColWidth")) {
      f_.defaultColWidth = std::clamp(a.Int("baseColWidth", 8), 0, 255);
    } else if (a.Has("defaultColWidth")) {
      // The width with its padding; the characters alone are what the sheet keeps.
      double w = a.Number("defaultColWidth", 8.43);
      if (std::isfinite(w)) f_.defaultColWidth = std::clamp(static_cast<int>(w), 0, 255);
    }
  } else if (name == "mergeCell") {
    CellRange r;
    if (f_.merges.size() < kMaxItems && RangeOf(a.Get("ref"), r) &&
        r != CellRange{r.row1, r.col1, r.row1, r.col1})
      f_.merges.push_back(r);
  } else if (name == "hyperlink") {
    CellRange r;
    if (links_.size() >= kMaxItems || !RangeOf(a.Get("ref"), r)) return;
    PendingLink p;
    p.link.range = r;
    p.link.location = DecodeEscapes(std::string(a.Get("location")));
    p.link.description = DecodeEscapes(std::string(a.Get("display")));
    p.link.tooltip = DecodeEscapes(std::string(a.Get("tooltip")));
    p.link.kind = LinkKind::Cell;
    p.relId = std::string(a.Get("id"));
    links_.push_back(std::move(p));
  } else if (name == "dataValidations") {
    f_.validationPromptsHidden = a.Bool("disablePrompts", false);
  } else if (name == "dataValidation") {
    StartValidation(a);
  } else if (name == "sqref" && in_ == In::Validation) {
    capture_ = &sqref_;
  } else if ((name == "formula1" || name == "formula2") && in_ == In::Validation) {
    ValidationRule& v = f_.validations.back();
    capture_ = name == "formula1" ? &v.formula1 : &v.formula2;
    capture_->clear();
  } else if (name == "conditionalFormatting") {
    cfRanges_ = RangeList(a.Get("sqref"));
    cfRules_.clear();
    if (in_ == In::Rule) in_ = In::None;  // a format inside a rule: that rule is gone
  } else if (name == "cfRule") {
    if (cfRules_.size() >= kMaxItems) return;
    in_ = In::Rule;
    PendingRule& r = cfRules_.emplace_back();
    r.dxf = std::string(a.Get("dxfId"));
    StartExtendedRule(a, r.rule);
  } else if (in_ == In::Rule && (name == "colorScale" || name == "dataBar" || name == "iconSet" ||
                                 name == "cfvo" || name == "color")) {
    ExtendedRulePart(name, a, cfRules_.back().rule);
  } else if (name == "id" && in_ == In::Rule) {
    capture_ = &cfRules_.back().extId;
    capture_->clear();
  } else if (name == "formula" && in_ == In::Rule && cfRules_.back().formulas.size() < 3) {
    capture_ = &cfRules_.back().formulas.emplace_back();
  } else if (name == "autoFilter") {
    CellRange r;
    if (RangeOf(a.Get("ref"), r)) {
      f_.filter.on = true;
      f_.filter.named = true;
      f_.filter.range = r;
      inFilter_ = true;
    }
  } else if (inFilter_ && name == "filterColumn") {
    filterColumn_ = FilterColumn{};
    filterColumn_.column = a.Int("colId", -1);
    inFilterColumn_ = true;
    filterExtra_ = ExtendedFilter{};
    filterSkip_ = 0;
  } else if (inFilterColumn_ && !CaptureFilter(name, a)) {
    return;
  } else if (inFilterColumn_ && name == "customFilters") {
    filterColumn_.joinAnd = a.Bool("and", false);
  } else if (inFilterColumn_ && name == "customFilter") {
    if (filterColumn_.conditions.size() < 3)
      filterColumn_.conditions.push_back(
          {std::string(a.Get("operator")), DecodeEscapes(std::string(a.Get("val")))});
  } else if (inFilterColumn_ && name == "filters") {
    filterColumn_.isList = true;
    filterColumn_.blank = a.Bool("blank", false);
  } else if (inFilterColumn_ && name == "filter") {
    if (filterColumn_.values.size() < 3)
      filterColumn_.values.push_back(DecodeEscapes(std::string(a.Get("val"))));
  } else if (inFilterColumn_ && name == "dateGroupItem") {
    filterColumn_.values.resize(3);  // date groups have no form in the record
  } else if (inFilterColumn_ && name == "top10") {
    filterColumn_.topN = true;
    filterColumn_.top = a.Bool("top", true);
    filterColumn_.percent = a.Bool("percent", false);
    filterColumn_.topValue = a.Number("val", 0);
  } else if (name == "printOptions") {
    PageSetup& p = f_.page;
    p.centerH = a.Bool("horizontalCentered", false);
    p.centerV = a.Bool("verticalCentered", false);
    p.printGridlines = a.Bool("gridLines", false);
    p.printHeadings = a.Bool("headings", false);
  } else if (name == "pageMargins") {
    PageSetup& p = f_.page;
    p.left = Margin(a, "left", p.left);
    p.right = Margin(a, "right", p.right);
    p.top = Margin(a, "top", p.top);
    p.bottom = Margin(a, "bottom", p.bottom);
    p.headerMargin = Margin(a, "header", p.headerMargin);
    p.footerMargin = Margin(a, "footer", p.footerMargin);
    p.marginsSet = true;
  } else if (name == "pageSetup") {
    StartPageSetup(a);
  } else if (name == "oddHeader" || name == "oddFooter") {
    in_ = name == "oddHeader" ? In::Header : In::Footer;
    capture_ = name == "oddHeader" ? &f_.page.header : &f_.page.footer;
    capture_->clear();
  } else if (name == "brk") {
    if (in_ == In::None && rowBreaks_)
      Breaks(a, f_.page.rowBreaks, kMaxRow);
    else if (in_ == In::None)
      Breaks(a, f_.page.colBreaks, kMaxCol);
  } else if (name == "rowBreaks" || name == "colBreaks") {
    rowBreaks_ = name == "rowBreaks";
  } else if (name == "ext") {
    NoteUnkept(a.Get("uri"));
  } else if (IsCarriedElement(name) && carried_.size() < 16) {
    carried_.emplace_back(std::string(name), std::string(a.Get("id")));
  }
}

void SheetFeaturesReader::NoteUnkept(std::string_view uri) {
  // Extensions of a worksheet that hold content of their own, which the engine does not model.
  // Others (ignored-error marks and the like) only change how the sheet looks; rules and
  // validations are read.
  static constexpr std::pair<std::string_view, const char*> kKinds[] = {
      {"{05C60535-1F16-4FD2-B633-F4F36F0B64E0}", "sparklines"},
      {"{FC87AEE6-9EDD-4A0A-B7FB-166176984837}", "protected ranges"},
      {"{F7C9EE02-42E1-4005-9D12-6889AFFD525C}", "web extensions"},
      {"{A8765BA9-456A-4DAB-B4F3-ACF838C121DE}", "slicers"},
      {"{3A4CF648-6AED-40F4-86FF-DC5316D8AED3}", "slicers"},
      {"{7E03D99C-DC04-49D9-9315-930204A7B6E9}", "timelines"}};
  std::string upper(uri);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const auto& [id, kind] : kKinds) {
    std::string what = "the " + std::string(kind) + " of sheet \"" + sheet_.Name() + "\"";
    if (upper == id && std::find(unkept_.begin(), unkept_.end(), what) == unkept_.end())
      unkept_.push_back(what);
  }
}

void SheetFeaturesReader::End(std::string_view name) {
  if (inExtRules_) {
    if (name == "conditionalFormattings")
      inExtRules_ = false;
    else
      extRules_.End(name);
    return;
  }
  if (name == "autoFilter") {
    inFilter_ = false;
  } else if (name == "filterColumn" && inFilterColumn_) {
    inFilterColumn_ = false;
    RecordBytes record;
    ExtendedFilter& x = filterExtra_;
    if (f_.filter.criteria.size() + f_.filter.extended.size() >= kMaxCol) return;
    if (FilterToRecord(filterColumn_, record)) {
      f_.filter.criteria.push_back(std::move(record));
    } else if (filterColumn_.column >= 0 && filterColumn_.column < kMaxCol &&
               x.xml.size() <= kMaxFilterXml && (!x.xml.empty() || x.byColor)) {
      x.column = filterColumn_.column;
      f_.filter.extended.push_back(std::move(x));
    }
  } else if (inFilterColumn_) {
    if (filterSkip_ > 0)
      --filterSkip_;
    else if (filterExtra_.xml.size() <= kMaxFilterXml)
      filterExtra_.xml += "</" + std::string(name) + ">";
  } else if (name == "sheetView") {
    inSheetView_ = false;
  } else if (name == "sqref" || name == "id") {
    capture_ = nullptr;
  } else if (name == "formula1" || name == "formula2" || name == "formula") {
    if (capture_) *capture_ = DecodeEscapes(std::move(*capture_));
    capture_ = nullptr;
  } else if (name == "dataValidation") {
    if (in_ == In::Validation) EndValidation();
    in_ = In::None;
  } else if (name == "cfRule") {
    in_ = In::None;
  } else if (name == "conditionalFormatting") {
    EndConditionalFormat();
    if (in_ == In::Rule) in_ = In::None;
  } else if (name == "oddHeader" || name == "oddFooter") {
    if (capture_) *capture_ = DecodeEscapes(std::move(*capture_));
    capture_ = nullptr;
    in_ = In::None;
  }
}

void SheetFeaturesReader::Text(std::string_view text) {
  if (inExtRules_) return extRules_.Text(text);
  if (capture_ && capture_->size() + text.size() <= kMaxFeatureText) capture_->append(text);
}

bool SheetFeaturesReader::CaptureFilter(std::string_view name, const XmlAttrs& a) {
  // An element inside a filter column, written out again as read (the package's escapes kept
  // as they are) for criteria the record cannot hold. A colour filter names a format of the
  // styles part, which is written afresh: it is kept as that format. Extensions are left out.
  if (filterSkip_ > 0 || name == "extLst") {
    ++filterSkip_;
    return false;
  }
  if (name == "colorFilter") {
    ++filterSkip_;
    filterExtra_.byColor = true;
    filterExtra_.cellColor = a.Bool("cellColor", true);
    int dxf = a.Int("dxfId", -1);
    if (dxf >= 0 && static_cast<std::size_t>(dxf) < dxfs_.size())
      filterExtra_.format = dxfs_[static_cast<std::size_t>(dxf)];
    return false;
  }
  std::string& xml = filterExtra_.xml;
  if (xml.size() > kMaxFilterXml) return true;
  xml += '<';
  xml += name;
  a.ForEach([&](std::string_view attr, std::string_view value) {
    xml += ' ';
    xml += attr;
    xml += "=\"";
    EscapeMarkup(xml, value);
    xml += '"';
  });
  xml += '>';
  return true;
}

void SheetFeaturesReader::StartView(const XmlAttrs& a) {
  SheetView& v = f_.view;
  v.gridlines = a.Bool("showGridLines", true);
  v.headings = a.Bool("showRowColHeaders", true);
  v.zeros = a.Bool("showZeros", true);
  int zoom = a.Int("zoomScale", 100);
  v.zoom = zoom == 0 ? 100 : std::clamp(zoom, 10, 400);
  int row = 0, col = 0;
  if (a.Has("topLeftCell") && ParseCellRef(a.Get("topLeftCell"), row, col)) {
    v.topRow = std::clamp(row, 1, kMaxRow);
    v.leftCol = std::clamp(col, 1, kMaxCol);
  }
}

void SheetFeaturesReader::StartValidation(const XmlAttrs& a) {
  // Rules of newer spreadsheets' extension list give their ranges in an element of their own.
  bool extension = !a.Has("sqref");
  std::vector<CellRange> ranges = RangeList(a.Get("sqref"));
  if ((ranges.empty() && !extension) || f_.validations.size() >= kMaxItems) return;
  sqref_.clear();
  ValidationRule& v = f_.validations.emplace_back();
  in_ = In::Validation;
  v.ranges = std::move(ranges);
  v.type = TypeOf(a.Get("type", "none"));
  v.op = OperatorOf(a.Get("operator", "between"));
  std::string_view style = a.Get("errorStyle", "stop");
  v.errorStyle = style == "warning"       ? ErrorStyle::Warning
                 : style == "information" ? ErrorStyle::Information
                                          : ErrorStyle::Stop;
  v.ignoreBlank = a.Bool("allowBlank", false);
  v.dropDown = !a.Bool("showDropDown", false);  // the attribute says the drop-down is hidden
  v.showInput = a.Bool("showInputMessage", false);
  v.showError = a.Bool("showErrorMessage", false);
  v.inputTitle = DecodeEscapes(std::string(a.Get("promptTitle")));
  v.inputText = DecodeEscapes(std::string(a.Get("prompt")));
  v.errorTitle = DecodeEscapes(std::string(a.Get("errorTitle")));
  v.errorText = DecodeEscapes(std::string(a.Get("error")));
}

void SheetFeaturesReader::EndValidation() {
  ValidationRule& v = f_.validations.back();
  if (v.ranges.empty()) v.ranges = RangeList(sqref_);
  if (v.ranges.empty()) {
    f_.validations.pop_back();
    return;
  }
  if (v.type == ValidationType::List && LiteralItems(v.formula1, v.items)) v.formula1.clear();
  v.readFormula1 = v.formula1;
  v.readFormula2 = v.formula2;
}

void SheetFeaturesReader::EndConditionalFormat() {
  if (cfRanges_.empty() || f_.conditional.size() >= kMaxItems) return;
  ConditionalFormat cf;
  cf.ranges = cfRanges_;
  for (PendingRule& r : cfRules_) {
    DiffFormat none;
    int dxf = XmlAttrs::ToInt(r.dxf, -1);
    bool hasFormat = dxf >= 0 && static_cast<std::size_t>(dxf) < dxfs_.size();
    const DiffFormat& format = hasFormat ? dxfs_[static_cast<std::size_t>(dxf)] : none;
    RecordBytes bytes;
    ExtendedRule& x = r.rule;
    if (RuleToRecord(book_, cf.ranges.front(), x.type, x.op, r.formulas, format, bytes)) {
      cf.rules.push_back(std::move(bytes));
      cf.priorities.push_back(x.priority);
      continue;
    }
    for (std::string& text : r.formulas) {
      RuleFormula& formula = x.formulas.emplace_back();
      if (!EncodeRuleFormula(book_, text, formula.tokens)) formula.text = std::move(text);
    }
    x.hasFormat = hasFormat;
    if (hasFormat) x.format = format;
    if (!IsCompleteRule(x)) continue;
    if (!r.extId.empty() && ruleLinks_.size() < kMaxItems)
      ruleLinks_[r.extId] = {f_.conditional.size(), cf.extended.size()};
    cf.extended.push_back(std::move(x));
  }
  if (!cf.rules.empty() || !cf.extended.empty()) f_.conditional.push_back(std::move(cf));
  cfRanges_.clear();
  cfRules_.clear();
}

void SheetFeaturesReader::StartPageSetup(const XmlAttrs& a) {
  PageSetup& p = f_.page;
  p.landscape = a.Get("orientation") == "landscape";
  p.leftToRight = a.Get("pageOrder") == "overThenDown";
  p.blackAndWhite = a.Bool("blackAndWhite", false);
  p.draft = a.Bool("draft", false);
  p.usePageNumber = a.Bool("useFirstPageNumber", false);
  p.firstPage = std::clamp(a.Int("firstPageNumber", 1), -32768, 32767);
  p.fitWidth = std::clamp(a.Int("fitToWidth", 1), 0, 32767);
  p.fitHeight = std::clamp(a.Int("fitToHeight", 1), 0, 32767);
  bool settings = a.Has("paperSize") || a.Has("scale") || a.Has("horizontalDpi") ||
                  a.Has("orientation") || a.Has("copies");
  p.printerSettings = settings;
  if (settings) {
    p.paperSize = std::clamp(a.Int("paperSize", 0), 0, 65535);
    p.scale = std::clamp(a.Int("scale", 100), 10, 400);
    p.hRes = std::clamp(a.Int("horizontalDpi", 600), 0, 65535);
    p.vRes = std::clamp(a.Int("verticalDpi", 600), 0, 65535);
    p.copies = std::clamp(a.Int("copies", 1), 1, 65535);
  }
}

void SheetFeaturesReader::Finish(const ZipReader& zip, const std::string& sheetPart,
                                 const ContentTypes& types) {
  auto links = ReadPartLinks(zip, sheetPart);
  for (const auto& [element, id] : carried_) {
    auto it = links.find(id);
    if (it != links.end() && !it->second.external)
      CarryPart(zip, types, sheet_, element, it->second.type, it->second.target, book_);
  }
  for (PendingLink& p : links_) {
    if (!p.relId.empty()) {
      auto it = links.find(p.relId);
      if (it == links.end() || !it->second.external) continue;  // a target we cannot follow
      const std::string& target = it->second.target;
      if (!target.empty() && target.front() == '#') {  // a place in this workbook
        p.link.location = target.substr(1);
        f_.links.push_back(std::move(p.link));
        continue;
      }
      p.link.target = target;
      bool url = target.find("://") != std::string::npos || target.rfind("mailto:", 0) == 0;
      p.link.kind = url && target.rfind("file:", 0) != 0 ? LinkKind::Url : LinkKind::File;
    } else if (p.link.location.empty()) {
      continue;
    }
    f_.links.push_back(std::move(p.link));
  }
  links_.clear();
  for (const auto& [id, l] : links) {
    if (l.external || l.target.empty() || !zip.Has(l.target)) continue;
    if (EndsWith(l.type, "/comments")) ReadComments(zip, l.target);
  }
  for (const auto& [id, l] : links) {
    if (l.external || l.target.empty() || !zip.Has(l.target)) continue;
    if (EndsWith(l.type, "/vmlDrawing")) ReadCommentShapes(zip, l.target);
  }
}

void SheetFeaturesReader::ReadComments(const ZipReader& zip, const std::string& part) {
  CommentsHandler h;
  ParseXmlPart(zip, part, h);
  for (auto& item : h.items) {
    int row = 0, col = 0;
    if (!ParseCellRef(item.ref, row, col) || row < 1 || col < 1 || row > kMaxRow || col > kMaxCol)
      continue;
    Comment c;
    c.row = row;
    c.col = col;
    if (item.author >= 0 && static_cast<std::size_t>(item.author) < h.authors.size())
      c.author = DecodeEscapes(h.authors[static_cast<std::size_t>(item.author)]);
    c.text = DecodeEscapes(std::move(item.text));
    f_.comments.push_back(std::move(c));
  }
}

void SheetFeaturesReader::ReadCommentShapes(const ZipReader& zip, const std::string& part) {
  // The drawing only says which notes are shown; one that is not plain XML leaves them hidden.
  NoteShapesHandler h;
  try {
    ParseXmlPart(zip, part, h);
  } catch (const EngineError&) {
    return;
  }
  // A drawing of notes alone is the comments' own, written afresh on saving.
  if (h.shapes == h.notes.size()) consumed_.push_back(part);
  for (const auto& n : h.notes) {
    if (!n.visible) continue;
    for (Comment& c : f_.comments)
      if (c.row == n.row + 1 && c.col == n.col + 1) c.shown = true;
  }
}

namespace {

// The areas of a built-in name: "Sheet1!$A$1:$C$4,'My sheet'!$E:$F,Sheet1!$1:$2". Whole
// columns and rows come back as ranges over every row or column.
bool NameAreas(std::string_view text, std::vector<CellRange>& out) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t end = i;
    bool quoted = false;
    while (end < text.size() && (quoted || text[end] != ',')) {
      if (text[end] == '\'') quoted = !quoted;
      ++end;
    }
    std::string_view item = text.substr(i, end - i);
    std::size_t bang = item.rfind('!');
    if (bang != std::string_view::npos) item.remove_prefix(bang + 1);
    std::string plain;
    for (char c : item)
      if (c != '$' && c != ' ') plain += c;
    std::size_t colon = plain.find(':');
    std::string a = plain.substr(0, colon),
                b = colon == std::string::npos ? a : plain.substr(colon + 1);
    auto allDigits = [](const std::string& s) {
      return !s.empty() &&
             std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    auto allLetters = [](const std::string& s) {
      return !s.empty() && s.size() <= 3 && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
      });
    };
    CellRange r;
    int r1, c1, r2, c2;
    if (allDigits(a) && allDigits(b) && a.size() < 8 && b.size() < 8) {
      if (!Clip(std::stoi(a), 1, std::stoi(b), kMaxCol, r)) return false;
    } else if (allLetters(a) && allLetters(b)) {
      int x1 = 0, x2 = 0, row;
      if (!ParseCellRef(a + "1", row, x1) || !ParseCellRef(b + "1", row, x2)) return false;
      if (!Clip(1, x1, kMaxRow, x2, r)) return false;
    } else if (!ParseRangeRef(plain, r1, c1, r2, c2) || !Clip(r1, c1, r2, c2, r)) {
      return false;
    }
    out.push_back(r);
    i = end + 1;
  }
  return !out.empty();
}

}  // namespace

bool TakeBuiltinName(Sheet& sheet, std::string_view name, std::string_view formula) {
  std::vector<CellRange> areas;
  if (!NameAreas(formula, areas)) return false;
  SheetFeatures& f = sheet.Features();
  if (name == "_xlnm.Print_Area") {
    f.page.printArea = std::move(areas);
    return true;
  }
  if (name == "_xlnm._FilterDatabase") {
    f.filter.named = true;
    if (f.filter.range.row1 < 1 || !f.filter.on) f.filter.range = areas.front();
    return true;
  }
  if (name == "_xlnm.Print_Titles") {
    for (const CellRange& r : areas) {
      if (r.col1 == 1 && r.col2 == kMaxCol) {
        f.page.titleRow1 = r.row1;
        f.page.titleRow2 = r.row2;
      } else if (r.row1 == 1 && r.row2 == kMaxRow) {
        f.page.titleCol1 = r.col1;
        f.page.titleCol2 = r.col2;
      }
    }
    return true;
  }
  return false;
}

}  // namespace engine::xlsx
