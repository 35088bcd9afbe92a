#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace framefit {

// The last-chance path for faults that nothing handles. Once installed, such a fault writes
// "Runtime error NNN at XXXXXXXX" and a newline to standard error, runs the report command (if
// any) with that text appended as its last argument and waits for it, and then ends the process
// at once with NNN as exit status: no unwinding, no atexit steps, since nothing can be trusted.
//   SIGSEGV, SIGBUS (access violation)                        -> 216
//   SIGSEGV in the guard region below the stack               -> 202 (stack overflow)
//   privileged instruction: SIGILL ILL_PRVOPC, or the SIGSEGV
//     x86-64 Linux raises for one (SI_KERNEL, address 0)      -> 218
//   SIGFPE FPE_INTOVF (integer overflow)                      -> 215
//   operator new finds the heap exhausted                     -> 203
//   an exception that nothing catches, std::terminate         -> 217
//   any other SIGILL, SIGFPE, SIGABRT, SIGSYS                 -> 255
// Call it once, early, from the thread that runs the program: the stack overflow check and the
// alternate signal stack belong to that thread. Calling it again replaces the report command.
// Throws std::system_error when the system refuses a handler.
void InstallLastChance(std::vector<std::string> report_command);

// The fault text; the handlers format it through the same code, without allocating.
// The number right-aligned in three places, the address in upper-case hex with at least 8 digits:
// RuntimeErrorText(216, 0x401a2c) == "Runtime error 216 at 00401A2C"
// RuntimeErrorText(5, 0x7ffd12345678) == "Runtime error   5 at 7FFD12345678"
std::string RuntimeErrorText(int number, std::uintptr_t address);

// Whether the x86-64 machine code starts (after any prefixes) with an instruction that only the
// kernel may run: hlt, cli/sti, in/out/ins/outs, clts, invd, wbinvd, mov to/from control or debug
// registers, rdmsr/wrmsr, rdpmc, sysret/sysexit, lldt/ltr, lgdt/lidt/lmsw/invlpg, swapgs.
// IsPrivilegedInstruction({0xF4}) (hlt) is true; IsPrivilegedInstruction({0x0F, 0x0B}) (ud2) false.
bool IsPrivilegedInstruction(std::span<const unsigned char> code);

}  // namespace framefit
