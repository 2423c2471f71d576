// The question whether to keep the changes of a modified table.

#include "files/file_messages.h"
#include "table/czat_psf1.h"

int CZAT_PSF1::YesNoSaveMessage() {
  std::string text;
  m_Internals->platform->Strings().Load(files::kStrSaveQuestion, text);
  // The name without its folder; both separators count, so Linux and Windows paths alike
  // show just the file's own name.
  const std::size_t slash = m_FileName.find_last_of("/\\");
  const CString name = slash == CString::npos ? m_FileName : m_FileName.substr(slash + 1);
  const CString shown = name.empty() ? CString("this file") : "'" + name + "'";
  // The name goes in as text, never as a format: a "%" in a file name stays a "%".
  const std::size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, shown);
  // This box leaves m_NoModalUp alone, so a host may close the view while it is up.
  return m_Internals->platform->Boxes().Show(
      m_Internals->frame.get(), text, m_Internals->frame ? m_Internals->frame->GetTitle() : "",
      platform::MB_YESNOCANCEL | platform::MB_ICONINFORMATION);
}
