// Path arithmetic under both styles (pure), and the native path queries.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/path_rules.h"
#include "platform/paths.h"
#include "platform/test_support.h"

namespace {

using platform::kPosixPathStyle;
using platform::kWindowsPathStyle;
using platform::PathStyle;
namespace rules = platform::rules;

struct Case {
  const PathStyle* style;
  std::wstring a, b;
  std::optional<std::wstring> expected;
};

const PathStyle* const kWin = &kWindowsPathStyle;
const PathStyle* const kPosix = &kPosixPathStyle;

TEST(PathRules, JoinPath) {
  const Case cases[] = {
      {kWin, L"C:\\a", L"b.txt", L"C:\\a\\b.txt"},
      {kWin, L"C:\\a\\", L"b.txt", L"C:\\a\\b.txt"},
      {kWin, L"C:\\a/", L"b.txt", L"C:\\a/b.txt"},
      {kWin, L"C:\\a", L"\\b.txt", L"C:\\a\\b.txt"},
      {kWin, L"", L"b.txt", L"b.txt"},
      {kPosix, L"/a", L"b", L"/a/b"},
      {kPosix, L"/a/", L"b", L"/a/b"},
      {kPosix, L"/", L"b", L"/b"},
      {kPosix, L"a\\", L"b", L"a\\/b"},  // a backslash is a name character here
  };
  for (const Case& c : cases) EXPECT_EQ(rules::JoinPath(*c.style, c.a, c.b), *c.expected) << c.a << " + " << c.b;
}

TEST(PathRules, RemoveFileSpecFileNameAndDrive) {
  struct Split {
    const PathStyle* style;
    std::wstring path, folder, name, drive;
  };
  const Split cases[] = {
      {kWin, L"C:\\a\\b.exe", L"C:\\a", L"b.exe", L"C:"},
      {kWin, L"C:\\b.exe", L"C:\\", L"b.exe", L"C:"},
      {kWin, L"C:\\a\\", L"C:\\a", L"", L"C:"},
      {kWin, L"C:\\", L"C:\\", L"", L"C:"},
      {kWin, L"C:b.exe", L"C:", L"b.exe", L"C:"},
      {kWin, L"C:/a/b.exe", L"C:/a", L"b.exe", L"C:"},
      {kWin, L"\\\\server\\share\\f.txt", L"\\\\server\\share", L"f.txt", L""},
      {kWin, L"b.exe", L"", L"b.exe", L""},
      {kPosix, L"/a/b", L"/a", L"b", L"/"},
      {kPosix, L"/b", L"/", L"b", L"/"},
      {kPosix, L"/", L"/", L"", L"/"},
      {kPosix, L"a/b:c", L"a", L"b:c", L""},
  };
  for (const Split& c : cases) {
    EXPECT_EQ(rules::RemoveFileSpec(*c.style, c.path), c.folder) << c.path;
    EXPECT_EQ(rules::FileNameOf(*c.style, c.path), c.name) << c.path;
    EXPECT_EQ(rules::DriveOf(*c.style, c.path), c.drive) << c.path;
  }
}

TEST(PathRules, RemoveFileSpecWorksOnTheFirst259Characters) {
  const std::wstring longName(300, L'x');
  EXPECT_EQ(rules::RemoveFileSpec(kWindowsPathStyle, L"C:\\d\\" + longName), L"C:\\d");
  // The separator at index 259 falls outside the 259 characters looked at.
  const std::wstring folder = L"C:\\" + std::wstring(250, L'y');
  const std::wstring path = folder + L"\\zzzzz\\tail";
  EXPECT_EQ(rules::RemoveFileSpec(kWindowsPathStyle, path), folder);
}

TEST(PathRules, RelativeFolderPath) {
  const Case cases[] = {
      {kWin, L"C:\\a", L"C:\\a", L"."},
      {kWin, L"C:\\a\\", L"C:\\a", L"."},  // a trailing separator names the same folder
      {kWin, L"c:\\A", L"C:\\a\\", L"."},  // letter case does not count
      {kWin, L"C:\\a\\.\\b", L"C:\\a\\b", L"."},
      {kWin, L"C:\\a", L"C:\\a\\b", L".\\b"},
      {kWin, L"C:\\a\\b", L"C:\\a", L".."},
      {kWin, L"C:\\a\\b\\c", L"C:\\a\\d", L"..\\..\\d"},
      {kWin, L"C:\\a", L"C:\\b", L"..\\b"},
      {kWin, L"C:\\", L"C:\\a", L".\\a"},
      {kWin, L"C:\\a", L"D:\\a", std::nullopt},  // another drive: no common root
      {kWin, L"a\\b", L"c\\d", std::nullopt},
      {kWin, L"\\\\srv\\share\\a", L"\\\\srv\\share\\b", L"..\\b"},
      {kWin, L"\\\\srv\\one\\a", L"\\\\srv\\two\\a", std::nullopt},
      {kWin, L"C:\\" + std::wstring(257, L'a'), L"C:\\a", std::nullopt},  // longer than 259
      {kPosix, L"/a", L"/a", L"."},
      {kPosix, L"/a/", L"/a//", L"."},
      {kPosix, L"/a/./b", L"/a/b/", L"."},
      {kPosix, L"/A", L"/a", L"../a"},  // letter case counts
      {kPosix, L"/a/b", L"/a/c/d", L"../c/d"},
      {kPosix, L"/", L"/a", L"./a"},
      {kPosix, L"a", L"/a", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(rules::RelativeFolderPath(*c.style, c.a, c.b), c.expected) << c.a << " -> " << c.b;
  }
}

// The native function: Windows asks the shell, POSIX uses the rules. Cases
// built with the native separator so they hold on both.
TEST(Paths, RelativePathBetweenFoldersNative) {
  const std::wstring root = platform::TempPath();
  const std::wstring a = platform::JoinPath(root, L"tw-a");
  const std::wstring b = platform::JoinPath(a, L"b");
  const std::wstring sep(1, platform::kPathSeparator);
  EXPECT_EQ(platform::RelativePathBetweenFolders(a, a), L".");
  EXPECT_EQ(platform::RelativePathBetweenFolders(a + sep, a), L".");
  EXPECT_EQ(platform::RelativePathBetweenFolders(a, b), L"." + sep + L"b");
  EXPECT_EQ(platform::RelativePathBetweenFolders(b, a), L"..");
}

TEST(Paths, SystemQueries) {
  const std::wstring module = platform::ModulePath();
  EXPECT_TRUE(platform::FileExists(module)) << module;
  const std::wstring temp = platform::TempPath();
  ASSERT_FALSE(temp.empty());
  EXPECT_TRUE(platform::IsPathSeparator(temp.back()));
  EXPECT_TRUE(platform::FolderExists(temp));
  EXPECT_TRUE(platform::IsPathSeparator(platform::kPathSeparator));
  EXPECT_EQ(platform::JoinPath(L"x", L"y"), std::wstring(L"x") + platform::kPathSeparator + L"y");
  for (auto which : {platform::SpecialFolder::kProgramFiles, platform::SpecialFolder::kProgramFilesX86,
                     platform::SpecialFolder::kCommonDocuments}) {
    const auto folder = platform::GetSpecialFolder(which);
    ASSERT_TRUE(folder.has_value());
    EXPECT_FALSE(folder->empty());
  }
}

TEST(Paths, GetEnvDistinguishesUnsetEmptyAndTooLong) {
  const std::string name = "TW_PLATFORM_TEST_VAR";
  const std::wstring wideName(name.begin(), name.end());
  platform_test::SetEnvironment(name, "");
  EXPECT_EQ(platform::GetEnv(wideName), std::nullopt);
  platform_test::SetEnvironment(name, "value 1");
  EXPECT_EQ(platform::GetEnv(wideName), L"value 1");
  platform_test::SetEnvironment(name, std::string(259, 'v'));
  EXPECT_EQ(platform::GetEnv(wideName), std::wstring(259, L'v'));
  platform_test::SetEnvironment(name, std::string(260, 'v'));  // does not fit the 260-character buffer
  EXPECT_EQ(platform::GetEnv(wideName), std::nullopt);
  platform_test::SetEnvironment(name, "");
}

}  // namespace
