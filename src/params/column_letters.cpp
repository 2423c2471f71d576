#include "params/column_letters.h"

#include <algorithm>

namespace params {

std::string ColumnLetters(long col) {
  std::string out;
  while (col > 0) {
    long r = col % 26;
    if (r != 0) {
      out.push_back(static_cast<char>('A' - 1 + r));
      col /= 26;
    } else {
      out.push_back('Z');
      col = col / 26 - 1;
    }
  }
  std::reverse(out.begin(), out.end());
  return out;
}

}  // namespace params
