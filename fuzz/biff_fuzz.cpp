// libFuzzer target: the BIFF5/BIFF8 workbook reader, with or without the container, the edits
// of the carried formulas (chart series, objects' links, carried names) that follow the first
// sheet's cells, and a write of whatever it read.
#include <cstddef>
#include <cstdint>

#include "control/engine_error.h"
#include "control/model/carried_refs.h"
#include "control/model/workbook.h"
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
    if (book->SheetCount() > 0) {
      namespace features = engine::features;
      const engine::Sheet& first = book->GetSheet(1);
      features::MapCarriedRefs(*book, first, features::LineEdit{true, 3, 2, 1, engine::kMaxCol, true});
      features::MoveCarriedRefs(*book, first, features::BlockMove{{2, 1, 6, 3}, 4, 1});
      features::SortCarriedRefs(*book, first, features::LineOrder::Of(true, 2, 1, 4, {2, 0, 1}));
    }
    engine::xls::WriteXls(*book, size % 2 ? 4 : 11, 1252);
  } catch (const engine::EngineError&) {
  }
  return 0;
}
