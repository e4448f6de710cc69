// Text: drawing, font metrics and measuring, all by the drawing layer's one layout rule.
#include <algorithm>
#include <cmath>
#include <optional>

#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "QZFramework/Renderer/Gdi/GDIRendererSupport.h"
#include "QZFramework/Utilities/Graphics/Font.h"

namespace QZ {

namespace {

// Styles beyond bold and italic (underline, strike-out) are not drawn.
Platform::Graphics::FontStyle StyleOf(const LFont& font) {
  return static_cast<Platform::Graphics::FontStyle>(font.GetStyle() & 3);
}

} // namespace

std::optional<Platform::Graphics::Font> LGDIRenderer::MakeFont(const LFont& font, float size,
                                                               Platform::Graphics::FontUnit unit) {
  const std::u16string_view name = font.GetFaceName().View();
  if (!mFamily.known || mFamily.name != name) {
    mFamily = {std::u16string(name), Platform::Graphics::FontFamily::FromName(name), true};
  }
  if (mFamily.family) {
    if (auto made = Platform::Graphics::Font::Create(*mFamily.family, size, StyleOf(font), unit)) {
      return made;
    }
  }
  const auto generic = Platform::Graphics::FontFamily::GenericSansSerif();
  return generic ? Platform::Graphics::Font::Create(*generic, size, StyleOf(font), unit) : std::nullopt;
}

QZResult LGDIRenderer::DrawText(const WString& text, const LFont& font, const PointT<double>& position,
                                const ColorT<float>& color) {
  Platform::Graphics::Graphics* graphics = DrawingTarget();
  if (!graphics) {
    return QZ_FALSE;
  }
  if (const auto made = MakeFont(font, mTextScale * font.GetSize(), Platform::Graphics::FontUnit::Point)) {
    // The layout rectangle sits one pixel above the position asked.
    (void)graphics->DrawString(
        text.View(), *made, {float(position.x), float(position.y) - 1.0f, 0, 0},
        Platform::Graphics::Brush::Solid(ToGfxColor(color))); // drawing failures are not reported
  }
  return QZ_OK;
}

QZResult LGDIRenderer::GetFontMetrics(const LFont& font, int32_t& height, int32_t& ascent, int32_t& descent) {
  const auto made = MakeFont(font, font.GetSize(), Platform::Graphics::FontUnit::Pixel);
  if (!made) {
    return QZ_E_FAIL;
  }
  // The font's size is in points: at 96 pixels per inch a point is 96 / 72 pixels.
  constexpr double kPixelsPerPoint = 96.0 / 72.0;
  const double size = font.GetSize();
  const Platform::Graphics::FontFamily& family = made->Family();
  const double em = family.EmHeight(made->Style());
  height = RoundToInt32(made->GetHeight(72) * kPixelsPerPoint + 0.499);
  ascent = RoundToInt32(-(family.CellAscent(made->Style()) * size * kPixelsPerPoint) / em - 0.499);
  descent = RoundToInt32(family.CellDescent(made->Style()) * size * kPixelsPerPoint / em + 0.499);
  // Rounding both ends of the cell up can make it a pixel taller than the rounded line
  // spacing; a line always holds its cell.
  height = std::max(height, descent - ascent);
  return QZ_OK;
}

RectT<float> LGDIRenderer::MeasureText(const LFont& font, const WString& text) {
  const auto made = text.IsEmpty() || !mMeasuring ? std::nullopt
                                                  : MakeFont(font, font.GetSize(), Platform::Graphics::FontUnit::Point);
  if (!made) {
    return {};
  }
  int32_t height = 0;
  int32_t ascent = 0;
  int32_t descent = 0;
  GetFontMetrics(font, height, ascent, descent); // a font without metrics measures 0
  const Platform::Graphics::CharacterRange whole{0, int(text.GetLength())};
  Platform::Graphics::RectF box;
  // A box it cannot measure stays empty.
  (void)mMeasuring->MeasureCharacterRanges(text.View(), *made, {0, 0, 9999, 9999}, {&whole, 1}, {&box, 1});
  // Rounded up, with 3 pixels to spare (the screen is 96 pixels per inch, as measured).
  double width = std::trunc(double(box.x) + double(box.width) + 0.9999);
  if (width > 0) {
    width += 3;
  }
  return {0.0f, float(ascent), float(width), float(height)};
}

} // namespace QZ
