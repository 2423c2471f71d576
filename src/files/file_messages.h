#pragma once
// Message ids of the file operations and the text comparison their messages rely on.

#include <string>

#include "platform/platform.h"
#include "resources/resource_ids.h"

namespace files {

constexpr unsigned kStrUnableToOpenFile = resources::kStrUnableToOpenFile;  // engine: write refused
constexpr unsigned kStrOpenSharing = resources::kStrUnableToOpenTable;  // a held table, read
constexpr unsigned kStrSaveSharing = resources::kStrUnableToSaveTable;  // a held table, written
constexpr unsigned kStrSaveAsFilter = resources::kStrSaveFilter;
constexpr unsigned kStrSaveQuestion = resources::kStrSaveChanges;
constexpr unsigned kStrInvalidFile = resources::kStrInvalidFile;  // engine: read refused

// A filter string ("label|pattern|…||") with the .xlsx and .csv entries of string 3026 after
// its own: they become filter indexes 4 and 5 of the open and save dialogs.
std::string WithMoreForms(const std::string& filter, const std::string& moreForms);
// The file type of filter index 4 (.xlsx) or 5 (.csv); FILE_TYPE_NONE (0) for any other index.
short MoreFormsType(int filterIndex);
// The extension a name without a dot takes from filter index 4 or 5, or nullptr.
const char* MoreFormsExtension(int filterIndex);

// Whether the engine's error code says that another program holds the file open: reading
// refused ("Invalid file.") or writing refused ("Unable to open file."). The description is
// compared only when the code says nothing (ReplaceMsgIfSharing).
bool IsHeldOpenCode(int code, int reading);

// Shows the platform's open dialog (open true) or save dialog over parent with flags and the
// filter of string filterId followed by the .xlsx and .csv entries, starting at the first
// filter and without a name; noModalUp is false while it is up. False: the user cancelled.
bool RunFileDialog(platform::Platform& platform, CWnd* parent, bool& noModalUp, bool open,
                   unsigned long flags, unsigned filterId, platform::FileDialogResult& result);

// ASCII letters compared without case; other bytes exactly.
bool EqualIgnoringCase(const std::string& a, const std::string& b);

}  // namespace files
