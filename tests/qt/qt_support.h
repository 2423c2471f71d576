#pragma once
// Helpers of the Qt tests: answering modal boxes and dialogs as a person would, a temporary
// settings location, and a table on the Qt platform.

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "qt/qt_frame.h"
#include "qt/qt_platform.h"

// Runs `answer` on the next modal widget that opens (polling the event loop), once.
void WhenModal(std::function<void(QWidget*)> answer);
// Clicks the button of the next message box; records the box's text.
void AnswerNextBox(QMessageBox::StandardButton button, QString* text = nullptr);

// The QSettings of the test program live in a temporary folder for the fixture's life.
class TemporarySettings {
 public:
  TemporarySettings();
  ~TemporarySettings();
  QString Path() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
};

// The frame of a table (through its accelerator parameters, as a host sees its window).
qtui::QtFrame* FrameOf(class CZAT* table);
