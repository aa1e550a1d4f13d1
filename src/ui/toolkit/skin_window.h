// SkinWindow: the toolkit's window base. One object = one top-level window
// built from one markup file of the skin, with its WindowTree, its native
// window (or a headless stand-in) and the hooks that subclasses replace.
//
// Creation asks the subclass, in this order, for the class name, resource
// kind, resource ID, skin folder and skin file; reads the markup through the
// toolkit's skin source (SkinSystem below), builds the controls (custom tags
// through CreateCustomControl), lays them out, and calls OnSkinReady.
//
// Message flow: every window message is first offered to OnWindowMessage
// (handled = true stops it), then to the toolkit (which routes WM_TIMER,
// posted notifications, mouse, keys and painting), then messages at or above
// kWmUser and WM_TIMER reach OnUserMessage. Keyboard messages pass
// FilterMessage first (the IMessageFilter role). Notifications of the tree
// reach OnNotification, whose default sends "click" on to OnControlClick.
//
// Implementations: win32/skin_window_win.cpp (an HWND with GDI painting, the
// real message loop; Windows only) and skin_window_headless.cpp (no screen: a
// HeadlessHost and a message queue that tests pump through
// skin_window_headless.h). Every build outside Windows is headless; on
// Windows a process chooses headless windows with
// SkinSystem::UseHeadlessWindows (tests of window logic under Wine). The
// choice is made per window at Create. A headless modal run delivers what is
// queued and returns; dialogs answer through the DialogScript hook
// (dialogs/message_box_wnd.h).
//
// Threads: everything on the UI thread, except PostMessageToWindow, which
// any thread may call (it is how workers reach the window).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/toolkit/markup_loader.h"
#include "ui/toolkit/notification.h"
#include "ui/toolkit/window_tree.h"

namespace ui {

// Window messages and keys the portable code names (Win32 values).
inline constexpr std::uint32_t kWmClose = 0x0010;
inline constexpr std::uint32_t kWmKeyDown = 0x0100;
inline constexpr std::uint32_t kWmSysKeyDown = 0x0104;
inline constexpr std::uint32_t kWmTimer = 0x0113;
inline constexpr std::uint32_t kWmUser = 0x0400;
inline constexpr std::uint32_t kVkEscape = 0x1B;
inline constexpr std::uint32_t kVkReturn = 0x0D;
inline constexpr std::uint32_t kVkTab = 0x09;
inline constexpr std::uint32_t kVkSpace = 0x20;

// Window styles the frame and the main window change (Win32 values).
inline constexpr std::uint32_t kStyleOverlappedVisible = 0x10CF0000;  // WS_OVERLAPPEDWINDOW | WS_VISIBLE
inline constexpr std::uint32_t kStyleClearCaptionMaxBox = 0xFF3EFFFF; // & ~(WS_CAPTION | WS_MAXIMIZEBOX)
inline constexpr std::uint32_t kStyleClipChildrenSiblings = 0x06000000;
inline constexpr std::uint32_t kExStyleTopmost = 0x00000008;

// Resource kinds of a window's skin source.
inline constexpr int kResourceKindFile = 1;     // loose files in the skin folder
inline constexpr int kResourceKindArchive = 4;  // an archive stored as a program resource

// Keyboard filter role (Escape/Enter handling of frames).
class IMessageFilter {
 public:
  virtual ~IMessageFilter() = default;
  virtual std::intptr_t FilterMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                                      bool& handled) = 0;
};

using NativeWindowHandle = void*;

// The names the window classes of the installer use for the toolkit's roles.
using INotifyListener = NotifyListener;
using IBuilderCallback = BuilderCallback;

class SkinWindowBackend;
class CShadowWindow;

class SkinWindow : public NotifyListener, public BuilderCallback, public IMessageFilter {
 public:
  SkinWindow();
  ~SkinWindow() override;
  SkinWindow(const SkinWindow&) = delete;
  SkinWindow& operator=(const SkinWindow&) = delete;

  // ---- what the subclass says about its skin -------------------------------
  virtual std::wstring GetWindowClassName() const = 0;
  virtual std::wstring GetSkinFolder() const { return L""; }
  virtual std::wstring GetSkinFile() const = 0;
  virtual int GetResourceKind() const { return kResourceKindFile; }
  virtual int GetResourceId() const { return 0; }

  // ---- hooks ---------------------------------------------------------------
  // The markup is built and the controls exist.
  virtual void OnSkinReady() {}
  // Sees every window message first.
  virtual std::intptr_t OnWindowMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                                        bool& handled);
  // WM_TIMER and messages from kWmUser on, after the toolkit's handling.
  virtual std::intptr_t OnUserMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                                      bool& handled);
  // "click" notifications; the default is WindowTree::DefaultClick.
  virtual void OnControlClick(const Notification& notification);
  // Every notification of the tree; the default sends "click" on.
  void OnNotification(const Notification& notification) override;
  // Custom markup tags; null lets the toolkit build its own control.
  std::unique_ptr<CControl> CreateCustomControl(const std::wstring& tag) override;
  // The toolkit's own key filter: Escape closes with result 1, Enter does
  // nothing.
  std::intptr_t FilterMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                              bool& handled) override;

  // ---- window operations ---------------------------------------------------
  // Creates the window (title, style, extended style; size from the markup,
  // position CW_USEDEFAULT). False when the window or its markup could not be
  // made; then CenterWindow and ShowModal return at once.
  bool Create(NativeWindowHandle parent, const std::wstring& title, std::uint32_t style,
              std::uint32_t exStyle);
  // The centring rule over the owner or the monitor's work area.
  void CenterWindow();
  // Shows the window and runs a modal loop until it is gone; the owner is
  // disabled meanwhile. Returns the result given with the WM_CLOSE.
  int ShowModal();
  // Posts WM_CLOSE with `result` as wParam.
  void Close(int result);
  // Any thread: posts a message to the window (false when it is gone).
  bool PostMessageToWindow(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

  bool IsWindowAlive() const;
  NativeWindowHandle GetHandle() const;
  WindowTree& Tree() { return tree_; }
  const WindowTree& Tree() const { return tree_; }
  CControl* FindControl(const std::wstring& name) const { return tree_.FindControl(name); }

  // The window's rectangle in screen coordinates (headless: at 0,0 with the
  // markup's size).
  Rect GetWindowRect() const;
  bool IsHeadless() const;

  std::uint32_t GetStyle() const;
  void SetStyle(std::uint32_t style);
  std::uint32_t GetExStyle() const;
  void SetExStyle(std::uint32_t exStyle);
  // Large and small icons from the icon group `resourceId` of the program.
  void SetIconFromResource(int resourceId);
  void BringToForeground();

 protected:
  // Implementation state of the backend (HWND, host, painter...).
  struct Native;
  std::unique_ptr<Native> native_;

 public:
  // For the backends and the shadow window only.
  SkinWindowBackend* Backend() const;

 private:
  WindowTree tree_;
};

}  // namespace ui
