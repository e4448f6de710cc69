#pragma once
// Rectangle intersections for painting, with each pair of edges in one SSE2 register: the
// same rectangles and answers as RectT<double>::Intersect for every input (NaN and signed
// zeros included), in fewer instructions. Painting intersects several rectangles with the
// clip per control.
//
//   QZ::RectT<double> common;
//   if (QZ::IntersectClip(common, frame, state.clip)) { ... }   // RectT<double>::Intersect
//   if (QZ::ClipKeeps(clip, frame, state.clip)) { ... }         // clip and frame hold state.clip

#include "QZFramework/Utilities/Graphics/Geometry.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace QZ {

#if defined(__SSE2__)
namespace ClipDetail {

// The corner (x, y) and the far edges (x + width, y + height) of a rectangle.
struct Edges {
  __m128d corner;
  __m128d far;
};

inline Edges EdgesOf(const RectT<double>& r) {
  const __m128d corner = _mm_set_pd(r.y, r.x);
  return {corner, _mm_add_pd(corner, _mm_set_pd(r.height, r.width))};
}

// MAXPD gives its first operand when it is the greater, else its second (a NaN or an equal
// first loses), as `a > b ? a : b` does; MINPD likewise for `a < b ? a : b`. A far edge
// not beyond the corner (or a NaN) gives a size of +0.
inline void Intersect(const Edges& a, const Edges& b, __m128d& corner, __m128d& size) {
  corner = _mm_max_pd(a.corner, b.corner);
  const __m128d far = _mm_min_pd(a.far, b.far);
  size = _mm_and_pd(_mm_cmpgt_pd(far, corner), _mm_sub_pd(far, corner));
}

} // namespace ClipDetail
#endif

[[gnu::always_inline]] inline bool IntersectClip(RectT<double>& out, const RectT<double>& a, const RectT<double>& b) {
#if defined(__SSE2__)
  __m128d corner;
  __m128d size;
  ClipDetail::Intersect(ClipDetail::EdgesOf(a), ClipDetail::EdgesOf(b), corner, size);
  out.x = _mm_cvtsd_f64(corner);
  out.y = _mm_cvtsd_f64(_mm_unpackhi_pd(corner, corner));
  out.width = _mm_cvtsd_f64(size);
  out.height = _mm_cvtsd_f64(_mm_unpackhi_pd(size, size));
  return _mm_movemask_pd(_mm_cmpgt_pd(size, _mm_setzero_pd())) == 3;
#else
  return RectT<double>::Intersect(out, a, b);
#endif
}

// Whether IntersectClip of IntersectClip(a, b) and current gives current again (compared
// as operator== does), without the rectangles in between leaving their registers.
[[gnu::always_inline]] inline bool ClipKeeps(const RectT<double>& a, const RectT<double>& b,
                                             const RectT<double>& current) {
#if defined(__SSE2__)
  using namespace ClipDetail;
  __m128d corner;
  __m128d size;
  Intersect(EdgesOf(a), EdgesOf(b), corner, size);
  const __m128d currentCorner = _mm_set_pd(current.y, current.x);
  const __m128d currentSize = _mm_set_pd(current.height, current.width);
  Intersect({corner, _mm_add_pd(corner, size)}, {currentCorner, _mm_add_pd(currentCorner, currentSize)}, corner, size);
  return _mm_movemask_pd(_mm_and_pd(_mm_cmpeq_pd(corner, currentCorner), _mm_cmpeq_pd(size, currentSize))) == 3;
#else
  RectT<double> r;
  RectT<double>::Intersect(r, a, b);
  RectT<double>::Intersect(r, r, current);
  return r == current;
#endif
}

} // namespace QZ
