#pragma once
// Repair of displayed date texts: a date display may separate its parts with no-break spaces
// (U+00A0), which a host comparing texts does not expect; they become plain spaces.

#include <string>
#include <string_view>

namespace params {

// True when a number-format code has a day ("dd") and a month ("mm"), and a year ("yy") after
// both. "mm" counts as a month wherever it stands.
bool IsDayMonthYearFormat(std::string_view code);

// Replaces every no-break space with a space; true when there was one.
bool ReplaceNoBreakSpaces(std::string& text);

}  // namespace params
