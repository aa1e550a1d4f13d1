// Box layouts: children in one column ("VerticalLayout") or one row
// ("HorizontalLayout").
//
// Along the main axis each visible child takes its fixed size plus its
// padding on that axis, plus "childpadding" between neighbours; the space
// left over is shared by the flexible children (fixed size 0) in equal
// integer parts, the last flexible child taking the remainder, so the
// children tile the inner rectangle exactly. With no flexible child, the run
// of children is placed at the start, centre or end of the main axis
// ("childvalign" for a column, "childalign" for a row; centre offsets are
// halved with integer division).
//
// Across the main axis a child with a fixed size is placed at the start,
// centre or end of the inner rectangle less its padding ("childalign" for a
// column, "childvalign" for a row); a flexible child fills it.
// Hidden children take no space. Sizes never go below 0.
#pragma once

#include "ui/toolkit/container.h"

namespace ui {

class CVerticalLayout : public CContainer {
 public:
  std::wstring GetClassName() const override { return L"VerticalLayout"; }
  void SetPos(const Rect& pos) override;
};

class CHorizontalLayout : public CContainer {
 public:
  std::wstring GetClassName() const override { return L"HorizontalLayout"; }
  void SetPos(const Rect& pos) override;
};

}  // namespace ui
