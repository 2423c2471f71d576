// Opening a table and reading every value of every run row, as `datatable run` does, for one
// sheet of 65,535 rows (../shared/tools/make_big.py) and for 100 sheets of 1,000 rows each
// (written here by the engine), both 20 parameters wide. The counter time_per_cell compares them:
// many small sheets should cost at most 1.5x the time per cell of the one big sheet.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "control/control.h"
#include "datatable/czat_psf1.h"
#include "platform/headless/headless_platform.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;

constexpr int kParams = 20;

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

// 100 sheets, each a names row and 1,000 value rows of texts, whole numbers and decimals mixed
// as in the big workbook. Written once per process and removed at exit.
const std::string& ManySheetsFile() {
  static const std::string path = [] {
    std::string p = "/tmp/open_walk_bench_" + std::to_string(getpid()) + ".xls";
    engine::Control c;
    c.InsertSheets(2, 99);
    std::mt19937 random(42);
    for (int s = 1; s <= 100; ++s) {
      c.SetActiveSheet(s);
      for (int col = 1; col <= kParams; ++col) c.SetCellText(1, col, "Param" + std::to_string(col));
      for (int row = 2; row <= 1001; ++row) {
        for (int col = 1; col <= kParams; ++col) {
          const unsigned r = random();
          switch (col % 3) {
            case 1:
              c.SetCellText(row, col, "user" + std::to_string(r % 5000));
              break;
            case 2:
              c.SetCellText(row, col, std::to_string(r % 1000000));
              break;
            default:
              c.SetCellText(row, col, std::to_string(r % 1000) + "." + std::to_string(r % 997));
              break;
          }
        }
      }
    }
    c.SetActiveSheet(1);
    c.WriteFile(p, 11);
    std::atexit([] { fs::remove(ManySheetsFile()); });
    return p;
  }();
  return path;
}

struct TableDeleter {
  void operator()(CZAT_PSF1* t) const {
    if (t) t->Destroy();
  }
};

// Opens the file and reads every parameter of every run row of every sheet.
void OpenAndWalk(benchmark::State& state, const std::string& file) {
  platform::Install(std::make_shared<platform::HeadlessPlatform>());
  long cells = 0;
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::unique_ptr<CZAT_PSF1, TableDeleter> table(
        new CZAT_PSF1(nullptr, CString(), CZAT::FILE_TYPE_NONE, nullptr, false, true, true));
    if (table->Open(file, CZAT::FILE_TYPE_NONE, nullptr, 1) != 0) {
      state.SkipWithError("the workbook did not open");
      break;
    }
    if (table->CaptureRowsList(false, 0) != 1) state.SkipWithError("capture failed");
    cells = 0;
    CString value;
    const long sheets = table->GetNumSheets();
    for (long s = 1; s <= sheets; ++s) {
      const CZATArgList names = table->GetHeaderArgList(s);
      long row = 0;
      while (table->GetNextRunRow(row, s) == 1) {
        for (const CString& name : names) {
          if (table->GetArgValue(row, name, value, s) != 0) state.SkipWithError("read failed");
          bytes += value.size();
          ++cells;
        }
      }
    }
  }
  benchmark::DoNotOptimize(bytes);
  state.counters["cells"] = static_cast<double>(cells);
  // Seconds of CPU time per cell read, shown with an SI prefix (152n = 152 ns).
  state.counters["time_per_cell"] =
      benchmark::Counter(static_cast<double>(cells) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_OpenAndWalkOneSheet(benchmark::State& state) { OpenAndWalk(state, BigFile()); }
void BM_OpenAndWalkHundredSheets(benchmark::State& state) { OpenAndWalk(state, ManySheetsFile()); }

BENCHMARK(BM_OpenAndWalkOneSheet)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_OpenAndWalkHundredSheets)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
