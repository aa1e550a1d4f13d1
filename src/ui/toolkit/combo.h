// CCombo ("Combo"): a drop-down list of texts.
//
// Items come from child elements <Item text="..."/> or AddItem. The control
// shows the selected item's text; the Win32 backend opens the list and calls
// SelectItem with the user's choice. Selecting another item sends
// "itemselect" (wParam new index, lParam old index) when asked to.
//
// Markup: selectedid="n" (the item selected at start; default none, -1).
#pragma once

#include <string>
#include <vector>

#include "ui/toolkit/label.h"

namespace ui {

class CCombo : public CLabel {
 public:
  std::wstring GetClassName() const override { return L"Combo"; }
  static const PropertyTable& ClassProperties();
  const PropertyTable& Properties() const override { return ClassProperties(); }

  void AddItem(const std::wstring& text);
  int GetCount() const { return static_cast<int>(items_.size()); }
  const std::wstring& GetItemText(int index) const;
  int GetCurSel() const { return current_; }
  // False when `index` names no item. Selecting the current item again
  // raises the event again, so a caller can re-apply a choice.
  bool SelectItem(int index, bool raiseEvent = true);
  void SetSelectedId(int index);

 private:
  std::vector<std::wstring> items_;
  int current_ = -1;
  int pending_ = -1;  // selectedid given before the items
};

}  // namespace ui
