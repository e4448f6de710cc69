// The global settings page above the chord page in its custom mode, painted by the
// application's renderer from the kit's skin with values shown, against their reference
// image.
#include <gtest/gtest.h>

#include "EditPageKit.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "QZFramework/Utilities/Graphics/Font.h"
#include "Support/ImageCompare.h"

namespace EditPages {
namespace {

std::string PagesTree() {
  return Xml::Control(
      "PresetEditor.MainControl", "mainControl", {0, 0, 800, 360},
      Xml::Control("Test.Device", "viewDevice", {0, 0, 800, 360},
                   GlobalPage("globalPage", {0, 0, 800, 170}) + ChordPage("chordPage", {0, 180, 600, 180})));
}

class EditPagesPixelsTest : public ::testing::Test {
protected:
  EditPagesPixelsTest() {
    QZ::LFont::SetMeasurementRendererSource(
        [renderer = mRenderer] { return RCPtr<QZ::LMeasurementRenderer>(renderer); });
  }
  ~EditPagesPixelsTest() override { QZ::LFont::SetMeasurementRendererSource({}); }

  // Paints top (at the window's origin) into a new frame of its size; the frame's image.
  QZ::Platform::Graphics::Image& Paint(const RCPtr<QZ::LControl>& top) {
    const QZ::RectT<double>& rect = top->GetRect();
    const QZ::RectT<int32_t> area{0, 0, QZ::RoundToInt32(rect.width), QZ::RoundToInt32(rect.height)};
    EXPECT_EQ(mRenderer->InitRenderContextInfo(area, nullptr, true, mContext), QZ::QZ_OK);
    mContext->GetUpdateRegion().AddRect({0, 0, area.width, area.height});
    (void)mRenderer->RenderStart(mContext); // 0 or throws
    QZ::RCPtrArray<QZ::LControl, 1, 0> deferred;
    {
      const QZ::RectT<double> frame{0, 0, rect.width, rect.height};
      QZ::CAutoClip window(mRenderer, frame, frame, nullptr);
      EXPECT_EQ(top->Paint(mRenderer, mContext->GetUpdateRegion(), deferred, false), QZ::QZ_OK);
    }
    (void)mRenderer->RenderFinish(mContext); // 0 or throws
    return *dynamic_cast<QZ::LGDIRenderContextInfo&>(*mContext).GetCurrentSurface()->GetImage();
  }

  const RCPtr<QZ::LGDIRenderer> mRenderer{new QZ::LGDIRenderer};
  RCPtr<QZ::LRenderContextInfo> mContext;
};

TEST_F(EditPagesPixelsTest, GlobalPageAboveTheCustomChordPage) {
  PageKit kit(PagesTree(), u"mainControl", QZ::kDeviceModel49Keys, 800, 360);
  kit.application.measurer = RCPtr<QZ::LMeasurementRenderer>(mRenderer);
  const auto global = kit.Find<LGlobalPresetEditPanel>("viewDevice/globalPage");
  const auto chord = kit.Find<LUserPresetChordEditPanel>("viewDevice/chordPage");
  ASSERT_TRUE(global && chord);
  (void)kit.Find("viewDevice/globalPage/label")->SetText(QZ::WString(u"GLOBAL SETTINGS"));
  global->SetFirstParamID(nullptr, 140, 0);
  chord->SetFirstParamID(nullptr, 129, 0);
  const std::pair<uint32_t, Variant> values[] = {{132, Bytes({48})}, {133, Bytes({52})}, {134, Bytes({55})},
                                                 {135, Bytes({0})},  {136, Bytes({0})},  {137, Bytes({72})}};
  for (const auto& [id, value] : values) {
    kit.Hold(id, value);
  }
  kit.Subscribe();
  const std::pair<uint32_t, Variant> shown[] = {{140, Bytes({10})}, {141, Bytes({5})}, {142, Bytes({1})},
                                                {143, Bytes({2})},  {144, Bytes({2})}, {130, Bytes({2})}};
  for (const auto& [id, value] : shown) {
    LParameterizedModule* module = id < 140 ? static_cast<LParameterizedModule*>(chord.Get()) : global.Get();
    EXPECT_EQ(module->SetParamValueLocal(QZ::ParamDescriptor(id), value, true), QZ::QZ_OK);
  }
  kit.PumpIdle();
  EXPECT_TRUE(QZTest::ImagesMatch(Paint(kit.Top()), QZTest::ReferenceImage("GlobalAndChordPages.png"), 24,
                                  ::testing::TempDir() + "EditorActualImages"));
}

} // namespace
} // namespace EditPages
