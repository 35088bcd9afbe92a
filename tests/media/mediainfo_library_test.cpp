// AnalyzeFile with the real media library on the committed fixtures. ctest runs these with the
// locale variables emptied, the case where the environment names no UTF-8 locale.
// The expected texts are what the library (23.04, legacy mode) reports for each fixture.

#include <gtest/gtest.h>
#include <langinfo.h>

#include <clocale>
#include <cstdlib>
#include <ostream>
#include <string>

#include "analyze_file.h"
#include "file_test.h"
#include "media_library.h"
#include "text_codec.h"

namespace framefit {
namespace {

const std::string kFixtures = FRAMEFIT_FIXTURES;

bool LocaleVariableSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

struct Analysis {
  MediaState state;
  MemoryTexts texts;
  std::string Memo() const { return texts.ReadText(TextName::InfoMemo); }
};

// Analyses the file with the boxes and state of an earlier 16:9 file in place.
Analysis Analyze(const std::string& path) {
  SetUpTextLocale();
  Analysis analysis;
  analysis.state = MediaState{1.5, 1.77778, "960", "640", "30", 77};
  analysis.texts.WriteText(TextName::VideoFileEdit, path);
  analysis.texts.WriteText(TextName::PlayTimeEdit, "77");
  analysis.texts.WriteText(TextName::FrameRateEdit, "30");
  analysis.texts.WriteText(TextName::InfoMemo, "Codec: earlier\r\n");
  AnalyzeFile(SystemMediaLibrary(), analysis.state, analysis.texts);
  return analysis;
}

TEST(TextLocale, FallsBackToUtf8WhenTheEnvironmentNamesNoLocale) {
  if (LocaleVariableSet("LC_ALL") || LocaleVariableSet("LC_CTYPE") || LocaleVariableSet("LANG")) {
    GTEST_SKIP() << "the environment names a locale; ctest runs this with none";
  }
  SetUpTextLocale();
  EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C.UTF-8");
  EXPECT_STREQ(nl_langinfo(CODESET), "UTF-8");
}

struct FixtureCase {
  const char* name;
  const char* file;
  const char* width;
  const char* height;
  const char* frame_rate;
  double frame_ratio;
  double display_ratio;
  std::int64_t seconds;
  const char* play_time_edit;
  const char* memo;
};

void PrintTo(const FixtureCase& c, std::ostream* os) { *os << c.file; }

class RealLibraryFullRun : public testing::TestWithParam<FixtureCase> {};

TEST_P(RealLibraryFullRun, ReadsTheFile) {
  const FixtureCase& c = GetParam();
  const std::string path = kFixtures + "/" + c.file;
  ASSERT_TRUE(IsExistingFile(path)) << path;
  const Analysis analysis = Analyze(path);

  EXPECT_EQ(analysis.state.WidthText, c.width);
  EXPECT_EQ(analysis.state.HeightText, c.height);
  EXPECT_EQ(analysis.state.FrameRateText, c.frame_rate);
  EXPECT_DOUBLE_EQ(analysis.state.FrameRatio, c.frame_ratio);
  EXPECT_DOUBLE_EQ(analysis.state.DisplayRatio, c.display_ratio);
  EXPECT_EQ(analysis.state.PlayTimeSeconds, c.seconds);
  EXPECT_EQ(analysis.texts.ReadText(TextName::PlayTimeEdit), c.play_time_edit);
  // Without a frame rate from the file the box keeps the earlier file's.
  EXPECT_EQ(analysis.texts.ReadText(TextName::FrameRateEdit), *c.frame_rate != '\0' ? c.frame_rate : "30");
  EXPECT_EQ(analysis.Memo(), c.memo);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, RealLibraryFullRun,
    testing::Values(
        FixtureCase{"XvidMp3Avi", "xvid_mp3.avi", "720", "576", "25.000", 1.25, 1.333, 2, "2",
                    "Audio Codec: MPEG-1 Audio layer 3\r\n"
                    "Audio Bitrate: 32.0 kb/s\r\n"
                    " Playtime:   00:00:02\r\n"
                    "Container: AVI\r\n"
                    "Codec: XviD\r\n"
                    "Aspect Ratio: 4:3\r\n"
                    "Width and Height:720x576\r\n"
                    "Frame: 25.000\r\n"
                    "Video Bitrate: 128 kb/s\r\n"},
        // Matroska carries no per-stream bit rate: no audio bitrate line, an empty video one.
        FixtureCase{"H264AacMkv", "h264_aac.mkv", "720", "480", "29.970", 1.5, 1.778, 1, "1",
                    "Audio Codec: AAC LC\r\n"
                    " Playtime:   00:00:01\r\n"
                    "Container: Matroska\r\n"
                    "Codec: AVC\r\n"
                    "Aspect Ratio: 16:9\r\n"
                    "Width and Height:720x480\r\n"
                    "Frame: 29.970\r\n"
                    "Video Bitrate: \r\n"},
        FixtureCase{"VideoOnlyMp4", "video_only.mp4", "320", "240", "25.000", 320.0 / 240.0, 1.333, 1, "1",
                    " Playtime:   00:00:01\r\n"
                    "Container: MPEG-4\r\n"
                    "Codec: AVC\r\n"
                    "Aspect Ratio: 4:3\r\n"
                    "Width and Height:320x240\r\n"
                    "Frame: 25.000\r\n"
                    "Video Bitrate: 117 kb/s\r\n"},
        // 400 ms: under one second gives 0 seconds, a play time all the same.
        FixtureCase{"ShortClipAvi", "short_clip.avi", "352", "288", "25.000", 352.0 / 288.0, 1.222, 0, "0",
                    " Playtime:   00:00:00\r\n"
                    "Container: AVI\r\n"
                    "Codec: XviD\r\n"
                    "Aspect Ratio: 1.222\r\n"
                    "Width and Height:352x288\r\n"
                    "Frame: 25.000\r\n"
                    "Video Bitrate: 125 kb/s\r\n"},
        // A UTF-8 name with blanks, opened while the environment names no locale.
        FixtureCase{"NonAsciiName", "Über größe clip.avi", "320", "240", "25.000", 320.0 / 240.0, 1.333, 1, "1",
                    "Audio Codec: MPEG-1 Audio layer 3\r\n"
                    "Audio Bitrate: 32.0 kb/s\r\n"
                    " Playtime:   00:00:01\r\n"
                    "Container: AVI\r\n"
                    "Codec: XviD\r\n"
                    "Aspect Ratio: 4:3\r\n"
                    "Width and Height:320x240\r\n"
                    "Frame: 25.000\r\n"
                    "Video Bitrate: 105 kb/s\r\n"},
        // A raw stream: no play time (the state's earlier 77 s is dropped and the box emptied),
        // no frame rate, no bit rate.
        FixtureCase{"RawStreamWithoutPlayTime", "no_playtime.m4v", "320", "240", "", 320.0 / 240.0, 1.333, 0, "",
                    "  Playtime: n/a\r\n"
                    "Container: MPEG-4 Visual\r\n"
                    "Codec: MPEG-4 Visual\r\n"
                    "Aspect Ratio: 4:3\r\n"
                    "Width and Height:320x240\r\n"
                    "Video Bitrate: \r\n"}),
    [](const testing::TestParamInfo<FixtureCase>& param_info) { return std::string(param_info.param.name); });

class RealLibraryEarlyStop : public testing::TestWithParam<const char*> {};

TEST_P(RealLibraryEarlyStop, LeavesNothingToSize) {
  const Analysis analysis = Analyze(kFixtures + "/" + GetParam());
  EXPECT_EQ(analysis.state.WidthText, "");
  EXPECT_EQ(analysis.state.HeightText, "");
  EXPECT_EQ(analysis.state.FrameRatio, 0.0);
  EXPECT_EQ(analysis.state.DisplayRatio, 1.77778);
  EXPECT_EQ(analysis.state.PlayTimeSeconds, 77);
  EXPECT_EQ(analysis.texts.ReadText(TextName::PlayTimeEdit), "77");
  EXPECT_EQ(analysis.texts.ReadText(TextName::FrameRateEdit), "30");
  EXPECT_EQ(analysis.Memo(), "");
}

INSTANTIATE_TEST_SUITE_P(NoVideo, RealLibraryEarlyStop,
                         testing::Values("audio_only.mp3", "not_media.txt", "no such file.avi"));

TEST(RealLibrary, TruncatedFileIsReadFromItsHeader) {
  const Analysis analysis = Analyze(kFixtures + "/truncated.avi");
  EXPECT_EQ(analysis.state.WidthText, "720");
  EXPECT_EQ(analysis.state.HeightText, "576");
  EXPECT_EQ(analysis.state.FrameRatio, 1.25);
  const std::string memo = analysis.Memo();
  EXPECT_TRUE(memo.starts_with("Audio Codec: MPEG-1 Audio layer 3\r\n")) << memo;
  EXPECT_NE(memo.find("\r\nWidth and Height:720x576\r\nFrame: 25.000\r\nVideo Bitrate: "), std::string::npos)
      << memo;
}

TEST(RealLibrary, RunsInARowShareNothing) {
  Analysis analysis = Analyze(kFixtures + "/xvid_mp3.avi");
  analysis.texts.WriteText(TextName::VideoFileEdit, kFixtures + "/video_only.mp4");
  AnalyzeFile(SystemMediaLibrary(), analysis.state, analysis.texts);
  EXPECT_TRUE(analysis.Memo().starts_with(" Playtime:   00:00:01\r\nContainer: MPEG-4\r\n")) << analysis.Memo();
  EXPECT_EQ(analysis.Memo().find("Audio"), std::string::npos) << analysis.Memo();
}

}  // namespace
}  // namespace framefit
