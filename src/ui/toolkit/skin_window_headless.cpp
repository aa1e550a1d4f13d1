// The headless SkinWindow backend: no screen, a message queue and a
// HeadlessHost clock. Used by every build without Windows and, when chosen,
// by tests on Windows.
#include "ui/toolkit/skin_window_headless.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <optional>
#include <set>

#include "ui/toolkit/centering.h"
#include "ui/toolkit/headless_host.h"
#include "ui/toolkit/modal_owners.h"
#include "ui/toolkit/skin_window.h"
#include "ui/toolkit/skin_window_backend.h"
#include "ui/toolkit/skin_window_shadow.h"
#include "ui/toolkit/text_measurer.h"
#include "ui/toolkit/text_style.h"

namespace ui {
namespace {

constexpr std::uint32_t kWmKeyUp = 0x0101, kWmSysKeyUp = 0x0105;
constexpr std::uint32_t kWmLButtonDown = 0x0201, kWmLButtonUp = 0x0202;

std::intptr_t PackPoint(Point p) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(p.y & 0xFFFF) << 16) |
                                    static_cast<std::uint32_t>(p.x & 0xFFFF));
}
Point UnpackPoint(std::intptr_t lParam) {
  const auto bits = static_cast<std::uint32_t>(lParam);
  return {static_cast<std::int16_t>(bits & 0xFFFF), static_cast<std::int16_t>(bits >> 16)};
}
// The work area a headless window is centred in.
constexpr Rect kHeadlessWorkArea{0, 0, 1920, 1040};

// ASCII characters advance half the font size, others the full size; lines
// are the font size high and wrap at `maxWidth` character by character.
class HeadlessMeasurer : public TextMeasurer {
 public:
  Size Measure(const std::wstring& text, const FontSpec& font, unsigned style, int maxWidth) override {
    int width = 0, line = 0, lines = 1;
    for (wchar_t c : text) {
      if (c == L'\n') {
        ++lines;
        line = 0;
        continue;
      }
      if (c == L'\r') continue;
      const int advance = c < 0x80 ? font.size / 2 : font.size;
      if ((style & TextStyle::kWordBreak) && maxWidth > 0 && line > 0 && line + advance > maxWidth) {
        ++lines;
        line = 0;
      }
      line += advance;
      if (line > width) width = line;
    }
    return {width, lines * font.size};
  }
};

class HeadlessBackend;

std::mutex& RegistryMutex() {
  static std::mutex m;
  return m;
}
std::set<HeadlessBackend*>& Registry() {
  static std::set<HeadlessBackend*> live;
  return live;
}

