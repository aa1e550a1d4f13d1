// The portable part of SkinWindow: creation order, default hooks, and the
// forwarding to the backend chosen for the window.
#include "ui/toolkit/skin_window.h"

#include <vector>

#include "ui/toolkit/button.h"
#include "ui/toolkit/combo.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/skin_resources.h"
#include "ui/toolkit/skin_system.h"
#include "ui/toolkit/skin_window_backend.h"

namespace ui {

struct SkinWindow::Native {
  std::unique_ptr<SkinWindowBackend> backend;
};

SkinWindow::SkinWindow() : native_(std::make_unique<Native>()) { tree_.AddNotifyListener(this); }

SkinWindow::~SkinWindow() {
  tree_.RemoveNotifyListener(this);
  // The backend destroys the native window first, while the tree (and its
  // timers) still exist.
  native_->backend.reset();
}

SkinWindowBackend* SkinWindow::Backend() const { return native_->backend.get(); }

bool SkinWindow::Create(NativeWindowHandle parent, const std::wstring& title, std::uint32_t style,
                        std::uint32_t exStyle) {
  if (native_->backend) return false;  // one window per object
  const std::wstring className = GetWindowClassName();
  const int kind = GetResourceKind();
  const int id = GetResourceId();
  const std::wstring folder = GetSkinFolder();
  const std::wstring file = GetSkinFile();

  SkinPackage* package = SkinSystem::Package(kind, id, folder);
  if (!package) return false;
  SkinSystem::SetCurrentPackage(package);

  native_->backend = SkinSystem::HeadlessWindows() ? MakeHeadlessBackend(*this) : MakeNativeBackend(*this);
  SkinWindowBackend& backend = *native_->backend;
  if (!backend.CreateNative(parent, className, title, style, exStyle)) {
    native_->backend.reset();
    return false;
  }
  tree_.SetTextMeasurer(backend.Measurer());
  // The host is attached before the markup is built, so controls that start
  // timers while they initialise (autostart animations) get them.
  if (!LoadMarkupFile(*package->resources, file, tree_, this)) {
    native_->backend.reset();
    return false;
  }
  backend.SkinLoaded(tree_.GetInitSize());
  OnSkinReady();
  if (native_->backend && backend.IsAlive()) backend.ShowIfVisibleStyle(style);
  return IsWindowAlive();
}

void SkinWindow::CenterWindow() {
  if (IsWindowAlive()) native_->backend->Center();
}

int SkinWindow::ShowModal() { return IsWindowAlive() ? native_->backend->RunModal() : -1; }

void SkinWindow::Close(int result) {
  if (IsWindowAlive()) native_->backend->Close(result);
}

bool SkinWindow::PostMessageToWindow(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  SkinWindowBackend* backend = native_->backend.get();
  return backend && backend->Post(msg, wParam, lParam);
}

bool SkinWindow::IsWindowAlive() const { return native_->backend && native_->backend->IsAlive(); }

NativeWindowHandle SkinWindow::GetHandle() const {
  return native_->backend ? native_->backend->Handle() : nullptr;
}

Rect SkinWindow::GetWindowRect() const {
  return native_->backend ? native_->backend->WindowRect() : Rect{};
}

bool SkinWindow::IsHeadless() const { return native_->backend && native_->backend->IsHeadless(); }

std::uint32_t SkinWindow::GetStyle() const { return native_->backend ? native_->backend->Style() : 0; }

void SkinWindow::SetStyle(std::uint32_t style) {
  if (IsWindowAlive()) native_->backend->SetStyle(style);
}

std::uint32_t SkinWindow::GetExStyle() const {
  return native_->backend ? native_->backend->ExStyle() : 0;
}

void SkinWindow::SetExStyle(std::uint32_t exStyle) {
  if (IsWindowAlive()) native_->backend->SetExStyle(exStyle);
}

void SkinWindow::SetIconFromResource(int resourceId) {
  if (IsWindowAlive()) native_->backend->SetIcon(resourceId);
}

void SkinWindow::BringToForeground() {
  if (IsWindowAlive()) native_->backend->BringToForeground();
}

std::intptr_t SkinWindow::OnWindowMessage(std::uint32_t, std::uintptr_t, std::intptr_t, bool& handled) {
  handled = false;
  return 0;
}

std::intptr_t SkinWindow::OnUserMessage(std::uint32_t, std::uintptr_t, std::intptr_t, bool& handled) {
  handled = false;
  return 0;
}

void SkinWindow::OnControlClick(const Notification& notification) { tree_.DefaultClick(notification.sender); }

void SkinWindow::OnNotification(const Notification& notification) {
  if (notification.type == L"click") OnControlClick(notification);
}

std::unique_ptr<CControl> SkinWindow::CreateCustomControl(const std::wstring&) { return nullptr; }

std::intptr_t SkinWindow::FilterMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t,
                                        bool& handled) {
  handled = false;
  if (msg == kWmKeyDown && wParam == kVkEscape) {
    Close(1);
    handled = true;
  }
  return 0;
}

}  // namespace ui

// ---- keys shared by the backends --------------------------------------------

namespace ui {
namespace {

bool ShownAndEnabled(const CControl* control) {
  for (const CControl* c = control; c; c = c->GetParent()) {
    if (!c->IsVisible()) return false;
  }
  return control->IsEnabled() && !control->GetPos().IsEmpty();
}

void CollectFocusable(CControl* control, std::vector<CControl*>& out) {
  if (!control || !control->IsVisible()) return;
  if (TakesClicks(control) && ShownAndEnabled(control)) out.push_back(control);
  if (auto* container = dynamic_cast<CContainer*>(control)) {
    for (int i = 0; i < container->GetCount(); ++i) CollectFocusable(container->GetItemAt(i), out);
  }
}

}  // namespace

bool TakesClicks(const CControl* control) {
  return dynamic_cast<const CButton*>(control) || dynamic_cast<const CEdit*>(control) ||
         dynamic_cast<const CCombo*>(control);
}

bool HandleToolkitKey(WindowTree& tree, std::uint32_t virtualKey, bool backwards) {
  if (virtualKey == kVkTab) {
    tree.LayoutIfNeeded();
    std::vector<CControl*> focusable;
    CollectFocusable(tree.GetRoot(), focusable);
    if (focusable.empty()) return true;
    const int count = static_cast<int>(focusable.size());
    int at = -1;
    for (int i = 0; i < count; ++i) {
      if (focusable[i] == tree.GetFocus()) at = i;
    }
    const int next = at < 0 ? (backwards ? count - 1 : 0) : (at + (backwards ? count - 1 : 1)) % count;
    tree.SetFocus(focusable[next]);
    return true;
  }
  // Enter and Space press only a focus the user can see: after a mouse
  // press the mark is hidden, and a key must not act on an unseen target.
  if ((virtualKey == kVkReturn || virtualKey == kVkSpace) && tree.IsFocusShown()) {
    CControl* focus = tree.GetFocus();
    if (focus && dynamic_cast<CButton*>(focus) && ShownAndEnabled(focus)) return focus->Activate();
  }
  return false;
}

}  // namespace ui
