#pragma once
// Premultiplied ARGB32 source-over compositing straight in memory, bit for bit as Cairo's
// pixel library composites (internal).

#include <cstddef>
#include <cstdint>

namespace QZ::Platform::Graphics {

// One premultiplied pixel over another.
uint32_t OverPixel(uint32_t source, uint32_t destination);

// How many pixels OverRows composites at a time.
enum class Lanes { kOne = 1, kFour = 4, kEight = 8 };
// The most this processor can.
Lanes WidestLanes();

// Rows of premultiplied source pixels over the destination's, the same pixels OverPixel
// gives, up to lanes (at most WidestLanes()) at a time. Strides in bytes.
void OverRows(const uint8_t* source, size_t sourceStride, uint8_t* destination, size_t destinationStride, size_t width,
              size_t height, Lanes lanes = WidestLanes());

} // namespace QZ::Platform::Graphics
