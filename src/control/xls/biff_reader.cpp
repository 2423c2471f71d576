// Reading a BIFF5/BIFF8 workbook stream into a new Workbook: first the workbook globals
// (code page, date system, fonts, formats, XF styles, palette, sheets, names, shared strings),
// then each sheet's cells. Formulas are decoded to text and compiled once all sheets and names
// exist; the formula engine then rebuilds and computes everything.
#include <vector>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <span>
#include <unordered_map>

#include "control/engine_error.h"
#include "control/format/number_format.h"
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

struct RawFont {
  Font font;
  unsigned colorIndex = 0x7FFF;
};

struct RawXf {
  unsigned font = 0, format = 0;
  bool locked = true, hidden = false;
  unsigned hAlign = 0, vAlign = 2;
  bool wrap = false;
  unsigned pattern = 0, patternFore = 64, patternBack = 65;
  unsigned lineStyle[4] = {0, 0, 0, 0};  // left, right, top, bottom
  unsigned lineColor[4] = {64, 64, 64, 64};
  bool isStyle = false;
  unsigned parent = 0;  // a cell XF's style XF
  unsigned used = 0;    // the used-attribute bits, bits 2-7 of the flags byte shifted down
};

struct RawSheet {
  std::string name;
  std::uint32_t offset = 0;
  unsigned kind = 0;  // 0 worksheet, 2 chart, 6 VB module, 1 macro sheet
  unsigned visibility = 0;
  Sheet* sheet = nullptr;
  int carried = -1;  // a chart or macro sheet: its entry among the carried sheets
};

struct RawName {
  std::string name;
  unsigned sheet = 0;  // 1-based sheet index in the file, 0 workbook-wide
  bool builtin = false;
  Bytes tokens;
  Bytes extra;
  unsigned flags = 0;
  CarriedRecord raw;  // the record as it was, kept for names that are carried
  std::uint32_t tokensAt = 0;
};

// A formula cell waiting until every sheet and name exists.
struct PendingFormula {
  Sheet* sheet;
  int row, col;  // 0-based
  Bytes tokens;
  Bytes extra;
  Value cached;
  bool shared = false;  // the tokens are a ptgExp pointing at a SHRFMLA/ARRAY anchor
  int anchorRow = 0, anchorCol = 0;
  // A cell of an array formula: the block's first cell (0-based) and size; arrayRows 0: none.
  int arrayRow1 = 0, arrayCol1 = 0, arrayRows = 0, arrayCols = 0;
};

struct SharedFormula {
  int row1, row2, col1, col2;
  Bytes tokens;
  Bytes extra;
  bool array;
};

double RkValue(std::uint32_t rk) {
  double d;
  if (rk & 0x02) {
    d = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
  } else {
    std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
    std::memcpy(&d, &bits, sizeof d);
  }
  if (rk & 0x01) d /= 100;
  return d;
}

class BiffReader {
 public:
  BiffReader(std::span<const std::uint8_t> stream, const LocaleSettings* locale)
      : stream_(stream), book_(std::make_unique<Workbook>(locale)) {}

  std::unique_ptr<Workbook> Run(short& type) {
    ReadGlobals();
    type = ctx_.version == BiffVersion::Biff8 ? kTypeBiff8 : kTypeBiff5;
    BuildStyles();
    CreateSheets();
    if (B8()) CarryLinks();
    ReadNames();
    for (auto& raw : sheets_)
      if (raw.sheet) ReadSheet(raw);
    PlaceFormulas();
    book_->Formulas().Rebuild();
    return std::move(book_);
  }

 private:
  bool B8() const { return ctx_.version == BiffVersion::Biff8; }

  void ReadGlobals() {
    RecordReader reader(stream_, 0);
    Record r;
    if (!reader.Next(r)) throw EngineError(kErrFile, "The file is not a workbook.");
    CheckBof(r, true);
    bool sawEof = false;
    while (reader.Next(r)) {
      try {
        GlobalRecord(r, sawEof);
      } catch (const EngineError&) {
        // A damaged font costs its look, not the workbook; the others are the workbook's
        // content (an XF cut short would shift every later format onto the wrong cells).
        if (r.id == rec::kFont) fonts_.emplace_back();
        else if (r.id == rec::kName && ctx_.names.size() == names_.size()) {
          RawName unusable;  // keeps later names at their index
          unusable.builtin = true;
          ctx_.names.push_back("#NAME?");
          names_.push_back(unusable);
        }
        else if (r.id != rec::kFormat && r.id != rec::kPalette && r.id != rec::kWindow1 &&
                 r.id != rec::kName && r.id != rec::kExternName)
          throw;
      }
      prevId_ = r.id;
      if (sawEof) break;
    }
  }

  void GlobalRecord(const Record& r, bool& sawEof) {
    {
      Cursor c(r);
      switch (r.id) {
        case rec::kEof: sawEof = true; break;
        case rec::kFilePass:
          throw EngineError(kErrFile,
                            "The workbook is protected with a password and cannot be opened.");
        case rec::kCodePage: codePage_ = c.U16(); ctx_.codePage = codePage_; break;
        case rec::kDateMode: book_->SetDate1904(c.U16() != 0); break;
        case rec::kWindow1:
          c.Skip(8);
          showTabs_ = (c.U16() & 0x20) != 0;
          activeTab_ = c.U16();
          break;
        case rec::kFont: ReadFont(c); break;
        case rec::kFormat: {
          unsigned id = c.U16();
          formats_[id] = B8() ? c.Unicode16() : c.Bytes8(codePage_);
          break;
        }
        case rec::kXf: ReadXf(c); break;
        case rec::kStyle: rawStyles_.push_back(ReadStyleRecord(c, B8(), codePage_)); break;
        case kStyleExtRecord:
          if (B8()) {
            // It extends the STYLE record before it; some writers put them all after the STYLEs.
            int style = prevId_ == rec::kStyle ? static_cast<int>(rawStyles_.size()) - 1 : -1;
            styleExts_.push_back({style, ReadStyleExt(c)});
          }
          break;
        case rec::kPalette: {
          unsigned n = c.U16();
          for (unsigned i = 0; i < n && i < 56; ++i) {
            const std::uint8_t* p = c.Raw(4);
            palette_.Set(static_cast<int>(8 + i), p[0] | (p[1] << 8) | (p[2] << 16));
          }
          break;
        }
        case rec::kBoundSheet: {
          RawSheet s;
          s.offset = c.U32();
          unsigned flags = c.U16();
          s.kind = flags >> 8;
          s.visibility = std::min(flags & 0x03u, 2u);
          s.name = B8() ? c.Unicode8() : c.Bytes8(codePage_);
          sheets_.push_back(std::move(s));
          break;
        }
        case rec::kSst: ReadSst(c); break;
        case rec::kSupBook: ReadSupBook(c); break;
        case rec::kExternSheet: ReadExternSheet(c); break;
        case rec::kExternName: ReadExternName(c); break;
        case rec::kName:
          ReadName(c);
          if (B8()) {
            names_.back().raw.id = r.id;
            names_.back().raw.body.assign(r.data, r.data + r.size);
          }
          break;
        case rec::kMsoDrawingGroup:
          if (B8()) drawingGroup_.insert(drawingGroup_.end(), r.data, r.data + r.size);
          break;
        case rec::kObjProj:
          if (B8()) book_->Carried().vbaProject = true;
          break;
        case rec::kCodeName:
          if (B8()) book_->Carried().bookCodeName.assign(r.data, r.data + r.size);
          break;
        default: break;
      }
    }
  }

