// The user preset page of the test skin painted by the application's renderer after knob 3
// was clicked (its button in the accent colour, the knob page shown with its values), for
// the 25-key model (one fader, one button), against its reference image.
#include <gtest/gtest.h>

#include "PagePainter.h"
#include "UserPresetKit.h"

namespace UserPresets {
namespace {

class UserPresetPagePixelsTest : public QZTest::PagePainter {};

TEST_F(UserPresetPagePixelsTest, Knob3SelectedOnThe25KeyModel) {
  UserPresetKit kit(TestPictureSkin(), QZ::kDeviceModel25Keys, false);
  kit.application.measurer = RCPtr<QZ::LMeasurementRenderer>(renderer);
  kit.Build();
  kit.Click(kit.Picture("knobGroup/knob3/button"));
  kit.PumpIdle();
  EXPECT_TRUE(QZTest::ImagesMatch(Paint(kit.Top()), QZTest::ReferenceImage("UserPresetPageKnob3.png"), 24,
                                  ::testing::TempDir() + "EditorActualImages"));
}

} // namespace
} // namespace UserPresets
