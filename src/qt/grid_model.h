#pragma once
// The grid's model: the engine's active sheet as a Qt table model of the sheet's full size
// (65,536 rows, 256 columns). It reads only the cells a view asks for and turns the engine's
// change notices into dataChanged and headerDataChanged for the block that changed; it never
// resets for an edit (the size never changes).

#include <QAbstractTableModel>

#include "control/control.h"
#include "control/control_events.h"

namespace engine {
class Control;
}

namespace qtui {

class GridModel : public QAbstractTableModel, private engine::ControlViewer {
  Q_OBJECT

 public:
  explicit GridModel(engine::Control* control, QObject* parent = nullptr);
  ~GridModel() override;

  // The engine goes away (the table's window is destroyed): the model shows nothing from now on.
  void Detach();
  engine::Control* Control() const { return control_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  // An edit of a cell by a person: the engine's in-cell edit ends with the text, checked against
  // the cell's validation rule first (EndEdit runs unless the rule refuses it; the engine's edit
  // goes on when the person chose to correct the entry). An edit the engine did not start is
  // started first (StartEdit runs).
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  // How the last setData ended the engine's edit.
  engine::Control::EditEnd LastEditEnd() const { return lastEditEnd_; }
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The column letters of column col (1-based): A … Z, AA … IV.
  static QString ColumnLetters(int col);

 signals:
  // The engine's notices, for the view: widths, hidden rows and columns (sheetChanged), sheets
  // and everything else (workbookChanged), the selection.
  void sheetChanged();
  void workbookChanged();
  void selectionChanged();
  void showActiveCell();

 private:
  void OnCellsChanged(int sheet, int row1, int col1, int row2, int col2) override;
  void OnSheetChanged(int sheet) override;
  void OnWorkbookChanged() override;
  void OnSelectionChanged() override;
  void OnShowActiveCell() override;
  void AllChanged();

  engine::Control* control_;
  engine::Control::EditEnd lastEditEnd_ = engine::Control::EditEnd::Entered;
};

}  // namespace qtui
