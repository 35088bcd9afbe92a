// The number text rules on any bytes: nothing reads past the text, TextToInt agrees with a plainer
// reading of its rule, ParseDecimal takes the longest leading number, and a FormatFixed text reads back
// through ParseDecimal to the value it was made from.

#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "arithmetic_error.h"
#include "fuzz_require.h"
#include "number_text.h"

namespace framefit {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// TextToInt the plain way: sign, then the digits in 64 bits reduced modulo 2^32 at every step, then
// the low 32 bits read as two's complement.
std::int32_t PlainTextToInt(std::string_view text) {
  constexpr std::int64_t kModulus = std::int64_t{1} << 32;
  std::size_t i = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    i = 1;
  }
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = (value * 10 + (text[i] - '0')) % kModulus;
  if (negative) value = (kModulus - value) % kModulus;
  return static_cast<std::int32_t>(value >= kModulus / 2 ? value - kModulus : value);
}

bool SameDouble(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

void CheckTexts(std::string_view text) {
  FuzzRequire(TextToInt(text) == PlainTextToInt(text), "TextToInt agrees with the plain reading");

  const std::string trimmed = TrimText(text);
  FuzzRequire(trimmed.empty() || (!IsBlank(trimmed.front()) && !IsBlank(trimmed.back())),
              "TrimText leaves no blank at either end");
  FuzzRequire(text.find(trimmed) != std::string_view::npos, "TrimText gives a piece of its text");

  // A misfit character after the text cannot change the longest leading number.
  const double value = ParseDecimal(text);
  FuzzRequire(SameDouble(ParseDecimal(std::string(text) + ":"), value), "ParseDecimal ignores a misfit tail");
}

// "-"? then the integer digits without a leading zero (a lone "0" aside), then "." and exactly
// `decimals` digits when decimals > 0.
bool IsFixedText(std::string_view text, int decimals) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  const std::size_t point = decimals > 0 ? text.size() - static_cast<std::size_t>(decimals) - 1 : text.size();
  if (point == 0 || point > text.size()) return false;
  if (decimals > 0 && text[point] != '.') return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (i != point && (text[i] < '0' || text[i] > '9')) return false;
  return !(text[0] == '0' && point > 1);
}

// FormatFixed(v, d) read back by ParseDecimal lies within
//   0.5 * 10^-d * (1 + 2^-52)  +  1e-17  +  |v| * 2^-52
// of v, for |v| < 10^19 and d <= 6:
// - the text is v's 18-significant-digit decimal rounded to d decimals: at most half a unit off it;
// - that decimal is within 0.5 * 10^-17 of v below 10 (|v| * 2^-57 above), plus the two roundings in
//   extended precision that make it (|v| * 2^-63);
// - ParseDecimal gathers the text's at most 26 digits exactly up to 2^64 and with at most 14 roundings
//   of 2^-64 beyond, divides once by the exact 10^d and rounds to a double (2^-53), each relative to
//   the text's value, which is at most |v| + 0.5 * 10^-d + 10^-17.
// 2^-53 + 14 * 2^-64 + 2^-57 + 2^-63 < 2^-52; the 1e-17 term also holds the relative share of 10^-17.
void CheckFixedRoundTrip(FuzzedDataProvider& provider) {
  const bool in_range = provider.ConsumeBool();
  const bool negative = provider.ConsumeBool();
  const int decimals = provider.ConsumeIntegralInRange(0, in_range ? 6 : 20);
  const int exponent = in_range ? provider.ConsumeIntegralInRange(-200, 0) : provider.ConsumeIntegralInRange(-16500, 16400);
  const auto significand = provider.ConsumeIntegral<std::uint64_t>();
  long double value = std::ldexp(static_cast<long double>(significand), exponent);
  if (negative) value = -value;
  if (!std::isfinite(value)) return;

  const std::string text = FormatFixed(value, decimals);
  FuzzRequire(IsFixedText(text, decimals), "FormatFixed writes digits, a point and exactly the decimals");
  if (std::fabs(value) >= 1e19L) return;

  const long double half_unit = 0.5L / std::pow(10.0L, decimals);
  const long double bound = half_unit * (1.0L + 0x1p-52L) + 1e-17L + std::fabs(value) * 0x1p-52L;
  FuzzRequire(std::fabs(static_cast<long double>(ParseDecimal(text)) - value) <= bound,
              "ParseDecimal reads FormatFixed's text back within half a unit of the last decimal");
  FuzzRequire(std::signbit(ParseDecimal(text)) == negative, "FormatFixed keeps the sign");
}

void CheckRounding(FuzzedDataProvider& provider) {
  const long double value = std::ldexp(static_cast<long double>(provider.ConsumeIntegral<std::int64_t>()),
                                       provider.ConsumeIntegralInRange(-70, 10));
  try {
    const std::int64_t rounded = RoundToInt(value);
    FuzzRequire(std::fabs(static_cast<long double>(rounded) - value) <= 0.5L, "RoundToInt gives the nearest integer");
  } catch (const ArithmeticError&) {
    FuzzRequire(std::fabs(value) >= 0x1p63L - 0.5L, "RoundToInt fails only beyond 64 bits");
  }
}

}  // namespace
}  // namespace framefit

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::unique_ptr<char[]> bytes = framefit::ExactCopy(data, size);
  framefit::CheckTexts(std::string_view(bytes.get(), size));

  FuzzedDataProvider provider(data, size);
  framefit::CheckFixedRoundTrip(provider);
  framefit::CheckRounding(provider);
  return 0;
}
