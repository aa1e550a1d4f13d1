#include "ui/toolkit/option.h"

#include <functional>

#include "ui/toolkit/container.h"
#include "ui/toolkit/painter.h"
#include "ui/toolkit/window_tree.h"

namespace ui {
namespace {

void ForEachOption(CControl* control, const std::function<void(COption*)>& visit) {
  if (!control) return;
  if (auto* option = dynamic_cast<COption*>(control)) visit(option);
  if (auto* container = dynamic_cast<CContainer*>(control)) {
    for (int i = 0; i < container->GetCount(); ++i) ForEachOption(container->GetItemAt(i), visit);
  }
}

}  // namespace

const PropertyTable& COption::ClassProperties() {
  static const PropertyTable table = [] {
    PropertyTable t(&CButton::ClassProperties());
    t.Bool<COption>(L"selected", &COption::SetSelectedAttribute);
    t.Text<COption>(L"group", &COption::SetGroup);
    t.Text<COption>(L"selectedimage", &COption::SetSelectedImage);
    t.Text<COption>(L"selectedhotimage", &COption::SetSelectedHotImage);
    t.ColorValue<COption>(L"selectedtextcolor", &COption::SetSelectedTextColor);
    t.ColorValue<COption>(L"selectedbkcolor", &COption::SetSelectedBkColor);
    return t;
  }();
  return table;
}

void COption::SetSelectedImage(const std::wstring& image) {
  selectedImage_ = ParseImageRef(image);
  Invalidate();
}

void COption::SetSelectedHotImage(const std::wstring& image) {
  selectedHotImage_ = ParseImageRef(image);
  Invalidate();
}

void COption::SetSelected(bool selected, bool raiseEvent) {
  if (selected_ == selected) return;
  selected_ = selected;
  if (selected_ && !group_.empty()) ClearGroup();
  Invalidate();
  if (raiseEvent && GetWindow()) GetWindow()->SendNotify(this, L"selectchanged");
}

void COption::ClearGroup() {
  if (!GetWindow()) return;
  ForEachOption(GetWindow()->GetRoot(), [this](COption* other) {
    if (other != this && other->group_ == group_ && other->selected_) other->SetSelected(false);
  });
}

bool COption::Activate() {
  if (!CButton::Activate()) return false;
  if (group_.empty()) SetSelected(!selected_);
  else SetSelected(true);
  return true;
}

bool CCheckBox::Activate() {
  if (!CButton::Activate()) return false;
  SetSelected(!IsSelected());
  return true;
}

void COption::PaintBkColor(Painter& painter) {
  if (selected_ && (selectedBkColor_ >> 24) != 0) {
    FillBackground(painter, selectedBkColor_);
    return;
  }
  CButton::PaintBkColor(painter);
}

void COption::PaintStatusImage(Painter& painter) {
  if (!selected_ || !IsEnabled()) {
    CButton::PaintStatusImage(painter);
    return;
  }
  if (IsHot() && !selectedHotImage_.IsEmpty() && DrawImage(painter, selectedHotImage_)) return;
  if (!selectedImage_.IsEmpty() && DrawImage(painter, selectedImage_)) return;
  CButton::PaintStatusImage(painter);
}

Color COption::CurrentTextColor() const {
  if (selected_ && IsEnabled() && selectedTextColor_ != 0) return selectedTextColor_;
  return CButton::CurrentTextColor();
}

}  // namespace ui
