#pragma once
// Module-level strings shared by the table's operations.

#include "datatable/strings.h"

namespace table {

// The empty string, used to blank cells.
extern const CString kEmptyString;
// The name that stands for a blob in notifications.
extern const CString kBlobName;
// The profile section of the table window.
extern const char* const kProfileSection;

}  // namespace table
