#pragma once
// Paths and small helpers shared by the drawing-layer tests.

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Platform/Graphics/Image.h"

namespace QZTest {

inline std::string GraphicsDataPath(const std::string& name) { return std::string(QZ_GRAPHICS_TEST_DATA) + "/" + name; }
inline std::string GraphicsOutputDir() { return QZ_GRAPHICS_TEST_OUTPUT; }

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline QZ::Platform::Graphics::Color PixelAt(const QZ::Platform::Graphics::Image& image, int x, int y) {
  QZ::Platform::Graphics::Color color{0xDEADBEEF};
  (void)image.GetPixel(x, y, color); // inside the image
  return color;
}

} // namespace QZTest
