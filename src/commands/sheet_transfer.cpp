// Moving a whole sheet, names included, from one table to another through the clipboard.

#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <new>

#include "table/czat_psf1.h"

int CZAT_PSF1::CopyAllContent(long sheet) {
  // The table's file must exist: a table that was never saved has nothing to examine.
  struct stat st {};
  if (m_FileName.empty() || ::stat(m_FileName.c_str(), &st) != 0) return -1;
  // The copy needs about as much memory as the file takes.
  {
    const auto size = static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 1);
    std::unique_ptr<char[]> probe(new (std::nothrow) char[size]);
    if (!probe) return -5;
  }
  // Copying from a sheet that does not exist would copy another one.
  if (SetSheet(sheet == 0 ? GetSheet() : sheet) != 0) return -1;

  // The names row comes and goes again: copying changes nothing in the table.
  const int dirty = m_DirtyBit;
  try {
    AddHeaderToZAT();
  } catch (const engine::EngineError&) {
    return -1;  // a sheet full to its last row cannot take the names
  }
  engine::Control& ctl = Ctl();
  ctl.SetSelection(1, 1, std::max(ctl.GetLastRow(), 1), std::max(ctl.GetLastCol(), 1));
  EditCopy();
  DelHeaderFromZAT(1);
  m_DirtyBit = dirty;
  return 0;
}

int CZAT_PSF1::PasteFromMouse(CString sheetName) {
  // Neither a sheet that does not exist nor an empty clipboard may cost the target its
  // columns: they are removed only when something will take their place.
  if (SetSheet(sheetName) != 0) return 0;
  engine::Control& ctl = Ctl();
  if (!ctl.CanPaste()) return 0;
  try {
    AddHeaderToZAT();
  } catch (const engine::EngineError&) {
    return 0;
  }
  const int n = std::max(ctl.GetLastCol(), 1);
  ctl.SetSelection(1, 1, ctl.GetMaxRow(), n);
  try {
    ctl.DeleteAtSelection(engine::kShiftHorizontal);
  } catch (const engine::EngineError&) {
    // The names rows inserted above go again, so every sheet is as it was.
    DelHeaderFromZAT(0);
    return 0;
  }
  ctl.SetSelection(1, 1, 1, n);
  EditPaste(0);
  DelHeaderFromZAT(1);
  return 1;
}
