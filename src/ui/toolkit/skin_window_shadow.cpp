#include "ui/toolkit/skin_window_shadow.h"

#include "ui/toolkit/image_cache.h"
#include "ui/toolkit/skin_system.h"
#include "ui/toolkit/skin_system_native.h"
#include "ui/toolkit/skin_window.h"
#include "ui/toolkit/skin_window_backend.h"

namespace ui {
namespace {

ImageCache* Images() {
  SkinPackage* package = SkinSystem::CurrentPackage();
  return package ? package->images.get() : nullptr;
}

}  // namespace

CShadowWindow::~CShadowWindow() { Destroy(); }

bool CShadowWindow::Create(SkinWindow& parent) {
  Destroy();
  if (!parent.IsWindowAlive()) return false;
  parent_ = &parent;
  if (SkinWindowBackend* backend = parent.Backend()) backend->AttachShadow(this);
  if (!parent.IsHeadless()) native_ = native::CreateShadowWindow(parent);
  Redraw();
  return native_ != nullptr;
}

bool CShadowWindow::SetImage(const std::wstring& image, const Rect& corner, const Rect& holeOffset) {
  ImageCache* images = Images();
  const bool loads = images && images->Loads(image);
  const bool ok = settings_.SetImage(image, corner, holeOffset, loads);
  if (ok) Redraw();
  return ok;
}

bool CShadowWindow::SetSize(int size) {
  const bool ok = settings_.SetSize(size);
  if (ok) Redraw();
  return ok;
}

bool CShadowWindow::SetSharpness(int sharpness) {
  const bool ok = settings_.SetSharpness(sharpness);
  if (ok) Redraw();
  return ok;
}

bool CShadowWindow::SetDarkness(int darkness) {
  const bool ok = settings_.SetDarkness(darkness);
  if (ok) Redraw();
  return ok;
}

bool CShadowWindow::SetPosition(int x, int y) {
  const bool ok = settings_.SetOffset(x, y);
  if (ok) Redraw();
  return ok;
}

void CShadowWindow::SetColor(std::uint32_t color) {
  settings_.SetColor(color);
  Redraw();
}

void CShadowWindow::Refresh() { Redraw(); }

void CShadowWindow::Redraw() {
  if (native_ && parent_) native::UpdateShadowWindow(native_, *parent_, settings_, Images(), true);
}

void CShadowWindow::ParentChanged() {
  if (native_ && parent_) native::UpdateShadowWindow(native_, *parent_, settings_, Images(), false);
}

void CShadowWindow::ParentShown(bool visible) {
  if (!native_ || !parent_) return;
  if (visible) native::UpdateShadowWindow(native_, *parent_, settings_, Images(), false);
  native::ShowShadowWindow(native_, visible);
}

void CShadowWindow::ParentDestroyed() {
  if (native_) native::DestroyShadowWindow(native_);
  native_ = nullptr;
  parent_ = nullptr;
}

void CShadowWindow::Destroy() {
  if (parent_) {
    if (SkinWindowBackend* backend = parent_->Backend()) backend->AttachShadow(nullptr);
  }
  ParentDestroyed();
}

}  // namespace ui
