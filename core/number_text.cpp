#include "number_text.h"

#include <cfenv>
#include <cmath>
#include <cstdlib>

#include "arithmetic_error.h"

namespace framefit {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// 10^n in extended precision by squaring; exact up to 10^27 (5^27 < 2^64), which covers every
// scale the program meets. Overflows to infinity far beyond a double's range, which is harmless.
long double Pow10(unsigned n) {
  long double result = 1.0L;
  long double base = 10.0L;
  while (n != 0) {
    if (n & 1U) result *= base;
    n >>= 1U;
    if (n != 0) base *= base;
  }
  return result;
}

// One reading of the decimal syntax. On failure, fail_position is 1-based (length + 1 for a
// text that ends too early) and exponent_mark is the 0-based index of a dangling "E", if any.
struct DecimalReading {
  bool ok = false;
  std::size_t fail_position = 0;
  std::size_t exponent_mark = std::string_view::npos;
  double value = 0.0;
};

DecimalReading ReadDecimal(std::string_view text) {
  DecimalReading reading;
  const std::size_t length = text.size();
  std::size_t i = 0;
  while (i < length && text[i] == ' ') ++i;
  bool negative = false;
  if (i < length && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == length) {
    reading.fail_position = length + 1;
    return reading;
  }
  long double whole = 0.0L;
  long exponent_shift = 0;  // minus the count of digits after the point
  for (; i < length && IsDigit(text[i]); ++i) whole = whole * 10.0L + (text[i] - '0');
  if (i < length && text[i] == '.') {
    for (++i; i < length && IsDigit(text[i]); ++i) {
      whole = whole * 10.0L + (text[i] - '0');
      --exponent_shift;
    }
  }
  long exponent = 0;
  if (i < length && (text[i] == 'E' || text[i] == 'e')) {
    reading.exponent_mark = i;
    ++i;
    bool exponent_negative = false;
    if (i < length && (text[i] == '-' || text[i] == '+')) {
      exponent_negative = text[i] == '-';
      ++i;
    }
    if (i == length || !IsDigit(text[i])) {
      reading.fail_position = i + 1;
      return reading;
    }
    // Far beyond any double; clamping keeps the count from overflowing on absurd texts.
    constexpr long kExponentClamp = 100000;
    for (; i < length && IsDigit(text[i]); ++i)
      if (exponent < kExponentClamp) exponent = exponent * 10 + (text[i] - '0');
    if (exponent_negative) exponent = -exponent;
  }
  if (i != length) {
    reading.fail_position = i + 1;
    return reading;
  }
  const long scale = exponent + exponent_shift;
  long double value = whole;
  // A zero stays zero and a digit string beyond extended range stays infinite, whatever the scale.
  if (whole != 0.0L && !std::isinf(whole)) {
    if (scale > 0) value = whole * Pow10(static_cast<unsigned>(scale));
    if (scale < 0) value = whole / Pow10(static_cast<unsigned>(-scale));
  }
  if (negative) value = -value;
  reading.ok = true;
  reading.value = static_cast<double>(value);
  return reading;
}

}  // namespace

const char* KindName(ArithmeticErrorKind kind) {
  switch (kind) {
    case ArithmeticErrorKind::DivisionByZero: return "division by zero";
    case ArithmeticErrorKind::InvalidOperation: return "invalid operation";
    case ArithmeticErrorKind::Overflow: return "overflow";
  }
  return "invalid operation";
}

std::int32_t TextToInt(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    i = 1;
  }
  std::uint32_t result = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i)
    result = result * 10U + static_cast<std::uint32_t>(text[i] - '0');
  if (negative) result = 0U - result;
  return static_cast<std::int32_t>(result);
}

std::string IntToText(std::int32_t value) { return std::to_string(value); }

std::string TrimText(std::string_view text) {
  auto is_blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  std::size_t end = text.size();
  while (end > 0 && is_blank(text[end - 1])) --end;
  std::size_t begin = 0;
  while (begin < end && is_blank(text[begin])) ++begin;
  return std::string(text.substr(begin, end - begin));
}

