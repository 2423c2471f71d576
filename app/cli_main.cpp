// The command line of the `datatable` program.

#include <exception>
#include <ostream>

#include "cli.h"

namespace dtapp {

const char* HelpText() {
  return R"(Usage: datatable COMMAND [ARGUMENTS]

Runs data tables (Excel .xls workbooks, 97-2000 or 5.0/95, and tab-separated .txt files)
without a window. A table is a workbook of sheets: row 1 of a sheet holds the parameter
names, every further row one iteration of a test.

Commands:
  run FILE [--sheet N|NAME] [--rows LIST] [--shard K/N] [--format tsv|csv|json]
      Captures the run rows of the table as a test run does and prints, for each sheet,
      a line with the parameter names and then one line per run row with that row's
      values as the test reads them (the displayed text), tab-separated. Sheets are
      separated by an empty line. A column without a name is listed under its column
      letters. Tabs and line breaks inside a value are printed as spaces.
        --sheet N|NAME  only this sheet (by number from 1, or by name)
        --rows LIST     only these rows, e.g. 2-5,9 (row 1 is the first row of values);
                        they are selected in the table and the run uses the selection.
                        Rows beyond a sheet's last row are an error with --sheet and
                        are left out otherwise.
        --shard K/N     only the run rows at positions K, K+N, K+2N, ... of the whole
                        run (every sheet, in run order), 1 <= K <= N: N workers that
                        run shards 1/N ... N/N together run every row exactly once
        --format F      tsv (the default, as above); csv: comma-separated, fields with
                        commas, quotes or line breaks quoted, lines ending in CR LF;
                        json: {"file": NAME, "sheets": [{"name": SHEET, "parameters":
                        [...], "rows": [{"row": N, "values": [...]}, ...]}, ...]}

  dump FILE
      Prints the table as JSON:
        {"file": NAME, "sheets": [{"name": SHEET, "rows": [[names...], [values...], ...]}]}
      The first row of each sheet holds the parameter names ("" for a column without
      a name), every further row the displayed values of rows 1 ... last.

  convert IN OUT [--type 3|4|6|11|51] [--drop-unsupported]
      Opens IN and saves a copy as OUT: 11 Excel 97-2000, 4 Excel 5.0/95, 51 .xlsx,
      3 tab-separated text, 6 comma-separated text. Without --type the format follows
      OUT's extension (.xls: 11, .xlsx: 51, .txt: 3, .csv: 6). An .xlsx IN that carries
      what an .xls file cannot hold (drawings, charts, pictures, pivot tables, tables,
      macros, form controls) is not converted to .xls, nor an .xls IN that carries chart
      or macro sheets, drawings, macros or embedded objects to .xlsx: the command fails
      and names them.
        --drop-unsupported   convert anyway, leaving those out

  edit [FILE]
      Opens FILE (or a new, empty table) in the table's window, with the menus, the grid,
      the file commands and print preview; the program ends when the window is closed.
      Needs a display: without one it says so and exits with 1.

  print FILE [--sheet N|NAME] -o OUT.pdf
      Prints the table as File > Print does (the parameter names in the first row, then
      every value row) into the PDF file OUT, one sheet or, without --sheet, every sheet in
      order, pages cut down the rows and across the columns, the names row repeated at the
      top of each page. Uses the offscreen platform when there is no display. OUT appears
      only when complete.

  --help
      Shows this text.

FILE is read by its extension (.xls, .xlsx, .txt, .csv, any letter case); a file with another
name is read as a workbook when its content is one.
Exit status: 0 success; 1 the table could not be opened, read or saved (the reason is
printed on stderr as one line); 2 the command line was not understood.
)";
}

namespace {

int Usage(std::ostream& err, const std::string& problem) {
  err << "datatable: " << problem << " (datatable --help explains the commands)\n";
  return kExitUsage;
}

}  // namespace

int Main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return Usage(err, "no command given");
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h" || arg == "help") {
      out << HelpText();
      return kExitOk;
    }
  }
  const std::string& command = args[0];
  std::vector<std::string> positional;
  std::string sheet, rows, type, shard, format, output;
  bool haveShard = false, haveFormat = false;
  bool haveRows = false, dropUnsupported = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    if ((arg == "-o" || arg == "--output") && command == "print") {
      if (!value(output) || output.empty()) return Usage(err, "-o needs a file name");
    } else if (arg == "--sheet" && (command == "run" || command == "print")) {
      if (!value(sheet) || sheet.empty()) return Usage(err, "--sheet needs a number or a name");
    } else if (arg == "--rows" && command == "run") {
      if (!value(rows)) return Usage(err, "--rows needs a list such as 2-5,9");
      haveRows = true;
    } else if (arg == "--shard" && command == "run") {
      if (!value(shard)) return Usage(err, "--shard needs K/N such as 2/4");
      haveShard = true;
    } else if (arg == "--format" && command == "run") {
      if (!value(format)) return Usage(err, "--format needs tsv, csv or json");
      haveFormat = true;
    } else if (arg == "--type" && command == "convert") {
      if (!value(type)) return Usage(err, "--type needs 3, 4, 6, 11 or 51");
    } else if (arg == "--drop-unsupported" && command == "convert") {
      dropUnsupported = true;
    } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      return Usage(err, "unknown option " + arg + " for " + command);
    } else {
      positional.push_back(arg);
    }
  }

  try {
    if (command == "run") {
      if (positional.size() != 1) return Usage(err, "run takes one FILE");
      RunOptions options;
      options.file = positional[0];
      options.sheet = sheet;
      if (haveRows) {
        std::string problem;
        options.rows = ParseRowList(rows, problem);
        if (!options.rows) return Usage(err, "--rows: " + problem);
      }
      if (haveShard) {
        std::string problem;
        const std::optional<Shard> parsed = ParseShard(shard, problem);
        if (!parsed) return Usage(err, "--shard: " + problem);
        options.shard = *parsed;
      }
      if (haveFormat) {
        if (format == "tsv")
          options.format = RunFormat::Tsv;
        else if (format == "csv")
          options.format = RunFormat::Csv;
        else if (format == "json")
          options.format = RunFormat::Json;
        else
          return Usage(err, "--format must be tsv, csv or json");
      }
      return RunCommand(options, out, err);
    }
    if (command == "print") {
      if (positional.size() != 1) return Usage(err, "print takes one FILE");
      if (output.empty()) return Usage(err, "print needs -o OUT.pdf");
      return PrintCommand(positional[0], sheet, output, err);
    }
    if (command == "edit") {
      if (positional.size() > 1) return Usage(err, "edit takes at most one FILE");
      return EditCommand(positional, err);
    }
    if (command == "dump") {
      if (positional.size() != 1) return Usage(err, "dump takes one FILE");
      return DumpCommand(positional[0], out, err);
    }
    if (command == "convert") {
      if (positional.size() != 2) return Usage(err, "convert takes IN and OUT");
      int t = 0;
      if (!type.empty()) {
        if (type == "3" || type == "4" || type == "6" || type == "11" || type == "51")
          t = std::stoi(type);
        else
          return Usage(err, "--type must be 3, 4, 6, 11 or 51");
      }
      return ConvertCommand(positional[0], positional[1], t, dropUnsupported, err);
    }
  } catch (const std::exception& e) {
    err << "datatable: " << e.what() << "\n";
    return kExitFailed;
  }
  return Usage(err, "unknown command \"" + command + "\"");
}

}  // namespace dtapp
