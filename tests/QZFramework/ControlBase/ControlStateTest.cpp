#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "FactoryTestSupport.h"
#include "LayoutTestSupport.h"
#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/MenuDescriptor.h"
#include "Support/FakeControlApplication.h"
#include "Support/FakeRootWindow.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

using QZTest::InvalidationLog;
using QZTest::LayoutControl;
using QZTest::NotificationRecorder;

// The values "NID_VALUE_CHANGE" carried.
class ValueRecorder : public LNotificationClient {
public:
  std::vector<std::pair<double, double>> values;
  QZResult ReceiveNotification(const RCPtr<LNotificationDistributor>&,
                               const RCPtr<LNotification>& notification) override {
    const auto param = notification->GetParameterAs<LValueParam>();
    values.emplace_back(param->GetValue(), param->GetScaledValue());
    return QZ_OK;
  }
};

TEST(ControlStateTest, ValuesAreClampedScaledAndAnnouncedOnlyWhenTheyChange) {
  struct Case {
    const char* name;
    double minimum, maximum;
    int32_t scale;
    double value;
    double stored;
    std::vector<std::pair<double, double>> sent;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"above 1 is 1", 0, 1, 0, 1.7, 1.0, {{1.0, 1.0}}},   {"below 0 is 0: unchanged", 0, 1, 0, -3.0, 0.0, {}},
      {"logarithmic", 2, 200, 1, 0.5, 0.5, {{0.5, 20.0}}}, {"linear", 2, 200, 0, 0.5, 0.5, {{0.5, 101.0}}},
      {"NaN changes nothing", 0, 1, 0, nan, 0.0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RCPtr<LayoutControl> control = LayoutControl::Make(nullptr, u"value");
    control->UseRange(c.minimum, c.maximum, c.scale);
    const RCPtr<ValueRecorder> recorder(new ValueRecorder);
    recorder->RegisterNotification(control, u"NID_VALUE_CHANGE");
    EXPECT_EQ(control->SetValue(c.value), c.stored);
    EXPECT_EQ(control->GetValue(), c.stored);
    ASSERT_EQ(recorder->values.size(), c.sent.size());
    for (size_t i = 0; i < c.sent.size(); ++i) {
      EXPECT_DOUBLE_EQ(recorder->values[i].first, c.sent[i].first);
      EXPECT_DOUBLE_EQ(recorder->values[i].second, c.sent[i].second);
    }
    // The same value again, and NaN after a value, send nothing.
    control->SetValue(c.stored);
    control->SetValue(nan);
    EXPECT_EQ(control->GetValue(), c.stored);
    EXPECT_EQ(recorder->values.size(), c.sent.size());
  }
}

TEST(ControlStateTest, TheScrollOffsetIsRoundedAndAnnouncedOnce) {
  const RCPtr<LayoutControl> panel = LayoutControl::Make(nullptr, u"panel");
  panel->Place(0, 0, 100, 100);
  const RCPtr<LayoutControl> docked = LayoutControl::Make(panel, u"docked");
  docked->Layout().position[1] = QZTest::At(kPositionToClient, 0.0f, 10.0, 0.0f, true);
  ASSERT_EQ(docked->PerformLayout(), QZ_OK);
  const auto heard = NotificationRecorder::Listen(panel, {u"NID_SCROLL_OFFSET_CHANGE"});
  EXPECT_EQ(panel->SetScrollOffset({10.4, -2.5}), QZ_OK);
  EXPECT_EQ(panel->GetScrollOffset(), (PointT<double>{10, -3}));
  EXPECT_EQ(docked->GetRect().y, 7.0); // kept in view
  EXPECT_EQ(panel->SetScrollOffset({10.0, -3.4}), QZ_FALSE);
  EXPECT_EQ(heard->Names(), (std::vector<std::string>{"NID_SCROLL_OFFSET_CHANGE"}));
}

// A control with three text looks and the fixed-advance font inside a 200 x 200 parent,
// invalidations logged.
struct ThreeLooks {
  QZTest::ScopedFixedAdvanceMeasurer measuring;
  QZTest::FakeControlApplication application;
  InvalidationLog log;
  RCPtr<LayoutControl> parent = LayoutControl::Make(nullptr, u"parent", &log);
  RCPtr<LayoutControl> control;
  ThreeLooks() {
    parent->Place(0, 0, 200, 200);
    control = LayoutControl::Make(parent, u"control", &log);
    EXPECT_EQ(control->ApplyDescriptor(QZTest::Entry(u"control", nullptr, 3)), QZ_OK);
    log.Clear();
  }
};

