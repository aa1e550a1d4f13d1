// Helpers shared by the fuzz targets: turning fuzzer bytes into the text a
// parser reads, cutting them into pieces, and failing loudly when an
// invariant does not hold.
//
// Every helper is deterministic in its input, so a crash file found by one
// run reproduces in the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzz {

// An invariant that does not hold is a finding like a crash: libFuzzer
// keeps the input that led here.
#define FUZZ_CHECK(condition)                                                              \
  do {                                                                                     \
    if (!(condition)) {                                                                    \
      std::fprintf(stderr, "invariant failed at %s:%d: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                        \
    }                                                                                      \
  } while (0)

// Bytes as wide text: well-formed UTF-8 sequences give their code point and
// every other byte stands for itself (U+0000..U+00FF), so any wide
// character up to U+10FFFF, NUL and lone CR included, can be reached.
inline std::wstring WideFromBytes(const std::uint8_t* data, std::size_t size) {
  std::wstring out;
  out.reserve(size);
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t lead = data[i];
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    std::uint32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    bool valid = length > 0 && i + length <= size;
    for (std::size_t k = 1; valid && k < length; ++k) {
      if ((data[i + k] & 0xC0) != 0x80) valid = false;
      code = (code << 6) | (data[i + k] & 0x3F);
    }
    if (valid && length > 1 && (code < 0x80 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))) valid = false;
    if (!valid) {
      out.push_back(static_cast<wchar_t>(lead));
      ++i;
      continue;
    }
    out.push_back(static_cast<wchar_t>(code));
    i += length;
  }
  return out;
}

inline std::wstring WideFromBytes(const std::string& bytes) {
  return WideFromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// Splits at `separator`; n separators give n + 1 pieces.
template <typename Text>
std::vector<Text> SplitAt(const Text& text, typename Text::value_type separator) {
  std::vector<Text> pieces;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = text.find(separator, start);
    if (at == Text::npos) {
      pieces.push_back(text.substr(start));
      return pieces;
    }
    pieces.push_back(text.substr(start, at - start));
    start = at + 1;
  }
}

}  // namespace fuzz
