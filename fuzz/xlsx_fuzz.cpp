// libFuzzer target: the .xlsx package reader (zip container, XML parts) and the writer.
#include <cstddef>
#include <cstdint>

#include "control/engine_error.h"
#include "control/xlsx/xlsx_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static engine::LocaleSettings locale;
  try {
    auto book = engine::xlsx::ReadXlsx(data, size, &locale);
    engine::xlsx::WriteXlsx(*book);
  } catch (const engine::EngineError&) {
  }
  return 0;
}
