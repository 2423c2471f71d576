// The run loop of a test: capture the run rows of a 65,535-row sheet, walk every row with
// SelectNextRunRow(true, 0) and read 20 parameters of each row with GetArgValue.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "table/czat_psf1.h"

namespace {

constexpr int kRows = 65535;
constexpr int kParams = 20;

// A table whose engine the benchmark fills directly (filling is not what is measured).
class BenchTable : public CZAT_PSF1 {
 public:
  using CZAT_PSF1::CZAT_PSF1;
  engine::Control& Engine() { return Ctl(); }
};

const std::vector<CString>& Names() {
  static const std::vector<CString> names = [] {
    std::vector<CString> v;
    for (int c = 1; c <= kParams; ++c) v.push_back("Param" + std::to_string(c));
    return v;
  }();
  return names;
}

// One table for all runs, built on first use and never destroyed (the process ends).
BenchTable& Table() {
  static BenchTable* table = [] {
    auto* t = new BenchTable(nullptr, CString(), CZAT::FILE_TYPE_NONE, nullptr, false, true, true);
    engine::Control& e = t->Engine();
    for (int c = 1; c <= kParams; ++c) {
      e.SetColumnHeadingText(c, Names()[c - 1]);
      for (int r = 1; r <= kRows; ++r) {
        switch ((r + c) % 4) {
          case 0:
            e.SetCellText(r, c, std::to_string(r));
            break;
          case 1:
            e.SetCellText(r, c, std::to_string(r) + ".25");
            break;
          case 2:
            e.SetCellText(r, c, "user" + std::to_string(r));
            break;
          default:
            e.SetCellText(r, c, "TRUE");
            break;
        }
      }
    }
    return t;
  }();
  return *table;
}

// Capture and walk only: the table's share of the loop.
void BM_CaptureAndWalk(benchmark::State& state) {
  BenchTable& t = Table();
  long rows = 0;
  for (auto _ : state) {
    rows = 0;
    // The walk leaves its last row selected; without a row selection every row runs.
    t.UnSelectRows(0);
    if (t.CaptureRowsList(true, 0) != 1) state.SkipWithError("capture failed");
    while (t.SelectNextRunRow(true, 0) == 1) ++rows;
  }
  if (rows != kRows) state.SkipWithError("the walk did not visit every row");
  state.counters["rows/s"] =
      benchmark::Counter(double(kRows) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CaptureAndWalk)->Unit(benchmark::kMillisecond);

// A walk over the most separate whole-row blocks the engine keeps (8,192 single rows): each
// step looks for the row's range from the first one on.
void BM_WalkManySelectedRanges(benchmark::State& state) {
  BenchTable& t = Table();
  constexpr int kBlocks = 8192;
  long rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    t.Engine().SetSelection(1, -1, 1, -1);
    for (int b = 1; b < kBlocks; ++b) t.Engine().AddSelection(b * 8 + 1, -1, b * 8 + 1, -1);
    state.ResumeTiming();
    rows = 0;
    if (t.CaptureRowsList(false, 0) != 1) state.SkipWithError("capture failed");
    while (t.SelectNextRunRow(true, 0) == 1) ++rows;
  }
  if (rows != kBlocks) state.SkipWithError("the walk did not visit every selected row");
}
BENCHMARK(BM_WalkManySelectedRanges)->Unit(benchmark::kMillisecond);

// The whole loop of a test run: capture, walk, and 20 values read per row.
void BM_CaptureWalkAndRead(benchmark::State& state) {
  BenchTable& t = Table();
  const std::vector<CString>& names = Names();
  CString value;
  std::size_t bytes = 0;
  for (auto _ : state) {
    // The walk leaves its last row selected; without a row selection every row runs.
    t.UnSelectRows(0);
    if (t.CaptureRowsList(true, 0) != 1) state.SkipWithError("capture failed");
    long row = 0, visited = 0;
    while (t.SelectNextRunRow(true, 0) == 1) {
      ++visited;
      t.GetCurrRunRow(row, 0);
      for (const CString& name : names) {
        if (t.GetArgValue(row, name, value, 0) != 0) state.SkipWithError("read failed");
        bytes += value.size();
      }
    }
    if (visited != kRows) state.SkipWithError("the walk did not visit every row");
  }
  benchmark::DoNotOptimize(bytes);
  state.counters["rows/s"] =
      benchmark::Counter(double(kRows) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CaptureWalkAndRead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
