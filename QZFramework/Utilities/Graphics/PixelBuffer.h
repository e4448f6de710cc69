#pragma once
// QZ::IPixelBuffer<T>: a rectangle of pixels of type T in rows, as readers of raw pixels
// (colour sampling, texture upload) see it.
//
//   QZ::RCPtr<QZ::LBitmapData> pixels = bitmap->LockPixels();
//   const uint32_t* row = pixels->GetPixelAddress(0, y);   // null outside the buffer
//   upload(row, pixels->GetRowLength() * sizeof(uint32_t)); // bytes of one row
//
// Row length is counted in pixels everywhere: pixel (x, y) is GetRowLength() * y + x
// pixels after pixel (0, 0).

#include <cstdint>

namespace QZ {

template <class T>
class IPixelBuffer {
public:
  virtual ~IPixelBuffer() = default;

  virtual int32_t GetWidth() const = 0;
  virtual int32_t GetHeight() const = 0;
  // Pixels from the start of one row to the start of the next (at least the width).
  virtual int32_t GetRowLength() const = 0;
  // The address of pixel (x, y); null outside 0 <= x < width, 0 <= y < height. Valid
  // while the buffer lives.
  virtual T* GetPixelAddress(int32_t x, int32_t y) = 0;
  const T* GetPixelAddress(int32_t x, int32_t y) const {
    return const_cast<IPixelBuffer*>(this)->GetPixelAddress(x, y);
  }
};

} // namespace QZ
