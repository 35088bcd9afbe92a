// Faults on purpose, as its first argument says, after installing the last-chance handlers.
// Not part of the product: the last-chance tests run it as a real process per fault.
// `fault_probe FAULT [RECORD_FILE]`: with RECORD_FILE, the report command writes the fault text
// there. For "null-write" it first prints the faulting function's address in hex on stdout.

#include "last_chance.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Volatile, so the compiler can neither see the null pointer (and plant a trap instead of the
// store) nor see that the recursion never ends (and turn it into a loop).
int* volatile null_target = nullptr;
volatile int recursion_stop = -1;
volatile std::size_t huge_size = std::size_t{1} << 62;
void* volatile allocation_sink = nullptr;

// Exempt from the undefined-behaviour check, which would report the store instead of letting it fault.
[[gnu::noinline]] __attribute__((no_sanitize("null"))) void WriteThroughNull() { *null_target = 1; }

[[gnu::noinline]] int Recurse(int depth) {
  volatile char frame[256];
  frame[0] = static_cast<char>(depth);
  if (depth == recursion_stop) return 0;
  return Recurse(depth + 1) + frame[0];  // not a tail call: every level keeps its frame
}

void OverflowStack() { Recurse(0); }
void ExecutePrivileged() { asm volatile("hlt"); }
void ExecuteUndefined() { asm volatile("ud2"); }

// No x86-64 instruction raises FPE_INTOVF (INTO does not exist in 64-bit mode and INT_MIN / -1
// arrives as FPE_INTDIV), so the probe queues the signal the kernel would send to itself.
void OverflowInteger() {
  siginfo_t info{};
  info.si_signo = SIGFPE;
  info.si_code = FPE_INTOVF;
  syscall(SYS_rt_tgsigqueueinfo, getpid(), gettid(), SIGFPE, &info);
}

void ExhaustHeap() { allocation_sink = ::operator new(huge_size); }
void ThrowUncaught() { throw std::runtime_error("nothing catches this"); }
void Terminate() { std::terminate(); }
void Abort() { std::abort(); }

}  // namespace

// Read by AddressSanitizer's run-time library only, in a sanitizer build: the probe's faults must
// reach the last-chance handlers, not the sanitizer's own, so it leaves these signals alone.
extern "C" const char* __asan_default_options() {
  return "handle_segv=0:handle_sigbus=0:handle_sigill=0:handle_sigfpe=0:handle_abort=0";
}

int main(int argc, char** argv) {
  const std::map<std::string_view, void (*)()> faults{
      {"null-write", WriteThroughNull},  {"stack-overflow", OverflowStack},
      {"privileged", ExecutePrivileged}, {"undefined-instruction", ExecuteUndefined},
      {"integer-overflow", OverflowInteger}, {"heap-exhausted", ExhaustHeap},
      {"throw", ThrowUncaught},          {"terminate", Terminate},
      {"abort", Abort}};
  const auto fault = argc >= 2 ? faults.find(argv[1]) : faults.end();
  if (fault == faults.end()) {
    std::fprintf(stderr, "usage: fault_probe FAULT [RECORD_FILE]\n");
    return 2;
  }
  std::vector<std::string> report_command;
  if (argc >= 3) report_command = {"/bin/sh", "-c", "printf %s \"$1\" > \"$0\"", argv[2]};
  framefit::InstallLastChance(report_command);

  if (fault->second == WriteThroughNull) {
    std::printf("%lX\n", static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(&WriteThroughNull)));
    std::fflush(stdout);
  }
  fault->second();
  return 3;  // the fault did not end the process
}
