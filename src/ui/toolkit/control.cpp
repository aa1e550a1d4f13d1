#include "ui/toolkit/control.h"

#include <algorithm>

#include "ui/toolkit/painter.h"
#include "ui/toolkit/window_tree.h"

namespace ui {

const PropertyTable& CControl::ClassProperties() {
  static const PropertyTable table = [] {
    PropertyTable t;
    t.Text<CControl>(L"name", &CControl::SetName);
    t.Text<CControl>(L"text", &CControl::SetText);
    t.Text<CControl>(L"tooltip", &CControl::SetToolTip);
    t.Text<CControl>(L"userdata", &CControl::SetUserData);
    t.Bool<CControl>(L"visible", &CControl::SetVisible);
    t.Bool<CControl>(L"enabled", &CControl::SetEnabled);
    t.Int<CControl>(L"width", &CControl::SetFixedWidth);
    t.Int<CControl>(L"height", &CControl::SetFixedHeight);
    t.RectValue<CControl>(L"padding", &CControl::SetPadding);
    t.ColorValue<CControl>(L"bkcolor", &CControl::SetBkColor);
    t.Text<CControl>(L"bkimage", &CControl::SetBkImage);
    t.ColorValue<CControl>(L"bordercolor", &CControl::SetBorderColor);
    t.Int<CControl>(L"bordersize", &CControl::SetBorderSize);
    t.SizeValue<CControl>(L"borderround", &CControl::SetBorderRound);
    t.Int<CControl>(L"font", &CControl::SetFont);
    return t;
  }();
  return table;
}

CControl::CControl() = default;

CControl::~CControl() {
  if (window_) window_->ForgetControl(this);
}

bool CControl::SetAttribute(const std::wstring& name, const std::wstring& value) {
  const PropertyTable::Setter* setter = Properties().Find(name);
  if (!setter) return false;
  (*setter)(*this, value);
  return true;
}

void CControl::SetText(const std::wstring& text) {
  if (text_ == text) return;
  text_ = text;
  Invalidate();
}

void CControl::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  if (!visible_ && window_ && window_->GetFocus() == this) window_->SetFocus(nullptr);
  NeedParentUpdate();
}

void CControl::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Invalidate();
}

bool CControl::IsFocused() const { return window_ && window_->GetFocus() == this; }

void CControl::SetFocus() {
  if (window_) window_->SetFocus(this);
}

void CControl::SetFixedWidth(int width) {
  width = std::min(width, kMaxExtent);
  if (width < 0 || fixed_.cx == width) return;
  fixed_.cx = width;
  NeedParentUpdate();
}

void CControl::SetFixedHeight(int height) {
  height = std::min(height, kMaxExtent);
  if (height < 0 || fixed_.cy == height) return;
  fixed_.cy = height;
  NeedParentUpdate();
}

Rect CControl::ClampExtents(const Rect& r) {
  auto clamp = [](int v) { return std::clamp(v, -kMaxExtent, kMaxExtent); };
  return {clamp(r.left), clamp(r.top), clamp(r.right), clamp(r.bottom)};
}

void CControl::SetPadding(const Rect& padding) {
  padding_ = ClampExtents(padding);
  NeedParentUpdate();
}

void CControl::SetBkColor(Color color) {
  bkColor_ = color;
  Invalidate();
}

void CControl::SetBkImage(const std::wstring& image) {
  ImageRef parsed = ParseImageRef(image);
  if (parsed == bkImage_) return;
  bkImage_ = std::move(parsed);
  Invalidate();
}

void CControl::SetBorderColor(Color color) {
  borderColor_ = color;
  Invalidate();
}

void CControl::SetBorderSize(int size) {
  borderSize_ = size < 0 ? 0 : size;
  Invalidate();
}

void CControl::SetBorderRound(Size round) {
  borderRound_ = round;
  Invalidate();
}

void CControl::SetFont(int id) {
  font_ = id;
  Invalidate();
}

void CControl::SetPos(const Rect& pos) {
  if (pos_ == pos) return;
  Invalidate();
  pos_ = pos;
  Invalidate();
}

void CControl::SetOwner(WindowTree* window, CControl* parent) {
  if (window_ && window_ != window) window_->ForgetControl(this);
  window_ = window;
  parent_ = parent;
}

bool CControl::SetTimer(unsigned id, unsigned periodMs) {
  return window_ && window_->SetTimer(this, id, periodMs);
}

bool CControl::KillTimer(unsigned id) { return window_ && window_->KillTimer(this, id); }

void CControl::DoEvent(ControlEvent& event) {
  if (event.type == ControlEvent::Type::kTimer && window_) {
    window_->SendNotify(this, L"timer", event.timerId);
  }
}

bool CControl::Activate() { return false; }

void CControl::Paint(Painter& painter) {
  PaintBkColor(painter);
  PaintBkImage(painter);
  PaintStatusImage(painter);
  PaintText(painter);
  PaintBorder(painter);
}

void CControl::Invalidate() {
  if (window_ && !pos_.IsEmpty()) window_->Invalidate(pos_);
}

void CControl::NeedParentUpdate() {
  if (!window_) return;
  window_->NeedUpdate();
  window_->Invalidate(window_->GetClientRect());
}

CControl* CControl::FindControl(const std::wstring& name) {
  return !name.empty() && name_ == name ? this : nullptr;
}

CControl* CControl::HitTest(Point point) {
  return visible_ && pos_.Contains(point) ? this : nullptr;
}

void CControl::PaintBkColor(Painter& painter) { FillBackground(painter, bkColor_); }

void CControl::FillBackground(Painter& painter, Color color) {
  if ((color >> 24) == 0) return;
  if (borderRound_ == Size{}) {
    painter.FillRect(pos_, color);
  } else {
    painter.FillRoundRect(pos_, color, borderRound_);
  }
}

void CControl::PaintBkImage(Painter& painter) {
  if (!bkImage_.IsEmpty()) DrawImage(painter, bkImage_);
}

void CControl::PaintBorder(Painter& painter) {
  if (borderSize_ > 0 && (borderColor_ >> 24) != 0) {
    painter.DrawBorder(pos_, borderColor_, borderSize_, borderRound_);
  }
}

bool CControl::DrawImage(Painter& painter, const ImageRef& image) {
  if (image.IsEmpty()) return false;
  return painter.DrawImage(image, pos_);
}

}  // namespace ui
