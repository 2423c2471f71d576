#include "control/model/sheet.h"

#include <atomic>

namespace engine {

namespace {
std::atomic<std::uint64_t> lastHeadingStamp{0};
}  // namespace

Sheet::Sheet(std::uint32_t id, std::string name)
    : id_(id), name_(std::move(name)), columns_(kMaxCol), colAttrs_(kMaxCol), widest_(kMaxCol, 0) {
  NewHeadingStamp();
}

void Sheet::NewHeadingStamp() {
  headingStamp_ = lastHeadingStamp.fetch_add(1, std::memory_order_relaxed) + 1;
}

void Sheet::ComputeExtent() const {
  lastRow_ = lastCol_ = 0;
  for (int c = 1; c <= kMaxCol; ++c) {
    int r = columns_[c - 1].LastUsedRow();
    if (r) {
      lastCol_ = c;
      if (r > lastRow_) lastRow_ = r;
    }
  }
  extentValid_ = true;
}

RowAttr& Sheet::MutableRowAttr(int row) {
  if (row > static_cast<int>(rowAttrs_.size())) rowAttrs_.resize(row);
  return rowAttrs_[row - 1];
}

std::size_t Sheet::MemoryBytes() const {
  std::size_t n = sizeof(*this);
  for (const auto& c : columns_) n += c.MemoryBytes();
  for (const auto& entry : runs_) n += sizeof(entry) + entry.second.capacity() * sizeof(TextRun);
  return n;
}

}  // namespace engine
