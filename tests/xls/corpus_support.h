#pragma once
// Helpers for tests over the shared workbook corpus: its location (failing loudly when it is
// missing), the expected-text files (through the tests' one JSON reader) and the displayed
// table.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "control/control.h"
#include "control/model/workbook.h"

namespace corpus {

namespace fs = std::filesystem;

// The corpus folder; a test that needs it fails (never skips) when it is not there.
inline fs::path Dir(const char* sub) {
  fs::path p = fs::path(DT_CORPUS_DIR) / sub;
  if (!fs::is_directory(p)) ADD_FAILURE() << "The workbook corpus is missing: " << p;
  return p;
}

inline std::vector<fs::path> Files(const char* sub, const std::string& ext) {
  std::vector<fs::path> out;
  fs::path dir = Dir(sub);
  if (!fs::is_directory(dir)) return out;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_regular_file() && e.path().extension() == ext) out.push_back(e.path());
  std::sort(out.begin(), out.end());
  return out;
}

struct ExpectedSheet {
  std::string name;
  std::vector<std::vector<std::string>> rows;
};

// Reads {"sheets": [{"name": …, "rows": [[…], …]}, …]}.
std::vector<ExpectedSheet> ReadExpected(const fs::path& path);

// The displayed table of every sheet (trailing empty cells and rows dropped).
std::vector<ExpectedSheet> Displayed(engine::Control& control);

// Drops trailing empty strings of each row and trailing empty rows.
void Trim(std::vector<std::vector<std::string>>& rows);

}  // namespace corpus
