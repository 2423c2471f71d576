// The Qt tests run offscreen in one QApplication, made before any test and after GoogleTest
// has taken its own flags (test discovery runs this program too, without a display).
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int result = RUN_ALL_TESTS();
  // Windows a test left to deferred deletion go before the application does.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return result;
}
