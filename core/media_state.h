#pragma once

#include <cstdint>
#include <string>

namespace framefit {

// The values kept from the analysed file. A ratio of 0.0, an empty text or a play time of 0
// means the file gave no value.
struct MediaState {
  double FrameRatio = 0.0;    // stored width / stored height
  double DisplayRatio = 0.0;  // width / height as shown
  std::string WidthText;
  std::string HeightText;
  std::string FrameRateText;
  std::int64_t PlayTimeSeconds = 0;
};

}  // namespace framefit
