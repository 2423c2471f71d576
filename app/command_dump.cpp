// `datatable dump`: the whole table in its stored form as JSON — per sheet the names row and
// then the displayed values of every row.

#include <ostream>

#include "cli.h"
#include "host_session.h"
#include "json_text.h"

namespace dtapp {

int DumpCommand(const std::string& file, std::ostream& out, std::ostream& err) {
  HostSession session;
  if (!session.Open(file)) {
    err << "datatable: " << session.Error() << "\n";
    return kExitFailed;
  }
  CZAT_PSF1& table = session.Table();
  out << "{\"file\": ";
  WriteJsonString(out, BaseName(file));
  out << ", \"sheets\": [";
  const long sheets = table.GetNumSheets();
  for (long s = 1; s <= sheets; ++s) {
    table.SetSheet(s);
    CString sheetName;
    table.GetSheetName(sheetName, s);
    long cols = 0, rows = 0;
    table.GetMaxCols(cols, s);
    table.GetMaxRows(rows, s);
    // The names a host reads values by (an unnamed column under its letters) and the names
    // as stored (empty for an unnamed column).
    const CZATArgList lookup = table.GetHeaderArgList(s);
    std::vector<CString> names(lookup.begin(), lookup.end());
    names.resize(static_cast<std::size_t>(cols));

    out << (s > 1 ? ",\n" : "\n") << " {\"name\": ";
    WriteJsonString(out, sheetName);
    out << ", \"rows\": [\n  [";
    for (long c = 1; c <= cols; ++c) {
      CString stored;
      table.GetArgName(c, stored, s);
      if (c > 1) out << ", ";
      WriteJsonString(out, stored);
    }
    out << "]";
    CString value;
    for (long r = 1; r <= rows; ++r) {
      out << ",\n  [";
      for (long c = 1; c <= cols; ++c) {
        if (table.GetArgValue(r, names[static_cast<std::size_t>(c - 1)], value, s) != 0)
          value.clear();
        if (c > 1) out << ", ";
        WriteJsonString(out, value);
      }
      out << "]";
    }
    out << "]}";
  }
  out << "\n]}\n";
  return out.good() ? kExitOk : kExitFailed;
}

}  // namespace dtapp
