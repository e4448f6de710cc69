#include "Platform/Graphics/Matrix.h"

#include <cairo.h>

namespace QZ::Platform::Graphics {

cairo_matrix_t Matrix::ToCairo() const {
  // What cairo_matrix_init would set, without a call into the library per fill.
  return {mXX, mYX, mXY, mYY, mX0, mY0};
}

void Matrix::Multiply(const Matrix& other, MatrixOrder order) {
  // a applied first, then b; the products and sums of cairo_matrix_multiply, in its order,
  // so that transforms come out as Cairo would make them.
  const Matrix a = order == MatrixOrder::Prepend ? other : *this;
  const Matrix b = order == MatrixOrder::Prepend ? *this : other;
  mXX = a.mXX * b.mXX + a.mYX * b.mXY;
  mYX = a.mXX * b.mYX + a.mYX * b.mYY;
  mXY = a.mXY * b.mXX + a.mYY * b.mXY;
  mYY = a.mXY * b.mYX + a.mYY * b.mYY;
  mX0 = a.mX0 * b.mXX + a.mY0 * b.mXY + b.mX0;
  mY0 = a.mX0 * b.mYX + a.mY0 * b.mYY + b.mY0;
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
