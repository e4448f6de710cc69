#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QZFramework/ControlBase/InputTestSupport.h"
#include "QZFramework/Controls/WidgetTestSupport.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

using QZTest::Child;
using QZTest::WidgetHarness;

// The skin's "splitHost" in a window 800 wide: pane A at 100, 200 wide (50 to 400), the
// bar 4 wide at 300 placed against it, pane B from 304 to the right edge (at least 100).
struct SplitWindow {
  WidgetHarness harness;
  RCPtr<LControl> host;
  RCPtr<LSplitterBase> split;
  RCPtr<LControl> paneA;
  RCPtr<LControl> paneB;

  explicit SplitWindow(const char16_t* hostName = u"splitHost") {
    host = harness.Create(hostName);
    split = DynamicCast<LSplitterBase>(Child(host, u"split"));
    paneA = host->FindChildByName(u"paneA");
    paneB = host->FindChildByName(u"paneB");
  }

  // The pointer on the bar's axis in the host's coordinates, the other coordinate 5 into the bar.
  PointT<int32_t> Local(double along) const {
    const RectT<double>& rect = split->GetRect();
    return split->GetAxis() == 0 ? PointT<int32_t>{RoundToInt32(along - rect.x), 5}
                                 : PointT<int32_t>{5, RoundToInt32(along - rect.y)};
  }
  void Press(double along) {
    harness.window->mouseButtons = kMouseButtonLeft;
    const PointT<int32_t> local = Local(along);
    split->OnMouseDown(QZTest::Press(kMouseButtonLeft, local.x, local.y));
  }
  void MoveTo(double along) {
    const PointT<int32_t> local = Local(along);
    split->OnMouseMove(QZTest::Move(local.x, local.y));
  }
  void Release(double along) {
    harness.window->mouseButtons = 0;
    const PointT<int32_t> local = Local(along);
    split->OnMouseUp(QZTest::Release(kMouseButtonLeft, local.x, local.y));
  }
  // Shrinks or grows the window's client area to width, as the OS window tells its top control.
  void ResizeWindow(int32_t width) {
    harness.window->clientRect.width = width;
    host->OnRootResized({width, harness.window->clientRect.height});
  }
  double Start(const RCPtr<LControl>& control) const { return control->GetRect().x; }
  double Width(const RCPtr<LControl>& control) const { return control->GetRect().width; }
};

TEST(SplitterTest, ThePanesAndTheBarAreWhereTheSkinPlacesThem) {
  SplitWindow w;
  ASSERT_TRUE(w.split && w.paneA && w.paneB);
  EXPECT_EQ(w.paneA->GetRect(), (RectT<double>{100, 0, 200, 200}));
  EXPECT_EQ(w.split->GetRect(), (RectT<double>{300, 0, 4, 200}));
  EXPECT_EQ(w.paneB->GetRect(), (RectT<double>{304, 0, 496, 200}));
  EXPECT_EQ(w.split->GetOrientation(), LSplitterBase::kVertical);
  EXPECT_EQ(w.split->GetCursor(), w.harness.application.Cursor(u"UI_CURSOR_SIZE_WE"));
  EXPECT_EQ(w.split->GetCurrentLookIndex(), 0);
}

TEST(SplitterTest, TheSiblingsMinimumAndMaximumBoundTheDrag) {
  SplitWindow w;
  ASSERT_TRUE(w.split);
  w.Press(302); // 2 into the bar
  w.MoveTo(-1000);
  EXPECT_EQ(w.split->GetDragMode(), LControl::kDragMoveScroll);
  EXPECT_EQ(w.split->GetDragAxes(), LControl::kDragAxisX);
  // The range 150..500 (the sibling's 50..400 from 100), measured from the press point.
  RectT<double> bounds{-1, -2, 3, 4};
  EXPECT_EQ(w.split->GetDragBounds(bounds), QZ_OK);
  EXPECT_EQ(bounds, (RectT<double>{152, -2, 350, 4}));
  EXPECT_EQ(w.Start(w.split), 150.0);
  EXPECT_EQ(w.Width(w.paneA), 50.0);

  w.MoveTo(2000);
  EXPECT_EQ(w.Start(w.split), 500.0);
  EXPECT_EQ(w.Width(w.paneA), 400.0);
  EXPECT_EQ(w.paneB->GetRect(), (RectT<double>{504, 0, 296, 200}));
  w.Release(2000);
  EXPECT_EQ(w.Start(w.split), 500.0);
}

