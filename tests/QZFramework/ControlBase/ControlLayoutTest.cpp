#include <gtest/gtest.h>

#include <functional>

#include "LayoutTestSupport.h"
#include "QZFramework/ControlBase/FontText.h"
#include "QZFramework/ControlBase/Look.h"
#include "Support/FakeControlApplication.h"
#include "Support/FakeRootWindow.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

using QZTest::At;
using QZTest::InvalidationLog;
using QZTest::LayoutControl;
using QZTest::Sized;

TEST(ControlLayoutTest, RoundEdgesSnapsEachEdgeHalfAwayFromZero) {
  RectT<double> rect{0.5, -0.5, 1.0, 1.0};
  rect.RoundEdges();
  EXPECT_EQ(rect, (RectT<double>{1, -1, 1, 2})); // edges 0.5 -> 1, 1.5 -> 2; -0.5 -> -1, 0.5 -> 1
  RectT<double> wide{-2.5, 2.4, 5.0, 0.2};
  wide.RoundEdges();
  EXPECT_EQ(wide, (RectT<double>{-3, 2, 6, 1})); // right 2.5 -> 3; bottom 2.6 -> 3
  EXPECT_EQ(RoundHalfAway(-0.0), 0);
  EXPECT_EQ(RoundHalfAway(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundHalfAway(1e300), std::numeric_limits<int64_t>::max());
}

// One child of a 101 x 60 parent (its scroll offset 0, 25) placed by the case's blocks.
struct PlacementCase {
  const char* name;
  std::function<void(LLayoutDescriptor&)> place;
  RectT<double> expected;
};

TEST(ControlLayoutTest, AxesArePlacedByReferenceAnchorAndDocking) {
  const PlacementCase cases[] = {
      {"half the parent's width, 50.5, rounds up",
       [](LLayoutDescriptor& l) { l.position[0] = At(kPositionToParent, 0.5f); },
       {51, 0, 16, 40}},
      {"minus half rounds away from zero",
       [](LLayoutDescriptor& l) { l.position[0] = At(kPositionToParent, -0.5f); },
       {-51, 0, 16, 40}},
      {"anchor 1 grows to the left up to the far edge",
       [](LLayoutDescriptor& l) {
         l.position[0] = At(kPositionToParent, 0.0f, 150.0, 1.0f);
         l.size[0] = Sized(kSizeToParent, 0.0f, 100.0);
       },
       {100, 0, 50, 40}},
      {"anchor 1 with the far edge beyond: no size",
       [](LLayoutDescriptor& l) {
         l.position[0] = At(kPositionToParent, 0.0f, 50.0, 1.0f);
         l.size[0] = Sized(kSizeToParent, 0.0f, 100.0);
       },
       {50, 0, 0, 40}},
      {"anchor 0 with the far edge before: no size",
       [](LLayoutDescriptor& l) {
         l.position[0] = At(kPositionToParent, 0.0f, 150.0, 0.0f);
         l.size[0] = Sized(kSizeToParent, 0.0f, 100.0);
       },
       {150, 0, 0, 40}},
      {"centred on half of a 100 wide sibling",
       [](LLayoutDescriptor& l) {
         l.position[0] = At(kPositionToSibling, 0.5f, 0.0, 0.5f, false, u"hundred");
         l.size[0] = Sized(kSizeToSelf, 0.0f, 40.0);
       },
       {30, 0, 40, 40}},
      {"a missing sibling is nothing at 0",
       [](LLayoutDescriptor& l) {
         l.position[0] = At(kPositionToSibling, 0.5f, 7.0, 0.0f, false, u"nobody");
         l.size[0] = Sized(kSizeToSibling, 1.0f, 20.0, u"nobody");
       },
       {7, 0, 13, 40}},
      {"the client's size", [](LLayoutDescriptor& l) { l.size[1] = Sized(kSizeToClient, 0.5f, 0.0); }, {0, 0, 16, 30}},
      {"docked: kept in view while the parent scrolls",
       [](LLayoutDescriptor& l) { l.position[1] = At(kPositionToClient, 0.0f, 10.0, 0.0f, true); },
       {0, 35, 16, 40}},
      {"not docked: scrolls with the content",
       [](LLayoutDescriptor& l) { l.position[1] = At(kPositionToClient, 0.0f, 10.0); },
       {0, 10, 16, 40}},
      {"a half pixel snaps by edges",
       [](LLayoutDescriptor& l) {
         l.position[0] = At(kPositionToClient, 0.0f, 0.5);
         l.size[0] = Sized(kSizeToSelf, 0.0f, 1.0);
       },
       {1, 0, 1, 40}},
      {"a negative Self size is none",
       [](LLayoutDescriptor& l) { l.size[0] = Sized(kSizeToSelf, 0.0f, -5.0); },
       {0, 0, 0, 40}},
  };
  for (const PlacementCase& c : cases) {
    SCOPED_TRACE(c.name);
    const RCPtr<LayoutControl> parent = LayoutControl::Make(nullptr, u"parent");
    parent->Place(0, 0, 101, 60);
    parent->ScrollOffsetField() = {0, 25};
    const RCPtr<LayoutControl> hundred = LayoutControl::Make(parent, u"hundred");
    hundred->Place(0, 0, 100, 10);
    const RCPtr<LayoutControl> child = LayoutControl::Make(parent, u"child");
    c.place(child->Layout());
    EXPECT_EQ(child->PerformLayout(), QZ_OK);
    EXPECT_EQ(child->GetRect(), c.expected);
  }
}

TEST(ControlLayoutTest, ReferenceValuesNeedADescriptorWhenThereIsSomethingToPlaceAgainst) {
  const RCPtr<LayoutControl> parent = LayoutControl::Make(nullptr, u"parent");
  parent->Place(0, 0, 10, 10);
  RectT<double> out{1, 2, 3, 4};
  EXPECT_EQ(parent->LayoutAxisFromReference(nullptr, parent, {}, {}, {}, out), QZ_E_INVALIDARG);
  EXPECT_EQ(parent->LayoutAxisFromReference(nullptr, nullptr, {0, 0, 10, 10}, {}, {}, out), QZ_E_INVALIDARG);
  EXPECT_EQ(out, (RectT<double>{1, 2, 3, 4}));
  // Without a parent: "Screen" from the screen rectangle, siblings from the origin point.
  const RCPtr<LLayoutDescriptor> layout = LLayoutDescriptor::Create();
  layout->position[0] = At(kPositionToParent, 0.5f, 0.0, 0.5f);
  layout->size[0] = Sized(kSizeToSelf, 0.0f, 200.0);
  layout->position[1] = At(kPositionToSibling, 0.0f, 5.0, 0.0f, false, u"any");
  EXPECT_EQ(parent->LayoutAxisFromReference(layout, nullptr, {-100, -50, 1000, 800}, {640, 480}, {3, 7}, out), QZ_OK);
  EXPECT_EQ(out, (RectT<double>{300, 12, 200, 40}));
}

TEST(ControlLayoutTest, ZeroLimitsNeverActAndAForbiddenGrowthLeavesItsAxis) {
  const RCPtr<LayoutControl> parent = LayoutControl::Make(nullptr, u"parent");
  parent->Place(0, 0, 200, 200);
  const RCPtr<LayoutControl> child = LayoutControl::Make(parent, u"child");
  child->Layout().size[0] = Sized(kSizeToSelf, 0.0f, 0.0);
  child->Layout().size[1] = Sized(kSizeToSelf, 0.0f, 50.0);
  ASSERT_EQ(child->PerformLayout(), QZ_OK);
  EXPECT_EQ(child->GetRect(), (RectT<double>{0, 0, 0, 50})); // MinSizeAbs 0, MaxSizeAbs 0

  // X must reach the far side of twice its children's extent, but its anchor is the far
  // edge: refused, X stays; Y still grows to its minimum of 30.
  const RCPtr<LayoutControl> holder = LayoutControl::Make(parent, u"holder");
  holder->Layout().position[0] = At(kPositionToClient, 0.0f, 0.0, 1.0f);
  holder->Layout().minimum[0] = {true, u"Children", 2.0f, 0.0};
  holder->Layout().minimum[1] = {false, {}, 0.0f, 30.0};
  const RCPtr<LayoutControl> inner = LayoutControl::Make(holder, u"inner");
  inner->Place(0, 0, 80, 5);
  PointT<double> position{40, 0};
  SizeT<double> size{20, 10};
  EXPECT_EQ(holder->LayoutSizeFromText(position, size), QZ_E_FAIL);
  EXPECT_EQ(position, (PointT<double>{40, 0}));
  EXPECT_EQ(size, (SizeT<double>{20, 30}));

  // The same growth with anchor 0 reaches 2 x 80 to the right.
  holder->Layout().position[0].anchor = 0.0f;
  EXPECT_EQ(holder->LayoutSizeFromText(position, size), QZ_FALSE);
  EXPECT_EQ(size.width, 160.0);
}

TEST(ControlLayoutTest, AReferenceMaximumCutsOnlyAroundAnEdgeInsideTheControl) {
  const RCPtr<LayoutControl> holder = LayoutControl::Make(nullptr, u"holder");
  holder->Place(0, 0, 100, 100);
  const RCPtr<LayoutControl> inner = LayoutControl::Make(holder, u"inner");
  inner->Place(0, 0, 60, 60);
  holder->Layout().maximum[0] = {true, u"inner", 1.0f, 0.0};
  holder->Layout().maximum[1] = {true, u"inner", 1.0f, 0.0};
  holder->Layout().position[1].anchor = 0.5f;
  // X: anchor 0 (the old guard would have divided by it): cut to 60. Y: centred, cut to
  // 60 around the same centre.
  PointT<double> position{10, 10};
  SizeT<double> size{100, 100};
  EXPECT_EQ(holder->LayoutSizeFromChildren(position, size), QZ_FALSE);
  EXPECT_EQ(position, (PointT<double>{10, 30}));
  EXPECT_EQ(size, (SizeT<double>{60, 60}));
  // An edge outside the control changes nothing.
  SizeT<double> small{40, 40};
  EXPECT_EQ(holder->LayoutSizeFromChildren(position, small), QZ_OK);
  EXPECT_EQ(small, (SizeT<double>{40, 40}));
}

TEST(ControlLayoutTest, ChildrenExtentsClampTheRangeAndAddTheLookMargin) {
  const RCPtr<LayoutControl> holder = LayoutControl::Make(nullptr, u"holder");
  holder->Place(0, 0, 100, 100);
  const RCPtr<LayoutControl> a = LayoutControl::Make(holder, u"a");
  a->Place(0, 0, 30, 10);
  const RCPtr<LayoutControl> b = LayoutControl::Make(holder, u"b");
  b->Place(50, 0, 20, 10);
  const RCPtr<LayoutControl> floating = LayoutControl::Make(holder, u"floating");
  floating->Place(0, 0, 500, 10);
  floating->Layout().clipToParent = false;
  EXPECT_EQ(holder->GetChildrenExtent(0, 99, 0), 70.0); // the floating child counts alone only
  EXPECT_EQ(holder->GetChildrenExtent(2, 2, 0), 500.0);
  EXPECT_EQ(holder->GetChildrenExtent(2, 1, 0), 0.0);
  EXPECT_EQ(holder->GetChildrenExtent(-1, 1, 0), 0.0);
  holder->ScrollOffsetField() = {10, 0};
  EXPECT_EQ(holder->GetChildrenExtent(0, 1, 0), 60.0);
}

// A parent that counts the size changes its children report.
class SizeCountingParent : public LayoutControl {
public:
  SizeCountingParent() : LayoutControl(nullptr, u"parent", nullptr) {}
  int sizeChanges = 0;
  QZResult OnSizeChanged(const RCPtr<LControl>& child) override {
    ++sizeChanges;
    return LayoutControl::OnSizeChanged(child);
  }
};

TEST(ControlLayoutTest, ADescriptorPlacesTheControlOnceWithItsFontAndLabelAndANewFontPlacesItAgain) {
  QZTest::ScopedFixedAdvanceMeasurer measuring;
  QZTest::FakeControlApplication application;
  const RCPtr<SizeCountingParent> parent(new SizeCountingParent());
  parent->Place(0, 0, 200, 200);
  const RCPtr<LayoutControl> label = LayoutControl::Make(parent, u"label");
  const RCPtr<LLayoutDescriptor> layout = LLayoutDescriptor::Create();
  layout->textOverflowX = kTextOverflowExpand;
  layout->size[0] = Sized(kSizeToSelf, 0.0f, 20.0);
  layout->size[1] = Sized(kSizeToSelf, 0.0f, 20.0);
  const RCPtr<LControlDescriptor> entry = QZTest::Entry(u"label", layout);
  entry->SetCreateParams(LStringTable::Create({{u"LABEL", u"abcdef"}}));
  parent->sizeChanges = 0;
  ASSERT_EQ(label->ApplyDescriptor(entry), QZ_OK);
  EXPECT_EQ(label->GetRect(), (RectT<double>{0, 0, 42, 20}));
  EXPECT_EQ(parent->sizeChanges, 1) << "not once for the font and again for the label";

  measuring->xOffset = 3.0f; // the new font's text starts further right
  const RCPtr<LFont> font = QZTest::FixedAdvanceFont();
  EXPECT_EQ(label->SetFont(LFont::GetFont(font->GetFaceName(), font->GetSize() + 1.0f, font->GetStyle())), QZ_OK);
  EXPECT_EQ(label->GetRect().width, 45.0);
  EXPECT_EQ(parent->sizeChanges, 2);
}

// A control with one text look and the fixed-advance font, inside a 200 x 200 parent.
struct TextControl {
  QZTest::ScopedFixedAdvanceMeasurer measuring;
  QZTest::FakeControlApplication application;
  RCPtr<LayoutControl> parent = LayoutControl::Make(nullptr, u"parent");
  RCPtr<LayoutControl> label;

  explicit TextControl(const std::function<void(LLayoutDescriptor&)>& place) {
    parent->Place(0, 0, 200, 200);
    label = LayoutControl::Make(parent, u"label");
    const RCPtr<LLayoutDescriptor> layout = LLayoutDescriptor::Create();
    place(*layout);
    EXPECT_EQ(label->ApplyDescriptor(QZTest::Entry(u"label", layout)), QZ_OK);
  }
  RCPtr<LFontText> Text() const { return label->GetLook(-1)->GetFontText(); }
};

TEST(ControlLayoutTest, TextGrowsTheControlUpToItsMaximum) {
  const auto expand = [](LLayoutDescriptor& l) {
    l.textOverflowX = kTextOverflowExpand;
    l.size[0] = Sized(kSizeToSelf, 0.0f, 20.0);
    l.size[1] = Sized(kSizeToSelf, 0.0f, 20.0);
  };
  {
    TextControl grows(expand);
    EXPECT_TRUE(grows.label->SetTextInternal(u"abcdef", true));
    EXPECT_EQ(grows.label->GetRect().width, 42.0);
    EXPECT_FALSE(grows.Text()->GetWrap());
  }
  {
    TextControl capped([&](LLayoutDescriptor& l) {
      expand(l);
      l.maximum[0] = {false, {}, 0.0f, 30.0};
    });
    EXPECT_TRUE(capped.label->SetTextInternal(u"abcdef", true));
    EXPECT_EQ(capped.label->GetRect().width, 30.0);
    EXPECT_TRUE(capped.Text()->GetWrap());
  }
  {
    TextControl clipped([&](LLayoutDescriptor& l) {
      expand(l);
      l.textOverflowX = kTextOverflowClip;
    });
    EXPECT_TRUE(clipped.label->SetTextInternal(u"abcdef", true));
    EXPECT_EQ(clipped.label->GetRect().width, 20.0);
  }
  {
    TextControl tall([](LLayoutDescriptor& l) {
      l.textOverflowX = kTextOverflowWrap;
      l.textOverflowY = kTextOverflowExpand;
      l.size[0] = Sized(kSizeToSelf, 0.0f, 35.0);
      l.size[1] = Sized(kSizeToSelf, 0.0f, 20.0);
    });
    EXPECT_TRUE(tall.label->SetTextInternal(u"abcd efgh", true));
    EXPECT_EQ(tall.label->GetRect(), (RectT<double>{0, 0, 35, 32}));
  }
}

TEST(ControlLayoutTest, StoringARectangleInvalidatesResizesAndHandsOn) {
  InvalidationLog log;
  const RCPtr<LayoutControl> parent = LayoutControl::Make(nullptr, u"parent", &log);
  parent->Place(0, 0, 300, 100);
  const RCPtr<LayoutControl> panel = LayoutControl::Make(parent, u"panel", &log);
  panel->Layout().size[0] = Sized(kSizeToSelf, 0.0f, 50.0);
  const RCPtr<LayoutControl> fill = LayoutControl::Make(panel, u"fill", &log);
  fill->Layout().size[0] = Sized(kSizeToParent, 1.0f, 0.0);
  fill->Layout().size[1] = Sized(kSizeToParent, 0.5f, 0.0);
  ASSERT_EQ(panel->PerformLayout(), QZ_OK);
  EXPECT_EQ(fill->GetRect(), (RectT<double>{0, 0, 50, 20}));

  log.Clear();
  EXPECT_EQ(panel->SetRect({0, 0}, {50, 40}), QZ_FALSE);
  EXPECT_TRUE(log.entries.empty());

  // The panel is resized: its child follows, and both areas of each are invalidated.
  EXPECT_EQ(panel->SetAxisPlacement(0, At(kPositionToClient, 0.0f), Sized(kSizeToSelf, 0.0f, 80.0)), QZ_OK);
  EXPECT_EQ(fill->GetRect(), (RectT<double>{0, 0, 80, 20}));
  EXPECT_EQ(log.entries,
            (std::vector<std::string>{"panel 0,0 50x40", "fill 0,0 50x20", "fill 0,0 80x20", "panel 0,0 80x40"}));
}

TEST(ControlLayoutTest, LaterSiblingsFollowTheOnesTheyArePlacedBy) {
  const RCPtr<LayoutControl> parent = LayoutControl::Make(nullptr, u"parent");
  parent->Place(0, 0, 300, 100);
  const RCPtr<LayoutControl> first = LayoutControl::Make(parent, u"first");
  first->Layout().size[0] = Sized(kSizeToSelf, 0.0f, 10.0);
  const RCPtr<LayoutControl> still = LayoutControl::Make(parent, u"still");
  still->Layout().position[1] = At(kPositionToClient, 0.0f, 50.0);
  const RCPtr<LayoutControl> second = LayoutControl::Make(parent, u"second");
  second->Layout().position[0] = At(kPositionToSibling, 1.0f, 0.0, 0.0f, false, u"first");
  const RCPtr<LayoutControl> third = LayoutControl::Make(parent, u"third");
  third->Layout().position[0] = At(kPositionToSibling, 1.0f, 5.0, 0.0f, false, u"second");
  for (const auto& control : {first, still, second, third}) {
    ASSERT_GE(control->PerformLayout(), QZ_OK);
  }
  EXPECT_EQ(third->GetRect().x, 31.0);

  // first widens: still stays (passed over), second moves and carries third along.
  EXPECT_EQ(first->SetAxisPlacement(0, At(kPositionToClient, 0.0f), Sized(kSizeToSelf, 0.0f, 30.0)), QZ_OK);
  EXPECT_EQ(still->GetRect(), (RectT<double>{0, 50, 16, 40}));
  EXPECT_EQ(second->GetRect().x, 30.0);
  EXPECT_EQ(third->GetRect().x, 51.0);
}

TEST(ControlLayoutTest, AFocusedControlOfNoSizeHandsTheFocusToItsParent) {
  const RCPtr<LayoutControl> parent = LayoutControl::Make(nullptr, u"parent");
  parent->Place(0, 0, 300, 100);
  const RCPtr<LayoutControl> child = LayoutControl::Make(parent, u"child");
  child->Layout();
  ASSERT_EQ(child->PerformLayout(), QZ_OK);
  child->HasFocusFlag() = true;
  EXPECT_EQ(child->SetAxisPlacement(0, At(kPositionToClient, 0.0f), Sized(kSizeToSelf, 0.0f, 0.0)), QZ_OK);
  EXPECT_EQ(parent->focusRequests, (std::vector<bool>{true}));
}

TEST(ControlLayoutTest, ATopControlSizesItsWindowInClientCoordinates) {
  QZTest::FakeControlApplication application;
  const RCPtr<QZTest::FakeRootWindow> window(new QZTest::FakeRootWindow);
  window->clientRect = {100, 50, 640, 480};
  window->frameRect = {96, 20, 648, 514};
  application.screenRect = {0, 0, 1920, 1080};
  const RCPtr<LayoutControl> top = LayoutControl::Make(nullptr, u"top");
  top->Layout().size[0] = Sized(kSizeToSelf, 0.0f, 300.0);
  top->Layout().size[1] = Sized(kSizeToSelf, 0.0f, 200.0);
  ASSERT_EQ(window->InstallRootControl(top), QZ_OK);
  ASSERT_EQ(top->PerformLayout(), QZ_OK);
  EXPECT_EQ(top->GetRect(), (RectT<double>{0, 0, 300, 200}));
  EXPECT_EQ(window->clientRectRequests, (std::vector<RectT<int32_t>>{{100, 50, 300, 200}}));

  // "Screen" places are screen coordinates: the window's client area moves to 10, 10.
  EXPECT_EQ(top->SetAxisPlacement(0, At(kPositionToParent, 0.0f, 10.0), Sized(kSizeToSelf, 0.0f, 300.0)), QZ_OK);
  EXPECT_EQ(window->clientRectRequests.back(), (RectT<int32_t>{10, 50, 300, 200}));
  window->InstallRootControl(nullptr);
}

TEST(ControlLayoutTest, PlacementSettersReportWhatTheyStored) {
  const RCPtr<LayoutControl> parent = LayoutControl::Make(nullptr, u"parent");
  parent->Place(0, 0, 300, 100);
  const RCPtr<LayoutControl> child = LayoutControl::Make(parent, u"child");
  child->Layout();
  const uint32_t version = parent->GetChildren().GetVersion();
  EXPECT_EQ(child->SetAxisPlacement(2, At(kPositionToClient, 0.0f, 9.0), Sized(kSizeToSelf, 0.0f, 9.0)), QZ_FALSE);
  EXPECT_EQ(child->GetRect(), (RectT<double>{0, 0, 16, 40}));
  EXPECT_EQ(child->SetPlacement(At(kPositionToClient, 0.0f, 5.0, 0.0f, true), Sized(kSizeToSelf, 0.0f, 10.0),
                                At(kPositionToClient, 0.0f, 6.0), Sized(kSizeToSelf, 0.0f, 12.0)),
            QZ_OK);
  EXPECT_EQ(child->GetRect(), (RectT<double>{5, 6, 10, 12}));
  EXPECT_NE(parent->GetChildren().GetVersion(), version); // docking re-sorts the parent's orders
  EXPECT_EQ(child->SetAxisSizeLimits(1, {false, {}, 0.0f, 20.0}, {false, {}, 0.0f, 0.0}), QZ_OK);
  EXPECT_EQ(child->GetRect().height, 20.0);
  EXPECT_EQ(child->GetPreferredSize(), (PointT<double>{0, 20})); // "Self" 0, the minimum height
  EXPECT_EQ(child->GetRect(), (RectT<double>{5, 6, 10, 20}));
}

} // namespace
} // namespace QZ
