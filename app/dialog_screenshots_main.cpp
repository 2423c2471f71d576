// datatable-dialog-screenshots OUT_DIR: the README's pictures of the editing dialogs (run by
// scripts/screenshots.sh under Xvfb): Format › Custom Number, Format › Validation Rule (a list
// rule being made), a list cell's drop-down open in the grid, and Data › AutoFill List. Each
// dialog is opened through the table's menu command, as a person's choice opens it.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <functional>
#include <string>

#include "datatable/datatable.h"
#include "datatable/qt_platform.h"

namespace {

void Settle() {
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
}

bool Save(const QPixmap& picture, const QString& path) {
  const bool ok = !picture.isNull() && picture.save(path);
  std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "could not write",
               path.toStdString().c_str());
  return ok;
}

// A table whose Format and Data commands are called as the menu would.
class MenuTable : public CZAT_PSF1 {
 public:
  using CZAT_PSF1::CZAT_PSF1;
  using CZAT_PSF1::OnDataAutofilllist;
  using CZAT_PSF1::OnFormatCustomnumber;
  using CZAT_PSF1::OnFormatValidationrule;
};

// Runs `command`, which opens a modal dialog; `act` gets the dialog once it is up and closes it.
void WithDialog(const std::function<void()>& command, const std::function<void(QDialog*)>& act) {
  QTimer::singleShot(400, [act] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      Settle();
      act(dialog);
    }
  });
  command();
}

void SelectCell(QTableView* view, int row, int col) {
  view->selectionModel()->setCurrentIndex(view->model()->index(row - 1, col - 1),
                                          QItemSelectionModel::ClearAndSelect);
  Settle();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: datatable-dialog-screenshots OUT_DIR\n");
    return 2;
  }
  QApplication::setOrganizationName("DataTableScreenshots");
  QApplication::setApplicationName("dialog-screenshots");
  QApplication app(argc, argv);
  const QString out = QString::fromLocal8Bit(argv[1]);
  bool ok = true;
  datatable::InstallPlatform(datatable::MakeQtPlatform());
  {
    auto* table =
        new MenuTable(nullptr, CString(), CZAT::FILE_TYPE_NONE, nullptr, false, true, true);
    const char* colours[] = {"red", "green", "blue", "green", "red"};
    const char* amounts[] = {"1234.5", "17", "0.25", "980", "42"};
    for (CString name : {CString("Colour"), CString("Amount"), CString("User")})
      table->AppendArg(name, CZAT::null_cstring_ref, 0, nullptr, 1);
    for (int r = 0; r < 5; ++r) {
      table->AddArgValue(r + 1, "Colour", colours[r], 0, nullptr);
      table->AddArgValue(r + 1, "Amount", amounts[r], 0, nullptr);
      table->AddArgValue(r + 1, "User", r % 2 ? "guest" : "admin", 0, nullptr);
    }
    table->ViewOpen();
    QWidget* window = datatable::TableWindow(table);
    window->move(0, 0);
    window->resize(640, 360);
    Settle();
    QTableView* view = window->findChild<QTableView*>();

    // Format › Custom Number on an amount.
    SelectCell(view, 1, 2);
    WithDialog([table] { table->OnFormatCustomnumber(); },
               [&](QDialog* dialog) {
                 // The Number category and one of its codes, as a person picks them.
                 const auto lists = dialog->findChildren<QListWidget*>();
                 if (lists.size() == 2) {
                   const auto number = lists[0]->findItems("Number", Qt::MatchExactly);
                   if (!number.isEmpty()) lists[0]->setCurrentItem(number.front());
                   const auto code = lists[1]->findItems("#,##0.00", Qt::MatchExactly);
                   if (!code.isEmpty()) lists[1]->setCurrentItem(code.front());
                 }
                 Settle();
                 ok = Save(dialog->grab(), out + "/number-format-dialog.png") && ok;
                 dialog->reject();
               });

    // Format › Validation Rule: the colours become a list with an input message.
    view->selectionModel()->select(
        QItemSelection(view->model()->index(0, 0), view->model()->index(4, 0)),
        QItemSelectionModel::ClearAndSelect);
    view->selectionModel()->setCurrentIndex(view->model()->index(0, 0),
                                            QItemSelectionModel::NoUpdate);
    Settle();
    WithDialog([table] { table->OnFormatValidationrule(); },
               [&](QDialog* dialog) {
                 dialog->findChild<QComboBox*>("allow")->setCurrentIndex(3);  // List
                 dialog->findChild<QLineEdit*>("value1")->setText("red, green, blue, yellow");
                 dialog->findChild<QLineEdit*>("inputTitle")->setText("Colour");
                 dialog->findChild<QPlainTextEdit*>("inputText")
                     ->setPlainText("Choose the colour of the test's widget.");
                 dialog->findChild<QLineEdit*>("errorTitle")->setText("Colour");
                 dialog->findChild<QPlainTextEdit*>("errorText")
                     ->setPlainText("The colour must be one of the list.");
                 Settle();
                 ok = Save(dialog->grab(), out + "/validation-rule-dialog.png") && ok;
                 QMetaObject::invokeMethod(dialog, "accept");
               });

    // The drop-down of a list cell, open: the screen's picture holds the popup too.
    SelectCell(view, 3, 1);
    if (auto* button = view->findChild<QToolButton*>("validationDropDown");
        button != nullptr && button->isVisible()) {
      button->click();
      Settle();
      QRect area = window->frameGeometry();
      if (auto* list = view->findChild<QListWidget*>("validationList"); list && list->isVisible())
        area = area.united(list->geometry());
      ok = Save(window->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()),
                out + "/validation-dropdown.png") &&
           ok;
      if (auto* list = view->findChild<QListWidget*>("validationList")) list->hide();
    } else {
      std::fprintf(stderr, "the list cell shows no drop-down\n");
      ok = false;
    }

    // Data › AutoFill List.
    WithDialog([table] { table->OnDataAutofilllist(); },
               [&](QDialog* dialog) {
                 ok = Save(dialog->grab(), out + "/autofill-lists-dialog.png") && ok;
                 dialog->reject();
               });
    table->ResetDirtyBit();
    table->Destroy();
  }
  datatable::InstallPlatform(nullptr);
  Settle();
  return ok ? 0 : 1;
}
