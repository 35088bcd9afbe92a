// One analysis with a library that answers any text for every parameter and any file name: nothing
// breaks, the handle is closed and deleted, the summary box is empty exactly when the run stopped
// early, and otherwise it grows one line at a time, each line ending in CR LF.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analyze_file.h"
#include "fuzz_require.h"
#include "media_state.h"
#include "named_texts.h"
#include "number_text.h"
#include "scripted_library.h"
#include "text_codec.h"

namespace framefit {
namespace {

constexpr std::size_t kMaxText = 40;

// Boxes that keep every text written to the summary box, in order.
class RecordingTexts final : public NamedTexts {
 public:
  std::string ReadText(TextName name) const override { return texts_.ReadText(name); }
  void WriteText(TextName name, std::string_view text) override {
    if (name == TextName::InfoMemo) memo_writes_.emplace_back(text);
    texts_.WriteText(name, text);
  }
  const std::vector<std::string>& MemoWrites() const { return memo_writes_; }

 private:
  MemoryTexts texts_;
  std::vector<std::string> memo_writes_;
};

// The library's wide answers are always text; bytes that are not UTF-8 are taken as Latin-1.
std::string AsText(const std::string& bytes) {
  if (ToWide(bytes)) return bytes;
  std::string text;
  for (const char c : bytes) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | (code >> 6));
      text += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return text;
}

ScriptedLibrary::Answers RandomAnswers(FuzzedDataProvider& provider) {
  struct Query {
    StreamKind kind;
    const char* parameter;
    bool wide;
  };
  static constexpr Query kQueries[] = {
      {StreamKind::Video, "Width", true},           {StreamKind::Video, "Height", true},
      {StreamKind::Video, "FrameRate", true},       {StreamKind::Video, "AspectRatio", false},
      {StreamKind::Video, "AspectRatio/String", true}, {StreamKind::General, "PlayTime", true},
      {StreamKind::Audio, "Codec/String", true},    {StreamKind::Audio, "BitRate/String", true},
      {StreamKind::Audio, "BitRate", true},         {StreamKind::General, "Format", true},
      {StreamKind::Video, "Codec/String", true},    {StreamKind::Video, "BitRate/String", false},
      {StreamKind::Video, "Bitrate", false},
  };
  ScriptedLibrary::Answers answers;
  for (const Query& query : kQueries) {
    const std::string answer = provider.ConsumeRandomLengthString(kMaxText);
    answers[{query.kind, query.parameter}] = query.wide ? AsText(answer) : answer;
  }
  return answers;
}

bool EndsInLineBreak(std::string_view text) { return text.size() >= 2 && text.substr(text.size() - 2) == "\r\n"; }

}  // namespace
}  // namespace framefit

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  framefit::SetUpTextLocale();
  return 0;
}

// Input layout (FuzzedDataProvider): the file name, then the answers in the order of kQueries, each
// ended by a backslash and one more character.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace framefit;
  FuzzedDataProvider provider(data, size);
  const std::string file_name = provider.ConsumeRandomLengthString(kMaxText);
  ScriptedLibrary library(RandomAnswers(provider));

  // What an early stop must leave alone.
  constexpr double kDisplayRatio = 1.5;
  constexpr std::int64_t kPlayTime = 77;
  const std::string kPlayTimeBox = "play time box", kFrameRateBox = "frame rate box";
  MediaState state;
  state.DisplayRatio = kDisplayRatio;
  state.PlayTimeSeconds = kPlayTime;
  RecordingTexts texts;
  texts.WriteText(TextName::VideoFileEdit, file_name);
  texts.WriteText(TextName::PlayTimeEdit, kPlayTimeBox);
  texts.WriteText(TextName::FrameRateEdit, kFrameRateBox);

  AnalyzeFile(library, state, texts);

  const std::vector<std::string>& calls = library.Calls();
  const bool is_text = ToWide(file_name).has_value();
  FuzzRequire(is_text != calls.empty(), "the library is called exactly when the file name is text");
  for (const std::string& call : calls) {
    if (call.starts_with("Open "))
      FuzzRequire(call == "Open " + file_name, "the library opens the file named, with the run's handle");
    else
      FuzzRequire(!call.ends_with("(wrong handle)"), "every call gets the run's handle");
  }
  FuzzRequire(!is_text || (calls.size() >= 2 && calls[calls.size() - 2] == "Close" && calls.back() == "Delete"),
              "the run closes and then deletes its handle");

  const bool early_stop = !is_text || state.WidthText.empty() || state.HeightText.empty() ||
                          TextToInt(state.HeightText) == 0;
  const std::vector<std::string>& writes = texts.MemoWrites();
  FuzzRequire(!writes.empty() && writes.front().empty(), "the summary box is emptied first");
  const std::string memo = texts.ReadText(TextName::InfoMemo);
  FuzzRequire(memo.empty() == early_stop, "the summary box is empty exactly when the run stopped early");
  if (early_stop) {
    FuzzRequire(writes.size() == 1 && state.FrameRatio == 0.0 && state.DisplayRatio == kDisplayRatio &&
                    state.PlayTimeSeconds == kPlayTime && texts.ReadText(TextName::PlayTimeEdit) == kPlayTimeBox &&
                    texts.ReadText(TextName::FrameRateEdit) == kFrameRateBox,
                "an early stop writes nothing but the three texts and the frame ratio");
    return 0;
  }
  // Play time, size and video bitrate lines always; up to six more.
  FuzzRequire(writes.size() >= 1 + 3 && writes.size() <= 1 + 9, "a full run appends three to nine lines");
  for (std::size_t i = 1; i < writes.size(); ++i) {
    const std::string& previous = writes[i - 1];
    FuzzRequire(writes[i].size() > previous.size() && writes[i].compare(0, previous.size(), previous) == 0 &&
                    EndsInLineBreak(writes[i]),
                "each summary line is appended whole and ends in CR LF");
  }
  FuzzRequire(memo.find("Width and Height:" + state.WidthText + "x" + state.HeightText + "\r\n") != std::string::npos,
              "the summary shows the frame size");
  return 0;
}
