// Opening a table: an empty file name sets up a new table (optionally with given parameters).

#include "table/czat_psf1.h"
#include "table/table_strings.h"

int CZAT_PSF1::Open(const CString& fileName, FILE_TYPE /*type*/,
                    const CZATArgList* const headerList, int /*silent*/) {
  // The sentinel names no file, as an empty name does.
  if (fileName.empty() || &fileName == &CZAT::null_cstring_ref) {
    ReCreate(headerList);
    ResetDirtyBit();
    return 0;
  }
  return -1;  // reading files comes with the file operations
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
