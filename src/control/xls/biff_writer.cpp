// Writing a Workbook as a BIFF8 or BIFF5 workbook stream inside a compound file.
#include <vector>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "control/engine_error.h"
#include "control/formula/expression.h"
#include "control/formula/formula_engine.h"
#include "control/xls/biff_formula.h"
#include "control/xls/biff_palette.h"
#include "control/xls/biff_rich_text.h"
#include "control/xls/biff_sheet_features.h"
#include "control/xls/biff_style_ext.h"
#include "control/xls/biff_styles.h"
#include "control/io/code_page.h"
#include "control/xls/compound_file.h"
#include "control/xls/xls_file.h"

namespace engine::xls {

namespace {

constexpr int kBiff5MaxRows = 16384;
constexpr std::size_t kBiff5MaxText = 2000;      // bytes of a LABEL, which fits one record
constexpr std::size_t kMaxFormulaTokens = 1800;  // so that a FORMULA fits one record

bool EncodeRk(double d, std::uint32_t& rk) {
  if (d == std::floor(d) && std::fabs(d) < (1 << 29)) {
    rk = (static_cast<std::uint32_t>(static_cast<std::int32_t>(d)) << 2) | 2;
    return true;
  }
  std::uint64_t bits;
  std::memcpy(&bits, &d, sizeof d);
  if ((bits & 0x3FFFFFFFFull) == 0) {
    rk = static_cast<std::uint32_t>(bits >> 32);
    return true;
  }
  double h = d * 100;
  if (h == std::floor(h) && std::fabs(h) < (1 << 29)) {
    // Only when dividing by 100 gives the very same double back.
    if (static_cast<double>(static_cast<std::int32_t>(h)) / 100 == d) {
      rk = (static_cast<std::uint32_t>(static_cast<std::int32_t>(h)) << 2) | 3;
      return true;
    }
  }
  return false;
}

class BiffWriter {
 public:
  BiffWriter(Workbook& book, short type, unsigned codePage)
      : book_(book), b8_(type == kTypeBiff8), codePage_(b8_ ? 1200 : codePage),
        out_(), w_(out_, b8_ ? 8224 : 2080) {
    out_.resize(kCompoundHeaderRoom);  // the container's header goes here at the end
  }

  Bytes Run() {
    if (!b8_)
      for (int i = 1; i <= book_.SheetCount(); ++i)
        if (book_.GetSheet(i).LastRow() > kBiff5MaxRows)
          throw EngineError(kErrFile,
                            "The sheet '" + book_.GetSheet(i).Name() + "' has more than 16,384 "
                            "rows, which the Excel 5.0/95 form cannot hold; save it in the "
                            "Excel 97-2000 form.");
    PrepareContext();
    PrepareStyles();
    out_.reserve(EstimateSize());
    PlanDrawings();
    PlanTabs();
    WriteGlobals();
    // The sheets in tab order: chart and macro sheets as they were read, among the worksheets.
    for (std::size_t at = 0; at < tabOrder_.size(); ++at) {
      Set32(out_, boundSheetOffsets_[at],
            static_cast<std::uint32_t>(out_.size() - kCompoundHeaderRoom));
      const int i = tabOrder_[at];
      if (i > 0) {
        WriteSheet(book_.GetSheet(i), i, i == book_.ActiveIndex());
      } else {
        for (const CarriedRecord& r : carriedSheets_[static_cast<std::size_t>(-i - 1)]->records)
          WriteCarriedRecord(w_, r, links_);
      }
    }
    FinishCompoundFile(b8_ ? "Workbook" : "Book", out_, book_.Carried().fileEntries,
                       book_.Carried().rootClsid);
    return std::move(out_);
  }

 private:
  FeatureIo Io(int sheetIndex) {
    FeatureIo io;
    io.b8 = b8_;
    io.codePage = codePage_;
    io.encode = &ctx_;
    io.sheetIndex = sheetIndex;
    return io;
  }

  // --- Carried drawings and sheets ------------------------------------------------------------
  // Shape numbers: a carried chart sheet's drawing keeps its own; every worksheet's drawing
  // gets the next free id and enough free blocks of 1,024 numbers for its shapes.
  void PlanDrawings() {
    plans_.assign(static_cast<std::size_t>(book_.SheetCount()), DrawingPlan{});
    if (!b8_) return;
    std::vector<const CarriedRecord*> carried;
    for (const CarriedSheet& s : book_.Carried().sheets) {
      carriedSheets_.push_back(&s);
      for (const CarriedRecord& r : s.records) carried.push_back(&r);
    }
    for (int i = 1; i <= book_.SheetCount(); ++i)
      for (const CarriedShape& d : book_.GetSheet(i).Features().drawings)
        for (const CarriedShape::Part& p : d.parts) carried.push_back(&p.record);
    ReserveCarriedDrawings(carried, clusters_);
    auto idUsed = [&](int id) {
      return std::any_of(clusters_.begin(), clusters_.end(),
                         [&](const DrawingCluster& c) { return c.drawingId == id; });
    };
    auto clusterUsed = [&](std::uint32_t n) {
      return std::any_of(clusters_.begin(), clusters_.end(),
                         [&](const DrawingCluster& c) { return c.cluster == n; });
    };
    int nextId = 1;
    for (int i = 1; i <= book_.SheetCount(); ++i) {
      int shapes = DrawingShapeCount(book_.GetSheet(i).Features(), Io(i));
      if (shapes == 0) continue;
      while (idUsed(nextId)) ++nextId;
      std::uint32_t numbers = static_cast<std::uint32_t>(shapes) + 1;  // and the group's
      std::uint32_t blocks = (numbers + 1023) / 1024;
      std::uint32_t first = 1;
      for (;;) {
        std::uint32_t k = 0;
        while (k < blocks && !clusterUsed(first + k)) ++k;
        if (k == blocks) break;
        first += k + 1;
      }
      DrawingPlan& plan = plans_[static_cast<std::size_t>(i - 1)];
      plan.drawingId = nextId;
      plan.firstSpid = first * 1024;
      plan.shapes = shapes;
      for (std::uint32_t k = 0; k < blocks; ++k)
        clusters_.push_back({nextId, first + k, std::min<std::uint32_t>(numbers - k * 1024, 1024)});
      ++nextId;
    }
    std::sort(clusters_.begin(), clusters_.end(),
              [](const DrawingCluster& a, const DrawingCluster& b) { return a.cluster < b.cluster; });
  }

