// Solid rectangles, clears and unscaled copies take shortcuts (no saved state, clips of
// whole pixels kept from Cairo until it draws, whole pixels written straight into the
// target): they must leave exactly the pixels Cairo leaves for the same operation under the
// same transform, clip and modes.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
  bool clear; // Clear(color) in place of the rectangle
};

// A Cairo context on surface, cut to the fill's clip (aliased, in the clip's world).
cairo_t* CairoClippedAsFill(cairo_surface_t* surface, const Fill& fill) {
  cairo_t* cairo = cairo_create(surface);
  if (fill.clip) {
    cairo_translate(cairo, fill.clipWorld.x, fill.clipWorld.y);
    cairo_rectangle(cairo, fill.clip->x, fill.clip->y, fill.clip->width, fill.clip->height);
    cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
    cairo_clip(cairo);
    cairo_identity_matrix(cairo);
  }
  return cairo;
}

// What Cairo itself draws for the fill, by the rules of Graphics.h: the clip is the
// rectangle's pixel centres, shapes move by half a pixel unless pixel centres lie on half
// coordinates, aliased unless smoothing.
void CairoFill(std::vector<uint32_t>& pixels, const Fill& fill) {
  cairo_surface_t* surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels.data()),
                                                                 CAIRO_FORMAT_ARGB32, kWidth, kHeight, kWidth * 4);
  cairo_t* cairo = CairoClippedAsFill(surface, fill);
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
  if (fill.clear) {
    cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cairo);
  } else {
    cairo_rectangle(cairo, fill.rect.x, fill.rect.y, fill.rect.width, fill.rect.height);
    cairo_fill(cairo);
  }
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
  fill.clear = pick(6) == 0;
  return fill;
}

// Gives graphics the fill's clip (set under its own world offset) and then its world
// offset; the clip's status.
Gfx::Status ApplyClipAndWorld(Gfx::Graphics& graphics, const Fill& fill) {
  Gfx::Status status = Gfx::Status::Ok;
  if (fill.clip) {
    graphics.ResetWorldTransform();
    graphics.TranslateWorldTransform(fill.clipWorld.x, fill.clipWorld.y);
    status = graphics.SetClip(*fill.clip);
  } else {
    status = graphics.ResetClip();
  }
  graphics.ResetWorldTransform();
  graphics.TranslateWorldTransform(fill.world.x, fill.world.y);
  return status;
}

// Puts a random rectangle fill's modes, clip and world in force on graphics: the state a
// shortcut must leave as it found it.
void PutRandomStateInForce(std::mt19937& random, Gfx::Graphics& graphics, Fill& inForce) {
  inForce = RandomFill(random);
  inForce.clear = false; // a rectangle
  graphics.SetSmoothingMode(inForce.smoothing);
  graphics.SetPixelOffsetMode(inForce.pixelOffset);
  graphics.SetCompositingMode(inForce.compositing);
  ASSERT_EQ(ApplyClipAndWorld(graphics, inForce), Gfx::Status::Ok);
}

// The fill in force drawn by graphics, and by Cairo into expected: after a shortcut it must
// still draw under that state.
void FillUnderStateInForce(Gfx::Graphics& graphics, std::vector<uint32_t>& expected, const Fill& inForce) {
  ASSERT_EQ(graphics.FillRectangle(Gfx::Brush::Solid(inForce.color), inForce.rect), Gfx::Status::Ok);
  if (!inForce.rect.IsEmpty()) {
    CairoFill(expected, inForce);
  }
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
    ASSERT_EQ(ApplyClipAndWorld(*graphics, fill), Gfx::Status::Ok);
    if (fill.clear) {
      ASSERT_EQ(graphics->Clear(fill.color), Gfx::Status::Ok);
    } else {
      ASSERT_EQ(graphics->FillRectangle(Gfx::Brush::Solid(fill.color), fill.rect), Gfx::Status::Ok);
    }
    if (fill.clear || !fill.rect.IsEmpty()) {
      CairoFill(expected, fill);
    }
    ASSERT_EQ(graphics->Flush(), Gfx::Status::Ok);
    for (size_t i = 0; i < drawn.size(); ++i) {
      ASSERT_EQ(drawn[i], expected[i]) << "round " << round << ", pixel (" << i % kWidth << ", " << i / kWidth
                                       << "), rect {" << fill.rect.x << ", " << fill.rect.y << ", " << fill.rect.width
                                       << ", " << fill.rect.height << "}, world (" << fill.world.x << ", "
                                       << fill.world.y << "), clear " << fill.clear << ", colour " << std::hex
                                       << fill.color.argb;
    }
  }
}

