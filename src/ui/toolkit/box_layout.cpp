#include "ui/toolkit/box_layout.h"

#include <algorithm>
#include <vector>

namespace ui {
namespace {

// One axis of a rectangle, so that a single routine lays out rows and
// columns: "main" runs along the line of children, "cross" across it.
struct AxisView {
  bool vertical;
  int MainStart(const Rect& r) const { return vertical ? r.top : r.left; }
  int MainLength(const Rect& r) const { return vertical ? r.Height() : r.Width(); }
  int CrossStart(const Rect& r) const { return vertical ? r.left : r.top; }
  int CrossLength(const Rect& r) const { return vertical ? r.Width() : r.Height(); }
  int MainBefore(const Rect& pad) const { return vertical ? pad.top : pad.left; }
  int MainAfter(const Rect& pad) const { return vertical ? pad.bottom : pad.right; }
  int CrossBefore(const Rect& pad) const { return vertical ? pad.left : pad.top; }
  int CrossAfter(const Rect& pad) const { return vertical ? pad.right : pad.bottom; }
  int Main(Size s) const { return vertical ? s.cy : s.cx; }
  int Cross(Size s) const { return vertical ? s.cx : s.cy; }
  Rect Make(int main, int cross, int mainLen, int crossLen) const {
    return vertical ? Rect{cross, main, cross + crossLen, main + mainLen}
                    : Rect{main, cross, main + mainLen, cross + crossLen};
  }
};

int AlignOffset(Align align, int spare) {
  switch (align) {
    case Align::kCenter: return spare / 2;
    case Align::kEnd: return spare;
    default: return 0;
  }
}

void LayoutLine(CContainer& box, const Rect& inner, AxisView axis, Align mainAlign, Align crossAlign) {
  std::vector<CControl*> items;
  for (int i = 0; i < box.GetCount(); ++i) {
    if (box.GetItemAt(i)->IsVisible()) items.push_back(box.GetItemAt(i));
  }
  if (items.empty()) return;

  const Size available{inner.Width(), inner.Height()};
  std::vector<Size> wanted;
  int used = box.GetChildPadding() * static_cast<int>(items.size() - 1);
  int flexible = 0;
  for (CControl* item : items) {
    wanted.push_back(item->EstimateSize(available));
    const Rect& pad = item->GetPadding();
    used += axis.MainBefore(pad) + axis.MainAfter(pad) + axis.Main(wanted.back());
    if (axis.Main(wanted.back()) <= 0) ++flexible;
  }
  const int spare = axis.MainLength(inner) - used;
  const int share = flexible > 0 ? std::max(spare, 0) / flexible : 0;
  int shareLeft = std::max(spare, 0);
  int flexSeen = 0;

  int cursor = axis.MainStart(inner) + (flexible == 0 ? AlignOffset(mainAlign, spare) : 0);
  for (std::size_t i = 0; i < items.size(); ++i) {
    CControl* item = items[i];
    const Rect& pad = item->GetPadding();
    int length = axis.Main(wanted[i]);
    if (length <= 0) {
      length = ++flexSeen == flexible ? shareLeft : share;
      shareLeft -= length;
    }
    cursor += axis.MainBefore(pad);

    const int crossRoom = axis.CrossLength(inner) - axis.CrossBefore(pad) - axis.CrossAfter(pad);
    int crossLength = axis.Cross(wanted[i]);
    int cross = axis.CrossStart(inner) + axis.CrossBefore(pad);
    if (crossLength <= 0) {
      crossLength = std::max(crossRoom, 0);
    } else {
      cross += AlignOffset(crossAlign, crossRoom - crossLength);
    }
    item->SetPos(axis.Make(cursor, cross, length, crossLength));
    cursor += length + axis.MainAfter(pad) + box.GetChildPadding();
  }
}

}  // namespace

void CVerticalLayout::SetPos(const Rect& pos) {
  CControl::SetPos(pos);
  LayoutLine(*this, InnerRect(), AxisView{true}, GetChildVAlign(), GetChildAlign());
}

void CHorizontalLayout::SetPos(const Rect& pos) {
  CControl::SetPos(pos);
  LayoutLine(*this, InnerRect(), AxisView{false}, GetChildAlign(), GetChildVAlign());
}

}  // namespace ui
