#include <gtest/gtest.h>

#include <cmath>

#include "QZFramework/Renderer/Gdi/GDIRendererTestSupport.h"
#include "QZFramework/Utilities/Graphics/Font.h"

namespace {

using namespace QZTest;
namespace Gfx = QZ::Platform::Graphics;

QZ::RCPtr<QZ::LFont> Font(const char16_t* face, float size, int32_t style = 0) {
  return QZ::LFont::GetFont(QZ::WString(face), size, style);
}

Gfx::Font LiberationSans(float points) {
  return *Gfx::Font::Create(*Gfx::FontFamily::FromName(u"Liberation Sans"), points, Gfx::FontStyle::Regular,
                            Gfx::FontUnit::Point);
}

TEST_F(GDIRendererTest, TextLandsWithItsLayoutOriginOnePixelAboveThePosition) {
  MakeWindow(50, 40);
  Start();
  EXPECT_EQ(renderer->FillRect({0, 0, 50, 40}, Color(kWhite), true), QZ::QZ_OK);
  EXPECT_EQ(renderer->DrawText(QZ::WString(u"Hi"), *Font(u"Liberation Sans", 12.0f), {10, 20}, Color(kBlack)),
            QZ::QZ_OK);
  Finish();
  const auto drawn = Window();
  EXPECT_TRUE(ImagesMatch(*drawn, Reference("HiText.png"), 2, QZ_RENDERER_TEST_OUTPUT));
  // The drawing layer's own "Hi" with its layout rectangle at (10, 19), and at (10, 20).
  auto drawnAt = [&](float top) {
    auto expected = Gfx::Image::Create(50, 40);
    auto graphics = Gfx::Graphics::FromImage(*expected);
    EXPECT_EQ(graphics->Clear(Gfx::Color{kWhite}), Gfx::Status::Ok);
    EXPECT_EQ(
        graphics->DrawString(u"Hi", LiberationSans(12.0f), {10, top, 0, 0}, Gfx::Brush::Solid(Gfx::Color{kBlack})),
        Gfx::Status::Ok);
    for (int32_t i = 0; i < 50 * 40; ++i) {
      if (PixelOf(*expected, i % 50, i / 50) != PixelOf(*drawn, i % 50, i / 50)) {
        return false;
      }
    }
    return true;
  };
  EXPECT_TRUE(drawnAt(19));
  EXPECT_FALSE(drawnAt(20));
}

TEST_F(GDIRendererTest, MeasuredWidthsRoundUpAndGainThreePixels) {
  const auto font = Font(u"Liberation Sans", 9.0f);
  EXPECT_EQ(renderer->MeasureText(*font, QZ::WString()), (QZ::RectT<float>{0, 0, 0, 0}));
  int32_t height = 0, ascent = 0, descent = 0;
  ASSERT_EQ(renderer->GetFontMetrics(*font, height, ascent, descent), QZ::QZ_OK);
  auto measuring = Gfx::Graphics::FromImage(*Gfx::Image::Create(1, 1));
  for (const std::u16string text : {u"i", u"Preset 10", u"Sustain  "}) {
    const Gfx::CharacterRange whole{0, int(text.size())};
    Gfx::RectF box; // what the drawing layer measures
    EXPECT_EQ(measuring->MeasureCharacterRanges(text, LiberationSans(9.0f), {0, 0, 9999, 9999}, {&whole, 1}, {&box, 1}),
              Gfx::Status::Ok);
    const float width = std::trunc(box.x + box.width + 0.9999f) + 3;
    EXPECT_EQ(renderer->MeasureText(*font, QZ::WString(text.c_str())),
              (QZ::RectT<float>{0, float(ascent), width, float(height)}));
  }
}

TEST_F(GDIRendererTest, FontMetricsSpanTheLineAroundTheBaseline) {
  for (const auto& font : {Font(u"Liberation Sans", 11.0f), Font(u"Arial", 12.0f, QZ::LFont::kBold),
                           Font(u"DejaVu Sans", 10.0f, QZ::LFont::kItalic), Font(u"No Such Face", 7.0f)}) {
    int32_t height = 0, ascent = 0, descent = 0;
    ASSERT_EQ(renderer->GetFontMetrics(*font, height, ascent, descent), QZ::QZ_OK);
    EXPECT_LT(ascent, 0) << font->GetFaceName().ToUTF8().GetBuffer();
    EXPECT_GT(descent, 0);
    EXPECT_GE(height, descent - ascent);
    EXPECT_LT(height, 3 * font->GetSize());
  }
}

TEST_F(GDIRendererTest, EachTextIsMeasuredInItsOwnFaceWhateverFaceCameBefore) {
  const QZ::WString text(u"iiii WWWW");
  const auto sans = Font(u"Liberation Sans", 10.0f);
  const auto mono = Font(u"Liberation Mono", 10.0f);
  const auto unknown = Font(u"No Such Face", 10.0f); // the generic sans-serif family's
  const float sansWidth = renderer->MeasureText(*sans, text).width;
  const float monoWidth = renderer->MeasureText(*mono, text).width;
  const float unknownWidth = renderer->MeasureText(*unknown, text).width;
  EXPECT_NE(sansWidth, monoWidth);
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(renderer->MeasureText(*mono, text).width, monoWidth);
    EXPECT_EQ(renderer->MeasureText(*unknown, text).width, unknownWidth);
    EXPECT_EQ(renderer->MeasureText(*sans, text).width, sansWidth);
  }
}

TEST_F(GDIRendererTest, BrokenUtf16NeitherSplitsPairsNorStopsDrawing) {
  const auto font = Font(u"DejaVu Sans", 10.0f);
  auto width = [&](const char16_t* text) { return renderer->MeasureText(*font, QZ::WString(text)).width; };
  EXPECT_EQ(width(u"a\xD800z"), width(u"a\xFFFDz"));
  EXPECT_LT(width(u"\xD834\xDD1E"), width(u"\xDD1E\xD834")); // one character, against two lone halves
  Start();
  EXPECT_EQ(renderer->DrawText(QZ::WString(u"x\xDC00y\xD800"), *font, {2, 2}, Color(kBlack)), QZ::QZ_OK);
  EXPECT_EQ(renderer->FillRect({30, 20, 2, 2}, Color(kRed), true), QZ::QZ_OK);
  Finish();
  EXPECT_EQ(At(30, 20), kRed);
}

} // namespace
