#pragma once
// QZ::LGLGlyphRenderer: the glyph processor of the OpenGL renderer. For each font it
// keeps a glyph atlas, a one-channel texture 512 pixels wide into which every glyph is
// rasterised once; a glyph is then drawn as one textured quad.
//
//   QZ::RCPtr<QZ::LGLGlyphRenderer> glyphs(new QZ::LGLGlyphRenderer);
//   QZ::RCPtr<QZ::LFreetypeFontRenderer> text(new QZ::LFreetypeFontRenderer(glyphs, glyphs));
//   text->RenderGlyphRun(u"Preset", *font, glyphs.Get(), 0, 0, 0xF);   // inside a GL frame
//
// Atlases hold up to 16 fonts; a 17th font in use replaces the one unused longest. Glyphs
// are packed in rows, each with a pixel of border: a glyph that does not fit its row's
// remaining width opens a row below the tallest glyph of the row before. The atlas grows
// by powers of two up to 4096 rows; a glyph that would need more starts the atlas afresh
// (every glyph is rasterised again as it is met), and a glyph wider than the atlas is not
// kept (it is not drawn). New glyph pixels are uploaded at once with kGlyphUploadEach,
// and otherwise before the next glyph is drawn.
//
// Main thread only; uploads and drawing need the GL context current.

#include <cstdint>

#include "QZFramework/Renderer/FontRenderer/GlyphProcessor.h"
#include "QZFramework/Renderer/OpenGL/GLTexture.h"
#include "QZFramework/Utilities/Graphics/Font.h"
#include "QZFramework/Utilities/Storage/HashedList.h"
#include "QZFramework/Utilities/Storage/PurgableObjectCache.h"

namespace QZ {

class LGLGlyphRenderer : public LGlyphProcessor {
public:
  static constexpr uint32_t kFontCacheCapacity = 16;
  static constexpr int32_t kAtlasWidth = 512;
  static constexpr int32_t kMaxAtlasHeight = 4096;

  // One font's atlas and the glyphs placed in it.
  class LCachedFont : public LGLTexture {
  public:
    explicit LCachedFont(const LFont& font) : mFont(&font) {}

    // Reserves width x height atlas pixels and returns their top-left corner; (-1, -1)
    // for a glyph wider than the atlas or taller than its limit.
    PointT<int32_t> Reserve(int32_t width, int32_t height);
    // Places a glyph's coverage (with its border) and enters the glyph: false when it
    // cannot be kept.
    bool PlaceGlyph(SCachedGlyph& glyph, const LPixelBuffer<uint8_t>& coverage);
    // The glyph of a character code; null when not placed.
    const SCachedGlyph* FindGlyph(long code) const { return mGlyphs.Find(code); }
    // Makes the texture hold every placed glyph.
    void Upload();
    bool NeedsUpload() const { return mDirty; }

    const LFont& GetFont() const { return *mFont; }
    // Rows of the atlas so far; 0 before the first glyph.
    int32_t GetAtlasHeight() const { return mAtlas ? mAtlas->GetHeight() : 0; }

  private:
    void Restart();

    ConstRCPtr<LFont> mFont;
    RCPtr<LPixelBuffer<uint8_t>> mAtlas;
    int32_t mCursorX = 0;
    int32_t mRowY = 0;
    int32_t mRowHeight = 0;
    bool mDirty = false;
    HashedList<SCachedGlyph, long, &SCachedGlyph::GetUniqueID, 8, &GetBits<8, 0, long>> mGlyphs;
  };

  void BeginFont(const LFont& font, uint32_t flags) override;
  void EndFont() override;
  // 0 with the glyph's metrics written when the current font has placed the glyph;
  // kGlyphNeedsAll otherwise, and 0 without a current font.
  uint16_t ProcessGlyph(GlyphRecord& glyph) override;
  // Places a new glyph, then draws it (kGlyphDraw) and grows the bounds by its pen
  // rectangle (kGlyphCollectBounds).
  void DrawGlyphs(const GlyphRecord& glyph) override;
  GlyphBounds GetBounds() const override { return mBounds; }

  // The font selected by BeginFont; null outside a run.
  LCachedFont* GetCurrentFont() const { return mCurrentFont.Get(); }

private:
  using FontCache = PurgableObjectCache<LCachedFont, LFont, uint32_t, &LFont::GetUniqueID, 8, &GetBits<8, 4, uint32_t>>;

  FontCache mFonts{kFontCacheCapacity};
  RCPtr<LCachedFont> mCurrentFont;
  SCachedGlyph mCurrentGlyph;
  GlyphBounds mBounds;
  uint32_t mFlags = 0;
};

} // namespace QZ
