#include <gtest/gtest.h>

#include <functional>

#include "ControlTestSupport.h"
#include "FactoryTestSupport.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "Support/FakeControlApplication.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

using QZTest::FakeControlApplication;
using QZTest::InstanceCounter;
using QZTest::TestControl;

constexpr int32_t kInsertion = LControl::ChildControlList::kInsertionOrder;
constexpr int32_t kPaint = LControl::ChildControlList::kPaintOrder;
constexpr int32_t kTab = LControl::ChildControlList::kTabOrder;

// A factory that has read skin (the body of the "Main" skin's Skins element) and the given
// string tables, and creates "Test.Control" as TestControl.
RCPtr<LControlFactory> MakeFactory(const std::string& skinBody, const std::string& tables = "") {
  QZTest::InMemoryDocuments documents;
  documents.Add("APP_SKINS", QZTest::SkinDocument("<Skins><Skin Name=\"Main\">" + skinBody + "</Skin></Skins>"));
  documents.Add("APP_STRINGS", QZTest::StringTableDocument(tables));
  RCPtr<LControlFactory> factory(new LControlFactory(documents.Module()));
  EXPECT_EQ(factory->LoadStringTables(u"::APP_STRINGS", u"::NONE", 0x0409), QZ_OK);
  EXPECT_EQ(factory->LoadSkins(u"::APP_SKINS"), QZ_OK);
  factory->RegisterControlCreateFunction(u"Test.Control", &QZTest::CreateTestControl);
  return factory;
}

std::string Names(const LControl& parent, int32_t order) {
  std::string names;
  for (uint32_t i = 0; i < parent.GetChildren().GetCount(); ++i) {
    names += QZTest::Utf8(parent.GetChildren().GetAt(i, order)->GetName());
  }
  return names;
}

std::string ErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    return error.what();
  }
  return "no exception";
}

TEST(ControlTreeTest, ANewControlStandsAloneUntilItsDescriptorComes) {
  FakeControlApplication application;
  application.factory = MakeFactory("", R"(<StringTable ID="PresetEditor|lonely">
      <String ID="LABEL"><Locale LCID="0x0009">Alone</Locale></String></StringTable>)");
  const RCPtr<TestControl> control = TestControl::Make(nullptr, u"lonely");

  EXPECT_FALSE(control->GetParent());
  EXPECT_FALSE(control->GetRootWindowRef());
  WString label;
  ASSERT_TRUE(control->GetStringTable());
  EXPECT_TRUE(LookupString(control->GetStringTable().Get(), u"LABEL", label));
  EXPECT_EQ(label, u"Alone");
  EXPECT_TRUE(control->NotFocusable());
  EXPECT_EQ(control->GetDragThreshold(), 1);
  EXPECT_EQ(control->GetOpacity(), 1.0f);
  EXPECT_EQ(control->GetConditionsParam()->GetCurrent(), 0u);
  EXPECT_FALSE(control->IsShown(false));
  EXPECT_FALSE(control->IsEnabled(false));

  const LLayoutDescriptor& layout = control->Layout();
  EXPECT_EQ(layout.size[0].abs, 16.0);
  EXPECT_EQ(layout.size[1].abs, 40.0);
  EXPECT_EQ(layout.size[0].kind, kSizeToSelf);
  EXPECT_EQ(layout.size[1].kind, kSizeToSelf);
  EXPECT_EQ(layout.position[0].kind, kPositionToClient);
  EXPECT_EQ(layout.position[1].kind, kPositionToClient);
  EXPECT_TRUE(layout.clipToParent);
  EXPECT_TRUE(control->IsEnabled(true));
  control->Place(0, 0, 16, 40);
  EXPECT_TRUE(control->IsShown(true));
  EXPECT_EQ(control->GetConditions(), kConditionEnabled | kConditionVisible);

  // Without a factory a control has no string table.
  application.factory = nullptr;
  EXPECT_FALSE(TestControl::Make(nullptr, u"lonely")->GetStringTable());
}