TEST(ControlStateTest, LookWeightsTextAndFontsChangeOnlyWhatDiffers) {
  ThreeLooks t;
  ASSERT_EQ(t.control->GetCurrentLookIndex(), 0);
  EXPECT_EQ(t.control->SetLookWeight(1, 1.0f, true), QZ_OK);
  EXPECT_EQ(t.control->GetCurrentLookIndex(), 1);
  EXPECT_EQ(t.control->GetLookWeight(0), 0.0f);
  EXPECT_EQ(t.log.entries, (std::vector<std::string>{"control 0,0 16x40"}));
  t.log.Clear();
  EXPECT_EQ(t.control->SetLookWeight(1, 1.5f, false), QZ_OK);
  EXPECT_EQ(t.control->GetLookWeight(1), 1.0f);
  EXPECT_EQ(t.control->SetLookWeight(3, 1.0f, false), QZ_E_INVALIDARG);
  EXPECT_TRUE(t.log.entries.empty());

  EXPECT_TRUE(t.control->SetTextInternal(u"shown", false));
  t.log.Clear();
  EXPECT_FALSE(t.control->SetTextInternal(u"shown", true));
  EXPECT_TRUE(t.log.entries.empty());

  EXPECT_EQ(t.control->SetFont(nullptr), QZ_E_INVALIDARG);
  EXPECT_EQ(t.control->SetFont(QZTest::FixedAdvanceFont()), QZ_FALSE);
  EXPECT_TRUE(t.log.entries.empty());
  const RCPtr<LFont> larger = LFont::GetFont(QZTest::FixedAdvanceFont()->GetFaceName(), 12.0f, LFont::kBold);
  EXPECT_EQ(t.control->SetFont(larger), QZ_OK);
  EXPECT_EQ(t.control->GetLook(2)->GetFontText()->GetFont(), larger);
}

TEST(ControlStateTest, ATopControlsLabelTitlesItsWindowFromTheInstallOn) {
  ThreeLooks t;
  const RCPtr<QZTest::FakeRootWindow> window(new QZTest::FakeRootWindow);
  const RCPtr<LayoutControl> top = LayoutControl::Make(nullptr, u"top", &t.log);
  EXPECT_TRUE(top->SetTextInternal(u"Editor", false));
  EXPECT_TRUE(window->captions.empty()) << "no window to title yet";
  EXPECT_EQ(top->SetRootWindow(RCPtr<IRootWindow>(window.Get())), QZ_OK);
  EXPECT_TRUE(top->SetTextInternal(u"Editor 2", false));
  EXPECT_EQ(window->captions, (std::vector<WString>{u"Editor", u"Editor 2"}));
  // A child's label titles nothing; an unlabelled top control keeps the window's title.
  EXPECT_TRUE(t.control->SetTextInternal(u"child", false));
  const RCPtr<LayoutControl> unlabelled = LayoutControl::Make(nullptr, u"unlabelled", &t.log);
  EXPECT_EQ(window->InstallRootControl(unlabelled), QZ_OK);
  EXPECT_EQ(window->captions.size(), 2u);
  window->InstallRootControl(nullptr);
}

TEST(ControlStateTest, ChildrenFollowTheParentsFontUnlessGivenTheirOwn) {
  ThreeLooks t;
  SkinFont relative;
  relative.inheritsFromParent = true;
  relative.sizeIsRelative = true;
  relative.size = 2.0f;
  const auto makeChild = [&](const WString& name) {
    const RCPtr<LayoutControl> child = LayoutControl::Make(t.control, name);
    const RCPtr<LControlDescriptor> entry = QZTest::Entry(name, nullptr);
    entry->SetSkin(RCPtr<LSkinDescriptor>(new LSkinDescriptor(u"child", relative, entry->GetSkin()->GetLookList())));
    EXPECT_EQ(child->ApplyDescriptor(entry), QZ_OK);
    return child;
  };
  const RCPtr<LayoutControl> follower = makeChild(u"follower");
  const RCPtr<LayoutControl> own = makeChild(u"own");
  ASSERT_TRUE(follower->GetFont());
  EXPECT_EQ(follower->GetFont()->GetSize(), 20.0f);
  EXPECT_EQ(follower->GetFont()->GetFaceName(), QZTest::FixedAdvanceFont()->GetFaceName());
  const RCPtr<LFont> explicitFont = LFont::GetFont(u"Explicit", 7.0f, LFont::kRegular);
  EXPECT_EQ(own->SetFont(explicitFont), QZ_OK);

  EXPECT_EQ(t.control->SetFont(LFont::GetFont(QZTest::FixedAdvanceFont()->GetFaceName(), 12.0f, LFont::kItalic)),
            QZ_OK);
  EXPECT_EQ(follower->GetFont()->GetSize(), 24.0f);
  EXPECT_EQ(follower->GetFont()->GetStyle(), LFont::kItalic);
  EXPECT_EQ(own->GetFont(), explicitFont);
}

