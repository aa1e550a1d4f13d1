// The drop-shadow companion window: a layered popup drawn with
// UpdateLayeredWindow and kept just below its parent.
#include <windows.h>
#undef DrawText
#undef GetClassName

#include <algorithm>
#include <cmath>

#include "ui/toolkit/image_cache.h"
#include "ui/toolkit/shadow_settings.h"
#include "ui/toolkit/skin_system.h"
#include "ui/toolkit/skin_system_native.h"
#include "ui/toolkit/skin_window.h"
#include "ui/toolkit/win32/gdi_painter_win.h"

namespace ui::native {
namespace {

using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                            DWORD);

UpdateLayeredWindowFn UpdateLayered() {
  static const UpdateLayeredWindowFn fn = [] {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<UpdateLayeredWindowFn>(
                        reinterpret_cast<void*>(GetProcAddress(user32, "UpdateLayeredWindow")))
                  : nullptr;
  }();
  return fn;
}

// Pixels of the shadow for a parent of `parentSize`; `origin` is where the
// shadow's top-left lies relative to the parent's.
void DrawShadow(win32::DibSurface& surface, int width, int height, POINT origin, Size parentSize,
                const ShadowSettings& s) {
  std::fill(surface.bits(), surface.bits() + static_cast<std::size_t>(surface.width()) * surface.height() * 4, 0);
  const int size = std::max(s.size(), 0);
  // The rectangle that casts the shadow, in shadow coordinates.
  const int left = -origin.x + s.offset().x, top = -origin.y + s.offset().y;
  const int right = left + parentSize.cx, bottom = top + parentSize.cy;
  // Where the parent itself covers the shadow: left clear.
  const int holeLeft = -origin.x, holeTop = -origin.y;
  const int holeRight = holeLeft + parentSize.cx, holeBottom = holeTop + parentSize.cy;
  // Sharper shadows fall off faster towards the outer edge.
  const double exponent = 1.0 + (ShadowSettings::kMaxSharpness - s.sharpness()) / 10.0;
  const std::uint32_t color = s.color();
  const int red = (color >> 16) & 0xFF, green = (color >> 8) & 0xFF, blue = color & 0xFF;
  const int stride = surface.width() * 4;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = surface.bits() + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < width; ++x) {
      if (x >= holeLeft && x < holeRight && y >= holeTop && y < holeBottom) continue;
      const int dx = std::max({left - x, 0, x - (right - 1)});
      const int dy = std::max({top - y, 0, y - (bottom - 1)});
      const double distance = std::sqrt(static_cast<double>(dx * dx + dy * dy));
      if (distance >= size + 1) continue;
      const double t = (size + 1 - distance) / (size + 1);
      const int alpha = static_cast<int>(s.darkness() * std::pow(t, exponent) + 0.5);
      if (alpha <= 0) continue;
      std::uint8_t* p = row + x * 4;
      p[0] = static_cast<std::uint8_t>(blue * alpha / 255);
      p[1] = static_cast<std::uint8_t>(green * alpha / 255);
      p[2] = static_cast<std::uint8_t>(red * alpha / 255);
      p[3] = static_cast<std::uint8_t>(alpha);
    }
  }
}

// Maps one destination coordinate of a nine-grid onto the image: the two
// borders keep their pixels, the middle is stretched (nearest pixel).
int NineGridSource(int d, int length, int first, int last, int imageLength) {
  if (d < first) return d;
  if (d >= length - last) return imageLength - (length - d);
  const int middle = std::max(length - first - last, 1);
  const int imageMiddle = std::max(imageLength - first - last, 1);
  return first + static_cast<int>(static_cast<long long>(d - first) * imageMiddle / middle);
}

// The shadow from an image, nine-grid stretched over `target`.
void DrawImageShadow(win32::DibSurface& surface, const Rect& target, const Bitmap& image, const Rect& corner) {
  std::fill(surface.bits(), surface.bits() + static_cast<std::size_t>(surface.width()) * surface.height() * 4, 0);
  const int width = target.Width(), height = target.Height();
  const int left = std::min(corner.left, image.width / 2), right = std::min(corner.right, image.width / 2);
  const int top = std::min(corner.top, image.height / 2), bottom = std::min(corner.bottom, image.height / 2);
  for (int y = 0; y < height; ++y) {
    const int sy = std::clamp(NineGridSource(y, height, top, bottom, image.height), 0, image.height - 1);
    std::uint8_t* row = surface.bits() + static_cast<std::size_t>(y + target.top) * surface.width() * 4;
    for (int x = 0; x < width; ++x) {
      const int sx = std::clamp(NineGridSource(x, width, left, right, image.width), 0, image.width - 1);
      const std::uint8_t* from = image.pixels.data() + (static_cast<std::size_t>(sy) * image.width + sx) * 4;
      std::copy(from, from + 4, row + (x + target.left) * 4);
    }
  }
}

}  // namespace

