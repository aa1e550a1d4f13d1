#include "ui/toolkit/window_tree.h"

#include <algorithm>
#include <functional>

#include "ui/toolkit/container.h"
#include "ui/toolkit/painter.h"
#include "ui/toolkit/text_measurer.h"
#include "ui/toolkit/window_host.h"

namespace ui {
namespace {

// Visits `control` and its descendants, parents first.
void ForEachControl(CControl* control, const std::function<void(CControl*)>& visit) {
  if (!control) return;
  visit(control);
  if (auto* container = dynamic_cast<CContainer*>(control)) {
    for (int i = 0; i < container->GetCount(); ++i) ForEachControl(container->GetItemAt(i), visit);
  }
}

}  // namespace

WindowTree::WindowTree(TextTable* texts) : texts_(texts) {
  builtinFont_.face = L"微软雅黑";
  builtinFont_.size = 12;
}

WindowTree::~WindowTree() {
  if (WindowHost* host = host_.load()) {
    for (const Timer& t : timers_) host->StopTimer(t.key);
  }
  timers_.clear();
  host_ = nullptr;
  root_.reset();
}

void WindowTree::SetWindowAttribute(const std::wstring& name, const std::wstring& value) {
  const std::wstring key = ToLowerAscii(name);
  if (key == L"size") initSize_ = ParseSize(value);
  else if (key == L"caption") caption_ = ParseRect(value);
  else if (key == L"roundcorner") roundCorner_ = ParseSize(value);
  else if (key == L"sizebox") sizeBox_ = ParseRect(value);
  else if (key == L"mininfo") minInfo_ = ParseSize(value);
  else if (key == L"maxinfo") maxInfo_ = ParseSize(value);
  else customAttributes_[key] = value;
}

const std::wstring* WindowTree::GetCustomAttribute(const std::wstring& name) const {
  auto it = customAttributes_.find(ToLowerAscii(name));
  return it == customAttributes_.end() ? nullptr : &it->second;
}

void WindowTree::AddFont(const FontSpec& font, bool isDefault) {
  fonts_[font.id] = font;
  if (isDefault || defaultFont_ < 0) defaultFont_ = font.id;
}

const FontSpec& WindowTree::GetDefaultFont() const {
  auto it = fonts_.find(defaultFont_);
  return it == fonts_.end() ? builtinFont_ : it->second;
}

const FontSpec& WindowTree::GetFont(int id) const {
  auto it = fonts_.find(id);
  return it == fonts_.end() ? GetDefaultFont() : it->second;
}

void WindowTree::SetRoot(std::unique_ptr<CControl> root) {
  if (root_) root_->SetOwner(nullptr, nullptr);
  root_ = std::move(root);
  if (root_) root_->SetOwner(this, nullptr);
  needLayout_ = true;
}

CControl* WindowTree::FindControl(const std::wstring& name) const {
  return root_ ? root_->FindControl(name) : nullptr;
}

void WindowTree::InitControls() { InitControl(root_.get()); }

void WindowTree::InitControl(CControl* control) {
  ForEachControl(control, [](CControl* c) { c->DoInit(); });
}

bool WindowTree::Contains(const CControl* control) const {
  bool found = false;
  ForEachControl(root_.get(), [&](CControl* c) { found = found || c == control; });
  return found;
}

void WindowTree::ForgetControl(CControl* control) {
  KillTimers(control);
  if (focus_ == control) focus_ = nullptr;
  if (hot_ == control) hot_ = nullptr;
  if (pushed_ == control) pushed_ = nullptr;
}

void WindowTree::AttachHost(WindowHost* host) { host_ = host; }

Size WindowTree::MeasureText(const CControl& control, const std::wstring& text, unsigned style,
                             int maxWidth) const {
  if (!measurer_) return {};
  return measurer_->Measure(ResolveText(text), GetFont(control.GetFont()), style, maxWidth);
}

void WindowTree::Layout(const Rect& client) {
  client_ = client;
  needLayout_ = false;
  if (root_) root_->SetPos(client);
}

void WindowTree::LayoutIfNeeded() {
  if (needLayout_) Layout(client_);
}

void WindowTree::Paint(Painter& painter, const Rect& dirty) {
  LayoutIfNeeded();
  if (!root_ || !root_->IsVisible()) return;
  painter.PushClip(dirty);
  root_->Paint(painter);
  painter.PopClip();
}

void WindowTree::Invalidate(const Rect& rect) {
  if (WindowHost* host = host_.load()) host->Invalidate(rect);
}

void WindowTree::OnMouseMove(Point point) {
  LayoutIfNeeded();
  CControl* target = root_ ? root_->HitTest(point) : nullptr;
  if (target == hot_) return;
  CControl* previous = hot_;
  hot_ = target;
  if (previous) {
    ControlEvent leave{ControlEvent::Type::kMouseLeave, point};
    previous->DoEvent(leave);
  }
  if (hot_) {
    ControlEvent enter{ControlEvent::Type::kMouseEnter, point};
    hot_->DoEvent(enter);
  }
}

void WindowTree::OnButtonDown(Point point) {
  LayoutIfNeeded();
  OnMouseMove(point);
  CControl* target = root_ ? root_->HitTest(point) : nullptr;
  if (!target || !target->IsEnabled()) return;
  pushed_ = target;
  SetFocus(target);
  ShowFocus(false);
  ControlEvent down{ControlEvent::Type::kButtonDown, point};
  target->DoEvent(down);
}

void WindowTree::OnButtonUp(Point point) {
  CControl* target = pushed_;
  pushed_ = nullptr;
  if (!target) return;
  // The control that saw the press gets the release (mouse capture), and
  // decides itself whether it was released over itself.
  ControlEvent up{ControlEvent::Type::kButtonUp, point};
  target->DoEvent(up);
}

void WindowTree::ShowFocus(bool shown) {
  if (focusShown_ == shown) return;
  focusShown_ = shown;
  if (focus_) focus_->Invalidate();
}

void WindowTree::SetFocus(CControl* control) {
  ShowFocus(true);
  if (control == focus_) return;
  CControl* previous = focus_;
  focus_ = control;
  if (previous) {
    ControlEvent kill;
    kill.type = ControlEvent::Type::kKillFocus;
    previous->DoEvent(kill);
  }
  if (focus_) {
    ControlEvent set;
    set.type = ControlEvent::Type::kSetFocus;
    focus_->DoEvent(set);
  }
  if (WindowHost* host = host_.load()) host->FocusChanged(focus_);
}

void WindowTree::AddNotifyListener(NotifyListener* listener) {
  if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
    listeners_.push_back(listener);
  }
}

