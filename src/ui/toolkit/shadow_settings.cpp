#include "ui/toolkit/shadow_settings.h"

#include "ui/toolkit/attribute_values.h"
#include "ui/toolkit/window_tree.h"

namespace ui {
namespace {

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

}  // namespace

bool ShadowSettings::SetSize(int size) {
  if (!InRange(size, kMinSize, kMaxSize)) return false;
  size_ = size;
  return true;
}

bool ShadowSettings::SetSharpness(int sharpness) {
  if (!InRange(sharpness, kMinSharpness, kMaxSharpness)) return false;
  sharpness_ = sharpness;
  return true;
}

bool ShadowSettings::SetDarkness(int darkness) {
  if (!InRange(darkness, kMinDarkness, kMaxDarkness)) return false;
  darkness_ = darkness;
  return true;
}

bool ShadowSettings::SetOffset(int x, int y) {
  if (!InRange(x, kMinOffset, kMaxOffset) || !InRange(y, kMinOffset, kMaxOffset)) return false;
  offset_ = {x, y};
  return true;
}

bool ShadowSettings::SetImage(const std::wstring& name, const Rect& corner, const Rect& holeOffset,
                              bool loads) {
  if (!loads) return false;
  image_ = {name, corner, holeOffset};
  return true;
}

bool ApplyShadowAttributes(const AttributeLookup& lookup, const ImageProbe& imageLoads,
                           ShadowSettings& settings) {
  const std::wstring* show = lookup(L"showshadow");
  if (!show || !EqualsIgnoreCase(*show, L"true")) return false;

  if (const std::wstring* image = lookup(L"shadowimage")) {
    const std::wstring* corner = lookup(L"shadowcorner");
    const std::wstring* hole = lookup(L"shadowholeoffset");
    settings.SetImage(*image, corner ? ParseRect(*corner) : Rect{}, hole ? ParseRect(*hole) : Rect{},
                      imageLoads && imageLoads(*image));
  }
  if (const std::wstring* v = lookup(L"shadowsize")) settings.SetSize(ParseInt(*v));
  if (const std::wstring* v = lookup(L"shadowsharpness")) settings.SetSharpness(ParseInt(*v));
  if (const std::wstring* v = lookup(L"shadowdarkness")) settings.SetDarkness(ParseInt(*v));
  if (const std::wstring* v = lookup(L"shadowposition")) {
    const Point p = ParsePoint(*v);
    settings.SetOffset(p.x, p.y);
  }
  if (const std::wstring* v = lookup(L"shadowcolor")) settings.SetColor(ParseHex(*v));
  return true;
}

bool ApplyShadowAttributes(const WindowTree& window, const ImageProbe& imageLoads,
                           ShadowSettings& settings) {
  return ApplyShadowAttributes(
      [&window](const std::wstring& name) { return window.GetCustomAttribute(name); }, imageLoads,
      settings);
}

}  // namespace ui
