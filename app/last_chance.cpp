#include "last_chance.h"

#include <pthread.h>
#include <signal.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <exception>
#include <new>
#include <string_view>
#include <system_error>

namespace framefit {

namespace {

constexpr int StackOverflowError = 202;
constexpr int HeapExhaustedError = 203;
constexpr int IntegerOverflowError = 215;
constexpr int AccessViolationError = 216;
constexpr int UncaughtExceptionError = 217;
constexpr int PrivilegedInstructionError = 218;
constexpr int OtherFaultError = 255;

// "Runtime error " + sign and ten digits + " at " + sixteen hex digits + room for a newline.
constexpr std::size_t TextCapacity = 14 + 11 + 4 + 16 + 1;
using TextBuffer = std::array<char, TextCapacity + 1>;

constexpr std::array FatalSignals{SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGSYS};

// The longest x86-64 instruction.
constexpr std::size_t MaxInstructionLength = 15;

// The kernel keeps this much unmapped below a growing stack (stack_guard_gap, 256 pages); a
// fault there, or up to this far above the lowest address the stack may reach, is an overflow.
constexpr std::uintptr_t MinStackGuard = 1 << 20;

// Formats the fault text into buffer with a terminating zero and returns its length.
// Safe inside a signal handler: no allocation, no locale, no stdio.
std::size_t FormatRuntimeError(int number, std::uintptr_t address, TextBuffer& buffer) {
  std::size_t length = 0;
  const auto put = [&](std::string_view text) {
    for (char c : text) buffer[length++] = c;
  };
  put("Runtime error ");

  std::array<char, 11> reversed{};
  std::size_t count = 0;
  unsigned magnitude = number < 0 ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
  do {
    reversed[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (number < 0) reversed[count++] = '-';
  for (std::size_t pad = count; pad < 3; ++pad) put(" ");
  while (count > 0) buffer[length++] = reversed[--count];

  put(" at ");
  constexpr int MaxHexDigits = static_cast<int>(sizeof(std::uintptr_t) * 2);
  int digits = 8;
  while (digits < MaxHexDigits && (address >> (4 * digits)) != 0) ++digits;
  for (int i = digits - 1; i >= 0; --i) buffer[length++] = "0123456789ABCDEF"[(address >> (4 * i)) & 0xF];
  buffer[length] = '\0';
  return length;
}

// Everything the handlers touch is prepared at install time and never freed: a fault may come
// at any moment, during exit too, and the handlers must not allocate.
struct Prepared {
  std::vector<std::string> report_command;
  std::vector<char*> report_argv;  // the command's words, the text, a null pointer
  TextBuffer text{};
  std::uintptr_t stack_low = 0;     // lowest address the installing thread's stack may reach
  std::uintptr_t stack_guard = MinStackGuard;
  volatile sig_atomic_t reporting = 0;
};

Prepared* prepared = nullptr;

alignas(16) char alternate_stack[1 << 16];

void WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

void RunReportCommand() {
  const pid_t child = _Fork();  // unlike fork(), runs no atfork handlers and takes no malloc locks
  if (child == 0) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);  // the handler's blocked signals would outlive execv
    execv(prepared->report_argv[0], prepared->report_argv.data());
    _exit(127);
  }
  if (child < 0) return;
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
}

[[noreturn]] void Report(int number, std::uintptr_t address) {
  // A second fault while reporting (or in another thread) ends the process without more words.
  if (prepared->reporting) _exit(number);
  prepared->reporting = 1;

  TextBuffer& text = prepared->text;
  const std::size_t length = FormatRuntimeError(number, address, text);
  text[length] = '\n';
  WriteAll(STDERR_FILENO, text.data(), length + 1);
  text[length] = '\0';
  if (!prepared->report_command.empty()) RunReportCommand();
  _exit(number);
}

std::uintptr_t InstructionAddress(const void* context) {
#if defined(__x86_64__)
  return static_cast<std::uintptr_t>(static_cast<const ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);
#else
  (void)context;
  return 0;  // the instruction pointer is read on x86-64 only
#endif
}

bool IsStackOverflow(std::uintptr_t fault_address) {
  const std::uintptr_t low = prepared->stack_low;
  const std::uintptr_t guard = prepared->stack_guard;
  return low != 0 && fault_address >= low - std::min(low, guard) && fault_address < low + guard;
}

// x86-64 Linux reports a general protection fault as SIGSEGV with SI_KERNEL and address 0; a
// privileged instruction is one cause of it, told apart by the instruction's own bytes. They are
// read with process_vm_readv, which fails instead of faulting where nothing is readable.
bool IsPrivilegedInstructionAt(std::uintptr_t address) {
  std::array<unsigned char, MaxInstructionLength> code{};
  iovec local{code.data(), code.size()};
  iovec remote{reinterpret_cast<void*>(address), code.size()};
  const ssize_t read = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
  return read > 0 && IsPrivilegedInstruction(std::span(code.data(), static_cast<std::size_t>(read)));
}

int ErrorNumber(int signal_number, const siginfo_t& info, std::uintptr_t instruction) {
  switch (signal_number) {
    case SIGSEGV:
      if (IsStackOverflow(reinterpret_cast<std::uintptr_t>(info.si_addr))) return StackOverflowError;
      if (info.si_code == SI_KERNEL && info.si_addr == nullptr && IsPrivilegedInstructionAt(instruction)) {
        return PrivilegedInstructionError;
      }
      return AccessViolationError;
    case SIGBUS:
      return AccessViolationError;
    case SIGILL:
      return info.si_code == ILL_PRVOPC ? PrivilegedInstructionError : OtherFaultError;
    case SIGFPE:
      return info.si_code == FPE_INTOVF ? IntegerOverflowError : OtherFaultError;
    default:
      return OtherFaultError;
  }
}

void OnFatalSignal(int signal_number, siginfo_t* info, void* context) {
  const std::uintptr_t instruction = InstructionAddress(context);
  Report(ErrorNumber(signal_number, *info, instruction), instruction);
}

// Not in a signal: the address is the best at hand, where the run-time library called us from.
[[noreturn]] void OnHeapExhausted() {
  Report(HeapExhaustedError, reinterpret_cast<std::uintptr_t>(__builtin_return_address(0)));
}

[[noreturn]] void OnTerminate() {
  Report(UncaughtExceptionError, reinterpret_cast<std::uintptr_t>(__builtin_return_address(0)));
}

void ThrowSystemError(const char* what) { throw std::system_error(errno, std::system_category(), what); }

void RememberStackLimits() {
  pthread_attr_t attributes;
  if (pthread_getattr_np(pthread_self(), &attributes) != 0) return;  // then no fault counts as overflow
  void* stack_address = nullptr;
  std::size_t stack_size = 0;
  std::size_t guard_size = 0;
  pthread_attr_getstack(&attributes, &stack_address, &stack_size);
  pthread_attr_getguardsize(&attributes, &guard_size);
  pthread_attr_destroy(&attributes);
  prepared->stack_low = reinterpret_cast<std::uintptr_t>(stack_address);
  prepared->stack_guard = std::max<std::uintptr_t>(guard_size, MinStackGuard);
}

}  // namespace

std::string RuntimeErrorText(int number, std::uintptr_t address) {
  TextBuffer buffer;
  return std::string(buffer.data(), FormatRuntimeError(number, address, buffer));
}

bool IsPrivilegedInstruction(std::span<const unsigned char> code) {
  std::size_t i = 0;
  const auto is_prefix = [](unsigned char byte) {
    switch (byte) {
      case 0x26: case 0x2E: case 0x36: case 0x3E: case 0x64: case 0x65:  // segment overrides
      case 0x66: case 0x67: case 0xF0: case 0xF2: case 0xF3:              // size, lock, rep
        return true;
      default:
        return (byte & 0xF0) == 0x40;  // REX
    }
  };
  while (i < code.size() && i < MaxInstructionLength && is_prefix(code[i])) ++i;
  if (i >= code.size()) return false;

  switch (code[i]) {
    case 0xF4:                                   // hlt
    case 0xFA: case 0xFB:                        // cli, sti
    case 0x6C: case 0x6D: case 0x6E: case 0x6F:  // ins, outs
    case 0xE4: case 0xE5: case 0xE6: case 0xE7:  // in, out with a port number
    case 0xEC: case 0xED: case 0xEE: case 0xEF:  // in, out with the port in dx
      return true;
    case 0x0F:
      break;
    default:
      return false;
  }
  if (++i >= code.size()) return false;
  const unsigned char opcode = code[i];
  switch (opcode) {
    case 0x06: case 0x07: case 0x08: case 0x09:  // clts, sysret, invd, wbinvd
    case 0x20: case 0x21: case 0x22: case 0x23:  // mov from/to control and debug registers
    case 0x30: case 0x32: case 0x33: case 0x35:  // wrmsr, rdmsr, rdpmc, sysexit
      return true;
    case 0x00: case 0x01:
      break;
    default:
      return false;
  }
  if (++i >= code.size()) return false;
  const unsigned char modrm = code[i];
  const int mod = modrm >> 6;
  const int reg = (modrm >> 3) & 7;
  if (opcode == 0x00) return reg == 2 || reg == 3;  // lldt, ltr
  if (mod != 3) return reg == 2 || reg == 3 || reg == 6 || reg == 7;  // lgdt, lidt, lmsw, invlpg
  return reg == 6 || modrm == 0xF8;  // lmsw from a register, swapgs
}

void InstallLastChance(std::vector<std::string> report_command) {
  if (prepared == nullptr) prepared = new Prepared;
  prepared->report_command = std::move(report_command);
  prepared->report_argv.clear();
  for (std::string& word : prepared->report_command) prepared->report_argv.push_back(word.data());
  prepared->report_argv.push_back(prepared->text.data());
  prepared->report_argv.push_back(nullptr);
  RememberStackLimits();

  // A stack overflow leaves no room on the stack itself for the handler.
  stack_t alternate{};
  alternate.ss_sp = alternate_stack;
  alternate.ss_size = sizeof alternate_stack;
  if (sigaltstack(&alternate, nullptr) != 0) ThrowSystemError("sigaltstack");

  struct sigaction action {};
  action.sa_sigaction = OnFatalSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigfillset(&action.sa_mask);
  for (int signal_number : FatalSignals) {
    if (sigaction(signal_number, &action, nullptr) != 0) ThrowSystemError("sigaction");
  }
  std::set_new_handler(OnHeapExhausted);
  std::set_terminate(OnTerminate);
}

}  // namespace framefit
