// The headless message boxes, profile, file dialogs, table dialogs and string table.

#include <algorithm>

#include "platform/headless/headless_frame.h"
#include "platform/headless/headless_platform.h"
#include "resources/language.h"
#include "resources/string_table.h"

namespace platform {

int HeadlessMessageBoxes::Show(CWnd* /*owner*/, const std::string& text, const std::string& caption,
                               unsigned type) {
  int answer;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  } else if (handler_) {
    answer = handler_(text, type);
  } else {
    answer = DefaultAnswer(type);
  }
  shown_.push_back(ShownMessage{text, caption, type, answer});
  return answer;
}

int HeadlessProfile::GetInt(const std::string& section, const std::string& key,
                            int defaultValue) const {
  ++readCount_;
  auto it = values_.find({section, key});
  return it == values_.end() ? defaultValue : it->second;
}

bool HeadlessProfile::WriteInt(const std::string& section, const std::string& key, int value) {
  values_[{section, key}] = value;
  return true;
}

bool HeadlessProfile::Has(const std::string& section, const std::string& key) const {
  return values_.count({section, key}) != 0;
}

bool HeadlessFileDialogs::Run(const FileDialogRequest& request, FileDialogResult& result) {
  requests_.push_back(request);
  if (results_.empty()) return false;
  auto [chosen, answer] = std::move(results_.front());
  results_.pop_front();
  if (chosen) result = std::move(answer);
  return chosen;
}

namespace {
// Cuts text to at most limit characters (UTF-8 sequences), as a length-limited field would.
std::string CutToLimit(const std::string& text, std::size_t limit) {
  if (limit == 0) return text;
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (chars == limit) return text.substr(0, i);
    ++chars;
  }
  return text;
}
}  // namespace

int HeadlessTableDialogs::RunModal(CWnd* /*parent*/, DialogModel& dialog) {
  shown_.push_back(dialog.TemplateId());
  dialog.OnInitDialog();
  if (observer_) observer_(dialog);
  while (!answers_.empty()) {
    DialogAnswer answer = std::move(answers_.front());
    answers_.pop_front();
    for (const DialogStep& step : answer.steps) {
      switch (step.kind) {
        case DialogStep::Kind::Type:
          dialog.SetControlText(step.id, CutToLimit(step.text, dialog.TextLimit(step.id)));
          dialog.OnCommand(step.id);
          break;
        case DialogStep::Kind::Select:
          dialog.SetListSelection(step.id, step.index);
          dialog.OnCommand(step.id);
          break;
        case DialogStep::Kind::Press:
          if (dialog.IsControlEnabled(step.id)) dialog.OnCommand(step.id);
          break;
      }
    }
    for (const auto& [id, text] : answer.texts)
      dialog.SetControlText(id, CutToLimit(text, dialog.TextLimit(id)));
    for (int id : answer.commands) dialog.OnCommand(id);
    if (answer.result != 1) break;
    if (dialog.OnOK()) return 1;
  }
  dialog.OnCancel();
  return 2;
}

bool HeadlessStrings::Load(unsigned id, std::string& out) const {
  out.clear();
  const char* text = resources::String(static_cast<int>(id), resources::LanguageFor(language_));
  if (text == nullptr) return false;
  out = text;
  return true;
}

HeadlessPlatform::HeadlessPlatform() = default;
HeadlessPlatform::~HeadlessPlatform() = default;

std::unique_ptr<Frame> HeadlessPlatform::NewFrame() {
  return std::make_unique<HeadlessFrame>(*this);
}

}  // namespace platform
