#include "ui/toolkit/edit.h"

namespace ui {

const PropertyTable& CEdit::ClassProperties() {
  static const PropertyTable table = [] {
    PropertyTable t(&CLabel::ClassProperties());
    t.Int<CEdit>(L"maxchar", &CEdit::SetMaxChar);
    t.Bool<CEdit>(L"readonly", &CEdit::SetReadOnly);
    t.Bool<CEdit>(L"password", &CEdit::SetPassword);
    return t;
  }();
  return table;
}

void CEdit::SetText(const std::wstring& text) {
  if (maxChar_ > 0 && text.size() > static_cast<std::size_t>(maxChar_)) {
    CLabel::SetText(text.substr(0, static_cast<std::size_t>(maxChar_)));
  } else {
    CLabel::SetText(text);
  }
}

void CEdit::SetMaxChar(int maxChar) {
  maxChar_ = maxChar < 0 ? 0 : maxChar;
  SetText(GetText());
}

}  // namespace ui
