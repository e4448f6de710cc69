#include <gtest/gtest.h>

#include "DragTestSupport.h"

namespace QZ {
namespace {

using QZTest::DragControl;
using QZTest::DragScene;
using QZTest::TestControl;
using Names = std::vector<std::string>;

// What the child list told control of the children it lost.
Names Removals(const TestControl& control) {
  Names removals;
  for (const std::string& call : control.calls) {
    if (call.rfind("OnChildRemoved:", 0) == 0) {
      removals.push_back(call);
    }
  }
  return removals;
}

// --- Idle requests -----------------------------------------------------------------------------

TEST(ControlIdleTest, TheFirstRequestSubscribesAndTheLastReleaseUnsubscribes) {
  DragScene scene;
  EXPECT_EQ(scene.item->AddIdleRequest(), QZ_OK);
  EXPECT_EQ(scene.item->AddIdleRequest(), QZ_OK);
  EXPECT_EQ(scene.item->GetIdleRequestCount(), 2);
  EXPECT_TRUE(scene.Subscribed(scene.item));
  EXPECT_EQ(scene.window->GetRegistrationCount(), 1u);
  scene.Tick(33);
  EXPECT_EQ(scene.Take(), Names{"item:OnTick"});

  EXPECT_EQ(scene.item->ReleaseIdleRequest(), QZ_OK);
  EXPECT_TRUE(scene.Subscribed(scene.item));
  EXPECT_EQ(scene.item->ReleaseIdleRequest(), QZ_OK);
  EXPECT_EQ(scene.item->GetIdleRequestCount(), 0);
  EXPECT_FALSE(scene.Subscribed(scene.item));
  EXPECT_EQ(scene.window->GetRegistrationCount(), 0u);
  scene.Tick(33);
  EXPECT_EQ(scene.Take(), Names{});

  // One release too many changes nothing: the next request subscribes again.
  EXPECT_EQ(scene.item->ReleaseIdleRequest(), QZ_FALSE);
  EXPECT_EQ(scene.item->GetIdleRequestCount(), 0);
  EXPECT_EQ(scene.item->AddIdleRequest(), QZ_OK);
  EXPECT_TRUE(scene.Subscribed(scene.item));
}

TEST(ControlIdleTest, OutsideAWindowRequestsAreCountedOnly) {
  std::vector<std::string> log;
  QZTest::FakeControlApplication application;
  RCPtr<DragControl> loose = DragControl::Make(nullptr, u"loose", log);
  EXPECT_EQ(loose->AddIdleRequest(), QZ_OK);
  EXPECT_EQ(loose->GetIdleRequestCount(), 1);
  EXPECT_EQ(loose->ReleaseIdleRequest(), QZ_OK);
  EXPECT_EQ(loose->GetIdleRequestCount(), 0);

  // A request counted outside the window and released under it finds no subscription.
  DragScene scene;
  RCPtr<DragControl> late = DragControl::Make(nullptr, u"late", scene.log);
  late->At(0, 0, 10, 10);
  EXPECT_EQ(late->AddIdleRequest(), QZ_OK);
  EXPECT_EQ(late->SetParent(scene.panel), QZ_OK);
  EXPECT_FALSE(scene.Subscribed(late));
  EXPECT_EQ(late->ReleaseIdleRequest(), QZ_E_FAIL);
  EXPECT_EQ(late->GetIdleRequestCount(), 0);
}

// --- Deferred removal --------------------------------------------------------------------------

TEST(ControlIdleTest, ChildrenRemovedDeferredAreHiddenAtOnceAndDetachedInQueueOrderAtTheNextTick) {
  DragScene scene;
  RCPtr<DragControl> a = DragControl::Make(scene.panel, u"a", scene.log);
  RCPtr<DragControl> b = DragControl::Make(scene.panel, u"b", scene.log);
  RCPtr<DragControl> grandchild = DragControl::Make(b, u"grandchild", scene.log);
  a->At(0, 0, 10, 10);
  b->At(20, 0, 10, 10);
  grandchild->At(0, 0, 5, 5);
  // a holds the capture.
  ASSERT_EQ(scene.Press(a, 2, 2), QZ_OK);
  ASSERT_EQ(scene.window->captureControl, a);

  // Neither a stranger nor a grandchild is a child.
  EXPECT_EQ(scene.panel->RemoveChildDeferred(scene.top), QZ_E_INVALIDARG);
  EXPECT_EQ(scene.panel->RemoveChildDeferred(grandchild), QZ_E_INVALIDARG);
  EXPECT_EQ(scene.panel->RemoveChildDeferred(nullptr), QZ_E_INVALIDARG);
  EXPECT_TRUE(grandchild->IsShown(false));
  EXPECT_EQ(scene.panel->GetIdleRequestCount(), 0);

  EXPECT_EQ(scene.panel->RemoveChildDeferred(b), QZ_OK);
  EXPECT_EQ(scene.panel->RemoveChildDeferred(a), QZ_OK);
  EXPECT_EQ(scene.panel->RemoveChildDeferred(b), QZ_OK); // queued once
  EXPECT_FALSE(a->HasCapture());
  EXPECT_EQ(scene.window->captureControl, nullptr);
  EXPECT_FALSE(a->IsShown(false));
  EXPECT_FALSE(b->IsShown(false));
  EXPECT_EQ(a->GetParent(), scene.panel);
  EXPECT_EQ(b->GetParent(), scene.panel);
  EXPECT_EQ(scene.panel->PendingRemovals(), 2u);
  EXPECT_EQ(scene.panel->GetIdleRequestCount(), 1);
  EXPECT_TRUE(scene.Subscribed(scene.panel));
  EXPECT_EQ(Removals(*scene.panel), Names{});

  scene.Tick(33);
  // b (index 2) first, then a (index 1).
  EXPECT_EQ(Removals(*scene.panel), (Names{"OnChildRemoved:b@2", "OnChildRemoved:a@1"}));
  EXPECT_EQ(a->GetParent(), nullptr);
  EXPECT_EQ(b->GetParent(), nullptr);
  EXPECT_EQ(grandchild->GetParent(), b); // detached once: its children stay
  EXPECT_EQ(scene.panel->PendingRemovals(), 0u);
  EXPECT_EQ(scene.panel->GetIdleRequestCount(), 0);
  EXPECT_FALSE(scene.Subscribed(scene.panel));
}

TEST(ControlIdleTest, AQueuedChildThatFoundAnotherParentStaysThere) {
  DragScene scene;
  RCPtr<DragControl> a = DragControl::Make(scene.panel, u"a", scene.log);
  a->At(0, 0, 10, 10);
  EXPECT_EQ(scene.panel->RemoveChildDeferred(a), QZ_OK);
  EXPECT_EQ(a->SetParent(scene.top), QZ_OK);
  scene.Tick(33);
  EXPECT_EQ(a->GetParent(), scene.top);
  EXPECT_EQ(scene.panel->GetIdleRequestCount(), 0);
}

TEST(ControlIdleTest, ASuspendedTickOnlyRemovesPendingChildren) {
  DragScene scene;
  RCPtr<DragControl> a = DragControl::Make(scene.panel, u"a", scene.log);
  a->At(0, 0, 10, 10);
  scene.panel->ScrollOffsetField() = {100, 0};
  ASSERT_EQ(scene.panel->StartAutoScroll(0, -100, 0, 1000, nullptr), QZ_OK);
  ASSERT_EQ(scene.panel->Grow(1, true), QZ_OK);
  ASSERT_EQ(scene.panel->RemoveChildDeferred(a), QZ_OK);
  EXPECT_EQ(scene.panel->GetIdleRequestCount(), 3);

  scene.panel->TickSuspended() = true;
  scene.Tick(100);
  EXPECT_EQ(a->GetParent(), nullptr);
  EXPECT_EQ(scene.Take(), Names{}); // no OnTick
  EXPECT_EQ(scene.panel->GetScrollOffset().x, 100);
  EXPECT_EQ(scene.panel->GetRect().height, 100);
  EXPECT_EQ(scene.panel->GetIdleRequestCount(), 2);

  scene.panel->TickSuspended() = false;
  scene.Tick(100);
  EXPECT_EQ(scene.Take(), Names{"panel:OnTick"});
  // The suspended tick's time counts at the next: 200 ms at 100 px/s, 200 px more height.
  EXPECT_EQ(scene.panel->GetScrollOffset().x, 80);
  EXPECT_EQ(scene.panel->GetRect().height, 300);
}

// --- Placement animations ----------------------------------------------------------------------

TEST(ControlIdleTest, GrowingAndShrinkingFollowTheClockUntilTheRectangleStops) {
  struct Case {
    const char* name;
    bool grow;
    double maximum; // the "Self" maximum width; 0: none
    uint32_t tickMs;
    int ticks;
    std::vector<double> widths; // after each tick
    bool endsAtLastTick;
  };
  const Case cases[] = {
      {"grow to the maximum", true, 100, 50, 3, {90, 100, 100}, true},
      {"grow without a maximum", true, 0, 50, 5, {90, 140, 190, 240, 290}, false},
      {"grow by uneven ticks", true, 0, 17, 3, {57, 74, 91}, false},
      {"shrink to nothing", false, 0, 15, 4, {25, 10, 0, 0}, true},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    DragScene scene;
    scene.item->At(20, 10, 40, 30);
    if (test.maximum > 0) {
      LLayoutDescriptor& layout = scene.item->Layout();
      ASSERT_EQ(scene.item->SetAxisSizeLimits(0, layout.minimum[0], LayoutLimit{false, {}, 0.0f, test.maximum}), QZ_OK);
    }
    ASSERT_EQ(scene.item->Grow(0, test.grow), QZ_OK);
    EXPECT_EQ(scene.item->GetIdleRequestCount(), 1);
    std::vector<double> widths;
    for (int i = 0; i < test.ticks; ++i) {
      scene.Tick(test.tickMs);
      widths.push_back(scene.item->GetRect().width);
      EXPECT_GE(scene.item->GetLayoutDescriptor()->size[0].abs, 0.0);
      if (i + 1 < test.ticks) {
        EXPECT_TRUE(scene.item->Growing(0) || scene.item->Shrinking(0));
      }
    }
    EXPECT_EQ(widths, test.widths);
    EXPECT_EQ(scene.item->Growing(0) || scene.item->Shrinking(0), !test.endsAtLastTick);
    EXPECT_EQ(scene.item->GetIdleRequestCount(), test.endsAtLastTick ? 0 : 1);
    EXPECT_EQ(scene.Subscribed(scene.item), !test.endsAtLastTick);
    EXPECT_EQ(scene.item->GetRect().height, 30); // the other axis stays
  }
}

TEST(ControlIdleTest, ATickWithoutTimeChangesNothing) {
  DragScene scene;
  ASSERT_EQ(scene.item->Grow(1, true), QZ_OK);
  ASSERT_EQ(scene.item->MoveTowards(50, 50), QZ_OK);
  scene.Tick(0);
  EXPECT_EQ(scene.item->GetRect(), (RectT<double>{20, 10, 50, 30}));
  EXPECT_TRUE(scene.item->Growing(1));
  EXPECT_TRUE(scene.item->MoveAnimating());
  EXPECT_EQ(scene.item->GetIdleRequestCount(), 2);
  // Growing in its place turns into shrinking without a second request.
  ASSERT_EQ(scene.item->Grow(1, false), QZ_OK);
  EXPECT_EQ(scene.item->GetIdleRequestCount(), 2);
  EXPECT_EQ(scene.item->Grow(2, true), QZ_E_INVALIDARG);
}

TEST(ControlIdleTest, AMoveAnimationStepsTowardsItsTargetAndNeverPastIt) {
  struct Case {
    PointT<double> target;
    uint32_t tickMs;
    std::vector<PointT<double>> positions; // after each tick, until it ends
  };
  const Case cases[] = {
      {{25, -7}, 10, {{10, -7}, {20, -7}, {25, -7}, {25, -7}}},
      {{-12, 30}, 5, {{-5, 5}, {-10, 10}, {-12, 15}, {-12, 20}, {-12, 25}, {-12, 30}, {-12, 30}}},
      {{3.7, 0}, 10, {{3, 0}, {3, 0}}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(testing::Message() << test.target.x << "," << test.target.y);
    DragScene scene;
    scene.item->At(0, 0, 50, 30);
    ASSERT_EQ(scene.item->MoveTowards(test.target.x, test.target.y), QZ_OK);
    std::vector<PointT<double>> positions;
    for (size_t i = 0; i < 20 && scene.item->MoveAnimating(); ++i) {
      scene.Tick(test.tickMs);
      positions.push_back(scene.item->GetRect().GetOrigin());
    }
    EXPECT_EQ(positions, test.positions);
    EXPECT_FALSE(scene.item->MoveAnimating());
    EXPECT_EQ(scene.item->GetIdleRequestCount(), 0);
  }
}

TEST(ControlIdleTest, AHeldPressIsHandedOverAfterTheDelay) {
  struct Case {
    const char* name;
    uint32_t heldMs;
    bool dragged;
    bool handedOver;
  };
  const Case cases[] = {
      {"held 101 ms", 101, false, true},
      {"held 100 ms", 100, false, false},
      {"dragged first", 150, true, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    DragScene scene;
    RCPtr<DragControl> row = DragControl::Make(scene.panel, u"row", scene.log);
    row->At(0, 50, 100, 20);
    scene.item->IdleOnPress() = true;
    scene.item->HandPressOver(row, 3, 4);
    ASSERT_EQ(scene.Press(scene.item, 5, 5, kModifierCtrl), QZ_OK);
    EXPECT_TRUE(scene.Subscribed(scene.item));
    if (test.dragged) {
      ASSERT_EQ(scene.MoveLocal(scene.item, {9, 9}), QZ_OK);
    }
    scene.Tick(test.heldMs);
    ASSERT_EQ(row->presses.size(), test.handedOver ? 1u : 0u);
    EXPECT_EQ(scene.item->HasCapture(), !test.handedOver);
    if (test.handedOver) {
      const LMouseButtonParam& press = *row->presses[0];
      EXPECT_EQ(press.GetButton(), kMouseButtonLeft);
      EXPECT_EQ(press.GetModifiers(), kModifierCtrl);
      EXPECT_EQ(press.GetButtonsHeld(), kMouseButtonLeft);
      EXPECT_EQ(press.GetPoint(), (PointT<int32_t>{3, 4}));
      EXPECT_EQ(scene.window->mouseOverControl, row);
      EXPECT_EQ(scene.window->captureControl, row);
      // Handed over once.
      scene.Tick(200);
      EXPECT_EQ(row->presses.size(), 1u);
    }
  }
}

} // namespace
} // namespace QZ
