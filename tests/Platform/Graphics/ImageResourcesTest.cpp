#include <gtest/gtest.h>

#include "Platform/Graphics/Image.h"
#include "Platform/Graphics/ImageResources.h"

namespace Gfx = QZ::Platform::Graphics;

TEST(ImageResourcesTest, FindsEmbeddedImagesByResourceName) {
  const auto combobox = Gfx::FindImageResource(u"COMBOBOX_NORMAL_PNG");
  ASSERT_TRUE(combobox);
  auto image = Gfx::Image::FromPngMemory(*combobox);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Width(), 40);
  EXPECT_EQ(image->Height(), 20);

  // "a b.png": blank and full stop both become '_'.
  const auto spaced = Gfx::FindImageResource(u"A_B_PNG");
  ASSERT_TRUE(spaced);
  EXPECT_TRUE(Gfx::Image::FromPngMemory(*spaced));
}

TEST(ImageResourcesTest, ReportsNamesItDoesNotHave) {
  EXPECT_FALSE(Gfx::FindImageResource(u"MISSING_PNG"));
  EXPECT_FALSE(Gfx::FindImageResource(u"combobox_normal.png")); // file names are not resource names
  EXPECT_FALSE(Gfx::FindImageResource(u"COMBOBOX_NORMAL"));
  EXPECT_FALSE(Gfx::FindImageResource(u"COMBOBOX_NORMAL_PNG_"));
  EXPECT_FALSE(Gfx::FindImageResource(u""));
  EXPECT_FALSE(Gfx::FindImageResource(u"\u0100OMBOBOX_NORMAL_PNG")); // no truncation to 8 bits
}
