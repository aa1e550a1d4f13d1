// Driving a headless SkinWindow from tests (and tools without a screen).
//
// A headless window has no native window: its messages wait in a queue
// (PostMessageToWindow, Close, posted notifications, in the order they were
// posted) until Pump delivers them through the same hooks a real window
// uses; its timers run on the HeadlessHost's clock, which only Advance moves.
// A WM_CLOSE that reaches the toolkit (no OnWindowMessage swallowed it)
// destroys the window: IsWindowAlive() becomes false and the modal result is
// the message's wParam. ShowModal pumps until the window is gone or nothing
// is queued, and returns the close result (-1 when the window is still open).
// GetHandle() is an opaque non-null value, good as a dialog's parent.
//
// All functions return false / 0 / null for a window that is not headless.
// Threads: the UI thread (the test's thread).
#pragma once

#include <cstdint>
#include <string>

namespace ui {

class HeadlessHost;
class SkinWindow;

namespace headless {

// Delivers queued messages (including ones posted meanwhile) until the queue
// is empty, the window is gone, or `limit` messages were delivered.
int Pump(SkinWindow& window, int limit = 1000);
// Moves the window's clock forward, firing due timers (the controls' timer
// events and "timer" notifications), then pumps.
void Advance(SkinWindow& window, std::uint32_t milliseconds);
// A mouse press and release at the centre of the named control, then a pump.
// False when the control is missing or hidden.
bool Click(SkinWindow& window, const std::wstring& controlName);
// A press and release at the centre of the named control, queued behind
// what is waiting as mouse messages (a double click's second press lands
// behind whatever the first one posted). No pump. False when the control
// is missing or hidden.
bool QueueClick(SkinWindow& window, const std::wstring& controlName);
// One message through the whole path (key filter first for key messages),
// as if the system had sent it now.
std::intptr_t Send(SkinWindow& window, std::uint32_t msg, std::uintptr_t wParam = 0,
                   std::intptr_t lParam = 0);
// A WM_KEYDOWN of `virtualKey` as the modal loop would see it.
void PressKey(SkinWindow& window, std::uint32_t virtualKey);
// The result of the WM_CLOSE that ended the window (-1 while it lives).
int CloseResult(const SkinWindow& window);
// False while a modal dialog over the window runs (ShowModal of a window
// created with this one as its parent).
bool IsEnabled(const SkinWindow& window);
HeadlessHost* Host(SkinWindow& window);

}  // namespace headless
}  // namespace ui
