#pragma once

// The rules that carry numbers between text and arithmetic. Every conversion in the program goes
// through these, so the recommended size and the quality factor come out digit for digit.
// Floating point is 80-bit extended (long double on x86-64 Linux), rounding to nearest, ties to even.

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace framefit {

static_assert(std::numeric_limits<long double>::digits == 64,
              "the calculations need long double to be the 80-bit extended format (64-bit significand)");

// Reads a leading integer and ignores the rest; never fails. One optional sign, only as the very
// first character; digits accumulate modulo 2^32 and the 32 bits are read as signed.
// TextToInt("720") -> 720, ("25.000") -> 25, (" 5") -> 0, ("--5") -> 0, ("2147483648") -> -2147483648,
// ("4294967297") -> 1.
std::int32_t TextToInt(std::string_view text);

// IntToText(-2147483648) -> "-2147483648": the digits, "-" for a negative value, nothing else.
std::string IntToText(std::int32_t value);

// Removes trailing, then leading, characters of code 0..32 (compared without sign, so 128..255
// stay). TrimText("\t 25.000\r") -> "25.000"; ("1 000") -> "1 000".
std::string TrimText(std::string_view text);

// Reads a decimal number; never fails. Leading blanks (code 32 only), a sign, digits with an
// optional "." and optional exponent. When the whole text is not a number, the longest leading
// part before the first misfit character counts: ("2.35:1") -> 2.35, ("16:9") -> 16, ("4/3") -> 4,
// ("abc") -> 0, ("\t1.5") -> 0. The digits are gathered as one whole number in extended precision,
// scaled by one multiplication or division by a power of ten, then rounded to a double.
// A text that ends in an exponent mark without digits ("1.5e", "2E+") reads as its mantissa: 1.5, 2.
// A value beyond a double's range gives +-infinity, never NaN.
double ParseDecimal(std::string_view text);

// FormatFixed(0.0625, 3) -> "0.063": a half goes away from zero, decided on the 18-digit decimal
// (magnitude below 10: magnitude * 1e17 rounded to an integer, ties to even, in extended precision;
// larger magnitudes are first divided by a power of ten). So the double nearest 0.1235 gives
// "0.124" and the double nearest 0.2345 gives "0.234". -0.0004 -> "-0.000"; 9.9996 -> "10.000".
// Not finite: "+Inf", "-Inf", "Nan".
std::string FormatFixed(long double value, int decimals);

// The nearest integer, ties to the even one: 12.5 -> 12, 7.5 -> 8, -2.5 -> -2.
// A value that does not fit in 64 bits (or NaN) throws ArithmeticError (invalid operation) with
// fault_message as its text.
std::int64_t RoundToInt(long double value, const char* fault_message =
                                               "A number is too large to be rounded to a whole number.");

}  // namespace framefit