class HeadlessBackend : public SkinWindowBackend {
 public:
  explicit HeadlessBackend(SkinWindow& window) : window_(window), host_(*this, window.Tree()) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    Registry().insert(this);
  }
  ~HeadlessBackend() override {
    {
      std::lock_guard<std::mutex> lock(RegistryMutex());
      Registry().erase(this);
    }
    if (alive_) Destroy(-1);
  }

  static HeadlessBackend* FromHandle(void* handle) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    auto* backend = static_cast<HeadlessBackend*>(handle);
    return Registry().count(backend) ? backend : nullptr;
  }

  bool CreateNative(void* parent, const std::wstring&, const std::wstring&, std::uint32_t style,
                    std::uint32_t exStyle) override {
    parent_ = parent;
    style_ = style & ~kWsVisible;
    exStyle_ = exStyle;
    alive_ = true;
    return true;
  }
  void SkinLoaded(Size size) override {
    rect_ = {rect_.left, rect_.top, rect_.left + size.cx, rect_.top + size.cy};
    window_.Tree().Layout({0, 0, size.cx, size.cy});
  }
  void ShowIfVisibleStyle(std::uint32_t style) override {
    if (style & kWsVisible) style_ |= kWsVisible;
    if (shadow_) shadow_->ParentShown((style_ & kWsVisible) != 0);
  }
  TextMeasurer* Measurer() override { return &measurer_; }

  void Center() override {
    HeadlessBackend* owner = parent_ ? FromHandle(parent_) : nullptr;
    const Rect ownerRect = owner ? owner->rect_ : Rect{};
    const Point origin = CenteredOrigin(rect_, owner ? &ownerRect : nullptr, false, kHeadlessWorkArea);
    rect_ = rect_.Offset(origin.x - rect_.left, origin.y - rect_.top);
    ++centerCount_;
    if (shadow_) shadow_->ParentChanged();
  }

  int RunModal() override {
    style_ |= kWsVisible;
    HeadlessBackend* owner = parent_ ? FromHandle(parent_) : nullptr;
    if (owner && ModalOwners::OfProcess().Enter(owner, owner->enabled_)) owner->enabled_ = false;
    Pump(100000);
    const bool enable = owner && ModalOwners::OfProcess().Leave(owner);
    if (enable && FromHandle(parent_) == owner) owner->enabled_ = true;
    return closeResult_;
  }

  void Close(int result) override { Post(kWmClose, static_cast<std::uintptr_t>(result), 0); }

  bool Post(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
    if (!alive_) return false;
    std::lock_guard<std::mutex> lock(queueMutex_);
    Item item;
    item.msg = msg;
    item.wParam = wParam;
    item.lParam = lParam;
    queue_.push_back(item);
    return true;
  }
  void PostNotification(const Notification& n) {
    if (!alive_) return;
    std::lock_guard<std::mutex> lock(queueMutex_);
    Item item;
    item.msg = kWmPostedNotify;
    item.notification = n;
    queue_.push_back(item);
  }

  bool IsAlive() const override { return alive_; }
  void* Handle() const override { return const_cast<HeadlessBackend*>(this); }
  Rect WindowRect() const override { return rect_; }
  bool IsHeadless() const override { return true; }
  std::uint32_t Style() const override { return style_; }
  void SetStyle(std::uint32_t style) override { style_ = style; }
  std::uint32_t ExStyle() const override { return exStyle_; }
  void SetExStyle(std::uint32_t exStyle) override { exStyle_ = exStyle; }
  void SetIcon(int resourceId) override { icon_ = resourceId; }
  void BringToForeground() override { ++foregroundCount_; }
  void AttachShadow(CShadowWindow* shadow) override { shadow_ = shadow; }

  int Pump(int limit) {
    int delivered = 0;
    while (alive_ && delivered < limit) {
      Item item;
      {
        std::lock_guard<std::mutex> lock(queueMutex_);
        if (queue_.empty()) break;
        item = queue_.front();
        queue_.pop_front();
      }
      ++delivered;
      if (item.msg == kWmPostedNotify) {
        window_.Tree().DeliverPosted(item.notification);
      } else {
        Dispatch(item.msg, item.wParam, item.lParam);
      }
    }
    return delivered;
  }

  std::intptr_t Dispatch(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    if (!alive_) return 0;
    bool handled = false;
    std::intptr_t result = 0;
    if (msg == kWmKeyDown || msg == kWmSysKeyDown || msg == kWmKeyUp || msg == kWmSysKeyUp) {
      result = window_.FilterMessage(msg, wParam, lParam, handled);
      if (handled || !alive_) return result;
    }
    result = window_.OnWindowMessage(msg, wParam, lParam, handled);
    if (handled || !alive_) return result;
    if (msg == kWmClose) {
      Destroy(static_cast<int>(wParam));
      return 0;
    }
    if (msg == kWmLButtonDown) window_.Tree().OnButtonDown(UnpackPoint(lParam));
    if (msg == kWmLButtonUp) window_.Tree().OnButtonUp(UnpackPoint(lParam));
    if (msg == kWmKeyDown) {
      HandleToolkitKey(window_.Tree(), static_cast<std::uint32_t>(wParam), shiftDown);
    }
    if (msg == kWmTimer || msg >= kWmUser) {
      result = window_.OnUserMessage(msg, wParam, lParam, handled);
    }
    return result;
  }

  void Advance(std::uint32_t ms) {
    if (alive_) host_.Advance(ms);
  }

  HeadlessHost& Host() { return host_; }
  int closeResult() const { return closeResult_; }
  bool enabled() const { return enabled_; }
  bool shiftDown = false;

 private:
  static constexpr std::uint32_t kWsVisible = 0x10000000;

  // The tree's host: window actions go through the backend's queue.
  class TreeHost : public HeadlessHost {
   public:
    TreeHost(HeadlessBackend& backend, WindowTree& tree) : HeadlessHost(tree), backend_(backend) {}
    void PostNotification(const Notification& n) override { backend_.PostNotification(n); }
    void Close(int result) override {
      HeadlessHost::Close(result);
      backend_.Close(result);
    }
    void Center() override {
      HeadlessHost::Center();
      backend_.Center();
    }

   private:
    HeadlessBackend& backend_;
  };

  struct Item {
    std::uint32_t msg = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    Notification notification;
  };

  void Destroy(int result) {
    alive_ = false;
    closeResult_ = result;
    style_ &= ~kWsVisible;
    if (shadow_) shadow_->ParentDestroyed();
    std::lock_guard<std::mutex> lock(queueMutex_);
    queue_.clear();
  }

  SkinWindow& window_;
  TreeHost host_;
  HeadlessMeasurer measurer_;
  std::mutex queueMutex_;
  std::deque<Item> queue_;
  std::atomic<bool> alive_{false};
  bool enabled_ = true;
  int closeResult_ = -1;
  void* parent_ = nullptr;
  std::uint32_t style_ = 0;
  std::uint32_t exStyle_ = 0;
  Rect rect_;
  int icon_ = 0;
  int centerCount_ = 0;
  int foregroundCount_ = 0;
  CShadowWindow* shadow_ = nullptr;
};

