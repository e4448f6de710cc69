#include "QZFramework/Utilities/Graphics/Color.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace {

using Color = QZ::ColorT<float>;

constexpr float kUnit = 0.003921569f;

} // namespace

TEST(ColorTest, TextOfTwoDigitsSetsAlphaOnly) {
  Color color{0.25f, 0.5f, 0.75f, 1.0f};
  EXPECT_TRUE(color.FromString("0x80"));
  EXPECT_EQ(color, (Color{0.25f, 0.5f, 0.75f, 128 * kUnit}));
}

TEST(ColorTest, TextOfSixDigitsSetsRedGreenBlueAndKeepsAlpha) {
  Color color{0, 0, 0, 0.5f};
  EXPECT_TRUE(color.FromString("FF0000"));
  EXPECT_EQ(color, (Color{255 * kUnit, 0, 0, 0.5f}));
  EXPECT_TRUE(color.FromString("0X00ff80"));
  EXPECT_EQ(color, (Color{0, 255 * kUnit, 128 * kUnit, 0.5f}));
}

TEST(ColorTest, TextOfEightDigitsIsArgb) {
  Color color;
  EXPECT_TRUE(color.FromString("0x11223344"));
  EXPECT_EQ(color, (Color{0x22 * kUnit, 0x33 * kUnit, 0x44 * kUnit, 0x11 * kUnit}));
  EXPECT_EQ(color.ToARGB(), 0x11223344u);
}

TEST(ColorTest, OtherTextChangesNothing) {
  const Color original{0.1f, 0.2f, 0.3f, 0.4f};
  for (const char* text : {"", "0x", "8", "123", "12345", "1234567", "123456789", "0x0x12", "GG", "12 456", "-12345"}) {
    Color color = original;
    EXPECT_FALSE(color.FromString(text)) << text;
    EXPECT_EQ(color, original) << text;
  }
  Color color = original;
  EXPECT_FALSE(color.FromString(nullptr));
  EXPECT_EQ(color, original);
}

TEST(ColorTest, PackingRoundsHalfAwayFromZeroAndClamps) {
  EXPECT_EQ((Color{1, 0.5f, 0, 1}).ToARGB(), 0xFFFF8000u);
  EXPECT_EQ((Color{2.0f, -1.0f, NAN, 0.5f}).ToARGB(), 0x80FF0000u);
  EXPECT_EQ((Color{INFINITY, 0, 0, -INFINITY}).ToARGB(), 0x00FF0000u);
}

TEST(ColorTest, EachChannelPacksByItselfIntoItsOwnByte) {
  // Value and byte for a channel, the other channels 0: rounding, saturation and the
  // values that give 0 must neither move to another byte nor touch one.
  const std::pair<float, uint32_t> cases[] = {{200.2f / 255, 200},
                                              {200.7f / 255, 201},
                                              {254.7f / 255, 255},
                                              {1.5f, 255},
                                              {1e-30f, 0},
                                              {-0.0f, 0},
                                              {-1e-30f, 0},
                                              {NAN, 0},
                                              {0.0f, 0}};
  for (const auto& [value, byte] : cases) {
    EXPECT_EQ((Color{value, 0, 0, 0}).ToARGB(), byte << 16) << value;
    EXPECT_EQ((Color{0, value, 0, 0}).ToARGB(), byte << 8) << value;
    EXPECT_EQ((Color{0, 0, value, 0}).ToARGB(), byte) << value;
    EXPECT_EQ((Color{0, 0, 0, value}).ToARGB(), byte << 24) << value;
  }
}

TEST(ColorTest, EveryByteSurvivesUnpackingAndPacking) {
  for (uint32_t byte = 0; byte < 256; ++byte) {
    const uint32_t argb = byte << 24 | (255 - byte) << 16 | byte << 8 | (byte ^ 0x5A);
    EXPECT_EQ(Color::FromARGB(argb).ToARGB(), argb) << byte;
  }
}
