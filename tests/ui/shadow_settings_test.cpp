#include "ui/toolkit/shadow_settings.h"

#include <gtest/gtest.h>

#include <map>

namespace ui {
namespace {

using Attributes = std::map<std::wstring, std::wstring>;

bool Apply(const Attributes& attributes, ShadowSettings& settings, bool imagesLoad = true) {
  return ApplyShadowAttributes(
      [&](const std::wstring& name) -> const std::wstring* {
        auto it = attributes.find(name);
        return it == attributes.end() ? nullptr : &it->second;
      },
      [&](const std::wstring&) { return imagesLoad; }, settings);
}

TEST(ShadowSettings, DefaultsAndRanges) {
  ShadowSettings s;
  EXPECT_EQ(s.size(), 0);
  EXPECT_EQ(s.sharpness(), 5);
  EXPECT_EQ(s.darkness(), 150);
  EXPECT_EQ(s.offset(), (Point{5, 5}));
  EXPECT_EQ(s.color(), 0u);
  EXPECT_FALSE(s.hasImage());

  const struct {
    bool (ShadowSettings::*set)(int);
    int (ShadowSettings::*get)() const;
    int low, high;
  } ranges[] = {
      {&ShadowSettings::SetSize, &ShadowSettings::size, -20, 20},
      {&ShadowSettings::SetSharpness, &ShadowSettings::sharpness, 0, 20},
      {&ShadowSettings::SetDarkness, &ShadowSettings::darkness, 0, 255},
  };
  for (const auto& r : ranges) {
    EXPECT_TRUE((s.*r.set)(r.low));
    EXPECT_TRUE((s.*r.set)(r.high));
    EXPECT_FALSE((s.*r.set)(r.low - 1));
    EXPECT_FALSE((s.*r.set)(r.high + 1));
    EXPECT_EQ((s.*r.get)(), r.high);  // refused values keep the previous one
  }
  EXPECT_TRUE(s.SetOffset(-20, 20));
  EXPECT_FALSE(s.SetOffset(21, 0));
  EXPECT_FALSE(s.SetOffset(0, -21));
  EXPECT_EQ(s.offset(), (Point{-20, 20}));
}

TEST(ShadowSettings, ShippedMarkupValues) {
  ShadowSettings s;
  ASSERT_TRUE(Apply({{L"showshadow", L"true"}, {L"shadowsize", L"6"}, {L"shadowsharpness", L"10"},
                     {L"shadowdarkness", L"20"}, {L"shadowposition", L"1,1"}, {L"shadowcolor", L"#26003B76"}},
                    s));
  EXPECT_EQ(s.size(), 6);
  EXPECT_EQ(s.sharpness(), 10);
  EXPECT_EQ(s.darkness(), 20);
  EXPECT_EQ(s.offset(), (Point{1, 1}));
  EXPECT_EQ(s.color(), 0x26003B76u);
  EXPECT_FALSE(s.hasImage());
}

TEST(ShadowSettings, ShowshadowMustSayTrue) {
  const struct {
    const wchar_t* value;
    bool on;
  } cases[] = {{L"true", true}, {L"TRUE", true}, {L"True", true}, {L"yes", false}, {L"1", false}, {L"", false}};
  for (const auto& c : cases) {
    ShadowSettings s;
    EXPECT_EQ(Apply({{L"showshadow", c.value}, {L"shadowsize", L"6"}}, s), c.on) << c.value;
    EXPECT_EQ(s.size(), c.on ? 6 : 0) << c.value;
  }
  ShadowSettings s;
  EXPECT_FALSE(Apply({{L"shadowsize", L"6"}}, s));
}

TEST(ShadowSettings, ValuesAreParsedAndRefusedOneByOne) {
  ShadowSettings s;
  ASSERT_TRUE(Apply({{L"showshadow", L"true"}, {L"shadowsize", L"25"}, {L"shadowsharpness", L"x"},
                     {L"shadowdarkness", L"300"}, {L"shadowposition", L"3,-30"}, {L"shadowcolor", L"26003B76"}},
                    s));
  EXPECT_EQ(s.size(), 0);       // 25 refused
  EXPECT_EQ(s.sharpness(), 0);  // non-numeric reads 0, which is in range
  EXPECT_EQ(s.darkness(), 150);
  EXPECT_EQ(s.offset(), (Point{5, 5}));  // y out of range refuses the pair
  EXPECT_EQ(s.color(), 0x26003B76u);     // with or without "#"
}

TEST(ShadowSettings, ImageWithCornerAndHoleOffset) {
  ShadowSettings s;
  ASSERT_TRUE(Apply({{L"showshadow", L"true"}, {L"shadowimage", L"res\\shadow.png"},
                     {L"shadowcorner", L"23,13,33,33"}, {L"shadowholeoffset", L"1,2"}},
                    s));
  ASSERT_TRUE(s.hasImage());
  EXPECT_EQ(s.image().name, L"res\\shadow.png");
  EXPECT_EQ(s.image().corner, (Rect{23, 13, 33, 33}));
  EXPECT_EQ(s.image().holeOffset, (Rect{1, 2, 0, 0}));

  ShadowSettings refused;
  Apply({{L"showshadow", L"true"}, {L"shadowimage", L"missing.png"}}, refused, /*imagesLoad=*/false);
  EXPECT_FALSE(refused.hasImage());

  // Without an image the rectangles are not read at all.
  ShadowSettings none;
  Apply({{L"showshadow", L"true"}, {L"shadowcorner", L"1,1,1,1"}}, none);
  EXPECT_FALSE(none.hasImage());
  EXPECT_EQ(none.image().corner, (Rect{}));
}

}  // namespace
}  // namespace ui
