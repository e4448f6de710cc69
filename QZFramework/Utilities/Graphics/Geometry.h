#pragma once
// QZ::PointT, QZ::SizeT and QZ::RectT: the plain geometry values of the drawing layer,
// and the conversions between their double and 32-bit integer forms.
//
//   QZ::PointT<double> p{2.5, -2.5};
//   QZ::PointT<int32_t> pixel = p.Round();          // (3, -3)
//   QZ::RectT<double> r{1.2, 1.7, 2.0, -1.0};
//   r.Normalize();                                   // (1, 0, 2, 1)
//   QZ::RectT<double> s{0.5, 0.0, 1.0, 1.0};
//   s.RoundEdges();                                  // (1, 0, 1, 1): edges 1 and 2
//
// Geometry is held in doubles; whole pixels are 32-bit integers. Rounding to pixels
// goes half away from zero and saturates at the 32-bit range; a NaN rounds to 0.
// Values only: no locking, any thread.

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace QZ {

// Rounds half away from zero to a 32-bit integer: below -2147483648 gives INT32_MIN,
// above 2147483647 gives INT32_MAX, NaN gives 0.
inline int32_t RoundToInt32(double value) {
  // Painting rounds several edges per control: the range test comes first, and a NaN fails it.
  if (value >= -2147483648.0 && value <= 2147483647.0) [[likely]] {
    return static_cast<int32_t>(value >= 0.0 ? value + 0.5 : value - 0.5);
  }
  if (std::isnan(value)) {
    return 0;
  }
  return value < 0.0 ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
}

// Whether each of the four values is a whole number of the 32-bit range (a negative zero
// counts), two at a time where SSE2 is there: painting asks it of nearly every rectangle and
// clip, and nearly all are. A false answer leaves the exact test to the caller.
inline bool AreWholeInt32(double a, double b, double c, double d) {
#if defined(__SSE2__)
  const __m128d first = _mm_set_pd(b, a);
  const __m128d second = _mm_set_pd(d, c);
  // A value comes back from a 32-bit integer unchanged only when it is one (out of range
  // and NaN come back as -2^31, which only -2^31 itself equals).
  const __m128d firstBack = _mm_cvtepi32_pd(_mm_cvttpd_epi32(first));
  const __m128d secondBack = _mm_cvtepi32_pd(_mm_cvttpd_epi32(second));
  return _mm_movemask_pd(_mm_and_pd(_mm_cmpeq_pd(first, firstBack), _mm_cmpeq_pd(second, secondBack))) == 3;
#else
  const auto whole = [](double v) { return v >= -2147483648.0 && v <= 2147483647.0 && double(int32_t(v)) == v; };
  return whole(a) && whole(b) && whole(c) && whole(d);
#endif
}

// Rounds half away from zero to a 64-bit integer: 0.5 is added to a value whose sign bit
// is clear and subtracted from one whose sign bit is set, then the sum is truncated. Values
// beyond the 64-bit range saturate; NaN gives 0.
inline int64_t RoundHalfAway(double value) {
  const double rounded = std::signbit(value) ? value - 0.5 : value + 0.5;
  if (std::isnan(rounded)) {
    return 0;
  }
  if (rounded <= -9223372036854775808.0) {
    return std::numeric_limits<int64_t>::min();
  }
  if (rounded >= 9223372036854775808.0) {
    return std::numeric_limits<int64_t>::max();
  }
  return static_cast<int64_t>(rounded);
}

// a + b clamped to the 32-bit range.
inline int32_t SaturatingAdd(int32_t a, int32_t b) {
  const int64_t sum = int64_t(a) + int64_t(b);
  if (sum > std::numeric_limits<int32_t>::max()) {
    return std::numeric_limits<int32_t>::max();
  }
  if (sum < std::numeric_limits<int32_t>::min()) {
    return std::numeric_limits<int32_t>::min();
  }
  return int32_t(sum);
}

template <class T>
struct PointT {
  T x{};
  T y{};

  // Both coordinates through RoundToInt32 (floating-point points only).
  PointT<int32_t> Round() const requires std::is_floating_point_v<T> {
    return {RoundToInt32(double(x)), RoundToInt32(double(y))};
  }

  // The X coordinate for axis 0, the Y coordinate for any other axis.
  T Axis(int32_t axis) const { return axis == 0 ? x : y; }

  // The same point in doubles (exact for every 32-bit and float coordinate).
  PointT<double> ToDouble() const { return {double(x), double(y)}; }

  // An integer point moved by a double offset that is first rounded to whole pixels;
  // the sum saturates at the 32-bit range.
  PointT<int32_t> operator+(const PointT<double>& offset) const requires std::is_same_v<T, int32_t> {
    const PointT<int32_t> delta = offset.Round();
    return {SaturatingAdd(x, delta.x), SaturatingAdd(y, delta.y)};
  }

  PointT operator+(const PointT& other) const requires std::is_floating_point_v<T> {
    return {x + other.x, y + other.y};
  }
  PointT operator-(const PointT& other) const requires std::is_floating_point_v<T> {
    return {x - other.x, y - other.y};
  }
  PointT operator-() const requires std::is_floating_point_v<T> { return {-x, -y}; }

  bool operator==(const PointT&) const = default;
};

template <class T>
struct SizeT {
  T width{};
  T height{};

  bool operator==(const SizeT&) const = default;
};

// {x, y, width, height}: the area x <= px < x + width, y <= py < y + height.
template <class T>
struct RectT {
  T x{};
  T y{};
  T width{};
  T height{};

  PointT<T> GetOrigin() const { return {x, y}; }
  SizeT<T> GetSize() const { return {width, height}; }

  // The same rectangle in doubles (exact for every 32-bit and float value).
  RectT<double> ToDouble() const { return {double(x), double(y), double(width), double(height)}; }

  // Makes width and height non-negative by moving x or y by them, then moves each edge
  // to floor(edge + |edge| * DBL_EPSILON): values a rounding error below a whole
  // number count as that number. Double rectangles only.
  void Normalize() requires std::is_same_v<T, double> {
    if (width < 0.0) {
      x += width;
      width = -width;
    }
    if (height < 0.0) {
      y += height;
      height = -height;
    }
    const double left = Snap(x);
    const double top = Snap(y);
    const double right = Snap(x + width);
    const double bottom = Snap(y + height);
    x = left;
    y = top;
    width = right - left;
    height = bottom - top;
  }

  // Snaps each edge to the nearest whole pixel (RoundHalfAway): left and right from x and
  // x + width, top and bottom likewise; width and height become the differences. Double
  // rectangles only.
  void RoundEdges() requires std::is_same_v<T, double> {
    const double left = double(RoundHalfAway(x));
    const double top = double(RoundHalfAway(y));
    const double right = double(RoundHalfAway(x + width));
    const double bottom = double(RoundHalfAway(y + height));
    x = left;
    y = top;
    width = right - left;
    height = bottom - top;
  }

  // Writes the intersection of a and b to out and returns whether it is non-empty.
  // An empty intersection has a width or a height of 0.
  // Inlined: painting intersects a score of rectangles per control, each a few instructions.
  [[gnu::always_inline]] static bool Intersect(RectT& out, const RectT& a,
                                               const RectT& b) requires std::is_floating_point_v<T> {
    const T left = a.x > b.x ? a.x : b.x;
    const T top = a.y > b.y ? a.y : b.y;
    const T right = a.x + a.width < b.x + b.width ? a.x + a.width : b.x + b.width;
    const T bottom = a.y + a.height < b.y + b.height ? a.y + a.height : b.y + b.height;
    out = {left, top, right > left ? right - left : T(0), bottom > top ? bottom - top : T(0)};
    return out.width > T(0) && out.height > T(0);
  }

  // The rectangle moved by (dx, dy).
  RectT Offset(T dx, T dy) const requires std::is_floating_point_v<T> { return {x + dx, y + dy, width, height}; }

  bool operator==(const RectT&) const = default;

private:
  static double Snap(double edge) {
    return std::floor(edge + std::fabs(edge) * std::numeric_limits<double>::epsilon());
  }
};

} // namespace QZ
