// libFuzzer target: the tab-separated text reader and writer.
#include <cstddef>
#include <cstdint>

#include "control/engine_error.h"
#include "control/text/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static engine::LocaleSettings locale;
  try {
    auto book = engine::text::ReadText(data, size, &locale);
    engine::text::WriteText(*book);
  } catch (const engine::EngineError&) {
  }
  return 0;
}
