#pragma once
// What a window's paint draws into its dirty rectangles, as primitives in the window's
// pixels that raw Cairo can draw again (CairoReplay.h): the root window's tree painted
// into the same rectangles through a renderer that draws nothing and logs each drawing
// with the clip and origin in force, cut to the rectangles it reaches.
//
//   QZ::RCPtr<QZBench::PaintRecorder> recorder(new QZBench::PaintRecorder(root->GetRenderer()));
//   const QZBench::RecordedFrame frame = recorder->Record(*root, {{10, 20, 30, 40}});
//   frame.primitives;  // fills, bitmaps and texts, in drawing order
//   frame.unsupported; // drawings of other kinds that reach the rectangles
//
// Bitmaps and texts are kept as the renderer would draw them: a bitmap's image, source
// rectangle, destination and resize type, the corner placed as the renderer places it
// (moved by the origin and rounded); a text's Cairo face (the one the renderer's font
// draws with), em size in pixels, colour, and pen position of each line by the layout
// rule of Platform::Graphics::Graphics. A drawing is kept once for each dirty rectangle it
// reaches, with its clip cut to that rectangle (the rectangles never overlap). Lines,
// outlines, polylines and copies of render contexts are not kept: they are named in
// `unsupported` when they reach a rectangle. Main thread; the tree is only read.

#include <SDL2/SDL.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Graphics/Font.h"
#include "Platform/Graphics/FontRegistry.h"
#include "Platform/Graphics/Graphics.h"
#include "Platform/Graphics/Image.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/Renderer/Renderer.h"
#include "QZFramework/Utilities/Graphics/Bitmap.h"
#include "QZFramework/Utilities/Graphics/Font.h"

namespace QZBench {

// Whole pixels of the window: left and top inside, right and bottom outside.
struct PixelBox {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  bool IsEmpty() const { return right <= left || bottom <= top; }
  PixelBox Intersect(const PixelBox& other) const {
    return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
            std::min(bottom, other.bottom)};
  }
  int64_t Pixels() const { return IsEmpty() ? 0 : int64_t(right - left) * (bottom - top); }
};

struct FillPrimitive {
  PixelBox box;      // the pixels filled, within one dirty rectangle
  uint32_t argb = 0; // straight alpha
  bool blend = true; // false: the pixels take the colour, alpha included
};

struct BitmapPrimitive {
  const QZ::Platform::Graphics::Image* image = nullptr;
  PixelBox source;      // in the image
  PixelBox destination; // where the bitmap goes, fitted to its size
  QZ::ResizeType resize = QZ::ResizeType::Stretch;
  PixelBox box; // the pixels drawn: the destination within the clip
};

struct TextPrimitive {
  std::string utf8;                  // one line
  cairo_font_face_t* face = nullptr; // the renderer's, alive as long as the program
  double emPixels = 0;
  double penX = 0; // the baseline's start
  double penY = 0;
  uint32_t argb = 0;
  PixelBox clip; // within one dirty rectangle
};

struct Primitive {
  enum class Kind { Fill, Bitmap, Text };
  Kind kind = Kind::Fill;
  FillPrimitive fill;
  BitmapPrimitive bitmap;
  TextPrimitive text;
};

struct RecordedFrame {
  std::vector<SDL_Rect> rects;
  std::vector<Primitive> primitives;
  std::vector<std::string> unsupported;
};

class PaintRecorder : public QZ::LRenderer {
public:
  // measuring answers the measurements painting asks for (the window's own renderer).
  explicit PaintRecorder(QZ::RCPtr<QZ::LMeasurementRenderer> measuring) : mMeasuring(std::move(measuring)) {}

  // Paints root's tree into rects (window pixels) through this renderer, as the window's
  // own paint does.
  RecordedFrame Record(QZ::LRootWindow& root, const std::vector<SDL_Rect>& rects) {
    mFrame = {};
    mFrame.rects = rects;
    mRects.clear();
    QZ::RectListT<int32_t> region;
    for (const SDL_Rect& rect : rects) {
      region.AddRect({rect.x, rect.y, rect.x + rect.w, rect.y + rect.h});
      mRects.push_back({rect.x, rect.y, rect.x + rect.w, rect.y + rect.h});
    }
    QZ::EdgeRect bounds;
    if (!region.GetBounds(bounds)) {
      return std::move(mFrame);
    }
    const QZ::RCPtr<QZ::LRenderer> self(this);
    QZ::RCPtr<QZ::LRenderContextInfo> context(
        new Context({bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top}));
    RenderStart(context);
    root.Paint(self, region);
    RenderFinish(context);
    return std::move(mFrame);
  }

