// The grid view: selection in both directions, in-cell editing and the person's actions.

#include "qt/grid_view.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "control/control.h"
#include "qt/cell_painter.h"
#include "qt/cell_validation.h"
#include "qt/grid_model.h"

namespace qtui {

namespace {
constexpr int kRowHeight = 20;
}

GridView::GridView(GridModel* model, QWidget* parent)
    : QTableView(parent), model_(model), painter_(new CellPainter) {
  validation_ = new CellValidationAids(this);
  setModel(model_);
  setItemDelegate(new GridDelegate(this));
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setTabKeyNavigation(false);
  setWordWrap(false);
  setCornerButtonEnabled(true);
  // Rows take the heights the sheet gives them, however small.
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setHighlightSections(true);
  horizontalHeader()->viewport()->installEventFilter(this);
  verticalHeader()->viewport()->installEventFilter(this);
  if (auto* corner = findChild<QAbstractButton*>()) corner->installEventFilter(this);

  connect(model_, &GridModel::selectionChanged, this, [this] {
    if (!pushing_) ShowEngineSelection();
  });
  connect(model_, &GridModel::showActiveCell, this, [this] {
    if (Control() == nullptr) return;
    int row = 1, col = 1;
    Control()->GetActiveCell(row, col);
    scrollTo(model_->index(row - 1, col - 1));
  });
  connect(model_, &GridModel::sheetChanged, this, &GridView::ShowEngineLayout);
  connect(model_, &GridModel::workbookChanged, this, [this] {
    ShowEngineLayout();
    ShowEngineSelection();
  });
  const auto follow = [this] { validation_->Update(); };
  connect(model_, &QAbstractItemModel::dataChanged, this, follow);
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, follow);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, follow);
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, follow);
  connect(verticalHeader(), &QHeaderView::sectionResized, this, follow);
  ShowEngineLayout();
  ShowEngineSelection();
}

GridView::~GridView() { delete painter_; }

engine::Control* GridView::Control() const { return model_->Control(); }

template <typename F>
void GridView::Report(F&& call) {
  if (Control() == nullptr) return;
  try {
    call(*Control());
  } catch (...) {
  }
}

int GridView::PixelWidth(int width) const {
  // Widths count digits of the workbook's default font, the font its cells are drawn in.
  QFont font = this->font();
  if (const engine::Control* control = Control(); control != nullptr) {
    std::string face;
    int twips = 0;
    control->GetDefaultFont(face, twips);
    if (!face.empty()) font.setFamily(QString::fromStdString(face));
    if (twips > 0) font.setPointSizeF(twips / 20.0);
  }
  if (digitWidth_ == 0 || font != digitFont_) {
    digitFont_ = font;
    digitWidth_ = std::max(1, QFontMetrics(font).horizontalAdvance(QLatin1Char('0')));
  }
  return static_cast<int>(std::lround(width / 256.0 * digitWidth_)) + 5;
}

void GridView::ShowEngineLayout() {
  engine::Control* control = Control();
  if (control == nullptr) return;
  try {
    for (int c = 1; c <= engine::kMaxCol; ++c) {
      const bool hidden = control->GetColumnHidden(c);
      const int px = PixelWidth(control->GetColumnWidth(c));
      if (columnWidth(c - 1) != px && !hidden) setColumnWidth(c - 1, px);
      if (isColumnHidden(c - 1) != hidden) setColumnHidden(c - 1, hidden);
    }
    ShowEngineRows(*control);
  } catch (...) {
  }
}

int GridView::RowPixels(int twips) const {
  return static_cast<int>(std::lround(twips * logicalDpiY() / 1440.0));
}

