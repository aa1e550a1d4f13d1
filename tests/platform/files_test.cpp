// Files by wide path: existence, copy, rename, sizes and 64-bit offsets.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/test_support.h"

namespace {

using platform_test::ReadBytes;
using platform_test::ScratchFolder;
using platform_test::WriteBytes;

TEST(Files, ExistenceFoldersAndDeletion) {
  ScratchFolder folder;
  const std::wstring sub = folder.File(L"sub \x4E2D\x6587");  // a name beyond ASCII
  EXPECT_TRUE(platform::CreateFolder(sub));
  EXPECT_FALSE(platform::CreateFolder(sub));  // already there
  EXPECT_TRUE(platform::FolderExists(sub));
  EXPECT_FALSE(platform::FileExists(sub));

  const std::wstring file = platform::JoinPath(sub, L"f.txt");
  WriteBytes(file, "data");
  EXPECT_TRUE(platform::FileExists(file));
  EXPECT_TRUE(platform::PathExists(file));
  EXPECT_FALSE(platform::RemoveEmptyFolder(sub));  // not empty
  EXPECT_TRUE(platform::DeleteFileAt(file));
  EXPECT_FALSE(platform::DeleteFileAt(file));  // missing
  EXPECT_TRUE(platform::RemoveEmptyFolder(sub));
  EXPECT_FALSE(platform::PathExists(sub));
}

TEST(Files, CopyAndRename) {
  ScratchFolder folder;
  const std::wstring a = folder.File(L"a.bin"), b = folder.File(L"b.bin"), c = folder.File(L"c.bin");
  WriteBytes(a, "first");
  WriteBytes(b, "second");
  EXPECT_FALSE(platform::CopyFileTo(a, b, /*overwrite=*/false));
  EXPECT_EQ(ReadBytes(b), "second");
  EXPECT_TRUE(platform::CopyFileTo(a, b, /*overwrite=*/true));
  EXPECT_EQ(ReadBytes(b), "first");
  EXPECT_FALSE(platform::CopyFileTo(folder.File(L"missing"), c, true));

  EXPECT_FALSE(platform::RenameFile(a, b));  // the target exists
  EXPECT_TRUE(platform::RenameFile(a, c));
  EXPECT_FALSE(platform::FileExists(a));
  EXPECT_EQ(ReadBytes(c), "first");
}

TEST(Files, SizesAndOffsetsBeyond4GiB) {
  ScratchFolder folder;
  const std::wstring file = folder.File(L"sparse.bin");
  std::FILE* f = platform::OpenFile(file, "wb");
  ASSERT_NE(f, nullptr);
  const std::int64_t far = (std::int64_t{1} << 32) + 10;  // past 32 bits
  ASSERT_TRUE(platform::SeekFile64(f, far, SEEK_SET));
  ASSERT_EQ(std::fputc('z', f), 'z');
  EXPECT_EQ(platform::TellFile64(f), far + 1);
  std::fclose(f);
  EXPECT_EQ(platform::FileSize(file), far + 1);
  EXPECT_EQ(platform::FileSize(folder.File(L"missing")), -1);
  EXPECT_EQ(platform::FileSize(folder.path()), -1);
}

TEST(Files, OpenFailureSetsErrnoAndHasText) {
  ScratchFolder folder;
  errno = 0;
  EXPECT_EQ(platform::OpenFile(platform::JoinPath(folder.File(L"missing"), L"x"), "rb"), nullptr);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_FALSE(platform::ErrorText(ENOENT).empty());
}

}  // namespace