TEST(ControlStateTest, HidingOrDisablingTheFocusedControlHandsTheFocusToItsParent) {
  ThreeLooks t;
  const auto heard = NotificationRecorder::Listen(t.control, {u"NID_VISIBLITY_CONDITION_CHANGE"});
  t.control->HasFocusFlag() = true;
  EXPECT_FALSE(t.control->SetVisible(false));
  EXPECT_EQ(t.parent->focusRequests, (std::vector<bool>{true}));
  EXPECT_EQ(heard->Names(), (std::vector<std::string>{"NID_VISIBLITY_CONDITION_CHANGE"}));
  EXPECT_EQ(t.log.entries, (std::vector<std::string>{"control 0,0 16x40"})); // while it was still shown
  EXPECT_FALSE(t.control->SetVisible(false));
  EXPECT_TRUE(t.control->SetVisible(true));

  EXPECT_EQ(t.control->SetEnabled(false), QZ_OK);
  EXPECT_EQ(t.parent->focusRequests, (std::vector<bool>{true, true}));
  EXPECT_EQ(t.control->SetEnabled(false), QZ_FALSE);
  EXPECT_EQ(t.control->GetConditions() & kConditionEnabled, 0u);
}

TEST(ControlStateTest, ACursorShowsAtOnceUnderThePointerAndTheOldOneComesBack) {
  QZTest::FakeControlApplication application;
  const RCPtr<QZTest::FakeRootWindow> window(new QZTest::FakeRootWindow);
  const RCPtr<LayoutControl> top = LayoutControl::Make(nullptr, u"top");
  top->Place(0, 0, 100, 100);
  ASSERT_EQ(window->InstallRootControl(top), QZ_OK);
  window->cursor = 7;
  top->SetCursor(5); // not under the pointer: only kept
  EXPECT_TRUE(window->cursorRequests.empty());
  top->SetCursor(0);

  top->MouseOverFlag() = true;
  top->NotifyConditionChange();
  top->SetCursor(5);
  EXPECT_EQ(window->cursor, 5u);
  top->SetCursor(6); // a second cursor keeps the first saved one
  top->MouseOverFlag() = false;
  top->NotifyConditionChange();
  EXPECT_EQ(window->cursor, 7u);
  EXPECT_EQ(window->cursorRequests, (std::vector<CursorHandle>{5, 6, 7}));
  window->InstallRootControl(nullptr);
}

// A control whose tool tip and context menu the test sets.
class TipControl : public LayoutControl {
public:
  TipControl(const RCPtr<LControl>& parent, const WString& name) : LayoutControl(parent, name, nullptr) {}
  WString tip;
  std::vector<RCPtr<LMenuDescriptor>> menusShown;
  WString GetToolTipText() override { return tip; }
  QZResult OnBeforeContextMenu(const RCPtr<LMenuDescriptor>& menu) override {
    menusShown.push_back(menu);
    return QZ_OK;
  }
};