void GridView::ShowEngineRows(const engine::Control& control) {
  QHeaderView* rows = verticalHeader();
  const int defaultTwips = control.GetDefaultRowHeight();
  const int defaultPx = defaultTwips > 0 ? std::max(1, RowPixels(defaultTwips)) : kRowHeight;
  // The header takes every row's size quietly (one by one it would lay itself out again for
  // each row); the view lays itself out once at the end.
  const bool blocked = rows->blockSignals(true);
  const bool updates = rows->updatesEnabled();
  rows->setUpdatesEnabled(false);
  if (rows->defaultSectionSize() != defaultPx) rows->setDefaultSectionSize(defaultPx);
  for (int r = 1; r <= engine::kMaxRow; ++r) {
    const int own = control.GetRowHeight(r);
    const int px = own > 0 ? RowPixels(own) : defaultPx;
    // A row too low to show a pixel is hidden, as a spreadsheet hides a row of height 0.
    const bool hidden = control.GetRowHidden(r) || px <= 0;
    if (hidden) {
      if (!rows->isSectionHidden(r - 1)) rows->setSectionHidden(r - 1, true);
      continue;
    }
    if (rows->isSectionHidden(r - 1)) rows->setSectionHidden(r - 1, false);
    if (rows->sectionSize(r - 1) != px) rows->resizeSection(r - 1, px);
  }
  rows->setUpdatesEnabled(updates);
  rows->blockSignals(blocked);
  updateGeometries();
  rows->viewport()->update();
  viewport()->update();
}

void GridView::ShowEngineSelection() {
  engine::Control* control = Control();
  if (control == nullptr || selectionModel() == nullptr) return;
  QItemSelection selection;
  int activeRow = 1, activeCol = 1;
  try {
    const int count = control->GetSelectionCount();
    for (int i = 0; i < count; ++i) {
      int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
      control->GetSelection(i, r1, c1, r2, c2);
      selection.append(
          QItemSelectionRange(model_->index(r1 - 1, c1 - 1), model_->index(r2 - 1, c2 - 1)));
    }
    control->GetActiveCell(activeRow, activeCol);
  } catch (...) {
  }
  syncing_ = true;
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  const QModelIndex active = model_->index(activeRow - 1, activeCol - 1);
  selectionModel()->setCurrentIndex(active, QItemSelectionModel::NoUpdate);
  syncing_ = false;
  viewport()->update();
  validation_->Update();
}

void GridView::PushSelection() {
  engine::Control* control = Control();
  if (syncing_ || control == nullptr || selectionModel() == nullptr) return;
  const QItemSelection selection = selectionModel()->selection();
  const QModelIndex current = currentIndex();
  pushing_ = true;
  try {
    bool first = true;
    for (const QItemSelectionRange& range : selection) {
      if (!range.isValid()) continue;
      if (first)
        control->SetSelection(range.top() + 1, range.left() + 1, range.bottom() + 1,
                              range.right() + 1);
      else
        control->AddSelection(range.top() + 1, range.left() + 1, range.bottom() + 1,
                              range.right() + 1);
      first = false;
    }
    if (current.isValid()) control->SetActiveCell(current.row() + 1, current.column() + 1);
  } catch (...) {
  }
  pushing_ = false;
}

void GridView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                           const QList<int>& roles) {
  QTableView::dataChanged(topLeft, bottomRight, roles);
  if (!topLeft.isValid() || !bottomRight.isValid()) return;
  const int top = rowViewportPosition(topLeft.row());
  const int bottom = rowViewportPosition(bottomRight.row()) + rowHeight(bottomRight.row());
  if (bottom <= 0 || top >= viewport()->height()) return;
  viewport()->update(QRect(0, std::max(0, top), viewport()->width(), bottom - std::max(0, top)));
}

void GridView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
  QTableView::selectionChanged(selected, deselected);
  PushSelection();
}

void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  PushSelection();
  validation_->Update();
}

