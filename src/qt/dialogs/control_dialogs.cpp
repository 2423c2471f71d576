#include "qt/dialogs/control_dialogs.h"

#include "qt/dialogs/find_replace_dialog.h"
#include "qt/dialogs/goto_dialog.h"
#include "qt/dialogs/number_format_dialog.h"
#include "qt/dialogs/sort_dialog.h"
#include "qt/print/table_printer.h"

namespace qtui {

bool QtControlDialogs::Find(engine::Control& control) {
  FindReplaceDialog dialog(control, false, parent_);
  return dialog.exec() == QDialog::Accepted;
}

bool QtControlDialogs::Replace(engine::Control& control) {
  FindReplaceDialog dialog(control, true, parent_);
  return dialog.exec() == QDialog::Accepted;
}

bool QtControlDialogs::Goto(engine::Control& control) {
  GotoDialog dialog(control, parent_);
  return dialog.exec() == QDialog::Accepted;
}

bool QtControlDialogs::Sort(engine::Control& control) {
  SortDialog dialog(control, parent_);
  if (!dialog.Prepare()) return false;
  return dialog.exec() == QDialog::Accepted;
}

bool QtControlDialogs::NumberFormat(engine::Control& control) {
  NumberFormatDialog dialog(control, parent_);
  return dialog.exec() == QDialog::Accepted;
}

bool QtControlDialogs::PrintSetup(engine::Control& control) {
  return ShowPrintSetup(parent_, control);
}

bool QtControlDialogs::PrintPreview(engine::Control& control) {
  return ShowPrintPreview(parent_, control);
}

bool QtControlDialogs::Print(engine::Control& control, bool showDialog) {
  return PrintWithDialog(parent_, control, showDialog);
}

}  // namespace qtui
