// The table's window: creation and layout, close and destroy, the deferred timer, the view
// set-up and the message boxes.

#include <algorithm>
#include <cctype>

#include "table/czat_psf1.h"
#include "table/modal_scope.h"
#include "table/relays.h"
#include "table/table_strings.h"

namespace {

constexpr unsigned kFrameResource = 3001;  // menu, accelerators, title
constexpr unsigned kIconResource = 3002;
constexpr unsigned kControlId = 1;
constexpr unsigned kStrTitle = 3001;
constexpr unsigned kStrOperationCanceled = 3005;

constexpr unsigned kCmdFileNew = 57600;
constexpr unsigned kCmdFileOpen = 57601;
constexpr unsigned kCmdFileSave = 57603;
constexpr unsigned kCmdFileSaveAs = 57604;
constexpr unsigned kCmdFilePrintPreview = 57609;

constexpr unsigned long kChildStyle = platform::WS_CHILD | platform::WS_VISIBLE |
                                      platform::WS_CLIPSIBLINGS | platform::WS_CLIPCHILDREN;

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

}  // namespace

bool CZAT_PSF1::Create(const char* className, const char* title, unsigned long style,
                       const platform::Rect& rect, CWnd* pParentWnd, unsigned /*id*/,
                       void* /*context*/) {
  if (!m_Internals->frameRelay)
    m_Internals->frameRelay = std::make_unique<Internals::FrameRelay>(*this);
  m_Internals->frame = m_Internals->platform->NewFrame();

  platform::FrameSpec spec;
  if (m_ChildMode) {
    spec.child = true;
    spec.helpId = kFrameResource;
    std::string text;
    if (m_Internals->platform->Strings().Load(kStrTitle, text))
      spec.title = text.substr(0, text.find('\n'));
    spec.className = className != nullptr ? className : "";
    spec.style = kChildStyle;
    spec.rect = rect;
    spec.defaultRect = rect.Width() <= 0 || rect.Height() <= 0;
    spec.parent = pParentWnd;
  } else {
    // Loaded from the frame resource; the creation arguments are not used.
    (void)title;
    (void)style;
    spec.resourceId = kFrameResource;
    spec.style = platform::WS_OVERLAPPEDWINDOW | platform::FWS_ADDTOTITLE;
  }
  bool created = m_Internals->frame->Create(*m_Internals->frameRelay, spec);

  if (created) {
    if (m_ChildMode) {
      m_Internals->frame->LoadAccelerators(kFrameResource);
    } else {
      HMENU menu = m_Internals->frame->GetMenu();
      if (!m_FileCommands) {
        for (unsigned command : {kCmdFileNew, kCmdFileOpen, kCmdFileSave, kCmdFileSaveAs})
          m_Internals->frame->DeleteMenuCommand(menu, 0, command);
        m_Internals->frame->DeleteMenuPosition(menu, 0, 0);  // the separator that is now first
      }
      if (!m_PrintPreview) m_Internals->frame->DeleteMenuCommand(menu, 0, kCmdFilePrintPreview);
    }
  }

  // The engine exists even when the window could not be made, so the table stays usable.
  m_Internals->control =
      std::make_unique<engine::Control>(m_Internals->platform->Locale().Settings());
  m_Internals->controlEvents = std::make_unique<Internals::ControlEventRelay>(*this);
  m_Internals->control->SetEventListener(m_Internals->controlEvents.get());
  m_Internals->control->SetClipboard(m_Internals->platform->Clipboard());
  m_Internals->control->SetDialogs(m_Internals->platform->ControlDialogs());

  if (created) {
    m_ControlWnd = m_Internals->frame->CreateControlWindow(
        kControlId, kChildStyle, platform::Rect{}, m_Internals->control.get());
    m_hIcon = m_Internals->frame->LoadIcon(kIconResource);
    m_Internals->frame->SetIcon(m_hIcon, true);
    m_Internals->frame->SetIcon(m_hIcon, false);
    if (m_ChildMode) {
      // A child window gets no further size message until the host resizes it: lay the view
      // out over the client area now rather than leave it empty.
      const platform::Rect client = m_Internals->frame->GetClientRect();
      OnSize(0, client.Width(), client.Height());
    }
  }
  InitView();
  return created;
}

