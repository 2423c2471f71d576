// Recalculation of a 65,536-row sheet: column B is =A<row>*2+1 and column C a running total
// (C1 =B1, then =C<row-1>+B<row>), a dependency chain 65,536 deep.
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
    std::string row = std::to_string(r);
    ctl->SetCellValue(r, 1, engine::Value::Number(r));
    ctl->SetCellText(r, 2, "=A" + row + "*2+1");
    ctl->SetCellText(r, 3, r == 1 ? "=B1" : "=C" + std::to_string(r - 1) + "+B" + row);
  }
  return ctl;
}

engine::Control& Sheet() {
  static std::unique_ptr<engine::Control> ctl = BuildSheet();
  return *ctl;
}

void CheckTotal(benchmark::State& state, engine::Control& ctl) {
  // Sum of (2r+1) for r = 1 … n is n(n+1) + n.
  double n = engine::kMaxRow;
  if (ctl.GetCellValue(engine::kMaxRow, 3).number != n * (n + 1) + n)
    state.SkipWithError("wrong running total");
}

void BM_FullRecalculation(benchmark::State& state) {
  engine::Control& ctl = Sheet();
  for (auto _ : state) ctl.Book().Formulas().Recalculate(true);
  CheckTotal(state, ctl);
  state.counters["formulas"] = 2.0 * engine::kMaxRow;
}
BENCHMARK(BM_FullRecalculation)->Unit(benchmark::kMillisecond);

void BM_ChangeLastInput(benchmark::State& state) {
  engine::Control& ctl = Sheet();
  double v = engine::kMaxRow;
  for (auto _ : state) {
    v = v == engine::kMaxRow ? engine::kMaxRow + 1 : engine::kMaxRow;
    ctl.SetCellValue(engine::kMaxRow, 1, engine::Value::Number(v));
  }
  ctl.SetCellValue(engine::kMaxRow, 1, engine::Value::Number(engine::kMaxRow));
  CheckTotal(state, ctl);
}
BENCHMARK(BM_ChangeLastInput)->Unit(benchmark::kMicrosecond);

void BM_ChangeFirstInput(benchmark::State& state) {
  // Not a target: a change at the top of the chain recomputes all 65,536 running totals.
  engine::Control& ctl = Sheet();
  double v = 1;
  for (auto _ : state) {
    v = v == 1 ? 2 : 1;
    ctl.SetCellValue(1, 1, engine::Value::Number(v));
  }
  ctl.SetCellValue(1, 1, engine::Value::Number(1));
  CheckTotal(state, ctl);
}
BENCHMARK(BM_ChangeFirstInput)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
