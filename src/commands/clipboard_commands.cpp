// Cut, copy, paste and paste values, with the repairs a paste needs so that every column it
// fills is a named parameter.

#include <algorithm>
#include <exception>
#include <optional>
#include <string>

#include "resources/resource_ids.h"
#include "table/czat_psf1.h"

namespace {

// Cut or Copy of the selection: the description of the engine's failure, if it failed.
std::optional<std::string> TakeSelection(engine::Control& ctl, void (engine::Control::*take)()) {
  try {
    (ctl.*take)();
  } catch (const engine::EngineError& error) {
    return error.Description();
  }
  return std::nullopt;
}

}  // namespace

void CZAT_PSF1::OnEditCut() {
  if (auto failure = TakeSelection(Ctl(), &engine::Control::CutSelection)) ShowErrMessage(*failure);
}

void CZAT_PSF1::OnEditCopy() {
  if (auto failure = TakeSelection(Ctl(), &engine::Control::CopySelection))
    ShowErrMessage(*failure);
}

int CZAT_PSF1::EditCopy() {
  if (Ctl().GetSelectionCount() != 1) return 0;
  OnEditCopy();
  return 1;
}

int CZAT_PSF1::TestDlgEditPaste() {
  if (Ctl().GetSelectionCount() != 1) return 0;
  EditPaste(1);
  return 1;
}

void CZAT_PSF1::OnEditPaste() { EditPaste(1); }

namespace {

// A column range that may be empty (first 0, last -1).
struct ColumnSpan {
  long first = 0;
  long last = -1;
};

// The paste shared by Paste and Paste Values (values: the engine's PasteValues). Learns the
// columns the paste covered, the new columns to name and those whose row 1 must stay empty.
void PasteInto(engine::Control& ctl, bool values, long lastParam, ColumnSpan& naming,
               ColumnSpan& firstRow, long& c1, long& c2) {
  int r1 = 0, col1 = 0, r2 = 0, col2 = 0;
  ctl.GetSelection(0, r1, col1, r2, col2);
  if (values)
    ctl.PasteValues();
  else
    ctl.PasteClipboard();
  // The engine selects what it pasted; a block larger than the selection reaches further
  // right, and every column it fills needs a name.
  int p1 = 0, pc1 = 0, p2 = 0, pc2 = 0;
  if (ctl.GetSelectionCount() >= 1) ctl.GetSelection(0, p1, pc1, p2, pc2);
  c1 = col1;
  c2 = std::max(col2, pc2);
  if (c2 > lastParam) {
    naming = {lastParam + 1, c2};
    if (r1 >= 2) firstRow = {lastParam + 1, c2};
  }
}

}  // namespace

void CZAT_PSF1::EditPaste(int repair) {
  try {
    engine::Control& ctl = Ctl();
    int row = 0, col = 0;
    ctl.GetActiveCell(row, col);
    // A paste starts inside the values or in the row or column right after them.
    if (row > ctl.GetLastRow() + 1 || col > GetLastCol() + 1) {
      MessageBoxA(resources::kStrTargetOutsideTable, platform::MB_OK);
      return;
    }
    FullRowSelectionPatch();
    FullColumnSelectionPatch();
    ColumnSpan naming, firstRow;
    long c1 = 0, c2 = 0;
    PasteInto(ctl, false, GetLastCol(), naming, firstRow, c1, c2);
    if (repair != 0) {
      NoFirstRowPatch(firstRow.first, firstRow.last);
      NoColNamePatch(naming.first, naming.last);
    }
    AutoResize(c1, c2);
  } catch (const engine::EngineError& error) {
    ShowErrMessage(error.Description());
  }
}

void CZAT_PSF1::OnEditPastevalues() {
  try {
    engine::Control& ctl = Ctl();
    int row = 0, col = 0;
    ctl.GetActiveCell(row, col);
    if (row > ctl.GetLastRow() + 1 || col > GetLastCol() + 1) {
      MessageBoxA(resources::kStrTargetOutsideTable, platform::MB_OK);
      return;
    }
    FullRowSelectionPatch();
    FullColumnSelectionPatch();
    ColumnSpan naming, firstRow;
    long c1 = 0, c2 = 0;
    PasteInto(ctl, true, GetLastCol(), naming, firstRow, c1, c2);
    NoFirstRowPatch(firstRow.first, firstRow.last);
    NoColNamePatch(naming.first, naming.last);
    AutoResize(c1, c2);
  } catch (const engine::EngineError& error) {
    ShowErrMessage(error.Description());
  }
}

void CZAT_PSF1::OnUpdateEditCut(platform::CommandState& state) {
  state.Enable(!GetReadOnly() && Ctl().GetSelectionCount() == 1);
}
void CZAT_PSF1::OnUpdateEditCopy(platform::CommandState& state) {
  state.Enable(Ctl().GetSelectionCount() == 1);
}
void CZAT_PSF1::OnUpdateEditPaste(platform::CommandState& state) {
  state.Enable(!GetReadOnly() && Ctl().GetSelectionCount() == 1);
}
void CZAT_PSF1::OnUpdateEditPastevalues(platform::CommandState& state) {
  state.Enable(!GetReadOnly() && Ctl().GetSelectionCount() == 1);
}