bool GridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  engine::Control* control = Control();
  const bool opens = trigger == QAbstractItemView::AllEditTriggers || (editTriggers() & trigger);
  if (control == nullptr || !index.isValid() || !opens || state() == EditingState ||
      !(model_->flags(index) & Qt::ItemIsEditable))
    return QTableView::edit(index, trigger, event);
  // The engine's edit starts first: its StartEdit may refuse it.
  try {
    if (control->IsEditing()) control->CancelCellEdit();
    int row = 0, col = 0;
    control->GetActiveCell(row, col);
    if (row != index.row() + 1 || col != index.column() + 1) {
      pushing_ = true;
      control->SetActiveCell(index.row() + 1, index.column() + 1);
      pushing_ = false;
    }
    if (!control->BeginCellEdit(control->GetCellText(index.row() + 1, index.column() + 1)))
      return false;
  } catch (...) {
    pushing_ = false;
    return false;
  }
  replaceOnType_ = trigger == QAbstractItemView::AnyKeyPressed;
  const bool opened = QTableView::edit(index, trigger, event);
  replaceOnType_ = false;
  if (!opened && control->IsEditing()) control->CancelCellEdit();
  return opened;
}

void GridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  engine::Control* control = Control();
  if (hint == QAbstractItemDelegate::RevertModelCache && control != nullptr && control->IsEditing())
    control->CancelCellEdit();
  QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
  if (control != nullptr && control->IsEditing()) control->CancelCellEdit();
  // Only Enter and Tab move on: the view also closes an editor with these hints when the
  // current cell changes under it (an arrow key, a click), and then it has moved already.
  if (!keyboardCommit_) return;
  switch (hint) {
    case QAbstractItemDelegate::SubmitModelCache:  // Enter
      MoveCurrent(1, 0);
      break;
    case QAbstractItemDelegate::EditNextItem:  // Tab
      MoveCurrent(0, 1);
      break;
    case QAbstractItemDelegate::EditPreviousItem:  // Shift+Tab
      MoveCurrent(0, -1);
      break;
    default:
      break;
  }
}

void GridView::CommitFromKeyboard(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  engine::Control* control = Control();
  commitData(editor);  // the model ends the engine's edit; a rule's alert may come up
  if (control != nullptr && control->IsEditing() &&
      model_->LastEditEnd() == engine::Control::EditEnd::Retry) {
    editor->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(editor)) line->selectAll();
    return;
  }
  if (model_->LastEditEnd() == engine::Control::EditEnd::Refused)
    hint = QAbstractItemDelegate::NoHint;  // the cell is as it was and stays active
  keyboardCommit_ = true;
  closeEditor(editor, hint);
  keyboardCommit_ = false;
}

bool GridView::EnterChoice(const QString& text) {
  engine::Control* control = Control();
  if (control == nullptr) return false;
  if (IsEditing() && editor_ != nullptr) {
    // The list chose while the cell was being edited: the choice is what the person typed.
    if (auto* line = qobject_cast<QLineEdit*>(editor_.data())) {
      line->setText(text);
      control->SetEditText(text.toStdString());
    }
    CommitFromKeyboard(editor_, QAbstractItemDelegate::NoHint);
    return model_->LastEditEnd() == engine::Control::EditEnd::Entered;
  }
  const QModelIndex index = currentIndex();
  if (!index.isValid()) return false;
  if (model_->setData(index, text, Qt::EditRole)) return true;
  if (control->IsEditing()) control->CancelCellEdit();  // a choice is not corrected in place
  return false;
}

void GridView::MoveCurrent(int rowStep, int colStep) {
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return;
  const int row = std::clamp(current.row() + rowStep, 0, engine::kMaxRow - 1);
  const int col = std::clamp(current.column() + colStep, 0, engine::kMaxCol - 1);
  const QModelIndex next = model_->index(row, col);
  selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect);
  scrollTo(next);
}

