// The engine's own dialogs (Find, Replace, Go To, Sort), Recalc and the context menu.

#include "commands/cell_selection.h"
#include "table/czat_psf1.h"
#include "table/modal_scope.h"

namespace {
constexpr unsigned kContextMenu = 3010;
}  // namespace

void CZAT_PSF1::OnEditFind() {
  table::ModalScope modal(m_NoModalUp);
  Ctl().ShowFindDialog();
}

void CZAT_PSF1::OnEditReplace() {
  table::ModalScope modal(m_NoModalUp);
  Ctl().ShowReplaceDialog();
}

void CZAT_PSF1::OnEditGoto() {
  table::ModalScope modal(m_NoModalUp);
  Ctl().ShowGotoDialog();
}

void CZAT_PSF1::OnDataSort() {
  table::ModalScope modal(m_NoModalUp);
  Ctl().ShowSortDialog();
}

void CZAT_PSF1::OnDataRecalc() { Ctl().Recalculate(); }

void CZAT_PSF1::OnUpdateEditFind(platform::CommandState& state) {
  state.Enable(Ctl().GetSelectionCount() <= 1);
}

void CZAT_PSF1::OnUpdateEditReplace(platform::CommandState& state) {
  state.Enable(!m_ReadOnly && Ctl().GetSelectionCount() <= 1);
}

void CZAT_PSF1::OnUpdateDataSort(platform::CommandState& state) {
  const commands::SelectionInfo sel = commands::ReadSelection(Ctl());
  bool on = !m_ReadOnly && sel.count >= 1;
  if (on && sel.count == 1) on = sel.r1 != sel.r2 || sel.c1 != sel.c2;
  state.Enable(on);
}

void CZAT_PSF1::OnContextMenu(CWnd*, const platform::Point& point) {
  // A framed window has its menu bar; only a window embedded in the host's offers this menu.
  if (!m_ChildMode || !m_Internals->frame) return;
  m_Internals->frame->TrackPopupMenu(kContextMenu, 0, point);
}
