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

// ASCII letters compared without case; other bytes exactly.
bool EqualIgnoringCase(const std::string& a, const std::string& b);

}  // namespace files