void WindowTree::RemoveNotifyListener(NotifyListener* listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void WindowTree::SendNotify(CControl* sender, const std::wstring& type, std::uintptr_t wParam,
                            std::intptr_t lParam) {
  Notification n;
  n.type = type;
  n.sender = sender;
  WindowHost* host = host_.load();
  n.timestamp = host ? host->NowMs() : 0;
  n.wParam = wParam;
  n.lParam = lParam;
  Dispatch(n);
}

void WindowTree::Dispatch(const Notification& n) {
  // A listener may add or remove listeners while handling: work on a copy,
  // and skip one that was removed meanwhile (it may be gone).
  const std::vector<NotifyListener*> listeners = listeners_;
  for (NotifyListener* l : listeners) {
    if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end()) l->OnNotification(n);
  }
}

void WindowTree::PostNotify(CControl* sender, const std::wstring& type, std::uintptr_t wParam,
                            std::intptr_t lParam) {
  WindowHost* host = host_.load();
  if (!host) return;
  Notification n;
  n.type = type;
  n.sender = sender;
  n.timestamp = host->NowMs();
  n.wParam = wParam;
  n.lParam = lParam;
  host->PostNotification(n);
}

void WindowTree::DeliverPosted(Notification notification) {
  if (notification.sender && !Contains(notification.sender)) notification.sender = nullptr;
  Dispatch(notification);
}

bool WindowTree::SetTimer(CControl* control, unsigned id, unsigned periodMs) {
  WindowHost* host = host_.load();
  if (!host || !control || HasTimer(control, id)) return false;
  const unsigned key = nextTimerKey_++;
  if (!host->StartTimer(key, periodMs)) return false;
  timers_.push_back({control, id, key});
  return true;
}

bool WindowTree::KillTimer(CControl* control, unsigned id) {
  auto it = std::find_if(timers_.begin(), timers_.end(),
                         [&](const Timer& t) { return t.control == control && t.id == id; });
  if (it == timers_.end()) return false;
  if (WindowHost* host = host_.load()) host->StopTimer(it->key);
  timers_.erase(it);
  return true;
}

void WindowTree::KillTimers(CControl* control) {
  for (auto it = timers_.begin(); it != timers_.end();) {
    if (it->control == control) {
      if (WindowHost* host = host_.load()) host->StopTimer(it->key);
      it = timers_.erase(it);
    } else {
      ++it;
    }
  }
}

bool WindowTree::HasTimer(const CControl* control, unsigned id) const {
  return std::any_of(timers_.begin(), timers_.end(),
                     [&](const Timer& t) { return t.control == control && t.id == id; });
}

void WindowTree::OnHostTimer(unsigned key) {
  auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.key == key; });
  if (it == timers_.end()) return;  // stopped meanwhile: a late tick is dropped
  ControlEvent tick;
  tick.type = ControlEvent::Type::kTimer;
  tick.timerId = it->id;
  it->control->DoEvent(tick);
}

bool WindowTree::DefaultClick(const CControl* sender) {
  if (!sender) return false;
  if (sender->GetName() == L"closebtn") {
    Close(1);
    return true;
  }
  if (sender->GetName() == L"minbtn") {
    Minimize();
    return true;
  }
  return false;
}

void WindowTree::Close(int result) {
  if (WindowHost* host = host_.load()) host->Close(result);
}

void WindowTree::Minimize() {
  if (WindowHost* host = host_.load()) host->Minimize();
}

void WindowTree::Center() {
  if (WindowHost* host = host_.load()) host->Center();
}

}  // namespace ui
