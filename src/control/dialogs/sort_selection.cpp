// Sort: the selected range through SortRange, with a heading row (column) left in place.
#include <algorithm>

#include "control/control.h"
#include "control/model/workbook.h"
#include "control/dialogs/edit_dialogs.h"

namespace engine {

bool SortWouldTearRows(const Control& control) {
  if (control.GetSelectionCount() != 1) return false;
  int r1, c1, r2, c2;
  control.GetSelection(0, r1, c1, r2, c2);
  const int lastCol = control.GetLastCol();
  if (r1 == r2 || lastCol < 1) return false;
  return c1 > 1 || c2 < lastCol;
}

void WidenSortSelection(Control& control) {
  if (control.GetSelectionCount() < 1) return;
  int r1, c1, r2, c2;
  control.GetSelection(0, r1, c1, r2, c2);
  control.SetSelection(r1, 1, r2, std::max(c2, control.GetLastCol()));
}

void SortSelection(Control& control, const SortRequest& request) {
  if (control.GetSelectionCount() != 1)
    throw EngineError(kErrBadArgument, "That command cannot be used on multiple selections.");
  int r1, c1, r2, c2;
  control.GetSelection(0, r1, c1, r2, c2);
  if (request.header) {
    if (request.byRows)
      ++r1;
    else
      ++c1;
    if (r1 > r2 || c1 > c2) return;  // only the heading is selected: nothing to sort
  }
  int keys[3] = {0, 0, 0};
  int n = 0;
  for (const SortKey& key : request.keys) {
    if (key.index == 0) continue;
    keys[n++] = key.descending ? -key.index : key.index;
  }
  control.SortRange(r1, c1, r2, c2, request.byRows, keys[0], keys[1], keys[2]);
}

}  // namespace engine
