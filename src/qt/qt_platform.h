#pragma once
// The Qt 6 platform: every service of the seam on Qt Widgets. Message boxes are QMessageBoxes,
// the profile is the host application's QSettings (its organisation and application names),
// the locale comes from QLocale and the application font, timers are QTimers, windows are
// QtFrames. The file dialogs, the system clipboard and the control's dialogs are replaceable
// (a host or the application wires its own in); until then the file dialogs are the headless
// ones and the engine keeps its own clipboard and dialogs.

#include <QLocale>
#include <memory>
#include <string>

#include "platform/headless/headless_platform.h"
#include "platform/platform.h"

namespace qtui {

class QtMessageBoxes : public platform::MessageBoxes {
 public:
  int Show(CWnd* owner, const std::string& text, const std::string& caption,
           unsigned type) override;
};

// Integers under "section/key" in the QSettings of the application.
class QtProfile : public platform::Profile {
 public:
  int GetInt(const std::string& section, const std::string& key, int defaultValue) const override;
  bool WriteInt(const std::string& section, const std::string& key, int value) override;
};

class QtLocale : public platform::LocaleSource {
 public:
  explicit QtLocale(QLocale locale) : locale_(std::move(locale)) {}
  // The C and POSIX locales give the headless platform's en-US settings.
  engine::LocaleSettings Settings() const override;
  const QLocale& Locale() const { return locale_; }
  // "ja" for a Japanese locale, else "en".
  std::string Language() const;

  // A Qt short date pattern with a two-digit year made four-digit ("M/d/yy" → "M/d/yyyy").
  static std::string FourDigitYear(const std::string& pattern);

 private:
  QLocale locale_;
};

// The table's dialogs, laid out from their templates.
class QtTableDialogs : public platform::TableDialogs {
 public:
  explicit QtTableDialogs(std::string language) : language_(std::move(language)) {}
  int RunModal(CWnd* parent, platform::DialogModel& dialog) override;

 private:
  std::string language_;
};

class QtPlatform : public platform::Platform {
 public:
  // Needs a QApplication. The locale decides the language of the resources and the regional
  // settings.
  explicit QtPlatform(const QLocale& locale = QLocale::system());
  ~QtPlatform() override;

  platform::MessageBoxes& Boxes() override { return boxes_; }
  platform::StringTable& Strings() override { return strings_; }
  platform::Profile& UserProfile() override { return profile_; }
  platform::FileDialogs& Files() override { return files_ ? *files_ : headlessFiles_; }
  platform::LocaleSource& Locale() override { return locale_; }
  platform::TableDialogs& Dialogs() override { return dialogs_; }
  std::unique_ptr<platform::Frame> NewFrame() override;
  CWnd* DesktopWindow() override;
  engine::SystemClipboard* Clipboard() override { return clipboard_.get(); }
  engine::ControlDialogs* ControlDialogs() override { return controlDialogs_.get(); }

  // Replaceable services; nullptr restores the default.
  void SetFileDialogs(std::unique_ptr<platform::FileDialogs> files) { files_ = std::move(files); }
  void SetClipboard(std::unique_ptr<engine::SystemClipboard> clipboard) {
    clipboard_ = std::move(clipboard);
  }
  void SetControlDialogs(std::unique_ptr<engine::ControlDialogs> dialogs) {
    controlDialogs_ = std::move(dialogs);
  }

  const std::string& Language() const { return language_; }

 private:
  std::string language_;
  QtMessageBoxes boxes_;
  platform::HeadlessStrings strings_;  // the compiled-in string table, in the locale's language
  QtProfile profile_;
  QtLocale locale_;
  QtTableDialogs dialogs_;
  platform::HeadlessFileDialogs headlessFiles_;
  std::unique_ptr<platform::FileDialogs> files_;
  std::unique_ptr<engine::SystemClipboard> clipboard_;
  std::unique_ptr<engine::ControlDialogs> controlDialogs_;
  std::unique_ptr<CWnd> desktop_;
};

}  // namespace qtui
