#include "control/model/workbook.h"

#include "control/engine_error.h"
#include "control/format/number_format.h"
#include "control/formula/formula_engine.h"

namespace engine {

Workbook::Workbook(const LocaleSettings* locale)
    : locale_(locale), formulas_(std::make_unique<formula::FormulaEngine>(*this)) {
  InsertSheet(1, "Sheet1");
}

Workbook::~Workbook() = default;

Sheet* Workbook::SheetById(std::uint32_t id) {
  for (auto& s : sheets_)
    if (s->Id() == id) return s.get();
  return nullptr;
}

const Sheet* Workbook::SheetById(std::uint32_t id) const {
  for (const auto& s : sheets_)
    if (s->Id() == id) return s.get();
  return nullptr;
}

int Workbook::SheetIndexById(std::uint32_t id) const {
  for (std::size_t i = 0; i < sheets_.size(); ++i)
    if (sheets_[i]->Id() == id) return static_cast<int>(i + 1);
  return 0;
}

int Workbook::SheetIndexByName(std::string_view name) const {
  for (std::size_t i = 0; i < sheets_.size(); ++i)
    if (sheets_[i]->Name() == name) return static_cast<int>(i + 1);
  return 0;
}

Sheet& Workbook::InsertSheet(int at, std::string name) {
  auto sheet = std::make_unique<Sheet>(nextSheetId_++, std::move(name));
  Sheet& ref = *sheet;
  sheets_.insert(sheets_.begin() + (at - 1), std::move(sheet));
  if (sheets_.size() > 1 && at <= active_) ++active_;
  return ref;
}

void Workbook::ReanchorCarried(int index) {
  const std::uint32_t id = sheets_[index - 1]->Id();
  const std::uint32_t before = index > 1 ? sheets_[index - 2]->Id() : 0;
  for (CarriedSheet& s : carried_.sheets)
    if (s.afterSheetId == id) s.afterSheetId = before;
}

std::vector<int> Workbook::TabOrder() const {
  std::vector<int> order;
  std::vector<bool> placed(carried_.sheets.size());
  auto carriedAfter = [&](std::uint32_t id) {
    for (std::size_t k = 0; k < carried_.sheets.size(); ++k)
      if (!placed[k] && carried_.sheets[k].afterSheetId == id) {
        placed[k] = true;
        order.push_back(-static_cast<int>(k) - 1);
      }
  };
  carriedAfter(0);
  for (int i = 1; i <= SheetCount(); ++i) {
    order.push_back(i);
    carriedAfter(sheets_[i - 1]->Id());
  }
  // One whose worksheet is unknown goes last rather than being lost.
  for (std::size_t k = 0; k < carried_.sheets.size(); ++k)
    if (!placed[k]) order.push_back(-static_cast<int>(k) - 1);
  return order;
}

void Workbook::RemoveSheet(int index) {
  ReanchorCarried(index);
  std::uint32_t id = sheets_[index - 1]->Id();
  formulas_->SheetRemoving(id);
  std::erase_if(names_, [id](const DefinedName& n) { return n.sheetId == id; });
  sheets_.erase(sheets_.begin() + (index - 1));
  if (active_ > index || active_ > SheetCount()) --active_;
  if (active_ < 1) active_ = 1;
  formulas_->AfterStructureChange();
}

void Workbook::MoveSheet(int from, int to) {
  if (from == to) return;
  ReanchorCarried(from);
  Sheet* activeSheet = sheets_[active_ - 1].get();
  auto sheet = std::move(sheets_[from - 1]);
  sheets_.erase(sheets_.begin() + (from - 1));
  sheets_.insert(sheets_.begin() + (to - 1), std::move(sheet));
  for (std::size_t i = 0; i < sheets_.size(); ++i)
    if (sheets_[i].get() == activeSheet) active_ = static_cast<int>(i + 1);
  formulas_->SheetsMoved();
}

std::string Workbook::UnusedSheetName() const {
  for (int n = 1;; ++n) {
    std::string name = "Sheet" + std::to_string(n);
    if (!SheetIndexByName(name)) return name;
  }
}

const DefinedName* Workbook::FindName(std::string_view name, std::uint32_t fromSheetId) const {
  auto same = [name](const std::string& other) {
    if (other.size() != name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(other[i])) !=
          std::tolower(static_cast<unsigned char>(name[i])))
        return false;
    return true;
  };
  const DefinedName* global = nullptr;
  for (const auto& n : names_) {
    if (!same(n.name)) continue;
    if (n.sheetId == fromSheetId && fromSheetId != 0) return &n;
    if (n.sheetId == 0) global = &n;
  }
  return global;
}

