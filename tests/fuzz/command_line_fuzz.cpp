// Command-line splitting on any bytes: nothing reads past the line, every argument after argument 0
// has text, CommandLineArgument agrees with SplitCommandLine, a line without quotes splits at its
// blanks, and a line ends argument by argument (what follows a closed line splits on its own).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "command_line.h"
#include "fuzz_require.h"

namespace framefit {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// What splitting must give for a line without quotes: the runs of codes above 32, up to a code 0.
std::vector<std::string> BlankSeparated(std::string_view line) {
  line = line.substr(0, line.find('\0'));
  std::vector<std::string> words;
  std::size_t pos = 0;
  while (pos < line.size()) {
    const auto begin = std::find_if_not(line.begin() + static_cast<std::ptrdiff_t>(pos), line.end(), IsBlank);
    const auto end = std::find_if(begin, line.end(), IsBlank);
    if (begin != end) words.emplace_back(begin, end);
    pos = static_cast<std::size_t>(end - line.begin());
  }
  if (words.empty()) words.emplace_back();
  return words;
}

void CheckLine(std::string_view line) {
  const std::vector<std::string> arguments = SplitCommandLine(line);
  FuzzRequire(!arguments.empty(), "argument 0 is always there");
  for (std::size_t n = 1; n < arguments.size(); ++n)
    FuzzRequire(!arguments[n].empty(), "no argument after argument 0 is empty");
  for (const std::string& argument : arguments)
    FuzzRequire(argument.find('\0') == std::string::npos, "a code 0 ends the line");

  const int count = static_cast<int>(arguments.size());
  FuzzRequire(CommandLineArgument(line, -1).empty(), "argument -1 is empty");
  for (int n = 0; n <= count; ++n) {
    const std::string expected = n < count ? arguments[static_cast<std::size_t>(n)] : std::string();
    FuzzRequire(CommandLineArgument(line, n) == expected, "CommandLineArgument(line, n) is SplitCommandLine(line)[n]");
  }

  const std::string_view in_use = line.substr(0, line.find('\0'));
  if (in_use.find('"') == std::string_view::npos)
    FuzzRequire(arguments == BlankSeparated(line), "a line without quotes splits at its blanks");

  // Cut the line in two. When the first half has argument 0 and ends outside quotes (an even number
  // of them), a blank put at the cut closes its arguments: the second half then splits as if it stood
  // after a program of its own.
  const std::string_view head = in_use.substr(0, in_use.size() / 2);
  const std::string_view tail = in_use.substr(head.size());
  std::vector<std::string> joined = SplitCommandLine(head);
  if (joined.front().empty() || std::count(head.begin(), head.end(), '"') % 2 != 0) return;
  const std::vector<std::string> rest = SplitCommandLine("p " + std::string(tail));
  joined.insert(joined.end(), rest.begin() + 1, rest.end());
  FuzzRequire(SplitCommandLine(std::string(head) + " " + std::string(tail)) == joined,
              "a blank outside quotes after argument 0 separates what comes after it");
}

}  // namespace
}  // namespace framefit

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::unique_ptr<char[]> bytes = framefit::ExactCopy(data, size);
  framefit::CheckLine(std::string_view(bytes.get(), size));
  return 0;
}
