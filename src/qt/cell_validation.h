#pragma once
// What a validation rule shows on the grid's active cell: the drop-down button of a list rule,
// its list of items (the rule's own or its range's, read when the list opens) in a popup, and
// the rule's input message in a small yellow note beside the cell. Choosing an item enters it
// as the person's entry. The aids are widgets over the view's viewport, so the cell painting
// stays the view's own.

#include <QObject>
#include <QString>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QToolButton;

namespace qtui {

class GridView;

class CellValidationAids : public QObject {
  Q_OBJECT

 public:
  explicit CellValidationAids(GridView* view);
  ~CellValidationAids() override;

  // Shows or hides the button and the note for the active cell where it is now.
  void Update();
  // Opens the active cell's list; false when it has none.
  bool OpenList();

  QToolButton* Button() const { return button_; }
  QListWidget* List() const { return list_; }
  QLabel* Note() const { return note_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Choose(QListWidgetItem* item);

  GridView* view_;
  QToolButton* button_;
  QListWidget* list_;  // a popup window of its own
  QLabel* note_;
  int row_ = 0, col_ = 0;  // the cell the aids are shown for
};

}  // namespace qtui
