// The AutoFill Lists dialog: its logic over the engine's auto-fill lists, and the Data menu
// command that shows it.

#include "commands/autofill_lists.h"

#include <sys/stat.h>

#include <fstream>
#include <limits>

#include "control/control.h"
#include "platform/platform.h"
#include "table/czat_psf1.h"
#include "table/modal_scope.h"

namespace {
constexpr unsigned kErrorOpening = 57642;  // "Error opening file!"
constexpr unsigned kErrorSaving = 57643;   // "Error saving file!"
constexpr unsigned kDefaultExt = 57652;    // "afl"
constexpr unsigned kFilter = 57653;        // "Autofill list files (*.afl)|*.afl|…"
constexpr int kMaxLists = std::numeric_limits<short>::max();

// The lines of a file, line ends (LF or CR LF) removed; false when it cannot be read or has
// more than `limit` lines.
bool ReadLines(const std::string& path, std::size_t limit, std::vector<std::string>& lines) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (lines.size() == limit) return false;
    lines.push_back(std::move(line));
  }
  return !in.bad();
}
}  // namespace

CAutoFLst::CAutoFLst(engine::Control& control, CWnd* parent, platform::Platform& platform)
    : m_Control(control), m_pParent(parent), m_Platform(platform) {}

int CAutoFLst::DoModal() { return m_Platform.Dialogs().RunModal(m_pParent, *this) == 1 ? 1 : 2; }

void CAutoFLst::OnInitDialog() {
  m_ListBox.clear();
  const short count = m_Control.GetAutoFillListCount();
  for (short i = 1; i <= count; ++i) m_ListBox.push_back(m_Control.GetAutoFillList(i));
  m_ListBox.push_back(kNewListEntry);
  m_Selected = count;
  m_Focus = kCurrentList;
  m_AddEnabled = false;
  m_DeleteEnabled = false;
}

std::string CAutoFLst::GetControlText(int id) const {
  return id == kCurrentList ? m_CurrentList : std::string();
}

void CAutoFLst::SetControlText(int id, const std::string& text) {
  if (id != kCurrentList) return;
  if (text != m_CurrentList) m_EditModified = true;
  m_CurrentList = text;
}

std::vector<std::string> CAutoFLst::ListItems(int id) const {
  return id == kLists ? m_ListBox : std::vector<std::string>();
}

int CAutoFLst::ListSelection(int id) const { return id == kLists ? m_Selected : -1; }

void CAutoFLst::SetListSelection(int id, int index) {
  if (id != kLists) return;
  m_Selected = index >= 0 && index < static_cast<int>(m_ListBox.size()) ? index : -1;
}

bool CAutoFLst::IsControlEnabled(int id) const {
  if (id == kAdd) return m_AddEnabled;
  if (id == kDelete) return m_DeleteEnabled;
  return true;
}

void CAutoFLst::OnCommand(int id) {
  switch (id) {
    case kLists:
      OnSelchangeLists();
      break;
    case kDelete:
      OnDelete();
      break;
    case kAdd:
      OnAdd();
      break;
    case kCurrentList:
      OnChangeCurrentList();
      break;
    case kOpen:
      OnOpen();
      break;
    case kSave:
      OnSave();
      break;
    default:
      break;
  }
}

void CAutoFLst::WriteCurrentList(const std::string& text) {
  m_CurrentList = text;
  m_EditModified = false;
}

bool CAutoFLst::IsNewListSelected() const { return m_Selected == m_Control.GetAutoFillListCount(); }

void CAutoFLst::ShowMessage(unsigned id) const {
  std::string text;
  m_Platform.Strings().Load(id, text);
  m_Platform.Boxes().Show(m_pParent, text, std::string(), platform::MB_OK);
}

void CAutoFLst::OnChangeCurrentList() { m_AddEnabled = m_EditModified; }

void CAutoFLst::OnSelchangeLists() {
  if (m_Selected < 0) return;
  const bool isNew = IsNewListSelected();
  m_DeleteEnabled = !isNew;
  m_AddEnabled = false;
  WriteCurrentList(isNew ? std::string() : m_ListBox[static_cast<std::size_t>(m_Selected)]);
}