TEST(GraphicsFillTest, OpaquePixelFillsAreCairosFillsAndLeaveTheClipAndTransformInForce) {
  const QZTest::TestSeed seed;
  std::mt19937 random(uint32_t(seed.value));
  auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };

  std::vector<uint32_t> drawn(kWidth * kHeight, 0x80402010u);
  std::vector<uint32_t> expected = drawn;
  auto graphics = Gfx::Graphics::FromPixels(drawn.data(), kWidth, kHeight, kWidth * 4);
  ASSERT_TRUE(graphics);
  for (int round = 0; round < 1000; ++round) {
    // The state in force: whatever the direct fill, the next fill still draws under it.
    Fill inForce;
    ASSERT_NO_FATAL_FAILURE(PutRandomStateInForce(random, *graphics, inForce));

    const Gfx::Rect box{between(-10, 26), between(-10, 22), between(-2, 28), between(-2, 24)};
    const Gfx::Rect clip{between(-6, 26), between(-6, 22), between(-2, 30), between(-2, 26)};
    const Gfx::Color color{0xFF000000u | std::uniform_int_distribution<uint32_t>(0, 0xFFFFFF)(random)};
    ASSERT_EQ(graphics->FillOpaquePixels(box, clip, color), Gfx::Status::Ok);
    if (!box.IsEmpty()) {
      Fill direct{};
      direct.clip =
          Gfx::RectF{float(clip.x), float(clip.y), float(std::max(clip.width, 0)), float(std::max(clip.height, 0))};
      direct.rect = {float(box.x), float(box.y), float(box.width), float(box.height)};
      direct.color = color;
      direct.smoothing = Gfx::SmoothingMode::HighSpeed;
      direct.pixelOffset = Gfx::PixelOffsetMode::HighSpeed;
      direct.compositing = Gfx::CompositingMode::SourceOver;
      CairoFill(expected, direct);
    }
    ASSERT_NO_FATAL_FAILURE(FillUnderStateInForce(*graphics, expected, inForce));
    ASSERT_EQ(graphics->Flush(), Gfx::Status::Ok);
    ASSERT_EQ(drawn, expected) << "round " << round << ", box {" << box.x << ", " << box.y << ", " << box.width << ", "
                               << box.height << "}, clip {" << clip.x << ", " << clip.y << ", " << clip.width << ", "
                               << clip.height << "}";
  }

  // Only opaque colours: anything else would have to blend.
  EXPECT_EQ(graphics->FillOpaquePixels({0, 0, 4, 4}, {0, 0, kWidth, kHeight}, Gfx::Color{0xFE102030u}),
            Gfx::Status::InvalidParameter);
  EXPECT_EQ(graphics->LastStatus(), Gfx::Status::InvalidParameter);
  ASSERT_EQ(graphics->Flush(), Gfx::Status::Ok);
  EXPECT_EQ(drawn, expected);
}

