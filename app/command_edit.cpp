// `datatable edit [FILE]`: the window is a separate program, datatable-edit, beside this one, so
// that run, dump and convert never load Qt. This process becomes that program.

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "cli.h"

namespace dtapp {

namespace {

// Replaces this process with the Qt program `name` beside this one, given args.
int ExecCompanion(const char* command, const char* name, const std::vector<std::string>& rest,
                  std::ostream& err) {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  const std::filesystem::path editor = ec ? std::filesystem::path(name) : self.parent_path() / name;
  std::vector<std::string> args{editor.string()};
  args.insert(args.end(), rest.begin(), rest.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  err.flush();
  ::execv(editor.c_str(), argv.data());
  err << "datatable: " << command << ": cannot start " << editor.string() << ": "
      << std::strerror(errno) << "\n";
  return kExitFailed;
}

}  // namespace

int EditCommand(const std::vector<std::string>& files, std::ostream& err) {
  return ExecCompanion("edit", "datatable-edit", files, err);
}

int PrintCommand(const std::string& file, const std::string& sheet, const std::string& out,
                 std::ostream& err) {
  std::vector<std::string> args{file};
  if (!sheet.empty()) args.insert(args.end(), {"--sheet", sheet});
  args.insert(args.end(), {"-o", out});
  return ExecCompanion("print", "datatable-print", args, err);
}

}  // namespace dtapp
