// libFuzzer target: formula text through the engine's parser (as a typed "=" entry) and the
// file form's token encoder; the bytes as tokens through the decoder.
#include <cstddef>
#include <cstdint>
#include <string>

#include "control/control.h"
#include "control/model/workbook.h"
#include "control/xls/biff_formula.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  static engine::Control control;
  try {
    control.SetCellText(1, 1, "=" + text);
    control.GetCellFormattedText(1, 1);
  } catch (const engine::EngineError&) {
  }
  engine::xls::EncodeContext ctx;
  ctx.sheetNames = {"Sheet1", "My Sheet"};
  ctx.names = {"Total"};
  engine::xls::Bytes tokens, extra;
  engine::xls::EncodeFormula(text, ctx, tokens, extra);
  engine::xls::FormulaContext fc;
  fc.sheetNames = ctx.sheetNames;
  fc.names = ctx.names;
  fc.externSheets.push_back({true, 0, 1, 0});
  fc.version = size % 2 ? engine::xls::BiffVersion::Biff5 : engine::xls::BiffVersion::Biff8;
  std::size_t half = size / 2;
  engine::xls::DecodeFormula(data, half, data + half, size - half, fc, 3, 2);
  return 0;
}