TEST(GraphicsFillTest, CopiedImagePixelsAreWhatASourceCopyDrawLeaves) {
  const QZTest::TestSeed seed;
  std::mt19937 random(uint32_t(seed.value));
  auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };

  auto image = Gfx::Image::Create(9, 7);
  ASSERT_TRUE(image);
  auto painter = Gfx::Graphics::FromImage(*image);
  ASSERT_TRUE(painter);
  painter->SetCompositingMode(Gfx::CompositingMode::SourceCopy);
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 9; ++x) {
      const uint32_t alpha = uint32_t(between(0, 255));
      ASSERT_EQ(painter->FillRectangle(Gfx::Brush::Solid(Gfx::Color{alpha << 24 | uint32_t(between(0, 0xFFFFFF))}),
                                       {float(x), float(y), 1, 1}),
                Gfx::Status::Ok);
    }
  }
  ASSERT_EQ(painter->Flush(), Gfx::Status::Ok);
  painter.reset();

  // Rows 4 words longer than the pixels: the padding stays as it is.
  constexpr int kStride = (kWidth + 4) * 4;
  for (int round = 0; round < 300; ++round) {
    const Gfx::Rect source{between(-3, 10), between(-3, 8), between(0, 12), between(0, 10)};
    const int x = between(-10, kWidth + 2);
    const int y = between(-8, kHeight + 2);
    std::vector<uint32_t> copied(size_t(kStride / 4) * kHeight);
    for (uint32_t& pixel : copied) {
      pixel = uint32_t(between(0, 0x7FFFFFFF));
    }
    std::vector<uint32_t> drawn = copied;
    ASSERT_EQ(Gfx::Graphics::CopyImageToPixels(*image, source, copied.data(), kWidth, kHeight, kStride, x, y),
              Gfx::Status::Ok);
    auto graphics = Gfx::Graphics::FromPixels(drawn.data(), kWidth, kHeight, kStride);
    ASSERT_TRUE(graphics);
    graphics->SetCompositingMode(Gfx::CompositingMode::SourceCopy);
    graphics->SetInterpolationMode(Gfx::InterpolationMode::NearestNeighbor);
    const Gfx::RectF from{float(source.x), float(source.y), float(source.width), float(source.height)};
    ASSERT_EQ(graphics->DrawImage(*image, {float(x), float(y), from.width, from.height}, from), Gfx::Status::Ok);
    ASSERT_EQ(graphics->Flush(), Gfx::Status::Ok);
    ASSERT_EQ(copied, drawn) << "round " << round << ", source {" << source.x << ", " << source.y << ", "
                             << source.width << ", " << source.height << "} at (" << x << ", " << y << ")";
  }

  uint32_t pixel = 0;
  EXPECT_EQ(Gfx::Graphics::CopyImageToPixels(*image, {0, 0, 1, 1}, &pixel, 1, 1, 2, 0, 0),
            Gfx::Status::InvalidParameter);
  EXPECT_EQ(Gfx::Graphics::CopyImageToPixels(*image, {0, 0, 1, 1}, nullptr, 1, 1, 4, 0, 0),
            Gfx::Status::InvalidParameter);
  Gfx::BitmapData locked;
  ASSERT_EQ(image->LockBits({0, 0, 1, 1}, Gfx::LockMode::ReadWrite, locked), Gfx::Status::Ok);
  EXPECT_EQ(Gfx::Graphics::CopyImageToPixels(*image, {0, 0, 1, 1}, &pixel, 1, 1, 4, 0, 0), Gfx::Status::ObjectBusy);
  EXPECT_EQ(image->UnlockBits(locked), Gfx::Status::Ok);
}

