#pragma once
// The per-user profile: integers by section and key.

#include <string>

namespace platform {

class Profile {
 public:
  virtual ~Profile() = default;
  virtual int GetInt(const std::string& section, const std::string& key, int defaultValue) const = 0;
  virtual bool WriteInt(const std::string& section, const std::string& key, int value) = 0;
};

}  // namespace platform
