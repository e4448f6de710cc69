#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "QZFramework/Controls/DrawnSkinTestSupport.h"
#include "Support/FakeRootWindow.h"

namespace QZ {
namespace {

using QZTest::FakeRootWindow;
using QZTest::TestControl;

constexpr char kNoThumb[] = "Runtime Error : Null Pointer : Thumb Child was not created. : "
                            "QZ::LCenteredSlider::SetBoundsPosFromThumbPos : Controls\\CenteredSlider : Line 67";

std::string ThrownText(const std::function<void()>& call) {
  try {
    call();
  } catch (const std::exception& failure) {
    return failure.what();
  }
  return {};
}

// The skin's centred sliders in a window.
class CenteredSliderTest : public ::testing::Test {
protected:
  QZTest::DrawnSkin skin;
  RCPtr<FakeRootWindow> window{new FakeRootWindow};
  RCPtr<TestControl> top = QZTest::MakeTop();

  void SetUp() override { window->InstallRootControl(top); }
  void TearDown() override { window->InstallRootControl(nullptr); } // always 0

  RCPtr<LCenteredSlider> Make(const WString& name) {
    const RCPtr<LCenteredSlider> slider = skin.CreateAs<LCenteredSlider>(top, name);
    EXPECT_TRUE(slider);
    return slider;
  }
};

// Position and size blocks of one axis.
struct Axis {
  LayoutPosition position;
  LayoutSize size;
};
Axis AxisOf(const RCPtr<LControl>& control, int32_t axis) {
  Axis blocks;
  control->GetLayoutDescriptor()->GetAxis(axis, blocks.position, blocks.size);
  return blocks;
}

TEST_F(CenteredSliderTest, TheRangePartsFollowTheThumbsCentreAlongTheTravel) {
  struct Case {
    const char16_t* slider;
    int32_t travel;
  };
  for (const Case& c : {Case{u"sliderH", 0}, Case{u"sliderV", 1}}) {
    SCOPED_TRACE(c.travel);
    const RCPtr<LCenteredSlider> slider = Make(c.slider);
    const RCPtr<LControl>& thumb = slider->GetThumb();
    ASSERT_TRUE(thumb);
    EXPECT_EQ(thumb->GetName(), WString(u"thumb"));
    EXPECT_TRUE(thumb->IsShown(true));
    EXPECT_FALSE(slider->GetThumbStart()->IsShown(false));
    EXPECT_EQ(slider->GetRangeMaximum(), 127.0);
    const int32_t across = 1 - c.travel;
    const Axis lowBefore = AxisOf(slider->GetLowRangeBounds(), c.travel);
    const Axis highAcross = AxisOf(slider->GetHighRangeBounds(), across);
    EXPECT_EQ(lowBefore.position.abs, 10.0); // the thumb at 0, 20 long

    // 50 / 180 puts the thumb at 50: the parts at its centre, 60.
    EXPECT_DOUBLE_EQ(slider->SetValueAndPlaceThumb(50.0 / 180.0), 50.0 / 180.0);
    EXPECT_EQ(AxisOf(thumb, c.travel).position.abs, 50.0);
    EXPECT_EQ(AxisOf(thumb, c.travel).size.abs, 20.0);
    for (const RCPtr<LControl>& range : {slider->GetLowRangeBounds(), slider->GetHighRangeBounds()}) {
      const Axis moved = AxisOf(range, c.travel);
      EXPECT_EQ(moved.position.abs, 60.0);
      EXPECT_EQ(moved.position.rel, 0.5f);
      EXPECT_EQ(moved.size, AxisOf(range, c.travel).size);
      EXPECT_EQ(moved.size.abs, 30.0);
    }
    EXPECT_EQ(AxisOf(slider->GetLowRangeBounds(), c.travel).position.anchor, 1.0f);
    // The other axis stays as the skin has it.
    EXPECT_EQ(AxisOf(slider->GetHighRangeBounds(), across).position, highAcross.position);
    EXPECT_EQ(AxisOf(slider->GetHighRangeBounds(), across).position.abs, 6.0);
  }
}

TEST_F(CenteredSliderTest, TheRangePartsFollowTheThumbWhileThePointerMovesIt) {
  const RCPtr<LCenteredSlider> slider = Make(u"sliderH");
  const RCPtr<LControl> thumb = slider->GetThumb();
  Axis blocks = AxisOf(thumb, 0);
  blocks.position.abs = 100.0;
  thumb->SetAxisPlacement(0, blocks.position, blocks.size);
  EXPECT_EQ(AxisOf(slider->GetLowRangeBounds(), 0).position.abs, 10.0);
  thumb->OnMouseMove(LPointWithModifiersParam::Create({3, 4}, 0));
  EXPECT_EQ(AxisOf(slider->GetLowRangeBounds(), 0).position.abs, 110.0);
  EXPECT_EQ(AxisOf(slider->GetHighRangeBounds(), 0).position.abs, 110.0);
}

TEST_F(CenteredSliderTest, WithoutTheHighPartOnlyTheLowOneMoves) {
  const RCPtr<LCenteredSlider> slider = Make(u"sliderLowOnly");
  EXPECT_FALSE(slider->GetHighRangeBounds());
  slider->SetValueAndPlaceThumb(1.0);
  EXPECT_EQ(AxisOf(slider->GetLowRangeBounds(), 0).position.abs, 190.0);
}

TEST_F(CenteredSliderTest, WithoutAThumbTheSliderThrows) {
  EXPECT_EQ(ThrownText([this] { skin.Create(top, u"sliderNoThumb"); }), kNoThumb);
  EXPECT_FALSE(top->FindChildByName(u"sliderNoThumb")); // the failed control left its parent
  const RCPtr<LCenteredSlider> bare(new LCenteredSlider(top, u"bare"));
  EXPECT_EQ(ThrownText([&bare] { bare->SetValueAndPlaceThumb(0.5); }), kNoThumb);
  bare->Detach();
}

TEST_F(CenteredSliderTest, AClickOnAFillReachesTheSlider) {
  const RCPtr<LCenteredSlider> slider = Make(u"sliderH");
  const RCPtr<LControl> fill = slider->GetLowRangeBounds()->FindChildByName(u"fill");
  ASSERT_TRUE(fill);
  // The low part ends at 100 + 10 (its anchor is its far edge) and is 30 long.
  EXPECT_EQ(fill->GetWindowPosition(), (PointT<double>{80, 6}));
  const auto hit = [&slider](PointT<int32_t> point) {
    PointT<int32_t> local;
    int32_t depth = LControl::kNoHitDepth;
    return slider->HitTest(point, true, local, depth);
  };
  EXPECT_EQ(hit({95, 10}), slider);
  EXPECT_EQ(hit({5, 10}), slider->GetThumb()); // the thumb is hit itself
}

} // namespace
} // namespace QZ