TEST(GraphicsFillTest, PixelsCopiedIntoAnImageReplaceItsOwnThereAndComeBackOutAsTheyWere) {
  const QZTest::TestSeed seed;
  std::mt19937 random(uint32_t(seed.value));
  auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  constexpr int kStride = (kWidth + 4) * 4;
  std::vector<uint32_t> pixels(size_t(kStride / 4) * kHeight);
  for (uint32_t& pixel : pixels) {
    const uint32_t alpha = uint32_t(between(0, 255));
    pixel = alpha << 24 | uint32_t(between(0, int(alpha))) << 16 | uint32_t(between(0, int(alpha))) << 8 |
            uint32_t(between(0, int(alpha))); // premultiplied
  }
  for (int round = 0; round < 200; ++round) {
    auto image = Gfx::Image::Create(9, 7);
    ASSERT_TRUE(image);
    const Gfx::Rect source{between(-3, kWidth), between(-3, kHeight), between(0, 12), between(0, 10)};
    const int x = between(-10, 11);
    const int y = between(-8, 9);
    ASSERT_EQ(Gfx::Graphics::CopyPixelsToImage(pixels.data(), kWidth, kHeight, kStride, source, *image, x, y),
              Gfx::Status::Ok);
    std::vector<uint32_t> back(9 * 7);
    ASSERT_EQ(Gfx::Graphics::CopyImageToPixels(*image, {0, 0, 9, 7}, back.data(), 9, 7, 9 * 4, 0, 0), Gfx::Status::Ok);
    for (int row = 0; row < 7; ++row) {
      for (int column = 0; column < 9; ++column) {
        const int fromX = column - x + source.x;
        const int fromY = row - y + source.y;
        const bool copied = fromX >= std::max(source.x, 0) && fromX < std::min(source.x + source.width, kWidth) &&
                            fromY >= std::max(source.y, 0) && fromY < std::min(source.y + source.height, kHeight);
        const uint32_t expected = copied ? pixels[size_t(fromY) * (kStride / 4) + size_t(fromX)] : 0u;
        ASSERT_EQ(back[size_t(row) * 9 + size_t(column)], expected)
            << "round " << round << " at " << column << "," << row;
      }
    }
  }

  auto image = Gfx::Image::Create(1, 1);
  uint32_t pixel = 0;
  EXPECT_EQ(Gfx::Graphics::CopyPixelsToImage(&pixel, 1, 1, 2, {0, 0, 1, 1}, *image, 0, 0),
            Gfx::Status::InvalidParameter);
  Gfx::BitmapData locked;
  ASSERT_EQ(image->LockBits({0, 0, 1, 1}, Gfx::LockMode::Read, locked), Gfx::Status::Ok);
  EXPECT_EQ(Gfx::Graphics::CopyPixelsToImage(&pixel, 1, 1, 4, {0, 0, 1, 1}, *image, 0, 0), Gfx::Status::ObjectBusy);
  EXPECT_EQ(image->UnlockBits(locked), Gfx::Status::Ok);
}

