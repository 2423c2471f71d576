#pragma once
// Tab-separated text files: reading interprets each field as typed; writing writes the
// active sheet so that reading it back gives the same values.

#include <memory>
#include <string>
#include <string_view>

#include "control/locale_settings.h"
#include "control/model/workbook.h"

namespace engine::text {

// The file type number of comma-separated text (tab-separated text is xls::kTypeText).
inline constexpr short kTypeCsv = 6;

// Decodes the bytes of a text file to UTF-8: a UTF-8 or UTF-16 byte-order mark decides,
// else UTF-8 when the bytes are valid UTF-8, else the legacy code page of the locale's
// language (CP932 for Japanese, CP1252 otherwise). False when the bytes are not text (NUL
// bytes, control characters, or bytes the code page cannot decode).
bool DecodeText(const std::uint8_t* data, std::size_t size, const LocaleSettings& locale,
                std::string& out);

// Reads separated text (tab-separated, or comma-separated with `separator` ',') into a new
// one-sheet workbook; fields may be quoted, with separators, quotes and line breaks inside.
// Throws EngineError when the bytes are not text or the table does not fit a sheet.
std::unique_ptr<Workbook> ReadText(const std::uint8_t* data, std::size_t size,
                                   const LocaleSettings* locale, char separator = '\t');
// Comma-separated text: the separator is ';' when it splits the first line into more fields
// (outside quotes) than ',' does.
std::unique_ptr<Workbook> ReadCsv(const std::uint8_t* data, std::size_t size,
                                  const LocaleSettings* locale);

// Enters text into a cell as a person typing it would (formula, number, date, text…); a
// formula that does not parse becomes text.
void EnterTyped(Workbook& book, Sheet& sheet, int row, int col, std::string_view text);

// The active sheet as separated UTF-8 text, one line per row up to the last used row.
std::string WriteText(Workbook& book, char separator = '\t');

}  // namespace engine::text
