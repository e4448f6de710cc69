#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/Gdi/GDIRendererTestSupport.h"

namespace {

using namespace QZTest;
using QZ::EdgeRect;

TEST_F(GDIRendererTest, OnlyAPartialUpdateRegionKeepsTheSurfacePixels) {
  const struct {
    std::vector<EdgeRect> region;
    bool keepsPixels;
  } cases[] = {
      {{{0, 0, 40, 30}}, false},                 // the bounds
      {{{-5, -5, 50, 50}}, false},               // more than the bounds
      {{{0, 0, 10, 10}}, true},                  // a part
      {{{0, 0, 40, 15}, {0, 15, 40, 30}}, true}, // the bounds, in two pieces
  };
  for (const auto& c : cases) {
    Start();
    EXPECT_EQ(renderer->FillRect({0, 0, 40, 30}, Color(kRed), true), QZ::QZ_OK);
    Finish();
    Start(c.region);
    Finish();
    EXPECT_EQ(At(30, 20), c.keepsPixels ? kRed : 0u) << c.region.size();
  }
  context->SetBounds({0, 0, 20, 50}); // new bounds: new surfaces, whatever the region
  Start({{0, 0, 5, 5}});
  EXPECT_EQ(Gdi(context).GetBackSurface()->GetSize(), (QZ::SizeT<int32_t>{20, 50}));
  EXPECT_EQ(PixelOf(Surface(context), 1, 1), 0u);
  Finish();
  EXPECT_EQ(Gdi(NewContext({0, 0, 5000, 0}, true)).GetSurfaceSize(), (QZ::SizeT<int32_t>{4096, 1}));
}

TEST_F(GDIRendererTest, FinishingCopiesOnlyTheUpdateRegionToTheWindow) {
  MakeWindow(40, 30, kGreen);
  Start({{2, 2, 5, 5}, {30, 20, 40, 30}});
  EXPECT_EQ(renderer->FillRect({0, 0, 40, 30}, Color(0x80FF0000), true), QZ::QZ_OK);
  Finish();
  // Drawn over what the window showed there, as drawing straight into it would be.
  uint32_t over = kGreen;
  {
    const auto graphics = QZ::Platform::Graphics::Graphics::FromPixels(&over, 1, 1, 4);
    ASSERT_TRUE(graphics);
    (void)graphics->FillRectangle(QZ::Platform::Graphics::Brush::Solid(QZ::Platform::Graphics::Color{0x80FF0000}),
                                  {0, 0, 1, 1});
    (void)graphics->Flush();
  }
  EXPECT_EQ(words[2 * 40 + 2], over);
  EXPECT_EQ(words[29 * 40 + 39], over);
  EXPECT_EQ(At(5, 5), kGreen);
  EXPECT_EQ(At(29, 25), kGreen);

  const auto offscreen = NewContext({0, 0, 40, 30}, true); // never copied to a window
  Gdi(offscreen).SetWindowPixels(Gdi(context).GetWindowPixels());
  Start(offscreen);
  EXPECT_EQ(renderer->FillRect({0, 0, 40, 30}, Color(kBlue), true), QZ::QZ_OK);
  Finish(offscreen);
  EXPECT_EQ(At(10, 10), kGreen);
}

TEST_F(GDIRendererTest, AFrameOfOneRectangleDrawsStraightIntoTheWindowOnlyInsideIt) {
  MakeWindow(40, 30, kGreen);
  Start({{2, 2, 10, 10}});
  EXPECT_EQ(renderer->FillRect({0, 0, 40, 30}, Color(kRed), true), QZ::QZ_OK);
  EXPECT_EQ(At(5, 5), kRed) << "in the window's pixels before the frame ends";
  EXPECT_EQ(renderer->FillRect({8, 0, 20, 20}, Color(kBlue), false), QZ::QZ_OK); // unclipped otherwise
  Finish();
  EXPECT_EQ(At(2, 2), kRed);
  EXPECT_EQ(At(9, 9), kBlue);
  for (const auto& [x, y] : {std::pair{1, 1}, std::pair{10, 5}, std::pair{12, 12}, std::pair{5, 10}}) {
    EXPECT_EQ(At(x, y), kGreen) << x << "," << y;
  }
  EXPECT_EQ(Gdi(context).MemoryBytes(), 0u);
}

TEST_F(GDIRendererTest, CachedBitmapsUnusedSinceThePreviousPurgeAreDroppedAtTheNext) {
  // Each bitmap is fitted to 8 x 8 once: a later recolouring shows only once that is gone.
  auto red = PaintedBitmap(4, 4, [](int32_t, int32_t) { return kRed; });
  auto blue = PaintedBitmap(4, 4, [](int32_t, int32_t) { return kBlue; });
  BitmapFrame({red, blue});
  RecolourBitmaps({red, blue}, kGreen);
  now += QZ::LGDIRenderer::kPurgeInterval + 1;
  BitmapFrame({}); // the first purge: nothing was used before it
  now += QZ::LGDIRenderer::kPurgeInterval;
  BitmapFrame({}); // not more than the interval since: no purge
  BitmapFrame({blue});
  EXPECT_EQ(At(10, 0), kBlue);
  now += 1;
  BitmapFrame({}); // drops red, unused since the previous purge
  BitmapFrame({red, blue});
  EXPECT_EQ(At(10, 0), kGreen);
  EXPECT_EQ(At(20, 0), kBlue);
}

TEST_F(GDIRendererTest, ThePurgeIntervalRunsFromTheFirstFrameThatCachedABitmap) {
  auto red = PaintedBitmap(4, 4, [](int32_t, int32_t) { return kRed; });
  auto blue = PaintedBitmap(4, 4, [](int32_t, int32_t) { return kBlue; });
  for (int i = 0; i < 3; ++i) {
    now += QZ::LGDIRenderer::kPurgeInterval;
    BitmapFrame({});
  }
  EXPECT_EQ(clockReads, 0) << "nothing cached, nothing to purge";
  BitmapFrame({red, blue});
  RecolourBitmaps({red, blue}, kGreen);
  now += QZ::LGDIRenderer::kPurgeInterval + 1;
  BitmapFrame({}); // the first purge: nothing was used before it
  BitmapFrame({red, blue});
  EXPECT_EQ(At(10, 0), kRed) << "both cached a full interval before the first purge are kept";
  EXPECT_EQ(At(20, 0), kBlue);
}

TEST_F(GDIRendererTest, OffscreenContextsAreDrawnAndPresentedIntoOthers) {
  const auto offscreen = NewContext({0, 0, 10, 10}, true);
  Start();
  Start(offscreen); // nested, as a buffered control draws its buffer
  EXPECT_EQ(renderer->FillRect({0, 0, 10, 10}, Color(kRed), true), QZ::QZ_OK);
  Finish(offscreen);
  EXPECT_EQ(renderer->DrawRenderContext(offscreen, {5, 5}, {0, 0, 4, 4}), QZ::QZ_OK);
  EXPECT_EQ(renderer->DrawRenderContext(context, {0, 0}, {0, 0, 4, 4}), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(renderer->FillRect({0, 0, 1, 1}, Color(kBlue), true), QZ::QZ_OK); // into the window context again
  Finish();
  EXPECT_EQ(At(0, 0), kBlue);
  EXPECT_EQ(At(8, 8), kRed);
  EXPECT_EQ(At(9, 9), 0u);

  EXPECT_EQ(renderer->PresentRenderContext(offscreen, {3, 0}), QZ::QZ_OK);
  EXPECT_EQ(PixelOf(Surface(offscreen), 2, 0), 0u);
  EXPECT_EQ(PixelOf(Surface(offscreen), 3, 0), kRed);
  EXPECT_EQ(PixelOf(*Gdi(offscreen).GetBackSurface()->GetImage(), 0, 0), kRed);
  EXPECT_EQ(renderer->PresentRenderContext(context, {0, 0}), QZ::QZ_E_INVALIDARG);
}

} // namespace

namespace {

using namespace QZTest;

TEST_F(GDIRendererTest, AFullFrameStartsTransparentHoweverItsFirstDrawingBegins) {
  const QZ::RectT<int32_t> whole{0, 0, 40, 30};
  struct Case {
    const char* what;
    QZ::RectT<int32_t> fill;
    uint32_t colour;
    QZ::RectT<double> clip;
    uint32_t at0;  // the window's pixel (0, 0) after the frame
    uint32_t at39; // and (39, 29)
  };
  const Case cases[] = {
      {"an opaque fill over everything", whole, kBlue, {0, 0, 40, 30}, kBlue, kBlue},
      {"an opaque fill over a part", {0, 0, 20, 30}, kBlue, {0, 0, 40, 30}, kBlue, 0},
      {"a translucent fill over everything", whole, 0x80FFFFFF, {0, 0, 40, 30}, 0x80FFFFFF, 0x80FFFFFF},
      {"an opaque fill cut by the clip", whole, kBlue, {0, 0, 39, 30}, kBlue, 0},
  };
  for (const Case& c : cases) {
    Start();
    EXPECT_EQ(renderer->FillRect(whole, Color(kRed), true), QZ::QZ_OK);
    Finish();
    Start();
    {
      QZ::CAutoClip clip(renderer, {0, 0, 40, 30}, c.clip, nullptr);
      EXPECT_EQ(renderer->FillRect(c.fill, Color(c.colour), true), QZ::QZ_OK);
    }
    Finish();
    EXPECT_EQ(At(0, 0), c.at0) << c.what;
    EXPECT_EQ(At(39, 29), c.at39) << c.what << ": nothing of the previous frame shows";
  }
  // Read before anything is drawn, the surface of a full frame is transparent.
  Start();
  EXPECT_EQ(PixelOf(Surface(context), 5, 5), 0u);
  Finish();
  EXPECT_EQ(At(5, 5), 0u) << "a full frame that draws nothing shows nothing";
}

// The same on a context's own surface (an offscreen context, shown by drawing it into the
// window): a full frame at the size the surface has already reuses it, cleared.
TEST_F(GDIRendererTest, AFullFrameOfAnOffscreenContextAtItsOwnSizeStartsTransparent) {
  const QZ::RectT<int32_t> whole{0, 0, 40, 30};
  const auto offscreen = NewContext(whole, true);
  const auto bitmap = PaintedBitmap(4, 4, [](int32_t x, int32_t) { return x < 2 ? kGreen : 0x80FFFFFFu; });
  const auto blue = [&](const QZ::RectT<int32_t>& rect) { renderer->FillRect(rect, Color(kBlue), true); };
  struct Case {
    const char* what;
    std::function<void()> draw;
    uint32_t at0, at7, at39; // the pixels (0, 0), (7, 7) and (39, 29) after the frame
  };
  const Case cases[] = {
      {"an opaque fill over everything", [&] { blue(whole); }, kBlue, kBlue, kBlue},
      {"an opaque fill over a part",
       [&] {
         blue({0, 0, 20, 30});
       },
       kBlue, kBlue, 0},
      {"a translucent fill over everything", [&] { renderer->FillRect(whole, Color(0x80FFFFFF), true); }, 0x80FFFFFF,
       0x80FFFFFF, 0x80FFFFFF},
      {"an opaque fill cut by the clip",
       [&] {
         QZ::CAutoClip clip(renderer, {0, 0, 40, 30}, {0, 0, 39, 30}, nullptr);
         blue(whole);
       },
       kBlue, kBlue, 0},
      {"a bitmap over a part",
       [&] {
         renderer->DrawBitmap(bitmap, {0, 0, 8, 8}, QZ::ResizeType::Tile);
       },
       kGreen, 0x80FFFFFF, 0},
      {"nothing", [] {}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Start(offscreen);
    EXPECT_EQ(renderer->FillRect(whole, Color(kRed), true), QZ::QZ_OK);
    Finish(offscreen);
    offscreen->SetBounds(whole);
    Start(offscreen);
    c.draw();
    Finish(offscreen);
    Start();
    EXPECT_EQ(renderer->DrawRenderContext(offscreen, {0, 0}, whole), QZ::QZ_OK);
    Finish();
    EXPECT_EQ(At(0, 0), c.at0);
    EXPECT_EQ(At(7, 7), c.at7);
    EXPECT_EQ(At(39, 29), c.at39) << "nothing of the previous frame shows";
  }
}

TEST_F(GDIRendererTest, DrawingWhollyOutsideTheClipChangesNothingButAStrokeReachingInIsDrawn) {
  const auto bitmap = Pattern();
  const auto unknown = static_cast<QZ::ResizeType>(3);
  Start();
  {
    QZ::CAutoClip clip(renderer, {0, 0, 40, 30}, {10, 10, 20, 10}, nullptr);
    EXPECT_EQ(renderer->DrawBitmap(bitmap, {0, 0, 8, 8}, unknown), QZ::QZ_OK) << "never fitted: nothing thrown";
    EXPECT_EQ(renderer->FillRect({31, 10, 5, 5}, Color(kRed), true), QZ::QZ_OK);
    EXPECT_EQ(renderer->DrawRect({10, 21, 10, 5}, Color(kRed), 1.0f), QZ::QZ_OK);
    EXPECT_EQ(renderer->DrawLine({12.0, 2.0}, {12.0, 8.0}, Color(kRed), 1.0f), QZ::QZ_OK);
    // A wide stroke whose centre line is outside still paints inside the clip.
    EXPECT_EQ(renderer->DrawLine({8.0, 12.0}, {8.0, 18.0}, Color(kGreen), 7.0f), QZ::QZ_OK);
    EXPECT_EQ(renderer->DrawLine({std::nan(""), 0.0}, {1.0, 1.0}, Color(kGreen), 1.0f), QZ::QZ_OK);
  }
  Finish();
  EXPECT_EQ(renderer->GetCachedBitmapBytes(), 0u);
  EXPECT_EQ(At(10, 15), kGreen);
  EXPECT_EQ(At(11, 15), kGreen);
  for (const auto& [x, y] : {std::pair{12, 12}, std::pair{29, 19}, std::pair{12, 9}, std::pair{30, 12}}) {
    EXPECT_EQ(At(x, y), 0u) << x << "," << y;
  }
}

TEST_F(GDIRendererTest, ABitmapAtItsOwnSizeIsBlittedFromItsOwnPixelsAndOnlyFittedOnesAreCached) {
  const auto bitmap = Pattern();
  Start();
  EXPECT_EQ(renderer->DrawBitmap(bitmap, {1, 1, 10, 10}, QZ::ResizeType::Tile), QZ::QZ_OK);
  Finish();
  EXPECT_EQ(At(1, 1), kBlack);
  EXPECT_EQ(At(3, 3), kRed);
  EXPECT_EQ(renderer->GetCachedBitmapBytes(), 0u) << "no copy at its own size";
  {
    QZ::RCPtr<QZ::LBitmapData> pixels(new QZ::LBitmapData(bitmap, QZ::Platform::Graphics::LockMode::Write));
    *pixels->GetPixelAddress(2, 2) = kWhite;
  }
  Start();
  EXPECT_EQ(renderer->DrawBitmap(bitmap, {1, 1, 10, 10}, QZ::ResizeType::Stretch), QZ::QZ_OK);
  EXPECT_EQ(renderer->DrawBitmap(bitmap, {20, 0, 20, 20}, QZ::ResizeType::Stretch), QZ::QZ_OK);
  Finish();
  EXPECT_EQ(At(3, 3), kWhite) << "the change shows at once";
  EXPECT_EQ(renderer->GetCachedBitmapBytes(), 20u * 20u * 4u) << "the fitted one is kept";
}

TEST_F(GDIRendererTest, SeveralRectanglesWhoseDrawingsEachKeepToOneAreDrawnStraightIntoTheWindow) {
  MakeWindow(40, 30, kGreen);
  Gdi(context).SetEachDrawingInOneRect(true);
  Start({{2, 2, 5, 5}, {30, 20, 40, 30}});
  for (const QZ::RectT<double> rect : {QZ::RectT<double>{2, 2, 3, 3}, QZ::RectT<double>{30, 20, 10, 10}}) {
    QZ::CAutoClip clip(renderer, {0, 0, 40, 30}, rect, nullptr);
    EXPECT_EQ(renderer->FillRect({0, 0, 40, 30}, Color(kRed), true), QZ::QZ_OK);
  }
  // A drawing that breaks the promise is cut to the first rectangle it meets: nothing
  // outside the region changes.
  EXPECT_EQ(renderer->FillRect({0, 0, 40, 30}, Color(kBlue), true), QZ::QZ_OK);
  // A fill that ignores the clip is cut to each rectangle.
  EXPECT_EQ(renderer->FillRect({30, 0, 10, 25}, Color(kWhite), false), QZ::QZ_OK);
  Finish();
  EXPECT_EQ(At(3, 3) == kBlue, At(35, 27) == kRed) << "blue in one rectangle, red in the other";
  EXPECT_EQ(At(3, 3) == kRed, At(35, 27) == kBlue);
  EXPECT_EQ(At(35, 22), kWhite);
  EXPECT_EQ(At(10, 10), kGreen) << "between the rectangles";
  EXPECT_EQ(At(35, 10), kGreen);
  EXPECT_EQ(Gdi(context).MemoryBytes(), 0u) << "no surface of the window's size";
}

TEST_F(GDIRendererTest, AWindowContextHoldsOnlyTheSurfaceItsFramesDrawInto) {
  EXPECT_EQ(Gdi(context).MemoryBytes(), 0u) << "nothing drawn yet";
  for (int frame = 0; frame < 3; ++frame) {
    Start(frame == 1 ? std::vector<QZ::EdgeRect>{{0, 0, 5, 5}} : std::vector<QZ::EdgeRect>{});
    EXPECT_EQ(renderer->FillRect({0, 0, 40, 30}, Color(0x80FF0000), true), QZ::QZ_OK);
    Finish();
  }
  EXPECT_EQ(Gdi(context).MemoryBytes(), 0u) << "frames of one rectangle draw straight into the window's pixels";
  Start({{0, 0, 5, 5}, {10, 10, 15, 15}});
  EXPECT_EQ(renderer->FillRect({0, 0, 40, 30}, Color(0x80FF0000), true), QZ::QZ_OK);
  Finish();
  EXPECT_EQ(Gdi(context).MemoryBytes(), 40u * 30u * 4u) << "several: one premultiplied surface, no back surface";
  const auto offscreen = NewContext({0, 0, 10, 10}, true);
  Start(offscreen);
  EXPECT_EQ(renderer->FillRect({0, 0, 10, 10}, Color(kRed), true), QZ::QZ_OK);
  Finish(offscreen);
  EXPECT_EQ(renderer->PresentRenderContext(offscreen, {0, 0}), QZ::QZ_OK);
  EXPECT_EQ(Gdi(offscreen).MemoryBytes(), 2u * 10u * 10u * 4u) << "an offscreen context presents into its other";
}

} // namespace

namespace {

using namespace QZTest;

TEST_F(GDIRendererTest, ABitmapOfOneOpaqueColourFittedIsFilledAndTakesNoCopy) {
  const auto grey = PaintedBitmap(4, 4, [](int32_t, int32_t) { return 0xFF808080u; });
  const auto translucent = PaintedBitmap(4, 4, [](int32_t, int32_t) { return 0x80808080u; });
  Start();
  {
    // Half a pixel of translation: the fill lands where the blit would, on whole pixels.
    QZ::CAutoClip moved(renderer, {0.5, 0.5, 40, 30}, {0, 0, 40, 30}, nullptr, false);
    EXPECT_EQ(renderer->DrawBitmap(grey, {2, 2, 20, 10}, QZ::ResizeType::Stretch), QZ::QZ_OK);
    EXPECT_EQ(renderer->DrawBitmap(grey, {24, 2, 10, 10}, QZ::ResizeType::Tile), QZ::QZ_OK);
    EXPECT_EQ(renderer->DrawBitmap(translucent, {2, 14, 8, 8}, QZ::ResizeType::Stretch), QZ::QZ_OK);
  }
  Finish();
  EXPECT_EQ(renderer->GetCachedBitmapBytes(), 8u * 8u * 4u) << "only the translucent one is copied";
  // The corners at (2.5, 2.5) and (24.5, 2.5) rounded up, as a blit rounds them.
  for (const auto& [x, y] : {std::pair{3, 3}, std::pair{22, 12}, std::pair{25, 3}, std::pair{34, 12}}) {
    EXPECT_EQ(At(x, y), 0xFF808080u) << x << "," << y;
  }
  for (const auto& [x, y] :
       {std::pair{2, 3}, std::pair{3, 2}, std::pair{23, 3}, std::pair{24, 12}, std::pair{35, 12}}) {
    EXPECT_EQ(At(x, y), 0u) << x << "," << y;
  }
  EXPECT_EQ(At(4, 16), 0x80808080u);
}

TEST_F(GDIRendererTest, BitmapsAtWholePixelsKeepToTheClipAndToTheLentRectangleTheyMeet) {
  MakeWindow(40, 30, kGreen);
  Gdi(context).SetEachDrawingInOneRect(true);
  // Cuts of one sheet: the left half the pattern, the right half one opaque colour.
  const auto sheet = PaintedBitmap(20, 10, [](int32_t x, int32_t y) { return x < 10 ? PatternPixel(x, y) : kBlue; });
  const auto pattern = sheet->CreateSubBitmap(0, 0, 10, 10);
  const auto blue = sheet->CreateSubBitmap(10, 0, 10, 10);
  Start({{2, 2, 20, 15}, {25, 5, 40, 30}});
  {
    // The window pixels (4, 3) to (12, 9): the blit at (2, 1) is cut on every side.
    QZ::CAutoClip clip(renderer, {4, 3, 30, 20}, {0, 0, 12, 9}, nullptr);
    EXPECT_EQ(renderer->DrawBitmap(pattern, {-2, -2, 10, 10}, QZ::ResizeType::Stretch), QZ::QZ_OK);
  }
  {
    QZ::CAutoClip clip(renderer, {26, 6, 14, 14}, {26, 6, 14, 14}, nullptr);
    EXPECT_EQ(renderer->DrawBitmap(pattern, {0, 0, 12, 12}, QZ::ResizeType::Tile), QZ::QZ_OK);
    EXPECT_EQ(renderer->DrawBitmap(blue, {0, 12, 14, 4}, QZ::ResizeType::Tile), QZ::QZ_OK);
  }
  // A frame of another context in between leaves this one's rectangles as they were.
  const auto offscreen = NewContext({0, 0, 10, 10}, true);
  Start(offscreen);
  EXPECT_EQ(renderer->FillRect({0, 0, 10, 10}, Color(kRed), true), QZ::QZ_OK);
  Finish(offscreen);
  {
    QZ::CAutoClip clip(renderer, {25, 22, 15, 8}, {25, 22, 15, 8}, nullptr);
    EXPECT_EQ(renderer->DrawBitmap(PaintedBitmap(15, 8, [](int32_t, int32_t) { return kWhite; }), {0, 0, 15, 8},
                                   QZ::ResizeType::Stretch),
              QZ::QZ_OK);
  }
  Finish();
  EXPECT_EQ(At(4, 3), PatternPixel(2, 2));
  EXPECT_EQ(At(11, 8), PatternPixel(9, 7));
  for (const auto& [x, y] : {std::pair{3, 3}, std::pair{12, 8}, std::pair{11, 9}, std::pair{4, 2}}) {
    EXPECT_EQ(At(x, y), kGreen) << x << "," << y;
  }
  EXPECT_EQ(At(26, 6), PatternPixel(0, 0));
  EXPECT_EQ(At(37, 17), PatternPixel(1, 1)) << "tiled";
  EXPECT_EQ(At(30, 19), kBlue);
  EXPECT_EQ(At(30, 20), kGreen) << "below the clip";
  EXPECT_EQ(At(30, 25), kWhite);
  EXPECT_EQ(At(22, 25), kGreen) << "between the rectangles";
}

} // namespace

namespace {

using namespace QZTest;
using QZ::EdgeRect;

// Frames drawn straight into the window's pixels (the update region lent to the renderer):
// whatever a frame draws, the window keeps what it showed outside that region.
class GDIRendererLentFrameTest : public GDIRendererTest {
protected:
  // A green window whose frames of several rectangles are lent too, as a window's are.
  void MakeLentWindow() {
    MakeWindow(40, 30, kGreen);
    Gdi(context).SetEachDrawingInOneRect(true);
  }