TEST(SplitterTest, ALaterPaneLimitsTheDragByItsMinimum) {
  SplitWindow w;
  ASSERT_TRUE(w.split);
  ASSERT_EQ(w.paneA->SetAxisSizeLimits(0, LayoutLimit{false, {}, 0.0f, 50.0}, LayoutLimit{}), QZ_OK);
  w.Press(301);
  w.MoveTo(2000);
  // Pane B keeps 100 of its 496: the bar stops at 696.
  EXPECT_EQ(w.Start(w.split), 696.0);
  EXPECT_EQ(w.paneB->GetRect(), (RectT<double>{700, 0, 100, 200}));
  w.Release(2000);
}

TEST(SplitterTest, WhileDraggingTheSiblingFollowsAndAfterwardsTheBarIsPlacedAgainstItAgain) {
  SplitWindow w;
  ASSERT_TRUE(w.split);
  w.Press(302);
  w.MoveTo(342);
  EXPECT_EQ(w.split->GetAttachedControl(), w.paneA);
  EXPECT_EQ(w.Start(w.split), 340.0);
  EXPECT_EQ(w.paneA->GetLayoutDescriptor()->size[0].abs, 240.0);
  EXPECT_EQ(w.Width(w.paneA), 240.0);
  EXPECT_EQ(w.paneB->GetRect(), (RectT<double>{344, 0, 456, 200}));
  // Held at its place meanwhile, not against the sibling it resizes.
  EXPECT_EQ(w.split->GetLayoutDescriptor()->position[0].kind, kPositionToClient);

  w.MoveTo(292); // back past the start
  EXPECT_EQ(w.Start(w.split), 290.0);
  EXPECT_EQ(w.Width(w.paneA), 190.0);

  w.Release(292);
  EXPECT_FALSE(w.split->GetAttachedControl());
  const LayoutPosition& placed = w.split->GetLayoutDescriptor()->position[0];
  EXPECT_EQ(placed.kind, kPositionToSibling);
  EXPECT_EQ(placed.name, WString(u"paneA"));
  EXPECT_EQ(placed.rel, 1.0f);
  EXPECT_EQ(placed.abs, 0.0);
  EXPECT_EQ(w.Start(w.split), 290.0);
  // Placed against it again, the bar follows the sibling.
  LayoutSize size = w.paneA->GetLayoutDescriptor()->size[0];
  size.abs = 250.0;
  ASSERT_EQ(w.paneA->SetAxisPlacement(0, w.paneA->GetLayoutDescriptor()->position[0], size), QZ_OK);
  EXPECT_EQ(w.Start(w.split), 350.0);
}

TEST(SplitterTest, ABarPlacedAgainstItsParentRangesUpToTwoToTheFiftySecond) {
  SplitWindow w(u"freeHost");
  ASSERT_TRUE(w.split);
  EXPECT_EQ(w.split->GetOrientation(), LSplitterBase::kHorizontal);
  EXPECT_EQ(w.split->GetCursor(), w.harness.application.Cursor(u"UI_CURSOR_SIZE_NS"));
  w.Press(121); // 1 into the bar
  w.MoveTo(1121);
  EXPECT_EQ(w.split->GetDragAxes(), LControl::kDragAxisY);
  EXPECT_FALSE(w.split->GetAttachedControl());
  RectT<double> bounds{7, -1, 9, -1};
  EXPECT_EQ(w.split->GetDragBounds(bounds), QZ_OK);
  EXPECT_EQ(bounds, (RectT<double>{7, 1, 9, LSplitterBase::kUnlimited}));
  EXPECT_EQ(w.split->GetRect().y, 1120.0);
  w.MoveTo(-500);
  EXPECT_EQ(w.split->GetRect().y, 0.0);
  w.Release(-500);
  EXPECT_EQ(w.split->GetLayoutDescriptor()->position[1].kind, kPositionToClient);
  EXPECT_EQ(w.split->GetRect().y, 0.0);
}