TEST(ControlStateTest, ToolTipsAndContextMenusComeFromTheSkinWhenItHasThem) {
  QZTest::FakeControlApplication application;
  const std::string looks = R"(<Colorizers><Colorizer Name="W" ColorType="SolidFill" Color="FFFFFFFF"/></Colorizers>
    <Parts><Part Name="fill" Width="1" Height="1" ResizeType="Stretch" ColorizerName="W"/></Parts>)";
  application.factory = QZTest::LoadSkinText(QZTest::SkinDocument(looks + R"(<Skins><Skin Name="bare"/>
    <Skin Name="full"><SubControl Class="Test.Tip" Name="toolTip" XSizeAbs="60" YSizeAbs="20"/>
    <SubControl Class="Test.Tip" Name="contextMenu"/></Skin></Skins>)"));
  application.factory->RegisterControlCreateFunction(u"Test.Tip", &CreateControlOf<TipControl>);
  const RCPtr<TipControl> owner(new TipControl(nullptr, u"owner"));
  owner->Place(0, 0, 100, 100);
  owner->tip = u"Sends the preset";

  EXPECT_EQ(owner->CreateToolTip(true), QZ_FALSE); // the bare skin has no "toolTip"
  EXPECT_EQ(owner->ShowContextMenu(LMenuDescriptor::Create()), QZ_E_FAIL);
  application.factory->SetCurrentSkinIndex(1);
  owner->tip = u"";
  EXPECT_EQ(owner->CreateToolTip(true), QZ_FALSE);
  EXPECT_EQ(owner->GetChildren().GetCount(), 0u);

  owner->tip = u"Sends the preset";
  EXPECT_EQ(owner->CreateToolTip(true), QZ_OK);
  const RCPtr<LControl> tip = owner->FindChildByName(u"toolTip");
  ASSERT_TRUE(tip);
  EXPECT_EQ(tip->GetText(), WString(u"Sends the preset"));
  EXPECT_EQ(owner->CreateToolTip(false), QZ_OK);
  EXPECT_FALSE(tip->GetLayoutDescriptor()->isVisible); // and on its way out
  EXPECT_EQ(owner->CreateToolTip(true), QZ_OK);        // a new tip takes the old one's place
  EXPECT_EQ(owner->GetChildren().GetCount(), 1u);
  const RCPtr<LControl> again = owner->FindChildByName(u"toolTip");
  ASSERT_TRUE(again);
  EXPECT_NE(again, tip);
  EXPECT_FALSE(tip->GetParent());
  EXPECT_TRUE(again->GetLayoutDescriptor()->isVisible);

  const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::Create();
  EXPECT_EQ(owner->ShowContextMenu(menu), QZ_OK);
  const RCPtr<LControl> popup = owner->FindChildByName(u"contextMenu");
  ASSERT_TRUE(popup);
  EXPECT_FALSE(popup->GetLayoutDescriptor()->isVisible);
  ASSERT_EQ(owner->menusShown.size(), 1u);
  EXPECT_EQ(owner->menusShown[0].Get(), menu.Get());
  owner->Detach();
}

TEST(ControlStateTest, AContextMenusCommandsReachTheControlFromAnySource) {
  const RCPtr<LayoutControl> control = LayoutControl::Make(nullptr, u"control");
  const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::Create();
  ASSERT_GE(menu->InsertNewItem(0, u"Load", u"NID_TEST_LOAD", true, false), 0);
  const RCPtr<LMenuItemDescriptor> recent = LMenuItemDescriptor::Create(u"Recent", u"", true, false);
  ASSERT_GE(recent->InsertNewItem(0, u"One", u"NID_TEST_RECENT_1", true, false), 0);
  ASSERT_GE(menu->InsertItem(1, recent), 0);
  ASSERT_GE(menu->InsertSeparator(2), 0);
  // A routed command answers what the menu-command handler answers (1); an unrouted one 0.
  const auto deliver = [&](NotificationName name) {
    return control->ReceiveNotification(nullptr, LNotification::Create(name));
  };
  EXPECT_EQ(deliver(u"NID_TEST_RECENT_1"), QZ_OK);
  EXPECT_EQ(control->SetContextMenuDescriptor(menu), QZ_OK);
  EXPECT_EQ(control->GetContextMenuDescriptor(), menu);
  EXPECT_EQ(deliver(u"NID_TEST_LOAD"), QZ_FALSE);
  EXPECT_EQ(deliver(u"NID_TEST_RECENT_1"), QZ_FALSE);
  EXPECT_EQ(control->ReceiveNotification(control, LNotification::Create(u"NID_TEST_LOAD")), QZ_FALSE);
  EXPECT_EQ(control->SetContextMenuDescriptor(nullptr), QZ_OK);
  EXPECT_EQ(deliver(u"NID_TEST_LOAD"), QZ_OK);
  EXPECT_EQ(control->SubscribeMenuNotifications(nullptr, true), QZ_E_INVALIDARG);
}

TEST(ControlStateTest, ANotificationSentToOneReceiverComesFromTheControl) {
  const RCPtr<LayoutControl> control = LayoutControl::Make(nullptr, u"control");
  const RCPtr<NotificationRecorder> receiver(new NotificationRecorder);
  EXPECT_EQ(control->SendNotificationTo(receiver, u"NID_TEST_DIRECT", nullptr), QZ_OK);
  EXPECT_EQ(receiver->Names(), (std::vector<std::string>{"NID_TEST_DIRECT"}));
  EXPECT_EQ(control->SendNotificationTo(nullptr, u"NID_TEST_DIRECT", nullptr), QZ_E_INVALIDARG);
}

} // namespace
} // namespace QZ
