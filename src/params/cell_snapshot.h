#pragma once
// What a cell held before an entry, so that an entry that fails halfway can be undone: its
// content (value or formula) and its own style.

#include <cstdint>
#include <string>

#include "control/model/value.h"

namespace engine {
class Control;
}

namespace params {

class CellSnapshot {
 public:
  // Reads the cell of the engine's active sheet.
  CellSnapshot(const engine::Control& ctl, int row, int col);
  // Puts the content and style back. Engine errors are swallowed: restoring is best effort.
  void Restore(engine::Control& ctl) const;

 private:
  int row_;
  int col_;
  bool empty_ = true;
  std::string formula_;  // the entry text of a formula cell ("=…"), else empty
  engine::Value value_;
  std::uint16_t style_ = 0;
};

}  // namespace params
