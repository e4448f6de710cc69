#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "Platform/Graphics/Graphics.h"
#include "Platform/Graphics/GraphicsTestData.h"
#include "Support/ImageCompare.h"

namespace Gfx = QZ::Platform::Graphics;
using QZTest::PixelAt;

namespace {

constexpr Gfx::Color kBlack{0xFF000000};
constexpr Gfx::Color kRed{0xFFFF0000};
constexpr Gfx::Color kGreen{0xFF00FF00};
constexpr Gfx::Color kBlue{0xFF0000FF};
constexpr Gfx::Color kHalfYellow{0x80FFFF00};
constexpr Gfx::Color kWhite{0xFFFFFFFF};

std::string Reference(const std::string& name) { return QZTest::ReferenceImage(name); }

// 10 x 10: a black frame around red (top left), green (top right), blue (bottom left) and
// half-transparent yellow (bottom right) quarters, so that scaling, offsets and lost edges
// show.
std::unique_ptr<Gfx::Image> Pattern() {
  auto image = Gfx::Image::Create(10, 10);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      Gfx::Color color = y < 5 ? (x < 5 ? kRed : kGreen) : (x < 5 ? kBlue : kHalfYellow);
      if (x == 0 || y == 0 || x == 9 || y == 9) {
        color = kBlack;
      }
      EXPECT_EQ(image->SetPixel(x, y, color), Gfx::Status::Ok);
    }
  }
  return image;
}

// A graphics with the modes the window renderer draws with.
std::unique_ptr<Gfx::Graphics> FastGraphics(Gfx::Image& target) {
  auto graphics = Gfx::Graphics::FromImage(target);
  graphics->SetSmoothingMode(Gfx::SmoothingMode::HighSpeed);
  graphics->SetInterpolationMode(Gfx::InterpolationMode::NearestNeighbor);
  graphics->SetPixelOffsetMode(Gfx::PixelOffsetMode::HighSpeed);
  return graphics;
}

std::unique_ptr<Gfx::Image> Filled(int width, int height, Gfx::Color color) {
  auto image = Gfx::Image::Create(width, height);
  EXPECT_EQ(Gfx::Graphics::FromImage(*image)->Clear(color), Gfx::Status::Ok);
  return image;
}

bool IsPainted(const Gfx::Image& image, int x, int y) { return PixelAt(image, x, y).A() != 0; }

} // namespace

TEST(GraphicsImageTest, StretchesAnImageToLargerSize) {
  auto source = Pattern();
  auto target = Gfx::Image::Create(25, 25);
  ASSERT_EQ(FastGraphics(*target)->DrawImage(*source, {0, 0, 25, 25}, {0, 0, 10, 10}), Gfx::Status::Ok);
  EXPECT_TRUE(QZTest::ImagesMatch(*target, Reference("Stretch25.png"), 2, QZTest::GraphicsOutputDir()));
  // Each target pixel shows the source pixel under its centre; ties go right and down.
  for (int y = 0; y < 25; ++y) {
    for (int x = 0; x < 25; ++x) {
      ASSERT_EQ(PixelAt(*target, x, y), PixelAt(*source, (2 * x + 1) / 5, (2 * y + 1) / 5)) << x << ", " << y;
    }
  }
}

TEST(GraphicsImageTest, TilesAnImageWithATextureBrush) {
  auto source = Pattern();
  auto target = Gfx::Image::Create(25, 25);
  const auto brush = Gfx::Brush::Texture(*source, {0, 0, 10, 10});
  ASSERT_TRUE(brush);
  ASSERT_EQ(FastGraphics(*target)->FillRectangle(*brush, {0, 0, 25, 25}), Gfx::Status::Ok);
  EXPECT_TRUE(QZTest::ImagesMatch(*target, Reference("Tile25.png"), 2, QZTest::GraphicsOutputDir()));
  for (int y = 0; y < 25; ++y) {
    for (int x = 0; x < 25; ++x) {
      ASSERT_EQ(PixelAt(*target, x, y), PixelAt(*source, x % 10, y % 10)) << x << ", " << y;
    }
  }
}

