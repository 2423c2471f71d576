// Saving a table to a file or to a memory block. The workbook is written in the stored form
// (names in row 1 of every sheet) and brought back to the open form right after, whatever
// happened in between.

#include <exception>

#include "files/file_messages.h"
#include "table/czat_psf1.h"

// The write itself, in the stored form, with the row selection kept across it.
// Returns 0, or -1 after the failure's message was shown.
int CZAT_PSF1::WriteStoredForm(const CString& path, short type, void** blob) {
  Ctl().TerminateCellEdit();
  CWBRowsRangeList kept;
  const int keptResult = StoreSelRows(kept, 0);
  int result = 0;

  bool converted = false;
  try {
    AddHeaderToZAT();
    converted = true;
    if (blob != nullptr) {
      Ctl().PrepareWrite();
      Ctl().WriteToBlob(blob, 0);
    } else {
      Ctl().SetShowTabsMode(1);  // the written workbook shows its sheet tabs
      Ctl().PrepareWrite();
      Ctl().WriteFile(path, type);
      SetShowTabs(m_ShowTabs);
    }
  } catch (const engine::EngineError& error) {
    if (files::IsHeldOpenCode(error.Code(), 0)) {
      result = -1;
      MessageBoxA(files::kStrSaveSharing, platform::MB_OK);
    } else {
      ReplaceMsgIfSharing(error.Description(), files::kStrSaveSharing, result, 0);
    }
  } catch (const std::exception&) {
    if (converted) DelHeaderFromZAT(0);
    return -1;
  }

  if (converted) DelHeaderFromZAT(0);
  if (keptResult == 0) RestoreSelRows(kept, 0);
  return result;
}

int CZAT_PSF1::Save(const CString& fileName, int adopt, FILE_TYPE type, int notify) {
  const int wasDirty = m_DirtyBit;

  CString path;
  if (&fileName != &CZAT::null_cstring_ref && !fileName.empty()) {
    path = fileName;  // a copy: fileName may be the table's own name
    if (adopt != 0) m_FileName = path;
    if (m_pNotify != nullptr) m_pNotify->OnFileNameChanged(m_FileName);
  } else {
    path = m_FileName;
  }
  if (path.empty()) return SaveAsDlg(CZAT::null_cstring_ref);

  short ft = FILE_TYPE_NONE;
  if (type != FILE_TYPE_NONE) {
    ft = type;
    if (adopt != 0) m_FileType = ft;
  } else if (m_FileType != FILE_TYPE_NONE) {
    ft = m_FileType;
  } else {
    if (GetFileType(path, &ft) != 0) return -1;
    if (adopt != 0) m_FileType = ft;
  }

  const int result = WriteStoredForm(path, ft, nullptr);
  // Converting to the stored form and back counts as a change in the engine; only a
  // successful save with adoption really clears the bit, otherwise it is what it was.
  m_DirtyBit = (result == 0 && adopt != 0) ? 0 : wasDirty;
  if (notify != 0 && m_pNotify != nullptr) m_pNotify->OnSave();
  return result;
}

int CZAT_PSF1::SaveToBlob(void** blob) {
  if (blob == nullptr) return -1;  // nowhere to put the block
  const int wasDirty = m_DirtyBit;
  const int result = WriteStoredForm(CString(), FILE_TYPE_NONE, blob);
  m_DirtyBit = wasDirty;  // writing a blob never clears it
  return result;
}

void CZAT_PSF1::SetDropUnsupported(bool on) {
  try {
    Ctl().SetDropUnsupported(on);
  } catch (const engine::EngineError&) {
    // No engine: there is nothing to save either.
  }
}
