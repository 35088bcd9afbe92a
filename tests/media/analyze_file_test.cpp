// AnalyzeFile against a scripted library: the calls and their order, the early stop, and how the
// library's texts become MediaState, the boxes and the summary.

#include "analyze_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "scripted_library.h"
#include "text_codec.h"

namespace framefit {
namespace {

// Writes to the boxes go into the library's record, so a test sees them between the calls.
class RecordedTexts final : public NamedTexts {
 public:
  explicit RecordedTexts(ScriptedLibrary& library) : library_(library) {}
  std::string ReadText(TextName name) const override { return texts_.ReadText(name); }
  void WriteText(TextName name, std::string_view text) override {
    library_.Note(std::string(TextNameString(name)) + "=" + std::string(text));
    texts_.WriteText(name, text);
  }

 private:
  ScriptedLibrary& library_;
  MemoryTexts texts_;
};

// A 4:3 PAL file with every value present.
ScriptedLibrary::Answers FullAnswers() {
  return {
      {{StreamKind::Video, "Width"}, "720"},
      {{StreamKind::Video, "Height"}, "576"},
      {{StreamKind::Video, "FrameRate"}, "25.000"},
      {{StreamKind::Video, "AspectRatio"}, "4/3"},
      {{StreamKind::Video, "AspectRatio/String"}, "4/3"},
      {{StreamKind::General, "PlayTime"}, "5400000"},
      {{StreamKind::Audio, "Codec/String"}, "MPEG-1 Audio layer 3"},
      {{StreamKind::Audio, "BitRate/String"}, "128 kb/s"},
      {{StreamKind::General, "Format"}, "AVI"},
      {{StreamKind::Video, "Codec/String"}, "XviD"},
      {{StreamKind::Video, "BitRate/String"}, "1 000 kb/s"},
  };
}

ScriptedLibrary::Answers With(ScriptedLibrary::Answers answers, const ScriptedLibrary::Answers& changes) {
  for (const auto& [key, value] : changes) answers[key] = value;
  return answers;
}

// The state and boxes left by an earlier file, so a test sees what a run overwrites.
struct Window {
  MediaState state{1.5, 1.5, "800", "600", "30", 77};
  MemoryTexts texts;
  Window() {
    SetUpTextLocale();
    texts.WriteText(TextName::VideoFileEdit, "/videos/clip.avi");
    texts.WriteText(TextName::PlayTimeEdit, "77");
    texts.WriteText(TextName::FrameRateEdit, "30");
    texts.WriteText(TextName::InfoMemo, "Codec: earlier\r\n");
  }
  void Analyze(const ScriptedLibrary::Answers& answers) {
    ScriptedLibrary library(answers);
    AnalyzeFile(library, state, texts);
  }
  std::string Memo() const { return texts.ReadText(TextName::InfoMemo); }
};

const std::vector<std::string> kOpening = {
    "New",      "Option Legacy=1",   "Open /videos/clip.avi",
    "Option Complete=", "Inform", "Option Complete=1",
    "Option Inform=General;Width=%Width%", "Inform", "Get Video Width",
    "Get Video Height", "Get Video FrameRate",
};

std::vector<std::string> Joined(std::vector<std::string> first, const std::vector<std::string>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

TEST(AnalyzeFileCalls, FullRunInterleavesCallsAndBoxWrites) {
  SetUpTextLocale();
  ScriptedLibrary library(FullAnswers());
  RecordedTexts texts(library);
  texts.WriteText(TextName::VideoFileEdit, "/videos/clip.avi");
  MediaState state;
  AnalyzeFile(library, state, texts);

  std::string memo;
  auto memo_with = [&memo](const std::string& line) {
    memo += line + "\r\n";
    return "InfoMemo=" + memo;
  };
  std::vector<std::string> expected = {"VideoFileEdit=/videos/clip.avi", "InfoMemo="};
  expected = Joined(expected, kOpening);
  expected = Joined(expected, {
      "GetA Video AspectRatio",
      "Get Video AspectRatio/String",
      "Get General PlayTime",
      "PlayTimeEdit=5400",
      "Get Audio Codec/String",
      memo_with("Audio Codec: MPEG-1 Audio layer 3"),
      "Get Audio BitRate/String",
      memo_with("Audio Bitrate: 128 kb/s"),
      memo_with(" Playtime:   01:30:00"),
      "Get General Format",
      memo_with("Container: AVI"),
      "Get Video Codec/String",
      memo_with("Codec: XviD"),
      memo_with("Aspect Ratio: 4:3"),
      memo_with("Width and Height:720x576"),
      memo_with("Frame: 25.000"),
      "FrameRateEdit=25.000",
      "GetA Video BitRate/String",
      memo_with("Video Bitrate: 1 000 kb/s"),
      "Close",
      "Delete",
  });
  EXPECT_EQ(library.Calls(), expected);
}

TEST(AnalyzeFileCalls, EmptyBitrateStringsAskForThePlainBitrates) {
  SetUpTextLocale();
  ScriptedLibrary library(With(FullAnswers(), {{{StreamKind::Audio, "BitRate/String"}, ""},
                                               {{StreamKind::Audio, "BitRate"}, "128000"},
                                               {{StreamKind::Video, "BitRate/String"}, ""},
                                               {{StreamKind::Video, "Bitrate"}, "1000000"}}));
  MemoryTexts texts;
  texts.WriteText(TextName::VideoFileEdit, "/videos/clip.avi");
  MediaState state;
  AnalyzeFile(library, state, texts);

  EXPECT_EQ(library.Calls(), Joined(kOpening, {"GetA Video AspectRatio", "Get Video AspectRatio/String",
                                               "Get General PlayTime", "Get Audio Codec/String",
                                               "Get Audio BitRate/String", "Get Audio BitRate",
                                               "Get General Format", "Get Video Codec/String",
                                               "GetA Video BitRate/String", "GetA Video Bitrate", "Close",
                                               "Delete"}));
  const std::string memo = texts.ReadText(TextName::InfoMemo);
  EXPECT_NE(memo.find("Audio Bitrate: 128000\r\n"), std::string::npos) << memo;
  EXPECT_TRUE(memo.ends_with("\r\nVideo Bitrate: 1000000\r\n")) << memo;
}

struct EarlyStopCase {
  const char* width;
  const char* height;
  const char* frame_rate;
};

void PrintTo(const EarlyStopCase& c, std::ostream* os) {
  *os << "width \"" << c.width << "\" height \"" << c.height << "\"";
}

class AnalyzeFileEarlyStop : public testing::TestWithParam<EarlyStopCase> {};

TEST_P(AnalyzeFileEarlyStop, ClosesAfterTheSizeAndWritesOnlyTheSizeTexts) {
  const EarlyStopCase& c = GetParam();
  ScriptedLibrary library(With(FullAnswers(), {{{StreamKind::Video, "Width"}, c.width},
                                               {{StreamKind::Video, "Height"}, c.height},
                                               {{StreamKind::Video, "FrameRate"}, c.frame_rate}}));
  Window window;
  AnalyzeFile(library, window.state, window.texts);

  EXPECT_EQ(library.Calls(), Joined(kOpening, {"Close", "Delete"}));
  EXPECT_EQ(window.state.FrameRatio, 0.0);
  EXPECT_EQ(window.state.WidthText, c.width);
  EXPECT_EQ(window.state.HeightText, c.height);
  EXPECT_EQ(window.state.FrameRateText, c.frame_rate);
  EXPECT_EQ(window.state.DisplayRatio, 1.5);
  EXPECT_EQ(window.state.PlayTimeSeconds, 77);
  EXPECT_EQ(window.texts.ReadText(TextName::PlayTimeEdit), "77");
  EXPECT_EQ(window.texts.ReadText(TextName::FrameRateEdit), "30");
  EXPECT_EQ(window.Memo(), "");
}

INSTANTIATE_TEST_SUITE_P(NoUsableSize, AnalyzeFileEarlyStop,
                         testing::Values(EarlyStopCase{"", "576", "25.000"}, EarlyStopCase{"720", "", "25.000"},
                                         EarlyStopCase{"720", "0", "25.000"}, EarlyStopCase{"720", "abc", ""},
                                         EarlyStopCase{"", "", ""}));

TEST(AnalyzeFileCalls, FileNameThatIsNotTextCallsNothing) {
  SetUpTextLocale();
  ScriptedLibrary library(FullAnswers());
  Window window;
  window.texts.WriteText(TextName::VideoFileEdit, "/videos/\xff.avi");
  AnalyzeFile(library, window.state, window.texts);

  EXPECT_TRUE(library.Calls().empty());
  EXPECT_EQ(window.state.FrameRatio, 0.0);
  EXPECT_EQ(window.state.WidthText, "");
  EXPECT_EQ(window.state.HeightText, "");
  EXPECT_EQ(window.state.FrameRateText, "");
  EXPECT_EQ(window.state.PlayTimeSeconds, 77);
  EXPECT_EQ(window.Memo(), "");
}

struct AspectCase {
  const char* aspect;         // video "AspectRatio", 8-bit query
  const char* aspect_string;  // video "AspectRatio/String"
  const char* width;
  const char* height;
  double frame_ratio;
  double display_ratio;
  const char* aspect_line;  // nullptr: no aspect line
};

void PrintTo(const AspectCase& c, std::ostream* os) {
  *os << "\"" << c.aspect << "\" / \"" << c.aspect_string << "\"";
}

class AnalyzeFileAspect : public testing::TestWithParam<AspectCase> {};

TEST_P(AnalyzeFileAspect, SetsRatiosAndTheAspectLine) {
  const AspectCase& c = GetParam();
  Window window;
  window.Analyze(With(FullAnswers(), {{{StreamKind::Video, "AspectRatio"}, c.aspect},
                                      {{StreamKind::Video, "AspectRatio/String"}, c.aspect_string},
                                      {{StreamKind::Video, "Width"}, c.width},
                                      {{StreamKind::Video, "Height"}, c.height}}));
  EXPECT_EQ(window.state.FrameRatio, c.frame_ratio);
  EXPECT_EQ(window.state.DisplayRatio, c.display_ratio);
  const std::string memo = window.Memo();
  if (c.aspect_line == nullptr) {
    EXPECT_EQ(memo.find("Aspect Ratio"), std::string::npos) << memo;
  } else {
    EXPECT_NE(memo.find(std::string("\r\n") + c.aspect_line + "\r\nWidth and Height:"), std::string::npos) << memo;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AnalyzeFileAspect,
    testing::Values(AspectCase{"4/3", "4/3", "720", "576", 1.25, 1.33333, "Aspect Ratio: 4:3"},
                    AspectCase{"16/9", "16/9", "720", "576", 1.25, 1.77778, "Aspect Ratio: 16:9"},
                    AspectCase{"1.85", "1.85:1", "720", "576", 1.25, 1.85, "Aspect Ratio: 1.85:1"},
                    AspectCase{"2.35:1", "2.35:1", "720", "576", 1.25, 2.35, "Aspect Ratio: 2.35:1"},
                    AspectCase{"5/4", "16:9", "720", "576", 1.25, 5.0, "Aspect Ratio: 16:9"},
                    // Only the whole text matches: with a blank it is read as a decimal and shown as is.
                    AspectCase{" 16/9", "16/9 ", "720", "576", 1.25, 16.0, "Aspect Ratio: 16/9 "},
                    // Without an aspect ratio the picture is shown as stored: 640/480, not 1.33333.
                    AspectCase{"", "", "640", "480", 640.0 / 480.0, 640.0 / 480.0, nullptr}));

struct PlayTimeCase {
  const char* milliseconds;
  const char* play_time_edit;
  std::int64_t seconds;
  const char* line;
};

void PrintTo(const PlayTimeCase& c, std::ostream* os) { *os << "\"" << c.milliseconds << "\" ms"; }

class AnalyzeFilePlayTime : public testing::TestWithParam<PlayTimeCase> {};

TEST_P(AnalyzeFilePlayTime, FillsTheBoxTheStateAndTheFirstLine) {
  const PlayTimeCase& c = GetParam();
  Window window;
  // Without audio the play-time line is the first one.
  window.Analyze(With(FullAnswers(), {{{StreamKind::General, "PlayTime"}, c.milliseconds},
                                      {{StreamKind::Audio, "Codec/String"}, ""},
                                      {{StreamKind::Audio, "BitRate/String"}, ""}}));
  EXPECT_EQ(window.texts.ReadText(TextName::PlayTimeEdit), c.play_time_edit);
  EXPECT_EQ(window.state.PlayTimeSeconds, c.seconds);
  EXPECT_TRUE(window.Memo().starts_with(std::string(c.line) + "\r\nContainer: AVI\r\n")) << window.Memo();
}

INSTANTIATE_TEST_SUITE_P(
    Milliseconds, AnalyzeFilePlayTime,
    testing::Values(PlayTimeCase{"5400000", "5400", 5400, " Playtime:   01:30:00"},
                    PlayTimeCase{"5400999.5", "5400", 5400, " Playtime:   01:30:00"},
                    PlayTimeCase{"999", "0", 0, " Playtime:   00:00:00"},
                    PlayTimeCase{"90061000", "90061", 90061, " Playtime:   25:01:01"},
                    PlayTimeCase{"360000000", "360000", 360000, " Playtime:   100:00:00"},
                    // No play time: the box is emptied and the earlier file's 77 s are not kept.
                    PlayTimeCase{"", "", 0, "  Playtime: n/a"}));

struct SummaryCase {
  const char* name;
  ScriptedLibrary::Answers changes;
  const char* memo;
};

void PrintTo(const SummaryCase& c, std::ostream* os) { *os << c.name; }

class AnalyzeFileSummary : public testing::TestWithParam<SummaryCase> {};

TEST_P(AnalyzeFileSummary, WritesTheWholeSummary) {
  Window window;
  window.Analyze(With(FullAnswers(), GetParam().changes));
  EXPECT_EQ(window.Memo(), GetParam().memo);
}

INSTANTIATE_TEST_SUITE_P(
    Files, AnalyzeFileSummary,
    testing::Values(
        SummaryCase{"Everything", {},
                    "Audio Codec: MPEG-1 Audio layer 3\r\nAudio Bitrate: 128 kb/s\r\n Playtime:   01:30:00\r\n"
                    "Container: AVI\r\nCodec: XviD\r\nAspect Ratio: 4:3\r\nWidth and Height:720x576\r\n"
                    "Frame: 25.000\r\nVideo Bitrate: 1 000 kb/s\r\n"},
        SummaryCase{"AudioBitrateFallsBackToNumber",
                    {{{StreamKind::Audio, "BitRate/String"}, ""}, {{StreamKind::Audio, "BitRate"}, "96000"}},
                    "Audio Codec: MPEG-1 Audio layer 3\r\nAudio Bitrate: 96000\r\n Playtime:   01:30:00\r\n"
                    "Container: AVI\r\nCodec: XviD\r\nAspect Ratio: 4:3\r\nWidth and Height:720x576\r\n"
                    "Frame: 25.000\r\nVideo Bitrate: 1 000 kb/s\r\n"},
        SummaryCase{"NothingButTheSize",
                    {{{StreamKind::Video, "AspectRatio"}, ""},
                     {{StreamKind::Video, "AspectRatio/String"}, ""},
                     {{StreamKind::Video, "FrameRate"}, ""},
                     {{StreamKind::General, "PlayTime"}, ""},
                     {{StreamKind::Audio, "Codec/String"}, ""},
                     {{StreamKind::Audio, "BitRate/String"}, ""},
                     {{StreamKind::General, "Format"}, ""},
                     {{StreamKind::Video, "Codec/String"}, ""},
                     {{StreamKind::Video, "BitRate/String"}, ""}},
                    "  Playtime: n/a\r\nWidth and Height:720x576\r\nVideo Bitrate: \r\n"},
        // Values go in as the library gives them, blanks and all.
        SummaryCase{"ValuesUntouched",
                    {{{StreamKind::Audio, "Codec/String"}, " AAC LC "},
                     {{StreamKind::Video, "Width"}, "720 pixels"},
                     {{StreamKind::Video, "FrameRate"}, "29.970 (30000/1001)"},
                     {{StreamKind::Video, "Codec/String"}, "Größe"}},
                    "Audio Codec:  AAC LC \r\nAudio Bitrate: 128 kb/s\r\n Playtime:   01:30:00\r\n"
                    "Container: AVI\r\nCodec: Größe\r\nAspect Ratio: 4:3\r\nWidth and Height:720 pixelsx576\r\n"
                    "Frame: 29.970 (30000/1001)\r\nVideo Bitrate: 1 000 kb/s\r\n"}),
    [](const testing::TestParamInfo<SummaryCase>& param_info) { return std::string(param_info.param.name); });

TEST(AnalyzeFileBoxes, FrameRateBoxKeepsItsTextWhenTheFileHasNone) {
  Window window;
  window.Analyze(With(FullAnswers(), {{{StreamKind::Video, "FrameRate"}, ""}}));
  EXPECT_EQ(window.state.FrameRateText, "");
  EXPECT_EQ(window.texts.ReadText(TextName::FrameRateEdit), "30");
  EXPECT_NE(window.Memo().find("Width and Height:720x576\r\nVideo Bitrate: "), std::string::npos) << window.Memo();

  window.Analyze(FullAnswers());
  EXPECT_EQ(window.texts.ReadText(TextName::FrameRateEdit), "25.000");
}

TEST(AnalyzeFileBoxes, SecondRunReplacesTheFirstRunsSummary) {
  Window window;
  window.Analyze(FullAnswers());
  window.Analyze(With(FullAnswers(), {{{StreamKind::Audio, "Codec/String"}, ""},
                                      {{StreamKind::Audio, "BitRate/String"}, ""},
                                      {{StreamKind::General, "Format"}, "Matroska"}}));
  EXPECT_EQ(window.Memo(),
            " Playtime:   01:30:00\r\nContainer: Matroska\r\nCodec: XviD\r\nAspect Ratio: 4:3\r\n"
            "Width and Height:720x576\r\nFrame: 25.000\r\nVideo Bitrate: 1 000 kb/s\r\n");

  window.Analyze(With(FullAnswers(), {{{StreamKind::Video, "Width"}, ""}}));
  EXPECT_EQ(window.Memo(), "");
  EXPECT_EQ(window.state.FrameRatio, 0.0);
  EXPECT_EQ(window.state.DisplayRatio, 1.33333);  // kept from the run before
}

}  // namespace
}  // namespace framefit
