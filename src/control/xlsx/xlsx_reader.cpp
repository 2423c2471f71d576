// Reading .xlsx packages: the package relationships lead to the workbook part, whose
// relationships lead to the sheets, shared strings, styles and theme. Each part is streamed
// through expat; a large sheet's rows are read in halves on two threads (rows_in_halves.h),
// the shared strings and styles being read before any sheet. Formulas are compiled once every
// sheet and name is known, as for .xls.
#include <algorithm>
#include <map>
#include <new>
#include <optional>

#include "control/engine_error.h"
#include "control/formula/formula_engine.h"
#include "control/model/cell_loader.h"
#include "control/xlsx/rows_in_halves.h"
#include "control/xlsx/xlsx_carried.h"
#include "control/xlsx/xlsx_file.h"
#include "control/xlsx/xlsx_rich_text.h"
#include "control/xlsx/xlsx_sheet_cells.h"
#include "control/xlsx/xlsx_sheet_features.h"
#include "control/xlsx/xlsx_styles.h"
#include "control/xlsx/xml_stream.h"
#include "control/xlsx/zip_package.h"

namespace engine::xlsx {

namespace {

constexpr std::size_t kMaxSmallPart = std::size_t{64} << 20;  // relationships, workbook

[[noreturn]] void Damaged(const std::string& why) { PackageDamaged(why); }

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

std::string FolderOf(const std::string& part) {
  std::size_t slash = part.rfind('/');
  return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string RelsPartOf(const std::string& part) {
  std::size_t slash = part.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
  std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
  return folder + "_rels/" + file + ".rels";
}

struct Relationship {
  std::string type;
  std::string target;  // resolved part name; empty for external targets
};

class RelsHandler : public XmlHandler {
 public:
  explicit RelsHandler(std::string folder) : folder_(std::move(folder)) {}
  std::map<std::string, Relationship> byId;
  void Start(std::string_view name, const XmlAttrs& a) override {
    if (name != "Relationship") return;
    Relationship r;
    r.type = std::string(a.Get("Type"));
    if (a.Get("TargetMode") != "External") r.target = ResolvePartName(folder_, a.Get("Target"));
    byId[std::string(a.Get("Id"))] = std::move(r);
  }

 private:
  std::string folder_;
};

std::map<std::string, Relationship> ReadRels(const ZipReader& zip, const std::string& part) {
  std::string rels = RelsPartOf(part);
  RelsHandler h(FolderOf(part));
  if (zip.Has(rels)) ParseXmlPart(zip, rels, h);
  return std::move(h.byId);
}

struct SheetEntry {
  std::string name;
  std::string relId;
  std::string state;
};

struct NameEntry {
  std::string name;
  int localSheet = -1;
  std::string text;
};

class WorkbookHandler : public XmlHandler {
 public:
  std::vector<SheetEntry> sheets;
  std::vector<NameEntry> names;
  bool date1904 = false;
  int activeTab = 0;
  bool showTabs = true;

  void Start(std::string_view name, const XmlAttrs& a) override {
    if (name == "workbookPr") {
      date1904 = a.Bool("date1904", false);
    } else if (name == "workbookView") {
      activeTab = a.Int("activeTab", 0);
      showTabs = a.Bool("showSheetTabs", true);
    } else if (name == "sheet") {
      sheets.push_back({DecodeEscapes(std::string(a.Get("name"))), std::string(a.Get("id")),
                        std::string(a.Get("state", "visible"))});
    } else if (name == "definedName") {
      names.push_back({DecodeEscapes(std::string(a.Get("name"))), a.Int("localSheetId", -1), {}});
      inName_ = true;
    }
  }
  void End(std::string_view name) override {
    if (name == "definedName" && inName_) names.back().text = DecodeEscapes(std::move(names.back().text));
    if (name == "definedName") inName_ = false;
  }
  void Text(std::string_view text) override {
    if (inName_) names.back().text.append(text);
  }

 private:
  bool inName_ = false;
};

// Shared strings: the plain text of each item (runs joined; phonetic hints left out).
class SharedStringsHandler : public XmlHandler {
 public:
  SharedStringsHandler(StyleTable& styles, const FontProperties& props) : rich_(styles, props) {}
  SharedStrings strings;
  void Start(std::string_view name, const XmlAttrs& a) override {
    if (name == "sst") {
      const double count = a.Number("count", 0);
      strings.references = count > 0 && count < 1e15 ? static_cast<std::size_t>(count) : 0;
    } else if (name == "si") {
      strings.Open();
      rich_.Begin();
      inItem_ = true;
    } else if (inItem_ && !inPhonetic_ && (rich_.InProperties() || name == "r" || name == "rPr")) {
      rich_.Start(name, a, strings.LastSize());
    } else if (name == "rPh") {
      inPhonetic_ = true;
    } else if (name == "t" && inItem_ && !inPhonetic_) {
      inText_ = true;
    }
  }
  void End(std::string_view name) override {
    if (name == "si") {
      inItem_ = false;
      strings.SetLastRuns(rich_.Finish(strings[strings.size() - 1]));
      strings.DecodeLast();
    }
    else if (name == "r" || name == "rPr") rich_.End(name);
    else if (name == "rPh") inPhonetic_ = false;
    else if (name == "t") inText_ = false;
  }
  void Text(std::string_view text) override {
    if (inText_) {
      if (strings.LastSize() + text.size() > kMaxText) Damaged("a shared string is too long");
      strings.Append(text);
    }
  }

 private:
  static constexpr std::size_t kMaxText = 1u << 20;
  RichTextReader rich_;
  bool inItem_ = false, inPhonetic_ = false, inText_ = false;
};

// Function names of newer spreadsheets carry a prefix in the file.
std::string StripFunctionPrefixes(std::string text) {
  for (const char* prefix : {"_xlfn._xlws.", "_xlfn.", "_xlws."}) {
    std::size_t p;
    std::string_view pv(prefix);
    while ((p = text.find(pv)) != std::string::npos) text.erase(p, pv.size());
  }
  return text;
}

class XlsxReader {
 public:
  XlsxReader(const std::uint8_t* data, std::size_t size, const LocaleSettings* locale,
             const XlsxReadOptions& options)
      : zip_(data, size), book_(std::make_unique<Workbook>(locale)), options_(options) {}

  std::unique_ptr<Workbook> Run() {
    if (zip_.Has("EncryptedPackage"))
      throw EngineError(kErrFile, "The workbook is protected by a password, which is not supported.");
    std::string workbookPart = WorkbookPart();
    auto rels = ReadRels(zip_, workbookPart);
    WorkbookHandler wb;
    ParseXmlPart(zip_, workbookPart, wb);
    book_->SetDate1904(wb.date1904);
    book_->SetShowTabs(wb.showTabs);

    std::string sstPart, stylesPart, themePart;
    for (const auto& [id, r] : rels) {
      if (EndsWith(r.type, "/sharedStrings")) sstPart = r.target;
      else if (EndsWith(r.type, "/styles")) stylesPart = r.target;
      else if (EndsWith(r.type, "/theme")) themePart = r.target;
    }
    xfStyles_ = ReadStyles(zip_, stylesPart, themePart, *book_);
    // Rich strings' fonts come after the styles' fonts, with the same theme colours.
    theme_ = ReadThemeColors(zip_, themePart);
    fontProps_.emplace(theme_);
    if (!sstPart.empty() && zip_.Has(sstPart)) {
      SharedStringsHandler h(book_->Styles(), *fontProps_);
      ParseXmlPart(zip_, sstPart, h);
      sst_ = std::move(h.strings);
    }

    // Worksheets in workbook order; chart sheets and dialog sheets hold no cells we keep.
    std::vector<std::pair<Sheet*, std::string>> sheets;
    std::vector<int> sheetOfEntry(wb.sheets.size(), 0);
    for (std::size_t i = 0; i < wb.sheets.size(); ++i) {
      auto it = rels.find(wb.sheets[i].relId);
      if (it == rels.end() || !EndsWith(it->second.type, "/worksheet") || it->second.target.empty())
        continue;
      std::string name = wb.sheets[i].name;
      // The new workbook's own first sheet, which the first one read becomes, takes no name.
      if (name.empty() || (!sheets.empty() && book_->SheetIndexByName(name)))
        name = book_->UnusedSheetName();
      Sheet* sheet;
      if (sheets.empty()) {
        sheet = &book_->GetSheet(1);
        sheet->SetName(name);
      } else {
        sheet = &book_->InsertSheet(static_cast<int>(sheets.size()) + 1, name);
      }
      sheets.emplace_back(sheet, it->second.target);
      sheetOfEntry[i] = static_cast<int>(sheets.size());
      if (static_cast<int>(i) == wb.activeTab) book_->SetActiveIndex(static_cast<int>(sheets.size()));
    }
    if (sheets.empty()) throw EngineError(kErrFile, "The workbook holds no worksheet.");

    for (std::size_t i = 0; i < wb.sheets.size(); ++i) {
      if (!sheetOfEntry[i]) continue;
      const std::string& state = wb.sheets[i].state;
      book_->GetSheet(sheetOfEntry[i]).Features().visibility =
          state == "veryHidden" ? SheetVisibility::VeryHidden
          : state == "hidden"   ? SheetVisibility::Hidden
                                : SheetVisibility::Visible;
    }
    ReadNames(wb.names, sheetOfEntry);
    std::vector<DiffFormat> dxfs = ReadDiffFormats(zip_, stylesPart);
    ContentTypes types = ContentTypes::Read(zip_);
    for (auto& [sheet, part] : sheets) {
      if (!zip_.Has(part)) Damaged("the sheet part " + part + " is missing");
      SheetFeaturesReader features(*book_, *sheet, dxfs);
      SheetHandler h(*sheet, sst_, xfStyles_, wb.date1904, pending_, features, book_->Styles(),
                     *fontProps_);
      const std::size_t texts = sheet->Texts().Live();
      ReserveTexts(*sheet, part);
      ReadCells(part, h, sheet->Name(), wb.date1904);
      const std::size_t added = sheet->Texts().Live() - std::min(texts, sheet->Texts().Live());
      sst_.references -= std::min(sst_.references, added);
      sheet->Texts().Trim();
      features.Finish(zip_, part, types);
      consumed_.insert(consumed_.end(), features.Consumed().begin(), features.Consumed().end());
      unkept_.insert(unkept_.end(), features.Unkept().begin(), features.Unkept().end());
    }
    for (const Workbook::CarriedPart& p : book_->CarriedParts()) consumed_.push_back(p.name);
    PlaceFormulas();
    book_->Formulas().Rebuild();
    std::vector<std::string> foreign = ForeignParts();
    foreign.insert(foreign.end(), unkept_.begin(), unkept_.end());
    book_->SetForeignParts(std::move(foreign));
    return std::move(book_);
  }

 private:
  std::string WorkbookPart() {
    auto rels = ReadRels(zip_, "");
    for (const auto& [id, r] : rels)
      if (EndsWith(r.type, "/officeDocument") && !r.target.empty()) return r.target;
    if (zip_.Has("xl/workbook.xml")) return "xl/workbook.xml";
    throw EngineError(kErrFile, "The zip package holds no workbook.");
  }

  // Parts that carry something a save would lose: drawings, charts, pictures, embedded
  // objects, macros, pivot tables and the like. Package plumbing, the parts we read and the
  // document properties are not among them.
  std::vector<std::string> ForeignParts() const {
    static constexpr std::string_view kCarried[] = {
        "xl/drawings/", "xl/charts/", "xl/media/", "xl/embeddings/", "xl/vbaProject",
        "xl/pivotTables/", "xl/pivotCache/", "xl/chartsheets/", "xl/activeX/", "xl/ctrlProps/",
        "xl/macrosheets/", "xl/dialogsheets/", "xl/externalLinks/", "xl/slicers/", "xl/tables/"};
    std::vector<std::string> found;
    for (const std::string& name : zip_.Names()) {
      if (std::find(consumed_.begin(), consumed_.end(), name) != consumed_.end()) continue;
      for (std::string_view prefix : kCarried)
        if (name.rfind(prefix, 0) == 0 && name.find("/_rels/") == std::string::npos) {
          found.push_back(name);
          break;
        }
    }
    return found;
  }

  void ReadNames(const std::vector<NameEntry>& names, const std::vector<int>& sheetOfEntry) {
    for (const NameEntry& n : names) {
      if (n.name.rfind("_xlnm.", 0) == 0) {  // print areas and the like: the sheet's own
        if (n.localSheet >= 0 && static_cast<std::size_t>(n.localSheet) < sheetOfEntry.size() &&
            sheetOfEntry[static_cast<std::size_t>(n.localSheet)] != 0)
          TakeBuiltinName(book_->GetSheet(sheetOfEntry[static_cast<std::size_t>(n.localSheet)]),
                          n.name, n.text);
        continue;
      }
      DefinedName d;
      d.name = n.name;
      if (n.localSheet >= 0) {
        if (static_cast<std::size_t>(n.localSheet) >= sheetOfEntry.size() ||
            sheetOfEntry[static_cast<std::size_t>(n.localSheet)] == 0)
          continue;
        d.sheetId = book_->GetSheet(sheetOfEntry[static_cast<std::size_t>(n.localSheet)]).Id();
      }
      try {
        book_->Formulas().CompileName(d.sheetId, StripFunctionPrefixes(n.text), d.formula, d.expr);
      } catch (const EngineError&) {
        d.formula = n.text;
        d.expr.reset();
      }
      book_->Names().push_back(std::move(d));
    }
    book_->Formulas().NamesChanged();
  }

  void PlaceFormulas() {
    auto& engine = book_->Formulas();
    // Anchors of shared groups, per sheet: the compiled cell others copy with their offset.
    std::map<std::pair<const Sheet*, int>, const FormulaCell*> anchors;
    for (PendingFormula& p : pending_) {
      std::unique_ptr<FormulaCell> cell;
      if (!p.text.empty()) {
        try {
          cell = engine.Compile(*p.sheet, p.row, p.col, StripFunctionPrefixes(p.text));
        } catch (const EngineError&) {
          cell = std::make_unique<FormulaCell>();
          cell->text = p.text;
        }
      } else {
        auto it = anchors.find({p.sheet, p.shared});
        if (it == anchors.end() || !it->second->expr) continue;  // keeps its stored value
        cell = std::make_unique<FormulaCell>();
        cell->expr = it->second->expr;
        cell->text = engine.Text(*p.sheet, p.row, p.col, *it->second);
        try {
          cell = engine.Compile(*p.sheet, p.row, p.col, cell->text);
        } catch (const EngineError&) {
          continue;
        }
      }
      if (p.hasCached) cell->result = p.cached;
      const FormulaCell* placed = cell.get();
      LoadFormula(*p.sheet, p.row, p.col, std::move(cell));
      if (!p.text.empty() && p.shared >= 0) anchors[{p.sheet, p.shared}] = placed;
    }
  }

  // Room in the sheet's text pool for the shared-string cells still to come, so that filling it
  // moves no text: no more than the package's count of them that is left, nor than the sheet
  // part could hold (a cell of a shared string takes at least 21 bytes: <c t="s"><v>0</v></c>).
  void ReserveTexts(Sheet& sheet, const std::string& part) {
    constexpr std::size_t kMinCellBytes = 21, kMostReserved = std::size_t{4} << 20;
    const std::size_t room =
        std::min({sst_.references, zip_.DeclaredSize(part) / kMinCellBytes, kMostReserved});
    try {
      sheet.Texts().Reserve(room);
    } catch (const std::bad_alloc&) {  // only a hint: the pool grows as cells come instead
    }
  }

  // A large sheet's later rows are read on a second thread into a log, then taken in.
  void ReadCells(const std::string& part, SheetHandler& h, const std::string& name, bool date1904) {
    CellLog log;
    SheetHandler logger(log, name, sst_, xfStyles_, date1904);
    XlsxReadOptions::Stats ignored;
    XlsxReadOptions::Stats& stats = options_.stats ? *options_.stats : ignored;
    LaterRows later{logger,
                    [&] {
                      ++stats.sheetsInHalves;
                      h.TakeIn(log);
                    },
                    [&] {
                      ++stats.sheetsInHalves;
                      ++stats.laterHalvesRedone;
                      log.Clear();
                    }};
    ParseRowsInHalves(zip_, part, h, later, options_.halves);
  }

  ZipReader zip_;
  std::unique_ptr<Workbook> book_;
  XlsxReadOptions options_;
  SharedStrings sst_;
  std::vector<std::uint32_t> theme_;
  std::optional<FontProperties> fontProps_;  // rich text's fonts, once the theme is read
  std::vector<std::uint16_t> xfStyles_;
  std::vector<PendingFormula> pending_;
  std::vector<std::string> consumed_;  // parts the sheets' features took in whole
  std::vector<std::string> unkept_;    // what the sheets' extension lists hold unmodelled
};

}  // namespace

bool LooksLikeZip(const std::uint8_t* data, std::size_t size) {
  return size >= 4 && data[0] == 'P' && data[1] == 'K' && data[2] == 3 && data[3] == 4;
}

std::unique_ptr<Workbook> ReadXlsx(const std::uint8_t* data, std::size_t size,
                                   const LocaleSettings* locale, const XlsxReadOptions& options) {
  return XlsxReader(data, size, locale, options).Run();
}

}  // namespace engine::xlsx
