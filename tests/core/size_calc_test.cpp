#include "size_calc.h"

#include <gtest/gtest.h>

#include <string>

#include "arithmetic_error.h"
#include "number_text.h"

namespace framefit {
namespace {

struct Calc {
  MediaState state;
  MemoryTexts texts;

  Calc() { texts.WriteText(TextName::BitrateEdit, "1000"); }
  // The state an analysis of a width x height file with the given display ratio leaves behind.
  Calc& File(const char* width, const char* height, double display_ratio, const char* frame_rate,
             std::int64_t play_time = 5400) {
    state.WidthText = width;
    state.HeightText = height;
    state.FrameRatio = static_cast<double>(static_cast<long double>(TextToInt(width)) / TextToInt(height));
    state.DisplayRatio = display_ratio;
    state.FrameRateText = frame_rate;
    state.PlayTimeSeconds = play_time;
    return *this;
  }
  Calc& Set(TextName name, const char* text) {
    texts.WriteText(name, text);
    return *this;
  }
  std::string operator[](TextName name) const { return texts.ReadText(name); }
};

constexpr char kGood[] = "Quality is good";
constexpr char kBad[] = "Quality is bad. change the size or the bitrate";

TEST(CalcSize, WorkedExamples) {
  const struct {
    const char *width, *height;
    double display_ratio;
    const char *frame_rate, *bitrate;
    std::int64_t play_time;
    const char *size, *min, *max, *verdict, *factor;
  } cases[] = {
      {"720", "576", 1.33333, "25.000", "1000", 5400, "464:352", "816", "2041", kGood, "0.245"},
      {"720", "576", 1.77778, "25.000", "1000", 5400, "544:304", "826", "2067", kGood, "0.242"},
      {"720", "480", 1.33333, "29.970", "1500", 1800, "576:432", "1443", "3608", kGood, "0.208"},
      // s exactly 12.5, 7.5 and 2.5: the height goes to the even multiple of 16.
      {"640", "640", 1.0, "25", "250", 5400, "192:192", "184", "460", kGood, "0.271"},
      {"640", "640", 1.0, "25", "90", 5400, "128:128", "81", "204", kGood, "0.220"},
      {"640", "640", 1.0, "25", "10", 5400, "32:32", "5", "12", kGood, "0.391"},
      // Four leading characters give n = 1234; the factor uses all of 12345.
      {"720", "576", 1.33333, "12345", "1000", 5400, "464:352", "40309", "100773", kBad, "0.000"},
  };
  for (const auto& c : cases) {
    Calc calc;
    calc.File(c.width, c.height, c.display_ratio, c.frame_rate, c.play_time).Set(TextName::BitrateEdit, c.bitrate);
    CalcReport report;
    CalcSize(calc.state, calc.texts, &report);
    SCOPED_TRACE(c.size);
    EXPECT_EQ(calc[TextName::RecommendEdit], c.size);
    EXPECT_EQ(calc[TextName::MinBitrateLabel], std::string("Min Bitrate: ") + c.min);
    EXPECT_EQ(calc[TextName::MaxBitrateLabel], std::string("Max Bitrate: ") + c.max);
    EXPECT_EQ(calc[TextName::QualityFactorLabel], std::string("Quality factor:  ") + c.factor);
    ASSERT_TRUE(report.size && report.min_bitrate && report.quality_good);
    EXPECT_EQ(IntToText(report.size->width) + ":" + IntToText(report.size->height), c.size);
    EXPECT_EQ(IntToText(*report.min_bitrate), c.min);
  }
}

TEST(CalcSize, WritesNothingWithoutARatioOrWidth) {
  for (int which = 0; which < 3; ++which) {
    Calc calc;
    calc.File("720", "576", 1.33333, "25.000");
    if (which == 0) calc.state.DisplayRatio = 0.0;
    if (which == 1) calc.state.FrameRatio = 0.0;
    if (which == 2) calc.state.WidthText.clear();
    for (auto name : {TextName::RecommendEdit, TextName::MinBitrateLabel, TextName::MaxBitrateLabel,
                      TextName::QualityFactorLabel, TextName::QualityVerdictLabel})
      calc.Set(name, "before");
    CalcSize(calc.state, calc.texts);
    EXPECT_EQ(calc[TextName::RecommendEdit], "before");
    EXPECT_EQ(calc[TextName::MinBitrateLabel], "before");
    EXPECT_EQ(calc[TextName::QualityVerdictLabel], "before");
  }
}

TEST(CalcSize, BlankFrameRateStopsAfterTheSize) {
  for (const char* rate : {"", " \t"}) {
    Calc calc;
    calc.File("720", "576", 1.33333, rate);
    calc.Set(TextName::MinBitrateLabel, "old min").Set(TextName::MaxBitrateLabel, "old max");
    calc.Set(TextName::QualityFactorLabel, "old factor").Set(TextName::QualityVerdictLabel, "old verdict");
    CalcSize(calc.state, calc.texts);
    EXPECT_EQ(calc[TextName::RecommendEdit], "464:352");
    EXPECT_EQ(calc[TextName::MinBitrateLabel], "");
    EXPECT_EQ(calc[TextName::MaxBitrateLabel], "old max");
    EXPECT_EQ(calc[TextName::QualityFactorLabel], "old factor");
    EXPECT_EQ(calc[TextName::QualityVerdictLabel], "old verdict");
  }
}

// Runs op, expects an ArithmeticError of the given kind and returns its message.
template <typename Op>
std::string ExpectError(Op op, ArithmeticErrorKind kind) {
  try {
    op();
  } catch (const ArithmeticError& error) {
    EXPECT_EQ(error.kind(), kind);
    return error.what();
  }
  ADD_FAILURE() << "no arithmetic error";
  return "";
}

TEST(CalcSize, ErrorsLeaveWhatWasWrittenBeforeTheFailingStep) {
  {  // A negative bitrate: the size and the minimum are emptied, nothing else changes.
    Calc calc;
    calc.File("720", "576", 1.33333, "25.000").Set(TextName::BitrateEdit, "-1000");
    calc.Set(TextName::RecommendEdit, "1:1").Set(TextName::MinBitrateLabel, "m").Set(TextName::MaxBitrateLabel, "M");
    EXPECT_EQ(ExpectError([&] { CalcSize(calc.state, calc.texts); }, ArithmeticErrorKind::InvalidOperation),
              "The target bitrate is negative or too large.");
    EXPECT_EQ(calc[TextName::RecommendEdit], "");
    EXPECT_EQ(calc[TextName::MinBitrateLabel], "");
    EXPECT_EQ(calc[TextName::MaxBitrateLabel], "M");
  }
  {  // 2147484 kbit/s wraps to a negative bit rate.
    Calc calc;
    calc.File("720", "576", 1.33333, "25.000").Set(TextName::BitrateEdit, "2147484");
    ExpectError([&] { CalcSize(calc.state, calc.texts); }, ArithmeticErrorKind::InvalidOperation);
  }
  {  // A height that reads 0.
    Calc calc;
    calc.File("720", "576", 1.33333, "25.000");
    calc.state.HeightText = "0";
    EXPECT_EQ(ExpectError([&] { CalcSize(calc.state, calc.texts); }, ArithmeticErrorKind::DivisionByZero),
              "The frame height is 0.");
    EXPECT_EQ(calc[TextName::RecommendEdit], "");
  }
  {  // Bitrate 0: size 0:0 and bitrates 0 are written, then the quality check has no pixels.
    Calc calc;
    calc.File("720", "576", 1.33333, "25.000").Set(TextName::BitrateEdit, "");
    calc.Set(TextName::QualityVerdictLabel, "old");
    EXPECT_EQ(ExpectError([&] { CalcSize(calc.state, calc.texts); }, ArithmeticErrorKind::InvalidOperation),
              "The target bitrate is too low: the recommended size has no width or no height.");
    EXPECT_EQ(calc[TextName::RecommendEdit], "0:0");
    EXPECT_EQ(calc[TextName::MinBitrateLabel], "Min Bitrate: 0");
    EXPECT_EQ(calc[TextName::MaxBitrateLabel], "Max Bitrate: 0");
    EXPECT_EQ(calc[TextName::QualityVerdictLabel], "old");
  }
  {  // A display ratio so small that the height does not fit in 64 bits.
    Calc calc;
    calc.File("720", "576", 1e-300, "25.000");
    EXPECT_EQ(ExpectError([&] { CalcSize(calc.state, calc.texts); }, ArithmeticErrorKind::InvalidOperation),
              "The aspect ratio of the picture is too large or too small to give a size.");
  }
}

TEST(EvaluateQuality, FactorAndVerdict) {
  const struct {
    const char *size, *frame_rate, *bitrate;
    std::int64_t play_time;
    double quality;
    const char *verdict, *factor;
  } cases[] = {
      {"464:352", "25.000", "1000", 5400, 0.24490595611285265, kGood, "0.245"},
      {"720:576", "25.000", "1000", 5400, 0.09645061728395062, kBad, "0.096"},
      {"464:352", "29.970", "1000", 5400, 0.2111258242352178, kGood, "0.211"},
      {"500:400", "25", "950", 5400, 0.19, kGood, "0.190"},  // exactly 0.19 is good
      {"500:400", "25", "949", 5400, 0.1898, kBad, "0.190"},
      {"500:400", "25", "951", 5400, 0.1902, kGood, "0.190"},
      {"464:352", "25.000", "1000", 60, 0.24490595611285265, kGood, "0.245"},  // the play time cancels out
      {"464:352", "25.000", "1000", -5400, 0.24490595611285265, kGood, "0.245"},
      {"464:352", "25.000", "0", 5400, 0.0, kBad, "0.000"},
      {"464:352", "25.000", "-1000", 5400, -0.24490595611285265, kBad, "-0.245"},
      {"720:576x", "25.000", "1000", 5400, 0.09645061728395062, kBad, "0.096"},
      {"720:576:1", "25.000", "1000", 5400, 0.09645061728395062, kBad, "0.096"},
  };
  for (const auto& c : cases) {
    Calc calc;
    calc.state.PlayTimeSeconds = c.play_time;
    calc.state.FrameRateText = c.frame_rate;
    calc.Set(TextName::BitrateEdit, c.bitrate).Set(TextName::RecommendEdit, c.size);
    CalcReport report;
    CheckNewSize(calc.state, calc.texts, &report);
    SCOPED_TRACE(std::string(c.size) + " " + c.bitrate);
    ASSERT_TRUE(report.quality_factor.has_value());
    EXPECT_EQ(*report.quality_factor, c.quality);
    EXPECT_EQ(calc[TextName::QualityVerdictLabel], c.verdict);
    EXPECT_EQ(calc[TextName::QualityFactorLabel], std::string("Quality factor:  ") + c.factor);
  }
}

TEST(EvaluateQuality, TakesPlayTimeAndFrameRateFromTheBoxesOnceAndKeepsThem) {
  Calc calc;
  calc.Set(TextName::PlayTimeEdit, "5400").Set(TextName::FrameRateEdit, "25").Set(TextName::RecommendEdit, "720:576");
  CheckNewSize(calc.state, calc.texts);
  EXPECT_EQ(calc[TextName::QualityFactorLabel], "Quality factor:  0.096");
  EXPECT_EQ(calc[TextName::QualityVerdictLabel], kBad);
  EXPECT_EQ(calc.state.PlayTimeSeconds, 5400);
  EXPECT_EQ(calc.state.FrameRateText, "25");

  calc.Set(TextName::PlayTimeEdit, "60").Set(TextName::FrameRateEdit, "1").Set(TextName::RecommendEdit, "464:352");
  CheckNewSize(calc.state, calc.texts);
  EXPECT_EQ(calc.state.PlayTimeSeconds, 5400);
  EXPECT_EQ(calc[TextName::QualityFactorLabel], "Quality factor:  0.245");
}

TEST(CheckNewSize, EmptyBitrateOrSizeChangesNothing) {
  for (const char* empty : {"bitrate", "size"}) {
    Calc calc;
    calc.Set(TextName::PlayTimeEdit, "5400").Set(TextName::FrameRateEdit, "25");
    calc.Set(TextName::RecommendEdit, "720:576").Set(TextName::QualityFactorLabel, "old");
    calc.Set(empty == std::string("size") ? TextName::RecommendEdit : TextName::BitrateEdit, "");
    CheckNewSize(calc.state, calc.texts);
    EXPECT_EQ(calc[TextName::QualityFactorLabel], "old");
    EXPECT_EQ(calc.state.PlayTimeSeconds, 0);
    EXPECT_EQ(calc.state.FrameRateText, "");
  }
}

TEST(CheckNewSize, ZeroDivisorNamesTheInputAtFault) {
  const struct {
    const char *size, *frame_rate;
    std::int64_t play_time;
    ArithmeticErrorKind kind;
    const char* message;
  } cases[] = {
      {"720x576", "25", 5400, ArithmeticErrorKind::DivisionByZero,
       "The size has no width or no height: write it as width:height, for example 512:384."},
      {"720: 576", "25", 5400, ArithmeticErrorKind::DivisionByZero,
       "The size has no width or no height: write it as width:height, for example 512:384."},
      {"720:576", "25", 0, ArithmeticErrorKind::InvalidOperation, "The play time is 0 seconds: enter the play time."},
      {"720:576", "0.5", 5400, ArithmeticErrorKind::DivisionByZero, "The frame rate is below 1 frame per second."},
      {"720:576", "", 5400, ArithmeticErrorKind::DivisionByZero, "There is no frame rate: enter the frame rate."},
      {"720:576", " 25", 5400, ArithmeticErrorKind::DivisionByZero,
       "The frame rate \" 25\" has blanks before the number: remove them."},
      {"65536:65536", "25", 5400, ArithmeticErrorKind::DivisionByZero,
       "The frame size, frame rate and play time are too large to work with."},
  };
  for (const auto& c : cases) {
    Calc calc;
    calc.state.PlayTimeSeconds = c.play_time;
    calc.Set(TextName::FrameRateEdit, c.frame_rate).Set(TextName::RecommendEdit, c.size);
    calc.Set(TextName::QualityVerdictLabel, "old verdict").Set(TextName::QualityFactorLabel, "old factor");
    EXPECT_EQ(ExpectError([&] { CheckNewSize(calc.state, calc.texts); }, c.kind), c.message);
    EXPECT_EQ(calc[TextName::QualityVerdictLabel], "old verdict");
    EXPECT_EQ(calc[TextName::QualityFactorLabel], "old factor");
    EXPECT_EQ(calc.state.FrameRateText, c.frame_rate);  // the fill happened before the failing step
  }
}

}  // namespace
}  // namespace framefit
