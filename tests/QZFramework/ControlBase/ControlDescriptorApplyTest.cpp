#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FactoryTestSupport.h"
#include "LayoutTestSupport.h"
#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/Look.h"
#include "Support/FakeControlApplication.h"
#include "Support/FakeRootWindow.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

using QZTest::LayoutControl;
using QZTest::NotificationRecorder;

// A control of class "Test.Apply": counts how many were made, and records the
// focusability it is given.
class SkinControl : public LayoutControl {
public:
  SkinControl(const RCPtr<LControl>& parent, const WString& name) : LayoutControl(parent, name, nullptr) { ++made; }
  static inline int made = 0;
  std::vector<bool> focusability;
  QZResult SetFocusable(bool notFocusable) override {
    focusability.push_back(notFocusable);
    return LayoutControl::SetFocusable(notFocusable);
  }
};

SkinControl& AsSkin(const RCPtr<LControl>& control) { return dynamic_cast<SkinControl&>(*control); }

// Asked at least once, and never to be focusable.
bool OnlyNotFocusable(const std::vector<bool>& asked) {
  return !asked.empty() && std::find(asked.begin(), asked.end(), false) == asked.end();
}

constexpr char kLooks[] = R"(
  <Colorizers>
    <Colorizer Name="White" ColorType="SolidFill" Color="FFFFFFFF"/>
    <Colorizer Name="Fade" ColorType="LinearGradient" Color="FF000000" GradientEndColor="FFFFFFFF"
               GradientStartX="0" GradientStartY="0" GradientEndX="0" GradientEndY="1"/>
  </Colorizers>
  <Parts>
    <Part Name="fill" Width="1" Height="1" ResizeType="Stretch" ColorizerName="White"/>
    <Part Name="fade" Width="4" Height="4" ResizeType="Stretch" ColorizerName="Fade"/>
  </Parts>
  <Looks>
    <Look Name="plain"><ClientPart Name="fill" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look>
    <Look Name="faded"><ClientPart Name="fade" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look>
  </Looks>
  <LookLists>
    <LookList Name="one" NumLooks="1"><Look Name="plain" Index="0"/></LookList>
    <LookList Name="fading" NumLooks="1"><Look Name="faded" Index="0"/></LookList>
  </LookLists>)";

constexpr char kTwoSkins[] = R"(
  <Skins>
    <Skin Name="First">
      <SubControl Class="Test.Apply" Name="mainControl" XPositionToControl="Screen" XPositionAbs="120"
                  YPositionToControl="Screen" YPositionAbs="80" XSizeAbs="300" YSizeAbs="200">
        <CreateParamList><CreateParam ID="LABEL" Type="String">Main</CreateParam></CreateParamList>
        <Skin Name="s" LookList="one">
          <SubControl Class="Test.Apply" Name="a" XSizeAbs="50">
            <CreateParamList><CreateParam ID="NOT_FOCUSABLE" Type="String"> True&#13;&#10;</CreateParam></CreateParamList>
            <Skin Name="s" LookList="one"/>
          </SubControl>
          <SubControl Class="Test.Apply" Name="b" XSizeAbs="60"><Skin Name="s" LookList="one"/></SubControl>
        </Skin>
      </SubControl>
    </Skin>
    <Skin Name="Second">
      <SubControl Class="Test.Apply" Name="mainControl" XPositionToControl="Screen" XPositionAbs="500"
                  YPositionToControl="Screen" YPositionAbs="400" XSizeAbs="350" YSizeAbs="250">
        <Skin Name="s" LookList="one">
          <SubControl Class="Test.Apply" Name="b" XSizeAbs="70"><Skin Name="s" LookList="one"/></SubControl>
          <SubControl Class="Test.Apply" Name="a" XSizeAbs="50" IsVisible="false">
            <CreateParamList><CreateParam ID="NOT_FOCUSABLE" Type="String"> True&#13;&#10;</CreateParam></CreateParamList>
            <Skin Name="s" LookList="one"/>
          </SubControl>
          <SubControl Class="Test.Apply" Name="c"><Skin Name="s" LookList="one"/></SubControl>
        </Skin>
      </SubControl>
      <SubControl Class="Test.Apply" Name="holder">
        <Skin Name="s" LookList="one">
          <SubControl Class="Test.Apply" Name="faded"><Skin Name="s" LookList="fading"/></SubControl>
        </Skin>
      </SubControl>
    </Skin>
  </Skins>)";