TEST(ControlTreeTest, AChildAsksForTheTableOfItsParentsClassAndItsName) {
  FakeControlApplication application;
  application.factory = MakeFactory(R"(<SubControl Class="PresetEditor.DialogAbout" Name="dialog"/>)",
                                    R"(<StringTable ID="PresetEditor.DialogAbout|labelProduct">
      <String ID="LABEL"><Locale LCID="0x0009">Quorin 49 ZTR</Locale></String></StringTable>)");
  const RCPtr<TestControl> dialog = TestControl::Make(nullptr, u"dialog");
  dialog->UseDescriptor(application.factory->FindControlDescriptor(u"dialog"));
  const RCPtr<TestControl> label = TestControl::Make(dialog, u"labelProduct");
  WString text;
  EXPECT_TRUE(LookupString(label->GetStringTable().Get(), u"LABEL", text));
  EXPECT_EQ(text, u"Quorin 49 ZTR");
  EXPECT_FALSE(TestControl::Make(dialog, u"other")->GetStringTable());
}

TEST(ControlTreeTest, PerformEditMustBeOverridden) {
  const RCPtr<TestControl> control = TestControl::Make(nullptr, u"c");
  EXPECT_EQ(ErrorText([&] { control->PerformEdit(LControl::kEditCopy); }),
            "Logic Error : LControl::PerformEdit must be overridden : QZ::LControl::PerformEdit : "
            "ControlBase\\Control : Line 1287");
}

TEST(ControlTreeTest, AddRefusesNullAndTakenNamesAndLeavesTheListAsItWas) {
  const RCPtr<TestControl> parent = TestControl::Make(nullptr, u"parent");
  const RCPtr<TestControl> first = TestControl::Make(parent, u"twin");
  const RCPtr<TestControl> second = TestControl::Make(nullptr, u"twin");
  const RCPtr<TestControl> other = TestControl::Make(nullptr, u"other");
  const RCPtr<TestControl> adopted = TestControl::Make(other, u"adopted");
  const uint32_t version = parent->GetChildren().GetVersion();

  struct Case {
    LControl* child;
    QZResult expected;
  } cases[] = {{nullptr, QZ_E_INVALIDARG},
               {second.Get(), QZ_E_FAIL},
               {adopted.Get(), QZ_E_FAIL},
               {parent.Get(), QZ_E_INVALIDARG}};
  for (const Case& c : cases) {
    EXPECT_EQ(parent->GetChildren().Add(c.child), c.expected);
    EXPECT_EQ(parent->GetChildren().GetCount(), 1u);
    EXPECT_EQ(parent->GetChildren().GetVersion(), version);
  }
  EXPECT_EQ(parent->GetChildren().GetAt(0, kInsertion), first);
  EXPECT_EQ(first->GetParent(), parent);
  EXPECT_FALSE(second->GetParent());
  // Names are compared exactly.
  EXPECT_EQ(TestControl::Make(parent, u"Twin")->GetParent(), parent);
  // A tree never loops: an ancestor cannot become a child.
  const RCPtr<TestControl> grandparent = TestControl::Make(nullptr, u"grandparent");
  ASSERT_EQ(parent->SetParent(grandparent), QZ_OK);
  EXPECT_EQ(first->GetChildren().Add(grandparent.Get()), QZ_E_INVALIDARG);
  EXPECT_EQ(grandparent->GetParent(), nullptr);
}

TEST(ControlTreeTest, UnclippedDescendantsAreCountedUpTheChainAndGiveBackOnRemoval) {
  const RCPtr<TestControl> root = TestControl::Make(nullptr, u"root");
  const RCPtr<TestControl> owner = TestControl::Make(root, u"owner");
  // A floating control that brings two floating descendants.
  RCPtr<TestControl> chain[3];
  const char16_t* names[] = {u"floating", u"inner", u"deep"};
  for (int i = 0; i < 3; ++i) {
    chain[i] = TestControl::Make(nullptr, names[i]);
    chain[i]->Layout().clipToParent = false;
    if (i > 0) {
      EXPECT_EQ(chain[i]->SetParent(chain[i - 1]), QZ_OK);
    }
  }
  EXPECT_EQ(chain[0]->GetUnclippedCount(), 2u);

  EXPECT_EQ(chain[0]->SetParent(owner), QZ_OK);
  EXPECT_EQ(owner->GetUnclippedCount(), 3u);
  EXPECT_EQ(root->GetUnclippedCount(), 3u);
  EXPECT_EQ(chain[0]->SetParent(owner), QZ_FALSE);

  // Clipping the deepest one and letting it float again.
  EXPECT_EQ(chain[2]->SetClipToParent(true), QZ_OK);
  EXPECT_EQ(chain[2]->SetClipToParent(true), QZ_FALSE);
  EXPECT_EQ(chain[1]->GetUnclippedCount(), 0u);
  EXPECT_EQ(root->GetUnclippedCount(), 2u);
  EXPECT_EQ(chain[2]->SetClipToParent(false), QZ_OK);
  EXPECT_EQ(root->GetUnclippedCount(), 3u);
  EXPECT_EQ(TestControl::Make(nullptr, u"plain")->SetClipToParent(false), QZ_E_FAIL); // no descriptor

  EXPECT_FALSE(owner->GetChildren().RemoveAll());
  EXPECT_EQ(owner->GetUnclippedCount(), 0u);
  EXPECT_EQ(root->GetUnclippedCount(), 0u);
  EXPECT_FALSE(chain[0]->GetParent());
  EXPECT_EQ(chain[0]->GetUnclippedCount(), 2u);
  EXPECT_TRUE(owner->GetChildren().RemoveAll());
}

