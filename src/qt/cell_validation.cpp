// The drop-down and the input message of the active cell's validation rule.

#include "qt/cell_validation.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QToolButton>
#include <algorithm>

#include "control/control.h"
#include "qt/grid_model.h"
#include "qt/grid_view.h"

namespace qtui {

namespace {
constexpr int kNoteWidth = 220;
constexpr int kVisibleItems = 8;

QString NoteHtml(const engine::ValidationRule& rule) {
  QString html;
  if (!rule.inputTitle.empty())
    html += "<b>" + QString::fromStdString(rule.inputTitle).toHtmlEscaped() + "</b>";
  if (!rule.inputText.empty()) {
    if (!html.isEmpty()) html += "<br>";
    html += QString::fromStdString(rule.inputText).toHtmlEscaped().replace('\n', "<br>");
  }
  return html;
}
}  // namespace

CellValidationAids::CellValidationAids(GridView* view)
    : QObject(view),
      view_(view),
      button_(new QToolButton(view->viewport())),
      list_(new QListWidget(view)),
      note_(new QLabel(view->viewport())) {
  button_->setObjectName("validationDropDown");
  list_->setObjectName("validationList");
  button_->setArrowType(Qt::DownArrow);
  button_->setFocusPolicy(Qt::NoFocus);
  button_->setCursor(Qt::ArrowCursor);
  button_->setToolTip(tr("Choose from the list (Alt+Down)"));
  button_->hide();
  connect(button_, &QToolButton::clicked, this, [this] { OpenList(); });

  list_->setWindowFlags(Qt::Popup);
  list_->setFocusPolicy(Qt::StrongFocus);
  list_->installEventFilter(this);
  list_->hide();
  connect(list_, &QListWidget::itemClicked, this, &CellValidationAids::Choose);
  connect(list_, &QListWidget::itemActivated, this, &CellValidationAids::Choose);

  note_->setObjectName("validationInputNote");
  note_->setTextFormat(Qt::RichText);
  note_->setWordWrap(true);
  note_->setMargin(4);
  note_->setFrameShape(QFrame::Box);
  note_->setAttribute(Qt::WA_TransparentForMouseEvents);
  note_->setAutoFillBackground(true);
  QPalette yellow = note_->palette();
  yellow.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xE1));
  yellow.setColor(QPalette::WindowText, Qt::black);
  note_->setPalette(yellow);
  note_->hide();
}

CellValidationAids::~CellValidationAids() = default;

void CellValidationAids::Update() {
  engine::Control* control = view_->Control();
  const engine::ValidationRule* rule = nullptr;
  row_ = col_ = 0;
  bool pickable = false;
  if (control != nullptr) {
    try {
      control->GetActiveCell(row_, col_);
      rule = control->GetValidationRule(row_, col_);
      pickable = control->GetEnabled();
    } catch (...) {
      rule = nullptr;
    }
  }
  const QRect cell = view_->visualRect(view_->Model()->index(row_ - 1, col_ - 1));
  const QRect area = view_->viewport()->rect();
  const bool seen = rule != nullptr && cell.isValid() && area.intersects(cell);

  const bool drop =
      seen && pickable && rule->type == engine::ValidationType::List && rule->dropDown;
  if (drop) {
    const int side = std::max(12, cell.height() - 1);
    button_->setGeometry(cell.right() - side + 1, cell.top(), side, side);
    button_->show();
    button_->raise();
  } else {
    button_->hide();
    list_->hide();
  }

  const bool prompts = control != nullptr && !control->GetSheetFeatures().validationPromptsHidden;
  // The open list covers the place below the cell; the note waits until it closes.
  const QString html =
      seen && prompts && rule->showInput && list_->isHidden() ? NoteHtml(*rule) : QString();
  if (html.isEmpty()) {
    note_->hide();
    return;
  }
  note_->setText(html);
  note_->setFixedWidth(kNoteWidth);
  note_->adjustSize();
  // Beside the cell on its right, a little down; below it where the viewport ends on the right,
  // and above it where it ends below.
  QPoint at(cell.right() + 6, cell.top() + cell.height() / 2);
  if (at.x() + note_->width() > area.right()) {
    at = QPoint(cell.left() + std::min(cell.width() / 2, 40), cell.bottom() + 6);
    if (at.y() + note_->height() > area.bottom() && cell.top() - note_->height() - 6 >= 0)
      at.setY(cell.top() - note_->height() - 6);
  }
  at.setX(std::clamp(at.x(), 0, std::max(0, area.right() - note_->width())));
  at.setY(std::clamp(at.y(), 0, std::max(0, area.bottom() - note_->height())));
  note_->move(at);
  note_->show();
  note_->raise();
}

bool CellValidationAids::OpenList() {
  engine::Control* control = view_->Control();
  if (control == nullptr) return false;
  Update();
  if (button_->isHidden()) return false;
  std::vector<std::string> items;
  std::string current;
  try {
    items = control->ValidationListItems(row_, col_);
    current = control->GetCellFormattedText(row_, col_);
  } catch (...) {
    return false;
  }
  list_->clear();
  for (const std::string& item : items) list_->addItem(QString::fromStdString(item));
  if (list_->count() == 0) list_->addItem(QString());  // a source that gives nothing
  const auto found = list_->findItems(QString::fromStdString(current), Qt::MatchExactly);
  list_->setCurrentRow(found.isEmpty() ? 0 : list_->row(found.front()));
  const QRect cell = view_->visualRect(view_->Model()->index(row_ - 1, col_ - 1));
  const int rowHeight = std::max(list_->sizeHintForRow(0), 12);
  const int height = std::min(list_->count(), kVisibleItems) * rowHeight + 2 * list_->frameWidth();
  const int width = std::max(cell.width(), list_->sizeHintForColumn(0) + 24);
  QPoint at = view_->viewport()->mapToGlobal(cell.bottomLeft() + QPoint(0, 1));
  if (const QScreen* screen = view_->screen()) {
    const QRect room = screen->availableGeometry();
    if (at.y() + height > room.bottom()) at.setY(at.y() - cell.height() - height - 1);
  }
  list_->setGeometry(at.x(), at.y(), width, height);
  note_->hide();
  list_->show();
  list_->setFocus();
  return true;
}

void CellValidationAids::Choose(QListWidgetItem* item) {
  if (item == nullptr || list_->isHidden()) return;
  const QString text = item->text();
  list_->hide();
  view_->EnterChoice(text);
}

bool CellValidationAids::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::Hide) Update();  // the note comes back
  if (watched == list_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    list_->hide();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace qtui
