// Carried parts: read whole, kept by name, written back under the same names. A chart's data
// references are text in its part; they are checked against the workbook's sheets on saving.
#include "control/xlsx/xlsx_carried.h"

#include <algorithm>
#include <set>

#include "control/engine_error.h"
#include "control/xlsx/xlsx_sheet_features.h"
#include "control/xlsx/xml_stream.h"
#include "control/xlsx/xml_write.h"
#include "control/xlsx/zip_package.h"

namespace engine::xlsx {

namespace {

constexpr std::size_t kMaxCarriedPart = std::size_t{256} << 20;
constexpr std::size_t kMaxCarriedParts = 4096;

// Part names and relationship types as read, the package's escapes and all.
std::string AttrText(const std::string& s) {
  std::string out;
  EscapeMarkup(out, s);
  return out;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

class TypesHandler : public XmlHandler {
 public:
  std::map<std::string, std::string> defaults, overrides;
  void Start(std::string_view name, const XmlAttrs& a) override {
    if (name == "Default") {
      defaults[Lower(std::string(a.Get("Extension")))] = std::string(a.Get("ContentType"));
    } else if (name == "Override") {
      std::string part(a.Get("PartName"));
      if (!part.empty() && part.front() == '/') part.erase(0, 1);
      overrides[Lower(part)] = std::string(a.Get("ContentType"));
    }
  }
};

// The sheets a chart's series and labels take their data from: the sheet names before "!"
// in its formula elements ("'My sheet'!$A$1:$A$5", "Sheet1!$B$2").
class ChartRefsHandler : public XmlHandler {
 public:
  std::set<std::string> sheets;
  void Start(std::string_view name, const XmlAttrs&) override {
    if (name == "f") {
      in_ = true;
      text_.clear();
    }
  }
  void End(std::string_view name) override {
    if (name != "f" || !in_) return;
    in_ = false;
    Take(text_);
  }
  void Text(std::string_view t) override {
    if (in_ && text_.size() < 65536) text_.append(t);
  }

 private:
  void Take(const std::string& f) {
    for (std::size_t bang = f.find('!'); bang != std::string::npos; bang = f.find('!', bang + 1)) {
      std::string sheet;
      if (bang > 0 && f[bang - 1] == '\'') {
        // Back to the opening quote; doubled quotes stand for one.
        std::size_t i = bang - 1;
        std::string rev;
        while (i > 0) {
          --i;
          if (f[i] == '\'') {
            if (i > 0 && f[i - 1] == '\'') {
              rev += '\'';
              --i;
              continue;
            }
            break;
          }
          rev += f[i];
        }
        sheet.assign(rev.rbegin(), rev.rend());
      } else {
        std::size_t i = bang;
        while (i > 0 && f[i - 1] != '(' && f[i - 1] != ',' && f[i - 1] != ' ' && f[i - 1] != '=')
          --i;
        sheet = f.substr(i, bang - i);
      }
      if (!sheet.empty() && sheet.front() != '[') sheets.insert(sheet);
    }
  }
  bool in_ = false;
  std::string text_;
};

std::string RelsOf(const std::string& part) {
  std::size_t slash = part.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
  std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
  return folder + "_rels/" + file + ".rels";
}

// The path of `part` relative to the worksheets folder, where sheet relationships start.
std::string FromSheetFolder(const std::string& part) {
  if (part.rfind("xl/", 0) == 0) return "../" + part.substr(3);
  return "/" + part;
}

}  // namespace

ContentTypes ContentTypes::Read(const ZipReader& zip) {
  ContentTypes t;
  TypesHandler h;
  if (zip.Has("[Content_Types].xml")) ParseXmlPart(zip, "[Content_Types].xml", h);
  t.defaults_ = std::move(h.defaults);
  t.overrides_ = std::move(h.overrides);
  return t;
}

std::string ContentTypes::Of(const std::string& part) const {
  auto o = overrides_.find(Lower(part));
  if (o != overrides_.end()) return o->second;
  std::size_t dot = part.rfind('.');
  if (dot != std::string::npos) {
    auto d = defaults_.find(Lower(part.substr(dot + 1)));
    if (d != defaults_.end()) return d->second;
  }
  return "application/octet-stream";
}

bool IsCarriedElement(std::string_view element) {
  return element == "drawing" || element == "legacyDrawingHF" || element == "picture";
}

bool CarryPart(const ZipReader& zip, const ContentTypes& types, const Sheet& sheet,
               std::string_view element, const std::string& relType, const std::string& target,
               Workbook& book) {
  if (target.empty() || !zip.Has(target)) return false;
  // Every part the target leads to, through the relationships of each.
  std::vector<std::string> closure = {target};
  std::set<std::string> seen = {target};
  for (std::size_t i = 0; i < closure.size(); ++i) {
    if (closure.size() > kMaxCarriedParts) return false;
    for (const auto& [id, link] : ReadPartLinks(zip, closure[i])) {
      if (link.external || link.target.empty() || !zip.Has(link.target)) continue;
      if (seen.insert(link.target).second) closure.push_back(link.target);
    }
  }
  std::vector<std::string> parts;
  for (const std::string& p : closure) {
    parts.push_back(p);
    if (zip.Has(RelsOf(p))) parts.push_back(RelsOf(p));
  }
  auto& kept = book.CarriedParts();
  std::size_t before = kept.size();
  try {
    for (const std::string& p : parts) {
      bool known =
          std::any_of(kept.begin(), kept.end(), [&](const auto& k) { return k.name == p; });
      if (known) continue;
      Workbook::CarriedPart part;
      part.name = p;
      part.contentType = types.Of(p);
      part.data = zip.Read(p, kMaxCarriedPart);
      if (part.contentType.find("drawingml.chart+xml") != std::string::npos) {
        ChartRefsHandler h;
        ParseXmlText(part.data, p, h);
        part.sheetRefs.assign(h.sheets.begin(), h.sheets.end());
      }
      kept.push_back(std::move(part));
    }
  } catch (const EngineError&) {
    kept.resize(before);  // too large or damaged: left to the save's refusal
    return false;
  }
  book.CarriedLinks().push_back(
      {sheet.Id(), std::string(element), relType, target, std::move(parts)});
  return true;
}

std::string CarriedElements(const Workbook& book, const Sheet& sheet, std::string_view element,
                            std::string& rels, int& nextRel) {
  std::string out;
  for (const Workbook::CarriedLink& l : book.CarriedLinks()) {
    if (l.sheetId != sheet.Id() || l.element != element) continue;
    std::string id = "rId" + std::to_string(nextRel++);
    rels += "<Relationship Id=\"" + id + "\" Type=\"" + AttrText(l.type) + "\" Target=\"" +
            AttrText(FromSheetFolder(l.target)) + "\"/>";
    out += "<" + l.element + " r:id=\"" + id + "\"/>";
    if (element == "drawing" || element == "picture") break;  // one of each per sheet
  }
  return out;
}

namespace {

// The parts of the sheets still in the workbook.
std::set<std::string> LiveParts(const Workbook& book) {
  std::set<std::string> live;
  for (const Workbook::CarriedLink& l : book.CarriedLinks())
    if (book.SheetIndexById(l.sheetId)) live.insert(l.parts.begin(), l.parts.end());
  return live;
}

}  // namespace

void CheckCarried(const Workbook& book) {
  std::set<std::string> live = LiveParts(book);
  for (const Workbook::CarriedPart& p : book.CarriedParts()) {
    if (!live.count(p.name)) continue;
    for (const std::string& sheet : p.sheetRefs)
      if (!book.SheetIndexByName(sheet))
        throw EngineError(kErrFile, "The chart " + p.name + " takes its data from the sheet \"" +
                                        sheet +
                                        "\", which the workbook no longer has under that name; "
                                        "the chart cannot be written to an .xlsx file. Nothing "
                                        "was saved.");
  }
}

namespace {

// What a part holds, in words for a message.
const char* KindOfPart(const std::string& name, const std::string& contentType) {
  static constexpr std::pair<std::string_view, const char*> kKinds[] = {
      {"xl/charts/", "charts"},
      {"xl/chartsheets/", "chart sheets"},
      {"xl/media/", "pictures"},
      {"xl/ctrlProps/", "form controls"},
      {"xl/activeX/", "form controls"},
      {"xl/vbaProject", "macros (a VBA project)"},
      {"xl/pivotTables/", "pivot tables"},
      {"xl/pivotCache/", "pivot tables"},
      {"xl/tables/", "tables"},
      {"xl/embeddings/", "embedded objects"},
      {"xl/macrosheets/", "macro sheets"},
      {"xl/dialogsheets/", "dialog sheets"},
      {"xl/externalLinks/", "links to other workbooks"},
      {"xl/slicers/", "slicers"},
      {"xl/drawings/", "drawings"}};
  if (contentType.find("drawingml.chart") != std::string::npos) return "charts";
  if (contentType.rfind("image/", 0) == 0) return "pictures";
  for (const auto& [prefix, kind] : kKinds)
    if (name.rfind(prefix, 0) == 0) return kind;
  return "other objects";
}

}  // namespace

std::string XlsxOnlyContent(const Workbook& book) {
  std::set<std::string> live = LiveParts(book);
  std::vector<std::string> kinds;
  auto note = [&](const std::string& name, const std::string& contentType) {
    if (name.find("/_rels/") != std::string::npos) return;
    // A sheet's extension content is named in words already ("the sparklines of sheet …").
    std::string kind = name.rfind("the ", 0) == 0 ? name.substr(4) : KindOfPart(name, contentType);
    if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) kinds.push_back(kind);
  };
  for (const Workbook::CarriedPart& p : book.CarriedParts())
    if (live.count(p.name)) note(p.name, p.contentType);
  for (const std::string& name : book.ForeignParts()) note(name, {});
  std::string out;
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    if (i > 0) out += i + 1 == kinds.size() ? " and " : ", ";
    out += kinds[i];
  }
  return out;
}

void AddCarriedParts(const Workbook& book, std::vector<std::pair<std::string, std::string>>& parts,
                     std::string& types) {
  std::set<std::string> live = LiveParts(book);
  for (const Workbook::CarriedPart& p : book.CarriedParts()) {
    if (!live.count(p.name)) continue;
    bool rels = p.name.size() > 5 && p.name.compare(p.name.size() - 5, 5, ".rels") == 0;
    if (!rels)
      types += "<Override PartName=\"/" + AttrText(p.name) + "\" ContentType=\"" +
               AttrText(p.contentType) + "\"/>";
    parts.emplace_back(p.name, p.data);
  }
}

}  // namespace engine::xlsx
