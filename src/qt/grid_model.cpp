// The grid's model over the engine.

#include "qt/grid_model.h"

#include <QBrush>

#include "control/control.h"
#include "qt/cell_painter.h"

namespace qtui {

GridModel::GridModel(engine::Control* control, QObject* parent)
    : QAbstractTableModel(parent), control_(control) {
  if (control_ != nullptr) control_->AddViewer(this);
}

GridModel::~GridModel() { Detach(); }

void GridModel::Detach() {
  if (control_ == nullptr) return;
  control_->RemoveViewer(this);
  control_ = nullptr;
  AllChanged();
}

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : engine::kMaxRow;
}

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : engine::kMaxCol;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (control_ == nullptr || !index.isValid()) return {};
  const int row = index.row() + 1, col = index.column() + 1;
  try {
    switch (role) {
      case Qt::DisplayRole:
        return QString::fromStdString(control_->GetCellFormattedText(row, col));
      case Qt::EditRole:
        return QString::fromStdString(control_->GetCellText(row, col));
      case Qt::TextAlignmentRole:
      case Qt::ForegroundRole:
      case Qt::BackgroundRole:
      case Qt::FontRole: {
        CellPainter painter;
        const CellLook look = painter.Look(*control_, row, col);
        if (role == Qt::TextAlignmentRole) return QVariant(look.alignment);
        if (role == Qt::ForegroundRole) return look.textColor;
        if (role == Qt::FontRole) return look.font != nullptr ? QVariant(*look.font) : QVariant();
        if (look.filled) return QBrush(look.fillFore, look.fillPattern);
        return {};
      }
      default:
        return {};
    }
  } catch (...) {
    return {};
  }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (control_ == nullptr || !index.isValid() || role != Qt::EditRole) return false;
  const int row = index.row() + 1, col = index.column() + 1;
  lastEditEnd_ = engine::Control::EditEnd::Refused;
  try {
    int activeRow = 0, activeCol = 0;
    control_->GetActiveCell(activeRow, activeCol);
    if (!control_->IsEditing() || activeRow != row || activeCol != col) {
      if (control_->IsEditing()) control_->CancelCellEdit();
      control_->SetActiveCell(row, col);
      if (!control_->BeginCellEdit(control_->GetCellText(row, col))) return false;
    }
    control_->SetEditText(value.toString().toStdString());
    lastEditEnd_ = control_->EndPersonEdit();
    switch (lastEditEnd_) {
      case engine::Control::EditEnd::Entered:
        return true;
      case engine::Control::EditEnd::Retry:
        return false;  // the person corrects the entry; the edit goes on
      case engine::Control::EditEnd::Refused:
        break;
    }
    control_->CancelCellEdit();
    return false;
  } catch (...) {
    // An engine error leaves the cell as it was.
    if (control_ != nullptr && control_->IsEditing()) control_->CancelCellEdit();
    return false;
  }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignCenter);
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return QString::number(section + 1);
  if (section < 0 || section >= engine::kMaxCol) return {};
  if (control_ != nullptr) {
    try {
      const std::string heading = control_->GetColumnHeadingText(section + 1);
      if (!heading.empty()) return QString::fromStdString(heading);
    } catch (...) {
    }
  }
  return ColumnLetters(section + 1);
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
  if (control_ != nullptr && control_->GetEnabled()) f |= Qt::ItemIsEditable;
  return f;
}

QString GridModel::ColumnLetters(int col) {
  QString letters;
  for (int n = col; n > 0; n = (n - 1) / 26)
    letters.prepend(QChar(static_cast<char16_t>(u'A' + (n - 1) % 26)));
  return letters;
}

void GridModel::OnCellsChanged(int sheet, int row1, int col1, int row2, int col2) {
  if (control_ == nullptr || sheet != control_->GetActiveSheet()) return;
  emit dataChanged(index(row1 - 1, col1 - 1), index(row2 - 1, col2 - 1));
}

void GridModel::OnSheetChanged(int sheet) {
  if (control_ == nullptr || sheet != control_->GetActiveSheet()) return;
  emit headerDataChanged(Qt::Horizontal, 0, engine::kMaxCol - 1);
  emit dataChanged(index(0, 0), index(engine::kMaxRow - 1, engine::kMaxCol - 1));
  emit sheetChanged();
}

void GridModel::OnWorkbookChanged() {
  AllChanged();
  emit workbookChanged();
}

void GridModel::OnSelectionChanged() { emit selectionChanged(); }
void GridModel::OnShowActiveCell() { emit showActiveCell(); }

void GridModel::AllChanged() {
  emit headerDataChanged(Qt::Horizontal, 0, engine::kMaxCol - 1);
  emit dataChanged(index(0, 0), index(engine::kMaxRow - 1, engine::kMaxCol - 1));
}

}  // namespace qtui