double ParseDecimal(std::string_view text) {
  const DecimalReading whole = ReadDecimal(text);
  if (whole.ok) return whole.value;
  const std::string_view leading = text.substr(0, whole.fail_position - 1);
  const DecimalReading prefix = ReadDecimal(leading);
  if (prefix.ok) return prefix.value;
  // Only a dangling exponent mark can make the leading part fail with digits in it.
  if (prefix.exponent_mark != std::string_view::npos) {
    const DecimalReading mantissa = ReadDecimal(leading.substr(0, prefix.exponent_mark));
    if (mantissa.ok) return mantissa.value;
  }
  return 0.0;
}

std::string FormatFixed(long double value, int decimals) {
  if (std::isnan(value)) return "Nan";
  if (std::isinf(value)) return value < 0 ? "-Inf" : "+Inf";
  if (decimals < 0) decimals = 0;

  const bool negative = std::signbit(value);
  long double magnitude = std::fabs(value);
  // Bring the magnitude below 10 with one division by a power of ten; remember the shift.
  int shift = 0;
  if (magnitude >= 10.0L) {
    shift = static_cast<int>(std::floor(std::log10(magnitude)));
    long double scaled = magnitude / Pow10(static_cast<unsigned>(shift));
    if (scaled >= 10.0L) {
      ++shift;
      scaled = magnitude / Pow10(static_cast<unsigned>(shift));
    } else if (scaled < 1.0L) {
      --shift;
      scaled = magnitude / Pow10(static_cast<unsigned>(shift));
    }
    magnitude = scaled;
  }
  // 18 significant places: one before the point and 17 after. 1e17 is exact in extended precision.
  const long double scaled_digits = std::nearbyint(magnitude * 1e17L);
  std::string digits = std::to_string(static_cast<std::uint64_t>(scaled_digits));
  // digits * 10^(shift - 17) is the value; make the point position explicit.
  int fraction_digits = 17 - shift;
  if (fraction_digits < 0) {
    digits.append(static_cast<std::size_t>(-fraction_digits), '0');
    fraction_digits = 0;
  }
  if (static_cast<int>(digits.size()) <= fraction_digits)
    digits.insert(0, static_cast<std::size_t>(fraction_digits) - digits.size() + 1, '0');
  // digits now holds at least one place before the point.
  if (fraction_digits < decimals) {
    digits.append(static_cast<std::size_t>(decimals - fraction_digits), '0');
    fraction_digits = decimals;
  }
  const std::size_t keep = digits.size() - static_cast<std::size_t>(fraction_digits - decimals);
  const bool round_up = keep < digits.size() && digits[keep] >= '5';
  digits.resize(keep);
  if (round_up) {
    std::size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
    if (i == 0)
      digits.insert(0, 1, '1');
    else
      ++digits[i - 1];
  }
  std::string integer_part = digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
  const std::size_t first_nonzero = integer_part.find_first_not_of('0');
  integer_part = first_nonzero == std::string::npos ? "0" : integer_part.substr(first_nonzero);

  std::string text = negative ? "-" : "";
  text += integer_part;
  if (decimals > 0) {
    text += '.';
    text += digits.substr(digits.size() - static_cast<std::size_t>(decimals));
  }
  return text;
}

std::int64_t RoundToInt(long double value, const char* fault_message) {
  // nearbyint rounds in the current mode, which the program never changes: to nearest, ties to even.
  const long double rounded = std::nearbyint(value);
  // -2^63 is exact in extended precision; 2^63 is the first value that does not fit.
  constexpr long double kLimit = 9223372036854775808.0L;
  if (!(rounded >= -kLimit && rounded < kLimit))
    throw ArithmeticError(ArithmeticErrorKind::InvalidOperation, fault_message);
  return static_cast<std::int64_t>(rounded);
}

}  // namespace framefit
