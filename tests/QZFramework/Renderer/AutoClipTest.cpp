#include "QZFramework/Renderer/AutoClip.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "Support/RecordingRenderer.h"

namespace {

using ::testing::ElementsAre;

class AutoClipTest : public ::testing::Test {
protected:
  AutoClipTest() { recorder->StartFrame({0, 0, 100, 50}); }

  QZ::RCPtr<QZTest::RecordingRenderer> recorder{new QZTest::RecordingRenderer};
  QZ::RCPtr<QZ::LRenderer> renderer{recorder};
};

} // namespace

TEST_F(AutoClipTest, EachFlavourPushesItsWayAndEveryScopeEndsWithPopClip) {
  { QZ::CAutoClip state(renderer); }
  { QZ::CAutoClip clip(renderer, {1, 2, 10, 10}, {1, 2, 10, 10}, nullptr); }
  {
    QZ::ClipDescriptor descriptor;
    descriptor.flavor = QZ::ClipFlavorClip;
    descriptor.frame = {1, 2, 10, 10};
    descriptor.clip = {0, 0, 5, 5};
    descriptor.relative = 0;
    QZ::CAutoClip clip(renderer, descriptor);
  }
  EXPECT_THAT(recorder->TopLevel(),
              ElementsAre("PushState()", "PopClip()", "PushClip({1,2,10,10}, {1,2,10,10}, null, true)", "PopClip()",
                          "PushClip({1,2,10,10}, {0,0,5,5}, null, false)", "PopClip()"));
  EXPECT_TRUE(renderer->GetCurrentContext()->GetSavedStates().empty());
}

TEST_F(AutoClipTest, WhereItChangesAClipThatWouldChangeNothingIsNeitherPushedNorPopped) {
  QZ::CAutoClip outer(renderer, {0, 0, 100, 50}, {10, 10, 30, 20}, nullptr);
  recorder->calls.clear();
  { QZ::CAutoClip same(renderer, {0, 0, 100, 50}, {0, 0, 60, 40}, QZ::CAutoClip::WhereItChanges{}); }
  EXPECT_TRUE(recorder->calls.empty());
  {
    QZ::CAutoClip narrower(renderer, {0, 0, 100, 50}, {0, 0, 20, 40}, QZ::CAutoClip::WhereItChanges{});
    EXPECT_EQ(renderer->GetCurrentState()->clip, (QZ::RectT<double>{10, 10, 10, 20}));
  }
  EXPECT_THAT(recorder->TopLevel(), ElementsAre("PushClip({0,0,100,50}, {0,0,20,40}, null, true)", "PopClip()"));
  EXPECT_EQ(renderer->GetCurrentState()->clip, (QZ::RectT<double>{10, 10, 30, 20}));
  EXPECT_EQ(renderer->GetCurrentContext()->GetSavedStates().size(), 1u);
}

TEST_F(AutoClipTest, TheOffsetFlavourNestsInsideAnotherClip) {
  QZ::CAutoClip outer(renderer);
  {
    QZ::ClipDescriptor descriptor;
    descriptor.flavor = QZ::ClipFlavorOffset;
    descriptor.offset = {4.5, -2};
    QZ::CAutoClip offset(renderer, descriptor);
    EXPECT_EQ(renderer->GetCurrentState()->origin, (QZ::PointT<double>{5, -2}));
  }
  EXPECT_EQ(renderer->GetCurrentState()->origin, (QZ::PointT<double>{0, 0}));
  EXPECT_EQ(renderer->GetCurrentContext()->GetSavedStates().size(), 1u);
}

TEST_F(AutoClipTest, AnUnknownFlavourThrowsAndPushesNothing) {
  QZ::ClipDescriptor descriptor;
  descriptor.flavor = 3;
  const int32_t references = renderer->GetRefCount();
  try {
    QZ::CAutoClip clip(renderer, descriptor);
    FAIL() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(
        error.what(),
        R"(Runtime Error : Unknown PushClip flavor : QZ::CAutoClip::CAutoClip : Renderer\Renderer : Line 405)");
  }
  EXPECT_TRUE(recorder->calls.empty());
  EXPECT_EQ(renderer->GetRefCount(), references);
}
