#include "utils/integer_format.h"

#include <cstdio>

namespace Utils {
namespace {

bool IsFlag(wchar_t c) { return c == L'-' || c == L'+' || c == L' ' || c == L'#' || c == L'0'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Formats the one integer conversion found at format[start] ('%') and leaves
// `*end` after it. False when it is not a supported integer conversion.
bool FormatConversion(const std::wstring& format, std::size_t start, std::uint32_t value, std::size_t* end,
                      std::wstring* out) {
  std::string printfFormat = "%";
  std::size_t i = start + 1;
  while (i < format.size() && IsFlag(format[i])) printfFormat.push_back(static_cast<char>(format[i++]));
  std::size_t digits = 0;
  while (i < format.size() && IsDigit(format[i]) && digits < 3) {
    printfFormat.push_back(static_cast<char>(format[i++]));
    ++digits;
  }
  if (i < format.size() && format[i] == L'.') {
    printfFormat.push_back('.');
    ++i;
    digits = 0;
    while (i < format.size() && IsDigit(format[i]) && digits < 3) {
      printfFormat.push_back(static_cast<char>(format[i++]));
      ++digits;
    }
  }
  if (i < format.size() && (IsDigit(format[i]) || format[i] == L'*')) return false;
  while (i < format.size() && (format[i] == L'l' || format[i] == L'h')) ++i;  // lengths: int anyway
  if (i >= format.size()) return false;
  const wchar_t conversion = format[i];
  if (conversion != L'd' && conversion != L'i' && conversion != L'u' && conversion != L'x' &&
      conversion != L'X' && conversion != L'o') {
    return false;
  }
  printfFormat.push_back(static_cast<char>(conversion));
  // Width and precision are at most 999, so the text fits.
  char buffer[1100];
  int n;
  if (conversion == L'd' || conversion == L'i') {
    n = std::snprintf(buffer, sizeof buffer, printfFormat.c_str(), static_cast<int>(value));
  } else {
    n = std::snprintf(buffer, sizeof buffer, printfFormat.c_str(), static_cast<unsigned>(value));
  }
  if (n < 0) return false;
  for (const char* p = buffer; *p; ++p) out->push_back(static_cast<wchar_t>(*p));
  *end = i + 1;
  return true;
}

}  // namespace

std::wstring FormatOneInteger(const std::wstring& format, std::uint32_t value) {
  std::wstring out;
  bool converted = false;
  for (std::size_t i = 0; i < format.size();) {
    if (format[i] != L'%') {
      out.push_back(format[i++]);
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == L'%') {
      out.push_back(L'%');
      i += 2;
      continue;
    }
    std::size_t end = 0;
    if (converted || !FormatConversion(format, i, value, &end, &out)) return std::wstring();
    converted = true;
    i = end;
  }
  return out;
}

}  // namespace Utils
