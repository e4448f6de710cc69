#pragma once
// The base of the editor's drawing tests: the application's renderer measures the text and
// paints a kit's tree into a frame of its own, whose image the test compares with a
// reference.
//
//   class MyPixelsTest : public QZTest::PagePainter {};
//   TEST_F(MyPixelsTest, Pages) {
//     kit.application.measurer = RCPtr<QZ::LMeasurementRenderer>(renderer);
//     EXPECT_TRUE(QZTest::ImagesMatch(Paint(kit.Top()), QZTest::ReferenceImage("Pages.png"), 24, dir));
//   }

#include <gtest/gtest.h>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "QZFramework/Utilities/Graphics/Font.h"
#include "Support/ImageCompare.h"

namespace QZTest {

class PagePainter : public ::testing::Test {
protected:
  PagePainter() {
    QZ::LFont::SetMeasurementRendererSource(
        [painter = renderer] { return QZ::RCPtr<QZ::LMeasurementRenderer>(painter); });
  }
  ~PagePainter() override { QZ::LFont::SetMeasurementRendererSource({}); }

  // Paints top (at the window's origin) into a new frame of its size; the frame's image.
  QZ::Platform::Graphics::Image& Paint(const QZ::RCPtr<QZ::LControl>& top) {
    const QZ::RectT<double>& rect = top->GetRect();
    const QZ::RectT<int32_t> area{0, 0, QZ::RoundToInt32(rect.width), QZ::RoundToInt32(rect.height)};
    EXPECT_EQ(renderer->InitRenderContextInfo(area, nullptr, true, mContext), QZ::QZ_OK);
    mContext->GetUpdateRegion().AddRect({0, 0, area.width, area.height});
    renderer->RenderStart(mContext);
    QZ::RCPtrArray<QZ::LControl, 1, 0> deferred;
    {
      const QZ::RectT<double> frame{0, 0, rect.width, rect.height};
      QZ::CAutoClip window(renderer, frame, frame, nullptr);
      EXPECT_EQ(top->Paint(renderer, mContext->GetUpdateRegion(), deferred, false), QZ::QZ_OK);
    }
    renderer->RenderFinish(mContext);
    return *dynamic_cast<QZ::LGDIRenderContextInfo&>(*mContext).GetCurrentSurface()->GetImage();
  }

  const QZ::RCPtr<QZ::LGDIRenderer> renderer{new QZ::LGDIRenderer};

private:
  QZ::RCPtr<QZ::LRenderContextInfo> mContext;
};

} // namespace QZTest
