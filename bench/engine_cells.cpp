// Typed entry and displayed-text reads over a 65,536 × 20 sheet, and the memory a filled
// numeric cell costs.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <string>
#include <vector>

#include "control/control.h"
#include "control/model/workbook.h"

namespace {

constexpr int kRows = 65536;
constexpr int kCols = 20;

// Inputs prepared once so the benchmark times the engine, not string building.
const std::vector<std::string>& Inputs() {
  static std::vector<std::string> inputs = [] {
    std::vector<std::string> v;
    v.reserve(kRows);
    for (int r = 0; r < kRows; ++r) {
      switch (r % 4) {
        case 0: v.push_back(std::to_string(r)); break;
        case 1: v.push_back(std::to_string(r) + ".25"); break;
        case 2: v.push_back("user" + std::to_string(r)); break;
        default: v.push_back(std::to_string(r % 1000) + "." + std::to_string(r % 7)); break;
      }
    }
    return v;
  }();
  return inputs;
}

void BM_CellTextPut(benchmark::State& state) {
  const auto& inputs = Inputs();
  for (auto _ : state) {
    engine::Control c;
    for (int col = 1; col <= kCols; ++col)
      for (int row = 1; row <= kRows; ++row) c.SetCellText(row, col, inputs[row - 1]);
    benchmark::DoNotOptimize(c.GetLastRow());
  }
  state.counters["cells/s"] = benchmark::Counter(double(kRows) * kCols * state.iterations(),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CellTextPut)->Unit(benchmark::kMillisecond);

void BM_CellFormattedTextRead(benchmark::State& state) {
  const auto& inputs = Inputs();
  engine::Control c;
  for (int col = 1; col <= kCols; ++col)
    for (int row = 1; row <= kRows; ++row) c.SetCellText(row, col, inputs[row - 1]);
  std::size_t bytes = 0;
  for (auto _ : state) {
    for (int col = 1; col <= kCols; ++col)
      for (int row = 1; row <= kRows; ++row) bytes += c.GetCellFormattedText(row, col).size();
  }
  benchmark::DoNotOptimize(bytes);
  state.counters["cells/s"] = benchmark::Counter(double(kRows) * kCols * state.iterations(),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CellFormattedTextRead)->Unit(benchmark::kMillisecond);

// Heap growth per numeric cell when a sheet is filled with numbers.
void BM_NumericCellMemory(benchmark::State& state) {
  for (auto _ : state) {
    malloc_trim(0);
    auto before = mallinfo2().uordblks;
    auto* c = new engine::Control;
    for (int col = 1; col <= kCols; ++col)
      for (int row = 1; row <= kRows; ++row) c->SetCellValue(row, col, engine::Value::Number(row * 0.5));
    auto after = mallinfo2().uordblks;
    state.counters["bytes/cell"] = double(after - before) / (double(kRows) * kCols);
    delete c;
  }
}
BENCHMARK(BM_NumericCellMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
