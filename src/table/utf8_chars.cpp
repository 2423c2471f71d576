#include "table/utf8_chars.h"

#include <algorithm>

#include "table/char_class_tables.h"

namespace params {

Utf8Char DecodeUtf8At(std::string_view text, std::size_t pos) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char b0 = byte(pos);
  if (b0 < 0x80) return {b0, 1};
  std::size_t need;
  int code;
  int min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1, code = b0 & 0x1F, min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 2, code = b0 & 0x0F, min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 3, code = b0 & 0x07, min = 0x10000;
  } else {
    return {kInvalidChar, 1};
  }
  if (pos + need >= text.size()) return {kInvalidChar, 1};  // cut short
  for (std::size_t i = 1; i <= need; ++i) {
    unsigned char b = byte(pos + i);
    if ((b & 0xC0) != 0x80) return {kInvalidChar, 1};
    code = (code << 6) | (b & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {kInvalidChar, 1};
  return {code, need + 1};
}

void AppendUtf8(std::string& out, int code) {
  if (code < 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return;
  auto put = [&](int v) { out.push_back(static_cast<char>(v)); };
  if (code < 0x80) {
    put(code);
  } else if (code < 0x800) {
    put(0xC0 | (code >> 6));
    put(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    put(0xE0 | (code >> 12));
    put(0x80 | ((code >> 6) & 0x3F));
    put(0x80 | (code & 0x3F));
  } else {
    put(0xF0 | (code >> 18));
    put(0x80 | ((code >> 12) & 0x3F));
    put(0x80 | ((code >> 6) & 0x3F));
    put(0x80 | (code & 0x3F));
  }
}

std::size_t Utf8PrefixFitting(std::string_view text, std::size_t maxBytes) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t next = pos + DecodeUtf8At(text, pos).size;
    if (next > maxBytes) break;
    pos = next;
  }
  return pos;
}

bool InCodeRanges(int code, const void* ranges, std::size_t count) {
  if (code < 0) return false;
  const auto* first = static_cast<const detail::CodeRange*>(ranges);
  const auto* last = first + count;
  auto cp = static_cast<std::uint32_t>(code);
  // The first range whose end is not below the code.
  const auto* it = std::lower_bound(
      first, last, cp, [](const detail::CodeRange& r, std::uint32_t c) { return r.last < c; });
  return it != last && it->first <= cp;
}

bool IsUnicodeLetter(int code) {
  if (code < 0x80) return (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z');
  return InCodeRanges(code, detail::kLetterRanges, detail::kLetterRangesCount);
}

bool IsUnicodeDigit(int code) {
  if (code < 0x80) return code >= '0' && code <= '9';
  return InCodeRanges(code, detail::kDigitRanges, detail::kDigitRangesCount);
}

bool IsUnicodeSpace(int code) {
  return InCodeRanges(code, detail::kSpaceRanges, detail::kSpaceRangesCount);
}

}  // namespace params
