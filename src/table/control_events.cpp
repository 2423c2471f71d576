// The engine's events: keeping in-cell edits inside the table's shape, naming a new column,
// renaming a parameter from its heading, and tracking modifications.

#include "table/czat_psf1.h"
#include "table/headedit.h"
#include "table/modal_scope.h"
#include "table/narrow.h"
#include "table/table_strings.h"

namespace {
constexpr unsigned kModifyTimerPeriodMs = 100;
constexpr unsigned kStrNameExists = 3009;

// Set while an end-of-edit is being handled, for every table of the module: the repairs it
// makes end the edit again, and that second EndEdit must not repair anything.
int g_editReentry = 0;
}  // namespace

void CZAT_PSF1::OnClickVcf1(long, long) {}
void CZAT_PSF1::OnRClickVcf1(long, long) {}
void CZAT_PSF1::OnRDblClickVcf1(long, long) {}
void CZAT_PSF1::OnKeyDownVcf1(short&, short) {}

void CZAT_PSF1::OnStartEditVcf1(CString& /*text*/, short& cancel) {
  if (GetReadOnly()) {
    cancel = 1;
    return;
  }
  int row = 0, col = 0;
  Ctl().GetActiveCell(row, col);
  const long lastCol = GetLastCol();
  const long lastRow = Ctl().GetLastRow();
  // Inside the table, or in the one column and the one row just beyond it.
  cancel = (col > lastCol + 1 || row > lastRow + 1) ? 1 : 0;
}

void CZAT_PSF1::OnEndEditVcf1(CString& text, short& cancel) {
  cancel = 0;
  if (g_editReentry) return;
  struct Reentry {
    Reentry() { g_editReentry = 1; }
    ~Reentry() { g_editReentry = 0; }
  } reentry;

  int row = 0, col = 0;
  Ctl().GetActiveCell(row, col);
  const long lastCol = GetLastCol();
  if (col == lastCol + 1) NoColNamePatch(col, col);
  if (row == 1 && text.empty()) {
    Ctl().TerminateCellEdit();
    Ctl().SetCellText(1, col, table::kEmptyString);
  }
  AutoResize(col, -1);
  if (m_Internals->frame) m_Internals->frame->SetTimer(TABLE_TIMER_ID, kModifyTimerPeriodMs);
}

void CZAT_PSF1::OnModifiedVcf1() {
  m_DirtyBit = 1;
  Ctl().SetModifiedFlag(false);
  if (m_pNotify != nullptr) m_pNotify->OnModified();
  if (m_Internals->frame) m_Internals->frame->SetTimer(TABLE_TIMER_ID, kModifyTimerPeriodMs);
}

void CZAT_PSF1::OnDblClickVcf1(long row, long col) {
  if (GetReadOnly()) return;
  if (row != 0 && col != 0) {
    Ctl().DblClickOptions(false, true, false);
    return;
  }
  if (row != 0 || col == 0) return;
  // A double-click on the heading of column col.
  const long lastCol = GetLastCol();
  if (col > lastCol + 1) return;

  const CString old = Ctl().GetColumnHeadingText(table::Narrow(col));
  CString name = old;
  {
    CHeadEdit dialog(name, m_Internals->frame.get());
    table::ModalScope modal(m_NoModalUp);
    for (;;) {
      if (dialog.DoModal(m_Internals->platform->Dialogs()) != 1) {
        name.clear();
        break;
      }
      if (PromptAndFixParamName(name)) break;
    }
  }
  if (name.empty() || name == old) return;
  if (GetArgCol(name) != -1) {
    MessageBoxA(kStrNameExists, platform::MB_OK);
    return;
  }
  if (m_pNotify != nullptr && m_pNotify->OnRenameArg(old, name) == CZATNotify::ZAT_NTFY_CANCEL)
    return;
  if (col == lastCol + 1) AddCol(col, table::kEmptyString, 0, 0, nullptr);
  engine::Control& control = Ctl();
  control.SetProgramChangeMode(true);
  struct EndProgramChange {
    engine::Control& control;
    ~EndProgramChange() { control.SetProgramChangeMode(false); }
  } end{control};
  SetColText(col, name);
  AutoResize(col, -1);
}
