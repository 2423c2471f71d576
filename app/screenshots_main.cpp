// datatable-screenshots OUT_DIR WORKBOOK [NAME]: the pictures of the README (scripts/screenshots.sh
// runs it under Xvfb): the frame window on a workbook, the child window inside a host widget and
// the Change Parameter Name dialog, the print preview; with a NAME, only the frame window, as
// NAME.png (the Japanese window under a Japanese locale, a workbook with rich text).

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <memory>
#include <string>

#include "datatable/datatable.h"
#include "datatable/qt_platform.h"

namespace {

void Settle() {
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
}

bool Save(QWidget* widget, const QString& path) {
  Settle();
  const bool ok = widget->grab().save(path);
  std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "could not write",
               path.toStdString().c_str());
  return ok;
}

CZAT_PSF1* OpenFrame(const std::string& file) {
  auto* table = new CZAT_PSF1(nullptr, file, CZAT::FILE_TYPE_NONE, nullptr, false, true, true);
  table->SetShowTabs(true);
  table->ViewOpen();
  QWidget* window = datatable::TableWindow(table);
  window->resize(900, 520);
  return table;
}

// A table whose File › Print Preview is called as the menu would.
class PreviewTable : public CZAT_PSF1 {
 public:
  using CZAT_PSF1::CZAT_PSF1;
  using CZAT_PSF1::OnFilePrintpreview;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: datatable-screenshots OUT_DIR WORKBOOK [NAME]\n");
    return 2;
  }
  QApplication::setOrganizationName("DataTableScreenshots");
  QApplication::setApplicationName("screenshots");
  QApplication app(argc, argv);
  const QString out = QString::fromLocal8Bit(argv[1]);
  const std::string workbook = argv[2];
  bool ok = true;
  datatable::InstallPlatform(datatable::MakeQtPlatform());
  if (argc == 4) {
    CZAT_PSF1* table = OpenFrame(workbook);
    ok = Save(datatable::TableWindow(table), out + "/" + QString::fromLocal8Bit(argv[3]) + ".png");
    table->Destroy();
    datatable::InstallPlatform(nullptr);
    Settle();
    return ok ? 0 : 1;
  }
  {
    CZAT_PSF1* table = OpenFrame(workbook);
    QWidget* window = datatable::TableWindow(table);
    window->move(0, 0);
    ok = Save(window, out + "/frame-window.png") && ok;

    // The rename dialog over the window, as a double-click on a heading opens it.
    QTimer::singleShot(300, [&] {
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        ok = Save(dialog, out + "/rename-dialog.png") && ok;
        dialog->reject();
      }
    });
    QHeaderView* header = nullptr;
    for (QHeaderView* h : window->findChildren<QHeaderView*>())
      if (h->orientation() == Qt::Horizontal) header = h;
    QWidget* heading = header->viewport();
    const QPointF at(header->sectionViewportPosition(0) + 10, heading->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, heading->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(heading, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, heading->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(heading, &release);
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, heading->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(heading, &twice);
    table->Destroy();
  }
  {
    // File › Print Preview of the workbook's first sheet.
    auto* table =
        new PreviewTable(nullptr, workbook, CZAT::FILE_TYPE_NONE, nullptr, false, true, true);
    table->ViewOpen();
    QTimer::singleShot(800, [&] {
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        dialog->resize(900, 700);
        ok = Save(dialog, out + "/print-preview.png") && ok;
        dialog->reject();
      }
    });
    table->OnFilePrintpreview();
    table->Destroy();
  }
  {
    QWidget host;
    host.setWindowTitle("Test host");
    auto* layout = new QVBoxLayout(&host);
    layout->addWidget(new QLabel("A host program's window, with the table as its child:"));
    auto* slot = new QWidget;
    slot->setMinimumSize(760, 380);
    layout->addWidget(slot, 1);
    host.resize(800, 460);
    host.show();
    Settle();
    auto* table = new CZAT_PSF1(datatable::ParentWindow(slot), workbook, CZAT::FILE_TYPE_NONE,
                                nullptr, true, false, false);
    QWidget* child = datatable::TableWindow(table);
    child->setGeometry(slot->rect());
    ok = Save(&host, out + "/child-window.png") && ok;
    table->Destroy();
  }
  datatable::InstallPlatform(nullptr);
  Settle();
  return ok ? 0 : 1;
}
