#pragma once
// Reference-image checks for drawing tests: compares an image with a PNG file (or with
// another image) channel by channel within a tolerance and, on a mismatch with a file,
// writes the actual image as a PNG file so it can be looked at (and, once judged right,
// copied over the reference).
//
//   EXPECT_TRUE(QZTest::ImagesMatch(*image, QZTest::ReferenceImage("Stretch25.png"), 2, outputDir));
//
// Every reference image of every test binary lives in one folder, tests/Data/Reference
// (QZ_TEST_REFERENCE_IMAGES, defined for each binary by qz_test); name a new one after what
// it shows, unique across the tests.

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "Platform/Graphics/Image.h"

namespace QZTest {

// The path of a reference image.
inline std::string ReferenceImage(const std::string& name) {
  return std::string(QZ_TEST_REFERENCE_IMAGES) + "/" + name;
}

// Writes the image as an 8-bit RGBA PNG with straight alpha; false when it cannot.
inline bool WritePng(QZ::Platform::Graphics::Image& image, const std::string& path) {
  QZ::Platform::Graphics::BitmapData data;
  if (image.LockBits({0, 0, image.Width(), image.Height()}, QZ::Platform::Graphics::LockMode::Read, data) !=
      QZ::Platform::Graphics::Status::Ok) {
    return false;
  }
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.Width());
  png.height = static_cast<png_uint_32>(image.Height());
  png.format = PNG_FORMAT_BGRA;
  const bool written = png_image_write_to_file(&png, path.c_str(), 0, data.Scan0(), data.Stride(), nullptr) != 0;
  png_image_free(&png);
  (void)image.UnlockBits(data); // our own lock
  return written;
}

// Passes when both images have one size and each channel of each pixel differs by at most
// `tolerance` (pixels transparent in both are equal whatever their colour); the failure
// names the first pixels that differ.
inline ::testing::AssertionResult ImagesAlike(QZ::Platform::Graphics::Image& actual,
                                              QZ::Platform::Graphics::Image& expected, int tolerance) {
  namespace Gfx = QZ::Platform::Graphics;
  std::ostringstream problem;
  if (expected.Width() != actual.Width() || expected.Height() != actual.Height()) {
    problem << "size " << actual.Width() << "x" << actual.Height() << " differs from the expected " << expected.Width()
            << "x" << expected.Height();
    return ::testing::AssertionFailure() << problem.str();
  }
  int mismatches = 0;
  for (int y = 0; y < actual.Height(); ++y) {
    for (int x = 0; x < actual.Width(); ++x) {
      Gfx::Color got;
      Gfx::Color want;
      (void)actual.GetPixel(x, y, got);    // inside both images
      (void)expected.GetPixel(x, y, want); // inside both images
      if (got.A() == 0 && want.A() == 0) {
        continue;
      }
      const int differences[] = {got.A() - want.A(), got.R() - want.R(), got.G() - want.G(), got.B() - want.B()};
      bool same = true;
      for (int difference : differences) {
        same = same && std::abs(difference) <= tolerance;
      }
      if (!same && mismatches++ < 5) {
        problem << "pixel (" << x << ", " << y << "): ARGB " << std::hex << got.argb << " instead of " << want.argb
                << std::dec << "\n";
      }
    }
  }
  if (mismatches == 0) {
    return ::testing::AssertionSuccess();
  }
  problem << mismatches << " pixels differ by more than " << tolerance;
  return ::testing::AssertionFailure() << problem.str();
}

// Whether the image shows more than one colour, looked for at every 7th pixel of every 7th
// row: a window on the X server was drawn (before, the server shows it black).
inline bool Painted(QZ::Platform::Graphics::Image& image) {
  QZ::Platform::Graphics::Color first;
  (void)image.GetPixel(0, 0, first); // inside the image
  for (int y = 0; y < image.Height(); y += 7) {
    for (int x = 0; x < image.Width(); x += 7) {
      QZ::Platform::Graphics::Color pixel;
      (void)image.GetPixel(x, y, pixel); // likewise
      if (pixel != first) {
        return true;
      }
    }
  }
  return false;
}

// Passes when `actual` is alike the reference image (ImagesAlike). On failure the actual
// image is written to outputDir under the reference's file name.
inline ::testing::AssertionResult ImagesMatch(QZ::Platform::Graphics::Image& actual, const std::string& referencePath,
                                              int tolerance, const std::string& outputDir) {
  namespace Gfx = QZ::Platform::Graphics;
  std::string problem;
  const std::u16string widePath(referencePath.begin(), referencePath.end());
  auto reference = Gfx::Image::FromPngFile(widePath);
  if (!reference) {
    problem = "no reference image " + referencePath;
  } else {
    const ::testing::AssertionResult alike = ImagesAlike(actual, *reference, tolerance);
    if (alike) {
      return alike;
    }
    problem = alike.message();
  }
  std::filesystem::create_directories(outputDir);
  const std::string written = outputDir + "/" + std::filesystem::path(referencePath).filename().string();
  problem += (WritePng(actual, written) ? "; actual image written to " : "; could not write ") + written;
  return ::testing::AssertionFailure() << problem;
}

} // namespace QZTest
