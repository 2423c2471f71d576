#pragma once
// Code-point ranges of the character classes used by parameter names: letters (every
// "L" category), decimal digits ("Nd") and white space. Each table is sorted and its ranges
// do not overlap, so a binary search answers a membership test.

#include <cstddef>
#include <cstdint>

namespace params::detail {

struct CodeRange {
  std::uint32_t first;
  std::uint32_t last;
};

extern const CodeRange kLetterRanges[];
extern const std::size_t kLetterRangesCount;
extern const CodeRange kDigitRanges[];
extern const std::size_t kDigitRangesCount;
extern const CodeRange kSpaceRanges[];
extern const std::size_t kSpaceRangesCount;

}  // namespace params::detail
