#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "Support/FakeRootWindow.h"

namespace QZ {
namespace {

using QZTest::FakeRootWindow;
using QZTest::InstanceCounter;
using QZTest::NotificationRecorder;
using QZTest::TestControl;
using Table = LNotificationHandler<LControl>;

const Table::Method kSeen = static_cast<Table::Method>(&TestControl::OnSeen);

// A root with three panels of three children. Every control has a handler table; each
// child listens to its panel, each panel to the root; an outside listener hears every
// child; one panel has handed out its menu-item updater.
struct Tree {
  InstanceCounter counter;
  RCPtr<TestControl> root = TestControl::Make(nullptr, u"root", &counter);
  RCPtr<NotificationRecorder> listener{new NotificationRecorder};
  RCPtr<LMenuItemUpdater> updater;

  Tree() {
    Listen(*root, nullptr, nullptr);
    for (const char16_t* panelName : {u"p0", u"p1", u"p2"}) {
      const RCPtr<TestControl> panel = TestControl::Make(root, panelName, &counter);
      Listen(*panel, root, u"NID_VALUE_CHANGE");
      for (const char16_t* childName : {u"c0", u"c1", u"c2"}) {
        const RCPtr<TestControl> child = TestControl::Make(panel, childName, &counter);
        Listen(*child, panel, u"NID_SIBLING_KEY");
        listener->RegisterNotification(child, u"NID_LEFT_CLICK");
      }
    }
    updater = root->FindChildByName(u"p1")->GetMenuItemUpdater();
  }

  static void Listen(TestControl& control, const RCPtr<LControl>& source, NotificationName name) {
    const RCPtr<Table> table(new Table(control));
    control.UseHandlerTable(table);
    if (source) {
      EXPECT_EQ(table->AddHandler(kSeen, source, name), QZ_OK);
    }
  }
};

TEST(ControlLifetimeTest, ADetachedTreeIsReleasedWithEveryLinkOfEveryBaseDroppedOnce) {
  Tree tree;
  RCPtr<FakeRootWindow> window(new FakeRootWindow);
  ASSERT_EQ(window->InstallRootControl(tree.root), QZ_OK);
  EXPECT_EQ(tree.root->GetRootWindowRef(), window);
  EXPECT_EQ(tree.counter.live, 13);
  EXPECT_EQ(tree.listener->GetRegistrationCount(), 9);

  ASSERT_EQ(window->InstallRootControl(nullptr), QZ_OK); // detaches the top control
  EXPECT_FALSE(tree.root->GetRootWindowRef());
  EXPECT_EQ(tree.root->GetChildren().GetCount(), 0u);
  tree.root = nullptr;
  window = nullptr;
  EXPECT_EQ(tree.counter.live, 0);
  EXPECT_EQ(tree.counter.destroyed, 13);
  EXPECT_EQ(tree.listener->GetRegistrationCount(), 0);
  EXPECT_FALSE(tree.updater->GetControl());
}

TEST(ControlLifetimeTest, ATreeLetGoWithoutDetachingBreaksItsOwnCycles) {
  Tree tree;
  InstanceCounter tags;
  tree.root->FindChildByName(u"p1")->FindChildByName(u"c2")->SetTag(
      RCPtr<LRefCountedObject>(new QZTest::CountedObject(tags)));
  tree.root = nullptr;
  EXPECT_EQ(tags.destroyed, 1);
  EXPECT_EQ(tree.counter.live, 0);
  EXPECT_EQ(tree.counter.destroyed, 13);
  EXPECT_EQ(tree.listener->GetRegistrationCount(), 0);
}

TEST(ControlLifetimeTest, AChildHeldOutsideOutlivesItsTreeAndKeepsItsOwnChildren) {
  Tree tree;
  RCPtr<LControl> panel = tree.root->FindChildByName(u"p2");
  RCPtr<FakeRootWindow> window(new FakeRootWindow);
  ASSERT_EQ(window->InstallRootControl(tree.root), QZ_OK);
  window = nullptr; // the window takes its top control down with it
  tree.root = nullptr;
  EXPECT_EQ(tree.counter.live, 4);
  EXPECT_FALSE(panel->GetParent());
  EXPECT_EQ(panel->GetChildren().GetCount(), 3u);
  EXPECT_EQ(tree.listener->GetRegistrationCount(), 3);
  panel = nullptr;
  EXPECT_EQ(tree.counter.live, 0);
  EXPECT_EQ(tree.counter.destroyed, 13);
}

TEST(ControlLifetimeTest, AChildDetachedFromItsParentLeavesTheTreeAlone) {
  Tree tree;
  RCPtr<LControl> panel = tree.root->FindChildByName(u"p0");
  RCPtr<LControl> child = panel->FindChildByName(u"c1");
  ASSERT_EQ(child->Detach(), QZ_OK);
  EXPECT_FALSE(child->GetParent());
  EXPECT_EQ(panel->GetChildren().GetCount(), 2u);
  child = nullptr;
  EXPECT_EQ(tree.counter.destroyed, 1);
  EXPECT_EQ(tree.listener->GetRegistrationCount(), 8);
}

} // namespace
} // namespace QZ
