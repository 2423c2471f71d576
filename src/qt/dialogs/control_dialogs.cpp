#include "qt/dialogs/control_dialogs.h"

#include <QApplication>
#include <QMessageBox>

#include "qt/dialogs/find_replace_dialog.h"
#include "qt/dialogs/goto_dialog.h"
#include "qt/dialogs/number_format_dialog.h"
#include "qt/dialogs/sort_dialog.h"
#include "qt/dialogs/validation_rule_dialog.h"
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

bool QtControlDialogs::ValidationRule(engine::Control& control) {
  ValidationRuleDialog dialog(control, parent_);
  return dialog.exec() == QDialog::Accepted;
}

engine::EntryAnswer QtControlDialogs::EntryRefused(engine::Control& /*control*/,
                                                   const engine::EntryAlert& alert) {
  QWidget* parent = parent_ != nullptr ? parent_.data() : QApplication::activeWindow();
  QMessageBox box(parent);
  box.setWindowTitle(QString::fromStdString(alert.title));
  box.setText(QString::fromStdString(alert.message));
  switch (alert.style) {
    case engine::ErrorStyle::Stop:
      box.setIcon(QMessageBox::Critical);
      box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Retry);
      break;
    case engine::ErrorStyle::Warning:
      box.setIcon(QMessageBox::Warning);
      box.setInformativeText(QObject::tr("Continue?"));
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::No);
      break;
    case engine::ErrorStyle::Information:
      box.setIcon(QMessageBox::Information);
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Ok);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes:
    case QMessageBox::Ok:
      return engine::EntryAnswer::Accept;
    case QMessageBox::Retry:
    case QMessageBox::No:
      return engine::EntryAnswer::Retry;
    default:
      return engine::EntryAnswer::Cancel;
  }
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
