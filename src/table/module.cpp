// The module's entry points and the host's choice of platform.

#include "datatable/module.h"

#include <map>
#include <string>

#include "platform/headless/headless_platform.h"
#include "table/czat_psf1.h"

namespace {

// Runtime classes this module contributes, by class name.
using Factory = CZAT* (*)();
std::map<std::string, Factory>& RuntimeClasses() {
  static std::map<std::string, Factory> classes;
  return classes;
}

// The value AfxDllRegisterMe hands out the address of; nothing in the module sets it.
void* g_registration = nullptr;

platform::HeadlessPlatform* Headless() {
  return dynamic_cast<platform::HeadlessPlatform*>(platform::Current().get());
}

// Loading the library registers it, as an extension module does when it is attached.
[[gnu::constructor]] void OnLoad() { InitZATExtDLL(); }

}  // namespace

void InitZATExtDLL() {
  RuntimeClasses()["CZAT_PSF1"] = [] { return static_cast<CZAT*>(CZAT_PSF1::CreateObject()); };
}

int AfxDllRegisterMe(void** out) {
  InitZATExtDLL();
  if (out != nullptr) *out = &g_registration;
  return 1;
}

namespace datatable {

CZAT* CreateObjectByClassName(const std::string& className) {
  auto& classes = RuntimeClasses();
  auto it = classes.find(className);
  return it == classes.end() ? nullptr : it->second();
}

void InstallPlatform(std::shared_ptr<platform::Platform> platform) {
  platform::Install(std::move(platform));
}

void SetHeadlessMessageBoxHandler(MessageBoxHandler handler) {
  if (auto* headless = Headless()) headless->MessageBoxScript().SetHandler(std::move(handler));
}

int GetHeadlessProfileInt(const std::string& section, const std::string& key, int defaultValue) {
  auto* headless = Headless();
  return headless != nullptr ? headless->UserProfile().GetInt(section, key, defaultValue)
                             : defaultValue;
}

}  // namespace datatable
