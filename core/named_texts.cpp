#include "named_texts.h"

namespace framefit {

const char* TextNameString(TextName name) {
  switch (name) {
    case TextName::VideoFileEdit: return "VideoFileEdit";
    case TextName::BitrateEdit: return "BitrateEdit";
    case TextName::RecommendEdit: return "RecommendEdit";
    case TextName::PlayTimeEdit: return "PlayTimeEdit";
    case TextName::FrameRateEdit: return "FrameRateEdit";
    case TextName::InfoMemo: return "InfoMemo";
    case TextName::MinBitrateLabel: return "MinBitrateLabel";
    case TextName::MaxBitrateLabel: return "MaxBitrateLabel";
    case TextName::QualityFactorLabel: return "QualityFactorLabel";
    case TextName::QualityVerdictLabel: return "QualityVerdictLabel";
  }
  return "";
}

}  // namespace framefit
