#include "number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "arithmetic_error.h"

namespace framefit {
namespace {

TEST(TextToInt, ReadsLeadingIntegerAndWrapsAt32Bits) {
  const struct {
    const char* text;
    std::int32_t expected;
  } cases[] = {
      {"720", 720},   {"25.000", 25}, {"+7", 7},       {"-12", -12},  {" 5", 0},
      {"5 ", 5},      {"", 0},        {"-", 0},        {"--5", 0},    {"12abc", 12},
      {"2147483647", 2147483647},     {"2147483648", -2147483647 - 1}, {"4294967296", 0},
      {"4294967297", 1}, {"-2147483648", -2147483647 - 1}, {"99999999999", 1215752191},
  };
  for (const auto& c : cases) EXPECT_EQ(TextToInt(c.text), c.expected) << '"' << c.text << '"';
}

TEST(IntToText, WritesPlainDecimal) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(-5), "-5");
  EXPECT_EQ(IntToText(-2147483647 - 1), "-2147483648");
}

TEST(TrimText, RemovesControlCharactersAndBlanksAtBothEnds) {
  EXPECT_EQ(TrimText("\t 25.000\r"), "25.000");
  EXPECT_EQ(TrimText("1 000"), "1 000");
  EXPECT_EQ(TrimText("   "), "");
  EXPECT_EQ(TrimText("\xA0" "25"), "\xA0" "25");  // code 160 is not a blank
  EXPECT_EQ(TrimText(std::string("\0" "7\x1f", 3)), "7");
}

TEST(RoundToInt, TiesGoToEven) {
  EXPECT_EQ(RoundToInt(12.5L), 12);
  EXPECT_EQ(RoundToInt(7.5L), 8);
  EXPECT_EQ(RoundToInt(2.5L), 2);
  EXPECT_EQ(RoundToInt(-2.5L), -2);
  EXPECT_EQ(RoundToInt(21.65L), 22);
  EXPECT_EQ(RoundToInt(-9223372036854775808.0L), INT64_MIN);
}

TEST(RoundToInt, ValueOutside64BitsIsAnInvalidOperation) {
  for (long double value : {9223372036854775808.0L, -9223372036854775810.0L, 1e30L, NAN * 1.0L}) {
    try {
      RoundToInt(value, "too big");
      FAIL() << static_cast<double>(value);
    } catch (const ArithmeticError& error) {
      EXPECT_EQ(error.kind(), ArithmeticErrorKind::InvalidOperation);
      EXPECT_STREQ(error.what(), "too big");
    }
  }
}

TEST(ParseDecimal, ReadsWholeTextOrItsLongestLeadingNumber) {
  const struct {
    const char* text;
    double expected;
  } cases[] = {
      {"1.33333", 1.33333}, {"1.77778", 1.77778}, {"-0.5", -0.5}, {"1e2", 100.0}, {" 1.5", 1.5},
      {"1.5 ", 1.5},        {".5", 0.5},          {"5.", 5.0},    {".", 0.0},     {"2.35:1", 2.35},
      {"16:9", 16.0},       {"4/3", 4.0},         {"abc", 0.0},   {"", 0.0},      {"-", 0.0},
      {"\t1.5", 0.0},       {"1.333", 1.333},     {"2.5E-1", 0.25}, {"+12e+1", 120.0},
      {"1.5e", 1.5},        {"2E+", 2.0},         {"1.2.3", 1.2}, {"1,5", 1.0},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDecimal(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ParseDecimal, GathersDigitsAsOneNumberThenScalesOnce) {
  // 1.33333 is 133333 / 10^5 in extended precision, then rounded to a double: the correctly
  // rounded double, the same as the compiler's literal.
  EXPECT_EQ(ParseDecimal("0.1"), 0.1);
  EXPECT_EQ(ParseDecimal("123456789012345678"), 123456789012345678.0);
  EXPECT_EQ(ParseDecimal("1e308"), 1e308);
  EXPECT_TRUE(std::isinf(ParseDecimal("1e400")));  // beyond a double: no crash
  EXPECT_EQ(ParseDecimal("0e99999999999"), 0.0);
  EXPECT_EQ(ParseDecimal("1" + std::string(5000, '0') + "e-5000"), INFINITY);  // never NaN
}

TEST(FormatFixed, RoundsHalfAwayFromZeroOnThe18DigitDecimal) {
  const struct {
    long double value;
    int decimals;
    const char* expected;
  } cases[] = {
      {0.24490595611285265, 3, "0.245"},
      {0.19, 3, "0.190"},
      {0.0, 3, "0.000"},
      {0.0625, 3, "0.063"},
      {0.3125, 3, "0.313"},
      {0.1235, 3, "0.124"},  // the double nearest 0.1235 lies just below it
      {0.2345, 3, "0.234"},  // ... and this one reads 0.23449999999999999
      {9.9996, 3, "10.000"},
      {1234.5, 3, "1234.500"},
      {-0.0004, 3, "-0.000"},
      {-0.0, 3, "-0.000"},
      {-0.24490595611285265, 3, "-0.245"},
      {0.1898, 3, "0.190"},
      {2.5, 0, "3"},
      {4611686018427387904.0L, 3, "4611686018427387900.000"},  // 18 digits, then zeros
      {999999999999999999.5L, 3, "1000000000000000000.000"},
      {1e-30L, 3, "0.000"},
      {0.1, 20, "0.10000000000000001000"},  // the double 0.1 to 17 places, then zeros
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatFixed(c.value, c.decimals), c.expected) << static_cast<double>(c.value);
}

TEST(FormatFixed, NonFiniteValues) {
  EXPECT_EQ(FormatFixed(INFINITY, 3), "+Inf");
  EXPECT_EQ(FormatFixed(-INFINITY, 3), "-Inf");
  EXPECT_EQ(FormatFixed(NAN, 3), "Nan");
}

}  // namespace
}  // namespace framefit
