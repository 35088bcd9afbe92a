#pragma once

// The recommended frame size and the quality check. They read the analysed file's values from
// MediaState and the boxes through NamedTexts, and write their results as texts, each text at the
// moment its step is reached: when an ArithmeticError ends an operation, what was written before
// the failing step stays and nothing after it is written.

#include <cstdint>
#include <optional>

#include "media_state.h"
#include "named_texts.h"

namespace framefit {

inline constexpr std::int32_t ReferenceFrameRate = 25;       // frame rate the size formula assumes
inline constexpr long double TargetBitsPerPixel = 0.25L;     // bits per pixel per frame to aim for
inline constexpr std::int32_t SizeStep = 16;                 // width and height are multiples of it
inline constexpr std::int32_t MinBitrateDivisor = 5000;      // pixels/s / 5000 = kbit/s at 0.2 bpp
inline constexpr std::int32_t MaxBitrateDivisor = 2000;      // pixels/s / 2000 = kbit/s at 0.5 bpp
inline constexpr long double QualityThreshold = 0.19L;       // the extended value nearest 0.19, just below it

// What an operation worked out, step by step, for callers that want numbers rather than texts
// (the command line's JSON). Fields stay empty until their step is reached.
struct CalcReport {
  struct Size {
    std::int32_t width = 0;
    std::int32_t height = 0;
  };
  std::optional<Size> size;
  std::optional<std::int32_t> min_bitrate;
  std::optional<std::int32_t> max_bitrate;
  std::optional<double> quality_factor;
  std::optional<bool> quality_good;
};

// Recommends width:height, multiples of 16, that give 0.25 bits per pixel at 25 frames per second
// for the target bitrate while keeping the display aspect; writes RecommendEdit, the two bitrate
// labels, then judges that size. Does nothing while either ratio is 0.0 or WidthText is empty.
// 720x576 shown 1.33333, 1000 kbit/s, 25.000 fps -> "464:352", "Min Bitrate: 816", "Max Bitrate: 2041".
// A halfway height goes to the even multiple of 16: s = 12.5 gives 192, not 208.
void CalcSize(MediaState& state, NamedTexts& texts, CalcReport* report = nullptr);

// Quality factor = bitrate / (width * height * whole frames per second), shown with three decimals;
// above QualityThreshold is good. Takes the play time and frame rate from the boxes while the state
// has none, and keeps them in the state.
void EvaluateQuality(MediaState& state, NamedTexts& texts, std::int32_t width, std::int32_t height,
                     CalcReport* report = nullptr);

// Judges the size typed into RecommendEdit as width:height ("720:576x" reads 720 and 576).
// Does nothing when BitrateEdit or RecommendEdit is empty.
void CheckNewSize(MediaState& state, NamedTexts& texts, CalcReport* report = nullptr);

}  // namespace framefit
