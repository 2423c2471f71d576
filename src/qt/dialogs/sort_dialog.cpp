#include "qt/dialogs/sort_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

#include "control/control.h"

namespace qtui {

namespace {
QString ColumnLetters(int col) {
  QString s;
  for (; col > 0; col = (col - 1) / 26) s.prepend(QChar('A' + (col - 1) % 26));
  return s;
}
}  // namespace

SortDialog::SortDialog(engine::Control& control, QWidget* parent)
    : QDialog(parent), control_(control) {
  setWindowTitle(tr("Sort"));
  askWiden_ = [this] {
    const auto answer = QMessageBox::question(
        this, tr("Sort"),
        tr("The selection leaves out columns next to it, and sorting it alone would separate "
           "their values from their rows. Expand the selection to whole rows?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    return answer == QMessageBox::Yes  ? Widen::Yes
           : answer == QMessageBox::No ? Widen::No
                                       : Widen::Cancel;
  };
  auto* form = new QFormLayout;
  const char* labels[3] = {QT_TR_NOOP("Sort &by:"), QT_TR_NOOP("&Then by:"),
                           QT_TR_NOOP("Then b&y:")};
  for (int i = 0; i < 3; ++i) {
    keys_[i] = new QComboBox(this);
    dirs_[i] = new QComboBox(this);
    dirs_[i]->addItems({tr("Ascending"), tr("Descending")});
    auto* row = new QHBoxLayout;
    row->addWidget(keys_[i], 1);
    row->addWidget(dirs_[i]);
    form->addRow(tr(labels[i]), row);
  }
  orientation_ = new QComboBox(this);
  orientation_->addItems({tr("Sort rows (top to bottom)"), tr("Sort columns (left to right)")});
  form->addRow(tr("&Orientation:"), orientation_);
  header_ = new QCheckBox(tr("&First row is a header"), this);
  header_->setChecked(false);
  form->addRow(QString(), header_);
  error_ = new QLabel(this);
  error_->setWordWrap(true);
  form->addRow(error_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &SortDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  connect(orientation_, &QComboBox::currentIndexChanged, this, [this] { FillKeys(); });
  connect(header_, &QCheckBox::toggled, this, [this] {
    if (orientation_->currentIndex() == 1) FillKeys();
  });
  FillKeys();
}

QString SortDialog::Error() const { return error_->text(); }

bool SortDialog::Prepare() {
  if (engine::SortWouldTearRows(control_)) {
    switch (askWiden_()) {
      case Widen::Yes:
        engine::WidenSortSelection(control_);
        break;
      case Widen::No:
        break;
      case Widen::Cancel:
        return false;
    }
  }
  FillKeys();
  return true;
}

// Keys are the selection's columns (by their parameter names) or its rows.
void SortDialog::FillKeys() {
  int r1 = 1, c1 = 1, r2 = 1, c2 = 1;
  if (control_.GetSelectionCount() >= 1) control_.GetSelection(0, r1, c1, r2, c2);
  const bool byRows = orientation_->currentIndex() == 0;
  // Only the used part offers keys: a whole-row selection lists the used columns.
  if (byRows)
    c2 = std::max(c1, std::min(c2, std::max(control_.GetLastCol(), c1)));
  else
    r2 = std::max(r1, std::min(r2, std::max(control_.GetLastRow(), r1)));
  int r = 1, c = 1;
  control_.GetActiveCell(r, c);
  for (int i = 0; i < 3; ++i) {
    keys_[i]->clear();
    if (i > 0) keys_[i]->addItem(tr("(none)"), 0);
    const int from = byRows ? c1 : r1, to = byRows ? c2 : r2;
    for (int k = from; k <= to; ++k) {
      QString label;
      if (byRows) {
        const QString name = QString::fromStdString(control_.GetColumnHeadingText(k));
        label = tr("Column %1").arg(ColumnLetters(k));
        if (!name.isEmpty() && name != ColumnLetters(k)) label += " (" + name + ")";
      } else {
        label = tr("Row %1").arg(k);
      }
      keys_[i]->addItem(label, k);
    }
    if (i == 0) {
      const int want = byRows ? c : r;
      const int at = keys_[0]->findData(want);
      if (at >= 0) keys_[0]->setCurrentIndex(at);
    }
  }
}

engine::SortRequest SortDialog::Request() const {
  engine::SortRequest req;
  req.byRows = orientation_->currentIndex() == 0;
  req.header = header_->isChecked();
  for (int i = 0; i < 3; ++i) {
    req.keys[i].index = keys_[i]->currentData().toInt();
    req.keys[i].descending = dirs_[i]->currentIndex() == 1;
  }
  return req;
}

void SortDialog::accept() {
  try {
    engine::SortSelection(control_, Request());
  } catch (const engine::EngineError& e) {
    error_->setText(QString::fromStdString(e.Description()));
    return;
  }
  QDialog::accept();
}

}  // namespace qtui
