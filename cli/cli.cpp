#include "cli.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <ostream>
#include <regex>

#include "analyze_file.h"
#include "arithmetic_error.h"
#include "file_test.h"
#include "media_library.h"
#include "number_text.h"
#include "size_calc.h"

namespace framefit {

namespace {

// The boxes the JSON shows, in the window's order.
constexpr TextName kShownTexts[] = {TextName::InfoMemo,           TextName::PlayTimeEdit,
                                    TextName::FrameRateEdit,      TextName::RecommendEdit,
                                    TextName::MinBitrateLabel,    TextName::MaxBitrateLabel,
                                    TextName::QualityFactorLabel, TextName::QualityVerdictLabel};

struct Options {
  std::optional<std::string> width, height, aspect, frame_rate;
  std::optional<std::int64_t> seconds;
  std::string bitrate = "1000";
  std::optional<std::string> size;
  std::string playtime, fps;
  bool json = false;
  std::vector<std::string> files;

  bool DescribesStream() const { return width || height || aspect || frame_rate || seconds; }
};

struct Failure {
  std::string kind;
  std::string message;
};

// One calculation's outcome: what the boxes show and what the numbers were.
struct Outcome {
  MemoryTexts texts;
  CalcReport report;
  std::optional<Failure> failure;
  std::vector<std::string> summary;  // file mode only
};

class UsageError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

// "16:9" or "16/9" (decimal numbers each side) means 16 / 9; any other text reads as a decimal.
double AspectFromText(const std::string& text) {
  static const std::regex ratio(R"(([0-9]+\.?[0-9]*|\.[0-9]+)[:/]([0-9]+\.?[0-9]*|\.[0-9]+))");
  std::smatch match;
  if (!std::regex_match(text, match, ratio)) return ParseDecimal(text);
  const long double denominator = ParseDecimal(match[2].str());
  if (denominator == 0.0L) throw UsageError("--aspect: the second number of \"" + text + "\" is 0");
  return static_cast<double>(ParseDecimal(match[1].str()) / denominator);
}

// The window's boxes right after start-up, with what a person would have typed.
void FillBoxes(const Options& options, MemoryTexts& texts) {
  texts.WriteText(TextName::BitrateEdit, options.bitrate);
  texts.WriteText(TextName::PlayTimeEdit, options.playtime);
  texts.WriteText(TextName::FrameRateEdit, options.fps);
  if (options.size) texts.WriteText(TextName::RecommendEdit, *options.size);
}

// Recommends a size, or judges the one given with --size.
void Calculate(const Options& options, MediaState& state, Outcome& outcome) {
  try {
    if (options.size)
      CheckNewSize(state, outcome.texts, &outcome.report);
    else
      CalcSize(state, outcome.texts, &outcome.report);
  } catch (const ArithmeticError& error) {
    outcome.failure = Failure{KindName(error.kind()), error.what()};
  }
}

Outcome WhatIf(const Options& options) {
  Outcome outcome;
  FillBoxes(options, outcome.texts);
  MediaState state;
  state.WidthText = options.width.value_or("");
  state.HeightText = options.height.value_or("");
  const std::int32_t height = TextToInt(state.HeightText);
  if (!state.WidthText.empty() && height != 0)
    state.FrameRatio = static_cast<double>(static_cast<long double>(TextToInt(state.WidthText)) / height);
  state.DisplayRatio = options.aspect ? AspectFromText(*options.aspect) : state.FrameRatio;
  state.FrameRateText = options.frame_rate.value_or("");
  state.PlayTimeSeconds = options.seconds.value_or(0);
  Calculate(options, state, outcome);
  return outcome;
}

std::vector<std::string> SummaryLines(const std::string& memo) {
  std::vector<std::string> lines;
  for (std::size_t begin = 0; begin < memo.size();) {
    const std::size_t end = memo.find("\r\n", begin);
    lines.push_back(memo.substr(begin, end - begin));
    begin = end == std::string::npos ? memo.size() : end + 2;
  }
  return lines;
}

Outcome AnalyzeAndCalculate(const Options& options, const std::string& path) {
  Outcome outcome;
  FillBoxes(options, outcome.texts);
  outcome.texts.WriteText(TextName::VideoFileEdit, path);
  if (!IsExistingFile(path)) {
    outcome.failure = Failure{"no file", path + ": not an existing regular file"};
    return outcome;
  }
  MediaState state;
  AnalyzeFile(SystemMediaLibrary(), state, outcome.texts);
  outcome.summary = SummaryLines(outcome.texts.ReadText(TextName::InfoMemo));
  if (state.FrameRatio == 0.0) {
    outcome.failure = Failure{"no video", path + ": no video stream with a width and a height was found"};
    return outcome;
  }
  Calculate(options, state, outcome);
  return outcome;
}

template <typename T>
nlohmann::json OrNull(const std::optional<T>& value) {
  return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

nlohmann::json ToJson(const Outcome& outcome) {
  nlohmann::json texts = nlohmann::json::object();
  for (TextName name : kShownTexts) texts[TextNameString(name)] = outcome.texts.ReadText(name);
  const CalcReport& report = outcome.report;
  nlohmann::json json;
  json["texts"] = texts;
  json["size"] = report.size ? nlohmann::json{{"width", report.size->width}, {"height", report.size->height}}
                             : nlohmann::json(nullptr);
  json["min_bitrate"] = OrNull(report.min_bitrate);
  json["max_bitrate"] = OrNull(report.max_bitrate);
  json["quality_factor"] = OrNull(report.quality_factor);
  json["quality_good"] = OrNull(report.quality_good);
  json["error"] = outcome.failure ? nlohmann::json{{"kind", outcome.failure->kind}, {"message", outcome.failure->message}}
                                  : nlohmann::json(nullptr);
  return json;
}

std::string Dump(const nlohmann::json& json) {
  // Texts are taken byte for byte, so they need not be valid UTF-8.
  return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void PrintTexts(const Outcome& outcome, std::ostream& out) {
  const std::string size = outcome.texts.ReadText(TextName::RecommendEdit);
  if (!size.empty()) out << "Recommend size: " << size << '\n';
  for (TextName name : {TextName::MinBitrateLabel, TextName::MaxBitrateLabel, TextName::QualityFactorLabel,
                        TextName::QualityVerdictLabel}) {
    const std::string text = outcome.texts.ReadText(name);
    if (!text.empty()) out << text << '\n';
  }
}

// CLI11 takes "--bitrate=" as a missing value; as two arguments the empty value is kept.
std::vector<std::string> SplitEmptyValues(const std::vector<std::string>& args) {
  std::vector<std::string> split;
  for (const std::string& arg : args) {
    if (arg.size() > 3 && arg.rfind("--", 0) == 0 && arg.back() == '=' && arg.find('=') == arg.size() - 1) {
      split.push_back(arg.substr(0, arg.size() - 1));
      split.emplace_back();
    } else {
      split.push_back(arg);
    }
  }
  return split;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options options;
  CLI::App app{
      "Recommends a frame size for a target video bitrate and judges the quality of a bitrate for a size.\n"
      "Describe a stream with --width, --height, --aspect, --frame-rate and --seconds, or name video files.",
      "framefit-cli"};
  app.set_version_flag("--version", std::string("framefit-cli ") + FRAMEFIT_VERSION);
  app.add_option("--width", options.width, "Frame width of the stream, as text");
  app.add_option("--height", options.height, "Frame height of the stream, as text");
  app.add_option("--aspect", options.aspect, "Display aspect ratio: 16:9, 4/3 or a decimal such as 1.33333");
  app.add_option("--frame-rate", options.frame_rate, "Frame rate of the stream, as text (25.000)");
  app.add_option("--seconds", options.seconds, "Play time of the stream in seconds");
  app.add_option("--bitrate", options.bitrate, "Target bitrate in kbit/s (the Target bitrate box)")
      ->capture_default_str();
  app.add_option("--size", options.size, "Judge this size, width:height, instead of recommending one");
  app.add_option("--playtime", options.playtime, "The PlayTime box: play time in seconds");
  app.add_option("--fps", options.fps, "The FrameRate box: frame rate");
  app.add_flag("--json", options.json, "One JSON object per line");
  app.add_option("FILE", options.files, "Video files to analyse");

  std::vector<std::string> parse_args = SplitEmptyValues(args);
  std::vector<std::string> reversed(parse_args.rbegin(), parse_args.rend());  // CLI11 takes them last first
  try {
    app.parse(reversed);
    if (options.DescribesStream() && !options.files.empty())
      throw UsageError("--width, --height, --aspect, --frame-rate and --seconds describe a stream; they cannot be "
                       "given with FILE");
    std::vector<Outcome> outcomes;
    if (options.files.empty())
      outcomes.push_back(WhatIf(options));
    else
      for (const std::string& file : options.files) outcomes.push_back(AnalyzeAndCalculate(options, file));

    int status = 0;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
      const Outcome& outcome = outcomes[i];
      if (options.json) {
        nlohmann::json json = ToJson(outcome);
        if (!options.files.empty()) {
          json["file"] = options.files[i];
          json["summary"] = outcome.summary;
        }
        out << Dump(json) << '\n';
      } else {
        if (i > 0) out << '\n';
        if (!options.files.empty()) {
          out << options.files[i] << '\n';
          for (const std::string& line : outcome.summary) out << line << '\n';
        }
        PrintTexts(outcome, out);
      }
      if (outcome.failure) {
        err << "framefit-cli: " << outcome.failure->message << '\n';
        status = 1;
      }
    }
    return status;
  } catch (const CLI::Success& success) {  // --help and --version
    return app.exit(success, out, err);
  } catch (const CLI::ParseError& error) {
    err << "framefit-cli: " << error.what() << "\nRun framefit-cli --help for the options.\n";
    return 2;
  } catch (const UsageError& error) {
    err << "framefit-cli: " << error.what() << "\nRun framefit-cli --help for the options.\n";
    return 2;
  }
}

}  // namespace framefit
