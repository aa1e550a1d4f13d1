#include "ui/toolkit/container.h"

#include <algorithm>

#include "ui/toolkit/painter.h"
#include "ui/toolkit/window_tree.h"

namespace ui {
namespace {

Align ParseAlign(const std::wstring& value) {
  const std::wstring v = ToLowerAscii(value);
  if (v == L"center" || v == L"vcenter") return Align::kCenter;
  if (v == L"right" || v == L"bottom") return Align::kEnd;
  return Align::kStart;
}

}  // namespace

const PropertyTable& CContainer::ClassProperties() {
  static const PropertyTable table = [] {
    PropertyTable t(&CControl::ClassProperties());
    t.RectValue<CContainer>(L"inset", &CContainer::SetInset);
    t.Int<CContainer>(L"childpadding", &CContainer::SetChildPadding);
    t.Text<CContainer>(L"childalign", &CContainer::SetChildAlign);
    t.Text<CContainer>(L"childvalign", &CContainer::SetChildVAlign);
    return t;
  }();
  return table;
}

bool CContainer::Add(std::unique_ptr<CControl> child) {
  if (!child) return false;
  CControl* added = child.get();
  child->SetOwner(GetWindow(), this);
  items_.push_back(std::move(child));
  NeedParentUpdate();
  // Built from markup, controls are initialised once the whole tree exists;
  // a control added to a living window is initialised at once.
  if (GetWindow()) GetWindow()->InitControl(added);
  return true;
}

bool CContainer::Remove(CControl* child) {
  for (auto it = items_.begin(); it != items_.end(); ++it) {
    if (it->get() == child) {
      child->SetOwner(nullptr, nullptr);
      items_.erase(it);
      NeedParentUpdate();
      return true;
    }
  }
  return false;
}

CControl* CContainer::GetItemAt(int index) const {
  return index >= 0 && index < GetCount() ? items_[index].get() : nullptr;
}

int CContainer::GetItemIndex(const CControl* child) const {
  for (int i = 0; i < GetCount(); ++i) {
    if (items_[i].get() == child) return i;
  }
  return -1;
}

void CContainer::SetInset(const Rect& inset) {
  inset_ = ClampExtents(inset);
  NeedParentUpdate();
}

void CContainer::SetChildPadding(int padding) {
  childPadding_ = std::clamp(padding, -kMaxExtent, kMaxExtent);
  NeedParentUpdate();
}

void CContainer::SetChildAlign(const std::wstring& value) {
  childAlign_ = ParseAlign(value);
  NeedParentUpdate();
}

void CContainer::SetChildVAlign(const std::wstring& value) {
  childVAlign_ = ParseAlign(value);
  NeedParentUpdate();
}

void CContainer::SetOwner(WindowTree* window, CControl* parent) {
  CControl::SetOwner(window, parent);
  for (auto& item : items_) item->SetOwner(window, this);
}

void CContainer::SetPos(const Rect& pos) {
  CControl::SetPos(pos);
  const Rect inner = InnerRect();
  for (auto& item : items_) {
    if (!item->IsVisible()) continue;
    Rect r = inner.Deflated(item->GetPadding());
    const Size want = item->EstimateSize({r.Width(), r.Height()});
    if (want.cx > 0) r.right = r.left + want.cx;
    if (want.cy > 0) r.bottom = r.top + want.cy;
    item->SetPos(r);
  }
}

void CContainer::Paint(Painter& painter) {
  CControl::Paint(painter);
  painter.PushClip(GetPos());
  for (auto& item : items_) {
    if (item->IsVisible() && !item->GetPos().IsEmpty()) item->Paint(painter);
  }
  painter.PopClip();
}

CControl* CContainer::FindControl(const std::wstring& name) {
  if (CControl* self = CControl::FindControl(name)) return self;
  for (auto& item : items_) {
    if (CControl* found = item->FindControl(name)) return found;
  }
  return nullptr;
}

CControl* CContainer::HitTest(Point point) {
  if (!IsVisible() || !GetPos().Contains(point)) return nullptr;
  // Later children paint over earlier ones, so they are asked first.
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
    if (CControl* hit = (*it)->HitTest(point)) return hit;
  }
  return this;
}

}  // namespace ui
