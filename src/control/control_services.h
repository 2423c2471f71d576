#pragma once
// What the control needs from the window platform: the system clipboard and its own dialogs.
// The engine declares these; the platform implements them. Headless, the defaults below apply.

#include <optional>
#include <string>

#include "control/sheet_features.h"

namespace engine {

class Control;

// What a copy puts on the system clipboard at once.
struct ClipboardContent {
  std::string text;   // tab-separated displayed text, lines ended by CR LF
  std::string html;   // the same block as an HTML table
  std::string cells;  // the cells (values, formulas, formats) in the engine's own form
};

// The system clipboard. Other programs read the text (and the HTML); another table, in this
// process or another, reads the cells.
class SystemClipboard {
 public:
  virtual ~SystemClipboard() = default;
  // Replaces the clipboard's content with text alone.
  virtual void SetText(const std::string& text) = 0;
  virtual std::optional<std::string> GetText() const = 0;
  // Replaces the clipboard's content with every form of a copy. A clipboard that keeps text
  // only keeps the text.
  virtual void SetContent(const ClipboardContent& content) { SetText(content.text); }
  // The cells in the engine's own form, while the clipboard holds the copy that put them
  // there; nullopt once another program has replaced it.
  virtual std::optional<std::string> GetCells() const { return std::nullopt; }
  // The HTML form another program put there, where the clipboard keeps one: a paste of that
  // program's text then gives each text the runs its HTML shows.
  virtual std::optional<std::string> GetHtml() const { return std::nullopt; }
};

// A clipboard private to the process (the headless default).
class ProcessClipboard : public SystemClipboard {
 public:
  void SetText(const std::string& text) override {
    text_ = text;
    html_.clear();
    cells_.reset();
  }
  std::optional<std::string> GetText() const override { return text_; }
  void SetContent(const ClipboardContent& content) override {
    text_ = content.text;
    html_ = content.html;
    if (content.cells.empty())
      cells_.reset();
    else
      cells_ = content.cells;
  }
  std::optional<std::string> GetCells() const override { return cells_; }
  const std::string& Html() const { return html_; }

 private:
  std::optional<std::string> text_;
  std::string html_;
  std::optional<std::string> cells_;
};

// A person's entry that breaks a cell's validation rule, as the alert shows it: the rule's own
// title and text, or the engine's when the rule gives none.
struct EntryAlert {
  ErrorStyle style = ErrorStyle::Stop;
  std::string title, message;
};
// The person's answer: enter the value anyway, edit it again, or leave the cell as it was.
enum class EntryAnswer { Accept, Retry, Cancel };

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
  // Puts an entry that breaks a rule to the person: stop offers Retry and Cancel, warning asks
  // whether to continue (Yes, No = Retry, Cancel), information notes it (OK, Cancel). Without
  // a person to ask, the entry is refused.
  virtual EntryAnswer EntryRefused(Control&, const EntryAlert&) { return EntryAnswer::Cancel; }
  virtual bool PrintSetup(Control&) { return false; }
  virtual bool PrintPreview(Control&) { return false; }
  // Whether printing is possible at all (a window platform with a printer system); without it
  // the engine refuses to print with an error that says so.
  virtual bool CanPrint() const { return false; }
  // Prints the active sheet; with showDialog the print dialog comes first. False: cancelled.
  virtual bool Print(Control&, bool /*showDialog*/) { return false; }
};

}  // namespace engine
