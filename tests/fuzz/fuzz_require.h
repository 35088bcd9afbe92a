#pragma once

// What the harnesses share: the one way to report a broken property (a message on standard error,
// then abort, which libFuzzer turns into a saved crash input), and the exact-size copy of the input.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace framefit {

inline void FuzzRequire(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

// A heap block of exactly the input's length, with no terminator, so that ASan sees any read past it.
inline std::unique_ptr<char[]> ExactCopy(const std::uint8_t* data, std::size_t size) {
  std::unique_ptr<char[]> bytes(new char[size]);
  if (size != 0) std::memcpy(bytes.get(), data, size);
  return bytes;
}

}  // namespace framefit
