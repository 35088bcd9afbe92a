// framefit-cli run as a real binary: what a person at a terminal, or a script, gets.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "run_process.h"

namespace framefit {
namespace {

using testing::ProcessResult;
using testing::RunProcess;
using Json = nlohmann::json;

ProcessResult Cli(const std::vector<std::string>& args) { return RunProcess(FRAMEFIT_CLI, args); }

std::string Fixture(const std::string& name) { return std::string(FRAMEFIT_FIXTURES) + "/" + name; }

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// A 720x576 PAL stream, without its display aspect.
const std::vector<std::string> kPal = {"--width", "720", "--height", "576", "--frame-rate", "25.000", "--seconds", "5400"};
const std::vector<std::string> kPalStream = With(kPal, {"--aspect", "1.33333"});

TEST(CliWhatIf, RecommendsTheWorkedExample) {
  const ProcessResult plain = Cli(kPalStream);
  EXPECT_EQ(plain.exit_status, 0) << plain.err;
  EXPECT_EQ(plain.out,
            "Recommend size: 464:352\n"
            "Min Bitrate: 816\n"
            "Max Bitrate: 2041\n"
            "Quality factor:  0.245\n"
            "Quality is good\n");
  EXPECT_EQ(plain.err, "");

  const ProcessResult json_run = Cli(With(kPalStream, {"--json"}));
  ASSERT_EQ(json_run.exit_status, 0) << json_run.err;
  ASSERT_EQ(json_run.out.find('\n'), json_run.out.size() - 1);  // one line
  const Json json = Json::parse(json_run.out);
  EXPECT_EQ(json["texts"]["RecommendEdit"], "464:352");
  EXPECT_EQ(json["texts"]["QualityFactorLabel"], "Quality factor:  0.245");
  EXPECT_EQ(json["texts"]["QualityVerdictLabel"], "Quality is good");
  EXPECT_EQ(json["texts"]["InfoMemo"], "");
  EXPECT_EQ(json["size"], (Json{{"width", 464}, {"height", 352}}));
  EXPECT_EQ(json["min_bitrate"], 816);
  EXPECT_EQ(json["max_bitrate"], 2041);
  EXPECT_EQ(json["quality_factor"].get<double>(), 0.24490595611285265);
  EXPECT_EQ(json["quality_good"], true);
  EXPECT_TRUE(json["error"].is_null());
}

TEST(CliWhatIf, AspectAsARatioMeansTheQuotient) {
  const Json by_ratio = Json::parse(Cli(With(kPal, {"--aspect", "16:9", "--json"})).out);
  const Json by_decimal = Json::parse(Cli(With(kPal, {"--aspect", "1.7777777777777777", "--json"})).out);
  EXPECT_EQ(by_ratio, by_decimal);
  EXPECT_EQ(by_ratio["texts"]["RecommendEdit"], "544:304");
  // Without --aspect the display aspect is the frame's own, 720:576.
  EXPECT_EQ(Json::parse(Cli(With(kPal, {"--json"})).out)["texts"]["RecommendEdit"], "448:352");
}

TEST(CliWhatIf, JudgesAGivenSizeFromTheBoxes) {
  // No stream at all: the play time and frame rate come from the boxes, as in the window.
  const ProcessResult run = Cli({"--size", "720:576", "--playtime", "5400", "--fps", "25", "--json"});
  ASSERT_EQ(run.exit_status, 0) << run.err;
  const Json json = Json::parse(run.out);
  EXPECT_EQ(json["texts"]["QualityFactorLabel"], "Quality factor:  0.096");
  EXPECT_EQ(json["texts"]["QualityVerdictLabel"], "Quality is bad. change the size or the bitrate");
  EXPECT_EQ(json["size"], (Json{{"width", 720}, {"height", 576}}));
  EXPECT_TRUE(json["min_bitrate"].is_null());
}

TEST(CliWhatIf, ArithmeticErrorKeepsTheTextsWrittenAndExitsOne) {
  const ProcessResult run = Cli(With(kPalStream, {"--bitrate=-1000", "--json"}));
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.err, "framefit-cli: The target bitrate is negative or too large.\n");
  const Json json = Json::parse(run.out);
  EXPECT_EQ(json["error"], (Json{{"kind", "invalid operation"}, {"message", "The target bitrate is negative or too large."}}));
  EXPECT_EQ(json["texts"]["RecommendEdit"], "");
  EXPECT_TRUE(json["size"].is_null());