void* CreateShadowWindow(SkinWindow& parent) {
  if (!SkinSystem::ShadowClassRegistered() || !UpdateLayered()) return nullptr;
  HWND parentWindow = static_cast<HWND>(parent.GetHandle());
  if (!parentWindow) return nullptr;
  HINSTANCE instance = static_cast<HINSTANCE>(SkinSystem::GetInstance());
  if (!instance) instance = GetModuleHandleW(nullptr);
  // Owned by the parent's owner, not by the parent: an owned window always
  // stays above its owner, and the shadow must lie below.
  HWND owner = GetWindow(parentWindow, GW_OWNER);
  HWND shadow = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                L"SkinShadowWnd", L"", WS_POPUP, 0, 0, 0, 0, owner, nullptr, instance, nullptr);
  return shadow;
}

void UpdateShadowWindow(void* shadowHandle, SkinWindow& parent, const ShadowSettings& settings, ImageCache* images,
                        bool redraw) {
  HWND shadow = static_cast<HWND>(shadowHandle);
  HWND parentWindow = static_cast<HWND>(parent.GetHandle());
  if (!IsWindow(shadow) || !parentWindow) return;
  if (!IsWindowVisible(parentWindow) || IsIconic(parentWindow)) {
    ShowWindow(shadow, SW_HIDE);
    return;
  }
  RECT pr;
  GetWindowRect(parentWindow, &pr);
  const int size = std::max(settings.size(), 0);
  const Point offset = settings.offset();
  const int grow = size + 1;
  std::shared_ptr<const Bitmap> image;
  if (settings.hasImage() && images) image = images->Get(settings.image().name);
  const Rect& hole = settings.image().holeOffset;
  // The shadow window covers the parent and the shadow on every side (with
  // an image: the parent grown by the hole offset).
  RECT sr = image ? RECT{pr.left - hole.left, pr.top - hole.top, pr.right + hole.right, pr.bottom + hole.bottom}
                  : RECT{pr.left + std::min(0, offset.x - grow), pr.top + std::min(0, offset.y - grow),
                         pr.right + std::max(0, offset.x + grow), pr.bottom + std::max(0, offset.y + grow)};
  if (sr.right - sr.left <= 0 || sr.bottom - sr.top <= 0) {
    ShowWindow(shadow, SW_HIDE);
    return;
  }
  const int width = sr.right - sr.left, height = sr.bottom - sr.top;

  RECT current;
  GetWindowRect(shadow, &current);
  const bool resized = current.right - current.left != width || current.bottom - current.top != height;
  if (redraw || resized || !IsWindowVisible(shadow)) {
    static win32::DibSurface surface;
    if (!surface.Ensure(width, height)) return;
    if (image) {
      DrawImageShadow(surface, {0, 0, width, height}, *image, settings.image().corner);
    } else {
      const POINT origin{sr.left - pr.left, sr.top - pr.top};
      DrawShadow(surface, width, height, origin, {pr.right - pr.left, pr.bottom - pr.top}, settings);
    }
    POINT position{sr.left, sr.top};
    SIZE extent{width, height};
    POINT zero{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    HDC screen = GetDC(nullptr);
    UpdateLayered()(shadow, screen, &position, &extent, surface.dc(), &zero, 0, &blend, ULW_ALPHA);
    ReleaseDC(nullptr, screen);
  }
  SetWindowPos(shadow, parentWindow, sr.left, sr.top, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void ShowShadowWindow(void* shadowHandle, bool visible) {
  HWND shadow = static_cast<HWND>(shadowHandle);
  if (IsWindow(shadow) && !visible) ShowWindow(shadow, SW_HIDE);
}

void DestroyShadowWindow(void* shadowHandle) {
  HWND shadow = static_cast<HWND>(shadowHandle);
  if (IsWindow(shadow)) DestroyWindow(shadow);
}

}  // namespace ui::native
