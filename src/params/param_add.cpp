// Adding a parameter: at a position, in front of another parameter, or after the last one.
#include "params/name_rules.h"
#include "params/program_change.h"
#include "table/czat_psf1.h"

int CZAT_PSF1::AddArg(long col, CString& name, const CString& value, unsigned long flags,
                      const char* format, int strictName) {
  if (name.size() > params::kMaxNameBytes) return -1;  // a long name is refused, not cut
  if (col > engine::kMaxCol) return -4;
  long last = GetLastCol();
  if (col < 1 || col > last + 1) return -1;
  // On a full sheet an insertion would push the last parameter past column 256.
  if (last >= engine::kMaxCol || !IsABColName(engine::kMaxCol)) return -4;

  const CString given = name;
  FixParamName(name);
  if (name.empty()) return -1;
  if (name != given && strictName != 0) return -1;
  if (m_ChangeDupArgName) {
    if (!GetNotDupArgName(name)) return -1;
  } else if (GetArgCol(name) != -1) {
    return -1;
  }

  engine::Control& ctl = Ctl();
  ctl.TerminateCellEdit();
  AddCol(col, value, 1, flags, format);
  int c = static_cast<int>(col);
  ctl.SetActiveCell(1, c);
  ctl.ShowActiveCell();
  {
    params::ProgramChangeScope programChange(ctl);
    SetColText(col, name);
    AutoResize(col, -1);
  }
  MinimalSpread();
  return 0;
}

int CZAT_PSF1::AddArg(const CString& before, CString& name, const CString& value,
                      unsigned long flags, const char* format) {
  if (before.empty()) return -1;
  long col = GetArgCol(before);
  if (col == -1) return -1;
  // The new parameter takes the place of `before`; names are repaired silently.
  return AddArg(col, name, value, flags, format, 0);
}

int CZAT_PSF1::AppendArg(CString& name, const CString& value, unsigned long flags,
                         const char* format, int strictName) {
  return AddArg(GetLastCol() + 1, name, value, flags, format, strictName);
}
