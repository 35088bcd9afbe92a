#include "analyze_file.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>

#include "number_text.h"
#include "text_codec.h"

namespace framefit {
namespace {

// The library gives these two aspect texts as fractions; the program reads and shows them its way.
constexpr std::string_view kWideAspect = "16/9";
constexpr std::string_view kStandardAspect = "4/3";

// One run's handle and its view of the summary box. The box keeps its own copy of the text, and
// each line sets the box whole to that copy plus the line.
class Run {
 public:
  Run(MediaLibrary& library, NamedTexts& texts) : library_(library), texts_(texts), handle_(library.New()) {}
  ~Run() {
    library_.Close(handle_);
    library_.Delete(handle_);
  }
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  MediaLibrary::Handle handle() const { return handle_; }

  // A wide query, its answer turned into the program's text at once.
  std::string Get(StreamKind kind, const wchar_t* parameter) {
    return FromWide(library_.Get(handle_, kind, parameter));
  }
  std::string GetA(StreamKind kind, const char* parameter) { return library_.GetA(handle_, kind, parameter); }

  void Append(std::string_view text) {
    memo_ += SummaryLine(text);
    texts_.WriteText(TextName::InfoMemo, memo_);
  }
  void AppendWhenGiven(std::string_view label, const std::string& value) {
    if (!value.empty()) Append(std::string(label) + value);
  }

 private:
  MediaLibrary& library_;
  NamedTexts& texts_;
  MediaLibrary::Handle handle_;
  std::string memo_;
};

// hh:mm:ss with at least two digits each; hours are not reduced modulo 24 (360000 -> "100:00:00").
std::string ClockText(std::int32_t seconds) {
  const std::int32_t minutes = seconds / 60;
  char clock[48];
  std::snprintf(clock, sizeof clock, "%.2d:%.2d:%.2d", minutes / 60, minutes % 60, seconds % 60);
  return clock;
}

// Play time in whole seconds as text, from the library's milliseconds; empty when there is none.
// TextToInt stops at a ".", so "5400999.5" reads as 5400999.
std::string SecondsFromMilliseconds(const std::string& milliseconds) {
  if (milliseconds.empty()) return {};
  return IntToText(TextToInt(milliseconds) / 1000);
}

double DisplayRatioFrom(std::string aspect, double frame_ratio) {
  if (aspect.empty()) return frame_ratio;
  if (aspect == kWideAspect) aspect = "1.77778";
  if (aspect == kStandardAspect) aspect = "1.33333";
  return ParseDecimal(aspect);
}

std::string AspectTextFrom(std::string aspect) {
  if (aspect == kWideAspect) return "16:9";
  if (aspect == kStandardAspect) return "4:3";
  return aspect;
}

// The rest of a full run once the frame size is known: ratios, play time, and the summary.
void ReadFullRun(Run& run, MediaState& state, NamedTexts& texts) {
  state.FrameRatio = static_cast<double>(static_cast<long double>(TextToInt(state.WidthText)) /
                                         static_cast<long double>(TextToInt(state.HeightText)));
  state.DisplayRatio = DisplayRatioFrom(run.GetA(StreamKind::Video, "AspectRatio"), state.FrameRatio);
  const std::string aspect_text = AspectTextFrom(run.Get(StreamKind::Video, L"AspectRatio/String"));

  const std::string seconds_text = SecondsFromMilliseconds(run.Get(StreamKind::General, L"PlayTime"));
  state.PlayTimeSeconds = TextToInt(seconds_text);  // empty -> 0: no play time is held
  texts.WriteText(TextName::PlayTimeEdit, seconds_text);

  run.AppendWhenGiven("Audio Codec: ", run.Get(StreamKind::Audio, L"Codec/String"));
  std::string audio_bitrate = run.Get(StreamKind::Audio, L"BitRate/String");
  if (audio_bitrate.empty()) audio_bitrate = run.Get(StreamKind::Audio, L"BitRate");
  run.AppendWhenGiven("Audio Bitrate: ", audio_bitrate);
  run.Append(seconds_text.empty() ? "  Playtime: n/a" : " Playtime:   " + ClockText(TextToInt(seconds_text)));
  run.AppendWhenGiven("Container: ", run.Get(StreamKind::General, L"Format"));
  run.AppendWhenGiven("Codec: ", run.Get(StreamKind::Video, L"Codec/String"));
  run.AppendWhenGiven("Aspect Ratio: ", aspect_text);
  run.Append("Width and Height:" + state.WidthText + "x" + state.HeightText);
  if (!state.FrameRateText.empty()) {
    run.Append("Frame: " + state.FrameRateText);
    texts.WriteText(TextName::FrameRateEdit, state.FrameRateText);
  }
  std::string video_bitrate = run.GetA(StreamKind::Video, "BitRate/String");
  if (video_bitrate.empty()) video_bitrate = run.GetA(StreamKind::Video, "Bitrate");  // lower-case r, unlike the audio query
  run.Append("Video Bitrate: " + video_bitrate);
}

}  // namespace

std::string SummaryLine(std::string_view text) { return std::string(text) + "\r\n"; }

void AnalyzeFile(MediaLibrary& library, MediaState& state, NamedTexts& texts) {
  texts.WriteText(TextName::InfoMemo, "");
  const std::optional<std::wstring> file_name = ToWide(texts.ReadText(TextName::VideoFileEdit));
  if (!file_name) {
    // The library cannot open a name that is not text; answer as it does for a file it cannot open.
    state.WidthText.clear();
    state.HeightText.clear();
    state.FrameRateText.clear();
    state.FrameRatio = 0.0;
    return;
  }

  Run run(library, texts);
  // Codec names are answered only in legacy mode, and only when it is on before the file opens.
  library.Option(L"Legacy", L"1");
  library.Open(run.handle(), *file_name);
  library.Option(L"Complete", L"");
  library.Inform(run.handle());
  library.Option(L"Complete", L"1");
  library.Option(L"Inform", L"General;Width=%Width%");
  library.Inform(run.handle());

  state.WidthText = run.Get(StreamKind::Video, L"Width");
  state.HeightText = run.Get(StreamKind::Video, L"Height");
  state.FrameRateText = run.Get(StreamKind::Video, L"FrameRate");
  // A height that reads 0 would divide by zero; like a missing one it leaves nothing to size.
  if (state.WidthText.empty() || state.HeightText.empty() || TextToInt(state.HeightText) == 0) {
    state.FrameRatio = 0.0;
    return;
  }
  ReadFullRun(run, state, texts);
}

}  // namespace framefit
