// The Qt file dialogs, driven by the test as a person would: the filters built from the string
// table, no name and no suffix of their own, and the path and filter index handed back.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "platform/headless/headless_platform.h"
#include "qt/file_dialogs.h"

namespace {

std::string StringOf(unsigned id) {
  platform::HeadlessStrings strings;
  std::string text;
  strings.Load(id, text);
  return text;
}

// Runs act on the dialog once it is up.
void WhenUp(std::function<void(QFileDialog&)> act) {
  QTimer::singleShot(0, [act] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    act(*dialog);
  });
}

}  // namespace

TEST(QtFileDialogs, FiltersComeFromTheLabelAndPatternPairs) {
  EXPECT_EQ(qtui::QtFileDialogs::NameFilters(StringOf(3021)),
            (QStringList{"Microsoft Excel Files (*.xls)", "Tabbed Text (*.txt)", "All Files (*)"}));
  EXPECT_EQ(qtui::QtFileDialogs::NameFilters(StringOf(3024)),
            (QStringList{"Microsoft Excel 97-2000 (*.xls)", "MIcrosoft Excel 5.0/95 (*.xls)",
                         "Tabbed Text (*.txt)"}));
  EXPECT_EQ(qtui::QtFileDialogs::NameFilters("Lists|*.afl;*.txt||"),
            (QStringList{"Lists (*.afl *.txt)"}));
  EXPECT_TRUE(qtui::QtFileDialogs::NameFilters("").isEmpty());
}

TEST(QtFileDialogs, SaveDialogReturnsThePathAsTypedAndTheChosenFilter) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  platform::FileDialogRequest request;
  request.open = false;
  request.flags = platform::OFN_OVERWRITEPROMPT | platform::OFN_HIDEREADONLY;
  request.filter = StringOf(3024);
  request.filterIndex = 1;
  bool checked = false;
  WhenUp([&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_TRUE(dialog.defaultSuffix().isEmpty());
    EXPECT_EQ(dialog.selectedNameFilter(), "Microsoft Excel 97-2000 (*.xls)");
    auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(name->text().isEmpty());  // starts without a name
    checked = true;
    dialog.setDirectory(dir.path());
    dialog.selectNameFilter("Tabbed Text (*.txt)");
    dialog.selectFile(dir.filePath("Results"));
    static_cast<QDialog&>(dialog).accept();  // as the OK button does
  });
  qtui::QtFileDialogs dialogs;
  platform::FileDialogResult result;
  ASSERT_TRUE(dialogs.Run(request, result));
  EXPECT_TRUE(checked);
  EXPECT_EQ(result.path, dir.filePath("Results").toStdString());
  EXPECT_EQ(result.filterIndex, 3);
}

TEST(QtFileDialogs, OpenDialogTakesExistingFilesAndCancelReturnsFalse) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("table.txt");
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("A\r\n1\r\n");
  }
  platform::FileDialogRequest request;
  request.open = true;
  request.flags = platform::OFN_FILEMUSTEXIST | platform::OFN_HIDEREADONLY;
  request.filter = StringOf(3021);
  request.filterIndex = 2;
  WhenUp([&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog.selectedNameFilter(), "Tabbed Text (*.txt)");
    dialog.setDirectory(dir.path());
    dialog.selectFile(path);
    static_cast<QDialog&>(dialog).accept();  // as the OK button does
  });
  qtui::QtFileDialogs dialogs;
  platform::FileDialogResult result;
  ASSERT_TRUE(dialogs.Run(request, result));
  EXPECT_EQ(result.path, path.toStdString());
  EXPECT_EQ(result.filterIndex, 2);

  WhenUp([](QFileDialog& dialog) { dialog.reject(); });
  EXPECT_FALSE(dialogs.Run(request, result));
}

TEST(QtFileDialogs, BareNameAsksBeforeItBecomesAnExistingFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  {
    QFile file(dir.filePath("Results.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  platform::FileDialogRequest request;
  request.open = false;
  request.flags = platform::OFN_OVERWRITEPROMPT | platform::OFN_HIDEREADONLY;
  request.filter = StringOf(3024);
  // Answers the question with button, then reports whether the dialog stayed up.
  auto typeResults = [&](QMessageBox::StandardButton button, bool& stayed) {
    WhenUp([&, button](QFileDialog& dialog) {
      dialog.setDirectory(dir.path());
      dialog.selectNameFilter("Tabbed Text (*.txt)");
      dialog.selectFile(dir.filePath("Results"));
      QTimer::singleShot(0, [button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->text().contains("Results.txt already exists."));
        box->button(button)->click();
      });
      static_cast<QDialog&>(dialog).accept();
      stayed = dialog.isVisible();
      if (stayed) dialog.reject();
    });
  };
  qtui::QtFileDialogs dialogs;
  platform::FileDialogResult result;
  bool stayed = false;
  typeResults(QMessageBox::No, stayed);
  EXPECT_FALSE(dialogs.Run(request, result));
  EXPECT_TRUE(stayed);
  typeResults(QMessageBox::Yes, stayed);
  ASSERT_TRUE(dialogs.Run(request, result));
  EXPECT_FALSE(stayed);
  EXPECT_EQ(result.path, dir.filePath("Results").toStdString());
  EXPECT_EQ(result.filterIndex, 3);
}