short GridView::KeyCode(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<short>('A' + (key - Qt::Key_A));
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<short>('0' + (key - Qt::Key_0));
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<short>(0x70 + key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace:
      return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 0x0D;
    case Qt::Key_Shift:
      return 0x10;
    case Qt::Key_Control:
      return 0x11;
    case Qt::Key_Alt:
      return 0x12;
    case Qt::Key_Escape:
      return 0x1B;
    case Qt::Key_Space:
      return 0x20;
    case Qt::Key_PageUp:
      return 0x21;
    case Qt::Key_PageDown:
      return 0x22;
    case Qt::Key_End:
      return 0x23;
    case Qt::Key_Home:
      return 0x24;
    case Qt::Key_Left:
      return 0x25;
    case Qt::Key_Up:
      return 0x26;
    case Qt::Key_Right:
      return 0x27;
    case Qt::Key_Down:
      return 0x28;
    case Qt::Key_Insert:
      return 0x2D;
    case Qt::Key_Delete:
      return 0x2E;
    default:
      return 0;
  }
}

short GridView::ShiftState(Qt::KeyboardModifiers modifiers) {
  short state = 0;
  if (modifiers & Qt::ShiftModifier) state |= 1;
  if (modifiers & Qt::ControlModifier) state |= 2;
  if (modifiers & Qt::AltModifier) state |= 4;
  return state;
}

