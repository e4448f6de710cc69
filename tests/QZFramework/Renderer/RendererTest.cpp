#include "QZFramework/Renderer/Renderer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "Support/RecordingRenderer.h"

namespace {

using ::testing::ElementsAre;
using PointD = QZ::PointT<double>;
using RectD = QZ::RectT<double>;

template <class X, class F>
std::string ThrownText(F&& call) {
  try {
    call();
  } catch (const X& error) {
    return error.what();
  }
  return "nothing thrown";
}

class RendererTest : public ::testing::Test {
protected:
  QZ::RCPtr<QZTest::RecordingRenderer> renderer{new QZTest::RecordingRenderer};

  QZ::RCPtr<QZ::LRenderContextInfo> NewContext(const QZ::RectT<int32_t>& bounds = {0, 0, 100, 50}) {
    QZ::RCPtr<QZ::LRenderContextInfo> context;
    EXPECT_EQ(renderer->InitRenderContextInfo(bounds, nullptr, false, context), QZ::QZ_OK);
    return context;
  }
  const QZ::RenderState& State() { return *renderer->GetCurrentState(); }
};

} // namespace

TEST_F(RendererTest, ANewStateHasNoOriginNoClippingAndFullAlpha) {
  renderer->StartFrame({0, 0, 100, 50});
  EXPECT_EQ(State().origin, (PointD{0, 0}));
  EXPECT_EQ(State().clip, (RectD{-5000000136282112.0, -5000000136282112.0, 10000000272564224.0, 10000000272564224.0}));
  EXPECT_EQ(State().factor, 1.0f);
  EXPECT_FALSE(State().hasStencil);
  EXPECT_FALSE(State().stencil);
}

TEST_F(RendererTest, RenderStartOfNullThrows) {
  EXPECT_EQ(ThrownText<std::runtime_error>([&] { renderer->RenderStart(nullptr); }),
            R"(Runtime Error : Render context is NULL : QZ::LRenderer::RenderStart : Renderer\Renderer : Line 232)");
  EXPECT_EQ(renderer->GetContextDepth(), 0u);
}

TEST_F(RendererTest, ReenteringAContextThrowsAndKeepsOneEntry) {
  auto context = NewContext();
  EXPECT_EQ(renderer->RenderStart(context), QZ::QZ_OK);
  EXPECT_EQ(ThrownText<std::runtime_error>([&] { renderer->RenderStart(context); }),
            R"(Runtime Error : Render context reentered. : QZ::LRenderer::RenderStart : Renderer\Renderer : Line 238)");
  EXPECT_EQ(renderer->GetContextDepth(), 1u);

  auto inner = NewContext();
  EXPECT_EQ(renderer->RenderStart(inner), QZ::QZ_OK);
  EXPECT_THROW((void)renderer->RenderStart(context), std::runtime_error); // also when not on top
  EXPECT_EQ(renderer->GetContextDepth(), 2u);
}

TEST_F(RendererTest, FinishingAnotherContextThrowsAndPopsNothing) {
  const std::string text = R"(Runtime Error : RenderFinish context does not match RenderStart context : )"
                           R"(QZ::LRenderer::RenderFinish : Renderer\Renderer : Line 251)";
  auto outer = NewContext();
  EXPECT_EQ(ThrownText<std::runtime_error>([&] { renderer->RenderFinish(outer); }), text); // empty stack
  auto inner = NewContext();
  EXPECT_EQ(renderer->RenderStart(outer), QZ::QZ_OK);
  EXPECT_EQ(renderer->RenderStart(inner), QZ::QZ_OK);
  EXPECT_EQ(ThrownText<std::runtime_error>([&] { renderer->RenderFinish(outer); }), text);
  EXPECT_EQ(renderer->GetContextDepth(), 2u);
  EXPECT_EQ(renderer->GetCurrentContext(), inner.Get());

  EXPECT_EQ(renderer->RenderFinish(inner), QZ::QZ_OK);
  EXPECT_EQ(renderer->GetCurrentContext(), outer.Get());
  EXPECT_EQ(renderer->RenderFinish(outer), QZ::QZ_OK);
  EXPECT_EQ(renderer->GetCurrentContext(), nullptr);
}

