// Code-page conversion between wide text and narrow bytes.
//
// Windows: MultiByteToWideChar / WideCharToMultiByte without flags, so bytes
// that are invalid in the source code page become U+FFFD instead of failing.
// POSIX stand-in: the ANSI code page is UTF-8; 936 goes through iconv (GBK).
// The whole string is converted, embedded null characters included.
// Any other failure, or an unknown code page, gives an empty result.
// Thread-safe.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

inline constexpr std::uint32_t kCodePageAnsi = 0;      // CP_ACP
inline constexpr std::uint32_t kCodePageUtf8 = 65001;  // CP_UTF8
inline constexpr std::uint32_t kCodePageGbk = 936;

// True when text in `codePage` converts to wide text here (the pseudo code
// pages 0 to 3 of Windows included; on the POSIX stand-in only 0, 65001 and
// 936).
bool CanConvertFrom(std::uint32_t codePage);

// Converts `text` (in `codePage`) to wide text. Empty on failure.
std::wstring ToWide(const std::string& text, std::uint32_t codePage);

// Converts wide `text` to `codePage`. Empty on failure.
std::string ToNarrow(const std::wstring& text, std::uint32_t codePage);

}  // namespace platform
