#include <gtest/gtest.h>

#include "QZFramework/ControlBase/Look.h"
#include "Support/StringPrinter.h"
#include "WidgetSkinTestSupport.h"

namespace QZ {
namespace {

using QZTest::KeyPress;
using QZTest::TimedRecorder;
using QZTest::WidgetSkin;

// ScrollBars.xml: "vertical" at (10, 10), 16 x 140, with a channel 108 long from y 16;
// "horizontal" at (40, 10), 110 x 16, with a channel 78 long from x 16. Both thumbs are 16
// across, so 16 is their shortest length.
struct Bars : WidgetSkin {
  Bars() : WidgetSkin("ScrollBars.xml") {
    Create(u"bars");
    vertical = Find<LScrollbar>({u"vertical"});
    horizontal = Find<LScrollbar>({u"horizontal"});
  }
  RCPtr<LScrollbar> vertical;
  RCPtr<LScrollbar> horizontal;
};

double ThumbPosition(const RCPtr<LScrollbar>& bar) {
  return bar->IsVertical() ? bar->GetThumb()->GetRect().y : bar->GetThumb()->GetRect().x;
}

TEST(ScrollbarTest, PartsOrientationAndThumbGeometryComeFromTheSkin) {
  Bars skin;
  ASSERT_EQ(skin.loaded, QZ_OK);
  ASSERT_TRUE(skin.vertical && skin.horizontal);
  EXPECT_TRUE(skin.vertical->IsVertical());
  EXPECT_FALSE(skin.horizontal->IsVertical());
  EXPECT_EQ(skin.vertical->GetRangeMinimum(), 0.0);
  EXPECT_EQ(skin.vertical->GetRangeMaximum(), 100.0);
  EXPECT_EQ(skin.vertical->GetKeyMask(), 0xFFu);
  EXPECT_EQ(skin.vertical->GetChannelEnd(), 108.0);
  EXPECT_EQ(skin.horizontal->GetChannelEnd(), 78.0);
  // 10% of the channel is less than the thumb's breadth.
  EXPECT_EQ(skin.vertical->GetMinimumThumbLength(), 16.0);
  EXPECT_EQ(skin.vertical->GetThumbLength(), 16.0);
  EXPECT_EQ(skin.vertical->GetThumb()->GetRect().height, 16.0);
  for (const RCPtr<LControl>& part : {RCPtr<LControl>(skin.vertical), skin.vertical->GetChannel(),
                                      skin.vertical->GetThumb(), skin.Find({u"vertical", u"dec"})}) {
    EXPECT_FALSE(part->IsFocusable());
  }
  EXPECT_TRUE(DynamicCast<LButton>(skin.vertical->GetThumb())->GetPressedOutside());
  EXPECT_TRUE(skin.Find<LButton>({u"vertical", u"inc"})->GetAutoRepeat());

  skin.vertical->SetThumbRatio(0.5);
  EXPECT_EQ(skin.vertical->UpdateClientArea(), QZ_OK);
  EXPECT_EQ(skin.vertical->GetThumb()->GetRect().height, 54.0);
  EXPECT_EQ(skin.vertical->SetValue(0.5), 0.5);
  EXPECT_EQ(ThumbPosition(skin.vertical), 27.0);
  EXPECT_EQ(skin.horizontal->SetValue(2.0), 1.0);
  EXPECT_EQ(ThumbPosition(skin.horizontal), 62.0);
  EXPECT_EQ(skin.horizontal->SetValue(-1.0), 0.0);
  EXPECT_EQ(ThumbPosition(skin.horizontal), 0.0);
}

TEST(ScrollbarTest, APressExactlyAtTheThumbsStartIsBeforeItAndAtItsEndAfterIt) {
  Bars skin;
  const RCPtr<LScrollbar>& bar = skin.vertical;
  ASSERT_EQ(bar->SetValue(0.5), 0.5);
  ASSERT_EQ(ThumbPosition(bar), 46.0); // 92 of travel
  struct Row {
    double at;
    int32_t region;
  };
  for (const Row& row : {Row{0, 1}, Row{45.5, 1}, Row{46, 1}, Row{46.5, 0}, Row{61.5, 0}, Row{62, 2}, Row{108, 2},
                         Row{108.5, 0}, Row{-1, 0}}) {
    EXPECT_EQ(bar->RegionAt(row.at), row.region) << row.at;
  }

  // Pressed where the thumb begins (the thumb would take a real press there).
  skin.pointer.PressOn(bar->GetChannel(), 8, 46);
  EXPECT_EQ(bar->GetPressedRegion(), LScrollbar::kRegionBefore);
  EXPECT_DOUBLE_EQ(bar->GetValue(), 0.3);
  skin.pointer.Release();
  EXPECT_EQ(bar->GetPressedRegion(), LScrollbar::kRegionNone);
  EXPECT_EQ(bar->GetIdleRequestCount(), 0);

  const double end = ThumbPosition(bar) + bar->GetThumbLength();
  skin.pointer.PressOn(bar->GetChannel(), 8, int32_t(end));
  EXPECT_EQ(bar->GetPressedRegion(), LScrollbar::kRegionAfter);
  EXPECT_DOUBLE_EQ(bar->GetValue(), 0.5);
  skin.pointer.Release();
}

TEST(ScrollbarTest, AHeldChannelPagesAtOnceAfterFourTenthsThenEveryFifthUntilTheThumbReachesThePointer) {
  struct Case {
    const char* what;
    int32_t pointerY;
    bool leaveBetween; // off the channel from 0.45 s to 0.9 s
    std::vector<double> pages;
    double lastValue;
  };
  for (const Case& test : {Case{"held still", 60, false, {0.0, 0.4, 0.6}, 0.6},
                           Case{"off the channel for a while", 100, true, {0.0, 0.4, 1.05, 1.25, 1.45}, 1.0}}) {
    SCOPED_TRACE(test.what);
    Bars skin;
    const RCPtr<LScrollbar>& bar = skin.vertical;
    const RCPtr<LControl> channel = bar->GetChannel();
    const auto heard = TimedRecorder::Listen(bar, {u"NID_VALUE_CHANGE"});
    skin.pointer.MoveTo(channel, 8, test.pointerY);
    skin.pointer.Press();
    ASSERT_EQ(bar->GetPressedRegion(), LScrollbar::kRegionAfter);
    EXPECT_EQ(bar->GetIdleRequestCount(), 1);

    // Look 1 over the stretch between the thumb's end and the channel's end, look 0 under it.
    EXPECT_EQ(channel->GetLookWeight(0), 1.0f);
    EXPECT_EQ(channel->GetLookWeight(1), 1.0f);
    EdgeRect stretch;
    ASSERT_TRUE(channel->GetLook(1)->GetOwnRegion().GetBounds(stretch));
    EXPECT_EQ(stretch, (EdgeRect{0, 34, 16, 108})); // the thumb now covers 18..34

    if (test.leaveBetween) {
      skin.TickEveryMs(50, 450);
      skin.pointer.MoveToWindow(100, 150);
      skin.TickEveryMs(50, 850);
      skin.application.seconds = 0.9;
      skin.pointer.MoveTo(channel, 8, test.pointerY);
    }
    skin.TickEveryMs(50, 1600);
    EXPECT_EQ(heard->TimesOf("NID_VALUE_CHANGE"), test.pages);
    EXPECT_DOUBLE_EQ(bar->GetValue(), test.lastValue);
    // The thumb is under the pointer: look 0 alone.
    EXPECT_EQ(bar->RegionAt(test.pointerY), LScrollbar::kRegionNone);
    EXPECT_EQ(channel->GetLookWeight(1), 0.0f);

    skin.pointer.Release();
    EXPECT_EQ(bar->GetPressedRegion(), LScrollbar::kRegionNone);
    EXPECT_EQ(bar->GetIdleRequestCount(), 0);
    EXPECT_EQ(channel->GetCurrentLookIndex(), 0);
  }
}

TEST(ScrollbarTest, AValueSetDuringAThumbDragWaitsForTheDragsEnd) {
  Bars skin;
  const RCPtr<LScrollbar>& bar = skin.vertical;
  const auto heard = TimedRecorder::Listen(bar, {u"NID_VALUE_CHANGE"});
  // The channel's track begins at (10, 26) of the window.
  skin.pointer.MoveToWindow(18, 31);
  skin.pointer.Press();
  skin.pointer.MoveToWindow(18, 41);
  ASSERT_TRUE(bar->IsDragging());
  EXPECT_EQ(ThumbPosition(bar), 10.0);
  EXPECT_DOUBLE_EQ(bar->GetValue(), 10.0 / 92.0);
  skin.pointer.MoveToWindow(18, 61);
  EXPECT_EQ(ThumbPosition(bar), 30.0);
  EXPECT_EQ(heard->Count("NID_VALUE_CHANGE"), 2u); // the owner follows the drag

  EXPECT_DOUBLE_EQ(bar->SetValue(0.7), 30.0 / 92.0);
  EXPECT_EQ(bar->GetDeferredValue(), 0.7);
  EXPECT_EQ(ThumbPosition(bar), 30.0);
  // Past the end the thumb stays at the end.
  skin.pointer.MoveToWindow(18, 400);
  EXPECT_EQ(ThumbPosition(bar), 92.0);
  EXPECT_EQ(bar->GetValue(), 1.0);

  skin.pointer.Release();
  EXPECT_FALSE(bar->IsDragging());
  EXPECT_EQ(bar->GetValue(), 0.7);
  EXPECT_EQ(ThumbPosition(bar), 64.0);
  EXPECT_EQ(bar->GetDeferredValue(), -1.0);

  // Without applying, the thumb stays where the drag left it.
  bar->SetApplyDeferredValue(false);
  skin.pointer.MoveToWindow(18, 26 + 64 + 5);
  skin.pointer.Press();
  skin.pointer.MoveToWindow(18, 10);
  EXPECT_EQ(bar->GetValue(), 0.0);
  EXPECT_EQ(bar->SetValue(0.5), 0.0);
  skin.pointer.Release();
  EXPECT_EQ(bar->GetValue(), 0.0);
}

TEST(ScrollbarTest, AThumbThatFillsTheChannelDuringADragGivesTheValueZero) {
  Bars skin;
  const RCPtr<LScrollbar>& bar = skin.vertical;
  ASSERT_EQ(bar->SetValue(0.5), 0.5);
  skin.pointer.MoveToWindow(18, 26 + 46 + 5);
  skin.pointer.Press();
  skin.pointer.MoveToWindow(18, 26 + 46 + 7);
  ASSERT_TRUE(bar->IsDragging());
  // The owner's content now fits the view: the thumb takes the whole channel.
  bar->SetThumbRatio(1.0);
  EXPECT_EQ(bar->UpdateClientArea(), QZ_OK);
  EXPECT_EQ(bar->GetThumbLength(), 108.0);
  const auto heard = TimedRecorder::Listen(bar, {u"NID_VALUE_CHANGE"});
  skin.pointer.MoveToWindow(18, 26 + 60);
  EXPECT_EQ(ThumbPosition(bar), 0.0);
  EXPECT_EQ(bar->GetValue(), 0.0);
  EXPECT_EQ(heard->Count("NID_VALUE_CHANGE"), 1u);
  skin.pointer.Release();
}

TEST(ScrollbarTest, TheArrowsStepByTheLineStepWhileHeld) {
  Bars skin;
  const RCPtr<LScrollbar>& bar = skin.horizontal;
  const RCPtr<LControl> inc = skin.Find({u"horizontal", u"inc"});
  const RCPtr<LControl> dec = skin.Find({u"horizontal", u"dec"});
  skin.pointer.MoveTo(inc, 8, 8);
  skin.pointer.Press();
  skin.TickEveryMs(50, 450); // steps at 0, 0.3 and 0.4 s
  skin.pointer.Release();
  EXPECT_DOUBLE_EQ(bar->GetValue(), 0.06);
  skin.pointer.ClickAt(dec, 8, 8);
  EXPECT_DOUBLE_EQ(bar->GetValue(), 0.04);
}

TEST(ScrollbarTest, KeysFollowTheMaskAndTheOrientation) {
  enum Bar { kVertical, kHorizontal };
  struct Row {
    Bar bar;
    uint8_t key;
    double value; // after the key, from 0.5; -1: not handled
  };
  constexpr uint8_t kPageUp = 0x21, kPageDown = 0x22, kEnd = 0x23, kHome = 0x24, kLeft = 0x25, kUp = 0x26,
                    kRight = 0x27, kDown = 0x28;
  const Row rows[] = {
      {kVertical, kUp, 0.48},     {kVertical, kDown, 0.52},     {kVertical, kLeft, -1},     {kVertical, kRight, -1},
      {kVertical, kPageUp, 0.3},  {kVertical, kPageDown, 0.7},  {kVertical, kHome, 0.0},    {kVertical, kEnd, 1.0},
      {kHorizontal, kUp, -1},     {kHorizontal, kDown, -1},     {kHorizontal, kLeft, 0.48}, {kHorizontal, kRight, 0.52},
      {kHorizontal, kPageUp, -1}, {kHorizontal, kPageDown, -1}, {kHorizontal, kHome, 0.0},  {kHorizontal, kEnd, 1.0},
  };
  Bars skin;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.bar) + " key " + std::to_string(row.key));
    const RCPtr<LScrollbar>& bar = row.bar == kVertical ? skin.vertical : skin.horizontal;
    const RCPtr<LScrollbar>& other = row.bar == kVertical ? skin.horizontal : skin.vertical;
    ASSERT_EQ(other->SetKeyMask(0), QZ_OK);
    ASSERT_EQ(bar->SetKeyMask(0xFF), QZ_OK);
    ASSERT_EQ(bar->SetValue(0.5), 0.5);
    // The parent offers the keys its children did not use.
    const QZResult result = skin.top->OnSiblingKey(KeyPress(row.key));
    EXPECT_EQ(result, row.value < 0 ? QZ_FALSE : QZ_OK);
    EXPECT_DOUBLE_EQ(bar->GetValue(), row.value < 0 ? 0.5 : row.value);
    // Not in the mask, with a modifier, or hidden: not the bar's.
    if (row.value >= 0) {
      ASSERT_EQ(bar->SetValue(0.5), 0.5);
      EXPECT_EQ(skin.top->OnSiblingKey(KeyPress(row.key, kModifierShift)), QZ_FALSE);
      EXPECT_EQ(bar->SetKeyMask(0), QZ_OK);
      EXPECT_EQ(skin.top->OnSiblingKey(KeyPress(row.key)), QZ_FALSE);
      EXPECT_EQ(bar->SetKeyMask(0xFF), QZ_OK);
      bar->SetVisible(false);
      EXPECT_EQ(skin.top->OnSiblingKey(KeyPress(row.key)), QZ_FALSE);
      bar->SetVisible(true);
      EXPECT_EQ(bar->GetValue(), 0.5);
    }
  }
}

