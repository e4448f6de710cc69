// The button page (in its CC mode), the two wheel pages and the sustain page beside a button
// and the pedal of the picture, painted by the application's renderer from the kit's skin
// with values shown, against their reference image.
#include <gtest/gtest.h>

#include "ButtonWheelSustainKit.h"
#include "PagePainter.h"

namespace Elements {
namespace {

std::string PagesAndViews() {
  return Tree(EditPanel(ButtonPage({0, 0, 800, 90})) + PitchBendPage("pitchBend", {0, 95, 380, 90}) +
                  ButtonView("button3", {400, 95, 100, 90}) + SustainView("sustain1", {520, 95, 60, 60}) +
                  ModWheelPage("modWheel", {0, 190, 640, 90}) + SustainPage("sustainPage", {0, 285, 530, 90}),
              800, 380);
}

class ButtonWheelSustainPixelsTest : public QZTest::PagePainter {};

TEST_F(ButtonWheelSustainPixelsTest, ButtonWheelAndSustainPagesBesideAButtonAndThePedal) {
  ButtonWheelSustainKit kit(PagesAndViews(), 800, 380);
  kit.application.measurer = RCPtr<QZ::LMeasurementRenderer>(renderer);
  const auto button = kit.Find<LCommonButtonEditPanel>("viewDevice/editPanel/button");
  const auto pitchBend = kit.Find<LPitchBendEditPanel>("viewDevice/pitchBend");
  const auto modWheel = kit.Find<LModWheelEditPanel>("viewDevice/modWheel");
  const auto sustain = kit.Find<LSustainEditPanel>("viewDevice/sustainPage");
  const auto buttonView = kit.Find<LCommonButtonViewPanel>("viewDevice/button3");
  const auto pedal = kit.Find<LSustainViewPanel>("viewDevice/sustain1");
  ASSERT_TRUE(button && pitchBend && modWheel && sustain && buttonView && pedal);
  const std::pair<LParameterizedModule*, uint32_t> bindings[] = {{button.Get(), 54},     {pitchBend.Get(), 0},
                                                                 {modWheel.Get(), 3},    {sustain.Get(), 7},
                                                                 {buttonView.Get(), 54}, {pedal.Get(), 7}};
  for (const auto& [module, first] : bindings) {
    module->SetFirstParamID(nullptr, first, first == 54 ? 2 : 0);
  }
  const std::pair<uint32_t, Variant> values[] = {
      {0, Bytes({2})},  {1, Bytes({20})},  {2, Bytes({110})}, {3, Bytes({0})},    {4, Bytes({1})},
      {5, Bytes({10})}, {6, Bytes({120})}, {7, Bytes({16})},  {8, Bytes({64})},   {9, Bytes({1})},
      {54, Bytes({0})}, {55, Bytes({1})},  {56, Bytes({74})}, {57, Bytes({127})}, {58, Bytes({0})}};
  for (const auto& [id, value] : values) {
    kit.Hold(id, value);
    for (const auto& [module, first] : bindings) {
      if (id - module->GetFirstParamID() < module->GetParamCount()) {
        module->SetParamValueLocal(QZ::ParamDescriptor(id), value, true); // the views' results vary
      }
    }
  }
  kit.PumpIdle();
  EXPECT_EQ(QZTest::UiKit::ToolTipOf(pedal), u"Sustain\nChannel: 16\nCC: 64");
  EXPECT_TRUE(QZTest::ImagesMatch(Paint(kit.Top()), QZTest::ReferenceImage("ButtonWheelSustainPagesAndViews.png"), 24,
                                  ::testing::TempDir() + "EditorActualImages"));
}

} // namespace
} // namespace Elements
