// Measures text in a font. The Win32 backend implements it with GDI
// (DrawText with DT_CALCRECT in a memory DC); tests use a fixed-advance fake.
// Called on the UI thread.
#pragma once

#include <string>

#include "ui/toolkit/font.h"
#include "ui/toolkit/geometry.h"

namespace ui {

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  // The size `text` (tokens already resolved) takes in `font` with the
  // TextStyle bits `style`. With TextStyle::kWordBreak the text wraps at
  // `maxWidth`; otherwise `maxWidth` is ignored.
  virtual Size Measure(const std::wstring& text, const FontSpec& font, unsigned style,
                       int maxWidth) = 0;
};

}  // namespace ui
