#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QZFramework/ControlBase/PaintTestSupport.h"
#include "Support/FakeRootWindow.h"

namespace QZ {
namespace {

using namespace QZTest;

RCPtr<PaintProbe> Probe(const RCPtr<LControl>& parent, const char16_t* name, RectT<double> rect, uint32_t argb = kRed) {
  RCPtr<PaintProbe> probe = PaintProbe::Make(parent, WString(name));
  probe->Place(rect.x, rect.y, rect.width, rect.height);
  probe->UseLook(ColourLook(argb, {int32_t(rect.width), int32_t(rect.height)}));
  return probe;
}

std::string NameOf(const RCPtr<LControl>& control) { return control ? Utf8(control->GetName()) : "null"; }

// What the root window asks: the point in window coordinates, from the top control.
struct Hit {
  std::string name;
  PointT<int32_t> point;
  int32_t depth;
};
Hit HitAt(const RCPtr<LControl>& top, PointT<int32_t> point, bool bounded = true) {
  PointT<int32_t> local{-1, -1};
  int32_t depth = LControl::kNoHitDepth;
  const RCPtr<LControl> hit = top->HitTest(point, bounded, local, depth);
  return {NameOf(hit), local, depth};
}

TEST(ControlHitTestTest, AFloatingChildIsHitOutsideItsParentAndBeatsTheSiblingBeneath) {
  const RCPtr<PaintProbe> root = Probe(nullptr, u"root", {0, 0, 300, 200});
  const RCPtr<PaintProbe> parent = Probe(root, u"parent", {10, 10, 100, 100});
  Probe(root, u"sibling", {100, 10, 100, 100}, kGreen);
  Probe(parent, u"popup", {80, 0, 60, 40}, kBlue)->Float(5);

  const Hit onPopup = HitAt(root, {120, 20});
  EXPECT_EQ(onPopup.name, "popup");
  EXPECT_EQ(onPopup.point, (PointT<int32_t>{30, 10}));
  EXPECT_EQ(onPopup.depth, 5);
  // Below the popup the sibling is on top of the parent.
  EXPECT_EQ(HitAt(root, {120, 60}).name, "sibling");
  EXPECT_EQ(HitAt(root, {50, 60}).name, "parent");
  EXPECT_EQ(HitAt(root, {250, 150}).name, "root");
  EXPECT_EQ(HitAt(root, {350, 150}).name, "null");
}

TEST(ControlHitTestTest, AControlTransparentAtThePointLetsItsChildOrNothingBeHit) {
  const RCPtr<PaintProbe> glass = Probe(nullptr, u"glass", {0, 0, 100, 100}, kClear);
  Probe(glass, u"pane", {10, 10, 30, 30});
  EXPECT_EQ(HitAt(glass, {20, 20}).name, "pane");
  EXPECT_EQ(HitAt(glass, {70, 70}).name, "null");
  // A look of weight 0 shows nothing: the control is transparent everywhere.
  const RCPtr<PaintProbe> faded = Probe(nullptr, u"faded", {0, 0, 100, 100});
  faded->UseLooks({ColourLook(kRed, {100, 100})}, {0.0f});
  EXPECT_EQ(HitAt(faded, {70, 70}).name, "null");
}

TEST(ControlHitTestTest, ChildrenArePlacedByTheLooksWithAWeight) {
  const RCPtr<PaintProbe> root = Probe(nullptr, u"root", {0, 0, 100, 100});
  // Look 1 alone is shown: its client part, at (20, 20), places the child.
  root->UseLooks({ColourLook(kRed, {100, 100}, 5, 5, -5, -5), ColourLook(kGreen, {100, 100}, 20, 20, -20, -20)},
                 {0.0f, 1.0f});
  Probe(root, u"child", {10, 10, 20, 20});
  const Hit onChild = HitAt(root, {35, 35});
  EXPECT_EQ(onChild.name, "child");
  EXPECT_EQ(onChild.point, (PointT<int32_t>{5, 5}));
  EXPECT_EQ(HitAt(root, {25, 25}).name, "root") << "where look 0 would have put the child";
  // Without a weight no look places the child, nor shows the root.
  root->SetLookWeights({0.0f});
  EXPECT_EQ(HitAt(root, {35, 35}).name, "null");
  // A control without children is hit through its weighted look.
  const RCPtr<PaintProbe> leaf = Probe(nullptr, u"leaf", {0, 0, 50, 50});
  leaf->UseLooks({ColourLook(kClear, {50, 50}), ColourLook(kBlue, {50, 50})}, {0.0f, 1.0f});
  EXPECT_EQ(HitAt(leaf, {49, 49}).name, "leaf");
  EXPECT_EQ(HitAt(leaf, {50, 10}).name, "null");
}

TEST(ControlHitTestTest, OutsideTheClientRectangleOnlyChildrenDockedOnBothAxesAndFloatingOnesAreHit) {
  struct Case {
    const char* kind;
    bool dockX;
    bool dockY;
    bool floating;
    const char* expected;
  };
  const Case cases[] = {
      {"plain", false, false, false, "null"},
      {"docked on X", true, false, false, "null"},
      {"docked on both", true, true, false, "child"},
      {"floating", false, false, true, "child"},
  };
  for (const Case& c : cases) {
    // A frame of 10 pixels around the client area, where the panel shows nothing.
    const RCPtr<PaintProbe> panel = PaintProbe::Make(nullptr, u"panel");
    panel->Place(0, 0, 100, 100);
    panel->UseLook(ColourLook(kRed, {100, 100}, 10, 10, -10, -10));
    const RCPtr<PaintProbe> child = Probe(panel, u"child", {-10, -10, 30, 30});
    child->Dock(c.dockX, c.dockY);
    if (c.floating) {
      child->Float();
    }
    EXPECT_EQ(HitAt(panel, {5, 5}).name, c.expected) << c.kind;
    EXPECT_EQ(HitAt(panel, {15, 15}).name, "child") << c.kind;
  }
}

TEST(ControlHitTestTest, AParentWhoseChildrenCountAsItselfRemembersTheChild) {
  const RCPtr<PaintProbe> button = Probe(nullptr, u"button", {0, 0, 100, 40});
  const RCPtr<PaintProbe> icon = Probe(button, u"icon", {10, 5, 20, 20});
  button->ChildrenHitAsSelf() = true;

  const Hit onIcon = HitAt(button, {15, 10});
  EXPECT_EQ(onIcon.name, "button");
  EXPECT_EQ(onIcon.point, (PointT<int32_t>{15, 10}));
  EXPECT_EQ(button->HitChild(), RCPtr<LControl>(icon));
  EXPECT_EQ(button->HitPoint(), (PointT<int32_t>{5, 5}));
  EXPECT_EQ(button->HitDepth(), LControl::kNoHitDepth);
  // Each test starts afresh.
  EXPECT_EQ(HitAt(button, {80, 30}).name, "button");
  EXPECT_EQ(button->HitChild(), nullptr);
}

TEST(ControlHitTestTest, ABusyExcludedHiddenOrUnboundedControlIsNotHitItself) {
  struct Case {
    const char* state;
    void (*apply)(PaintProbe&);
    bool bounded;
    const char* atLeaf;
    const char* atLeafChild;
  };
  const Case cases[] = {
      {"plain", [](PaintProbe&) {}, true, "leaf", "grandchild"},
      {"layout busy", [](PaintProbe& leaf) { leaf.LayoutBusy() = true; }, true, "root", "grandchild"},
      {"excluded", [](PaintProbe& leaf) { leaf.SetExcludedFromHitTest(true); }, true, "root", "grandchild"},
      {"hidden", [](PaintProbe& leaf) { leaf.Layout().isVisible = false; }, true, "root", "root"},
      {"no height", [](PaintProbe& leaf) { leaf.Place(20, 20, 40, 0); }, true, "root", "root"},
      {"unbounded", [](PaintProbe&) {}, false, "null", "null"},
  };
  for (const Case& c : cases) {
    const RCPtr<PaintProbe> root = Probe(nullptr, u"root", {0, 0, 100, 100});
    const RCPtr<PaintProbe> leaf = Probe(root, u"leaf", {20, 20, 40, 40});
    Probe(leaf, u"grandchild", {20, 20, 10, 10});
    c.apply(*leaf);
    EXPECT_EQ(HitAt(root, {25, 25}, c.bounded).name, c.atLeaf) << c.state;
    EXPECT_EQ(HitAt(root, {45, 45}, c.bounded).name, c.atLeafChild) << c.state;
  }
}

TEST(ControlHitTestTest, TheHitDepthIsTheHighestFloatingLayerOnThePathToTheRoot) {
  const RCPtr<PaintProbe> root = Probe(nullptr, u"root", {0, 0, 100, 100});
  const RCPtr<PaintProbe> a = Probe(root, u"a", {0, 0, 50, 50});
  const RCPtr<PaintProbe> b = Probe(a, u"b", {0, 0, 20, 20});
  EXPECT_EQ(b->GetHitDepth(), LControl::kNoHitDepth);
  a->Float(7);
  EXPECT_EQ(b->GetHitDepth(), 7);
  b->Float(-3);
  EXPECT_EQ(b->GetHitDepth(), 7);
  b->Layout().zOrder = 9;
  EXPECT_EQ(b->GetHitDepth(), 9);
  EXPECT_EQ(root->GetHitDepth(), LControl::kNoHitDepth);
}

TEST(ControlGeometryTest, WindowPositionsAndPointsFollowPositionsScrollAndClientOrigins) {
  const RCPtr<PaintProbe> root = PaintProbe::Make(nullptr, u"root");
  root->Place(10, 20, 200, 100);
  root->UseLook(ColourLook(kRed, {200, 100}, 2, 3, 0, 0));
  root->ScrollOffsetField() = {5, 0};
  const RCPtr<PaintProbe> child = Probe(root, u"child", {7, 8, 30, 30});

  EXPECT_EQ(root->GetWindowPosition(), (PointT<double>{10, 20}));
  EXPECT_EQ(child->GetWindowPosition(), (PointT<double>{14, 31}));
  PointT<double> point{1.5, -2};
  child->ConvertPoint(root.Get(), point);
  EXPECT_EQ(point, (PointT<double>{5.5, 9}));
  root->ConvertPoint(child.Get(), point);
  EXPECT_EQ(point, (PointT<double>{1.5, -2}));
  child->ConvertPoint(nullptr, point);
  EXPECT_EQ(point, (PointT<double>{15.5, 29}));

  EXPECT_EQ(root->ComputeClientExtent(), (RectT<double>{5, 0, 198, 97}));
  EXPECT_EQ(root->GetContentRect(), (RectT<double>{0, 0, 198, 97}));
  const RCPtr<PaintProbe> bare = PaintProbe::Make(nullptr, u"bare");
  bare->Place(0, 0, 40, 30);
  bare->ScrollOffsetField() = {1, 2};
  EXPECT_EQ(bare->ComputeClientExtent(), (RectT<double>{1, 2, 40, 30}));
  EXPECT_EQ(bare->GetContentRect(), (RectT<double>{0, 0, 40, 30}));
}

TEST(ControlGeometryTest, TheContentExtentReadsOnlySelfMaximumSizes) {
  const RCPtr<PaintProbe> control = PaintProbe::Make(nullptr, u"control");
  EXPECT_EQ(control->GetContentExtent(), (PointT<double>{0, 0}));
  control->Place(0, 0, 10, 10);
  control->Layout().maximum[0] = {false, {}, 0.5f, 120};
  control->Layout().maximum[1] = {true, WString(u"Children"), 0.0f, 80};
  EXPECT_EQ(control->GetContentExtent(), (PointT<double>{120, 0}));
  control->Layout().maximum[0].toControl = true;
  control->Layout().maximum[1].toControl = false;
  EXPECT_EQ(control->GetContentExtent(), (PointT<double>{0, 80}));
}

class ControlInvalidationTest : public ::testing::Test {
protected:
  void SetUp() override {
    root = Probe(nullptr, u"root", {0, 0, 300, 200});
    root->UseLook(ColourLook(kRed, {300, 200}, 10, 10, -10, -10)); // client (10, 10, 280, 180)
    ASSERT_EQ(window->InstallRootControl(root), QZ_OK);
    panel = Probe(root, u"panel", {20, 20, 100, 100});
    window->invalidated.clear();
  }
  void TearDown() override { window->InstallRootControl(nullptr); }

