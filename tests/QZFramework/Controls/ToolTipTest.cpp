#include <gtest/gtest.h>

#include "QZFramework/Controls/DrawnSkinTestSupport.h"
#include "Support/FakeRootWindow.h"

namespace QZ {
namespace {

using QZTest::FakeRootWindow;
using QZTest::TestControl;

// A control whose tool-tip text the test sets.
class TipOwner : public TestControl {
public:
  TipOwner(const RCPtr<LControl>& parent, const WString& name) : TestControl(parent, name, nullptr) {}
  WString tip = u"Sends the preset";
  WString GetToolTipText() override { return tip; }
};

// A 400 x 300 window whose top control holds two owners of tips; the clock starts at
// 10,000 ms, as the shared dismissal time starts at 0.
class ToolTipTest : public ::testing::Test {
protected:
  QZTest::DrawnSkin skin;
  RCPtr<FakeRootWindow> window{new FakeRootWindow};
  RCPtr<TestControl> top = QZTest::MakeTop();
  RCPtr<TipOwner> owner{new TipOwner(top, u"owner")};
  RCPtr<TipOwner> other{new TipOwner(top, u"other")};

  void SetUp() override {
    LToolTip::ResetLastVisibleDismissal();
    skin.application.milliseconds = 10000;
    window->clientRect = {0, 0, 400, 300};
    owner->Place(30, 40, 50, 20);
    // Scrolled content: the tip is placed against the content's origin.
    owner->ScrollOffsetField() = {7, 11};
    other->Place(100, 40, 50, 20);
    window->InstallRootControl(top);
  }
  void TearDown() override {
    window->InstallRootControl(nullptr);
    LToolTip::ResetLastVisibleDismissal();
  }

  // Moves the clock to ms and runs one idle tick.
  void TickAt(uint32_t ms) {
    skin.application.milliseconds = ms;
    window->RaiseIdle();
  }
  static RCPtr<LToolTip> TipOf(const RCPtr<TipOwner>& control) {
    return DynamicCast<LToolTip>(control->FindChildByName(u"toolTip"));
  }
  // A tip of control that was shown (now minus 501 ms) and is dismissed now.
  void ShowAndDismiss(const RCPtr<TipOwner>& control, uint32_t now) {
    skin.application.milliseconds = now - 501;
    ASSERT_EQ(control->CreateToolTip(true), QZ_OK);
    TickAt(now);
    ASSERT_EQ(TipOf(control)->GetState(), LToolTip::kShown);
    ASSERT_EQ(control->CreateToolTip(false), QZ_OK);
  }
};

TEST_F(ToolTipTest, ATipWaitsShowsAndGoesOnTime) {
  ASSERT_EQ(owner->CreateToolTip(true), QZ_OK);
  const RCPtr<LToolTip> tip = TipOf(owner);
  ASSERT_TRUE(tip);
  EXPECT_EQ(tip->GetText(), WString(u"Sends the preset"));
  EXPECT_EQ(tip->GetState(), LToolTip::kWaiting);
  EXPECT_FALSE(tip->IsShown(false));
  EXPECT_EQ(tip->GetIdleRequestCount(), 1);

  TickAt(10500);
  EXPECT_FALSE(tip->IsShown(false));
  TickAt(10501);
  EXPECT_EQ(tip->GetState(), LToolTip::kShown);
  EXPECT_TRUE(tip->IsShown(true));
  TickAt(15501);
  EXPECT_TRUE(tip->IsShown(true));
  TickAt(15502);
  EXPECT_EQ(tip->GetState(), LToolTip::kHidden);
  EXPECT_FALSE(tip->IsShown(false));
  EXPECT_EQ(tip->GetIdleRequestCount(), 0);
  EXPECT_EQ(LToolTip::GetLastVisibleDismissal(), 15502u);
  // It leaves its owner at the owner's next tick; then only the test holds it.
  EXPECT_EQ(tip->GetParent(), owner);
  TickAt(15533);
  EXPECT_FALSE(tip->GetParent());
  EXPECT_EQ(tip->GetRefCount(), 1);
  EXPECT_FALSE(owner->FindChildByName(u"toolTip"));
}

TEST_F(ToolTipTest, ATipSoonAfterAVisibleOneShowsAtOnce) {
  struct Case {
    uint32_t after;
    uint32_t state;
  };
  for (const Case& c : {Case{0, LToolTip::kShown}, Case{49, LToolTip::kShown}, Case{50, LToolTip::kWaiting}}) {
    SCOPED_TRACE(c.after);
    ShowAndDismiss(owner, 20000);
    EXPECT_EQ(LToolTip::GetLastVisibleDismissal(), 20000u);
    skin.application.milliseconds = 20000 + c.after;
    ASSERT_EQ(other->CreateToolTip(true), QZ_OK);
    const RCPtr<LToolTip> next = TipOf(other);
    EXPECT_EQ(next->GetState(), c.state);
    EXPECT_EQ(next->IsShown(true), c.state == LToolTip::kShown);
    other->CreateToolTip(false);
    TickAt(25000);
    LToolTip::ResetLastVisibleDismissal();
  }
}

TEST_F(ToolTipTest, ATipDismissedBeforeItShowedStartsNoChaining) {
  ASSERT_EQ(owner->CreateToolTip(true), QZ_OK);
  TickAt(10400);
  ASSERT_EQ(owner->CreateToolTip(false), QZ_OK);
  EXPECT_EQ(LToolTip::GetLastVisibleDismissal(), 0u);
  ASSERT_EQ(other->CreateToolTip(true), QZ_OK);
  EXPECT_EQ(TipOf(other)->GetState(), LToolTip::kWaiting);
}

TEST_F(ToolTipTest, EveryHoverMakesANewTipAndTheOldOneGoesAtTheNextTick) {
  ASSERT_EQ(owner->CreateToolTip(true), QZ_OK);
  const RCPtr<LToolTip> first = TipOf(owner);
  ASSERT_EQ(owner->CreateToolTip(false), QZ_OK);
  EXPECT_EQ(first->GetParent(), owner); // still there, hidden, until the tick
  EXPECT_FALSE(first->IsShown(false));

  // The pointer comes back before the tick: a new tip, the old one out of the way.
  ASSERT_EQ(owner->CreateToolTip(true), QZ_OK);
  const RCPtr<LToolTip> second = TipOf(owner);
  ASSERT_TRUE(second);
  EXPECT_NE(second, first);
  EXPECT_EQ(owner->GetChildren().GetCount(), 1u);
  EXPECT_GT(first->GetRefCount(), 1); // the owner's removal list holds it until its tick
  TickAt(10033);
  EXPECT_EQ(first->GetRefCount(), 1);
  EXPECT_EQ(second->GetParent(), owner);

  // Left, ticked, hovered again: the tip is gone before the next one comes.
  ASSERT_EQ(owner->CreateToolTip(false), QZ_OK);
  TickAt(10066);
  EXPECT_FALSE(second->GetParent());
  EXPECT_EQ(second->GetRefCount(), 1);
  ASSERT_EQ(owner->CreateToolTip(true), QZ_OK);
  EXPECT_NE(TipOf(owner), second);
}

TEST_F(ToolTipTest, ATipStaysInsideTheWindowBelowThePointer) {
  struct Case {
    RectT<int32_t> client;
    PointT<int32_t> pointer;
    PointT<double> placed; // window coordinates
    double width;
  };
  const Case cases[] = {
      {{0, 0, 400, 300}, {5, 5}, {5, 25}, 100},        // 20 below the pointer
      {{0, 0, 400, 300}, {390, 290}, {300, 280}, 100}, // pulled in at the right and bottom edges
      {{0, 0, 400, 300}, {300, 260}, {300, 280}, 100}, // ends exactly at both edges
      {{0, 0, 50, 10}, {10, 5}, {8, 0}, 42},           // at most 8 narrower than the window, never above it
  };
  owner->tip = u"Send"; // fits: the tip keeps its 100 x 20
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pointer.x << "," << c.pointer.y);
    window->clientRect = c.client;
    window->mousePosition = c.pointer;
    ASSERT_EQ(owner->CreateToolTip(true), QZ_OK);
    const RCPtr<LToolTip> tip = TipOf(owner);
    TickAt(skin.application.milliseconds + 501);
    ASSERT_TRUE(tip->IsShown(true));
    EXPECT_EQ(tip->GetRect().width, c.width);
    EXPECT_EQ(tip->GetRect().height, 20.0);
    EXPECT_EQ(tip->GetWindowPosition(), c.placed);
    EXPECT_EQ(tip->GetLayoutDescriptor()->position[0].kind, kPositionToParent);
    EXPECT_EQ(tip->GetLayoutDescriptor()->maximum[0].abs, double(c.client.width - 8));
    owner->CreateToolTip(false);
    TickAt(skin.application.milliseconds + 33);
  }
}

