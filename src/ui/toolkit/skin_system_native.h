// The platform half of SkinSystem (win32/skin_system_win.cpp on Windows,
// skin_system_headless.cpp elsewhere). Toolkit-internal.
#pragma once

#include <cstdint>
#include <vector>

namespace ui {
class ImageCache;
class ShadowSettings;
class SkinWindow;
}  // namespace ui

namespace ui::native {

// The bytes of resource "SKINRES" `id` (language 2052, else any language)
// of the module `instance` (null: the program). False without one.
bool LoadSkinResource(void* instance, int id, std::vector<std::uint8_t>* out);
// Registers "SkinShadowWnd" when USER32 exports UpdateLayeredWindow.
bool RegisterShadowWindowClass(void* instance);
// Whether this build can show native windows at all.
bool HasNativeWindows();

// The shadow's companion window for a native parent (null when the class is
// not registered or the parent has no native window).
void* CreateShadowWindow(SkinWindow& parent);
// Places the companion window below its parent and draws it when its size
// or the settings changed (`redraw`).
void UpdateShadowWindow(void* shadow, SkinWindow& parent, const ShadowSettings& settings,
                        ImageCache* images, bool redraw);
void ShowShadowWindow(void* shadow, bool visible);
void DestroyShadowWindow(void* shadow);

}  // namespace ui::native
