// SkinWindowBackend: what a SkinWindow asks of the thing that shows it.
//
// Two implementations: the Win32 one (win32/skin_window_win.cpp, an HWND)
// and the headless one (skin_window_headless.cpp). SkinWindow owns its
// backend and forwards its window operations here; the backend calls the
// window's hooks (OnWindowMessage, FilterMessage, OnUserMessage, the tree's
// input and timer entry points) as messages arrive. Toolkit-internal: the
// installer's windows only see SkinWindow.
//
// Threads: Post may be called from any thread; everything else on the UI
// thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/toolkit/geometry.h"

namespace ui {

class CControl;
class CShadowWindow;
class SkinWindow;
class TextMeasurer;
class WindowHost;

class SkinWindowBackend {
 public:
  virtual ~SkinWindowBackend() = default;

  // Makes the native window (not yet visible) and attaches the tree's host.
  virtual bool CreateNative(void* parent, const std::wstring& className, const std::wstring& title,
                            std::uint32_t style, std::uint32_t exStyle) = 0;
  // The markup is built: size the window, lay it out.
  virtual void SkinLoaded(Size size) = 0;
  // After OnSkinReady: shows the window when its style asks for it.
  virtual void ShowIfVisibleStyle(std::uint32_t style) = 0;
  virtual TextMeasurer* Measurer() = 0;

  virtual void Center() = 0;
  virtual int RunModal() = 0;
  virtual void Close(int result) = 0;
  virtual bool Post(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) = 0;
  virtual bool IsAlive() const = 0;
  virtual void* Handle() const = 0;
  virtual Rect WindowRect() const = 0;
  virtual bool IsHeadless() const = 0;
  virtual std::uint32_t Style() const = 0;
  virtual void SetStyle(std::uint32_t style) = 0;
  virtual std::uint32_t ExStyle() const = 0;
  virtual void SetExStyle(std::uint32_t exStyle) = 0;
  virtual void SetIcon(int resourceId) = 0;
  virtual void BringToForeground() = 0;

  // The shadow that follows this window (null: none).
  virtual void AttachShadow(CShadowWindow* shadow) = 0;
};

// The platform's backend (Win32; headless where there is no other) and the
// headless one.
std::unique_ptr<SkinWindowBackend> MakeNativeBackend(SkinWindow& window);
std::unique_ptr<SkinWindowBackend> MakeHeadlessBackend(SkinWindow& window);

}  // namespace ui

namespace ui {

class WindowTree;

// The toolkit's own keys, shared by the backends: Tab moves the focus to the
// next control that takes it (buttons, options, check boxes, edits, combos
// that are visible and enabled; Shift+Tab backwards when `backwards`),
// Enter and space activate the focused button. True when the key was used.
bool HandleToolkitKey(WindowTree& tree, std::uint32_t virtualKey, bool backwards);
// Whether a press on `control` belongs to the control rather than starting
// a drag of the window's caption.
bool TakesClicks(const CControl* control);

// The private message that carries a posted notification to the UI thread.
inline constexpr std::uint32_t kWmPostedNotify = 0x8000 + 0x3A1;  // WM_APP + n

}  // namespace ui
