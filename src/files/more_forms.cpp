// The .xlsx and comma-separated forms the file dialogs offer after the table's own entries.

#include "datatable/zat.h"
#include "files/file_messages.h"
#include "table/modal_scope.h"

namespace files {

std::string WithMoreForms(const std::string& filter, const std::string& moreForms) {
  std::string out = filter;
  // A filter ends in "||": the new pairs go before the final bar.
  if (out.size() >= 2 && out.compare(out.size() - 2, 2, "||") == 0) out.pop_back();
  else if (!out.empty() && out.back() != '|') out.push_back('|');
  return out + moreForms;
}

short MoreFormsType(int filterIndex) {
  if (filterIndex == 4) return CZAT::FILE_TYPE_XLSX;
  if (filterIndex == 5) return CZAT::FILE_TYPE_CSV;
  return CZAT::FILE_TYPE_NONE;
}

const char* MoreFormsExtension(int filterIndex) {
  if (filterIndex == 4) return ".xlsx";
  if (filterIndex == 5) return ".csv";
  return nullptr;
}

bool RunFileDialog(platform::Platform& platform, CWnd* parent, bool& noModalUp, bool open,
                   unsigned long flags, unsigned filterId, platform::FileDialogResult& result) {
  platform::FileDialogRequest request;
  request.open = open;
  request.flags = flags;
  platform.Strings().Load(filterId, request.filter);
  std::string more;
  platform.Strings().Load(resources::kStrMoreFormsFilter, more);
  request.filter = WithMoreForms(request.filter, more);
  request.filterIndex = 1;
  request.parent = parent;
  table::ModalScope modal(noModalUp);
  return platform.Files().Run(request, result);
}

}  // namespace files
