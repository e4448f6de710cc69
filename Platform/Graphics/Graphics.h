#pragma once
// QZ::Platform::Graphics::Graphics: draws on an Image or on a caller's premultiplied pixel buffer (a
// window surface), through Cairo.
//
//   auto graphics = Platform::Graphics::Graphics::FromImage(*image);
//   graphics->TranslateWorldTransform(10, 0);
//   graphics->SetClip({0, 0, 50, 50});                 // fixed in device space from now on
//   graphics->FillRectangle(Platform::Graphics::Brush::Solid(color), {0, 0, 20, 20});
//   graphics->DrawString(u"Hi", *font, {10, 20, 0, 0}, textBrush);
//
// State: smoothing, interpolation, pixel-offset and compositing modes (GraphicsTypes.h),
// a world transform made of translations, and a clip rectangle. Coordinates are world
// coordinates; the device is the target's pixels at 96 dots per inch.
//
// Text layout rule, shared by drawing and measuring (the rule of GDI+ without a string
// format): the pen of each line starts one sixth of the em size right of the layout
// rectangle's left edge; the first line's cell top is the layout rectangle's top, so its
// baseline lies one cell ascent below it; each further line follows one line spacing
// lower. Cell ascent and line spacing are the face's design metrics scaled to the em size
// (Font.h). A character range covers, on each line it touches, its characters' advances
// horizontally and the line's cell (line spacing tall) vertically. MeasureString adds the
// one-sixth-em padding on both sides; trailing spaces always count. A layout rectangle
// with width or height 0 does not limit the text in that direction; a positive one clips
// drawn text and measured boxes to it. Nothing wraps: lines break only at "\r\n", "\n"
// and "\r". Texts are UTF-16; lone surrogates show as U+FFFD.
//
// Every operation returns its Status and keeps it as the last status. An image being
// drawn on must outlive its Graphics, and a pixel buffer must stay valid while its
// Graphics is used. Main thread only.

#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "Platform/Graphics/Brush.h"
#include "Platform/Graphics/CachedBitmap.h"
#include "Platform/Graphics/CairoHandles.h"
#include "Platform/Graphics/Font.h"
#include "Platform/Graphics/GraphicsTypes.h"
#include "Platform/Graphics/Image.h"
#include "Platform/Graphics/Matrix.h"
#include "Platform/Graphics/Path.h"

namespace QZ::Platform::Graphics {

class Graphics {
public:
  static constexpr float kDpi = 96;

  // Draws on the image (whose pixels then follow lazily, see Image.h). Null with
  // OutOfMemory when Cairo cannot make the image's surface.
  static std::unique_ptr<Graphics> FromImage(Image& image, Status* status = nullptr);
  // Draws on width x height premultiplied ARGB32 pixels (32-bit words in native byte
  // order, alpha in the top byte; on x86 the bytes are B, G, R, A), rows `stride` bytes
  // apart: the layout of an SDL window surface. Null with InvalidParameter for a null
  // buffer, a side below 1, or a stride below width x 4 or not a multiple of 4.
  static std::unique_ptr<Graphics> FromPixels(void* pixels, int width, int height, int stride,
                                              Status* status = nullptr);

  ~Graphics();
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  Status LastStatus() const { return mLastStatus; }
  float DpiX() const { return kDpi; }
  float DpiY() const { return kDpi; }

  void SetSmoothingMode(SmoothingMode mode) { mSmoothing = mode; }
  SmoothingMode GetSmoothingMode() const { return mSmoothing; }
  void SetInterpolationMode(InterpolationMode mode) { mInterpolation = mode; }
  InterpolationMode GetInterpolationMode() const { return mInterpolation; }
  void SetPixelOffsetMode(PixelOffsetMode mode) { mPixelOffset = mode; }
  PixelOffsetMode GetPixelOffsetMode() const { return mPixelOffset; }
  void SetCompositingMode(CompositingMode mode) { mCompositing = mode; }
  CompositingMode GetCompositingMode() const { return mCompositing; }

  void ResetWorldTransform() { mWorld = Matrix(); }
  void TranslateWorldTransform(float dx, float dy, MatrixOrder order = MatrixOrder::Prepend) {
    mWorld.Translate(dx, dy, order);
  }
  // ResetWorldTransform, then TranslateWorldTransform(dx, dy).
  void SetWorldTranslation(float dx, float dy) { mWorld = Matrix::Translation(dx, dy); }
  const Matrix& WorldTransform() const { return mWorld; }

  // Replaces the clip by `rect` in world coordinates; it stays where it is on the device
  // when the world transform changes later. A pixel is inside when its centre is.
  Status SetClip(const RectF& rect);
  // No clip: the whole target.
  Status ResetClip();

  // Sets every pixel inside the clip to the colour (alpha replaced, not blended).
  Status Clear(Color color);

