#include "ui/toolkit/win32/gdi_painter_win.h"

#include <algorithm>
#include <cstring>
#include <tuple>

#include "ui/toolkit/text_style.h"

namespace ui::win32 {
namespace {

using FontKey = std::tuple<std::wstring, int, bool, bool, bool>;

std::map<FontKey, HFONT>& Fonts() {
  static std::map<FontKey, HFONT> fonts;
  return fonts;
}

struct ImageSurface {
  std::shared_ptr<const Bitmap> bitmap;
  std::unique_ptr<DibSurface> surface;
};

// Decoded images as DIB sections, kept as long as the image cache keeps the
// bitmap (the key is the bitmap the cache hands out).
std::map<const Bitmap*, ImageSurface>& Surfaces() {
  static std::map<const Bitmap*, ImageSurface> surfaces;
  return surfaces;
}

DibSurface* SurfaceFor(const std::shared_ptr<const Bitmap>& bitmap) {
  auto& surfaces = Surfaces();
  auto it = surfaces.find(bitmap.get());
  if (it != surfaces.end()) return it->second.surface.get();
  auto surface = std::make_unique<DibSurface>();
  if (!surface->Ensure(bitmap->width, bitmap->height)) return nullptr;
  std::memcpy(surface->bits(), bitmap->pixels.data(),
              static_cast<std::size_t>(bitmap->width) * bitmap->height * 4);
  DibSurface* raw = surface.get();
  surfaces[bitmap.get()] = ImageSurface{bitmap, std::move(surface)};
  return raw;
}

RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

HFONT FontFor(const FontSpec& font) {
  const FontKey key{font.face, font.size, font.bold, font.underline, font.italic};
  auto& fonts = Fonts();
  auto it = fonts.find(key);
  if (it != fonts.end()) return it->second;
  HFONT made = CreateFontW(-font.size, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic, font.underline,
                           FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, font.face.c_str());
  if (!made) made = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  fonts[key] = made;
  return made;
}

UINT DrawTextFlags(unsigned style) {
  UINT flags = DT_NOPREFIX;
  if (style & TextStyle::kCenter) flags |= DT_CENTER;
  else if (style & TextStyle::kRight) flags |= DT_RIGHT;
  if (style & TextStyle::kVCenter) flags |= DT_VCENTER;
  else if (style & TextStyle::kBottom) flags |= DT_BOTTOM;
  if (style & TextStyle::kWordBreak) flags |= DT_WORDBREAK;
  else flags |= DT_SINGLELINE;
  if (style & TextStyle::kEndEllipsis) flags |= DT_END_ELLIPSIS;
  return flags;
}

COLORREF ToColorRef(Color argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

// ---- DibSurface -------------------------------------------------------------

DibSurface::~DibSurface() { Release(); }

void DibSurface::Release() {
  if (dc_) {
    if (old_) SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  if (bitmap_) DeleteObject(bitmap_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  old_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
}

bool DibSurface::Ensure(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (dc_ && width <= width_ && height <= height_) return true;
  Release();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, as the image cache lays pixels out
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_) return false;
  dc_ = CreateCompatibleDC(nullptr);
  if (!dc_) {
    Release();
    return false;
  }
  old_ = SelectObject(dc_, bitmap_);
  bits_ = static_cast<std::uint8_t*>(bits);
  width_ = width;
  height_ = height;
  return true;
}

// ---- GdiPainter -------------------------------------------------------------

GdiPainter::~GdiPainter() {
  while (saved_ > 0) PopClip();
}

void GdiPainter::Blend(HDC source, const Rect& from, const Rect& to, BYTE alpha) {
  if (from.IsEmpty() || to.IsEmpty()) return;
  BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
  AlphaBlend(dc_, to.left, to.top, to.Width(), to.Height(), source, from.left, from.top, from.Width(),
             from.Height(), blend);
}

void GdiPainter::FillRect(const Rect& rect, Color color) {
  const BYTE alpha = static_cast<BYTE>(color >> 24);
  if (alpha == 0 || rect.IsEmpty()) return;
  if (alpha == 255) {
    HBRUSH brush = CreateSolidBrush(ToColorRef(color));
    const RECT r = ToRECT(rect);
    ::FillRect(dc_, &r, brush);
    DeleteObject(brush);
    return;
  }
  // A translucent fill: one premultiplied pixel stretched over the rectangle.
  static DibSurface pixel;
  if (!pixel.Ensure(1, 1)) return;
  pixel.bits()[0] = static_cast<std::uint8_t>((color & 0xFF) * alpha / 255);
  pixel.bits()[1] = static_cast<std::uint8_t>(((color >> 8) & 0xFF) * alpha / 255);
  pixel.bits()[2] = static_cast<std::uint8_t>(((color >> 16) & 0xFF) * alpha / 255);
  pixel.bits()[3] = alpha;
  Blend(pixel.dc(), {0, 0, 1, 1}, rect, 255);
}

void GdiPainter::FillRoundRect(const Rect& rect, Color color, Size round) {
  if ((color >> 24) == 0 || rect.IsEmpty()) return;
  HRGN region = CreateRoundRectRgn(rect.left, rect.top, rect.right + 1, rect.bottom + 1, round.cx, round.cy);
  HBRUSH brush = CreateSolidBrush(ToColorRef(color));
  FillRgn(dc_, region, brush);
  DeleteObject(brush);
  DeleteObject(region);
}

bool GdiPainter::DrawImage(const ImageRef& image, const Rect& control) {
  if (!images_ || image.IsEmpty()) return false;
  std::shared_ptr<const Bitmap> bitmap = images_->Get(image.file);
  if (!bitmap) return false;
  DibSurface* surface = SurfaceFor(bitmap);
  if (!surface) return false;
  const Rect whole{0, 0, bitmap->width, bitmap->height};
  Rect src = image.source.IsZero() ? whole : image.source;
  src = {std::max(src.left, 0), std::max(src.top, 0), std::min(src.right, whole.right),
         std::min(src.bottom, whole.bottom)};
  const Rect dst = image.DestIn(control);
  if (src.IsEmpty() || dst.IsEmpty()) return true;
  HDC from = surface->dc();
  const Rect& c = image.corner;
  if (c.IsZero()) {
    Blend(from, src, dst, image.fade);
    return true;
  }
  // Nine-grid: corners kept, edges stretched along their side, middle both
  // ways. Corners larger than the target are cut to fit.
  const int l = std::min(c.left, dst.Width() / 2), r = std::min(c.right, dst.Width() / 2);
  const int t = std::min(c.top, dst.Height() / 2), b = std::min(c.bottom, dst.Height() / 2);
  const int xs[4] = {src.left, src.left + c.left, src.right - c.right, src.right};
  const int ys[4] = {src.top, src.top + c.top, src.bottom - c.bottom, src.bottom};
  const int xd[4] = {dst.left, dst.left + l, dst.right - r, dst.right};
  const int yd[4] = {dst.top, dst.top + t, dst.bottom - b, dst.bottom};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      Blend(from, {xs[col], ys[row], xs[col + 1], ys[row + 1]}, {xd[col], yd[row], xd[col + 1], yd[row + 1]},
            image.fade);
    }
  }
  return true;
}

void GdiPainter::DrawText(const Rect& rect, const std::wstring& text, const FontSpec& font, Color color,
                          unsigned style) {
  if (text.empty() || rect.IsEmpty()) return;
  HGDIOBJ oldFont = SelectObject(dc_, FontFor(font));
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, ToColorRef(color));
  UINT flags = DrawTextFlags(style);
  RECT r = ToRECT(rect);
  if ((flags & DT_WORDBREAK) && (style & (TextStyle::kVCenter | TextStyle::kBottom))) {
    // DrawTextW centres single lines only: place wrapped text by its height.
    RECT measured = r;
    ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &measured, flags | DT_CALCRECT);
    const int height = measured.bottom - measured.top;
    if (height < rect.Height()) {
      r.top = (style & TextStyle::kBottom) ? rect.bottom - height : rect.top + (rect.Height() - height) / 2;
    }
    flags &= ~(DT_VCENTER | DT_BOTTOM);
  }
  ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &r, flags);
  SelectObject(dc_, oldFont);
}

