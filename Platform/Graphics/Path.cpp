#include "Platform/Graphics/Path.h"

namespace QZ::Platform::Graphics {

std::vector<PointF>& Path::OpenFigure() {
  if (mStartNew || mFigures.empty() || mFigures.back().closed) {
    mFigures.emplace_back();
    mStartNew = false;
  }
  return mFigures.back().points;
}

void Path::AddLine(PointF from, PointF to) {
  std::vector<PointF>& points = OpenFigure();
  points.push_back(from);
  points.push_back(to);
}

Status Path::AddLines(std::span<const PointF> points) {
  if (points.size() < 2) {
    return Status::InvalidParameter;
  }
  std::vector<PointF>& figure = OpenFigure();
  figure.insert(figure.end(), points.begin(), points.end());
  return Status::Ok;
}

Status Path::AddPolygon(std::span<const PointF> points) {
  if (points.size() < 3) {
    return Status::InvalidParameter;
  }
  mFigures.push_back({{points.begin(), points.end()}, true});
  mStartNew = true;
  return Status::Ok;
}

void Path::Transform(const Matrix& matrix) {
  for (Figure& figure : mFigures) {
    for (PointF& point : figure.points) {
      point = matrix.TransformPoint(point);
    }
  }
}

} // namespace QZ::Platform::Graphics
