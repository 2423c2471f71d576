#include "qt/clipboard.h"

#include <QGuiApplication>
#include <QMimeData>

namespace qtui {

namespace {

QClipboard* Board() {
  return QGuiApplication::instance() != nullptr ? QGuiApplication::clipboard() : nullptr;
}

}  // namespace

void QtClipboard::SetText(const std::string& text) {
  if (QClipboard* board = Board()) board->setText(QString::fromStdString(text), mode_);
}

std::optional<std::string> QtClipboard::GetText() const {
  QClipboard* board = Board();
  const QMimeData* data = board != nullptr ? board->mimeData(mode_) : nullptr;
  if (data == nullptr || !data->hasText()) return std::nullopt;
  return data->text().toStdString();
}

void QtClipboard::SetContent(const engine::ClipboardContent& content) {
  QClipboard* board = Board();
  if (board == nullptr) return;
  auto* data = new QMimeData;  // the clipboard takes it over
  data->setText(QString::fromStdString(content.text));
  if (!content.html.empty()) data->setHtml(QString::fromStdString(content.html));
  if (!content.cells.empty())
    data->setData(QLatin1String(kCellsMimeType),
                  QByteArray(content.cells.data(), static_cast<qsizetype>(content.cells.size())));
  board->setMimeData(data, mode_);
}

std::optional<std::string> QtClipboard::GetCells() const {
  QClipboard* board = Board();
  const QMimeData* data = board != nullptr ? board->mimeData(mode_) : nullptr;
  if (data == nullptr || !data->hasFormat(QLatin1String(kCellsMimeType))) return std::nullopt;
  const QByteArray bytes = data->data(QLatin1String(kCellsMimeType));
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::optional<std::string> QtClipboard::GetHtml() const {
  QClipboard* board = Board();
  const QMimeData* data = board != nullptr ? board->mimeData(mode_) : nullptr;
  if (data == nullptr || !data->hasHtml()) return std::nullopt;
  return data->html().toStdString();
}

}  // namespace qtui
