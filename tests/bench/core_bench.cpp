// The core's arithmetic under Google Benchmark: the recommended size (which ends in the quality
// check), the quality check alone, and the two number text rules every result goes through.
#include <benchmark/benchmark.h>

#include "media_state.h"
#include "named_texts.h"
#include "number_text.h"
#include "size_calc.h"

namespace framefit {
namespace {

// A 720x576 PAL file shown 4:3, 90 minutes: the worked example, 464:352 at 1000 kbit/s.
MediaState PalState() { return MediaState{1.25, 1.33333, "720", "576", "25.000", 5400}; }

MemoryTexts PalTexts() {
  MemoryTexts texts;
  texts.WriteText(TextName::BitrateEdit, "1000");
  texts.WriteText(TextName::PlayTimeEdit, "5400");
  texts.WriteText(TextName::FrameRateEdit, "25.000");
  return texts;
}

void BM_CalcSize(benchmark::State& run) {
  MemoryTexts texts = PalTexts();
  for (auto _ : run) {
    MediaState state = PalState();
    CalcSize(state, texts);
    benchmark::DoNotOptimize(texts);
  }
}
BENCHMARK(BM_CalcSize);

void BM_EvaluateQuality(benchmark::State& run) {
  MemoryTexts texts = PalTexts();
  for (auto _ : run) {
    MediaState state = PalState();
    EvaluateQuality(state, texts, 464, 352);
    benchmark::DoNotOptimize(texts);
  }
}
BENCHMARK(BM_EvaluateQuality);

void BM_FormatFixed(benchmark::State& run) {
  const long double values[] = {0.24490595611285265L, 0.0625L, 9.9996L, 123456.789L};
  for (auto _ : run) {
    for (long double value : values) benchmark::DoNotOptimize(FormatFixed(value, 3));
  }
  run.SetItemsProcessed(run.iterations() * std::size(values));
}
BENCHMARK(BM_FormatFixed);

void BM_ParseDecimal(benchmark::State& run) {
  const char* const texts[] = {"1.33333", "29.970", "2.35:1", "1.5e3", "5400999.5"};
  for (auto _ : run) {
    for (const char* text : texts) benchmark::DoNotOptimize(ParseDecimal(text));
  }
  run.SetItemsProcessed(run.iterations() * std::size(texts));
}
BENCHMARK(BM_ParseDecimal);

}  // namespace
}  // namespace framefit

BENCHMARK_MAIN();
