#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "platform/files.h"
#include "platform/paths.h"
#include "utils/directories.h"
#include "utils/probes.h"
#include "utils/temp_folder.h"

namespace {

// A fresh folder under the temporary folder for each test.
class FoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = platform::JoinPath(platform::TempPath(), L"tw-utils-" + Utils::CreateGuidString());
    ASSERT_TRUE(platform::CreateFolder(base_));
  }
  // Leaves the temporary folder as it was: `cleanup_` lists what a test made,
  // deepest last.
  void TearDown() override {
    for (auto it = cleanup_.rbegin(); it != cleanup_.rend(); ++it) {
      if (!platform::DeleteFileAt(*it)) platform::RemoveEmptyFolder(*it);
    }
    platform::RemoveEmptyFolder(base_);
  }
  std::wstring Under(std::initializer_list<const wchar_t*> parts) const {
    std::wstring path = base_;
    for (const wchar_t* part : parts) path = platform::JoinPath(path, part);
    return path;
  }
  std::wstring base_;
  std::vector<std::wstring> cleanup_;
};

TEST_F(FoldersTest, CreatesEveryLevelWithOrWithoutTrailingSeparator) {
  std::wstring withSeparator = Under({L"a", L"b", L"c"}) + platform::kPathSeparator;
  EXPECT_TRUE(Utils::CreateDirectories(withSeparator));
  EXPECT_TRUE(platform::FolderExists(Under({L"a", L"b", L"c"})));
  cleanup_ = {Under({L"a"}), Under({L"a", L"b"}), Under({L"a", L"b", L"c"})};

  std::wstring without = Under({L"x", L"y"});
  EXPECT_TRUE(Utils::CreateDirectories(without));
  EXPECT_TRUE(platform::FolderExists(without));
  cleanup_.push_back(Under({L"x"}));
  cleanup_.push_back(without);

  // Everything exists already.
  EXPECT_TRUE(Utils::CreateDirectories(without));
}

TEST_F(FoldersTest, FailsWhereAFolderCannotBeMade) {
  std::wstring file = Under({L"file.txt"});
  std::FILE* f = platform::OpenFile(file, "wb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  cleanup_.push_back(file);
  // A file in the way, at the last level or above it, with or without a
  // trailing separator.
  const std::vector<std::wstring> blocked = {file, file + platform::kPathSeparator,
                                             platform::JoinPath(file, L"sub"),
                                             Under({L"file.txt", L"sub", L"deeper"}) + platform::kPathSeparator};
  for (std::size_t i = 0; i < blocked.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(Utils::CreateDirectories(blocked[i]));
  }
  EXPECT_TRUE(platform::FileExists(file));

  EXPECT_FALSE(Utils::CreateDirectories(L""));

  std::wstring tooLong = base_;
  while (tooLong.size() <= Utils::kMaxFolderPathChars) tooLong = platform::JoinPath(tooLong, L"abcdefgh");
  EXPECT_FALSE(Utils::CreateDirectories(tooLong));
}

TEST_F(FoldersTest, FailsOnARootThatDoesNotExist) {
  std::wstring root;
  if (platform::kPathSeparator == L'\\') {
    for (wchar_t letter = L'Q'; letter <= L'Y' && root.empty(); ++letter) {
      std::wstring drive = std::wstring(1, letter) + L":\\";
      if (!platform::PathExists(drive)) root = drive;
    }
    if (root.empty()) GTEST_SKIP() << "every drive letter is in use";
  } else {
    root = L"/proc/tw-no-such-root/";  // not even root can make folders here
  }
  EXPECT_FALSE(Utils::CreateDirectories(root + L"Tarnwick" + platform::kPathSeparator + L"x"));
}

TEST(TempFolderTest, SameFolderEveryTime) {
  std::wstring first = Utils::GetTempFolder();
  ASSERT_FALSE(first.empty());
  std::wstring expected = platform::JoinPath(platform::TempPath(), L"~BriselTemp.92482B06FB471E17");
  expected += platform::kPathSeparator;
  EXPECT_EQ(first, expected);
  EXPECT_TRUE(platform::FolderExists(first));
  EXPECT_EQ(Utils::GetTempFolder(), first);
}

}  // namespace