  // Every pixel that differs from `expected(x, y)`, at most a few, as "x,y: shown expected".
  template <class F>
  std::string Differences(F expected) const {
    const auto shown = Window();
    std::string differences;
    int count = 0;
    for (int32_t y = 0; y < shown->Height(); ++y) {
      for (int32_t x = 0; x < shown->Width(); ++x) {
        const uint32_t want = expected(x, y);
        const uint32_t got = PixelOf(*shown, x, y);
        if (got != want && ++count <= 4) {
          differences += std::to_string(x) + "," + std::to_string(y) + ": " + Hex(got) + " for " + Hex(want) + "; ";
        }
      }
    }
    return count > 4 ? differences + std::to_string(count - 4) + " more" : differences;
  }

  static bool Inside(const std::vector<EdgeRect>& rects, int32_t x, int32_t y) {
    return std::any_of(rects.begin(), rects.end(),
                       [&](const EdgeRect& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; });
  }
  static bool Inside(const QZ::RectT<int32_t>& r, int32_t x, int32_t y) {
    return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
  }

private:
  static std::string Hex(uint32_t argb) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", argb);
    return text;
  }
};

// A clear ignores the clip, but not the region: it changes the pixels its rectangle shares
// with the region's rectangles and no other, below a rectangle's bottom edge as beside it.
TEST_F(GDIRendererLentFrameTest, AClearChangesOnlyThePixelsItSharesWithTheUpdateRegion) {
  const QZ::RectT<int32_t> whole{0, 0, 40, 30};
  const std::vector<EdgeRect> one{{2, 2, 10, 10}};
  const std::vector<EdgeRect> two{{2, 2, 10, 10}, {20, 4, 30, 12}};
  const std::vector<EdgeRect> three{{2, 2, 10, 10}, {20, 4, 30, 12}, {5, 20, 35, 26}};
  const struct {
    const char* what;
    std::vector<EdgeRect> region;
    QZ::RectT<int32_t> clear;
  } cases[] = {
      {"past the bottom and the right of one rectangle", one, {4, 4, 20, 20}},
      {"past the bottom of one rectangle only", one, {4, 6, 4, 20}},
      {"the whole window, one rectangle", one, whole},
      {"of zero size", one, {5, 5, 0, 0}},
      {"of zero height", one, {0, 6, 40, 0}},
      {"past the bottoms of two rectangles", two, {0, 6, 40, 10}},
      {"the whole window, two rectangles", two, whole},
      {"past two bottoms and ending inside the third", three, {0, 8, 40, 14}},
      {"the whole window, three rectangles", three, whole},
      {"the whole window, one rectangle beside one of zero height", {{2, 2, 10, 10}, {0, 15, 40, 15}}, whole},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MakeLentWindow();
    Start(c.region);
    EXPECT_EQ(renderer->FillRect(c.clear, Color(kBlue), false), QZ::QZ_OK);
    Finish();
    EXPECT_EQ(Differences([&](int32_t x, int32_t y) {
                return Inside(c.region, x, y) && Inside(c.clear, x, y) ? kBlue : kGreen;
              }),
              "");
    EXPECT_EQ(Gdi(context).MemoryBytes(), 0u) << "drawn straight into the window";
  }
}

// The painting walk clips a control between the update rectangles to its own rectangle:
// fills and bitmaps there, at whole pixels or not, change nothing; nor do they under the
// window's clip.
TEST_F(GDIRendererLentFrameTest, DrawingApartFromEveryUpdateRectangleChangesNothing) {
  const QZ::RectT<int32_t> between{14, 11, 10, 8};
  const auto ownSize = PaintedBitmap(10, 8, PatternPixel);
  const auto pattern = Pattern();
  const auto solid = PaintedBitmap(4, 4, [](int32_t, int32_t) { return kBlue; });
  const std::vector<std::pair<const char*, std::function<void(const QZ::RectT<int32_t>&)>>> drawings{
      {"an opaque fill", [&](const auto& at) { renderer->FillRect(at, Color(kRed), true); }},
      {"a translucent fill", [&](const auto& at) { renderer->FillRect(at, Color(0x80FF0000), true); }},
      {"a bitmap at its own size", [&](const auto& at) { renderer->DrawBitmap(ownSize, at, QZ::ResizeType::Tile); }},
      {"a fitted bitmap", [&](const auto& at) { renderer->DrawBitmap(pattern, at, QZ::ResizeType::Stretch); }},
      {"a bitmap of one colour", [&](const auto& at) { renderer->DrawBitmap(solid, at, QZ::ResizeType::Stretch); }},
      // In the surface's pixels, whatever the origin.
      {"a clear", [&](const auto&) { renderer->FillRect(between, Color(kRed), false); }},
  };
  const std::vector<std::vector<EdgeRect>> regions{
      {{2, 2, 10, 10}},
      {{2, 2, 10, 10}, {30, 20, 40, 30}},
      {{2, 2, 10, 10}, {30, 20, 40, 30}, {2, 20, 10, 28}},
  };
  for (const auto& region : regions) {
    for (const auto& [what, draw] : drawings) {
      SCOPED_TRACE(std::string(what) + " with " + std::to_string(region.size()) + " rectangles");
      MakeLentWindow();
      Start(region);
      {
        // As a control there is painted: its own origin and clip.
        QZ::CAutoClip control(renderer, between.ToDouble(), between.ToDouble(), nullptr);
        draw({0, 0, between.width, between.height});
      }
      {
        QZ::CAutoClip offGrid(renderer, {14.5, 11.5, 10, 8}, {14.5, 11.5, 10, 8}, nullptr);
        draw({0, 0, between.width, between.height});
      }
      draw(between); // under the window's clip
      Finish();
      EXPECT_EQ(Differences([](int32_t, int32_t) { return kGreen; }), "");
    }
  }
}

} // namespace