  void CheckBof(const Record& r, bool globals) {
    if (r.id == rec::kBof2 || r.id == rec::kBof3 || r.id == rec::kBof4)
      throw EngineError(kErrFile,
                        "The workbook is in an Excel 2.x-4.0 form, which is not supported.");
    if (r.id != rec::kBof || r.size < 4) {
      if (globals) throw EngineError(kErrFile, "The file is not a workbook.");
      ThrowDamaged("a sheet does not start where the workbook says");
    }
    unsigned vers = Get16(r.data);
    unsigned dt = Get16(r.data + 2);
    if (globals) {
      if (vers == 0x0600) ctx_.version = BiffVersion::Biff8;
      else if (vers == 0x0500) ctx_.version = BiffVersion::Biff5;
      else if (vers == 0x0400 || vers == 0x0300 || vers == 0x0200)
        throw EngineError(kErrFile,
                          "The workbook is in an Excel 2.x-4.0 form, which is not supported.");
      else ctx_.version = r.size >= 16 ? BiffVersion::Biff8 : BiffVersion::Biff5;
      if (dt != 0x0005)
        throw EngineError(kErrFile,
                          "The workbook holds a single sheet in an old form, which is not "
                          "supported.");
      if (!B8()) codePage_ = 1252;
    } else if (dt == 0x0005) {
      ThrowDamaged("a sheet does not start where the workbook says");
    }
  }

  void ReadFont(Cursor& c) {
    RawFont f;
    f.font.heightTwips = c.U16();
    unsigned flags = c.U16();
    f.font.italic = flags & 0x02;
    f.font.strikeout = flags & 0x08;
    f.colorIndex = c.U16();
    f.font.bold = c.U16() >= 700;
    c.U16();  // super/subscript
    f.font.underline = c.U8() != 0;
    c.Skip(3);
    f.font.name = B8() ? c.Unicode8() : c.Bytes8(codePage_);
    fonts_.push_back(std::move(f));
  }

  void ReadXf(Cursor& c) {
    RawXf x;
    x.font = c.U16();
    x.format = c.U16();
    unsigned prot = c.U16();
    x.locked = prot & 1;
    x.hidden = prot & 2;
    x.isStyle = prot & 4;
    x.parent = prot >> 4;
    unsigned align = c.U8();
    x.hAlign = align & 7;
    x.wrap = align & 8;
    x.vAlign = (align >> 4) & 7;
    if (B8()) {
      c.Skip(2);
      x.used = c.U8() >> 2;
      std::uint32_t b1 = c.U32(), b2 = c.U32();
      unsigned fill = c.U16();
      x.lineStyle[0] = b1 & 0xF;
      x.lineStyle[1] = (b1 >> 4) & 0xF;
      x.lineStyle[2] = (b1 >> 8) & 0xF;
      x.lineStyle[3] = (b1 >> 12) & 0xF;
      x.lineColor[0] = (b1 >> 16) & 0x7F;
      x.lineColor[1] = (b1 >> 23) & 0x7F;
      x.lineColor[2] = b2 & 0x7F;
      x.lineColor[3] = (b2 >> 7) & 0x7F;
      x.pattern = (b2 >> 26) & 0x3F;
      x.patternFore = fill & 0x7F;
      x.patternBack = (fill >> 7) & 0x7F;
    } else {
      x.used = c.U8() >> 2;
      std::uint32_t a = c.U32(), b = c.U32();
      x.patternFore = a & 0x7F;
      x.patternBack = (a >> 7) & 0x7F;
      x.pattern = (a >> 16) & 0x3F;
      x.lineStyle[3] = (a >> 22) & 7;
      x.lineColor[3] = (a >> 25) & 0x7F;
      x.lineStyle[2] = b & 7;
      x.lineStyle[0] = (b >> 3) & 7;
      x.lineStyle[1] = (b >> 6) & 7;
      x.lineColor[2] = (b >> 9) & 0x7F;
      x.lineColor[0] = (b >> 16) & 0x7F;
      x.lineColor[1] = (b >> 23) & 0x7F;
    }
    xfs_.push_back(x);
  }

  void ReadSst(Cursor& c) {
    sstRefsLeft_ = c.U32();
    std::uint32_t unique = c.U32();
    // The count is the writer's claim: never reserve more than the record could hold.
    sst_.reserve(std::min<std::size_t>(unique, c.Left() / 3 + 1));
    std::vector<FileRun> runs;
    for (std::uint32_t i = 0; i < unique && c.Left() > 0; ++i) {
      sst_.push_back(c.Unicode16(&runs));
      if (!runs.empty()) sstRuns_.emplace(i, std::move(runs));
    }
  }

  void ReadSupBook(Cursor& c) {
    supBookInternal_.push_back(c.Left() == 4);  // ctab + 0x0401 marks this workbook
    ctx_.externNames.emplace_back();
  }

  void ReadExternSheet(Cursor& c) {
    if (B8()) {
      unsigned n = c.U16();
      for (unsigned i = 0; i < n; ++i) {
        FormulaContext::SheetRange x;
        x.supBook = c.U16();
        int first = static_cast<std::int16_t>(c.U16());
        int last = static_cast<std::int16_t>(c.U16());
        x.internal = x.supBook < static_cast<int>(supBookInternal_.size()) &&
                     supBookInternal_[static_cast<std::size_t>(x.supBook)];
        x.first = first;
        x.last = last;
        ctx_.externSheets.push_back(x);
      }
    } else {
      // BIFF5: one record per entry; EXTERNNAMEs that follow belong to it.
      ctx_.externNames.emplace_back();
    }
  }

