#pragma once
// Formatting runs of BIFF strings: the file's runs checked and mapped to the engine's fonts on
// reading, and the engine's mapped back on writing. The file numbers its fonts without a
// font 4, as XF records do.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "control/model/text_runs.h"
#include "control/xls/biff_records.h"

namespace engine::xls::rich_text {

// The engine's runs of a text read with file runs; `fontMap` is the engine font of each FONT
// record in file order. Runs at the very end of the text change nothing and are dropped; of two
// at one position the later counts. Runs out of order, past the text or naming a font the
// workbook lacks make the workbook damaged.
TextRuns FromFile(const std::vector<FileRun>& runs, std::string_view text,
                  const std::vector<std::uint16_t>& fontMap);

// The runs that follow the byte string of a 5.0/95 RSTRING: a 1-byte count of (byte position,
// font) byte pairs. Positions count the string's bytes in the code page and come back in UTF-16
// code units of the decoded text.
std::vector<FileRun> ReadBiff5(Cursor& c, const std::uint8_t* bytes, std::size_t size,
                               unsigned codePage);

// The runs of a 97-2000 RSTRING after its string (2-byte count, 4-byte runs), when the string
// carried none of its own.
void ReadBiff8Tail(Cursor& c, std::vector<FileRun>& runs);

// The file's runs of a cell's runs, for a text of `length` code units as written (cut texts
// lose the runs past their end).
std::vector<FileRun> ToFile(const TextRuns& runs, std::size_t length);

// Appends the runs of a 5.0/95 RSTRING to a LABEL body of `utf8` in the code page: positions
// are the string's bytes, and both they and the fonts' numbers must fit a byte (the runs that do
// not are left out). False when no run is left, so the cell is a plain LABEL.
bool AppendBiff5(Bytes& body, const TextRuns& runs, std::string_view utf8, unsigned codePage);

// The file's number of an engine font: font 0 is written as fonts 0-3, the rest from 5 on.
inline unsigned FileFont(std::uint16_t font) { return font == 0 ? 0 : font + 4u; }

}  // namespace engine::xls::rich_text
