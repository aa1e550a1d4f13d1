#include "ui/main/launch_rules.h"

#include <cwctype>
#include <vector>

#include "platform/path_rules.h"

namespace mainwnd {
namespace {

std::vector<std::wstring> Components(const platform::PathStyle& style, const std::wstring& path) {
  std::vector<std::wstring> parts(1);
  for (const wchar_t c : path) {
    if (platform::rules::IsSeparator(style, c)) {
      if (!parts.back().empty()) parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  if (parts.back().empty()) parts.pop_back();
  return parts;
}

bool SameComponent(const platform::PathStyle& style, const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const bool same = style.ignoreCase ? std::towlower(a[i]) == std::towlower(b[i]) : a[i] == b[i];
    if (!same) return false;
  }
  return true;
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (static_cast<wchar_t>(std::towlower(text[i])) != prefix[i]) return false;
  }
  return true;
}

}  // namespace

LaunchRefusal CheckProductPath(const std::wstring& exePath, const std::wstring& installFolder) {
  if (exePath.empty()) return LaunchRefusal::kEmpty;
  const platform::PathStyle& style = platform::NativePathStyle();
  const std::vector<std::wstring> folder = Components(style, installFolder);
  const std::vector<std::wstring> file = Components(style, exePath);
  if (folder.empty() || file.size() <= folder.size()) return LaunchRefusal::kOutsideInstallFolder;
  // Both must be rooted the same way ("C:\" against "C:\", "\\server\" ...).
  if (platform::rules::RootLength(style, installFolder) == 0 ||
      platform::rules::RootLength(style, exePath) != platform::rules::RootLength(style, installFolder)) {
    return LaunchRefusal::kOutsideInstallFolder;
  }
  for (std::size_t i = 0; i < file.size(); ++i) {
    if (file[i] == L"." || file[i] == L"..") return LaunchRefusal::kOutsideInstallFolder;
    if (i < folder.size() && !SameComponent(style, file[i], folder[i])) return LaunchRefusal::kOutsideInstallFolder;
  }
  return LaunchRefusal::kNone;
}

LaunchRefusal CheckStartUrl(const std::wstring& url) {
  if (url.empty()) return LaunchRefusal::kEmpty;
  std::size_t hostStart = 0;
  if (StartsWithNoCase(url, L"https://")) {
    hostStart = 8;
  } else if (StartsWithNoCase(url, L"http://")) {
    hostStart = 7;
  } else {
    return LaunchRefusal::kNotWebAddress;
  }
  if (url.size() <= hostStart || url[hostStart] == L'/') return LaunchRefusal::kNotWebAddress;
  for (const wchar_t c : url) {
    if (c <= L' ' || c == L'"' || c == 0x7F) return LaunchRefusal::kNotWebAddress;
  }
  return LaunchRefusal::kNone;
}

const wchar_t* RefusalReason(LaunchRefusal refusal) {
  switch (refusal) {
    case LaunchRefusal::kNone:
      return L"";
    case LaunchRefusal::kEmpty:
      return L"nothing named";
    case LaunchRefusal::kOutsideInstallFolder:
      return L"not a file inside the installation folder";
    case LaunchRefusal::kNotWebAddress:
      return L"not an http(s) address without blanks or quotes";
  }
  return L"";
}

}  // namespace mainwnd
