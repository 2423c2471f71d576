#pragma once
// The engine's first selected range as the edit commands read it.

#include "control/control.h"

namespace commands {

struct SelectionInfo {
  int count = 0;  // number of selected ranges
  int r1 = 0, c1 = 0, r2 = 0, c2 = 0;

  bool WholeRows(const engine::Control& ctl) const { return c1 == 1 && c2 == ctl.GetMaxCol(); }
  bool WholeColumns(const engine::Control& ctl) const { return r1 == 1 && r2 == ctl.GetMaxRow(); }
};

// The count and the first range (all zero when nothing is selected).
inline SelectionInfo ReadSelection(const engine::Control& ctl) {
  SelectionInfo sel;
  sel.count = ctl.GetSelectionCount();
  if (sel.count >= 1) ctl.GetSelection(0, sel.r1, sel.c1, sel.r2, sel.c2);
  return sel;
}

}  // namespace commands