  // Copies `source` of the image (clamped to the image) unscaled into width x height pixels
  // of FromPixels' layout, its top-left corner at (x, y); pixels falling outside them are
  // left out. The copied pixels replace what was there, premultiplied, alpha included:
  // what DrawImage of a Graphics on those pixels leaves in SourceCopy mode, without clip
  // or transform, but without making one. InvalidParameter for pixels FromPixels refuses,
  // ObjectBusy while the image is locked for writing, OutOfMemory when Cairo cannot make
  // its premultiplied pixels.
  static Status CopyImageToPixels(const Image& image, const Rect& source, void* pixels, int width, int height,
                                  int stride, int x, int y);
  // The other way: copies `source` of width x height pixels of FromPixels' layout
  // (clamped to them) unscaled into the image, its top-left corner at (x, y); pixels
  // falling outside the image are left out, the copied ones replace what was there.
  // InvalidParameter for pixels FromPixels refuses, ObjectBusy while the image is locked,
  // OutOfMemory when Cairo cannot make its premultiplied pixels.
  static Status CopyPixelsToImage(const void* pixels, int width, int height, int stride, const Rect& source,
                                  Image& image, int x, int y);

  // Draws `source` (in image pixels, rounded to whole pixels and clamped to the image)
  // stretched onto `destination`; the destination shrinks with the clamped source. Pixels
  // beyond the source's edges repeat its edge pixels, so nothing of the image around it
  // bleeds in. A target pixel samples the source under its centre; a sample exactly
  // between two source pixels takes the right or lower one, so an image placed at a half
  // pixel keeps every pixel (drawn half a pixel up and left). Empty rectangles draw
  // nothing. ObjectBusy while the image is locked for writing, or, when the image is this
  // Graphics' own target, locked at all.
  Status DrawImage(const Image& image, const RectF& destination, const RectF& source);
  // Blits the bitmap unscaled with its top-left corner at (x, y) moved by the world
  // translation and rounded to whole pixels.
  Status DrawCachedBitmap(const CachedBitmap& bitmap, int x, int y);
  // Blits `source` of the image (clamped to the image) the same way, straight from the
  // image's premultiplied pixels: what DrawCachedBitmap of a copy of that area draws,
  // without the copy. ObjectBusy while the image is locked for writing.
  Status DrawImageUnscaled(const Image& image, const Rect& source, int x, int y);
  // What DrawImageUnscaled draws in SourceOver mode under an identity world transform and
  // a clip of clip's pixels, with the corner at the device pixel (x, y): straight in
  // memory, leaving the transform and clip as they are here. False, nothing drawn, when it
  // cannot be done so (the image locked, not premultiplied pixels in memory, or the target
  // itself; the target failed): the caller draws through the transform and clip instead.
  bool BlitImageOver(const Image& image, const Rect& source, int x, int y, const Rect& clip);
  // The same for the cached bitmap, its top-left corner at the device pixel (x, y).
  bool BlitCachedBitmapOver(const CachedBitmap& bitmap, int x, int y, const Rect& clip);

  Status FillRectangle(const Brush& brush, const RectF& rect);
  // Sets the pixels of box that lie inside clip (both in device pixels) and the target to
  // an opaque colour: what FillRectangle of box draws without smoothing, under an identity
  // world transform and a clip of clip's pixels, left as they are here. InvalidParameter,
  // nothing drawn, for a colour that is not opaque.
  Status FillOpaquePixels(const Rect& box, const Rect& clip, Color color);
  Status DrawRectangle(const Pen& pen, const RectF& rect);
  Status DrawLine(const Pen& pen, PointF from, PointF to);
  // Fills with the even-odd rule.
  Status FillPath(const Brush& brush, const Path& path);
  Status DrawPath(const Pen& pen, const Path& path);

  // Draws the text by the layout rule above.
  Status DrawString(std::u16string_view text, const Font& font, const RectF& layout, const Brush& brush);
  // The text's box by the layout rule: {layout x, layout y, padding + widest line +
  // padding, lines x line spacing}; {layout x, layout y, 0, 0} for an empty text.
  Status MeasureString(std::u16string_view text, const Font& font, const RectF& layout, RectF& bounds);
  // For each range, the bounding box of its characters by the layout rule ({0, 0, 0, 0}
  // when it covers no advance). InvalidParameter (nothing measured) when a range reaches
  // outside the text or `bounds` is shorter than `ranges`.
  Status MeasureCharacterRanges(std::u16string_view text, const Font& font, const RectF& layout,
                                std::span<const CharacterRange> ranges, std::span<RectF> bounds);

  // Completes pending drawing, so that the target's pixels can be read.
  Status Flush();

private:
  // Whole pixels of the target, left and top inside, right and bottom outside.
  struct PixelBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
  };

  Graphics(Image* image, CairoSurface surface, CairoContext cairo);

  PixelBox TargetPixels() const { return mTargetPixels; }
  // The part of a device box inside the target (empty boxes keep their corner within it).
  PixelBox WithinTarget(const PixelBox& box) const;
  // Sets the box's pixels inside clip to a premultiplied word, straight in the target's
  // memory.
  Status FillPixels(const PixelBox& box, const PixelBox& clip, uint32_t word);

