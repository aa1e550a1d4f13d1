// The bounded message pump of the UI thread.
#include <windows.h>
#include <mmsystem.h>

#include "platform/message_pump.h"

namespace platform {

// Waits for messages with the time that is left (MsgWaitForMultipleObjects)
// rather than blocking in GetMessageW, so a thread that receives no message
// still returns once its time is up.
bool PumpMessagesFor(void* window, std::uint32_t milliseconds) {
  HWND hwnd = static_cast<HWND>(window);
  const DWORD start = timeGetTime();
  for (;;) {
    if (hwnd != nullptr && !IsWindow(hwnd)) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // The main loop has to see the quit request too.
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (hwnd != nullptr && !IsWindow(hwnd)) return false;
      if (timeGetTime() - start > milliseconds) return true;
    }
    const DWORD elapsed = timeGetTime() - start;
    if (elapsed > milliseconds) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed + 1, QS_ALLINPUT);
  }
}

}  // namespace platform
