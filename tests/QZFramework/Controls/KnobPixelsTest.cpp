#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "QZFramework/Controls/DrawnSkinTestSupport.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "Support/FakeRootWindow.h"

namespace QZ {
namespace {

using QZTest::FakeRootWindow;

// The skin's gallery painted by the GDI renderer offscreen, as the root window paints it:
// the tree, then the controls that leave their parents (the tool tip) from their parents'
// content origins. The picture is written to the build folder for a look.
TEST(KnobPixelsTest, AKnobAtHalfShowsItsMiddleFrame) {
  QZTest::DrawnSkin skin;
  LToolTip::ResetLastVisibleDismissal();
  skin.application.milliseconds = 10000;
  const RCPtr<FakeRootWindow> window(new FakeRootWindow);
  window->clientRect = {0, 0, 320, 120};
  const RCPtr<LControl> gallery = skin.application.factory->CreateControlByName(u"gallery", window);
  ASSERT_TRUE(gallery);
  gallery->PerformLayout();
  ASSERT_EQ(gallery->GetRect(), (RectT<double>{0, 0, 320, 120}));

  const RCPtr<LKnob> knob = DynamicCast<LKnob>(gallery->FindChildByName(u"knob"));
  const RCPtr<LCenteredSlider> slider = DynamicCast<LCenteredSlider>(gallery->FindChildByName(u"slider"));
  const RCPtr<LStatusBar> bar = DynamicCast<LStatusBar>(gallery->FindChildByName(u"statusBar"));
  ASSERT_TRUE(knob && slider && bar);
  EXPECT_EQ(knob->SetValue(0.5), 0.5);
  EXPECT_EQ(knob->GetCurrentLookIndex(), 15);
  slider->SetValueAndPlaceThumb(0.75);
  EXPECT_EQ(bar->SetStatusText(u"Cutoff 64"), QZ_OK);
  window->mousePosition = {40, 40};
  ASSERT_EQ(knob->CreateToolTip(true), QZ_OK);
  skin.application.AdvanceMilliseconds(501);
  window->RaiseIdle();
  const RCPtr<LControl> tip = knob->FindChildByName(u"toolTip");
  ASSERT_TRUE(tip && tip->IsShown(true));

  const RCPtr<LGDIRenderer>& renderer = skin.renderer;
  RCPtr<LRenderContextInfo> context;
  ASSERT_EQ(renderer->InitRenderContextInfo({0, 0, 320, 120}, nullptr, true, context), QZ_OK);
  context->GetUpdateRegion().AddRect({0, 0, 320, 120});
  ASSERT_EQ(renderer->RenderStart(context), QZ_OK);
  RCPtrArray<LControl, 1, 0> deferred;
  {
    CAutoClip whole(renderer, {0, 0, 320, 120}, {0, 0, 320, 120}, nullptr);
    EXPECT_EQ(gallery->Paint(renderer, context->GetUpdateRegion(), deferred, false), QZ_OK);
    ASSERT_EQ(deferred.GetCount(), 1u);
    const RCPtr<LControl>& floating = deferred.GetAt(0);
    EXPECT_EQ(floating, tip);
    const RCPtr<LControl>& parent = floating->GetParent();
    const PointT<double> origin = parent->GetWindowPosition() - parent->GetScrollOffset();
    CAutoClip parentContent(renderer, ClipDescriptor{ClipFlavorOffset, {}, {}, nullptr, 1, origin});
    RCPtrArray<LControl, 1, 0> none;
    EXPECT_EQ(floating->Paint(renderer, context->GetUpdateRegion(), none, true), QZ_OK);
  }
  ASSERT_EQ(renderer->RenderFinish(context), QZ_OK);

  Platform::Graphics::Image& drawn = *dynamic_cast<LGDIRenderContextInfo&>(*context).GetCurrentSurface()->GetImage();
  const std::string folder = QZ_WIDGET_TEST_OUTPUT;
  std::filesystem::create_directories(folder);
  EXPECT_TRUE(QZTest::WritePng(drawn, folder + "/DrawnSkin.png"));

  // The knob's corner, away from its pointer's mark: frame 15's colour.
  const PointT<double> corner = knob->GetWindowPosition() + PointT<double>{3, 3};
  Platform::Graphics::Color pixel;
  ASSERT_EQ(drawn.GetPixel(int(corner.x), int(corner.y), pixel), Platform::Graphics::Status::Ok);
  const Platform::Graphics::Color frame{QZTest::KnobFrameColour(15)};
  EXPECT_LE(std::abs(pixel.R() - frame.R()), 2);
  EXPECT_LE(std::abs(pixel.G() - frame.G()), 2);
  EXPECT_LE(std::abs(pixel.B() - frame.B()), 2);
  EXPECT_EQ(pixel.A(), 255);
  window->InstallRootControl(nullptr);
}

} // namespace
} // namespace QZ
