#pragma once
// QZ::Platform::Graphics::Brush (what fills shapes and text) and QZ::Platform::Graphics::Pen (what strokes lines).
//
//   auto red = Platform::Graphics::Brush::Solid(Platform::Graphics::Color::FromArgb(255, 255, 0, 0));
//   auto tiles = Platform::Graphics::Brush::Texture(*image, {0, 0, 10, 10});   // nullopt for an empty source
//
// Brushes are cheap to copy (texture brushes share one immutable pattern); a solid brush
// is only its colour.

#include <memory>
#include <optional>

#include "Platform/Graphics/GraphicsTypes.h"
#include "Platform/Graphics/Image.h"

namespace QZ::Platform::Graphics {

// Strokes are centred on the line; a pen narrower than one pixel strokes one pixel wide.
// Widths are in world units. Line ends are flat, corners mitred.
struct Pen {
  Color color;
  float width = 1;
};

class Brush {
public:
  static Brush Solid(Color color);
  // Repeats a copy of `source` (clamped to the image) across the plane, one copy's
  // top-left corner on the world origin. The brush keeps its own copy: later changes to
  // the image do not show. nullopt with InvalidParameter when nothing of the source lies
  // inside the image, ObjectBusy while the image is locked for writing, OutOfMemory.
  static std::optional<Brush> Texture(const Image& image, const Rect& source, Status* status = nullptr);

  bool IsSolid() const { return !mPattern; }
  // A solid brush's colour.
  Color SolidColor() const { return mColor; }
  // A texture brush's Cairo pattern (shared; do not change it); null for a solid brush.
  cairo_pattern_t* Pattern() const { return mPattern.get(); }

private:
  explicit Brush(Color color) : mColor(color) {}
  explicit Brush(std::shared_ptr<cairo_pattern_t> pattern) : mPattern(std::move(pattern)) {}

  std::shared_ptr<cairo_pattern_t> mPattern;
  Color mColor;
};

} // namespace QZ::Platform::Graphics
