// Reading and writing a large workbook (65,535 value rows × 20 parameters, written by xlwt
// through ../shared/tools/make_big.py), and python3-xlrd reading the same file for comparison.
// Targets: read ≤ 60 ms, write ≤ 200 ms, peak memory ≤ 96 MiB.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "control/control.h"
#include "control/model/workbook.h"

namespace {

namespace fs = std::filesystem;

const std::string& BigFile() {
  static const std::string path = [] {
    const char* env = std::getenv("DT_BIG_XLS");
    std::string p = env ? env : "/tmp/big.xls";
    if (!fs::exists(p)) {
      fs::path tool = fs::path(__FILE__).parent_path() / "../../shared/tools/make_big.py";
      std::string cmd = "/usr/bin/python3 '" + tool.string() + "' '" + p + "'";
      if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "could not make %s\n", p.c_str());
    }
    return p;
  }();
  return path;
}

double PeakMiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;
}

void BM_ReadBigWorkbook(benchmark::State& state) {
  const std::string& path = BigFile();
  for (auto _ : state) {
    engine::Control c;
    short type = 0;
    c.ReadFile(path, type);
    benchmark::DoNotOptimize(c.GetLastRow());
  }
  state.counters["peak_MiB"] = PeakMiB();
}
BENCHMARK(BM_ReadBigWorkbook)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_WriteBigWorkbook(benchmark::State& state) {
  engine::Control c;
  short type = 0;
  c.ReadFile(BigFile(), type);
  std::string out = "/tmp/xls_io_bench_" + std::to_string(getpid()) + ".xls";
  for (auto _ : state) c.WriteFile(out, 11);
  fs::remove(out);
  state.counters["peak_MiB"] = PeakMiB();
}
BENCHMARK(BM_WriteBigWorkbook)->Unit(benchmark::kMillisecond)->Iterations(5);

// A table's worth of names: 10 sheets of 256 parameters, each with its sheet's own defined
// name over the whole column (as every parameter has), and 100 rows of formulas by name on
// each sheet. Arg 0: the 97-2000 form (11) or the 5.0/95 form (4).
void BM_WriteNamedFormulas(benchmark::State& state) {
  engine::Control c;
  c.InsertSheets(2, 9);
  for (int s = 1; s <= 10; ++s) {
    c.SetActiveSheet(s);
    for (int col = 1; col <= 256; ++col) {
      std::string name = "Param_" + std::to_string(col);
      std::string ref = c.FormatCellRef(1, col, true) + ":" + c.FormatCellRef(65526, col, true);
      c.SetDefinedName(name, ref);
    }
    for (int row = 1; row <= 100; ++row) {
      c.SetCellText(row, 1, std::to_string(row));
      c.SetCellText(row, 2, "=Param_1*2+SUM(Param_1)");
    }
  }
  const short form = static_cast<short>(state.range(0));
  std::string out = "/tmp/xls_io_bench_names_" + std::to_string(getpid()) + ".xls";
  for (auto _ : state) c.WriteFile(out, form);
  fs::remove(out);
}
BENCHMARK(BM_WriteNamedFormulas)->Arg(11)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same file read by python3-xlrd (interpreter start-up included, about 20 ms).
void BM_XlrdReadsBigWorkbook(benchmark::State& state) {
  std::string cmd = "/usr/bin/python3 -c \"import xlrd; xlrd.open_workbook('" + BigFile() +
                    "')\"";
  for (auto _ : state) {
    if (std::system(cmd.c_str()) != 0) {
      state.SkipWithError("python3-xlrd failed");
      break;
    }
  }
}
BENCHMARK(BM_XlrdReadsBigWorkbook)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
