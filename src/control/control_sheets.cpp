// Sheets: count, active sheet, names, selected marks, insert and delete.
#include "control/control.h"
#include "control/formula/formula_engine.h"
#include "control/model/workbook.h"

namespace engine {

namespace {
void CheckSheetName(const std::string& name) {
  if (name.empty()) throw EngineError(kErrBadSheetName, "A sheet name cannot be empty.");
  int chars = 0;
  for (unsigned char ch : name) chars += (ch & 0xC0) != 0x80;
  if (chars > 31)
    throw EngineError(kErrBadSheetName, "A sheet name cannot be longer than 31 characters.");
  if (name.find_first_of("[]:*?/\\") != std::string::npos)
    throw EngineError(kErrBadSheetName,
                      "A sheet name cannot contain any of the characters [ ] : * ? / \\.");
}
}  // namespace

int Control::GetNumSheets() const { return book_->SheetCount(); }

void Control::SetNumSheets(int count) {
  if (count < 1 || count > 32767)
    throw EngineError(kErrBadArgument, "Invalid number of sheets " + std::to_string(count) + ".");
  int now = book_->SheetCount();
  if (count > now)
    InsertSheets(now + 1, count - now);
  else if (count < now)
    DeleteSheets(count + 1, now - count);
}

int Control::GetActiveSheet() const { return book_->ActiveIndex(); }

void Control::SetActiveSheet(int sheet) {
  CheckSheet(sheet);
  if (editing_) TerminateCellEdit();
  book_->SetActiveIndex(sheet);
}

std::string Control::GetSheetName(int sheet) const {
  CheckSheet(sheet);
  return book_->GetSheet(sheet).Name();
}

void Control::SetSheetName(int sheet, const std::string& name) {
  CheckSheet(sheet);
  CheckSheetName(name);
  int other = book_->SheetIndexByName(name);
  if (other && other != sheet)
    throw EngineError(kErrDuplicateSheetName, "A sheet named \"" + name + "\" already exists.");
  if (book_->GetSheet(sheet).Name() == name) return;
  ModifyScope scope(*this);
  book_->GetSheet(sheet).SetName(name);
  book_->Formulas().SheetRenamed();
  scope.Changed();
}

bool Control::GetSheetSelected(int sheet) const {
  CheckSheet(sheet);
  return book_->GetSheet(sheet).Selected();
}

void Control::SetSheetSelected(int sheet, bool selected) {
  CheckSheet(sheet);
  book_->GetSheet(sheet).SetSelected(selected);
}

void Control::InsertSheets(int at, int count) {
  if (at < 1 || at > book_->SheetCount() + 1)
    throw EngineError(kErrBadSheet, "Invalid sheet number " + std::to_string(at) + ".");
  if (count < 1 || count > 32767 - book_->SheetCount())
    throw EngineError(kErrBadArgument, "Invalid number of sheets " + std::to_string(count) + ".");
  ModifyScope scope(*this);
  for (int i = 0; i < count; ++i) book_->InsertSheet(at + i, book_->UnusedSheetName());
  book_->Formulas().AfterStructureChange();
  scope.Changed();
}

void Control::DeleteSheets(int at, int count) {
  CheckSheet(at);
  if (count < 1 || at + count - 1 > book_->SheetCount())
    throw EngineError(kErrBadArgument, "Invalid number of sheets " + std::to_string(count) + ".");
  if (count >= book_->SheetCount())
    throw EngineError(kErrBadArgument, "A workbook must keep at least one sheet.");
  if (editing_) CancelCellEdit();
  ModifyScope scope(*this);
  for (int i = 0; i < count; ++i) book_->RemoveSheet(at);
  scope.Changed();
}

void Control::MoveSheet(int from, int to) {
  CheckSheet(from);
  CheckSheet(to);
  if (from == to) return;
  ModifyScope scope(*this);
  book_->MoveSheet(from, to);
  scope.Changed();
}

void Control::SetShowTabsMode(int mode) {
  showTabsMode_ = mode;
  book_->SetShowTabs(mode != 0);
}

}  // namespace engine
