// Rows composited four or eight pixels at a time must leave exactly what OverPixel leaves
// pixel by pixel, whatever the widths (ends of one to seven pixels, rows narrower than a
// step) and the mix of opaque, clear and partly transparent pixels; nothing past a row's
// end changes.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "Platform/Graphics/PixelCompositing.h"
#include "Support/TestSeed.h"

namespace Gfx = QZ::Platform::Graphics;

namespace {

// Every step this processor can take, widest first.
std::vector<Gfx::Lanes> RunnableLanes() {
  std::vector<Gfx::Lanes> lanes;
  for (Gfx::Lanes each : {Gfx::Lanes::kEight, Gfx::Lanes::kFour, Gfx::Lanes::kOne}) {
    if (int(each) <= int(Gfx::WidestLanes())) {
      lanes.push_back(each);
    }
  }
  return lanes;
}

TEST(PixelCompositingTest, RowsAreOverPixelBitForBit) {
  const QZTest::TestSeed seed;
  std::mt19937 random(uint32_t(seed.value));
  auto between = [&](uint32_t low, uint32_t high) {
    return std::uniform_int_distribution<uint32_t>(low, high)(random);
  };
  auto pixel = [&] {
    // Runs of opaque and clear pixels as in drawn images, alpha 0 with colour left in, and
    // colours above their alpha: both paths must agree on any word.
    switch (between(0, 5)) {
    case 0:
      return 0xff000000u | between(0, 0xffffff);
    case 1:
      return 0u;
    case 2:
      return between(0, 0xffffff);
    case 3:
      return between(0, 0xffffffffu);
    default: {
      const uint32_t alpha = between(1, 254);
      return alpha << 24 | between(0, alpha) << 16 | between(0, alpha) << 8 | between(0, alpha);
    }
    }
  };

  constexpr size_t kPadding = 3; // pixels past each row's end, which must stay as they are
  const std::vector<Gfx::Lanes> runnable = RunnableLanes();
  for (int round = 0; round < 3000; ++round) {
    const Gfx::Lanes lanes = runnable[size_t(round) % runnable.size()];
    const size_t width = between(0, 35);
    const size_t height = between(1, 3);
    const size_t stride = width + kPadding;
    // Long runs of one kind of source, so that whole steps go every way.
    const bool runs = between(0, 1) == 0;
    std::vector<uint32_t> source(stride * height);
    std::vector<uint32_t> destination(stride * height);
    uint32_t run = pixel();
    for (size_t i = 0; i < source.size(); ++i) {
      if (!runs || between(0, 11) == 0) {
        run = pixel();
      }
      source[i] = run;
      destination[i] = between(0, 3) == 0 ? pixel() : between(0, 0xffffffffu);
    }
    std::vector<uint32_t> expected = destination;
    for (size_t row = 0; row < height; ++row) {
      for (size_t x = 0; x < width; ++x) {
        expected[row * stride + x] = Gfx::OverPixel(source[row * stride + x], destination[row * stride + x]);
      }
    }
    Gfx::OverRows(reinterpret_cast<const uint8_t*>(source.data()), stride * 4,
                  reinterpret_cast<uint8_t*>(destination.data()), stride * 4, width, height, lanes);
    for (size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(destination[i], expected[i])
          << "round " << round << ", " << int(lanes) << " lanes, width " << width << ", pixel " << i % stride
          << " of row " << i / stride << ", source " << std::hex << source[i];
    }
  }
}

TEST(PixelCompositingTest, OverPixelKeepsCairosRoundingAndSaturation) {
  // Opaque sources replace and clear ones keep; the destination's share rounds to nearest
  // (64 x 127 / 255 = 31.9 gives 32); colour above alpha saturates each byte instead of
  // carrying into the next.
  EXPECT_EQ(Gfx::OverPixel(0xff102030u, 0x80405060u), 0xff102030u);
  EXPECT_EQ(Gfx::OverPixel(0u, 0x80405060u), 0x80405060u);
  EXPECT_EQ(Gfx::OverPixel(0x80000000u, 0xff404040u), 0xff202020u);
  EXPECT_EQ(Gfx::OverPixel(0x00ffffffu, 0xff010203u), 0xffffffffu);
  EXPECT_EQ(Gfx::OverPixel(0x01ff00ffu, 0xfeff00ffu), 0xfeff00ffu);
}

} // namespace
