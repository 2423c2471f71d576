#pragma once
// Byte strings in a workbook's code page (BIFF5 text) to and from UTF-8, through iconv.

#include <cstdint>
#include <string>
#include <string_view>

namespace engine::xls {

// The iconv name of a BIFF CODEPAGE value; empty when unknown.
std::string CodePageName(unsigned codePage);

// Bytes in the code page to UTF-8. Bytes that do not convert become "?".
std::string DecodeCodePage(unsigned codePage, const std::uint8_t* data, std::size_t size);
// UTF-8 to the code page; characters the code page lacks become "?".
std::string EncodeCodePage(unsigned codePage, std::string_view utf8);

// UTF-8 helpers.
bool IsValidUtf8(std::string_view text);
void AppendUtf8(std::string& out, char32_t c);
std::string Utf16ToUtf8(const char16_t* data, std::size_t count);
std::u16string Utf8ToUtf16(std::string_view utf8);  // invalid bytes become U+FFFD

}  // namespace engine::xls
