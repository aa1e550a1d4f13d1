// Code-page conversion through MultiByteToWideChar / WideCharToMultiByte
// without flags: invalid input becomes U+FFFD (or the default character)
// instead of failing.
#include <windows.h>

#include <climits>

#include "platform/codepage.h"

namespace platform {

bool CanConvertFrom(std::uint32_t codePage) {
  // IsValidCodePage also accepts code pages that MultiByteToWideChar refuses
  // (1200, 12000 ...); converting one letter is the test that matters.
  wchar_t out[4];
  return MultiByteToWideChar(codePage, 0, "A", 1, out, 4) > 0;
}

std::wstring ToWide(const std::string& text, std::uint32_t codePage) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring out(static_cast<std::size_t>(needed), L'\0');
  if (MultiByteToWideChar(codePage, 0, text.data(), length, out.data(), needed) != needed) return {};
  return out;
}

std::string ToNarrow(const std::wstring& text, std::uint32_t codePage) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string out(static_cast<std::size_t>(needed), '\0');
  if (WideCharToMultiByte(codePage, 0, text.data(), length, out.data(), needed, nullptr, nullptr) != needed) {
    return {};
  }
  return out;
}

}  // namespace platform
