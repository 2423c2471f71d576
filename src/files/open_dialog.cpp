// The open dialog: asks for a file and reads it into the table (File › Open and File › Import).

#include <sys/stat.h>

#include "files/file_messages.h"
#include "params/program_change.h"
#include "resources/resource_ids.h"
#include "table/czat_psf1.h"

namespace {

// A regular file only: a folder cannot be a table, and reading a pipe could wait for ever.
bool StatRegularFile(const CString& path, long long& size) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  size = static_cast<long long>(st.st_size);
  return true;
}

}  // namespace

int CZAT_PSF1::OpenDlg(bool fixNames, bool askSave, bool* settled) {
  if (settled != nullptr) *settled = false;

  platform::FileDialogResult dialog;
  if (!files::RunFileDialog(
          *m_Internals->platform, m_Internals->frame.get(), m_NoModalUp, true,
          platform::OFN_FILEMUSTEXIST | platform::OFN_PATHMUSTEXIST | platform::OFN_HIDEREADONLY,
          resources::kStrOpenFilter, dialog))
    return 0;

  CString path;
  if (GetDlgPathName(dialog, path, 1) != 0) return -1;

  if (m_DirtyBit != 0 && askSave) {
    const int answer = YesNoSaveMessage();
    if (answer == platform::IDYES) {
      // Only a save that succeeded lets the open go on: after a cancelled or failed save the
      // edits exist nowhere else, and reading another file over them would lose them.
      if (Save(CZAT::null_cstring_ref, 1, FILE_TYPE_NONE, 1) != 0) return -3;
    } else if (answer == platform::IDNO) {
      ResetDirtyBit();
    } else {
      return -3;
    }
  }
  if (settled != nullptr) *settled = true;

  // The .xlsx and .csv entries decide the form; otherwise the name does, as the table knows
  // names (so an .xlsx chosen under "All Files" is refused).
  short type = files::MoreFormsType(dialog.filterIndex);
  if (type == FILE_TYPE_NONE && GetFileType(path, &type) != 0) return -1;
  long long size = 0;
  if (!StatRegularFile(path, size)) return -1;

  if (type == FILE_TYPE_TEXT && size == 0) {
    // An empty text file opens as an empty table under its name. The host is asked first, so
    // that a veto leaves the table as it was.
    if (m_pNotify != nullptr && m_pNotify->OnOpenFile(path) == CZATNotify::ZAT_NTFY_CANCEL)
      return -3;
    ReCreate(nullptr);
    m_FileName = path;
    m_FileType = FILE_TYPE_TEXT;
  } else {
    const CString previousName = m_FileName;
    const short previousType = m_FileType;
    const int wasDirty = m_DirtyBit;
    m_FileName = path;
    m_FileType = type;
    // The type the engine reports stays local: the table keeps the type its extension gives,
    // so the next Save writes the 97-2000 form even when the file held the 5.0/95 one.
    short found = type;
    const int r = OpenFile(&found, nullptr, 0);
    if (r != 0) {
      m_FileName = previousName;
      m_FileType = previousType;
      // A failed or refused read left the workbook untouched. Unsaved edits stay; a table
      // without edits is read again (or made empty) so that it matches its file.
      if (wasDirty == 0) {
        if (m_FileName.empty())
          ReCreate(nullptr);
        else
          OpenFile(&m_FileType, nullptr, 0);
      }
      return r;
    }
  }

  engine::Control& ctl = Ctl();
  const long lastCol = ctl.GetLastCol();
  for (long c = 1; c <= lastCol; ++c) {
    CString name = ctl.GetColumnHeadingText(static_cast<int>(c));
    if (fixNames) FixParamName(name);
    if (name.empty()) {
      NoColNamePatch(c, c);
      continue;
    }
    params::ProgramChangeScope programChange(ctl);
    SetColText(c, name);
    AutoResize(c, -1);
  }

  if (GetNumSheets() > 1 && !m_ShowTabs) {
    MessageBoxA(resources::kStrFirstSheetOnly, platform::MB_OK);
    DeleteSheets(2L, GetNumSheets() - 1);
  }
  return 0;
}