TEST_F(RendererTest, EachContextKeepsItsOwnState) {
  auto outer = NewContext();
  auto inner = NewContext();
  EXPECT_EQ(renderer->RenderStart(outer), QZ::QZ_OK);
  EXPECT_EQ(renderer->Translate({5, 6}), QZ::QZ_OK);
  EXPECT_EQ(renderer->RenderStart(inner), QZ::QZ_OK);
  EXPECT_EQ(State().origin, (PointD{0, 0}));
  EXPECT_EQ(renderer->PushState(), QZ::QZ_OK);
  EXPECT_EQ(renderer->RenderFinish(inner), QZ::QZ_OK);
  EXPECT_EQ(State().origin, (PointD{5, 6}));
  EXPECT_TRUE(outer->GetSavedStates().empty());
  EXPECT_EQ(inner->GetSavedStates().size(), 1u);
}

TEST_F(RendererTest, CreateMakesTheBuiltRenderersAndRejectsUnknownKinds) {
  QZ::RCPtr<QZ::LRenderer> standBy = QZ::LRenderer::Create(QZ::kRendererStandBy, {0, 0, 10, 10}, nullptr);
  ASSERT_TRUE(standBy);
  EXPECT_EQ(standBy->GetRendererType(), 2);
  QZ::RCPtr<QZ::LRenderer> gdi = QZ::LRenderer::Create(QZ::kRendererGDI, {0, 0, 10, 10}, nullptr);
  ASSERT_TRUE(gdi);
  EXPECT_EQ(gdi->GetRendererType(), 1);
  const std::string text = R"(Domain Error : QZ::LRenderer::Create : Renderer\Renderer : Line 129)";
  EXPECT_EQ(ThrownText<std::domain_error>([] { QZ::LRenderer::Create(3, {0, 0, 10, 10}, nullptr); }), text);
  EXPECT_EQ(ThrownText<std::domain_error>([] { QZ::LRenderer::Create(-1, {}, nullptr); }), text);
}

TEST_F(RendererTest, SettersStoreInTheCurrentContext) {
  auto context = renderer->StartFrame({0, 0, 100, 50});
  EXPECT_EQ(renderer->SetViewport({1, 2, 30, 40}), QZ::QZ_OK);
  EXPECT_EQ(context->GetBounds(), (QZ::RectT<int32_t>{1, 2, 30, 40}));
  QZ::RCPtr<QZ::LStencil> stencil(new QZ::LStencil({8, 9}));
  EXPECT_EQ(renderer->SetStencil(stencil), QZ::QZ_OK);
  EXPECT_EQ(State().stencil, stencil);
  EXPECT_FALSE(State().hasStencil); // only PushClip marks a stencil as the state's own
  EXPECT_EQ(renderer->SetClipRect({1, 2, 3, 4}), QZ::QZ_OK);
  EXPECT_EQ(State().clip, (RectD{1, 2, 3, 4}));
  EXPECT_EQ(renderer->Translate({1.5, 2}), QZ::QZ_OK);
  EXPECT_EQ(renderer->Translate({1, -3}), QZ::QZ_OK);
  EXPECT_EQ(State().origin, (PointD{2.5, -1}));
}

TEST_F(RendererTest, WithoutAContextEveryStateOperationDoesNothing) {
  QZ::RCPtr<QZ::LStencil> stencil(new QZ::LStencil({8, 9}));
  EXPECT_EQ(renderer->SetViewport({1, 2, 3, 4}), QZ::QZ_FALSE);
  EXPECT_EQ(renderer->SetStencil(stencil), QZ::QZ_FALSE);
  EXPECT_EQ(renderer->PushState(), QZ::QZ_FALSE);
  EXPECT_EQ(renderer->PushClip({0, 0, 5, 5}, {0, 0, 5, 5}, stencil, true), QZ::QZ_FALSE);
  EXPECT_EQ(renderer->PushClipOffset({1, 1}), QZ::QZ_FALSE);
  EXPECT_EQ(renderer->PopClip(), QZ::QZ_FALSE);
  EXPECT_EQ(renderer->SetClipRect({1, 2, 3, 4}), QZ::QZ_FALSE);
  EXPECT_EQ(renderer->Translate({1, 1}), QZ::QZ_FALSE);
  // No nested calls: nothing was attempted on a missing state.
  EXPECT_EQ(renderer->calls.size(), renderer->TopLevel().size());
  EXPECT_EQ(stencil->GetRefCount(), 1);
}

