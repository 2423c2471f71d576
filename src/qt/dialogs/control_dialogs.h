#pragma once
// The control's own dialogs in Qt: Find, Replace, Go To, Sort and Number Format. Each runs
// modally over the parent window and works on the engine it is given. Validation Rule and the
// print dialogs keep the defaults of engine::ControlDialogs until they are built.

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

 private:
  QPointer<QWidget> parent_;
};

}  // namespace qtui
