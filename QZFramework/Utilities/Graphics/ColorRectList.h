#pragma once
// QZ::ColorRectListT<float>: a list of rectangles, each with its own colour, drawn as
// one unit (meters, bars, swatches), with a horizontal and a vertical scale applied to
// every rectangle when drawn.
//
//   QZ::ColorRectListT<float> bars;
//   bars.Add({0, 0, 4, 10}, QZ::ColorT<float>::FromARGB(0xFF00FF00));
//   bars.SetScale(2.0f, 1.0f);
//   renderer->DrawColorRectList(bars, origin, true);
//
// Renderers keep what they build from a list by its handle while the list is unchanged:
// every change sets the changed flag (TakeChanged). A copy has its own handle.
// Not synchronised: one thread at a time.

#include <cstdint>
#include <utility>
#include <vector>

#include "QZFramework/Utilities/Graphics/Color.h"
#include "QZFramework/Utilities/Graphics/DrawingHandle.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"

namespace QZ {

template <class T>
class ColorRectListT {
public:
  struct Entry {
    RectT<T> rect;
    ColorT<float> color;

    bool operator==(const Entry&) const = default;
  };

  ColorRectListT() = default;
  ColorRectListT(const ColorRectListT& other)
      : mEntries(other.mEntries), mScaleX(other.mScaleX), mScaleY(other.mScaleY) {}
  ColorRectListT& operator=(const ColorRectListT& other) {
    mEntries = other.mEntries;
    mScaleX = other.mScaleX;
    mScaleY = other.mScaleY;
    mChanged = true;
    return *this;
  }

  void Add(const RectT<T>& rect, const ColorT<float>& color) {
    mEntries.push_back({rect, color});
    mChanged = true;
  }
  // index must be below GetCount().
  void Set(uint32_t index, const RectT<T>& rect, const ColorT<float>& color) {
    mEntries.at(index) = {rect, color};
    mChanged = true;
  }
  void Clear() {
    mEntries.clear();
    mChanged = true;
  }
  // x and width are multiplied by scaleX, y and height by scaleY when drawn.
  void SetScale(T scaleX, T scaleY) {
    mScaleX = scaleX;
    mScaleY = scaleY;
    mChanged = true;
  }

  uint32_t GetCount() const { return uint32_t(mEntries.size()); }
  const std::vector<Entry>& GetEntries() const { return mEntries; }
  T GetScaleX() const { return mScaleX; }
  T GetScaleY() const { return mScaleY; }
  int32_t GetHandle() const { return mHandle; }

  // Whether the list changed since the last call (or since it was made); clears it.
  bool TakeChanged() { return std::exchange(mChanged, false); }

private:
  std::vector<Entry> mEntries;
  T mScaleX = T(1);
  T mScaleY = T(1);
  bool mChanged = true;
  int32_t mHandle = NewDrawingHandle();
};

} // namespace QZ