  QZ::QZResult GetFontMetrics(const QZ::LFont& font, int32_t& height, int32_t& ascent, int32_t& descent) override {
    return mMeasuring->GetFontMetrics(font, height, ascent, descent);
  }
  QZ::RectT<float> MeasureText(const QZ::LFont& font, const QZ::WString& text) override {
    return mMeasuring->MeasureText(font, text);
  }
  int32_t GetRendererType() override { return QZ::kRendererGDI; }
  [[nodiscard]] QZ::QZResult InitRenderContextInfo(const QZ::RectT<int32_t>& bounds, QZ::WindowHandle, bool,
                                                   QZ::RCPtr<QZ::LRenderContextInfo>& out) override {
    out = QZ::RCPtr<QZ::LRenderContextInfo>(new Context(bounds));
    return QZ::QZ_OK;
  }

  // Text with its layout rectangle's corner one pixel above the position, pen one sixth of
  // the em right of it, each line's baseline one cell ascent below its cell top.
  QZ::QZResult DrawText(const QZ::WString& text, const QZ::LFont& font, const QZ::PointT<double>& position,
                        const QZ::ColorT<float>& color) override {
    namespace Gfx = QZ::Platform::Graphics;
    const std::optional<Gfx::Font> made = MakeFont(font);
    const QZ::RenderState* state = GetCurrentState();
    if (!made || !state || text.IsEmpty()) {
      return QZ::QZ_OK;
    }
    const double em = made->EmPixels(Gfx::Graphics::kDpi);
    cairo_scaled_font_t* scaled = made->Face().ScaledFont(em);
    if (!scaled) {
      return QZ::QZ_OK;
    }
    const Gfx::detail::FaceMetrics& metrics = made->Face().Metrics();
    const double left = float(position.x) + float(state->origin.x) + em / 6;
    double baseline = float(position.y) - 1.0f + float(state->origin.y) + metrics.cellAscent * em / metrics.emHeight;
    const std::string all(text.ToUTF8().GetBuffer());
    for (size_t start = 0; start <= all.size();) {
      size_t end = all.find_first_of("\r\n", start);
      end = end == std::string::npos ? all.size() : end;
      TextPrimitive line{all.substr(start, end - start),
                         cairo_scaled_font_get_font_face(scaled),
                         em,
                         left,
                         baseline,
                         color.ToARGB(),
                         {}};
      if (!line.utf8.empty()) {
        cairo_text_extents_t ink;
        cairo_scaled_font_text_extents(scaled, line.utf8.c_str(), &ink);
        const PixelBox extent{int32_t(std::floor(left + ink.x_bearing)) - 1,
                              int32_t(std::floor(baseline + ink.y_bearing)) - 1,
                              int32_t(std::ceil(left + ink.x_bearing + ink.width)) + 1,
                              int32_t(std::ceil(baseline + ink.y_bearing + ink.height)) + 1};
        for (const PixelBox& clip : Clips(extent)) {
          line.clip = clip;
          Primitive primitive{Primitive::Kind::Text, {}, {}, line};
          mFrame.primitives.push_back(std::move(primitive));
        }
      }
      if (end == all.size()) {
        break;
      }
      start = end + (all.compare(end, 2, "\r\n") == 0 ? 2 : 1);
      baseline += metrics.lineSpacing * em / metrics.emHeight;
    }
    return QZ::QZ_OK;
  }
  QZ::QZResult FillRect(const QZ::RectT<int32_t>& rect, const QZ::ColorT<float>& color, bool blend) override {
    const QZ::RenderState* state = GetCurrentState();
    if (!state || rect.width <= 0 || rect.height <= 0) {
      return QZ::QZ_OK;
    }
    if (!blend) {
      // In the surface's pixels, cut to the dirty rectangles only.
      const PixelBox box{rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
      for (const PixelBox& dirty : mRects) {
        if (const PixelBox cut = box.Intersect(dirty); !cut.IsEmpty()) {
          mFrame.primitives.push_back({Primitive::Kind::Fill, {cut, color.ToARGB(), false}, {}, {}});
        }
      }
      return QZ::QZ_OK;
    }
    if (color.ToARGB() >> 24 == 0) {
      return QZ::QZ_OK;
    }
    const PixelBox box = Placed(rect);
    for (const PixelBox& clip : Clips(box)) {
      mFrame.primitives.push_back({Primitive::Kind::Fill, {box.Intersect(clip), color.ToARGB(), true}, {}, {}});
    }
    return QZ::QZ_OK;
  }
  QZ::QZResult DrawFilledRect(const QZ::RectT<int32_t>& rect, const QZ::ColorT<float>& fillColor,
                              const QZ::ColorT<float>& lineColor, float lineWidth) override {
    if (fillColor.alpha > 0.0f) {
      FillRect(rect, fillColor, true);
    }
    if (lineColor.alpha > 0.0f) {
      DrawRect(rect, lineColor, lineWidth);
    }
    return QZ::QZ_OK;
  }
  // Each entry a blended fill at origin, last to first, scaled and rounded.
  QZ::QZResult DrawColorRectList(QZ::ColorRectListT<float>& list, const QZ::PointT<double>& origin, bool) override {
    Translate(origin);
    const auto& entries = list.GetEntries();
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
      const QZ::RectT<float>& r = entry->rect;
      const float sx = list.GetScaleX();
      const float sy = list.GetScaleY();
      FillRect({QZ::RoundToInt32(r.x * sx), QZ::RoundToInt32(r.y * sy), QZ::RoundToInt32(r.width * sx),
                QZ::RoundToInt32(r.height * sy)},
               entry->color, true);
    }
    Translate(-origin);
    return QZ::QZ_OK;
  }
  QZ::QZResult DrawBitmap(const QZ::ConstRCPtr<QZ::LBitmap>& bitmap, const QZ::RectT<int32_t>& destination,
                          QZ::ResizeType resize) override {
    const QZ::Platform::Graphics::Image* image = bitmap ? bitmap->GetNativeBitmap() : nullptr;
    if (!image || !GetCurrentState() || destination.width <= 0 || destination.height <= 0) {
      return QZ::QZ_OK;
    }
    const QZ::RectT<int32_t>& source = bitmap->GetRect();
    const PixelBox placed = Placed(destination);
    for (const PixelBox& clip : Clips(placed)) {
      BitmapPrimitive drawn{image,
                            {source.x, source.y, source.x + source.width, source.y + source.height},
                            placed,
                            resize,
                            placed.Intersect(clip)};
      mFrame.primitives.push_back({Primitive::Kind::Bitmap, {}, std::move(drawn), {}});
    }
    return QZ::QZ_OK;
  }