TEST_F(RendererTest, PushClipRoundsTheFrameCornerTranslatesAndKeepsTheClipInTheNewOrigin) {
  renderer->StartFrame({0, 0, 100, 50});
  EXPECT_EQ(renderer->PushClip({10.4, -2.5, 50, 20}, {0, 0, 100, 100}, nullptr, true), QZ::QZ_OK);
  EXPECT_THAT(renderer->calls, ElementsAre("PushClip({10.4,-2.5,50,20}, {0,0,100,100}, null, true)", "  PushState()",
                                           "  SetClipRect({10,0,50,17})", "  Translate((10,-3))"));
  EXPECT_EQ(State().origin, (PointD{10, -3}));
  EXPECT_EQ(State().clip, (RectD{0, 3, 50, 17}));

  // Nested: the frame is in the new coordinates; the clip is limited by the current one.
  renderer->calls.clear();
  EXPECT_EQ(renderer->PushClip({-5.5, 4, 100, 100}, {-5.5, 4, 100, 100}, nullptr, true), QZ::QZ_OK);
  EXPECT_THAT(renderer->calls, ElementsAre("PushClip({-5.5,4,100,100}, {-5.5,4,100,100}, null, true)", "  PushState()",
                                           "  SetClipRect({0,4,50,16})", "  Translate((-6,4))"));
  EXPECT_EQ(State().origin, (PointD{4, 1}));
  EXPECT_EQ(State().clip, (RectD{6, 0, 50, 16}));
}

TEST_F(RendererTest, PushClipNotRelativeTakesTheCornerAsAbsoluteAndTheClipAsGiven) {
  renderer->StartFrame({0, 0, 100, 50});
  EXPECT_EQ(renderer->Translate({5, 5}), QZ::QZ_OK);
  EXPECT_EQ(renderer->PushClip({20.5, 30, 10, 10}, {0, 0, 7.5, 8.25}, nullptr, false), QZ::QZ_OK);
  EXPECT_EQ(State().origin, (PointD{21, 30})); // corner 15.5 from the origin rounds to 16
  EXPECT_EQ(State().clip, (RectD{0, 0, 7, 8}));
}

TEST_F(RendererTest, PushClipMovesTheOriginByTheCornerRoundedAsPointRoundDoes) {
  // Whole corners, negative zeros, halves, the ends of the 32-bit range and beyond.
  const double values[] = {0.0,          -0.0,          3.0,          -7.0,  2.5, -2.5,    0.49999999999999994,
                           2147483647.0, -2147483648.0, 2147483648.0, 1e300, NAN, INFINITY};
  for (double x : values) {
    for (double y : {0.0, -0.0, 4.0, -1.5}) {
      const auto context = renderer->StartFrame({0, 0, 100, 50});
      ASSERT_EQ(renderer->PushClip({x, y, 10, 10}, {0, 0, 10, 10}, nullptr, true), QZ::QZ_OK);
      const PointD expected = PointD{x, y}.Round().ToDouble();
      EXPECT_EQ(State().origin, expected) << x << "," << y;
      EXPECT_TRUE(std::signbit(State().origin.x) == std::signbit(expected.x) &&
                  std::signbit(State().origin.y) == std::signbit(expected.y))
          << x << "," << y;
      renderer->RenderFinish(context);
    }
  }
}

TEST_F(RendererTest, PushClipSetsTheClipNormalizeMakesBitForBit) {
  const double huge = 3e15; // past the range where a whole edge snaps to itself
  const RectD clips[] = {
      {0, 0, 100, 50}, {-0.0, 4, -0.0, 8},          {-7, -3, 20, 10},     {2.5, 3, 4, 5},     {1e-17, 0, 10, 10},
      {4, 4, -3, -2},  {-huge, -huge, 2 * huge, 1}, {1, 2, 3.0000001, 4}, {99999, 0, 1, 0.5}, {0, 0, 0, 0}};
  for (const RectD& clip : clips) {
    const auto context = renderer->StartFrame({0, 0, 100, 50});
    RectD expected = clip;
    expected.Normalize();
    ASSERT_EQ(renderer->PushClip({0, 0, 1, 1}, clip, nullptr, false), QZ::QZ_OK);
    const RectD& set = State().clip;
    EXPECT_TRUE(std::signbit(set.x) == std::signbit(expected.x) &&
                std::signbit(set.width) == std::signbit(expected.width))
        << clip.x << "," << clip.width;
    EXPECT_EQ(set, expected) << clip.x << "," << clip.y << "," << clip.width << "," << clip.height;
    renderer->RenderFinish(context);
  }
}

