#pragma once
// Raw Cairo drawing again what a window's frames drew (PaintRecorder.h), on an image
// surface: the reference of the paint benchmarks.
//
//   QZBench::CairoReplay replay;
//   const QZBench::CairoReplay::Frame frame = replay.Prepare(recorded);  // before timing
//   QZBench::CairoReplay::Draw(surface, frame);                          // timed
//
// Prepare makes what the drawing needs ahead: a premultiplied Cairo copy of each image;
// for a bitmap fitted to another size than its own, a copy scaled (bilinear, edges
// repeated), tiled or centred (nearest pixel) to that size by Cairo, once per bitmap and
// size, as the renderer keeps such copies; a bitmap whose drawn pixels are all one opaque
// colour becomes a fill of that colour; the font options the renderer's fonts use.
// Draw then does, through a cairo_t of its own on the surface, each primitive in order:
// fills as rectangles without antialiasing (a fill that replaces pixels with the SOURCE
// operator); bitmaps as their copies composited over the pixels drawn; texts clipped to
// their rectangle, with Cairo's font face set to the renderer's at the em size and
// cairo_show_text, which looks the glyphs up itself. Main thread.

#include <cairo.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "PaintRecorder.h"
#include "Platform/Graphics/CachedBitmap.h"

namespace QZBench {

class CairoReplay {
public:
  struct Operation {
    Primitive::Kind kind = Primitive::Kind::Fill;
    PixelBox box; // filled or blitted pixels; a text's clip
    double red = 0, green = 0, blue = 0, alpha = 0;
    bool replace = false;                // a fill that sets the pixels
    cairo_surface_t* source = nullptr;   // a bitmap's pixels (owned by the replay)
    double sourceX = 0, sourceY = 0;     // where the source's corner lands
    const TextPrimitive* text = nullptr; // the recorded frame's
  };
  struct Frame {
    std::vector<Operation> operations;
  };

