#include <gtest/gtest.h>

#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/Gdi/GDIRendererTestSupport.h"
#include "QZFramework/Utilities/Graphics/Font.h"

namespace {

using namespace QZTest;
using QZ::ResizeType;
using ::testing::ThrowsMessage;

TEST_F(GDIRendererTest, BitmapsAreFittedLikeTheirReferences) {
  const struct {
    const char* reference;
    int32_t side; // of the window and the destination
    ResizeType resize;
  } cases[] = {{"RendererStretch25.png", 25, ResizeType::Stretch},
               {"Tile25.png", 25, ResizeType::Tile},
               {"Center15.png", 15, ResizeType::Center}};
  for (const auto& c : cases) {
    MakeWindow(c.side, c.side);
    Start();
    EXPECT_EQ(renderer->DrawBitmap(Pattern(), {0, 0, c.side, c.side}, c.resize), QZ::QZ_OK);
    Finish();
    EXPECT_TRUE(ImagesMatch(*Window(), Reference(c.reference), 2, QZ_RENDERER_TEST_OUTPUT));
  }
}

TEST_F(GDIRendererTest, TilingRepeatsTheBitmapByCopiesOrTextureAlikeAndTilesNothingIntoNothing) {
  // 25 x 25 takes copies; 30 x 10 (three across) the texture fill.
  for (const QZ::RectT<int32_t> to : {QZ::RectT<int32_t>{3, 2, 25, 25}, QZ::RectT<int32_t>{1, 4, 30, 10}}) {
    Start();
    EXPECT_EQ(renderer->DrawBitmap(Pattern(), to, ResizeType::Tile), QZ::QZ_OK);
    Finish();
    const auto window = Window();
    for (int32_t i = 0; i < to.width * to.height; ++i) {
      const int32_t x = i % to.width, y = i / to.width;
      ASSERT_EQ(PixelOf(*window, to.x + x, to.y + y), PatternPixel(x % 10, y % 10)) << x << ", " << y;
    }
  }
  const auto nothing = Pattern()->CreateSubBitmap(20, 20, 5, 5); // cut down to nothing
  ASSERT_EQ(nothing->GetWidth(), 0);
  Start();
  EXPECT_EQ(renderer->DrawBitmap(nothing, {0, 0, 25, 25}, ResizeType::Tile), QZ::QZ_OK);
  EXPECT_EQ(renderer->DrawBitmap(Pattern(), {0, 0, 0, 25}, ResizeType::Tile), QZ::QZ_OK);
  EXPECT_EQ(renderer->DrawBitmap(nullptr, {0, 0, 25, 25}, ResizeType::Tile), QZ::QZ_OK);
  Finish();
  EXPECT_EQ(At(0, 0), 0u);
}

TEST_F(GDIRendererTest, AnUnknownResizeTypeIsRejectedOnlyWhenTheBitmapMustBeFitted) {
  const auto bitmap = Pattern();
  const auto unknown = static_cast<ResizeType>(3);
  Start();
  EXPECT_THAT(
      [&] {
        EXPECT_EQ(renderer->DrawBitmap(bitmap, {0, 0, 20, 20}, unknown), QZ::QZ_OK);
      },
      ThrowsMessage<std::invalid_argument>(
          R"(Invalid Argument : Invalid ResizeType passed to DrawBitmap. : QZ::LGDIRenderer::DrawBitmap : )"
          R"(Renderer\Gdi\GDIRenderer : Line 559)"));
  EXPECT_EQ(renderer->DrawBitmap(bitmap, {0, 0, 10, 10}, unknown), QZ::QZ_OK); // its own size stretches
  EXPECT_EQ(renderer->DrawBitmap(bitmap, {0, 0, 20, 20}, ResizeType::Center), QZ::QZ_OK);
  EXPECT_EQ(renderer->DrawBitmap(bitmap, {10, 10, 20, 20}, unknown), QZ::QZ_OK); // fitted already
  Finish();
  EXPECT_EQ(At(15, 15), PatternPixel(0, 0)); // centred: the corner at (5, 5)
}

TEST_F(GDIRendererTest, OutsideAFrameDrawBitmapThrowsAndTheOtherSlotsDoNothing) {
  EXPECT_THAT(
      [&] {
        EXPECT_EQ(renderer->DrawBitmap(Pattern(), {0, 0, 5, 5}, ResizeType::Tile), QZ::QZ_OK);
      },
      ThrowsMessage<std::runtime_error>(
          R"(Runtime Error : QZ::LGDIRenderer::DrawBitmap : Renderer\Gdi\GDIRenderer : Line 568)"));
  QZ::PolylineT<float> line;
  line.AddPoint({0, 0});
  line.AddPoint({5, 5});
  QZ::ColorRectListT<float> rects;
  rects.Add({0, 0, 5, 5}, Color(kRed));
  const auto font = QZ::LFont::GetFont(QZ::WString(u"Arial"), 10.0f, 0);
  const auto red = Color(kRed);
  const QZ::QZResult results[] = {
      renderer->DrawText(QZ::WString(u"x"), *font, {1, 1}, red),
      renderer->DrawRect({0, 0, 5, 5}, red, 1),
      renderer->FillRect({0, 0, 5, 5}, red, true),
      renderer->FillRect({0, 0, 5, 5}, red, false),
      renderer->DrawFilledRect({0, 0, 5, 5}, red, red, 1),
      renderer->DrawColorRectList(rects, {0, 0}, true),
      renderer->DrawLine({0, 0}, {5, 5}, red, 1),
      renderer->DrawLineSegments(line, red, {0, 0}, {1, 1}, true),
      renderer->DrawPolyline(line, red, {0, 0}, {1, 1}, true),
      renderer->DrawPolygon(line, red, {0, 0}, {1, 1}, true),
      renderer->FillPolygon(line, red, {0, 0}, {1, 1}, true),
      renderer->DrawRenderContext(NewContext({0, 0, 5, 5}, true), {0, 0}, {0, 0, 5, 5}),
  };
  for (const QZ::QZResult result : results) {
    EXPECT_EQ(result, QZ::QZ_FALSE);
  }
}

TEST_F(GDIRendererTest, AnAlphaFillBlendsOverTheColourBelow) {
  MakeWindow(6, 6);
  Start();
  EXPECT_EQ(renderer->FillRect({0, 0, 6, 6}, Color(kBlue), true), QZ::QZ_OK);
  EXPECT_EQ(renderer->FillRect({1, 1, 4, 4}, Color(0x80FF0000), true), QZ::QZ_OK);
  Finish();
  EXPECT_TRUE(ImagesMatch(*Window(), Reference("BlendedFill6.png"), 1, QZ_RENDERER_TEST_OUTPUT));
}

TEST_F(GDIRendererTest, AnUnblendedFillSetsSurfacePixelsWhateverTheTranslationAndClip) {
  Start();
  EXPECT_EQ(renderer->FillRect({0, 0, 40, 30}, Color(kBlue), true), QZ::QZ_OK);
  EXPECT_EQ(renderer->PushClip({5, 5, 10, 10}, {5, 5, 2, 2}, nullptr, true), QZ::QZ_OK);
  EXPECT_EQ(renderer->FillRect({-2, -3, 6, 6}, Color(0x40FF0000), false), QZ::QZ_OK); // partly outside the surface
  EXPECT_EQ(renderer->FillRect({0, 0, 40, 40}, Color(kGreen), true), QZ::QZ_OK);      // still translated and clipped
  EXPECT_EQ(renderer->PopClip(), QZ::QZ_OK);
  EXPECT_EQ(renderer->FillRect({39, 29, 1, 1}, Color(kGreen), true), QZ::QZ_OK);
  Finish();
  const auto window = Window();
  const std::pair<QZ::PointT<int32_t>, uint32_t> expected[] = {
      {{0, 0}, 0x40FF0000}, {{3, 2}, 0x40FF0000}, {{4, 2}, kBlue}, {{3, 3}, kBlue},
      {{6, 6}, kGreen},     {{7, 7}, kBlue},      {{4, 4}, kBlue}, {{39, 29}, kGreen}};
  for (const auto& [point, argb] : expected) {
    EXPECT_EQ(PixelOf(*window, point.x, point.y), argb) << point.x << ", " << point.y;
  }
}

// The surface takes a state's clip and origin only when something is drawn, and leaves a
// clip that cuts nothing of a fill as it is: every fill must still see its own state.
TEST_F(GDIRendererTest, EachDrawingSeesItsOwnClipAndOriginHoweverStatesCameAndWent) {
  Start();
  EXPECT_EQ(renderer->FillRect({0, 0, 40, 30}, Color(kBlue), true), QZ::QZ_OK);
  EXPECT_EQ(renderer->PushClip({0, 0, 40, 30}, {0, 0, 10, 10}, nullptr, true), QZ::QZ_OK);
  EXPECT_EQ(renderer->FillRect({0, 0, 10, 10}, Color(kRed), true), QZ::QZ_OK); // held whole by the small clip
  EXPECT_EQ(renderer->PopClip(), QZ::QZ_OK);
  EXPECT_EQ(renderer->FillRect({20, 20, 5, 5}, Color(kGreen), true), QZ::QZ_OK); // the small clip in force would cut it
  EXPECT_EQ(renderer->PushClip({30, 0, 10, 10}, {30, 0, 5, 5}, nullptr, true), QZ::QZ_OK);
  EXPECT_EQ(renderer->FillRect({0, 0, 10, 10}, Color(kWhite), true), QZ::QZ_OK); // cut by its own clip
  EXPECT_EQ(renderer->PopClip(), QZ::QZ_OK);
  EXPECT_EQ(renderer->PushState(), QZ::QZ_OK);
  EXPECT_EQ(renderer->PushClipOffset({0, 20}), QZ::QZ_OK);
  EXPECT_EQ(renderer->FillRect({0, 0, 4, 4}, Color(kRed), true), QZ::QZ_OK); // only the origin moved
  EXPECT_EQ(renderer->PushClip({0, 0, 1, 1}, {0, 0, 1, 1}, nullptr, true), QZ::QZ_OK);
  EXPECT_EQ(renderer->PopClip(), QZ::QZ_OK); // nothing drawn in between
  EXPECT_EQ(renderer->FillRect({10, 0, 2, 2}, Color(kGreen), true), QZ::QZ_OK);
  EXPECT_EQ(renderer->PopClip(), QZ::QZ_OK);
  EXPECT_EQ(renderer->PopClip(), QZ::QZ_OK);
  EXPECT_EQ(renderer->FillRect({14, 0, 2, 2}, Color(kGreen), true), QZ::QZ_OK); // back at the window's origin
  Finish();
  const auto window = Window();
  const std::pair<QZ::PointT<int32_t>, uint32_t> expected[] = {
      {{5, 5}, kRed},    {{15, 5}, kBlue},  {{22, 22}, kGreen}, {{31, 1}, kWhite},  {{36, 1}, kBlue},  {{31, 6}, kBlue},
      {{1, 21}, kRed},   {{5, 21}, kBlue},  {{10, 20}, kGreen}, {{11, 21}, kGreen}, {{12, 20}, kBlue}, {{1, 25}, kBlue},
      {{14, 0}, kGreen}, {{15, 1}, kGreen}, {{16, 0}, kBlue},   {{14, 20}, kBlue}};
  for (const auto& [point, argb] : expected) {
    EXPECT_EQ(PixelOf(*window, point.x, point.y), argb) << point.x << ", " << point.y;
  }
}

// Opaque fills of whole pixels are written straight into the pixels without giving the
// surface their clip and origin: a drawing after them must still get its own, and a fill
// at a fractional origin must not be taken for a whole one.
TEST_F(GDIRendererTest, DrawingsAfterDirectFillsStillSeeTheirOwnClipAndOrigin) {
  const uint32_t kTranslucent = 0x80FFFFFF;
  Start();
  EXPECT_EQ(renderer->FillRect({0, 0, 40, 30}, Color(kBlue), true), QZ::QZ_OK);
  EXPECT_EQ(renderer->PushClip({5, 5, 10, 10}, {5, 5, 10, 10}, nullptr, true), QZ::QZ_OK);
  EXPECT_EQ(renderer->FillRect({0, 0, 2, 2}, Color(kRed), true), QZ::QZ_OK);
  EXPECT_EQ(renderer->FillRect({2, 2, 40, 40}, Color(kTranslucent), true), QZ::QZ_OK); // cut at (15, 15)
  EXPECT_EQ(renderer->PopClip(), QZ::QZ_OK);
  EXPECT_EQ(renderer->FillRect({20, 0, 2, 2}, Color(kTranslucent), true), QZ::QZ_OK); // no clip, no offset
  EXPECT_EQ(renderer->Translate({0.5, 0.0}), QZ::QZ_OK);
  EXPECT_EQ(renderer->FillRect({24, 0, 2, 2}, Color(kRed), true), QZ::QZ_OK); // pixels 25 and 26
  EXPECT_EQ(renderer->Translate({-0.5, 0.0}), QZ::QZ_OK);
  Finish();

  // The translucent white over blue, as the drawing layer blends it on its own.
  auto probe = QZ::Platform::Graphics::Image::Create(1, 1);
  auto graphics = QZ::Platform::Graphics::Graphics::FromImage(*probe);
  ASSERT_TRUE(graphics);
  ASSERT_EQ(graphics->FillRectangle(QZ::Platform::Graphics::Brush::Solid({kBlue}), {0, 0, 1, 1}),
            QZ::Platform::Graphics::Status::Ok);
  ASSERT_EQ(graphics->FillRectangle(QZ::Platform::Graphics::Brush::Solid({kTranslucent}), {0, 0, 1, 1}),
            QZ::Platform::Graphics::Status::Ok);
  graphics.reset();
  const uint32_t whitened = PixelOf(*probe, 0, 0);
  ASSERT_NE(whitened, kBlue);

  const auto window = Window();
  const std::pair<QZ::PointT<int32_t>, uint32_t> expected[] = {
      {{5, 5}, kRed},   {{6, 6}, kRed},  {{7, 7}, whitened},  {{14, 14}, whitened}, {{15, 15}, kBlue},
      {{16, 8}, kBlue}, {{4, 4}, kBlue}, {{20, 0}, whitened}, {{21, 1}, whitened},  {{22, 0}, kBlue},
      {{24, 0}, kBlue}, {{25, 0}, kRed}, {{26, 1}, kRed},     {{27, 0}, kBlue}};
  for (const auto& [point, argb] : expected) {
    EXPECT_EQ(PixelOf(*window, point.x, point.y), argb) << point.x << ", " << point.y;
  }
}

TEST_F(GDIRendererTest, APolylineKeptAsOneShapeIsRebuiltForAnother) {
  QZ::PolylineT<float> square;
  for (const QZ::PointT<float> point : {QZ::PointT<float>{2, 2}, {12, 2}, {12, 12}, {2, 12}}) {
    square.AddPoint(point);
  }
  Start();
  EXPECT_EQ(renderer->FillPolygon(square, Color(kBlue), {0, 0}, {1, 1}, true), QZ::QZ_OK);
  EXPECT_EQ(At(7, 7), kBlue);
  EXPECT_EQ(renderer->FillRect({0, 0, 40, 30}, {}, false), QZ::QZ_OK);
  EXPECT_EQ(renderer->DrawPolyline(square, Color(kRed), {20, 0}, {1, 2}, true), QZ::QZ_OK); // open: no left edge
  Finish();
  EXPECT_EQ(At(27, 4), kRed);
  EXPECT_EQ(At(32, 14), kRed);
  EXPECT_EQ(At(22, 14), 0u);
  EXPECT_EQ(At(27, 14), 0u);
}

} // namespace

