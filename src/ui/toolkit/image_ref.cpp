#include "ui/toolkit/image_ref.h"

#include <algorithm>

#include "ui/toolkit/attribute_values.h"

namespace ui {
namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

// Splits "key='value' key='value'" into pairs; stops at the first malformed
// pair and keeps what was read before it.
template <typename OnPair>
void ForEachPair(const std::wstring& text, OnPair onPair) {
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsSpace(text[i])) ++i;
    const std::size_t keyStart = i;
    while (i < text.size() && text[i] != L'=' && !IsSpace(text[i])) ++i;
    const std::wstring key = text.substr(keyStart, i - keyStart);
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (key.empty() || i >= text.size() || text[i] != L'=') return;
    ++i;
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (i >= text.size() || text[i] != L'\'') return;
    const std::size_t valueStart = ++i;
    while (i < text.size() && text[i] != L'\'') ++i;
    if (i >= text.size()) return;
    onPair(ToLowerAscii(key), text.substr(valueStart, i - valueStart));
    ++i;
  }
}

}  // namespace

Rect ImageRef::DestIn(const Rect& control) const {
  if (dest.IsZero()) return control;
  return {control.left + dest.left, control.top + dest.top, control.left + dest.right,
          control.top + dest.bottom};
}

ImageRef ParseImageRef(const std::wstring& value) {
  ImageRef image;
  if (value.find(L'\'') == std::wstring::npos) {
    image.file = value;
    return image;
  }
  ForEachPair(value, [&](const std::wstring& key, const std::wstring& v) {
    if (key == L"file") image.file = v;
    else if (key == L"source") image.source = ParseRect(v);
    else if (key == L"dest") image.dest = ParseRect(v);
    else if (key == L"corner") image.corner = ParseRect(v);
    else if (key == L"fade") image.fade = static_cast<std::uint8_t>(std::clamp(ParseInt(v), 0, 255));
  });
  return image;
}

}  // namespace ui