  void ReadExternName(Cursor& c) {
    if (ctx_.externNames.empty()) return;
    c.U16();
    if (B8()) {
      c.Skip(4);
      ctx_.externNames.back().push_back(c.Unicode8());
    } else {
      c.Skip(4);
      ctx_.externNames.back().push_back(c.Bytes8(codePage_));
    }
  }

  void ReadName(Cursor& c) {
    RawName n;
    unsigned flags = c.U16();
    c.U8();
    unsigned len = c.U8();
    unsigned cce = c.U16();
    c.U16();
    n.sheet = c.U16();
    c.Skip(4);
    n.builtin = flags & 0x20;
    n.flags = flags;
    if (B8()) {
      n.name = c.UnicodeChars(len);
    } else {
      const std::uint8_t* p = c.Raw(len);
      n.name = DecodeCodePage(codePage_, p, len);
    }
    if (n.builtin && !n.name.empty() && static_cast<unsigned char>(n.name[0]) < 0x20) {
      static const char* kBuiltin[] = {"Consolidate_Area", "Auto_Open", "Auto_Close",
                                       "Extract", "Database", "Criteria", "Print_Area",
                                       "Print_Titles", "Recorder", "Data_Form", "Auto_Activate",
                                       "Auto_Deactivate", "Sheet_Title", "_FilterDatabase"};
      unsigned code = static_cast<unsigned char>(n.name[0]);
      n.name = code < 14 ? kBuiltin[code] : "_Builtin" + std::to_string(code);
    }
    n.tokensAt = static_cast<std::uint32_t>(c.Pos());
    std::size_t take = std::min<std::size_t>(cce, c.Left());
    const std::uint8_t* t = c.Raw(take);
    n.tokens.assign(t, t + take);
    std::size_t rest = c.Left();
    const std::uint8_t* e = c.Raw(rest);
    n.extra.assign(e, e + rest);
    ctx_.names.push_back(n.name);
    names_.push_back(std::move(n));
  }

  std::uint32_t ColorOf(unsigned index) const {
    if (index == 0x7FFF) return kAutoColor;
    return palette_.Color(index);
  }

  void BuildStyles() {
    StyleTable& styles = book_->Styles();
    std::vector<std::uint16_t>& fontMap = fontMap_;
    for (std::size_t i = 0; i < fonts_.size(); ++i) {
      Font f = fonts_[i].font;
      f.color = ColorOf(fonts_[i].colorIndex);
      if (i == 0) {
        styles.SetDefaultFont(f);
        fontMap.push_back(0);
      } else {
        fontMap.push_back(styles.InternFont(f));
      }
    }
    if (B8()) book_->Carried().fonts = fontMap;
    // A workbook without FONT records shows the default font, which runs may name as font 0.
    if (fontMap.empty()) fontMap.push_back(0);
    const std::vector<int> named = ReadNamedStyles(fontMap);
    // Cell XFs first, so that a file we wrote numbers its formats as the table did.
    xfStyle_.assign(xfs_.size(), 0);
    for (bool styleXfs : {false, true})
      for (std::size_t i = 0; i < xfs_.size(); ++i) {
        const RawXf& x = xfs_[i];
        if (x.isStyle != styleXfs) continue;
        // A style XF (which a cell may name too) stands for its own style; a cell XF names one.
        std::size_t parent = x.isStyle ? i : x.parent;
        if (parent >= xfs_.size())
          ThrowDamaged("a cell format names a cell style that does not exist");
        // A named style's XF gives its format as read with its extension's exact colours.
        Style s = x.isStyle && styleXfFormat_[i] ? *styleXfFormat_[i] : StyleOfXf(x, fontMap);
        s.parent = static_cast<std::uint16_t>(std::max(0, named[parent]));  // unnamed: Normal
        xfStyle_[i] = styles.Intern(s);
      }
    if (B8()) book_->Carried().xfs = xfStyle_;
  }

  // The named styles of the STYLE records, in their order; gives the named style of each XF
  // (-1 for the XFs no record names).
  std::vector<int> ReadNamedStyles(const std::vector<std::uint16_t>& fontMap) {
    std::vector<int> named(xfs_.size(), -1);
    styleXfFormat_.assign(xfs_.size(), std::nullopt);
    const std::vector<const StyleExt*> exts = StyleExtensions();
    for (std::size_t k = 0; k < rawStyles_.size(); ++k) {
      const RawStyle& r = rawStyles_[k];
      if (r.xf >= xfs_.size()) ThrowDamaged("a cell style names a format that does not exist");
      NamedStyle style;
      style.builtinId = r.builtinId;
      style.level = r.level;
      style.name = r.name;
      style.format = StyleOfXf(xfs_[r.xf], fontMap);
      style.parts = xfs_[r.xf].isStyle ? StyleXfParts(xfs_[r.xf].used) : std::uint8_t{kAllParts};
      if (exts[k]) ExtendStyle(*exts[k], style, book_->Styles());
      if (!styleXfFormat_[r.xf]) styleXfFormat_[r.xf] = style.format;
      int index = book_->Styles().AddNamed(style);
      if (named[r.xf] < 0) named[r.xf] = index;
    }
    return named;
  }

  // Each STYLE record's extension: the one right after it, else the first one of its name.
  std::vector<const StyleExt*> StyleExtensions() const {
    std::vector<const StyleExt*> of(rawStyles_.size(), nullptr);
    std::unordered_map<std::string, std::size_t> byName;  // the first STYLE of each name
    // Right after its STYLE when it names that style (a built-in one by number: its name may
    // be in the writer's language).
    auto pairs = [&](int style, const StyleExt& ext) {
      if (style < 0) return false;
      const RawStyle& r = rawStyles_[static_cast<std::size_t>(style)];
      return r.builtinId == NamedStyle::kUser ? r.name == ext.name
                                              : ext.builtin && ext.builtinId == r.builtinId;
    };
    for (const auto& [style, ext] : styleExts_)
      if (pairs(style, ext)) of[static_cast<std::size_t>(style)] = &ext;
    for (std::size_t k = 0; k < rawStyles_.size(); ++k) {
      if (of[k]) continue;
      NamedStyle named;
      named.builtinId = rawStyles_[k].builtinId;
      named.level = rawStyles_[k].level;
      named.name = rawStyles_[k].name;
      byName.emplace(NamedStyleName(named), k);
    }
    for (const auto& [style, ext] : styleExts_) {
      if (pairs(style, ext)) continue;
      auto it = byName.find(ext.name);
      if (it == byName.end()) continue;  // extends no style: nothing to take from it
      of[it->second] = &ext;
      byName.erase(it);
    }
    return of;
  }

