// TarnwickSetup.exe: the Windows GUI entry point.
#include <windows.h>

#include "app/gui/installer_app.h"
#include "app/gui/process_hardening.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Before anything can load a library by name from the start-up folder.
  app::RestrictDllSearchToSystem();
  app::InstallDecliningCrashFilter();
  return app::RunInstaller(instance);
}
