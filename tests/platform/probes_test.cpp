// Machine probes: disk space, GUIDs, version, identity, network.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "platform/paths.h"
#include "platform/probes.h"
#include "platform/test_support.h"

namespace {

TEST(Probes, DiskSpaceOfTheTempFolder) {
  platform::DiskSpace space;
  std::uint32_t error = 0;
  ASSERT_TRUE(platform::QueryDiskSpace(platform::TempPath(), &space, &error)) << "error " << error;
  EXPECT_GT(space.total, 0u);
  EXPECT_GT(space.totalFree, 0u);
  EXPECT_LE(space.freeToCaller, space.totalFree);
  EXPECT_LE(space.totalFree, space.total);
}

TEST(Probes, DiskSpaceOfAMissingPathFailsWithAnError) {
  platform::DiskSpace space;
  std::uint32_t error = 0;
  const std::wstring missing = platform::JoinPath(platform::TempPath(), L"no-such-folder-" + platform_test::UniqueName());
  EXPECT_FALSE(platform::QueryDiskSpace(missing, &space, &error));
  EXPECT_NE(error, 0u);
  EXPECT_EQ(space.freeToCaller, 0u);  // untouched
}

TEST(Probes, GuidsAreNewVersion4Values) {
  std::set<std::tuple<std::uint32_t, std::uint16_t, std::uint16_t>> seen;
  for (int i = 0; i < 8; ++i) {
    platform::Guid g;
    ASSERT_TRUE(platform::CreateGuid(&g));
    EXPECT_EQ(g.data3 & 0xF000, 0x4000);
    EXPECT_EQ(g.data4[0] & 0xC0, 0x80);
    seen.insert({g.data1, g.data2, g.data3});
  }
  EXPECT_EQ(seen.size(), 8u);
}

TEST(Probes, OsVersionIsReadFromTheSystem) {
  const platform::OsVersion v = platform::QueryOsVersion();
  ASSERT_TRUE(v.ntdllLoaded);
  ASSERT_TRUE(v.entryFound);
  EXPECT_GE(v.major, 5u);
  EXPECT_NE(v.build & 0xFFFF, 0u);
}

TEST(Probes, IdentityQueriesAnswer) {
  const auto user = platform::ConsoleUserName();
  if (user.has_value()) {
    EXPECT_FALSE(user->empty());
    // Whatever the answer, asking about the account must not fail loudly.
    (void)platform::IsAccountAdmin(*user);
  }
  (void)platform::IsProcessAdmin();
  EXPECT_FALSE(platform::IsAccountAdmin(L"no-such-user-" + platform_test::UniqueName()));
  EXPECT_NE(platform::UserDefaultUiLanguage(), 0);
}

TEST(Probes, NetworkReportIsConsistent) {
  platform::InitializeComForThread();
  const platform::NetworkReport report = platform::QueryNetwork();
  platform::UninitializeComForThread();
  if (report.connectedToInternet) {
    EXPECT_TRUE(report.internetQueried);
  }
  if (!report.managerCreated) {
    EXPECT_EQ(report.connectivity, 0u);
  }
}

}  // namespace