  Style StyleOfXf(const RawXf& x, const std::vector<std::uint16_t>& fontMap) {
    Style s;
    unsigned fi = x.font >= 4 ? x.font - 1 : x.font;  // font 4 is never stored
    s.font = fi < fontMap.size() ? fontMap[fi] : 0;
    s.numberFormat = FormatIndex(x.format);
    s.locked = x.locked;
    s.hidden = x.hidden;
    s.hAlign = static_cast<HAlign>(std::min(x.hAlign, 6u));
    s.vAlign = static_cast<VAlign>(std::min(x.vAlign, 3u));
    s.wrap = x.wrap;
    s.pattern = static_cast<std::uint8_t>(x.pattern);
    if (x.pattern) {
      s.patternFore = ColorOf(x.patternFore);
      s.patternBack = ColorOf(x.patternBack);
    }
    Border* borders[4] = {&s.left, &s.right, &s.top, &s.bottom};
    for (int k = 0; k < 4; ++k) {
      borders[k]->line = static_cast<std::uint8_t>(x.lineStyle[k]);
      if (x.lineStyle[k]) borders[k]->color = ColorOf(x.lineColor[k]);
    }
    return s;
  }

  std::uint16_t FormatIndex(unsigned id) {
    auto cached = formatIndex_.find(id);
    if (cached != formatIndex_.end()) return cached->second;
    std::string code;
    auto it = formats_.find(id);
    if (it != formats_.end()) code = it->second;
    else code = format::BuiltinFormatCode(static_cast<int>(id));
    std::uint16_t index = code.empty() || code == "General" ? 0 : book_->Formats().Intern(code);
    formatIndex_[id] = index;
    return index;
  }

  std::uint16_t StyleOf(unsigned xf) const { return xf < xfStyle_.size() ? xfStyle_[xf] : 0; }

