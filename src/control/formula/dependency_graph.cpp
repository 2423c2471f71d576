#include "control/formula/dependency_graph.h"

#include <algorithm>

namespace engine::formula {

void DependencyGraph::Clear() {
  cellReaders_.clear();
  ranges_.clear();
  freeRanges_.clear();
  buckets_.clear();
  records_.clear();
  volatiles_.clear();
}

void DependencyGraph::Set(CellKey formula, const std::vector<CellKey>& cells,
                          const std::vector<RangePrecedent>& ranges, bool isVolatile) {
  Remove(formula);
  Record rec;
  rec.cells = cells;
  for (CellKey c : cells) cellReaders_[c].push_back(formula);
  for (const RangePrecedent& r : ranges) {
    std::uint32_t index;
    if (!freeRanges_.empty()) {
      index = freeRanges_.back();
      freeRanges_.pop_back();
      ranges_[index] = RangeDep{r, formula};
    } else {
      index = static_cast<std::uint32_t>(ranges_.size());
      ranges_.push_back(RangeDep{r, formula});
    }
    rec.ranges.push_back(index);
    for (int c = r.c1; c <= r.c2; ++c) buckets_[Bucket(r.sheet, c)].push_back(index);
  }
  if (isVolatile) volatiles_.insert(formula);
  if (!rec.cells.empty() || !rec.ranges.empty() || isVolatile)
    records_.emplace(formula, std::move(rec));
}

void DependencyGraph::Remove(CellKey formula) {
  volatiles_.erase(formula);
  auto it = records_.find(formula);
  if (it == records_.end()) return;
  for (CellKey c : it->second.cells) {
    auto r = cellReaders_.find(c);
    if (r == cellReaders_.end()) continue;
    auto& v = r->second;
    auto pos = std::find(v.begin(), v.end(), formula);
    if (pos != v.end()) {
      *pos = v.back();
      v.pop_back();
    }
    if (v.empty()) cellReaders_.erase(r);
  }
  for (std::uint32_t index : it->second.ranges) {
    const RangePrecedent& r = ranges_[index].range;
    for (int c = r.c1; c <= r.c2; ++c) {
      auto b = buckets_.find(Bucket(r.sheet, c));
      if (b == buckets_.end()) continue;
      auto& v = b->second;
      auto pos = std::find(v.begin(), v.end(), index);
      if (pos != v.end()) {
        *pos = v.back();
        v.pop_back();
      }
      if (v.empty()) buckets_.erase(b);
    }
    freeRanges_.push_back(index);
  }
  records_.erase(it);
}

void DependencyGraph::ForEachReader(CellKey cell, const std::function<void(CellKey)>& f) const {
  auto it = cellReaders_.find(cell);
  if (it != cellReaders_.end())
    for (CellKey k : it->second) f(k);
  auto b = buckets_.find(Bucket(KeySheet(cell), KeyCol(cell)));
  if (b == buckets_.end()) return;
  int row = KeyRow(cell);
  for (std::uint32_t index : b->second) {
    const RangeDep& d = ranges_[index];
    if (row >= d.range.r1 && row <= d.range.r2) f(d.formula);
  }
}

void DependencyGraph::ForEachReaderOfBlock(std::uint32_t sheet, int r1, int c1, int r2, int c2,
                                           const std::function<void(CellKey)>& f) const {
  for (const auto& [cell, readers] : cellReaders_) {
    if (KeySheet(cell) != sheet) continue;
    int r = KeyRow(cell), c = KeyCol(cell);
    if (r < r1 || r > r2 || c < c1 || c > c2) continue;
    for (CellKey k : readers) f(k);
  }
  for (int c = c1; c <= c2; ++c) {
    auto b = buckets_.find(Bucket(sheet, c));
    if (b == buckets_.end()) continue;
    for (std::uint32_t index : b->second) {
      const RangeDep& d = ranges_[index];
      if (d.range.r2 >= r1 && d.range.r1 <= r2) f(d.formula);
    }
  }
}

}  // namespace engine::formula
