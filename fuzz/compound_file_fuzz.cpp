// libFuzzer target: the compound-file container reader.
#include <cstddef>
#include <cstdint>

#include "control/engine_error.h"
#include "control/xls/compound_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    engine::xls::CompoundFileReader reader(data, size);
    engine::xls::Bytes out;
    for (const auto& name : reader.StreamNames()) {
      try {
        reader.ReadStream(name, out);
      } catch (const engine::EngineError&) {
      }
    }
  } catch (const engine::EngineError&) {
  }
  return 0;
}
