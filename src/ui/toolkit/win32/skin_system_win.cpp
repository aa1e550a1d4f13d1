// SkinSystem's Win32 half: the skin archive from the program's resources
// and the shadow window class.
#include <windows.h>

#include "ui/toolkit/skin_system_native.h"

namespace ui::native {
namespace {


HMODULE ModuleOf(void* instance) {
  return instance ? static_cast<HMODULE>(instance) : GetModuleHandleW(nullptr);
}

}  // namespace

bool LoadSkinResource(void* instance, int id, std::vector<std::uint8_t>* out) {
  out->clear();
  HMODULE module = ModuleOf(instance);
  // The installer's resources are Chinese (PRC); a resource in another
  // language is still the skin.
  HRSRC found = FindResourceExW(module, L"SKINRES", MAKEINTRESOURCEW(id),
                                MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
  if (!found) found = FindResourceW(module, MAKEINTRESOURCEW(id), L"SKINRES");
  if (!found) return false;
  const DWORD size = SizeofResource(module, found);
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data || size == 0) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  out->assign(bytes, bytes + size);
  return true;
}

// Wine shows a layered window's pixels either fully or not at all (X has no
// blending without a compositor), so the soft shadow would come out as a
// dark frame; there the windows go without a shadow, like on a system that
// lacks UpdateLayeredWindow.
static bool RunsOnWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool RegisterShadowWindowClass(void* instance) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) user32 = LoadLibraryW(L"user32.dll");
  if (!user32 || !GetProcAddress(user32, "UpdateLayeredWindow")) return false;
  if (RunsOnWine() && !GetEnvironmentVariableW(L"TW_SHADOW_ON_WINE", nullptr, 0)) return false;
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = DefWindowProcW;
  cls.hInstance = ModuleOf(instance);
  cls.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  cls.lpszClassName = L"SkinShadowWnd";
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(cls.hInstance, cls.lpszClassName, &existing)) return true;
  return RegisterClassExW(&cls) != 0;
}

bool HasNativeWindows() { return true; }

}  // namespace ui::native
