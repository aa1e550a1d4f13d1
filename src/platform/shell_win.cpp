// Opening documents, pages and programs with ShellExecuteW "open".
#include <windows.h>
#include <shellapi.h>

#include "platform/shell.h"

namespace platform {

bool ShellOpen(const std::wstring& target, const std::wstring& parameters, const std::wstring& workingFolder,
               ShowMode show) {
  int command = SW_SHOWNORMAL;
  if (show == ShowMode::kMaximized) command = SW_SHOWMAXIMIZED;
  if (show == ShowMode::kHidden) command = SW_HIDE;
  const HINSTANCE result =
      ShellExecuteW(nullptr, L"open", target.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                    workingFolder.empty() ? nullptr : workingFolder.c_str(), command);
  // Values above 32 mean success.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace platform
