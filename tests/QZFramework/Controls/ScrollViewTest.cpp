#include <gtest/gtest.h>

#include <cmath>

#include "Support/StringPrinter.h"
#include "WidgetSkinTestSupport.h"

namespace QZ {
namespace {

using QZTest::TimedRecorder;
using QZTest::WidgetSkin;

// A scroll view that counts its hooks.
class ViewProbe : public LScrollView {
public:
  using LScrollView::LScrollView;

  QZResult OnViewRectChanged() override {
    ++viewRectChanges;
    return LScrollView::OnViewRectChanged();
  }
  QZResult OnScrollBarShownChanged(int32_t vertical) override {
    shownChanges.push_back(vertical);
    return LScrollView::OnScrollBarShownChanged(vertical);
  }

  int viewRectChanges = 0;
  std::vector<int32_t> shownChanges;
};

// ScrollView.xml: "withBars" (200 x 150, bars and a 16 x 16 corner, the extent from its
// children), "vertical" (120 x 100, a vertical bar 16 wide and no corner) and "noBars"
// (100 x 100, the height from its children); each holds a "content" label.
struct Views : WidgetSkin {
  explicit Views(const WString& name)
      : WidgetSkin("ScrollView.xml", [](LControlFactory& factory) {
          factory.RegisterControlCreateFunction(u"Test.ScrollView", &CreateControlOf<ViewProbe>);
        }) {
    Create(name);
    view = DynamicCast<ViewProbe>(top);
    content = Find({u"content"});
  }
  // Resizes the content child.
  void SizeContent(double width, double height) {
    LayoutPosition position[2];
    LayoutSize size[2];
    for (int32_t axis = 0; axis < 2; ++axis) {
      content->GetLayoutDescriptor()->GetAxis(axis, position[axis], size[axis]);
    }
    size[0].abs = width;
    size[1].abs = height;
    content->SetPlacement(position[0], size[0], position[1], size[1]);
  }
  RCPtr<ViewProbe> view;
  RCPtr<LControl> content;
};

bool Shown(const RCPtr<LScrollbar>& bar) {
  return bar && bar->GetLayoutDescriptor()->isVisible && bar->GetRect().width > 0 && bar->GetRect().height > 0;
}

RCPtr<LMouseWheelParam> Wheel(uint32_t direction, uint32_t modifiers = 0) {
  return LMouseWheelParam::Create({5, 5}, modifiers, direction);
}

TEST(ScrollViewTest, AnExtentWithinTheMachineEpsilonOfTheOldIsNoChange) {
  Views skin(u"vertical");
  ASSERT_EQ(skin.loaded, QZ_OK);
  ASSERT_TRUE(skin.view);
  const auto heard = TimedRecorder::Listen(skin.view, {u"NID_CLIENT_EXTENT_CHANGE"});
  EXPECT_EQ(skin.view->GetClientExtent(), (SizeT<double>{0, 0}));
  EXPECT_EQ(skin.view->SetClientExtent(2.2e-15, -2.2e-15), QZ_FALSE);
  EXPECT_EQ(skin.view->SetClientExtent(0, 2.220446049250313e-15), QZ_OK);
  EXPECT_EQ(skin.view->SetClientExtent(0, 2.220446049250313e-15), QZ_FALSE);
  EXPECT_EQ(skin.view->SetClientExtent(100, 300), QZ_OK);
  EXPECT_EQ(skin.view->SetClientExtent(100, 300), QZ_FALSE);
  EXPECT_EQ(heard->Count("NID_CLIENT_EXTENT_CHANGE"), 2u);
}

TEST(ScrollViewTest, BarsShowWhenTheContentNeedsThemAndTheCornerTakesTheirRoom) {
  struct Row {
    double width, height;
    bool horizontal, vertical;
    RectT<double> content;
  };
  const Row rows[] = {
      {100, 80, false, false, {0, 0, 200, 150}},
      {200, 150, false, false, {0, 0, 200, 150}}, // exactly the view
      {201, 80, true, false, {0, 0, 200, 134}},   // one pixel wider
      {100, 151, false, true, {0, 0, 184, 150}},
      {190, 151, true, true, {0, 0, 184, 134}}, // wider than the view less the vertical bar
      {201, 140, true, true, {0, 0, 184, 134}}, // higher than the view less the horizontal bar
      {184, 151, false, true, {0, 0, 184, 150}},
      {201, 134, true, false, {0, 0, 200, 134}}, // never both when one alone leaves room
      {100, 80, false, false, {0, 0, 200, 150}},
  };
  Views skin(u"withBars");
  ASSERT_TRUE(skin.view && skin.content);
  const RCPtr<LScrollbar> hBar = skin.view->GetHorizontalBar();
  const RCPtr<LScrollbar> vBar = skin.view->GetVerticalBar();
  ASSERT_TRUE(hBar && vBar && skin.view->GetCorner());
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(int(row.width)) + " x " + std::to_string(int(row.height)));
    skin.view->shownChanges.clear();
    skin.SizeContent(row.width, row.height);
    EXPECT_EQ(skin.view->GetClientExtent(), (SizeT<double>{row.width, row.height}));
    EXPECT_EQ(Shown(hBar), row.horizontal);
    EXPECT_EQ(Shown(vBar), row.vertical);
    EXPECT_EQ(skin.view->GetContentRect(), row.content);
    const SizeT<double> bars = skin.view->GetScrollBarSizes();
    EXPECT_EQ(bars.width, row.vertical ? 16.0 : 0.0);
    EXPECT_EQ(bars.height, row.horizontal ? 16.0 : 0.0);
    if (row.vertical) {
      EXPECT_EQ(vBar->GetRect(), (RectT<double>{184, 0, 16, row.content.height}));
    }
    if (row.horizontal) {
      EXPECT_EQ(hBar->GetRect(), (RectT<double>{0, 134, row.content.width, 16}));
    }
  }

