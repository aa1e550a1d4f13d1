// Markup attribute values: integers, rectangles, sizes, points, colours and
// booleans, read from any text.
//
// Invariants: an integer is the clamped value of its leading digits and
// reading stops right after them; a rectangle's numbers are the integers at
// the positions the one-character separators imply; six hex digits give an
// opaque colour; "true" is the only true boolean, in any letter case.
#include <climits>

#include "fuzz_support.h"
#include "ui/toolkit/attribute_values.h"

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsHex(wchar_t c) { return IsDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }

// The integer at `pos` by a second route: the digits' exact value, clamped.
int ExpectedInt(const std::wstring& text, std::size_t* pos) {
  std::size_t i = *pos;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
  const std::size_t digits = i;
  std::size_t significant = 0;
  unsigned long long value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    if (significant > 0 || text[i] != L'0') ++significant;
    if (significant <= 12) value = value * 10 + static_cast<unsigned>(text[i] - L'0');
  }
  if (i == digits) {
    *pos = digits;
    return 0;
  }
  *pos = i;
  if (significant > 12 || value > static_cast<unsigned long long>(INT_MAX) + (negative ? 1 : 0)) {
    return negative ? INT_MIN : INT_MAX;
  }
  return negative ? static_cast<int>(-static_cast<long long>(value)) : static_cast<int>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const std::wstring text = fuzz::WideFromBytes(data, size);

  std::size_t pos = 0, expectedPos = 0;
  FUZZ_CHECK(ui::ReadInt(text, &pos) == ExpectedInt(text, &expectedPos));
  FUZZ_CHECK(pos == expectedPos && pos <= text.size());

  int expected[4] = {0, 0, 0, 0};
  std::size_t at = 0;
  for (int& value : expected) {
    if (at >= text.size()) break;
    value = ExpectedInt(text, &at);
    ++at;
  }
  const ui::Rect rect = ui::ParseRect(text);
  FUZZ_CHECK(rect.left == expected[0] && rect.top == expected[1] && rect.right == expected[2] &&
             rect.bottom == expected[3]);
  const ui::Size pair = ui::ParseSize(text);
  FUZZ_CHECK(pair.cx == expected[0] && pair.cy == expected[1]);

  std::size_t hexAt = !text.empty() && text[0] == L'#' ? 1
                      : text.size() >= 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X') ? 2
                                                                                                       : 0;
  std::size_t hexDigits = 0;
  while (hexAt + hexDigits < text.size() && IsHex(text[hexAt + hexDigits])) ++hexDigits;
  if (hexDigits == 6) FUZZ_CHECK((ui::ParseColor(text) >> 24) == 0xFF);
  ui::ParseHex(text);

  std::wstring lower = ui::ToLowerAscii(text);
  FUZZ_CHECK(ui::ParseBool(text) == (lower == L"true"));
  return 0;
}