  void CreateSheets() {
    int created = 0;
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
      RawSheet& s = sheets_[i];
      ctx_.sheetNames.push_back(s.name);
      if (s.kind != 0) {
        // Chart and macro sheets are carried as they are; the 5.0/95 form's are dropped.
        if (B8() && (s.kind == 1 || s.kind == 2)) CarrySheet(s, created);
        continue;
      }
      std::string name = s.name;
      // The new workbook's one sheet is a placeholder that the first sheet read replaces: its
      // name is no clash.
      if (name.empty() || (created > 0 && book_->SheetIndexByName(name)))
        name = book_->UnusedSheetName();
      if (created == 0) {
        book_->GetSheet(1).SetName(name);
        s.sheet = &book_->GetSheet(1);
      } else {
        s.sheet = &book_->InsertSheet(created + 1, name);
      }
      s.sheet->Features().visibility = static_cast<SheetVisibility>(s.visibility);
      ++created;
      if (i == activeTab_) book_->SetActiveIndex(created);
    }
    if (created == 0) throw EngineError(kErrFile, "The workbook holds no worksheet.");
    book_->SetShowTabs(showTabs_);
  }

  void CarrySheet(RawSheet& raw, int created) {
    if (raw.offset >= stream_.size()) ThrowDamaged("a sheet lies beyond the end of the workbook");
    CarriedSheet s;
    s.name = raw.name;
    s.kind = raw.kind;
    s.visibility = static_cast<SheetVisibility>(raw.visibility);
    s.afterSheetId = created > 0 ? book_->GetSheet(created).Id() : 0;
    RecordReader reader(stream_, raw.offset);
    Record r;
    int depth = 0;
    while (reader.Next(r)) {
      if (s.records.empty() && r.id != rec::kBof)
        ThrowDamaged("a sheet does not start where the workbook says");
      CarriedRecord c;
      c.id = r.id;
      c.body.assign(r.data, r.data + r.size);
      for (std::size_t b : r.breaks) c.breaks.push_back(static_cast<std::uint32_t>(b));
      if (r.id == rec::kLabelSst) {
        // The shared strings are written anew: the cell takes its text along.
        Cursor lc(r);
        lc.Skip(6);
        std::uint32_t i = lc.U32();
        if (i >= sst_.size()) ThrowDamaged("a cell refers to a missing shared string");
        std::u16string w = Utf8ToUtf16(sst_[i]);
        if (w.size() > 32767) w.resize(32767);
        c.id = rec::kLabel;
        c.body.resize(6);
        c.breaks.clear();
        Put16(c.body, static_cast<unsigned>(w.size()));
        Put8(c.body, 1);
        for (char16_t ch : w) Put16(c.body, ch);
      }
      s.records.push_back(std::move(c));
      if (r.id == rec::kBof) ++depth;
      else if (r.id == rec::kEof && --depth == 0) break;
    }
    if (depth != 0) ThrowDamaged("a chart or macro sheet has no end");
    raw.carried = static_cast<int>(book_->Carried().sheets.size());
    book_->Carried().sheets.push_back(std::move(s));
  }

  // What carried formulas refer to, in terms that survive the sheets' moves and renames.
  void CarryLinks() {
    CarriedBook& carried = book_->Carried();
    carried.drawingGroup = DrawingGroupCarried(drawingGroup_);
    Bytes().swap(drawingGroup_);
    auto idOf = [&](int index) -> std::uint32_t {
      if (index < 0 || static_cast<std::size_t>(index) >= sheets_.size()) return 0;
      const Sheet* sheet = sheets_[static_cast<std::size_t>(index)].sheet;
      return sheet ? sheet->Id() : 0;
    };
    for (const FormulaContext::SheetRange& x : ctx_.externSheets) {
      CarriedBook::SheetRef ref;
      ref.first = x.internal ? idOf(x.first) : 0;
      ref.last = x.internal ? idOf(x.last) : 0;
      if (!ref.first || !ref.last) {
        ref.first = ref.last = 0;
        if (x.internal && x.first == x.last && x.first >= 0 &&
            static_cast<std::size_t>(x.first) < sheets_.size())
          ref.carriedSheet = sheets_[static_cast<std::size_t>(x.first)].carried;
      }
      carried.externSheets.push_back(ref);
    }
    carried.names = ctx_.names;
  }

  // A name of the 97-2000 form that the table does not hold is carried through as it was.
  void CarryName(RawName& n) {
    if (!B8() || n.raw.body.empty()) return;
    CarriedBook& carried = book_->Carried();
    CarriedName c;
    c.record = std::move(n.raw);
    c.tokensAt = n.tokensAt;
    if (n.sheet >= 1 && n.sheet <= sheets_.size()) {
      const RawSheet& s = sheets_[n.sheet - 1];
      if (s.sheet) c.sheetId = s.sheet->Id();
      else if (s.carried >= 0) c.carriedSheet = s.carried;
      else return;  // a sheet that is not kept
    }
    carried.carriedNameOf[static_cast<std::size_t>(&n - names_.data())] =
        static_cast<int>(carried.definedNames.size());
    carried.definedNames.push_back(std::move(c));
  }

  void ReadNames() {
    if (B8()) book_->Carried().carriedNameOf.assign(names_.size(), -1);
    std::vector<bool> carriedEntries;  // sheet-reference entries that reach a carried sheet
    for (const FormulaContext::SheetRange& x : ctx_.externSheets) {
      bool carried = false;
      for (int k = std::max(x.first, 0); x.internal && k <= x.last; ++k)
        if (static_cast<std::size_t>(k) < sheets_.size() &&
            sheets_[static_cast<std::size_t>(k)].carried >= 0)
          carried = true;
      carriedEntries.push_back(carried);
    }
    for (RawName& n : names_) {
      if (n.builtin) {
        // Print ranges and the filter's range belong to their sheet; the others are carried.
        unsigned code = n.name == "Print_Area" ? 6 : n.name == "Print_Titles" ? 7
                        : n.name == "_FilterDatabase" ? 13 : 0;
        if (code && n.sheet >= 1 && n.sheet <= sheets_.size() && sheets_[n.sheet - 1].sheet)
          ReadBuiltinName(code, n.tokens.data(), n.tokens.size(),
                          sheets_[n.sheet - 1].sheet->Features(), B8());
        else
          CarryName(n);
        continue;
      }
      // "_xlfn.IFERROR" and the like name newer functions, not ranges of the table.
      if (n.name.starts_with(kFutureFunctionPrefix)) continue;
      // Names of macros and functions, and names of places on chart and macro sheets, belong
      // to what is carried.
      if (B8() && ((n.flags & 0x0E) || RefersToSheets(n.tokens.data(), n.tokens.size(),
                                                      carriedEntries))) {
        CarryName(n);
        continue;
      }
      DecodedFormula f = DecodeFormula(n.tokens.data(), n.tokens.size(), n.extra.data(),
                                       n.extra.size(), ctx_, 0, 0);
      if (f.text.empty()) {
        CarryName(n);
        continue;
      }
      DefinedName d;
      d.name = n.name;
      if (n.sheet >= 1 && n.sheet <= sheets_.size() && sheets_[n.sheet - 1].sheet) {
        d.sheetId = sheets_[n.sheet - 1].sheet->Id();
      } else if (n.sheet != 0) {
        CarryName(n);
        continue;
      }
      try {
        book_->Formulas().CompileName(d.sheetId, f.text, d.formula, d.expr);
      } catch (const EngineError&) {
        d.formula = f.text;
        d.expr.reset();
      }
      book_->Names().push_back(std::move(d));
    }
    book_->Formulas().NamesChanged();
  }

  // --- Sheets ---------------------------------------------------------------------------------

  void ReadSheet(RawSheet& raw) {
    if (raw.offset >= stream_.size()) ThrowDamaged("a sheet lies beyond the end of the workbook");
    RecordReader reader(stream_, raw.offset);
    Record r;
    if (!reader.Next(r)) ThrowDamaged("a sheet is missing");
    CheckBof(r, false);
    Sheet& sheet = *raw.sheet;
    shared_.clear();
    bool afterFormula = false;  // a STRING record belongs to the formula just before it
    std::size_t lastFormulaIndex = 0;
    int depth = 0;  // embedded BOF/EOF pairs (charts inside a sheet)
    FeatureIo io;
    io.b8 = B8();
    io.codePage = codePage_;
    io.decode = &ctx_;
    SheetFeatureReader features(sheet.Features(), io);
    ReserveTexts(sheet, raw);
    std::size_t sharedTexts = 0;
    while (reader.Next(r)) {
      Cursor c(r);
      if (r.id == rec::kBof) {
        ++depth;
        features.Take(r);
        continue;
      }
      if (r.id == rec::kEof) {
        if (depth-- == 0) break;
        features.Take(r);
        continue;
      }
      if (depth > 0) {
        features.Take(r);
        continue;
      }
      switch (r.id) {
        case rec::kCodeName:
          if (B8())
            book_->Carried().sheetCodeNames.emplace_back(sheet.Id(),
                                                         RecordBytes(r.data, r.data + r.size));
          break;
        // The cell records of a large sheet, read straight from the record when it is long
        // enough; a short one goes the checked way, which reports it.
        case rec::kNumber: {
          if (r.size >= 14) {
            PutNumber(sheet, Get16(r.data), Get16(r.data + 2), Get16(r.data + 4),
                      GetDouble(r.data + 6));
            break;
          }
          int row = c.U16(), col = c.U16();
          unsigned xf = c.U16();
          PutNumber(sheet, row, col, xf, c.F64());
          break;
        }
        case rec::kRk: {
          if (r.size >= 10) {
            PutNumber(sheet, Get16(r.data), Get16(r.data + 2), Get16(r.data + 4),
                      RkValue(Get32(r.data + 6)));
            break;
          }
          int row = c.U16(), col = c.U16();
          unsigned xf = c.U16();
          PutNumber(sheet, row, col, xf, RkValue(c.U32()));
          break;
        }
        case rec::kMulRk: {
          int row = c.U16(), col = c.U16();
          std::size_t n = (c.Left() >= 2 ? c.Left() - 2 : 0) / 6;
          const std::uint8_t* item = r.data + c.Pos();  // n items of 6 bytes lie here
          for (std::size_t i = 0; i < n; ++i, item += 6)
            PutNumber(sheet, row, col + static_cast<int>(i), Get16(item), RkValue(Get32(item + 2)));
          break;
        }
        case rec::kLabelSst: {
          if (r.size >= 10) {
            PutShared(sheet, Get16(r.data), Get16(r.data + 2), Get16(r.data + 4),
                      Get32(r.data + 6));
            ++sharedTexts;
            break;
          }
          int row = c.U16(), col = c.U16();
          unsigned xf = c.U16();
          PutShared(sheet, row, col, xf, c.U32());
          break;
        }
        case rec::kLabel: {
          int row = c.U16(), col = c.U16();
          unsigned xf = c.U16();
          PutText(sheet, row, col, xf, B8() ? c.Unicode16() : c.Bytes16(codePage_));
          break;
        }
        case rec::kRString: ReadRString(sheet, c); break;
        case rec::kBoolErr: {
          int row = c.U16(), col = c.U16();
          unsigned xf = c.U16();
          unsigned v = c.U8();
          bool error = c.U8() != 0;
          Put(sheet, row, col, xf, error ? ErrorValueOf(v) : Value::Logical(v != 0));
          break;
        }
        case rec::kBlank: {
          int row = c.U16(), col = c.U16();
          PutStyle(sheet, row, col, c.U16());
          break;
        }
        case rec::kMulBlank: {
          int row = c.U16(), col = c.U16();
          std::size_t n = (c.Left() >= 2 ? c.Left() - 2 : 0) / 2;
          for (std::size_t i = 0; i < n; ++i)
            PutStyle(sheet, row, col + static_cast<int>(i), c.U16());
          break;
        }
        case rec::kFormula:
        case rec::kFormula4: {
          PendingFormula f;
          f.sheet = &sheet;
          f.row = c.U16();
          f.col = c.U16();
          unsigned xf = c.U16();
          const std::uint8_t* res = c.Raw(8);
          c.U16();  // options
          c.U32();
          unsigned cce = c.U16();
          std::size_t take = std::min<std::size_t>(cce, c.Left());
          const std::uint8_t* t = c.Raw(take);
          f.tokens.assign(t, t + take);
          std::size_t rest = c.Left();
          const std::uint8_t* e = c.Raw(rest);
          f.extra.assign(e, e + rest);
          if (Get16(res + 6) == 0xFFFF) {
            switch (res[0]) {
              case 0: f.cached = Value::Text(std::string()); break;  // a STRING record follows
              case 1: f.cached = Value::Logical(res[2] != 0); break;
              case 2: f.cached = ErrorValueOf(res[2]); break;
              default: f.cached = Value::Text(std::string()); break;
            }
          } else {
            f.cached = Value::Number(GetDouble(res));
          }
          if (f.tokens.size() == 5 && f.tokens[0] == 0x01) {
            f.shared = true;
            f.anchorRow = Get16(f.tokens.data() + 1);
            f.anchorCol = Get16(f.tokens.data() + 3);
          } else if (!B8() && f.tokens.size() == 4 && f.tokens[0] == 0x01) {
            f.shared = true;
            f.anchorRow = Get16(f.tokens.data() + 1);
            f.anchorCol = f.tokens[3];
          }
          if (!InRange(f.row, f.col)) break;
          PutStyle(sheet, f.row, f.col, xf);
          pending_.push_back(std::move(f));
          lastFormulaIndex = pending_.size() - 1;
          afterFormula = true;
          break;
        }
        case rec::kString:
          if (afterFormula && lastFormulaIndex < pending_.size())
            pending_[lastFormulaIndex].cached = Value::Text(B8() ? c.Unicode16() : c.Bytes16(codePage_));
          afterFormula = false;
          break;
        case rec::kShrFmla:
        case rec::kArray: {
          SharedFormula s;
          s.row1 = c.U16();
          s.row2 = c.U16();
          s.col1 = c.U8();
          s.col2 = c.U8();
          if (r.id == rec::kArray) c.Skip(6);
          else c.Skip(2);
          unsigned cce = c.U16();
          std::size_t take = std::min<std::size_t>(cce, c.Left());
          const std::uint8_t* t = c.Raw(take);
          s.tokens.assign(t, t + take);
          std::size_t rest = c.Left();
          const std::uint8_t* e = c.Raw(rest);
          s.extra.assign(e, e + rest);
          s.array = r.id == rec::kArray;
          shared_.push_back(std::move(s));
          break;
        }
        case rec::kRow: {
          int row = c.U16();
          c.Skip(4);
          unsigned height = c.U16();
          c.Skip(4);
          unsigned flags = c.U16();
          unsigned xf = c.U16() & 0xFFF;
          if (row >= kMaxRow) break;
          bool hidden = flags & 0x20;
          bool custom = flags & 0x40;
          std::uint16_t style = (flags & 0x80) ? StyleOf(xf) : 0;
          unsigned outline = flags & 0x07;
          bool collapsed = flags & 0x10;
          const int twips = std::min(static_cast<int>(height & 0x7FFF), kMaxRowHeight);
          // A height the writing program fitted to the row's contents (a larger font, wrapped
          // text) is shown as the file has it, like one a person set.
          const int standard = sheet.Features().defaultRowHeight > 0
                                   ? sheet.Features().defaultRowHeight
                                   : kStandardRowHeight;
          const bool fitted = !custom && twips > 0 && twips != standard;
          if (hidden || custom || fitted || style || outline || collapsed) {
            RowAttr& a = sheet.MutableRowAttr(row + 1);
            a.hidden = hidden;
            a.outline = static_cast<std::uint8_t>(outline);
            a.collapsed = collapsed;
            if (custom || fitted) a.heightTwips = twips;
            a.fittedHeight = fitted;
            a.style = style;
          }
          break;
        }
        case rec::kColInfo: {
          unsigned first = c.U16(), last = c.U16();
          unsigned width = c.U16();
          unsigned xf = c.U16();
          unsigned flags = c.U16();
          for (unsigned col = first; col <= last && col < kMaxCol; ++col) {
            ColumnAttr& a = sheet.ColAttr(static_cast<int>(col) + 1);
            a.width = static_cast<int>(width);
            a.hidden = flags & 1;
            a.outline = static_cast<std::uint8_t>((flags >> 8) & 0x07);
            a.collapsed = flags & 0x1000;
            a.style = StyleOf(xf);
          }
          break;
        }
        default: features.Take(r); break;
      }
    }
    features.Finish();
    ResolveShared();
    sstRefsLeft_ -= std::min<std::size_t>(sharedTexts, sstRefsLeft_);
    sheet.Texts().Trim();
  }

  // Room in the sheet's text pool for the shared-string cells still to come, so that filling it
  // moves no text: no more than the workbook's count of them that is left, nor than the sheet's
  // records could hold (a cell of a shared string takes 14 bytes).
  void ReserveTexts(Sheet& sheet, const RawSheet& raw) {
    std::size_t end = stream_.size();
    for (const RawSheet& other : sheets_)
      if (other.offset > raw.offset && other.offset < end) end = other.offset;
    sheet.Texts().Reserve(std::min<std::size_t>(sstRefsLeft_, (end - raw.offset) / 14));
  }

  static Value ErrorValueOf(unsigned code) {
    switch (code) {
      case 0x00: case 0x07: case 0x0F: case 0x17: case 0x1D: case 0x24: case 0x2A:
        return Value::Error(static_cast<ErrorValue>(code));
      default: return Value::Error(ErrorValue::NA);
    }
  }

  static bool InRange(int row, int col) { return row >= 0 && row < kMaxRow && col >= 0 && col < kMaxCol; }

  void PutStyle(Sheet& sheet, int row, int col, unsigned xf) {
    if (!InRange(row, col)) return;
    std::uint16_t style = StyleOf(xf);
    if (style) sheet.Col(col + 1).At(row + 1).style = style;
  }
  void PutNumber(Sheet& sheet, int row, int col, unsigned xf, double d) {
    PutNumberStyled(sheet, row, col, StyleOf(xf), d);
  }
  // The placements run once a cell: what they call is inlined into them.
  [[gnu::flatten]] void PutNumberStyled(Sheet& sheet, int row, int col, std::uint16_t style,
                                        double d) {
    if (!InRange(row, col)) return;
    if (!std::isfinite(d)) d = 0;
    CellSlot& s = sheet.Col(col + 1).At(row + 1);
    sheet.ClearContent(s);
    s.style = style;
    s.kind = CellKind::Number;
    s.number = d;
    sheet.NoteContent(row + 1, col + 1);
  }
  // A shared string is copied once, straight into the sheet's pool; a string read from the
  // record is moved there.
  template <typename Text>
  void PutText(Sheet& sheet, int row, int col, unsigned xf, Text&& text) {
    PutTextStyled(sheet, row, col, StyleOf(xf), std::forward<Text>(text));
  }
  void PutShared(Sheet& sheet, int row, int col, unsigned xf, std::uint32_t i) {
    if (i >= sst_.size()) ThrowDamaged("a cell refers to a missing shared string");
    PutText(sheet, row, col, xf, sst_[i]);
    if (sstRuns_.empty()) return;
    auto it = sstRuns_.find(i);
    if (it != sstRuns_.end()) PutRuns(sheet, row, col, it->second);
  }
  // A text cell with runs of its own (LABEL's rich sibling).
  void ReadRString(Sheet& sheet, Cursor& c) {
    int row = c.U16(), col = c.U16();
    unsigned xf = c.U16();
    std::vector<FileRun> runs;
    if (B8()) {
      PutText(sheet, row, col, xf, c.Unicode16(&runs));
      rich_text::ReadBiff8Tail(c, runs);
    } else {
      const std::size_t n = c.U16();
      const std::uint8_t* bytes = c.Raw(n);
      PutText(sheet, row, col, xf, DecodeCodePage(codePage_, bytes, n));
      runs = rich_text::ReadBiff5(c, bytes, n, codePage_);
    }
    PutRuns(sheet, row, col, runs);
  }
  void PutRuns(Sheet& sheet, int row, int col, const std::vector<FileRun>& runs) {
    if (!InRange(row, col) || runs.empty()) return;
    const CellSlot* s = sheet.Find(row + 1, col + 1);
    if (!s || s->kind != CellKind::Text) return;
    sheet.SetRuns(*s, rich_text::FromFile(runs, sheet.Text(*s), fontMap_));
  }
  template <typename Text>
  [[gnu::flatten]] void PutTextStyled(Sheet& sheet, int row, int col, std::uint16_t style, Text&& text) {
    if (!InRange(row, col)) return;
    CellSlot& s = sheet.Col(col + 1).At(row + 1);
    sheet.ClearContent(s);
    s.style = style;
    s.kind = CellKind::Text;
    s.ref = sheet.Texts().Add(std::forward<Text>(text));
    sheet.NoteContent(row + 1, col + 1);
  }
  void Put(Sheet& sheet, int row, int col, unsigned xf, const Value& v) {
    PutStyled(sheet, row, col, StyleOf(xf), v);
  }
  void PutStyled(Sheet& sheet, int row, int col, std::uint16_t style, const Value& v) {
    if (!InRange(row, col)) return;
    CellSlot& s = sheet.Col(col + 1).At(row + 1);
    sheet.ClearContent(s);
    s.style = style;
    if (v.IsLogical()) {
      s.kind = CellKind::Logical;
      s.small = v.logical;
    } else {
      s.kind = CellKind::Error;
      s.small = static_cast<std::uint8_t>(v.error);
    }
    sheet.NoteContent(row + 1, col + 1);
  }

  // Gives each formula of the sheet just read that points at a shared or array formula the
  // tokens of its anchor.
  static std::uint32_t Anchor(int row, int col) {
    return (static_cast<std::uint32_t>(row) << 8) | static_cast<std::uint32_t>(col & 0xFF);
  }
  void ResolveShared() {
    std::unordered_map<std::uint32_t, std::size_t> sharedByAnchor;
    for (std::size_t k = 0; k < shared_.size(); ++k)
      sharedByAnchor[Anchor(shared_[k].row1, shared_[k].col1)] = k;  // the last one wins
    for (std::size_t i = sheetPendingStart_; i < pending_.size(); ++i) {
      PendingFormula& f = pending_[i];
      if (!f.shared) continue;
      f.shared = false;
      const SharedFormula* found = nullptr;
      auto it = sharedByAnchor.find(Anchor(f.anchorRow, f.anchorCol));
      if (it != sharedByAnchor.end()) found = &shared_[it->second];
      if (!found) {
        f.tokens.clear();  // no anchor: keep the cached value
        continue;
      }
      if (found->array) {
        // Every cell of the block holds the formula; its references are not relative to the
        // cell (ptgRef/ptgArea), so each cell reads the same cells.
        if (found->row2 < found->row1 || found->col2 < found->col1 || f.row < found->row1 ||
            f.row > found->row2 || f.col < found->col1 || f.col > found->col2) {
          f.tokens.clear();  // a damaged block: keep the cached value
          continue;
        }
        f.arrayRow1 = found->row1;
        f.arrayCol1 = found->col1;
        f.arrayRows = found->row2 - found->row1 + 1;
        f.arrayCols = found->col2 - found->col1 + 1;
      }
      f.tokens = found->tokens;
      f.extra = found->extra;
    }
    sheetPendingStart_ = pending_.size();
  }

  void PlaceFormulas() {
    auto& engine = book_->Formulas();
    for (PendingFormula& f : pending_) {
      Sheet& sheet = *f.sheet;
      DecodedFormula d;
      if (!f.tokens.empty())
        d = DecodeFormula(f.tokens.data(), f.tokens.size(), f.extra.data(), f.extra.size(),
                          ctx_, f.row, f.col);
      if (d.text.empty()) {
        // Nothing we can express: the cell keeps the value the writing program computed.
        std::uint16_t style = 0;
        if (const CellSlot* old = sheet.Find(f.row + 1, f.col + 1)) style = old->style;
        if (f.cached.IsNumber()) PutNumberStyled(sheet, f.row, f.col, style, f.cached.number);
        else if (f.cached.IsText()) PutTextStyled(sheet, f.row, f.col, style, f.cached.text);
        else if (!f.cached.IsEmpty()) PutStyled(sheet, f.row, f.col, style, f.cached);
        continue;
      }
      std::unique_ptr<FormulaCell> cell;
      if (d.complete) {
        try {
          cell = engine.Compile(sheet, f.row + 1, f.col + 1, d.text);
        } catch (const EngineError&) {
          cell.reset();
        }
      }
      if (!cell) {
        cell = std::make_unique<FormulaCell>();
        cell->text = d.text;
      }
      cell->result = f.cached;
      if (f.arrayRows > 0 && cell->expr) {
        cell->arrayRows = f.arrayRows;
        cell->arrayCols = f.arrayCols;
        cell->arrayRow = f.row - f.arrayRow1;
        cell->arrayCol = f.col - f.arrayCol1;
      }
      std::uint16_t style = 0;
      if (const CellSlot* old = sheet.Find(f.row + 1, f.col + 1)) style = old->style;
      CellSlot& s = sheet.Col(f.col + 1).At(f.row + 1);
      sheet.ClearContent(s);
      s.style = style;
      s.kind = CellKind::Formula;
      s.ref = sheet.Formulas().Add(std::move(cell));
      sheet.NoteContent(f.row + 1, f.col + 1);
    }
  }

  std::span<const std::uint8_t> stream_;
  std::unique_ptr<Workbook> book_;
  FormulaContext ctx_;
  unsigned codePage_ = 1200;
  bool showTabs_ = true;
  std::size_t activeTab_ = 0;
  std::vector<RawFont> fonts_;
  std::vector<RawXf> xfs_;
  std::vector<RawStyle> rawStyles_;
  std::vector<std::pair<int, StyleExt>> styleExts_;  // the STYLE record each follows, or -1
  std::vector<std::optional<Style>> styleXfFormat_;   // of each XF a STYLE record names
  std::uint16_t prevId_ = 0;
  std::unordered_map<unsigned, std::string> formats_;
  std::unordered_map<unsigned, std::uint16_t> formatIndex_;
  Palette palette_;
  std::vector<RawSheet> sheets_;
  Bytes drawingGroup_;  // the MSODRAWINGGROUP records joined
  std::vector<std::string> sst_;
  std::unordered_map<std::uint32_t, std::vector<FileRun>> sstRuns_;  // rich strings only
  std::vector<std::uint16_t> fontMap_;  // the engine font of each FONT record
  std::size_t sstRefsLeft_ = 0;  // cells of shared strings the workbook says are still to read
  std::vector<bool> supBookInternal_;
  std::vector<RawName> names_;
  std::vector<std::uint16_t> xfStyle_;
  std::vector<PendingFormula> pending_;
  std::size_t sheetPendingStart_ = 0;
  std::vector<SharedFormula> shared_;
};

}  // namespace

