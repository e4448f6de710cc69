#pragma once
// QZ::Platform::Graphics::Matrix: an affine transform of points,
// (x, y) -> (m11 x + m21 y + dx, m12 x + m22 y + dy); the identity when made.
//
// Translate and Scale combine a new transform with the current one: Prepend applies the
// new one first, Append after. A value type.

#include "Platform/Graphics/CairoHandles.h"
#include "Platform/Graphics/GraphicsTypes.h"

namespace QZ::Platform::Graphics {

class Matrix {
public:
  Matrix() = default;
  Matrix(float m11, float m12, float m21, float m22, float dx, float dy)
      : mXX(m11), mYX(m12), mXY(m21), mYY(m22), mX0(dx), mY0(dy) {}

  // Matrix() translated by (dx, dy): the sums of the product Translate would form, without
  // the product (every frame's drawing starts from one).
  static Matrix Translation(float dx, float dy) {
    Matrix translation;
    translation.mX0 = double(dx) * 1.0 + double(dy) * 0.0 + 0.0;
    translation.mY0 = double(dx) * 0.0 + double(dy) * 1.0 + 0.0;
    return translation;
  }

  void Translate(float dx, float dy, MatrixOrder order = MatrixOrder::Prepend);
  void Scale(float sx, float sy, MatrixOrder order = MatrixOrder::Prepend);
  void Multiply(const Matrix& other, MatrixOrder order = MatrixOrder::Prepend);

  PointF TransformPoint(PointF point) const;
  bool IsIdentity() const;
  // The translation part (dx, dy).
  PointF Offset() const { return {static_cast<float>(mX0), static_cast<float>(mY0)}; }

  // The same transform in Cairo's form.
  cairo_matrix_t ToCairo() const;

private:
  // Cairo's fields: x' = xx x + xy y + x0, y' = yx x + yy y + y0.
  double mXX = 1;
  double mYX = 0;
  double mXY = 0;
  double mYY = 1;
  double mX0 = 0;
  double mY0 = 0;
};

} // namespace QZ::Platform::Graphics