TEST(GraphicsFillTest, UnscaledBlitsLeaveThePixelsCairoLeaves) {
  const QZTest::TestSeed seed;
  std::mt19937 random(uint32_t(seed.value));
  auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  auto premultiplied = [&] {
    // Opaque and clear pixels often, as in drawn images, so that runs of either occur.
    const int kind = between(0, 3);
    const uint32_t alpha = kind == 0 ? 255u : kind == 1 ? 0u : uint32_t(between(0, 255));
    return alpha << 24 | uint32_t(between(0, int(alpha))) << 16 | uint32_t(between(0, int(alpha))) << 8 |
           uint32_t(between(0, int(alpha)));
  };

  std::vector<uint32_t> drawn(kWidth * kHeight);
  for (uint32_t& pixel : drawn) {
    pixel = premultiplied();
  }
  std::vector<uint32_t> expected = drawn;
  auto graphics = Gfx::Graphics::FromPixels(drawn.data(), kWidth, kHeight, kWidth * 4);
  ASSERT_TRUE(graphics);
  for (int round = 0; round < 600; ++round) {
    // Widths up to 13 reach past whole groups of four pixels and leave odd ends.
    const int width = between(1, 13);
    const int height = between(1, 6);
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    for (uint32_t& pixel : pixels) {
      pixel = premultiplied();
    }
    auto image = Gfx::Image::Create(width, height);
    ASSERT_EQ(
        Gfx::Graphics::CopyPixelsToImage(pixels.data(), width, height, width * 4, {0, 0, width, height}, *image, 0, 0),
        Gfx::Status::Ok);
    auto cached = Gfx::CachedBitmap::Create(*image);
    ASSERT_TRUE(cached);

    Fill fill = RandomFill(random); // its clip, world and compositing; the copy is below
    const bool whole = between(0, 1) == 0;
    const Gfx::Rect area = whole ? Gfx::Rect{0, 0, width, height}
                                 : Gfx::Rect{between(-2, width), between(-2, height), between(0, 8), between(0, 6)};
    const int x = between(-6, kWidth);
    const int y = between(-6, kHeight);
    graphics->SetCompositingMode(fill.compositing);
    ASSERT_EQ(ApplyClipAndWorld(*graphics, fill), Gfx::Status::Ok);
    ASSERT_EQ(whole ? graphics->DrawCachedBitmap(*cached, x, y) : graphics->DrawImageUnscaled(*image, area, x, y),
              Gfx::Status::Ok);
    ASSERT_EQ(graphics->Flush(), Gfx::Status::Ok);

    // Cairo's own copy of the area (clamped to the image) to the rounded device corner.
    const int fromLeft = std::max(area.x, 0);
    const int fromTop = std::max(area.y, 0);
    const int fromRight = std::min(area.x + area.width, width);
    const int fromBottom = std::min(area.y + area.height, height);
    if (fromRight > fromLeft && fromBottom > fromTop) {
      cairo_surface_t* surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(expected.data()),
                                                                     CAIRO_FORMAT_ARGB32, kWidth, kHeight, kWidth * 4);
      cairo_t* cairo = CairoClippedAsFill(surface, fill);
      const double left = std::round(double(fill.world.x + float(x))) + (fromLeft - area.x);
      const double top = std::round(double(fill.world.y + float(y))) + (fromTop - area.y);
      cairo_set_operator(cairo, fill.compositing == Gfx::CompositingMode::SourceCopy ? CAIRO_OPERATOR_SOURCE
                                                                                     : CAIRO_OPERATOR_OVER);
      cairo_set_source_surface(cairo, cached->Surface(), left - fromLeft, top - fromTop);
      cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_NEAREST);
      cairo_rectangle(cairo, left, top, fromRight - fromLeft, fromBottom - fromTop);
      cairo_fill(cairo);
      cairo_destroy(cairo);
      cairo_surface_flush(surface);
      cairo_surface_destroy(surface);
    }
    for (size_t i = 0; i < drawn.size(); ++i) {
      ASSERT_EQ(drawn[i], expected[i]) << "round " << round << ", pixel (" << i % kWidth << ", " << i / kWidth
                                       << "), area {" << area.x << ", " << area.y << ", " << area.width << ", "
                                       << area.height << "} of " << width << " x " << height << " at (" << x << ", "
                                       << y << "), world (" << fill.world.x << ", " << fill.world.y << ")";
    }
  }
}

