// The markup attributes a control class understands, kept beside the class.
//
// Every control class builds one static table in its own .cpp, chained to
// its base class's table, and adds one line per attribute:
//
//   t.Int<CProgress>(L"value", &CProgress::SetValue);
//
// Lookup walks from the class's own table to the base tables. Names match
// without regard to letter case unless a property is registered with
// NameMatch::kExactCase. An attribute no table knows is ignored by the
// loader: skins may carry attributes meant for other toolkits.
//
// Tables are built once (function-local statics) and read-only afterwards,
// so lookups are thread-safe.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/toolkit/attribute_values.h"
#include "ui/toolkit/geometry.h"

namespace ui {

class CControl;

class PropertyTable {
 public:
  using Setter = std::function<void(CControl&, const std::wstring&)>;
  enum class NameMatch { kIgnoreCase, kExactCase };

  explicit PropertyTable(const PropertyTable* base = nullptr) : base_(base) {}

  // The setter registered for `name` here or in a base table, or null.
  const Setter* Find(const std::wstring& name) const;

  template <typename T, typename F>
  void Custom(const wchar_t* name, F apply, NameMatch match = NameMatch::kIgnoreCase) {
    Add(name, match, [apply](CControl& c, const std::wstring& v) { apply(static_cast<T&>(c), v); });
  }
  template <typename T>
  void Text(const wchar_t* name, void (T::*set)(const std::wstring&),
            NameMatch match = NameMatch::kIgnoreCase) {
    Custom<T>(name, [set](T& c, const std::wstring& v) { (c.*set)(v); }, match);
  }
  template <typename T>
  void Int(const wchar_t* name, void (T::*set)(int)) {
    Custom<T>(name, [set](T& c, const std::wstring& v) { (c.*set)(ParseInt(v)); });
  }
  template <typename T>
  void Bool(const wchar_t* name, void (T::*set)(bool)) {
    Custom<T>(name, [set](T& c, const std::wstring& v) { (c.*set)(ParseBool(v)); });
  }
  template <typename T>
  void ColorValue(const wchar_t* name, void (T::*set)(Color)) {
    Custom<T>(name, [set](T& c, const std::wstring& v) { (c.*set)(ParseColor(v)); });
  }
  template <typename T>
  void RectValue(const wchar_t* name, void (T::*set)(const Rect&)) {
    Custom<T>(name, [set](T& c, const std::wstring& v) { (c.*set)(ParseRect(v)); });
  }
  template <typename T>
  void SizeValue(const wchar_t* name, void (T::*set)(Size)) {
    Custom<T>(name, [set](T& c, const std::wstring& v) { (c.*set)(ParseSize(v)); });
  }

 private:
  struct Entry {
    std::wstring name;  // lower-cased when matched without regard to case
    NameMatch match;
    Setter setter;
  };
  void Add(const wchar_t* name, NameMatch match, Setter setter);

  const PropertyTable* base_;
  std::vector<Entry> entries_;
};

}  // namespace ui
