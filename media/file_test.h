#pragma once

#include <string>

namespace framefit {

// True when the path, after following links, names an existing regular file. A directory, FIFO,
// socket or device is not a file: the media library could block reading a FIFO.
// IsExistingFile("") -> false.
bool IsExistingFile(const std::string& path);

}  // namespace framefit
