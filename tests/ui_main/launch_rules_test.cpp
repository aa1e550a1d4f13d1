#include "ui/main/launch_rules.h"

#include <gtest/gtest.h>

#include <cwctype>

#include "platform/path_rules.h"
#include "platform/paths.h"

namespace mainwnd {
namespace {

using R = LaunchRefusal;

TEST(LaunchRules, ProductMustBeAFileInsideTheInstallationFolder) {
  const std::wstring base = platform::JoinPath(platform::TempPath(), L"Tarnwick");
  const std::wstring upper = [&] {
    std::wstring s = platform::JoinPath(base, L"Tarnwick.exe");
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towupper(c));
    return s;
  }();
  const struct {
    std::wstring exe;
    std::wstring folder;
    R expected;
  } cases[] = {
      {platform::JoinPath(base, L"Tarnwick.exe"), base, R::kNone},
      {platform::JoinPath(platform::JoinPath(base, L"bin"), L"Tarnwick.exe"), base, R::kNone},
      {platform::JoinPath(base, L"Tarnwick.exe"), base + platform::kPathSeparator, R::kNone},
      {upper, base, platform::NativePathStyle().ignoreCase ? R::kNone : R::kOutsideInstallFolder},
      {L"", base, R::kEmpty},
      {base, base, R::kOutsideInstallFolder},
      {platform::JoinPath(platform::JoinPath(base, L".."), L"evil.exe"), base, R::kOutsideInstallFolder},
      {platform::JoinPath(base + L"2", L"Tarnwick.exe"), base, R::kOutsideInstallFolder},
      {platform::JoinPath(platform::TempPath(), L"Tarnwick.exe"), base, R::kOutsideInstallFolder},
      {L"Tarnwick.exe", L"Tarnwick", R::kOutsideInstallFolder},
      {platform::JoinPath(base, L"Tarnwick.exe"), L"", R::kOutsideInstallFolder},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckProductPath(c.exe, c.folder), c.expected)
        << testing::PrintToString(c.exe) << " in " << testing::PrintToString(c.folder);
  }
}

TEST(LaunchRules, StartPageMustBeAPlainWebAddress) {
  const struct {
    const wchar_t* url;
    R expected;
  } cases[] = {
      {L"https://x.example/welcome", R::kNone},
      {L"HTTP://x.example/?a=1&b=2", R::kNone},
      {L"http://127.0.0.1:8080/", R::kNone},
      {L"", R::kEmpty},
      {L"file:///C:/Windows/System32/calc.exe", R::kNotWebAddress},
      {L"C:\\Windows\\System32\\cmd.exe", R::kNotWebAddress},
      {L"javascript:alert(1)", R::kNotWebAddress},
      {L"ms-settings:", R::kNotWebAddress},
      {L"http://", R::kNotWebAddress},
      {L"https:///path", R::kNotWebAddress},
      {L"https://x.example/\" --user-data-dir=C:\\x", R::kNotWebAddress},
      {L"https://x.example/a b", R::kNotWebAddress},
      {L"https://x.example/\ta", R::kNotWebAddress},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckStartUrl(c.url), c.expected) << testing::PrintToString(std::wstring(c.url));
  }
  EXPECT_STREQ(RefusalReason(R::kNone), L"");
  EXPECT_STRNE(RefusalReason(R::kNotWebAddress), L"");
}

}  // namespace
}  // namespace mainwnd
