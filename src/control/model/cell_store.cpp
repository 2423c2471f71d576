#include "control/model/cell_store.h"

#include <algorithm>

namespace engine {

CellSlot& Column::At(int row) {
  unsigned i = static_cast<unsigned>(row - 1);
  unsigned b = i >> kBlockBits;
  if (b >= blocks_.size()) blocks_.resize(b + 1);
  if (!blocks_[b]) blocks_[b] = std::make_unique<Block>();
  return (*blocks_[b])[i & (kBlockRows - 1)];
}

void Column::Recount() {
  lastUsed_ = 0;
  for (std::size_t b = blocks_.size(); b-- > 0 && lastUsed_ == 0;) {
    if (!blocks_[b]) continue;
    const Block& block = *blocks_[b];
    for (int i = kBlockRows; i-- > 0;)
      if (block[i].HasContent()) {
        lastUsed_ = static_cast<int>(b << kBlockBits) + i + 1;
        break;
      }
  }
  // Drop trailing blocks that hold nothing at all.
  while (!blocks_.empty()) {
    auto& last = blocks_.back();
    if (last && std::any_of(last->begin(), last->end(), [](const CellSlot& s) { return !s.IsBlank(); }))
      break;
    blocks_.pop_back();
  }
}

void Column::MoveRows(int from, int count, int to) {
  if (count <= 0 || from == to) return;
  auto get = [this](int row) -> CellSlot {
    const CellSlot* s = Find(row);
    return s ? *s : CellSlot{};
  };
  auto put = [this](int row, const CellSlot& s) {
    if (s.IsBlank()) {
      if (Find(row)) At(row) = s;
    } else {
      At(row) = s;
    }
  };
  if (to < from) {
    for (int k = 0; k < count; ++k) {
      put(to + k, get(from + k));
      if (from + k >= to + count) put(from + k, CellSlot{});
    }
  } else {
    for (int k = count; k-- > 0;) {
      put(to + k, get(from + k));
      if (from + k < to) put(from + k, CellSlot{});
    }
  }
  Recount();
}

std::size_t Column::MemoryBytes() const {
  std::size_t n = blocks_.capacity() * sizeof(void*);
  for (const auto& b : blocks_)
    if (b) n += sizeof(Block);
  return n;
}

}  // namespace engine
