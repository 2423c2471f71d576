// Parameter names: the character classes, the reason a name is invalid, the silent repair and
// the interactive check that offers it.
#include "params/name_rules.h"
#include "table/czat_psf1.h"
#include "table/modal_scope.h"
#include "table/utf8_chars.h"

namespace {

constexpr unsigned kStrNameNotDefined = 3015;
constexpr unsigned kStrFixNameAutomatically = 3017;
constexpr unsigned kStrNameTooLong = 3018;
constexpr unsigned kStrNameFirstChar = 3019;
constexpr unsigned kStrNameChars = 3020;

unsigned MessageFor(params::NameProblem problem) {
  switch (problem) {
    case params::NameProblem::kEmpty:
      return kStrNameNotDefined;
    case params::NameProblem::kTooLong:
      return kStrNameTooLong;
    case params::NameProblem::kBadFirstChar:
      return kStrNameFirstChar;
    case params::NameProblem::kBadChar:
      return kStrNameChars;
    case params::NameProblem::kNone:
      break;
  }
  return 0;
}

}  // namespace

int CZAT_PSF1::IsParamNameLetter(int ch) const { return params::IsNameLetter(ch) ? 1 : 0; }

int CZAT_PSF1::IsParamNameAlnum(int ch) const { return params::IsNameAlnum(ch) ? 1 : 0; }

bool CZAT_PSF1::IsValidParamNameFirstChar(int ch) const { return params::IsValidNameFirstChar(ch); }

bool CZAT_PSF1::IsValidParamNameChar(int ch) const { return params::IsValidNameChar(ch); }

CString CZAT_PSF1::MbcharToString(int ch) const {
  CString out;
  params::AppendUtf8(out, ch);
  return out;
}

CString CZAT_PSF1::GetParamNameError(const CString& name) const {
  unsigned id = MessageFor(params::CheckParamName(name));
  CString text;
  if (id != 0 && m_Internals->platform) m_Internals->platform->Strings().Load(id, text);
  return text;
}

void CZAT_PSF1::FixParamName(CString& name) const { name = params::RepairParamName(name); }

bool CZAT_PSF1::PromptAndFixParamName(CString& name) const {
  // Showing a box marks the table as having a modal box up; the check itself changes nothing
  // else of the table.
  auto* self = const_cast<CZAT_PSF1*>(this);
  if (name.empty()) {
    self->MessageBoxA(kStrNameNotDefined, platform::MB_OK | platform::MB_ICONERROR);
    return false;
  }
  CString reason = GetParamNameError(name);
  if (reason.empty()) return true;
  CString offer;
  m_Internals->platform->Strings().Load(kStrFixNameAutomatically, offer);
  int answer;
  {
    table::ModalScope modal(self->m_NoModalUp);
    answer = m_Internals->platform->Boxes().Show(
        m_Internals->frame.get(), reason + offer,
        m_Internals->frame ? m_Internals->frame->GetTitle() : "",
        platform::MB_YESNO | platform::MB_ICONERROR);
  }
  if (m_Internals->frame && m_Internals->frame->IsWindow()) m_Internals->frame->Activate();
  if (answer == platform::IDYES) FixParamName(name);
  return false;
}