  RCPtr<FakeRootWindow> window{new FakeRootWindow};
  RCPtr<PaintProbe> root;
  RCPtr<PaintProbe> panel;
};

TEST_F(ControlInvalidationTest, ATreeMadeWithoutAWindowAnswersAloneAndReachesTheWindowOnceItHasOne) {
  const RCPtr<PaintProbe> top = Probe(nullptr, u"top", {0, 0, 200, 100});
  top->UseLook(ColourLook(kRed, {200, 100}, 5, 5, -5, -5)); // client (5, 5, 190, 90)
  const RCPtr<PaintProbe> box = Probe(top, u"box", {10, 20, 50, 50});
  const RCPtr<PaintProbe> inner = Probe(box, u"inner", {5, 5, 20, 20});
  EXPECT_EQ(inner->InvalidateChildRect({0, 0, 20, 20}, true), QZ_OK);
  EXPECT_EQ(inner->InvalidateChildRect({100, 0, 20, 20}, true), QZ_FALSE); // outside the box
  box->Layout().isVisible = false;
  EXPECT_EQ(inner->InvalidateChildRect({0, 0, 20, 20}, true), QZ_FALSE);
  box->Layout().isVisible = true;
  // A floating control is cut by none of its ancestors, yet a hidden one still hides it.
  const RCPtr<PaintProbe> floating = Probe(inner, u"floating", {100, 100, 20, 20});
  floating->Float();
  EXPECT_EQ(floating->InvalidateChildRect({0, 0, 20, 20}, true), QZ_OK);
  box->Layout().isVisible = false;
  EXPECT_EQ(floating->InvalidateChildRect({0, 0, 20, 20}, true), QZ_FALSE);
  box->Layout().isVisible = true;
  EXPECT_TRUE(window->invalidated.empty());

  ASSERT_EQ(window->InstallRootControl(top), QZ_OK);
  window->invalidated.clear();
  EXPECT_EQ(inner->InvalidateChildRect({1, 2, 3, 4}, true), QZ_OK);
  // 5 + 10 + 5 + 1 across, 5 + 20 + 5 + 2 down.
  EXPECT_EQ(window->invalidated, (std::vector<RectT<int32_t>>{{21, 32, 3, 4}}));
}

TEST_F(ControlInvalidationTest, AHiddenOrEmptyControlInvalidatesNothing) {
  const RCPtr<PaintProbe> child = Probe(panel, u"child", {10, 10, 20, 20});
  child->Layout().isVisible = false;
  EXPECT_EQ(child->InvalidateChildRect({0, 0, 20, 20}, true), QZ_FALSE);
  child->Layout().isVisible = true;
  child->Place(10, 10, 0, 20);
  EXPECT_EQ(child->InvalidateChildRect({0, 0, 20, 20}, true), QZ_FALSE);
  panel->Layout().isVisible = false;
  child->Place(10, 10, 20, 20);
  EXPECT_EQ(child->InvalidateChildRect({0, 0, 20, 20}, true), QZ_FALSE);
  // Wholly outside the parent.
  panel->Layout().isVisible = true;
  EXPECT_EQ(child->InvalidateChildRect({200, 0, 20, 20}, true), QZ_FALSE);
  EXPECT_TRUE(window->invalidated.empty());
}

TEST_F(ControlInvalidationTest, TheRootWindowGetsWholeRectanglesInWindowCoordinatesCutToClippingParents) {
  const RCPtr<PaintProbe> clipped = Probe(panel, u"clipped", {90, 90, 30, 30});
  const RCPtr<PaintProbe> floating = Probe(panel, u"floating", {90, 90, 30, 30});
  floating->Float();
  struct Case {
    RCPtr<PaintProbe> control;
    RectT<double> rect;
    bool clip;
    RectT<int32_t> expected;
  };
  const Case cases[] = {
      {panel, {0, 0, 100, 100}, true, {30, 30, 100, 100}},
      {panel, {2.4, 3.6, 10.5, 4.4}, true, {32, 34, 11, 4}},
      // The panel's bounds are the root's area.
      {panel, {-40, -40, 50, 50}, true, {0, 0, 40, 40}},
      {clipped, {0, 0, 30, 30}, true, {120, 120, 10, 10}},
      {clipped, {0, 0, 30, 30}, false, {120, 120, 30, 30}},
      {floating, {0, 0, 30, 30}, true, {120, 120, 30, 30}},
  };
  for (const Case& c : cases) {
    window->invalidated.clear();
    EXPECT_EQ(c.control->InvalidateChildRect(c.rect, c.clip), QZ_OK) << Utf8(c.control->GetName());
    EXPECT_EQ(window->invalidated, std::vector<RectT<int32_t>>{c.expected}) << Utf8(c.control->GetName());
  }
}

TEST_F(ControlInvalidationTest, ARootAwayFromTheWindowOriginCutsInWindowCoordinates) {
  root->Place(10, 20, 300, 200);
  window->clientRect = {0, 0, 200, 150};
  EXPECT_EQ(root->GetBoundsRect(), (RectT<double>{0, 0, 190, 130}));
  EXPECT_EQ(root->InvalidateChildRect({100, 100, 200, 200}, true), QZ_OK);
  EXPECT_EQ(window->invalidated, (std::vector<RectT<int32_t>>{{110, 120, 90, 30}}));
  // Without a window nothing is asked of anyone.
  const RCPtr<PaintProbe> loose = Probe(nullptr, u"loose", {0, 0, 50, 50});
  EXPECT_EQ(loose->InvalidateChildRect({0, 0, 10, 10}, true), QZ_OK);
  EXPECT_EQ(loose->GetBoundsRect(), (RectT<double>{0, 0, 50, 50}));
}

TEST_F(ControlInvalidationTest, InvalidatingTheUnclippedReachesEveryShownFloatingDescendant) {
  const RCPtr<PaintProbe> menu = Probe(panel, u"menu", {90, 0, 40, 60});
  menu->Float();
  const RCPtr<PaintProbe> submenu = Probe(menu, u"submenu", {40, 10, 30, 20});
  submenu->Float();
  const RCPtr<PaintProbe> hiddenTip = Probe(panel, u"tip", {0, 0, 10, 10});
  hiddenTip->Float();
  hiddenTip->Layout().isVisible = false;
  Probe(panel, u"plain", {0, 0, 10, 10});

  panel->InvalidateUnclipped();
  EXPECT_EQ(window->invalidated, (std::vector<RectT<int32_t>>{{120, 30, 40, 60}, {160, 40, 30, 20}}));
  // Without floating descendants only a floating control itself.
  window->invalidated.clear();
  submenu->InvalidateUnclipped();
  EXPECT_EQ(window->invalidated, (std::vector<RectT<int32_t>>{{160, 40, 30, 20}}));
  window->invalidated.clear();
  const RCPtr<PaintProbe> plain = Probe(root, u"other", {0, 0, 10, 10});
  plain->InvalidateUnclipped();
  EXPECT_TRUE(window->invalidated.empty());
}

} // namespace
} // namespace QZ
