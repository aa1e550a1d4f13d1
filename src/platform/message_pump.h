// A bounded message pump for the UI thread.
#pragma once

#include <cstdint>

namespace platform {

// Dispatches the calling thread's window messages until more than
// `milliseconds` have passed (returns true), or until `window` (when not null)
// no longer exists or WM_QUIT arrives (returns false; WM_QUIT is posted again
// so the main loop ends too). GetMessageW blocks, so the pump can overrun its
// time while no message arrives. POSIX stand-in: sleeps and returns true.
bool PumpMessagesFor(void* window, std::uint32_t milliseconds);

}  // namespace platform
