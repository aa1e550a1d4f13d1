// Utils::ProcessMutex: the single-instance guard.
//
// A named mutex in the user's logon session (no kernel-namespace prefix), so
// each session can run one instance. The kernel name is
// "D1A547DB89C0BC61_" + name. Owned by the entry point on the main thread,
// which acquires it and is the thread that releases it.
#pragma once

#include <string>

#include "platform/handle.h"

namespace Utils {

class ProcessMutex {
 public:
  explicit ProcessMutex(std::wstring name);
  ~ProcessMutex();  // releases when still held
  ProcessMutex(const ProcessMutex&) = delete;
  ProcessMutex& operator=(const ProcessMutex&) = delete;

  // Takes the guard unless it is already held. Afterwards IsHeld() is false
  // when another holder exists or the mutex could not be created.
  void Acquire();

  // Gives up ownership and closes the handle; no effect when not held.
  void Release();

  bool IsHeld() const { return platform::IsValid(handle_); }
  const std::wstring& Name() const { return name_; }

  static constexpr const wchar_t* kPrefix = L"D1A547DB89C0BC61_";

 private:
  std::wstring name_;
  platform::Handle handle_ = platform::kInvalidHandle;
};

}  // namespace Utils