  // Ranges, steps and thumbs follow the extent and the view.
  skin.SizeContent(190, 151);
  EXPECT_EQ(hBar->GetRangeMaximum(), 6.0);
  EXPECT_EQ(vBar->GetRangeMaximum(), 17.0);
  EXPECT_DOUBLE_EQ(vBar->GetThumbRatio(), 134.0 / 151.0);
  EXPECT_EQ(vBar->GetPageStep(), 1.0);
  EXPECT_EQ(vBar->GetLineStep(), 0.1);
  skin.SizeContent(184, 500);
  EXPECT_DOUBLE_EQ(vBar->GetPageStep(), 150.0 / 350.0);
  EXPECT_DOUBLE_EQ(vBar->GetLineStep(), 15.0 / 350.0);
  EXPECT_EQ(vBar->GetThumbLength(), std::floor(vBar->GetChannelEnd() * 0.3 + 0.5));

  // The hooks: the horizontal bar appears, then goes.
  skin.view->shownChanges.clear();
  const int before = skin.view->viewRectChanges;
  skin.SizeContent(300, 500);
  EXPECT_EQ(skin.view->shownChanges, (std::vector<int32_t>{0}));
  EXPECT_EQ(skin.view->viewRectChanges, before + 1);
}

TEST(ScrollViewTest, AnAxisWithoutExtentScrollsUpToTwoToTheFiftySecond) {
  Views skin(u"vertical");
  EXPECT_EQ(skin.view->GetSizeLimits(nullptr), (RectT<double>{0, 0, 4503599627370496.0, 4503599627370496.0}));
  ASSERT_EQ(skin.view->SetClientExtent(100, 300), QZ_OK);
  EXPECT_EQ(skin.view->GetContentRect(), (RectT<double>{0, 0, 104, 100}));
  EXPECT_EQ(skin.view->GetSizeLimits(nullptr), (RectT<double>{0, 0, 0, 200}));
  ASSERT_EQ(skin.view->SetClientExtent(0, 300), QZ_OK);
  EXPECT_EQ(skin.view->GetSizeLimits(nullptr), (RectT<double>{0, 0, 4503599627370496.0, 200}));
  // Offsets stay within the limits.
  ASSERT_EQ(skin.view->SetClientExtent(100, 300), QZ_OK);
  EXPECT_EQ(skin.view->SetScrollOffset({50, 500}), QZ_OK);
  EXPECT_EQ(skin.view->GetScrollOffset(), (PointT<double>{0, 200}));
  EXPECT_EQ(skin.view->SetScrollOffset({-5, -5}), QZ_OK);
  EXPECT_EQ(skin.view->GetScrollOffset(), (PointT<double>{0, 0}));
}

