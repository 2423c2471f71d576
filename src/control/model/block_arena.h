#pragma once
// Fixed-size 4 KiB blocks carved from 2 MiB chunks of mapped memory (mapped_memory.h): a sheet
// of a million cells takes its blocks from a handful of huge pages instead of thousands of
// separately touched small ones. A chunk whose blocks have all come back is returned to the
// kernel, but for one kept at hand so that a block taken and given back in a loop does not
// map and unmap a chunk each time. Safe to use from several threads.

#include <cstddef>
#include <mutex>

namespace engine {

class BlockArena {
 public:
  static constexpr std::size_t kBlockBytes = 4096;

  BlockArena() = default;
  ~BlockArena();  // every block must have come back
  BlockArena(const BlockArena&) = delete;
  BlockArena& operator=(const BlockArena&) = delete;

  // The arena the cell store uses; it lives as long as the process.
  static BlockArena& Shared();

  // A block of kBlockBytes, aligned to kBlockBytes, its contents undefined. Throws
  // std::bad_alloc.
  void* Take();
  // Gives back a block that Take returned.
  void Give(void* block) noexcept;

  std::size_t ChunkCount() const;  // chunks mapped now
  std::size_t LiveBlocks() const;  // blocks taken and not given back

 private:
  struct Chunk;
  Chunk* NewChunk();
  void Unlink(Chunk* c) noexcept;
  void LinkFront(Chunk* c) noexcept;

  mutable std::mutex mutex_;
  Chunk* withRoom_ = nullptr;  // chunks that have a block to give, most recent first
  Chunk* spare_ = nullptr;     // an empty chunk kept at hand
  std::size_t chunks_ = 0;
  std::size_t live_ = 0;
};

}  // namespace engine