  CairoReplay() : mFontOptions(cairo_font_options_create()) {
    // The options of the renderer's fonts (Platform/Graphics/FontRegistry.cpp).
    cairo_font_options_set_antialias(mFontOptions, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(mFontOptions, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(mFontOptions, CAIRO_HINT_METRICS_ON);
  }
  ~CairoReplay() {
    for (auto& [key, surface] : mFitted) {
      cairo_surface_destroy(surface);
    }
    cairo_font_options_destroy(mFontOptions);
  }
  CairoReplay(const CairoReplay&) = delete;
  CairoReplay& operator=(const CairoReplay&) = delete;

  // The operations of a recorded frame, which must outlive them; false in `ok` when an
  // image has no pixels to copy.
  Frame Prepare(const RecordedFrame& recorded, bool& ok) {
    Frame frame;
    for (const Primitive& primitive : recorded.primitives) {
      Operation operation;
      operation.kind = primitive.kind;
      switch (primitive.kind) {
      case Primitive::Kind::Fill:
        operation.box = primitive.fill.box;
        operation.replace = !primitive.fill.blend;
        SetColour(operation, primitive.fill.argb);
        break;
      case Primitive::Kind::Bitmap: {
        const BitmapPrimitive& bitmap = primitive.bitmap;
        operation.box = bitmap.box;
        operation.source = Fitted(bitmap, operation.sourceX, operation.sourceY);
        ok = ok && operation.source;
        // The renderer fills a bitmap of one opaque colour instead of blitting it: so does
        // the reference, lest it pay for pixel copies the editor does not make.
        if (const std::optional<uint32_t> colour = OneOpaqueColour(operation); colour) {
          operation.kind = Primitive::Kind::Fill;
          operation.source = nullptr;
          SetColour(operation, *colour);
        }
        break;
      }
      case Primitive::Kind::Text:
        operation.box = primitive.text.clip;
        operation.text = &primitive.text;
        SetColour(operation, primitive.text.argb);
        break;
      }
      frame.operations.push_back(operation);
    }
    return frame;
  }

  // Draws the frame's operations on surface, through a context of its own.
  [[gnu::noinline]] void Draw(cairo_surface_t* surface, const Frame& frame) const {
    cairo_t* cairo = cairo_create(surface);
    cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
    cairo_set_font_options(cairo, mFontOptions);
    for (const Operation& operation : frame.operations) {
      const PixelBox& box = operation.box;
      switch (operation.kind) {
      case Primitive::Kind::Fill:
        if (operation.replace) {
          cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
        }
        cairo_set_source_rgba(cairo, operation.red, operation.green, operation.blue, operation.alpha);
        cairo_rectangle(cairo, box.left, box.top, box.right - box.left, box.bottom - box.top);
        cairo_fill(cairo);
        if (operation.replace) {
          cairo_set_operator(cairo, CAIRO_OPERATOR_OVER);
        }
        break;
      case Primitive::Kind::Bitmap:
        cairo_set_source_surface(cairo, operation.source, operation.sourceX, operation.sourceY);
        cairo_rectangle(cairo, box.left, box.top, box.right - box.left, box.bottom - box.top);
        cairo_fill(cairo);
        break;
      case Primitive::Kind::Text: {
        const TextPrimitive& text = *operation.text;
        cairo_save(cairo);
        cairo_rectangle(cairo, box.left, box.top, box.right - box.left, box.bottom - box.top);
        cairo_clip(cairo);
        cairo_set_font_face(cairo, text.face);
        cairo_set_font_size(cairo, text.emPixels);
        cairo_set_source_rgba(cairo, operation.red, operation.green, operation.blue, operation.alpha);
        cairo_move_to(cairo, text.penX, text.penY);
        cairo_show_text(cairo, text.utf8.c_str());
        cairo_restore(cairo);
        break;
      }
      }
    }
    cairo_destroy(cairo);
    cairo_surface_flush(surface);
  }

private:
  static void SetColour(Operation& operation, uint32_t argb) {
    operation.alpha = (argb >> 24) / 255.0;
    operation.red = ((argb >> 16) & 0xFF) / 255.0;
    operation.green = ((argb >> 8) & 0xFF) / 255.0;
    operation.blue = (argb & 0xFF) / 255.0;
  }

  // The colour of the source pixels a bitmap operation draws, when they are all the same
  // and opaque (premultiplied and straight are then alike).
  static std::optional<uint32_t> OneOpaqueColour(const Operation& operation) {
    if (!operation.source || operation.box.IsEmpty()) {
      return std::nullopt;
    }
    cairo_surface_flush(operation.source);
    const unsigned char* data = cairo_image_surface_get_data(operation.source);
    const int stride = cairo_image_surface_get_stride(operation.source);
    const PixelBox& box = operation.box;
    const int32_t left = box.left - int32_t(operation.sourceX);
    const int32_t top = box.top - int32_t(operation.sourceY);
    const uint32_t first = reinterpret_cast<const uint32_t*>(data + ptrdiff_t(top) * stride)[left];
    if ((first >> 24) != 0xFF) {
      return std::nullopt;
    }
    for (int32_t y = top; y < top + (box.bottom - box.top); ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(data + ptrdiff_t(y) * stride);
      for (int32_t x = left; x < left + (box.right - box.left); ++x) {
        if (row[x] != first) {
          return std::nullopt;
        }
      }
    }
    return first;
  }

  // The whole image, premultiplied; null without pixels.
  cairo_surface_t* ImageSurface(const QZ::Platform::Graphics::Image* image) {
    std::unique_ptr<QZ::Platform::Graphics::CachedBitmap>& copy = mImages[image];
    if (!copy) {
      copy = QZ::Platform::Graphics::CachedBitmap::Create(*image);
    }
    return copy ? copy->Surface() : nullptr;
  }

  // The surface to blit for the bitmap and where its corner goes: the image itself at its
  // own size, else a copy fitted to the destination.
  cairo_surface_t* Fitted(const BitmapPrimitive& bitmap, double& x, double& y) {
    cairo_surface_t* whole = ImageSurface(bitmap.image);
    const PixelBox& from = bitmap.source;
    const PixelBox& to = bitmap.destination;
    const int32_t width = to.right - to.left;
    const int32_t height = to.bottom - to.top;
    if (!whole) {
      return nullptr;
    }
    if (width == from.right - from.left && height == from.bottom - from.top) {
      x = to.left - from.left;
      y = to.top - from.top;
      return whole;
    }
    x = to.left;
    y = to.top;
    const auto key = std::make_tuple(bitmap.image, from.left, from.top, from.right, from.bottom, width, height,
                                     int32_t(bitmap.resize));
    cairo_surface_t*& fitted = mFitted[key];
    if (fitted) {
      return fitted;
    }
    fitted = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_surface_t* area =
        cairo_surface_create_for_rectangle(whole, from.left, from.top, from.right - from.left, from.bottom - from.top);
    cairo_t* cairo = cairo_create(fitted);
    const double sourceWidth = from.right - from.left;
    const double sourceHeight = from.bottom - from.top;
    switch (bitmap.resize) {
    case QZ::ResizeType::Stretch:
      cairo_scale(cairo, width / sourceWidth, height / sourceHeight);
      cairo_set_source_surface(cairo, area, 0, 0);
      cairo_pattern_set_extend(cairo_get_source(cairo), CAIRO_EXTEND_PAD);
      cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_BILINEAR);
      break;
    case QZ::ResizeType::Tile:
      cairo_set_source_surface(cairo, area, 0, 0);
      cairo_pattern_set_extend(cairo_get_source(cairo), CAIRO_EXTEND_REPEAT);
      break;
    case QZ::ResizeType::Center:
      cairo_set_source_surface(cairo, area, (width - sourceWidth) * 0.5, (height - sourceHeight) * 0.5);
      cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_NEAREST);
      break;
    }
    cairo_paint(cairo);
    cairo_destroy(cairo);
    cairo_surface_destroy(area);
    cairo_surface_flush(fitted);
    return fitted;
  }

  cairo_font_options_t* mFontOptions;
  std::map<const QZ::Platform::Graphics::Image*, std::unique_ptr<QZ::Platform::Graphics::CachedBitmap>> mImages;
  std::map<
      std::tuple<const QZ::Platform::Graphics::Image*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t>,
      cairo_surface_t*>
      mFitted;
};

} // namespace QZBench
