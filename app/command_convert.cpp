// `datatable convert`: a copy of a table in another format.

#include <ostream>
#include <string>

#include "cli.h"
#include "file_kind.h"
#include "host_session.h"

namespace dtapp {

int ConvertCommand(const std::string& from, const std::string& to, int type, bool dropUnsupported,
                   std::ostream& err) {
  // The program decides the output's format itself: left to the table, the type recorded
  // from the input file would win over the output's extension.
  if (type == 0) type = TypeFromExtension(to);
  if (type != CZAT::FILE_TYPE_TEXT && type != CZAT::FILE_TYPE_EXCEL5 &&
      type != CZAT::FILE_TYPE_EXCEL97 && type != CZAT::FILE_TYPE_XLSX &&
      type != CZAT::FILE_TYPE_CSV) {
    err << "datatable: " << to
        << ": the output's format is unknown; name it .xls, .xlsx, .txt or .csv, or give --type "
           "3, 4, 6, 11 or 51\n";
    return kExitUsage;
  }
  HostSession session;
  if (!session.Open(from)) {
    err << "datatable: " << session.Error() << "\n";
    return kExitFailed;
  }
  session.Table().SetDropUnsupported(dropUnsupported);
  int result = -1;
  try {
    // A copy (the table keeps its own name), without notifications.
    result = session.Table().Save(to, 0, static_cast<CZAT::FILE_TYPE>(type), 0);
  } catch (const std::exception& e) {
    err << "datatable: " << to << ": " << e.what() << "\n";
    return kExitFailed;
  }
  if (result != 0) {
    session.Fail(to + ": the table cannot be saved");
    err << "datatable: " << session.Error() << "\n";
    if (session.Error().find("cannot hold") != std::string::npos)
      err << "datatable: --drop-unsupported converts it without them\n";
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace dtapp
