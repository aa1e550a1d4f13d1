// POSIX stand-in for the code-page conversions: the ANSI code page is UTF-8,
// 936 goes through iconv's GBK. Like MultiByteToWideChar without flags, bytes
// that are invalid in the source code page become U+FFFD (one per maximal
// invalid sequence for UTF-8, one per byte for GBK); like WideCharToMultiByte
// without flags, characters that GBK cannot hold become '?'.
#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsUtf8(std::uint32_t codePage) { return codePage == kCodePageAnsi || codePage == kCodePageUtf8; }

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

std::wstring Utf8ToWide(const std::string& text) {
  std::wstring out;
  out.reserve(text.size());
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char c = s[i];
    if (c < 0x80) {
      out += static_cast<wchar_t>(c);
      ++i;
      continue;
    }
    std::size_t length = 0;
    char32_t cp = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3, cp = c & 0x0F;
      if (c == 0xE0) low = 0xA0;       // no overlong forms
      if (c == 0xED) high = 0x9F;      // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4, cp = c & 0x07;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;      // nothing above U+10FFFF
    } else {
      out += static_cast<wchar_t>(kReplacement);
      ++i;
      continue;
    }
    // Take continuation bytes as long as they fit; a sequence cut short is
    // one invalid unit (the maximal-subpart rule).
    std::size_t taken = 1;
    bool ok = true;
    while (taken < length) {
      if (i + taken >= n) { ok = false; break; }
      const unsigned char b = s[i + taken];
      const bool fits = taken == 1 ? (b >= low && b <= high) : IsContinuation(b);
      if (!fits) { ok = false; break; }
      cp = (cp << 6) | (b & 0x3F);
      ++taken;
    }
    out += static_cast<wchar_t>(ok ? cp : kReplacement);
    i += taken;
  }
  return out;
}

std::string WideToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t w : text) {
    char32_t cp = static_cast<char32_t>(w);
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

// One iconv descriptor per call: descriptors carry shift state and are not
// safe to share between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as possible; returns false on an invalid or incomplete
  // input unit (the caller skips it) and true when all input was used.
  bool Run(const char** in, std::size_t* inLeft, std::string* out) {
    char buffer[256];
    while (*inLeft > 0) {
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      char* src = const_cast<char*>(*in);
      const std::size_t r = iconv(cd_, &src, inLeft, &dst, &dstLeft);
      *in = src;
      out->append(buffer, sizeof buffer - dstLeft);
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
  }

 private:
  iconv_t cd_;
};

std::wstring GbkToWide(const std::string& text) {
  Converter conv("UTF-32LE", "GBK");
  if (!conv.ok()) return {};
  std::string utf32;
  const char* in = text.data();
  std::size_t left = text.size();
  while (!conv.Run(&in, &left, &utf32)) {
    const char32_t bad = kReplacement;
    for (int b = 0; b < 4; ++b) utf32 += static_cast<char>((bad >> (8 * b)) & 0xFF);
    ++in;
    --left;
  }
  std::wstring out;
  out.reserve(utf32.size() / 4);
  for (std::size_t i = 0; i + 3 < utf32.size(); i += 4) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf32.data() + i);
    out += static_cast<wchar_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<char32_t>(p[3]) << 24));
  }
  return out;
}

std::string WideToGbk(const std::wstring& text) {
  Converter conv("GBK", "UTF-32LE");
  if (!conv.ok()) return {};
  std::string utf32;
  utf32.reserve(text.size() * 4);
  for (wchar_t w : text) {
    const auto cp = static_cast<char32_t>(w);
    for (int b = 0; b < 4; ++b) utf32 += static_cast<char>((cp >> (8 * b)) & 0xFF);
  }
  std::string out;
  const char* in = utf32.data();
  std::size_t left = utf32.size();
  while (!conv.Run(&in, &left, &out)) {
    out += '?';
    const std::size_t skip = left < 4 ? left : 4;
    in += skip;
    left -= skip;
  }
  return out;
}

}  // namespace

bool CanConvertFrom(std::uint32_t codePage) { return IsUtf8(codePage) || codePage == kCodePageGbk; }

std::wstring ToWide(const std::string& text, std::uint32_t codePage) {
  if (IsUtf8(codePage)) return Utf8ToWide(text);
  if (codePage == kCodePageGbk) return GbkToWide(text);
  return {};
}

std::string ToNarrow(const std::wstring& text, std::uint32_t codePage) {
  if (IsUtf8(codePage)) return WideToUtf8(text);
  if (codePage == kCodePageGbk) return WideToGbk(text);
  return {};
}

}  // namespace platform
