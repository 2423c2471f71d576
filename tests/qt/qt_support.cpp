#include "qt_support.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QSettings>

#include "datatable/zat.h"

void WhenModal(std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, answer, tries] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr && ++*tries < 400) return;
    timer->stop();
    timer->deleteLater();
    if (modal != nullptr) answer(modal);
  });
  timer->start();
}

void AnswerNextBox(QMessageBox::StandardButton button, QString* text) {
  WhenModal([button, text](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (box == nullptr) return;
    if (text != nullptr) *text = box->text();
    if (QAbstractButton* b = box->button(button)) b->click();
  });
}

TemporarySettings::TemporarySettings() {
  QCoreApplication::setOrganizationName("DataTableTests");
  QCoreApplication::setApplicationName("qt_tests");
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
}

TemporarySettings::~TemporarySettings() = default;

qtui::QtFrame* FrameOf(CZAT* table) {
  CWnd* window = nullptr;
  table->GetAccelTableParams(&window, nullptr);
  return dynamic_cast<qtui::QtFrame*>(window);
}
