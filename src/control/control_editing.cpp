// In-cell editing by a person and the user actions the window reports.
#include "control/control.h"
#include "control/formula/formula_engine.h"
#include "control/model/workbook.h"

namespace engine {

bool Control::BeginCellEdit(std::string text) {
  if (editing_) TerminateCellEdit();
  short cancel = 0;
  if (events_) events_->OnStartEdit(text, cancel);
  if (cancel) return false;
  editing_ = true;
  editText_ = std::move(text);
  GetActiveCell(editRow_, editCol_);
  return true;
}

bool Control::EndCellEdit() {
  if (!editing_) return true;
  std::string text = editText_;
  short cancel = 0;
  if (events_) events_->OnEndEdit(text, cancel);
  if (cancel) return false;
  if (!editing_) return true;  // the listener ended the edit itself (TerminateCellEdit)
  editing_ = false;
  SetCellText(editRow_, editCol_, text);
  return true;
}

void Control::CancelCellEdit() {
  editing_ = false;
  editText_.clear();
}

void Control::TerminateCellEdit() {
  if (!editing_) return;
  std::string text = editText_;
  short cancel = 0;
  if (events_) events_->OnEndEdit(text, cancel);
  if (!editing_) return;
  editing_ = false;
  if (!cancel) SetCellText(editRow_, editCol_, text);
}

void Control::Click(int row, int col) {
  if (events_) events_->OnClick(row, col);
}
void Control::DblClick(int row, int col) {
  if (events_) events_->OnDblClick(row, col);
}
void Control::RClick(int row, int col) {
  if (events_) events_->OnRClick(row, col);
}
void Control::RDblClick(int row, int col) {
  if (events_) events_->OnRDblClick(row, col);
}
void Control::KeyDown(short& key, short shift) {
  if (events_) events_->OnKeyDown(key, shift);
}

void Control::Recalculate() { book_->Formulas().Recalculate(true); }

void Control::PostModifyAction() { book_->Formulas().Recalculate(false); }

}  // namespace engine
