// Reading a worksheet's cells. sheetData holds an element or more for every value, so its
// inside takes the fast lane of the streaming parser; what it finds is stored or logged by the
// same steps either way, so a sheet read in halves ends as one read whole.
#include "control/xlsx/xlsx_sheet_cells.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "control/engine_error.h"
#include "control/format/serial_date.h"
#include "control/model/cell_loader.h"
#include "control/xlsx/cell_ref.h"

namespace engine::xlsx {

void PackageDamaged(const std::string& why) {
  throw EngineError(kErrFile, "The .xlsx package is damaged: " + why + ".");
}

void SharedStrings::DecodeLast() {
  if (chars_.find("_x", starts_.back()) == std::string::npos) return;
  std::string decoded = DecodeEscapes(chars_.substr(starts_.back()));
  chars_.resize(starts_.back());
  chars_ += decoded;
}

namespace {

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

// Up to 15 decimal digits and nothing else: a double holds the value exactly.
bool WholeNumber(const std::string& text, double& out) {
  if (text.empty() || text.size() > 15) return false;
  std::uint64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  out = static_cast<double>(n);
  return true;
}

// The local part of a name as expat gives it ("x:c" -> "c").
const char* Local(const char* name) {
  const char* local = name;
  for (const char* p = name; *p; ++p)
    if (*p == ':') local = p + 1;
  return local;
}

bool Is(const char* name, const char (&literal)[3]) {
  return name[0] == literal[0] && name[1] == literal[1] && name[2] == '\0';
}

// A rich string's run or its properties.
bool IsRun(const char* name) {
  return name[0] == 'r' && (name[1] == '\0' || std::strcmp(name + 1, "Pr") == 0);
}

// Style indexes and shared-string indexes are small decimal numbers: read in place, with
// the general parse for anything else.
int SmallInt(const char* text, int fallback) {
  int n = 0;
  const char* p = text;
  for (; *p >= '0' && *p <= '9' && p - text < 9; ++p) n = n * 10 + (*p - '0');
  if (*p == '\0' && p != text) return n;
  return XmlAttrs::ToInt(text, fallback);
}

CellType TypeOf(const char* t) {
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

}  // namespace

SheetHandler::SheetHandler(Sheet& sheet, const SharedStrings& sst,
                           const std::vector<std::uint16_t>& xfStyles, bool date1904,
                           std::vector<PendingFormula>& pending, XmlHandler& features,
                           StyleTable& styles, const FontProperties& fontProps)
    : sheet_(&sheet),
      sheetName_(sheet.Name()),
      sst_(sst),
      styles_(&styles),
      rich_(std::in_place, styles, fontProps),
      xf_(xfStyles),
      date1904_(date1904),
      pending_(&pending),
      features_(&features) {}

SheetHandler::SheetHandler(CellLog& log, const std::string& sheetName, const SharedStrings& sst,
                           const std::vector<std::uint16_t>& xfStyles, bool date1904)
    : log_(&log), sheetName_(sheetName), sst_(sst), xf_(xfStyles), date1904_(date1904),
      features_(nullptr) {}

void SheetHandler::Start(std::string_view name, const XmlAttrs& a) {
  if (name == "sheetData") {
    // The cells: one element or more for every value of the sheet, so they take the fast
    // lane, which reaches the same steps as the cases below.
    inData_ = true;
    DivertInside({this, &CellsStart, &CellsEnd, &CellsText});
    return;
  }
  if (!inData_ && features_) features_->Start(name, a);  // what the sheet carries besides cells
  if (name == "c") {
    StartCell(a.Raw());
  } else if (name == "v" && inCell_) {
    capture_ = &cell_.v;
  } else if (name == "f" && inCell_) {
    StartFormula(a);
  } else if (name == "is" && inCell_) {
    inInline_ = true;
  } else if (name == "rPh") {
    inPhonetic_ = true;
  } else if (name == "t" && inInline_ && !inPhonetic_) {
    capture_ = &cell_.inlineText;
  } else if (name == "row") {
    StartRow(a);
  } else if (name == "col") {
    Column(a);
  } else if (name == "sheetFormatPr" && sheet_) {
    // The standard height is what a sheet without one of its own has (0), as written.
    const double points = a.Number("defaultRowHeight", 0);
    const int twips = points > 0 && points * 20 <= kMaxRowHeight
                          ? static_cast<int>(points * 20 + 0.5)
                          : 0;
    if (twips != kStandardRowHeight) sheet_->Features().defaultRowHeight = twips;
  }
}

void SheetHandler::End(std::string_view name) {
  if (!inData_) {
    if (features_) features_->End(name);
  } else if (name == "sheetData") {
    inData_ = false;
    if (log_) {
      log_->endRow_ = row_;
      log_->endCol_ = col_;
    }
  }
  if (name == "c") EndCell();
  else if (name == "v" || name == "f" || name == "t") capture_ = nullptr;
  else if (name == "is") inInline_ = false;
  else if (name == "rPh") inPhonetic_ = false;
}

void SheetHandler::Text(std::string_view text) {
  if (!inData_ && features_) features_->Text(text);
  Capture(text.data(), text.size());
}

// The fast lane inside sheetData: the element names recognised by their letters.
void SheetHandler::CellsStart(void* data, const char* raw, const char** attrs) {
  auto& h = *static_cast<SheetHandler*>(data);
  const char* name = Local(raw);
  if (h.inInline_ && !h.inPhonetic_ && ((h.rich_ && h.rich_->InProperties()) || IsRun(name)))
    return h.RunElement(name, attrs);
  switch (name[0]) {
    case 'c':
      if (name[1] == '\0')
        h.StartCell(attrs);
      else if (std::strcmp(name, "col") == 0)
        h.Column(XmlAttrs(attrs));
      return;
    case 'v':
      if (name[1] == '\0' && h.inCell_) h.capture_ = &h.cell_.v;
      return;
    case 'f':
      if (name[1] == '\0' && h.inCell_) h.StartFormula(XmlAttrs(attrs));
      return;
    case 'i':
      if (Is(name, "is") && h.inCell_) {
        h.inInline_ = true;
        if (h.rich_) h.rich_->Begin();
      }
      return;
    case 'r':
      if (std::strcmp(name, "row") == 0)
        h.StartRow(XmlAttrs(attrs));
      else if (std::strcmp(name, "rPh") == 0)
        h.inPhonetic_ = true;
      return;
    case 't':
      if (name[1] == '\0' && h.inInline_ && !h.inPhonetic_) h.capture_ = &h.cell_.inlineText;
      return;
    default:
      return;
  }
}

void SheetHandler::CellsEnd(void* data, const char* raw) {
  auto& h = *static_cast<SheetHandler*>(data);
  const char* name = Local(raw);
  if (h.inInline_ && h.rich_ && IsRun(name)) h.rich_->End(name);
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

void SheetHandler::CellsText(void* data, const char* text, int length) {
  static_cast<SheetHandler*>(data)->Capture(text, static_cast<std::size_t>(length));
}

void SheetHandler::Capture(const char* text, std::size_t length) {
  if (!capture_) return;
  if (capture_->size() + length > kMaxCellText) PackageDamaged("a cell's text is too long");
  capture_->append(text, length);
}

void SheetHandler::StartFormula(const XmlAttrs& a) {
  cell_.hasFormula = true;
  std::string_view t = a.Get("t", "normal");
  if (t == "shared") cell_.sharedIndex = a.Int("si", -1);
  capture_ = &cell_.f;
}

std::uint16_t SheetHandler::StyleOf(int s) const {
  return s >= 0 && static_cast<std::size_t>(s) < xf_.size() ? xf_[static_cast<std::size_t>(s)] : 0;
}

void SheetHandler::StartRow(const XmlAttrs& a) {
  row_ = a.Int("r", row_ + 1);
  col_ = 0;
  if (row_ < 1 || row_ > kMaxRow) return;  // row formats past the sheet are clipped
  RowRead r;
  r.hidden = a.Bool("hidden", false);
  r.custom = a.Bool("customHeight", false);
  r.style = a.Bool("customFormat", false) ? StyleOf(a.Int("s", 0)) : 0;
  r.outline = std::clamp(a.Int("outlineLevel", 0), 0, 7);
  r.collapsed = a.Bool("collapsed", false);
  const double points = a.Number("ht", 0);
  r.twips = points > 0 ? static_cast<int>(std::min(points * 20, 8192.0) + 0.5) : 0;
  if (r.Plain()) return;
  if (!log_) return StoreRow(row_, r);
  log_->rows_.push_back(r);
  log_->Add({0, static_cast<std::uint32_t>(log_->rows_.size() - 1), row_, 0, 0,
             CellLog::Kind::Row});
}

void SheetHandler::StoreRow(int row, const RowRead& r) {
  // A height the writing program fitted to the row's contents is shown as the file has it.
  const int standard = sheet_->Features().defaultRowHeight > 0
                           ? sheet_->Features().defaultRowHeight
                           : kStandardRowHeight;
  const bool fitted = !r.custom && r.twips > 0 && r.twips != standard;
  if (!r.hidden && !r.custom && !fitted && !r.style && !r.outline && !r.collapsed) return;
  RowAttr& attr = sheet_->MutableRowAttr(row);
  attr.hidden = r.hidden;
  attr.outline = static_cast<std::uint8_t>(r.outline) & 7;
  attr.collapsed = r.collapsed;
  if (r.custom || fitted) attr.heightTwips = r.twips;
  attr.fittedHeight = fitted;
  attr.style = r.style;
}

void SheetHandler::Column(const XmlAttrs& a) {
  ColumnRead c;
  c.first = std::max(1, a.Int("min", 1));
  c.last = std::min(kMaxCol, a.Int("max", c.first));
  c.style = StyleOf(a.Int("style", 0));
  c.hidden = a.Bool("hidden", false);
  c.custom = a.Has("width") && a.Bool("customWidth", true);
  c.width = a.Number("width", 0);
  c.outline = std::clamp(a.Int("outlineLevel", 0), 0, 7);
  c.collapsed = a.Bool("collapsed", false);
  if (!log_) return StoreColumn(c);
  log_->columns_.push_back(c);
  log_->Add({0, static_cast<std::uint32_t>(log_->columns_.size() - 1), 0, 0, 0,
             CellLog::Kind::Column});
}

void SheetHandler::StoreColumn(const ColumnRead& c) {
  for (int col = c.first; col <= c.last; ++col) {
    ColumnAttr& attr = sheet_->ColAttr(col);
    attr.hidden = c.hidden;
    attr.style = c.style;
    attr.outline = static_cast<std::uint8_t>(c.outline);
    attr.collapsed = c.collapsed;
    if (c.custom && c.width >= 0 && c.width <= 255) attr.width = static_cast<int>(c.width * 256 + 0.5);
  }
}

void SheetHandler::StartCell(const char** attrs) {
  inCell_ = true;
  cell_.hasFormula = false;
  cell_.sharedIndex = -1;
  cell_.v.clear();
  cell_.f.clear();
  cell_.inlineText.clear();
  cell_.runs.clear();
  // One pass over the attributes: a sheet has a cell element for every value.
  const char* ref = nullptr;
  cell_.type = CellType::Number;
  int style = 0;
  for (const char** a = attrs; a && a[0]; a += 2) {
    const char* name = Local(a[0]);
    if (name[0] == '\0' || name[1] != '\0') continue;
    if (name[0] == 'r')
      ref = a[1];
    else if (name[0] == 't')
      cell_.type = TypeOf(a[1]);
    else if (name[0] == 's')
      style = SmallInt(a[1], 0);
  }
  style_ = StyleOf(style);
  if (!ref || ref[0] == '\0') {
    ++col_;
    if (row_ == 0) row_ = 1;
  } else if (!ParseCellRef(ref, cellRow_, col_)) {
    PackageDamaged("a cell of sheet \"" + sheetName_ + "\" has the malformed reference " +
                   std::string(ref));
  } else if (cellRow_ != row_) {
    row_ = cellRow_;
  }
}

void SheetHandler::EndCell() {
  inCell_ = false;
  const CellType type = cell_.type;
  bool hasValue = !cell_.v.empty() || type == CellType::Inline || type == CellType::Str;
  if (row_ > kMaxRow || col_ > kMaxCol) {
    if (hasValue || cell_.hasFormula)
      throw EngineError(kErrFile, "The sheet \"" + sheetName_ +
                                      "\" holds cells beyond row 65,536 or column 256, the "
                                      "limits of a table's sheet.");
    return;  // a format alone past the limits is clipped
  }
  if (type == CellType::Inline && rich_) cell_.runs = rich_->Finish(cell_.inlineText);
  const auto col = static_cast<std::uint16_t>(col_);
  if (!cell_.hasFormula && !cell_.v.empty()) {  // the common cells, straight into the sheet
    if (type == CellType::Number) {
      double d = 0;
      if (!WholeNumber(cell_.v, d) && !ParseNumber(cell_.v, d))
        PackageDamaged("a cell holds the malformed number " + cell_.v);
      if (!log_) return LoadNumber(*sheet_, row_, col_, style_, d);
      return log_->Add({d, 0, row_, col, style_, CellLog::Kind::Number});
    }
    if (type == CellType::Shared) {
      std::size_t index = SharedIndex();
      if (!log_) return StoreShared(row_, col_, style_, index);
      return log_->Add(
          {0, static_cast<std::uint32_t>(index), row_, col, style_, CellLog::Kind::Shared});
    }
  }
  if (!log_) return StoreOther();
  log_->others_.push_back(cell_);
  log_->Add({0, static_cast<std::uint32_t>(log_->others_.size() - 1), row_, col, style_,
             CellLog::Kind::Other});
}

// Any other cell: its value as its type says, and a formula waiting for every sheet.
void SheetHandler::StoreOther() {
  Value value = CellValue();
  if (cell_.hasFormula) {
    PendingFormula p{sheet_, row_, col_, DecodeEscapes(cell_.f), cell_.sharedIndex,
                     !cell_.v.empty() && !value.IsEmpty(), value};
    if (p.shared >= 0 && !cell_.f.empty()) anchors_[p.shared] = pending_->size();
    if (p.shared >= 0 && cell_.f.empty() && !anchors_.count(p.shared)) p.shared = -1;  // no anchor
    LoadStyle(*sheet_, row_, col_, style_);
    if (p.hasCached) LoadValue(*sheet_, row_, col_, style_, value);
    if (!p.text.empty() || p.shared >= 0) pending_->push_back(std::move(p));
    return;
  }
  LoadValue(*sheet_, row_, col_, style_, value);
  if (cell_.type == CellType::Inline && !cell_.runs.empty())
    PlaceRuns(*sheet_, row_, col_, cell_.runs, *styles_);
}

void SheetHandler::StoreShared(int row, int col, std::uint16_t style, std::size_t index) {
  LoadText(*sheet_, row, col, style, std::string(sst_[index]));
  if (const TextRuns* runs = sst_.Runs(index)) PlaceRuns(*sheet_, row, col, *runs, *styles_);
}

// A run of an inline string or its properties. The logging handler has no style table to
// intern the fonts in: it gives up, and the rows are read by one parser instead.
void SheetHandler::RunElement(const char* name, const char** attrs) {
  if (!rich_) PackageDamaged("an inline string with runs is read by the storing parser");
  rich_->Start(name, XmlAttrs(attrs), cell_.inlineText.size());
}

void SheetHandler::TakeIn(CellLog& log) {
  for (const CellLog::Block& block : log.blocks_)
    for (std::size_t i = 0; i < block.used; ++i) TakeIn(log, block.entries[i]);
  row_ = log.endRow_;
  col_ = log.endCol_;
  log.Clear();
}

void SheetHandler::TakeIn(CellLog& log, const CellLog::Entry& e) {
  switch (e.kind) {
    case CellLog::Kind::Number:
      LoadNumber(*sheet_, e.row, e.col, e.style, e.number);
      break;
    case CellLog::Kind::Shared:
      StoreShared(e.row, e.col, e.style, e.index);
      break;
    case CellLog::Kind::Other:
      row_ = e.row;
      col_ = e.col;
      style_ = e.style;
      cell_ = std::move(log.others_[e.index]);
      StoreOther();
      break;
    case CellLog::Kind::Row:
      StoreRow(e.row, log.rows_[e.index]);
      break;
    case CellLog::Kind::Column:
      StoreColumn(log.columns_[e.index]);
      break;
  }
}

std::size_t SheetHandler::SharedIndex() const {
  int small = SmallInt(cell_.v.c_str(), -1);
  if (small >= 0 && static_cast<std::size_t>(small) < sst_.size())
    return static_cast<std::size_t>(small);
  double index = -1;
  if (!ParseNumber(cell_.v, index) || index < 0 || index >= static_cast<double>(sst_.size()))
    PackageDamaged("a cell refers to a missing shared string");
  return static_cast<std::size_t>(index);
}

Value SheetHandler::CellValue() {
  const std::string& v = cell_.v;
  switch (cell_.type) {
    case CellType::Shared:
      return v.empty() ? Value{} : Value::Text(std::string(sst_[SharedIndex()]));
    case CellType::Inline:
      return Value::Text(DecodeEscapes(cell_.inlineText));
    case CellType::Str:
      return v.empty() ? Value{} : Value::Text(DecodeEscapes(v));
    case CellType::Logical:
      return v.empty() ? Value{} : Value::Logical(v == "1" || v == "true");
    case CellType::Error: {
      ErrorValue e;
      return ParseErrorText(v, e) ? Value::Error(e) : Value{};
    }
    case CellType::Date:
    case CellType::Number:
      break;
  }
  if (v.empty()) return {};
  double d = 0;
  if (cell_.type == CellType::Date) {
    if (!ParseIsoDate(v, date1904_, d)) PackageDamaged("a cell holds the malformed date " + v);
    return Value::Number(d);
  }
  if (!ParseNumber(v, d)) PackageDamaged("a cell holds the malformed number " + v);
  return Value::Number(d);
}

}  // namespace engine::xlsx
