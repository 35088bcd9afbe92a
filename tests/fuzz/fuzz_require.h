#pragma once

// The harnesses' one way to report a broken property: a message on standard error, then abort, which
// libFuzzer turns into a saved crash input.

#include <cstdio>
#include <cstdlib>

namespace framefit {

inline void FuzzRequire(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

}  // namespace framefit
