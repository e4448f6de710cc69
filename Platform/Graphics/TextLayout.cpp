#include "Platform/Graphics/TextLayout.h"

#include <string>

#include "Platform/Graphics/TextEncoding.h"

namespace QZ::Platform::Graphics::detail {

namespace {

bool LayOutLine(std::u16string_view text, cairo_scaled_font_t* font, TextLine& line) {
  // Our own UTF-8, valid whatever the UTF-16 was, with the first UTF-16 unit of each byte.
  std::string utf8;
  std::vector<size_t> unitOfByte;
  for (size_t unit = line.firstUnit; unit < line.endUnit;) {
    const size_t first = unit;
    AppendUtf8(NextCodePoint(text.substr(0, line.endUnit), unit), utf8);
    unitOfByte.resize(utf8.size(), first);
  }
  line.unitX.assign(line.endUnit - line.firstUnit + 1, 0);
  if (utf8.empty()) {
    return true;
  }

  cairo_glyph_t* glyphs = nullptr;
  int glyphCount = 0;
  cairo_text_cluster_t* clusters = nullptr;
  int clusterCount = 0;
  cairo_text_cluster_flags_t flags{};
  if (cairo_scaled_font_text_to_glyphs(font, 0, 0, utf8.data(), static_cast<int>(utf8.size()), &glyphs, &glyphCount,
                                       &clusters, &clusterCount, &flags) != CAIRO_STATUS_SUCCESS) {
    return false;
  }
  line.glyphs.assign(glyphs, glyphs + glyphCount);

  double end = 0;
  if (glyphCount > 0) {
    cairo_text_extents_t extents;
    cairo_scaled_font_glyph_extents(font, &glyphs[glyphCount - 1], 1, &extents);
    end = glyphs[glyphCount - 1].x + extents.x_advance;
  }
  // A cluster's first unit spans the cluster's advance; its other units (the low half of
  // a surrogate pair) start and end where the cluster ends.
  size_t byte = 0;
  int glyph = 0;
  for (int cluster = 0; cluster < clusterCount; ++cluster) {
    const double start = glyph < glyphCount ? glyphs[glyph].x : end;
    glyph += clusters[cluster].num_glyphs;
    const double next = glyph < glyphCount ? glyphs[glyph].x : end;
    const size_t clusterEnd = byte + size_t(clusters[cluster].num_bytes);
    const size_t firstUnit = unitOfByte[byte];
    const size_t endUnit = clusterEnd < utf8.size() ? unitOfByte[clusterEnd] : line.endUnit;
    for (size_t unit = firstUnit; unit < endUnit; ++unit) {
      line.unitX[unit - line.firstUnit] = unit == firstUnit ? start : next;
    }
    byte = clusterEnd;
  }
  line.unitX.back() = end;
  cairo_glyph_free(glyphs);
  cairo_text_cluster_free(clusters);
  return true;
}

} // namespace

bool LayOutText(std::u16string_view text, cairo_scaled_font_t* font, std::vector<TextLine>& lines) {
  lines.clear();
  size_t start = 0;
  for (size_t unit = 0;; ++unit) {
    if (unit == text.size() || text[unit] == u'\n' || text[unit] == u'\r') {
      TextLine line;
      line.firstUnit = start;
      line.endUnit = unit;
      if (!LayOutLine(text, font, line)) {
        return false;
      }
      lines.push_back(std::move(line));
      if (unit == text.size()) {
        return true;
      }
      if (text[unit] == u'\r' && unit + 1 < text.size() && text[unit + 1] == u'\n') {
        ++unit;
      }
      start = unit + 1;
    }
  }
}

} // namespace QZ::Platform::Graphics::detail
