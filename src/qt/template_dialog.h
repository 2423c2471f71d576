#pragma once
// A table dialog on screen: a QDialog laid out from its template (3003, 3004) in the dialog
// font's base units, exchanging its controls' texts and list selections with the table's
// DialogModel. However it is accepted (OK, Enter, accept()), the texts are taken first; the
// model's OnOK may keep it open.

#include <QDialog>
#include <map>

#include "platform/table_dialogs.h"
#include "resources/dialogs.h"

class QLineEdit;
class QListWidget;

namespace qtui {

class TemplateDialog : public QDialog {
  Q_OBJECT

 public:
  TemplateDialog(const resources::DialogTemplate& layout, resources::Language language,
                 platform::DialogModel& model, QWidget* parent);
  // The edit control or list box with that id; nullptr when none.
  QLineEdit* Edit(int id) const;
  QListWidget* List(int id) const;

  void accept() override;
  void reject() override;

 private:
  void ReadFromModel();
  void WriteToModel();
  void Command(int id);

  platform::DialogModel& model_;
  std::map<int, QLineEdit*> edits_;
  std::map<int, QListWidget*> lists_;
  std::map<int, QWidget*> widgets_;  // every control with an id of its own
  bool reading_ = false;
};

}  // namespace qtui