// The test of four edges at once takes the 32-bit range two values at a time and leaves the
// rest to the test of each edge: both must agree wherever an edge lies.
TEST(RendererClipEdgesTest, FourEdgesAreWholeExactlyWhenEachIs) {
  const double limit = 1125899906842624.0; // 2^50
  const double values[] = {0.0,           -0.0,          1.0,          -1.0,         0.5,
                           -2147483648.0, -2147483649.0, 2147483647.0, 2147483648.0, -2147483648.5,
                           4294967296.0,  limit - 1,     limit,        -limit,       3e15,
                           1e300,         NAN,           INFINITY,     -INFINITY,    1e-300};
  for (double x : values) {
    for (double width : values) {
      for (double y : {0.0, 7.0, 2147483648.0, 0.25}) {
        const RectD rect{x, y, width, 3.0};
        const bool each = QZ::IsWholeClipEdge(rect.x) && QZ::IsWholeClipEdge(rect.y) &&
                          QZ::IsWholeClipEdge(rect.x + rect.width) && QZ::IsWholeClipEdge(rect.y + rect.height);
        EXPECT_EQ(QZ::HasWholeClipEdges(rect), each) << x << " " << y << " " << width;
      }
    }
  }
}

TEST_F(RendererTest, AClipSaidToLeaveTheStateAsItIsLeavesItSoWhenPushed) {
  EXPECT_FALSE(renderer->ClipLeavesStateAsIs({0, 0, 100, 50}, QZ::RenderState::kUnclipped)); // no frame
  renderer->StartFrame({0, 0, 100, 50});
  renderer->PushClip({0, 0, 100, 50}, {10, 10, 30, 20}, nullptr, true);
  const RectD frames[] = {{0, 0, 100, 50},    {0.4, -0.4, 100, 50}, {0.5, 0, 100, 50},
                          {0, -0.5, 100, 50}, {1, 0, 100, 50},      {0, 0, 35, 50}};
  const RectD clips[] = {{10, 10, 30, 20},    {0, 0, 60, 40},     {10, 10, 30, 20.5}, {10.5, 10, 30, 20},
                         {10, 10, 29.75, 20}, {9.5, 9.5, 31, 21}, {12, 10, 30, 20}};
  int asIs = 0;
  for (const RectD& frame : frames) {
    for (const RectD& clip : clips) {
      const QZ::RenderState before = State();
      const bool said = renderer->ClipLeavesStateAsIs(frame, clip);
      renderer->PushClip(frame, clip, nullptr, true);
      const bool unchanged = State().origin == before.origin && State().clip == before.clip;
      renderer->PopClip();
      EXPECT_TRUE(!said || unchanged) << QZTest::RecordingRenderer::Rect(frame) << " "
                                      << QZTest::RecordingRenderer::Rect(clip);
      asIs += said;
    }
  }
  // Corners within half a pixel of the origin, clips holding the current one: 2 x 4.
  EXPECT_EQ(asIs, 8);
}

TEST_F(RendererTest, PopClipRestoresOriginClipStencilAndFactor) {
  renderer->StartFrame({0, 0, 100, 50});
  const QZ::RenderState before = State();
  QZ::RCPtr<QZ::LStencil> stencil(new QZ::LStencil({30, 20}));
  EXPECT_EQ(renderer->PushClip({3, 4, 30, 20}, {3, 4, 30, 20}, stencil, true), QZ::QZ_OK);
  renderer->GetCurrentState()->factor = 0.25f;
  EXPECT_EQ(State().stencil, stencil);
  EXPECT_TRUE(State().hasStencil);

  renderer->calls.clear();
  EXPECT_EQ(renderer->PopClip(), QZ::QZ_OK);
  EXPECT_THAT(renderer->calls, ElementsAre("PopClip()", "  Translate((-3,-4))",
                                           "  SetClipRect({-5e+15,-5e+15,1e+16,1e+16})", "  SetStencil(null)"));
  EXPECT_EQ(State().origin, before.origin);
  EXPECT_EQ(State().clip, before.clip);
  EXPECT_EQ(State().factor, 1.0f);
  EXPECT_FALSE(State().stencil);
  EXPECT_FALSE(State().hasStencil);
  EXPECT_EQ(stencil->GetRefCount(), 1); // no saved state holds it any more
}

