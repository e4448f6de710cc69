// Text boxes painted by the application's renderer and read back: a focused box with part
// of its text selected shows the highlight under the selected text and the caret after it;
// beside it a box showing its hint, a box with a skin label and one with two lines of text.

#include <gtest/gtest.h>

#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "Support/ImageCompare.h"
#include "TextBoxTestSupport.h"

namespace QZ {
namespace {

namespace Gfx = Platform::Graphics;

constexpr uint32_t kFocused = 0xFFFFF8D0; // look 2
constexpr uint32_t kInk = 0xFF102040;

class TextBoxPixelsTest : public ::testing::Test {
protected:
  TextBoxPixelsTest() {
    // Text measured by the renderer that paints, in the face the program's skins ask for.
    world.skin.application.fontFace = u"Liberation Sans";
    world.skin.application.fontSize = 9.0f;
    world.skin.application.measurer = RCPtr<LMeasurementRenderer>(mRenderer);
    LFont::SetMeasurementRendererSource([renderer = mRenderer] { return RCPtr<LMeasurementRenderer>(renderer); });
  }

  // Paints top into a new frame of its size; the frame's image.
  Gfx::Image& Paint(const RCPtr<LControl>& top) {
    const RectT<double>& rect = top->GetRect();
    const RectT<int32_t> area{0, 0, RoundToInt32(rect.width), RoundToInt32(rect.height)};
    EXPECT_EQ(mRenderer->InitRenderContextInfo(area, nullptr, true, mContext), QZ_OK);
    mContext->GetUpdateRegion().AddRect({0, 0, area.width, area.height});
    mRenderer->RenderStart(mContext); // a backend keeps its failures
    RCPtrArray<LControl, 1, 0> deferred;
    {
      const RectT<double> frame{0, 0, rect.width, rect.height};
      CAutoClip window(mRenderer, frame, frame, nullptr);
      EXPECT_EQ(top->Paint(mRenderer, mContext->GetUpdateRegion(), deferred, false), QZ_OK);
    }
    mRenderer->RenderFinish(mContext); // a backend keeps its failures
    return *dynamic_cast<LGDIRenderContextInfo&>(*mContext).GetCurrentSurface()->GetImage();
  }

  static uint32_t PixelAt(Gfx::Image& image, int x, int y) {
    Gfx::Color color;
    (void)image.GetPixel(x, y, color); // within the image
    return color.argb;
  }

  const RCPtr<LGDIRenderer> mRenderer{new LGDIRenderer};
  QZTest::TextWorld world{"TextBox.xml"};
  RCPtr<LRenderContextInfo> mContext;
};

TEST_F(TextBoxPixelsTest, AFocusedBoxShowsItsSelectionAndCaret) {
  const RCPtr<LTextBox> box = world.Create<LTextBox>(u"boxes", {u"plain"});
  ASSERT_TRUE(box);
  ASSERT_EQ(box->SetText(u"abc def"), QZ_OK);
  ASSERT_TRUE(Succeeded(box->SetFocus(true)));
  ASSERT_EQ(box->SetCaret(4), QZ_OK);
  ASSERT_EQ(QZTest::TextWorld::Press(box, 0x23, kModifierShift), QZ_OK); // Shift+End
  ASSERT_EQ(box->GetSelectionStart(), 4);
  ASSERT_EQ(box->GetSelectionLength(), 3);
  ASSERT_TRUE(box->IsCaretVisible());
  ASSERT_EQ(world.skin.Find<LTextBox>({u"lines"})->SetText(u"first line\nsecond"), QZ_OK);

  Gfx::Image& drawn = Paint(world.skin.top);
  const PointT<int32_t> origin = box->GetWindowPosition().Round();
  const RectT<float>& caret = box->GetCaretRect();
  const RectT<float>& highlight = box->GetSelectionRects().at(0);
  // The caret: one ink-coloured column as tall as the line, after the text.
  const int caretX = origin.x + int(caret.x);
  EXPECT_EQ(PixelAt(drawn, caretX, origin.y + int(caret.y)), kInk);
  EXPECT_EQ(PixelAt(drawn, caretX, origin.y + int(caret.y + caret.height) - 1), kInk);
  EXPECT_EQ(PixelAt(drawn, caretX - 1, origin.y + int(caret.y + caret.height) - 1),
            PixelAt(drawn, caretX - 2, origin.y + int(caret.y + caret.height) - 1));
  EXPECT_EQ(PixelAt(drawn, caretX + 3, origin.y + int(caret.y) + 1), kFocused);
  // The highlight: the ink a third over the focused look's fill, where no glyph is.
  const uint32_t under = PixelAt(drawn, origin.x + int(highlight.x) + 1, origin.y + int(highlight.y) + 1);
  EXPECT_NE(under, kFocused);
  EXPECT_NEAR(int(under & 0xFF), (0x40 + 2 * 0xD0) / 3, 2);
  EXPECT_EQ(PixelAt(drawn, origin.x + int(highlight.x) - 3, origin.y + int(highlight.y) + 1), kFocused);
  EXPECT_TRUE(QZTest::ImagesMatch(drawn, QZTest::ReferenceImage("TextBoxes.png"), 2, QZ_WIDGET_TEST_OUTPUT));
}

} // namespace
} // namespace QZ
