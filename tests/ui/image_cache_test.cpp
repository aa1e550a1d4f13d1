#include "ui/toolkit/image_cache.h"

#include <gtest/gtest.h>

#include "ui/toolkit/skin_resources.h"
#include "ui_test_support.h"

namespace ui {
namespace {

TEST(ImageCache, DecodesSkinImagesOnceAndRemembersMissingOnes) {
  auto skin = ArchiveSkinResources::FromBytes(test::ReadBytes(TW_SKIN_ARCHIVE_PATH));
  ASSERT_TRUE(skin);
  ImageCache cache(*skin);
  auto logo = cache.Get(L"res\\mainWnd\\logo.png");
  ASSERT_TRUE(logo);
  EXPECT_EQ(logo->width, 307);
  EXPECT_EQ(logo->height, 60);
  EXPECT_EQ(logo->pixels.size(), 307u * 60u * 4u);
  EXPECT_EQ(cache.Get(L"RES/MAINWND/LOGO.PNG"), logo);  // one entry whatever the spelling

  auto arrow = cache.Get(L"res/mainWnd/customeBtn1.png");  // palette PNG
  ASSERT_TRUE(arrow);
  EXPECT_EQ(arrow->width, 16);

  EXPECT_FALSE(cache.Get(L"res\\common\\closebtn4.png"));
  EXPECT_FALSE(cache.Loads(L"res\\mainWnd\\installPrg3.png"));
  EXPECT_FALSE(cache.Get(L"mainWnd.xml"));  // not an image
}

TEST(ImageCache, PixelsArePremultipliedInDibByteOrder) {
  auto skin = ArchiveSkinResources::FromBytes(test::ReadBytes(TW_SKIN_ARCHIVE_PATH));
  ASSERT_TRUE(skin);
  ImageCache cache(*skin);
  // The big button's middle is the opaque accent colour #1675FE.
  auto button = cache.Get(L"res\\mainWnd\\installBtn1.png");
  ASSERT_TRUE(button);
  const std::size_t middle = (static_cast<std::size_t>(25) * button->width + 117) * 4;
  EXPECT_EQ(button->pixels[middle + 0], 0xFE);
  EXPECT_EQ(button->pixels[middle + 1], 0x75);
  EXPECT_EQ(button->pixels[middle + 2], 0x16);
  EXPECT_EQ(button->pixels[middle + 3], 0xFF);
  // Its corner is transparent, so every colour byte is 0 too.
  EXPECT_EQ(button->pixels[3], 0);
  EXPECT_EQ(button->pixels[0], 0);
}

TEST(ImageCache, RefusesDataThatIsNotAnImage) {
  EXPECT_FALSE(ImageCache::Decode({}));
  EXPECT_FALSE(ImageCache::Decode({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}));
  std::vector<std::uint8_t> text(100, 'x');
  EXPECT_FALSE(ImageCache::Decode(text));
}

}  // namespace
}  // namespace ui