  QZ::QZResult DrawRect(const QZ::RectT<int32_t>& rect, const QZ::ColorT<float>&, float lineWidth) override {
    return Unsupported("DrawRect", Grown(Placed(rect), lineWidth));
  }
  QZ::QZResult DrawLine(const QZ::PointT<double>& from, const QZ::PointT<double>& to, const QZ::ColorT<float>&,
                        float lineWidth) override {
    const QZ::RenderState* state = GetCurrentState();
    if (!state) {
      return QZ::QZ_OK;
    }
    const PixelBox box{int32_t(std::floor(std::min(from.x, to.x) + state->origin.x)),
                       int32_t(std::floor(std::min(from.y, to.y) + state->origin.y)),
                       int32_t(std::ceil(std::max(from.x, to.x) + state->origin.x)),
                       int32_t(std::ceil(std::max(from.y, to.y) + state->origin.y))};
    return Unsupported("DrawLine", Grown(box, lineWidth));
  }
  QZ::QZResult DrawLineSegments(QZ::PolylineT<float>&, const QZ::ColorT<float>&, const QZ::PointT<double>&,
                                const QZ::PointT<double>&, bool) override {
    return Unsupported("DrawLineSegments", Everywhere());
  }
  QZ::QZResult DrawPolyline(QZ::PolylineT<float>&, const QZ::ColorT<float>&, const QZ::PointT<double>&,
                            const QZ::PointT<double>&, bool) override {
    return Unsupported("DrawPolyline", Everywhere());
  }
  QZ::QZResult DrawPolygon(QZ::PolylineT<float>&, const QZ::ColorT<float>&, const QZ::PointT<double>&,
                           const QZ::PointT<double>&, bool) override {
    return Unsupported("DrawPolygon", Everywhere());
  }
  QZ::QZResult FillPolygon(QZ::PolylineT<float>&, const QZ::ColorT<float>&, const QZ::PointT<double>&,
                           const QZ::PointT<double>&, bool) override {
    return Unsupported("FillPolygon", Everywhere());
  }
  QZ::QZResult DrawRenderContext(const QZ::RCPtr<QZ::LRenderContextInfo>&, const QZ::PointT<int32_t>&,
                                 const QZ::RectT<int32_t>&) override {
    return Unsupported("DrawRenderContext", Everywhere());
  }
  QZ::QZResult PresentRenderContext(const QZ::RCPtr<QZ::LRenderContextInfo>&, const QZ::PointT<int32_t>&) override {
    return Unsupported("PresentRenderContext", Everywhere());
  }

private:
  class Context : public QZ::LRenderContextInfo {
  public:
    explicit Context(const QZ::RectT<int32_t>& bounds) : QZ::LRenderContextInfo(bounds, nullptr, false) {}
    QZ::SizeT<int32_t> GetMaxSurfaceSize() const override { return {16384, 16384}; }
  };

