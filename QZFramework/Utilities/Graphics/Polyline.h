#pragma once
// QZ::PolylineT<float>: the points and the line width of a line drawing (line segments,
// a polyline or a polygon, by the renderer slot that draws it).
//
//   QZ::PolylineT<float> outline;
//   outline.AddPoint({0, 0});
//   outline.AddPoint({10, 0});
//   outline.SetLineWidth(2.0f);
//   renderer->DrawPolyline(outline, colour, origin, scale, true);
//
// Renderers build a path or display list once per handle and keep it while the polyline
// is unchanged: every change sets the changed flag, and a renderer that finds it set
// (TakeChanged) rebuilds. A copy is a new drawing input with its own handle.
// Not synchronised: one thread at a time.

#include <cstdint>
#include <utility>
#include <vector>

#include "QZFramework/Utilities/Graphics/DrawingHandle.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"

namespace QZ {

template <class T>
class PolylineT {
public:
  PolylineT() = default;
  PolylineT(const PolylineT& other) : mPoints(other.mPoints), mLineWidth(other.mLineWidth) {}
  PolylineT& operator=(const PolylineT& other) {
    mPoints = other.mPoints;
    mLineWidth = other.mLineWidth;
    mChanged = true;
    return *this;
  }

  void AddPoint(const PointT<T>& point) {
    mPoints.push_back(point);
    mChanged = true;
  }
  // index must be below GetCount().
  void SetPoint(uint32_t index, const PointT<T>& point) {
    mPoints.at(index) = point;
    mChanged = true;
  }
  void Clear() {
    mPoints.clear();
    mChanged = true;
  }
  void SetLineWidth(float width) {
    mLineWidth = width;
    mChanged = true;
  }

  uint32_t GetCount() const { return uint32_t(mPoints.size()); }
  const std::vector<PointT<T>>& GetPoints() const { return mPoints; }
  float GetLineWidth() const { return mLineWidth; }
  int32_t GetHandle() const { return mHandle; }

  // Whether the polyline changed since the last call (or since it was made); clears it.
  bool TakeChanged() { return std::exchange(mChanged, false); }

private:
  std::vector<PointT<T>> mPoints;
  float mLineWidth = 1.0f;
  bool mChanged = true;
  int32_t mHandle = NewDrawingHandle();
};

} // namespace QZ
