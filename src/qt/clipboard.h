#pragma once
// The engine's system clipboard as Qt's QClipboard: a copy goes there as text/plain,
// text/html and the cells in our own MIME type, so other programs take the text or the table
// and another table — in this process or another — takes everything. Another program's HTML
// gives pasted texts their runs.

#include <QClipboard>

#include "control/control_services.h"

namespace qtui {

class QtClipboard : public engine::SystemClipboard {
 public:
  static constexpr const char* kCellsMimeType = "application/x-datatable-cells";

  explicit QtClipboard(QClipboard::Mode mode = QClipboard::Clipboard) : mode_(mode) {}

  void SetText(const std::string& text) override;
  std::optional<std::string> GetText() const override;
  void SetContent(const engine::ClipboardContent& content) override;
  std::optional<std::string> GetCells() const override;
  std::optional<std::string> GetHtml() const override;

 private:
  QClipboard::Mode mode_;
};

}  // namespace qtui
