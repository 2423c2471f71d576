#pragma once
// The control's Find and Replace dialog (one dialog; Replace shows the replacement field and
// its buttons). Searches the active sheet of the engine; a cell found becomes the active cell.

#include <QDialog>

#include "control/dialogs/edit_dialogs.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace engine {
class Control;
}

namespace qtui {

class FindReplaceDialog : public QDialog {
 public:
  FindReplaceDialog(engine::Control& control, bool replace, QWidget* parent = nullptr);

  // The options as the controls stand.
  engine::FindOptions Options() const;

  // The buttons' actions (also what a click does). Each reports in the status line.
  bool FindNext();
  bool FindPrevious();
  bool Replace();
  int ReplaceAll();

  QLineEdit* FindEdit() const { return find_; }
  QLineEdit* ReplaceEdit() const { return with_; }
  QCheckBox* MatchCase() const { return matchCase_; }
  QCheckBox* WholeCell() const { return wholeCell_; }
  QComboBox* SearchOrder() const { return order_; }  // 0 by rows, 1 by columns
  QComboBox* LookIn() const { return lookIn_; }      // 0 values, 1 formulas
  QPushButton* FindNextButton() const { return next_; }
  QPushButton* ReplaceAllButton() const { return replaceAll_; }
  QString Status() const;

 private:
  bool Find(bool previous);

  engine::Control& control_;
  QLineEdit* find_ = nullptr;
  QLineEdit* with_ = nullptr;
  QCheckBox* matchCase_ = nullptr;
  QCheckBox* wholeCell_ = nullptr;
  QComboBox* order_ = nullptr;
  QComboBox* lookIn_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* previous_ = nullptr;
  QPushButton* replace_ = nullptr;
  QPushButton* replaceAll_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace qtui
