#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace framefit {

// The boxes and labels through which the calculations and the analysis talk to the window.
enum class TextName {
  VideoFileEdit,
  BitrateEdit,
  RecommendEdit,
  PlayTimeEdit,
  FrameRateEdit,
  InfoMemo,
  MinBitrateLabel,
  MaxBitrateLabel,
  QualityFactorLabel,
  QualityVerdictLabel,
};
inline constexpr std::size_t kTextNameCount = 10;

// "VideoFileEdit", "BitrateEdit", ...: the control's name as the program spells it.
const char* TextNameString(TextName name);

// Reading gives the current contents; writing replaces them whole. The window implements this
// over its widgets; MemoryTexts serves the command line and the tests.
class NamedTexts {
 public:
  virtual ~NamedTexts() = default;
  virtual std::string ReadText(TextName name) const = 0;
  virtual void WriteText(TextName name, std::string_view text) = 0;
};

class MemoryTexts final : public NamedTexts {
 public:
  std::string ReadText(TextName name) const override { return texts_[static_cast<std::size_t>(name)]; }
  void WriteText(TextName name, std::string_view text) override {
    texts_[static_cast<std::size_t>(name)] = std::string(text);
  }

 private:
  std::array<std::string, kTextNameCount> texts_;
};

}  // namespace framefit
