#pragma once
// The system clipboard as other programs and processes fill it: what another process finds
// after this one copied, and a clipboard that keeps the HTML form as a desktop's does.

#include <optional>
#include <string>

#include "control/control_services.h"

namespace clipboard_forms {

class HtmlProcessClipboard : public engine::ProcessClipboard {
 public:
  std::optional<std::string> GetHtml() const override {
    if (Html().empty()) return std::nullopt;
    return Html();
  }
};

// The same forms, but a copy this process does not hold (its token is another's).
inline engine::ClipboardContent AsFromAnotherProcess(const engine::ProcessClipboard& from) {
  engine::ClipboardContent content;
  content.text = from.GetText().value_or("");
  content.html = from.Html();
  std::string cells = from.GetCells().value_or("");
  const std::size_t tab = cells.find('\t'), end = cells.find('\n');
  if (tab != std::string::npos && end != std::string::npos)
    cells.replace(tab + 1, end - tab - 1, "4242-other");
  content.cells = cells;
  return content;
}

}  // namespace clipboard_forms
