// The start checks' probing: what is measured, and the real folder maker.
#include <string>

#include <gtest/gtest.h>

#include "platform/path_rules.h"
#include "platform/paths.h"
#include "rules/start_checks.h"

namespace {

using namespace rules;

TEST(StartChecks, SpaceIsMeasuredOnTheFolderItself) {
  const wchar_t sep = platform::kPathSeparator;
  struct Case {
    std::wstring folder, target;
  };
  std::vector<Case> cases{{L"relative", std::wstring(L"relative") + sep},
                          {std::wstring(L"dir") + sep, std::wstring(L"dir") + sep},
                          {L"", L""}};
  if (platform::NativePathStyle().driveLetters) {
    cases.push_back({L"C:\\Program Files\\Tarnwick", L"C:\\Program Files\\Tarnwick\\"});
    cases.push_back({L"\\\\server\\share", L"\\\\server\\share\\"});
    cases.push_back({L"D:/mnt/Tarnwick/", L"D:/mnt/Tarnwick/"});
  }
  for (const Case& c : cases) EXPECT_EQ(FreeSpaceTarget(c.folder), c.target);
}

TEST(StartChecks, RealProbesRefuseAnOverlongPathAndMeasureAFolder) {
  StartProbes probes = SystemStartProbes();
  EXPECT_EQ(CheckFolder(platform::JoinPath(platform::TempPath(), std::wstring(261, L'a')), probes),
            StartRefusal::kInvalidPath);
  EXPECT_TRUE(probes.freeBytes(FreeSpaceTarget(platform::TempPath())).has_value());
  EXPECT_FALSE(probes.isRunning(L"tw-no-such-program.exe"));
}

}  // namespace
