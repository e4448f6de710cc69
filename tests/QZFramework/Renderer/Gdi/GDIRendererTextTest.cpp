#include <gtest/gtest.h>

#include <cmath>

#include "QZFramework/Renderer/Gdi/GDIRendererTestSupport.h"
#include "QZFramework/Utilities/Graphics/Font.h"

namespace {

using namespace QZTest;
namespace Gfx = QZ::Gfx;

QZ::RCPtr<QZ::LFont> Font(const char16_t* face, float size, int32_t style = 0) {
  return QZ::LFont::GetFont(QZ::WString(face), size, style);
}

// What the drawing layer itself measures for the text's characters, in points.
Gfx::RectF LayerBox(std::u16string_view text, const Gfx::Font& font) {
  auto image = Gfx::Image::Create(1, 1);
  const Gfx::CharacterRange whole{0, int(text.size())};
  Gfx::RectF box;
  Gfx::Graphics::FromImage(*image)->MeasureCharacterRanges(text, font, {0, 0, 9999, 9999}, {&whole, 1}, {&box, 1});
  return box;
}

TEST_F(GDIRendererTest, TextLandsWithItsLayoutOriginOnePixelAboveThePosition) {
  MakeWindow(50, 40);
  const auto font = Font(u"Liberation Sans", 12.0f);
  Start();
  renderer->FillRect({0, 0, 50, 40}, Color(kWhite), true);
  renderer->DrawText(QZ::WString(u"Hi"), *font, {10, 20}, Color(kBlack));
  Finish();
  auto drawn = window->ToImage();
  EXPECT_TRUE(ImagesMatch(*drawn, RendererReference("HiText.png"), 2, RendererOutputDir()));

  // The same text drawn by the layer at (10, 19), and at (10, 20) for contrast.
  const auto family = Gfx::FontFamily::FromName(u"Liberation Sans");
  ASSERT_TRUE(family);
  const auto layerFont = Gfx::Font::Create(*family, 12.0f, Gfx::FontStyle::Regular, Gfx::FontUnit::Point);
  auto sameAs = [&](float top) {
    auto expected = Gfx::Image::Create(50, 40);
    auto graphics = Gfx::Graphics::FromImage(*expected);
    graphics->Clear(Gfx::Color{kWhite});
    graphics->DrawString(u"Hi", *layerFont, {10, top, 0, 0}, Gfx::Brush::Solid(Gfx::Color{kBlack}));
    for (int32_t y = 0; y < 40; ++y) {
      for (int32_t x = 0; x < 50; ++x) {
        if (PixelOf(*expected, x, y) != PixelOf(*drawn, x, y)) {
          return false;
        }
      }
    }
    return true;
  };
  EXPECT_TRUE(sameAs(19));
  EXPECT_FALSE(sameAs(20));
}

TEST_F(GDIRendererTest, MeasuredWidthsRoundUpAndGainThreePixels) {
  const auto font = Font(u"Liberation Sans", 9.0f);
  EXPECT_EQ(renderer->MeasureText(*font, QZ::WString()), (QZ::RectT<float>{0, 0, 0, 0}));
  int32_t height = 0, ascent = 0, descent = 0;
  ASSERT_EQ(renderer->GetFontMetrics(*font, height, ascent, descent), QZ::QZ_OK);
  const auto family = Gfx::FontFamily::FromName(u"Liberation Sans");
  const auto layerFont = Gfx::Font::Create(*family, 9.0f, Gfx::FontStyle::Regular, Gfx::FontUnit::Point);
  for (const char16_t* text : {u"i", u"Preset 10", u"Sustain  ", u" "}) {
    const Gfx::RectF box = LayerBox(text, *layerFont);
    const float width = std::trunc(box.x + box.width + 0.9999f) + 3;
    EXPECT_EQ(renderer->MeasureText(*font, QZ::WString(text)),
              (QZ::RectT<float>{0, float(ascent), width, float(height)}))
        << QZ::WString(text).ToUTF8().GetBuffer();
  }
}

TEST_F(GDIRendererTest, FontMetricsSpanTheLineAroundTheBaseline) {
  const QZ::RCPtr<QZ::LFont> fonts[] = {Font(u"Liberation Sans", 8.0f), Font(u"Arial", 12.0f, QZ::LFont::kBold),
                                        Font(u"DejaVu Sans", 20.0f, QZ::LFont::kItalic), Font(u"No Such Face", 10.0f)};
  for (const auto& font : fonts) {
    int32_t height = 0, ascent = 0, descent = 0;
    ASSERT_EQ(renderer->GetFontMetrics(*font, height, ascent, descent), QZ::QZ_OK);
    EXPECT_LT(ascent, 0) << font->GetFaceName().ToUTF8().GetBuffer();
    EXPECT_GT(descent, 0);
    EXPECT_GE(height, descent - ascent);
    EXPECT_LT(height, 3 * font->GetSize());
  }
}

TEST_F(GDIRendererTest, UnknownFacesMeasureAsTheGenericSansSerif) {
  const auto generic = Gfx::FontFamily::GenericSansSerif();
  ASSERT_TRUE(generic);
  const QZ::WString genericName(generic->Name().c_str());
  const QZ::WString text(u"Arpeggiator");
  EXPECT_EQ(renderer->MeasureText(*Font(u"No Such Face", 10.0f), text),
            renderer->MeasureText(*QZ::LFont::GetFont(genericName, 10.0f, 0), text));
}

TEST_F(GDIRendererTest, BrokenUtf16NeitherSplitsPairsNorStopsDrawing) {
  const auto font = Font(u"DejaVu Sans", 10.0f);
  auto width = [&](const char16_t* text) { return renderer->MeasureText(*font, QZ::WString(text)).width; };
  EXPECT_EQ(width(u"a\xD800z"), width(u"a\xFFFDz"));
  EXPECT_LT(width(u"\xD834\xDD1E"), width(u"\xDD1E\xD834")); // one character, against two lone halves
  Start();
  renderer->DrawText(QZ::WString(u"x\xDC00y\xD800"), *font, {2, 2}, Color(kBlack));
  renderer->FillRect({30, 20, 2, 2}, Color(kRed), true);
  Finish();
  EXPECT_EQ(window->At(30, 20), kRed);
}

} // namespace
