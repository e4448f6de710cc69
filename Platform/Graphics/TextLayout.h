#pragma once
// Lays a UTF-16 text out in lines of Cairo glyphs (internal), the one layout that both
// drawing and measuring use. Lines break at "\r\n", "\n" and "\r"; nothing wraps. There
// is no shaping and no kerning: one glyph per code point, each advancing the pen by its
// hinted (whole-pixel) advance.

#include <cairo.h>

#include <string_view>
#include <vector>

namespace QZ::Platform::Graphics::detail {

struct TextLine {
  size_t firstUnit = 0; // UTF-16 units [firstUnit, endUnit) of the text, line break excluded
  size_t endUnit = 0;
  std::vector<cairo_glyph_t> glyphs; // positions relative to the line's pen start, on its baseline
  std::vector<double> unitX;         // pen x before each unit of the line, and after the last
};

// False when Cairo cannot lay the text out with this font.
bool LayOutText(std::u16string_view text, cairo_scaled_font_t* font, std::vector<TextLine>& lines);

} // namespace QZ::Platform::Graphics::detail
