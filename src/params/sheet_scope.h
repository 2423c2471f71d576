#pragma once
// Operations that read or write one sheet make it active for the call and make the previously
// active sheet active again when they end, also when an engine error ends them early.

#include "datatable/zat.h"

namespace params {

class ActiveSheetRestorer {
 public:
  ActiveSheetRestorer(CZAT& table, long previous, long current)
      : table_(table), previous_(previous), current_(current) {}
  ~ActiveSheetRestorer() {
    if (previous_ == current_) return;
    try {
      table_.SetSheet(previous_);
    } catch (...) {
      // The sheet that was active is gone; nothing to restore.
    }
  }
  ActiveSheetRestorer(const ActiveSheetRestorer&) = delete;
  ActiveSheetRestorer& operator=(const ActiveSheetRestorer&) = delete;

 private:
  CZAT& table_;
  long previous_;
  long current_;
};

}  // namespace params
