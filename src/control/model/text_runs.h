#pragma once
// Formatting runs of a text cell: from a position of its text on, a font of the workbook's
// font table. Positions count UTF-16 code units, as both file forms do, so that runs read from
// a file go back to it unchanged. Text before the first run shows the cell's own font.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct TextRun {
  std::uint32_t at = 0;     // the first UTF-16 code unit the font applies to
  std::uint16_t font = 0;   // index in the workbook's font table
  bool operator==(const TextRun&) const = default;
};

// Kept in order of `at`, each position once and inside the text.
using TextRuns = std::vector<TextRun>;

namespace text_runs {

// The length of UTF-8 text in UTF-16 code units (a character past U+FFFF counts two).
std::size_t Utf16Length(std::string_view utf8);

// The byte of UTF-8 text where the character at a UTF-16 position starts (a position inside a
// surrogate pair counts as the character after it); the text's size past its end.
std::size_t Utf8Offset(std::string_view utf8, std::size_t units);

// A text with its runs as one key, told apart from every other text with other runs.
std::string Key(const TextRuns& runs, std::string_view text);

// True when the runs are in strictly rising order, every one starts inside a text of
// `length` code units and names one of `fontCount` fonts.
bool Valid(const TextRuns& runs, std::size_t length, std::size_t fontCount);

}  // namespace text_runs

}  // namespace engine
