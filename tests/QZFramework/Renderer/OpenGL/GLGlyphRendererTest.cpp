#include "QZFramework/Renderer/OpenGL/GLGlyphRenderer.h"

#include <gtest/gtest.h>

#include "QZFramework/Renderer/FontRenderer/FreetypeFontRenderer.h"
#include "Support/FontconfigInit.h"

namespace {

using QZ::LFont;
using QZ::LGLGlyphRenderer;
using QZ::PointT;

// Atlases need no GL context until they are uploaded or drawn.
class AtlasTest : public ::testing::Test {
protected:
  QZ::RCPtr<LGLGlyphRenderer::LCachedFont> mFont{
      new LGLGlyphRenderer::LCachedFont(*LFont::GetFont(u"DejaVu Sans", 8.0f, 0))};
};

TEST_F(AtlasTest, AGlyphThatDoesNotFitStartsARowBelowTheTallestOfTheRowBefore) {
  EXPECT_EQ(mFont->Reserve(12, 20), (PointT<int32_t>{0, 0}));
  EXPECT_EQ(mFont->Reserve(488, 30), (PointT<int32_t>{12, 0}));
  // 500 + 12 reaches the atlas edge: a new row below the 30-pixel glyph.
  EXPECT_EQ(mFont->Reserve(12, 14), (PointT<int32_t>{0, 30}));
  // That row is 14 high, whatever the rows before it held.
  EXPECT_EQ(mFont->Reserve(505, 10), (PointT<int32_t>{0, 44}));
  EXPECT_EQ(mFont->GetAtlasHeight(), 64);
}

TEST_F(AtlasTest, GlyphsWiderThanTheAtlasAreRejectedAndAFullAtlasStartsAfresh) {
  EXPECT_EQ(mFont->Reserve(513, 4), (PointT<int32_t>{-1, -1}));
  for (int32_t row = 0; row < 4096 / 512; ++row) {
    EXPECT_EQ(mFont->Reserve(511, 512), (PointT<int32_t>{0, row * 512}));
  }
  EXPECT_EQ(mFont->GetAtlasHeight(), LGLGlyphRenderer::kMaxAtlasHeight);
  // A 4097th row: the atlas restarts with this glyph at the top, its glyphs forgotten.
  QZ::LGlyphProcessor::SCachedGlyph glyph{'x', {}, 0, 0};
  QZ::LPixelBuffer<uint8_t> coverage(3, 3, 3);
  EXPECT_TRUE(mFont->PlaceGlyph(glyph, coverage));
  EXPECT_EQ(glyph.atlasY, 1);
  EXPECT_NE(mFont->FindGlyph('x'), nullptr);
  EXPECT_EQ(mFont->GetAtlasHeight(), LGLGlyphRenderer::kMaxAtlasHeight);
}

// Counts the glyphs the font renderer had to rasterise.
class CountingGlyphRenderer : public LGLGlyphRenderer {
public:
  uint16_t ProcessGlyph(QZ::GlyphRecord& glyph) override {
    const uint16_t needs = LGLGlyphRenderer::ProcessGlyph(glyph);
    rasterised += needs != 0 ? 1 : 0;
    return needs;
  }
  int rasterised = 0;
};

class GlyphCacheTest : public ::testing::Test {
protected:
  void Measure(const char16_t* text, float size) {
    mText->RenderGlyphRun(text, *LFont::GetFont(u"DejaVu Sans", size, 0), mGlyphs.Get(), 0, 0.0f, QZ::kGlyphRunMeasure);
  }

  QZ::RCPtr<CountingGlyphRenderer> mGlyphs{new CountingGlyphRenderer};
  QZ::RCPtr<QZ::LFreetypeFontRenderer> mText{
      new QZ::LFreetypeFontRenderer(mGlyphs, mGlyphs, {"/usr/share/fonts/truetype/dejavu"})};
};

TEST_F(GlyphCacheTest, AGlyphIsRasterisedOnceAndItsMetricsComeBackFromTheAtlas) {
  Measure(u"AA", 11.0f);
  EXPECT_EQ(mGlyphs->rasterised, 1);
  const QZ::GlyphBounds first = mGlyphs->GetBounds();
  Measure(u"A", 11.0f);
  EXPECT_EQ(mGlyphs->rasterised, 1);
  EXPECT_GT(first.right, mGlyphs->GetBounds().right); // two glyphs measured wider than one
}

TEST_F(GlyphCacheTest, ASeventeenthFontReplacesTheLeastRecentlyUsed) {
  for (int i = 0; i < 17; ++i) {
    Measure(u"A", 20.0f + float(i));
  }
  EXPECT_EQ(mGlyphs->rasterised, 17);
  Measure(u"A", 21.0f); // the second font is still cached
  EXPECT_EQ(mGlyphs->rasterised, 17);
  Measure(u"A", 20.0f); // the first was replaced by the seventeenth
  EXPECT_EQ(mGlyphs->rasterised, 18);
}

} // namespace
