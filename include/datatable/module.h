#pragma once
// Module entry points and the host's choice of window platform.

#include <functional>
#include <memory>
#include <string>

#include "datatable/export.h"

class CZAT;
namespace platform {
class Platform;
}

// Registers the module's resources and runtime classes with the host. Called when the library
// is loaded; a host may call it again.
DATATABLE_API void InitZATExtDLL();
// Does the same, writes the address of a zeroed module-level value through out, returns 1.
DATATABLE_API int AfxDllRegisterMe(void** out);

namespace datatable {

// Dynamic creation by class name: a new table of a registered class ("CZAT_PSF1", built as
// its default constructor builds it), or nullptr for an unknown name.
DATATABLE_API CZAT* CreateObjectByClassName(const std::string& className);

// Installs the window platform that tables constructed afterwards use (for example the Qt
// platform of a program with a display). Without one, tables run headless: no window is shown,
// message boxes answer with their default button, file dialogs are cancelled. nullptr goes
// back to a fresh headless platform.
DATATABLE_API void InstallPlatform(std::shared_ptr<platform::Platform> platform);

// Headless only: every message box a table shows is handed to this callback, which returns the
// answer (1 OK, 2 Cancel, 6 Yes, 7 No). type holds the buttons (0 OK, 1 OK/Cancel,
// 3 Yes/No/Cancel, 4 Yes/No) and the icon. An empty function restores the default answers.
using MessageBoxHandler = std::function<int(const std::string& text, unsigned type)>;
DATATABLE_API void SetHeadlessMessageBoxHandler(MessageBoxHandler handler);

// Headless only: the per-user profile as integers in sections ("Data Table": window placement
// and "Show"). Lets a host read what a table stored.
DATATABLE_API int GetHeadlessProfileInt(const std::string& section, const std::string& key,
                                        int defaultValue);

}  // namespace datatable
