#include "table/table_strings.h"

namespace table {

const CString kEmptyString;
const CString kBlobName = "<BLOB>";
const char* const kProfileSection = "Data Table";

}  // namespace table
