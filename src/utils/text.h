// Text helpers: trimming and conversions between wide and narrow text.
//
// Conversions never throw: any failure gives an empty text. Thread-safe.
#pragma once

#include <cstdint>
#include <string>

namespace Utils {

// Remove leading, trailing or both kinds of white space (iswspace).
std::wstring TrimLeft(const std::wstring& text);
std::wstring TrimRight(const std::wstring& text);
std::wstring Trim(const std::wstring& text);

// Between wide text and the narrow text of `codePage` (platform/codepage.h:
// kCodePageAnsi, kCodePageUtf8, ...). Empty on failure.
std::wstring ToWide(const std::string& text, std::uint32_t codePage);
std::string ToNarrow(const std::wstring& text, std::uint32_t codePage);

// Strict UTF-8 decoding: overlong forms, surrogates, code points above
// U+10FFFF, stray continuation bytes and cut-off sequences make the whole
// text invalid, which gives an empty result. Code points above U+FFFF become
// surrogate pairs where wchar_t has 16 bits.
std::wstring Utf8ToWide(const std::string& text);

}  // namespace Utils
