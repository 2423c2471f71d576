#pragma once
// The open-file and save-file dialogs of the Qt platform.

#include <QStringList>
#include <string>

#include "platform/file_dialogs.h"

namespace qtui {

class QtFileDialogs : public platform::FileDialogs {
 public:
  // The dialog starts without a file name and adds no suffix of its own: the path comes back
  // as typed, with the 1-based index of the filter chosen. An open dialog takes only a file
  // that exists; a save dialog asks before overwriting when the request says so.
  bool Run(const platform::FileDialogRequest& request, platform::FileDialogResult& result) override;

  // Qt name filters from a filter string of label and pattern pairs ("Text (*.txt)|*.txt|…||"):
  // one "label (patterns)" per pair; "*.*" becomes "*", since a Linux file needs no dot.
  static QStringList NameFilters(const std::string& filter);
};

}  // namespace qtui
