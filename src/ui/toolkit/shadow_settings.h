// The drop-shadow settings of a skinned window and how the markup sets them.
//
// ShadowSettings is the value the shadow companion window draws from. Its
// setters refuse values outside their ranges and keep the previous value:
// size -20..20, sharpness 0..20, darkness 0..255, each offset -20..20; an
// image that cannot be loaded is refused too. Defaults: size 0, sharpness 5,
// darkness 150, offset 5,5, colour 0, no image.
//
// ApplyShadowAttributes reads the window's custom attributes in this order:
// "showshadow" (must be "true" in any letter case, else nothing happens),
// "shadowimage" with "shadowcorner" and "shadowholeoffset", "shadowsize",
// "shadowsharpness", "shadowdarkness", "shadowposition", "shadowcolor".
// Absent attributes leave the current value. Pure; thread-safe.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ui/toolkit/geometry.h"

namespace ui {

class WindowTree;

struct ShadowImage {
  std::wstring name;
  Rect corner;
  Rect holeOffset;
};

class ShadowSettings {
 public:
  static constexpr int kMinSize = -20, kMaxSize = 20;
  static constexpr int kMinSharpness = 0, kMaxSharpness = 20;
  static constexpr int kMinDarkness = 0, kMaxDarkness = 255;
  static constexpr int kMinOffset = -20, kMaxOffset = 20;

  int size() const { return size_; }
  int sharpness() const { return sharpness_; }
  int darkness() const { return darkness_; }
  Point offset() const { return offset_; }
  std::uint32_t color() const { return color_; }
  const ShadowImage& image() const { return image_; }
  bool hasImage() const { return !image_.name.empty(); }

  // Each returns false, changing nothing, for a value out of range.
  bool SetSize(int size);
  bool SetSharpness(int sharpness);
  bool SetDarkness(int darkness);
  bool SetOffset(int x, int y);
  void SetColor(std::uint32_t color) { color_ = color; }
  // `loads` says whether the image can be loaded from the skin.
  bool SetImage(const std::wstring& name, const Rect& corner, const Rect& holeOffset, bool loads);

 private:
  int size_ = 0;
  int sharpness_ = 5;
  int darkness_ = 150;
  Point offset_{5, 5};
  std::uint32_t color_ = 0;
  ShadowImage image_;
};

using AttributeLookup = std::function<const std::wstring*(const std::wstring& name)>;
using ImageProbe = std::function<bool(const std::wstring& name)>;

// True when "showshadow" turns the shadow on; the settings are then updated
// from the other attributes. Non-numeric values read as 0 (and are then
// kept or refused by the range of their setter).
bool ApplyShadowAttributes(const AttributeLookup& lookup, const ImageProbe& imageLoads,
                           ShadowSettings& settings);
bool ApplyShadowAttributes(const WindowTree& window, const ImageProbe& imageLoads,
                           ShadowSettings& settings);

}  // namespace ui
