#include <gtest/gtest.h>

#include "QZFramework/Controls/DrawnSkinTestSupport.h"
#include "QZFramework/Notification/Notification.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"
#include "Support/FakeRootWindow.h"

namespace QZ {
namespace {

using QZTest::FakeRootWindow;
using QZTest::TestControl;

// The skin's status bar in a window.
class StatusBarTest : public ::testing::Test {
protected:
  QZTest::DrawnSkin skin;
  RCPtr<FakeRootWindow> window{new FakeRootWindow};
  RCPtr<TestControl> top = QZTest::MakeTop();
  RCPtr<LStatusBar> bar;
  RCPtr<LControl> label;

  void SetUp() override {
    window->InstallRootControl(top);
    bar = skin.CreateAs<LStatusBar>(top, u"statusBar");
    ASSERT_TRUE(bar);
    label = bar->FindChildByName(u"label1");
    ASSERT_TRUE(label);
  }
  void TearDown() override {
    SetApplicationStatusBarForTesting(nullptr);
    window->InstallRootControl(nullptr);
  }

  void Tick() { window->RaiseIdle(); } // 1 when no control listens
  WString Shown() const { return label->GetText(); }
};

TEST_F(StatusBarTest, APostedTextShowsAtTheNextTick) {
  EXPECT_EQ(bar->GetIdleText(), WString(u"Ready"));
  EXPECT_EQ(Shown(), WString(u"Ready"));
  EXPECT_FALSE(bar->IsFocusable());

  EXPECT_EQ(bar->PostStatusText(u"Sending..."), QZ_OK);
  EXPECT_EQ(Shown(), WString(u"Ready"));
  Tick();
  EXPECT_EQ(Shown(), WString(u"Sending..."));
  EXPECT_EQ(window->layoutUpdates, 0); // a posted text relays out the label only
}

TEST_F(StatusBarTest, ATextSetAtOnceOvertakesWhatWasPosted) {
  EXPECT_EQ(bar->PostStatusText(u"A"), QZ_OK);
  EXPECT_EQ(bar->SetStatusText(u"B"), QZ_OK);
  EXPECT_EQ(Shown(), WString(u"B"));
  EXPECT_EQ(window->layoutUpdates, 1);
  Tick();
  EXPECT_EQ(Shown(), WString(u"B"));
}

TEST_F(StatusBarTest, TheLastPostedTextWins) {
  EXPECT_EQ(bar->PostStatusText(u"one"), QZ_OK);
  EXPECT_EQ(bar->PostStatusText(u"two"), QZ_OK);
  Tick();
  EXPECT_EQ(Shown(), WString(u"two"));
}

TEST_F(StatusBarTest, TheTextNotificationIsTakenByTheBar) {
  const RCPtr<LNotification> text =
      LNotification::Create(u"NID_SET_STATUS_TEXT", RCPtr<LStringWrapper>(new LStringWrapper(WString(u"direct"))));
  EXPECT_EQ(bar->ReceiveNotification(RCPtr<LNotificationDistributor>(bar), text), QZ_FALSE); // 1: taken
  EXPECT_EQ(Shown(), WString(u"direct"));
}

TEST_F(StatusBarTest, WithoutItsLabelABarIgnoresTexts) {
  const RCPtr<LStatusBar> bare = skin.CreateAs<LStatusBar>(top, u"statusBarNoLabel");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->GetIdleText(), WString());
  EXPECT_EQ(bare->SetStatusText(u"lost"), QZ_FALSE);
  EXPECT_EQ(bare->PostStatusText(u"lost too"), QZ_OK);
  Tick();
  EXPECT_EQ(window->layoutUpdates, 0);
}

TEST_F(StatusBarTest, TheApplicationsTextsReachItsStatusBarOnlyWhenItHasOne) {
  QZTest::FakeControlApplication& application = skin.application;
  // Neither a main window nor a status bar, then the window alone, then the bar alone.
  EXPECT_EQ(SetApplicationStatusText(application, u"t", true), QZ_E_FAIL);
  application.rootWindows.push_back(window);
  EXPECT_EQ(SetApplicationStatusText(application, u"t", true), QZ_E_FAIL);
  EXPECT_EQ(RestoreApplicationStatusText(application, false), QZ_E_FAIL);
  SetApplicationStatusBarForTesting(bar);
  application.rootWindows.clear();
  EXPECT_EQ(SetApplicationStatusText(application, u"t", false), QZ_E_FAIL);
  Tick();
  EXPECT_EQ(Shown(), WString(u"Ready"));

  application.rootWindows.push_back(window);
  EXPECT_EQ(GetApplicationStatusBar(), bar);
  EXPECT_EQ(SetApplicationStatusText(application, u"Loading Skin...", true), QZ_OK);
  EXPECT_EQ(Shown(), WString(u"Loading Skin..."));
  EXPECT_EQ(RestoreApplicationStatusText(application, false), QZ_OK);
  EXPECT_EQ(Shown(), WString(u"Loading Skin..."));
  Tick();
  EXPECT_EQ(Shown(), WString(u"Ready"));
  EXPECT_EQ(SetApplicationStatusText(application, u"later", false), QZ_OK);
  EXPECT_EQ(Shown(), WString(u"Ready"));
  Tick();
  EXPECT_EQ(Shown(), WString(u"later"));
  application.rootWindows.clear();
}

// The bar, its queue and the text waiting there go with the last reference (the leak
// checker would see what stays).
TEST_F(StatusBarTest, ABarLetGoWithATextWaitingLeavesNothingBehind) {
  EXPECT_EQ(bar->PostStatusText(u"pending"), QZ_OK);
  bar->Detach();
  EXPECT_EQ(bar->GetRefCount() - bar->GetInternalRefCount(), 1);
  label = nullptr;
  bar = nullptr;
}

} // namespace
} // namespace QZ
