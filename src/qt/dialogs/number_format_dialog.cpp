#include "qt/dialogs/number_format_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <vector>

#include "control/control.h"
#include "control/dialogs/edit_dialogs.h"

namespace qtui {

namespace {
using FormatCategory = engine::NumberFormatKind;

struct CategoryEntry {
  const char* title;
  std::vector<FormatCategory> kinds;  // empty: every built-in code
};

const std::vector<CategoryEntry>& CategoryList() {
  static const std::vector<CategoryEntry> list = {
      {QT_TRANSLATE_NOOP("qtui::NumberFormatDialog", "All"), {}},
      {QT_TRANSLATE_NOOP("qtui::NumberFormatDialog", "General"), {FormatCategory::General}},
      {QT_TRANSLATE_NOOP("qtui::NumberFormatDialog", "Number"), {FormatCategory::Number}},
      {QT_TRANSLATE_NOOP("qtui::NumberFormatDialog", "Currency"), {FormatCategory::Currency}},
      {QT_TRANSLATE_NOOP("qtui::NumberFormatDialog", "Percentage"), {FormatCategory::Percent}},
      {QT_TRANSLATE_NOOP("qtui::NumberFormatDialog", "Fraction"), {FormatCategory::Fraction}},
      {QT_TRANSLATE_NOOP("qtui::NumberFormatDialog", "Scientific"), {FormatCategory::Scientific}},
      {QT_TRANSLATE_NOOP("qtui::NumberFormatDialog", "Date"), {FormatCategory::Date}},
      {QT_TRANSLATE_NOOP("qtui::NumberFormatDialog", "Time"),
       {FormatCategory::Time, FormatCategory::DateTime}},
      {QT_TRANSLATE_NOOP("qtui::NumberFormatDialog", "Text"), {FormatCategory::Text}},
  };
  return list;
}

std::vector<std::string> BuiltinCodes() { return engine::BuiltinNumberFormats(); }
}  // namespace

NumberFormatDialog::NumberFormatDialog(engine::Control& control, QWidget* parent)
    : QDialog(parent), control_(control) {
  setWindowTitle(tr("Number Format"));
  categories_ = new QListWidget(this);
  for (const auto& entry : CategoryList()) categories_->addItem(tr(entry.title));
  codes_ = new QListWidget(this);
  code_ = new QLineEdit(this);
  preview_ = new QLabel(this);
  error_ = new QLabel(this);
  error_->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);

  auto* grid = new QGridLayout(this);
  auto* catLabel = new QLabel(tr("&Category:"), this);
  catLabel->setBuddy(categories_);
  auto* codesLabel = new QLabel(tr("&Format codes:"), this);
  codesLabel->setBuddy(codes_);
  auto* codeLabel = new QLabel(tr("C&ode:"), this);
  codeLabel->setBuddy(code_);
  grid->addWidget(catLabel, 0, 0);
  grid->addWidget(codesLabel, 0, 1);
  grid->addWidget(categories_, 1, 0);
  grid->addWidget(codes_, 1, 1);
  grid->addWidget(codeLabel, 2, 0, 1, 2);
  grid->addWidget(code_, 3, 0, 1, 2);
  grid->addWidget(new QLabel(tr("Sample:"), this), 4, 0);
  grid->addWidget(preview_, 4, 1);
  grid->addWidget(error_, 5, 0, 1, 2);
  grid->addWidget(buttons, 6, 0, 1, 2);

  connect(categories_, &QListWidget::currentRowChanged, this,
          [this](int row) { ShowCategory(row); });
  connect(codes_, &QListWidget::currentTextChanged, this, [this](const QString& text) {
    if (!text.isEmpty()) code_->setText(text);
  });
  connect(code_, &QLineEdit::textChanged, this, [this] { CodeChanged(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &NumberFormatDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  // Start from the active cell's code, in its category.
  const std::string current = control.GetNumberFormat();
  const FormatCategory kind = engine::KindOfNumberFormat(current);
  int row = 0;
  for (std::size_t i = 1; i < CategoryList().size(); ++i)
    for (FormatCategory k : CategoryList()[i].kinds)
      if (k == kind) row = static_cast<int>(i);
  categories_->setCurrentRow(row);
  code_->setText(QString::fromStdString(current));
  CodeChanged();
}

QString NumberFormatDialog::Preview() const { return preview_->text(); }
QString NumberFormatDialog::Error() const { return error_->text(); }

void NumberFormatDialog::ShowCategory(int row) {
  codes_->clear();
  if (row < 0 || row >= static_cast<int>(CategoryList().size())) return;
  const auto& kinds = CategoryList()[static_cast<std::size_t>(row)].kinds;
  for (const std::string& code : BuiltinCodes()) {
    const FormatCategory kind = engine::KindOfNumberFormat(code);
    bool wanted = kinds.empty();
    for (FormatCategory k : kinds) wanted = wanted || k == kind;
    if (wanted) codes_->addItem(QString::fromStdString(code));
  }
}

void NumberFormatDialog::CodeChanged() {
  const std::string code = code_->text().toStdString();
  std::string reason;
  const bool valid = engine::CheckNumberFormat(code, reason);
  error_->setText(QString::fromStdString(reason));
  preview_->setText(valid ? QString::fromStdString(engine::PreviewNumberFormat(control_, code))
                          : QString());
  ok_->setEnabled(valid);
}

void NumberFormatDialog::accept() {
  const std::string code = code_->text().toStdString();
  std::string reason;
  if (!engine::CheckNumberFormat(code, reason)) {
    error_->setText(QString::fromStdString(reason));
    return;
  }
  try {
    control_.SetNumberFormat(code);
  } catch (const engine::EngineError& e) {
    error_->setText(QString::fromStdString(e.Description()));
    return;
  }
  QDialog::accept();
}

}  // namespace qtui
