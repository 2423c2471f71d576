#pragma once
// The `datatable` program: a host of the table SDK that runs, dumps and converts tables from
// the command line, headless. Each command writes its result to `out` and one readable line
// per failure to `err`, and returns the process exit status.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace dtapp {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // the table refused (the message is on stderr)
constexpr int kExitUsage = 2;   // the command line was not understood

struct RowRange {
  long first = 0;
  long last = 0;
};

// "2-5,9" → {2-5, 9-9}. Rows are 1-based; a range must not run backwards. nullopt with a
// reason in `error` for anything else.
std::optional<std::vector<RowRange>> ParseRowList(const std::string& text, std::string& error);

// One of N parts of a run: the run rows at positions K, K+N, K+2N, … (positions from 1).
struct Shard {
  long index = 1;  // K, 1 … count
  long count = 1;  // N
};

// "K/N" with 1 <= K <= N; nullopt with a reason in `error` for anything else.
std::optional<Shard> ParseShard(const std::string& text, std::string& error);

enum class RunFormat { Tsv, Csv, Json };

struct RunOptions {
  std::string file;
  std::string sheet;  // empty: every sheet; digits: a sheet number; otherwise a sheet name
  std::optional<std::vector<RowRange>> rows;
  Shard shard;
  RunFormat format = RunFormat::Tsv;
};

int RunCommand(const RunOptions& options, std::ostream& out, std::ostream& err);
int DumpCommand(const std::string& file, std::ostream& out, std::ostream& err);
// Replaces this process with the window program datatable-edit (at most one FILE); returns only
// when that program cannot be started.
int EditCommand(const std::vector<std::string>& files, std::ostream& err);
// Replaces this process with datatable-print, which prints FILE (one sheet, or every sheet when
// sheet is empty) to the PDF file out; returns only when it cannot be started.
int PrintCommand(const std::string& file, const std::string& sheet, const std::string& out,
                 std::ostream& err);
// type 0: from the extension of `to`. dropUnsupported: an .xls copy leaves out what only
// .xlsx holds rather than fail.
int ConvertCommand(const std::string& from, const std::string& to, int type, bool dropUnsupported,
                   std::ostream& err);

// Parses argv and runs the command.
int Main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
const char* HelpText();

}  // namespace dtapp
