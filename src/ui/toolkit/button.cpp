#include "ui/toolkit/button.h"

#include <algorithm>

#include "ui/toolkit/painter.h"
#include "ui/toolkit/window_tree.h"

namespace ui {

const PropertyTable& CButton::ClassProperties() {
  static const PropertyTable table = [] {
    PropertyTable t(&CLabel::ClassProperties());
    t.Text<CButton>(L"normalimage", &CButton::SetNormalImage);
    t.Text<CButton>(L"hotimage", &CButton::SetHotImage);
    t.Text<CButton>(L"pushedimage", &CButton::SetPushedImage);
    t.Text<CButton>(L"focusedimage", &CButton::SetFocusedImage);
    t.Text<CButton>(L"disabledimage", &CButton::SetDisabledImage);
    t.ColorValue<CButton>(L"hottextcolor", &CButton::SetHotTextColor);
    t.ColorValue<CButton>(L"pushedtextcolor", &CButton::SetPushedTextColor);
    t.ColorValue<CButton>(L"focusedtextcolor", &CButton::SetFocusedTextColor);
    t.ColorValue<CButton>(L"hotbkcolor", &CButton::SetHotBkColor);
    t.ColorValue<CButton>(L"pushedbkcolor", &CButton::SetPushedBkColor);
    t.ColorValue<CButton>(L"focusbordercolor", &CButton::SetFocusBorderColor);
    t.Int<CButton>(L"focusinset", &CButton::SetFocusInset);
    return t;
  }();
  return table;
}

void CButton::SetImage(ImageRef& slot, const std::wstring& value) {
  slot = ParseImageRef(value);
  Invalidate();
}

bool CButton::Activate() {
  if (!IsVisible() || !IsEnabled()) return false;
  if (GetWindow()) GetWindow()->SendNotify(this, L"click");
  return true;
}

void CButton::DoEvent(ControlEvent& event) {
  switch (event.type) {
    case ControlEvent::Type::kMouseEnter:
      hot_ = true;
      Invalidate();
      break;
    case ControlEvent::Type::kMouseLeave:
      hot_ = false;
      Invalidate();
      break;
    case ControlEvent::Type::kButtonDown:
      if (IsEnabled()) {
        pushed_ = true;
        Invalidate();
      }
      break;
    case ControlEvent::Type::kButtonUp: {
      const bool wasPushed = pushed_;
      pushed_ = false;
      Invalidate();
      // A press that ends outside the button is a change of mind, not a click.
      if (wasPushed && GetPos().Contains(event.point)) Activate();
      break;
    }
    case ControlEvent::Type::kSetFocus:
    case ControlEvent::Type::kKillFocus:
      Invalidate();
      break;
    default:
      CLabel::DoEvent(event);
  }
}

bool CButton::ShowsFocusMark() const {
  return IsFocused() && GetWindow() && GetWindow()->IsFocusShown() && IsEnabled() && (focusBorderColor_ >> 24) != 0;
}

Rect CButton::FocusMarkRect() const {
  const Rect& r = GetPos();
  const int inset = std::min(focusInset_, std::min(r.Width(), r.Height()) / 2);
  return {r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
}

void CButton::Paint(Painter& painter) {
  CLabel::Paint(painter);
  if (!ShowsFocusMark()) return;
  const Size round = GetBorderRound() == Size{} ? Size{4, 4} : GetBorderRound();
  painter.DrawBorder(FocusMarkRect(), focusBorderColor_, 1, round);
}

void CButton::SetEnabled(bool enabled) {
  if (!enabled) {
    hot_ = false;
    pushed_ = false;
  }
  CLabel::SetEnabled(enabled);
}

void CButton::PaintBkColor(Painter& painter) {
  Color color = GetBkColor();
  if (IsEnabled() && pushed_ && (pushedBkColor_ >> 24) != 0) color = pushedBkColor_;
  else if (IsEnabled() && hot_ && (hotBkColor_ >> 24) != 0) color = hotBkColor_;
  FillBackground(painter, color);
}

const ImageRef& CButton::StateImage() const {
  if (!IsEnabled()) return disabledImage_;
  if (pushed_) return pushedImage_;
  if (hot_) return hotImage_;
  if (IsFocused() && !focusedImage_.IsEmpty()) return focusedImage_;
  return normalImage_;
}

void CButton::PaintStatusImage(Painter& painter) {
  // A state without its own image (or whose image is missing from the skin)
  // shows the normal image.
  const ImageRef& image = StateImage();
  if (image.IsEmpty() || !DrawImage(painter, image)) DrawImage(painter, normalImage_);
}

Color CButton::CurrentTextColor() const {
  if (!IsEnabled()) return GetDisabledTextColor();
  if (pushed_ && pushedTextColor_ != 0) return pushedTextColor_;
  if (hot_ && hotTextColor_ != 0) return hotTextColor_;
  if (IsFocused() && focusedTextColor_ != 0) return focusedTextColor_;
  return GetTextColor();
}

}  // namespace ui
