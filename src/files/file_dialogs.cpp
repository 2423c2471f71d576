// The Save As dialog and what is read from a file dialog closed with OK.

#include "files/file_messages.h"
#include "table/czat_psf1.h"

int CZAT_PSF1::GetDlgPathName(platform::FileDialogResult& dialog, CString& path,
                              int openDialog) {
  path = dialog.path;
  if (path.empty()) return -1;
  // Any dot counts, also one in a folder name: the path is then taken as typed.
  if (path.find('.') != CString::npos) return 0;
  const int index = dialog.filterIndex;
  const char* extension = nullptr;
  if (openDialog != 0) {
    if (index == 1) extension = ".xls";
    if (index == 2) extension = ".txt";
  } else {
    if (index == 1 || index == 2) extension = ".xls";
    if (index == 3) extension = ".txt";
  }
  if (extension == nullptr) extension = files::MoreFormsExtension(index);
  if (extension == nullptr) return -1;
  path += extension;
  return 0;
}

int CZAT_PSF1::GetSaveAsDlgType(platform::FileDialogResult& dialog, short* type) {
  // The filter decides, never the typed extension.
  short chosen;
  switch (dialog.filterIndex) {
    case 1: chosen = FILE_TYPE_EXCEL97; break;
    case 2: chosen = FILE_TYPE_EXCEL5; break;
    case 3: chosen = FILE_TYPE_TEXT; break;
    default:
      chosen = files::MoreFormsType(dialog.filterIndex);
      if (chosen == FILE_TYPE_NONE) return -1;
  }
  if (type != nullptr) *type = chosen;
  return 0;
}

int CZAT_PSF1::SaveAsDlg(CString& savedName) {
  const bool wantName = &savedName != &CZAT::null_cstring_ref;
  if (wantName) savedName.clear();

  platform::FileDialogResult dialog;
  if (!files::RunFileDialog(*m_Internals->platform, m_Internals->frame.get(), m_NoModalUp, false,
                            platform::OFN_OVERWRITEPROMPT | platform::OFN_HIDEREADONLY,
                            files::kStrSaveAsFilter, dialog))
    return 2;

  CString path;
  if (GetDlgPathName(dialog, path, 0) != 0) return -1;
  short type = FILE_TYPE_NONE;
  if (GetSaveAsDlgType(dialog, &type) != 0) return -1;

  if (!files::EqualIgnoringCase(path, m_FileName) && m_pNotify != nullptr &&
      m_pNotify->OnSaveAsFile(m_FileName, path) == CZATNotify::ZAT_NTFY_CANCEL)
    return -3;

  const CString previousName = m_FileName;
  const short previousType = m_FileType;
  m_FileName = path;
  m_FileType = type;
  if (m_pNotify != nullptr) m_pNotify->OnFileNameChanged(m_FileName);

  const int r = Save(m_FileName, 1, static_cast<FILE_TYPE>(m_FileType), 1);
  if (r != 0) {
    m_FileName = previousName;
    m_FileType = previousType;
    if (m_pNotify != nullptr) m_pNotify->OnFileNameChanged(m_FileName);
    return r;
  }
  if (wantName) savedName = m_FileName;
  if (m_pNotify != nullptr) m_pNotify->OnSaveAsFileDone(m_FileName);
  return 0;
}
