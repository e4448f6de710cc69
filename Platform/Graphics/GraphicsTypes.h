#pragma once
// Value types of the image and 2-D drawing layer: status codes, colours, points,
// rectangles and the mode enumerations. The numeric values of the modes are the ones
// the renderer code passes (smoothing 2 = high quality, interpolation 5 = nearest
// neighbour ...), so callers may convert plain integers with static_cast.

#include <cstdint>

namespace QZ::Platform::Graphics {

// Outcome of an operation. Objects also keep the last one (their "last status").
// (clang-format 14 misreads an attribute on an enum.)
// clang-format off
enum class [[nodiscard]] Status {
  Ok = 0,
  GenericError,       // the drawing library failed
  InvalidParameter,   // a bad argument: empty rectangle, out-of-range pixel, bad size
  OutOfMemory,        // an allocation failed or an image would be too large
  ObjectBusy,         // the image is locked in a way that forbids the operation
  WrongState,         // unlocking what is not locked, using an object that failed
  FileNotFound,       // the file cannot be opened or read
  UnknownImageFormat, // the bytes are not a PNG image this layer can decode
  FontFamilyNotFound, // no installed family answers to the name
};
// clang-format on

// A colour packed as 0xAARRGGBB, alpha straight (not premultiplied).
struct Color {
  uint32_t argb = 0;

  static constexpr Color FromArgb(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
    return Color{uint32_t{a} << 24 | uint32_t{r} << 16 | uint32_t{g} << 8 | uint32_t{b}};
  }
  constexpr uint8_t A() const { return static_cast<uint8_t>(argb >> 24); }
  constexpr uint8_t R() const { return static_cast<uint8_t>(argb >> 16); }
  constexpr uint8_t G() const { return static_cast<uint8_t>(argb >> 8); }
  constexpr uint8_t B() const { return static_cast<uint8_t>(argb); }
  friend constexpr bool operator==(Color, Color) = default;
};

struct PointF {
  float x = 0;
  float y = 0;
  friend constexpr bool operator==(PointF, PointF) = default;
};

// Whole-pixel rectangle {x, y, width, height}: covers x <= px < x + width.
struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  constexpr bool IsEmpty() const { return width <= 0 || height <= 0; }
  friend constexpr bool operator==(Rect, Rect) = default;
};

struct RectF {
  float x = 0;
  float y = 0;
  float width = 0;
  float height = 0;
  constexpr bool IsEmpty() const { return !(width > 0) || !(height > 0); }
  friend constexpr bool operator==(RectF, RectF) = default;
};

// Access asked of Image::LockBits; ReadWrite is both bits.
enum class LockMode { Read = 1, Write = 2, ReadWrite = 3 };

// Antialiasing of shapes: Default, HighSpeed and None draw aliased; HighQuality and
// AntiAlias antialias.
enum class SmoothingMode { Default = 0, HighSpeed = 1, HighQuality = 2, None = 3, AntiAlias = 4 };

// Filter for scaled images: NearestNeighbor samples, Default, LowQuality and Bilinear
// interpolate bilinearly, the high-quality and bicubic modes filter with Cairo's "good"
// filter (box-filtered when shrinking).
enum class InterpolationMode {
  Default = 0,
  LowQuality = 1,
  HighQuality = 2,
  Bilinear = 3,
  Bicubic = 4,
  NearestNeighbor = 5,
  HighQualityBilinear = 6,
  HighQualityBicubic = 7,
};

// Where pixel centres lie for shapes (rectangles, lines, paths). Default, HighSpeed and
// None put them on whole coordinates (a one-pixel pen along y = 5 covers row 5 exactly);
// Half and HighQuality put them on half coordinates (the same pen straddles rows 4 and 5).
// Images and text are unaffected: an unscaled image at whole coordinates copies exactly.
enum class PixelOffsetMode { Default = 0, HighSpeed = 1, HighQuality = 2, None = 3, Half = 4 };

// SourceOver blends onto the target; SourceCopy replaces it (alpha included).
enum class CompositingMode { SourceOver = 0, SourceCopy = 1 };

// Whether a new transform applies before (Prepend) or after (Append) the current one.
enum class MatrixOrder { Prepend = 0, Append = 1 };

// Font styles: bit 0 bold, bit 1 italic.
enum class FontStyle { Regular = 0, Bold = 1, Italic = 2, BoldItalic = 3 };

// Unit of a font's em size.
enum class FontUnit { Pixel, Point };

// A run of UTF-16 units of a text: units first .. first + length - 1.
struct CharacterRange {
  int first = 0;
  int length = 0;
};

} // namespace QZ::Platform::Graphics
