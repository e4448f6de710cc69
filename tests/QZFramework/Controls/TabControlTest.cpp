#include <gtest/gtest.h>

#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "Support/StringPrinter.h"
#include "WidgetSkinTestSupport.h"

namespace QZ {
namespace {

using QZTest::TimedRecorder;
using QZTest::WidgetSkin;

// Tabs.xml: "tabs" has the buttons "first", "second" and "third" (radio toggles) and the
// pages "page1" to "page3", each with a button "field<n>"; "twoPages" lacks "page3".
struct Tabs : WidgetSkin {
  explicit Tabs(const WString& name = u"tabs") : WidgetSkin("Tabs.xml") {
    Create(name);
    tabs = DynamicCast<LTabControl>(top);
    heard =
        TimedRecorder::Listen(tabs, {u"NID_TAB_BECOMING_UNSELECTED", u"NID_TAB_SELECTED", u"NID_TAB_BUTTON_CLICKED"});
  }
  RCPtr<LControl> Button(const char16_t* name) const { return Find({u"buttonHolder", name}); }
  RCPtr<LControl> Page(const char16_t* name) const { return Find({u"pageHolder", name}); }
  // "page1 page3": the pages shown.
  std::string ShownPages() const {
    std::string shown;
    const LControl::ChildControlList& pages = tabs->GetPageHolder()->GetChildren();
    for (uint32_t i = 0; i < pages.GetCount(); ++i) {
      const RCPtr<LControl>& page = pages.GetAt(i, LControl::ChildControlList::kInsertionOrder);
      if (page->IsShown(true)) {
        shown += (shown.empty() ? "" : " ") + QZTest::Utf8(page->GetName());
      }
    }
    return shown;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : heard->heard) {
      names.push_back(entry.name);
    }
    return names;
  }
  // Every "NID_TAB_BECOMING_UNSELECTED" goes through change (currentIndex, newIndex).
  void OnBecomingUnselected(std::function<void(LTabBecomingUnselectedParams&)> change) {
    heard->onHeard = [change](const RCPtr<LNotification>& notification) {
      if (auto params = notification->GetParameterAs<LTabBecomingUnselectedParams>()) {
        change(*params);
      }
    };
  }
  RCPtr<LTabControl> tabs;
  RCPtr<TimedRecorder> heard;
};

TEST(TabControlTest, InitializeSelectsTheFirstTabWithoutAskingAnybody) {
  WidgetSkin skin("Tabs.xml");
  const RCPtr<LControlDescriptor> entry = skin.application.factory->FindControlDescriptor(u"tabs");
  ASSERT_TRUE(entry);
  const RCPtr<LTabControl> tabs(new LTabControl(nullptr, u"tabs"));
  ASSERT_EQ(tabs->ApplyDescriptor(entry), QZ_OK);
  ASSERT_EQ(tabs->CreateChildren(entry), QZ_OK);
  const auto heard = TimedRecorder::Listen(tabs, {u"NID_TAB_BECOMING_UNSELECTED", u"NID_TAB_SELECTED"});
  ASSERT_EQ(tabs->Initialize(), QZ_OK);
  ASSERT_EQ(heard->heard.size(), 1u);
  EXPECT_EQ(heard->heard[0].name, "NID_TAB_SELECTED");
  EXPECT_EQ(heard->heard[0].parameter, RCPtr<LRefCountedObject>(tabs->GetPageAt(0)));
  EXPECT_EQ(tabs->GetSelectedTab(), WString(u"first"));
  EXPECT_EQ(tabs->GetSelectedIndex(), 0);
  EXPECT_EQ(tabs->GetTabCount(), 3);
  EXPECT_TRUE(tabs->GetPageAt(0)->IsShown(false));
  EXPECT_FALSE(tabs->GetPageAt(1)->IsShown(false));
  EXPECT_FALSE(tabs->GetPageAt(2)->IsShown(false));
  tabs->Detach();
}

TEST(TabControlTest, AClickSelectsItsTabAndACancelledClickKeepsTheOldTabPressedAndFocused) {
  Tabs skin;
  ASSERT_TRUE(skin.tabs);
  skin.pointer.ClickAt(skin.Button(u"second"), 5, 5);
  EXPECT_EQ(skin.Names(),
            (std::vector<std::string>{"NID_TAB_BUTTON_CLICKED", "NID_TAB_BECOMING_UNSELECTED", "NID_TAB_SELECTED"}));
  EXPECT_EQ(skin.heard->heard[0].parameter, RCPtr<LRefCountedObject>(skin.Button(u"second")));
  EXPECT_EQ(skin.heard->heard[2].parameter, RCPtr<LRefCountedObject>(skin.Page(u"page2")));
  EXPECT_EQ(skin.ShownPages(), "page2");
  EXPECT_TRUE(skin.Find({u"pageHolder", u"page2", u"field2"})->HasFocus());

  // The receiver puts the tab back.
  skin.OnBecomingUnselected([](LTabBecomingUnselectedParams& params) {
    EXPECT_EQ(params.currentIndex, 1);
    EXPECT_EQ(params.newIndex, 0);
    params.newIndex = params.currentIndex;
  });
  skin.heard->heard.clear();
  skin.pointer.ClickAt(skin.Button(u"first"), 5, 5);
  EXPECT_EQ(skin.Names(),
            (std::vector<std::string>{"NID_TAB_BUTTON_CLICKED", "NID_TAB_BECOMING_UNSELECTED", "NID_TAB_SELECTED"}));
  EXPECT_EQ(skin.tabs->GetSelectedTab(), WString(u"second"));
  EXPECT_EQ(skin.ShownPages(), "page2");
  EXPECT_EQ(skin.Button(u"second")->GetValue(), 1.0);
  EXPECT_EQ(skin.Button(u"first")->GetValue(), 0.0);
  EXPECT_TRUE(skin.Find({u"pageHolder", u"page2", u"field2"})->HasFocus());
}

TEST(TabControlTest, ARedirectToAThirdTabAsksOnceMore) {
  Tabs skin;
  skin.OnBecomingUnselected([](LTabBecomingUnselectedParams& params) {
    if (params.newIndex == 1) {
      params.newIndex = 2;
    }
  });
  skin.pointer.ClickAt(skin.Button(u"second"), 5, 5);
  EXPECT_EQ(skin.Names(), (std::vector<std::string>{"NID_TAB_BUTTON_CLICKED", "NID_TAB_BECOMING_UNSELECTED",
                                                    "NID_TAB_BECOMING_UNSELECTED", "NID_TAB_SELECTED"}));
  EXPECT_EQ(skin.tabs->GetSelectedTab(), WString(u"third"));
  EXPECT_EQ(skin.ShownPages(), "page3");
  EXPECT_EQ(skin.Button(u"third")->GetValue(), 1.0);
  EXPECT_EQ(skin.Button(u"second")->GetValue(), 0.0);
}

TEST(TabControlTest, ReceiversThatRedirectInCirclesCancelTheChange) {
  Tabs skin;
  int asked = 0;
  skin.OnBecomingUnselected([&asked](LTabBecomingUnselectedParams& params) {
    ++asked;
    params.newIndex = params.newIndex == 1 ? 2 : 1;
  });
  EXPECT_EQ(skin.tabs->SelectTab(u"second"), QZ_OK);
  EXPECT_EQ(asked, 2); // second, then third; back to second: stay
  EXPECT_EQ(skin.tabs->GetSelectedTab(), WString(u"first"));
  EXPECT_EQ(skin.ShownPages(), "page1");

  // A receiver that asks for no tab at all.
  skin.OnBecomingUnselected([](LTabBecomingUnselectedParams& params) { params.newIndex = -1; });
  EXPECT_EQ(skin.tabs->SelectTab(u"third"), QZ_E_FAIL);
  EXPECT_EQ(skin.tabs->SelectTabAt(-1), QZ_E_FAIL);
  EXPECT_EQ(skin.tabs->SelectTabAt(3), QZ_E_FAIL);
  EXPECT_EQ(skin.tabs->GetSelectedTab(), WString(u"first"));
  EXPECT_EQ(skin.ShownPages(), "page1");
}

TEST(TabControlTest, AnUnknownNameHidesEveryPageAndTheSameTabAgainAsksNobody) {
  Tabs skin;
  skin.heard->heard.clear();
  EXPECT_EQ(skin.tabs->SelectTab(u"nowhere"), QZ_OK);
  ASSERT_EQ(skin.Names(), (std::vector<std::string>{"NID_TAB_BECOMING_UNSELECTED", "NID_TAB_SELECTED"}));
  const auto params = DynamicCast<LTabBecomingUnselectedParams>(skin.heard->heard[0].parameter);
  ASSERT_TRUE(params);
  EXPECT_EQ(params->currentIndex, 0);
  EXPECT_EQ(params->newIndex, -1);
  EXPECT_FALSE(skin.heard->heard[1].parameter);
  EXPECT_EQ(skin.ShownPages(), "");
  EXPECT_EQ(skin.tabs->GetSelectedIndex(), -1);
  EXPECT_FALSE(skin.tabs->GetSelectedPage());

  skin.heard->heard.clear();
  EXPECT_EQ(skin.tabs->SelectTab(u"second"), QZ_OK); // nothing was selected: nobody is asked
  EXPECT_EQ(skin.tabs->SelectTab(u"second"), QZ_OK);
  EXPECT_EQ(skin.Names(), (std::vector<std::string>{"NID_TAB_SELECTED", "NID_TAB_SELECTED"}));
  EXPECT_EQ(skin.ShownPages(), "page2");
}

TEST(TabControlTest, FewerPagesThanButtonsLeaveTheLastTabsWithoutAPage) {
  Tabs skin(u"twoPages");
  ASSERT_TRUE(skin.tabs);
  EXPECT_EQ(skin.tabs->GetTabCount(), 3);
  EXPECT_FALSE(skin.tabs->GetPageAt(2));
  EXPECT_FALSE(skin.tabs->GetPageOfTab(u"third"));
  EXPECT_FALSE(skin.tabs->GetPageOfTab(u"fourth"));
  EXPECT_EQ(skin.tabs->GetButtonAt(2), skin.Button(u"third"));
  EXPECT_EQ(skin.tabs->GetButtonOfTab(u"first"), skin.Button(u"first"));
  EXPECT_EQ(skin.tabs->GetPageOfTab(u"second"), skin.Page(u"page2"));
  EXPECT_FALSE(skin.tabs->GetButtonAt(-1));
  EXPECT_EQ(skin.tabs->IndexOfTab(u"third"), 2);

  skin.heard->heard.clear();
  skin.pointer.ClickAt(skin.Button(u"third"), 5, 5);
  EXPECT_EQ(skin.tabs->GetSelectedTab(), WString(u"third"));
  EXPECT_EQ(skin.ShownPages(), "");
  ASSERT_EQ(skin.heard->heard.size(), 3u);
  EXPECT_FALSE(skin.heard->heard[2].parameter);
}

TEST(TabControlTest, WithoutHoldersThereAreNoTabsAndNothingToSelect) {
  QZTest::FakeControlApplication application;
  const RCPtr<LTabControl> tabs(new LTabControl(nullptr, u"bare"));
  EXPECT_EQ(tabs->Initialize(), QZ_E_FAIL);
  EXPECT_EQ(tabs->GetTabCount(), 0);
  EXPECT_EQ(tabs->IndexOfTab(u"first"), -1);
  EXPECT_FALSE(tabs->GetPageAt(0));
  EXPECT_FALSE(tabs->GetSelectedPage());
  EXPECT_EQ(tabs->SelectTab(u"first"), QZ_E_FAIL);
  EXPECT_EQ(tabs->SelectTabAt(0), QZ_E_FAIL);
}

TEST(TabControlTest, TheTopTabControlShownAgainFocusesItsPageAndASkinSwitchKeepsTheTab) {
  Tabs skin;
  ASSERT_EQ(skin.tabs->SelectTab(u"third"), QZ_OK);
  skin.tabs->SetVisible(false);
  EXPECT_FALSE(skin.Find({u"pageHolder", u"page3", u"field3"})->HasFocus());
  skin.tabs->SetVisible(true);
  EXPECT_TRUE(skin.Find({u"pageHolder", u"page3", u"field3"})->HasFocus());

  ASSERT_EQ(skin.application.factory->ReapplySkin(skin.top), QZ_OK);
  EXPECT_EQ(skin.tabs->GetSelectedTab(), WString(u"third"));
  EXPECT_EQ(skin.ShownPages(), "page3");
  skin.pointer.ClickAt(skin.Button(u"first"), 5, 5); // the buttons still select
  EXPECT_EQ(skin.ShownPages(), "page1");
}

} // namespace
} // namespace QZ
