// `datatable convert`: a copy of a table in another format.

#include <ostream>

#include "cli.h"
#include "host_session.h"

namespace dtapp {

namespace {

// The format an output name asks for. The program decides it itself: left to the table, the
// type recorded from the input file would win over the output's extension.
int TypeFromExtension(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos) return 0;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (ext == "xls") return CZAT::FILE_TYPE_EXCEL97;
  if (ext == "txt") return CZAT::FILE_TYPE_TEXT;
  return 0;
}

}  // namespace

int ConvertCommand(const std::string& from, const std::string& to, int type, std::ostream& err) {
  if (type == 0) type = TypeFromExtension(to);
  if (type != CZAT::FILE_TYPE_TEXT && type != CZAT::FILE_TYPE_EXCEL5 &&
      type != CZAT::FILE_TYPE_EXCEL97) {
    err << "datatable: " << to
        << ": the output's format is unknown; name it .xls or .txt, or give --type 3, 4 or 11\n";
    return kExitUsage;
  }
  HostSession session;
  if (!session.Open(from)) {
    err << "datatable: " << session.Error() << "\n";
    return kExitFailed;
  }
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
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace dtapp
