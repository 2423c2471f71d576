// Construction, wiring, cells and the checks every operation shares.
#include "control/control.h"

#include <algorithm>
#include <cmath>

#include "control/format/number_format.h"
#include "control/format/serial_date.h"
#include "control/format/typed_entry.h"
#include "control/formula/formula_engine.h"
#include "control/model/workbook.h"

namespace engine {

namespace {
ProcessClipboard& DefaultClipboard() {
  static ProcessClipboard clipboard;
  return clipboard;
}
ControlDialogs& HeadlessDialogs() {
  static ControlDialogs dialogs;
  return dialogs;
}

// Number of characters (UTF-8 sequences) in a text.
int CharCount(const std::string& s) {
  int n = 0;
  for (unsigned char ch : s) n += (ch & 0xC0) != 0x80;
  return n;
}
}  // namespace

ModifyScope::~ModifyScope() {
  if (--control_.modifyDepth_ == 0 && control_.modifyPending_) {
    control_.modifyPending_ = false;
    try {
      control_.NotifyChanges();
      control_.RaiseModified();
    } catch (...) {
      // A listener's failure must not escape a destructor.
    }
  }
}

Control::Control(LocaleSettings locale)
    : locale_(std::move(locale)),
      book_(std::make_unique<Workbook>(&locale_)),
      clipboard_(&DefaultClipboard()),
      dialogs_(&HeadlessDialogs()) {
  fillLists_ = {
      {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
      {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
      {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
      {"January", "February", "March", "April", "May", "June", "July", "August", "September",
       "October", "November", "December"},
  };
}

void ForgetClipboardSource(Control* control);  // control_clipboard.cpp

Control::~Control() { ForgetClipboardSource(this); }

void Control::SetClipboard(SystemClipboard* clipboard) {
  clipboard_ = clipboard ? clipboard : &DefaultClipboard();
}

void Control::SetDialogs(ControlDialogs* dialogs) {
  dialogs_ = dialogs ? dialogs : &HeadlessDialogs();
}

void Control::SetLocale(const LocaleSettings& locale) { locale_ = locale; }

void Control::ReplaceWorkbook(std::unique_ptr<Workbook> book) {
  ModifyScope scope(*this);
  book_ = std::move(book);
  book_->SetLocale(&locale_);
  scope.Changed();
}

void Control::AddViewer(ControlViewer* viewer) {
  if (viewer && std::find(viewers_.begin(), viewers_.end(), viewer) == viewers_.end())
    viewers_.push_back(viewer);
}

void Control::RemoveViewer(ControlViewer* viewer) {
  viewers_.erase(std::remove(viewers_.begin(), viewers_.end(), viewer), viewers_.end());
}

void Control::NoteChangedCells(int row1, int col1, int row2, int col2) {
  const ChangedBlock block{std::min(row1, row2), std::min(col1, col2), std::max(row1, row2),
                           std::max(col1, col2)};
  if (!cellsNoted_) {
    changedBlock_ = block;
    cellsNoted_ = true;
    return;
  }
  changedBlock_ = ChangedBlock{
      std::min(changedBlock_.row1, block.row1), std::min(changedBlock_.col1, block.col1),
      std::max(changedBlock_.row2, block.row2), std::max(changedBlock_.col2, block.col2)};
}

void Control::NotifyChanges() {
  const bool cellsOnly = cellsOnly_ && cellsNoted_;
  const ChangedBlock block = changedBlock_;
  cellsOnly_ = false;
  cellsNoted_ = false;
  if (viewers_.empty()) return;
  // A formula anywhere may have recalculated from the change.
  bool formulas = false;
  for (int i = 1; i <= book_->SheetCount() && !formulas; ++i)
    formulas = book_->GetSheet(i).Formulas().Live() != 0;
  if (!cellsOnly) {
    NotifyWorkbookChanged();
    return;
  }
  const int sheet = book_->ActiveIndex();
  const auto viewers = viewers_;  // a viewer may remove itself
  const Sheet& active = ActiveSheet();
  const int lastRow = std::max(active.LastRow(), 1), lastCol = std::max(active.LastCol(), 1);
  for (ControlViewer* v : viewers) {
    v->OnCellsChanged(sheet, block.row1, block.col1, block.row2, block.col2);
    // Formulas may have recalculated: the used part of the sheet is told too.
    if (formulas) v->OnCellsChanged(sheet, 1, 1, lastRow, lastCol);
  }
}

void Control::NotifySheetChanged() {
  const int sheet = book_->ActiveIndex();
  const auto viewers = viewers_;
  for (ControlViewer* v : viewers) v->OnSheetChanged(sheet);
}

void Control::NotifyWorkbookChanged() {
  const auto viewers = viewers_;
  for (ControlViewer* v : viewers) v->OnWorkbookChanged();
}

void Control::NotifySelectionChanged() {
  const auto viewers = viewers_;
  for (ControlViewer* v : viewers) v->OnSelectionChanged();
}

void Control::ShowActiveCell() {
  const auto viewers = viewers_;
  for (ControlViewer* v : viewers) v->OnShowActiveCell();
}

void Control::RaiseModified() {
  modifiedFlag_ = true;
  if (events_) events_->OnModified();
}

namespace {
// Kept out of the checks, so that a check costs two comparisons where it is inlined.
[[noreturn, gnu::noinline, gnu::cold]] void ThrowBadCell(int row, int col) {
  if (row < 1 || row > kMaxRow)
    throw EngineError(kErrBadRow, "Invalid row number " + std::to_string(row) + ".");
  throw EngineError(kErrBadColumn, "Invalid column number " + std::to_string(col) + ".");
}
}  // namespace

void Control::CheckCell(int row, int col) const {
  if (row < 1 || row > kMaxRow || col < 1 || col > kMaxCol) ThrowBadCell(row, col);
}

void Control::CheckSheet(int sheet) const {
  if (sheet < 1 || sheet > book_->SheetCount())
    throw EngineError(kErrBadSheet, "Invalid sheet number " + std::to_string(sheet) + ".");
}

void Control::CheckRange(int& row1, int& col1, int& row2, int& col2) const {
  if (row1 == -1 && row2 == -1) {
    row1 = 1;
    row2 = kMaxRow;
  }
  if (col1 == -1 && col2 == -1) {
    col1 = 1;
    col2 = kMaxCol;
  }
  CheckCell(row1, col1);
  CheckCell(row2, col2);
  if (row1 > row2) std::swap(row1, row2);
  if (col1 > col2) std::swap(col1, col2);
}

Sheet& Control::ActiveSheet() { return book_->Active(); }
const Sheet& Control::ActiveSheet() const { return book_->Active(); }

std::uint64_t Control::ChangeCount() const { return ActiveSheet().ChangeCount(); }

SheetStamp Control::GetActiveSheetStamp() const {
  const Sheet& sheet = ActiveSheet();
  return SheetStamp{book_.get(),          &sheet,          sheet.Id(),          sheet.ChangeCount(),
                    sheet.HeadingStamp(), sheet.LastCol(), book_->ActiveIndex()};
}

// --- Cells -----------------------------------------------------------------------------------

std::string Control::GetCellText(int row, int col) const {
  CheckCell(row, col);
  const Sheet& sheet = ActiveSheet();
  const CellSlot* s = sheet.Find(row, col);
  if (!s || !s->HasContent()) return {};
  switch (s->kind) {
    case CellKind::Text:
      return sheet.Text(*s);
    case CellKind::Formula: {
      const FormulaCell& f = sheet.Formula(*s);
      std::string text = "=" + book_->Formulas().Text(sheet, row, col, f);
      return f.IsArray() ? "{" + text + "}" : text;
    }
    case CellKind::Number:
      // The edit line shows dates and times in the locale's form and other numbers in full.
      return format::EditText(book_->CellFormat(sheet, row, col), s->number, locale_,
                              book_->Date1904());
    default:
      return book_->DisplayText(sheet, row, col);
  }
}

std::string Control::GetCellFormattedText(int row, int col) const {
  CheckCell(row, col);
  return book_->DisplayText(ActiveSheet(), row, col);
}

const std::string& Control::ReadCellFormattedText(int row, int col, std::string& out) const {
  CheckCell(row, col);
  return format::FormatCode(book_->DisplayText(ActiveSheet(), row, col, out));
}

std::string Control::GetCellFormula(int row, int col) const {
  CheckCell(row, col);
  const Sheet& sheet = ActiveSheet();
  const CellSlot* s = sheet.Find(row, col);
  if (!s || s->kind != CellKind::Formula) return {};
  return book_->Formulas().Text(sheet, row, col, sheet.Formula(*s));
}

short Control::GetCellType(int row, int col) const {
  CheckCell(row, col);
  const Sheet& sheet = ActiveSheet();
  const CellSlot* s = sheet.Find(row, col);
  if (!s) return kTypeEmpty;
  switch (s->kind) {
    case CellKind::Empty:
      return kTypeEmpty;
    case CellKind::Number:
      return kTypeNumber;
    case CellKind::Text:
      return kTypeText;
    case CellKind::Logical:
      return kTypeLogical;
    case CellKind::Error:
      return kTypeError;
    case CellKind::Formula: {
      const Value& v = sheet.Formula(*s).result;
      short code = v.kind == ValueKind::Empty ? short{kTypeNumber} : static_cast<short>(v.kind);
      return static_cast<short>(-code);
    }
  }
  return kTypeEmpty;
}

Value Control::GetCellValue(int row, int col) const {
  CheckCell(row, col);
  return book_->GetValue(ActiveSheet(), row, col);
}

namespace {

// The calendar fields of a serial, rounded to the millisecond; false when it is no calendar day.
bool FillDate(double serial, bool date1904, bool timeOnly, TypedCell& out) {
  if (!std::isfinite(serial) || serial < 0) return false;
  const long long total = static_cast<long long>(std::round(serial * 86400000.0));
  const long long days = total / 86400000;
  long long rest = total % 86400000;
  if (timeOnly) {
    if (days != 0) return false;
  } else {
    // Serial 0 of the 1900 system is "1/0/1900" and 60 its 29 February: no calendar days.
    if (days > format::MaxDateSerial(date1904) || (!date1904 && (days == 0 || days == 60)))
      return false;
    const format::CivilDate d = format::SerialToDate(static_cast<int>(days), date1904);
    out.year = d.year;
    out.month = d.month;
    out.day = d.day;
  }
  out.hour = static_cast<int>(rest / 3600000);
  rest %= 3600000;
  out.minute = static_cast<int>(rest / 60000);
  rest %= 60000;
  out.second = static_cast<int>(rest / 1000);
  out.millisecond = static_cast<int>(rest % 1000);
  out.date = timeOnly ? TypedCell::kTimeOfDay : TypedCell::kDate;
  return true;
}

}  // namespace

TypedCell Control::GetCellTyped(int row, int col) const {
  CheckCell(row, col);
  const Value v = book_->GetValue(ActiveSheet(), row, col);
  TypedCell out;
  switch (v.kind) {
    case ValueKind::Empty:
      break;
    case ValueKind::Number: {
      out.kind = TypedCell::kNumber;
      out.number = v.number;
      const auto category = format::Category(book_->CellFormat(ActiveSheet(), row, col));
      using format::FormatCategory;
      if (category == FormatCategory::Date || category == FormatCategory::DateTime ||
          category == FormatCategory::Time) {
        const bool timeOnly = category == FormatCategory::Time && v.number < 1.0;
        TypedCell dated = out;
        if (FillDate(v.number, book_->Date1904(), timeOnly, dated)) out = dated;
      }
      break;
    }
    case ValueKind::Text:
      if (v.text.empty() && GetCellType(row, col) >= 0) break;  // emptied, not a formula
      out.kind = TypedCell::kText;
      out.text = v.text;
      break;
    case ValueKind::Logical:
      out.kind = TypedCell::kLogical;
      out.logical = v.logical;
      break;
    case ValueKind::Error:
      out.kind = TypedCell::kError;
      out.text = ErrorText(v.error);
      break;
  }
  return out;
}

const std::string& Control::GetCellFormatCode(int row, int col) const {
  CheckCell(row, col);
  return format::FormatCode(book_->CellFormat(ActiveSheet(), row, col));
}

struct SavedCell::Data {
  int row = 0;
  int col = 0;
  bool empty = true;
  std::string formula;  // the entry text of a formula cell ("=…"), else empty
  Value value;
  TextRuns runs;  // a text's formatting runs
  std::uint16_t style = 0;
};

SavedCell::SavedCell() = default;
SavedCell::~SavedCell() = default;
SavedCell::SavedCell(SavedCell&&) noexcept = default;
SavedCell& SavedCell::operator=(SavedCell&&) noexcept = default;

SavedCell Control::SaveCell(int row, int col) const {
  SavedCell saved;
  if (row < 1 || row > kMaxRow || col < 1 || col > kMaxCol) return saved;
  saved.data_ = std::make_unique<SavedCell::Data>();
  SavedCell::Data& d = *saved.data_;
  d.row = row;
  d.col = col;
  const CellSlot* slot = ActiveSheet().Find(row, col);
  if (!slot) return saved;
  d.style = slot->style;
  if (!slot->HasContent()) return saved;
  d.empty = false;
  if (slot->kind == CellKind::Formula)
    d.formula = "=" + GetCellFormula(row, col);
  else
    d.value = GetCellValue(row, col);
  if (const TextRuns* runs = ActiveSheet().Runs(*slot)) d.runs = *runs;
  return saved;
}

void Control::RestoreCell(const SavedCell& saved) {
  if (!saved.data_) return;
  const SavedCell::Data& d = *saved.data_;
  if (d.empty)
    ClearRange(d.row, d.col, d.row, d.col, kClearValues);
  else if (!d.formula.empty())
    SetCellText(d.row, d.col, d.formula);
  else
    SetCellValue(d.row, d.col, d.value);
  Sheet& sheet = ActiveSheet();
  const CellSlot* slot = sheet.Find(d.row, d.col);
  if (slot && !d.runs.empty()) sheet.SetRuns(*slot, d.runs);
  if ((slot ? slot->style : 0) != d.style) book_->SetCellStyle(sheet, d.row, d.col, d.style);
}

void Control::SetCellValue(int row, int col, const Value& value) {
  CheckCell(row, col);
  CheckArrayBlocks(ActiveSheet(), row, col, row, col);
  ModifyScope scope(*this);
  Sheet& sheet = ActiveSheet();
  book_->SetValue(sheet, row, col, value);
  NoteWidth(sheet, row, col);
  scope.ChangedCells(row, col, row, col);
}

void Control::NoteWidth(Sheet& sheet, int row, int col) {
  const CellSlot* s = sheet.Find(row, col);
  if (!s || !s->HasContent()) return;
  if (s->kind == CellKind::Text && !s->style) {
    sheet.NoteEntryWidth(col, CharCount(sheet.Text(*s)));
    return;
  }
  sheet.NoteEntryWidth(col, CharCount(book_->DisplayText(sheet, row, col)));
}

void Control::EnterText(Sheet& sheet, int row, int col, const std::string& text) {
  if (text.empty()) {
    book_->SetValue(sheet, row, col, Value::Text(std::string()));
    return;
  }
  if (text[0] == '=' && text.size() > 1) {
    auto compiled = book_->Formulas().Compile(sheet, row, col, std::string_view(text).substr(1));
    book_->SetFormula(sheet, row, col, std::move(compiled));
    NoteWidth(sheet, row, col);
    return;
  }
  if (text[0] == '\'') {
    book_->SetValue(sheet, row, col, Value::Text(text.substr(1)));
    NoteWidth(sheet, row, col);
    return;
  }
  format::TypedEntry entry = format::InterpretTyped(text, locale_, book_->Date1904());
  if (!entry.formatCode.empty()) {
    // The cell takes the format the entry implies unless it already shows one of that kind.
    std::uint16_t current = sheet.EffectiveStyle(row, col);
    Style style = book_->Styles().Get(current);
    std::uint16_t fmt = book_->Formats().Intern(entry.formatCode);
    const auto& currentFmt = book_->Formats().Get(style.numberFormat);
    const auto& newFmt = book_->Formats().Get(fmt);
    if (style.numberFormat == 0 || format::Category(currentFmt) != format::Category(newFmt)) {
      style.numberFormat = fmt;
      book_->SetCellStyle(sheet, row, col, book_->Styles().Intern(style));
    }
  }
  book_->SetValue(sheet, row, col, entry.value);
  NoteWidth(sheet, row, col);
}

void Control::SetCellText(int row, int col, const std::string& text) {
  CheckCell(row, col);
  CheckArrayBlocks(ActiveSheet(), row, col, row, col);
  ModifyScope scope(*this);
  EnterText(ActiveSheet(), row, col, text);
  scope.ChangedCells(row, col, row, col);
}

void Control::SetCellEntry(int row, int col, const std::string& text) {
  CheckCell(row, col);
  CheckArrayBlocks(ActiveSheet(), row, col, row, col);
  ModifyScope scope(*this);
  Sheet& sheet = ActiveSheet();
  if (text.empty())
    book_->ClearCell(sheet, row, col);
  else
    book_->SetValue(sheet, row, col, Value::Text(text));
  NoteWidth(sheet, row, col);
  scope.ChangedCells(row, col, row, col);
}

}  // namespace engine
