// The widgets painted by the application's renderer from the test skin and read back.

#include <gtest/gtest.h>

#include "QZFramework/Controls/WidgetTestSupport.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "QZFramework/Utilities/Graphics/Font.h"
#include "Support/FontconfigInit.h"
#include "Support/ImageCompare.h"

namespace QZ {
namespace {

namespace Gfx = Platform::Graphics;

constexpr uint32_t kWindow = 0xFFF0F0F0;
constexpr uint32_t kTrough = 0xFFD0D4DA;
constexpr uint32_t kBar = 0xFF2F7FD8;
constexpr uint32_t kInk = 0xFF101418;
constexpr uint32_t kLight = 0xFFE03030;

// The harness with text measured by the renderer that paints.
class WidgetPixelsTest : public ::testing::Test {
protected:
  WidgetPixelsTest() {
    LFont::SetMeasurementRendererSource([renderer = mRenderer] { return RCPtr<LMeasurementRenderer>(renderer); });
    mHarness.application.measurer = RCPtr<LMeasurementRenderer>(mRenderer);
  }
  ~WidgetPixelsTest() override { LFont::SetMeasurementRendererSource({}); }

  // Paints top (at the window's origin) into a new frame of its size; the frame's image.
  Gfx::Image& Paint(const RCPtr<LControl>& top) {
    const RectT<double>& rect = top->GetRect();
    const RectT<int32_t> area{0, 0, RoundToInt32(rect.width), RoundToInt32(rect.height)};
    EXPECT_EQ(mRenderer->InitRenderContextInfo(area, nullptr, true, mContext), QZ_OK);
    mContext->GetUpdateRegion().AddRect({0, 0, area.width, area.height});
    mRenderer->RenderStart(mContext);
    RCPtrArray<LControl, 1, 0> deferred;
    {
      const RectT<double> frame{0, 0, rect.width, rect.height};
      CAutoClip window(mRenderer, frame, frame, nullptr);
      EXPECT_EQ(top->Paint(mRenderer, mContext->GetUpdateRegion(), deferred, false), QZ_OK);
    }
    EXPECT_EQ(deferred.GetCount(), 0u);
    mRenderer->RenderFinish(mContext);
    return *dynamic_cast<LGDIRenderContextInfo&>(*mContext).GetCurrentSurface()->GetImage();
  }

  static uint32_t PixelAt(Gfx::Image& image, int x, int y) {
    Gfx::Color color;
    (void)image.GetPixel(x, y, color); // inside the image
    return color.argb;
  }

  const RCPtr<LGDIRenderer> mRenderer{new LGDIRenderer};
  QZTest::WidgetHarness mHarness;
  RCPtr<LRenderContextInfo> mContext;
};

// The 200 x 40 progress bar at one half: a bar 100 pixels wide over the trough, "50" below
// it, nothing where the time remaining is hidden.
TEST_F(WidgetPixelsTest, AProgressBarHalfDoneShowsAHundredPixelBarAndFifty) {
  const RCPtr<LProgressBar> bar = mHarness.Create<LProgressBar>(u"progress");
  ASSERT_TRUE(bar);
  bar->SetValue(0.5);
  ASSERT_EQ(bar->GetRect(), (RectT<double>{0, 0, 200, 40}));
  Gfx::Image& drawn = Paint(bar);

  EXPECT_EQ(PixelAt(drawn, 0, 8), kBar);
  EXPECT_EQ(PixelAt(drawn, 99, 8), kBar);
  EXPECT_EQ(PixelAt(drawn, 100, 8), kTrough);
  EXPECT_EQ(PixelAt(drawn, 199, 15), kTrough);
  int inked = 0;
  int blank = 0;
  for (int y = 16; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      inked += (PixelAt(drawn, x, y) & 0xFFu) < 0x80u ? 1 : 0;
    }
    for (int x = 40; x < 200; ++x) {
      blank += PixelAt(drawn, x, y) == kWindow ? 1 : 0;
    }
  }
  EXPECT_GT(inked, 10);
  EXPECT_EQ(blank, 160 * 24);
  EXPECT_TRUE(QZTest::ImagesMatch(drawn, QZTest::ReferenceImage("ProgressBarHalf.png"), 2, QZTest::kWidgetOutput));
}

// The 200 x 20 meter at 0.3 with its peak at one half and a new mode: a bar 60 wide, the
// marker at 50, the light on.
TEST_F(WidgetPixelsTest, AMeterShowsItsBarItsMarkerAndItsLight) {
  const RCPtr<LLevelMeter> meter = mHarness.Create<LLevelMeter>(u"meterH");
  ASSERT_TRUE(meter);
  ASSERT_EQ(meter->UpdateLevelParts(0.3, 0.5, 1), QZ_OK);
  Gfx::Image& drawn = Paint(meter);

  EXPECT_EQ(PixelAt(drawn, 0, 15), kBar);
  EXPECT_EQ(PixelAt(drawn, 49, 15), kBar);
  EXPECT_EQ(PixelAt(drawn, 50, 15), kInk);
  EXPECT_EQ(PixelAt(drawn, 51, 15), kInk);
  EXPECT_EQ(PixelAt(drawn, 52, 15), kBar);
  EXPECT_EQ(PixelAt(drawn, 59, 15), kBar);
  EXPECT_EQ(PixelAt(drawn, 60, 15), kTrough);
  EXPECT_EQ(PixelAt(drawn, 100, 15), kTrough); // the far end of the travel is not drawn
  EXPECT_EQ(PixelAt(drawn, 195, 5), kLight);
  EXPECT_TRUE(QZTest::ImagesMatch(drawn, QZTest::ReferenceImage("LevelMeter.png"), 0, QZTest::kWidgetOutput));
}

} // namespace
} // namespace QZ
