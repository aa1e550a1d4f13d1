// A named mutex local to the user's logon session.
//
// Windows: CreateMutexW without a kernel-namespace prefix, so it lives in the
// session's namespace. POSIX stand-in: an exclusive flock on a file named
// after the mutex in the user's runtime folder ($XDG_RUNTIME_DIR, else /tmp
// with the user id in the name); the lock dies with the last holder, like the
// kernel object.
#pragma once

#include <string>

#include "platform/handle.h"

namespace platform {

// Creates or opens the named mutex with the caller as initial owner.
// Returns kInvalidHandle when creation failed. When the object already
// existed (another holder), `*alreadyExisted` is true; the caller then closes
// the handle it got.
Handle CreateNamedMutex(const std::wstring& name, bool* alreadyExisted);

// Releases ownership and closes the handle.
void ReleaseNamedMutex(Handle mutex);
void CloseNamedMutex(Handle mutex);

}  // namespace platform