TEST(GraphicsImageTest, CentresAnImageAtItsOwnSize) {
  auto source = Pattern();
  auto target = Gfx::Image::Create(15, 15);
  ASSERT_EQ(FastGraphics(*target)->DrawImage(*source, {2.5f, 2.5f, 10, 10}, {0, 0, 10, 10}), Gfx::Status::Ok);
  EXPECT_TRUE(QZTest::ImagesMatch(*target, Reference("Center15.png"), 2, QZTest::GraphicsOutputDir()));
  // Placed at a half pixel, the copy is whole: frame included, one pixel of margin less on the left.
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      ASSERT_EQ(PixelAt(*target, x + 2, y + 2), PixelAt(*source, x, y)) << x << ", " << y;
    }
  }
  EXPECT_FALSE(IsPainted(*target, 12, 12));
}

TEST(GraphicsImageTest, TexturedTileFollowsTheWorldOrigin) {
  auto source = Pattern();
  auto target = Gfx::Image::Create(12, 12);
  auto graphics = FastGraphics(*target);
  graphics->TranslateWorldTransform(3, 2);
  EXPECT_EQ(graphics->FillRectangle(*Gfx::Brush::Texture(*source, {5, 0, 5, 5}), {0, 0, 8, 8}), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*target, 3, 2), kBlack); // source (5, 0)
  EXPECT_EQ(PixelAt(*target, 4, 3), kGreen); // source (6, 1)
  EXPECT_EQ(PixelAt(*target, 8, 2), kBlack); // the next copy starts again at (5, 0)
  EXPECT_FALSE(IsPainted(*target, 11, 2));   // beyond the rectangle
  EXPECT_FALSE(IsPainted(*target, 2, 2));    // before it
}

TEST(GraphicsImageTest, EmptyTilesAndImagesDrawNothing) {
  auto source = Pattern();
  Gfx::Status status = Gfx::Status::Ok;
  EXPECT_FALSE(Gfx::Brush::Texture(*source, {0, 0, 0, 10}, &status));
  EXPECT_EQ(status, Gfx::Status::InvalidParameter);
  EXPECT_FALSE(Gfx::Brush::Texture(*source, {10, 0, 5, 5}, &status));
  EXPECT_FALSE(Gfx::Brush::Texture(*source, {-5, -5, 5, 5}, &status));

  auto target = Gfx::Image::Create(8, 8);
  auto graphics = FastGraphics(*target);
  const auto brush = Gfx::Brush::Texture(*source, {0, 0, 10, 10});
  EXPECT_EQ(graphics->FillRectangle(*brush, {0, 0, 0, 25}), Gfx::Status::Ok);
  EXPECT_EQ(graphics->FillRectangle(*brush, {0, 0, 25, -3}), Gfx::Status::Ok);
  EXPECT_EQ(graphics->DrawImage(*source, {0, 0, 8, 8}, {0, 0, 0, 10}), Gfx::Status::Ok);
  EXPECT_EQ(graphics->DrawImage(*source, {0, 0, 0, 8}, {0, 0, 10, 10}), Gfx::Status::Ok);
  EXPECT_EQ(graphics->DrawImage(*source, {0, 0, 8, 8}, {20, 20, 5, 5}), Gfx::Status::Ok);
  EXPECT_EQ(graphics->DrawImage(*source, {0, 0, 8, 8}, {3.2f, 0, 0.2f, 10}), Gfx::Status::Ok);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      ASSERT_FALSE(IsPainted(*target, x, y)) << x << ", " << y;
    }
  }
}

TEST(GraphicsImageTest, SourceRectangleIsClampedAndNothingAroundItBleedsIn) {
  auto source = Gfx::Image::Create(4, 1);
  const Gfx::Color row[] = {kRed, kGreen, kBlue, kWhite};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(source->SetPixel(x, 0, row[x]), Gfx::Status::Ok);
  }
  auto target = Gfx::Image::Create(20, 10);
  auto graphics = Gfx::Graphics::FromImage(*target);
  graphics->SetInterpolationMode(Gfx::InterpolationMode::HighQualityBilinear);
  EXPECT_EQ(graphics->DrawImage(*source, {0, 0, 20, 10}, {1, 0, 2, 1}), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*target, 0, 0), kGreen);
  EXPECT_EQ(PixelAt(*target, 19, 9), kBlue);

  // Half of this source lies outside; the destination keeps the scale and shrinks.
  auto clamped = Gfx::Image::Create(20, 10);
  EXPECT_EQ(FastGraphics(*clamped)->DrawImage(*source, {0, 0, 20, 10}, {2, 0, 4, 1}), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*clamped, 0, 5), kBlue);
  EXPECT_EQ(PixelAt(*clamped, 9, 5), kWhite);
  EXPECT_FALSE(IsPainted(*clamped, 10, 5));
}

