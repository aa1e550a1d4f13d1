// HKEY_CURRENT_USER string values: the real registry under Windows (a
// test-only key, deleted afterwards), the per-user file store on POSIX
// (redirected into a scratch folder through XDG_CONFIG_HOME).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/test_support.h"

namespace {

class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    hadConfigHome_ = old != nullptr;
    if (old != nullptr) oldConfigHome_ = old;
    platform_test::SetEnvironment("XDG_CONFIG_HOME",
                                  platform::ToNarrow(scratch_.path(), platform::kCodePageUtf8));
    leaf_ = platform_test::UniqueName();
    key_ = L"Software\\TarnwickTests\\" + leaf_;
  }
  void TearDown() override {
    platform::DeleteUserRegistryKey(key_);
    platform_test::SetEnvironment("XDG_CONFIG_HOME", hadConfigHome_ ? oldConfigHome_ : "");
  }

  platform_test::ScratchFolder scratch_;
  std::wstring leaf_;
  std::wstring key_;
  bool hadConfigHome_ = false;
  std::string oldConfigHome_;
};

TEST_F(Registry, RoundTripsAnyText) {
  const std::wstring values[] = {
      L"C:\\Program Files\\Tarnwick",
      L"",
      L"  blanks kept  ",
      L"\"quoted\"",
      L"a=b\r\nsecond line\\n",
      L"\x4E2D\x6587\x8DEF\x5F84",
  };
  for (const std::wstring& value : values) {
    ASSERT_TRUE(platform::WriteUserRegistryString(key_, L"InstallPath", value));
    std::wstring read = L"stale";
    ASSERT_TRUE(platform::ReadUserRegistryString(key_, L"InstallPath", &read));
    EXPECT_EQ(read, value);
  }
}

TEST_F(Registry, KeepsOtherValuesAndIgnoresNameCase) {
  ASSERT_TRUE(platform::WriteUserRegistryString(key_, L"InstallPath", L"one"));
  ASSERT_TRUE(platform::WriteUserRegistryString(key_, L"UnInstallEp", L"two"));
  ASSERT_TRUE(platform::WriteUserRegistryString(key_, L"installpath", L"three"));
  std::wstring read;
  ASSERT_TRUE(platform::ReadUserRegistryString(key_, L"INSTALLPATH", &read));
  EXPECT_EQ(read, L"three");
  ASSERT_TRUE(platform::ReadUserRegistryString(key_, L"UnInstallEp", &read));
  EXPECT_EQ(read, L"two");
}

TEST_F(Registry, MissingKeyOrValueReadsAsFalse) {
  std::wstring read = L"untouched";
  EXPECT_FALSE(platform::ReadUserRegistryString(key_, L"InstallPath", &read));
  ASSERT_TRUE(platform::WriteUserRegistryString(key_, L"InstallPath", L"x"));
  EXPECT_FALSE(platform::ReadUserRegistryString(key_, L"UnInstallEp", &read));
  EXPECT_EQ(read, L"untouched");

  ASSERT_TRUE(platform::WriteUserRegistryString(key_ + L"\\Sub", L"V", L"y"));
  EXPECT_TRUE(platform::DeleteUserRegistryKey(key_));  // with everything below it
  EXPECT_FALSE(platform::ReadUserRegistryString(key_, L"InstallPath", &read));
  EXPECT_FALSE(platform::ReadUserRegistryString(key_ + L"\\Sub", L"V", &read));
}

TEST_F(Registry, PosixStoreLivesUnderTheConfigHome) {
  if (platform::kPathSeparator != L'/') GTEST_SKIP() << "the file store is the POSIX stand-in";
  ASSERT_TRUE(platform::WriteUserRegistryString(key_, L"InstallPath", L"x"));
  std::wstring file = platform::JoinPath(scratch_.path(), L"tarnwick-registry/HKCU/Software/TarnwickTests");
  file = platform::JoinPath(platform::JoinPath(file, leaf_), L"values.ini");
  EXPECT_TRUE(platform::FileExists(file)) << file;
  // Key paths cannot climb out of the store.
  EXPECT_FALSE(platform::WriteUserRegistryString(L"Software\\..\\..\\escape", L"V", L"x"));
}

}  // namespace
