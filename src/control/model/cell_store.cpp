#include "control/model/cell_store.h"

#include <algorithm>
#include <iterator>
#include <new>

#include "control/model/block_arena.h"

namespace engine {

static_assert(sizeof(std::array<CellSlot, Column::kBlockRows>) == BlockArena::kBlockBytes);

// Under AddressSanitizer every block is its own allocation, so that a slot index that runs
// past its block is reported rather than landing in the next block of a chunk.
Column::BlockPtr Column::NewBlock() {
#if defined(__SANITIZE_ADDRESS__)
  return BlockPtr(new Block());
#else
  void* raw = BlockArena::Shared().Take();
  return BlockPtr(new (raw) Block());
#endif
}

void Column::BlockDelete::operator()(Block* block) const noexcept {
#if defined(__SANITIZE_ADDRESS__)
  delete block;
#else
  block->~Block();
  BlockArena::Shared().Give(block);
#endif
}

CellSlot& Column::Allocate(int row) {
  unsigned i = static_cast<unsigned>(row - 1 + first_);
  unsigned b = i >> kBlockBits;
  if (b >= blocks_.size()) blocks_.resize(b + 1);
  if (!blocks_[b]) blocks_[b] = NewBlock();
  return (*blocks_[b])[i & (kBlockRows - 1)];
}

void Column::Recount() {
  lastUsed_ = 0;
  for (std::size_t b = blocks_.size(); b-- > 0 && lastUsed_ == 0;) {
    if (!blocks_[b]) continue;
    const Block& block = *blocks_[b];
    for (int i = kBlockRows; i-- > 0;)
      if (block[i].HasContent()) {
        lastUsed_ = static_cast<int>(b << kBlockBits) + i + 1 - first_;
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
  if (blocks_.empty()) first_ = 0;
}

void Column::RemoveTopRows(int count) {
  if (count <= 0 || blocks_.empty()) return;
  const int slots = static_cast<int>(blocks_.size()) << kBlockBits;
  if (count >= slots - first_) {  // every row that has a slot leaves
    Reset();
    return;
  }
  // The slots that fall before the new origin stay blank, as every slot before it is.
  for (int row = 1; row <= count; ++row)
    if (const CellSlot* s = Find(row); s && !s->IsBlank()) At(row) = CellSlot{};
  first_ += count;
  const std::size_t dropped = static_cast<std::size_t>(first_ >> kBlockBits);
  blocks_.erase(blocks_.begin(), blocks_.begin() + static_cast<std::ptrdiff_t>(dropped));
  first_ &= kBlockRows - 1;
  lastUsed_ = std::max(lastUsed_ - count, 0);
}

void Column::InsertTopRows(int count) {
  if (count <= 0 || blocks_.empty()) return;
  if (count >= kMaxRow) {  // every row is pushed off the sheet
    Reset();
    return;
  }
  if (count <= first_) {
    first_ -= count;  // the slots before the origin are blank: they become the new rows
  } else {
    const int added = (count - first_ + kBlockRows - 1) >> kBlockBits;
    std::vector<BlockPtr> fresh(static_cast<std::size_t>(added));
    blocks_.insert(blocks_.begin(), std::make_move_iterator(fresh.begin()),
                   std::make_move_iterator(fresh.end()));
    first_ += (added << kBlockBits) - count;
  }
  if (lastUsed_ > 0) lastUsed_ = std::min(lastUsed_ + count, kMaxRow);
  // Rows pushed past the last row of the sheet: whole blocks go, a block that the last row
  // cuts keeps its (blank) slots beyond it.
  while (!blocks_.empty() &&
         (static_cast<int>(blocks_.size() - 1) << kBlockBits) - first_ >= kMaxRow)
    blocks_.pop_back();
  for (int row = kMaxRow + 1; row <= (static_cast<int>(blocks_.size()) << kBlockBits) - first_;
       ++row) {
    const unsigned i = static_cast<unsigned>(row - 1 + first_);
    if (auto& block = blocks_[i >> kBlockBits]) (*block)[i & (kBlockRows - 1)] = CellSlot{};
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
