#pragma once
// Workbook files: .xls in BIFF8 (Excel 97-2000) or BIFF5 (Excel 5.0/95) inside a compound
// file. Reading builds a new Workbook; writing serialises one.

#include <memory>
#include <string>

#include "control/locale_settings.h"
#include "control/model/workbook.h"
#include "control/io/byte_io.h"
#include "control/model/mapped_memory.h"

namespace engine::xls {

inline constexpr short kTypeText = 3;
inline constexpr short kTypeBiff5 = 4;
inline constexpr short kTypeBiff8 = 11;

// Reads a compound file holding a BIFF5 or BIFF8 workbook (or a bare BIFF5/8 stream). `type`
// receives 4 or 11. Throws EngineError with a readable text when the bytes are not a workbook
// we read (password-protected, BIFF2-4, damaged).
std::unique_ptr<Workbook> ReadXls(const std::uint8_t* data, std::size_t size,
                                  const LocaleSettings* locale, short& type);

// The same for a whole file in memory. The workbook stream is read where it lies in the file
// when its sectors follow one another; a stream copied out of it releases the file at once (a
// large file is not held twice).
std::unique_ptr<Workbook> ReadXls(MappedBuffer&& file, const LocaleSettings* locale, short& type);

// The workbook stream alone (no container), for the reader's tests and fuzzing.
std::unique_ptr<Workbook> ReadBiffStream(const Bytes& stream, const LocaleSettings* locale,
                                         short& type);

// Writes the workbook as a compound file in BIFF8 (type 11) or BIFF5 (type 4). BIFF5 text is
// written in `codePage` (1252, or 932 for Japanese). Throws EngineError when the workbook does
// not fit the form: in BIFF5 a sheet beyond 16,384 rows, a formula or defined name that BIFF8
// would hold but BIFF5 cannot (areas reaching past row 16,384 end at it instead), or a text
// too long for a cell. Nothing is written then.
Bytes WriteXls(Workbook& book, short type, unsigned codePage);

// What the workbook carries that only a 97-2000 file can write back (chart and macro sheets,
// pictures and other drawing objects, macros, embedded objects), named for a message; empty
// when it carries none of them.
std::string XlsOnlyContent(const Workbook& book);

}  // namespace engine::xls