// A press focuses a bar that may take the focus; first one that may not.
TEST(SplitterTest, TheLookFollowsThePointerTheFocusAndTheEnabledState) {
  SplitWindow w;
  ASSERT_TRUE(w.split);
  const RCPtr<LSplitterBase> split = w.split;
  std::vector<std::pair<std::string, int32_t>> seen;
  const auto step = [&](const std::string& what) { seen.emplace_back(what, split->GetCurrentLookIndex()); };
  split->SetFocusable(false);
  ASSERT_EQ(split->SetFocusable(true), QZ_OK);
  step("normal");
  split->OnMouseEnter();
  step("hover");
  w.Press(302);
  step("pressed, not yet dragging");
  w.MoveTo(320);
  step("dragging");
  split->OnMouseLeave();
  step("dragging, pointer away");
  w.Release(320);
  step("released away");

  ASSERT_EQ(split->SetFocusable(false), QZ_OK);
  split->SetFocus(true);
  step("focused");
  split->OnMouseEnter();
  step("focused, hover");
  w.Press(322);
  w.MoveTo(330);
  step("focused, dragging");
  split->OnMouseLeave();
  step("focused, dragging, pointer away");
  w.Release(330);
  step("focused, released away");

  split->SetEnabled(false);
  step("disabled");
  split->OnMouseEnter();
  step("disabled, hover");
  w.Press(330);
  w.MoveTo(340);
  step("disabled, pressed");
  w.Release(340);
  split->SetEnabled(true);
  w.host->SetEnabled(false);
  step("parent disabled");
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, int32_t>>{
                      {"normal", 0},
                      {"hover", 1},
                      {"pressed, not yet dragging", 0},
                      {"dragging", 2},
                      {"dragging, pointer away", 1},
                      {"released away", 0},
                      {"focused", 3},
                      {"focused, hover", 4},
                      {"focused, dragging", 5},
                      {"focused, dragging, pointer away", 4},
                      {"focused, released away", 3},
                      {"disabled", 6},
                      {"disabled, hover", 6},
                      {"disabled, pressed", 6},
                      {"parent disabled", 6},
                  }));
}

TEST(SplitterTest, AWindowShrunkBelowALaterPanesMinimumResizesTheSibling) {
  const struct {
    const char* name;
    int32_t width;
    double minimumOfA;
    double bar;
    double widthOfB;
  } cases[] = {
      {"room for both: nothing moves", 500, 50, 300, 196},
      {"B would be 96: A gives 4", 400, 50, 296, 100},
      {"B would be 46: A gives 54", 350, 50, 246, 100},
      {"B would be 46 and A keeps 190: A's minimum wins", 350, 190, 290, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SplitWindow w;
    ASSERT_TRUE(w.split);
    ASSERT_EQ(
        w.paneA->SetAxisSizeLimits(0, LayoutLimit{false, {}, 0.0f, c.minimumOfA}, LayoutLimit{false, {}, 0.0f, 400.0}),
        QZ_OK);
    w.ResizeWindow(c.width);
    EXPECT_EQ(w.Width(w.host), double(c.width));
    EXPECT_EQ(w.Start(w.split), c.bar);
    EXPECT_EQ(w.Width(w.paneA), c.bar - 100.0);
    EXPECT_EQ(w.paneA->GetLayoutDescriptor()->size[0].abs, c.bar - 100.0);
    EXPECT_EQ(w.Start(w.paneB), c.bar + 4.0);
    EXPECT_EQ(w.Width(w.paneB), c.widthOfB);
  }
}

} // namespace
} // namespace QZ