void CAutoFLst::OnAdd() {
  const int s = m_Selected;
  if (s < 0) return;
  if (m_CurrentList.empty()) return;
  const bool isNew = IsNewListSelected();
  try {
    m_Control.StoreAutoFillList(static_cast<short>(s + 1), m_CurrentList);
  } catch (const engine::EngineError& e) {
    m_Platform.Boxes().Show(m_pParent, e.Description(), std::string(), platform::MB_OK);
    return;
  }
  // The list box shows the list as the engine keeps it.
  const std::string text = m_Control.GetAutoFillList(static_cast<short>(s + 1));
  const auto at = m_ListBox.begin() + s;
  if (isNew) {
    m_ListBox.insert(at, text);
    m_Selected = s + 1;
    WriteCurrentList(std::string());
  } else {
    *at = text;
    m_Selected = s;
  }
  m_AddEnabled = false;
}

void CAutoFLst::OnDelete() {
  const int s = m_Selected;
  if (s < 0 || s + 1 > m_Control.GetAutoFillListCount()) return;
  m_Control.DeleteAutoFillList(static_cast<short>(s + 1));
  m_ListBox.erase(m_ListBox.begin() + s);
  m_Selected = static_cast<int>(m_ListBox.size()) - 1;
  // The new-list entry is selected now: nothing to delete.
  m_DeleteEnabled = false;
}

void CAutoFLst::OnOpen() {
  platform::FileDialogRequest request;
  request.open = true;
  m_Platform.Strings().Load(kDefaultExt, request.defaultExt);
  m_Platform.Strings().Load(kFilter, request.filter);
  request.flags = platform::OFN_HIDEREADONLY | platform::OFN_OVERWRITEPROMPT;
  request.parent = m_pParent;
  platform::FileDialogResult result;
  if (!m_Platform.Files().Run(request, result)) return;
  struct stat status {};
  if (::stat(result.path.c_str(), &status) != 0) return;  // no such file: nothing happens
  if (!LoadFile(result.path)) ShowMessage(kErrorOpening);
}

void CAutoFLst::OnSave() {
  platform::FileDialogRequest request;
  request.open = false;
  m_Platform.Strings().Load(kDefaultExt, request.defaultExt);
  m_Platform.Strings().Load(kFilter, request.filter);
  request.flags = platform::OFN_HIDEREADONLY | platform::OFN_OVERWRITEPROMPT;
  request.parent = m_pParent;
  platform::FileDialogResult result;
  if (!m_Platform.Files().Run(request, result)) return;
  if (!SaveFile(result.path)) ShowMessage(kErrorSaving);
}

bool CAutoFLst::LoadFile(const std::string& path) {
  // Read the whole file first: a file that cannot be read, or one with more lines than the
  // engine can number, leaves the lists as they were.
  std::vector<std::string> lines;
  if (!ReadLines(path, kMaxLists, lines)) return false;
  while (m_Control.GetAutoFillListCount() > 0) m_Control.DeleteAutoFillList(1);
  m_ListBox.clear();
  int i = 1;
  for (const std::string& line : lines) {
    m_Control.StoreAutoFillList(static_cast<short>(i), line);
    m_ListBox.push_back(m_Control.GetAutoFillList(static_cast<short>(i)));
    ++i;
  }
  m_ListBox.push_back(kNewListEntry);
  m_Selected = i - 1;
  m_AddEnabled = false;
  m_DeleteEnabled = false;
  WriteCurrentList(std::string());
  m_Focus = kCurrentList;
  return true;
}

bool CAutoFLst::SaveFile(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  const short count = m_Control.GetAutoFillListCount();
  for (short i = 1; i <= count; ++i) out << m_Control.GetAutoFillList(i) << '\n';
  out.close();
  return !out.fail();
}

void CZAT_PSF1::OnDataAutofilllist() {
  CAutoFLst dialog(Ctl(), m_Internals->frame.get(), *m_Internals->platform);
  table::ModalScope modal(m_NoModalUp);
  dialog.DoModal();
}
