// The view for the host: showing and hiding the window, and the window-level operations of the
// interface.

#include "table/czat_psf1.h"
#include "table/narrow.h"

using table::Narrow;

int CZAT_PSF1::ViewOpen() {
  if (m_ViewOpened) return 0;
  InitView();
  RestoreSelRows(m_SavedSelRows, 0);  // the row selection kept while the view was closed
  if (m_Internals->frame) m_Internals->frame->Show(true);
  m_ViewOpened = 1;
  if (m_pNotify != nullptr) m_pNotify->OnViewOpen();
  return 0;
}

int CZAT_PSF1::ViewClose() {
  if (!m_NoModalUp) return -1;
  Ctl().TerminateCellEdit();
  StoreSelRows(m_SavedSelRows, 0);  // kept until the view opens again
  m_ViewOpened = 0;
  if (m_Internals->frame) m_Internals->frame->Show(false);
  return 0;
}

bool CZAT_PSF1::ViewDataTable() {
  if (m_ViewOpened) {
    if (m_Internals->frame) m_Internals->frame->Activate();
    return true;
  }
  return ViewOpen() == 0;
}

void CZAT_PSF1::AutoResize(long firstCol, long lastCol) {
  if (lastCol != -1 && firstCol > lastCol) return;
  if (firstCol != -1 && lastCol == -1) lastCol = firstCol;
  // Widths are not content: the dirty bit is kept, also when the engine refuses the range.
  struct KeepDirty {
    int& bit;
    int saved;
    ~KeepDirty() { bit = saved; }
  } keep{m_DirtyBit, m_DirtyBit};
  Ctl().AutoFitColumns(-1, Narrow(firstCol), -1, Narrow(lastCol), true);
}

void CZAT_PSF1::SetActiveCell(long row, const CString& name) {
  const long col = GetArgCol(name);
  if (col != -1) Ctl().SetActiveCell(Narrow(row), Narrow(col));
}

void CZAT_PSF1::Recalc() { Ctl().Recalculate(); }

void CZAT_PSF1::SetEnabled(bool on) { Ctl().SetEnabled(on); }

void CZAT_PSF1::SetRowHidden(long firstRow, long lastRow, bool hidden) {
  Ctl().SetRowsHidden(Narrow(firstRow), Narrow(lastRow), hidden);
}

void CZAT_PSF1::SetColHidden(const CString& name, bool hidden) {
  const long col = GetArgCol(name);
  if (col != -1) Ctl().SetColumnHidden(Narrow(col), hidden);
}

void CZAT_PSF1::SetShowTabs(bool show) {
  m_ShowTabs = show;
  Ctl().SetShowTabsMode(show ? 1 : 0);
}

void CZAT_PSF1::SetTitle(const char* text) {
  if (m_Internals->frame) m_Internals->frame->SetTitle(text != nullptr ? text : "");
}

void CZAT_PSF1::GetAccelTableParams(CWnd** wnd, HACCEL* accel) {
  if (wnd != nullptr) *wnd = m_Internals->frame.get();
  if (accel != nullptr) *accel = m_Internals->frame ? m_Internals->frame->Accelerators() : nullptr;
}
