// Opaque OS handle shared by the platform services.
//
// On Windows it holds a HANDLE; in the POSIX stand-ins a file descriptor or a
// pointer to the stand-in's own record. Core code only stores, compares and
// passes it back to the platform function that made it.
#pragma once

#include <cstdint>

namespace platform {

using Handle = std::intptr_t;
inline constexpr Handle kInvalidHandle = -1;

inline bool IsValid(Handle h) { return h != kInvalidHandle; }

}  // namespace platform
