// InstallEvent and WM_INSTALL_EVENT: how one driver event travels from a
// worker thread to the main window.
//
// The window's event callback copies (code, value, text) into a heap
// InstallEvent and posts WM_INSTALL_EVENT with the pointer as lParam; the
// message owns the record from then on, and the UI thread's handler frees it
// whatever the code. A record whose message can no longer be posted (the
// window is gone) is freed by the poster.
#pragma once

#include <cstdint>
#include <string>

inline constexpr std::uint32_t WM_INSTALL_EVENT = 2024;  // 0x7E8; wParam 0, lParam the record

struct InstallEvent {
  std::int32_t code = 0;
  double value = 0.0;
  std::wstring text;
};
