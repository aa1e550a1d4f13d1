// SkinSystem's platform half where there are no native windows: no program
// resources (skins come from SetArchiveFile), no shadow class, and windows
// are always headless.
#include "ui/toolkit/skin_system_native.h"
#include "ui/toolkit/skin_window_backend.h"

namespace ui {

std::unique_ptr<SkinWindowBackend> MakeNativeBackend(SkinWindow& window) { return MakeHeadlessBackend(window); }

namespace native {

bool LoadSkinResource(void*, int, std::vector<std::uint8_t>* out) {
  out->clear();
  return false;
}
bool RegisterShadowWindowClass(void*) { return false; }
bool HasNativeWindows() { return false; }
void* CreateShadowWindow(SkinWindow&) { return nullptr; }
void UpdateShadowWindow(void*, SkinWindow&, const ShadowSettings&, ImageCache*, bool) {}
void ShowShadowWindow(void*, bool) {}
void DestroyShadowWindow(void*) {}

}  // namespace native
}  // namespace ui
