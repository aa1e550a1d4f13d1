// Command-line splitting: the rules as a table, then the same command lines
// handed to a real child, which reports the arguments it received (on
// Windows through the system's CommandLineToArgvW).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/test_support.h"

namespace {

using Args = std::vector<std::wstring>;

struct SplitCase {
  const wchar_t* commandLine;
  Args expected;
};

// Arguments after the program; the program is "p" in every case.
const SplitCase kArgumentCases[] = {
    {L"p a \"b c\" d", {L"p", L"a", L"b c", L"d"}},
    {L"p a\\\\b c\\", {L"p", L"a\\\\b", L"c\\"}},             // backslashes not before a quote stay
    {L"p a\\\"b", {L"p", L"a\"b"}},                           // 1 backslash + quote: literal quote
    {L"p a\\\\\"b c\"", {L"p", L"a\\b c"}},                   // 2 backslashes + quote: one backslash, quoting
    {L"p a\\\\\\\"b", {L"p", L"a\\\"b"}},                     // 3 backslashes + quote
    {L"p \"\"", {L"p", L""}},                                 // an empty argument
    {L"p \"\" \"\"", {L"p", L"", L""}},
    {L"p a\"\"b", {L"p", L"ab"}},                             // open and close outside quotes
    {L"p \"a\"\"b\"", {L"p", L"a\"b"}},                       // two quotes inside quotes: one literal
    {L"p \"\"\"\"", {L"p", L"\""}},
    {L"p \"a b", {L"p", L"a b"}},                             // quote never closed
    {L"p\ta\t\tb", {L"p", L"a", L"b"}},                       // tabs separate too
    {L"p a  ", {L"p", L"a"}},                                 // trailing blanks add nothing
    {L"p   ", {L"p"}},
    {L"p \x4E2D\x6587 \"\x00E4 \x00F6\"", {L"p", L"\x4E2D\x6587", L"\x00E4 \x00F6"}},
    {L"p -downloadurl=\"http://h/x?a=b c\"", {L"p", L"-downloadurl=http://h/x?a=b c"}},
};

// How the first argument, the program, is taken.
const SplitCase kProgramCases[] = {
    {L"\"C:\\Program Files\\x.exe\" a", {L"C:\\Program Files\\x.exe", L"a"}},
    {L"C:\\dir\\x.exe a", {L"C:\\dir\\x.exe", L"a"}},
    {L"a\\\"b c", {L"a\\\"b", L"c"}},      // unquoted: runs to the blank, quotes and all
    {L"\"a b\"c d", {L"a b", L"c", L"d"}},  // quoted: ends at the next quote
    {L"\"ab\\\" c", {L"ab\\", L"c"}},       // backslashes do not escape in the program
    {L"\"unclosed path", {L"unclosed path"}},
    {L"p", {L"p"}},
    {L"", {}},
};

TEST(SplitCommandLine, FollowsTheArgumentRules) {
  for (const SplitCase& c : kArgumentCases) {
    EXPECT_EQ(platform::SplitCommandLine(c.commandLine), c.expected) << "command line: " << c.commandLine;
  }
}

TEST(SplitCommandLine, TakesTheProgramPathLiterally) {
  for (const SplitCase& c : kProgramCases) {
    EXPECT_EQ(platform::SplitCommandLine(c.commandLine), c.expected) << "command line: " << c.commandLine;
  }
}

TEST(SplitCommandLine, ChildReceivesTheSameArguments) {
  for (const SplitCase& c : kArgumentCases) {
    const std::wstring tail = std::wstring(c.commandLine).substr(1);  // without the "p"
    const std::wstring commandLine = platform_test::ChildCommandLine(L"echo-args" + tail);
    const platform_test::ChildRun run = platform_test::RunChild(commandLine);
    ASSERT_TRUE(run.started);
    Args expected{platform_test::ChildPath(), L"echo-args"};
    expected.insert(expected.end(), c.expected.begin() + 1, c.expected.end());
    EXPECT_EQ(platform_test::OutputLines(run.output), expected) << "command line: " << commandLine;
  }
}

TEST(SplitCommandLine, ChildSeesArgumentsRightAfterItsQuotedPath) {
  // No blank after the closing quote: the program ends at that quote.
  const auto run = platform_test::RunChild(L"\"" + platform_test::ChildPath() + L"\"echo-args x");
  ASSERT_TRUE(run.started);
  const Args expected{platform_test::ChildPath(), L"echo-args", L"x"};
  EXPECT_EQ(platform_test::OutputLines(run.output), expected);
}

}  // namespace
