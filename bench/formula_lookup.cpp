// 65,536 approximate VLOOKUPs into a sorted 65,536-row table: column A holds the keys 2, 4, …
// and column B their labels; column D looks up the odd number 2r+1 (found at row r) and
// column E reads what D found.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "control/control.h"
#include "control/formula/formula_engine.h"
#include "control/model/sheet.h"
#include "control/model/workbook.h"

namespace {

std::unique_ptr<engine::Control> BuildSheet() {
  auto ctl = std::make_unique<engine::Control>();
  for (int r = 1; r <= engine::kMaxRow; ++r) {
    ctl->SetCellValue(r, 1, engine::Value::Number(2.0 * r));
    ctl->SetCellValue(r, 2, engine::Value::Number(r));
    ctl->SetCellValue(r, 3, engine::Value::Number(2.0 * r + 1));
  }
  for (int r = 1; r <= engine::kMaxRow; ++r)
    ctl->SetCellText(r, 4, "=VLOOKUP(C" + std::to_string(r) + ",$A$1:$B$65536,2)");
  return ctl;
}

engine::Control& Sheet() {
  static std::unique_ptr<engine::Control> ctl = BuildSheet();
  return *ctl;
}

void BM_VlookupRecalculation(benchmark::State& state) {
  engine::Control& ctl = Sheet();
  for (auto _ : state) ctl.Book().Formulas().Recalculate(true);
  for (int r : {1, 4096, engine::kMaxRow})
    if (ctl.GetCellValue(r, 4).number != r) state.SkipWithError("wrong lookup result");
  state.counters["lookups"] = engine::kMaxRow;
}
BENCHMARK(BM_VlookupRecalculation)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
