#pragma once
// The file type a name's extension stands for, in any letter case: .xls 11, .xlsx 51, .txt 3,
// .csv 6; FILE_TYPE_NONE for any other name.

#include <string>

#include "datatable/datatable.h"

namespace dtapp {

CZAT::FILE_TYPE TypeFromExtension(const std::string& path);

}  // namespace dtapp
