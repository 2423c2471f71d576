#include "file_kind.h"

namespace dtapp {

CZAT::FILE_TYPE TypeFromExtension(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && slash > dot))
    return CZAT::FILE_TYPE_NONE;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (ext == "xls") return CZAT::FILE_TYPE_EXCEL97;
  if (ext == "xlsx") return CZAT::FILE_TYPE_XLSX;
  if (ext == "txt") return CZAT::FILE_TYPE_TEXT;
  if (ext == "csv") return CZAT::FILE_TYPE_CSV;
  return CZAT::FILE_TYPE_NONE;
}

}  // namespace dtapp
