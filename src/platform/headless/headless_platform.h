#pragma once
// The headless platform: no display. Message boxes and dialogs answer from queues a test (or a
// host) fills and record what they were shown; the profile is an in-memory store; timers fire
// when a test says so; the frame is an in-memory record of what a window would show.

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "control/control_services.h"
#include "platform/platform.h"

namespace platform {

// A window that exists only as its rectangle (a host's parent window, the desktop).
class HeadlessWindow : public CWnd {
 public:
  explicit HeadlessWindow(Rect rect = {}) : rect_(rect) {}
  Rect GetWindowRect() const override { return rect_; }
  void SetRect(Rect rect) { rect_ = rect; }

 private:
  Rect rect_;
};

// One message box as it was shown.
struct ShownMessage {
  std::string text;
  std::string caption;
  unsigned type = 0;
  int answer = 0;
};

class HeadlessMessageBoxes : public MessageBoxes {
 public:
  using Handler = std::function<int(const std::string& text, unsigned type)>;
  int Show(CWnd* owner, const std::string& text, const std::string& caption,
           unsigned type) override;
  // Answers for the next boxes, in order; with none queued the handler answers, or else the
  // box's default button.
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  void SetHandler(Handler handler) { handler_ = std::move(handler); }
  const std::vector<ShownMessage>& Shown() const { return shown_; }
  void ClearShown() { shown_.clear(); }

 private:
  std::deque<int> answers_;
  Handler handler_;
  std::vector<ShownMessage> shown_;
};

class HeadlessProfile : public Profile {
 public:
  int GetInt(const std::string& section, const std::string& key, int defaultValue) const override;
  bool WriteInt(const std::string& section, const std::string& key, int value) override;
  bool Has(const std::string& section, const std::string& key) const;
  void Clear() { values_.clear(); }
  int ReadCount() const { return readCount_; }  // reads made so far

 private:
  mutable int readCount_ = 0;
  std::map<std::pair<std::string, std::string>, int> values_;
};

class HeadlessFileDialogs : public FileDialogs {
 public:
  bool Run(const FileDialogRequest& request, FileDialogResult& result) override;
  // Results of the next dialogs, in order; with none queued a dialog is cancelled.
  void QueueResult(FileDialogResult result) { results_.push_back({true, std::move(result)}); }
  void QueueCancel() { results_.push_back({false, {}}); }
  const std::vector<FileDialogRequest>& Requests() const { return requests_; }

 private:
  std::deque<std::pair<bool, FileDialogResult>> results_;
  std::vector<FileDialogRequest> requests_;
};

class HeadlessLocale : public LocaleSource {
 public:
  engine::LocaleSettings Settings() const override { return settings_; }
  void Set(engine::LocaleSettings settings) { settings_ = std::move(settings); }

 private:
  engine::LocaleSettings settings_ = engine::LocaleSettings::EnUs();
};

// One thing a person does in a dialog: types a text into an edit box (the dialog is told of
// the change), picks a list-box entry, or presses a button (a disabled one does nothing).
struct DialogStep {
  enum class Kind { Type, Select, Press };
  Kind kind = Kind::Press;
  int id = 0;
  std::string text;  // Type
  int index = -1;    // Select
  static DialogStep Type(int id, std::string text) { return {Kind::Type, id, std::move(text), -1}; }
  static DialogStep Select(int id, int index) { return {Kind::Select, id, {}, index}; }
  static DialogStep Press(int id) { return {Kind::Press, id, {}, -1}; }
};

// A scripted answer to a modal dialog: the steps in order, then texts typed into controls and
// commands sent, then the closing button (1 OK, 2 Cancel).
struct DialogAnswer {
  std::vector<std::pair<int, std::string>> texts;
  std::vector<int> commands;
  int result = 1;
  std::vector<DialogStep> steps{};
};

class HeadlessTableDialogs : public TableDialogs {
 public:
  // Each answer is used by one run; an OK that the dialog refuses (OnOK false) takes the next
  // answer, as a person would try again. With nothing queued the dialog is cancelled.
  int RunModal(CWnd* parent, DialogModel& dialog) override;
  void QueueAnswer(DialogAnswer answer) { answers_.push_back(std::move(answer)); }
  // Called with each dialog when it opens (before the answer is applied).
  void SetObserver(std::function<void(DialogModel&)> observer) { observer_ = std::move(observer); }
  const std::vector<unsigned>& Shown() const { return shown_; }

 private:
  std::deque<DialogAnswer> answers_;
  std::function<void(DialogModel&)> observer_;
  std::vector<unsigned> shown_;
};

// The string table of the resources, in the language of the locale.
class HeadlessStrings : public StringTable {
 public:
  bool Load(unsigned id, std::string& out) const override;
  void SetLanguage(const std::string& language) override { language_ = language; }
  const std::string& Language() const { return language_; }

 private:
  std::string language_ = "en";
};

class HeadlessFrame;

class HeadlessPlatform : public Platform {
 public:
  HeadlessPlatform();
  ~HeadlessPlatform() override;

  MessageBoxes& Boxes() override { return boxes_; }
  StringTable& Strings() override { return strings_; }
  Profile& UserProfile() override { return profile_; }
  FileDialogs& Files() override { return files_; }
  LocaleSource& Locale() override { return locale_; }
  TableDialogs& Dialogs() override { return dialogs_; }
  std::unique_ptr<Frame> NewFrame() override;
  CWnd* DesktopWindow() override { return &desktop_; }
  engine::SystemClipboard* Clipboard() override { return &clipboard_; }
  engine::ControlDialogs* ControlDialogs() override { return nullptr; }

  HeadlessMessageBoxes& MessageBoxScript() { return boxes_; }
  HeadlessProfile& ProfileStore() { return profile_; }
  HeadlessFileDialogs& FileDialogScript() { return files_; }
  HeadlessLocale& LocaleSettings() { return locale_; }
  HeadlessTableDialogs& DialogScript() { return dialogs_; }
  HeadlessStrings& StringSource() { return strings_; }
  HeadlessWindow& Desktop() { return desktop_; }

  // The frames alive now, oldest first (a frame leaves the list when it is deleted).
  const std::vector<HeadlessFrame*>& Frames() const { return frames_; }
  HeadlessFrame* LastFrame() const { return frames_.empty() ? nullptr : frames_.back(); }

 private:
  friend class HeadlessFrame;
  HeadlessMessageBoxes boxes_;
  HeadlessStrings strings_;
  HeadlessProfile profile_;
  HeadlessFileDialogs files_;
  HeadlessLocale locale_;
  HeadlessTableDialogs dialogs_;
  HeadlessWindow desktop_{Rect{0, 0, 1920, 1080}};
  engine::ProcessClipboard clipboard_;
  std::vector<HeadlessFrame*> frames_;
};

}  // namespace platform
