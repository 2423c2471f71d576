#pragma once
// Which formulas read which cells. Single-cell references are kept in a hash map from cell to
// readers; ranges in per-column buckets, so that a change finds its readers without scanning
// every formula. Each formula's own registrations are recorded so that they can be dropped
// when the formula is replaced or cleared.

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace engine::formula {

using CellKey = std::uint64_t;
inline CellKey MakeKey(std::uint32_t sheet, int row, int col) {
  return (CellKey(sheet) << 32) | (CellKey(row - 1) << 8) | CellKey(col - 1);
}
inline std::uint32_t KeySheet(CellKey k) { return static_cast<std::uint32_t>(k >> 32); }
inline int KeyRow(CellKey k) { return static_cast<int>((k >> 8) & 0xFFFFFF) + 1; }
inline int KeyCol(CellKey k) { return static_cast<int>(k & 0xFF) + 1; }

struct RangePrecedent {
  std::uint32_t sheet;
  int r1, c1, r2, c2;
};

class DependencyGraph {
 public:
  void Clear();
  // Registers a formula's precedents (replacing what it had).
  void Set(CellKey formula, const std::vector<CellKey>& cells,
           const std::vector<RangePrecedent>& ranges, bool isVolatile);
  void Remove(CellKey formula);
  // Formulas that read the cell.
  void ForEachReader(CellKey cell, const std::function<void(CellKey)>& f) const;
  // Formulas that read any cell of the block.
  void ForEachReaderOfBlock(std::uint32_t sheet, int r1, int c1, int r2, int c2,
                            const std::function<void(CellKey)>& f) const;
  const std::unordered_set<CellKey>& Volatiles() const { return volatiles_; }
  std::size_t FormulaCount() const { return records_.size(); }

 private:
  struct RangeDep {
    RangePrecedent range;
    CellKey formula;
  };
  struct Record {
    std::vector<CellKey> cells;
    std::vector<std::uint32_t> ranges;
  };
  static std::uint64_t Bucket(std::uint32_t sheet, int col) {
    return (std::uint64_t(sheet) << 8) | std::uint64_t(col - 1);
  }

  std::unordered_map<CellKey, std::vector<CellKey>> cellReaders_;
  std::vector<RangeDep> ranges_;
  std::vector<std::uint32_t> freeRanges_;
  std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> buckets_;
  std::unordered_map<CellKey, Record> records_;
  std::unordered_set<CellKey> volatiles_;
};

}  // namespace engine::formula
