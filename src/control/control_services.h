#pragma once
// What the control needs from the window platform: the system clipboard and its own dialogs.
// The engine declares these; the platform implements them. Headless, the defaults below apply.

#include <optional>
#include <string>

namespace engine {

class Control;

// Tab-separated text on the system clipboard, for other programs.
class SystemClipboard {
 public:
  virtual ~SystemClipboard() = default;
  virtual void SetText(const std::string& text) = 0;
  virtual std::optional<std::string> GetText() const = 0;
};

// A clipboard private to the process (the headless default).
class ProcessClipboard : public SystemClipboard {
 public:
  void SetText(const std::string& text) override { text_ = text; }
  std::optional<std::string> GetText() const override { return text_; }

 private:
  std::optional<std::string> text_;
};

// The control's own dialogs. Each returns true when the user completed it, false when cancelled.
class ControlDialogs {
 public:
  virtual ~ControlDialogs() = default;
  virtual bool Find(Control&) { return false; }
  virtual bool Replace(Control&) { return false; }
  virtual bool Goto(Control&) { return false; }
  virtual bool Sort(Control&) { return false; }
  virtual bool NumberFormat(Control&) { return false; }
  virtual bool ValidationRule(Control&) { return false; }
  virtual bool PrintSetup(Control&) { return false; }
  virtual bool PrintPreview(Control&) { return false; }
  // Prints the active sheet; with showDialog the print dialog comes first.
  virtual bool Print(Control&, bool /*showDialog*/) { return false; }
};

}  // namespace engine
