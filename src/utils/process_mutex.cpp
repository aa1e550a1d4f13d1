#include "utils/process_mutex.h"

#include <utility>

#include "platform/named_mutex.h"

namespace Utils {

ProcessMutex::ProcessMutex(std::wstring name) : name_(std::move(name)) {}

ProcessMutex::~ProcessMutex() { Release(); }

void ProcessMutex::Acquire() {
  if (IsHeld()) return;
  bool alreadyExisted = false;
  platform::Handle mutex = platform::CreateNamedMutex(kPrefix + name_, &alreadyExisted);
  if (!platform::IsValid(mutex)) return;
  if (alreadyExisted) {
    // Another instance holds it; our handle would only keep it alive.
    platform::CloseNamedMutex(mutex);
    return;
  }
  handle_ = mutex;
}

void ProcessMutex::Release() {
  if (!IsHeld()) return;
  platform::ReleaseNamedMutex(handle_);
  platform::CloseNamedMutex(handle_);
  handle_ = platform::kInvalidHandle;
}

}  // namespace Utils
