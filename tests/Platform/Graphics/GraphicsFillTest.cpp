// Solid rectangles take shortcuts (no saved state, whole pixels written straight into the
// target): they must leave exactly the pixels Cairo leaves for the same rectangle under the
// same transform, clip and modes.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "Platform/Graphics/Graphics.h"
#include "Support/TestSeed.h"

namespace Gfx = QZ::Platform::Graphics;

namespace {

constexpr int kWidth = 24;
constexpr int kHeight = 20;

struct Fill {
  Gfx::PointF world;
  std::optional<Gfx::RectF> clip; // set under clipWorld
  Gfx::PointF clipWorld;
  Gfx::RectF rect;
  Gfx::Color color;
  Gfx::SmoothingMode smoothing;
  Gfx::PixelOffsetMode pixelOffset;
  Gfx::CompositingMode compositing;
};

// What Cairo itself draws for the fill, by the rules of Graphics.h: the clip is the
// rectangle's pixel centres, shapes move by half a pixel unless pixel centres lie on half
// coordinates, aliased unless smoothing.
void CairoFill(std::vector<uint32_t>& pixels, const Fill& fill) {
  cairo_surface_t* surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels.data()),
                                                                 CAIRO_FORMAT_ARGB32, kWidth, kHeight, kWidth * 4);
  cairo_t* cairo = cairo_create(surface);
  if (fill.clip) {
    cairo_translate(cairo, fill.clipWorld.x, fill.clipWorld.y);
    cairo_rectangle(cairo, fill.clip->x, fill.clip->y, fill.clip->width, fill.clip->height);
    cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
    cairo_clip(cairo);
    cairo_identity_matrix(cairo);
  }
  const bool halfPixels =
      fill.pixelOffset == Gfx::PixelOffsetMode::Half || fill.pixelOffset == Gfx::PixelOffsetMode::HighQuality;
  cairo_translate(cairo, double(fill.world.x) + (halfPixels ? 0.0 : 0.5),
                  double(fill.world.y) + (halfPixels ? 0.0 : 0.5));
  const bool smooth =
      fill.smoothing == Gfx::SmoothingMode::AntiAlias || fill.smoothing == Gfx::SmoothingMode::HighQuality;
  cairo_set_antialias(cairo, smooth ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_set_operator(cairo, fill.compositing == Gfx::CompositingMode::SourceCopy ? CAIRO_OPERATOR_SOURCE
                                                                                 : CAIRO_OPERATOR_OVER);
  cairo_set_source_rgba(cairo, fill.color.R() / 255.0, fill.color.G() / 255.0, fill.color.B() / 255.0,
                        fill.color.A() / 255.0);
  cairo_rectangle(cairo, fill.rect.x, fill.rect.y, fill.rect.width, fill.rect.height);
  cairo_fill(cairo);
  cairo_destroy(cairo);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
}

// Coordinates mostly whole, else on halves or quarters of a pixel.
float Coordinate(std::mt19937& random, int low, int high) {
  const float whole = float(std::uniform_int_distribution<int>(low, high)(random));
  switch (std::uniform_int_distribution<int>(0, 5)(random)) {
  case 0:
    return whole + 0.5f;
  case 1:
    return whole + 0.25f * float(std::uniform_int_distribution<int>(1, 3)(random));
  default:
    return whole;
  }
}

Fill RandomFill(std::mt19937& random) {
  auto pick = [&](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
  Fill fill;
  fill.world = {Coordinate(random, -6, 6), Coordinate(random, -6, 6)};
  if (pick(3) != 0) {
    fill.clip = Gfx::RectF{Coordinate(random, -4, 20), Coordinate(random, -4, 16), Coordinate(random, 0, 20),
                           Coordinate(random, 0, 16)};
    fill.clipWorld = {Coordinate(random, -3, 3), Coordinate(random, -3, 3)};
  }
  fill.rect = {Coordinate(random, -10, 26), Coordinate(random, -10, 22), Coordinate(random, -1, 28),
               Coordinate(random, -1, 24)};
  const uint32_t rgb = std::uniform_int_distribution<uint32_t>(0, 0xFFFFFF)(random);
  const uint32_t alphas[] = {255, 255, 255, 255, 0, 1, 128, 254};
  fill.color = Gfx::Color{alphas[pick(8)] << 24 | rgb};
  fill.smoothing = pick(3) == 0 ? Gfx::SmoothingMode::AntiAlias : Gfx::SmoothingMode::HighSpeed;
  fill.pixelOffset = pick(3) == 0 ? Gfx::PixelOffsetMode::Half : Gfx::PixelOffsetMode::HighSpeed;
  fill.compositing = pick(4) == 0 ? Gfx::CompositingMode::SourceCopy : Gfx::CompositingMode::SourceOver;
  return fill;
}

} // namespace

TEST(GraphicsFillTest, SolidRectanglesLeaveThePixelsCairoLeaves) {
  const QZTest::TestSeed seed;
  std::mt19937 random(uint32_t(seed.value));

  // One graphics for the whole run, so that each fill starts from the state the previous
  // ones left; the reference starts afresh each time.
  std::vector<uint32_t> drawn(kWidth * kHeight);
  for (uint32_t& pixel : drawn) {
    const uint32_t alpha = std::uniform_int_distribution<uint32_t>(0, 255)(random);
    pixel = alpha << 24 | (std::uniform_int_distribution<uint32_t>(0, 0xFFFFFF)(random) & (alpha * 0x010101u));
  }
  std::vector<uint32_t> expected = drawn;
  auto graphics = Gfx::Graphics::FromPixels(drawn.data(), kWidth, kHeight, kWidth * 4);
  ASSERT_TRUE(graphics);
  for (int round = 0; round < 3000; ++round) {
    const Fill fill = RandomFill(random);
    graphics->SetSmoothingMode(fill.smoothing);
    graphics->SetPixelOffsetMode(fill.pixelOffset);
    graphics->SetCompositingMode(fill.compositing);
    if (fill.clip) {
      graphics->ResetWorldTransform();
      graphics->TranslateWorldTransform(fill.clipWorld.x, fill.clipWorld.y);
      ASSERT_EQ(graphics->SetClip(*fill.clip), Gfx::Status::Ok);
    } else {
      ASSERT_EQ(graphics->ResetClip(), Gfx::Status::Ok);
    }
    graphics->ResetWorldTransform();
    graphics->TranslateWorldTransform(fill.world.x, fill.world.y);
    ASSERT_EQ(graphics->FillRectangle(Gfx::Brush::Solid(fill.color), fill.rect), Gfx::Status::Ok);
    if (!fill.rect.IsEmpty()) {
      CairoFill(expected, fill);
    }
    ASSERT_EQ(graphics->Flush(), Gfx::Status::Ok);
    for (size_t i = 0; i < drawn.size(); ++i) {
      ASSERT_EQ(drawn[i], expected[i]) << "round " << round << ", pixel (" << i % kWidth << ", " << i / kWidth
                                       << "), rect {" << fill.rect.x << ", " << fill.rect.y << ", " << fill.rect.width
                                       << ", " << fill.rect.height << "}, world (" << fill.world.x << ", "
                                       << fill.world.y << "), colour " << std::hex << fill.color.argb;
    }
  }
}
