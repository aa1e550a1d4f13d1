#include "ui/toolkit/combo.h"

#include "ui/toolkit/window_tree.h"

namespace ui {

const PropertyTable& CCombo::ClassProperties() {
  static const PropertyTable table = [] {
    PropertyTable t(&CLabel::ClassProperties());
    t.Int<CCombo>(L"selectedid", &CCombo::SetSelectedId);
    return t;
  }();
  return table;
}

void CCombo::AddItem(const std::wstring& text) {
  items_.push_back(text);
  if (pending_ == GetCount() - 1) {
    SelectItem(pending_, /*raiseEvent=*/false);
    pending_ = -1;
  }
}

const std::wstring& CCombo::GetItemText(int index) const {
  static const std::wstring kNone;
  return index >= 0 && index < GetCount() ? items_[index] : kNone;
}

bool CCombo::SelectItem(int index, bool raiseEvent) {
  if (index < 0 || index >= GetCount()) return false;
  const int old = current_;
  current_ = index;
  SetText(items_[index]);
  if (raiseEvent && GetWindow()) {
    GetWindow()->SendNotify(this, L"itemselect", static_cast<std::uintptr_t>(index), old);
  }
  return true;
}

void CCombo::SetSelectedId(int index) {
  if (!SelectItem(index, /*raiseEvent=*/false)) pending_ = index;
}

}  // namespace ui
