#include "utils/probes.h"

#include <gtest/gtest.h>

#include <cwctype>

#include "platform/paths.h"
#include "platform/files.h"
#include "utils/log_capture.h"
#include "utils/process_mutex.h"
#include "utils/pump.h"
#include "utils/stopwatch.h"
#include "utils/windows_version.h"

namespace {

TEST(GuidTest, ThirtyTwoDigitsWithOnlyTheThirdFieldInLowerCase) {
  std::wstring a = Utils::CreateGuidString();
  std::wstring b = Utils::CreateGuidString();
  ASSERT_EQ(a.size(), 32u);
  EXPECT_NE(a, b);
  for (std::size_t i = 0; i < a.size(); ++i) {
    wchar_t c = a[i];
    ASSERT_TRUE(std::iswxdigit(static_cast<std::wint_t>(c))) << a;
    bool thirdField = i >= 12 && i < 16;
    if (std::iswalpha(static_cast<std::wint_t>(c))) {
      EXPECT_EQ(std::iswlower(static_cast<std::wint_t>(c)) != 0, thirdField) << a << " at " << i;
    }
  }
}

TEST(NetworkTest, VerdictFromTheReport) {
  struct Case {
    const char* what;
    platform::NetworkReport report;
    std::uint32_t result;
    const wchar_t* logged;  // the message, or null for none
  } cases[] = {
      {"no manager (XP)", {false, 0, false, false, false}, 0, nullptr},
      {"no connectivity", {true, 0, true, false, false}, 0x10000, L"GetConnectivity 0"},
      {"connectivity query failed", {true, 0x40, false, true, true}, 0x10000, L"GetConnectivity 0"},
      {"internet", {true, 0x40, true, true, true}, 0x40, nullptr},
      {"local network only", {true, 0x4, true, false, true}, 0x20004, L"get_IsConnectedToInternet:0"},
      {"internet query failed", {true, 0x4, true, true, false}, 0x20004, L"get_IsConnectedToInternet:0"},
  };
  for (const Case& c : cases) {
    tw_test::LogCapture capture;
    EXPECT_EQ(Utils::CheckNetwork(c.report), c.result) << c.what;
    std::vector<std::wstring> lines = capture.Lines();
    if (c.logged == nullptr) {
      EXPECT_TRUE(lines.empty()) << c.what;
    } else {
      ASSERT_EQ(lines.size(), 1u) << c.what;
      EXPECT_EQ(capture.WithMessage(c.logged).size(), 1u) << c.what << ": " << lines[0];
      EXPECT_NE(lines[0].find(L"(Utils::CheckNetwork)<"), std::wstring::npos) << lines[0];
    }
  }
}

TEST(NetworkTest, LiveProbeAnswers) {
  platform::InitializeComForThread();
  std::uint32_t result = Utils::CheckNetwork();
  platform::UninitializeComForThread();
  EXPECT_LE(result >> 16, 2u);
}

TEST(DiskTest, ReportsTheTempVolume) {
  Utils::HardDiskManager disk;
  ASSERT_TRUE(disk.CheckFreeSpace(platform::TempPath()));
  EXPECT_GT(disk.m_totalBytes, 0u);
  EXPECT_LE(disk.m_totalFreeBytes, disk.m_totalBytes);
  EXPECT_LE(disk.m_freeBytesAvailable, disk.m_totalBytes);
}

TEST(DiskTest, MissingDriveFailsLogsAndLeavesZero) {
  std::wstring missing;
  if (platform::kPathSeparator == L'\\') {
    for (wchar_t letter = L'Q'; letter <= L'Y' && missing.empty(); ++letter) {
      std::wstring drive = std::wstring(1, letter) + L":";
      if (!platform::PathExists(drive + L"\\")) missing = drive;
    }
    if (missing.empty()) GTEST_SKIP() << "every drive letter is in use";
  } else {
    missing = L"/proc/tw-no-such-root/x";
  }
  tw_test::LogCapture capture;
  Utils::HardDiskManager disk;
  EXPECT_FALSE(disk.CheckFreeSpace(missing));
  EXPECT_EQ(disk.m_freeBytesAvailable, 0u);
  EXPECT_EQ(disk.m_totalBytes, 0u);
  EXPECT_EQ(disk.m_totalFreeBytes, 0u);
  std::vector<std::wstring> lines = capture.Lines();
  ASSERT_EQ(lines.size(), 1u);
  std::wstring marker = L"(Utils::HardDiskManager::CheckFreeSpace)<";
  EXPECT_NE(lines[0].find(marker), std::wstring::npos) << lines[0];
  std::size_t code = lines[0].find(L">: HardDiskManager::CheckFreeSpace FAIL code=");
  ASSERT_NE(code, std::wstring::npos) << lines[0];
  EXPECT_EQ(lines[0].substr(lines[0].size() - 2), L"\r\n");
  EXPECT_NE(lines[0].find_first_of(L"123456789", code), std::wstring::npos) << "a non-zero code";
}

TEST(UserProbesTest, AnswerWithoutFailing) {
  std::wstring user = L"unchanged";
  if (Utils::GetConsoleUserName(&user)) {
    EXPECT_FALSE(user.empty());
    Utils::IsAccountAdmin(user);
  } else {
    EXPECT_EQ(user, L"unchanged");
  }
  EXPECT_FALSE(Utils::IsAccountAdmin(L"tw-no-such-user-" + Utils::CreateGuidString()));
  Utils::IsUserAdmin();
}

TEST(WindowsVersionTest, LabelTable) {
  struct Case {
    std::uint32_t major, minor, build;
    bool serverR2;
    const wchar_t* label;
  } cases[] = {
      {0, 0, 0, false, L"XP-"},        {4, 10, 1998, false, L"XP-"},
      {5, 0, 2195, false, L"2K"},      {5, 1, 2600, false, L"XP"},
      {5, 2, 3790, false, L"Server 2003"}, {5, 2, 3790, true, L"Server 2003 R2"},
      {5, 3, 0, false, L"XP+"},        {6, 0, 6002, false, L"Vista"},
      {6, 1, 7601, true, L"7"},        {6, 2, 9200, false, L"8"},
      {6, 3, 9600, false, L"8.1"},     {6, 4, 9841, false, L"8.1+"},
      {10, 0, 22631, false, L"10"},    {10, 1, 0, false, L"10+"},
      {7, 0, 1, false, L"7.0.1"},      {9, 3, 0xF0002580, false, L"9.3.9600"},
      {11, 0, 0x12345, false, L"11.0.9029"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utils::WindowsVersionLabel(c.major, c.minor, c.build, c.serverR2), c.label)
        << c.major << "." << c.minor;
  }
  EXPECT_FALSE(Utils::GetWindowsVersion().empty());
}

std::uint32_t g_ticks = 0;
std::uint32_t FakeTicks() { return g_ticks; }

TEST(StopWatchTest, SecondsSinceStartAcrossTheWrap) {
  Utils::StopWatch watch(&FakeTicks);
  g_ticks = 5000;
  EXPECT_EQ(watch.Elapsed(), 0.0f);  // not started
  watch.Start();
  g_ticks = 7500;
  EXPECT_FLOAT_EQ(watch.Elapsed(), 2.5f);

  g_ticks = 0xFFFFFF00u;
  watch.Start();
  g_ticks = 0x100u;
  EXPECT_FLOAT_EQ(watch.Elapsed(), 0.512f);
  watch.Stop();
  EXPECT_EQ(watch.Elapsed(), 0.0f);
}

TEST(ProcessMutexTest, OneHolderPerName) {
  std::wstring name = L"tw-test-" + Utils::CreateGuidString();
  Utils::ProcessMutex first(name);
  first.Acquire();
  ASSERT_TRUE(first.IsHeld());
  first.Acquire();  // already held: no change
  EXPECT_TRUE(first.IsHeld());
  {
    Utils::ProcessMutex second(name);
    second.Acquire();
    EXPECT_FALSE(second.IsHeld());
    Utils::ProcessMutex other(name + L"-other");
    other.Acquire();
    EXPECT_TRUE(other.IsHeld());
  }
  first.Release();
  EXPECT_FALSE(first.IsHeld());
  Utils::ProcessMutex third(name);
  third.Acquire();
  EXPECT_TRUE(third.IsHeld());
}

}  // namespace

namespace {

TEST(PumpTest, EndsWhenItsTimeRunsOutWithoutMessages) { EXPECT_TRUE(Utils::PumpMessages(nullptr)); }

}  // namespace
