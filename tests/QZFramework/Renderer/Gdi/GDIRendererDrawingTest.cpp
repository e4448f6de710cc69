#include <gtest/gtest.h>

#include <functional>

#include "QZFramework/Renderer/Gdi/GDIRendererTestSupport.h"
#include "QZFramework/Utilities/Graphics/Font.h"

namespace {

using namespace QZTest;
using QZ::ResizeType;

struct BitmapCase {
  const char* reference;
  int32_t side; // of the window and the destination
  ResizeType resize;
};

class GDIRendererBitmapTest : public GDIRendererTest, public ::testing::WithParamInterface<BitmapCase> {};

TEST_P(GDIRendererBitmapTest, FitsTheBitmapLikeItsReference) {
  const BitmapCase& c = GetParam();
  MakeWindow(c.side, c.side);
  Start();
  renderer->DrawBitmap(Pattern(), {0, 0, c.side, c.side}, c.resize);
  Finish();
  EXPECT_TRUE(ImagesMatch(*window->ToImage(), RendererReference(c.reference), 2, RendererOutputDir()));
}

INSTANTIATE_TEST_SUITE_P(ReferenceImages, GDIRendererBitmapTest,
                         ::testing::Values(BitmapCase{"Stretch25.png", 25, ResizeType::Stretch},
                                           BitmapCase{"Tile25.png", 25, ResizeType::Tile},
                                           BitmapCase{"Center15.png", 15, ResizeType::Center}));

TEST_F(GDIRendererTest, TilesCopiesOrATextureFillAlike) {
  // 25 x 25 takes copies; 30 x 10 (three across) the texture fill. Both repeat the
  // pattern exactly from the corner, at the destination's position.
  for (const QZ::RectT<int32_t> destination : {QZ::RectT<int32_t>{3, 2, 25, 25}, QZ::RectT<int32_t>{1, 4, 30, 10}}) {
    Start();
    renderer->DrawBitmap(Pattern(), destination, ResizeType::Tile);
    Finish();
    for (int32_t y = 0; y < destination.height; ++y) {
      for (int32_t x = 0; x < destination.width; ++x) {
        ASSERT_EQ(window->At(destination.x + x, destination.y + y), PatternPixel(x % 10, y % 10)) << x << ", " << y;
      }
    }
  }
}

TEST_F(GDIRendererTest, TilingNothingOrIntoNothingDrawsNothing) {
  const QZ::RCPtr<QZ::LBitmap> outside = Pattern()->CreateSubBitmap(20, 20, 5, 5); // cut down to nothing
  ASSERT_EQ(outside->GetWidth(), 0);
  Start();
  renderer->DrawBitmap(outside, {0, 0, 25, 25}, ResizeType::Tile);
  renderer->DrawBitmap(Pattern(), {0, 0, 0, 25}, ResizeType::Tile);
  renderer->DrawBitmap(nullptr, {0, 0, 25, 25}, ResizeType::Tile);
  Finish();
  for (int32_t y = 0; y < 30; ++y) {
    for (int32_t x = 0; x < 40; ++x) {
      ASSERT_EQ(window->At(x, y), 0u) << x << ", " << y;
    }
  }
}

TEST_F(GDIRendererTest, DrawBitmapRejectsAnUnknownResizeTypeOnlyWhenItMustFitTheBitmap) {
  const auto bitmap = Pattern();
  const ResizeType unknown = static_cast<ResizeType>(3);
  Start();
  EXPECT_EQ(ThrownText<std::invalid_argument>([&] {
              renderer->DrawBitmap(bitmap, {0, 0, 20, 20}, unknown);
            }),
            R"(Invalid Argument : Invalid ResizeType passed to DrawBitmap. : QZ::LGDIRenderer::DrawBitmap : )"
            R"(Renderer\Gdi\GDIRenderer : Line 559)");
  // Its own size always stretches; a bitmap already fitted is blitted as it is.
  EXPECT_EQ(renderer->DrawBitmap(bitmap, {0, 0, 10, 10}, unknown), QZ::QZ_OK);
  renderer->DrawBitmap(bitmap, {0, 0, 20, 20}, ResizeType::Center);
  EXPECT_EQ(renderer->DrawBitmap(bitmap, {10, 10, 20, 20}, unknown), QZ::QZ_OK);
  Finish();
  EXPECT_EQ(window->At(15, 15), PatternPixel(0, 0)); // centred: the frame's corner at (5, 5)
}

TEST_F(GDIRendererTest, OutsideAFrameDrawBitmapThrowsAndEveryOtherSlotDoesNothing) {
  EXPECT_EQ(ThrownText<std::runtime_error>([&] {
              renderer->DrawBitmap(Pattern(), {0, 0, 5, 5}, ResizeType::Stretch);
            }),
            R"(Runtime Error : QZ::LGDIRenderer::DrawBitmap : Renderer\Gdi\GDIRenderer : Line 568)");
  QZ::PolylineT<float> line;
  line.AddPoint({0, 0});
  line.AddPoint({5, 5});
  line.AddPoint({0, 5});
  QZ::ColorRectListT<float> rects;
  rects.Add({0, 0, 5, 5}, Color(kRed));
  const auto font = QZ::LFont::GetFont(QZ::WString(u"Liberation Sans"), 10.0f, 0);
  const auto offscreen = NewContext({0, 0, 5, 5}, true);
  const auto red = Color(kRed);
  const std::vector<std::function<QZ::QZResult()>> slots = {
      [&] {
        return renderer->DrawText(QZ::WString(u"x"), *font, {1, 1}, red);
      },
      [&] {
        return renderer->DrawRect({0, 0, 5, 5}, red, 1);
      },
      [&] {
        return renderer->FillRect({0, 0, 5, 5}, red, true);
      },
      [&] {
        return renderer->FillRect({0, 0, 5, 5}, red, false);
      },
      [&] {
        return renderer->DrawFilledRect({0, 0, 5, 5}, red, red, 1);
      },
      [&] {
        return renderer->DrawColorRectList(rects, {0, 0}, true);
      },
      [&] {
        return renderer->DrawLine({0, 0}, {5, 5}, red, 1);
      },
      [&] {
        return renderer->DrawLineSegments(line, red, {0, 0}, {1, 1}, true);
      },
      [&] {
        return renderer->DrawPolyline(line, red, {0, 0}, {1, 1}, true);
      },
      [&] {
        return renderer->DrawPolygon(line, red, {0, 0}, {1, 1}, true);
      },
      [&] {
        return renderer->FillPolygon(line, red, {0, 0}, {1, 1}, true);
      },
      [&] {
        return renderer->DrawRenderContext(offscreen, {0, 0}, {0, 0, 5, 5});
      },
  };
  for (size_t i = 0; i < slots.size(); ++i) {
    EXPECT_EQ(slots[i](), QZ::QZ_FALSE) << "slot " << i;
  }
  EXPECT_EQ(PixelOf(Surface(context), 1, 1), 0u);
}

TEST_F(GDIRendererTest, AnAlphaFillBlendsOverTheColourBelow) {
  MakeWindow(6, 6);
  Start();
  renderer->FillRect({0, 0, 6, 6}, Color(kBlue), true);
  renderer->FillRect({1, 1, 4, 4}, Color(0x80FF0000), true);
  Finish();
  EXPECT_TRUE(ImagesMatch(*window->ToImage(), RendererReference("BlendedFill6.png"), 1, RendererOutputDir()));
}

TEST_F(GDIRendererTest, AnUnblendedFillSetsSurfacePixelsWhateverTheTranslationAndClip) {
  Start();
  renderer->FillRect({0, 0, 40, 30}, Color(kBlue), true);
  renderer->PushClip({5, 5, 10, 10}, {5, 5, 2, 2}, nullptr, true);
  renderer->FillRect({-2, -3, 6, 6}, Color(0x40FF0000), false); // partly outside the surface
  renderer->FillRect({0, 0, 40, 40}, Color(kGreen), true);      // still translated and clipped
  Finish();
  EXPECT_EQ(window->At(0, 0), 0x40FF0000u);
  EXPECT_EQ(window->At(3, 2), 0x40FF0000u);
  EXPECT_EQ(window->At(4, 2), kBlue);
  EXPECT_EQ(window->At(3, 3), kBlue);
  EXPECT_EQ(window->At(5, 5), kGreen);
  EXPECT_EQ(window->At(6, 6), kGreen);
  EXPECT_EQ(window->At(7, 7), kBlue);
}

TEST_F(GDIRendererTest, ColorRectListsAndOutlinedRectanglesLandWhereAsked) {
  QZ::ColorRectListT<float> bars;
  bars.Add({0, 0, 2, 1}, Color(kRed));
  bars.Add({1, 0, 2, 1}, Color(kGreen)); // drawn first: the earlier entry lies on top
  bars.SetScale(2.0f, 3.0f);
  Start();
  renderer->DrawColorRectList(bars, {10, 10}, true);
  renderer->DrawFilledRect({20, 2, 6, 6}, Color(kWhite), Color(kBlack), 1.0f);
  Finish();
  EXPECT_EQ(window->At(10, 12), kRed);
  EXPECT_EQ(window->At(13, 12), kRed);
  EXPECT_EQ(window->At(14, 12), kGreen);
  EXPECT_EQ(window->At(15, 12), kGreen);
  EXPECT_EQ(window->At(16, 12), 0u);
  EXPECT_EQ(window->At(10, 13), 0u);
  EXPECT_EQ(window->At(20, 5), kBlack);
  EXPECT_EQ(window->At(26, 5), kBlack);
  EXPECT_EQ(window->At(23, 5), kWhite);
}

TEST_F(GDIRendererTest, PolylinesAreDrawnAsTheSlotAsksAndMovedAndScaled) {
  QZ::PolylineT<float> square;
  for (const QZ::PointT<float> point : {QZ::PointT<float>{2, 2}, {12, 2}, {12, 12}, {2, 12}}) {
    square.AddPoint(point);
  }
  Start();
  renderer->FillPolygon(square, Color(kBlue), {0, 0}, {1, 1}, true);
  EXPECT_EQ(PixelOf(Surface(context), 7, 7), kBlue);
  renderer->FillRect({0, 0, 40, 30}, {}, false);
  // The path kept for the polygon is not taken for an open polyline.
  renderer->DrawPolyline(square, Color(kRed), {0, 0}, {1, 1}, true);
  EXPECT_EQ(PixelOf(Surface(context), 7, 2), kRed);
  EXPECT_EQ(PixelOf(Surface(context), 2, 7), 0u);
  EXPECT_EQ(PixelOf(Surface(context), 7, 7), 0u);
  // A changed polyline is built anew; origin and scale move and size it.
  square.SetPoint(2, {2, 12});
  square.SetPoint(3, {2, 2});
  renderer->FillRect({0, 0, 40, 30}, {}, false);
  renderer->DrawLineSegments(square, Color(kGreen), {20, 10}, {1, 0.5}, false);
  Finish();
  EXPECT_EQ(window->At(27, 11), kGreen); // (2,2)-(12,2) moved and halved vertically
  EXPECT_EQ(window->At(22, 13), kGreen); // (2,12)-(2,2)
  EXPECT_EQ(window->At(27, 16), 0u);
}

} // namespace
