#include "utils/number_text.h"

#include <cerrno>
#include <cstdlib>
#include <cwctype>

namespace Utils {

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::size_t SkipSpace(const std::wstring& text, std::size_t i) {
  while (i < text.size() && std::iswspace(static_cast<std::wint_t>(text[i]))) ++i;
  return i;
}

// Appends the digits at `*i` to `out` and returns how many there were.
std::size_t TakeDigits(const std::wstring& text, std::size_t* i, std::string* out) {
  std::size_t count = 0;
  while (*i < text.size() && IsDigit(text[*i])) {
    out->push_back(static_cast<char>(text[*i]));
    ++*i;
    ++count;
  }
  return count;
}

}  // namespace

NumberParse ParseLeadingInt32(const std::wstring& text, std::int32_t* out) {
  std::size_t i = SkipSpace(text, 0);
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
    negative = text[i] == L'-';
    ++i;
  }
  if (i >= text.size() || !IsDigit(text[i])) {
    *out = 0;
    return NumberParse::kNoNumber;
  }
  const std::int64_t limit = negative ? std::int64_t{INT32_MAX} + 1 : INT32_MAX;
  std::int64_t value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > limit) return NumberParse::kOutOfRange;
  }
  *out = static_cast<std::int32_t>(negative ? -value : value);
  return NumberParse::kParsed;
}

NumberParse ParseLeadingDouble(const std::wstring& text, double* out) {
  // Cut out the longest decimal number at the start, then let strtod do
  // the rounding, which it does exactly.
  std::size_t i = SkipSpace(text, 0);
  std::string number;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
    number.push_back(static_cast<char>(text[i]));
    ++i;
  }
  std::size_t digits = TakeDigits(text, &i, &number);
  if (i < text.size() && text[i] == L'.') {
    std::size_t afterPoint = i + 1;
    std::string fraction = ".";
    std::size_t fractionDigits = TakeDigits(text, &afterPoint, &fraction);
    if (digits + fractionDigits > 0) {
      number += fraction;
      digits += fractionDigits;
      i = afterPoint;
    }
  }
  if (digits == 0) {
    *out = 0.0;
    return NumberParse::kNoNumber;
  }
  if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == L'+' || text[j] == L'-')) {
      exponent.push_back(static_cast<char>(text[j]));
      ++j;
    }
    if (TakeDigits(text, &j, &exponent) > 0) number += exponent;
  }
  errno = 0;
  double value = std::strtod(number.c_str(), nullptr);
  if (errno == ERANGE) return NumberParse::kOutOfRange;
  *out = value;
  return NumberParse::kParsed;
}

}  // namespace Utils
