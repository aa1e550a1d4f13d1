#include "app/gui/process_hardening.h"

#include <windows.h>

#include "app/dll_guard.h"

namespace app {

namespace {

LONG WINAPI DeclineException(EXCEPTION_POINTERS*) { return EXCEPTION_CONTINUE_SEARCH; }

}  // namespace

bool RestrictDllSearchToSystem() {
  // The start-up guard has done it before any static initialiser ran.
  return StartupDllSearchRestriction() == DllSearchRestriction::kSystem32Only;
}

void InstallDecliningCrashFilter() { SetUnhandledExceptionFilter(&DeclineException); }

}  // namespace app
