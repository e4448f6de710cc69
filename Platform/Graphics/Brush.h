#pragma once
// QZ::Platform::Graphics::Brush (what fills shapes and text) and QZ::Platform::Graphics::Pen (what strokes lines).
//
//   auto red = Platform::Graphics::Brush::Solid(Platform::Graphics::Color::FromArgb(255, 255, 0, 0));
//   auto tiles = Platform::Graphics::Brush::Texture(*image, {0, 0, 10, 10});   // nullopt for an empty source
//
// Brushes are cheap to copy (copies share one immutable pattern).

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

  bool IsSolid() const { return mSolid; }
  // Cairo's pattern for this brush (shared; do not change it).
  cairo_pattern_t* Pattern() const { return mPattern.get(); }

private:
  Brush(std::shared_ptr<cairo_pattern_t> pattern, bool solid) : mPattern(std::move(pattern)), mSolid(solid) {}

  std::shared_ptr<cairo_pattern_t> mPattern;
  bool mSolid;
};

} // namespace QZ::Platform::Graphics
