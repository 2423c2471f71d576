// `datatable run`: the rows a test run reads, sheet by sheet, as a test host reads them.

#include <ostream>
#include <string>
#include <vector>

#include "cli.h"
#include "host_session.h"
#include "json_text.h"
#include "run_plan.h"

namespace dtapp {

namespace {

// The run's one writer of text: fields and line ends gather in a buffer that reaches the
// stream in large blocks, so a value costs a copy rather than a stream call.
class RunWriter {
 public:
  explicit RunWriter(std::ostream& out) : out_(out) { buffer_.reserve(kBlock + 4096); }
  ~RunWriter() { Flush(); }
  RunWriter(const RunWriter&) = delete;
  RunWriter& operator=(const RunWriter&) = delete;

  std::string& Buffer() { return buffer_; }
  // At the end of a line: hands a full block to the stream.
  void LineDone() {
    if (buffer_.size() >= kBlock) Flush();
  }
  void Flush() {
    if (buffer_.empty()) return;
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

 private:
  static constexpr std::size_t kBlock = 64 * 1024;
  std::ostream& out_;
  std::string buffer_;
};

// A value on one line of tab-separated output: tabs and line breaks in it become spaces, in
// one pass over the copy (find_first_of would call memchr for every character).
void WriteField(std::string& out, const CString& value) {
  // Nearly every value holds no control character at all: one scan that the compiler
  // vectorises, then a plain copy.
  bool plain = true;
  for (char c : value) plain &= static_cast<unsigned char>(c) > '\r';
  if (plain) {
    out += value;
    return;
  }
  const std::size_t start = out.size();
  out += value;
  for (std::size_t i = start; i < out.size(); ++i) {
    char& c = out[i];
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
}

// A value as a comma-separated field: quoted, with its quotes doubled, when it holds a comma,
// a quote or a line break.
void WriteCsvField(std::string& out, const CString& value) {
  bool plain = true;
  for (char c : value) plain = plain && c != ',' && c != '"' && c != '\r' && c != '\n';
  if (plain) {
    out += value;
    return;
  }
  out += '"';
  for (char c : value) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

// One line of fields in the chosen form.
class LineWriter {
 public:
  LineWriter(RunWriter& out, RunFormat format) : out_(out), format_(format) {}
  void Field(const CString& value) {
    std::string& buffer = out_.Buffer();
    if (!first_) buffer += format_ == RunFormat::Csv ? ',' : '\t';
    first_ = false;
    if (format_ == RunFormat::Csv)
      WriteCsvField(buffer, value);
    else
      WriteField(buffer, value);
  }
  void End() {
    out_.Buffer() += format_ == RunFormat::Csv ? "\r\n" : "\n";
    first_ = true;
    out_.LineDone();
  }

 private:
  RunWriter& out_;
  RunFormat format_;
  bool first_ = true;
};

void WriteText(CZAT_PSF1& table, const std::vector<SheetRun>& run, RunFormat format,
               std::ostream& out) {
  RunWriter writer(out);
  LineWriter line(writer, format);
  CString value;
  for (const SheetRun& sheet : run) {
    const long s = sheet.sheet;
    if (&sheet != &run.front()) line.End();
    table.SetSheet(s);
    const CZATArgList names = table.GetHeaderArgList(s);
    for (const CString& name : names) line.Field(name);
    line.End();
    for (long row : sheet.rows) {
      for (const CString& name : names) {
        if (table.GetArgValue(row, name, value, s) != 0) value.clear();
        line.Field(value);
      }
      line.End();
    }
  }
}

// {"file": NAME, "sheets": [{"name": SHEET, "parameters": [...],
//   "rows": [{"row": N, "values": [...]}, ...]}, ...]}
void WriteJson(CZAT_PSF1& table, const std::string& file, const std::vector<SheetRun>& run,
               std::ostream& out) {
  out << "{\"file\": ";
  WriteJsonString(out, BaseName(file));
  out << ", \"sheets\": [";
  CString value;
  for (const SheetRun& sheet : run) {
    const long s = sheet.sheet;
    table.SetSheet(s);
    CString sheetName;
    table.GetSheetName(sheetName, s);
    const CZATArgList names = table.GetHeaderArgList(s);
    out << (&sheet != &run.front() ? ",\n" : "\n") << " {\"name\": ";
    WriteJsonString(out, sheetName);
    out << ", \"parameters\": [";
    bool first = true;
    for (const CString& name : names) {
      if (!first) out << ", ";
      WriteJsonString(out, name);
      first = false;
    }
    out << "], \"rows\": [";
    for (std::size_t k = 0; k < sheet.rows.size(); ++k) {
      const long row = sheet.rows[k];
      out << (k > 0 ? ",\n" : "\n") << "  {\"row\": " << row << ", \"values\": [";
      first = true;
      for (const CString& name : names) {
        if (table.GetArgValue(row, name, value, s) != 0) value.clear();
        if (!first) out << ", ";
        WriteJsonString(out, value);
        first = false;
      }
      out << "]}";
    }
    out << "]}";
  }
  out << "\n]}\n";
}

}  // namespace

int RunCommand(const RunOptions& options, std::ostream& out, std::ostream& err) {
  HostSession session;
  if (!session.Open(options.file)) {
    err << "datatable: " << session.Error() << "\n";
    return kExitFailed;
  }
  CZAT_PSF1& table = session.Table();
  long first = 1, last = table.GetNumSheets();
  if (!options.sheet.empty()) {
    const long s = FindSheet(table, options.sheet);
    if (s == 0) {
      err << "datatable: " << options.file << ": no sheet \"" << options.sheet << "\"\n";
      return kExitFailed;
    }
    first = last = s;
  }
  std::vector<SheetRun> run;
  std::string error;
  if (!CaptureRun(table, first, last, options.rows, !options.sheet.empty(), run, error)) {
    session.Fail(options.file + ": " + error);
    err << "datatable: " << session.Error() << "\n";
    return kExitFailed;
  }
  KeepShard(run, options.shard);
  if (options.format == RunFormat::Json)
    WriteJson(table, options.file, run, out);
  else
    WriteText(table, run, options.format, out);
  return out.good() ? kExitOk : kExitFailed;
}

}  // namespace dtapp
