// The checked lists of CheckedList.xml painted by the application's renderer and read back:
// one whose boxes show the items' checks, one whose boxes show the pictures of its look 3.

#include <gtest/gtest.h>

#include "ListBoxTestSupport.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "QZFramework/Utilities/Graphics/Font.h"
#include "Support/FontconfigInit.h"

namespace QZ {
namespace {

namespace Gfx = Platform::Graphics;

class CheckedListPixelsTest : public ::testing::Test {
protected:
  CheckedListPixelsTest() {
    // Text measured and drawn by the renderer that paints, in the application's usual font.
    LFont::SetMeasurementRendererSource([renderer = mRenderer] { return RCPtr<LMeasurementRenderer>(renderer); });
    mSkin.application.measurer = RCPtr<LMeasurementRenderer>(mRenderer);
    mSkin.application.fontFace = u"Liberation Sans";
    mSkin.application.fontSize = 9.0f;
  }

  // Paints the host created last into a new frame of its size; the frame's image.
  Gfx::Image& PaintHost() {
    const RectT<double>& rect = mSkin.top->GetRect();
    const RectT<int32_t> area{0, 0, RoundToInt32(rect.width), RoundToInt32(rect.height)};
    EXPECT_EQ(mRenderer->InitRenderContextInfo(area, nullptr, true, mContext), QZ_OK);
    mContext->GetUpdateRegion().AddRect({0, 0, area.width, area.height});
    mRenderer->RenderStart(mContext);
    RCPtrArray<LControl, 1, 0> deferred;
    {
      const RectT<double> frame{0, 0, rect.width, rect.height};
      CAutoClip window(mRenderer, frame, frame, nullptr);
      EXPECT_EQ(mSkin.top->Paint(mRenderer, mContext->GetUpdateRegion(), deferred, false), QZ_OK);
    }
    mRenderer->RenderFinish(mContext);
    return *dynamic_cast<LGDIRenderContextInfo&>(*mContext).GetCurrentSurface()->GetImage();
  }

  const RCPtr<LGDIRenderer> mRenderer{new LGDIRenderer};
  QZTest::ListSkin mSkin{"CheckedList.xml"};
  RCPtr<LRenderContextInfo> mContext;
};

// Items 1 and 3 checked, item 2 selected: filled boxes on rows 1 and 3, the selected row's
// colours on row 2, every text beside its box, the empty rows without boxes.
TEST_F(CheckedListPixelsTest, BoxesShowTheChecksBesideTheItemsTexts) {
  const RCPtr<LCheckedListBox> list = mSkin.Create<LCheckedListBox>(u"checkedHost");
  ASSERT_TRUE(list);
  QZTest::Fill(*list, 5, "Layer ");
  list->SetItemChecked(1, true);
  list->SetItemChecked(3, true);
  ASSERT_EQ(list->SelectItems(2, -1, true), 2);
  EXPECT_TRUE(
      QZTest::ImagesMatch(PaintHost(), QZTest::ReferenceImage("CheckedListChecks.png"), 2, QZ_WIDGET_TEST_OUTPUT));
}

// The list's own look 3: each box shows picture i modulo three, whatever the checks.
TEST_F(CheckedListPixelsTest, BoxesShowTheListsPicturesInTurn) {
  const RCPtr<LCheckedListBox> list = mSkin.Create<LCheckedListBox>(u"picturesHost");
  ASSERT_TRUE(list);
  QZTest::Fill(*list, 5, "Layer ");
  list->SetItemChecked(0, true);
  EXPECT_TRUE(
      QZTest::ImagesMatch(PaintHost(), QZTest::ReferenceImage("CheckedListPictures.png"), 2, QZ_WIDGET_TEST_OUTPUT));
}

} // namespace
} // namespace QZ
