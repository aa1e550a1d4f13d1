// What a WindowTree needs from the window that shows it.
//
// The Win32 backend implements this with an HWND: Invalidate → InvalidateRect,
// timers → SetTimer/KillTimer on the window (WM_TIMER calls
// WindowTree::OnHostTimer), PostNotification → PostMessage of a private
// message whose handler calls WindowTree::DeliverPosted, focus → the native
// edit child's focus, Close → PostMessage(WM_CLOSE, result), Center → the
// centring rule of centering.h on the monitor's work area. HeadlessHost
// (headless_host.h) implements it for tests with a deterministic clock.
//
// Threads: PostNotification and NowMs may be called from any thread; every
// other member only on the UI thread.
#pragma once

#include <cstdint>

#include "ui/toolkit/geometry.h"
#include "ui/toolkit/notification.h"

namespace ui {

class CControl;

class WindowHost {
 public:
  virtual ~WindowHost() = default;

  virtual void Invalidate(const Rect& rect) = 0;

  // Starts or stops the host timer `key` (chosen by the tree, unique per
  // window). A started timer calls WindowTree::OnHostTimer(key) every
  // `periodMs` until stopped.
  virtual bool StartTimer(unsigned key, unsigned periodMs) = 0;
  virtual void StopTimer(unsigned key) = 0;

  // Queues `notification` behind the messages already waiting; the host
  // later hands it to WindowTree::DeliverPosted on the UI thread.
  virtual void PostNotification(const Notification& notification) = 0;

  // Milliseconds of a monotonic clock (GetTickCount on Windows).
  virtual std::uint32_t NowMs() = 0;

  // Keyboard focus moved to `control` (null: no control has it).
  virtual void FocusChanged(CControl* control) = 0;

  // Requests closing with `result` as the modal result (asynchronous).
  virtual void Close(int result) = 0;
  virtual void Minimize() = 0;
  virtual void Center() = 0;
};

}  // namespace ui
