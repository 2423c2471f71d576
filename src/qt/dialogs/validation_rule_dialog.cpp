#include "qt/dialogs/validation_rule_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "control/control.h"
#include "control/dialogs/edit_dialogs.h"

namespace qtui {

namespace {
using engine::ValidationOperator;
using engine::ValidationType;

// What a file keeps of a rule's texts: a title of 32 characters, a message of 255.
constexpr int kTitleLimit = 32;
constexpr int kMessageLimit = 255;

bool TwoValues(int op) {
  return op == static_cast<int>(ValidationOperator::Between) ||
         op == static_cast<int>(ValidationOperator::NotBetween);
}
}  // namespace

ValidationRuleDialog::ValidationRuleDialog(engine::Control& control, QWidget* parent)
    : QDialog(parent), control_(control) {
  setWindowTitle(tr("Validation Rule"));
  tabs_ = new QTabWidget(this);

  // Settings: what the cells take.
  auto* settings = new QWidget(tabs_);
  allow_ = new QComboBox(settings);
  allow_->addItems({tr("Any value"), tr("Whole number"), tr("Decimal"), tr("List"), tr("Date"),
                    tr("Time"), tr("Text length"), tr("Custom")});
  operator_ = new QComboBox(settings);
  operator_->addItems({tr("between"), tr("not between"), tr("equal to"), tr("not equal to"),
                       tr("greater than"), tr("less than"), tr("greater than or equal to"),
                       tr("less than or equal to")});
  value1_ = new QLineEdit(settings);
  value2_ = new QLineEdit(settings);
  ignoreBlank_ = new QCheckBox(tr("&Ignore blank"), settings);
  dropDown_ = new QCheckBox(tr("In-cell &drop-down"), settings);
  auto* allowLabel = new QLabel(tr("&Allow:"), settings);
  allowLabel->setBuddy(allow_);
  operatorLabel_ = new QLabel(tr("D&ata:"), settings);
  operatorLabel_->setBuddy(operator_);
  value1Label_ = new QLabel(settings);
  value1Label_->setBuddy(value1_);
  value2Label_ = new QLabel(tr("Ma&ximum:"), settings);
  value2Label_->setBuddy(value2_);
  auto* grid = new QGridLayout(settings);
  grid->addWidget(new QLabel(tr("Validation criteria"), settings), 0, 0, 1, 2);
  grid->addWidget(allowLabel, 1, 0);
  grid->addWidget(allow_, 1, 1);
  grid->addWidget(ignoreBlank_, 1, 2);
  grid->addWidget(operatorLabel_, 2, 0);
  grid->addWidget(operator_, 2, 1);
  grid->addWidget(dropDown_, 2, 2);
  grid->addWidget(value1Label_, 3, 0);
  grid->addWidget(value1_, 3, 1, 1, 2);
  grid->addWidget(value2Label_, 4, 0);
  grid->addWidget(value2_, 4, 1, 1, 2);
  grid->setRowStretch(5, 1);
  grid->setColumnStretch(1, 1);
  tabs_->addTab(settings, tr("&Settings"));

  // The input message.
  auto* input = new QWidget(tabs_);
  showInput_ = new QCheckBox(tr("Show input message when the cell is selected"), input);
  inputTitle_ = new QLineEdit(input);
  inputTitle_->setMaxLength(kTitleLimit);
  inputText_ = new QPlainTextEdit(input);
  inputText_->setMaximumHeight(100);
  auto* inputForm = new QFormLayout(input);
  inputForm->addRow(showInput_);
  inputForm->addRow(tr("&Title:"), inputTitle_);
  inputForm->addRow(tr("Input &message:"), inputText_);
  tabs_->addTab(input, tr("&Input Message"));

  // The error alert.
  auto* alert = new QWidget(tabs_);
  showError_ = new QCheckBox(tr("Show error alert after invalid data is entered"), alert);
  errorStyle_ = new QComboBox(alert);
  errorStyle_->addItems({tr("Stop"), tr("Warning"), tr("Information")});
  errorTitle_ = new QLineEdit(alert);
  errorTitle_->setMaxLength(kTitleLimit);
  errorText_ = new QPlainTextEdit(alert);
  errorText_->setMaximumHeight(100);
  auto* alertForm = new QFormLayout(alert);
  alertForm->addRow(showError_);
  alertForm->addRow(tr("St&yle:"), errorStyle_);
  alertForm->addRow(tr("&Title:"), errorTitle_);
  alertForm->addRow(tr("Error &message:"), errorText_);
  tabs_->addTab(alert, tr("&Error Alert"));

  error_ = new QLabel(this);
  error_->setWordWrap(true);
  QPalette red = error_->palette();
  red.setColor(QPalette::WindowText, Qt::darkRed);
  error_->setPalette(red);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  clearAll_ = buttons->addButton(tr("&Clear All"), QDialogButtonBox::ResetRole);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(error_);
  layout->addWidget(buttons);

  // Names a script or a host's test can find the controls by.
  allow_->setObjectName("allow");
  operator_->setObjectName("operator");
  value1_->setObjectName("value1");
  value2_->setObjectName("value2");
  inputTitle_->setObjectName("inputTitle");
  inputText_->setObjectName("inputText");
  errorTitle_->setObjectName("errorTitle");
  errorText_->setObjectName("errorText");

  connect(allow_, &QComboBox::currentIndexChanged, this, [this] { UpdateFields(); });
  connect(operator_, &QComboBox::currentIndexChanged, this, [this] { UpdateFields(); });
  connect(clearAll_, &QPushButton::clicked, this, [this] {
    ShowRule(engine::ValidationRule());
    error_->clear();
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &ValidationRuleDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  ShowRule(engine::RuleOfActiveCell(control_));
  resize(sizeHint().expandedTo(QSize(420, 0)));
}

QString ValidationRuleDialog::Error() const { return error_->text(); }

void ValidationRuleDialog::ShowRule(const engine::ValidationRule& rule) {
  allow_->setCurrentIndex(static_cast<int>(rule.type));
  operator_->setCurrentIndex(static_cast<int>(rule.op));
  if (rule.type == ValidationType::List) {
    value1_->setText(QString::fromStdString(engine::ListSourceText(rule)));
    value2_->clear();
  } else {
    value1_->setText(
        QString::fromStdString(engine::RuleValueText(control_, rule.type, rule.formula1)));
    value2_->setText(
        QString::fromStdString(engine::RuleValueText(control_, rule.type, rule.formula2)));
  }
  ignoreBlank_->setChecked(rule.ignoreBlank);
  dropDown_->setChecked(rule.dropDown);
  showInput_->setChecked(rule.showInput);
  inputTitle_->setText(QString::fromStdString(rule.inputTitle));
  inputText_->setPlainText(QString::fromStdString(rule.inputText));
  showError_->setChecked(rule.showError);
  errorStyle_->setCurrentIndex(static_cast<int>(rule.errorStyle));
  errorTitle_->setText(QString::fromStdString(rule.errorTitle));
  errorText_->setPlainText(QString::fromStdString(rule.errorText));
  UpdateFields();
}

void ValidationRuleDialog::UpdateFields() {
  const auto type = static_cast<ValidationType>(allow_->currentIndex());
  const bool compares =
      type != ValidationType::Any && type != ValidationType::List && type != ValidationType::Custom;
  const bool two = compares && TwoValues(operator_->currentIndex());
  operatorLabel_->setVisible(compares);
  operator_->setVisible(compares);
  value1Label_->setVisible(type != ValidationType::Any);
  value1_->setVisible(type != ValidationType::Any);
  value2Label_->setVisible(two);
  value2_->setVisible(two);
  dropDown_->setVisible(type == ValidationType::List);
  ignoreBlank_->setEnabled(type != ValidationType::Any);
  if (type == ValidationType::List) {
    value1Label_->setText(tr("S&ource:"));
    value1_->setPlaceholderText(tr("Items separated by commas, or =range or =name"));
  } else if (type == ValidationType::Custom) {
    value1Label_->setText(tr("F&ormula:"));
    value1_->setPlaceholderText(tr("=formula that is TRUE for a valid entry"));
  } else {
    value1Label_->setText(two ? tr("M&inimum:") : tr("&Value:"));
    value1_->setPlaceholderText(type == ValidationType::Date   ? tr("A date or =formula")
                                : type == ValidationType::Time ? tr("A time or =formula")
                                                               : tr("A number or =formula"));
  }
}

bool ValidationRuleDialog::ReadRule(engine::ValidationRule& rule) {
  rule = engine::ValidationRule();
  rule.type = static_cast<ValidationType>(allow_->currentIndex());
  rule.op = static_cast<ValidationOperator>(operator_->currentIndex());
  rule.errorStyle = static_cast<engine::ErrorStyle>(errorStyle_->currentIndex());
  rule.ignoreBlank = ignoreBlank_->isChecked();
  rule.dropDown = dropDown_->isChecked();
  rule.showInput = showInput_->isChecked();
  rule.showError = showError_->isChecked();
  rule.inputTitle = inputTitle_->text().toStdString();
  rule.inputText = inputText_->toPlainText().toStdString();
  rule.errorTitle = errorTitle_->text().toStdString();
  rule.errorText = errorText_->toPlainText().toStdString();
  const auto refuse = [this](const QString& reason, QWidget* where, int tab) {
    error_->setText(reason);
    tabs_->setCurrentIndex(tab);
    if (where != nullptr) where->setFocus();
    return false;
  };
  if (inputText_->toPlainText().size() > kMessageLimit)
    return refuse(tr("An input message holds at most %1 characters.").arg(kMessageLimit),
                  inputText_, 1);
  if (errorText_->toPlainText().size() > kMessageLimit)
    return refuse(tr("An error message holds at most %1 characters.").arg(kMessageLimit),
                  errorText_, 2);
  std::string reason;
  if (rule.type == ValidationType::List) {
    if (!engine::ParseListSource(value1_->text().toStdString(), rule, reason))
      return refuse(QString::fromStdString(reason), value1_, 0);
  } else if (rule.type != ValidationType::Any) {
    if (!engine::RuleValueFormula(control_, rule.type, value1_->text().toStdString(), rule.formula1,
                                  reason))
      return refuse(QString::fromStdString(reason), value1_, 0);
    if (value2_->isVisibleTo(this) &&
        !engine::RuleValueFormula(control_, rule.type, value2_->text().toStdString(), rule.formula2,
                                  reason))
      return refuse(QString::fromStdString(reason), value2_, 0);
  }
  if (!engine::CheckValidationRule(control_, rule, reason))
    return refuse(QString::fromStdString(reason),
                  rule.formula1.empty() && rule.items.empty() ? value1_ : value2_, 0);
  error_->clear();
  return true;
}

void ValidationRuleDialog::accept() {
  engine::ValidationRule rule;
  if (!ReadRule(rule)) return;
  try {
    engine::ApplyValidationRule(control_, rule);
  } catch (const engine::EngineError& e) {
    error_->setText(QString::fromStdString(e.Description()));
    return;
  }
  QDialog::accept();
}

}  // namespace qtui
