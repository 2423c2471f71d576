#pragma once
// Column-major cell storage. A column is a table of fixed-size blocks of 16-byte slots,
// allocated when a row in the block is first written, so a dense column costs 16 bytes a cell
// and a sparse one never costs more than one block per written cell. Row 1 of a column lives at
// slot `first_`, so that rows removed from or inserted at the top of a column (the stored
// form's names row on every open and save) move no slot: only the origin moves.

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "control/formula/formula_cell.h"
#include "control/limits.h"
#include "control/model/mapped_memory.h"

namespace engine {

enum class CellKind : std::uint8_t { Empty = 0, Number, Text, Logical, Error, Formula };

struct CellSlot {
  double number = 0;       // Number
  std::uint32_t ref = 0;   // Text: index in the sheet's text pool; Formula: in its formula pool
  std::uint16_t style = 0; // 0 = no own style (the row's, then the column's, then the default)
  CellKind kind = CellKind::Empty;
  std::uint8_t small = 0;  // Logical: 0/1; Error: ErrorValue
  bool HasContent() const { return kind != CellKind::Empty; }
  bool IsBlank() const { return kind == CellKind::Empty && style == 0; }
};
static_assert(sizeof(CellSlot) == 16);

class Column {
 public:
  static constexpr int kBlockBits = 8;
  static constexpr int kBlockRows = 1 << kBlockBits;

  // The slot of a row (1-based), or nullptr when its block was never written.
  const CellSlot* Find(int row) const {
    unsigned i = static_cast<unsigned>(row - 1 + first_);
    unsigned b = i >> kBlockBits;
    if (b >= blocks_.size() || !blocks_[b]) return nullptr;
    return &(*blocks_[b])[i & (kBlockRows - 1)];
  }
  // The slot of a row, allocating its block. Call Touched(row) after giving it content.
  CellSlot& At(int row) {
    const unsigned i = static_cast<unsigned>(row - 1 + first_);
    const unsigned b = i >> kBlockBits;
    if (b < blocks_.size() && blocks_[b]) return (*blocks_[b])[i & (kBlockRows - 1)];
    return Allocate(row);
  }

  int LastUsedRow() const { return lastUsed_; }  // last row with content; 0 when none
  void Touched(int row) {
    if (row > lastUsed_) lastUsed_ = row;
  }
  void Recount();  // after clearing cells: find the last row with content again
  bool Empty() const { return lastUsed_ == 0 && blocks_.empty(); }
  // The last row that has a slot, never beyond the sheet's last row.
  int LastSlotRow() const {
    return std::min((static_cast<int>(blocks_.size()) << kBlockBits) - first_, kMaxRow);
  }

  // Moves the slots of rows [from, from+count) to start at row `to`; slots moved over are
  // overwritten, the vacated ones become blank. Pool references move with their slots.
  void MoveRows(int from, int count, int to);
  // Rows 1 … count leave the column and the rows below move up by count; rows count+1 … on
  // become rows 1 … on. The rows that leave must hold nothing (their pool entries released and
  // styles cleared): their slots are dropped.
  void RemoveTopRows(int count);
  // count blank rows come in at the top and every row moves down by count. The rows pushed
  // past the sheet's last row must hold nothing: their slots are dropped.
  void InsertTopRows(int count);
  void Swap(Column& other) noexcept {
    blocks_.swap(other.blocks_);
    std::swap(lastUsed_, other.lastUsed_);
    std::swap(first_, other.first_);
  }
  void Reset() {
    blocks_.clear();
    lastUsed_ = 0;
    first_ = 0;
  }

  template <typename F>
  void ForEachSlot(int firstRow, int lastRow, F&& f) {  // f(row, slot&) for allocated slots
    if (firstRow < 1) firstRow = 1;
    if (lastRow > kMaxRow) lastRow = kMaxRow;
    for (int row = firstRow; row <= lastRow;) {
      unsigned i = static_cast<unsigned>(row - 1 + first_);
      unsigned b = i >> kBlockBits;
      if (b >= blocks_.size()) break;
      const int blockEnd = static_cast<int>((b + 1) << kBlockBits) - first_;  // its last row
      if (!blocks_[b]) {
        row = blockEnd + 1;
        continue;
      }
      auto& block = *blocks_[b];
      int end = std::min(lastRow, blockEnd);
      for (; row <= end; ++row) f(row, block[(row - 1 + first_) & (kBlockRows - 1)]);
    }
  }

  std::size_t MemoryBytes() const;

 private:
  using Block = std::array<CellSlot, kBlockRows>;
  // Blocks come from the shared block arena (block_arena.h).
  struct BlockDelete {
    void operator()(Block* block) const noexcept;
  };
  using BlockPtr = std::unique_ptr<Block, BlockDelete>;
  static BlockPtr NewBlock();
  CellSlot& Allocate(int row);
  // Slots before first_ and slots of rows past kMaxRow are always blank.
  std::vector<BlockPtr> blocks_;
  int lastUsed_ = 0;
  int first_ = 0;  // the slot of row 1, 0 … kBlockRows - 1
};

// Owns the variable-size parts of cells: texts and formulas. Slots refer to them by index;
// freed indexes are reused.
template <typename T>
class Pool {
 public:
  // Takes the item as given: a copy is made once, straight into its place.
  template <typename U>
  std::uint32_t Add(U&& item) {
    if (!free_.empty()) {
      std::uint32_t i = free_.back();
      free_.pop_back();
      items_[i] = std::forward<U>(item);
      return i;
    }
    items_.emplace_back(std::forward<U>(item));
    return static_cast<std::uint32_t>(items_.size() - 1);
  }
  // Room for `count` more items, so that a reader that knows how many come moves none of them
  // (a large room is mapped memory offered as huge pages: see MappedAllocator).
  void Reserve(std::size_t count) { items_.reserve(items_.size() + count); }
  // Gives back room that a generous Reserve left unused, when most of it is.
  void Trim() {
    if (items_.capacity() > 2 * items_.size() + 64) items_.shrink_to_fit();
  }
  void Release(std::uint32_t i) {
    items_[i] = T();
    free_.push_back(i);
  }
  T& operator[](std::uint32_t i) { return items_[i]; }
  const T& operator[](std::uint32_t i) const { return items_[i]; }
  std::size_t Live() const { return items_.size() - free_.size(); }

 private:
  std::vector<T, MappedAllocator<T>> items_;
  std::vector<std::uint32_t> free_;
};

using TextPool = Pool<std::string>;
using FormulaPool = Pool<std::unique_ptr<FormulaCell>>;

}  // namespace engine
