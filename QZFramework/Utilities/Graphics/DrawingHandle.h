#pragma once
// Handles of drawing inputs (polylines, coloured rectangle lists): process-wide serial
// numbers by which renderers key what they build from an input and keep between frames.

#include <cstdint>

namespace QZ {

// A fresh handle, never 0; safe from any thread.
int32_t NewDrawingHandle();

} // namespace QZ
