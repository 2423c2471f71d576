#pragma once
// One headless table for the length of a command (or of a table object of the Python module):
// constructed with no window shown, the file opened, every message the table would have shown
// collected instead, and the table ended with Destroy as the SDK asks. Several sessions may
// live at once; a message belongs to the session whose call showed it, so a caller takes the
// messages right after each call (everything runs on one thread).

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

  // Opens a table file; false with Error() and ErrorCode() set when it cannot be opened.
  // FILE_TYPE_NONE: from the extension; a name with neither .xls nor .txt is read as a
  // workbook.
  bool Open(const std::string& file, CZAT::FILE_TYPE type = CZAT::FILE_TYPE_NONE);
  CZAT_PSF1& Table() { return *table_; }
  // The messages the table showed since the last call, and a readable line for a failure.
  std::vector<std::string> TakeMessages();
  const std::string& Error() const { return error_; }
  // The table's result for the failed open (-1 when it never got to the table).
  int ErrorCode() const { return errorCode_; }
  // Error() from the table's messages, or `fallback` when it showed none.
  void Fail(const std::string& fallback);

 private:
  CZAT_PSF1* table_ = nullptr;
  std::vector<std::string> messages_;
  std::string error_;
  int errorCode_ = 0;
};

// The last part of a path.
std::string BaseName(const std::string& path);

}  // namespace dtapp
