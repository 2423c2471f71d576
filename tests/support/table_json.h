#pragma once
// The one reader of the JSON form of a table — the corpus's NAME.WRITER.expected.json files
// and `datatable dump` — into sheets of rows, so two tables can be compared cell by cell.
// Keys other than "file", "sheets", "name" and "rows" are skipped.

#include <optional>
#include <string>
#include <vector>

struct JsonSheet {
  std::string name;
  std::vector<std::vector<std::string>> rows;
};

struct JsonTable {
  std::string file;
  std::vector<JsonSheet> sheets;
};

// nullopt with a reason in `error` when the text is not a table in that form.
std::optional<JsonTable> ParseTableJson(const std::string& text, std::string& error);

// The same, read from a file.
std::optional<JsonTable> ReadTableJson(const std::string& path, std::string& error);

// Trailing empty cells of every row are dropped: writers differ in how far they pad.
void DropTrailingEmptyCells(JsonTable& table);

// What the 5.0/95 form can hold: every character outside Windows code page 1252 becomes "?".
std::string AsCodePage1252(const std::string& utf8);

// The first difference between two tables' sheets, or "" when they agree.
std::string FirstDifference(const JsonTable& expected, const JsonTable& actual);
