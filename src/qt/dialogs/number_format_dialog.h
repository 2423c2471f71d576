#pragma once
// The control's Number Format dialog: categories, the built-in codes of each, and a code editor
// with a live preview of the active cell's value in the code being typed. An invalid code is
// refused with the reason; OK applies the code to the selection.

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace engine {
class Control;
}

namespace qtui {

class NumberFormatDialog : public QDialog {
 public:
  explicit NumberFormatDialog(engine::Control& control, QWidget* parent = nullptr);

  void accept() override;

  QListWidget* Categories() const { return categories_; }
  QListWidget* Codes() const { return codes_; }
  QLineEdit* Code() const { return code_; }
  QString Preview() const;
  QString Error() const;
  QPushButton* OkButton() const { return ok_; }

 private:
  void ShowCategory(int row);
  void CodeChanged();

  engine::Control& control_;
  QListWidget* categories_ = nullptr;
  QListWidget* codes_ = nullptr;
  QLineEdit* code_ = nullptr;
  QLabel* preview_ = nullptr;
  QLabel* error_ = nullptr;
  QPushButton* ok_ = nullptr;
};

}  // namespace qtui