TEST(GraphicsShapeTest, BlendsATranslucentFillOverAColour) {
  auto target = Filled(6, 6, kBlue);
  auto graphics = FastGraphics(*target);
  ASSERT_EQ(graphics->FillRectangle(Gfx::Brush::Solid(Gfx::Color::FromArgb(128, 255, 0, 0)), {1, 1, 4, 4}),
            Gfx::Status::Ok);
  EXPECT_TRUE(QZTest::ImagesMatch(*target, Reference("BlendedFill6.png"), 1, QZTest::GraphicsOutputDir()));
  const Gfx::Color blended = PixelAt(*target, 2, 2);
  EXPECT_EQ(blended.A(), 255);
  EXPECT_NEAR(blended.R(), 128, 1);
  EXPECT_EQ(blended.G(), 0);
  EXPECT_NEAR(blended.B(), 127, 1);
  EXPECT_EQ(PixelAt(*target, 0, 0), kBlue);
  EXPECT_EQ(PixelAt(*target, 5, 5), kBlue);

  // SourceCopy replaces, alpha included.
  graphics->SetCompositingMode(Gfx::CompositingMode::SourceCopy);
  EXPECT_EQ(graphics->FillRectangle(Gfx::Brush::Solid(Gfx::Color{0x40102030}), {0, 0, 1, 1}), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*target, 0, 0), Gfx::Color{0x40102030});
}

TEST(GraphicsShapeTest, ClipStaysFixedOnTheDevice) {
  auto target = Gfx::Image::Create(20, 20);
  auto graphics = FastGraphics(*target);
  const auto red = Gfx::Brush::Solid(kRed);
  EXPECT_EQ(graphics->SetClip({0, 0, 10, 10}), Gfx::Status::Ok);
  graphics->TranslateWorldTransform(5, 5);
  EXPECT_EQ(graphics->FillRectangle(red, {0, 0, 20, 20}), Gfx::Status::Ok);
  EXPECT_FALSE(IsPainted(*target, 4, 4)); // before the translated fill
  EXPECT_TRUE(IsPainted(*target, 5, 5));
  EXPECT_TRUE(IsPainted(*target, 9, 9));
  EXPECT_FALSE(IsPainted(*target, 10, 10)); // outside the clip

  // A clip set under a translation is placed by it and stays when the translation goes.
  EXPECT_EQ(graphics->Clear(Gfx::Color{}), Gfx::Status::Ok);
  EXPECT_EQ(graphics->ResetClip(), Gfx::Status::Ok);
  EXPECT_EQ(graphics->Clear(Gfx::Color{}), Gfx::Status::Ok);
  EXPECT_EQ(graphics->SetClip({0, 0, 10, 10}), Gfx::Status::Ok); // device (5, 5) to (15, 15)
  graphics->ResetWorldTransform();
  EXPECT_EQ(graphics->FillRectangle(red, {0, 0, 20, 20}), Gfx::Status::Ok);
  EXPECT_FALSE(IsPainted(*target, 4, 4));
  EXPECT_TRUE(IsPainted(*target, 14, 14));
  EXPECT_FALSE(IsPainted(*target, 15, 15));

  // Clear fills only the clip.
  EXPECT_EQ(graphics->Clear(kBlue), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*target, 5, 5), kBlue);
  EXPECT_FALSE(IsPainted(*target, 16, 16));
}

TEST(GraphicsShapeTest, TranslationsCombineInEitherOrder) {
  auto target = Gfx::Image::Create(10, 10);
  auto graphics = FastGraphics(*target);
  graphics->TranslateWorldTransform(2, 1);
  graphics->TranslateWorldTransform(3, 0, Gfx::MatrixOrder::Append);
  EXPECT_EQ(graphics->WorldTransform().Offset(), (Gfx::PointF{5, 1}));
  EXPECT_EQ(graphics->FillRectangle(Gfx::Brush::Solid(kRed), {0, 0, 1, 1}), Gfx::Status::Ok);
  EXPECT_TRUE(IsPainted(*target, 5, 1));
  EXPECT_FALSE(IsPainted(*target, 4, 1));

  Gfx::Matrix matrix;
  matrix.Scale(2, 3);
  matrix.Translate(1, 1); // prepended: translate first, then scale
  EXPECT_EQ(matrix.TransformPoint({1, 1}), (Gfx::PointF{4, 6}));
  matrix.Translate(1, 1, Gfx::MatrixOrder::Append);
  EXPECT_EQ(matrix.TransformPoint({1, 1}), (Gfx::PointF{5, 7}));
}

