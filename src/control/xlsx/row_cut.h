#pragma once
// Where the rows of a sheet part may be cut in two, so that the later rows can be parsed by a
// parser of their own. A cut lies just before a row element's start tag that stands directly
// in sheetData, itself directly in the root: a lexical walk from the start of the part, aware
// of comments, CDATA sections, processing instructions and quoted attribute values, makes sure
// of it. Anything the walk is not sure of gives no cut, and the part is read by one parser.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace engine::xlsx {

struct RowCut {
  std::size_t at = 0;   // offset of the '<' of the row's start tag
  // What opens the later rows as the part opens them: the root's start tag and sheetData's,
  // their names as written, with their namespace declarations and no other attribute.
  std::string opening;
};

// The first cut at or after `notBefore`. Only rows that carry their number (r="digits") are
// cut before, because a row without one counts on from the rows before it.
std::optional<RowCut> FindRowCut(std::string_view part, std::size_t notBefore);

}  // namespace engine::xlsx
