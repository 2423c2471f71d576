#pragma once
// The interop workbooks of the shared corpus and helpers that run the program's commands
// in-process.

#include <string>
#include <vector>

#include "support/table_json.h"

// Every interop workbook, sorted; the test fails loudly when the corpus is missing.
std::vector<std::string> InteropWorkbooks();
std::string ReadText(const std::string& path);
// `datatable dump FILE`, parsed; the failure (stderr, exit status) in `error` otherwise.
std::optional<JsonTable> DumpTable(const std::string& file, std::string& error);
// A fresh scratch folder for one test.
std::string ScratchFolder();
