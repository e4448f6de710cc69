// Line drawings: polylines become paths, kept per polyline while it is unchanged.
#include <algorithm>
#include <cmath>
#include <vector>

#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "QZFramework/Renderer/Gdi/GDIRendererSupport.h"

namespace QZ {

namespace {

Platform::Graphics::PointF ToPointF(const PointT<float>& point) { return {point.x, point.y}; }

} // namespace

LGDIRenderer::LGraphicsPath::LGraphicsPath(Shape shape, const PolylineT<float>& polyline) : mShape(shape) {
  const std::vector<PointT<float>>& points = polyline.GetPoints();
  std::vector<Platform::Graphics::PointF> converted(points.size());
  std::transform(points.begin(), points.end(), converted.begin(), ToPointF);
  switch (shape) {
  case Shape::LineSegments:
    for (size_t i = 0; i + 1 < converted.size(); i += 2) {
      mPath.StartFigure();
      mPath.AddLine(converted[i], converted[i + 1]);
    }
    break;
  case Shape::Polyline:
    (void)mPath.AddLines(converted); // an empty path draws nothing
    break;
  case Shape::Polygon:
    (void)mPath.AddPolygon(converted); // an empty path draws nothing
    break;
  }
}

void LGDIRenderer::LGraphicsPath::Fill(Platform::Graphics::Graphics& graphics, const Platform::Graphics::Brush& brush,
                                       const Platform::Graphics::Matrix* matrix) const {
  if (!matrix) {
    (void)graphics.FillPath(brush, mPath); // drawing failures are not reported
    return;
  }
  Platform::Graphics::Path transformed = mPath;
  transformed.Transform(*matrix);
  (void)graphics.FillPath(brush, transformed); // drawing failures are not reported
}

void LGDIRenderer::LGraphicsPath::Draw(Platform::Graphics::Graphics& graphics, const Platform::Graphics::Pen& pen,
                                       const Platform::Graphics::Matrix* matrix) const {
  if (!matrix) {
    (void)graphics.DrawPath(pen, mPath); // drawing failures are not reported
    return;
  }
  Platform::Graphics::Path transformed = mPath;
  transformed.Transform(*matrix);
  (void)graphics.DrawPath(pen, transformed); // drawing failures are not reported
}

QZResult LGDIRenderer::DrawLineSegments(PolylineT<float>& polyline, const ColorT<float>& color,
                                        const PointT<double>& origin, const PointT<double>& scale, bool keep) {
  return DrawShape(polyline, color, origin, scale, keep, LGraphicsPath::Shape::LineSegments, false);
}

QZResult LGDIRenderer::DrawPolyline(PolylineT<float>& polyline, const ColorT<float>& color,
                                    const PointT<double>& origin, const PointT<double>& scale, bool keep) {
  return DrawShape(polyline, color, origin, scale, keep, LGraphicsPath::Shape::Polyline, false);
}

QZResult LGDIRenderer::DrawPolygon(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                                   const PointT<double>& scale, bool keep) {
  return DrawShape(polyline, color, origin, scale, keep, LGraphicsPath::Shape::Polygon, false);
}

QZResult LGDIRenderer::FillPolygon(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                                   const PointT<double>& scale, bool keep) {
  return DrawShape(polyline, color, origin, scale, keep, LGraphicsPath::Shape::Polygon, true);
}

QZResult LGDIRenderer::DrawShape(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                                 const PointT<double>& scale, bool keep, LGraphicsPath::Shape shape, bool fill) {
  if (!Target()) {
    return QZ_FALSE;
  }
  RCPtr<LGraphicsPath>& path = mPaths.AcquireFor(polyline, polyline.TakeChanged());
  if (path && path->GetShape() != shape) {
    path = nullptr; // the same polyline drawn as another shape
  }
  if (!path) {
    path = RCPtr<LGraphicsPath>(new LGraphicsPath(shape, polyline));
  }
  constexpr double kUnitScale = 1.1920929e-6;
  const bool unscaled = std::fabs(scale.x - 1.0) < kUnitScale && std::fabs(scale.y - 1.0) < kUnitScale;
  Platform::Graphics::Matrix matrix;
  matrix.Scale(float(scale.x), float(scale.y));

  Translate(origin);
  Platform::Graphics::Graphics& graphics = *DrawingTarget();
  if (fill) {
    path->Fill(graphics, Platform::Graphics::Brush::Solid(ToGfxColor(color)), unscaled ? nullptr : &matrix);
  } else {
    path->Draw(graphics, {ToGfxColor(color), polyline.GetLineWidth()}, unscaled ? nullptr : &matrix);
  }
  Translate(-origin);
  if (!keep) {
    path = nullptr;
  }
  return QZ_OK;
}

} // namespace QZ
