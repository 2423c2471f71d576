// Opening a table: from a file, from a host's memory block, or as a new empty table.

#include <sys/stat.h>

#include <exception>

#include "files/file_messages.h"
#include "table/czat_psf1.h"
#include "table/table_strings.h"

namespace {

// Only regular files are read: a directory cannot be a table, and reading a pipe or a device
// could wait for ever.
bool FindRegularFile(const CString& path, long long& size) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  size = static_cast<long long>(st.st_size);
  return true;
}

}  // namespace

int CZAT_PSF1::Open(const CString& fileName, FILE_TYPE type, const CZATArgList* const headerList,
                    int silent) {
  // The sentinel names no file, as an empty name does.
  if (fileName.empty() || &fileName == &CZAT::null_cstring_ref) {
    ReCreate(headerList);
    ResetDirtyBit();
    return 0;
  }
  // A copy: the caller may pass the table's own name, which the steps below change.
  const CString name = fileName;
  long long size = 0;
  if (!FindRegularFile(name, size)) return -1;

  short ft = type;
  if (type == FILE_TYPE_NONE && GetFileType(name, &ft) != 0) return -1;

  if (ft == FILE_TYPE_TEXT && size == 0) {
    // An empty text file opens as a new table under that name.
    ReCreate(headerList);
    ResetDirtyBit();
    m_FileName = name;
    m_FileType = FILE_TYPE_TEXT;
    if (m_pNotify != nullptr) m_pNotify->OnFileNameChanged(m_FileName);
    return 0;
  }

  const CString previousName = m_FileName;
  const short previousType = m_FileType;
  const int wasDirty = m_DirtyBit;
  m_FileName = name;
  m_FileType = ft;
  if (m_pNotify != nullptr) m_pNotify->OnFileNameChanged(m_FileName);

  const int r = OpenFile(&m_FileType, nullptr, silent);
  if (r == 0) {
    if (headerList != nullptr && HeaderValidityCheck(*headerList) != 0) return -1;
    return 0;
  }

  m_FileName = previousName;
  m_FileType = previousType;
  if (m_pNotify != nullptr) m_pNotify->OnFileNameChanged(m_FileName);
  // A refused or failed read leaves the workbook as it was. A table with unsaved changes keeps
  // them: reading the previous file again, or re-creating an unnamed table, would throw away
  // the user's work. A table without changes is read again so that it matches its file.
  if (wasDirty == 0) {
    if (m_FileName.empty())
      ReCreate(nullptr);
    else
      OpenFile(&m_FileType, nullptr, 0);
  }
  return r;
}

int CZAT_PSF1::ReCreate(const CZATArgList* const headerList) {
  // A copy: the caller's list may be the table's own m_HeaderArgList, which adding parameters
  // refills.
  const CZATArgList names = headerList != nullptr ? *headerList : CZATArgList();
  m_SavedSelRows.ClearWBRowsRangeList();
  Ctl().DeleteRange(-1, -1, -1, -1, engine::kShiftColumns);
  m_FileName.clear();
  m_FileType = FILE_TYPE_NONE;
  if (m_pNotify != nullptr) m_pNotify->OnFileNameChanged(table::kEmptyString);
  for (const CString& listed : names) {
    CString name = listed;
    AppendArg(name, CZAT::null_cstring_ref, 0, nullptr, 0);  // a refused name is skipped
  }
  return 0;
}

int CZAT_PSF1::OpenFile(short* type, void** blob, int silent) {
  const CString name = blob != nullptr ? table::kBlobName : m_FileName;
  if (m_pNotify != nullptr && m_pNotify->OnOpenFile(name) == CZATNotify::ZAT_NTFY_CANCEL)
    return -3;
  m_SavedSelRows.ClearWBRowsRangeList();

  try {
    if (blob != nullptr) {
      Ctl().ReadFromBlob(*blob, 0);
    } else {
      short found = type != nullptr ? *type : short{FILE_TYPE_NONE};
      Ctl().ReadFile(m_FileName, found);
      if (type != nullptr) *type = found;
    }
  } catch (const engine::EngineError& error) {
    if (silent != 0) return -7;
    InitView();
    int result = 0;
    if (files::IsHeldOpenCode(error.Code(), 1)) {
      result = -1;
      MessageBoxA(files::kStrOpenSharing, platform::MB_OK);
    } else {
      ReplaceMsgIfSharing(error.Description(), files::kStrOpenSharing, result, 1);
    }
    return result;
  } catch (const std::exception&) {
    return -1;
  }

  DelHeaderFromZAT(1);
  MinimalSpread();
  InitView();
  ResetDirtyBit();
  if (m_pNotify != nullptr) m_pNotify->OnOpenFileDone(name);
  return 0;
}

int CZAT_PSF1::OpenFromBlob(void** blob) {
  if (blob == nullptr) return -1;
  short type = FILE_TYPE_NONE;
  return OpenFile(&type, blob, 0);
}
