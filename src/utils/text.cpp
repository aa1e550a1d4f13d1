#include "utils/text.h"

#include <cwctype>

#include "platform/codepage.h"

namespace Utils {

namespace {

bool IsSpace(wchar_t c) { return std::iswspace(static_cast<std::wint_t>(c)) != 0; }

// Length of the UTF-8 sequence that `lead` opens, 0 when `lead` cannot open one.
int SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;  // C0 and C1 only make overlong forms
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;  // F5 and above exceed U+10FFFF
  return 0;
}

void AppendCodePoint(std::wstring* out, char32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp > 0xFFFF) {
      cp -= 0x10000;
      out->push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out->push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out->push_back(static_cast<wchar_t>(cp));
}

}  // namespace

std::wstring TrimLeft(const std::wstring& text) {
  std::size_t first = 0;
  while (first < text.size() && IsSpace(text[first])) ++first;
  return text.substr(first);
}

std::wstring TrimRight(const std::wstring& text) {
  std::size_t end = text.size();
  while (end > 0 && IsSpace(text[end - 1])) --end;
  return text.substr(0, end);
}

std::wstring Trim(const std::wstring& text) { return TrimRight(TrimLeft(text)); }

std::wstring ToWide(const std::string& text, std::uint32_t codePage) {
  return platform::ToWide(text, codePage);
}

std::string ToNarrow(const std::wstring& text, std::uint32_t codePage) {
  return platform::ToNarrow(text, codePage);
}

std::wstring Utf8ToWide(const std::string& text) {
  std::wstring out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    int length = SequenceLength(lead);
    if (length == 0 || i + length > text.size()) return std::wstring();
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return std::wstring();
      cp = (cp << 6) | (next & 0x3F);
    }
    bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
    bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    if (overlong || surrogate || cp > 0x10FFFF) return std::wstring();
    AppendCodePoint(&out, cp);
    i += length;
  }
  return out;
}

}  // namespace Utils