TEST(ControlTreeTest, RemovalTellsTheOwnerEachChildAndItsIndexLastFirst) {
  const RCPtr<TestControl> parent = TestControl::Make(nullptr, u"parent");
  for (const char16_t* name : {u"a", u"b", u"c"}) {
    TestControl::Make(parent, name);
  }
  const RCPtr<LControl> b = parent->FindChildByName(u"b");
  const uint32_t version = parent->GetChildren().GetVersion();
  EXPECT_EQ(b->SetParent(nullptr), QZ_OK);
  EXPECT_EQ(parent->GetChildren().GetVersion(), version + 1);
  EXPECT_EQ(parent->GetChildren().Remove(b.Get()), QZ_E_INVALIDARG);
  EXPECT_FALSE(parent->GetChildren().RemoveAll());
  EXPECT_EQ(parent->calls,
            (std::vector<std::string>{"OnChildRemoved:b@1", "OnChildRemoved:c@1", "OnChildRemoved:a@0"}));
}

TEST(ControlTreeTest, GetAtRejectsIndexesPastTheEndAndUnknownOrders) {
  const RCPtr<TestControl> parent = TestControl::Make(nullptr, u"parent");
  TestControl::Make(parent, u"a");
  TestControl::Make(parent, u"b");
  const LControl::ChildControlList& constList = parent->GetChildren();
  struct Case {
    uint32_t index;
    int32_t order;
    int line;
    int constLine;
  } cases[] = {{5, kInsertion, 3356, 3384}, {2, kPaint, 3356, 3384}, {0, 3, 3376, 3404}, {1, -1, 3376, 3404}};
  for (const Case& c : cases) {
    const std::string prefix = "Runtime Error : QZ::LControl::ChildControlList::GetAt : ControlBase\\Control : Line ";
    EXPECT_EQ(ErrorText([&] { parent->GetChildren().GetAt(c.index, c.order); }), prefix + std::to_string(c.line));
    EXPECT_EQ(ErrorText([&] { constList.GetAt(c.index, c.order); }), prefix + std::to_string(c.constLine));
  }
  EXPECT_EQ(parent->GetChildren().IndexOf(parent.Get(), kInsertion), -1);
  EXPECT_EQ(parent->GetChildren().IndexOf(parent->FindChildByName(u"b").Get(), 7), -1);
}

