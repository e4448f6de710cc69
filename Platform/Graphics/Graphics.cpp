#include "Platform/Graphics/Graphics.h"

#include "Platform/Graphics/PixelCompositing.h"

#include <cairo.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <vector>

namespace QZ::Platform::Graphics {

namespace {

void Report(Status* status, Status value) {
  if (status != nullptr) {
    *status = value;
  }
}

// Nearest-neighbour sampling resolves a sample that falls exactly between two source
// pixels towards the lower one, which loses the last column of an image placed at a half
// pixel. Moving the samples by this fraction of a source pixel resolves such ties towards
// the higher one instead; the bilinear weights (7 bits) do not see it.
constexpr double kTieBreak = 1.0 / 256;

bool IsWhole(double value) { return value == std::floor(value); }

// A whole number well inside Cairo's fixed-point range (cheaper than IsWhole).
bool IsSmallWhole(double value) {
  constexpr double kFixedLimit = 4194304.0; // 2^22
  return std::fabs(value) < kFixedLimit && value == double(int32_t(value));
}

// Adds the tie break to a user-to-source matrix unless, with the world transform, it maps
// device pixels exactly onto source pixels.
void BreakSamplingTies(cairo_matrix_t& toSource, const Matrix& world) {
  cairo_matrix_t deviceToSource = world.ToCairo();
  if (cairo_matrix_invert(&deviceToSource) == CAIRO_STATUS_SUCCESS) {
    cairo_matrix_multiply(&deviceToSource, &deviceToSource, &toSource);
    if (deviceToSource.xx == 1 && deviceToSource.yy == 1 && deviceToSource.xy == 0 && deviceToSource.yx == 0 &&
        IsWhole(deviceToSource.x0) && IsWhole(deviceToSource.y0)) {
      return;
    }
  }
  toSource.x0 += kTieBreak;
  toSource.y0 += kTieBreak;
}

bool IsSmooth(SmoothingMode mode) { return mode == SmoothingMode::HighQuality || mode == SmoothingMode::AntiAlias; }

bool IsArgbImage(cairo_surface_t* surface) {
  return cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE &&
         cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
}

// The far edge of a rectangle's side, held within int.
int FarEdge(int edge, int size) { return int(std::clamp<int64_t>(int64_t(edge) + size, INT_MIN, INT_MAX)); }

// The part of a source rectangle that lies inside its image, as edges.
struct SourceEdges {
  int64_t left, top, right, bottom;
  bool IsEmpty() const { return right <= left || bottom <= top; }
};

SourceEdges WithinImage(const Image& image, const Rect& source) {
  return {std::max(source.x, 0), std::max(source.y, 0),
          std::min<int64_t>(int64_t{source.x} + source.width, image.Width()),
          std::min<int64_t>(int64_t{source.y} + source.height, image.Height())};
}

void SetSourceColor(cairo_t* cairo, Color color) {
  cairo_set_source_rgba(cairo, color.R() / 255.0, color.G() / 255.0, color.B() / 255.0, color.A() / 255.0);
}

} // namespace

Graphics::Graphics(Image* image, CairoSurface surface, CairoContext cairo)
    : mImage(image), mSurface(std::move(surface)), mCairo(std::move(cairo)),
      mTarget(cairo_get_target(mCairo.get())), mTargetPixels{0, 0, cairo_image_surface_get_width(mTarget),
                                                             cairo_image_surface_get_height(mTarget)},
      mTargetData(IsArgbImage(mTarget) ? cairo_image_surface_get_data(mTarget) : nullptr),
      mTargetStride(size_t(cairo_image_surface_get_stride(mTarget))), mClipPixels(mTargetPixels) {}

Graphics::~Graphics() = default;

std::unique_ptr<Graphics> Graphics::FromImage(Image& image, Status* status) {
  cairo_surface_t* surface = image.Surface();
  if (surface == nullptr) {
    Report(status, Status::OutOfMemory);
    return nullptr;
  }
  CairoContext cairo(cairo_create(surface));
  if (cairo_status(cairo.get()) != CAIRO_STATUS_SUCCESS) {
    Report(status, Status::OutOfMemory);
    return nullptr;
  }
  Report(status, Status::Ok);
  return std::unique_ptr<Graphics>(new Graphics(&image, nullptr, std::move(cairo)));
}

std::unique_ptr<Graphics> Graphics::FromPixels(void* pixels, int width, int height, int stride, Status* status) {
  if (pixels == nullptr || width < 1 || height < 1 || stride % 4 != 0 || int64_t{stride} < int64_t{width} * 4) {
    Report(status, Status::InvalidParameter);
    return nullptr;
  }
  CairoSurface surface(cairo_image_surface_create_for_data(static_cast<unsigned char*>(pixels), CAIRO_FORMAT_ARGB32,
                                                           width, height, stride));
  CairoContext cairo(cairo_create(surface.get()));
  if (cairo_status(cairo.get()) != CAIRO_STATUS_SUCCESS) {
    Report(status, Status::OutOfMemory);
    return nullptr;
  }
  Report(status, Status::Ok);
  return std::unique_ptr<Graphics>(new Graphics(nullptr, std::move(surface), std::move(cairo)));
}

Status Graphics::BeginDrawing() {
  const Status status = ReadyTarget();
  if (status == Status::Ok) {
    SyncClip();
  }
  return status;
}

Status Graphics::ReadyTarget() {
  if (cairo_status(mCairo.get()) != CAIRO_STATUS_SUCCESS) {
    return Status::GenericError;
  }
  if (mImage != nullptr) {
    if (mImage->mWriteLocked || mImage->mReadLocks > 0) {
      return Status::ObjectBusy;
    }
    if (mImage->TargetSurface() == nullptr) {
      return Status::OutOfMemory;
    }
  }
  return Status::Ok;
}

cairo_matrix_t Graphics::ShapeSpace() const {
  cairo_matrix_t matrix = mWorld.ToCairo();
  if (mPixelOffset != PixelOffsetMode::Half && mPixelOffset != PixelOffsetMode::HighQuality) {
    // Cairo's pixel centres lie on half coordinates; moving shapes by half a pixel on the
    // device puts them on whole coordinates.
    matrix.x0 += 0.5;
    matrix.y0 += 0.5;
  }
  return matrix;
}

void Graphics::UseWorldSpace(bool forShapes) {
  const cairo_matrix_t matrix = forShapes ? ShapeSpace() : mWorld.ToCairo();
  cairo_set_matrix(mCairo.get(), &matrix);
}

void Graphics::ApplyCompositing() {
  cairo_set_antialias(mCairo.get(), IsSmooth(mSmoothing) ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_set_operator(mCairo.get(),
                     mCompositing == CompositingMode::SourceCopy ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER);
}

cairo_t* Graphics::SaveAndComposite() {
  cairo_save(mCairo.get());
  ApplyCompositing();
  return mCairo.get();
}

Status Graphics::RestoreAfterComposite() {
  cairo_restore(mCairo.get());
  return RecordCairoStatus();
}

Status Graphics::RecordCairoStatus() {
  return Record(cairo_status(mCairo.get()) == CAIRO_STATUS_SUCCESS ? Status::Ok : Status::GenericError);
}

namespace {

cairo_filter_t ImageFilter(InterpolationMode interpolation) {
  switch (interpolation) {
  case InterpolationMode::NearestNeighbor:
    return CAIRO_FILTER_NEAREST;
  case InterpolationMode::Default:
  case InterpolationMode::LowQuality:
  case InterpolationMode::Bilinear:
    return CAIRO_FILTER_BILINEAR;
  default:
    return CAIRO_FILTER_GOOD;
  }
}

// The part of `source` (within a from-area of fromWidth x fromHeight) that lands inside a
// to-area of toWidth x toHeight when its corner goes to (x, y): the source clamped to its
// area, then the destination to its own, each moving the other's corner along.
struct PixelCopy {
  int64_t toLeft = 0;
  int64_t toTop = 0;
  int64_t width = 0;
  int64_t height = 0;
  int64_t fromLeft = 0; // the source column and row of the first pixel copied
  int64_t fromTop = 0;
  bool Empty() const { return width <= 0 || height <= 0; }
};

PixelCopy ClampCopy(const Rect& source, int64_t fromWidth, int64_t fromHeight, int64_t x, int64_t y, int64_t toWidth,
                    int64_t toHeight) {
  const int64_t fromLeft = std::max<int64_t>(source.x, 0);
  const int64_t fromTop = std::max<int64_t>(source.y, 0);
  const int64_t fromRight = std::min<int64_t>(int64_t{source.x} + source.width, fromWidth);
  const int64_t fromBottom = std::min<int64_t>(int64_t{source.y} + source.height, fromHeight);
  PixelCopy copy;
  copy.toLeft = std::max<int64_t>(x + (fromLeft - source.x), 0);
  copy.toTop = std::max<int64_t>(y + (fromTop - source.y), 0);
  copy.width = std::min<int64_t>(x + (fromRight - source.x), toWidth) - copy.toLeft;
  copy.height = std::min<int64_t>(y + (fromBottom - source.y), toHeight) - copy.toTop;
  copy.fromLeft = copy.toLeft - x + source.x;
  copy.fromTop = copy.toTop - y + source.y;
  return copy;
}

} // namespace

void Graphics::UseBrush(const Brush& brush) {
  UseWorldSpace(false);
  if (brush.IsSolid()) {
    SetSourceColor(mCairo.get(), brush.SolidColor());
    return;
  }
  cairo_matrix_t toSource;
  cairo_matrix_init_identity(&toSource);
  BreakSamplingTies(toSource, mWorld);
  cairo_pattern_set_matrix(brush.Pattern(), &toSource);
  cairo_pattern_set_filter(brush.Pattern(), ImageFilter(mInterpolation));
  cairo_set_source(mCairo.get(), brush.Pattern());
}

void Graphics::StrokeWith(const Pen& pen) {
  SetSourceColor(mCairo.get(), pen.color);
  cairo_set_line_width(mCairo.get(), std::max(pen.width, 1.0f));
  cairo_set_line_cap(mCairo.get(), CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(mCairo.get(), CAIRO_LINE_JOIN_MITER);
  cairo_stroke(mCairo.get());
}

void Graphics::AddFigures(const Path& path, bool closeAll) {
  cairo_new_path(mCairo.get());
  for (const Path::Figure& figure : path.Figures()) {
    if (figure.points.empty()) {
      continue;
    }
    cairo_move_to(mCairo.get(), figure.points.front().x, figure.points.front().y);
    for (size_t index = 1; index < figure.points.size(); ++index) {
      cairo_line_to(mCairo.get(), figure.points[index].x, figure.points[index].y);
    }
    if (closeAll || figure.closed) {
      cairo_close_path(mCairo.get());
    }
  }
}

void Graphics::ClipToLayout(const RectF& layout) {
  if (!(layout.width > 0) && !(layout.height > 0)) {
    return;
  }
  // The unlimited direction spans the whole target, expressed in world coordinates.
  cairo_surface_t* target = cairo_get_target(mCairo.get());
  const PointF offset = mWorld.Offset();
  double left = -offset.x;
  double top = -offset.y;
  double right = left + cairo_image_surface_get_width(target);
  double bottom = top + cairo_image_surface_get_height(target);
  if (layout.width > 0) {
    left = layout.x;
    right = double(layout.x) + layout.width;
  }
  if (layout.height > 0) {
    top = layout.y;
    bottom = double(layout.y) + layout.height;
  }
  cairo_rectangle(mCairo.get(), left, top, right - left, bottom - top);
  cairo_set_antialias(mCairo.get(), CAIRO_ANTIALIAS_NONE);
  cairo_clip(mCairo.get());
}

void Graphics::SyncClip() {
  if (mClipSync == ClipSync::Synced) {
    return;
  }
  cairo_t* cairo = mCairo.get();
  cairo_reset_clip(cairo);
  if (mClipSync == ClipSync::Box) {
    // The path SetClip would have given Cairo: the same device edges, whole numbers.
    cairo_identity_matrix(cairo);
    cairo_new_path(cairo);
    cairo_rectangle(cairo, mClipBox.left, mClipBox.top, double(mClipBox.right) - mClipBox.left,
                    double(mClipBox.bottom) - mClipBox.top);
    cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
    cairo_clip(cairo);
  }
  mClipSync = ClipSync::Synced;
}

Graphics::PixelBox Graphics::WithinTarget(const PixelBox& box) const {
  const PixelBox& target = mTargetPixels;
  PixelBox pixels;
  pixels.left = std::clamp(box.left, target.left, target.right);
  pixels.top = std::clamp(box.top, target.top, target.bottom);
  pixels.right = std::clamp(box.right, pixels.left, target.right);
  pixels.bottom = std::clamp(box.bottom, pixels.top, target.bottom);
  return pixels;
}

Status Graphics::SetClip(const RectF& rect) {
  if (cairo_status(mCairo.get()) != CAIRO_STATUS_SUCCESS) {
    return Record(Status::GenericError);
  }
  const cairo_matrix_t world = mWorld.ToCairo();
  if (world.xx == 1 && world.yy == 1 && world.xy == 0 && world.yx == 0 && rect.width >= 0 && rect.height >= 0) {
    const double left = rect.x + world.x0;
    const double top = rect.y + world.y0;
    const double right = left + rect.width;
    const double bottom = top + rect.height;
    if (IsSmallWhole(left) && IsSmallWhole(top) && IsSmallWhole(right) && IsSmallWhole(bottom)) {
      // Whole device pixels: Cairo's clip would hold exactly these, so it can wait.
      mClipBox = {int(left), int(top), int(right), int(bottom)};
      mClipSync = ClipSync::Box;
      mClipPixels = WithinTarget(mClipBox);
      return Record(Status::Ok);
    }
  }
  mClipSync = ClipSync::Synced;
  cairo_t* cairo = mCairo.get();
  cairo_reset_clip(cairo);
  UseWorldSpace(false);
  cairo_new_path(cairo);
  cairo_rectangle(cairo, rect.x, rect.y, rect.width, rect.height);
  cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
  cairo_clip(cairo);
  // The pixels the clip holds, as Cairo lists them in device space.
  mClipPixels.reset();
  cairo_identity_matrix(cairo);
  cairo_rectangle_list_t* list = cairo_copy_clip_rectangle_list(cairo);
  if (list->status == CAIRO_STATUS_SUCCESS && list->num_rectangles <= 1) {
    PixelBox pixels{}; // none
    if (list->num_rectangles == 1) {
      const cairo_rectangle_t& only = list->rectangles[0];
      const PixelBox target = TargetPixels();
      pixels.left = int(std::clamp<double>(only.x, target.left, target.right));
      pixels.top = int(std::clamp<double>(only.y, target.top, target.bottom));
      pixels.right = int(std::clamp<double>(only.x + only.width, pixels.left, target.right));
      pixels.bottom = int(std::clamp<double>(only.y + only.height, pixels.top, target.bottom));
    }
    mClipPixels = pixels;
  }
  cairo_rectangle_list_destroy(list);
  return Record(Status::Ok);
}

Status Graphics::ResetClip() {
  if (cairo_status(mCairo.get()) != CAIRO_STATUS_SUCCESS) {
    return Record(Status::GenericError);
  }
  mClipSync = ClipSync::Reset;
  mClipPixels = TargetPixels();
  return Record(Status::Ok);
}

Status Graphics::Clear(Color color) {
  if (Status status = ReadyTarget(); status != Status::Ok) {
    return Record(status);
  }
  if (mClipPixels && (color.A() == 255 || color.A() == 0)) {
    // Opaque or transparent: the premultiplied word is the colour itself, or 0.
    return Record(FillPixels(TargetPixels(), *mClipPixels, color.A() == 0 ? 0 : color.argb));
  }
  SyncClip();
  cairo_t* cairo = mCairo.get();
  cairo_save(cairo);
  cairo_identity_matrix(cairo);
  cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
  SetSourceColor(cairo, color);
  cairo_paint(cairo);
  cairo_restore(cairo);
  return Record(Status::Ok);
}

Status Graphics::DrawImage(const Image& image, const RectF& destination, const RectF& source) {
  if (destination.IsEmpty() || source.IsEmpty()) {
    return Record(Status::Ok);
  }
  const double left = std::round(source.x);
  const double top = std::round(source.y);
  const double right = std::round(double(source.x) + source.width);
  const double bottom = std::round(double(source.y) + source.height);
  const double clampedLeft = std::max(left, 0.0);
  const double clampedTop = std::max(top, 0.0);
  const double clampedRight = std::min<double>(right, image.Width());
  const double clampedBottom = std::min<double>(bottom, image.Height());
  if (clampedRight <= clampedLeft || clampedBottom <= clampedTop) {
    return Record(Status::Ok);
  }
  cairo_surface_t* surface = nullptr;
  if (Status status = BeginDrawingFrom(image, surface); status != Status::Ok) {
    return Record(status);
  }
  SyncClip();
  const double scaleX = destination.width / (right - left);
  const double scaleY = destination.height / (bottom - top);
  const double x = destination.x + (clampedLeft - left) * scaleX;
  const double y = destination.y + (clampedTop - top) * scaleY;

  CairoSurface area(cairo_surface_create_for_rectangle(surface, clampedLeft, clampedTop, clampedRight - clampedLeft,
                                                       clampedBottom - clampedTop));
  CairoPattern pattern(cairo_pattern_create_for_surface(area.get()));
  cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(pattern.get(), ImageFilter(mInterpolation));
  cairo_matrix_t toSource;
  cairo_matrix_init_scale(&toSource, 1 / scaleX, 1 / scaleY);
  cairo_matrix_translate(&toSource, -x, -y);
  BreakSamplingTies(toSource, mWorld);
  cairo_pattern_set_matrix(pattern.get(), &toSource);

  return Composite([&](cairo_t* cairo) {
    UseWorldSpace(false);
    cairo_set_source(cairo, pattern.get());
    cairo_rectangle(cairo, x, y, (clampedRight - clampedLeft) * scaleX, (clampedBottom - clampedTop) * scaleY);
    cairo_fill(cairo);
  });
}

Status Graphics::BeginDrawingFrom(const Image& image, cairo_surface_t*& surface) {
  if (image.mWriteLocked) {
    return Status::ObjectBusy;
  }
  if (Status status = ReadyTarget(); status != Status::Ok) {
    return status;
  }
  surface = image.Surface();
  return surface == nullptr ? Status::OutOfMemory : Status::Ok;
}

bool Graphics::BlitPixels(cairo_surface_t* source, const PixelBox& from, int left, int top, const PixelBox& clip,
                          bool copy) {
  cairo_surface_t* target = mTarget;
  if (source == target || mTargetData == nullptr || !IsArgbImage(source) || from.left < 0 || from.top < 0 ||
      from.right > cairo_image_surface_get_width(source) || from.bottom > cairo_image_surface_get_height(source)) {
    return false;
  }
  const int toLeft = std::max(left, clip.left);
  const int toTop = std::max(top, clip.top);
  const int toRight = std::min(left + (from.right - from.left), clip.right);
  const int toBottom = std::min(top + (from.bottom - from.top), clip.bottom);
  if (toRight <= toLeft || toBottom <= toTop) {
    return true;
  }
  cairo_surface_flush(source);
  cairo_surface_flush(target);
  const unsigned char* fromData = cairo_image_surface_get_data(source);
  if (fromData == nullptr) {
    return false;
  }
  const size_t fromStride = size_t(cairo_image_surface_get_stride(source));
  unsigned char* toData = mTargetData;
  const size_t toStride = mTargetStride;
  const size_t width = size_t(toRight - toLeft);
  const size_t height = size_t(toBottom - toTop);
  const unsigned char* in =
      fromData + size_t(from.top + toTop - top) * fromStride + size_t(from.left + toLeft - left) * 4;
  unsigned char* out = toData + size_t(toTop) * toStride + size_t(toLeft) * 4;
  if (copy) {
    for (size_t row = 0; row < height; ++row) {
      std::memcpy(out + row * toStride, in + row * fromStride, width * 4);
    }
  } else {
    OverRows(in, fromStride, out, toStride, width, height);
  }
  cairo_surface_mark_dirty_rectangle(target, toLeft, toTop, toRight - toLeft, toBottom - toTop);
  return true;
}

Status Graphics::CopyPixelsFrom(cairo_surface_t* source, double sourceLeft, double sourceTop, double left, double top,
                                double width, double height) {
  if (IsSmallWhole(sourceLeft) && IsSmallWhole(sourceTop) && IsSmallWhole(left) && IsSmallWhole(top) &&
      IsSmallWhole(width) && IsSmallWhole(height) &&
      BlitPixels(source, {int(sourceLeft), int(sourceTop), int(sourceLeft + width), int(sourceTop + height)}, int(left),
                 int(top))) {
    return Record(Status::Ok);
  }
  SyncClip();
  return Composite([&](cairo_t* cairo) {
    cairo_identity_matrix(cairo);
    cairo_set_source_surface(cairo, source, left - sourceLeft, top - sourceTop);
    cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cairo, left, top, width, height);
    cairo_fill(cairo);
  });
}

Status Graphics::DrawCachedBitmap(const CachedBitmap& bitmap, int x, int y) {
  if (Status status = ReadyTarget(); status != Status::Ok) {
    return Record(status);
  }
  const PointF device = mWorld.TransformPoint({float(x), float(y)});
  return CopyPixelsFrom(bitmap.Surface(), 0.0, 0.0, std::round(device.x), std::round(device.y), bitmap.Width(),
                        bitmap.Height());
}

Status Graphics::DrawImageUnscaled(const Image& image, const Rect& source, int x, int y) {
  const SourceEdges from = WithinImage(image, source);
  if (from.IsEmpty()) {
    return Record(Status::Ok);
  }
  cairo_surface_t* surface = nullptr;
  if (Status status = BeginDrawingFrom(image, surface); status != Status::Ok) {
    return Record(status);
  }
  const PointF device = mWorld.TransformPoint({float(x), float(y)});
  const double left = std::round(device.x) + double(from.left - source.x);
  const double top = std::round(device.y) + double(from.top - source.y);
  return CopyPixelsFrom(surface, double(from.left), double(from.top), left, top, double(from.right - from.left),
                        double(from.bottom - from.top));
}

bool Graphics::BlitImageOver(const Image& image, const Rect& source, int x, int y, const Rect& clip) {
  const SourceEdges from = WithinImage(image, source);
  if (from.IsEmpty()) {
    mLastStatus = Status::Ok;
    return true;
  }
  cairo_surface_t* surface = nullptr;
  return BeginDrawingFrom(image, surface) == Status::Ok &&
         BlitOver(surface, {int(from.left), int(from.top), int(from.right), int(from.bottom)},
                  x + (from.left - source.x), y + (from.top - source.y), clip);
}

bool Graphics::BlitCachedBitmapOver(const CachedBitmap& bitmap, int x, int y, const Rect& clip) {
  return ReadyTarget() == Status::Ok && BlitOver(bitmap.Surface(), {0, 0, bitmap.Width(), bitmap.Height()}, x, y, clip);
}

bool Graphics::BlitOver(cairo_surface_t* source, const PixelBox& from, int64_t left, int64_t top, const Rect& clip) {
  // The blit's far edges are worked out in int: a corner that far out is left to Cairo.
  constexpr int64_t kFar = INT_MAX / 2;
  if (left < -kFar || left > kFar || top < -kFar || top > kFar) {
    return false;
  }
  const PixelBox within = WithinTarget({clip.x, clip.y, FarEdge(clip.x, clip.width), FarEdge(clip.y, clip.height)});
  if (!BlitPixels(source, from, int(left), int(top), within, false)) {
    return false;
  }
  mLastStatus = Status::Ok;
  return true;
}

Status Graphics::FillRectangle(const Brush& brush, const RectF& rect) {
  if (rect.IsEmpty()) {
    return Record(Status::Ok);
  }
  if (Status status = ReadyTarget(); status != Status::Ok) {
    return Record(status);
  }
  if (brush.IsSolid()) {
    // The common case, kept free of a saved state: the rectangle is moved to the device
    // here, as Cairo would move it with the world transform (a translation), so that the
    // context's matrix can stay the identity.
    const Color color = brush.SolidColor();
    const cairo_matrix_t shapes = ShapeSpace();
    double left = rect.x + shapes.x0;
    double top = rect.y + shapes.y0;
    const bool wholeSize = IsSmallWhole(rect.width) && IsSmallWhole(rect.height);
    if (wholeSize && !IsSmooth(mSmoothing) && IsSmallWhole(left - 0.5) && IsSmallWhole(top - 0.5)) {
      // Aliased, Cairo rounds each edge half down to a pixel boundary: edges half a pixel
      // past whole coordinates fill the same pixels as those coordinates.
      left -= 0.5;
      top -= 0.5;
    }
    if (wholeSize && color.A() == 255 && mClipPixels && IsSmallWhole(left) && IsSmallWhole(top)) {
      // Whole pixels of an opaque colour: what Cairo would write, over or in place of
      // what is there, is the colour itself.
      return Record(
          FillPixels({int(left), int(top), int(left + rect.width), int(top + rect.height)}, *mClipPixels, color.argb));
    }
    SyncClip();
    cairo_t* cairo = mCairo.get();
    ApplyCompositing();
    cairo_identity_matrix(cairo);
    SetSourceColor(cairo, color);
    cairo_rectangle(cairo, left, top, rect.width, rect.height);
    cairo_fill(cairo);
    return RecordCairoStatus();
  }
  SyncClip();
  return Composite([&](cairo_t* cairo) {
    UseBrush(brush);
    UseWorldSpace(true);
    cairo_rectangle(cairo, rect.x, rect.y, rect.width, rect.height);
    cairo_fill(cairo);
  });
}

Status Graphics::FillOpaquePixels(const Rect& box, const Rect& clip, Color color) {
  if (color.A() != 255) {
    return Record(Status::InvalidParameter);
  }
  if (box.IsEmpty()) {
    return Record(Status::Ok);
  }
  if (Status status = ReadyTarget(); status != Status::Ok) {
    return Record(status);
  }
  const PixelBox within = WithinTarget({clip.x, clip.y, FarEdge(clip.x, clip.width), FarEdge(clip.y, clip.height)});
  return Record(FillPixels({box.x, box.y, FarEdge(box.x, box.width), FarEdge(box.y, box.height)}, within, color.argb));
}

Status Graphics::FillPixels(const PixelBox& box, const PixelBox& clip, uint32_t word) {
  const int left = std::max(box.left, clip.left);
  const int top = std::max(box.top, clip.top);
  const int right = std::min(box.right, clip.right);
  const int bottom = std::min(box.bottom, clip.bottom);
  if (right <= left || bottom <= top) {
    return Status::Ok;
  }
  cairo_surface_t* target = mTarget;
  cairo_surface_flush(target);
  unsigned char* data = mTargetData;
  const size_t stride = mTargetStride;
  // wchar_t is 32 bits here, so the C library's vectorised wide fill writes whole pixel rows.
  static_assert(sizeof(wchar_t) == sizeof(uint32_t));
  for (int y = top; y < bottom; ++y) {
    std::wmemset(reinterpret_cast<wchar_t*>(data + size_t(y) * stride) + left, wchar_t(word), size_t(right - left));
  }
  cairo_surface_mark_dirty_rectangle(target, left, top, right - left, bottom - top);
  return Status::Ok;
}

Status Graphics::CopyImageToPixels(const Image& image, const Rect& source, void* pixels, int width, int height,
                                   int stride, int x, int y) {
  if (pixels == nullptr || width < 1 || height < 1 || stride % 4 != 0 || int64_t{stride} < int64_t{width} * 4) {
    return Status::InvalidParameter;
  }
  if (image.mWriteLocked) {
    return Status::ObjectBusy;
  }
  const PixelCopy copy = ClampCopy(source, image.Width(), image.Height(), x, y, width, height);
  if (copy.Empty()) {
    return Status::Ok;
  }
  cairo_surface_t* surface = image.Surface();
  if (surface == nullptr) {
    return Status::OutOfMemory;
  }
  cairo_surface_flush(surface);
  const uint8_t* data = cairo_image_surface_get_data(surface);
  const size_t from = size_t(cairo_image_surface_get_stride(surface));
  for (int64_t row = 0; row < copy.height; ++row) {
    std::memcpy(static_cast<uint8_t*>(pixels) + size_t(copy.toTop + row) * size_t(stride) + size_t(copy.toLeft) * 4,
                data + size_t(copy.fromTop + row) * from + size_t(copy.fromLeft) * 4, size_t(copy.width) * 4);
  }
  return Status::Ok;
}

Status Graphics::CopyPixelsToImage(const void* pixels, int width, int height, int stride, const Rect& source,
                                   Image& image, int x, int y) {
  if (pixels == nullptr || width < 1 || height < 1 || stride % 4 != 0 || int64_t{stride} < int64_t{width} * 4) {
    return Status::InvalidParameter;
  }
  if (image.mWriteLocked || image.mReadLocks > 0) {
    return Status::ObjectBusy;
  }
  const PixelCopy copy = ClampCopy(source, width, height, x, y, image.Width(), image.Height());
  if (copy.Empty()) {
    return Status::Ok;
  }
  cairo_surface_t* surface = image.TargetSurface();
  if (surface == nullptr) {
    return Status::OutOfMemory;
  }
  cairo_surface_flush(surface);
  uint8_t* data = cairo_image_surface_get_data(surface);
  const size_t to = size_t(cairo_image_surface_get_stride(surface));
  for (int64_t row = 0; row < copy.height; ++row) {
    std::memcpy(data + size_t(copy.toTop + row) * to + size_t(copy.toLeft) * 4,
                static_cast<const uint8_t*>(pixels) + size_t(copy.fromTop + row) * size_t(stride) +
                    size_t(copy.fromLeft) * 4,
                size_t(copy.width) * 4);
  }
  cairo_surface_mark_dirty(surface);
  return Status::Ok;
}

Status Graphics::DrawRectangle(const Pen& pen, const RectF& rect) {
  if (rect.width < 0 || rect.height < 0) {
    return Record(Status::Ok);
  }
  if (Status status = BeginDrawing(); status != Status::Ok) {
    return Record(status);
  }
  return Composite([&](cairo_t* cairo) {
    UseWorldSpace(true);
    cairo_rectangle(cairo, rect.x, rect.y, rect.width, rect.height);
    StrokeWith(pen);
  });
}

Status Graphics::DrawLine(const Pen& pen, PointF from, PointF to) {
  if (Status status = BeginDrawing(); status != Status::Ok) {
    return Record(status);
  }
  return Composite([&](cairo_t* cairo) {
    UseWorldSpace(true);
    cairo_move_to(cairo, from.x, from.y);
    cairo_line_to(cairo, to.x, to.y);
    StrokeWith(pen);
  });
}

Status Graphics::FillPath(const Brush& brush, const Path& path) {
  if (Status status = BeginDrawing(); status != Status::Ok) {
    return Record(status);
  }
  return Composite([&](cairo_t* cairo) {
    UseBrush(brush);
    UseWorldSpace(true);
    cairo_set_fill_rule(cairo, CAIRO_FILL_RULE_EVEN_ODD);
    AddFigures(path, true);
    cairo_fill(cairo);
  });
}

Status Graphics::DrawPath(const Pen& pen, const Path& path) {
  if (Status status = BeginDrawing(); status != Status::Ok) {
    return Record(status);
  }
  return Composite([&](cairo_t*) {
    UseWorldSpace(true);
    AddFigures(path, false);
    StrokeWith(pen);
  });
}

Status Graphics::Flush() {
  cairo_surface_flush(mTarget);
  return RecordCairoStatus();
}

} // namespace QZ::Platform::Graphics
