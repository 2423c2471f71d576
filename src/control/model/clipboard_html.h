#pragma once
// Blocks of cells as an HTML table that keeps the formatting runs of their texts (bold, italic,
// underline, strike, size, colour, font name per piece of text), the form desktop spreadsheets
// and word processors exchange on the clipboard; and reading such a table back. What another
// program offers is untrusted: the reader passes over markup it does not know, never fails,
// and its work and output grow no faster than its input.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control/model/style.h"

namespace engine::clipboard_html {

// A font from a UTF-16 position of a text on (see TextRun), by value.
struct FontRun {
  std::uint32_t at = 0;
  Font font;
  bool operator==(const FontRun&) const = default;
};

struct RichField {
  std::string_view text;      // UTF-8
  std::vector<FontRun> runs;  // empty: the whole text in the cell's own font
};

// The rows as an HTML document holding one table, UTF-8.
std::string Table(const std::vector<std::vector<RichField>>& rows);

// What markup says of a font. What it leaves unsaid stays the pasted cell's own.
struct FontMarks {
  std::optional<std::string> name;
  std::optional<int> heightTwips;
  std::optional<bool> bold, italic, underline, strikeout;
  std::optional<std::uint32_t> color;  // 0x00BBGGRR
  bool operator==(const FontMarks&) const = default;
  bool Any() const { return *this != FontMarks{}; }
  // Marks laid over a font: later marks win.
  void Over(const FontMarks& inner);
  Font Applied(Font base) const;
};

struct MarkedRun {
  std::uint32_t at = 0;  // UTF-16 position, as TextRun
  FontMarks marks;
  bool operator==(const MarkedRun&) const = default;
};

struct ParsedField {
  std::string text;  // whitespace folded as a browser folds it; <br> gives a line break
  std::vector<MarkedRun> runs;  // from the first marked piece on, in rising order; may be empty
};

// The cells of the first table in the HTML, row by row; a fragment with no table at all is one
// cell. Cells spanning columns leave empty cells after them so that columns stay in place.
std::vector<std::vector<ParsedField>> Parse(std::string_view html);

// True when a parsed text is a cell's text: a no-break space in the HTML stands for a space
// (other programs write runs of spaces that way).
bool SameText(std::string_view cell, std::string_view parsed);

}  // namespace engine::clipboard_html
