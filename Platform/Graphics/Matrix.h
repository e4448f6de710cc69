#pragma once
// QZ::Gfx::Matrix: an affine transform of points,
// (x, y) -> (m11 x + m21 y + dx, m12 x + m22 y + dy); the identity when made.
//
// Translate and Scale combine a new transform with the current one: Prepend applies the
// new one first, Append after. A value type.

#include <cairo.h>

#include "Platform/Graphics/GraphicsTypes.h"

namespace QZ::Gfx {

class Matrix {
public:
  Matrix() { cairo_matrix_init_identity(&mMatrix); }
  Matrix(float m11, float m12, float m21, float m22, float dx, float dy) {
    cairo_matrix_init(&mMatrix, m11, m12, m21, m22, dx, dy);
  }

  void Translate(float dx, float dy, MatrixOrder order = MatrixOrder::Prepend);
  void Scale(float sx, float sy, MatrixOrder order = MatrixOrder::Prepend);
  void Multiply(const Matrix& other, MatrixOrder order = MatrixOrder::Prepend);

  PointF TransformPoint(PointF point) const;
  bool IsIdentity() const;
  // The translation part (dx, dy).
  PointF Offset() const { return {static_cast<float>(mMatrix.x0), static_cast<float>(mMatrix.y0)}; }

  // The same transform in Cairo's form.
  const cairo_matrix_t& ToCairo() const { return mMatrix; }

private:
  cairo_matrix_t mMatrix;
};

} // namespace QZ::Gfx
