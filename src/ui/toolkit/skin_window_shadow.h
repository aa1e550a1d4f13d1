// CShadowWindow: the soft drop shadow that follows a skinned window.
//
// Values live in ShadowSettings (shadow_settings.h: ranges, defaults, and
// the markup attributes). Create makes the companion window for a parent:
// on Windows a layered popup of the class "SkinShadowWnd", drawn with
// UpdateLayeredWindow and kept just below its parent as the parent moves,
// resizes, shows and hides; nothing when the class is not registered (the
// system lacks UpdateLayeredWindow, or it is Wine, which cannot blend a
// layered window: see skin_system_win.cpp) or the parent is headless, in
// which case the settings are still kept.
//
// Drawing: the shadow is the parent's rectangle moved by the offset and
// grown by `size` pixels on each side, in the colour's RGB (its alpha is
// not used); its opacity is `darkness` (0..255) at the rectangle and falls
// to 0 at the outer edge, the faster the lower the sharpness. The part under
// the parent is left clear. With an image (SetImage), the image is drawn
// instead, nine-grid stretched (its corner kept, nearest pixel) over the
// parent's rectangle grown by the hole offset.
//
// Threads: UI thread. Lifetime: owned by the window object it shadows (the
// frame); destroying it destroys the companion window.
#pragma once

#include <cstdint>
#include <string>

#include "ui/toolkit/geometry.h"
#include "ui/toolkit/shadow_settings.h"

namespace ui {

class SkinWindow;

class CShadowWindow {
 public:
  CShadowWindow() = default;
  ~CShadowWindow();
  CShadowWindow(const CShadowWindow&) = delete;
  CShadowWindow& operator=(const CShadowWindow&) = delete;

  // Attaches to `parent` (which must already exist); true when a companion
  // window now follows it.
  bool Create(SkinWindow& parent);
  bool IsCreated() const { return native_ != nullptr; }
  void* NativeHandle() const { return native_; }  // the HWND, for tests
  bool IsAttached() const { return parent_ != nullptr; }

  // Setters of the frame's attributes; false (keeping the previous value)
  // out of range, or for an image that cannot be loaded from the parent's
  // skin.
  bool SetImage(const std::wstring& image, const Rect& corner, const Rect& holeOffset);
  bool SetSize(int size);
  bool SetSharpness(int sharpness);
  bool SetDarkness(int darkness);
  bool SetPosition(int x, int y);
  void SetColor(std::uint32_t color);

  const ShadowSettings& Settings() const { return settings_; }
  ShadowSettings& MutableSettings() { return settings_; }

  // Redraws after the settings changed.
  void Refresh();

  // Backend calls: the parent moved or was resized, was shown or hidden, or
  // is being destroyed.
  void ParentChanged();
  void ParentShown(bool visible);
  void ParentDestroyed();

 private:
  void Redraw();
  void Destroy();

  ShadowSettings settings_;
  SkinWindow* parent_ = nullptr;
  void* native_ = nullptr;  // HWND of the companion window
};

}  // namespace ui