HeadlessBackend* Of(const SkinWindow& window) {
  return window.IsHeadless() ? static_cast<HeadlessBackend*>(window.Backend()) : nullptr;
}

}  // namespace

std::unique_ptr<SkinWindowBackend> MakeHeadlessBackend(SkinWindow& window) {
  return std::make_unique<HeadlessBackend>(window);
}

namespace headless {

int Pump(SkinWindow& window, int limit) {
  HeadlessBackend* b = Of(window);
  return b ? b->Pump(limit) : 0;
}

void Advance(SkinWindow& window, std::uint32_t milliseconds) {
  if (HeadlessBackend* b = Of(window)) {
    b->Advance(milliseconds);
    b->Pump(1000);
  }
}

namespace {

// The centre of a shown control, or nothing.
std::optional<Point> CentreOf(SkinWindow& window, const std::wstring& controlName) {
  if (!window.IsWindowAlive()) return std::nullopt;
  WindowTree& tree = window.Tree();
  tree.LayoutIfNeeded();
  CControl* control = tree.FindControl(controlName);
  if (!control) return std::nullopt;
  for (const CControl* c = control; c; c = c->GetParent()) {
    if (!c->IsVisible()) return std::nullopt;
  }
  const Rect& r = control->GetPos();
  if (r.IsEmpty()) return std::nullopt;
  return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace

bool Click(SkinWindow& window, const std::wstring& controlName) {
  HeadlessBackend* b = Of(window);
  if (!b) return false;
  const std::optional<Point> centre = CentreOf(window, controlName);
  if (!centre) return false;
  window.Tree().OnButtonDown(*centre);
  window.Tree().OnButtonUp(*centre);
  b->Pump(1000);
  return true;
}

bool QueueClick(SkinWindow& window, const std::wstring& controlName) {
  HeadlessBackend* b = Of(window);
  if (!b) return false;
  const std::optional<Point> centre = CentreOf(window, controlName);
  if (!centre) return false;
  b->Post(kWmLButtonDown, 0, PackPoint(*centre));
  b->Post(kWmLButtonUp, 0, PackPoint(*centre));
  return true;
}

std::intptr_t Send(SkinWindow& window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  HeadlessBackend* b = Of(window);
  return b ? b->Dispatch(msg, wParam, lParam) : 0;
}

void PressKey(SkinWindow& window, std::uint32_t virtualKey) {
  if (HeadlessBackend* b = Of(window)) {
    b->Dispatch(kWmKeyDown, virtualKey, 0);
    b->Pump(1000);
  }
}

int CloseResult(const SkinWindow& window) {
  HeadlessBackend* b = Of(window);
  return b ? b->closeResult() : -1;
}

bool IsEnabled(const SkinWindow& window) {
  HeadlessBackend* b = Of(window);
  return b && b->enabled();
}

HeadlessHost* Host(SkinWindow& window) {
  HeadlessBackend* b = Of(window);
  return b ? &b->Host() : nullptr;
}

}  // namespace headless
}  // namespace ui
