#include "control/model/block_arena.h"

#include <cstdint>
#include <new>
#include <utility>

#include "control/model/mapped_memory.h"

namespace engine {

// A chunk is kHugePageBytes aligned to its size; its first block holds this record, so that a
// block finds its chunk by rounding its address down.
struct BlockArena::Chunk {
  std::size_t live = 0;      // blocks handed out
  std::size_t fresh = 1;     // blocks from here on were never handed out
  void* freeList = nullptr;  // blocks given back, linked through their first bytes
  Chunk* prev = nullptr;     // in withRoom_
  Chunk* next = nullptr;
  bool linked = false;
};

namespace {

constexpr std::size_t kBlocksPerChunk = kHugePageBytes / BlockArena::kBlockBytes;

}  // namespace

BlockArena::~BlockArena() {
  // Only empty chunks remain when every block has come back: the spare, and chunks that were
  // never filled.
  while (withRoom_) {
    Chunk* c = withRoom_;
    Unlink(c);
    UnmapLarge(c, kHugePageBytes);
  }
  if (spare_) UnmapLarge(spare_, kHugePageBytes);
}

BlockArena& BlockArena::Shared() {
  // Never destroyed: workbooks held by other objects of static lifetime give their blocks
  // back after the end of main.
  static BlockArena* const arena = new BlockArena();
  return *arena;
}

BlockArena::Chunk* BlockArena::NewChunk() {
  void* p = MapLarge(kHugePageBytes);
  ++chunks_;
  return new (p) Chunk();
}

void BlockArena::Unlink(Chunk* c) noexcept {
  if (!c->linked) return;
  if (c->prev) c->prev->next = c->next;
  else withRoom_ = c->next;
  if (c->next) c->next->prev = c->prev;
  c->prev = c->next = nullptr;
  c->linked = false;
}

void BlockArena::LinkFront(Chunk* c) noexcept {
  if (c->linked) return;
  c->prev = nullptr;
  c->next = withRoom_;
  if (withRoom_) withRoom_->prev = c;
  withRoom_ = c;
  c->linked = true;
}

void* BlockArena::Take() {
  std::lock_guard lock(mutex_);
  Chunk* c = withRoom_;
  if (!c) {
    c = spare_ ? std::exchange(spare_, nullptr) : NewChunk();
    LinkFront(c);
  }
  void* block;
  if (c->freeList) {
    block = c->freeList;
    c->freeList = *static_cast<void**>(block);
  } else {
    block = reinterpret_cast<std::uint8_t*>(c) + c->fresh * kBlockBytes;
    ++c->fresh;
  }
  ++c->live;
  ++live_;
  if (!c->freeList && c->fresh == kBlocksPerChunk) Unlink(c);
  return block;
}

void BlockArena::Give(void* block) noexcept {
  if (!block) return;
  std::lock_guard lock(mutex_);
  auto* c = reinterpret_cast<Chunk*>(reinterpret_cast<std::uintptr_t>(block) &
                                     ~(kHugePageBytes - 1));
  *static_cast<void**>(block) = c->freeList;
  c->freeList = block;
  --c->live;
  --live_;
  if (c->live > 0) {
    LinkFront(c);
    return;
  }
  Unlink(c);
  if (spare_) {
    UnmapLarge(c, kHugePageBytes);
    --chunks_;
    return;
  }
  // Kept as if new: its pages stay mapped and are reused from the start.
  c->~Chunk();
  spare_ = new (c) Chunk();
}

std::size_t BlockArena::ChunkCount() const {
  std::lock_guard lock(mutex_);
  return chunks_;
}

std::size_t BlockArena::LiveBlocks() const {
  std::lock_guard lock(mutex_);
  return live_;
}

}  // namespace engine
