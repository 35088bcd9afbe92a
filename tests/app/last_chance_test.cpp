#include "last_chance.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace framefit {
namespace {

TEST(RuntimeErrorTextTest, RightAlignsTheNumberAndShowsEveryAddressDigit) {
  EXPECT_EQ(RuntimeErrorText(216, 0x401a2c), "Runtime error 216 at 00401A2C");
  EXPECT_EQ(RuntimeErrorText(5, 0), "Runtime error   5 at 00000000");
  EXPECT_EQ(RuntimeErrorText(42, 0xFFFFFFFF), "Runtime error  42 at FFFFFFFF");
  EXPECT_EQ(RuntimeErrorText(203, 0x123456789), "Runtime error 203 at 123456789");
  EXPECT_EQ(RuntimeErrorText(255, 0x7ffd12345678), "Runtime error 255 at 7FFD12345678");
  EXPECT_EQ(RuntimeErrorText(202, UINTPTR_MAX), "Runtime error 202 at FFFFFFFFFFFFFFFF");
}

TEST(IsPrivilegedInstructionTest, KnowsKernelOnlyInstructionsBehindPrefixes) {
  using Code = std::vector<unsigned char>;
  const std::initializer_list<std::pair<Code, bool>> cases{
      {{0xF4}, true},                    // hlt
      {{0xFA}, true},                    // cli
      {{0xEC}, true},                    // in al, dx
      {{0x66, 0xE7, 0x80}, true},        // out 0x80, ax
      {{0xF3, 0x6E}, true},              // rep outsb
      {{0x0F, 0x30}, true},              // wrmsr
      {{0x0F, 0x22, 0xD8}, true},        // mov cr3, rax
      {{0x0F, 0x01, 0x10}, true},        // lgdt [rax]
      {{0x0F, 0x01, 0x38}, true},        // invlpg [rax]
      {{0x0F, 0x01, 0xF8}, true},        // swapgs
      {{0x0F, 0x00, 0xD8}, true},        // ltr ax
      {{0x0F, 0x0B}, false},             // ud2
      {{0x0F, 0x01, 0x00}, false},       // sgdt [rax]
      {{0x0F, 0x01, 0xF9}, false},       // rdtscp
      {{0x0F, 0x01, 0xD0}, false},       // xgetbv
      {{0x0F, 0x00, 0xC0}, false},       // sldt eax
      {{0x0F, 0x28, 0x00}, false},       // movaps xmm0, [rax] (faults when misaligned)
      {{0x48, 0x89, 0x08}, false},       // mov [rax], rcx
      {{0x66, 0x66}, false},             // prefixes and nothing after them
      {{0x0F, 0x01}, false},             // cut short before its ModRM byte
      {{}, false}};
  for (const auto& [code, privileged] : cases) {
    EXPECT_EQ(IsPrivilegedInstruction(code), privileged) << "first byte " << (code.empty() ? -1 : code[0]);
  }
}

struct ProbeRun {
  int exit_status = -1;  // -1 when the probe did not exit normally
  std::string out;
  std::string err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

ProbeRun RunProbe(std::vector<std::string> args) {
  const std::string base = testing::TempDir() + "fault_probe_" + std::to_string(getpid());
  const std::string out_path = base + ".out";
  const std::string err_path = base + ".err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  args.insert(args.begin(), FAULT_PROBE);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, FAULT_PROBE, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ProbeRun run;
  if (spawned != 0) return run;
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) run.exit_status = WEXITSTATUS(status);
  run.out = ReadFile(out_path);
  run.err = ReadFile(err_path);
  return run;
}

// The error number as the text shows it, or -1 when stderr is not exactly one fault line.
int ReportedNumber(const std::string& err, std::uintptr_t* address = nullptr) {
  static const std::regex line(R"(Runtime error (  \d| \d\d|\d{3}) at ([0-9A-F]{8,})\n)");
  std::smatch match;
  if (!std::regex_match(err, match, line)) return -1;
  if (address != nullptr) *address = std::stoull(match[2], nullptr, 16);
  return std::stoi(match[1]);
}

// The probe is built like this test: with AddressSanitizer (GCC and clang name it differently) or not.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool AddressSanitizerBuild = true;
#elif defined(__has_feature)
constexpr bool AddressSanitizerBuild = __has_feature(address_sanitizer);
#else
constexpr bool AddressSanitizerBuild = false;
#endif

struct FaultCase {
  const char* fault;
  int number;
};

class LastChanceTest : public testing::TestWithParam<FaultCase> {};

TEST_P(LastChanceTest, ExitsWithTheErrorNumberAfterOneLineOnStderr) {
  if (AddressSanitizerBuild && std::string_view(GetParam().fault) == "heap-exhausted") {
    GTEST_SKIP() << "AddressSanitizer's operator new reports a failed allocation itself and never "
                    "calls the new-handler";
  }
  const ProbeRun run = RunProbe({GetParam().fault});
  EXPECT_EQ(run.exit_status, GetParam().number);
  EXPECT_EQ(ReportedNumber(run.err), GetParam().number) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Faults, LastChanceTest,
                         testing::Values(FaultCase{"null-write", 216}, FaultCase{"stack-overflow", 202},
                                         FaultCase{"privileged", 218}, FaultCase{"undefined-instruction", 255},
                                         FaultCase{"integer-overflow", 215}, FaultCase{"heap-exhausted", 203},
                                         FaultCase{"throw", 217}, FaultCase{"terminate", 217},
                                         FaultCase{"abort", 255}),
                         [](const testing::TestParamInfo<FaultCase>& param_info) {
                           return std::regex_replace(param_info.param.fault, std::regex("-"), "_");
                         });

TEST(LastChanceReportTest, AccessViolationNamesTheFaultingInstruction) {
  const ProbeRun run = RunProbe({"null-write"});
  std::uintptr_t address = 0;
  ASSERT_EQ(ReportedNumber(run.err, &address), 216) << run.err;
  const std::uintptr_t function = std::stoull(run.out, nullptr, 16);
  EXPECT_GE(address, function);
  EXPECT_LT(address, function + 64) << run.err << " function at " << run.out;
}

TEST(LastChanceReportTest, ReportCommandGetsTheTextAsItsLastArgument) {
  // The stack overflow case runs the command from the alternate signal stack.
  for (const FaultCase& fault : {FaultCase{"null-write", 216}, FaultCase{"stack-overflow", 202}}) {
    SCOPED_TRACE(fault.fault);
    const std::string record = testing::TempDir() + "fault_record_" + std::to_string(getpid());
    std::remove(record.c_str());
    const ProbeRun run = RunProbe({fault.fault, record});
    EXPECT_EQ(run.exit_status, fault.number);
    ASSERT_EQ(ReportedNumber(run.err), fault.number) << run.err;
    EXPECT_EQ(ReadFile(record) + "\n", run.err);
  }
}

}  // namespace
}  // namespace framefit