bool CZAT_PSF1::PreCreateWindow(platform::CreateStruct& cs) {
  cs.style &= ~static_cast<unsigned long>(platform::WS_MINIMIZEBOX);
  m_hMenu = cs.hMenu;
  return true;
}

int CZAT_PSF1::OnCreate(platform::CreateStruct& /*cs*/) {
  if (!m_ChildMode && m_Internals->frame) m_StatusBar = m_Internals->frame->CreateStatusBar(1);
  return 0;
}

void CZAT_PSF1::OnSize(unsigned /*type*/, int cx, int cy) {
  if (m_ControlWnd == nullptr) return;
  int height = cy;
  if (!m_ChildMode && m_StatusBar != nullptr) height -= m_StatusBar->GetClientRect().Height();
  m_ControlWnd->MoveWindow(0, 0, std::max(cx, 0), std::max(height, 0), true);
}

void CZAT_PSF1::OnDestroy() {
  if (!m_Internals->frame) return;
  const platform::Rect rect = m_Internals->frame->GetWindowRect();
  platform::Profile& profile = m_Internals->platform->UserProfile();
  profile.WriteInt(table::kProfileSection, "Top", rect.top);
  profile.WriteInt(table::kProfileSection, "Bottom", rect.bottom);
  profile.WriteInt(table::kProfileSection, "Right", rect.right);
  profile.WriteInt(table::kProfileSection, "Left", rect.left);
}

void CZAT_PSF1::OnTimer(unsigned id) {
  if (id != TABLE_TIMER_ID) return;
  // Stopped even when the deferred call fails, so a failure does not repeat every period.
  struct Stop {
    platform::Frame* frame;
    ~Stop() {
      if (frame != nullptr) frame->KillTimer(TABLE_TIMER_ID);
    }
  } stop{m_Internals->frame.get()};
  Ctl().PostModifyAction();
}

void CZAT_PSF1::InitView() {
  const int dirty = m_DirtyBit;
  engine::Control& control = Ctl();
  std::string face = m_Internals->platform->Locale().Settings().defaultFontFace;
  if (face.empty()) face = "System";
  control.SetDefaultFont(face, 10);
  control.TerminateCellEdit();
  control.SetActiveCell(1, 1);
  control.SetProgramChangeMode(false);
  control.SetInitViewFlag1(false);
  control.SetInitViewFlag110(true);
  control.SetInitViewFlag111(true);
  control.SetInitViewMode6(1);
  control.SetInitViewMode25(1);
  control.SetSheetViewMode16(1);
  SetShowTabs(m_ShowTabs);
  m_DirtyBit = dirty;
}

void CZAT_PSF1::MinimalSpread() {}

int CZAT_PSF1::MessageBoxA(unsigned promptId, unsigned type) {
  std::string text;
  m_Internals->platform->Strings().Load(promptId, text);
  int answer;
  {
    table::ModalScope modal(m_NoModalUp);
    answer = m_Internals->platform->Boxes().Show(
        m_Internals->frame.get(), text, m_Internals->frame ? m_Internals->frame->GetTitle() : "",
        type);
  }
  if (m_Internals->frame && m_Internals->frame->IsWindow()) m_Internals->frame->Activate();
  return answer;
}

void CZAT_PSF1::ShowErrMessage(const CString& text) {
  if (text.empty()) return;
  std::string canceled;
  if (!m_Internals->platform->Strings().Load(kStrOperationCanceled, canceled)) return;
  if (EqualIgnoringCase(text, canceled)) return;
  {
    table::ModalScope modal(m_NoModalUp);
    m_Internals->platform->Boxes().Show(m_Internals->frame.get(), text,
                                        m_Internals->frame ? m_Internals->frame->GetTitle() : "",
                                        platform::MB_OK);
  }
  if (m_Internals->frame && m_Internals->frame->IsWindow()) m_Internals->frame->Activate();
}
