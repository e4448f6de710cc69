#include "QZFramework/Renderer/FontRenderer/FreetypeFontRenderer.h"

#include FT_GLYPH_H

#include <algorithm>

namespace QZ {

namespace {

constexpr FT_UInt kMaxFaces = 8;
constexpr FT_ULong kMaxSizes = 16;
constexpr FT_ULong kMaxBytes = 0x400000;

// Face ids are handed to the cache manager one higher, so that none of them is null.
FTC_FaceID ToCacheId(uint32_t faceId) { return reinterpret_cast<FTC_FaceID>(uintptr_t(faceId) + 1); }
uint32_t FromCacheId(FTC_FaceID id) { return uint32_t(reinterpret_cast<uintptr_t>(id) - 1); }

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The rendered bitmap of the glyph slot, one byte of coverage per pixel; null for a
// pixel mode other than mono and gray.
RCPtr<LPixelBuffer<uint8_t>> CoverageOf(const FT_Bitmap& bitmap) {
  if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) {
    return nullptr;
  }
  const int32_t width = int32_t(bitmap.width);
  const int32_t rows = int32_t(bitmap.rows);
  RCPtr<LPixelBuffer<uint8_t>> coverage(new LPixelBuffer<uint8_t>(width, rows, width));
  const int32_t pitch = bitmap.pitch;
  for (int32_t y = 0; y < rows; ++y) {
    // A negative pitch stores the rows bottom-up.
    const uint8_t* source = bitmap.buffer + (pitch >= 0 ? ptrdiff_t(y) * pitch : ptrdiff_t(rows - 1 - y) * -pitch);
    uint8_t* target = coverage->GetPixelAddress(0, y);
    for (int32_t x = 0; x < width; ++x) {
      target[x] =
          bitmap.pixel_mode == FT_PIXEL_MODE_GRAY ? source[x] : ((source[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0);
    }
  }
  return coverage;
}

} // namespace

LFreetypeFontRenderer::LFreetypeFontRenderer(const RCPtr<LGlyphProcessor>& drawing,
                                             const RCPtr<LGlyphProcessor>& measuring,
                                             const std::vector<std::string>& fontFolders)
    : LFontRenderer(drawing, measuring) {
  LFontFileInfo::ScanFontFolders(fontFolders);
  if (FT_Init_FreeType(&mLibrary) != 0) {
    mLibrary = nullptr;
    return;
  }
  if (FTC_Manager_New(mLibrary, kMaxFaces, kMaxSizes, kMaxBytes, &RequestFace, this, &mManager) != 0) {
    mManager = nullptr;
  }
}

LFreetypeFontRenderer::~LFreetypeFontRenderer() {
  if (mManager) {
    FTC_Manager_Done(mManager);
  }
  if (mLibrary) {
    FT_Done_FreeType(mLibrary);
  }
  LFontFileInfo::Clear();
}

FT_Error LFreetypeFontRenderer::RequestFace(FTC_FaceID faceId, FT_Library library, FT_Pointer /*requestData*/,
                                            FT_Face* face) {
  const uint32_t id = FromCacheId(faceId);
  const WString path = LFontFileInfo::GetFilePath(id);
  if (path.IsEmpty()) {
    return FT_Err_Cannot_Open_Resource;
  }
  return FT_New_Face(library, path.ToUTF8().GetBuffer(), LFontFileInfo::GetFaceIndex(id), face);
}

FT_Size LFreetypeFontRenderer::LookupSize(const LFont& font) {
  if (!mManager) {
    return nullptr;
  }
  FTC_ScalerRec scaler{};
  scaler.face_id = ToCacheId(LFontFileInfo::GetFileID(font));
  scaler.width = 0;
  scaler.height = FT_UInt(font.GetSize() * 64.0f);
  scaler.pixel = 0;
  scaler.x_res = kResolution;
  scaler.y_res = kResolution;
  FT_Size size = nullptr;
  return FTC_Manager_LookupSize(mManager, &scaler, &size) == 0 ? size : nullptr;
}

QZResult LFreetypeFontRenderer::GetFontMetrics(const LFont& font, int32_t& height, int32_t& ascent, int32_t& descent) {
  const FT_Size size = LookupSize(font);
  if (!size) {
    return QZ_E_FAIL;
  }
  const FT_Size_Metrics& metrics = size->metrics;
  ascent = -int32_t(metrics.ascender >> 6);
  descent = -int32_t(metrics.descender >> 6);
  height = std::max({int32_t(metrics.height >> 6), int32_t(96.0f * font.GetSize() / 72.0f), descent - ascent});
  return QZ_OK;
}

bool LFreetypeFontRenderer::LoadGlyph(FT_Face face, float pointSize, uint16_t needs, GlyphRecord& glyph,
                                      FT_Glyph& loaded) {
  if (FT_Load_Glyph(face, glyph.metrics.glyphIndex, FT_LOAD_DEFAULT) != 0 || FT_Get_Glyph(face->glyph, &loaded) != 0) {
    return false;
  }
  const FT_GlyphSlot slot = face->glyph;
  glyph.metrics.advanceX = int32_t(slot->advance.x);
  glyph.metrics.advanceY = int32_t(slot->advance.y);
  if (needs & (kGlyphNeedsBox | kGlyphNeedsBitmap)) {
    FT_BBox box{};
    FT_Glyph_Get_CBox(loaded, FT_GLYPH_BBOX_PIXELS, &box);
    glyph.metrics.box = {int32_t(box.xMin), -int32_t(box.yMax), int32_t(box.xMax), -int32_t(box.yMin)};
  }
  if (needs & kGlyphNeedsBitmap) {
    const bool antiAliased = pointSize >= kAntiAliasedFrom;
    const FT_Render_Mode first = antiAliased ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO;
    const FT_Render_Mode second = antiAliased ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL;
    if (FT_Render_Glyph(slot, first) != 0 && FT_Render_Glyph(slot, second) != 0) {
      return false;
    }
    glyph.bitmap = CoverageOf(slot->bitmap);
    if (!glyph.bitmap) {
      return false;
    }
    // The box of the pixels themselves, so that box and bitmap always agree.
    const int32_t left = slot->bitmap_left;
    const int32_t top = -slot->bitmap_top;
    glyph.metrics.box = {left, top, left + glyph.bitmap->GetWidth(), top + glyph.bitmap->GetHeight()};
  }
  return true;
}

void LFreetypeFontRenderer::RenderGlyphRun(const WString& text, const LFont& font, LGlyphProcessor* processor,
                                           uint32_t start, float limit, uint32_t mode) {
  if (!processor) {
    return;
  }
  const FT_Size size = LookupSize(font);
  if (!size) {
    return;
  }
  const FT_Face face = size->face;
  const bool kerning = FT_HAS_KERNING(face);
  processor->BeginFont(font, mode);
  GlyphRecord glyph;
  glyph.charactersHandled = start;
  float penX = 0.0f;
  float penY = 0.0f;
  FT_UInt previous = 0;
  const char16_t* units = text.GetBuffer();
  const uint32_t length = text.GetLength();
  for (uint32_t i = 0, next = 0; i < length; i = next) {
    next = i + 1;
    uint32_t code = units[i];
    if (IsHighSurrogate(units[i]) && next < length && IsLowSurrogate(units[next])) {
      code = 0x10000 + ((code - 0xD800) << 10) + (units[next] - 0xDC00);
      ++next;
    }
    glyph.code = code;
    glyph.metrics = GlyphMetrics{};
    glyph.bitmap = nullptr;
    glyph.penX = penX;
    glyph.penY = penY;
    const uint16_t needs = processor->ProcessGlyph(glyph);
    if (needs != 0) {
      glyph.metrics.glyphIndex = FT_Get_Char_Index(face, code);
    }
    if (glyph.metrics.glyphIndex == 0) {
      continue;
    }
    FT_Glyph loaded = nullptr;
    if (needs != 0 && !LoadGlyph(face, font.GetSize(), needs, glyph, loaded)) {
      if (loaded) {
        FT_Done_Glyph(loaded);
      }
      continue;
    }
    if (kerning) {
      FT_Vector delta{};
      if (previous == 0) {
        penX -= float(std::min(glyph.metrics.box.left, 0));
      } else if (FT_Get_Kerning(face, previous, glyph.metrics.glyphIndex, FT_KERNING_DEFAULT, &delta) == 0) {
        penX += float(delta.x) / 64.0f;
      }
    }
    glyph.penX = penX;
    glyph.penY = penY;
    const bool beyondLimit = limit > 0.0f && penX + float(glyph.metrics.box.right) > limit;
    if (!beyondLimit) {
      processor->DrawGlyphs(glyph);
    }
    if (loaded) {
      FT_Done_Glyph(loaded);
    }
    if (beyondLimit) {
      break;
    }
    penX += float(glyph.metrics.advanceX) / 64.0f;
    penY += float(glyph.metrics.advanceY) / 64.0f;
    previous = glyph.metrics.glyphIndex;
    glyph.charactersHandled = next;
  }
  processor->EndFont();
}

} // namespace QZ
