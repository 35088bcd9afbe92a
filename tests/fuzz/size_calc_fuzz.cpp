// The recommended size and the quality check on any box texts and any media state the analysis can
// leave: each either gives its results or ends in an ArithmeticError, nothing else; it touches no box
// when its inputs say there is nothing to do; and judging the recommended size with "New size" agrees
// with the judgement the recommendation made of it.

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "arithmetic_error.h"
#include "fuzz_require.h"
#include "media_state.h"
#include "named_texts.h"
#include "number_text.h"
#include "size_calc.h"

namespace framefit {
namespace {

constexpr std::size_t kMaxText = 24;

// A ratio as the analysis can store one: a decimal text read by ParseDecimal (any finite double, an
// infinity from a text beyond a double's range, and NaN when a run of digits too long for extended
// precision meets a negative exponent: "1" then 5000 zeros then "e-5000"), or width over height of two
// integers.
double Ratio(FuzzedDataProvider& provider) {
  if (provider.ConsumeBool()) {
    constexpr std::size_t kBeyondExtended = 4940;  // digits; the largest extended value has 4933
    const std::size_t digits = provider.ConsumeBool() ? kBeyondExtended : 0;
    return ParseDecimal(std::string(digits, '9') + provider.ConsumeRandomLengthString(kMaxText));
  }
  const auto width = provider.ConsumeIntegral<std::int32_t>();
  const auto height = provider.ConsumeIntegral<std::int32_t>();
  if (height == 0) return 0.0;  // the analysis stops early then
  return static_cast<double>(static_cast<long double>(width) / static_cast<long double>(height));
}

std::array<std::string, kTextNameCount> Snapshot(const NamedTexts& texts) {
  std::array<std::string, kTextNameCount> all;
  for (std::size_t i = 0; i < kTextNameCount; ++i) all[i] = texts.ReadText(static_cast<TextName>(i));
  return all;
}

// How an operation ended: its report, or the kind of the ArithmeticError that ended it.
struct Outcome {
  CalcReport report;
  std::optional<ArithmeticErrorKind> error;
};

template <typename Operation>
Outcome Run(Operation operation, MediaState& state, NamedTexts& texts) {
  Outcome outcome;
  try {
    operation(state, texts, &outcome.report);
  } catch (const ArithmeticError& error) {
    FuzzRequire(std::string(error.what()).size() > 1, "an ArithmeticError says what is wrong");
    outcome.error = error.kind();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    FuzzRequire(false, "a calculation ends only in ArithmeticError");
  }
  return outcome;
}

void CheckNothingToDo(const NamedTexts& texts, const std::array<std::string, kTextNameCount>& before,
                      const Outcome& outcome) {
  FuzzRequire(!outcome.error && Snapshot(texts) == before, "without inputs nothing is written");
}

}  // namespace
}  // namespace framefit

// Input layout (FuzzedDataProvider): texts from the front, each ended by a backslash and one more
// character: frame ratio, display ratio, width, height, frame rate, then the bitrate, size, play time,
// frame rate and quality factor boxes. Flags and numbers from the back, last byte first: per ratio
// "from a text", then "after a long digit run"; the play time (4 bytes); the operation (odd: New size).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace framefit;
  FuzzedDataProvider provider(data, size);
  MediaState state;
  state.FrameRatio = Ratio(provider);
  state.DisplayRatio = Ratio(provider);
  state.WidthText = provider.ConsumeRandomLengthString(kMaxText);
  state.HeightText = provider.ConsumeRandomLengthString(kMaxText);
  state.FrameRateText = provider.ConsumeRandomLengthString(kMaxText);
  state.PlayTimeSeconds = provider.ConsumeIntegral<std::int32_t>();  // from TextToInt
  MemoryTexts texts;
  for (const TextName name : {TextName::BitrateEdit, TextName::RecommendEdit, TextName::PlayTimeEdit,
                              TextName::FrameRateEdit, TextName::QualityFactorLabel})
    texts.WriteText(name, provider.ConsumeRandomLengthString(kMaxText));
  const auto before = Snapshot(texts);

  if (provider.ConsumeBool()) {
    const Outcome outcome = Run(CheckNewSize, state, texts);
    if (before[static_cast<std::size_t>(TextName::BitrateEdit)].empty() ||
        before[static_cast<std::size_t>(TextName::RecommendEdit)].empty())
      CheckNothingToDo(texts, before, outcome);
    return 0;
  }

  const Outcome recommended = Run(CalcSize, state, texts);
  if (state.FrameRatio == 0.0 || state.DisplayRatio == 0.0 || state.WidthText.empty()) {
    CheckNothingToDo(texts, before, recommended);
    return 0;
  }
  if (!recommended.report.size) return 0;
  const CalcReport::Size recommended_size = *recommended.report.size;
  FuzzRequire(recommended_size.width % SizeStep == 0 && recommended_size.height % SizeStep == 0, "the size is in steps of 16");
  // CalcSize judges its size, to a result or an error, right after the bitrate labels, which it writes
  // only with a frame rate; New size judges only with a bitrate text.
  if (!recommended.report.max_bitrate || texts.ReadText(TextName::BitrateEdit).empty()) return 0;
  const Outcome checked = Run(CheckNewSize, state, texts);
  FuzzRequire(checked.report.size && checked.report.size->width == recommended_size.width &&
                  checked.report.size->height == recommended_size.height,
              "New size reads the recommended size as it was written");
  FuzzRequire(checked.error == recommended.error && checked.report.quality_factor == recommended.report.quality_factor,
              "New size judges the recommended size as the recommendation did");
  return 0;
}
