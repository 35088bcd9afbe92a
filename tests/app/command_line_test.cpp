#include "command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace framefit {
namespace {

struct SplitCase {
  const char* name;
  std::string line;
  std::vector<std::string> arguments;  // argument 0 first
};

class SplitCommandLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, GivesArgumentsUpToTheFirstEmptyOne) {
  const SplitCase& c = GetParam();
  EXPECT_EQ(SplitCommandLine(c.line), c.arguments);
  for (std::size_t n = 0; n < c.arguments.size(); ++n) {
    EXPECT_EQ(CommandLineArgument(c.line, static_cast<int>(n)), c.arguments[n]) << "argument " << n;
  }
  EXPECT_EQ(CommandLineArgument(c.line, static_cast<int>(c.arguments.size())), "");
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SplitCommandLineTest,
    testing::Values(
        SplitCase{"Empty", "", {""}},
        SplitCase{"OnlyProgram", "framefit.exe", {"framefit.exe"}},
        SplitCase{"QuotedProgramAndPath", "\"C:\\Program Files\\framefit.exe\" \"D:\\My Videos\\clip one.avi\"",
                  {"C:\\Program Files\\framefit.exe", "D:\\My Videos\\clip one.avi"}},
        SplitCase{"QuotedStretchInsideKeepsItsQuotes", "ff D:\\a\" \"b\\clip.avi",
                  {"ff", "D:\\a\" \"b\\clip.avi"}},
        SplitCase{"QuotedStretchAtTheStartKeepsItsQuotes", "ff \"D:\\a b\"\\clip.avi",
                  {"ff", "\"D:\\a b\"\\clip.avi"}},
        SplitCase{"EmptyQuotesSkippedWhereAnArgumentBegins", "ff \"\" \"\"\"\"  clip.avi next",
                  {"ff", "clip.avi", "next"}},
        SplitCase{"EmptyQuotesGlueToTheFollowingText", "ff \"\"clip.avi", {"ff", "clip.avi"}},
        SplitCase{"EmptyQuotesInsideAnArgumentStay", "ff a\"\"b", {"ff", "a\"\"b"}},
        SplitCase{"UnclosedQuoteRunsToTheEnd", "ff \"D:\\a b\\clip.avi  x", {"ff", "\"D:\\a b\\clip.avi  x"}},
        SplitCase{"LoneQuoteIsNotRemoved", "ff \"", {"ff", "\""}},
        SplitCase{"QuotedBlankIsAnArgument", "ff \" \" x", {"ff", " ", "x"}},
        SplitCase{"Codes1To32AreBlanks", "\x01" "ff\t\x1f" "a\r\nb\x20\x7f", {"ff", "a", "b", "\x7f"}},
        SplitCase{"CodesAbove127BelongToTheArgument", "ff \xDC" "ber\xA0gr\xF6\xDF" "e.avi",
                  {"ff", "\xDC" "ber\xA0gr\xF6\xDF" "e.avi"}},
        SplitCase{"TrailingBlanksAddNothing", "  ff   a   ", {"ff", "a"}},
        SplitCase{"CodeZeroEndsTheLine", std::string("ff a\0b", 6), {"ff", "a"}}),
    [](const testing::TestParamInfo<SplitCase>& param_info) { return std::string(param_info.param.name); });

TEST(CommandLineArgumentTest, OnlyTheAskedArgumentCounts) {
  const std::string line = "framefit \"first clip.avi\" second.avi third.avi";
  EXPECT_EQ(CommandLineArgument(line, 1), "first clip.avi");
  EXPECT_EQ(CommandLineArgument(line, 3), "third.avi");
  EXPECT_EQ(CommandLineArgument(line, 4), "");
  EXPECT_EQ(CommandLineArgument(line, -1), "");
}

}  // namespace
}  // namespace framefit
