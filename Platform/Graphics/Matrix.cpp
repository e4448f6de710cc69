#include "Platform/Graphics/Matrix.h"

namespace QZ::Gfx {

void Matrix::Multiply(const Matrix& other, MatrixOrder order) {
  // cairo_matrix_multiply(result, a, b) applies a first, then b.
  if (order == MatrixOrder::Prepend) {
    cairo_matrix_multiply(&mMatrix, &other.mMatrix, &mMatrix);
  } else {
    cairo_matrix_multiply(&mMatrix, &mMatrix, &other.mMatrix);
  }
}

void Matrix::Translate(float dx, float dy, MatrixOrder order) { Multiply(Matrix(1, 0, 0, 1, dx, dy), order); }

void Matrix::Scale(float sx, float sy, MatrixOrder order) { Multiply(Matrix(sx, 0, 0, sy, 0, 0), order); }

PointF Matrix::TransformPoint(PointF point) const {
  double x = point.x;
  double y = point.y;
  cairo_matrix_transform_point(&mMatrix, &x, &y);
  return {static_cast<float>(x), static_cast<float>(y)};
}

bool Matrix::IsIdentity() const {
  return mMatrix.xx == 1 && mMatrix.yx == 0 && mMatrix.xy == 0 && mMatrix.yy == 1 && mMatrix.x0 == 0 && mMatrix.y0 == 0;
}

} // namespace QZ::Gfx
