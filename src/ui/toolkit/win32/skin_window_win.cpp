// The Win32 SkinWindow backend: one HWND per window, painted with GDI into a
// back buffer, with the toolkit's input routing, timers, posted
// notifications, a native EDIT child for edit boxes, a popup menu for combo
// boxes, and the modal loop with the key pre-translation.
#include <windows.h>
#include <windowsx.h>
#undef DrawText
#undef GetClassName

#include <atomic>
#include <memory>

#include "ui/toolkit/centering.h"
#include "ui/toolkit/combo.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/modal_owners.h"
#include "ui/toolkit/skin_system.h"
#include "ui/toolkit/skin_window.h"
#include "ui/toolkit/skin_window_backend.h"
#include "ui/toolkit/skin_window_shadow.h"
#include "ui/toolkit/win32/gdi_painter_win.h"
#include "ui/toolkit/window_host.h"
#include "ui/toolkit/window_tree.h"

namespace ui {
namespace {

constexpr const wchar_t* kBackendProperty = L"TarnwickSkinWindow";
constexpr UINT kWmShowPending = kWmPostedNotify + 1;
constexpr int kEditId = 1;

HINSTANCE Instance() {
  void* instance = SkinSystem::GetInstance();
  return instance ? static_cast<HINSTANCE>(instance) : GetModuleHandleW(nullptr);
}

Rect FromRECT(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

class Win32Backend;
Win32Backend* BackendOf(HWND hwnd);
LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

class Win32Backend : public SkinWindowBackend, public WindowHost {
 public:
  explicit Win32Backend(SkinWindow& window) : window_(window) {}

  ~Win32Backend() override {
    destroying_ = true;
    HWND hwnd = hwnd_.load();
    if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
    if (window_.Tree().GetHost() == this) window_.Tree().AttachHost(nullptr);
    if (editBrush_) DeleteObject(editBrush_);
  }

  // ---- SkinWindowBackend ----------------------------------------------------

  bool CreateNative(void* parent, const std::wstring& className, const std::wstring& title, std::uint32_t style,
                    std::uint32_t exStyle) override {
    HINSTANCE instance = Instance();
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExW(instance, className.c_str(), &existing)) {
      WNDCLASSEXW cls{};
      cls.cbSize = sizeof cls;
      cls.style = CS_DBLCLKS;
      cls.lpfnWndProc = WindowProc;
      cls.hInstance = instance;
      cls.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
      cls.lpszClassName = className.c_str();
      if (!RegisterClassExW(&cls)) return false;
    }
    window_.Tree().AttachHost(this);
    HWND hwnd = CreateWindowExW(exStyle, className.c_str(), title.c_str(), style & ~WS_VISIBLE, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, static_cast<HWND>(parent), nullptr,
                                instance, this);
    if (!hwnd) {
      window_.Tree().AttachHost(nullptr);
      return false;
    }
    return true;
  }

  void SkinLoaded(Size size) override {
    HWND hwnd = hwnd_.load();
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    window_.Tree().Layout({0, 0, size.cx, size.cy});
    ApplyRoundCorner(size);
  }

  // Shown once placed: by Center, by the modal loop, or at the latest when
  // the thread's message loop next runs.
  void ShowIfVisibleStyle(std::uint32_t style) override {
    if (!(style & WS_VISIBLE)) return;
    pendingShow_ = true;
    PostMessageW(hwnd_.load(), kWmShowPending, 0, 0);
  }

  TextMeasurer* Measurer() override { return &measurer_; }

  void Center() override {
    HWND hwnd = hwnd_.load();
    if (!hwnd) return;
    RECT wr;
    GetWindowRect(hwnd, &wr);
    HWND owner = GetWindow(hwnd, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner ? owner : hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    Rect ownerRect;
    if (owner) {
      RECT r;
      GetWindowRect(owner, &r);
      ownerRect = FromRECT(r);
    }
    const Point origin = CenteredOrigin(FromRECT(wr), owner ? &ownerRect : nullptr,
                                        owner && IsIconic(owner), FromRECT(monitor.rcWork));
    SetWindowPos(hwnd, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowPending();
  }

  int RunModal() override;

  void Close(int result) override { PostMessageW(hwnd_.load(), WM_CLOSE, static_cast<WPARAM>(result), 0); }

  bool Post(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
    HWND hwnd = hwnd_.load();
    return hwnd && PostMessageW(hwnd, msg, wParam, lParam);
  }

  bool IsAlive() const override {
    HWND hwnd = hwnd_.load();
    return hwnd && IsWindow(hwnd);
  }
  void* Handle() const override { return hwnd_.load(); }
  Rect WindowRect() const override {
    RECT r{};
    if (HWND hwnd = hwnd_.load()) GetWindowRect(hwnd, &r);
    return FromRECT(r);
  }
  bool IsHeadless() const override { return false; }
  std::uint32_t Style() const override {
    return static_cast<std::uint32_t>(GetWindowLongPtrW(hwnd_.load(), GWL_STYLE));
  }
  void SetStyle(std::uint32_t style) override {
    SetWindowLongPtrW(hwnd_.load(), GWL_STYLE, static_cast<LONG_PTR>(style));
    SetWindowPos(hwnd_.load(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  std::uint32_t ExStyle() const override {
    return static_cast<std::uint32_t>(GetWindowLongPtrW(hwnd_.load(), GWL_EXSTYLE));
  }
  void SetExStyle(std::uint32_t exStyle) override {
    SetWindowLongPtrW(hwnd_.load(), GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
    SetWindowPos(hwnd_.load(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void SetIcon(int resourceId) override {
    HWND hwnd = hwnd_.load();
    for (const auto& [which, metric] : {std::pair<WPARAM, int>{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
      const int side = GetSystemMetrics(metric);
      HANDLE icon = LoadImageW(Instance(), MAKEINTRESOURCEW(resourceId), IMAGE_ICON, side, side, LR_DEFAULTCOLOR);
      if (icon) SendMessageW(hwnd, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
  }
  void BringToForeground() override {
    HWND hwnd = hwnd_.load();
    BringWindowToTop(hwnd);
    SetForegroundWindow(hwnd);
  }
  void AttachShadow(CShadowWindow* shadow) override { shadow_ = shadow; }

  // ---- WindowHost -------------------------------------------------------------

  void Invalidate(const Rect& rect) override {
    HWND hwnd = hwnd_.load();
    if (!hwnd) return;
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    InvalidateRect(hwnd, &r, FALSE);
  }
  bool StartTimer(unsigned key, unsigned periodMs) override {
    HWND hwnd = hwnd_.load();
    return hwnd && ::SetTimer(hwnd, key, periodMs, nullptr) != 0;
  }
  void StopTimer(unsigned key) override {
    if (HWND hwnd = hwnd_.load()) ::KillTimer(hwnd, key);
  }
  void PostNotification(const Notification& notification) override {
    HWND hwnd = hwnd_.load();
    auto* copy = new Notification(notification);
    if (!hwnd || !PostMessageW(hwnd, kWmPostedNotify, 0, reinterpret_cast<LPARAM>(copy))) delete copy;
  }
  std::uint32_t NowMs() override { return GetTickCount(); }
  void FocusChanged(CControl* control) override {
    if (auto* edit = dynamic_cast<CEdit*>(control)) {
      BeginEdit(edit);
    } else {
      EndEdit();
      if (HWND hwnd = hwnd_.load()) {
        if (GetFocus() != hwnd && GetActiveWindow() == hwnd) SetFocus(hwnd);
      }
    }
  }
  void Minimize() override { SendMessageW(hwnd_.load(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }

  // ---- messages ---------------------------------------------------------------

  LRESULT Handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  bool PreTranslate(const MSG& msg);
  void Attach(HWND hwnd) {
    hwnd_.store(hwnd);
    SetPropW(hwnd, kBackendProperty, this);
  }

 private:
  LRESULT Toolkit(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  void Paint(HWND hwnd);
  void ApplyRoundCorner(Size size) {
    const Size round = window_.Tree().GetRoundCorner();
    if (round.cx <= 0 && round.cy <= 0) return;
    HRGN region = CreateRoundRectRgn(0, 0, size.cx + 1, size.cy + 1, round.cx, round.cy);
    if (!SetWindowRgn(hwnd_.load(), region, TRUE)) DeleteObject(region);
  }
  // Ends this window's modal hold on its owner (once); true when it was the
  // last hold and the owner is enabled again.
  bool ReleaseModalOwner() {
    HWND owner = modalOwner_;
    modalOwner_ = nullptr;
    if (!owner || !ModalOwners::OfProcess().Leave(owner)) return false;
    EnableWindow(owner, TRUE);
    return true;
  }
  void ShowPending() {
    if (!pendingShow_) return;
    pendingShow_ = false;
    ShowWindow(hwnd_.load(), SW_SHOWNORMAL);
  }
  void OpenCombo(CCombo* combo);
  void BeginEdit(CEdit* edit);
  void EndEdit();
  void PlaceEdit();
  Point ClientPoint(LPARAM lParam) const { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

  SkinWindow& window_;
  std::atomic<HWND> hwnd_{nullptr};
  bool destroying_ = false;
  bool pendingShow_ = false;
  bool trackingMouse_ = false;
  HWND modalOwner_ = nullptr;
  win32::GdiMeasurer measurer_;
  win32::DibSurface backBuffer_;
  CShadowWindow* shadow_ = nullptr;
  HWND edit_ = nullptr;
  CEdit* editing_ = nullptr;
  HBRUSH editBrush_ = nullptr;
};

Win32Backend* BackendOf(HWND hwnd) {
  return hwnd ? static_cast<Win32Backend*>(GetPropW(hwnd, kBackendProperty)) : nullptr;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Win32Backend* backend = BackendOf(hwnd);
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    backend = static_cast<Win32Backend*>(create->lpCreateParams);
    backend->Attach(hwnd);
  }
  if (!backend) return DefWindowProcW(hwnd, msg, wParam, lParam);
  return backend->Handle(hwnd, msg, wParam, lParam);
}

LRESULT Win32Backend::Handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  bool handled = false;
  LRESULT result = 0;
  if (!destroying_) {
    result = window_.OnWindowMessage(msg, wParam, lParam, handled);
    if (handled) return result;
  }
  bool toolkitHandled = false;
  result = Toolkit(hwnd, msg, wParam, lParam, toolkitHandled);
  // The toolkit's own private messages are not the window's business.
  const bool privateMessage = msg == kWmPostedNotify || msg == kWmShowPending;
  if (!destroying_ && (msg == WM_TIMER || msg >= WM_USER) && !privateMessage) {
    bool userHandled = false;
    const LRESULT user = window_.OnUserMessage(msg, wParam, lParam, userHandled);
    if (userHandled) return user;
  }
  if (toolkitHandled) return result;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT Win32Backend::Toolkit(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  WindowTree& tree = window_.Tree();
  handled = true;
  switch (msg) {
    case WM_NCCALCSIZE:
      // The skin draws the whole window: no system frame, no caption.
      if (wParam) return 0;
      handled = false;
      return 0;
    case WM_NCACTIVATE:
      if (IsIconic(hwnd)) {
        handled = false;
        return 0;
      }
      return TRUE;
    case WM_NCPAINT:
      return 0;
    case WM_NCHITTEST: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(hwnd, &p);
      RECT client;
      GetClientRect(hwnd, &client);
      const Rect& inset = tree.GetCaptionRect();
      const Rect caption{inset.left, inset.top, client.right - inset.right, inset.bottom};
      if (caption.Contains({p.x, p.y})) {
        tree.LayoutIfNeeded();
        CControl* hit = tree.GetRoot() ? tree.GetRoot()->HitTest({p.x, p.y}) : nullptr;
        if (!hit || !TakesClicks(hit) || !hit->IsEnabled()) return HTCAPTION;
      }
      return HTCLIENT;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(hwnd);
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) {
        const Size size{LOWORD(lParam), HIWORD(lParam)};
        tree.Layout({0, 0, size.cx, size.cy});
        ApplyRoundCorner(size);
        if (shadow_) shadow_->ParentChanged();
      } else if (shadow_) {
        shadow_->ParentShown(false);
      }
      return 0;
    case WM_WINDOWPOSCHANGED: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (shadow_) {
        if (pos->flags & SWP_SHOWWINDOW) shadow_->ParentShown(true);
        else if (pos->flags & SWP_HIDEWINDOW) shadow_->ParentShown(false);
        else shadow_->ParentChanged();
      }
      handled = false;  // the system still sends WM_SIZE and WM_MOVE
      return 0;
    }
    case WM_MOUSEMOVE:
      if (!trackingMouse_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
        trackingMouse_ = TrackMouseEvent(&track) != FALSE;
      }
      tree.OnMouseMove(ClientPoint(lParam));
      return 0;
    case WM_MOUSELEAVE:
      trackingMouse_ = false;
      tree.OnMouseMove({-1, -1});
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const Point point = ClientPoint(lParam);
      SetCapture(hwnd);
      tree.OnButtonDown(point);
      if (auto* combo = dynamic_cast<CCombo*>(tree.GetFocus())) {
        if (combo->GetPos().Contains(point)) {
          ReleaseCapture();
          tree.OnButtonUp(point);
          OpenCombo(combo);
        }
      }
      return 0;
    }
    case WM_LBUTTONUP:
      if (GetCapture() == hwnd) ReleaseCapture();
      tree.OnButtonUp(ClientPoint(lParam));
      return 0;
    case WM_TIMER:
      tree.OnHostTimer(static_cast<unsigned>(wParam));
      return 0;
    case WM_KEYDOWN:
      if (!HandleToolkitKey(tree, static_cast<std::uint32_t>(wParam), GetKeyState(VK_SHIFT) < 0)) handled = false;
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE && editing_ && edit_) {
        const int length = GetWindowTextLengthW(edit_);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        GetWindowTextW(edit_, text.data(), length + 1);
        text.resize(static_cast<std::size_t>(length));
        editing_->SetText(text);
        return 0;
      }
      handled = false;
      return 0;
    case WM_CTLCOLOREDIT:
      if (reinterpret_cast<HWND>(lParam) == edit_ && editing_) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, win32::ToColorRef(editing_->GetTextColor()));
        SetBkColor(dc, RGB(255, 255, 255));
        if (!editBrush_) editBrush_ = CreateSolidBrush(RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(editBrush_);
      }
      handled = false;
      return 0;
    case WM_CLOSE:
      // The owner is enabled before this window goes, so the system hands
      // the activation back to it rather than to another program; but only
      // by the last modal dialog over it.
      ReleaseModalOwner();
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      if (shadow_) shadow_->ParentDestroyed();
      EndEdit();
      handled = false;
      return 0;
    case WM_NCDESTROY: {
      // Posted notifications that will never be delivered.
      MSG pending;
      while (PeekMessageW(&pending, hwnd, kWmPostedNotify, kWmPostedNotify, PM_REMOVE)) {
        delete reinterpret_cast<Notification*>(pending.lParam);
      }
      RemovePropW(hwnd, kBackendProperty);
      hwnd_.store(nullptr);
      edit_ = nullptr;
      if (tree.GetHost() == this) tree.AttachHost(nullptr);
      handled = false;
      return 0;
    }
    default:
      break;
  }
  if (msg == kWmPostedNotify) {
    std::unique_ptr<Notification> notification(reinterpret_cast<Notification*>(lParam));
    if (notification && !destroying_) tree.DeliverPosted(*notification);
    return 0;
  }
  if (msg == kWmShowPending) {
    ShowPending();
    return 0;
  }
  handled = false;
  return 0;
}

void Win32Backend::Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  const Rect dirty = FromRECT(ps.rcPaint);
  if (!dirty.IsEmpty() && backBuffer_.Ensure(client.right, client.bottom)) {
    SkinPackage* package = SkinSystem::CurrentPackage();
    {
      win32::GdiPainter painter(backBuffer_.dc(), package ? package->images.get() : nullptr);
      painter.FillRect(dirty, 0xFFFFFFFF);
      window_.Tree().Paint(painter, dirty);
    }
    BitBlt(dc, dirty.left, dirty.top, dirty.Width(), dirty.Height(), backBuffer_.dc(), dirty.left, dirty.top,
           SRCCOPY);
  }
  EndPaint(hwnd, &ps);
  PlaceEdit();
}

void Win32Backend::OpenCombo(CCombo* combo) {
  HWND hwnd = hwnd_.load();
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  for (int i = 0; i < combo->GetCount(); ++i) {
    const std::wstring text = window_.Tree().ResolveText(combo->GetItemText(i));
    AppendMenuW(menu, MF_STRING | (i == combo->GetCurSel() ? MF_CHECKED : 0), static_cast<UINT_PTR>(i + 1),
                text.c_str());
  }
  POINT at{combo->GetPos().left, combo->GetPos().bottom};
  ClientToScreen(hwnd, &at);
  const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NONOTIFY, at.x, at.y,
                                    0, hwnd, nullptr);
  DestroyMenu(menu);
  if (chosen > 0) combo->SelectItem(chosen - 1, true);
}

void Win32Backend::BeginEdit(CEdit* edit) {
  HWND hwnd = hwnd_.load();
  if (!hwnd) return;
  if (editing_ && editing_ != edit) EndEdit();
  if (!edit_) {
    edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL | ES_LEFT, 0, 0, 0, 0, hwnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), Instance(), nullptr);
    if (!edit_) return;
  }
  editing_ = nullptr;  // no EN_CHANGE echo while the text is put in
  SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(win32::FontFor(window_.Tree().GetFont(edit->GetFont()))),
               FALSE);
  SetWindowTextW(edit_, edit->GetText().c_str());
  SendMessageW(edit_, EM_LIMITTEXT, edit->GetMaxChar() > 0 ? edit->GetMaxChar() : 0, 0);
  SendMessageW(edit_, EM_SETPASSWORDCHAR, edit->IsPassword() ? L'*' : 0, 0);
  SendMessageW(edit_, EM_SETREADONLY, edit->IsReadOnly(), 0);
  editing_ = edit;
  PlaceEdit();
  ShowWindow(edit_, SW_SHOW);
  SetFocus(edit_);
  const int length = GetWindowTextLengthW(edit_);
  SendMessageW(edit_, EM_SETSEL, length, length);
}

void Win32Backend::EndEdit() {
  if (!editing_ || !edit_) return;
  CEdit* edit = editing_;
  editing_ = nullptr;
  const int length = GetWindowTextLengthW(edit_);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(edit_, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  ShowWindow(edit_, SW_HIDE);
  if (window_.Tree().Contains(edit)) edit->SetText(text);
}

// The native box sits over the edit's text rectangle, one line high and
// centred in it, and goes away when the edit is hidden or gone.
void Win32Backend::PlaceEdit() {
  if (!editing_ || !edit_) return;
  WindowTree& tree = window_.Tree();
  bool shown = tree.Contains(editing_);
  for (const CControl* c = editing_; shown && c; c = c->GetParent()) shown = c->IsVisible();
  if (!shown) {
    editing_ = nullptr;
    ShowWindow(edit_, SW_HIDE);
    return;
  }
  const Rect area = editing_->GetPos().Deflated(editing_->GetTextPadding());
  const int line = window_.Tree().GetFont(editing_->GetFont()).size + 6;
  const int height = std::min(line, std::max(area.Height(), 1));
  const int top = area.top + (area.Height() - height) / 2;
  RECT current;
  GetWindowRect(edit_, &current);
  MapWindowPoints(nullptr, hwnd_.load(), reinterpret_cast<POINT*>(&current), 2);
  if (current.left != area.left || current.top != top || current.right - current.left != area.Width() ||
      current.bottom - current.top != height) {
    SetWindowPos(edit_, nullptr, area.left, top, area.Width(), height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// Keys first go to the skinned window that holds the focus: its filter may
// swallow them (Escape in frames), Tab moves between its controls.
bool Win32Backend::PreTranslate(const MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd) return false;
  Win32Backend* backend = BackendOf(GetAncestor(msg.hwnd, GA_ROOT));
  if (!backend || backend->destroying_) return false;
  bool handled = false;
  backend->window_.FilterMessage(msg.message, msg.wParam, msg.lParam, handled);
  if (handled) return true;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
    HandleToolkitKey(backend->window_.Tree(), VK_TAB, GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  return false;
}

int Win32Backend::RunModal() {
  HWND hwnd = hwnd_.load();
  if (!hwnd) return -1;
  pendingShow_ = false;
  ShowWindow(hwnd, SW_SHOWNORMAL);
  HWND owner = GetWindow(hwnd, GW_OWNER);
  if (owner) {
    if (ModalOwners::OfProcess().Enter(owner, IsWindowEnabled(owner) != FALSE)) EnableWindow(owner, FALSE);
    modalOwner_ = owner;
  }
  int result = -1;
  bool quit = false;
  WPARAM quitCode = 0;
  MSG msg;
  while (IsWindow(hwnd)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      quit = true;
      quitCode = msg.wParam;
      break;
    }
    if (got == -1) break;
    if (msg.message == WM_CLOSE && msg.hwnd == hwnd) result = static_cast<int>(msg.wParam);
    if (!PreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  ReleaseModalOwner();
  // The focus goes back to the owner once no dialog holds it any more.
  if (owner && ModalOwners::OfProcess().Count(owner) == 0 && IsWindowEnabled(owner)) SetFocus(owner);
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
  return result;
}

}  // namespace

std::unique_ptr<SkinWindowBackend> MakeNativeBackend(SkinWindow& window) {
  return std::make_unique<Win32Backend>(window);
}

}  // namespace ui
