#pragma once
// The user's regional settings, as the platform knows them. The short date format is a
// number-format code in the user's own form (it may have a two-digit year: "M/d/yy").

#include "control/locale_settings.h"

namespace platform {

class LocaleSource {
 public:
  virtual ~LocaleSource() = default;
  virtual engine::LocaleSettings Settings() const = 0;
};

}  // namespace platform