TEST(GraphicsFillTest, BlitsOverAGivenClipAreCairosAndLeaveTheClipAndTransformInForce) {
  const QZTest::TestSeed seed;
  std::mt19937 random(uint32_t(seed.value));
  auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };

  std::vector<uint32_t> drawn(kWidth * kHeight, 0x80402010u);
  std::vector<uint32_t> expected = drawn;
  auto graphics = Gfx::Graphics::FromPixels(drawn.data(), kWidth, kHeight, kWidth * 4);
  ASSERT_TRUE(graphics);
  for (int round = 0; round < 600; ++round) {
    Fill inForce; // its compositing mode too: the blit composites whatever the mode
    ASSERT_NO_FATAL_FAILURE(PutRandomStateInForce(random, *graphics, inForce));

    const int width = between(1, 11);
    const int height = between(1, 6);
    auto image = Gfx::Image::Create(width, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const uint32_t alphas[] = {255, 0, 128, 7};
        ASSERT_EQ(image->SetPixel(x, y, Gfx::Color{alphas[between(0, 3)] << 24 | uint32_t(between(0, 0xFFFFFF))}),
                  Gfx::Status::Ok);
      }
    }
    auto cached = Gfx::CachedBitmap::Create(*image);
    ASSERT_TRUE(cached);
    const bool whole = between(0, 1) == 0;
    const Gfx::Rect area = whole ? Gfx::Rect{0, 0, width, height}
                                 : Gfx::Rect{between(-2, width), between(-2, height), between(0, 8), between(0, 6)};
    const int x = between(-8, kWidth);
    const int y = between(-8, kHeight);
    const Gfx::Rect clip{between(-6, 26), between(-6, 22), between(-2, 30), between(-2, 26)};
    ASSERT_TRUE(whole ? graphics->BlitCachedBitmapOver(*cached, x, y, clip)
                      : graphics->BlitImageOver(*image, area, x, y, clip));
    EXPECT_EQ(graphics->LastStatus(), Gfx::Status::Ok);

    const int fromLeft = std::max(area.x, 0);
    const int fromTop = std::max(area.y, 0);
    const int fromRight = std::min(area.x + area.width, width);
    const int fromBottom = std::min(area.y + area.height, height);
    if (fromRight > fromLeft && fromBottom > fromTop && clip.width > 0 && clip.height > 0) {
      cairo_surface_t* surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(expected.data()),
                                                                     CAIRO_FORMAT_ARGB32, kWidth, kHeight, kWidth * 4);
      cairo_t* cairo = cairo_create(surface);
      cairo_rectangle(cairo, clip.x, clip.y, clip.width, clip.height);
      cairo_clip(cairo);
      const int left = x + (fromLeft - area.x);
      const int top = y + (fromTop - area.y);
      cairo_set_source_surface(cairo, cached->Surface(), left - fromLeft, top - fromTop);
      cairo_rectangle(cairo, left, top, fromRight - fromLeft, fromBottom - fromTop);
      cairo_fill(cairo);
      cairo_destroy(cairo);
      cairo_surface_flush(surface);
      cairo_surface_destroy(surface);
    }
    ASSERT_NO_FATAL_FAILURE(FillUnderStateInForce(*graphics, expected, inForce));
    ASSERT_EQ(graphics->Flush(), Gfx::Status::Ok);
    ASSERT_EQ(drawn, expected) << "round " << round << ", area {" << area.x << ", " << area.y << ", " << area.width
                               << ", " << area.height << "} of " << width << " x " << height << " at (" << x << ", "
                               << y << "), clip {" << clip.x << ", " << clip.y << ", " << clip.width << ", "
                               << clip.height << "}";
  }
}

TEST(GraphicsFillTest, BlitsOverAGivenClipRefuseWhatTheyCannotDoInMemoryAndDrawNothing) {
  auto image = Gfx::Image::Create(4, 4);
  ASSERT_EQ(Gfx::Graphics::FromImage(*image)->Clear(Gfx::Color{0xFF102030u}), Gfx::Status::Ok);
  std::vector<uint32_t> drawn(kWidth * kHeight, 0x80402010u);
  const std::vector<uint32_t> before = drawn;
  auto graphics = Gfx::Graphics::FromPixels(drawn.data(), kWidth, kHeight, kWidth * 4);
  ASSERT_TRUE(graphics);

  // Locked for writing: the usual draw reports it busy.
  Gfx::BitmapData locked;
  ASSERT_EQ(image->LockBits({0, 0, 1, 1}, Gfx::LockMode::Write, locked), Gfx::Status::Ok);
  EXPECT_FALSE(graphics->BlitImageOver(*image, {0, 0, 4, 4}, 2, 2, {0, 0, kWidth, kHeight}));
  EXPECT_EQ(image->UnlockBits(locked), Gfx::Status::Ok);
  // A corner too far out to work its edges out in int.
  EXPECT_FALSE(graphics->BlitImageOver(*image, {1, 1, 2, 2}, INT32_MAX - 1, 0, {0, 0, kWidth, kHeight}));
  ASSERT_EQ(graphics->Flush(), Gfx::Status::Ok);
  EXPECT_EQ(drawn, before);

  // The target's own pixels: the blit would read what it writes.
  auto own = Gfx::Graphics::FromImage(*image);
  EXPECT_FALSE(own->BlitImageOver(*image, {0, 0, 2, 2}, 1, 1, {0, 0, 4, 4}));
  // Nothing of the area inside the image: nothing to draw, done.
  EXPECT_TRUE(graphics->BlitImageOver(*image, {4, 0, 2, 2}, 0, 0, {0, 0, kWidth, kHeight}));
}
