// Reading the large workbook as .xlsx (65,535 value rows × 20 parameters: the .xls of
// ../shared/tools/make_big.py written as .xlsx): the sheet by one parser, and in halves on two
// threads. Wall time, as the halves overlap. Target (bench/xlsx_big.sh): the whole
// `datatable run` ≤ 0.5 s.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

#include "control/control.h"
#include "control/io/byte_io.h"
#include "control/xlsx/xlsx_file.h"

namespace {

namespace fs = std::filesystem;

const engine::xls::Bytes& BigXlsx() {
  static const engine::xls::Bytes bytes = [] {
    const char* env = std::getenv("DT_BIG_XLSX");
    std::string path = env ? env : "/tmp/big.xlsx";
    if (!fs::exists(path)) {
      std::string xls = "/tmp/xlsx_read_bench.xls";
      fs::path tool = fs::path(__FILE__).parent_path() / "../../shared/tools/make_big.py";
      std::string cmd = "/usr/bin/python3 '" + tool.string() + "' '" + xls + "'";
      if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "could not make %s\n", xls.c_str());
      engine::Control c;
      short type = 0;
      c.ReadFile(xls, type);
      c.WriteFile(path, engine::xlsx::kTypeXlsx);
    }
    engine::xls::Bytes b;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    for (int ch; f && (ch = std::fgetc(f)) != EOF;) b.push_back(static_cast<std::uint8_t>(ch));
    if (f) std::fclose(f);
    return b;
  }();
  return bytes;
}

// Arg 0: one parser; 1: in halves.
void BM_ReadBigXlsx(benchmark::State& state) {
  const engine::xls::Bytes& bytes = BigXlsx();
  engine::LocaleSettings locale;
  engine::xlsx::XlsxReadOptions options;
  if (state.range(0) == 0) options.halves.from = std::numeric_limits<std::size_t>::max();
  for (auto _ : state) {
    auto book = engine::xlsx::ReadXlsx(bytes.data(), bytes.size(), &locale, options);
    benchmark::DoNotOptimize(book->SheetCount());
  }
}
BENCHMARK(BM_ReadBigXlsx)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
