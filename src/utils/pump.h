// A short, bounded message pump for the UI thread.
#pragma once

namespace Utils {

// Dispatches this thread's window messages for about 100 milliseconds.
// `window` may be null. True when the time ran out; false when the window
// is gone or WM_QUIT arrived (WM_QUIT is posted again so the main loop ends
// too). A thread that receives no message is not held past the time.
bool PumpMessages(void* window);

}  // namespace Utils
