// The arpeggiator and scale pages beside the tempo group, painted by the application's
// renderer from the kit's skin with values shown (the latch on, a tempo of three digits),
// against their reference image.
#include <gtest/gtest.h>

#include "ArpClockScalePageKit.h"
#include "PagePainter.h"

namespace ArpClockScale {
namespace {

class ArpClockScalePagesPixelsTest : public QZTest::PagePainter {};

TEST_F(ArpClockScalePagesPixelsTest, ArpAndScalePagesBesideTheTempoGroup) {
  ArpClockScaleKit kit(Tree(ArpPage("arpPage", {0, 0, 660, 60}) + ScalePage("scalePage", {0, 70, 660, 60}) +
                                TempoGroup("clockGroup", {668, 0, 132, 164}),
                            800, 170),
                       800, 170);
  kit.application.measurer = RCPtr<QZ::LMeasurementRenderer>(renderer);
  const auto arp = kit.Find<LArpEditPanel>("viewDevice/arpPage");
  const auto scale = kit.Find<LScaleEditPanel>("viewDevice/scalePage");
  const auto clock = kit.Find<LClockEditPanel>("viewDevice/clockGroup");
  ASSERT_TRUE(arp && scale && clock);
  for (uint32_t id = 121; id <= 128; ++id) {
    kit.Device().Route(id, id < 124 ? "clockGroup" : "arpPage");
  }
  kit.Device().Route(138, "scalePage");
  kit.Device().Route(139, "scalePage");
  clock->SetFirstParamID(nullptr, 121, 0);
  arp->SetFirstParamID(nullptr, 124, 0);
  scale->SetFirstParamID(nullptr, 138, 0);
  const std::pair<uint32_t, Variant> values[] = {
      {121, Bytes({1})}, {122, Bytes({1, 75})}, {123, Bytes({5})}, {124, Bytes({2})}, {125, Bytes({1})},
      {126, Bytes({2})}, {127, Bytes({10})},    {128, Bytes({3})}, {138, Bytes({9})}, {139, Bytes({5})}};
  for (const auto& [id, value] : values) {
    kit.Hold(id, value);
  }
  kit.PumpIdle();
  EXPECT_TRUE(kit.Sent().empty());
  EXPECT_TRUE(QZTest::ImagesMatch(Paint(kit.Top()), QZTest::ReferenceImage("ArpScaleAndTempoPages.png"), 24,
                                  ::testing::TempDir() + "EditorActualImages"));
}

} // namespace
} // namespace ArpClockScale