TEST(GraphicsShapeTest, SettingATranslationGivesTheMatrixOfAResetAndATranslate) {
  auto target = Gfx::Image::Create(10, 10);
  auto graphics = FastGraphics(*target);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float infinity = std::numeric_limits<float>::infinity();
  // Signed zeros and values that are not numbers come out of the product's sums as well.
  const std::vector<Gfx::PointF> offsets{{3, 4},     {-2.5f, 7.25f},  {-0.0f, -0.0f}, {0.0f, -0.0f},
                                         {-0.0f, 5}, {1e30f, -1e30f}, {nan, 1},       {2, infinity}};
  for (const Gfx::PointF& offset : offsets) {
    graphics->TranslateWorldTransform(9, 9);
    graphics->ResetWorldTransform();
    graphics->TranslateWorldTransform(offset.x, offset.y);
    const Gfx::Matrix expected = graphics->WorldTransform();
    graphics->TranslateWorldTransform(9, 9);
    graphics->SetWorldTranslation(offset.x, offset.y);
    EXPECT_EQ(std::memcmp(&graphics->WorldTransform(), &expected, sizeof expected), 0) << offset.x << ", " << offset.y;
  }
}

TEST(GraphicsShapeTest, PixelOffsetModeDecidesWherePixelCentresLie) {
  auto target = Gfx::Image::Create(12, 12);
  auto graphics = FastGraphics(*target);
  EXPECT_EQ(graphics->DrawLine({kRed, 1}, {0, 5}, {12, 5}), Gfx::Status::Ok);
  EXPECT_FALSE(IsPainted(*target, 3, 4));
  EXPECT_EQ(PixelAt(*target, 3, 5), kRed);
  EXPECT_FALSE(IsPainted(*target, 3, 6));

  // An outline covers its right and bottom edges too: 11 pixels for a width of 10.
  EXPECT_EQ(graphics->Clear(Gfx::Color{}), Gfx::Status::Ok);
  EXPECT_EQ(graphics->DrawRectangle({kBlue, 1}, {0, 0, 10, 10}), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*target, 0, 0), kBlue);
  EXPECT_EQ(PixelAt(*target, 10, 10), kBlue);
  EXPECT_EQ(PixelAt(*target, 10, 4), kBlue);
  EXPECT_FALSE(IsPainted(*target, 5, 5));
  EXPECT_FALSE(IsPainted(*target, 11, 4));

  // Half-pixel centres with smoothing: the line straddles rows 4 and 5.
  EXPECT_EQ(graphics->Clear(Gfx::Color{}), Gfx::Status::Ok);
  graphics->SetPixelOffsetMode(Gfx::PixelOffsetMode::Half);
  graphics->SetSmoothingMode(Gfx::SmoothingMode::AntiAlias);
  EXPECT_EQ(graphics->DrawLine({kRed, 1}, {0, 5}, {12, 5}), Gfx::Status::Ok);
  EXPECT_NEAR(PixelAt(*target, 3, 4).A(), 128, 2);
  EXPECT_NEAR(PixelAt(*target, 3, 5).A(), 128, 2);
}

TEST(GraphicsShapeTest, FillsPathsEvenOddAndTransformsTheirPoints) {
  auto target = Gfx::Image::Create(20, 20);
  auto graphics = FastGraphics(*target);
  Gfx::Path path;
  const Gfx::PointF outer[] = {{0, 0}, {8, 0}, {8, 8}, {0, 8}};
  const Gfx::PointF inner[] = {{2, 2}, {6, 2}, {6, 6}, {2, 6}};
  ASSERT_EQ(path.AddPolygon(outer), Gfx::Status::Ok);
  ASSERT_EQ(path.AddPolygon(inner), Gfx::Status::Ok);
  EXPECT_EQ(path.AddPolygon(std::span(outer, 2)), Gfx::Status::InvalidParameter);
  Gfx::Matrix doubled;
  doubled.Scale(2, 2);
  path.Transform(doubled);
  ASSERT_EQ(graphics->FillPath(Gfx::Brush::Solid(kRed), path), Gfx::Status::Ok);
  EXPECT_TRUE(IsPainted(*target, 1, 1));
  EXPECT_TRUE(IsPainted(*target, 15, 15));
  EXPECT_FALSE(IsPainted(*target, 8, 8)); // the hole
  EXPECT_FALSE(IsPainted(*target, 16, 16));

  // Stroked, open figures stay open.
  EXPECT_EQ(graphics->Clear(Gfx::Color{}), Gfx::Status::Ok);
  Gfx::Path open;
  const Gfx::PointF corner[] = {{1, 1}, {10, 1}, {10, 10}};
  EXPECT_EQ(open.AddLines(corner), Gfx::Status::Ok);
  EXPECT_EQ(graphics->DrawPath({kBlue, 1}, open), Gfx::Status::Ok);
  EXPECT_TRUE(IsPainted(*target, 5, 1));
  EXPECT_TRUE(IsPainted(*target, 10, 5));
  EXPECT_FALSE(IsPainted(*target, 5, 5)); // no closing diagonal
}

