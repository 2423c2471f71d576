// libFuzzer target: the BIFF5/BIFF8 workbook reader, with or without the container, and a
// write of whatever it read.
#include <cstddef>
#include <cstdint>

#include "control/engine_error.h"
#include "control/xls/compound_file.h"
#include "control/xls/xls_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const engine::LocaleSettings locale;
  try {
    short type = 0;
    std::unique_ptr<engine::Workbook> book;
    if (engine::xls::IsCompoundFile(data, size)) {
      book = engine::xls::ReadXls(data, size, &locale, type);
    } else {
      engine::xls::Bytes stream(data, data + size);
      book = engine::xls::ReadBiffStream(stream, &locale, type);
    }
    engine::xls::WriteXls(*book, size % 2 ? 4 : 11, 1252);
  } catch (const engine::EngineError&) {
  }
  return 0;
}
