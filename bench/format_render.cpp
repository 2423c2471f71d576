// Rendering speed of number formats and typed entry: the displayed text of a cell is read on
// every parameter lookup of a test run.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "control/format/number_format.h"
#include "control/format/typed_entry.h"

namespace {

using namespace engine;

std::vector<double> Numbers() {
  std::vector<double> v;
  for (int k = 0; k < 1024; ++k) {
    switch (k % 4) {
      case 0: v.push_back(k * 37); break;                   // whole numbers
      case 1: v.push_back(k * 1.25 + 0.5); break;           // short decimals
      case 2: v.push_back(k / 7.0); break;                  // long decimals, rounded
      default: v.push_back(45306 + k + (k % 97) / 97.0); break;  // date serials
    }
  }
  return v;
}

void BM_RenderGeneral(benchmark::State& state) {
  auto numbers = Numbers();
  LocaleSettings locale;
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(format::RenderGeneral(numbers[i++ & 1023], locale));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderGeneral);

void BM_RenderGeneralWholeNumbers(benchmark::State& state) {
  LocaleSettings locale;
  double x = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(format::RenderGeneral(x, locale));
    x = x < 1e6 ? x + 7 : 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderGeneralWholeNumbers);

void BM_Render(benchmark::State& state, const char* code) {
  auto numbers = Numbers();
  auto format = format::ParseNumberFormat(code);
  LocaleSettings locale;
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        format::Render(*format, Value::Number(numbers[i++ & 1023]), locale));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(BM_Render, fixed, "0.00");
BENCHMARK_CAPTURE(BM_Render, grouped, "#,##0.00");
BENCHMARK_CAPTURE(BM_Render, currency, "\"$\"#,##0.00_);[Red](\"$\"#,##0.00)");
BENCHMARK_CAPTURE(BM_Render, percent, "0.00%");
BENCHMARK_CAPTURE(BM_Render, date, "M/d/yyyy");
BENCHMARK_CAPTURE(BM_Render, datetime, "m/d/yyyy h:mm AM/PM");
BENCHMARK_CAPTURE(BM_Render, fraction, "# ?/?");
BENCHMARK_CAPTURE(BM_Render, scientific, "0.00E+00");

void BM_InterpretTyped(benchmark::State& state) {
  const std::vector<std::string> inputs = {
      "42",        "-3.5",      "1,234.50", "12.5%",      "$1,234.50",     "1/15/2024",
      "6:00 PM",   "18:30:15",  "TRUE",     "#N/A",       "hello world",   "2024-01-15",
      "Jan 15, 2024", "1 1/2", "user_name", "1/15/2024 10:30"};
  LocaleSettings locale;
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(format::InterpretTyped(inputs[i++ % inputs.size()], locale, false,
                                                    2024));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_InterpretTyped);

void BM_ParseNumberFormat(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(format::ParseNumberFormat("#,##0.00_);[Red](#,##0.00)"));
  }
}
BENCHMARK(BM_ParseNumberFormat);

}  // namespace

BENCHMARK_MAIN();
