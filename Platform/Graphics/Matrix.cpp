#include "Platform/Graphics/Matrix.h"

#include <cairo.h>

namespace QZ::Platform::Graphics {

cairo_matrix_t Matrix::ToCairo() const {
  cairo_matrix_t matrix;
  cairo_matrix_init(&matrix, mXX, mYX, mXY, mYY, mX0, mY0);
  return matrix;
}

void Matrix::Multiply(const Matrix& other, MatrixOrder order) {
  // cairo_matrix_multiply(result, a, b) applies a first, then b.
  const cairo_matrix_t self = ToCairo();
  const cairo_matrix_t added = other.ToCairo();
  cairo_matrix_t result;
  if (order == MatrixOrder::Prepend) {
    cairo_matrix_multiply(&result, &added, &self);
  } else {
    cairo_matrix_multiply(&result, &self, &added);
  }
  mXX = result.xx;
  mYX = result.yx;
  mXY = result.xy;
  mYY = result.yy;
  mX0 = result.x0;
  mY0 = result.y0;
}

void Matrix::Translate(float dx, float dy, MatrixOrder order) { Multiply(Matrix(1, 0, 0, 1, dx, dy), order); }

void Matrix::Scale(float sx, float sy, MatrixOrder order) { Multiply(Matrix(sx, 0, 0, sy, 0, 0), order); }

PointF Matrix::TransformPoint(PointF point) const {
  double x = point.x;
  double y = point.y;
  const cairo_matrix_t matrix = ToCairo();
  cairo_matrix_transform_point(&matrix, &x, &y);
  return {static_cast<float>(x), static_cast<float>(y)};
}

bool Matrix::IsIdentity() const { return mXX == 1 && mYX == 0 && mXY == 0 && mYY == 1 && mX0 == 0 && mY0 == 0; }

} // namespace QZ::Platform::Graphics
