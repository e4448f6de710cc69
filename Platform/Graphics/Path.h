#pragma once
// QZ::Platform::Graphics::Path: figures of straight lines, filled with the even-odd rule or stroked.
//
//   Platform::Graphics::Path path;
//   path.AddPolygon(points);                 // one closed figure
//   path.Transform(scale);                   // moves every point
//   graphics->FillPath(brush, path);
//
// A figure is open unless it was added as a polygon; filling closes every figure, stroking
// draws open figures open. A value type: copying clones the path.

#include <span>
#include <vector>

#include "Platform/Graphics/GraphicsTypes.h"
#include "Platform/Graphics/Matrix.h"

namespace QZ::Platform::Graphics {

class Path {
public:
  struct Figure {
    std::vector<PointF> points;
    bool closed = false;
  };

  // The next line starts a new figure instead of continuing the current one.
  void StartFigure() { mStartNew = true; }
  // Adds a line to the current figure; the figure's last point joins `from`.
  void AddLine(PointF from, PointF to);
  // Adds connected lines through the points to the current figure. InvalidParameter
  // (nothing added) for fewer than two points.
  Status AddLines(std::span<const PointF> points);
  // Adds a closed figure of its own. InvalidParameter (nothing added) for fewer than three
  // points.
  Status AddPolygon(std::span<const PointF> points);
  // Applies the matrix to every point.
  void Transform(const Matrix& matrix);

  const std::vector<Figure>& Figures() const { return mFigures; }
  bool IsEmpty() const { return mFigures.empty(); }

private:
  std::vector<PointF>& OpenFigure();

  std::vector<Figure> mFigures;
  bool mStartNew = true;
};

} // namespace QZ::Platform::Graphics
