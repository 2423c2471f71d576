#pragma once
// The grid: the one table view of the table's window, over a GridModel. It keeps the view's
// selection and the engine's blocks and active cell the same in both directions, edits cells as
// a spreadsheet does (typing starts an edit, F2 edits, Enter commits and moves down, Tab right,
// Escape cancels) through the engine's in-cell edit, and reports clicks, double-clicks and keys
// to the engine with its coordinates: row 0 is the column-heading row, column 0 the row-heading
// column. A person's entry is checked against the cell's validation rule when it is committed;
// the active cell shows its rule's drop-down and input message (CellValidationAids).

#include <QFont>
#include <QPoint>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

namespace engine {
class Control;
}

namespace qtui {

class CellPainter;
class CellValidationAids;
class GridModel;

class GridView : public QTableView {
  Q_OBJECT

 public:
  GridView(GridModel* model, QWidget* parent = nullptr);
  ~GridView() override;

  using QTableView::edit;
  GridModel* Model() const { return model_; }
  // True while a cell's editor is open.
  bool IsEditing() const { return state() == EditingState; }
  engine::Control* Control() const;
  CellPainter& Painter() { return *painter_; }
  // True while an edit started by typing: the editor starts empty (the key replaces the text).
  bool ReplaceOnType() const { return replaceOnType_; }
  CellValidationAids& Validation() { return *validation_; }

  // Enters a text chosen from the active cell's list as the person's entry; false when the
  // engine refused it (the cell is as it was).
  bool EnterChoice(const QString& text);
  // Enter, Tab or Shift+Tab in an editor: commits the entry, and closes the editor unless a
  // rule refused the entry and the person chose to correct it (the editor stays, text selected).
  void CommitFromKeyboard(QWidget* editor, QAbstractItemDelegate::EndEditHint hint);
  void SetEditor(QWidget* editor) { editor_ = editor; }

  // Shows the engine's selection and active cell, and its widths and hidden rows and columns.
  void ShowEngineSelection();
  void ShowEngineLayout();

  // The pixel width of a column width in 1/256 of a character of the default font.
  int PixelWidth(int width) const;
  // The pixel height of a row height in twips.
  int RowPixels(int twips) const;

  // The engine's key code and shift state of a key event (0 when the key has no code).
  static short KeyCode(int qtKey);
  static short ShiftState(Qt::KeyboardModifiers modifiers);

 signals:
  void contextMenuRequested(const QPoint& globalPos);

 protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  // A changed cell's text may flow over its neighbours: its rows are drawn again across the view.
  void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                   const QList<int>& roles = QList<int>()) override;
  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Draws the visible cells straight from the engine (the delegate's per-cell style options
  // cost more than the cells themselves), then the grid, the selection and the active cell.
  void paintEvent(QPaintEvent* event) override;

 private:
  // Row heights (the sheet's default and each row's own) and hidden rows.
  void ShowEngineRows(const engine::Control& control);
  void PushSelection();
  void MoveCurrent(int rowStep, int colStep);
  // Runs an engine call that reports a person's action; an engine error is dropped (the view
  // stays as it was).
  template <typename F>
  void Report(F&& call);

  GridModel* model_;
  CellPainter* painter_;
  bool syncing_ = false;  // showing the engine's selection: not to be pushed back
  bool pushing_ = false;  // pushing the view's selection: the engine's notice is our own
  bool replaceOnType_ = false;
  bool keyboardCommit_ = false;  // closing an editor for Enter or Tab, which move on
  CellValidationAids* validation_ = nullptr;
  QPointer<QWidget> editor_;  // the open editor
  // The width of a digit of the default font, for column widths.
  mutable QFont digitFont_;
  mutable int digitWidth_ = 0;
};

// Edits cells in a line edit whose text is the engine's edit text as it is typed (the view
// paints the cells itself).
class GridDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit GridDelegate(GridView* view) : QStyledItemDelegate(view), view_(view) {}
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;

 protected:
  // Enter and Tab commit through the view, which may keep the editor open for a correction.
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  GridView* view_;
};

}  // namespace qtui
