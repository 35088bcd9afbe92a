#pragma once

#include <string>
#include <vector>

namespace framefit::testing {

struct ProcessResult {
  int exit_status = -1;  // the exit code, or 128 + signal number when a signal ended it
  std::string out;
  std::string err;
};

// Runs program with args (no shell, bytes passed as they are), with extra "NAME=value" entries
// added to the environment, and waits for it; gives up and kills it after timeout_seconds.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& extra_env = {}, int timeout_seconds = 30);

}  // namespace framefit::testing
