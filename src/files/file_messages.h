#pragma once
// Message ids of the file operations and the text comparison their messages rely on.

#include <string>

namespace files {

constexpr unsigned kStrUnableToOpenFile = 3010;    // the engine's text for a write refused
constexpr unsigned kStrOpenSharing = 3011;         // reading a table another program holds
constexpr unsigned kStrSaveSharing = 3012;         // writing a table another program holds
constexpr unsigned kStrSaveAsFilter = 3024;        // filters of the save dialog
constexpr unsigned kStrSaveQuestion = 3023;        // "Do you want to save changes ... %s?"
constexpr unsigned kStrInvalidFile = 3025;         // the engine's text for a read refused

// ASCII letters compared without case; other bytes exactly.
bool EqualIgnoringCase(const std::string& a, const std::string& b);

}  // namespace files