std::unique_ptr<Workbook> ReadBiffStream(const Bytes& stream, const LocaleSettings* locale,
                                         short& type) {
  return BiffReader(stream, locale).Run(type);
}

namespace {

// The workbook stream of a compound file: where it lies in the file when its sectors follow one
// another (a file written in one go), else a copy in `storage`.
// The container's other streams and storages (macros, embedded objects, properties), kept so
// that a save writes them back beside the new workbook stream.
struct OtherEntries {
  std::vector<CarriedStorageEntry> entries;
  std::array<std::uint8_t, 16> rootClsid{};
  void MoveTo(Workbook& book) {
    book.Carried().fileEntries = std::move(entries);
    book.Carried().rootClsid = rootClsid;
  }
};

std::span<const std::uint8_t> WorkbookStream(const std::uint8_t* data, std::size_t size,
                                             Bytes& storage, OtherEntries& others) {
  CompoundFileReader cf(data, size);
  auto stream = cf.StreamView("Workbook", storage);
  if (!stream) stream = cf.StreamView("Book", storage);
  if (!stream)
    throw EngineError(kErrFile, "The file is not a workbook: it holds no workbook stream.");
  others.entries = cf.OtherEntries();
  others.rootClsid = cf.RootClsid();
  return *stream;
}

}  // namespace

std::unique_ptr<Workbook> ReadXls(const std::uint8_t* data, std::size_t size,
                                  const LocaleSettings* locale, short& type) {
  if (!IsCompoundFile(data, size)) return BiffReader(std::span(data, size), locale).Run(type);
  Bytes storage;
  OtherEntries others;
  auto book = BiffReader(WorkbookStream(data, size, storage, others), locale).Run(type);
  others.MoveTo(*book);
  return book;
}

std::unique_ptr<Workbook> ReadXls(MappedBuffer&& file, const LocaleSettings* locale, short& type) {
  if (!IsCompoundFile(file.data(), file.size())) return ReadXls(file.data(), file.size(), locale, type);
  Bytes storage;
  OtherEntries others;
  const std::span<const std::uint8_t> stream =
      WorkbookStream(file.data(), file.size(), storage, others);
  // A stream copied out of the file no longer needs the file: a large one is not held twice.
  if (!storage.empty()) file.Release();
  auto book = BiffReader(stream, locale).Run(type);
  others.MoveTo(*book);
  return book;
}

}  // namespace engine::xls
