#include "app/gui/process_hardening.h"

namespace app {

bool RestrictDllSearchToSystem() { return false; }
void InstallDecliningCrashFilter() {}

}  // namespace app