void GridView::keyPressEvent(QKeyEvent* event) {
  if (state() != EditingState && event->key() == Qt::Key_Down &&
      event->modifiers() == Qt::AltModifier && validation_->OpenList()) {
    event->accept();
    return;
  }
  short key = KeyCode(event->key());
  if (key != 0 && Control() != nullptr) {
    Report([&](engine::Control& c) { c.KeyDown(key, ShiftState(event->modifiers())); });
    if (key == 0) {  // the listener swallowed the key
      event->accept();
      return;
    }
  }
  if (state() != EditingState && event->modifiers() == Qt::NoModifier) {
    switch (event->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        MoveCurrent(1, 0);
        event->accept();
        return;
      case Qt::Key_Tab:
        MoveCurrent(0, 1);
        event->accept();
        return;
      default:
        break;
    }
  }
  if (state() != EditingState && event->key() == Qt::Key_Backtab) {
    MoveCurrent(0, -1);
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

void GridView::mousePressEvent(QMouseEvent* event) {
  QTableView::mousePressEvent(event);
  const QModelIndex index = indexAt(event->position().toPoint());
  if (!index.isValid()) return;
  const int row = index.row() + 1, col = index.column() + 1;
  if (event->button() == Qt::LeftButton)
    Report([&](engine::Control& c) { c.Click(row, col); });
  else if (event->button() == Qt::RightButton)
    Report([&](engine::Control& c) { c.RClick(row, col); });
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid()) {
    const int row = index.row() + 1, col = index.column() + 1;
    if (event->button() == Qt::LeftButton)
      Report([&](engine::Control& c) { c.DblClick(row, col); });
    else if (event->button() == Qt::RightButton)
      Report([&](engine::Control& c) { c.RDblClick(row, col); });
  }
  QTableView::mouseDoubleClickEvent(event);
}

void GridView::contextMenuEvent(QContextMenuEvent* event) {
  emit contextMenuRequested(event->globalPos());
  event->accept();
}

bool GridView::eventFilter(QObject* watched, QEvent* event) {
  const bool press = event->type() == QEvent::MouseButtonPress;
  const bool dbl = event->type() == QEvent::MouseButtonDblClick;
  if (!press && !dbl) return QTableView::eventFilter(watched, event);
  auto* mouse = static_cast<QMouseEvent*>(event);
  int row = -1, col = -1;
  if (watched == horizontalHeader()->viewport()) {
    const int section = horizontalHeader()->logicalIndexAt(mouse->position().toPoint());
    if (section >= 0) row = 0, col = section + 1;
  } else if (watched == verticalHeader()->viewport()) {
    const int section = verticalHeader()->logicalIndexAt(mouse->position().toPoint());
    if (section >= 0) row = section + 1, col = 0;
  } else if (qobject_cast<QAbstractButton*>(watched) != nullptr) {
    row = 0, col = 0;
  }
  if (row < 0) return QTableView::eventFilter(watched, event);
  const bool left = mouse->button() == Qt::LeftButton;
  const bool right = mouse->button() == Qt::RightButton;
  if (!left && !right) return QTableView::eventFilter(watched, event);
  // The heading does its own selecting first, so the engine's event sees the new selection.
  if (press) {
    QMetaObject::invokeMethod(
        this,
        [this, row, col, left] {
          Report([&](engine::Control& c) { left ? c.Click(row, col) : c.RClick(row, col); });
        },
        Qt::QueuedConnection);
    return false;
  }
  Report([&](engine::Control& c) { left ? c.DblClick(row, col) : c.RDblClick(row, col); });
  return true;
}

namespace {

// A column of the painted area: its logical index and where it is.
struct PaintColumn {
  int col, x, w;
};

// Text flows over empty neighbours: text cells aligned left, right or centred (numbers show "#"
// instead, logical values and errors are cut at the cell's edges).
bool Spills(const CellLook& look) {
  const short kind = look.type < 0 ? static_cast<short>(-look.type) : look.type;
  return kind == engine::kTypeText && !(look.alignment & Qt::AlignJustify);
}

}  // namespace

void GridView::paintEvent(QPaintEvent* event) {
  engine::Control* control = Control();
  QPainter painter(viewport());
  const QRect area = event->rect();
  const QBrush base = palette().base();
  painter.fillRect(area, base);
  if (control == nullptr) return;
  const QHeaderView* rows = verticalHeader();
  const QHeaderView* cols = horizontalHeader();
  const auto span = [](const QHeaderView* header, int from, int to) {
    int first = header->visualIndexAt(from), last = header->visualIndexAt(to);
    if (first < 0) first = 0;
    if (last < 0) last = header->count() - 1;
    return std::pair{first, last};
  };
  const auto [firstRow, lastRow] = span(rows, area.top(), area.bottom());
  const auto [firstCol, lastCol] = span(cols, area.left(), area.right());
  std::vector<PaintColumn> columns;
  for (int vc = firstCol; vc <= lastCol; ++vc) {
    const int c = cols->logicalIndex(vc);
    if (!cols->isSectionHidden(c))
      columns.push_back({c, cols->sectionViewportPosition(c), cols->sectionSize(c)});
  }
  std::vector<int> visibleRows;
  for (int vr = firstRow; vr <= lastRow; ++vr) {
    const int r = rows->logicalIndex(vr);
    if (!rows->isSectionHidden(r)) visibleRows.push_back(r);
  }
  if (columns.empty() || visibleRows.empty()) return;
  const std::size_t n = columns.size();
  const auto cellRect = [&](int r, const PaintColumn& c) {
    return QRect(c.x, rows->sectionViewportPosition(r), c.w - 1, rows->sectionSize(r) - 1);
  };

  // The visible cells, each read once; their fills.
  std::vector<CellLook> looks(visibleRows.size() * n);
  for (std::size_t i = 0; i < visibleRows.size(); ++i)
    for (std::size_t j = 0; j < n; ++j) {
      CellLook& look = looks[i * n + j];
      look = painter_->Look(*control, visibleRows[i] + 1, columns[j].col + 1);
      CellPainter::PaintFill(painter, cellRect(visibleRows[i], columns[j]), look);
    }

  // The grid lines, as one-pixel rectangles (far cheaper than lines).
  const int right = columns.back().x + columns.back().w - 1;
  const int bottom =
      rows->sectionViewportPosition(visibleRows.back()) + rows->sectionSize(visibleRows.back()) - 1;
  const QColor gridColor = palette().color(QPalette::Mid);
  if (showGrid()) {
    const int x1 = area.left(), x2 = std::min(area.right(), right);
    for (int r : visibleRows) {
      const int y = rows->sectionViewportPosition(r) + rows->sectionSize(r) - 1;
      painter.fillRect(QRect(x1, y, x2 - x1 + 1, 1), gridColor);
    }
    const int y1 = area.top(), y2 = std::min(area.bottom(), bottom);
    for (const PaintColumn& c : columns)
      painter.fillRect(QRect(c.x + c.w - 1, y1, 1, y2 - y1 + 1), gridColor);
  }

  // Text, row by row: a text too wide for its cell flows over the empty cells beside it (the
  // grid lines under it go) up to the first cell that holds something. A text may come from a
  // cell outside the painted area: beside an empty first or last cell, the nearest cell
  // outside that holds something is read too.
  struct PlacedText {
    QRect cell;
    int clipLeft, clipRight;
    const CellLook* look;
    CellPainter::TextLayout layout;
  };
  std::vector<PlacedText> texts;
  CellLook outside[2];
  int lastUsedCol = engine::kMaxCol;  // columns right of it hold nothing
  try {
    lastUsedCol = control->GetLastCol();
  } catch (...) {
  }
  const auto nearestOutside = [&](int r, int fromVisual, int step) {
    for (int vc = fromVisual; vc >= 0 && vc < cols->count(); vc += step) {
      const int c = cols->logicalIndex(vc);
      if (c >= lastUsedCol || cols->isSectionHidden(c)) continue;
      try {
        if (control->GetCellType(r + 1, c + 1) != engine::kTypeEmpty) return c;
      } catch (...) {
        return -1;
      }
    }
    return -1;
  };
  constexpr int kFar = 1 << 28;  // beyond the viewport: the viewport cuts the text there
  for (std::size_t i = 0; i < visibleRows.size(); ++i) {
    const int r = visibleRows[i];
    const CellLook* row = &looks[i * n];
    const auto empty = [&](std::size_t j) { return row[j].type == engine::kTypeEmpty; };
    texts.clear();
    // Extends a text's clip over empty visible cells; k is the visible index of the cell it
    // starts in, or -1 / n for a cell left / right of the painted area.
    const auto place = [&](const CellLook& look, const QRect& cell, long k) {
      PlacedText t{cell, cell.left(), cell.right(), &look, {}};
      painter_->LayOut(look, cell.width() - 2 * CellPainter::kTextMargin, t.layout);
      if (t.layout.text.isEmpty()) return;
      if (Spills(look)) {
        const qreal left = CellPainter::TextLeft(cell, look.alignment, t.layout.width);
        const qreal right = left + t.layout.width;
        const auto junction = [&](std::size_t a) {
          // The grid line right of visible cell a goes under the text.
          const QRect line(columns[a].x + columns[a].w - 1, cell.top(), 1, cell.height());
          if (a + 1 < n && row[a + 1].filled)
            CellPainter::PaintFill(painter, line, row[a + 1]);
          else
            painter.fillRect(line, base);
        };
        for (long j = k + 1; right > t.clipRight - CellPainter::kTextMargin + 1; ++j) {
          if (j >= static_cast<long>(n)) {
            t.clipRight = kFar;
            break;
          }
          if (j < 0) continue;
          if (!empty(static_cast<std::size_t>(j))) break;
          if (j > 0 && showGrid()) junction(static_cast<std::size_t>(j - 1));
          t.clipRight =
              columns[static_cast<std::size_t>(j)].x + columns[static_cast<std::size_t>(j)].w - 2;
        }
        for (long j = k - 1; left < t.clipLeft + CellPainter::kTextMargin; --j) {
          if (j < 0) {
            t.clipLeft = -kFar;
            break;
          }
          if (j >= static_cast<long>(n)) continue;
          if (!empty(static_cast<std::size_t>(j))) break;
          if (showGrid() && static_cast<std::size_t>(j) + 1 < n)
            junction(static_cast<std::size_t>(j));
          t.clipLeft = columns[static_cast<std::size_t>(j)].x;
        }
      }
      texts.push_back(std::move(t));
    };
    if (empty(0)) {
      const int c = nearestOutside(r, cols->visualIndex(columns[0].col) - 1, -1);
      if (c >= 0) {
        outside[0] = painter_->Look(*control, r + 1, c + 1);
        if (Spills(outside[0]) && !(outside[0].alignment & Qt::AlignRight))
          place(outside[0],
                cellRect(r, {c, cols->sectionViewportPosition(c), cols->sectionSize(c)}), -1);
      }
    }
    if (empty(n - 1)) {
      const int c = nearestOutside(r, cols->visualIndex(columns[n - 1].col) + 1, 1);
      if (c >= 0) {
        outside[1] = painter_->Look(*control, r + 1, c + 1);
        if (Spills(outside[1]) && !(outside[1].alignment & Qt::AlignLeft))
          place(outside[1],
                cellRect(r, {c, cols->sectionViewportPosition(c), cols->sectionSize(c)}),
                static_cast<long>(n));
      }
    }
    for (std::size_t j = 0; j < n; ++j)
      if (!row[j].text.isEmpty()) place(row[j], cellRect(r, columns[j]), static_cast<long>(j));
    for (const PlacedText& t : texts)
      CellPainter::PaintText(painter, t.cell, t.clipLeft, t.clipRight, *t.look, t.layout);
  }

  // Borders, the selection and the active cell.
  const QItemSelectionModel* selection = selectionModel();
  QColor highlight = palette().color(QPalette::Highlight);
  highlight.setAlpha(60);
  const QModelIndex current = currentIndex();
  QRect currentRect;
  for (std::size_t i = 0; i < visibleRows.size(); ++i)
    for (std::size_t j = 0; j < n; ++j) {
      const QRect cell = cellRect(visibleRows[i], columns[j]);
      CellPainter::PaintBorders(painter, cell, looks[i * n + j]);
      const QModelIndex index = model_->index(visibleRows[i], columns[j].col);
      if (selection != nullptr && selection->isSelected(index)) painter.fillRect(cell, highlight);
      if (index == current) currentRect = cell;
    }
  if (currentRect.isValid()) {
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(currentRect.adjusted(1, 1, -1, -1));
  }
}

// --- Delegate ---------------------------------------------------------------------------------

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                    const QModelIndex& /*index*/) const {
  auto* editor = new QLineEdit(parent);
  editor->setFrame(false);
  GridView* view = view_;
  view->SetEditor(editor);
  connect(editor, &QLineEdit::textEdited, editor, [view](const QString& text) {
    if (engine::Control* control = view->Control(); control != nullptr && control->IsEditing())
      control->SetEditText(text.toStdString());
  });
  return editor;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* line = qobject_cast<QLineEdit*>(editor);
  if (line == nullptr) return;
  if (view_->ReplaceOnType()) {
    line->clear();
  } else {
    line->setText(index.data(Qt::EditRole).toString());
  }
  if (engine::Control* control = view_->Control(); control != nullptr && control->IsEditing())
    control->SetEditText(line->text().toStdString());
}

bool GridDelegate::eventFilter(QObject* object, QEvent* event) {
  auto* editor = qobject_cast<QWidget*>(object);
  if (editor != nullptr && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    switch (key->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        if (mods != Qt::NoModifier) break;
        view_->CommitFromKeyboard(editor, QAbstractItemDelegate::SubmitModelCache);
        return true;
      case Qt::Key_Tab:
        if (mods != Qt::NoModifier) break;
        view_->CommitFromKeyboard(editor, QAbstractItemDelegate::EditNextItem);
        return true;
      case Qt::Key_Backtab:
        view_->CommitFromKeyboard(editor, QAbstractItemDelegate::EditPreviousItem);
        return true;
      default:
        break;
    }
  }
  return QStyledItemDelegate::eventFilter(object, event);
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const {
  if (auto* line = qobject_cast<QLineEdit*>(editor)) model->setData(index, line->text());
}

}  // namespace qtui