TEST(GraphicsShapeTest, PathLinesJoinTheirFigureUntilANewOneStarts) {
  Gfx::Path path;
  path.AddLine({0, 0}, {1, 0});
  path.AddLine({2, 0}, {3, 0});
  path.StartFigure();
  path.AddLine({5, 5}, {6, 6});
  const Gfx::PointF lines[] = {{7, 7}, {8, 8}};
  EXPECT_EQ(path.AddLines(lines), Gfx::Status::Ok);
  ASSERT_EQ(path.Figures().size(), 2u);
  EXPECT_EQ(path.Figures()[0].points.size(), 4u);
  EXPECT_EQ(path.Figures()[1].points.size(), 4u);
  EXPECT_FALSE(path.Figures()[1].closed);
}

TEST(GraphicsBlitTest, CachedBitmapBlitsUnscaledUnderTranslationAndClip) {
  auto source = Pattern();
  auto cached = Gfx::CachedBitmap::Create(*source);
  ASSERT_TRUE(cached);
  EXPECT_EQ(source->SetPixel(1, 1, kWhite), Gfx::Status::Ok); // the cached copy does not follow

  auto target = Gfx::Image::Create(20, 20);
  auto graphics = FastGraphics(*target);
  EXPECT_EQ(graphics->SetClip({0, 0, 12, 20}), Gfx::Status::Ok);
  graphics->TranslateWorldTransform(3, 4);
  ASSERT_EQ(graphics->DrawCachedBitmap(*cached, 1, 1), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*target, 4, 5), kBlack);
  EXPECT_EQ(PixelAt(*target, 5, 6), kRed);
  EXPECT_EQ(PixelAt(*target, 11, 11), kHalfYellow); // semi-transparent pixels keep their exact value
  EXPECT_FALSE(IsPainted(*target, 12, 11));         // clipped
  EXPECT_FALSE(IsPainted(*target, 3, 5));
}

TEST(GraphicsBlitTest, AnImageBlittedUnscaledDrawsWhatACopyOfTheAreaDrawsAndFollowsItsPixels) {
  auto source = Pattern();
  for (const Gfx::Rect area : {Gfx::Rect{0, 0, 8, 8}, Gfx::Rect{2, 1, 4, 5}, Gfx::Rect{-3, 5, 6, 9}}) {
    auto copy = source->CloneArea(area);
    ASSERT_TRUE(copy);
    auto cached = Gfx::CachedBitmap::Create(*copy);
    auto expected = Gfx::Image::Create(20, 20);
    auto actual = Gfx::Image::Create(20, 20);
    for (auto [image, direct] : {std::pair{expected.get(), false}, std::pair{actual.get(), true}}) {
      auto graphics = FastGraphics(*image);
      EXPECT_EQ(graphics->SetClip({0, 0, 12, 20}), Gfx::Status::Ok);
      graphics->TranslateWorldTransform(3.4f, 4.6f);
      // The area outside the image is cut off at its start: the copy starts where it does.
      const int shiftX = std::max(0, -area.x);
      const int shiftY = std::max(0, -area.y);
      ASSERT_EQ(direct ? graphics->DrawImageUnscaled(*source, area, 1, 1)
                       : graphics->DrawCachedBitmap(*cached, 1 + shiftX, 1 + shiftY),
                Gfx::Status::Ok);
    }
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 20; ++x) {
        ASSERT_EQ(PixelAt(*actual, x, y), PixelAt(*expected, x, y)) << x << "," << y << " of " << area.x;
      }
    }
  }
  // No copy: a changed pixel shows at the next blit.
  auto target = Gfx::Image::Create(8, 8);
  auto graphics = FastGraphics(*target);
  EXPECT_EQ(source->SetPixel(1, 1, kWhite), Gfx::Status::Ok);
  ASSERT_EQ(graphics->DrawImageUnscaled(*source, {0, 0, 8, 8}, 0, 0), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*target, 1, 1), kWhite);
  EXPECT_EQ(graphics->DrawImageUnscaled(*source, {8, 0, 2, 2}, 0, 0), Gfx::Status::Ok) << "nothing of it inside";
  Gfx::BitmapData locked;
  ASSERT_EQ(source->LockBits({0, 0, 1, 1}, Gfx::LockMode::Write, locked), Gfx::Status::Ok);
  EXPECT_EQ(graphics->DrawImageUnscaled(*source, {0, 0, 8, 8}, 0, 0), Gfx::Status::ObjectBusy);
  EXPECT_EQ(source->UnlockBits(locked), Gfx::Status::Ok);
}

