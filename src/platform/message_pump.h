// A bounded message pump for the UI thread.
#pragma once

#include <cstdint>

namespace platform {

// Dispatches the calling thread's window messages until more than
// `milliseconds` have passed (returns true), or until `window` (when not null)
// no longer exists or WM_QUIT arrives (returns false; WM_QUIT is posted again
// so the main loop ends too). It waits for messages only as long as its time
// lasts (MsgWaitForMultipleObjects, not a blocking GetMessageW), so a thread
// that receives no message is not held past its time. POSIX stand-in: sleeps
// and returns true.
bool PumpMessagesFor(void* window, std::uint32_t milliseconds);

}  // namespace platform
