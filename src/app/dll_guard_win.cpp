// The start-up DLL guard: a TLS callback, which the loader runs before the
// C runtime's start-up code and so before every static initialiser, and the
// delay-load notification hook.
#include "app/dll_guard.h"

#include <windows.h>
#include <delayimp.h>

#include <string>

namespace app {
namespace {

DllSearchRestriction g_restriction = DllSearchRestriction::kNone;

void RestrictDllSearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto set = kernel == nullptr ? nullptr
                               : reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
                                     GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (set != nullptr && set(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    g_restriction = DllSearchRestriction::kSystem32Only;
    return;
  }
  SetDllDirectoryW(L"");
  g_restriction = DllSearchRestriction::kCurrentFolderRemoved;
}

void NTAPI OnProcessStart(PVOID, DWORD reason, PVOID) {
  if (reason == DLL_PROCESS_ATTACH && g_restriction == DllSearchRestriction::kNone) RestrictDllSearch();
}

HMODULE LoadFromSystem32(const char* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path(folder, length);
  path += L'\\';
  for (const char* c = name; *c != '\0'; ++c) path += static_cast<wchar_t>(static_cast<unsigned char>(*c));
  // The DLL's own dependencies are then looked for in System32 as well.
  const DWORD flags = g_restriction == DllSearchRestriction::kSystem32Only ? LOAD_LIBRARY_SEARCH_SYSTEM32
                                                                           : LOAD_WITH_ALTERED_SEARCH_PATH;
  return LoadLibraryExW(path.c_str(), nullptr, flags);
}

FARPROC WINAPI OnDelayLoad(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary) return nullptr;
  HMODULE module = LoadFromSystem32(info->szDll);
  if (module == nullptr) {
    // Returning nothing would make the helper search by name, the program's
    // folder included; fail the way the helper does for a missing DLL.
    info->dwLastError = GetLastError();
    ULONG_PTR argument = reinterpret_cast<ULONG_PTR>(info);
    RaiseException(VcppException(ERROR_SEVERITY_ERROR, ERROR_MOD_NOT_FOUND), 0, 1, &argument);
  }
  return reinterpret_cast<FARPROC>(module);
}

}  // namespace

DllSearchRestriction StartupDllSearchRestriction() { return g_restriction; }

}  // namespace app

// The names the loader and the delay-load helper look for.
extern "C" {
__attribute__((section(".CRT$XLB"), used)) extern const PIMAGE_TLS_CALLBACK tw_dll_guard_tls_callback =
    &app::OnProcessStart;
PfnDliHook __pfnDliNotifyHook2 = &app::OnDelayLoad;
}