TEST_F(ToolTipTest, AWindowNarrowerThanTheMarginLimitsNothing) {
  // 6 - 8 would be a negative width; 0 is the layout's "no limit".
  window->clientRect = {0, 0, 6, 300};
  window->mousePosition = {3, 3};
  ASSERT_EQ(owner->CreateToolTip(true), QZ_OK);
  const RCPtr<LToolTip> tip = TipOf(owner);
  const RCPtr<LLayoutDescriptor>& layout = tip->GetLayoutDescriptor();
  EXPECT_FALSE(layout->maximum[0].toControl);
  EXPECT_EQ(layout->maximum[0].abs, 0.0);
  EXPECT_GE(tip->GetRect().width, 100.0);
  TickAt(10501);
  EXPECT_EQ(tip->GetWindowPosition().x, 0.0);
}

TEST_F(ToolTipTest, ATipCatchesThePointerAndNeverTakesTheFocus) {
  ASSERT_EQ(owner->CreateToolTip(true), QZ_OK);
  const RCPtr<LToolTip> tip = TipOf(owner);
  EXPECT_FALSE(tip->IsTransparentAtPoint({-5, -5}));
  EXPECT_FALSE(tip->IsFocusable());
  // Looks applied again hide the tip until its time comes.
  TickAt(10501);
  ASSERT_TRUE(tip->IsShown(true));
  EXPECT_EQ(tip->OnLookChanged(), QZ_OK);
  EXPECT_FALSE(tip->IsShown(false));
  EXPECT_FALSE(tip->IsFocusable());
}

TEST_F(ToolTipTest, WithoutTextThereIsNoTip) {
  owner->tip = u"";
  EXPECT_EQ(owner->CreateToolTip(true), QZ_FALSE);
  EXPECT_EQ(owner->CreateToolTip(false), QZ_FALSE);
  EXPECT_EQ(owner->GetChildren().GetCount(), 0u);
}

} // namespace
} // namespace QZ
