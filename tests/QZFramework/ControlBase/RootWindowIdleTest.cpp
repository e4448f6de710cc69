// The idle requests a root window keeps for controls until a time: given back on the first
// idle pass that reaches it, before that pass raises "NID_IDLE".

#include <gtest/gtest.h>

#include <algorithm>

#include "QZFramework/ControlBase/RootWindowTestSupport.h"

namespace QZ {
namespace {

using namespace QZTest;
using Lines = std::vector<std::string>;

// A probe that logs its ticks.
class TickProbe : public InputProbe {
public:
  using InputProbe::InputProbe;
  QZResult OnTick() override {
    ticks.push_back(GetName().ToUTF8().GetBuffer());
    return QZ_OK;
  }
  static std::vector<std::string> ticks;
};
std::vector<std::string> TickProbe::ticks;

class RootWindowIdleTest : public RootWindowFixture {
protected:
  void SetUp() override {
    RootWindowFixture::SetUp();
    TickProbe::ticks.clear();
    a = RCPtr<TickProbe>(new TickProbe(top, u"a", &events));
    b = RCPtr<TickProbe>(new TickProbe(top, u"b", &events));
  }
  void TearDown() override {
    a = nullptr;
    b = nullptr;
    RootWindowFixture::TearDown();
  }
  // One idle pass raising "NID_IDLE" at seconds: the controls ticked, by name.
  Lines TickAt(double seconds) {
    application.seconds = seconds;
    TickProbe::ticks.clear();
    application.DoIdleWork(true);
    std::sort(TickProbe::ticks.begin(), TickProbe::ticks.end());
    return TickProbe::ticks;
  }

  RCPtr<TickProbe> a;
  RCPtr<TickProbe> b;
};

TEST_F(RootWindowIdleTest, AKeptRequestComesBackInThePassThatReachesItsTime) {
  ASSERT_EQ(a->AddIdleRequest(), QZ_OK);
  ASSERT_EQ(b->AddIdleRequest(), QZ_OK);
  ASSERT_EQ(root->AddIdleRequestAt(a, 1.0), QZ_OK);
  ASSERT_EQ(root->AddIdleRequestAt(b, 2.0), QZ_OK);
  ASSERT_EQ(a->ReleaseIdleRequest(), QZ_OK);
  ASSERT_EQ(b->ReleaseIdleRequest(), QZ_OK);

  EXPECT_EQ(TickAt(0.5), Lines{});
  application.seconds = 1.0;
  EXPECT_EQ(application.DoIdleWork(false), false) << "a pass without \"NID_IDLE\" wakes nobody";
  EXPECT_EQ(a->GetIdleRequestCount(), 0);
  EXPECT_EQ(TickAt(1.0 - 1e-7), Lines{"a"}) << "a microsecond short counts, and a ticks in that pass";
  EXPECT_EQ(a->GetIdleRequestCount(), 1);
  EXPECT_EQ(TickAt(1.5), Lines{"a"});
  EXPECT_EQ(TickAt(2.5), (Lines{"a", "b"}));
  EXPECT_FALSE(root->CancelIdleRequestAt(a.Get())) << "nothing kept any more";
}

TEST_F(RootWindowIdleTest, AKeptRequestCanBeMovedOrTakenBack) {
  ASSERT_EQ(root->AddIdleRequestAt(nullptr, 1.0), QZ_E_INVALIDARG);
  ASSERT_EQ(root->AddIdleRequestAt(a, 1.0), QZ_OK);
  ASSERT_EQ(root->AddIdleRequestAt(a, 3.0), QZ_OK) << "moved, not kept twice";
  EXPECT_EQ(TickAt(2.0), Lines{});
  EXPECT_EQ(TickAt(3.0), Lines{"a"});
  EXPECT_EQ(a->GetIdleRequestCount(), 1) << "given back once";

  ASSERT_EQ(root->AddIdleRequestAt(b, 4.0), QZ_OK);
  EXPECT_TRUE(root->CancelIdleRequestAt(b.Get()));
  EXPECT_FALSE(root->CancelIdleRequestAt(b.Get()));
  EXPECT_EQ(TickAt(5.0), Lines{"a"});
  EXPECT_EQ(b->GetIdleRequestCount(), 0) << "taken back by its caller, never given";
}

TEST_F(RootWindowIdleTest, ANewTopControlDropsTheKeptRequests) {
  ASSERT_EQ(root->AddIdleRequestAt(a, 10.0), QZ_OK);
  const RCPtr<InputProbe> next = InputProbe::Make(nullptr, u"next", &events, {0, 0, kWidth, kHeight});
  ASSERT_EQ(root->InstallRootControl(next), QZ_OK);
  EXPECT_FALSE(root->CancelIdleRequestAt(a.Get())) << "the tree that left let go of its requests";
  EXPECT_EQ(a->GetIdleRequestCount(), 0);
  EXPECT_EQ(TickAt(11.0), Lines{});
  EXPECT_EQ(a->GetIdleRequestCount(), 0) << "nothing given back later either";
}

} // namespace
} // namespace QZ
