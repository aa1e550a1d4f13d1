// Drawing surface the controls paint on. The Win32 backend implements it with
// GDI/GDI+ on the window's back buffer (images decoded from the skin, alpha
// blended, nine-grid stretched); tests record the calls.
//
// All rectangles are window client coordinates. Called on the UI thread
// during WindowTree::Paint only.
#pragma once

#include <string>

#include "ui/toolkit/attribute_values.h"
#include "ui/toolkit/font.h"
#include "ui/toolkit/geometry.h"
#include "ui/toolkit/image_ref.h"

namespace ui {

class Painter {
 public:
  virtual ~Painter() = default;
  virtual void FillRect(const Rect& rect, Color color) = 0;
  // `round` gives the corner ellipse's width and height.
  virtual void FillRoundRect(const Rect& rect, Color color, Size round) = 0;
  // Draws `image` for a control at `control` (the image's own dest, source
  // and corner apply). False when the image cannot be loaded; nothing is
  // drawn then.
  virtual bool DrawImage(const ImageRef& image, const Rect& control) = 0;
  // `text` has its tokens resolved. `style` holds TextStyle bits.
  virtual void DrawText(const Rect& rect, const std::wstring& text, const FontSpec& font,
                        Color color, unsigned style) = 0;
  // A frame of `width` pixels inside `rect`; `round` gives the corner
  // ellipse (0,0: square corners).
  virtual void DrawBorder(const Rect& rect, Color color, int width, Size round) = 0;
  // Clipping nests: Pop restores the clip before the matching Push.
  virtual void PushClip(const Rect& rect) = 0;
  virtual void PopClip() = 0;
};

}  // namespace ui
