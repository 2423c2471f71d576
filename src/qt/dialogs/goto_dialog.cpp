#include "qt/dialogs/goto_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "control/control.h"
#include "control/dialogs/edit_dialogs.h"

namespace qtui {

GotoDialog::GotoDialog(engine::Control& control, QWidget* parent)
    : QDialog(parent), control_(control) {
  setWindowTitle(tr("Go To"));
  auto* layout = new QVBoxLayout(this);
  auto* namesLabel = new QLabel(tr("&Go to:"), this);
  names_ = new QListWidget(this);
  namesLabel->setBuddy(names_);
  for (const std::string& name : engine::DefinedNames(control))
    names_->addItem(QString::fromStdString(name));
  names_->sortItems();
  auto* refLabel = new QLabel(tr("&Reference:"), this);
  reference_ = new QLineEdit(this);
  refLabel->setBuddy(reference_);
  error_ = new QLabel(this);
  error_->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(namesLabel);
  layout->addWidget(names_);
  layout->addWidget(refLabel);
  layout->addWidget(reference_);
  layout->addWidget(error_);
  layout->addWidget(buttons);
  connect(names_, &QListWidget::currentTextChanged, reference_, &QLineEdit::setText);
  connect(names_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &GotoDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  reference_->setFocus();
}

QString GotoDialog::Error() const { return error_->text(); }

void GotoDialog::accept() {
  std::string error;
  if (!engine::GotoReference(control_, reference_->text().toStdString(), error)) {
    error_->setText(QString::fromStdString(error));
    reference_->selectAll();
    reference_->setFocus();
    return;
  }
  error_->clear();
  QDialog::accept();
}

}  // namespace qtui
