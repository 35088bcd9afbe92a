#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace framefit {

// Splitting of a command line handed over as one 8-bit text (systems where no shell splits it).
// - Codes 1..32 are blanks; where an argument would begin, an empty quote pair "" is skipped too.
// - An argument runs to the next code 0..32 outside quotes; a quote opens a stretch that runs to
//   the next quote or to the end of the line; codes above 127 belong to the argument.
// - The quotes stay in the text, except that a text of two or more characters that begins and
//   ends with a quote loses those two: "\"C:\\My Videos\\a.avi\"" gives C:\My Videos\a.avi,
//   but C:\"My Videos"\a.avi stays as written.
// - A code 0 ends the line, as it ends the text the system hands over.

// Argument 0 (the program as written) first, then every argument after it up to the first empty
// one; so the argument count is size() - 1. Always holds argument 0, empty for an empty line.
// SplitCommandLine("prog \"\" \"a b.avi\" x") == {"prog", "a b.avi", "x"}
std::vector<std::string> SplitCommandLine(std::string_view line);

// Argument n, or empty text when the line ends before it (or n < 0).
// CommandLineArgument("prog \"a b.avi\"", 1) == "a b.avi"; CommandLineArgument("prog", 1) == ""
std::string CommandLineArgument(std::string_view line, int n);

}  // namespace framefit