  // Where each sheet stands among the file's sheets. The sheet-reference entries keep one per
  // worksheet in the book's order; only the sheet numbers they and the names hold follow this.
  void PlanTabs() {
    tabOrder_ = b8_ ? book_.TabOrder() : std::vector<int>();
    if (!b8_)
      for (int i = 1; i <= book_.SheetCount(); ++i) tabOrder_.push_back(i);
    tabOfSheet_.assign(static_cast<std::size_t>(book_.SheetCount()) + 1, 0);
    tabOfCarried_.assign(carriedSheets_.size(), 0);
    for (std::size_t at = 0; at < tabOrder_.size(); ++at) {
      const int i = tabOrder_[at];
      if (i > 0) tabOfSheet_[static_cast<std::size_t>(i)] = static_cast<unsigned>(at);
      else tabOfCarried_[static_cast<std::size_t>(-i - 1)] = static_cast<unsigned>(at);
    }
  }
  // The 0-based tab of worksheet `index` (1-based).
  unsigned TabOf(int index) const { return tabOfSheet_[static_cast<std::size_t>(index)]; }

  // Where the carried formulas' sheet entries and names stand in the file written. A range of
  // sheets takes an entry after the one per sheet, so this runs before the globals.
  void PrepareLinks() {
    if (!b8_) return;
    const CarriedBook& carried = book_.Carried();
    const int n = book_.SheetCount();
    // Ranges of sheets first: the carried sheets' entries follow them.
    auto index = [&](std::uint32_t id) { return id ? book_.SheetIndexById(id) - 1 : -1; };
    for (const CarriedBook::SheetRef& x : carried.externSheets) {
      int ia = index(x.first), ib = index(x.last);
      if (ia < 0 || ib < 0 || ia == ib) continue;
      std::pair<int, int> range{std::min(ia, ib), std::max(ia, ib)};
      if (std::find(ctx_.sheetRanges.begin(), ctx_.sheetRanges.end(), range) ==
          ctx_.sheetRanges.end())
        ctx_.sheetRanges.push_back(range);
    }
    const int carriedFirst = n + static_cast<int>(ctx_.sheetRanges.size());
    for (const CarriedBook::SheetRef& x : carried.externSheets) {
      int ia = index(x.first), ib = index(x.last);
      if (x.carriedSheet >= 0 && static_cast<std::size_t>(x.carriedSheet) < carried.sheets.size()) {
        links_.externSheets.push_back(carriedFirst + x.carriedSheet);
      } else if (ia < 0 || ib < 0) {
        links_.externSheets.push_back(-1);
      } else if (ia == ib) {
        links_.externSheets.push_back(ia);
      } else {
        std::pair<int, int> range{std::min(ia, ib), std::max(ia, ib)};
        auto it = std::find(ctx_.sheetRanges.begin(), ctx_.sheetRanges.end(), range);
        links_.externSheets.push_back(n + static_cast<int>(it - ctx_.sheetRanges.begin()));
      }
    }
    // The file numbers fonts without a font 4.
    for (std::size_t v = 0; v <= carried.fonts.size(); ++v) {
      std::size_t k = v >= 4 ? v - 1 : v;
      links_.fonts.push_back(v == 4 || k >= carried.fonts.size()
                                 ? -1
                                 : static_cast<int>(FileFont(carried.fonts[k])));
    }
    for (std::uint16_t style : carried.xfs) links_.xfs.push_back(static_cast<int>(Xf(style)));
  }
  // Names are numbered once every formula is encoded: the carried names come after the names
  // that formulas use without a definition.
  void PrepareNameLinks() {
    if (!b8_) return;
    const CarriedBook& carried = book_.Carried();
    const std::vector<DefinedName>& names = book_.Names();
    const std::size_t carriedFirst = futureNames_.size() + names.size() + undefinedNames_.size();
    for (std::size_t i = 0; i < carried.names.size(); ++i) {
      int to = 0;
      int kept = i < carried.carriedNameOf.size() ? carried.carriedNameOf[i] : -1;
      if (kept >= 0) {
        to = static_cast<int>(carriedFirst + static_cast<std::size_t>(kept) + 1);
      } else {
        for (std::size_t k = 0; k < names.size() && !to; ++k)
          if (EqualNoCase(names[k].name, carried.names[i]))
            to = static_cast<int>(futureNames_.size() + k + 1);
      }
      links_.names.push_back(to);
    }
  }
  static bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::tolower(static_cast<unsigned char>(x)) ==
                    std::tolower(static_cast<unsigned char>(y));
           });
  }

  // --- Strings ----------------------------------------------------------------------------------
  void PutUnicode(Bytes& b, const std::string& utf8, bool lenIs16, std::size_t maxChars = 32767) {
    std::u16string w = Utf8ToUtf16(utf8);
    if (w.size() > maxChars) w.resize(maxChars);
    if (lenIs16) Put16(b, static_cast<unsigned>(w.size()));
    else Put8(b, static_cast<unsigned>(std::min<std::size_t>(w.size(), 255)));
    if (!lenIs16 && w.size() > 255) w.resize(255);
    bool wide = std::any_of(w.begin(), w.end(), [](char16_t c) { return c > 0xFF; });
    Put8(b, wide ? 1 : 0);
    for (char16_t c : w) {
      if (wide) Put16(b, c);
      else Put8(b, c);
    }
  }
  void PutBytes(Bytes& b, const std::string& utf8, bool lenIs16, std::size_t maxBytes = 255) {
    std::string s = EncodeCodePage(codePage_, utf8);
    if (s.size() > maxBytes) s.resize(maxBytes);
    if (lenIs16) Put16(b, static_cast<unsigned>(s.size()));
    else Put8(b, static_cast<unsigned>(s.size()));
    b.insert(b.end(), s.begin(), s.end());
  }
  void PutText8(Bytes& b, const std::string& s) {  // short strings: names, fonts, sheets
    if (b8_) PutUnicode(b, s, false);
    else PutBytes(b, s, false);
  }

  // About the size of the stream, so that it grows once rather than by doubling.
  std::size_t EstimateSize() {
    std::size_t bytes = 1 << 16;
    for (int i = 1; i <= book_.SheetCount(); ++i) {
      Sheet& sheet = book_.GetSheet(i);
      for (int col = 1; col <= kMaxCol; ++col) {
        Column& column = sheet.Col(col);
        column.ForEachSlot(1, column.LastSlotRow(), [&](int, CellSlot& s) {
          if (s.kind == CellKind::Text) bytes += 14 + 2 * sheet.Text(s).size() / 3;
          else if (s.kind == CellKind::Formula) bytes += 64;
          else if (s.kind != CellKind::Empty || s.style) bytes += 14;
        });
      }
    }
    return bytes + bytes / 8;
  }

  // --- Formulas ---------------------------------------------------------------------------------
  // Name numbers in formula tokens are positions among the NAME records, and the NAME records
  // are the workbook's defined names in order, then the names formulas use without a
  // definition. A formula sees a name as the engine resolves it from the formula's sheet (one
  // of the sheet's own names first, else the workbook's), so each sheet gets its own list in
  // which the names it does not see are blanked: the numbering stays the same in every list.
  // Every formula and name is encoded here, before anything is written. One that the
  // Excel 97-2000 form would hold but the Excel 5.0/95 form cannot fails the whole write
  // rather than being dropped; one that neither form holds (tokens this encoder does not
  // write) keeps its place: a name without its definition, a formula as its value.
  void PrepareContext() {
    ctx_.version = b8_ ? BiffVersion::Biff8 : BiffVersion::Biff5;
    ctx_.codePage = codePage_;
    ctx_.clipAreaRows = !b8_;
    ctx_.addUnknownNames = true;
    for (int i = 1; i <= book_.SheetCount(); ++i)
      ctx_.sheetNames.push_back(book_.GetSheet(i).Name());
    CollectSheetRanges();
    CollectFutureFunctions();
    PrepareLinks();

    const std::vector<DefinedName>& names = book_.Names();
    scopes_.clear();
    scopes_[0] = ScopeNames(0);
    for (int i = 1; i <= book_.SheetCount(); ++i) {
      std::uint32_t id = book_.GetSheet(i).Id();
      scopes_[id] = ScopeNames(id);
    }
    for (const DefinedName& n : names)
      if (!scopes_.count(n.sheetId)) scopes_[n.sheetId] = ScopeNames(n.sheetId);
    for (auto& [id, list] : scopes_)
      list.insert(list.begin(), futureNames_.begin(), futureNames_.end());
    for (const DefinedName& n : names) {
      Encoded e;
      if (!Encode(n.formula, n.sheetId, e)) {
        if (FitsBiff8(n.formula, n.sheetId))
          throw EngineError(kErrFile, "The name \"" + n.name + "\" (=" + n.formula +
                                          ") cannot be written in the Excel 5.0/95 form; save "
                                          "in the Excel 97-2000 form. The file was not written.");
        e = Encoded();
      }
      nameTokens_.push_back(std::move(e));
    }
    for (int i = 1; i <= book_.SheetCount(); ++i) {
      Sheet& sheet = book_.GetSheet(i);
      std::uint32_t id = sheet.Id();
      sheet.ForEachFormula([&](int row, int col, FormulaCell& f) {
        std::string text = book_.Formulas().Text(sheet, row, col, f);
        Encoded e;
        if (Encode(text, id, e)) {
          formulaTokens_.emplace(&f, std::move(e));
        } else if (FitsBiff8(text, id)) {
          throw EngineError(kErrFile, "The formula =" + text + " in cell " +
                                          CellRefText(row - 1, col - 1, false, false) +
                                          " of the sheet '" + sheet.Name() +
                                          "' cannot be written in the Excel 5.0/95 form; save "
                                          "in the Excel 97-2000 form. The file was not written.");
        }
      });
    }
    PrepareNameLinks();
  }

  // Whether the Excel 97-2000 form would hold a formula that the Excel 5.0/95 form cannot.
  bool FitsBiff8(const std::string& text, std::uint32_t scope) const {
    if (b8_) return false;
    EncodeContext ec = ctx_;
    ec.version = BiffVersion::Biff8;
    ec.names = scopes_.at(scope);
    Bytes tokens, extra;
    return EncodeFormula(text, ec, tokens, extra) && tokens.size() <= kMaxFormulaTokens;
  }

  // The defined names in order as a formula of the scope (0: the workbook) sees them, as the
  // workbook's lookup decides: the first of the scope's own names with that text, else the
  // last workbook name with it (texts compared without regard to case).
  std::vector<std::string> ScopeNames(std::uint32_t scope) {
    const std::vector<DefinedName>& names = book_.Names();
    if (nameGroups_.empty() && !names.empty()) {
      for (std::size_t k = 0; k < names.size(); ++k) {
        std::string key = names[k].name;
        for (char& ch : key) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        nameGroups_[key].push_back(k);
      }
    }
    std::vector<std::string> out(names.size());
    for (const auto& [key, group] : nameGroups_) {
      std::size_t seen = names.size();
      for (std::size_t k : group) {
        if (scope != 0 && names[k].sheetId == scope) {
          seen = k;
          break;
        }
        if (names[k].sheetId == 0) seen = k;
      }
      if (seen < names.size()) out[seen] = names[seen].name;
    }
    return out;
  }

  struct Encoded {
    Bytes tokens, extra;
  };
  // Encodes a formula as seen from a scope; a name it uses without a definition joins the
  // names of every scope at the same position.
  bool Encode(const std::string& text, std::uint32_t scope, Encoded& e) {
    std::vector<std::string>& list = scopes_.at(scope);
    const std::size_t known = list.size();
    // The list is lent to the encoder rather than copied for every formula.
    EncodeContext ec;
    ec.version = ctx_.version;
    ec.codePage = ctx_.codePage;
    ec.clipAreaRows = ctx_.clipAreaRows;
    ec.addUnknownNames = ctx_.addUnknownNames;
    ec.futureFunctions = ctx_.futureFunctions;
    ec.sheetNames.swap(ctx_.sheetNames);
    ec.sheetRanges.swap(ctx_.sheetRanges);
    ec.names.swap(list);
    bool ok = EncodeFormula(text, ec, e.tokens, e.extra) && e.tokens.size() <= kMaxFormulaTokens;
    ctx_.sheetNames.swap(ec.sheetNames);
    ctx_.sheetRanges.swap(ec.sheetRanges);
    list.swap(ec.names);
    std::vector<std::string> added(list.begin() + static_cast<std::ptrdiff_t>(known), list.end());
    list.resize(known);
    if (!ok) return false;
    for (const std::string& name : added) {
      undefinedNames_.push_back(name);
      for (auto& [id, other] : scopes_) other.push_back(name);
    }
    return true;
  }

  // BIFF8 names functions newer than the form (COUNTIFS …) by hidden NAME records, written
  // before the table's own names: they take the first numbers in every scope's list.
  void CollectFutureFunctions() {
    if (!b8_) return;
    auto note = [&](const formula::Expression& e) {
      for (const formula::Token& t : e.Tokens()) {
        if (t.kind != formula::TokenKind::Func || !IsFutureFunction(t.text)) continue;
        std::string name = std::string(kFutureFunctionPrefix) + t.text;
        if (std::find(futureNames_.begin(), futureNames_.end(), name) == futureNames_.end())
          futureNames_.push_back(name);
      }
    };
    for (const DefinedName& n : book_.Names())
      if (n.expr) note(*n.expr);
    for (int i = 1; i <= book_.SheetCount(); ++i)
      book_.GetSheet(i).ForEachFormula([&](int, int, FormulaCell& f) {
        if (f.expr) note(*f.expr);
      });
    ctx_.futureFunctions = futureNames_.size();
  }

  // Ranges of sheets (Sheet1:Sheet3!A1) get EXTERNSHEET entries after the one per sheet;
  // they must be known before the globals are written.
  void CollectSheetRanges() {
    auto note = [&](const formula::Expression& e) {
      for (const formula::Token& t : e.Tokens()) {
        if (!t.IsReference() || !t.sheet2 || t.sheetGone) continue;
        int a = book_.SheetIndexById(t.sheet) - 1, b = book_.SheetIndexById(t.sheet2) - 1;
        if (a < 0 || b < 0) continue;
        std::pair<int, int> range{std::min(a, b), std::max(a, b)};
        if (std::find(ctx_.sheetRanges.begin(), ctx_.sheetRanges.end(), range) ==
            ctx_.sheetRanges.end())
          ctx_.sheetRanges.push_back(range);
      }
    };
    for (const DefinedName& n : book_.Names())
      if (n.expr) note(*n.expr);
    for (int i = 1; i <= book_.SheetCount(); ++i)
      book_.GetSheet(i).ForEachFormula([&](int, int, FormulaCell& f) {
        if (f.expr) note(*f.expr);
      });
  }

  // --- Styles -----------------------------------------------------------------------------------
  // The palette takes the colours cells show first (fonts, then cell formats), the named
  // styles' last: when it fills up, only a style's colour falls back to the nearest one.
  void PrepareStyles() {
    const StyleTable& styles = book_.Styles();
    for (std::size_t i = 0; i < styles.FontCount(); ++i)
      palette_.IndexOf(styles.GetFont(static_cast<std::uint16_t>(i)).color, 0x7FFF);
    for (std::size_t i = 0; i < styles.Count(); ++i) {
      const Style& s = styles.Get(static_cast<std::uint16_t>(i));
      FormatId(s.numberFormat);
      palette_.IndexOf(s.patternFore, 64);
      palette_.IndexOf(s.patternBack, 65);
      for (const Border* b : {&s.left, &s.right, &s.top, &s.bottom}) palette_.IndexOf(b->color, 64);
    }
    for (const NamedStyle& n : styles.NamedStyles()) {
      const Style& s = n.format;
      FormatId(s.numberFormat);
      palette_.IndexOf(s.patternFore, 64);
      palette_.IndexOf(s.patternBack, 65);
      for (const Border* b : {&s.left, &s.right, &s.top, &s.bottom}) palette_.IndexOf(b->color, 64);
    }
  }
  unsigned FormatId(std::uint16_t index) {
    if (index == 0) return 0;
    auto it = formatIds_.find(index);
    if (it != formatIds_.end()) return it->second;
    unsigned id = 164 + static_cast<unsigned>(formatIds_.size());
    formatIds_[index] = id;
    formatOrder_.push_back(index);
    return id;
  }
  static unsigned FileFont(std::uint16_t font) { return rich_text::FileFont(font); }

  void WriteFont(const Font& f) {
    Bytes b;
    Put16(b, static_cast<unsigned>(std::clamp(f.heightTwips, 20, 8191)));
    // Bit 0 repeats the weight's boldness, which some readers take from it.
    Put16(b, (f.bold ? 1 : 0) | (f.italic ? 2 : 0) | (f.strikeout ? 8 : 0));
    Put16(b, palette_.IndexOf(f.color, 0x7FFF));
    Put16(b, f.bold ? 700 : 400);
    Put16(b, 0);
    Put8(b, f.underline ? 1 : 0);
    Put8(b, 0);
    Put8(b, 0);
    Put8(b, 0);
    PutText8(b, f.name);
    w_.Write(rec::kFont, b);
  }

  // A cell XF names its style's XF and marks the parts it sets apart from that style (the
  // others follow the style); a style XF marks the parts its style leaves out.
  void WriteXf(const Style& s, bool styleXf, std::uint8_t parts = kAllParts) {
    Bytes b;
    Put16(b, FileFont(s.font));
    Put16(b, FormatId(s.numberFormat));
    unsigned prot = (s.locked ? 1 : 0) | (s.hidden ? 2 : 0);
    Put16(b, styleXf ? 0xFFF4 | prot : prot | (xfPlan_.NamedXf(s.parent) << 4));
    Put8(b, static_cast<unsigned>(s.hAlign) | (s.wrap ? 8 : 0) | (static_cast<unsigned>(s.vAlign) << 4));
    unsigned used = (styleXf ? StyleXfUsedBits(parts) : OwnParts(s, book_.Styles())) << 2;
    unsigned fore = s.pattern ? palette_.IndexOf(s.patternFore, 64) : 64;
    unsigned back = s.pattern ? palette_.IndexOf(s.patternBack, 65) : 65;
    auto color = [&](const Border& x) { return x.line ? palette_.IndexOf(x.color, 64) : 0u; };
    if (b8_) {
      Put8(b, 0);
      Put8(b, 0);
      Put8(b, used);
      std::uint32_t b1 = (s.left.line & 0xFu) | ((s.right.line & 0xFu) << 4) |
                         ((s.top.line & 0xFu) << 8) | ((s.bottom.line & 0xFu) << 12) |
                         ((color(s.left) & 0x7Fu) << 16) | ((color(s.right) & 0x7Fu) << 23);
      std::uint32_t b2 = (color(s.top) & 0x7Fu) | ((color(s.bottom) & 0x7Fu) << 7) |
                         ((static_cast<std::uint32_t>(s.pattern) & 0x3Fu) << 26);
      Put32(b, b1);
      Put32(b, b2);
      Put16(b, (fore & 0x7F) | ((back & 0x7F) << 7));
    } else {
      Put8(b, used);
      std::uint32_t a = (fore & 0x7Fu) | ((back & 0x7Fu) << 7) |
                        ((static_cast<std::uint32_t>(s.pattern) & 0x3Fu) << 16) |
                        ((s.bottom.line & 7u) << 22) | ((color(s.bottom) & 0x7Fu) << 25);
      std::uint32_t c = (s.top.line & 7u) | ((s.left.line & 7u) << 3) | ((s.right.line & 7u) << 6) |
                        ((color(s.top) & 0x7Fu) << 9) | ((color(s.left) & 0x7Fu) << 16) |
                        ((color(s.right) & 0x7Fu) << 23);
      Put32(b, a);
      Put32(b, c);
    }
    w_.Write(rec::kXf, b);
  }

  // The style XFs around the default cell XF (15), the other cell XFs, then the STYLE records.
  void WriteStyleXfs(const StyleTable& styles) {
    const std::vector<int>& order = xfPlan_.StyleXfs();
    auto styleXf = [&](int named) {
      if (named < 0) WriteXf(Style{}, true);
      else WriteXf(styles.GetNamed(static_cast<std::uint16_t>(named)).format, true,
                   styles.GetNamed(static_cast<std::uint16_t>(named)).parts);
    };
    for (std::size_t k = 0; k < 15; ++k) styleXf(order[k]);
    WriteXf(styles.Get(0), false);
    for (std::size_t k = 15; k < order.size(); ++k) styleXf(order[k]);
    for (std::size_t i = 1; i < styles.Count(); ++i)
      WriteXf(styles.Get(static_cast<std::uint16_t>(i)), false);
    // In the table's order, which a read gives the styles again.
    for (std::size_t i = 0; i < styles.NamedStyles().size(); ++i) {
      auto index = static_cast<std::uint16_t>(i);
      w_.Write(rec::kStyle,
               StyleRecordBody(styles.GetNamed(index), xfPlan_.NamedXf(index), b8_, codePage_));
      if (b8_) w_.Write(kStyleExtRecord, StyleExtBody(styles.GetNamed(index), styles));
    }
  }

  // --- Globals ----------------------------------------------------------------------------------
  void WriteBof(unsigned type) {
    Bytes b;
    Put16(b, b8_ ? 0x0600 : 0x0500);
    Put16(b, type);
    Put16(b, 0x0DBB);
    Put16(b, 0x07CC);
    if (b8_) {
      Put32(b, 0x00000041);
      Put32(b, 0x00000006);
    }
    w_.Write(rec::kBof, b);
  }

  void WriteGlobals() {
    WriteBof(0x0005);
    {
      Bytes b;
      Put16(b, codePage_);
      w_.Write(rec::kCodePage, b);
    }
    // The macros' project, when the book has one, and the book's code name that its modules use.
    if (b8_ && book_.Carried().vbaProject) w_.Write(rec::kObjProj, {});
    if (b8_ && !book_.Carried().bookCodeName.empty())
      w_.Write(rec::kCodeName, Bytes(book_.Carried().bookCodeName.begin(),
                                     book_.Carried().bookCodeName.end()));
    {
      Bytes b;
      Put16(b, 0);
      Put16(b, 0);
      Put16(b, 0x4000);
      Put16(b, 0x2000);
      Put16(b, book_.ShowTabs() ? 0x38 : 0x18);
      Put16(b, TabOf(book_.ActiveIndex()));
      Put16(b, 0);
      Put16(b, 1);
      Put16(b, 600);
      w_.Write(rec::kWindow1, b);
    }
    {
      Bytes b;
      Put16(b, book_.Date1904() ? 1 : 0);
      w_.Write(rec::kDateMode, b);
    }
    const StyleTable& styles = book_.Styles();
    for (int i = 0; i < 4; ++i) WriteFont(styles.GetFont(0));
    for (std::size_t i = 1; i < styles.FontCount(); ++i)
      WriteFont(styles.GetFont(static_cast<std::uint16_t>(i)));
    for (std::uint16_t index : formatOrder_) {
      Bytes b;
      Put16(b, formatIds_[index]);
      if (b8_) PutUnicode(b, book_.Formats().Code(index), true, 255);
      else PutBytes(b, book_.Formats().Code(index), false);
      w_.Write(rec::kFormat, b);
    }
    WriteStyleXfs(styles);

    if (palette_.Changed()) {
      Bytes b;
      Put16(b, 56);
      for (std::uint32_t c : palette_.Entries()) {
        Put8(b, c & 0xFF);
        Put8(b, (c >> 8) & 0xFF);
        Put8(b, (c >> 16) & 0xFF);
        Put8(b, 0);
      }
      w_.Write(rec::kPalette, b);
    }
    for (int i : tabOrder_) {
      Bytes b;
      Put32(b, 0);
      if (i > 0) {
        Put16(b, static_cast<unsigned>(book_.GetSheet(i).Features().visibility));
        PutText8(b, book_.GetSheet(i).Name());
      } else {
        const CarriedSheet& s = *carriedSheets_[static_cast<std::size_t>(-i - 1)];
        Put16(b, static_cast<unsigned>(s.visibility) | (s.kind << 8));
        PutText8(b, s.name);
      }
      boundSheetOffsets_.push_back(out_.size() + 4);
      w_.Write(rec::kBoundSheet, b);
    }
    WriteExternSheets();
    WriteNames();
    {
      std::vector<const Sheet*> sheets;
      std::vector<unsigned> tabs;
      for (int i = 1; i <= book_.SheetCount(); ++i) {
        sheets.push_back(&book_.GetSheet(i));
        tabs.push_back(TabOf(i));
      }
      WriteBuiltinNames(w_, sheets, tabs, b8_);
    }
    if (b8_) WriteDrawingGroup(w_, clusters_, book_.Carried().drawingGroup);
    if (b8_) WriteSst();
    w_.Write(rec::kEof, {});
  }

  void WriteExternSheets() {
    int n = book_.SheetCount();
    if (b8_) {
      Bytes s;
      Put16(s, static_cast<unsigned>(n + static_cast<int>(carriedSheets_.size())));
      Put16(s, 0x0401);
      w_.Write(rec::kSupBook, s);
      Bytes e;
      const int carried = static_cast<int>(carriedSheets_.size());
      Put16(e, static_cast<unsigned>(n + static_cast<int>(ctx_.sheetRanges.size()) + carried));
      for (int i = 1; i <= n; ++i) {
        Put16(e, 0);
        Put16(e, TabOf(i));
        Put16(e, TabOf(i));
      }
      for (const auto& [first, last] : ctx_.sheetRanges) {
        Put16(e, 0);
        Put16(e, TabOf(first + 1));
        Put16(e, TabOf(last + 1));
      }
      for (unsigned tab : tabOfCarried_) {  // chart and macro sheets: entries after the ranges
        Put16(e, 0);
        Put16(e, tab);
        Put16(e, tab);
      }
      w_.Write(rec::kExternSheet, e);
    } else {
      for (int i = 1; i <= n; ++i) {
        std::string name = EncodeCodePage(codePage_, book_.GetSheet(i).Name());
        if (name.size() > 254) name.resize(254);
        Bytes e;
        Put8(e, static_cast<unsigned>(name.size() + 1));
        Put8(e, 0x03);
        e.insert(e.end(), name.begin(), name.end());
        w_.Write(rec::kExternSheet, e);
      }
    }
  }

  void WriteNames() {
    // The newer functions' names: hidden, functions, their formula #NAME?.
    Encoded nameError;
    Put8(nameError.tokens, 0x1C);
    Put8(nameError.tokens, static_cast<unsigned>(ErrorValue::Name));
    for (const std::string& name : futureNames_) WriteName(name, 0, nameError, 0x000B);
    const std::vector<DefinedName>& names = book_.Names();
    for (std::size_t k = 0; k < names.size(); ++k) {
      const DefinedName& n = names[k];
      const int index = n.sheetId ? book_.SheetIndexById(n.sheetId) : 0;
      WriteName(n.name, index > 0 ? TabOf(index) + 1 : 0, nameTokens_[k]);
    }
    // Names that formulas use but nothing defines: a record without a definition keeps them
    // at the numbers the formulas carry.
    const Encoded none;
    for (const std::string& name : undefinedNames_) WriteName(name, 0, none);
    if (!b8_) return;
    for (const CarriedName& n : book_.Carried().definedNames) {
      CarriedRecord r = n.record;
      if (r.body.size() < 14) continue;
      unsigned itab = 0;
      const int index = n.sheetId ? book_.SheetIndexById(n.sheetId) : 0;
      if (n.carriedSheet >= 0 && static_cast<std::size_t>(n.carriedSheet) < tabOfCarried_.size())
        itab = tabOfCarried_[static_cast<std::size_t>(n.carriedSheet)] + 1;
      else if (index > 0)
        itab = TabOf(index) + 1;
      Set16(r.body, 8, itab);
      RemapNameTokens(r, n.tokensAt, links_);
      WriteCarriedRecord(w_, r, LinkMap{});
    }
  }

  void WriteName(const std::string& name, unsigned sheetIndex, const Encoded& e,
                 unsigned flags = 0) {
    Bytes b;
    Put16(b, flags);
    Put8(b, 0);
    std::u16string w = Utf8ToUtf16(name);
    std::string bytes = b8_ ? std::string() : EncodeCodePage(codePage_, name);
    std::size_t len = std::min<std::size_t>(b8_ ? w.size() : bytes.size(), 255);
    Put8(b, static_cast<unsigned>(len));
    Put16(b, static_cast<unsigned>(e.tokens.size()));
    Put16(b, 0);
    Put16(b, sheetIndex);
    Put32(b, 0);
    if (b8_) {
      bool wide = std::any_of(w.begin(), w.begin() + static_cast<std::ptrdiff_t>(len),
                              [](char16_t c) { return c > 0xFF; });
      Put8(b, wide ? 1 : 0);
      for (std::size_t i = 0; i < len; ++i) {
        if (wide)
          Put16(b, w[i]);
        else
          Put8(b, w[i]);
      }
    } else {
      b.insert(b.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(len));
    }
    b.insert(b.end(), e.tokens.begin(), e.tokens.end());
    b.insert(b.end(), e.extra.begin(), e.extra.end());
    w_.Write(rec::kName, b);
  }

  // Shared strings: every text cell of every sheet, in first-seen order.
  void WriteSst() {
    std::uint32_t total = 0;
    for (int i = 1; i <= book_.SheetCount(); ++i) {
      Sheet& sheet = book_.GetSheet(i);
      int lastCol = sheet.LastCol();
      for (int col = 1; col <= lastCol; ++col) {
        Column& column = sheet.Col(col);
        column.ForEachSlot(1, column.LastUsedRow(), [&](int, CellSlot& s) {
          if (s.kind != CellKind::Text) return;
          ++total;
          const std::string& text = sheet.Text(s);
          const TextRuns* runs = sheet.Runs(s);
          // A string with runs is a string of its own, told apart by its runs.
          auto& index = runs ? richIndex_ : sstIndex_;
          if (index.emplace(runs ? text_runs::Key(*runs, text) : text,
                            static_cast<std::uint32_t>(sstStrings_.size()))
                  .second) {
            sstStrings_.push_back(&text);
            sstRuns_.push_back(runs);
          }
        });
      }
    }
    const std::size_t max = w_.MaxBody();
    std::vector<Bytes> records(1);
    Put32(records[0], total);
    Put32(records[0], static_cast<std::uint32_t>(sstStrings_.size()));
    struct Bucket {
      std::size_t record, offset;
    };
    std::vector<Bucket> buckets;
    for (std::size_t k = 0; k < sstStrings_.size(); ++k) {
      std::u16string w = Utf8ToUtf16(*sstStrings_[k]);
      if (w.size() > 32767) w.resize(32767);
      bool wide = std::any_of(w.begin(), w.end(), [](char16_t c) { return c > 0xFF; });
      const std::vector<FileRun> runs =
          sstRuns_[k] ? rich_text::ToFile(*sstRuns_[k], w.size()) : std::vector<FileRun>();
      const std::size_t head = runs.empty() ? 3 : 5;  // the run count follows the option byte
      if (records.back().size() + head + (wide ? 2 : 1) > max) records.emplace_back();
      if (k % 8 == 0) buckets.push_back({records.size() - 1, records.back().size()});
      Bytes& r0 = records.back();
      Put16(r0, static_cast<unsigned>(w.size()));
      Put8(r0, (wide ? 1 : 0) | (runs.empty() ? 0 : 0x08));
      if (!runs.empty()) Put16(r0, static_cast<unsigned>(runs.size()));
      std::size_t i = 0;
      while (i < w.size()) {
        Bytes& r = records.back();
        std::size_t room = (max - r.size()) / (wide ? 2 : 1);
        if (room == 0) {
          records.emplace_back();
          Put8(records.back(), wide ? 1 : 0);
          continue;
        }
        std::size_t n = std::min(room, w.size() - i);
        for (std::size_t j = 0; j < n; ++j) {
          if (wide) Put16(r, w[i + j]);
          else Put8(r, w[i + j]);
        }
        i += n;
      }
      // Runs go after the characters, each whole in one record, with no option byte.
      for (const FileRun& run : runs) {
        if (records.back().size() + 4 > max) records.emplace_back();
        Put16(records.back(), run.at);
        Put16(records.back(), run.font);
      }
    }
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < records.size(); ++i) {
      starts.push_back(out_.size() - kCompoundHeaderRoom);
      Put16(out_, i == 0 ? rec::kSst : rec::kContinue);
      Put16(out_, static_cast<unsigned>(records[i].size()));
      out_.insert(out_.end(), records[i].begin(), records[i].end());
    }
    Bytes ext;
    Put16(ext, 8);
    for (const Bucket& b : buckets) {
      Put32(ext, static_cast<std::uint32_t>(starts[b.record] + 4 + b.offset));
      Put16(ext, static_cast<unsigned>(4 + b.offset));
      Put16(ext, 0);
    }
    if (ext.size() <= max) w_.Write(rec::kExtSst, ext);
  }

  // --- Sheets -----------------------------------------------------------------------------------
  unsigned Xf(std::uint16_t style) const { return xfPlan_.CellXf(style); }

  void Cell(Bytes& b, int row, int col, std::uint16_t style) {
    b.clear();
    Put16(b, static_cast<unsigned>(row - 1));
    Put16(b, static_cast<unsigned>(col - 1));
    Put16(b, Xf(style));
  }

  void WriteSheet(Sheet& sheet, int index, bool active) {
    WriteBof(0x0010);
    const FeatureIo io = Io(index);
    int lastRow = sheet.LastRow(), lastCol = sheet.LastCol();
    WritePageSetup(w_, sheet, io);
    WriteAutoFilter(w_, sheet.Features(), io);
    // Styled blank cells and row/column styles widen nothing: the extent counts content.
    {
      Bytes b;
      Put16(b, static_cast<unsigned>(std::clamp(sheet.Features().defaultColWidth, 0, 255)));
      w_.Write(rec::kDefColWidth, b);
    }
    auto same = [](const ColumnAttr& x, const ColumnAttr& y) {
      return x.width == y.width && x.hidden == y.hidden && x.style == y.style &&
             x.outline == y.outline && x.collapsed == y.collapsed;
    };
    for (int col = 1; col <= kMaxCol;) {
      const ColumnAttr& a = sheet.ColAttr(col);
      int end = col;
      while (end < kMaxCol && same(sheet.ColAttr(end + 1), a)) ++end;
      if (a.width != kDefaultColumnWidth || a.hidden || a.style || a.outline || a.collapsed) {
        Bytes b;
        Put16(b, static_cast<unsigned>(col - 1));
        Put16(b, static_cast<unsigned>(end - 1));
        Put16(b, static_cast<unsigned>(std::clamp(a.width, 0, 0xFFFF)));
        Put16(b, Xf(a.style));
        Put16(b, (a.hidden ? 1u : 0u) | ((a.outline & 7u) << 8) | (a.collapsed ? 0x1000u : 0u));
        Put16(b, 0);
        w_.Write(rec::kColInfo, b);
      }
      col = end + 1;
    }
    {
      Bytes b;
      if (b8_) {
        Put32(b, 0);
        Put32(b, static_cast<std::uint32_t>(lastRow));
      } else {
        Put16(b, 0);
        Put16(b, static_cast<unsigned>(lastRow));
      }
      Put16(b, 0);
      Put16(b, static_cast<unsigned>(lastCol));
      Put16(b, 0);
      w_.Write(rec::kDimensions, b);
    }
    int attrRows = std::min(sheet.RowAttrCount(), b8_ ? kMaxRow : kBiff5MaxRows);
    for (int row = 1; row <= attrRows; ++row) {
      const RowAttr& a = sheet.GetRowAttr(row);
      if (!a.hidden && !a.style && !a.heightTwips && !a.outline && !a.collapsed) continue;
      Bytes b;
      Put16(b, static_cast<unsigned>(row - 1));
      Put16(b, 0);
      Put16(b, static_cast<unsigned>(lastCol));
      const int standard = sheet.Features().defaultRowHeight > 0
                               ? sheet.Features().defaultRowHeight
                               : kStandardRowHeight;
      Put16(b, static_cast<unsigned>(
                   std::clamp(a.heightTwips ? a.heightTwips : standard, 0, kMaxRowHeight)));
      Put16(b, 0);
      Put16(b, 0);
      const bool custom = a.heightTwips && !a.fittedHeight;
      Put16(b, 0x100 | (a.outline & 7u) | (a.collapsed ? 0x10 : 0) | (a.hidden ? 0x20 : 0) |
                   (custom ? 0x40 : 0) | (a.style ? 0x80 : 0));
      Put16(b, a.style ? Xf(a.style) : 0x0F);
      w_.Write(rec::kRow, b);
    }
    int styledLastRow = 0, styledLastCol = 0;
    for (int col = 1; col <= kMaxCol; ++col)
      if (int r = sheet.Col(col).LastSlotRow(); r > 0) {
        styledLastRow = std::max(styledLastRow, r);
        styledLastCol = col;
      }
    if (!b8_) styledLastRow = std::min(styledLastRow, kBiff5MaxRows);
    Bytes b;
    for (int row = 1; row <= styledLastRow; ++row) {
      for (int col = 1; col <= styledLastCol; ++col) {
        const CellSlot* s = sheet.Find(row, col);
        if (!s) continue;
        if (s->kind == CellKind::Empty && !s->style) continue;
        WriteCell(sheet, row, col, *s, b);
      }
    }
    WriteComments(w_, sheet.Features(), io);
    WriteDrawing(w_, sheet.Features(), io, plans_[static_cast<std::size_t>(index - 1)], links_);
    WriteWindow(w_, sheet, active, io);
    WriteMergeCells(w_, sheet.Features(), io);
    WriteCondFormats(w_, sheet.Features(), io);
    WriteHyperlinks(w_, sheet.Features(), io);
    WriteValidations(w_, sheet.Features(), io);
    if (b8_)
      for (const auto& [id, body] : book_.Carried().sheetCodeNames)
        if (id == sheet.Id()) w_.Write(rec::kCodeName, Bytes(body.begin(), body.end()));
    WriteSheetExt(w_, sheet.Features(), io);
    w_.Write(rec::kEof, {});
  }

  void WriteValue(const Value& v, int row, int col, std::uint16_t style, Bytes& b) {
    Cell(b, row, col, style);
    switch (v.kind) {
      case ValueKind::Number: {
        std::uint32_t rk;
        if (EncodeRk(v.number, rk)) {
          Put32(b, rk);
          w_.Write(rec::kRk, b);
        } else {
          PutDouble(b, v.number);
          w_.Write(rec::kNumber, b);
        }
        break;
      }
      case ValueKind::Text:
        if (b8_) {
          auto it = sstIndex_.find(v.text);
          if (it != sstIndex_.end()) {
            Put32(b, it->second);
            w_.Write(rec::kLabelSst, b);
          } else {
            PutUnicode(b, v.text, true, 4000);
            w_.Write(rec::kLabel, b);
          }
        } else {
          PutBytes(b, v.text, true, 2000);
          w_.Write(rec::kLabel, b);
        }
        break;
      case ValueKind::Logical:
        Put8(b, v.logical ? 1 : 0);
        Put8(b, 0);
        w_.Write(rec::kBoolErr, b);
        break;
      case ValueKind::Error:
        Put8(b, static_cast<unsigned>(v.error));
        Put8(b, 1);
        w_.Write(rec::kBoolErr, b);
        break;
      case ValueKind::Empty:
        w_.Write(rec::kBlank, b);
        break;
    }
  }

  void WriteCell(Sheet& sheet, int row, int col, const CellSlot& s, Bytes& b) {
    switch (s.kind) {
      case CellKind::Empty:
        Cell(b, row, col, s.style);
        w_.Write(rec::kBlank, b);
        return;
      case CellKind::Number: {
        Value v;
        v.kind = ValueKind::Number;
        v.number = s.number;
        WriteValue(v, row, col, s.style, b);
        return;
      }
      case CellKind::Text: {
        const std::string& text = sheet.Text(s);
        Cell(b, row, col, s.style);
        if (b8_) {
          const TextRuns* runs = sheet.Runs(s);
          Put32(b, runs ? richIndex_.at(text_runs::Key(*runs, text)) : sstIndex_.at(text));
          w_.Write(rec::kLabelSst, b);
        } else {
          if (EncodeCodePage(codePage_, text).size() > kBiff5MaxText)
            throw EngineError(kErrFile, "The text in cell " +
                                            CellRefText(row - 1, col - 1, false, false) +
                                            " of the sheet '" + sheet.Name() +
                                            "' is too long for the Excel 5.0/95 form; save in "
                                            "the Excel 97-2000 form. The file was not written.");
          PutBytes(b, text, true, kBiff5MaxText);
          const TextRuns* runs = sheet.Runs(s);
          const bool rich = runs && rich_text::AppendBiff5(b, *runs, text, codePage_);
          w_.Write(rich ? rec::kRString : rec::kLabel, b);
        }
        return;
      }
      case CellKind::Logical:
      case CellKind::Error:
        WriteValue(book_.GetValue(sheet, row, col), row, col, s.style, b);
        return;
      case CellKind::Formula: {
        const FormulaCell& f = sheet.Formula(s);
        auto found = formulaTokens_.find(&f);
        if (found == formulaTokens_.end()) {
          // Neither form can hold this formula: keep its value.
          WriteValue(f.result, row, col, s.style, b);
          return;
        }
        const Encoded& e = found->second;
        Bytes tokens = e.tokens;
        Bytes extra = e.extra;
        // A cell of an array formula points at the block's first cell (ptgExp); the ARRAY
        // record after that cell's FORMULA record holds the formula.
        const Encoded* array = nullptr;
        const int anchorRow = row - f.arrayRow, anchorCol = col - f.arrayCol;
        if (f.IsArray() && anchorRow >= 1 && anchorCol >= 1) {
          const CellSlot* a = sheet.Find(anchorRow, anchorCol);
          auto anchor = a && a->kind == CellKind::Formula
                            ? formulaTokens_.find(&sheet.Formula(*a))
                            : formulaTokens_.end();
          if (anchor != formulaTokens_.end()) {
            tokens = {0x01};
            Put16(tokens, static_cast<unsigned>(anchorRow - 1));
            Put16(tokens, static_cast<unsigned>(anchorCol - 1));
            extra.clear();
            if (anchorRow == row && anchorCol == col) array = &anchor->second;
          }
        }
        Cell(b, row, col, s.style);
        const Value& v = f.result;
        switch (v.kind) {
          case ValueKind::Number: PutDouble(b, std::isfinite(v.number) ? v.number : 0); break;
          case ValueKind::Text:
            Put8(b, v.text.empty() ? 3 : 0);
            for (int i = 0; i < 5; ++i) Put8(b, 0);
            Put16(b, 0xFFFF);
            break;
          case ValueKind::Logical:
          case ValueKind::Error:
            Put8(b, v.IsLogical() ? 1 : 2);
            Put8(b, 0);
            Put8(b, v.IsLogical() ? (v.logical ? 1 : 0) : static_cast<unsigned>(v.error));
            for (int i = 0; i < 3; ++i) Put8(b, 0);
            Put16(b, 0xFFFF);
            break;
          case ValueKind::Empty:
            Put8(b, 3);
            for (int i = 0; i < 5; ++i) Put8(b, 0);
            Put16(b, 0xFFFF);
            break;
        }
        Put16(b, 0x0002);  // calculate on load
        Put32(b, 0);
        Put16(b, static_cast<unsigned>(tokens.size()));
        b.insert(b.end(), tokens.begin(), tokens.end());
        b.insert(b.end(), extra.begin(), extra.end());
        w_.Write(rec::kFormula, b);
        if (array) {
          Bytes r;
          Put16(r, static_cast<unsigned>(row - 1));
          Put16(r, static_cast<unsigned>(row - 1 + f.arrayRows - 1));
          Put8(r, static_cast<unsigned>(col - 1));
          Put8(r, static_cast<unsigned>(col - 1 + f.arrayCols - 1));
          Put16(r, 0);  // options
          Put32(r, 0);
          Put16(r, static_cast<unsigned>(array->tokens.size()));
          r.insert(r.end(), array->tokens.begin(), array->tokens.end());
          r.insert(r.end(), array->extra.begin(), array->extra.end());
          w_.Write(rec::kArray, r);
        }
        if (v.IsText() && !v.text.empty()) {
          Bytes str;
          if (b8_) PutUnicode(str, v.text, true, 4000);
          else PutBytes(str, v.text, true, 2000);
          w_.Write(rec::kString, str);
        }
        return;
      }
    }
  }

  Workbook& book_;
  bool b8_;
  StyleXfPlan xfPlan_{book_.Styles()};
  unsigned codePage_;
  Bytes out_;
  RecordWriter w_;
  EncodeContext ctx_;
  std::unordered_map<std::uint32_t, std::vector<std::string>> scopes_;  // by sheet id, 0: book
  std::unordered_map<std::string, std::vector<std::size_t>> nameGroups_;  // by lower-case text
  std::vector<Encoded> nameTokens_;                                     // per defined name
  std::vector<std::string> undefinedNames_;
  std::vector<std::string> futureNames_;  // "_xlfn.COUNTIFS" …, the first NAME records
  std::unordered_map<const FormulaCell*, Encoded> formulaTokens_;
  Palette palette_;
  std::unordered_map<std::uint16_t, unsigned> formatIds_;
  std::vector<std::uint16_t> formatOrder_;
  std::vector<std::size_t> boundSheetOffsets_;
  std::vector<DrawingPlan> plans_;  // per sheet
  std::vector<DrawingCluster> clusters_;
  std::vector<const CarriedSheet*> carriedSheets_;
  std::vector<int> tabOrder_;  // the file's sheets: worksheet index, or -(k + 1) carried sheet k
  std::vector<unsigned> tabOfSheet_, tabOfCarried_;
  LinkMap links_;
  std::unordered_map<std::string, std::uint32_t> sstIndex_;
  std::vector<const std::string*> sstStrings_;
  std::unordered_map<std::string, std::uint32_t> richIndex_;  // strings with runs, by Key
  std::vector<const TextRuns*> sstRuns_;                      // per string; nullptr: none
};

}  // namespace

Bytes WriteXls(Workbook& book, short type, unsigned codePage) {
  if (type != kTypeBiff8 && type != kTypeBiff5)
    throw EngineError(kErrBadArgument, "Unknown workbook form " + std::to_string(type) + ".");
  return BiffWriter(book, type, codePage).Run();
}

}  // namespace engine::xls