  Status Record(Status status) {
    mLastStatus = status;
    return status;
  }
  // Ok, or GenericError when the context has failed.
  Status RecordCairoStatus();
  // Readies the target for an operation that changes it; Ok or the reason not to draw.
  Status ReadyTarget();
  // ReadyTarget, then the clip handed to Cairo: for operations that draw through Cairo.
  Status BeginDrawing();
  // ReadyTarget for drawing from image, with its premultiplied surface: Ok, ObjectBusy
  // while it is write-locked, OutOfMemory without a surface, or ReadyTarget's reason. The
  // clip still waits for SyncClip.
  Status BeginDrawingFrom(const Image& image, cairo_surface_t*& surface);
  // Copies the source's pixels from (sourceLeft, sourceTop) to the device rectangle at
  // (left, top), unscaled and unfiltered: straight in memory where BlitPixels can, else
  // through Composite.
  Status CopyPixelsFrom(cairo_surface_t* source, double sourceLeft, double sourceTop, double left, double top,
                        double width, double height);
  // The source's pixels of `from` composited (or copied, in SourceCopy mode) at the device
  // point (left, top) inside the clip, straight in the target's memory, with Cairo's
  // results to the bit; false, drawing nothing, when the clip is not one rectangle, either
  // surface is not premultiplied ARGB in memory, they are the same, or `from` reaches
  // outside the source.
  bool BlitPixels(cairo_surface_t* source, const PixelBox& from, int left, int top) {
    return mClipPixels &&
           BlitPixels(source, from, left, top, *mClipPixels, mCompositing == CompositingMode::SourceCopy);
  }
  // The same inside clip (within the target), copying or compositing as told.
  bool BlitPixels(cairo_surface_t* source, const PixelBox& from, int left, int top, const PixelBox& clip, bool copy);
  // BlitPixels over the pixels of clip (device pixels) with the corner at (left, top): the
  // body of BlitImageOver and BlitCachedBitmapOver, which ready the target.
  bool BlitOver(cairo_surface_t* source, const PixelBox& from, int64_t left, int64_t top, const Rect& clip);
  // Hands a clip that SetClip or ResetClip kept to Cairo.
  void SyncClip();
  // The world transform, moved by half a pixel when the pixel-offset mode puts pixel
  // centres on whole coordinates: the user space of shapes.
  cairo_matrix_t ShapeSpace() const;
  // Sets the user space to the world transform, or to ShapeSpace() for shapes.
  void UseWorldSpace(bool forShapes);
  void ApplyCompositing();
  // Every drawing operation sets the parts of the context's state it draws with (matrix,
  // source, compositing settings); the clip is SetClip's alone. An operation that changes
  // anything else (the clip to a text layout, line settings, the fill rule, the font)
  // does so through Composite.
  //
  // Runs draw(context) with the compositing settings applied, restoring the context's
  // state afterwards; records Ok, or GenericError when Cairo refused the drawing.
  template <class Draw>
  Status Composite(Draw draw) {
    draw(SaveAndComposite());
    return RestoreAfterComposite();
  }
  // Composite's two halves: saves the context's state and applies the compositing
  // settings; restores the state and records the drawing's outcome.
  cairo_t* SaveAndComposite();
  Status RestoreAfterComposite();
  // Sets the brush as source, locked to world space.
  void UseBrush(const Brush& brush);
  void StrokeWith(const Pen& pen);
  void AddFigures(const Path& path, bool closeAll);
  void ClipToLayout(const RectF& layout);

  Image* mImage; // the target image, or null for a pixel buffer
  CairoSurface mSurface;
  CairoContext mCairo;
  // The context's target and its pixels, for the life of the context: the direct fills of
  // every frame would otherwise ask Cairo for them each time.
  cairo_surface_t* mTarget;
  PixelBox mTargetPixels;
  unsigned char* mTargetData; // null unless premultiplied ARGB in memory
  size_t mTargetStride;
  Matrix mWorld;
  SmoothingMode mSmoothing = SmoothingMode::Default;
  InterpolationMode mInterpolation = InterpolationMode::Default;
  PixelOffsetMode mPixelOffset = PixelOffsetMode::Default;
  CompositingMode mCompositing = CompositingMode::SourceOver;
  Status mLastStatus = Status::Ok;
  // The pixels the clip holds (the whole target without a clip); none when Cairo cannot
  // list them as one rectangle.
  std::optional<PixelBox> mClipPixels;
  // A clip of whole device pixels (or none) is kept here and reaches Cairo only when
  // Cairo next draws: the direct fills and copies do without, and painting sets clips far
  // more often than Cairo draws.
  enum class ClipSync { Synced, Reset, Box };
  ClipSync mClipSync = ClipSync::Synced;
  PixelBox mClipBox; // the device rectangle of ClipSync::Box, not clamped to the target
};

} // namespace QZ::Platform::Graphics