TEST(ScrollViewTest, ScrollingMovesTheBarsWithoutEchoAndTheBarsScrollTheContent) {
  Views skin(u"vertical");
  const RCPtr<LScrollbar> vBar = skin.view->GetVerticalBar();
  ASSERT_EQ(skin.view->SetClientExtent(100, 300), QZ_OK);
  const auto scrolled = TimedRecorder::Listen(skin.view, {u"NID_SCROLL_OFFSET_CHANGE"});
  const auto moved = TimedRecorder::Listen(vBar, {u"NID_VALUE_CHANGE"});

  EXPECT_EQ(skin.view->SetScrollOffset({0, 50}), QZ_OK);
  EXPECT_EQ(vBar->GetValue(), 0.25);
  EXPECT_EQ(skin.view->GetScrollOffset().y, 50.0);
  EXPECT_EQ(scrolled->Count("NID_SCROLL_OFFSET_CHANGE"), 1u);
  EXPECT_EQ(moved->Count("NID_VALUE_CHANGE"), 1u);

  EXPECT_EQ(vBar->SetValue(0.5), 0.5);
  EXPECT_EQ(skin.view->GetScrollOffset().y, 100.0);
  EXPECT_EQ(scrolled->Count("NID_SCROLL_OFFSET_CHANGE"), 2u);
  EXPECT_EQ(moved->Count("NID_VALUE_CHANGE"), 2u);

  // A new extent keeps the content where it is; one that ends above it pulls it back.
  ASSERT_EQ(skin.view->SetClientExtent(100, 500), QZ_OK);
  EXPECT_EQ(skin.view->GetScrollOffset().y, 100.0);
  EXPECT_EQ(vBar->GetValue(), 0.25);
  ASSERT_EQ(skin.view->SetClientExtent(100, 150), QZ_OK);
  EXPECT_EQ(skin.view->GetScrollOffset().y, 50.0);
  EXPECT_EQ(vBar->GetValue(), 1.0);
  ASSERT_EQ(skin.view->SetClientExtent(100, 80), QZ_OK);
  EXPECT_EQ(skin.view->GetScrollOffset().y, 0.0);
  EXPECT_FALSE(Shown(vBar));
}

TEST(ScrollViewTest, TheWheelScrollsAShownBarAndIsPassedOnWithoutOne) {
  {
    Views skin(u"noBars");
    EXPECT_EQ(skin.view->GetClientExtent().height, 300.0); // it scrolls, but only in code
    EXPECT_EQ(skin.view->OnMouseWheelV(Wheel(kWheelDown)), QZ_FALSE);
    EXPECT_EQ(skin.view->OnMouseWheelH(Wheel(kWheelRight)), QZ_FALSE);
  }
  {
    Views skin(u"vertical");
    ASSERT_EQ(skin.view->SetClientExtent(100, 300), QZ_OK);
    const RCPtr<LScrollbar> vBar = skin.view->GetVerticalBar();
    ASSERT_EQ(vBar->GetLineStep(), 0.05);
    struct Row {
      bool horizontalWheel;
      uint32_t direction;
      uint32_t modifiers;
      double offset; // after the turn
    };
    for (const Row& row : {Row{false, kWheelDown, 0, 10}, Row{false, kWheelDown, 0, 20}, Row{false, kWheelUp, 0, 10},
                           Row{false, kWheelDown, kModifierShift, 110}, Row{true, kWheelRight, 0, 120},
                           Row{true, kWheelLeft, 0, 110}, Row{false, kWheelUp, kModifierShift, 10}}) {
      const QZResult result = row.horizontalWheel ? skin.view->OnMouseWheelH(Wheel(row.direction, row.modifiers))
                                                  : skin.view->OnMouseWheelV(Wheel(row.direction, row.modifiers));
      EXPECT_EQ(result, QZ_OK);
      EXPECT_EQ(skin.view->GetScrollOffset().y, row.offset);
    }
  }
  {
    Views skin(u"withBars");
    skin.SizeContent(400, 300);
    const RCPtr<LScrollbar> hBar = skin.view->GetHorizontalBar();
    ASSERT_TRUE(Shown(hBar) && Shown(skin.view->GetVerticalBar()));
    // Tilting right scrolls right, left scrolls left; Alt turns the vertical wheel sideways.
    EXPECT_EQ(skin.view->OnMouseWheelH(Wheel(kWheelRight)), QZ_OK);
    const double right = skin.view->GetScrollOffset().x;
    EXPECT_GT(right, 0.0);
    EXPECT_EQ(skin.view->GetScrollOffset().y, 0.0);
    EXPECT_EQ(skin.view->OnMouseWheelV(Wheel(kWheelDown, kModifierAlt)), QZ_OK);
    EXPECT_GT(skin.view->GetScrollOffset().x, right);
    EXPECT_EQ(skin.view->OnMouseWheelH(Wheel(kWheelLeft)), QZ_OK);
    EXPECT_EQ(skin.view->GetScrollOffset().x, right);
    EXPECT_EQ(skin.view->OnMouseWheelV(Wheel(kWheelDown)), QZ_OK);
    EXPECT_GT(skin.view->GetScrollOffset().y, 0.0);
  }
}

