#include "utils/log.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <regex>

#include "platform/process.h"
#include "utils/function_name.h"
#include "utils/log_capture.h"

namespace logprobe {

int LogValue(int value) {
  TW_LOG(L"value=%d\r\n", value);
  return __LINE__ - 1;
}

void LogOutsideText(const std::wstring& text) { TW_LOG(L"url:%ls\r\n", text.c_str()); }

void LogRuntime(const std::wstring& text) { TW_LOG_TEXT(text); }

void LogWithoutLineEnd() { TW_LOG(L"GetConnectivity %d", 0); }

}  // namespace logprobe

namespace {

std::wstring Padded(long value, int width) {
  std::wstring digits = std::to_wstring(value);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), L'0');
  return digits;
}

TEST(LogTest, LineCarriesProcessThreadTimeTagAndSourceLine) {
  tw_test::LogCapture capture;
  int line = logprobe::LogValue(42);
  std::vector<std::wstring> lines = capture.Lines();
  ASSERT_EQ(lines.size(), 1u);

  std::wstring expectedStart = L"<P" + Padded(platform::CurrentProcessId(), 5) + L">" +
                               tw_test::ThreadField(platform::CurrentThreadId());
  EXPECT_EQ(lines[0].substr(0, expectedStart.size()), expectedStart) << lines[0];
  std::wstring expectedEnd = L"(logprobe::LogValue)<" + Padded(line, 4) + L">: value=42\r\n";
  ASSERT_GE(lines[0].size(), expectedEnd.size());
  EXPECT_EQ(lines[0].substr(lines[0].size() - expectedEnd.size()), expectedEnd) << lines[0];

  std::wregex shape(LR"(<P\d{5,}><T\d{5,}><\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}>\(logprobe::LogValue\)<\d{4,}>: value=42\r\n)");
  EXPECT_TRUE(std::regex_match(lines[0], shape)) << lines[0];
}

TEST(LogTest, PrefixPrintsLongIdsInFull) {
  wchar_t text[200];
  std::swprintf(text, 200, Utils::LOG_PREFIX, 1234567, 7654321, 2024, 3, 5, 9, 7, 2, 45, L"A::B", 123456);
  EXPECT_STREQ(text, L"<P1234567><T7654321><2024-03-05 09:07:02.045>(A::B)<123456>: ");
}

TEST(LogTest, OutsideTextWithPercentSignsIsLoggedLiterally) {
  tw_test::LogCapture capture;
  logprobe::LogOutsideText(L"http://h/a%20b?x=%s%n%d");
  logprobe::LogRuntime(L"partPath::%s 100% done");
  EXPECT_EQ(capture.WithMessage(L"url:http://h/a%20b?x=%s%n%d\r\n").size(), 1u);
  EXPECT_EQ(capture.WithMessage(L"partPath::%s 100% done\r\n").size(), 1u);
}

TEST(LogTest, MessageDecidesItsOwnLineEnd) {
  tw_test::LogCapture capture;
  logprobe::LogWithoutLineEnd();
  EXPECT_EQ(capture.WithMessage(L"GetConnectivity 0").size(), 1u);
}

TEST(LogTest, LongMessageIsNotCut) {
  tw_test::LogCapture capture;
  std::wstring big(20000, L'x');
  big += L"END";
  logprobe::LogOutsideText(big);
  EXPECT_EQ(capture.WithMessage(L"url:" + big + L"\r\n").size(), 1u);
}

TEST(FunctionNameTest, CutsReturnTypeParametersAndQualifiers) {
  struct Case {
    const char* pretty;
    const wchar_t* name;
  } cases[] = {
      {"void Utils::Thread::CallBack(Utils::Thread::State*)", L"Utils::Thread::CallBack"},
      {"static void Utils::Thread::CallBack(void*)", L"Utils::Thread::CallBack"},
      {"virtual int CFoo::Bar(const std::wstring&) const", L"CFoo::Bar"},
      {"std::map<int, std::vector<int> > ns::Fn(int, int)", L"ns::Fn"},
      {"CMainWnd::CMainWnd()", L"CMainWnd::CMainWnd"},
      {"int main()", L"main"},
      {"bool C::operator()(int) const", L"C::operator()"},
      {"bool operator<(const A&, const A&)", L"operator<"},
      {"C& C::operator<<=(int)", L"C::operator<<="},
      {"C::operator int() const", L"C::operator int"},
      {"void X::F(T) [with T = int]", L"X::F"},
      {"void {anonymous}::Helper()", L"{anonymous}::Helper"},
      {"void (anonymous namespace)::Helper()", L"(anonymous namespace)::Helper"},
      {"const T *Get(T)", L"Get"},
      {"CDownloadInstaller::Start()::<lambda(int, double, const wstring&)>", L"CDownloadInstaller::Start::<lambda(int, double, const wstring&)>"},
      {"void CFoo::Bar() const::<lambda()>", L"CFoo::Bar::<lambda()>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utils::QualifiedFunctionName(c.pretty), c.name) << c.pretty;
  }
}

}  // namespace

namespace Utils {
namespace probe {
std::wstring NameHere() { return TW_FUNCTION_NAME; }
}  // namespace probe
}  // namespace Utils

TEST(FunctionNameTest, MacroNamesTheEnclosingFunction) {
  EXPECT_EQ(Utils::probe::NameHere(), L"Utils::probe::NameHere");
}
