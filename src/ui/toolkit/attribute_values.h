// Parsing of markup attribute values. Pure functions, thread-safe.
//
// Value forms the markup uses:
//   integer    "24", "-3"; read up to the first character that is not a
//              digit, so "24px" is 24 and "abc" is 0
//   rect       "l,t,r,b"   four integers, one separator character each
//   size       "w,h"
//   colour     "#AARRGGBB" or "0xAARRGGBB" (hex ARGB); six hex digits
//              ("#RRGGBB") mean an opaque colour
//   bool       "true" in any letter case is true, anything else false
// Missing trailing numbers of a rect or size read as 0.
#pragma once

#include <cstdint>
#include <string>

#include "ui/toolkit/geometry.h"

namespace ui {

using Color = std::uint32_t;  // ARGB

// Reads an optionally signed decimal integer at `*pos` (leading blanks
// skipped) and leaves `*pos` on the first character after it. No digits
// give 0. Values beyond int are clamped.
int ReadInt(const std::wstring& text, std::size_t* pos);
int ParseInt(const std::wstring& text);

// Integers separated by exactly one character each: after a number the next
// one starts one character later. Reading stops at the end of the text.
Rect ParseRect(const std::wstring& text);
Size ParseSize(const std::wstring& text);
Point ParsePoint(const std::wstring& text);

// A leading "#" or "0x" is skipped; the hex digits up to the first other
// character form the value.
Color ParseColor(const std::wstring& text);
// The leading hex digits after an optional "#" and an optional "0x", as an
// unsigned 32-bit number (higher digits shift out).
std::uint32_t ParseHex(const std::wstring& text);

bool ParseBool(const std::wstring& text);

bool EqualsIgnoreCase(const std::wstring& a, const std::wstring& b);
std::wstring ToLowerAscii(std::wstring text);

}  // namespace ui