// The application with the two skins' factory and a window at (120, 80).
struct TwoSkins {
  QZTest::FakeControlApplication application;
  RCPtr<QZTest::FakeRootWindow> window{new QZTest::FakeRootWindow};
  TwoSkins() {
    application.factory = QZTest::LoadSkinText(QZTest::SkinDocument(std::string(kLooks) + kTwoSkins));
    application.factory->RegisterControlCreateFunction(u"Test.Apply", &CreateControlOf<SkinControl>);
    window->clientRect = {120, 80, 640, 480};
    application.rootWindows = {window};
  }
  ~TwoSkins() { window->InstallRootControl(nullptr); } // always 0
};

TEST(ControlDescriptorApplyTest, TheFirstApplicationShowsLookZeroAndPrimesTheConditionsSilently) {
  QZTest::ScopedFixedAdvanceMeasurer measuring;
  QZTest::FakeControlApplication application;
  const RCPtr<LayoutControl> parent = LayoutControl::Make(nullptr, u"parent");
  parent->Place(0, 0, 200, 200);
  const RCPtr<LayoutControl> control = LayoutControl::Make(parent, u"control");
  control->UseStringTable(LStringTable::Create({{u"LABEL", u"translated"}}));
  const auto heard =
      NotificationRecorder::Listen(control, {u"NID_CONDITION_CHANGE", u"NID_VISIBLITY_CONDITION_CHANGE"});
  const RCPtr<LControlDescriptor> entry = QZTest::Entry(u"control", nullptr, 3);
  entry->SetCreateParams(LStringTable::Create({{u"LABEL", u"skin"}}));

  ASSERT_EQ(control->ApplyDescriptor(entry), QZ_OK);
  EXPECT_EQ(control->GetControlDescriptor(), entry);
  EXPECT_NE(control->GetLayoutDescriptor(), entry->GetLayout()); // its own clone
  EXPECT_EQ(control->GetLooks().GetCount(), 3u);
  EXPECT_EQ(control->GetCurrentLookIndex(), 0);
  EXPECT_EQ(control->GetLookWeight(1), 0.0f);
  EXPECT_EQ(control->GetText(), WString(u"translated"));
  EXPECT_EQ(control->GetLook(0)->GetFontText()->GetText(), WString(u"translated"));
  EXPECT_EQ(control->GetFont(), QZTest::FixedAdvanceFont());
  EXPECT_EQ(control->GetRect(), (RectT<double>{0, 0, 16, 40}));
  EXPECT_EQ(control->GetConditionsParam()->GetCurrent(), control->GetConditions());
  EXPECT_NE(control->GetConditions() & kConditionVisible, 0u);
  EXPECT_TRUE(heard->heard.empty());

  // Without a translation the skin's label.
  const RCPtr<LayoutControl> plain = LayoutControl::Make(parent, u"plain");
  ASSERT_EQ(plain->ApplyDescriptor(entry), QZ_OK);
  EXPECT_EQ(plain->GetText(), WString(u"skin"));
  EXPECT_EQ(plain->ApplyDescriptor(nullptr), QZ_E_INVALIDARG);
}

