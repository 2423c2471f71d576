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

int EditCommand(const std::vector<std::string>& files, std::ostream& err) {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  const std::filesystem::path editor =
      ec ? std::filesystem::path("datatable-edit") : self.parent_path() / "datatable-edit";
  std::vector<std::string> args{editor.string()};
  args.insert(args.end(), files.begin(), files.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  err.flush();
  ::execv(editor.c_str(), argv.data());
  err << "datatable: edit: cannot start " << editor.string() << ": " << std::strerror(errno)
      << "\n";
  return kExitFailed;
}

}  // namespace dtapp
