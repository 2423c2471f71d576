#include "support/shell.h"

#include <cstdio>

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
