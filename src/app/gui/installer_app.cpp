#include "app/gui/installer_app.h"

#include <memory>

#include "config/command_line.h"
#include "ui/main/main_wnd.h"
#include "ui/toolkit/skin_system.h"
#include "utils/process_mutex.h"

namespace app {

int RunInstaller(void* instance) {
  Utils::ProcessMutex guard(kInstanceGuardName);
  guard.Acquire();
  if (!guard.IsHeld()) return kExitSecondInstance;

  ApplyCommandLine();

  ui::SkinSystem::SetInstance(instance);
  ui::SkinSystem::UseSevenZipArchives();
  ui::SkinSystem::RegisterShadowClass();

  {
    auto window = std::make_unique<CMainWnd>();
    window->Create(nullptr, kProductDisplayName, ui::kStyleOverlappedVisible, 0);
    window->CenterWindow();
    window->ShowModal();
  }
  guard.Release();
  return 0;
}

}  // namespace app
