#include "ui/toolkit/label.h"

#include "ui/toolkit/painter.h"
#include "ui/toolkit/window_tree.h"

namespace ui {

const PropertyTable& CLabel::ClassProperties() {
  static const PropertyTable table = [] {
    PropertyTable t(&CControl::ClassProperties());
    t.ColorValue<CLabel>(L"textcolor", &CLabel::SetTextColor);
    t.ColorValue<CLabel>(L"disabledtextcolor", &CLabel::SetDisabledTextColor);
    t.Text<CLabel>(L"align", &CLabel::SetAlign);
    t.Text<CLabel>(L"valign", &CLabel::SetVAlign);
    t.Bool<CLabel>(L"multiline", &CLabel::SetMultiline);
    t.Bool<CLabel>(L"endellipsis", &CLabel::SetEndEllipsis);
    t.RectValue<CLabel>(L"textpadding", &CLabel::SetTextPadding);
    return t;
  }();
  return table;
}

CLabel::CLabel() : textStyle_(TextStyle::kLeft | TextStyle::kVCenter | TextStyle::kSingleLine) {}

void CLabel::SetTextColor(Color color) {
  textColor_ = color;
  Invalidate();
}

void CLabel::SetDisabledTextColor(Color color) {
  disabledTextColor_ = color;
  Invalidate();
}

void CLabel::SetTextStyle(unsigned style) {
  textStyle_ = style;
  Invalidate();
}

void CLabel::SetTextPadding(const Rect& padding) {
  textPadding_ = padding;
  Invalidate();
}

void CLabel::SetAlign(const std::wstring& value) {
  const std::wstring v = ToLowerAscii(value);
  unsigned bits = TextStyle::kLeft;
  if (v == L"center") bits = TextStyle::kCenter;
  else if (v == L"right") bits = TextStyle::kRight;
  SetTextStyle((textStyle_ & ~TextStyle::kHorizontalMask) | bits);
}

void CLabel::SetVAlign(const std::wstring& value) {
  const std::wstring v = ToLowerAscii(value);
  unsigned bits = TextStyle::kTop;
  if (v == L"vcenter" || v == L"center") bits = TextStyle::kVCenter;
  else if (v == L"bottom") bits = TextStyle::kBottom;
  SetTextStyle((textStyle_ & ~TextStyle::kVerticalMask) | bits);
}

void CLabel::SetMultiline(bool multiline) {
  unsigned style = textStyle_ & ~(TextStyle::kSingleLine | TextStyle::kWordBreak);
  style |= multiline ? TextStyle::kWordBreak : TextStyle::kSingleLine;
  SetTextStyle(style);
}

void CLabel::SetEndEllipsis(bool on) {
  SetTextStyle(on ? (textStyle_ | TextStyle::kEndEllipsis) : (textStyle_ & ~TextStyle::kEndEllipsis));
}

Size CLabel::MeasureText() const {
  if (!GetWindow()) return {};
  const int wrapWidth = GetPos().Width() - textPadding_.left - textPadding_.right;
  return GetWindow()->MeasureText(*this, GetText(), textStyle_, wrapWidth);
}

Color CLabel::CurrentTextColor() const { return IsEnabled() ? textColor_ : disabledTextColor_; }

void CLabel::PaintText(Painter& painter) { DrawTextIn(painter, GetPos().Deflated(textPadding_), CurrentTextColor()); }

void CLabel::DrawTextIn(Painter& painter, const Rect& rect, Color color) {
  if (GetText().empty() || !GetWindow()) return;
  painter.DrawText(rect, GetWindow()->ResolveText(GetText()), GetWindow()->GetFont(GetFont()), color,
                   textStyle_);
}

}  // namespace ui
