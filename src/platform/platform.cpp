// The installed platform, headless unless a host installs another.

#include "platform/platform.h"

#include "platform/headless/headless_platform.h"

namespace platform {

namespace {
std::shared_ptr<Platform>& Installed() {
  static std::shared_ptr<Platform> platform;
  return platform;
}
}  // namespace

std::shared_ptr<Platform> Current() {
  auto& installed = Installed();
  if (!installed) installed = std::make_shared<HeadlessPlatform>();
  return installed;
}

void Install(std::shared_ptr<Platform> platform) {
  Installed() = platform ? std::move(platform) : std::make_shared<HeadlessPlatform>();
}

}  // namespace platform