TEST(ControlTreeTest, PaintAndTabOrdersSortByTheirKeysAndKeepInsertionAmongEquals) {
  const RCPtr<TestControl> parent = TestControl::Make(nullptr, u"parent");
  struct Child {
    const char16_t* name;
    bool clip;
    bool dockX;
    bool dockY;
    int32_t z;
    int32_t tab;
  } children[] = {
      {u"A", false, false, false, 0, 2}, // floating: painted after every clipped child
      {u"B", true, true, true, 0, 1},    // docked on both axes
      {u"C", true, false, false, 5, 0},  {u"D", true, false, false, 0, 1}, // equal to E and F: insertion order
      {u"E", true, false, false, 0, 1},  {u"F", true, false, true, -3, 0}, // docked on one axis
      {u"G", true, false, false, 0, 1},
  };
  for (const Child& c : children) {
    LLayoutDescriptor& layout = TestControl::Make(parent, c.name)->Layout();
    layout.clipToParent = c.clip;
    layout.position[0].docked = c.dockX;
    layout.position[1].docked = c.dockY;
    layout.zOrder = c.z;
    layout.tabStop = c.tab;
  }
  // The keys were written after the children joined: the orders are re-sorted once asked.
  parent->GetChildren().BumpVersion();
  EXPECT_EQ(Names(*parent, kInsertion), "ABCDEFG");
  EXPECT_EQ(Names(*parent, kPaint), "DEGCFBA");
  EXPECT_EQ(Names(*parent, kTab), "CFBDEGA");
  EXPECT_EQ(parent->IndexOfChild(parent->FindChildByName(u"C").Get(), kPaint), 3);
  EXPECT_EQ(parent->IndexOfChild(parent->FindChildByName(u"C").Get(), kTab), 0);

  // Sorted once per change: a key changed behind the list's back is seen only after the
  // generation moves on.
  parent->FindChildByName(u"G")->GetLayoutDescriptor()->zOrder = -10;
  EXPECT_EQ(Names(*parent, kPaint), "DEGCFBA");
  parent->SortChildOrders();
  EXPECT_EQ(Names(*parent, kPaint), "DEGCFBA");
  parent->GetChildren().BumpVersion();
  EXPECT_EQ(Names(*parent, kPaint), "GDECFBA");
  // A clip change moves the child and its generation.
  EXPECT_EQ(parent->FindChildByName(u"D")->SetClipToParent(false), QZ_OK);
  EXPECT_EQ(Names(*parent, kPaint), "GECFBAD");
}

TEST(ControlTreeTest, PaintOrderReadsFollowChildrenThatComeAndGoAfterASort) {
  const RCPtr<TestControl> parent = TestControl::Make(nullptr, u"parent");
  TestControl::Make(parent, u"a")->Layout().zOrder = 2;
  TestControl::Make(parent, u"b")->Layout().zOrder = 1;
  parent->GetChildren().BumpVersion();
  EXPECT_EQ(Names(*parent, kPaint), "ba");
  TestControl::Make(parent, u"c")->Layout().zOrder = 0;
  EXPECT_EQ(Names(*parent, kPaint), "cba");
  EXPECT_EQ(parent->FindChildByName(u"b")->SetParent(nullptr), QZ_OK);
  EXPECT_EQ(Names(*parent, kPaint), "ca");
  const LControl::ChildControlList& constList = parent->GetChildren();
  EXPECT_EQ(ErrorText([&] { constList.GetAt(2, kPaint); }),
            "Runtime Error : QZ::LControl::ChildControlList::GetAt : ControlBase\\Control : Line 3384");
}

TEST(ControlTreeTest, ChildrenAreFoundByNameAndCollectedDepthFirst) {
  const RCPtr<TestControl> root = TestControl::Make(nullptr, u"root");
  const RCPtr<TestControl> a = TestControl::Make(root, u"a");
  TestControl::Make(a, u"a1");
  TestControl::Make(TestControl::Make(a, u"a2"), u"a21");
  TestControl::Make(root, u"b");
  EXPECT_EQ(root->FindChildByName(u"a"), a);
  EXPECT_FALSE(root->FindChildByName(u"A"));
  EXPECT_FALSE(root->FindChildByName(u"a1"));

  RCPtrArray<LControl, 1, 0> found;
  EXPECT_EQ(root->FindChildrenByName(u"b", found), 1u);
  EXPECT_EQ(root->FindChildrenByName(u"none", found), 0u);
  EXPECT_EQ(root->CollectDescendants(found), 5u);
  std::string order;
  for (uint32_t i = 0; i < found.GetCount(); ++i) {
    order += QZTest::Utf8(found.GetAt(i)->GetName()) + " ";
  }
  EXPECT_EQ(order, "a a1 a2 a21 b ");
  EXPECT_EQ(a->FindChildByName(u"a2")->FindChildByName(u"a21")->GetRootControl(), root);
}

TEST(ControlTreeTest, ChildrenBoundsCoverTheUndockedChildrenAndAreEmptyWithoutThem) {
  const RCPtr<TestControl> parent = TestControl::Make(nullptr, u"parent");
  EXPECT_EQ(parent->GetChildrenBounds(), (RectT<double>{}));
  TestControl::Make(parent, u"docked")->Place(-500, -500, 10, 10).Layout().position[1].docked = true;
  EXPECT_EQ(parent->GetChildrenBounds(), (RectT<double>{}));
  TestControl::Make(parent, u"a")->Place(10.5, 20.4, 5.5, 4.4); // 11, 20, 6, 4
  TestControl::Make(parent, u"b")->Place(-2, 30, 3, 10);
  EXPECT_EQ(parent->GetChildrenBounds(), (RectT<double>{-2, 20, 19, 20}));
}

