#include "ui/toolkit/progress.h"

#include <algorithm>

#include "ui/toolkit/painter.h"

namespace ui {

const PropertyTable& CProgress::ClassProperties() {
  static const PropertyTable table = [] {
    PropertyTable t(&CLabel::ClassProperties());
    t.Int<CProgress>(L"min", &CProgress::SetMinValue);
    t.Int<CProgress>(L"max", &CProgress::SetMaxValue);
    t.Int<CProgress>(L"value", &CProgress::SetValue);
    t.Text<CProgress>(L"foreimage", &CProgress::SetForeImage);
    t.Bool<CProgress>(L"hor", &CProgress::SetHorizontal);
    return t;
  }();
  return table;
}

void CProgress::SetMinValue(int value) {
  min_ = value;
  SetValue(value_);
}

void CProgress::SetMaxValue(int value) {
  max_ = value;
  SetValue(value_);
}

void CProgress::SetValue(int value) {
  const int clamped = max_ > min_ ? std::clamp(value, min_, max_) : min_;
  if (clamped == value_) return;
  value_ = clamped;
  Invalidate();
}

void CProgress::SetForeImage(const std::wstring& image) {
  foreImage_ = ParseImageRef(image);
  Invalidate();
}

Rect CProgress::FilledRect() const {
  Rect r = GetPos();
  if (max_ <= min_) return {r.left, r.top, r.left, r.bottom};
  const long long span = max_ - min_;
  const long long part = value_ - min_;
  if (horizontal_) {
    r.right = r.left + static_cast<int>(r.Width() * part / span);
  } else {
    r.top = r.bottom - static_cast<int>(r.Height() * part / span);
  }
  return r;
}

void CProgress::PaintStatusImage(Painter& painter) {
  const Rect filled = FilledRect();
  if (foreImage_.IsEmpty() || filled.IsEmpty()) return;
  ImageRef image = foreImage_;
  const Rect& pos = GetPos();
  image.dest = {filled.left - pos.left, filled.top - pos.top, filled.right - pos.left,
                filled.bottom - pos.top};
  DrawImage(painter, image);
}

}  // namespace ui
