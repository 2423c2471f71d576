// Construction and destruction of a table, and its dynamic creation.

#include <exception>

#include "table/czat_psf1.h"
#include "table/relays.h"
#include "table/short_date_format.h"
#include "table/table_strings.h"

namespace {
constexpr int kDefaultWidth = 505;
constexpr int kDefaultHeight = 385;
}  // namespace

CZAT_PSF1::CZAT_PSF1(CWnd* pParentWnd, const CString& fileName, FILE_TYPE fileType,
                     const CZATArgList* const pHeaderArgs, bool bChildWindow, bool bFileCommands,
                     bool bPrintPreview)
    : CZAT(pParentWnd, fileName, fileType, pHeaderArgs),
      m_ChildMode(bChildWindow),
      m_FileCommands(bFileCommands),
      m_PrintPreview(bPrintPreview),
      m_ReadOnly(false),
      m_Internals(std::make_unique<Internals>()) {
  m_Internals->platform = platform::Current();
  CZAT_PSF1_construct(pParentWnd, fileName, fileType, pHeaderArgs);
}

CZAT_PSF1::CZAT_PSF1()
    : CZAT_PSF1(nullptr, CString(), FILE_TYPE_NONE, nullptr, false, false, true) {}

CZAT_PSF1* CZAT_PSF1::CreateObject() { return new CZAT_PSF1(); }

void CZAT_PSF1::CZAT_PSF1_construct(CWnd* pParentWnd, const CString& fileName,
                                    FILE_TYPE fileType, const CZATArgList* const pHeaderArgs) {
  // 1–2.
  m_NoModalUp = true;
  m_pNotify = nullptr;
  m_RunRowsList.ClearWBRowsRangeList();
  m_LastRunRows.ClearLastSelectedRow();

  // 4. The window, the engine and the view.
  Create(nullptr, nullptr, 0, platform::Rect{}, pParentWnd, 0, nullptr);

  // 5–7.
  SetShowTabs(false);
  m_HeaderColCounts.assign(1, 0);
  m_Valid = 0;
  m_CloseOption = 0;
  m_ViewOpened = 0;
  SetChangeDupArgName(true);

  // 8–10.
  Ctl().SetConstructFlag67(false);
  if (m_ChildMode) {
    Ctl().SetBorderStyle(0);
  } else if (m_Internals->frame) {
    platform::Profile& profile = m_Internals->platform->UserProfile();
    int top = profile.GetInt(table::kProfileSection, "Top", -1);
    int bottom = profile.GetInt(table::kProfileSection, "Bottom", -1);
    int right = profile.GetInt(table::kProfileSection, "Right", -1);
    int left = profile.GetInt(table::kProfileSection, "Left", -1);
    // A stored rectangle with no area would make the window unreachable: treat it as missing.
    const bool missing = top == -1 || bottom == -1 || right == -1 || left == -1 ||
                         right <= left || bottom <= top;
    if (missing) {
      CWnd* reference = pParentWnd != nullptr ? pParentWnd : m_Internals->platform->DesktopWindow();
      const platform::Rect rect = reference != nullptr ? reference->GetWindowRect()
                                                       : platform::Rect{};
      left = rect.left + (rect.Width() - kDefaultWidth) / 2;
      top = rect.top + (rect.Height() - kDefaultHeight) / 2;
      right = left + kDefaultWidth;
      bottom = top + kDefaultHeight;
    }
    m_Internals->frame->MoveWindow(left, top, right - left, bottom - top, true);
    if (m_ControlWnd != nullptr) {
      const int statusHeight = m_StatusBar != nullptr ? m_StatusBar->GetClientRect().Height() : 0;
      m_ControlWnd->MoveWindow(0, 0, right - left, (bottom - top) - statusHeight, true);
    }
  }

  // 11. A failing open leaves the table usable and not valid.
  try {
    if (Open(fileName, fileType, pHeaderArgs, 0) == 0) m_Valid = 1;
  } catch (const std::exception&) {
    m_Valid = 0;
  }

  // 12.
  m_ShortDateFormat =
      table::FourDigitYearFormat(m_Internals->platform->Locale().Settings().shortDateFormat);
}

bool CZAT_PSF1::Destroy() {
  if (m_pNotify != nullptr && m_pNotify->OnClose() == CZATNotify::ZAT_NTFY_CANCEL) return false;
  if (m_hMenu != nullptr) {
    if (m_Internals->frame) m_Internals->frame->DestroyMenu(m_hMenu);
    m_hMenu = nullptr;
  }
  if (!m_Internals->frame || !m_Internals->frame->DestroyWindow()) return false;
  // The window is gone: the object ends here (the host's pointer is now dangling).
  delete this;
  return true;
}

CZAT_PSF1::~CZAT_PSF1() {
  if (m_pNotify != nullptr) m_pNotify->OnCloseDone();
  // Deleted without Destroy: the window still has to go (placement is saved as usual).
  if (m_Internals->frame && m_Internals->frame->IsWindow()) {
    try {
      m_Internals->frame->DestroyWindow();
    } catch (...) {
    }
  }
  if (m_Internals->control) m_Internals->control->SetEventListener(nullptr);
}

CZAT_PSF1::Internals::Internals() = default;
CZAT_PSF1::Internals::~Internals() = default;

void CZAT_PSF1::Internals::NoControl() {
  throw engine::EngineError(engine::kErrInvalidPointer, "The spreadsheet control does not exist.");
}
