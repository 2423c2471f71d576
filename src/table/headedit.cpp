#include "table/headedit.h"

#include "table/utf8_chars.h"

namespace {
// The first `limit` characters of text.
std::string FirstChars(const std::string& text, std::size_t limit) {
  std::size_t pos = 0;
  for (std::size_t chars = 0; pos < text.size() && chars < limit; ++chars)
    pos += params::DecodeUtf8At(text, pos).size;
  return text.substr(0, pos);
}
}  // namespace

CHeadEdit::CHeadEdit(CString& name, CWnd* parent)
    : m_Name(name), m_pName(&name), m_pParent(parent) {}

int CHeadEdit::DoModal(platform::TableDialogs& dialogs) {
  m_Name = FirstChars(*m_pName, kMaxNameChars);
  return dialogs.RunModal(m_pParent, *this) == 1 ? 1 : 2;
}

std::string CHeadEdit::GetControlText(int id) const {
  return id == kNameControl ? m_Name : std::string();
}

void CHeadEdit::SetControlText(int id, const std::string& text) {
  if (id == kNameControl) m_Name = FirstChars(text, kMaxNameChars);
}

std::size_t CHeadEdit::TextLimit(int id) const { return id == kNameControl ? kMaxNameChars : 0; }

bool CHeadEdit::OnOK() {
  *m_pName = m_Name;
  return true;
}
