#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace framefit {

// framefit-cli: what-if mode (describe a stream with --width, --height, ...) or file mode
// (FILE... analysed through the media library), each followed by the size recommendation or,
// with --size, the quality check of that size.
// Exit status: 0 on success; 1 when an arithmetic error ended the calculation or a file could not
// be analysed (the texts written so far are still printed); 2 for wrong usage.
// Option values are taken byte for byte, never trimmed: " 25" differs from "25".
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace framefit