namespace {

using namespace QZTest;
using QZ::ResizeType;

// The surface keeps the clip it was given while a new drawing fits inside it; a drawing
// that fits that wider clip but not its own must still be cut at its own. Half a pixel of
// translation keeps the drawings off the whole-pixel blits and fills, which clip by
// themselves.
TEST_F(GDIRendererTest, ADrawingAfterOneWithAWiderClipIsStillCutAtItsOwn) {
  const uint32_t kTranslucent = 0x80FFFFFF;
  const QZ::RectT<double> window{0, 0, 40, 30};
  const auto bitmap = Pattern();
  for (const bool fitted : {false, true}) {
    SCOPED_TRACE(fitted ? "a fitted bitmap" : "a translucent fill");
    auto draw = [&](int32_t x, int32_t y) {
      const QZ::RectT<int32_t> rect{x, y, 12, 12};
      EXPECT_EQ(fitted ? renderer->DrawBitmap(bitmap, rect, ResizeType::Stretch)
                       : renderer->FillRect(rect, Color(kTranslucent), true),
                QZ::QZ_OK);
    };
    Start();
    EXPECT_EQ(renderer->FillRect({0, 0, 40, 30}, Color(kBlue), true), QZ::QZ_OK);
    {
      QZ::CAutoClip clip(renderer, window, {1, 1, 37, 27}, nullptr);
      EXPECT_EQ(renderer->Translate({0.5, 0.5}), QZ::QZ_OK);
      draw(24, 14); // the surface takes this wide clip
    }
    {
      // (8.5, 2.5) to (20.5, 14.5): inside the wide clip, well beyond its own.
      QZ::CAutoClip clip(renderer, window, {10, 4, 5, 5}, nullptr);
      EXPECT_EQ(renderer->Translate({0.5, 0.5}), QZ::QZ_OK);
      draw(8, 2);
    }
    {
      QZ::CAutoClip clip(renderer, window, {4, 20, 0, 0}, nullptr);
      EXPECT_EQ(renderer->Translate({0.5, 0.5}), QZ::QZ_OK);
      draw(2, 16); // nothing at all
    }
    Finish();
    const auto shown = Window();
    EXPECT_NE(PixelOf(*shown, 12, 6), kBlue) << "inside its own clip";
    EXPECT_NE(PixelOf(*shown, 30, 20), kBlue) << "inside the wide clip";
    for (const auto& [x, y] : {std::pair{9, 6}, std::pair{16, 6}, std::pair{12, 3}, std::pair{12, 10},
                               std::pair{19, 13}, std::pair{4, 20}, std::pair{8, 24}}) {
      EXPECT_EQ(PixelOf(*shown, x, y), kBlue) << x << "," << y << " is outside the clip";
    }
  }
}

// 4 x 2 and 2 x 4 tiles, and tiles one pixel thin, each of its own pixels: every pixel of
// the target is the tile's pixel at the target's position modulo the tile's size.
TEST_F(GDIRendererTest, TilesWiderThanTallOrTallerThanWideCoverTheirRectangleExactly) {
  const struct {
    int32_t tileWidth, tileHeight;
    int32_t width, height; // of the target
  } cases[] = {
      {4, 2, 10, 5}, {2, 4, 5, 10}, // copies: fewer than three across and down
      {4, 2, 13, 7}, {2, 4, 7, 13}, // a texture fill: three or more
      {4, 2, 10, 7}, {2, 4, 7, 10}, // a texture fill: three or more down only, or across only
      {1, 5, 2, 12}, {5, 1, 12, 2}, {1, 5, 7, 23}, {5, 1, 23, 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.tileWidth << " x " << c.tileHeight << " into " << c.width << " x "
                                    << c.height);
    auto tilePixel = [](int32_t x, int32_t y) {
      return 0xFF000000u | uint32_t(x * 50 + 5) << 16 | uint32_t(y * 50 + 5) << 8;
    };
    const auto tile = PaintedBitmap(c.tileWidth, c.tileHeight, tilePixel);
    const QZ::RectT<int32_t> to{3, 2, c.width, c.height};
    Start();
    EXPECT_EQ(renderer->DrawBitmap(tile, to, ResizeType::Tile), QZ::QZ_OK);
    Finish();
    const auto shown = Window();
    for (int32_t y = -1; y <= to.height; ++y) {
      for (int32_t x = -1; x <= to.width; ++x) {
        const bool inside = x >= 0 && y >= 0 && x < to.width && y < to.height;
        ASSERT_EQ(PixelOf(*shown, to.x + x, to.y + y), inside ? tilePixel(x % c.tileWidth, y % c.tileHeight) : 0u)
            << x << ", " << y;
      }
    }
  }
}

// Scale ticks: each pair of points is a segment of its own; nothing joins one to the next,
// and an odd last point draws nothing.
TEST_F(GDIRendererTest, LineSegmentsAreStrokedEachOnItsOwn) {
  QZ::PolylineT<float> ticks;
  for (const QZ::PointT<float> point : {QZ::PointT<float>{1, 1.25f}, {6, 1.25f}, {1, 4.25f}, {6, 4.25f}, {6, 12.25f}}) {
    ticks.AddPoint(point);
  }
  Start();
  // Unscaled: rows 1 and 4, x 2 to 6; twice the size through a matrix: rows 2 and 8, x 22 to 31.
  EXPECT_EQ(renderer->DrawLineSegments(ticks, Color(kRed), {1, 0.25}, {1, 1}, true), QZ::QZ_OK);
  EXPECT_EQ(renderer->DrawLineSegments(ticks, Color(kRed), {20, 0}, {2, 2}, true), QZ::QZ_OK);
  Finish();
  const auto shown = Window();
  EXPECT_EQ(PixelOf(*shown, 4, 1), kRed);
  EXPECT_EQ(PixelOf(*shown, 4, 4), kRed);
  for (const int32_t x : {22, 27, 31}) {
    EXPECT_EQ(PixelOf(*shown, x, 2), kRed) << x;
    EXPECT_EQ(PixelOf(*shown, x, 8), kRed) << x;
  }
  // Between the ticks, and where the odd point lies.
  for (int32_t y = 0; y < 30; ++y) {
    for (int32_t x = 0; x < 40; ++x) {
      const bool tick = (x >= 2 && x < 7 && (y == 1 || y == 4)) || (x >= 22 && x < 32 && (y == 2 || y == 8));
      if (!tick) {
        ASSERT_EQ(PixelOf(*shown, x, y), 0u) << x << ", " << y;
      }
    }
  }
}

} // namespace
