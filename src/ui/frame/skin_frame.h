// CSkinFrame: the base of every installer window (main window and dialogs).
//
// It tells the toolkit where the window's skin comes from (SkinSource: the
// skin archive in the program's resources, one markup file per window),
// gives the window a borderless frame and, when the markup asks for it, a
// drop shadow, and keeps Escape from closing the window.
//
// OnSkinReady (subclasses call it first, then do their own set-up):
//   1. clears WS_CAPTION and WS_MAXIMIZEBOX (style & 0xFF3EFFFF); the window
//      keeps WS_SYSMENU, WS_THICKFRAME and WS_MINIMIZEBOX, so the taskbar can
//      still minimise it;
//   2. unless the window attribute "showshadow" is "true" (any letter case),
//      stops: no shadow;
//   3. creates the shadow companion window and applies, in this order,
//      "shadowimage" (with "shadowcorner", "shadowholeoffset"), "shadowsize",
//      "shadowsharpness", "shadowdarkness", "shadowposition", "shadowcolor"
//      (shadow_settings.h: parsing, ranges; refused values keep the old).
//
// FilterMessage swallows WM_KEYDOWN of VK_ESCAPE (answered 0) and passes all
// else to the toolkit's filter, so Escape and Enter do nothing in a frame.
// CreateCustomControl returns null: plain frames hold toolkit controls only.
//
// Threads: UI thread only.
#pragma once

#include <string>

#include "ui/toolkit/skin_window.h"
#include "ui/toolkit/skin_window_shadow.h"

namespace ui {

// Where one window's skin comes from.
struct SkinSource {
  int resourceKind = kResourceKindArchive;
  int resourceId = 147;
  std::wstring skinFolder;
  std::wstring skinFile;
  std::wstring windowClassName;
};

// The installer's source for `skinFile`: kind 4, ID 147, no folder, and the
// class name cut from the file name before its last dot (the whole name when
// it has none).
SkinSource MakeSkinSource(const std::wstring& skinFile);
std::wstring ClassNameFromSkinFile(const std::wstring& skinFile);

class CSkinFrame : public SkinWindow {
 public:
  explicit CSkinFrame(const SkinSource& source);
  ~CSkinFrame() override;

  std::wstring GetWindowClassName() const override { return source_.windowClassName; }
  std::wstring GetSkinFolder() const override { return source_.skinFolder; }
  std::wstring GetSkinFile() const override { return source_.skinFile; }
  int GetResourceKind() const override { return source_.resourceKind; }
  int GetResourceId() const override { return source_.resourceId; }

  void OnSkinReady() override;
  std::intptr_t FilterMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                              bool& handled) override;
  std::unique_ptr<CControl> CreateCustomControl(const std::wstring& tag) override;

  const SkinSource& Source() const { return source_; }
  CShadowWindow& Shadow() { return shadow_; }
  const CShadowWindow& Shadow() const { return shadow_; }

 private:
  SkinSource source_;
  CShadowWindow shadow_;
};

}  // namespace ui
