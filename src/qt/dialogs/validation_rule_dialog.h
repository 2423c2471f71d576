#pragma once
// The control's Validation Rule dialog: what a cell takes (any value, whole or decimal numbers,
// a list, dates, times, a text length or a custom formula) with its operator and values, the
// input message shown when the cell becomes active and the alert for an entry that breaks the
// rule. It starts from the active cell's rule; OK gives the rule to the selection. A rule that
// cannot work (a value missing, a bad formula, a minimum above its maximum, an empty list) is
// refused with the reason and the dialog stays open.

#include <QDialog>

#include "control/sheet_features.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace engine {
class Control;
}

namespace qtui {

class ValidationRuleDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ValidationRuleDialog(engine::Control& control, QWidget* parent = nullptr);

  void accept() override;

  // The rule as the controls state it; false with the reason shown when they do not make one.
  bool ReadRule(engine::ValidationRule& rule);
  // Shows a rule in the controls.
  void ShowRule(const engine::ValidationRule& rule);

  QTabWidget* Tabs() const { return tabs_; }
  QComboBox* Allow() const { return allow_; }
  QComboBox* Operator() const { return operator_; }
  QLineEdit* Value1() const { return value1_; }
  QLineEdit* Value2() const { return value2_; }
  QCheckBox* IgnoreBlank() const { return ignoreBlank_; }
  QCheckBox* DropDown() const { return dropDown_; }
  QCheckBox* ShowInput() const { return showInput_; }
  QLineEdit* InputTitle() const { return inputTitle_; }
  QPlainTextEdit* InputText() const { return inputText_; }
  QCheckBox* ShowError() const { return showError_; }
  QComboBox* ErrorStyle() const { return errorStyle_; }
  QLineEdit* ErrorTitle() const { return errorTitle_; }
  QPlainTextEdit* ErrorText() const { return errorText_; }
  QPushButton* ClearAllButton() const { return clearAll_; }
  QString Error() const;

 private:
  void UpdateFields();

  engine::Control& control_;
  QTabWidget* tabs_ = nullptr;
  QComboBox* allow_ = nullptr;
  QComboBox* operator_ = nullptr;
  QLabel* operatorLabel_ = nullptr;
  QLabel* value1Label_ = nullptr;
  QLineEdit* value1_ = nullptr;
  QLabel* value2Label_ = nullptr;
  QLineEdit* value2_ = nullptr;
  QCheckBox* ignoreBlank_ = nullptr;
  QCheckBox* dropDown_ = nullptr;
  QCheckBox* showInput_ = nullptr;
  QLineEdit* inputTitle_ = nullptr;
  QPlainTextEdit* inputText_ = nullptr;
  QCheckBox* showError_ = nullptr;
  QComboBox* errorStyle_ = nullptr;
  QLineEdit* errorTitle_ = nullptr;
  QPlainTextEdit* errorText_ = nullptr;
  QLabel* error_ = nullptr;
  QPushButton* clearAll_ = nullptr;
};

}  // namespace qtui
