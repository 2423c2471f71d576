// The host's hot path through the table: reading a parameter's value by name (first and last
// of 256 parameters, on one sheet and alternating between two), and filling a table through
// AddArgValue.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "datatable/czat_psf1.h"
#include "platform/headless/headless_platform.h"
#include "platform/platform.h"

namespace {

constexpr int kParams = 256;
constexpr long kRows = 1000;

struct TableDeleter {
  void operator()(CZAT_PSF1* t) const {
    if (t) t->Destroy();
  }
};
using TablePtr = std::unique_ptr<CZAT_PSF1, TableDeleter>;

TablePtr NewTable() {
  platform::Install(std::make_shared<platform::HeadlessPlatform>());
  return TablePtr(
      new CZAT_PSF1(nullptr, CString(), CZAT::FILE_TYPE_NONE, nullptr, false, true, true));
}

std::string ParamName(int i) { return "Param" + std::to_string(i); }

// Sheets 1 and 2 with kParams parameters and kRows rows each.
CZAT_PSF1& WideTable() {
  static TablePtr table = [] {
    TablePtr t = NewTable();
    t->AppendSheets(1);
    for (long sheet = 2; sheet >= 1; --sheet) {
      t->SetSheet(sheet);
      for (int c = 1; c <= kParams; ++c) {
        CString name = ParamName(c);
        t->AppendArg(name, "v1", 0, nullptr, 1);
      }
      for (long r = 1; r <= kRows; ++r)
        for (int c = 1; c <= kParams; c += 15)
          t->AddArgValue(r, ParamName(c), std::to_string(r * 1000 + c), 0, nullptr);
    }
    return t;
  }();
  return *table;
}

void ReadParam(benchmark::State& state, const std::string& name, bool alternateSheets) {
  CZAT_PSF1& table = WideTable();
  CString value;
  long row = 1;
  long sheet = 1;
  for (auto _ : state) {
    int rc = table.GetArgValue(row, name, value, alternateSheets ? sheet : 0);
    benchmark::DoNotOptimize(rc);
    if (++row > kRows) row = 1;
    sheet = 3 - sheet;
  }
  if (value.empty()) state.SkipWithError("no value read");
  state.SetItemsProcessed(state.iterations());
}

void BM_GetArgValueFirstParam(benchmark::State& state) { ReadParam(state, ParamName(1), false); }
void BM_GetArgValueLastParam(benchmark::State& state) {
  ReadParam(state, ParamName(kParams), false);
}
void BM_GetArgValueLastParamTwoSheets(benchmark::State& state) {
  ReadParam(state, ParamName(kParams), true);
}

// 65,535 rows × 20 parameters written through AddArgValue into a new table; numbers, decimals
// and texts as a host writes them.
void BM_FillThroughAddArgValue(benchmark::State& state) {
  constexpr long kFillRows = 65535;
  constexpr int kFillParams = 20;
  std::vector<std::string> names;
  for (int c = 1; c <= kFillParams; ++c) names.push_back(ParamName(c));
  std::vector<std::string> values;
  for (long r = 0; r < kFillRows; ++r) {
    switch (r % 3) {
      case 0:
        values.push_back(std::to_string(r));
        break;
      case 1:
        values.push_back(std::to_string(r) + ".25");
        break;
      default:
        values.push_back("user" + std::to_string(r));
        break;
    }
  }
  for (auto _ : state) {
    state.PauseTiming();
    TablePtr table = NewTable();
    for (auto& name : names) {
      CString n = name;
      table->AppendArg(n, "", 0, nullptr, 1);
    }
    state.ResumeTiming();
    for (long r = 1; r <= kFillRows; ++r)
      for (int c = 0; c < kFillParams; ++c)
        if (table->AddArgValue(r, names[c], values[r - 1], 0, nullptr) != 0)
          state.SkipWithError("AddArgValue failed");
    state.PauseTiming();
    table.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kFillRows * kFillParams);
}

BENCHMARK(BM_GetArgValueFirstParam);
BENCHMARK(BM_GetArgValueLastParam);
BENCHMARK(BM_GetArgValueLastParamTwoSheets);
BENCHMARK(BM_FillThroughAddArgValue)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
