#pragma once
// Column letters: A … Z, AA … AZ, BA … ZZ, AAA … (bijective base 26). Column 0 and negative
// columns have no letters.

#include <string>

namespace params {

std::string ColumnLetters(long col);

}  // namespace params
