#pragma once
// Office Open XML workbooks (.xlsx). Reading streams each part through expat, so a large sheet
// is never held as a tree; writing builds the package in memory.

#include <memory>

#include "control/io/byte_io.h"
#include "control/locale_settings.h"
#include "control/model/workbook.h"
#include "control/xlsx/rows_in_halves.h"

namespace engine::xlsx {

inline constexpr short kTypeXlsx = 51;

// True when the bytes start like a zip package.
bool LooksLikeZip(const std::uint8_t* data, std::size_t size);

struct XlsxReadOptions {
  HalvesOptions halves;  // which sheets read their rows on two threads, and where they cut
  struct Stats {
    int sheetsInHalves = 0;
    int laterHalvesRedone = 0;  // later rows that failed on their own and were read in turn
  };
  Stats* stats = nullptr;
};

// Reads an .xlsx package. Throws EngineError with a readable text when it is not a workbook we
// read (damaged, encrypted, a sheet holding cells beyond the sheet limits).
std::unique_ptr<Workbook> ReadXlsx(const std::uint8_t* data, std::size_t size,
                                   const LocaleSettings* locale,
                                   const XlsxReadOptions& options = {});

// Writes the workbook as an .xlsx package.
xls::Bytes WriteXlsx(Workbook& book);

}  // namespace engine::xlsx
