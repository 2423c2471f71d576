// The file dialogs as Qt's QFileDialog.

#include "qt/file_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

namespace qtui {

namespace {

// "label|pattern|label|pattern||" as pairs.
std::vector<std::pair<QString, QString>> Pairs(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
  std::vector<std::pair<QString, QString>> pairs;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty() && parts[i + 1].isEmpty()) break;
    pairs.emplace_back(parts[i], parts[i + 1]);
  }
  return pairs;
}

// The extension the first pattern of a filter gives a bare name ("*.xls" → ".xls"); empty for
// a pattern like "*".
QString ExtensionOf(const QString& nameFilter) {
  static const QRegularExpression pattern(QStringLiteral("\\(\\*(\\.[^ *?()]+)"));
  const QRegularExpressionMatch m = pattern.match(nameFilter);
  return m.hasMatch() ? m.captured(1) : QString();
}

// The save dialog also asks before a bare name overwrites the file it will become: the table
// adds the chosen filter's extension to a path without a dot, which Qt's own question cannot
// know of.
class TableFileDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;
  bool askOverwrite = false;

  void accept() override {
    const QStringList chosen = selectedFiles();
    if (askOverwrite && acceptMode() == AcceptSave && chosen.size() == 1 &&
        !chosen.front().contains(QLatin1Char('.'))) {
      const QString extension = ExtensionOf(selectedNameFilter());
      const QFileInfo target(chosen.front() + extension);
      if (!extension.isEmpty() && target.exists() &&
          QMessageBox::warning(
              this, windowTitle(),
              tr("%1 already exists.\nDo you want to replace it?").arg(target.fileName()),
              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    }
    QFileDialog::accept();
  }
};

}  // namespace

QStringList QtFileDialogs::NameFilters(const std::string& filter) {
  QStringList filters;
  for (auto [label, pattern] : Pairs(filter)) {
    // Patterns are separated by ";" in the string and by spaces for Qt.
    QStringList patterns;
    for (const QString& p : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      const QString trimmed = p.trimmed();
      patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    if (patterns.isEmpty()) patterns << QStringLiteral("*");
    // Qt reads the patterns from the label's last parentheses: the label's own "(*.xls)"
    // gives way to the pair's patterns.
    QString shown = label.trimmed();
    static const QRegularExpression trailing(QStringLiteral("\\s*\\([^()]*\\)$"));
    shown.remove(trailing);
    filters << shown + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return filters;
}

bool QtFileDialogs::Run(const platform::FileDialogRequest& request,
                        platform::FileDialogResult& result) {
  TableFileDialog dialog(QApplication::activeWindow());
  // Qt's own dialog on every desktop, so that the rules below hold everywhere.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  if (!request.title.empty()) dialog.setWindowTitle(QString::fromStdString(request.title));
  dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  // An open dialog takes an existing file only; a save dialog any name.
  dialog.setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.askOverwrite = (request.flags & platform::OFN_OVERWRITEPROMPT) != 0;
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !dialog.askOverwrite);
  dialog.setOption(QFileDialog::ReadOnly, false);
  // No suffix unless the request names one: the table decides what a bare name becomes.
  dialog.setDefaultSuffix(QString::fromStdString(request.defaultExt));

  const QStringList filters = NameFilters(request.filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const int index =
        request.filterIndex >= 1 && request.filterIndex <= filters.size() ? request.filterIndex : 1;
    dialog.selectNameFilter(filters[index - 1]);
  }
  if (!request.fileName.empty()) dialog.selectFile(QString::fromStdString(request.fileName));

  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return false;
  result.path = chosen.front().toStdString();
  const qsizetype at = filters.indexOf(dialog.selectedNameFilter());
  result.filterIndex = at >= 0 ? static_cast<int>(at) + 1 : 1;
  return true;
}

}  // namespace qtui
