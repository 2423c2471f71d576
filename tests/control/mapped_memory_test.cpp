// The memory behind large buffers and cell blocks: blocks handed out by the arena never
// overlap, come back blank to the cell store when reused, survive many threads at once, and
// a block taken and given back in a loop does not map a chunk each time; mapped buffers and
// containers keep their contents as they grow.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "control/model/block_arena.h"
#include "control/model/cell_store.h"
#include "control/model/mapped_memory.h"

using namespace engine;

namespace {

constexpr std::size_t kPerChunk = kHugePageBytes / BlockArena::kBlockBytes;

TEST(BlockArena, BlocksAreDistinctAlignedAndTheirChunksGoBackWhenEmpty) {
  BlockArena arena;
  std::vector<void*> blocks;
  // More than two chunks' worth, each block written whole with its own mark.
  for (std::size_t i = 0; i < 2 * kPerChunk + 5; ++i) {
    void* b = arena.Take();
    ASSERT_EQ(reinterpret_cast<std::uintptr_t>(b) % BlockArena::kBlockBytes, 0u);
    std::fill_n(static_cast<std::uint8_t*>(b), BlockArena::kBlockBytes,
                static_cast<std::uint8_t>(i));
    blocks.push_back(b);
  }
  EXPECT_EQ(std::set<void*>(blocks.begin(), blocks.end()).size(), blocks.size());
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const auto* p = static_cast<const std::uint8_t*>(blocks[i]);
    ASSERT_TRUE(std::all_of(p, p + BlockArena::kBlockBytes,
                            [&](std::uint8_t v) { return v == static_cast<std::uint8_t>(i); }))
        << "block " << i << " was written over by another";
  }
  EXPECT_EQ(arena.ChunkCount(), 3u);
  EXPECT_EQ(arena.LiveBlocks(), blocks.size());
  for (void* b : blocks) arena.Give(b);
  EXPECT_EQ(arena.LiveBlocks(), 0u);
  EXPECT_LE(arena.ChunkCount(), 1u);  // one empty chunk kept at hand, no more
}

TEST(BlockArena, TakingAndGivingBackInALoopKeepsOneChunk) {
  BlockArena arena;
  for (int i = 0; i < 10000; ++i) arena.Give(arena.Take());
  EXPECT_EQ(arena.ChunkCount(), 1u);
  // A block given back is handed out again before fresh ones.
  void* a = arena.Take();
  arena.Give(a);
  EXPECT_EQ(arena.Take(), a);
  arena.Give(a);
}

TEST(BlockArena, ManyThreadsAtOnceNeverShareABlock) {
  BlockArena arena;
  constexpr int kThreads = 4;
  constexpr int kRounds = 3000;
  std::vector<std::thread> threads;
  std::vector<int> failures(kThreads);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      std::vector<std::uint32_t*> mine;
      for (int i = 0; i < kRounds; ++i) {
        auto* b = static_cast<std::uint32_t*>(arena.Take());
        std::fill_n(b, BlockArena::kBlockBytes / 4, static_cast<std::uint32_t>(t));
        mine.push_back(b);
        if (i % 3 == 2) {  // give some back as we go, so that blocks are reused across threads
          arena.Give(mine.front());
          mine.erase(mine.begin());
        }
      }
      for (std::uint32_t* b : mine) {
        if (!std::all_of(b, b + BlockArena::kBlockBytes / 4,
                         [&](std::uint32_t v) { return v == static_cast<std::uint32_t>(t); }))
          ++failures[static_cast<std::size_t>(t)];
        arena.Give(b);
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int f : failures) EXPECT_EQ(f, 0);
  EXPECT_EQ(arena.LiveBlocks(), 0u);
}

// A column's block that is dropped and taken again comes back with blank slots, not with the
// cells it held before.
TEST(BlockArena, AReusedBlockHoldsNoOldCells) {
  Column column;
  for (int round = 0; round < 3; ++round) {
    for (int row = 1; row <= 3 * Column::kBlockRows; ++row) {
      CellSlot& s = column.At(row);
      s.kind = CellKind::Number;
      s.number = row;
      s.style = 5;
      column.Touched(row);
    }
    column.Reset();
    CellSlot& one = column.At(Column::kBlockRows + 7);
    EXPECT_EQ(one.kind, CellKind::Empty);
    for (int row = 1; row <= 3 * Column::kBlockRows; ++row) {
      const CellSlot* s = column.Find(row);
      if (s) {
        ASSERT_TRUE(s->IsBlank()) << "row " << row << " round " << round;
      }
    }
    column.Reset();
  }
}

TEST(MappedMemory, BuffersKeepTheirBytesAsTheyGrowAndLargeOnesAreAligned) {
  MappedBuffer buffer(100);
  std::fill_n(buffer.data(), 100, std::uint8_t{7});
  buffer.SetSize(100);
  buffer.Grow(3 * kHugePageBytes + 5);
  EXPECT_GE(buffer.capacity(), 3 * kHugePageBytes + 5);
  EXPECT_EQ(buffer.size(), 100u);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer.data()) % kHugePageBytes, 0u);
  EXPECT_TRUE(std::all_of(buffer.data(), buffer.data() + 100, [](auto v) { return v == 7; }));
  // Its last byte is there to write: the mapping covers the whole request.
  buffer.data()[buffer.capacity() - 1] = 1;
  buffer.SetSize(buffer.capacity() + 10);  // never beyond the room
  EXPECT_EQ(buffer.size(), buffer.capacity());
  MappedBuffer moved = std::move(buffer);
  EXPECT_EQ(buffer.size(), 0u);
  EXPECT_EQ(moved.data()[0], 7);
}

TEST(MappedMemory, AContainerOnTheAllocatorKeepsItsItemsAcrossTheSizeThreshold) {
  std::vector<std::string, MappedAllocator<std::string>> texts;
  const std::size_t n = 3 * kHugePageBytes / sizeof(std::string);
  for (std::size_t i = 0; i < n; ++i) texts.push_back("text number " + std::to_string(i));
  for (std::size_t i = 0; i < n; i += 997) ASSERT_EQ(texts[i], "text number " + std::to_string(i));
  texts.shrink_to_fit();
  texts.resize(10);
  texts.shrink_to_fit();  // back below the threshold: from the ordinary heap again
  EXPECT_EQ(texts[9], "text number 9");
}

}  // namespace
