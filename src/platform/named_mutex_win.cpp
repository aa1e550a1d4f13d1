// The session-local named mutex: a plain name (no "Global\" or "Local\")
// lands in the logon session's namespace.
#include <windows.h>

#include "platform/named_mutex.h"

namespace platform {

Handle CreateNamedMutex(const std::wstring& name, bool* alreadyExisted) {
  if (alreadyExisted != nullptr) *alreadyExisted = false;
  HANDLE mutex = CreateMutexW(nullptr, /*bInitialOwner=*/TRUE, name.c_str());
  if (mutex == nullptr) return kInvalidHandle;
  if (alreadyExisted != nullptr) *alreadyExisted = GetLastError() == ERROR_ALREADY_EXISTS;
  return reinterpret_cast<Handle>(mutex);
}

void ReleaseNamedMutex(Handle mutex) {
  if (IsValid(mutex)) ReleaseMutex(reinterpret_cast<HANDLE>(mutex));
}

void CloseNamedMutex(Handle mutex) {
  if (IsValid(mutex)) ::CloseHandle(reinterpret_cast<HANDLE>(mutex));
}

}  // namespace platform
