#include "qt/dialogs/find_replace_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "control/control.h"

namespace qtui {

FindReplaceDialog::FindReplaceDialog(engine::Control& control, bool replace, QWidget* parent)
    : QDialog(parent), control_(control) {
  setWindowTitle(replace ? tr("Replace") : tr("Find"));
  auto* form = new QFormLayout;
  find_ = new QLineEdit(this);
  form->addRow(tr("Fi&nd what:"), find_);
  if (replace) {
    with_ = new QLineEdit(this);
    form->addRow(tr("Re&place with:"), with_);
  }
  order_ = new QComboBox(this);
  order_->addItems({tr("By Rows"), tr("By Columns")});
  form->addRow(tr("&Search:"), order_);
  lookIn_ = new QComboBox(this);
  lookIn_->addItems({tr("Values"), tr("Formulas")});
  if (replace) {
    // Replace edits entries: it looks in formulas unless told otherwise.
    lookIn_->setCurrentIndex(1);
  }
  form->addRow(tr("&Look in:"), lookIn_);
  matchCase_ = new QCheckBox(tr("Match &case"), this);
  wholeCell_ = new QCheckBox(tr("Find entire cells &only"), this);
  form->addRow(QString(), matchCase_);
  form->addRow(QString(), wholeCell_);
  status_ = new QLabel(this);
  form->addRow(status_);

  auto* buttons = new QVBoxLayout;
  next_ = new QPushButton(tr("&Find Next"), this);
  next_->setDefault(true);
  previous_ = new QPushButton(tr("Find Pre&vious"), this);
  buttons->addWidget(next_);
  buttons->addWidget(previous_);
  connect(next_, &QPushButton::clicked, this, [this] { FindNext(); });
  connect(previous_, &QPushButton::clicked, this, [this] { FindPrevious(); });
  if (replace) {
    replace_ = new QPushButton(tr("&Replace"), this);
    replaceAll_ = new QPushButton(tr("Replace &All"), this);
    buttons->addWidget(replace_);
    buttons->addWidget(replaceAll_);
    connect(replace_, &QPushButton::clicked, this, [this] { Replace(); });
    connect(replaceAll_, &QPushButton::clicked, this, [this] { ReplaceAll(); });
  }
  auto* close = new QPushButton(tr("Close"), this);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  buttons->addWidget(close);
  buttons->addStretch();

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(form, 1);
  layout->addLayout(buttons);
}

engine::FindOptions FindReplaceDialog::Options() const {
  engine::FindOptions o;
  o.text = find_->text().toStdString();
  o.matchCase = matchCase_->isChecked();
  o.wholeCell = wholeCell_->isChecked();
  o.byColumns = order_->currentIndex() == 1;
  o.inFormulas = lookIn_->currentIndex() == 1;
  return o;
}

QString FindReplaceDialog::Status() const { return status_->text(); }

bool FindReplaceDialog::Find(bool previous) {
  const engine::FindOptions o = Options();
  if (o.text.empty()) {
    status_->setText(tr("Enter the text to find."));
    return false;
  }
  const bool found = engine::FindNext(control_, o, previous);
  status_->setText(found ? QString() : tr("Cannot find \"%1\".").arg(find_->text()));
  return found;
}

bool FindReplaceDialog::FindNext() { return Find(false); }
bool FindReplaceDialog::FindPrevious() { return Find(true); }

bool FindReplaceDialog::Replace() {
  if (with_ == nullptr) return false;
  const bool changed = engine::ReplaceCurrent(control_, Options(), with_->text().toStdString());
  status_->setText(changed ? QString() : tr("The active cell does not match."));
  return changed;
}

int FindReplaceDialog::ReplaceAll() {
  if (with_ == nullptr) return 0;
  const int count = engine::ReplaceAll(control_, Options(), with_->text().toStdString());
  status_->setText(count == 1 ? tr("1 cell replaced.") : tr("%1 cells replaced.").arg(count));
  return count;
}

}  // namespace qtui
