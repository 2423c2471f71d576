#pragma once
// The control's Go To dialog: a reference (A1 form, with or without a sheet) or a defined name,
// typed or picked from the workbook's names. A reference that names nothing says why and keeps
// the dialog open.

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;

namespace engine {
class Control;
}

namespace qtui {

class GotoDialog : public QDialog {
 public:
  explicit GotoDialog(engine::Control& control, QWidget* parent = nullptr);

  // OK: goes to the reference; stays open with the reason when it names nothing.
  void accept() override;

  QLineEdit* Reference() const { return reference_; }
  QListWidget* Names() const { return names_; }
  QString Error() const;

 private:
  engine::Control& control_;
  QLineEdit* reference_ = nullptr;
  QListWidget* names_ = nullptr;
  QLabel* error_ = nullptr;
};

}  // namespace qtui
