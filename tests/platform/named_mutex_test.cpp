// The session-local named mutex: a second holder is told that it exists,
// and the name is free again once every handle is closed.
#include <gtest/gtest.h>

#include "platform/named_mutex.h"
#include "platform/test_support.h"

namespace {

TEST(NamedMutex, SecondCreateSeesTheFirstAndCloseFreesTheName) {
  const std::wstring name = L"D1A547DB89C0BC61_tw-test-" + platform_test::UniqueName();
  bool existed = true;
  const platform::Handle first = platform::CreateNamedMutex(name, &existed);
  ASSERT_TRUE(platform::IsValid(first));
  EXPECT_FALSE(existed);

  const platform::Handle second = platform::CreateNamedMutex(name, &existed);
  EXPECT_TRUE(existed);
  platform::CloseNamedMutex(second);

  platform::ReleaseNamedMutex(first);
  platform::CloseNamedMutex(first);

  const platform::Handle third = platform::CreateNamedMutex(name, &existed);
  ASSERT_TRUE(platform::IsValid(third));
  EXPECT_FALSE(existed);
  platform::ReleaseNamedMutex(third);
  platform::CloseNamedMutex(third);
}

TEST(NamedMutex, DifferentNamesDoNotMeet) {
  bool existed = true;
  const platform::Handle a = platform::CreateNamedMutex(L"tw-test-a-" + platform_test::UniqueName(), &existed);
  EXPECT_FALSE(existed);
  const platform::Handle b = platform::CreateNamedMutex(L"tw-test-b-" + platform_test::UniqueName(), &existed);
  EXPECT_FALSE(existed);
  platform::CloseNamedMutex(a);
  platform::CloseNamedMutex(b);
}

}  // namespace
