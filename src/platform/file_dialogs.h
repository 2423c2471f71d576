#pragma once
// The open-file and save-file dialogs.

#include <string>

class CWnd;

namespace platform {

// Flags of the file dialogs (the table passes them through; the platform honours what it can).
enum FileDialogFlags : unsigned long {
  OFN_READONLY = 0x1,
  OFN_OVERWRITEPROMPT = 0x2,
  OFN_HIDEREADONLY = 0x4,
  OFN_PATHMUSTEXIST = 0x800,
  OFN_FILEMUSTEXIST = 0x1000,
};

struct FileDialogRequest {
  bool open = true;            // open dialog; false: save dialog
  std::string title;           // empty: the platform's default
  std::string defaultExt;      // without the dot
  std::string fileName;        // initial file name
  unsigned long flags = 0;
  std::string filter;          // "Text|*.txt|Excel|*.xls||"
  int filterIndex = 1;         // 1-based
  CWnd* parent = nullptr;
};

// What a dialog closed with OK hands back.
struct FileDialogResult {
  std::string path;     // full path
  int filterIndex = 1;  // 1-based index of the filter chosen
};

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // true when the user chose a file (result filled), false when cancelled.
  virtual bool Run(const FileDialogRequest& request, FileDialogResult& result) = 0;
};

}  // namespace platform