Value Workbook::GetValue(const Sheet& sheet, int row, int col) const {
  const CellSlot* s = sheet.Find(row, col);
  if (!s) return {};
  switch (s->kind) {
    case CellKind::Empty:
      return {};
    case CellKind::Number:
      return Value::Number(s->number);
    case CellKind::Text:
      return Value::Text(sheet.Text(*s));
    case CellKind::Logical:
      return Value::Logical(s->small != 0);
    case CellKind::Error:
      return Value::Error(static_cast<ErrorValue>(s->small));
    case CellKind::Formula:
      return sheet.Formula(*s).result;
  }
  return {};
}

void Workbook::SetValue(Sheet& sheet, int row, int col, const Value& value) {
  if (value.IsEmpty()) {
    ClearCell(sheet, row, col);
    return;
  }
  CellSlot& s = sheet.Col(col).At(row);
  sheet.ClearContent(s);
  switch (value.kind) {
    case ValueKind::Number:
      s.kind = CellKind::Number;
      s.number = value.number;
      break;
    case ValueKind::Text:
      s.kind = CellKind::Text;
      s.ref = sheet.Texts().Add(value.text);
      break;
    case ValueKind::Logical:
      s.kind = CellKind::Logical;
      s.small = value.logical ? 1 : 0;
      break;
    case ValueKind::Error:
      s.kind = CellKind::Error;
      s.small = static_cast<std::uint8_t>(value.error);
      break;
    case ValueKind::Empty:
      break;
  }
  sheet.NoteContent(row, col);
  sheet.Changed();
  formulas_->CellChanged(sheet, row, col);
}

void Workbook::SetFormula(Sheet& sheet, int row, int col, std::unique_ptr<FormulaCell> formula) {
  CellSlot& s = sheet.Col(col).At(row);
  sheet.ClearContent(s);
  s.kind = CellKind::Formula;
  s.ref = sheet.Formulas().Add(std::move(formula));
  sheet.NoteContent(row, col);
  sheet.Changed();
  formulas_->FormulaPlaced(sheet, row, col);
}

void Workbook::ClearCell(Sheet& sheet, int row, int col) {
  Column& column = sheet.Col(col);
  const CellSlot* found = column.Find(row);
  if (!found || !found->HasContent()) return;
  sheet.ClearContent(column.At(row));
  if (row == column.LastUsedRow()) {
    column.Recount();
    sheet.InvalidateExtent();
  }
  sheet.Changed();
  formulas_->CellChanged(sheet, row, col);
}

void Workbook::SetCellStyle(Sheet& sheet, int row, int col, std::uint16_t style) {
  Column& column = sheet.Col(col);
  if (!style && !column.Find(row)) return;
  column.At(row).style = style;
  sheet.Changed();
}

std::string Workbook::DisplayText(const Sheet& sheet, int row, int col) const {
  std::string out;
  DisplayText(sheet, row, col, out);
  return out;
}

const format::NumberFormat& Workbook::DisplayText(const Sheet& sheet, int row, int col,
                                                  std::string& out) const {
  const CellSlot* s = sheet.Find(row, col);
  const format::NumberFormat& fmt =
      formats_.Get(styles_.Get(sheet.EffectiveStyle(s, row, col)).numberFormat);
  const bool general = &fmt == &formats_.Get(0);
  switch (s ? s->kind : CellKind::Empty) {
    case CellKind::Empty:
      out.clear();
      return fmt;
    case CellKind::Text:
      if (general || format::ShowsTextAsIs(fmt)) {
        out.assign(sheet.Text(*s));
        return fmt;
      }
      break;
    case CellKind::Number:
      if (general) {
        format::AssignGeneral(s->number, *locale_, out);
        return fmt;
      }
      out = format::Render(fmt, Value::Number(s->number), *locale_, date1904_);
      return fmt;
    case CellKind::Logical:
      out.assign(s->small ? "TRUE" : "FALSE");  // whatever the format
      return fmt;
    case CellKind::Formula:
      out = format::Render(fmt, sheet.Formula(*s).result, *locale_, date1904_);
      return fmt;
    case CellKind::Error:
      break;
  }
  out = format::Render(fmt, GetValue(sheet, row, col), *locale_, date1904_);
  return fmt;
}

}  // namespace engine
