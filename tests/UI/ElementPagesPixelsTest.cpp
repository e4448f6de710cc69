// The knob and pad pages beside a knob, a pad and a fader of the picture, painted by the
// application's renderer from the kit's skin with values shown, against their reference image.
#include <gtest/gtest.h>

#include "ElementPageKit.h"
#include "PagePainter.h"

namespace Elements {
namespace {

std::string PagesAndViews() {
  return Tree(KnobPage("knobPage", {0, 0, 440, 90}) + PadPage("padPage", {0, 95, 440, 90}) +
                  View("PresetEditor.UserKnob", "knob3", {460, 0, 100, 120}) +
                  View("PresetEditor.UserPad", "pad9", {570, 0, 100, 120}) +
                  View("PresetEditor.UserSlider", "fader9", {680, 0, 100, 120}),
              800, 190);
}

class ElementPagesPixelsTest : public QZTest::PagePainter {};

TEST_F(ElementPagesPixelsTest, KnobAndPadPagesBesideTheirViews) {
  ElementKit kit(PagesAndViews(), 800, 190);
  kit.application.measurer = RCPtr<QZ::LMeasurementRenderer>(renderer);
  const auto knobPage = kit.Find<LKnobEditPanel>("viewDevice/knobPage");
  const auto padPage = kit.Find<LPadEditPanel>("viewDevice/padPage");
  const auto knob = kit.Find<LKnobViewPanel>("viewDevice/knob3");
  const auto pad = kit.Find<LPadViewPanel>("viewDevice/pad9");
  const auto fader = kit.Find<LKnobViewPanel>("viewDevice/fader9");
  ASSERT_TRUE(knobPage && padPage && knob && pad && fader);
  knobPage->SetFirstParamID(nullptr, 32, 2);
  knob->SetFirstParamID(nullptr, 32, 2);
  padPage->SetFirstParamID(nullptr, 105, 8);
  pad->SetFirstParamID(nullptr, 105, 8);
  fader->SetFirstParamID(nullptr, 26, 8);
  const std::pair<uint32_t, Variant> values[] = {{32, Bytes({5})},   {33, Bytes({74})}, {105, Bytes({0})},
                                                 {106, Bytes({40})}, {26, Bytes({16})}, {27, Bytes({7})}};
  for (const auto& [id, value] : values) {
    kit.Hold(id, value);
    for (LParameterizedModule* module :
         {static_cast<LParameterizedModule*>(knobPage.Get()), static_cast<LParameterizedModule*>(padPage.Get()),
          static_cast<LParameterizedModule*>(knob.Get()), static_cast<LParameterizedModule*>(pad.Get()),
          static_cast<LParameterizedModule*>(fader.Get())}) {
      if (id - module->GetFirstParamID() < module->GetParamCount()) {
        module->SetParamValueLocal(QZ::ParamDescriptor(id), value, true); // E_FAIL for a pad's note
      }
    }
  }
  kit.PumpIdle();
  EXPECT_TRUE(QZTest::ImagesMatch(Paint(kit.Top()), QZTest::ReferenceImage("KnobAndPadPagesAndViews.png"), 24,
                                  ::testing::TempDir() + "EditorActualImages"));
}

} // namespace
} // namespace Elements
