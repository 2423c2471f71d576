#pragma once
// The rules for parameter names, free of any table: the character classes, the check that
// says which rule a name breaks, and the repair that turns any text into a valid name.
// Names are UTF-8; a character is one UTF-8 sequence; lengths are counted in bytes.

#include <string>
#include <string_view>

namespace params {

inline constexpr std::size_t kMaxNameBytes = 255;
// The full-width low line and the ideographic full stop, allowed in names.
inline constexpr int kFullWidthLowLine = 0xFF3F;
inline constexpr int kIdeographicFullStop = 0x3002;

bool IsNameLetter(int code);          // a letter of any script (general category L*)
bool IsNameAlnum(int code);           // a letter or a decimal digit (Nd)
bool IsValidNameFirstChar(int code);  // letter, "_" or the full-width low line
bool IsValidNameChar(int code);       // alphanumeric, ".", "_", full-width low line or full stop
bool IsNameSpace(int code);           // white space: turned into "_" by the repair

// Which rule a name breaks, in the order the rules are checked.
enum class NameProblem { kNone, kEmpty, kTooLong, kBadFirstChar, kBadChar };
NameProblem CheckParamName(std::string_view name);

// The repaired form of a name: valid characters kept, spaces turned into "_", other
// characters dropped, "_" put in front when the first character cannot start a name, cut to
// 255 bytes without splitting a character. The empty name stays empty.
std::string RepairParamName(std::string_view name);

}  // namespace params
