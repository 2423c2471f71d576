#pragma once
// Message ids of the file operations and the text comparison their messages rely on.

#include <string>

#include "resources/resource_ids.h"

namespace files {

constexpr unsigned kStrUnableToOpenFile = resources::kStrUnableToOpenFile;  // engine: write refused
constexpr unsigned kStrOpenSharing = resources::kStrUnableToOpenTable;  // a held table, read
constexpr unsigned kStrSaveSharing = resources::kStrUnableToSaveTable;  // a held table, written
constexpr unsigned kStrSaveAsFilter = resources::kStrSaveFilter;
constexpr unsigned kStrSaveQuestion = resources::kStrSaveChanges;
constexpr unsigned kStrInvalidFile = resources::kStrInvalidFile;  // engine: read refused

// Whether the engine's error code says that another program holds the file open: reading
// refused ("Invalid file.") or writing refused ("Unable to open file."). The description is
// compared only when the code says nothing (ReplaceMsgIfSharing).
bool IsHeldOpenCode(int code, int reading);

// ASCII letters compared without case; other bytes exactly.
bool EqualIgnoringCase(const std::string& a, const std::string& b);

}  // namespace files
