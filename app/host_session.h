#pragma once
// One headless table for the length of a command: constructed with no window shown, the file
// opened, every message the table would have shown collected instead, and the table ended
// with Destroy as the SDK asks.

#include <string>
#include <vector>

#include "datatable/czat_psf1.h"

namespace dtapp {

class HostSession {
 public:
  HostSession();
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  // Opens a table file; false with Error() set when it cannot be opened.
  bool Open(const std::string& file);
  CZAT_PSF1& Table() { return *table_; }
  // The messages the table showed since the last call, and a readable line for a failure.
  std::vector<std::string> TakeMessages();
  const std::string& Error() const { return error_; }
  // Error() from the table's messages, or `fallback` when it showed none.
  void Fail(const std::string& fallback);

 private:
  CZAT_PSF1* table_ = nullptr;
  std::vector<std::string> messages_;
  std::string error_;
};

// The last part of a path.
std::string BaseName(const std::string& path);

}  // namespace dtapp
