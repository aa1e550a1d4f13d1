#include "rules/admin_probes.h"

#include <string>

#include "utils/probes.h"

namespace rules {

bool ConsoleUserIsAdmin() {
  std::wstring user;
  return Utils::GetConsoleUserName(&user) && Utils::IsAccountAdmin(user);
}

bool ProcessIsAdmin() { return Utils::IsUserAdmin(); }

}  // namespace rules
