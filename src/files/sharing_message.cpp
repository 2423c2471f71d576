// The message for a failed read or write: a file that another program holds open gets the
// table's own message, every other failure the engine's description.

#include <algorithm>
#include <cctype>

#include "control/engine_error.h"
#include "files/file_messages.h"
#include "table/czat_psf1.h"

namespace files {

bool IsHeldOpenCode(int code, int reading) {
  return code == (reading != 0 ? engine::kErrInvalidFile : engine::kErrUnableToOpen);
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

}  // namespace files

void CZAT_PSF1::ReplaceMsgIfSharing(CString errorText, unsigned int messageId, int& result,
                                    int reading) {
  const unsigned referenceId = reading != 0 ? files::kStrInvalidFile : files::kStrUnableToOpenFile;
  std::string reference;
  const bool loaded = m_Internals->platform->Strings().Load(referenceId, reference);
  // The engine always describes a held file in English; with a translated string table the
  // loaded text alone would never match it.
  const std::string engineText =
      reading != 0 ? engine::kTextInvalidFile : engine::kTextUnableToOpenFile;
  if ((loaded && files::EqualIgnoringCase(reference, errorText)) ||
      files::EqualIgnoringCase(engineText, errorText)) {
    result = -1;
    MessageBoxA(messageId, platform::MB_OK);
  }
  if (result == 0) {
    ShowErrMessage(errorText);
    result = -1;
  }
}
