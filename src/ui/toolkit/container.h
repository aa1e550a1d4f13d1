// CContainer: a control that owns child controls.
//
// The plain container ("Container") gives every visible child its inner
// rectangle (own rectangle less "inset"), less the child's padding, with the
// child's fixed width/height when it has one (anchored top-left). The box
// layouts (box_layout.h) and the tab layout (tab_layout.h) derive from it.
//
// Markup: inset="l,t,r,b", childpadding="n" (gap between children of a box
// layout), childalign="left|center|right", childvalign="top|vcenter|bottom"
// (see box_layout.h).
#pragma once

#include <memory>
#include <vector>

#include "ui/toolkit/control.h"

namespace ui {

enum class Align { kStart, kCenter, kEnd };

class CContainer : public CControl {
 public:
  std::wstring GetClassName() const override { return L"Container"; }
  static const PropertyTable& ClassProperties();
  const PropertyTable& Properties() const override { return ClassProperties(); }

  // Takes ownership; the child joins this container's window (and, when the
  // container is already in one, is initialised).
  virtual bool Add(std::unique_ptr<CControl> child);
  // Destroys the child. False when it is not a child of this container.
  bool Remove(CControl* child);
  int GetCount() const { return static_cast<int>(items_.size()); }
  CControl* GetItemAt(int index) const;
  int GetItemIndex(const CControl* child) const;

  const Rect& GetInset() const { return inset_; }
  void SetInset(const Rect& inset);
  int GetChildPadding() const { return childPadding_; }
  void SetChildPadding(int padding);
  Align GetChildAlign() const { return childAlign_; }
  void SetChildAlign(const std::wstring& value);
  Align GetChildVAlign() const { return childVAlign_; }
  void SetChildVAlign(const std::wstring& value);

  void SetOwner(WindowTree* window, CControl* parent) override;
  void SetPos(const Rect& pos) override;
  void Paint(Painter& painter) override;
  CControl* FindControl(const std::wstring& name) override;
  CControl* HitTest(Point point) override;

 protected:
  // The rectangle children are laid out in.
  Rect InnerRect() const { return GetPos().Deflated(inset_); }

 private:
  std::vector<std::unique_ptr<CControl>> items_;
  Rect inset_;
  int childPadding_ = 0;
  Align childAlign_ = Align::kStart;
  Align childVAlign_ = Align::kStart;
};

}  // namespace ui
