#pragma once
// The SDK for hosts with a Qt 6 user interface (the library DataTable::datatable_qt): the Qt
// window platform, and the windows a host and a table exchange.
//
//   QApplication app(argc, argv);
//   datatable::InstallPlatform(datatable::MakeQtPlatform());
//   CZAT_PSF1 table(datatable::ParentWindow(hostWidget), ..., /*bChildWindow=*/true, ...);
//   QWidget* tableWidget = datatable::TableWindow(&table);

#include <memory>

#include "datatable/export.h"

class CWnd;
class CZAT;
class QWidget;
namespace platform {
class Platform;
}

namespace datatable {

// The Qt platform, for InstallPlatform. Needs a QApplication, made before and destroyed after
// every table of the platform. The user's locale chooses English or Japanese resources.
DATATABLE_API std::shared_ptr<platform::Platform> MakeQtPlatform();

// A host's widget as the table's parent window (pParentWnd); the same window for the same
// widget, alive as long as the widget. nullptr for nullptr.
DATATABLE_API CWnd* ParentWindow(QWidget* widget);

// The table's window from construction until Destroy: the QMainWindow in frame mode, the child
// widget in child mode. nullptr for a table of another platform (or without a window).
DATATABLE_API QWidget* TableWindow(CZAT* table);

}  // namespace datatable
