// The File menu: new, open, save, save as, import, export and close, and which of them the
// menu offers.

#include "table/czat_psf1.h"

void CZAT_PSF1::OnFileNew() {
  if (m_DirtyBit != 0) {
    const int answer = YesNoSaveMessage();
    if (answer == platform::IDYES) {
      // A cancelled or failed save keeps the table: emptying it would lose the edits.
      if (Save(CZAT::null_cstring_ref, 1, FILE_TYPE_NONE, 1) != 0) return;
    } else if (answer == platform::IDNO) {
      ResetDirtyBit();
    } else {
      return;
    }
  }
  m_HeaderColCounts.assign(1, 0);
  if (Open(CString(), FILE_TYPE_NONE, nullptr, 0) == 0 && m_pNotify != nullptr)
    m_pNotify->OnOpenFile(CString());
}

void CZAT_PSF1::OnFileOpen() {
  bool settled = false;
  const int r = OpenDlg(false, true, &settled);
  if (r == -3) return;
  // A dialog that was cancelled (or gave no usable path) left the table and its edits alone:
  // clearing the dirty bit then would let a close drop the edits without asking.
  if (settled) ResetDirtyBit();
  if (m_pNotify != nullptr) m_pNotify->OnFileNameChanged(m_FileName);
}

void CZAT_PSF1::OnFileSave() { Save(CZAT::null_cstring_ref, 1, FILE_TYPE_NONE, 1); }

void CZAT_PSF1::OnFileSaveAs() { SaveAsDlg(CZAT::null_cstring_ref); }

void CZAT_PSF1::OnFileImport() {
  // The table takes the file's contents but keeps its own name and type, and counts as
  // modified.
  const CString name = m_FileName;
  const short type = m_FileType;
  if (OpenDlg(true, false) != 0) return;
  m_DirtyBit = 1;
  m_FileName = name;
  m_FileType = type;
  if (m_pNotify != nullptr) m_pNotify->OnSaveAsFileDone(m_FileName);
}

void CZAT_PSF1::OnFileExport() {
  // A copy under another name: the table keeps its name, type and modified state whether or
  // not the copy was written.
  const int dirty = m_DirtyBit;
  const CString name = m_FileName;
  const short type = m_FileType;
  if (SaveAsDlg(CZAT::null_cstring_ref) == 2) return;
  m_DirtyBit = dirty;
  m_FileName = name;
  m_FileType = type;
  if (m_pNotify != nullptr) {
    m_pNotify->OnFileNameChanged(m_FileName);
    m_pNotify->OnSaveAsFileDone(m_FileName);
  }
}

void CZAT_PSF1::OnFileClose() { OnClose(); }

void CZAT_PSF1::OnUpdateFileNew(platform::CommandState& state) { state.Enable(!GetReadOnly()); }
void CZAT_PSF1::OnUpdateFileOpen(platform::CommandState& state) { state.Enable(!GetReadOnly()); }
void CZAT_PSF1::OnUpdateFileImport(platform::CommandState& state) { state.Enable(!GetReadOnly()); }
