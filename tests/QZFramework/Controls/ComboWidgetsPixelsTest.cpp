// The combo slider and the checked combo box painted open by the application's renderer,
// their floating parts after them as the root window paints them, and read back.

#include <gtest/gtest.h>

#include "ListBoxTestSupport.h"
#include "QZFramework/Controls/CheckedComboBox.h"
#include "QZFramework/Controls/ComboSlider.h"
#include "QZFramework/Controls/Slider.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "QZFramework/Utilities/Graphics/Font.h"
#include "Support/FontconfigInit.h"

namespace QZ {
namespace {

namespace Gfx = Platform::Graphics;

void RegisterComboWidgets(LControlFactory& factory) {
  factory.RegisterControlCreateFunction(u"Framework.ComboSlider", &CreateControlOf<LComboSlider>);
  factory.RegisterControlCreateFunction(u"Framework.ComboSlider.DropDownPanel", &CreateControlOf<LPanel>);
  factory.RegisterControlCreateFunction(u"Framework.Slider", &CreateControlOf<LSlider>);
  factory.RegisterControlCreateFunction(u"Test.Part", &CreateControlOf<LControl>);
  factory.RegisterControlCreateFunction(u"Framework.CheckedComboBox", &CreateControlOf<LCheckedComboBox>);
  factory.RegisterControlCreateFunction(u"Framework.ComboBoxWithIcons", &CreateControlOf<LCheckedComboBox>);
}

class ComboWidgetsPixelsTest : public ::testing::Test {
protected:
  explicit ComboWidgetsPixelsTest(const char* skinFile = "ComboSlider.xml")
      : mSkin(skinFile, {}, RegisterComboWidgets) {
    // Text measured and drawn by the renderer that paints, in the application's usual font.
    LFont::SetMeasurementRendererSource([renderer = mRenderer] { return RCPtr<LMeasurementRenderer>(renderer); });
    mSkin.application.measurer = RCPtr<LMeasurementRenderer>(mRenderer);
    mSkin.application.fontFace = u"Liberation Sans";
    mSkin.application.fontSize = 9.0f;
  }
  ~ComboWidgetsPixelsTest() override { LFont::SetMeasurementRendererSource({}); }

  // Paints the host, then its floating controls from their parents' content origins; the
  // frame's image.
  Gfx::Image& PaintHost() {
    const RectT<double>& rect = mSkin.top->GetRect();
    const RectT<int32_t> area{0, 0, RoundToInt32(rect.width), RoundToInt32(rect.height)};
    EXPECT_EQ(mRenderer->InitRenderContextInfo(area, nullptr, true, mContext), QZ_OK);
    mContext->GetUpdateRegion().AddRect({0, 0, area.width, area.height});
    mRenderer->RenderStart(mContext);
    RCPtrArray<LControl, 1, 0> deferred;
    {
      const RectT<double> frame{0, 0, rect.width, rect.height};
      CAutoClip window(mRenderer, frame, frame, nullptr);
      EXPECT_EQ(mSkin.top->Paint(mRenderer, mContext->GetUpdateRegion(), deferred, false), QZ_OK);
      for (uint32_t i = 0; i < deferred.GetCount(); ++i) {
        const RCPtr<LControl>& floating = deferred.GetAt(i);
        ClipDescriptor offset;
        offset.flavor = ClipFlavorOffset;
        offset.offset = floating->GetWindowPosition() - PointT<double>{floating->GetRect().x, floating->GetRect().y};
        CAutoClip shifted(mRenderer, offset);
        RCPtrArray<LControl, 1, 0> nested;
        EXPECT_EQ(floating->Paint(mRenderer, mContext->GetUpdateRegion(), nested, true), QZ_OK);
      }
    }
    mRenderer->RenderFinish(mContext);
    return *dynamic_cast<LGDIRenderContextInfo&>(*mContext).GetCurrentSurface()->GetImage();
  }

  const RCPtr<LGDIRenderer> mRenderer{new LGDIRenderer};
  QZTest::ListSkin mSkin;
  RCPtr<LRenderContextInfo> mContext;
};

// Open at 64: the box shows "64", its panel below it the thumb at 64 pixels of 127.
TEST_F(ComboWidgetsPixelsTest, AnOpenComboSliderShowsItsValueAndTheThumbInItsPanel) {
  mSkin.window->clientRect = {0, 0, 400, 200};
  const RCPtr<LComboSlider> combo = mSkin.Create<LComboSlider>(u"comboSliderHost", u"combo");
  ASSERT_TRUE(combo);
  combo->SetValue(combo->ValueToNormalized(64));
  ASSERT_EQ(combo->ShowDropDown(true), QZ_OK);
  EXPECT_TRUE(
      QZTest::ImagesMatch(PaintHost(), QZTest::ReferenceImage("ComboSliderOpen.png"), 2, QZ_WIDGET_TEST_OUTPUT));
}

class CheckedComboPixelsTest : public ComboWidgetsPixelsTest {
protected:
  CheckedComboPixelsTest() : ComboWidgetsPixelsTest("CheckedCombo.xml") {}
};

// Open with "Two" selected and "One" and "Two" checked: the closed box's look of a checked
// list, its own box filled; the list's boxes show the checks.
TEST_F(CheckedComboPixelsTest, AnOpenCheckedComboShowsTheChecksInItsListAndOnItsBox) {
  mSkin.window->clientRect = {0, 0, 400, 300};
  const RCPtr<LCheckedComboBox> combo = mSkin.Create<LCheckedComboBox>(u"checkedComboHost", u"checked");
  ASSERT_TRUE(combo);
  for (const char16_t* text : {u"Zero", u"One", u"Two", u"Three"}) {
    ASSERT_GE(combo->AddItem(text), 0);
  }
  combo->GetCheckedList()->SetItemChecked(1, true);
  combo->GetCheckedList()->SetItemChecked(2, true);
  ASSERT_EQ(combo->SelectItem(2), 2);
  ASSERT_EQ(combo->ShowDropDown(true), QZ_OK);
  combo->GetLookIndex();
  EXPECT_TRUE(
      QZTest::ImagesMatch(PaintHost(), QZTest::ReferenceImage("CheckedComboOpen.png"), 2, QZ_WIDGET_TEST_OUTPUT));
}

} // namespace
} // namespace QZ
