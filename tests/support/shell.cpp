#include "support/shell.h"

#include <cstdio>
#include <fstream>

std::string Shell(const std::string& cmd, int& status) {
  std::FILE* p = popen(cmd.c_str(), "r");
  std::string out;
  if (!p) {
    status = -1;
    return out;
  }
  char buf[4096];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  status = pclose(p);
  return out;
}

std::string RunPythonScript(const std::string& script, const std::filesystem::path& scriptFile,
                            const std::string& args, int& status) {
  std::ofstream(scriptFile) << script;
  return Shell("/usr/bin/python3 " + scriptFile.string() + " " + args + " 2>&1", status);
}

std::vector<std::string> OutputLines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return out;
}
