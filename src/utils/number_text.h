// Reading a number from the start of a text, the way the C library's wcstol
// and wcstod do (leading white space, a sign, stop at the first character
// that does not fit), but with the outcome spelt out instead of errno, and
// the same on every platform: decimal only, no "inf", "nan" or hexadecimal.
#pragma once

#include <cstdint>
#include <string>

namespace Utils {

enum class NumberParse {
  kNoNumber,    // no digits at the start; *out is 0
  kParsed,      // *out holds the number
  kOutOfRange,  // digits that do not fit the type; *out is untouched
};

// "  -42abc" -> -42. Out of range beyond the signed 32-bit limits.
NumberParse ParseLeadingInt32(const std::wstring& text, std::int32_t* out);

// "  0.5e1x" -> 5.0. Out of range when the value overflows a double, or
// underflows it (the C library's range error).
NumberParse ParseLeadingDouble(const std::wstring& text, double* out);

}  // namespace Utils
