#include "app/gui/process_hardening.h"

#include <windows.h>

namespace app {

namespace {

LONG WINAPI DeclineException(EXCEPTION_POINTERS*) { return EXCEPTION_CONTINUE_SEARCH; }

}  // namespace

bool RestrictDllSearchToSystem() {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr) return false;
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  auto set = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (set == nullptr) {
    // Older systems: at least take the current folder out of the search.
    SetDllDirectoryW(L"");
    return false;
  }
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  return set(kSearchSystem32) != FALSE;
}

void InstallDecliningCrashFilter() { SetUnhandledExceptionFilter(&DeclineException); }

}  // namespace app
