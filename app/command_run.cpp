// `datatable run`: the rows a test run reads, sheet by sheet, as a test host reads them.

#include <ostream>
#include <string>
#include <vector>

#include "cli.h"
#include "host_session.h"

namespace dtapp {

namespace {

// The run's one writer: fields and line ends gather in a buffer that reaches the stream in
// large blocks, so a value costs a copy rather than a stream call.
class RunWriter {
 public:
  explicit RunWriter(std::ostream& out) : out_(out) { buffer_.reserve(kBlock + 4096); }
  ~RunWriter() { Flush(); }
  RunWriter(const RunWriter&) = delete;
  RunWriter& operator=(const RunWriter&) = delete;

  // A value on one line of tab-separated output: tabs and line breaks in it become spaces.
  void Field(const CString& value) {
    const std::size_t start = buffer_.size();
    buffer_ += value;
    if (value.find_first_of("\t\n\r") != CString::npos)
      for (std::size_t i = start; i < buffer_.size(); ++i)
        if (buffer_[i] == '\t' || buffer_[i] == '\n' || buffer_[i] == '\r') buffer_[i] = ' ';
  }
  void Put(char c) {
    buffer_ += c;
    if (c == '\n' && buffer_.size() >= kBlock) Flush();
  }
  void Flush() {
    if (buffer_.empty()) return;
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }
  bool Good() {
    Flush();
    return out_.good();
  }

 private:
  static constexpr std::size_t kBlock = 64 * 1024;
  std::ostream& out_;
  std::string buffer_;
};

long FindSheet(CZAT_PSF1& table, const std::string& sheet) {
  bool digits = !sheet.empty() && sheet.size() < 10;
  for (char c : sheet) digits = digits && c >= '0' && c <= '9';
  if (digits) {
    const long n = std::stol(sheet);
    // A sheet named like a number is found by its name when no sheet has that number.
    if (n >= 1 && n <= table.GetNumSheets()) return n;
  }
  return table.GetSheetIndex(sheet);  // 0 when no sheet has the name
}

// Selects the requested rows of sheet s (clipped to its rows); false when a requested row
// lies beyond the sheet and `strict` is set. `none` tells that no requested row is on it.
bool SelectRequestedRows(CZAT_PSF1& table, long s, const std::vector<RowRange>& ranges,
                         bool strict, bool& none, std::string& error) {
  long lastRow = 0;
  table.GetMaxRows(lastRow, s);
  CString name;
  table.GetSheetName(name, s);
  CWBRowsRangeList list;
  list.AddSheetEntry(name);
  for (const RowRange& range : ranges) {
    if (range.last > lastRow && strict) {
      error = "row " + std::to_string(range.last) + " is beyond the last row (" +
              std::to_string(lastRow) + ") of sheet \"" + name + "\"";
      return false;
    }
    if (range.first > lastRow) continue;
    CRowsRange r;
    r.nFirstRow = range.first;
    r.nLastRow = range.last < lastRow ? range.last : lastRow;
    list.AddRowsRangeEntry(name, r);
  }
  table.UnSelectRows(s);
  int count = 0;
  list.GetRowsRangeCount(name, count);
  none = count == 0;
  if (!none) table.SelectRows(list, s);
  return true;
}

}  // namespace

int RunCommand(const RunOptions& options, std::ostream& out, std::ostream& err) {
  HostSession session;
  if (!session.Open(options.file)) {
    err << "datatable: " << session.Error() << "\n";
    return kExitFailed;
  }
  CZAT_PSF1& table = session.Table();
  const long sheets = table.GetNumSheets();
  long first = 1, last = sheets;
  if (!options.sheet.empty()) {
    const long s = FindSheet(table, options.sheet);
    if (s == 0) {
      err << "datatable: " << options.file << ": no sheet \"" << options.sheet << "\"\n";
      return kExitFailed;
    }
    first = last = s;
  }

  // Whole rows that the file left selected must not narrow the run: start from none.
  for (long s = 1; s <= sheets; ++s) table.UnSelectRows(s);
  // Sheets on which none of the requested rows lie; the run reads nothing there (with no
  // selection anywhere a capture would take every row).
  std::vector<bool> noRows(static_cast<std::size_t>(sheets + 1), false);
  if (options.rows) {
    std::string error;
    for (long s = first; s <= last; ++s) {
      bool none = false;
      if (!SelectRequestedRows(table, s, *options.rows, !options.sheet.empty(), none, error)) {
        err << "datatable: " << options.file << ": " << error << "\n";
        return kExitFailed;
      }
      noRows[static_cast<std::size_t>(s)] = none;
    }
  }
  // Selected rows, when there are any, are the run rows; no question is asked.
  if (table.CaptureRowsList(false, 0) != 1) {
    session.Fail(options.file + ": the run rows cannot be captured");
    err << "datatable: " << session.Error() << "\n";
    return kExitFailed;
  }

  RunWriter writer(out);
  for (long s = first; s <= last; ++s) {
    if (s > first) writer.Put('\n');
    table.SetSheet(s);
    const CZATArgList names = table.GetHeaderArgList(s);
    bool firstField = true;
    for (const CString& name : names) {
      if (!firstField) writer.Put('\t');
      writer.Field(name);
      firstField = false;
    }
    writer.Put('\n');
    CString value;
    long row = 0;
    while (!noRows[static_cast<std::size_t>(s)] && table.GetNextRunRow(row, s) == 1) {
      firstField = true;
      for (const CString& name : names) {
        if (!firstField) writer.Put('\t');
        if (table.GetArgValue(row, name, value, s) == 0) writer.Field(value);
        firstField = false;
      }
      writer.Put('\n');
    }
  }
  return writer.Good() ? kExitOk : kExitFailed;
}

}  // namespace dtapp