TEST(ControlDescriptorApplyTest, ASkinSwitchKeepsTheTreeItsStateAndTheWindowsPlace) {
  TwoSkins skins;
  SkinControl::made = 0;
  const RCPtr<LControl> top = skins.application.factory->CreateControlByName(u"mainControl", skins.window);
  ASSERT_TRUE(top);
  ASSERT_EQ(SkinControl::made, 3);
  const RCPtr<LControl> a = top->FindChildByName(u"a");
  const RCPtr<LControl> b = top->FindChildByName(u"b");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(top->GetRect(), (RectT<double>{0, 0, 300, 200}));
  EXPECT_TRUE(OnlyNotFocusable(AsSkin(a).focusability)); // " True\r\n"
  AsSkin(a).focusability.clear();
  ASSERT_EQ(b->SetEnabled(false), QZ_OK);
  const auto heard = NotificationRecorder::Listen(a, {u"NID_VISIBLITY_CONDITION_CHANGE"});
  skins.window->clientRectRequests.clear();

  skins.application.factory->SetCurrentSkinIndex(1);
  ASSERT_EQ(skins.application.factory->ReapplySkin(top), QZ_OK);
  EXPECT_EQ(SkinControl::made, 4); // "c" only
  ASSERT_EQ(top->GetChildren().GetCount(), 3u);
  EXPECT_EQ(top->GetChildren().GetAt(0, 0), b);
  EXPECT_EQ(top->GetChildren().GetAt(1, 0), a);
  EXPECT_EQ(top->GetChildren().GetAt(2, 0)->GetName(), WString(u"c"));
  EXPECT_EQ(b->GetRect().width, 70.0);

  EXPECT_EQ(heard->Names(), (std::vector<std::string>{"NID_VISIBLITY_CONDITION_CHANGE"}));
  EXPECT_FALSE(a->GetLayoutDescriptor()->isVisible);
  EXPECT_FALSE(b->GetLayoutDescriptor()->isEnabled);
  EXPECT_TRUE(OnlyNotFocusable(AsSkin(a).focusability)); // compared the same way again

  // The window keeps its place: its client origin and the control's size became the
  // placement, with no relative part.
  const LLayoutDescriptor& layout = *top->GetLayoutDescriptor();
  EXPECT_EQ(layout.position[0].abs, 120.0);
  EXPECT_EQ(layout.position[1].abs, 80.0);
  EXPECT_EQ(layout.size[0].abs, 300.0);
  EXPECT_EQ(layout.size[1].abs, 200.0);
  EXPECT_EQ(layout.position[0].rel, 0.0f);
  EXPECT_EQ(layout.size[1].rel, 0.0f);
  EXPECT_EQ(layout.position[0].kind, kPositionToParent);
  EXPECT_EQ(top->GetRect(), (RectT<double>{0, 0, 300, 200}));
  for (const RectT<int32_t>& request : skins.window->clientRectRequests) {
    EXPECT_EQ(request, (RectT<int32_t>{120, 80, 300, 200}));
  }
  EXPECT_EQ(top->GetText(), WString(u"Main"));
}

TEST(ControlDescriptorApplyTest, ASkinPartThatCannotBeBuiltReachesTheCallerAndLeavesNoHalfControl) {
  TwoSkins skins;
  skins.application.factory->SetCurrentSkinIndex(1);
  const std::string text =
      QZTest::ThrownText([&] { skins.application.factory->CreateControlByName(u"holder", skins.window); });
  EXPECT_NE(text.find("Domain Error : QZ::LBitmap::CreateGradientFilledBitmap"), std::string::npos) << text;
  EXPECT_FALSE(skins.window->rootControl);

  // A living control keeps what it had.
  const RCPtr<LControl> holder = skins.application.factory->CreateControlByName(u"mainControl", skins.window);
  ASSERT_TRUE(holder);
  const RCPtr<LControlDescriptor> faded =
      skins.application.factory->FindControlDescriptor(u"holder")->GetChildren().GetAt(0);
  const RCPtr<LControl> a = holder->FindChildByName(u"a");
  const RCPtr<LControlDescriptor> before = a->GetControlDescriptor();
  EXPECT_NE(QZTest::ThrownText([&] { a->ApplyDescriptor(faded); }), "");
  EXPECT_EQ(a->GetControlDescriptor(), before);
  EXPECT_EQ(a->GetLooks().GetCount(), 1u);
  EXPECT_EQ(a->GetParent(), holder);
}

} // namespace
} // namespace QZ
