#include "ui/toolkit/tab_layout.h"

#include "ui/toolkit/window_tree.h"

namespace ui {

const PropertyTable& CTabLayout::ClassProperties() {
  static const PropertyTable table = [] {
    PropertyTable t(&CContainer::ClassProperties());
    t.Int<CTabLayout>(L"selectedid", &CTabLayout::SetSelectedId);
    return t;
  }();
  return table;
}

bool CTabLayout::Add(std::unique_ptr<CControl> child) {
  if (!child) return false;
  child->SetVisible(GetCount() == current_);
  return CContainer::Add(std::move(child));
}

void CTabLayout::SetSelectedId(int index) {
  if (GetCount() == 0) {
    current_ = index;  // markup: pages are added after the attributes
  } else {
    SelectItem(index, /*raiseEvent=*/false);
  }
}

bool CTabLayout::SelectItem(int index, bool raiseEvent) {
  if (index < 0 || index >= GetCount()) return false;
  if (index == current_) return true;
  const int old = current_;
  current_ = index;
  for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetVisible(i == index);
  NeedParentUpdate();
  if (raiseEvent && GetWindow()) {
    GetWindow()->SendNotify(this, L"tabselect", static_cast<std::uintptr_t>(index), old);
  }
  return true;
}

}  // namespace ui
