#pragma once
// Reads the corpus's NAME.WRITER.expected.json files: the sheets of a workbook with the texts a
// spreadsheet displays, row 1 holding the parameter names.

#include <string>
#include <vector>

#include "support/table_json.h"

using ExpectedSheet = JsonSheet;

// The sheets of an expected-display file; fails the calling test and returns nothing when the
// file cannot be read.
std::vector<ExpectedSheet> ReadExpectedSheets(const std::string& path);
