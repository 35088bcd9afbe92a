#include "size_calc.h"

#include <cmath>
#include <string>

#include "arithmetic_error.h"
#include "number_text.h"

namespace framefit {

namespace {

constexpr char kHeightZero[] = "The frame height is 0.";
constexpr char kWidthZero[] = "The frame width is 0.";
constexpr char kAspectUnusable[] = "The aspect ratio of the picture is too large or too small to give a size.";
constexpr char kAspectNegative[] = "The aspect ratio of the picture is negative.";
constexpr char kBitrateNegative[] = "The target bitrate is negative or too large.";
constexpr char kBitrateTooLow[] =
    "The target bitrate is too low: the recommended size has no width or no height.";
constexpr char kSizeEmpty[] =
    "The size has no width or no height: write it as width:height, for example 512:384.";

[[noreturn]] void Fail(ArithmeticErrorKind kind, const char* message) { throw ArithmeticError(kind, message); }

// Every result is checked, since the hardware exceptions stay masked.
long double Checked(long double result, const char* message) {
  if (std::isnan(result)) Fail(ArithmeticErrorKind::InvalidOperation, message);
  if (std::isinf(result)) Fail(ArithmeticErrorKind::Overflow, message);
  return result;
}

long double Divide(long double dividend, long double divisor, const char* message) {
  if (divisor == 0.0L)
    Fail(dividend == 0.0L ? ArithmeticErrorKind::InvalidOperation : ArithmeticErrorKind::DivisionByZero, message);
  return Checked(dividend / divisor, message);
}

double StoreDouble(long double value, const char* message) {
  const double stored = static_cast<double>(value);
  if (std::isinf(stored)) Fail(ArithmeticErrorKind::Overflow, message);
  return stored;
}

std::int32_t WrapMul(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

std::int64_t WrapMul64(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) * static_cast<std::uint64_t>(b));
}

// The low 32 bits of the rounded value, as the integers of the calculation keep them.
std::int32_t RoundLow32(long double value, const char* message) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(RoundToInt(value, message)));
}

// Target bitrate in bit/s; the text is in kbit/s and the product wraps at 32 bits.
std::int32_t BitrateBits(const NamedTexts& texts) { return WrapMul(TextToInt(texts.ReadText(TextName::BitrateEdit)), 1000); }

// Why the pixels over the play time came to 0, for the person who has to fix the input.
std::string ZeroDivisorMessage(const MediaState& state, std::int32_t frames_per_second, std::int32_t width,
                               std::int32_t height, const char* zero_size_message) {
  if (state.PlayTimeSeconds == 0) return "The play time is 0 seconds: enter the play time.";
  if (frames_per_second == 0) {
    const std::string& rate = state.FrameRateText;
    if (rate.empty()) return "There is no frame rate: enter the frame rate.";
    if (TrimText(rate) != rate) return "The frame rate \"" + rate + "\" has blanks before the number: remove them.";
    return "The frame rate is below 1 frame per second.";
  }
  if (width == 0 || height == 0) return zero_size_message;
  return "The frame size, frame rate and play time are too large to work with.";
}

void Judge(MediaState& state, NamedTexts& texts, std::int32_t width, std::int32_t height, CalcReport* report,
           const char* zero_size_message) {
  if (state.PlayTimeSeconds == 0) state.PlayTimeSeconds = TextToInt(texts.ReadText(TextName::PlayTimeEdit));
  if (state.FrameRateText.empty()) state.FrameRateText = texts.ReadText(TextName::FrameRateEdit);

  const std::int64_t bits = WrapMul64(BitrateBits(texts), state.PlayTimeSeconds);
  const std::int64_t pixels_per_frame = WrapMul(width, height);
  // Only whole frames per second count; the untrimmed text, so a leading blank reads 0.
  const std::int32_t frames_per_second = TextToInt(state.FrameRateText);
  const std::int64_t frames = WrapMul64(state.PlayTimeSeconds, frames_per_second);
  const std::int64_t pixels = WrapMul64(pixels_per_frame, frames);
  if (pixels == 0) {
    Fail(bits == 0 ? ArithmeticErrorKind::InvalidOperation : ArithmeticErrorKind::DivisionByZero,
         ZeroDivisorMessage(state, frames_per_second, width, height, zero_size_message).c_str());
  }
  // Both 64-bit integers convert exactly to extended precision; only the quotient is rounded.
  const double quality = static_cast<double>(static_cast<long double>(bits) / static_cast<long double>(pixels));
  const bool good = quality > QualityThreshold;

  texts.WriteText(TextName::QualityVerdictLabel,
                  good ? "Quality is good" : "Quality is bad. change the size or the bitrate");
  texts.WriteText(TextName::QualityFactorLabel, "Quality factor:  " + FormatFixed(quality, 3));
  if (report != nullptr) {
    report->quality_factor = quality;
    report->quality_good = good;
  }
}

}  // namespace

