#include <gtest/gtest.h>

#include "DragTestSupport.h"
#include "QZFramework/ControlBase/CursorNames.h"

namespace QZ {
namespace {

using QZTest::DragControl;
using QZTest::DragScene;
using Names = std::vector<std::string>;

RectT<double> LayoutBlocks(const DragControl& control) {
  const LLayoutDescriptor& layout = *control.GetLayoutDescriptor();
  return {layout.position[0].abs, layout.position[1].abs, layout.size[0].abs, layout.size[1].abs};
}

// --- Moving and resizing ---------------------------------------------------------------------

TEST(ControlDragTest, ResizingMovesOnlyTheDraggedEdgeAndKeepsASizeOfOne) {
  struct Case {
    const char* name;
    uint32_t axes;
    RectT<double> start;    // the item in the panel (200 x 100)
    PointT<int32_t> press;  // the item's coordinates
    PointT<double> pointer; // moved by, in the panel
    RectT<double> expected; // position and size Abs, and the rectangle
  };
  const Case cases[] = {
      {"left edge 200 px right", LControl::kDragEdgeLeft, {20, 10, 50, 30}, {5, 5}, {200, 0}, {69, 10, 1, 30}},
      {"left edge 10 px left", LControl::kDragEdgeLeft, {20, 10, 50, 30}, {5, 5}, {-10, 0}, {10, 10, 60, 30}},
      {"right edge", LControl::kDragEdgeRight, {20, 10, 50, 30}, {45, 5}, {30, 7}, {20, 10, 80, 30}},
      {"right edge 300 px left", LControl::kDragEdgeRight, {120, 10, 50, 30}, {45, 5}, {-300, 0}, {120, 10, 1, 30}},
      {"top edge", LControl::kDragEdgeTop, {20, 10, 50, 30}, {5, 5}, {9, 12}, {20, 22, 50, 18}},
      {"top edge 200 px down", LControl::kDragEdgeTop, {20, 10, 50, 30}, {5, 5}, {0, 200}, {20, 39, 50, 1}},
      {"bottom edge", LControl::kDragEdgeBottom, {20, 10, 50, 30}, {5, 25}, {0, 12}, {20, 10, 50, 42}},
      {"right and bottom",
       LControl::kDragEdgeRight | LControl::kDragEdgeBottom,
       {20, 10, 50, 30},
       {45, 25},
       {-5, 6},
       {20, 10, 45, 36}},
      {"axis bits alone resize nothing",
       LControl::kDragAxisX | LControl::kDragAxisY,
       {20, 10, 50, 30},
       {5, 5},
       {30, 30},
       {20, 10, 50, 30}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    DragScene scene;
    scene.item->At(test.start.x, test.start.y, test.start.width, test.start.height);
    scene.item->dragModeOnPress = LControl::kDragResize;
    scene.item->dragAxesOnPress = test.axes;
    ASSERT_EQ(scene.Press(scene.item, test.press.x, test.press.y), QZ_OK);
    const PointT<double> press{test.start.x + test.press.x, test.start.y + test.press.y};
    ASSERT_EQ(scene.MoveInParent(scene.item, press.x + test.pointer.x, press.y + test.pointer.y), QZ_OK);
    EXPECT_EQ(LayoutBlocks(*scene.item), test.expected);
    EXPECT_EQ(scene.item->GetRect(), test.expected);
    ASSERT_EQ(scene.Release(scene.item), QZ_OK);
    EXPECT_EQ(scene.Take(), (Names{"item:OnDrag", "item:OnDragMove", "item:OnDragEnd"}));
  }
}

TEST(ControlDragTest, AMovedControlKeepsItsGripInsideTheParentsVisibleContent) {
  struct Case {
    const char* name;
    PointT<double> parentScroll;
    std::optional<RectT<double>> bounds;
    PointT<double> pointer; // in the panel's content
    PointT<double> expected;
  };
  // The item (20, 10, 50, 30) is gripped at (10, 5): the grip is (30, 15) in the panel.
  const Case cases[] = {
      {"inside", {0, 0}, {}, {100, 50}, {90, 45}},
      {"beyond the bottom right", {0, 0}, {}, {900, 900}, {190, 95}},
      {"beyond the top left", {0, 0}, {}, {-900, -900}, {-10, -5}},
      {"scrolled parent, bottom right", {30, 20}, {}, {900, 900}, {220, 115}},
      {"scrolled parent, top left", {30, 20}, {}, {-900, -900}, {20, 15}},
      {"narrower bounds, bottom right", {0, 0}, RectT<double>{20, 20, 100, 50}, {900, 900}, {110, 65}},
      {"narrower bounds, top left", {0, 0}, RectT<double>{20, 20, 100, 50}, {-900, -900}, {10, 15}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    DragScene scene;
    scene.panel->ScrollOffsetField() = test.parentScroll;
    scene.item->dragBounds = test.bounds;
    scene.item->dragModeOnPress = LControl::kDragMove;
    ASSERT_EQ(scene.Press(scene.item, 10, 5), QZ_OK);
    ASSERT_EQ(scene.MoveInParent(scene.item, test.pointer.x, test.pointer.y), QZ_OK);
    EXPECT_EQ(LayoutBlocks(*scene.item), (RectT<double>{test.expected.x, test.expected.y, 50, 30}));
    EXPECT_EQ(scene.item->GetRect().GetOrigin(), test.expected);
  }
}

TEST(ControlDragTest, AMoveFollowsOnlyTheAxesOfTheDragAxes) {
  for (uint32_t axes : {LControl::kDragAxisX, LControl::kDragAxisY}) {
    SCOPED_TRACE(axes);
    DragScene scene;
    scene.item->dragModeOnPress = LControl::kDragMove;
    scene.item->dragAxesOnPress = axes;
    ASSERT_EQ(scene.Press(scene.item, 10, 5), QZ_OK);
    ASSERT_EQ(scene.MoveInParent(scene.item, 50, 40), QZ_OK);
    EXPECT_EQ(scene.item->GetRect().GetOrigin(),
              axes == LControl::kDragAxisX ? (PointT<double>{40, 10}) : (PointT<double>{20, 35}));
  }
}

TEST(ControlDragTest, ARebasedDragContinuesFromTheCurrentState) {
  DragScene scene;
  scene.item->dragModeOnPress = LControl::kDragMove;
  ASSERT_EQ(scene.Press(scene.item, 10, 5), QZ_OK); // the grip at (30, 15)
  ASSERT_EQ(scene.MoveInParent(scene.item, 45, 20), QZ_OK);
  EXPECT_EQ(scene.item->GetRect().GetOrigin(), (PointT<double>{35, 15}));
  EXPECT_EQ(scene.item->Displacement(), (PointT<double>{15, 5}));

  // The item is placed elsewhere while the button is held, and the drag goes on from there.
  LayoutPosition x = scene.item->GetLayoutDescriptor()->position[0];
  x.abs = 100;
  EXPECT_EQ(scene.item->SetAxisPlacement(0, x, scene.item->GetLayoutDescriptor()->size[0]), QZ_OK);
  EXPECT_EQ(scene.item->RebaseDrag(), QZ_OK);
  EXPECT_EQ(scene.item->Displacement(), (PointT<double>{0, 0}));
  ASSERT_EQ(scene.MoveInParent(scene.item, 55, 22), QZ_OK);
  EXPECT_EQ(scene.item->GetRect().GetOrigin(), (PointT<double>{110, 17}));

  // Without the rebase the pointer alone would have placed it at (45, 17).
  DragScene plain;
  plain.item->dragModeOnPress = LControl::kDragMove;
  ASSERT_EQ(plain.Press(plain.item, 10, 5), QZ_OK);
  ASSERT_EQ(plain.MoveInParent(plain.item, 55, 22), QZ_OK);
  EXPECT_EQ(plain.item->GetRect().GetOrigin(), (PointT<double>{45, 17}));
}

// --- Automatic scrolling of the parent -------------------------------------------------------

TEST(ControlDragTest, TheParentScrollsWhileTheGripIsInItsEdgeBand) {
  struct Case {
    const char* name;
    std::optional<RectT<double>> limits; // the panel's scroll range
    double scrolledTo;
  };
  const Case cases[] = {{"free", {}, 40}, {"limited at 70", RectT<double>{70, 0, 500, 0}, 70}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    DragScene scene;
    scene.panel->ScrollOffsetField() = {100, 0}; // the visible content is (100, 0, 200, 100)
    scene.panel->sizeLimits = test.limits;
    scene.item->At(120, 40, 50, 30);
    scene.item->dragModeOnPress = LControl::kDragMoveScroll;
    ASSERT_EQ(scene.Press(scene.item, 5, 10), QZ_OK); // the grip at (125, 50), half way down

    // 15 px inside the left edge: an overshoot of 15 into the 30 px band.
    ASSERT_EQ(scene.MoveInParent(scene.item, 115, 50), QZ_OK);
    EXPECT_TRUE(scene.panel->AutoScrolling(0));
    EXPECT_FALSE(scene.panel->AutoScrolling(1));
    EXPECT_DOUBLE_EQ(scene.panel->AutoScrollSpeed(0), -240);
    EXPECT_EQ(scene.panel->AutoScrollMoved(0), scene.item);
    EXPECT_EQ(scene.panel->GetIdleRequestCount(), 1);
    EXPECT_TRUE(scene.Subscribed(scene.panel));

    // A second move in the band keeps the one request.
    ASSERT_EQ(scene.MoveInParent(scene.item, 116, 50), QZ_OK);
    EXPECT_DOUBLE_EQ(scene.panel->AutoScrollSpeed(0), -225);
    EXPECT_EQ(scene.panel->GetIdleRequestCount(), 1);
    ASSERT_EQ(scene.MoveInParent(scene.item, 115, 50), QZ_OK);

    scene.Take();
    scene.Tick(250);
    EXPECT_EQ(scene.panel->GetScrollOffset(), (PointT<double>{test.scrolledTo, 0}));
    // The item follows the content under the pointer that stood still.
    EXPECT_EQ(scene.Take("item:"), Names{"item:OnDragMove"});
    EXPECT_EQ(scene.item->GetRect().x, test.scrolledTo + 10);

    // Out of the band: the scrolling stops and gives its request back.
    const double middle = scene.panel->GetScrollOffset().x + 100;
    ASSERT_EQ(scene.MoveInParent(scene.item, middle, 50), QZ_OK);
    EXPECT_FALSE(scene.panel->AutoScrolling(0));
    EXPECT_EQ(scene.panel->GetIdleRequestCount(), 0);
    EXPECT_FALSE(scene.Subscribed(scene.panel));
    scene.Tick(250);
    EXPECT_EQ(scene.panel->GetScrollOffset(), (PointT<double>{test.scrolledTo, 0}));
  }
}

TEST(ControlDragTest, TheBandsOfEachEdgeAndTheirSpeeds) {
  struct Case {
    const char* name;
    int32_t mode;
    uint32_t axes;
    PointT<double> pointer; // in the panel's content (visible: 0, 0, 200, 100)
    double speedX;
    double speedY;
  };
  // The item (70, 30, 50, 30) is gripped at (5, 5): the grip is (75, 35).
  const Case cases[] = {
      {"middle", LControl::kDragMoveScroll, 3, {100, 50}, 0, 0},
      {"right band", LControl::kDragMoveScroll, 3, {190, 50}, 315, 0},
      {"right edge itself", LControl::kDragMoveScroll, 3, {200, 50}, 465, 0},
      {"beyond the right edge", LControl::kDragMoveScroll, 3, {201, 50}, 0, 0},
      {"top band", LControl::kDragMoveScroll, 3, {100, 30}, 0, -15},
      {"bottom band", LControl::kDragMoveScroll, 3, {100, 99}, 0, 450},
      {"top left corner", LControl::kDragMoveScroll, 3, {0, 0}, -465, -465},
      {"moving in Y only", LControl::kDragMoveScroll, LControl::kDragAxisY, {0, 0}, 0, -465},
      {"resizing the right edge", LControl::kDragResizeScroll, LControl::kDragEdgeRight, {195, 50}, 390, 0},
      {"resizing the bottom edge", LControl::kDragResizeScroll, LControl::kDragEdgeBottom, {195, 90}, 0, 315},
      {"moving without scrolling", LControl::kDragMove, 3, {0, 0}, 0, 0},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    DragScene scene;
    scene.item->At(70, 30, 50, 30);
    scene.item->dragModeOnPress = test.mode;
    scene.item->dragAxesOnPress = test.axes;
    ASSERT_EQ(scene.Press(scene.item, 5, 5), QZ_OK);
    ASSERT_EQ(scene.MoveInParent(scene.item, test.pointer.x, test.pointer.y), QZ_OK);
    EXPECT_EQ(scene.panel->AutoScrolling(0), test.speedX != 0);
    EXPECT_EQ(scene.panel->AutoScrolling(1), test.speedY != 0);
    EXPECT_DOUBLE_EQ(scene.panel->AutoScrolling(0) ? scene.panel->AutoScrollSpeed(0) : 0, test.speedX);
    EXPECT_DOUBLE_EQ(scene.panel->AutoScrolling(1) ? scene.panel->AutoScrollSpeed(1) : 0, test.speedY);
    EXPECT_EQ(scene.panel->GetIdleRequestCount(), int32_t(test.speedX != 0) + int32_t(test.speedY != 0));
    // The release stops the scrolling of both axes.
    ASSERT_EQ(scene.Release(scene.item), QZ_OK);
    EXPECT_FALSE(scene.panel->AutoScrolling(0));
    EXPECT_FALSE(scene.panel->AutoScrolling(1));
    EXPECT_EQ(scene.panel->GetIdleRequestCount(), 0);
  }
}

// --- Kinetic scrolling and flings ------------------------------------------------------------

TEST(ControlDragTest, AKineticDragMeasuresVelocityAndPullsTheNamedAxesWithinTheirRange) {
  struct Step {
    uint32_t afterMs;
    PointT<int32_t> by; // the pointer, from the last point
    PointT<double> velocity;
    PointT<double> offsetXY; // with the axes word 3
  };
  // The content starts at (50, 25) within the range (0..100, 0..50); the pointer pulls it.
  const Step steps[] = {
      {20, {10, 4}, {-500, -200}, {40, 21}},  // the first measure: delta / t
      {10, {10, 0}, {-750, -100}, {30, 21}},  // averaged half and half with the last one
      {250, {10, -2}, {-40, 8}, {20, 23}},    // 0.25 s since the last move: not averaged
      {10, {40, 40}, {-2020, -1996}, {0, 0}}, // kept within the range
      {0, {-5, 5}, {-2020, -1996}, {0, 0}},   // no time passed: nothing yet
      {10, {5, -5}, {-1010, -998}, {0, 0}},   // the two moves together: no delta
  };
  for (uint32_t axes : {3u, 1u, 2u, 7u}) {
    SCOPED_TRACE(axes);
    DragScene scene;
    scene.panel->sizeLimits = RectT<double>{0, 0, 100, 50};
    scene.item->ScrollOffsetField() = {50, 25};
    scene.item->dragModeOnPress = LControl::kDragKinetic;
    scene.item->dragAxesOnPress = axes;
    ASSERT_EQ(scene.item->SetDragThreshold(0), QZ_OK); // the drag begins with the press
    ASSERT_EQ(scene.Press(scene.item, 25, 15), QZ_OK);
    PointT<int32_t> pointer{25, 15};
    for (const Step& step : steps) {
      scene.application.AdvanceMilliseconds(step.afterMs);
      pointer = {pointer.x + step.by.x, pointer.y + step.by.y};
      ASSERT_EQ(scene.MoveLocal(scene.item, pointer), QZ_OK);
      EXPECT_EQ(scene.item->Velocity(), step.velocity);
      const bool x = axes == 3 || axes == 1;
      const bool y = axes == 3 || axes == 2;
      EXPECT_EQ(scene.item->GetScrollOffset(), (PointT<double>{x ? step.offsetXY.x : 50, y ? step.offsetXY.y : 25}));
    }
    // The control itself does not move.
    EXPECT_EQ(scene.item->GetRect(), (RectT<double>{20, 10, 50, 30}));
  }
}

TEST(ControlDragTest, AKineticReleaseSoonAfterAFastMoveFlings) {
  struct Case {
    uint32_t releaseAfterMs;
    int32_t stepPx; // per 10 ms
    bool flings;
  };
  const Case cases[] = {{99, 10, true}, {100, 10, false}, {50, 9, false}, {0, -12, true}};
  for (const Case& test : cases) {
    SCOPED_TRACE(testing::Message() << test.releaseAfterMs << " ms, " << test.stepPx << " px");
    DragScene scene;
    scene.item->dragModeOnPress = LControl::kDragKinetic;
    scene.item->dragAxesOnPress = LControl::kDragAxisX;
    ASSERT_EQ(scene.item->SetDragThreshold(0), QZ_OK);
    ASSERT_EQ(scene.Press(scene.item, 25, 15), QZ_OK);
    for (int32_t i = 1; i <= 3; ++i) {
      scene.application.AdvanceMilliseconds(10);
      ASSERT_EQ(scene.MoveLocal(scene.item, {25 - i * test.stepPx, 15}), QZ_OK);
    }
    EXPECT_DOUBLE_EQ(scene.item->Velocity().x, test.stepPx * 100.0);
    scene.application.AdvanceMilliseconds(test.releaseAfterMs);
    ASSERT_EQ(scene.Release(scene.item), QZ_OK);
    EXPECT_EQ(scene.item->Flinging(0), test.flings);
    EXPECT_EQ(scene.item->AutoScrolling(0), test.flings);
    EXPECT_FALSE(scene.item->Flinging(1));
    EXPECT_EQ(scene.item->GetIdleRequestCount(), test.flings ? 1 : 0);
  }
}

// A fling at 2000 px/s started by a release at the time 0, ticked every tickMs: the scroll
// offset at each tick, until the fling stops.
std::vector<double> FlingOffsets(uint32_t tickMs, uint32_t& stoppedAfterMs) {
  DragScene scene;
  scene.item->dragModeOnPress = LControl::kDragKinetic;
  scene.item->dragAxesOnPress = LControl::kDragAxisX;
  EXPECT_EQ(scene.item->SetDragThreshold(0), QZ_OK);
  EXPECT_EQ(scene.Press(scene.item, 45, 15), QZ_OK);
  for (int32_t i = 1; i <= 2; ++i) {
    scene.application.AdvanceMilliseconds(10);
    EXPECT_EQ(scene.MoveLocal(scene.item, {45 - 20 * i, 15}), QZ_OK);
  }
  EXPECT_EQ(scene.Release(scene.item), QZ_OK);
  EXPECT_TRUE(scene.item->Flinging(0));
  std::vector<double> offsets{scene.item->GetScrollOffset().x};
  for (uint32_t elapsed = tickMs; elapsed <= 10000 && scene.item->Flinging(0); elapsed += tickMs) {
    scene.Tick(tickMs);
    offsets.push_back(scene.item->GetScrollOffset().x);
    stoppedAfterMs = elapsed;
  }
  EXPECT_FALSE(scene.item->AutoScrolling(0));
  EXPECT_EQ(scene.item->GetIdleRequestCount(), 0);
  EXPECT_FALSE(scene.Subscribed(scene.item));
  return offsets;
}

TEST(ControlDragTest, AFlingHoldsItsSpeedForASecondThenSlowsToAStopWithoutTurning) {
  uint32_t stopped = 0;
  const std::vector<double> offsets = FlingOffsets(100, stopped);
  std::vector<double> steps;
  for (size_t i = 1; i < offsets.size(); ++i) {
    steps.push_back(offsets[i] - offsets[i - 1]);
  }
  // 200 px per tick up to 1.1 s (the speed falls after the tick's step), then 10 px less
  // each tick down to the last step of 10 px.
  std::vector<double> expected(11, 200.0);
  for (double step = 190; step >= 10; step -= 10) {
    expected.push_back(step);
  }
  EXPECT_EQ(steps, expected);
  EXPECT_EQ(stopped, 3000u);

  uint32_t stoppedHalf = 0;
  const std::vector<double> halfTicks = FlingOffsets(50, stoppedHalf);
  EXPECT_NEAR(double(stoppedHalf), 3000.0, 50.0);
  for (size_t i = 1; i < halfTicks.size(); ++i) {
    EXPECT_GE(halfTicks[i], halfTicks[i - 1]) << "a fling never turns round";
  }
  EXPECT_NEAR(halfTicks.back() - halfTicks.front(), offsets.back() - offsets.front(), 100.0);
}

TEST(ControlDragTest, APressStopsAFling) {
  DragScene scene;
  ASSERT_EQ(scene.item->StartAxisAnimation(1, -3000), QZ_OK);
  EXPECT_TRUE(scene.item->Flinging(1));
  EXPECT_EQ(scene.item->GetIdleRequestCount(), 1);
  EXPECT_EQ(scene.item->StopAxisAnimation(0), QZ_FALSE);
  ASSERT_EQ(scene.Press(scene.item, 5, 5), QZ_OK);
  EXPECT_FALSE(scene.item->Flinging(1));
  EXPECT_FALSE(scene.item->AutoScrolling(1));
  EXPECT_EQ(scene.item->GetIdleRequestCount(), 0);
  EXPECT_EQ(scene.item->StopAxisAnimation(1), QZ_FALSE);
  EXPECT_EQ(scene.item->StopAutoScroll(1), QZ_FALSE);
  EXPECT_EQ(scene.item->StartAxisAnimation(2, 1000), QZ_E_INVALIDARG);
  EXPECT_EQ(scene.item->StopAutoScroll(-1), QZ_E_INVALIDARG);
}

// --- Drag and drop -----------------------------------------------------------------------------

// Beside the panel: a target that accepts (with a refusing clipped child), a second target,
// a refusing control floating over the first target, and a chip to drag in the panel, with a
// child of its own; both accept drops, which must never make them their own target.
struct DropScene : DragScene {
  RCPtr<DragControl> target = DragControl::Make(top, u"target", log);
  RCPtr<DragControl> slot = DragControl::Make(target, u"slot", log);
  RCPtr<DragControl> bin = DragControl::Make(top, u"bin", log);
  RCPtr<DragControl> floater = DragControl::Make(top, u"floater", log);
  RCPtr<DragControl> chip = DragControl::Make(panel, u"chip", log);
  RCPtr<DragControl> chipLabel = DragControl::Make(chip, u"chipLabel", log);

  DropScene() {
    target->At(260, 40, 130, 100);
    slot->At(10, 10, 40, 40);
    bin->At(260, 200, 130, 60);
    floater->At(340, 100, 40, 30);
    EXPECT_EQ(floater->SetClipToParent(false), QZ_OK);
    chip->At(100, 20, 40, 20);
    chipLabel->At(0, 0, 40, 20);
    target->acceptsDrop = bin->acceptsDrop = chip->acceptsDrop = chipLabel->acceptsDrop = true;
    chip->dragModeOnPress = LControl::kDragAndDrop;
    panel->ScrollOffsetField() = {0, 7};
  }
};

TEST(ControlDragTest, DragAndDropAnnouncesTargetsAndPutsTheControlBack) {
  DropScene scene;
  const CursorHandle noDrop = scene.application.Cursor(u"UI_CURSOR_NO_DROP");
  const CursorHandle dropMove = scene.application.Cursor(u"UI_CURSOR_DROP_MOVE");
  const CursorHandle arrow = scene.application.Cursor(u"UI_CURSOR_ARROW");
  ASSERT_EQ(scene.Press(scene.chip, 5, 5), QZ_OK);

  // Over the panel, which refuses: no target.
  ASSERT_EQ(scene.MoveInWindow(scene.chip, 160, 70), QZ_OK);
  EXPECT_EQ(scene.Take(), (Names{"chip:OnDrag", "chip:OnDragMove"}));
  EXPECT_EQ(scene.window->cursor, noDrop);
  EXPECT_FALSE(scene.chip->GetLayoutDescriptor()->clipToParent);
  EXPECT_TRUE(scene.chip->GetLayoutDescriptor()->position[0].docked);
  EXPECT_TRUE(scene.chip->GetLayoutDescriptor()->position[1].docked);
  // Docked at its place in the visible content: the chip follows the pointer.
  EXPECT_EQ(scene.chip->GetWindowPosition(), (PointT<double>{155, 65}));

  // Over the target.
  ASSERT_EQ(scene.MoveInWindow(scene.chip, 300, 60), QZ_OK);
  EXPECT_EQ(scene.Take(), (Names{"chip:OnDragMove", "target:OnDragEnter:chip", "target:OnDragOver:chip@300,60"}));
  EXPECT_EQ(scene.window->cursor, dropMove);
  EXPECT_EQ(scene.application.lastCursorName, &CursorNames::DropMove()) << "the shared name: the program's cursor";
  EXPECT_EQ(scene.chip->DropTarget(), scene.target);
  EXPECT_EQ(scene.chip->GetWindowPosition(), (PointT<double>{295, 55}));

  // Further over it, over its refusing clipped child, and under the refusing floating
  // control: the same target.
  for (PointT<int32_t> point : {PointT<int32_t>{310, 70}, PointT<int32_t>{275, 55}, PointT<int32_t>{350, 110}}) {
    ASSERT_EQ(scene.MoveInWindow(scene.chip, point.x, point.y), QZ_OK);
    EXPECT_EQ(scene.Take(), (Names{"chip:OnDragMove", "target:OnDragOver:chip@" + std::to_string(point.x) + "," +
                                                          std::to_string(point.y)}));
  }

  // Over the bin: the target is left.
  ASSERT_EQ(scene.MoveInWindow(scene.chip, 300, 220), QZ_OK);
  EXPECT_EQ(scene.Take(), (Names{"chip:OnDragMove", "target:OnDragLeave:chip", "bin:OnDragEnter:chip",
                                 "bin:OnDragOver:chip@300,220"}));
  scene.window->cursorRequests.clear();

  // The release drops it on the bin; clipping and docking are as before, the position kept
  // in the panel's content.
  ASSERT_EQ(scene.Release(scene.chip), QZ_OK);
  EXPECT_EQ(scene.Take(), (Names{"chip:OnDragEnd", "bin:OnDrop:chip", "bin:OnDragLeave:chip"}));
  EXPECT_EQ(scene.window->cursorRequests, std::vector<CursorHandle>{arrow});
  EXPECT_EQ(scene.chip->DropTarget(), nullptr);
  const LLayoutDescriptor& layout = *scene.chip->GetLayoutDescriptor();
  EXPECT_TRUE(layout.clipToParent);
  EXPECT_FALSE(layout.position[0].docked);
  EXPECT_FALSE(layout.position[1].docked);
  EXPECT_EQ(scene.chip->GetRect().GetOrigin(), (PointT<double>{245, 182}));
  EXPECT_EQ(scene.chip->GetWindowPosition(), (PointT<double>{295, 215}));
}

TEST(ControlDragTest, ADraggedControlThatFloatedAndWasDockedStaysSo) {
  DropScene scene;
  ASSERT_EQ(scene.chip->SetClipToParent(false), QZ_OK);
  LayoutPosition y = scene.chip->GetLayoutDescriptor()->position[1];
  y.docked = true;
  y.abs = 13; // 20 in the content scrolled by 7
  ASSERT_EQ(scene.chip->SetAxisPlacement(1, y, scene.chip->GetLayoutDescriptor()->size[1]), QZ_OK);
  ASSERT_EQ(scene.Press(scene.chip, 5, 5), QZ_OK);
  ASSERT_EQ(scene.MoveInWindow(scene.chip, 300, 220), QZ_OK);
  ASSERT_EQ(scene.Release(scene.chip), QZ_OK);
  const LLayoutDescriptor& layout = *scene.chip->GetLayoutDescriptor();
  EXPECT_FALSE(layout.clipToParent);
  EXPECT_FALSE(layout.position[0].docked);
  EXPECT_TRUE(layout.position[1].docked);
  EXPECT_EQ(scene.chip->GetWindowPosition(), (PointT<double>{295, 215}));
}

TEST(ControlDragTest, TheSearchForADropTarget) {
  DropScene scene;
  const PointT<double> overTarget{300, 60};
  // The dragged control and its subtree are never their own target.
  EXPECT_EQ(scene.chipLabel->FindDropTarget(scene.chip, overTarget), nullptr);
  // A clipped child that refuses hands over to its parent.
  EXPECT_EQ(scene.slot->FindDropTarget(scene.chip, overTarget), scene.target);
  // A floating control that refuses looks beneath itself (the point in the window).
  EXPECT_EQ(scene.floater->FindDropTarget(scene.chip, {350, 110}), scene.target);
  EXPECT_EQ(scene.floater->FindDropTarget(scene.chip, {350, 180}), nullptr);
  // The re-test rounds the point half away from zero and keeps it in 32 bits.
  EXPECT_EQ(scene.floater->FindDropTarget(scene.chip, {259.5, 60}), scene.target);
  EXPECT_EQ(scene.floater->FindDropTarget(scene.chip, {259.4, 60}), nullptr);
  EXPECT_EQ(scene.floater->FindDropTarget(scene.chip, {1e300, -1e300}), nullptr);
  // No mark is left behind.
  for (const RCPtr<DragControl>& control : {scene.top, scene.panel, scene.chip, scene.chipLabel, scene.floater}) {
    EXPECT_FALSE(control->IsExcludedFromHitTest());
  }
}

TEST(ControlDragTest, FloatingControlsThatHitEachOtherGiveNoTarget) {
  DropScene scene;
  RCPtr<DragControl> a = DragControl::Make(scene.top, u"a", scene.log);
  RCPtr<DragControl> b = DragControl::Make(scene.top, u"b", scene.log);
  a->At(0, 200, 10, 10);
  b->At(20, 200, 10, 10);
  ASSERT_EQ(a->SetClipToParent(false), QZ_OK);
  ASSERT_EQ(b->SetClipToParent(false), QZ_OK);
  scene.top->hitCycle = {a, b};
  scene.top->hitCycleNext = 1; // a finds b beneath itself, b finds a
  EXPECT_EQ(a->FindDropTarget(scene.chip, {5, 205}), nullptr);

  scene.top->hitCycleNext = 0;
  ASSERT_EQ(scene.Press(scene.chip, 5, 5), QZ_OK);
  ASSERT_EQ(scene.MoveInWindow(scene.chip, 5, 205), QZ_OK);
  EXPECT_EQ(scene.chip->DropTarget(), nullptr);
  EXPECT_EQ(scene.window->cursor, scene.application.Cursor(u"UI_CURSOR_NO_DROP"));
}

TEST(ControlDragTest, ATargetScrollsWhileThePointerIsNearItsScrollingEdges) {
  DropScene scene;
  scene.target->autoScrollEdges = LControl::kDragEdgeLeft;
  scene.target->ScrollOffsetField() = {40, 0};
  scene.target->sizeLimits = RectT<double>{-1000, -1000, 2000, 2000};
  ASSERT_EQ(scene.Press(scene.chip, 5, 5), QZ_OK);

  // 10 px inside its left edge: 20 px into the band.
  ASSERT_EQ(scene.MoveInWindow(scene.chip, 270, 100), QZ_OK);
  EXPECT_TRUE(scene.target->AutoScrolling(0));
  EXPECT_DOUBLE_EQ(scene.target->AutoScrollSpeed(0), -315);
  EXPECT_EQ(scene.target->AutoScrollMoved(0), scene.chip);
  // Near its right edge, which does not scroll, and near the top: nothing.
  ASSERT_EQ(scene.MoveInWindow(scene.chip, 385, 45), QZ_OK);
  EXPECT_FALSE(scene.target->AutoScrolling(0));
  EXPECT_FALSE(scene.target->AutoScrolling(1));
  EXPECT_EQ(scene.target->GetIdleRequestCount(), 0);

  // Every edge scrolls; leaving for another target stops the scrolling of the first.
  scene.target->autoScrollEdges =
      LControl::kDragEdgeLeft | LControl::kDragEdgeRight | LControl::kDragEdgeTop | LControl::kDragEdgeBottom;
  ASSERT_EQ(scene.MoveInWindow(scene.chip, 385, 45), QZ_OK);
  EXPECT_DOUBLE_EQ(scene.target->AutoScrollSpeed(0), 390);
  EXPECT_DOUBLE_EQ(scene.target->AutoScrollSpeed(1), -390);
  EXPECT_EQ(scene.target->GetIdleRequestCount(), 2);
  ASSERT_EQ(scene.MoveInWindow(scene.chip, 300, 220), QZ_OK);
  EXPECT_FALSE(scene.target->AutoScrolling(0));
  EXPECT_FALSE(scene.target->AutoScrolling(1));
  EXPECT_EQ(scene.target->GetIdleRequestCount(), 0);

  // Back in its band, the scrolling content carries the chip's search along.
  ASSERT_EQ(scene.MoveInWindow(scene.chip, 270, 100), QZ_OK);
  scene.Take();
  scene.Tick(200);
  EXPECT_EQ(scene.target->GetScrollOffset().x, 40 - 63);
  EXPECT_EQ(scene.Take("chip:"), Names{"chip:OnDragMove"});
  ASSERT_EQ(scene.Release(scene.chip), QZ_OK);
  EXPECT_FALSE(scene.target->AutoScrolling(0));
}

TEST(ControlDragTest, TheBaseAnswersOfTheDropHooks) {
  DragScene scene;
  const RCPtr<LControl> plain(new LControl(scene.panel, u"plain"));
  EXPECT_FALSE(plain->AcceptsDrop(scene.item));
  EXPECT_EQ(plain->GetDragAutoScrollEdges(scene.item), 0u);
  EXPECT_EQ(plain->OnDrop(scene.item), QZ_E_FAIL);
  EXPECT_EQ(plain->OnDragEnter(scene.item), QZ_OK);
  EXPECT_EQ(plain->OnDragOver(scene.item, {1, 2}), QZ_OK);
  EXPECT_EQ(plain->OnDragLeave(scene.item), QZ_OK);
  EXPECT_EQ(plain->GetSizeLimits(scene.item), (RectT<double>{0, 0, 4503599627370496.0, 4503599627370496.0}));
  RectT<double> bounds{1, 2, 3, 4};
  EXPECT_EQ(plain->GetDragBounds(bounds), QZ_OK);
  EXPECT_EQ(bounds, (RectT<double>{1, 2, 3, 4}));
  EXPECT_EQ(plain->OnDragMove(nullptr), QZ_E_INVALIDARG);
}

} // namespace
} // namespace QZ
