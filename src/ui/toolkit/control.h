// CControl: the base of every control in a window's control tree.
//
// A control has a name (found with WindowTree::FindControl), a text (which
// may hold "%{n}" tokens of the text table), visibility, an enabled state,
// user data, a fixed size (0 in a dimension: flexible, the layout decides),
// an outer margin ("padding"), a background colour and image, a border and a
// font by ID. Its position is set by its parent's layout.
//
// Markup attributes (see ClassProperties in control.cpp):
//   name text tooltip userdata visible enabled width height padding
//   bkcolor bkimage bordercolor bordersize borderround font
//
// Ownership and threads: controls are owned by their parent container (the
// root by its WindowTree) and used on the UI thread only. A control that
// leaves the tree has its timers stopped.
#pragma once

#include <cstdint>
#include <string>

#include "ui/toolkit/attribute_values.h"
#include "ui/toolkit/geometry.h"
#include "ui/toolkit/image_ref.h"
#include "ui/toolkit/property_table.h"

namespace ui {

class Painter;
class WindowTree;
class CContainer;

// Input and timer events routed to one control.
struct ControlEvent {
  enum class Type { kMouseEnter, kMouseLeave, kButtonDown, kButtonUp, kTimer, kSetFocus, kKillFocus };
  Type type = Type::kTimer;
  Point point;           // mouse events, client coordinates
  unsigned timerId = 0;  // kTimer
};

class CControl {
 public:
  // Sizes, margins and insets are kept within ±kMaxExtent, so that summing a
  // line of them can never overflow whatever the markup says.
  static constexpr int kMaxExtent = 100000;

  CControl();
  virtual ~CControl();
  CControl(const CControl&) = delete;
  CControl& operator=(const CControl&) = delete;

  // The markup tag's class, e.g. "Button"; custom controls return their own.
  virtual std::wstring GetClassName() const { return L"Control"; }

  static const PropertyTable& ClassProperties();
  virtual const PropertyTable& Properties() const { return ClassProperties(); }
  // Applies one markup attribute. False when no property of that name exists
  // (the value is then ignored).
  virtual bool SetAttribute(const std::wstring& name, const std::wstring& value);

  const std::wstring& GetName() const { return name_; }
  void SetName(const std::wstring& name) { name_ = name; }
  const std::wstring& GetText() const { return text_; }
  virtual void SetText(const std::wstring& text);
  const std::wstring& GetToolTip() const { return toolTip_; }
  void SetToolTip(const std::wstring& text) { toolTip_ = text; }
  const std::wstring& GetUserData() const { return userData_; }
  void SetUserData(const std::wstring& data) { userData_ = data; }
  std::uintptr_t GetTag() const { return tag_; }
  void SetTag(std::uintptr_t tag) { tag_ = tag; }

  bool IsVisible() const { return visible_; }
  virtual void SetVisible(bool visible);
  bool IsEnabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  bool IsFocused() const;
  void SetFocus();

  int GetFixedWidth() const { return fixed_.cx; }
  void SetFixedWidth(int width);
  int GetFixedHeight() const { return fixed_.cy; }
  void SetFixedHeight(int height);
  const Rect& GetPadding() const { return padding_; }
  void SetPadding(const Rect& padding);

  Color GetBkColor() const { return bkColor_; }
  void SetBkColor(Color color);
  const ImageRef& GetBkImage() const { return bkImage_; }
  void SetBkImage(const std::wstring& image);
  Color GetBorderColor() const { return borderColor_; }
  void SetBorderColor(Color color);
  int GetBorderSize() const { return borderSize_; }
  void SetBorderSize(int size);
  Size GetBorderRound() const { return borderRound_; }
  void SetBorderRound(Size round);

  // Font ID of the window's font table; -1 means the window's default font.
  int GetFont() const { return font_; }
  void SetFont(int id);

  // Layout: the size this control asks for (0: flexible in that dimension),
  // and the rectangle its parent gave it.
  virtual Size EstimateSize(Size available) const { return fixed_; }
  const Rect& GetPos() const { return pos_; }
  virtual void SetPos(const Rect& pos);

  CControl* GetParent() const { return parent_; }
  WindowTree* GetWindow() const { return window_; }
  // Joins or leaves a window; containers pass it on to their children.
  virtual void SetOwner(WindowTree* window, CControl* parent);
  // Runs once the control is in a window, after the whole markup is built.
  virtual void DoInit() {}

  // Per-control timers; a "timer" notification (wParam = id) arrives on
  // every tick. SetTimer on a running (control, id) keeps that timer as it is
  // and returns false. Both return false without a window.
  bool SetTimer(unsigned id, unsigned periodMs);
  bool KillTimer(unsigned id);

  virtual void DoEvent(ControlEvent& event);
  // Clicks, keyboard activation: buttons send "click". False when the
  // control cannot be activated (disabled, hidden, or not a button).
  virtual bool Activate();

  virtual void Paint(Painter& painter);
  void Invalidate();
  // Asks the window to lay out again (size or visibility changed).
  void NeedParentUpdate();

  // This control or a descendant with `name`; null when none.
  virtual CControl* FindControl(const std::wstring& name);
  // The innermost visible, enabled control under `point`.
  virtual CControl* HitTest(Point point);

 protected:
  virtual void PaintBkColor(Painter& painter);
  virtual void PaintBkImage(Painter& painter);
  virtual void PaintStatusImage(Painter& painter) {}
  virtual void PaintText(Painter& painter) {}
  virtual void PaintBorder(Painter& painter);
  static Rect ClampExtents(const Rect& r);
  // Fills the control's outline (rounded by "borderround") with `color`;
  // a fully transparent colour draws nothing.
  void FillBackground(Painter& painter, Color color);
  // Draws an image attribute for this control; false when it cannot be drawn.
  bool DrawImage(Painter& painter, const ImageRef& image);

 private:
  std::wstring name_;
  std::wstring text_;
  std::wstring toolTip_;
  std::wstring userData_;
  std::uintptr_t tag_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  Size fixed_;
  Rect padding_;
  Rect pos_;
  Color bkColor_ = 0;
  ImageRef bkImage_;
  Color borderColor_ = 0;
  int borderSize_ = 0;
  Size borderRound_;
  int font_ = -1;
  CControl* parent_ = nullptr;
  WindowTree* window_ = nullptr;
};

}  // namespace ui