  // An empty bitrate box gives the size 0:0, written, then no pixels to judge.
  const ProcessResult empty = Cli(With(kPalStream, {"--bitrate="}));
  EXPECT_EQ(empty.exit_status, 1);
  EXPECT_EQ(empty.out, "Recommend size: 0:0\nMin Bitrate: 0\nMax Bitrate: 0\n");
}

TEST(CliWhatIf, ValuesAreTakenByteForByte) {
  // The size uses the trimmed frame rate, the quality factor the untrimmed one: " 25" reads 0 there.
  const ProcessResult run =
      Cli({"--width", "720", "--height", "576", "--aspect", "1.33333", "--frame-rate", " 25", "--seconds", "5400"});
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.out, "Recommend size: 464:352\nMin Bitrate: 816\nMax Bitrate: 2041\n");
  EXPECT_NE(run.err.find("\" 25\""), std::string::npos) << run.err;
}

TEST(CliUsage, WrongUsageExitsTwoAndPointsToHelp) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--width", "720", Fixture("xvid_mp3.avi")}, {"--no-such-option"}, {"--seconds", "many"}, {"--aspect", "4:0"}}) {
    const ProcessResult run = Cli(args);
    EXPECT_EQ(run.exit_status, 2) << args[0];
    EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
  const ProcessResult help = Cli({"--help"});
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_NE(help.out.find("--bitrate"), std::string::npos);
  const ProcessResult version = Cli({"--version"});
  EXPECT_EQ(version.exit_status, 0);
  EXPECT_EQ(version.out.rfind("framefit-cli ", 0), 0U) << version.out;
}

TEST(CliFiles, AnalysesEachFileAsAFreshStart) {
  const ProcessResult run = Cli({"--json", Fixture("xvid_mp3.avi"), Fixture("not_media.txt"),
                                 Fixture("no such file.avi"), Fixture("h264_aac.mkv")});
  EXPECT_EQ(run.exit_status, 1);
  std::vector<Json> lines;
  std::istringstream stream(run.out);
  for (std::string line; std::getline(stream, line);) lines.push_back(Json::parse(line));
  ASSERT_EQ(lines.size(), 4U);

  const Json& avi = lines[0];
  EXPECT_EQ(avi["file"], Fixture("xvid_mp3.avi"));
  EXPECT_TRUE(avi["error"].is_null());
  const std::string memo = avi["texts"]["InfoMemo"];
  EXPECT_NE(memo.find("Codec: XviD\r\n"), std::string::npos) << memo;
  ASSERT_FALSE(avi["summary"].empty());
  EXPECT_EQ(avi["summary"][0], "Audio Codec: MPEG-1 Audio layer 3");
  EXPECT_FALSE(avi["size"].is_null());
  EXPECT_FALSE(avi["quality_factor"].is_null());

  EXPECT_EQ(lines[1]["error"]["kind"], "no video");
  EXPECT_NE(lines[1]["error"]["message"].get<std::string>().find("not_media.txt"), std::string::npos);
  EXPECT_EQ(lines[1]["summary"], Json::array());
  EXPECT_EQ(lines[2]["error"]["kind"], "no file");
  // The Matroska file is analysed from a fresh start: nothing of the AVI's play time remains.
  EXPECT_TRUE(lines[3]["error"].is_null());
  EXPECT_EQ(lines[3]["texts"]["PlayTimeEdit"], "1");
}

TEST(CliFiles, PlainOutputListsPathSummaryAndResults) {
  const ProcessResult run = Cli({Fixture("video_only.mp4"), Fixture("not_media.txt")});
  EXPECT_EQ(run.exit_status, 1);
  const std::string first = run.out.substr(0, run.out.find("\n\n"));
  EXPECT_EQ(first.substr(0, first.find('\n')), Fixture("video_only.mp4"));
  EXPECT_NE(first.find("\n Playtime:   00:00:01\n"), std::string::npos) << first;
  EXPECT_NE(first.find("\nRecommend size: "), std::string::npos) << first;
  EXPECT_EQ(run.out.substr(run.out.find("\n\n") + 2), Fixture("not_media.txt") + "\n");
  EXPECT_NE(run.err.find("no video stream with a width and a height was found"), std::string::npos);
}

}  // namespace
}  // namespace framefit