TEST(GraphicsBlitTest, ACachedBitmapTakesOverADrawnImagesPixels) {
  auto drawn = Gfx::Image::Create(6, 4);
  {
    auto graphics = FastGraphics(*drawn);
    ASSERT_EQ(graphics->FillRectangle(Gfx::Brush::Solid(kRed), {0, 0, 3, 4}), Gfx::Status::Ok);
    ASSERT_EQ(graphics->FillRectangle(Gfx::Brush::Solid(kHalfYellow), {3, 0, 3, 4}), Gfx::Status::Ok);
  }
  auto cached = Gfx::CachedBitmap::FromImage(std::move(drawn));
  ASSERT_TRUE(cached);
  EXPECT_EQ(cached->MemoryBytes(), 6u * 4u * 4u);
  auto target = Gfx::Image::Create(6, 4);
  auto graphics = FastGraphics(*target);
  ASSERT_EQ(graphics->DrawCachedBitmap(*cached, 0, 0), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*target, 2, 3), kRed);
  EXPECT_EQ(PixelAt(*target, 5, 0), kHalfYellow);

  auto busy = Gfx::Image::Create(2, 2);
  Gfx::BitmapData locked;
  ASSERT_EQ(busy->LockBits({0, 0, 1, 1}, Gfx::LockMode::Read, locked), Gfx::Status::Ok);
  Gfx::Status status = Gfx::Status::Ok;
  EXPECT_FALSE(Gfx::CachedBitmap::FromImage(std::move(busy), &status)); // released with the call
  EXPECT_EQ(status, Gfx::Status::ObjectBusy);
}

TEST(GraphicsBlitTest, DrawsOnACallersPremultipliedBuffer) {
  // 3 x 2 pixels, rows 16 bytes apart: the last word of each row is padding.
  uint32_t pixels[8];
  std::fill(std::begin(pixels), std::end(pixels), 0xCAFEBABE);
  Gfx::Status status = Gfx::Status::Ok;
  EXPECT_FALSE(Gfx::Graphics::FromPixels(pixels, 3, 2, 10, &status));
  EXPECT_EQ(status, Gfx::Status::InvalidParameter);
  auto graphics = Gfx::Graphics::FromPixels(pixels, 3, 2, 16);
  ASSERT_TRUE(graphics);
  EXPECT_EQ(graphics->Clear(Gfx::Color{}), Gfx::Status::Ok);
  EXPECT_EQ(graphics->FillRectangle(Gfx::Brush::Solid(Gfx::Color{0x80FF0000}), {1, 0, 2, 2}), Gfx::Status::Ok);
  ASSERT_EQ(graphics->Flush(), Gfx::Status::Ok);
  EXPECT_EQ(pixels[0], 0u);
  EXPECT_EQ(pixels[1], 0x80800000u); // premultiplied
  EXPECT_EQ(pixels[6], 0x80800000u);
  EXPECT_EQ(pixels[3], 0xCAFEBABEu);
  EXPECT_EQ(pixels[7], 0xCAFEBABEu);

  // An image copied out to the buffer arrives unchanged.
  auto source = Pattern();
  graphics->SetCompositingMode(Gfx::CompositingMode::SourceCopy);
  EXPECT_EQ(graphics->DrawImage(*source, {0, 0, 3, 2}, {4, 4, 3, 2}), Gfx::Status::Ok);
  EXPECT_EQ(graphics->Flush(), Gfx::Status::Ok);
  EXPECT_EQ(pixels[0], 0xFFFF0000u);
  EXPECT_EQ(pixels[6], 0x80808000u); // half-transparent yellow
}
