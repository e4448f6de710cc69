#pragma once
// QZ::IPixelBuffer<T>: a rectangle of pixels of type T in rows, as readers of raw pixels
// (colour sampling, texture upload) see it. QZ::LPixelBuffer<T>: a shared one that owns
// its storage: glyph coverage bitmaps and the glyph atlases (T = unsigned char, one byte
// per pixel).
//
//   QZ::RCPtr<QZ::LBitmapData> pixels = bitmap->LockPixels();
//   const uint32_t* row = pixels->GetPixelAddress(0, y);   // null outside the buffer
//   upload(row, pixels->GetRowLength() * sizeof(uint32_t)); // bytes of one row
//
//   QZ::RCPtr<QZ::LPixelBuffer<uint8_t>> atlas(new QZ::LPixelBuffer<uint8_t>(512, 16, 512));
//   atlas->SetHeight(64);                           // rows 16-63 added, zeroed
//
// Row length is counted in pixels everywhere: pixel (x, y) is GetRowLength() * y + x
// pixels after pixel (0, 0). Not synchronised: one thread at a time.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "QZFramework/ObjectBase/RCPtr.h"

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

template <class T>
class LPixelBuffer : public IPixelBuffer<T>, public virtual LRefCountedObject {
public:
  // width x height zeroed pixels (negative sizes count as 0); a row length of 0 (or
  // below the width) is the width rounded up to a multiple of 16.
  LPixelBuffer(int32_t width, int32_t height, int32_t rowLength = 0)
      : mWidth(std::max(width, 0)), mHeight(std::max(height, 0)),
        mRowLength(rowLength >= mWidth && rowLength > 0 ? rowLength : (mWidth + 15) / 16 * 16),
        mPixels(size_t(mRowLength) * size_t(mHeight)) {}
  // A copy of pixels, whose rows start sourceRowLength pixels apart.
  LPixelBuffer(int32_t width, int32_t height, int32_t sourceRowLength, const T* pixels)
      : LPixelBuffer(width, height, width) {
    for (int32_t y = 0; y < mHeight; ++y) {
      std::copy_n(pixels + size_t(y) * size_t(sourceRowLength), size_t(mWidth), GetPixelAddress(0, y));
    }
  }

  int32_t GetWidth() const override { return mWidth; }
  int32_t GetHeight() const override { return mHeight; }
  int32_t GetRowLength() const override { return mRowLength; }
  T* GetPixelAddress(int32_t x, int32_t y) override {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) {
      return nullptr;
    }
    return mPixels.data() + size_t(y) * size_t(mRowLength) + size_t(x);
  }
  using IPixelBuffer<T>::GetPixelAddress;
  // All rows, GetRowLength() pixels each.
  const T* GetData() const { return mPixels.data(); }

  // Keeps the first rows, adds zeroed ones or drops the last ones.
  void SetHeight(int32_t height) {
    mHeight = std::max(height, 0);
    mPixels.resize(size_t(mRowLength) * size_t(mHeight));
  }
  // Zeroes every pixel.
  void Clear() { std::fill(mPixels.begin(), mPixels.end(), T(0)); }

private:
  int32_t mWidth;
  int32_t mHeight;
  int32_t mRowLength;
  std::vector<T> mPixels;
};

} // namespace QZ
