// Reading .xlsx packages: the package relationships lead to the workbook part, whose
// relationships lead to the sheets, shared strings, styles and theme. Each part is streamed
// through expat. Formulas are compiled once every sheet and name is known, as for .xls.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>
#include <system_error>
#include <unordered_map>

#include "control/engine_error.h"
#include "control/format/serial_date.h"
#include "control/formula/formula_engine.h"
#include "control/model/cell_loader.h"
#include "control/xlsx/cell_ref.h"
#include "control/xlsx/xlsx_carried.h"
#include "control/xlsx/xlsx_file.h"
#include "control/xlsx/xlsx_rich_text.h"
#include "control/xlsx/xlsx_sheet_features.h"
#include "control/xlsx/xlsx_styles.h"
#include "control/xlsx/xml_stream.h"
#include "control/xlsx/zip_package.h"

namespace engine::xlsx {

namespace {

constexpr std::size_t kMaxSmallPart = std::size_t{64} << 20;  // relationships, workbook

[[noreturn]] void Damaged(const std::string& why) {
  throw EngineError(kErrFile, "The .xlsx package is damaged: " + why + ".");
}

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

bool ParseNumber(std::string_view text, double& out) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '+')) text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && p == text.data() + text.size() && !text.empty();
}

// ISO 8601 "2024-03-01", "2024-03-01T12:30:00" or a bare time "12:30:00" as a serial.
bool ParseIsoDate(std::string_view text, bool date1904, double& out) {
  int y = 0, m = 0, d = 0, hh = 0, mm = 0;
  double ss = 0;
  std::string t(text);
  bool hasDate = std::sscanf(t.c_str(), "%4d-%2d-%2d", &y, &m, &d) == 3;
  std::size_t tpos = t.find('T');
  std::string timePart = hasDate ? (tpos == std::string::npos ? "" : t.substr(tpos + 1)) : t;
  if (!timePart.empty() && std::sscanf(timePart.c_str(), "%2d:%2d:%lf", &hh, &mm, &ss) < 2)
    return false;
  double serial = 0;
  if (hasDate) {
    int s = format::DateToSerial(y, m, d, date1904);
    if (s < 0) return false;
    serial = s;
  } else if (timePart.empty()) {
    return false;
  }
  out = serial + (hh * 3600 + mm * 60 + ss) / 86400.0;
  return true;
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

// The shared strings of a package in one buffer: item i runs from its start to the next
// item's start (the last one to the end), so a sheet's lookups stay close together.
class SharedStrings {
 public:
  std::size_t size() const { return starts_.size(); }
  std::string_view operator[](std::size_t i) const {
    std::size_t end = i + 1 < starts_.size() ? starts_[i + 1] : chars_.size();
    return std::string_view(chars_).substr(starts_[i], end - starts_[i]);
  }
  void Open() { starts_.push_back(chars_.size()); }  // a new, empty last item
  std::size_t LastSize() const { return chars_.size() - starts_.back(); }
  void Append(std::string_view text) { chars_.append(text); }
  // The runs of the last item, if it has any, and of item i.
  void SetLastRuns(TextRuns runs) {
    if (!runs.empty()) runs_.emplace(starts_.size() - 1, std::move(runs));
  }
  const TextRuns* Runs(std::size_t i) const {
    if (runs_.empty()) return nullptr;
    auto it = runs_.find(i);
    return it == runs_.end() ? nullptr : &it->second;
  }
  void DecodeLast() {
    if (chars_.find("_x", starts_.back()) == std::string::npos) return;
    std::string decoded = DecodeEscapes(chars_.substr(starts_.back()));
    chars_.resize(starts_.back());
    chars_ += decoded;
  }

 private:
  std::string chars_;
  std::vector<std::size_t> starts_;
  std::unordered_map<std::size_t, TextRuns> runs_;
};

// Shared strings: the plain text of each item (runs joined; phonetic hints left out).
class SharedStringsHandler : public XmlHandler {
 public:
  SharedStringsHandler(StyleTable& styles, const FontProperties& props) : rich_(styles, props) {}
  SharedStrings strings;
  void Start(std::string_view name, const XmlAttrs& a) override {
    if (name == "si") {
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

struct PendingFormula {
  Sheet* sheet;
  int row, col;
  std::string text;      // empty for a cell sharing its anchor's formula
  int shared = -1;       // shared-formula group
  bool hasCached = false;
  Value cached;
};

struct SharedAnchor {
  int row, col;
  std::size_t pending;  // index of the anchor in the pending list
};

class SheetHandler : public XmlHandler {
  enum class CellType { Number, Shared, Inline, Str, Logical, Error, Date };

 public:
  SheetHandler(Sheet& sheet, const SharedStrings& sst, const std::vector<std::uint16_t>& xfStyles,
               bool date1904, std::vector<PendingFormula>& pending, XmlHandler& features,
               StyleTable& styles, const FontProperties& fontProps)
      : sheet_(sheet),
        sst_(sst),
        styles_(styles),
        rich_(styles, fontProps),
        xf_(xfStyles),
        date1904_(date1904),
        pending_(pending),
        features_(features) {}

  void Start(std::string_view name, const XmlAttrs& a) override {
    if (name == "sheetData") {
      // The cells: one element or more for every value of the sheet, so they take the fast
      // lane, which reaches the same steps as the cases below.
      inData_ = true;
      DivertInside({this, &CellsStart, &CellsEnd, &CellsText});
      return;
    }
    if (!inData_) features_.Start(name, a);  // what the sheet carries besides its cells
    if (name == "c") {
      StartCell(a.Raw());
    } else if (name == "v" && inCell_) {
      capture_ = &v_;
    } else if (name == "f" && inCell_) {
      StartFormula(a);
    } else if (name == "is" && inCell_) {
      inInline_ = true;
    } else if (name == "rPh") {
      inPhonetic_ = true;
    } else if (name == "t" && inInline_ && !inPhonetic_) {
      capture_ = &inline_;
    } else if (name == "row") {
      StartRow(a);
    } else if (name == "col") {
      Column(a);
    } else if (name == "sheetFormatPr") {
      // The standard height is what a sheet without one of its own has (0), as written.
      const double points = a.Number("defaultRowHeight", 0);
      const int twips = points > 0 && points * 20 <= kMaxRowHeight
                            ? static_cast<int>(points * 20 + 0.5)
                            : 0;
      if (twips != kStandardRowHeight) sheet_.Features().defaultRowHeight = twips;
    }
  }

  void End(std::string_view name) override {
    if (!inData_)
      features_.End(name);
    else if (name == "sheetData")
      inData_ = false;
    if (name == "c") EndCell();
    else if (name == "v" || name == "f" || name == "t") capture_ = nullptr;
    else if (name == "is") inInline_ = false;
    else if (name == "rPh") inPhonetic_ = false;
  }

  void Text(std::string_view text) override {
    if (!inData_) features_.Text(text);
    Capture(text.data(), text.size());
  }

 private:
  static constexpr std::size_t kMaxCellText = 1u << 20;

  // The local part of a name as expat gives it ("x:c" -> "c").
  static const char* Local(const char* name) {
    const char* local = name;
    for (const char* p = name; *p; ++p)
      if (*p == ':') local = p + 1;
    return local;
  }
  static bool Is(const char* name, const char (&literal)[3]) {
    return name[0] == literal[0] && name[1] == literal[1] && name[2] == '\0';
  }
  // A rich string's run or its properties.
  static bool IsRun(const char* name) {
    return name[0] == 'r' && (name[1] == '\0' || std::strcmp(name + 1, "Pr") == 0);
  }

  // The fast lane inside sheetData: the element names recognised by their letters.
  static void CellsStart(void* data, const char* raw, const char** attrs) {
    auto& h = *static_cast<SheetHandler*>(data);
    const char* name = Local(raw);
    if (h.inInline_ && !h.inPhonetic_ && (h.rich_.InProperties() || IsRun(name))) {
      h.rich_.Start(name, XmlAttrs(attrs), h.inline_.size());
      return;
    }
    switch (name[0]) {
      case 'c':
        if (name[1] == '\0')
          h.StartCell(attrs);
        else if (std::strcmp(name, "col") == 0)
          h.Column(XmlAttrs(attrs));
        return;
      case 'v':
        if (name[1] == '\0' && h.inCell_) h.capture_ = &h.v_;
        return;
      case 'f':
        if (name[1] == '\0' && h.inCell_) h.StartFormula(XmlAttrs(attrs));
        return;
      case 'i':
        if (Is(name, "is") && h.inCell_) {
          h.inInline_ = true;
          h.rich_.Begin();
        }
        return;
      case 'r':
        if (std::strcmp(name, "row") == 0)
          h.StartRow(XmlAttrs(attrs));
        else if (std::strcmp(name, "rPh") == 0)
          h.inPhonetic_ = true;
        return;
      case 't':
        if (name[1] == '\0' && h.inInline_ && !h.inPhonetic_) h.capture_ = &h.inline_;
        return;
      default:
        return;
    }
  }

  static void CellsEnd(void* data, const char* raw) {
    auto& h = *static_cast<SheetHandler*>(data);
    const char* name = Local(raw);
    if (h.inInline_ && IsRun(name)) h.rich_.End(name);
    switch (name[0]) {
      case 'c':
        if (name[1] == '\0') h.EndCell();
        return;
      case 'v':
      case 'f':
      case 't':
        if (name[1] == '\0') h.capture_ = nullptr;
        return;
      case 'i':
        if (Is(name, "is")) h.inInline_ = false;
        return;
      case 'r':
        if (std::strcmp(name, "rPh") == 0) h.inPhonetic_ = false;
        return;
      default:
        return;
    }
  }

  static void CellsText(void* data, const char* text, int length) {
    static_cast<SheetHandler*>(data)->Capture(text, static_cast<std::size_t>(length));
  }

  void Capture(const char* text, std::size_t length) {
    if (!capture_) return;
    if (capture_->size() + length > kMaxCellText) Damaged("a cell's text is too long");
    capture_->append(text, length);
  }

  void StartFormula(const XmlAttrs& a) {
    hasFormula_ = true;
    std::string_view t = a.Get("t", "normal");
    if (t == "shared") sharedIndex_ = a.Int("si", -1);
    capture_ = &f_;
  }

  std::uint16_t StyleOf(int s) const {
    return s >= 0 && static_cast<std::size_t>(s) < xf_.size() ? xf_[static_cast<std::size_t>(s)] : 0;
  }

  void StartRow(const XmlAttrs& a) {
    row_ = a.Int("r", row_ + 1);
    col_ = 0;
    if (row_ < 1 || row_ > kMaxRow) return;  // row formats past the sheet are clipped
    bool hidden = a.Bool("hidden", false);
    bool custom = a.Bool("customHeight", false);
    std::uint16_t style = a.Bool("customFormat", false) ? StyleOf(a.Int("s", 0)) : 0;
    int outline = std::clamp(a.Int("outlineLevel", 0), 0, 7);
    bool collapsed = a.Bool("collapsed", false);
    const double points = a.Number("ht", 0);
    const int twips = points > 0 ? static_cast<int>(std::min(points * 20, 8192.0) + 0.5) : 0;
    // A height the writing program fitted to the row's contents is shown as the file has it.
    const int standard = sheet_.Features().defaultRowHeight > 0
                             ? sheet_.Features().defaultRowHeight
                             : kStandardRowHeight;
    const bool fitted = !custom && twips > 0 && twips != standard;
    if (!hidden && !custom && !fitted && !style && !outline && !collapsed) return;
    RowAttr& r = sheet_.MutableRowAttr(row_);
    r.hidden = hidden;
    r.outline = static_cast<std::uint8_t>(outline) & 7;
    r.collapsed = collapsed;
    if (custom || fitted) r.heightTwips = twips;
    r.fittedHeight = fitted;
    r.style = style;
  }

  void Column(const XmlAttrs& a) {
    int first = std::max(1, a.Int("min", 1));
    int last = std::min(kMaxCol, a.Int("max", first));
    std::uint16_t style = StyleOf(a.Int("style", 0));
    bool hidden = a.Bool("hidden", false);
    bool custom = a.Has("width") && a.Bool("customWidth", true);
    double width = a.Number("width", 0);
    for (int c = first; c <= last; ++c) {
      ColumnAttr& attr = sheet_.ColAttr(c);
      attr.hidden = hidden;
      attr.style = style;
      attr.outline = static_cast<std::uint8_t>(std::clamp(a.Int("outlineLevel", 0), 0, 7));
      attr.collapsed = a.Bool("collapsed", false);
      if (custom && width >= 0 && width <= 255) attr.width = static_cast<int>(width * 256 + 0.5);
    }
  }

  // Style indexes and shared-string indexes are small decimal numbers: read in place, with
  // the general parse for anything else.
  static int SmallInt(const char* text, int fallback) {
    int n = 0;
    const char* p = text;
    for (; *p >= '0' && *p <= '9' && p - text < 9; ++p) n = n * 10 + (*p - '0');
    if (*p == '\0' && p != text) return n;
    return XmlAttrs::ToInt(text, fallback);
  }

  static CellType TypeOf(const char* t) {
    switch (t[0]) {
      case 's':
        if (t[1] == '\0') return CellType::Shared;
        return std::strcmp(t, "str") == 0 ? CellType::Str : CellType::Number;
      case 'i':
        return std::strcmp(t, "inlineStr") == 0 ? CellType::Inline : CellType::Number;
      case 'b':
        return t[1] == '\0' ? CellType::Logical : CellType::Number;
      case 'e':
        return t[1] == '\0' ? CellType::Error : CellType::Number;
      case 'd':
        return t[1] == '\0' ? CellType::Date : CellType::Number;
      default:
        return CellType::Number;
    }
  }

  void StartCell(const char** attrs) {
    inCell_ = true;
    hasFormula_ = false;
    sharedIndex_ = -1;
    v_.clear();
    f_.clear();
    inline_.clear();
    // One pass over the attributes: a sheet has a cell element for every value.
    const char* ref = nullptr;
    type_ = CellType::Number;
    int style = 0;
    for (const char** a = attrs; a && a[0]; a += 2) {
      const char* name = Local(a[0]);
      if (name[0] == '\0' || name[1] != '\0') continue;
      if (name[0] == 'r')
        ref = a[1];
      else if (name[0] == 't')
        type_ = TypeOf(a[1]);
      else if (name[0] == 's')
        style = SmallInt(a[1], 0);
    }
    style_ = StyleOf(style);
    if (!ref || ref[0] == '\0') {
      ++col_;
      if (row_ == 0) row_ = 1;
    } else if (!ParseCellRef(ref, cellRow_, col_)) {
      Damaged("a cell of sheet \"" + sheet_.Name() + "\" has the malformed reference " + std::string(ref));
    } else if (cellRow_ != row_) {
      row_ = cellRow_;
    }
  }

  void EndCell() {
    inCell_ = false;
    bool hasValue = !v_.empty() || type_ == CellType::Inline || type_ == CellType::Str;
    if (row_ > kMaxRow || col_ > kMaxCol) {
      if (hasValue || hasFormula_)
        throw EngineError(kErrFile, "The sheet \"" + sheet_.Name() +
                                        "\" holds cells beyond row 65,536 or column 256, the "
                                        "limits of a table's sheet.");
      return;  // a format alone past the limits is clipped
    }
    if (!hasFormula_ && !v_.empty()) {  // the common cells, straight into the sheet
      if (type_ == CellType::Number) {
        double d = 0;
        if (!WholeNumber(v_, d) && !ParseNumber(v_, d))
          Damaged("a cell holds the malformed number " + v_);
        return LoadNumber(sheet_, row_, col_, style_, d);
      }
      if (type_ == CellType::Shared) {
        const std::size_t i = SharedIndex();
        LoadText(sheet_, row_, col_, style_, std::string(sst_[i]));
        if (const TextRuns* runs = sst_.Runs(i)) PlaceRuns(sheet_, row_, col_, *runs, styles_);
        return;
      }
    }
    Value value = CellValue();
    if (hasFormula_) {
      PendingFormula p{&sheet_, row_, col_, DecodeEscapes(f_), sharedIndex_, !v_.empty() && !value.IsEmpty(), value};
      if (p.shared >= 0 && !f_.empty()) anchors_[p.shared] = pending_.size();
      if (p.shared >= 0 && f_.empty() && !anchors_.count(p.shared)) p.shared = -1;  // no anchor
      LoadStyle(sheet_, row_, col_, style_);
      if (p.hasCached) LoadValue(sheet_, row_, col_, style_, value);
      if (!p.text.empty() || p.shared >= 0) pending_.push_back(std::move(p));
      return;
    }
    LoadValue(sheet_, row_, col_, style_, value);
    if (type_ == CellType::Inline) PlaceRuns(sheet_, row_, col_, rich_.Finish(inline_), styles_);
  }

  // Up to 15 decimal digits and nothing else: a double holds the value exactly.
  static bool WholeNumber(const std::string& text, double& out) {
    if (text.empty() || text.size() > 15) return false;
    std::uint64_t n = 0;
    for (char c : text) {
      if (c < '0' || c > '9') return false;
      n = n * 10 + static_cast<std::uint64_t>(c - '0');
    }
    out = static_cast<double>(n);
    return true;
  }

  std::size_t SharedIndex() const {
    int small = SmallInt(v_.c_str(), -1);
    if (small >= 0 && static_cast<std::size_t>(small) < sst_.size())
      return static_cast<std::size_t>(small);
    double index = -1;
    if (!ParseNumber(v_, index) || index < 0 || index >= static_cast<double>(sst_.size()))
      Damaged("a cell refers to a missing shared string");
    return static_cast<std::size_t>(index);
  }

  Value CellValue() {
    if (type_ == CellType::Shared)
      return v_.empty() ? Value{} : Value::Text(std::string(sst_[SharedIndex()]));
    if (type_ == CellType::Inline) return Value::Text(DecodeEscapes(inline_));
    if (type_ == CellType::Str) return v_.empty() ? Value{} : Value::Text(DecodeEscapes(v_));
    if (type_ == CellType::Logical) return v_.empty() ? Value{} : Value::Logical(v_ == "1" || v_ == "true");
    if (type_ == CellType::Error) {
      ErrorValue e;
      return ParseErrorText(v_, e) ? Value::Error(e) : Value{};
    }
    if (v_.empty()) return {};
    double d = 0;
    if (type_ == CellType::Date) {
      if (!ParseIsoDate(v_, date1904_, d)) Damaged("a cell holds the malformed date " + v_);
      return Value::Number(d);
    }
    if (!ParseNumber(v_, d)) Damaged("a cell holds the malformed number " + v_);
    return Value::Number(d);
  }

  Sheet& sheet_;
  const SharedStrings& sst_;
  const StyleTable& styles_;
  RichTextReader rich_;  // the runs of an inline string
  const std::vector<std::uint16_t>& xf_;
  bool date1904_;
  std::vector<PendingFormula>& pending_;
  std::unordered_map<int, std::size_t> anchors_;
  int row_ = 0, col_ = 0, cellRow_ = 0;
  bool inCell_ = false, hasFormula_ = false, inInline_ = false, inPhonetic_ = false;
  int sharedIndex_ = -1;
  CellType type_ = CellType::Number;
  std::uint16_t style_ = 0;
  std::string v_, f_, inline_;
  std::string* capture_ = nullptr;
  XmlHandler& features_;
  bool inData_ = false;
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
  XlsxReader(const std::uint8_t* data, std::size_t size, const LocaleSettings* locale)
      : zip_(data, size), book_(std::make_unique<Workbook>(locale)) {}

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
    const std::vector<std::uint32_t> theme = ReadThemeColors(zip_, themePart);
    const FontProperties fontProps(theme);
    if (!sstPart.empty() && zip_.Has(sstPart)) {
      SharedStringsHandler h(book_->Styles(), fontProps);
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
                     fontProps);
      ParseXmlPart(zip_, part, h);
      features.Finish(zip_, part, types);
      consumed_.insert(consumed_.end(), features.Consumed().begin(), features.Consumed().end());
    }
    for (const Workbook::CarriedPart& p : book_->CarriedParts()) consumed_.push_back(p.name);
    PlaceFormulas();
    book_->Formulas().Rebuild();
    book_->SetForeignParts(ForeignParts());
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

  ZipReader zip_;
  std::unique_ptr<Workbook> book_;
  SharedStrings sst_;
  std::vector<std::uint16_t> xfStyles_;
  std::vector<PendingFormula> pending_;
  std::vector<std::string> consumed_;  // parts the sheets' features took in whole
};

}  // namespace

bool LooksLikeZip(const std::uint8_t* data, std::size_t size) {
  return size >= 4 && data[0] == 'P' && data[1] == 'K' && data[2] == 3 && data[3] == 4;
}

std::unique_ptr<Workbook> ReadXlsx(const std::uint8_t* data, std::size_t size,
                                   const LocaleSettings* locale) {
  return XlsxReader(data, size, locale).Run();
}

}  // namespace engine::xlsx
