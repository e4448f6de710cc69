#include "QZFramework/Renderer/D3D9/D3D9Renderer.h"

#include <gtest/gtest.h>

#include "QZFramework/Renderer/AutoClip.h"

namespace {

class D3D9RendererTest : public ::testing::Test {
protected:
  QZ::RCPtr<QZ::LRenderer> renderer = QZ::LRenderer::Create(QZ::kRendererStandBy, {0, 0, 640, 480}, nullptr);

  QZ::RCPtr<QZ::LRenderContextInfo> NewContext() {
    QZ::RCPtr<QZ::LRenderContextInfo> context;
    EXPECT_EQ(renderer->InitRenderContextInfo({0, 0, 64, 48}, nullptr, true, context), QZ::QZ_OK);
    return context;
  }
};

} // namespace

TEST_F(D3D9RendererTest, IsKindTwoAndMakesContextsOfNoSurfaceSize) {
  EXPECT_EQ(renderer->GetRendererType(), 2);
  auto context = NewContext();
  ASSERT_TRUE(context);
  EXPECT_NE(dynamic_cast<QZ::LD3D9RenderContextInfo*>(context.Get()), nullptr);
  EXPECT_EQ(context->GetMaxSurfaceSize(), (QZ::SizeT<int32_t>{0, 0}));
  EXPECT_EQ(context->GetBounds(), (QZ::RectT<int32_t>{0, 0, 64, 48}));
  EXPECT_TRUE(context->IsOffscreenOnly());
  EXPECT_EQ(context->GetWindow(), nullptr);
}

TEST_F(D3D9RendererTest, RenderStartAndFinishOnlyReturnZero) {
  auto context = NewContext();
  EXPECT_EQ(renderer->RenderStart(context), QZ::QZ_OK);
  EXPECT_EQ(renderer->RenderStart(context), QZ::QZ_OK); // no reentry error
  EXPECT_EQ(renderer->RenderFinish(NewContext()), QZ::QZ_OK);
  EXPECT_EQ(renderer->RenderFinish(nullptr), QZ::QZ_OK);
  EXPECT_EQ(renderer->GetContextDepth(), 0u);
}

TEST_F(D3D9RendererTest, CopyingContextsIsNotImplementedAndDrawingDoesNothing) {
  auto context = NewContext();
  EXPECT_EQ(renderer->DrawRenderContext(context, {0, 0}, {0, 0, 10, 10}), QZ::QZ_E_NOTIMPL);
  EXPECT_EQ(renderer->PresentRenderContext(context, {0, 0}), QZ::QZ_E_NOTIMPL);
  EXPECT_EQ(static_cast<uint32_t>(renderer->DrawRenderContext(context, {0, 0}, {})), 0x80004001u);

  QZ::PolylineT<float> polyline;
  QZ::ColorRectListT<float> list;
  const QZ::ColorT<float> red{1, 0, 0, 1};
  EXPECT_EQ(renderer->FillRect({0, 0, 5, 5}, red, true), QZ::QZ_OK);
  EXPECT_EQ(renderer->DrawPolyline(polyline, red, {0, 0}, {1, 1}, true), QZ::QZ_OK);
  EXPECT_EQ(renderer->DrawColorRectList(list, {0, 0}, false), QZ::QZ_OK);
  EXPECT_TRUE(polyline.TakeChanged()); // nothing was built from it
}

TEST_F(D3D9RendererTest, ClipAndStateOperationsInsideAFrameDoNothing) {
  auto context = NewContext();
  EXPECT_EQ(renderer->RenderStart(context), QZ::QZ_OK);
  {
    QZ::CAutoClip clip(renderer, {1, 1, 5, 5}, {1, 1, 5, 5}, nullptr);
    EXPECT_EQ(renderer->PushClipOffset({1, 1}), QZ::QZ_FALSE);
    EXPECT_EQ(renderer->Translate({1, 1}), QZ::QZ_FALSE);
    EXPECT_EQ(renderer->SetViewport({0, 0, 1, 1}), QZ::QZ_FALSE);
  }
  EXPECT_EQ(renderer->RenderFinish(context), QZ::QZ_OK);
  EXPECT_TRUE(context->GetSavedStates().empty());
  EXPECT_EQ(context->GetState().origin, (QZ::PointT<double>{0, 0}));
  EXPECT_EQ(context->GetBounds(), (QZ::RectT<int32_t>{0, 0, 64, 48}));
}