TEST(ScrollViewTest, RowModeScrollsByWholeRowsOnEitherAxisAndARowSizeOfZeroIsPixels) {
  Views skin(u"vertical");
  const RCPtr<LScrollbar> vBar = skin.view->GetVerticalBar();
  ASSERT_EQ(skin.view->SetClientExtent(100, 300), QZ_OK);
  skin.view->SetRowMode(1, 20); // 15 rows, 5 in view
  EXPECT_EQ(vBar->GetRangeMaximum(), 10.0);
  EXPECT_DOUBLE_EQ(vBar->GetLineStep(), 0.1);
  EXPECT_DOUBLE_EQ(vBar->GetPageStep(), 0.5);
  EXPECT_DOUBLE_EQ(vBar->GetThumbRatio(), 1.0 / 3.0);
  EXPECT_EQ(vBar->SetValue(0.5), 0.5);
  EXPECT_EQ(skin.view->GetScrollOffset().y, 100.0); // row 5
  EXPECT_EQ(skin.view->SetScrollOffset({0, 160}), QZ_OK);
  EXPECT_DOUBLE_EQ(vBar->GetValue(), 0.8);

  for (const int32_t pixels : {0, -3}) {
    skin.view->SetRowMode(1, pixels);
    EXPECT_EQ(vBar->GetRangeMaximum(), 200.0);
    EXPECT_EQ(skin.view->GetScrollOffset().y, 160.0);
    EXPECT_EQ(vBar->SetValue(0.25), 0.25);
    EXPECT_EQ(skin.view->GetScrollOffset().y, 50.0);
    EXPECT_EQ(vBar->SetValue(0.8), 0.8);
  }

  Views wide(u"withBars");
  wide.SizeContent(400, 80);
  const RCPtr<LScrollbar> hBar = wide.view->GetHorizontalBar();
  wide.view->SetRowMode(0, 10); // 40 columns, 20 in view
  EXPECT_EQ(hBar->GetRangeMaximum(), 20.0);
  EXPECT_DOUBLE_EQ(hBar->GetLineStep(), 0.05);
  EXPECT_EQ(hBar->SetValue(1.0), 1.0);
  EXPECT_EQ(wide.view->GetScrollOffset().x, 200.0);
}

TEST(ScrollViewTest, TheAutomaticExtentFollowsTheChildrenWithItsMargins) {
  Views skin(u"noBars");
  EXPECT_EQ(skin.view->GetAutoClientExtentMode(), LScrollView::kAutoExtentHeight);
  EXPECT_EQ(skin.view->GetClientExtent(), (SizeT<double>{0, 300}));
  EXPECT_EQ(skin.view->SetAutoClientExtent(LScrollView::kAutoExtentBoth, 4, 6), QZ_OK);
  EXPECT_EQ(skin.view->GetClientExtent(), (SizeT<double>{84, 306}));
  skin.SizeContent(50, 120);
  EXPECT_EQ(skin.view->GetClientExtent(), (SizeT<double>{54, 126}));
  skin.content->Detach();
  EXPECT_EQ(skin.view->GetClientExtent(), (SizeT<double>{4, 6}));
  EXPECT_EQ(skin.view->SetAutoClientExtent(LScrollView::kAutoExtentNone, 0, 0), QZ_OK);
  EXPECT_EQ(skin.view->GetClientExtent(), (SizeT<double>{4, 6}));

  Views both(u"withBars");
  EXPECT_EQ(both.view->GetAutoClientExtentMode(), LScrollView::kAutoExtentBoth); // " True " and "true"
  EXPECT_EQ(both.view->GetClientExtent(), (SizeT<double>{100, 80}));
}

TEST(ScrollViewTest, ASkinSwitchSetsTheBarsUpAgainAndKeepsThemWorking) {
  Views skin(u"withBars");
  skin.SizeContent(190, 151);
  const RCPtr<LScrollbar> vBar = skin.view->GetVerticalBar();
  ASSERT_EQ(skin.application.factory->ReapplySkin(skin.top), QZ_OK);
  // The content took its skin's size again.
  EXPECT_EQ(skin.view->GetClientExtent(), (SizeT<double>{100, 80}));
  EXPECT_FALSE(Shown(vBar));
  skin.SizeContent(190, 151);
  EXPECT_TRUE(Shown(vBar));
  EXPECT_TRUE(Shown(skin.view->GetHorizontalBar()));
  EXPECT_EQ(vBar->SetValue(1.0), 1.0);
  EXPECT_EQ(skin.view->GetScrollOffset().y, 17.0);
}

TEST(ScrollViewTest, SilencingABarThatIsNotRoutedThrowsTheScrollViewsText) {
  Views skin(u"noBars");
  const RCPtr<LNotificationHandler<LScrollView>> table(new LNotificationHandler<LScrollView>(*skin.view));
  try {
    CAutoNotificationDisabler<LScrollView> quiet(table, skin.content, u"NID_VALUE_CHANGE");
    FAIL() << "no exception";
  } catch (const std::exception& failure) {
    EXPECT_STREQ(failure.what(), "Failed Result : QZRESULT = 80004005 : "
                                 "QZ::CAutoNotificationDisabler<class QZ::LScrollView>::CAutoNotificationDisabler : "
                                 "QZFramework\\notification\\NotificationHandler : Line 247");
  }
}

} // namespace
} // namespace QZ