TEST(ControlTreeTest, CreateChildrenLeavesDeferredEntriesOutAndLaysOut) {
  FakeControlApplication application;
  InstanceCounter counter;
  QZTest::gCreatedCounter = &counter;
  application.factory = MakeFactory(R"(<SubControl Class="Test.Control" Name="panel">
      <Skin Name="panelSkin">
        <SubControl Class="Test.Control" Name="upper">
          <CreateParamList><CreateParam ID="DEFER_CREATE">TRUE</CreateParam></CreateParamList>
        </SubControl>
        <SubControl Class="Test.Control" Name="padded">
          <CreateParamList><CreateParam ID="DEFER_CREATE"> True&#13;&#10;</CreateParam></CreateParamList>
        </SubControl>
        <SubControl Class="Test.Control" Name="yes">
          <CreateParamList><CreateParam ID="DEFER_CREATE">yes</CreateParam></CreateParamList>
        </SubControl>
        <SubControl Class="Test.Control" Name="plain"/>
      </Skin></SubControl>)");
  {
    const RCPtr<LControl> panel =
        application.factory->CreateControl(nullptr, application.factory->FindControlDescriptor(u"panel"));
    ASSERT_TRUE(panel);
    EXPECT_EQ(Names(*panel, kInsertion), "yesplain");
    EXPECT_EQ(counter.live, 3);
    const auto* test = dynamic_cast<const TestControl*>(panel.Get());
    EXPECT_EQ(test->calls, (std::vector<std::string>{"OnChildAdded:yes", "OnChildAdded:plain"}));

    // A second creation replaces the children.
    EXPECT_EQ(panel->CreateChildren(panel->GetControlDescriptor()), QZ_OK);
    EXPECT_EQ(Names(*panel, kInsertion), "yesplain");
    EXPECT_EQ(counter.destroyed, 2);
  }
  EXPECT_EQ(counter.live, 0);
  QZTest::gCreatedCounter = nullptr;
}

TEST(ControlTreeTest, AnUnregisteredClassThrowsAndIsNotCachedUntilItIsRegistered) {
  FakeControlApplication application;
  QZTest::InMemoryDocuments documents;
  documents.Add("APP_SKINS", QZTest::SkinDocument(R"(<Skins><Skin Name="Main">
      <SubControl Class="Test.Later" Name="mainControl" IsVisible="false"/></Skin></Skins>)"));
  application.factory = RCPtr<LControlFactory>(new LControlFactory(documents.Module()));
  ASSERT_EQ(application.factory->LoadSkins(u"::APP_SKINS"), QZ_OK);
  const RCPtr<LControlDescriptor> descriptor = application.factory->FindControlDescriptor(u"mainControl");

  EXPECT_EQ(ErrorText([&] { application.factory->CreateControl(nullptr, descriptor); }),
            "Runtime Error : QZ::LControlFactory::GetControlCreateFunction : ControlBase\\ControlFactory : Line 51");
  EXPECT_EQ(descriptor->GetCreateFunction(), nullptr);
  EXPECT_FALSE(application.factory->CreateControl(nullptr, nullptr));

  application.factory->RegisterControlCreateFunction(u"Test.Later", &QZTest::CreateTestControl);
  const RCPtr<LControl> control = application.factory->CreateControlByName(u"mainControl", nullptr);
  ASSERT_TRUE(control);
  EXPECT_EQ(control->GetName(), u"mainControl");
  EXPECT_EQ(descriptor->GetCreateFunction(), &QZTest::CreateTestControl);
  EXPECT_TRUE(descriptor->GetLayout()->isVisible);
  EXPECT_FALSE(application.factory->CreateControlByName(u"missing", nullptr));
  EXPECT_EQ(application.factory->ReapplySkin(nullptr), QZ_E_FAIL);
  EXPECT_EQ(application.factory->ReapplySkin(TestControl::Make(nullptr, u"stranger")), QZ_E_FAIL);
}

} // namespace
} // namespace QZ