  // The renderer's font for the face name, else the generic sans-serif one.
  static std::optional<QZ::Platform::Graphics::Font> MakeFont(const QZ::LFont& font) {
    namespace Gfx = QZ::Platform::Graphics;
    const auto style = static_cast<Gfx::FontStyle>(font.GetStyle() & 3);
    if (const auto named = Gfx::FontFamily::FromName(font.GetFaceName().View())) {
      if (auto made = Gfx::Font::Create(*named, font.GetSize(), style, Gfx::FontUnit::Point)) {
        return made;
      }
    }
    const auto generic = Gfx::FontFamily::GenericSansSerif();
    return generic ? Gfx::Font::Create(*generic, font.GetSize(), style, Gfx::FontUnit::Point) : std::nullopt;
  }

  // A rectangle of the current coordinates in window pixels, its corner moved by the origin
  // and rounded as the renderer places its blits.
  PixelBox Placed(const QZ::RectT<int32_t>& rect) const {
    const QZ::RenderState& state = *GetCurrentState();
    const int32_t left = int32_t(std::round(float(rect.x + state.origin.x)));
    const int32_t top = int32_t(std::round(float(rect.y + state.origin.y)));
    return {left, top, left + rect.width, top + rect.height};
  }
  static PixelBox Grown(const PixelBox& box, float lineWidth) {
    const int32_t margin = 1 + int32_t(std::ceil(std::abs(lineWidth)));
    return {box.left - margin, box.top - margin, box.right + margin, box.bottom + margin};
  }
  static PixelBox Everywhere() { return {INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2}; }

  // The current clip in window pixels (those whose centres it holds) cut to each dirty
  // rectangle that extent reaches.
  std::vector<PixelBox> Clips(const PixelBox& extent) const {
    const QZ::RenderState& state = *GetCurrentState();
    const QZ::RectT<double> device = state.clip.Offset(state.origin.x, state.origin.y);
    auto edge = [](double value) {
      return int32_t(std::clamp(std::ceil(value - 0.5), double(INT32_MIN / 2), double(INT32_MAX / 2)));
    };
    const PixelBox clip{edge(device.x), edge(device.y), edge(device.x + device.width), edge(device.y + device.height)};
    std::vector<PixelBox> clips;
    for (const PixelBox& dirty : mRects) {
      if (const PixelBox cut = clip.Intersect(dirty); !cut.IsEmpty() && !cut.Intersect(extent).IsEmpty()) {
        clips.push_back(cut);
      }
    }
    return clips;
  }

  QZ::QZResult Unsupported(const char* name, const PixelBox& extent) {
    if (GetCurrentState() && !Clips(extent).empty()) {
      mFrame.unsupported.emplace_back(name);
    }
    return QZ::QZ_OK;
  }

  QZ::RCPtr<QZ::LMeasurementRenderer> mMeasuring;
  RecordedFrame mFrame;
  std::vector<PixelBox> mRects;
};

} // namespace QZBench
