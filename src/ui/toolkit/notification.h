// Named notifications: how controls tell the window's code what happened.
//
// Types the toolkit raises: "click" (button, option, check box activated),
// "selectchanged" (option/check box selected state changed), "tabselect"
// (tab layout page changed; wParam new index, lParam old index),
// "itemselect" (combo selection changed; wParam new index, lParam old),
// "timer" (a control timer fired; wParam the timer ID). Applications add
// their own types ("install", "checknet") and send or post them the same way.
#pragma once

#include <cstdint>
#include <string>

namespace ui {

class CControl;

struct Notification {
  std::wstring type;
  CControl* sender = nullptr;
  std::uint32_t timestamp = 0;  // host clock, milliseconds
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

// Receives every notification of a window, on the UI thread. A listener may
// change the control tree, send further notifications (they nest) and show
// modal windows.
class NotifyListener {
 public:
  virtual ~NotifyListener() = default;
  virtual void OnNotification(const Notification& notification) = 0;
};

}  // namespace ui
