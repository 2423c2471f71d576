// The format of a table file, judged by its name alone.

#include <algorithm>
#include <cctype>

#include "table/czat_psf1.h"

namespace {

bool SameLetters(const std::string& a, const char* b) {
  const std::string other(b);
  return a.size() == other.size() &&
         std::equal(a.begin(), a.end(), other.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

}  // namespace

int CZAT_PSF1::GetFileType(const CString& fileName, short* type) {
  // Directories get no special treatment: in "a.b/c" the extension is "b/c", which is no type.
  const std::size_t dot = fileName.rfind('.');
  if (dot == CString::npos) return -1;
  const std::string extension = fileName.substr(dot + 1);
  if (extension.empty()) return -1;
  short found;
  if (SameLetters(extension, "xls"))
    found = FILE_TYPE_EXCEL97;
  else if (SameLetters(extension, "txt"))
    found = FILE_TYPE_TEXT;
  else
    return -1;
  if (type != nullptr) *type = found;
  return 0;
}
