#include "corpus_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli.h"

std::vector<std::string> InteropWorkbooks() {
  const std::filesystem::path dir = std::filesystem::path(DT_CORPUS_DIR) / "interop";
  std::vector<std::string> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
    if (entry.path().extension() == ".xls") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  EXPECT_FALSE(files.empty()) << "no interop workbooks in " << dir
                              << " (set DT_CORPUS_DIR to the shared corpus)";
  return files;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::optional<JsonTable> DumpTable(const std::string& file, std::string& error) {
  std::ostringstream out, err;
  const int status = dtapp::DumpCommand(file, out, err);
  if (status != 0) {
    error = "exit " + std::to_string(status) + ": " + err.str();
    return std::nullopt;
  }
  auto table = ParseTableJson(out.str(), error);
  if (table) DropTrailingEmptyCells(*table);
  return table;
}

std::string ScratchFolder() {
  char pattern[] = "/tmp/dt-app-XXXXXX";
  const char* made = mkdtemp(pattern);
  EXPECT_NE(made, nullptr);
  return made != nullptr ? made : "/tmp";
}