void GdiPainter::DrawBorder(const Rect& rect, Color color, int width, Size round) {
  if (width <= 0 || (color >> 24) == 0 || rect.IsEmpty()) return;
  if (round.cx > 0 || round.cy > 0) {
    HPEN pen = CreatePen(PS_INSIDEFRAME, width, ToColorRef(color));
    HGDIOBJ oldPen = SelectObject(dc_, pen);
    HGDIOBJ oldBrush = SelectObject(dc_, GetStockObject(NULL_BRUSH));
    RoundRect(dc_, rect.left, rect.top, rect.right, rect.bottom, round.cx, round.cy);
    SelectObject(dc_, oldBrush);
    SelectObject(dc_, oldPen);
    DeleteObject(pen);
    return;
  }
  const Color opaque = color | 0xFF000000u;
  FillRect({rect.left, rect.top, rect.right, rect.top + width}, opaque);
  FillRect({rect.left, rect.bottom - width, rect.right, rect.bottom}, opaque);
  FillRect({rect.left, rect.top + width, rect.left + width, rect.bottom - width}, opaque);
  FillRect({rect.right - width, rect.top + width, rect.right, rect.bottom - width}, opaque);
}

void GdiPainter::PushClip(const Rect& rect) {
  SaveDC(dc_);
  ++saved_;
  IntersectClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void GdiPainter::PopClip() {
  if (saved_ == 0) return;
  RestoreDC(dc_, -1);
  --saved_;
}

// ---- GdiMeasurer ------------------------------------------------------------

GdiMeasurer::GdiMeasurer() : dc_(CreateCompatibleDC(nullptr)) {}

GdiMeasurer::~GdiMeasurer() {
  if (dc_) DeleteDC(dc_);
}

Size GdiMeasurer::Measure(const std::wstring& text, const FontSpec& font, unsigned style, int maxWidth) {
  if (!dc_) return {};
  HGDIOBJ oldFont = SelectObject(dc_, FontFor(font));
  UINT flags = (DrawTextFlags(style) & ~(DT_VCENTER | DT_BOTTOM | DT_END_ELLIPSIS)) | DT_CALCRECT;
  RECT r{0, 0, (flags & DT_WORDBREAK) && maxWidth > 0 ? maxWidth : 0, 0};
  if (!(flags & DT_WORDBREAK) || maxWidth <= 0) flags = (flags & ~DT_WORDBREAK) | DT_SINGLELINE;
  const std::wstring measured = text.empty() ? L" " : text;
  ::DrawTextW(dc_, measured.c_str(), static_cast<int>(measured.size()), &r, flags);
  SelectObject(dc_, oldFont);
  return {text.empty() ? 0 : r.right - r.left, r.bottom - r.top};
}

}  // namespace ui::win32
