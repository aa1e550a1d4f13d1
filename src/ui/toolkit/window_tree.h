// WindowTree: one window's controls, settings and services, without a screen.
//
// It holds what a markup file builds (markup_loader.h): the window's settings
// from the root "Window" element (initial size, caption area, corner
// rounding, any other attribute kept as a custom attribute readable by name),
// its fonts by ID with a default font, and the root control. It runs the
// layout, routes mouse input to controls, dispatches named notifications to
// listeners (sent at once or posted through the host's queue), keeps the
// per-control timers, resolves "%{n}" tokens through the text table and
// measures text through the TextMeasurer.
//
// The native window (Win32 backend) owns one WindowTree and acts as its
// WindowHost; tests use HeadlessHost. Everything runs on the UI thread except
// PostNotify, which any thread may call.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/toolkit/control.h"
#include "ui/toolkit/font.h"
#include "ui/toolkit/geometry.h"
#include "ui/toolkit/notification.h"
#include "ui/toolkit/text_table.h"

namespace ui {

class Painter;
class TextMeasurer;
class WindowHost;

class WindowTree {
 public:
  explicit WindowTree(TextTable* texts = &TextTable::Shared());
  ~WindowTree();
  WindowTree(const WindowTree&) = delete;
  WindowTree& operator=(const WindowTree&) = delete;

  // --- window settings ------------------------------------------------------
  // Interprets "size", "caption", "roundcorner", "sizebox", "mininfo",
  // "maxinfo"; every other attribute is kept as a custom attribute.
  void SetWindowAttribute(const std::wstring& name, const std::wstring& value);
  // The value of a custom attribute (name without regard to case), or null.
  const std::wstring* GetCustomAttribute(const std::wstring& name) const;
  Size GetInitSize() const { return initSize_; }
  const Rect& GetCaptionRect() const { return caption_; }
  Size GetRoundCorner() const { return roundCorner_; }
  const Rect& GetSizeBox() const { return sizeBox_; }
  Size GetMinInfo() const { return minInfo_; }
  Size GetMaxInfo() const { return maxInfo_; }

  // --- fonts ----------------------------------------------------------------
  void AddFont(const FontSpec& font, bool isDefault);
  // The font with `id`; the default font for -1 or an unknown ID; a built-in
  // font when the window declares none.
  const FontSpec& GetFont(int id) const;
  const FontSpec& GetDefaultFont() const;

  // --- controls -------------------------------------------------------------
  void SetRoot(std::unique_ptr<CControl> root);
  CControl* GetRoot() const { return root_.get(); }
  CControl* FindControl(const std::wstring& name) const;
  // Runs DoInit on every control, parents first (after building).
  void InitControls();
  // Runs DoInit on `control` and its descendants (a subtree added later).
  void InitControl(CControl* control);
  bool Contains(const CControl* control) const;
  // A control leaves the window: its timers stop, focus and hover forget it.
  void ForgetControl(CControl* control);

  // --- services -------------------------------------------------------------
  // The host is swapped on the UI thread while workers may be posting; the
  // owner keeps the host object alive until those workers have stopped.
  void AttachHost(WindowHost* host);
  WindowHost* GetHost() const { return host_.load(); }
  void SetTextMeasurer(TextMeasurer* measurer) { measurer_ = measurer; }
  TextTable& Texts() { return *texts_; }
  std::wstring ResolveText(const std::wstring& text) const { return texts_->Resolve(text); }
  // Size of `text` (tokens resolved) in the control's font; {0,0} without a
  // measurer.
  Size MeasureText(const CControl& control, const std::wstring& text, unsigned style,
                   int maxWidth = 0) const;

  // --- layout and painting --------------------------------------------------
  // Lays the root out over `client` (usually 0,0 to the window size).
  void Layout(const Rect& client);
  // Lays out again over the last client rectangle when something asked for it.
  void LayoutIfNeeded();
  void NeedUpdate() { needLayout_ = true; }
  bool NeedsLayout() const { return needLayout_; }
  const Rect& GetClientRect() const { return client_; }
  void Paint(Painter& painter, const Rect& dirty);
  void Invalidate(const Rect& rect);

  // --- input ----------------------------------------------------------------
  void OnMouseMove(Point point);
  void OnButtonDown(Point point);
  void OnButtonUp(Point point);
  // Moves the keyboard focus; the focus is then marked on screen (the
  // program or the keyboard moved it, so the user must see where it is).
  void SetFocus(CControl* control);
  CControl* GetFocus() const { return focus_; }
  // Whether the focused control draws its focus mark. A mouse press moves
  // the focus without a mark (the user sees what was clicked); the next
  // keyboard move shows it again. Enter and Space act only on a shown focus.
  bool IsFocusShown() const { return focus_ != nullptr && focusShown_; }
  CControl* GetHot() const { return hot_; }

  // --- notifications --------------------------------------------------------
  void AddNotifyListener(NotifyListener* listener);
  void RemoveNotifyListener(NotifyListener* listener);
  // Calls every listener now, in the order they were added.
  void SendNotify(CControl* sender, const std::wstring& type, std::uintptr_t wParam = 0,
                  std::intptr_t lParam = 0);
  // Queues through the host; delivered later on the UI thread. Any thread.
  // Dropped when no host is attached.
  void PostNotify(CControl* sender, const std::wstring& type, std::uintptr_t wParam = 0,
                  std::intptr_t lParam = 0);
  // The host hands back a posted notification. A sender that has left the
  // window meanwhile is replaced by null rather than handed out dangling.
  void DeliverPosted(Notification notification);

  // --- timers ---------------------------------------------------------------
  bool SetTimer(CControl* control, unsigned id, unsigned periodMs);
  bool KillTimer(CControl* control, unsigned id);
  void KillTimers(CControl* control);
  bool HasTimer(const CControl* control, unsigned id) const;
  // The host's timer `key` fired.
  void OnHostTimer(unsigned key);

  // --- window actions (through the host) ------------------------------------
  // The toolkit's own meaning of a click, for windows that do not handle it:
  // a control named "closebtn" closes the window with result 1, one named
  // "minbtn" minimises it. False for any other sender.
  bool DefaultClick(const CControl* sender);
  void Close(int result);
  void Minimize();
  void Center();

 private:
  struct Timer {
    CControl* control;
    unsigned id;
    unsigned key;
  };

  void Dispatch(const Notification& notification);
  void ShowFocus(bool shown);

  TextTable* texts_;
  std::atomic<WindowHost*> host_{nullptr};
  TextMeasurer* measurer_ = nullptr;
  std::unique_ptr<CControl> root_;
  std::map<std::wstring, std::wstring> customAttributes_;  // lower-cased names
  Size initSize_;
  Rect caption_;
  Size roundCorner_;
  Rect sizeBox_;
  Size minInfo_;
  Size maxInfo_;
  std::map<int, FontSpec> fonts_;
  int defaultFont_ = -1;
  FontSpec builtinFont_;
  Rect client_;
  bool needLayout_ = true;
  CControl* focus_ = nullptr;
  bool focusShown_ = false;
  CControl* hot_ = nullptr;
  CControl* pushed_ = nullptr;
  std::vector<NotifyListener*> listeners_;
  std::vector<Timer> timers_;
  unsigned nextTimerKey_ = 1000;
};

}  // namespace ui
