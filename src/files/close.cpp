// The window's close request: unsaved changes are saved or dropped as the user answers, then
// the view hides or the table ends, as the close option says. It lives with the files because
// it saves and reopens: the window only routes the request here.
#include "table/czat_psf1.h"
#include "table/table_strings.h"

void CZAT_PSF1::OnClose() {
  const CString fileName = m_FileName;
  const int answer = m_DirtyBit != 0 ? YesNoSaveMessage() : platform::IDNO;
  if (answer == platform::IDYES) {
    // A save that did not succeed (cancelled, or failed with its message shown) ends the
    // close: going on would destroy the unsaved table.
    if (Save(CZAT::null_cstring_ref, 1, FILE_TYPE_NONE, 1) != 0) return;
  } else if (answer == platform::IDNO) {
    Open(fileName, static_cast<FILE_TYPE>(m_FileType), nullptr, 1);
    ResetDirtyBit();
  } else {
    return;
  }
  if (m_CloseOption == 0) {
    m_Internals->platform->UserProfile().WriteInt(table::kProfileSection, "Show", 0);
    if (m_pNotify != nullptr) m_pNotify->OnViewClose();
  } else {
    Destroy();  // may delete this object
  }
}
