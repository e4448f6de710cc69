#pragma once
// QZ::LFreetypeFontRenderer: the font renderer of the OpenGL path, rasterising glyphs
// with FreeType from the font files that LFontFileInfo finds.
//
//   QZ::RCPtr<QZ::LFreetypeFontRenderer> text(new QZ::LFreetypeFontRenderer(glyphs, glyphs));
//   int32_t height, ascent, descent;
//   text->GetFontMetrics(*font, height, ascent, descent);
//
// Construction scans the font folders (the list of families is process-wide: the
// newest renderer's scan holds) and sets FreeType up; a FreeType step that fails leaves
// the renderer without faces: metrics fail and runs hand out no glyph. Faces are opened
// on demand by FreeType's cache manager (at most 8 faces and 16 sizes, 4 MiB), each as
// the face of its collection that the scan found.
//
// Glyphs: sizes below 8 points render in mono (then widened to 0 or 255 per pixel),
// larger ones anti-aliased; if one mode fails the other is tried. A character without a
// glyph is skipped: the processor does not get it and the pen does not move. Surrogate
// pairs are one character. With kerning data the pen moves by the pair kerning, and the
// first glyph of the run is moved right when it reaches left of the origin.
//
// Main thread only.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_CACHE_H

#include <string>
#include <vector>

#include "QZFramework/Renderer/FontRenderer/FontFileInfo.h"
#include "QZFramework/Renderer/FontRenderer/FontRenderer.h"

namespace QZ {

class LFreetypeFontRenderer : public LFontRenderer {
public:
  // Size lookups: points at this resolution.
  static constexpr FT_UInt kResolution = 96;
  // Below this size (points) glyphs render in mono.
  static constexpr float kAntiAliasedFrom = 8.0f;

  // Scans fontFolders (UTF-8 paths; fontconfig's font folders unless given).
  LFreetypeFontRenderer(const RCPtr<LGlyphProcessor>& drawing, const RCPtr<LGlyphProcessor>& measuring,
                        const std::vector<std::string>& fontFolders = LFontFileInfo::GetSystemFontFolders());
  // Closes FreeType and empties the list of families.
  ~LFreetypeFontRenderer() override;
  LFreetypeFontRenderer(const LFreetypeFontRenderer&) = delete;
  LFreetypeFontRenderer& operator=(const LFreetypeFontRenderer&) = delete;

  // From the face's size metrics at the font's size: ascent -ascender, descent
  // -descender, height the larger of the line height and 96 x size / 72 pixels, and at
  // least descent - ascent.
  QZResult GetFontMetrics(const LFont& font, int32_t& height, int32_t& ascent, int32_t& descent) override;
  // Without the font's face at its size nothing happens (the processor is not called).
  void RenderGlyphRun(const WString& text, const LFont& font, LGlyphProcessor* processor, uint32_t start, float limit,
                      uint32_t mode) override;

private:
  // The face requester of the cache manager: opens the file and face of a face id.
  static FT_Error RequestFace(FTC_FaceID faceId, FT_Library library, FT_Pointer requestData, FT_Face* face);
  // The face of the font scaled to its size; null when it cannot be had.
  FT_Size LookupSize(const LFont& font);
  // Loads what needs asks for into glyph; false when the glyph is to be skipped. Takes
  // ownership of a loaded glyph through loaded.
  [[nodiscard]] bool LoadGlyph(FT_Face face, float pointSize, uint16_t needs, GlyphRecord& glyph, FT_Glyph& loaded);

  FT_Library mLibrary = nullptr;
  FTC_Manager mManager = nullptr;
};

} // namespace QZ