void EvaluateQuality(MediaState& state, NamedTexts& texts, std::int32_t width, std::int32_t height,
                     CalcReport* report) {
  Judge(state, texts, width, height, report, kSizeEmpty);
}

void CalcSize(MediaState& state, NamedTexts& texts, CalcReport* report) {
  if (state.DisplayRatio == 0.0 || state.FrameRatio == 0.0 || state.WidthText.empty()) return;
  texts.WriteText(TextName::MinBitrateLabel, "");
  texts.WriteText(TextName::RecommendEdit, "");

  // The picture's aspect: W0 * (display / frame) / H0, which is the display ratio itself when the
  // frame ratio came from the same width and height; kept as a double.
  const std::int32_t frame_width = TextToInt(state.WidthText);
  const long double widened =
      Checked(frame_width * Divide(state.DisplayRatio, state.FrameRatio, kAspectUnusable), kAspectUnusable);
  const std::int32_t frame_height = TextToInt(state.HeightText);
  const double aspect = StoreDouble(Divide(widened, frame_height, kHeightZero), kAspectUnusable);

  const std::int32_t bits = BitrateBits(texts);

  // Height of a picture of that aspect holding bits / 25 / 0.25 pixels, to the nearest multiple of 16.
  long double pixels = static_cast<long double>(bits) / ReferenceFrameRate;
  pixels = Divide(pixels, aspect, frame_width == 0 ? kWidthZero : kAspectUnusable) / TargetBitsPerPixel;
  if (pixels < 0.0L) Fail(ArithmeticErrorKind::InvalidOperation, bits < 0 ? kBitrateNegative : kAspectNegative);
  const long double height_steps = std::sqrt(pixels) / SizeStep;
  const std::int32_t height = WrapMul(RoundLow32(height_steps, kAspectUnusable), SizeStep);
  // The width follows from the rounded height, not from the unrounded one.
  const long double width_steps = Checked(static_cast<long double>(height) * aspect, kAspectUnusable) / SizeStep;
  const std::int32_t width = WrapMul(RoundLow32(width_steps, kAspectUnusable), SizeStep);

  texts.WriteText(TextName::RecommendEdit, IntToText(width) + ":" + IntToText(height));
  if (report != nullptr) report->size = CalcReport::Size{width, height};

  const std::string frame_rate = TrimText(state.FrameRateText);
  if (frame_rate.empty()) return;
  // Whole frames per second from at most four leading characters: "119.880" -> 119, "12345" -> 1234.
  const std::int32_t frames_per_second = TextToInt(std::string_view(frame_rate).substr(0, 4));
  const std::int32_t pixels_per_second = WrapMul(WrapMul(width, height), frames_per_second);
  const std::int32_t min_bitrate = pixels_per_second / MinBitrateDivisor;
  const std::int32_t max_bitrate = pixels_per_second / MaxBitrateDivisor;
  texts.WriteText(TextName::MinBitrateLabel, "Min Bitrate: " + IntToText(min_bitrate));
  if (report != nullptr) report->min_bitrate = min_bitrate;
  texts.WriteText(TextName::MaxBitrateLabel, "Max Bitrate: " + IntToText(max_bitrate));
  if (report != nullptr) report->max_bitrate = max_bitrate;

  Judge(state, texts, width, height, report, kBitrateTooLow);
}

void CheckNewSize(MediaState& state, NamedTexts& texts, CalcReport* report) {
  if (texts.ReadText(TextName::BitrateEdit).empty()) return;
  const std::string size = texts.ReadText(TextName::RecommendEdit);
  if (size.empty()) return;
  // Width before the first ":", height after it; without ":" the whole text is the height.
  const std::size_t colon = size.find(':');
  const std::int32_t width = colon == std::string::npos ? 0 : TextToInt(std::string_view(size).substr(0, colon));
  const std::int32_t height =
      TextToInt(colon == std::string::npos ? std::string_view(size) : std::string_view(size).substr(colon + 1));
  if (report != nullptr) report->size = CalcReport::Size{width, height};
  EvaluateQuality(state, texts, width, height, report);
}

}  // namespace framefit
