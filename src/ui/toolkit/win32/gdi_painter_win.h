// GDI drawing for the Win32 backend: the Painter over a window's back
// buffer, the TextMeasurer, and the caches they share (fonts by FontSpec,
// DIB sections of decoded skin images).
//
// Images come premultiplied in DIB byte order from the ImageCache, so they
// are blended with AlphaBlend as they are; nine-grid images draw their four
// corners unscaled, their edges stretched along one axis and the middle
// stretched both ways. Text goes through DrawTextW in a GDI font made with
// CreateFontW (negative height = size in pixels, ClearType quality).
//
// Win32 backend only; UI thread.
#pragma once

#include <windows.h>
// The toolkit has members of these names; the A/W macros would rename them.
#undef DrawText
#undef GetClassName

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/toolkit/image_cache.h"
#include "ui/toolkit/painter.h"
#include "ui/toolkit/text_measurer.h"

namespace ui::win32 {

// The GDI font for a FontSpec; owned by the cache, kept for the process.
HFONT FontFor(const FontSpec& font);
// DrawTextW flags for TextStyle bits.
UINT DrawTextFlags(unsigned style);
COLORREF ToColorRef(Color argb);

// A 32-bit top-down DIB section with a memory DC, for back buffers and
// images.
class DibSurface {
 public:
  DibSurface() = default;
  ~DibSurface();
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;
  // Makes (or keeps) a surface of at least this size; false on failure.
  bool Ensure(int width, int height);
  HDC dc() const { return dc_; }
  std::uint8_t* bits() const { return bits_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  void Release();
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  std::uint8_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

class GdiPainter : public Painter {
 public:
  GdiPainter(HDC dc, ImageCache* images) : dc_(dc), images_(images) {}
  ~GdiPainter() override;

  void FillRect(const Rect& rect, Color color) override;
  void FillRoundRect(const Rect& rect, Color color, Size round) override;
  bool DrawImage(const ImageRef& image, const Rect& control) override;
  void DrawText(const Rect& rect, const std::wstring& text, const FontSpec& font, Color color,
                unsigned style) override;
  void DrawBorder(const Rect& rect, Color color, int width, Size round) override;
  void PushClip(const Rect& rect) override;
  void PopClip() override;

 private:
  void Blend(HDC source, const Rect& from, const Rect& to, BYTE alpha);

  HDC dc_;
  ImageCache* images_;
  int saved_ = 0;
};

class GdiMeasurer : public TextMeasurer {
 public:
  GdiMeasurer();
  ~GdiMeasurer() override;
  Size Measure(const std::wstring& text, const FontSpec& font, unsigned style, int maxWidth) override;

 private:
  HDC dc_;
};

}  // namespace ui::win32
