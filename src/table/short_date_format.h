#pragma once
// The table's date format from the user's short date format.

#include <string>

namespace table {

// At most 40 bytes of the user's format (cut at a character boundary), with the year made
// four-digit: a format with "yyyy" stays, otherwise "yy" is inserted at the first "yy"
// ("M/d/yy" → "M/d/yyyy"); a format without "yy" stays.
std::string FourDigitYearFormat(const std::string& userFormat);

}  // namespace table
