#pragma once
// The control's own dialogs in Qt: Find, Replace, Go To, Sort, Number Format, Validation Rule
// and printing (print, print preview, page setup), and the alert for a person's entry that
// breaks a validation rule (a QMessageBox). Each runs modally over the parent window and works
// on the engine it is given.

#include <QPointer>
#include <QWidget>

#include "control/control_services.h"

namespace qtui {

class QtControlDialogs : public engine::ControlDialogs {
 public:
  explicit QtControlDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  bool Find(engine::Control& control) override;
  bool Replace(engine::Control& control) override;
  bool Goto(engine::Control& control) override;
  bool Sort(engine::Control& control) override;
  bool NumberFormat(engine::Control& control) override;
  bool ValidationRule(engine::Control& control) override;
  engine::EntryAnswer EntryRefused(engine::Control& control,
                                   const engine::EntryAlert& alert) override;
  bool CanPrint() const override { return true; }
  bool PrintSetup(engine::Control& control) override;
  bool PrintPreview(engine::Control& control) override;
  bool Print(engine::Control& control, bool showDialog) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace qtui