TEST(ScrollbarTest, BadRangesAndMasksAreRefusedButStillTakeEffectWhereTheyCan) {
  Bars skin;
  const RCPtr<LScrollbar>& bar = skin.vertical;
  ASSERT_EQ(bar->SetValue(0.5), 0.5); // 50 of 0..100
  EXPECT_EQ(bar->SetValueRange(0, 200, 0), QZ_OK);
  EXPECT_EQ(bar->GetValue(), 0.25); // still 50
  EXPECT_EQ(bar->SetValueRange(10, 1000, 1), QZ_OK);
  EXPECT_DOUBLE_EQ(bar->NormalizedToValue(bar->GetValue()), 50.0);
  const double logValue = bar->GetValue();
  for (const double bound : {0.0, -5.0}) {
    EXPECT_EQ(bar->SetValueRange(bound, 100, 1), QZ_E_INVALIDARG);
    EXPECT_EQ(bar->SetValueRange(10, bound, 1), QZ_E_INVALIDARG);
  }
  EXPECT_EQ(bar->SetValueRange(0, 100, 2), QZ_E_INVALIDARG);
  EXPECT_EQ(bar->GetRangeMinimum(), 10.0);
  EXPECT_EQ(bar->GetRangeMaximum(), 1000.0);
  EXPECT_EQ(bar->GetScaleType(), 1);
  EXPECT_EQ(bar->GetValue(), logValue);

  EXPECT_EQ(bar->SetKeyMask(0x1FF), QZ_E_INVALIDARG);
  EXPECT_EQ(bar->GetKeyMask(), 0xFFu);
  EXPECT_EQ(bar->SetKeyMask(0x140), QZ_E_INVALIDARG);
  EXPECT_EQ(bar->GetKeyMask(), 0x40u);
  EXPECT_EQ(bar->SetKeyMask(kKeyCodeInvalid), QZ_E_INVALIDARG);
  EXPECT_EQ(bar->GetKeyMask(), 0u);
}

} // namespace
} // namespace QZ
