// CTabLayout ("TabLayout"): pages of which one is shown at a time.
//
// Every child is a page; the selected page is laid out like a child of a
// plain container, the others are hidden. Selecting another page raises
// "tabselect" (wParam new index, lParam old index) when asked to; selecting
// the page already shown does nothing, so a "tabselect" handler that selects
// pages cannot recurse for ever.
//
// Markup: selectedid="n" (the page shown first, default 0).
#pragma once

#include "ui/toolkit/container.h"

namespace ui {

class CTabLayout : public CContainer {
 public:
  std::wstring GetClassName() const override { return L"TabLayout"; }
  static const PropertyTable& ClassProperties();
  const PropertyTable& Properties() const override { return ClassProperties(); }

  bool Add(std::unique_ptr<CControl> child) override;
  int GetCurSel() const { return current_; }
  // False when `index` names no page.
  bool SelectItem(int index, bool raiseEvent = true);
  void SetSelectedId(int index);

 private:
  int current_ = 0;
};

}  // namespace ui
