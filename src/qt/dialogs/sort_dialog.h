#pragma once
// The control's Sort dialog: the selection sorted by up to three keys, each ascending or
// descending, by rows or by columns; "first row is a header" is off by default (the parameter
// names are the column headings, not a row). A selection that would tear rows apart is first
// offered for widening to whole rows.

#include <QDialog>
#include <functional>

#include "control/dialogs/edit_dialogs.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace engine {
class Control;
}

namespace qtui {

class SortDialog : public QDialog {
 public:
  // Answers of the widening question.
  enum class Widen { Yes, No, Cancel };

  explicit SortDialog(engine::Control& control, QWidget* parent = nullptr);

  // Asks whether to widen a tearing selection; shows a message box unless replaced.
  void SetWidenQuestion(std::function<Widen()> ask) { askWiden_ = std::move(ask); }

  // Before the dialog shows: false when the user cancelled the widening question.
  bool Prepare();
  // The request as the controls stand.
  engine::SortRequest Request() const;
  // OK: sorts; stays open with the reason when the engine refuses.
  void accept() override;

  QComboBox* Key(int i) const { return keys_[i]; }         // entry 0 "(none)" for keys 2 and 3
  QComboBox* Direction(int i) const { return dirs_[i]; }   // 0 ascending, 1 descending
  QComboBox* Orientation() const { return orientation_; }  // 0 by rows, 1 by columns
  QCheckBox* Header() const { return header_; }
  QString Error() const;

 private:
  void FillKeys();

  engine::Control& control_;
  std::function<Widen()> askWiden_;
  QComboBox* keys_[3] = {};
  QComboBox* dirs_[3] = {};
  QComboBox* orientation_ = nullptr;
  QCheckBox* header_ = nullptr;
  QLabel* error_ = nullptr;
};

}  // namespace qtui
