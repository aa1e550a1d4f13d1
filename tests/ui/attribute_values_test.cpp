#include "ui/toolkit/attribute_values.h"

#include <gtest/gtest.h>

#include "ui/toolkit/image_ref.h"

namespace ui {
namespace {

TEST(AttributeValues, Integers) {
  const struct {
    const wchar_t* text;
    int value;
  } cases[] = {{L"24", 24}, {L"24px", 24}, {L"-3", -3}, {L" 7", 7}, {L"abc", 0}, {L"", 0},
               {L"99999999999", 2147483647}, {L"+5", 5}};
  for (const auto& c : cases) EXPECT_EQ(ParseInt(c.text), c.value) << c.text;
}

TEST(AttributeValues, RectsReadANumberThenSkipOneCharacter) {
  const struct {
    const wchar_t* text;
    Rect rect;
  } cases[] = {
      {L"1,2,3,4", {1, 2, 3, 4}},
      {L"9,0,9,3", {9, 0, 9, 3}},
      {L"1;2;3;4", {1, 2, 3, 4}},
      {L"-5,0,5,-1", {-5, 0, 5, -1}},
      {L"1,2", {1, 2, 0, 0}},      // short: the rest reads 0, nothing past the end
      {L"1", {1, 0, 0, 0}},
      {L"", {0, 0, 0, 0}},
      {L"1, 2,3,4", {1, 2, 3, 4}},  // a blank before a number is skipped
      {L"1,,3,4", {1, 0, 3, 4}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseRect(c.text), c.rect) << c.text;
  EXPECT_EQ(ParseSize(L"600,400"), (Size{600, 400}));
  EXPECT_EQ(ParsePoint(L"1,1"), (Point{1, 1}));
}

TEST(AttributeValues, Colours) {
  const struct {
    const wchar_t* text;
    Color color;
  } cases[] = {
      {L"#FF1675FE", 0xFF1675FE}, {L"0xFF1365DB", 0xFF1365DB}, {L"#26003B76", 0x26003B76},
      {L"#1675FE", 0xFF1675FE},  // six digits: opaque
      {L"", 0}, {L"#", 0}, {L"#zz", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseColor(c.text), c.color) << c.text;
  EXPECT_EQ(ParseHex(L"26003B76"), 0x26003B76u);
  EXPECT_EQ(ParseHex(L"#26003B76"), 0x26003B76u);
  EXPECT_EQ(ParseHex(L"#12G4"), 0x12u);
}

TEST(AttributeValues, Booleans) {
  EXPECT_TRUE(ParseBool(L"true"));
  EXPECT_TRUE(ParseBool(L"TRUE"));
  EXPECT_FALSE(ParseBool(L"1"));
  EXPECT_FALSE(ParseBool(L"yes"));
  EXPECT_FALSE(ParseBool(L""));
}

TEST(ImageRef, PlainNamesAndKeyedForms) {
  EXPECT_EQ(ParseImageRef(L"res\\mainWnd\\bg1.png").file, L"res\\mainWnd\\bg1.png");
  const ImageRef check = ParseImageRef(L"file='res\\mainWnd\\Cb1.png' dest='0,2,15,16'");
  EXPECT_EQ(check.file, L"res\\mainWnd\\Cb1.png");
  EXPECT_EQ(check.dest, (Rect{0, 2, 15, 16}));
  EXPECT_EQ(check.DestIn({100, 50, 168, 68}), (Rect{100, 52, 115, 66}));
  const ImageRef full = ParseImageRef(L" FILE = 'a.png' source='1,2,3,4' corner='2,2,2,2' fade='300' extra='x'");
  EXPECT_EQ(full.file, L"a.png");
  EXPECT_EQ(full.source, (Rect{1, 2, 3, 4}));
  EXPECT_EQ(full.corner, (Rect{2, 2, 2, 2}));
  EXPECT_EQ(full.fade, 255);
  EXPECT_EQ(full.DestIn({5, 5, 9, 9}), (Rect{5, 5, 9, 9}));
  // An unterminated quote keeps what was read before it.
  EXPECT_EQ(ParseImageRef(L"file='a.png' dest='1,2").file, L"a.png");
  EXPECT_TRUE(ParseImageRef(L"file='unterminated").IsEmpty());
}

}  // namespace
}  // namespace ui
