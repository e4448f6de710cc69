#include "QZFramework/Renderer/OpenGL/GLGlyphRenderer.h"

#include <algorithm>
#include <cmath>

namespace QZ {

namespace {

// One pixel of border on each side of a glyph keeps neighbours out of its samples.
constexpr int32_t kBorder = 1;

int32_t PowerOfTwoAtLeast(int32_t value) {
  int32_t size = 1;
  while (size < value) {
    size *= 2;
  }
  return size;
}

} // namespace

void LGLGlyphRenderer::LCachedFont::Restart() {
  mGlyphs.RemoveAll();
  mAtlas->Clear();
  mCursorX = 0;
  mRowY = 0;
  mRowHeight = 0;
  mDirty = true;
}

PointT<int32_t> LGLGlyphRenderer::LCachedFont::Reserve(int32_t width, int32_t height) {
  if (width < 0 || height < 0 || width > kAtlasWidth || height > kMaxAtlasHeight) {
    return {-1, -1};
  }
  if (mCursorX + width >= kAtlasWidth) {
    mRowY += mRowHeight;
    mCursorX = 0;
    mRowHeight = 0;
  }
  if (mAtlas && mRowY + height > kMaxAtlasHeight) {
    Restart();
  }
  mRowHeight = std::max(mRowHeight, height);
  if (!mAtlas) {
    mAtlas = RCPtr<LPixelBuffer<uint8_t>>(new LPixelBuffer<uint8_t>(kAtlasWidth, mRowHeight, kAtlasWidth));
  }
  if (mRowY + height > mAtlas->GetHeight()) {
    mAtlas->SetHeight(PowerOfTwoAtLeast(mRowY + height));
    mDirty = true;
  }
  const PointT<int32_t> corner{mCursorX, mRowY};
  mCursorX += width;
  return corner;
}

bool LGLGlyphRenderer::LCachedFont::PlaceGlyph(SCachedGlyph& glyph, const LPixelBuffer<uint8_t>& coverage) {
  const int32_t width = coverage.GetWidth();
  const int32_t height = coverage.GetHeight();
  const PointT<int32_t> corner = Reserve(width + 2 * kBorder, height + 2 * kBorder);
  if (corner.x < 0) {
    return false;
  }
  glyph.atlasX = uint16_t(corner.x + kBorder);
  glyph.atlasY = uint16_t(corner.y + kBorder);
  for (int32_t y = 0; y < height; ++y) {
    std::copy_n(coverage.GetPixelAddress(0, y), width, mAtlas->GetPixelAddress(glyph.atlasX, glyph.atlasY + y));
  }
  mGlyphs.Insert(glyph);
  mDirty = true;
  return true;
}

void LGLGlyphRenderer::LCachedFont::Upload() {
  if (!mAtlas) {
    return;
  }
  mImage.SetExternal(GL_ALPHA, GL_UNSIGNED_BYTE, mAtlas->GetData(), kAtlasWidth, mAtlas->GetHeight(), kAtlasWidth, 1);
  const SizeT<int32_t>& size = GetTextureSize();
  if (IsValid() && size.width == kAtlasWidth && size.height == mAtlas->GetHeight()) {
    Update();
  } else {
    CreateTexture(GL_ALPHA, kTextureNearest);
  }
  mDirty = false;
}

void LGLGlyphRenderer::BeginFont(const LFont& font, uint32_t flags) {
  mFlags = flags;
  mBounds = {};
  RCPtr<LCachedFont>& cached = mFonts.Acquire(font.GetUniqueID());
  if (!cached) {
    cached = RCPtr<LCachedFont>(new LCachedFont(font));
  }
  mCurrentFont = cached;
}

void LGLGlyphRenderer::EndFont() { mCurrentFont = nullptr; }

uint16_t LGLGlyphRenderer::ProcessGlyph(GlyphRecord& glyph) {
  if (!mCurrentFont) {
    return 0;
  }
  const SCachedGlyph* cached = mCurrentFont->FindGlyph(long(glyph.code));
  mCurrentGlyph = cached ? *cached : SCachedGlyph{};
  if (!cached) {
    return kGlyphNeedsAll;
  }
  glyph.metrics = cached->metrics;
  return 0;
}

void LGLGlyphRenderer::DrawGlyphs(const GlyphRecord& glyph) {
  if (!mCurrentFont) {
    return;
  }
  LCachedFont& font = *mCurrentFont;
  if (mCurrentGlyph.id == 0 && glyph.bitmap) {
    SCachedGlyph placed{long(glyph.code), glyph.metrics, 0, 0};
    if (font.PlaceGlyph(placed, *glyph.bitmap)) {
      mCurrentGlyph = placed;
      if (mFlags & kGlyphUploadEach) {
        font.Upload();
      }
    }
  }
  const GlyphBox& box = glyph.metrics.box;
  const float x = glyph.penX;
  const float y = glyph.penY;
  if ((mFlags & kGlyphDraw) && mCurrentGlyph.id != 0 && box.Width() > 0 && box.Height() > 0) {
    if (font.NeedsUpload()) {
      font.Upload();
    }
    const float ascent = float(font.GetFont().GetAscent());
    font.DrawQuad({float(mCurrentGlyph.atlasX), float(mCurrentGlyph.atlasY), float(box.Width()), float(box.Height())},
                  {x + float(box.left), float(box.top) - (ascent + y), float(box.Width()), float(box.Height())});
  }
  if (mFlags & kGlyphCollectBounds) {
    const float top = y + float(box.top);
    const float right = x + std::floor(float(glyph.metrics.advanceX) / 64.0f);
    mBounds.left = std::min(mBounds.left, x);
    mBounds.top = std::min(mBounds.top, top);
    mBounds.right = std::max(mBounds.right, right);
    mBounds.bottom = std::max(mBounds.bottom, top + float(box.Height()));
  }
}

} // namespace QZ
