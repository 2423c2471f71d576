#pragma once
// Walking UTF-8 text one character at a time. Names and values are UTF-8; "a character" is
// one well-formed UTF-8 sequence. A byte that does not start a well-formed sequence counts as
// a character of its own with the code kInvalidChar, which no character class contains.

#include <cstddef>
#include <string>
#include <string_view>

namespace params {

inline constexpr int kInvalidChar = -1;

struct Utf8Char {
  int code;          // the code point, or kInvalidChar
  std::size_t size;  // bytes taken, at least 1 while text remains
};

// The character starting at pos (pos < text.size()).
Utf8Char DecodeUtf8At(std::string_view text, std::size_t pos);

// Appends the UTF-8 form of a code point; nothing for a code that is not a scalar value.
void AppendUtf8(std::string& out, int code);

// The longest prefix of text of at most maxBytes bytes that does not cut a character.
std::size_t Utf8PrefixFitting(std::string_view text, std::size_t maxBytes);

// Whether code lies in one of the sorted ranges of a class table.
bool InCodeRanges(int code, const void* ranges, std::size_t count);

// Unicode classes by general category.
bool IsUnicodeLetter(int code);  // categories Lu, Ll, Lt, Lm, Lo
bool IsUnicodeDigit(int code);   // category Nd
bool IsUnicodeSpace(int code);   // white space: blank, tab, line breaks, Zs, Zl, Zp

}  // namespace params
