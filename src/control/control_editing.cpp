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

namespace {
// What an alert says when the rule gives no text of its own.
constexpr const char* kDefaultAlertTitle = "Invalid Entry";
constexpr const char* kDefaultAlertText =
    "The value you entered is not valid.\nThe cell accepts only values that meet its validation "
    "rule.";

// Enters an in-cell edit's text. Only a changed text is a new entry: a text left as it was keeps
// its formatting runs.
void EnterKeepingRuns(Control& control, int row, int col, const std::string& text) {
  Sheet& sheet = control.Book().Active();
  std::string before;
  TextRuns runs;
  if (const CellSlot* s = sheet.Find(row, col); s && s->kind == CellKind::Text)
    if (const TextRuns* r = sheet.Runs(*s); r && text == control.GetCellText(row, col)) {
      before = sheet.Text(*s);
      runs = *r;
    }
  control.SetCellText(row, col, text);
  if (runs.empty()) return;
  if (const CellSlot* s = sheet.Find(row, col);
      s && s->kind == CellKind::Text && sheet.Text(*s) == before)
    sheet.SetRuns(*s, std::move(runs));
}
}  // namespace

Control::EditEnd Control::EndPersonEdit() {
  if (!editing_) return EditEnd::Entered;
  const EntryCheck check = CheckEntry(editRow_, editCol_, editText_);
  const ValidationRule* rule = GetValidationRule(editRow_, editCol_);
  if (!check.ok && rule != nullptr && rule->showError) {
    EntryAlert alert;
    alert.style = check.style;
    alert.title = check.title.empty() ? kDefaultAlertTitle : check.title;
    alert.message = check.message.empty() ? kDefaultAlertText : check.message;
    EntryAnswer answer = dialogs_->EntryRefused(*this, alert);
    // Retry is no answer to information, nor Accept to a stop.
    if (alert.style == ErrorStyle::Stop && answer == EntryAnswer::Accept)
      answer = EntryAnswer::Cancel;
    if (alert.style == ErrorStyle::Information && answer == EntryAnswer::Retry)
      answer = EntryAnswer::Cancel;
    if (answer == EntryAnswer::Retry) return editing_ ? EditEnd::Retry : EditEnd::Refused;
    if (answer == EntryAnswer::Cancel) {
      CancelCellEdit();
      return EditEnd::Refused;
    }
  }
  checkedEntry_ = true;
  const bool entered = EndCellEdit();
  checkedEntry_ = false;
  return entered ? EditEnd::Entered : EditEnd::Refused;
}

bool Control::EndCellEdit() {
  if (!editing_) return true;
  std::string text = editText_;
  short cancel = 0;
  if (events_) events_->OnEndEdit(text, cancel);
  if (cancel) return false;
  if (!editing_) return true;  // the listener ended the edit itself (TerminateCellEdit)
  editing_ = false;
  EnterKeepingRuns(*this, editRow_, editCol_, text);
  return true;
}

void Control::CancelCellEdit() {
  editing_ = false;
  editText_.clear();
}

void Control::TerminateCellEdit() {
  if (!editing_) return;
  // An edit ended by a call, not by the person: nobody can be asked, so an entry that a stop
  // rule refuses is dropped and the cell keeps its value (a warning or a note lets it stand).
  if (!checkedEntry_) {
    const EntryCheck check = CheckEntry(editRow_, editCol_, editText_);
    const ValidationRule* rule = GetValidationRule(editRow_, editCol_);
    if (!check.ok && rule != nullptr && rule->showError && check.style == ErrorStyle::Stop) {
      CancelCellEdit();
      return;
    }
  }
  std::string text = editText_;
  short cancel = 0;
  if (events_) events_->OnEndEdit(text, cancel);
  if (!editing_) return;
  editing_ = false;
  if (!cancel) EnterKeepingRuns(*this, editRow_, editCol_, text);
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
