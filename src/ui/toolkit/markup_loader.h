// Builds a WindowTree from a markup file.
//
// The markup is UTF-8 XML:
//
//   <Window size="600,400" caption="0,0,0,35" roundcorner="1,0" anything="kept">
//     <Font id="0" name="微软雅黑" size="14" bold="false" underline="false"
//           italic="false" default="true"/>
//     <VerticalLayout name="root" ...>        (the one root control)
//       <Label text="..."/>
//       <Combo><Item text="English"/></Combo>
//     </VerticalLayout>
//   </Window>
//
// Tags (without regard to case): Control, Container, VerticalLayout,
// HorizontalLayout, TabLayout, Label, Button, Option, CheckBox, Edit, Combo,
// Progress. The builder callback is asked first for every tag, so a window
// can supply its own control classes. An unknown tag becomes a plain
// Container, so the layout around it stays as the markup implies. Attributes
// are applied in document order; attributes no control knows are ignored.
// Elements nested deeper than kMaxDepth are ignored.
//
// After building, every control's DoInit runs (after the host is attached
// when the caller attaches it first).
#pragma once

#include <memory>
#include <string>

namespace ui {

class CControl;
class SkinResources;
class WindowTree;

class BuilderCallback {
 public:
  virtual ~BuilderCallback() = default;
  // A control for `tag`, or null to let the toolkit build its own.
  virtual std::unique_ptr<CControl> CreateCustomControl(const std::wstring& tag) = 0;
};

constexpr int kMaxDepth = 64;

// False (with a reason in `error` when given) when the text is not
// well-formed XML, its root element is not "Window", or it has no control.
bool LoadMarkup(const std::string& utf8, WindowTree& tree, BuilderCallback* callback,
                std::wstring* error = nullptr);

// Reads `file` from `resources` and loads it.
bool LoadMarkupFile(SkinResources& resources, const std::wstring& file, WindowTree& tree,
                    BuilderCallback* callback, std::wstring* error = nullptr);

// A toolkit control for a built-in tag, or null.
std::unique_ptr<CControl> CreateBuiltinControl(const std::wstring& tag);

}  // namespace ui
