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
    // The whole tree, as a save carries it: what was read writes, and reads back the same
    // after the first round (which puts each storage's entries in name order).
    auto roundTrip = [&](const std::vector<engine::CarriedStorageEntry>& entries) {
      engine::xls::Bytes file(engine::xls::kCompoundHeaderRoom);
      engine::xls::FinishCompoundFile("Workbook", file, entries, reader.RootClsid());
      return engine::xls::CompoundFileReader(file.data(), file.size()).OtherEntries();
    };
    const auto once = roundTrip(reader.OtherEntries());
    if (roundTrip(once) != once) __builtin_trap();
  } catch (const engine::EngineError&) {
  }
  return 0;
}
