#include "ui/toolkit/attribute_values.h"

#include <climits>

namespace ui {
namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// The integers of a rect/size/point: "number, one separator, number, ...".
void ReadIntList(const std::wstring& text, int* values, int count) {
  std::size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    if (pos >= text.size()) {
      values[i] = 0;
      continue;
    }
    values[i] = ReadInt(text, &pos);
    ++pos;  // the separator
  }
}

}  // namespace

int ReadInt(const std::wstring& text, std::size_t* pos) {
  std::size_t i = *pos;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
    negative = text[i] == L'-';
    ++i;
  }
  long long value = 0;
  const std::size_t digitsStart = i;
  while (i < text.size() && IsDigit(text[i])) {
    if (value <= INT_MAX) value = value * 10 + (text[i] - L'0');
    ++i;
  }
  if (i == digitsStart) {
    *pos = digitsStart;
    return 0;
  }
  *pos = i;
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

int ParseInt(const std::wstring& text) {
  std::size_t pos = 0;
  return ReadInt(text, &pos);
}

Rect ParseRect(const std::wstring& text) {
  int v[4];
  ReadIntList(text, v, 4);
  return {v[0], v[1], v[2], v[3]};
}

Size ParseSize(const std::wstring& text) {
  int v[2];
  ReadIntList(text, v, 2);
  return {v[0], v[1]};
}

Point ParsePoint(const std::wstring& text) {
  int v[2];
  ReadIntList(text, v, 2);
  return {v[0], v[1]};
}

std::uint32_t ParseHex(const std::wstring& text) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == L'#') ++i;
  if (i + 1 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) i += 2;
  std::uint32_t value = 0;
  for (; i < text.size() && HexValue(text[i]) >= 0; ++i) {
    value = (value << 4) | static_cast<std::uint32_t>(HexValue(text[i]));
  }
  return value;
}

Color ParseColor(const std::wstring& text) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == L'#') {
    ++i;
  } else if (text.size() >= 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
    i = 2;
  }
  std::uint32_t value = 0;
  std::size_t digits = 0;
  for (; i < text.size() && HexValue(text[i]) >= 0; ++i, ++digits) {
    value = (value << 4) | static_cast<std::uint32_t>(HexValue(text[i]));
  }
  if (digits == 6) value |= 0xFF000000u;
  return value;
}

bool ParseBool(const std::wstring& text) { return EqualsIgnoreCase(text, L"true"); }

std::wstring ToLowerAscii(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return text;
}

bool EqualsIgnoreCase(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() && ToLowerAscii(a) == ToLowerAscii(b);
}

}  // namespace ui
