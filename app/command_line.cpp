#include "command_line.h"

#include <cstddef>

namespace framefit {

namespace {

bool EndsArgument(unsigned char c) { return c <= 32; }

// The raw text of the next argument at or after pos, quotes still in it; pos moves past it.
// Empty when the line has no more arguments.
std::string_view NextRawArgument(std::string_view line, std::size_t& pos) {
  for (;;) {
    while (pos < line.size() && EndsArgument(static_cast<unsigned char>(line[pos]))) ++pos;
    if (line.substr(pos, 2) != "\"\"") break;
    pos += 2;  // an empty quote pair where an argument would begin counts as a blank
  }
  const std::size_t begin = pos;
  bool quoted = false;
  for (; pos < line.size(); ++pos) {
    const auto c = static_cast<unsigned char>(line[pos]);
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && EndsArgument(c)) {
      break;
    }
  }
  return line.substr(begin, pos - begin);
}

std::string WithoutEnclosingQuotes(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
  return std::string(text);
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  line = line.substr(0, line.find('\0'));
  std::size_t pos = 0;
  std::vector<std::string> arguments{WithoutEnclosingQuotes(NextRawArgument(line, pos))};
  for (;;) {
    std::string argument = WithoutEnclosingQuotes(NextRawArgument(line, pos));
    if (argument.empty()) break;
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

std::string CommandLineArgument(std::string_view line, int n) {
  std::vector<std::string> arguments = SplitCommandLine(line);
  if (n < 0 || static_cast<std::size_t>(n) >= arguments.size()) return {};
  return std::move(arguments[static_cast<std::size_t>(n)]);
}

}  // namespace framefit