TEST_F(RendererTest, ASecondStencilIsReplacedByAFreshOneOfItsSize) {
  renderer->StartFrame({0, 0, 100, 50});
  QZ::RCPtr<QZ::LStencil> first(new QZ::LStencil({30, 20}));
  QZ::RCPtr<QZ::LStencil> second(new QZ::LStencil({12, 6}, {1, 2, 3, 4}));
  EXPECT_EQ(renderer->PushClip({0, 0, 30, 20}, {0, 0, 30, 20}, first, true), QZ::QZ_OK);
  EXPECT_EQ(renderer->PushClip({0, 0, 30, 20}, {0, 0, 30, 20}, second, true), QZ::QZ_OK);
  ASSERT_TRUE(State().stencil);
  EXPECT_NE(State().stencil, second);
  EXPECT_EQ(State().stencil->GetSize(), (QZ::SizeT<int32_t>{12, 6}));
  EXPECT_EQ(State().stencil->GetRect(), (QZ::RectT<int32_t>{0, 0, 12, 6}));
  EXPECT_EQ(renderer->PopClip(), QZ::QZ_OK);
  EXPECT_EQ(State().stencil, first);
  EXPECT_TRUE(State().hasStencil);
}

TEST_F(RendererTest, PushClipOffsetNeedsASavedState) {
  renderer->StartFrame({0, 0, 100, 50});
  EXPECT_EQ(renderer->PushClipOffset({2.5, -1.5}), QZ::QZ_FALSE);
  EXPECT_EQ(State().origin, (PointD{0, 0}));

  EXPECT_EQ(renderer->PushState(), QZ::QZ_OK);
  EXPECT_EQ(renderer->SetClipRect({0, 0, 40, 30}), QZ::QZ_OK);
  renderer->calls.clear();
  EXPECT_EQ(renderer->PushClipOffset({2.5, -1.5}), QZ::QZ_OK);
  EXPECT_THAT(renderer->calls, ElementsAre("PushClipOffset((2.5,-1.5))", "  PushState()", "  Translate((3,-2))"));
  EXPECT_EQ(State().clip, (RectD{-3, 2, 40, 30}));
  EXPECT_EQ(renderer->GetCurrentContext()->GetSavedStates().size(), 2u);

  EXPECT_EQ(renderer->PopClip(), QZ::QZ_OK);
  EXPECT_EQ(State().origin, (PointD{0, 0}));
  EXPECT_EQ(State().clip, (RectD{0, 0, 40, 30}));
}

TEST_F(RendererTest, PopClipWithNoSavedStateDoesNothing) {
  renderer->StartFrame({0, 0, 100, 50});
  EXPECT_EQ(renderer->Translate({4, 4}), QZ::QZ_OK);
  renderer->calls.clear();
  EXPECT_EQ(renderer->PopClip(), QZ::QZ_FALSE);
  EXPECT_THAT(renderer->calls, ElementsAre("PopClip()"));
  EXPECT_EQ(State().origin, (PointD{4, 4}));
}

TEST_F(RendererTest, PopClipRestoresAnOriginThatDoesNotAddBackExactly) {
  renderer->StartFrame({0, 0, 100, 50});
  EXPECT_EQ(renderer->Translate({0.1, 0.7}), QZ::QZ_OK);
  EXPECT_EQ(renderer->PushState(), QZ::QZ_OK);
  EXPECT_EQ(renderer->Translate({0.2, 1e17}), QZ::QZ_OK);
  EXPECT_EQ(renderer->PopClip(), QZ::QZ_OK);
  EXPECT_EQ(State().origin, (PointD{0.1, 0.7}));
}
