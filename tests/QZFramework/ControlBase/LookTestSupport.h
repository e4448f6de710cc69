#pragma once
// Builders for the look and visual-part tests: colorizers, part descriptors, docked
// entries, look descriptors and PNG files painted pixel by pixel.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "Platform/Graphics/Image.h"
#include "QZFramework/ControlBase/LookDescriptor.h"
#include "QZFramework/Utilities/Graphics/Colorizer.h"
#include "Support/ImageCompare.h"
#include "Support/TempFolder.h"

namespace QZTest {

inline constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kClear = 0x00000000;

inline QZ::RCPtr<QZ::LColorizer> Colorizer(uint32_t argb, QZ::ColorizerType type = QZ::ColorizerType::SolidFill) {
  return QZ::RCPtr<QZ::LColorizer>(new QZ::LColorizer(QZ::WString(u"colour"), type, QZ::ColorT<float>::FromARGB(argb)));
}

// A part of one colour.
inline QZ::RCPtr<QZ::LVisualPartDescriptor> ColourPart(uint32_t argb, QZ::SizeT<int32_t> size,
                                                       QZ::ResizeType resize = QZ::ResizeType::Stretch,
                                                       float opacity = 1.0f) {
  return QZ::RCPtr<QZ::LVisualPartDescriptor>(
      new QZ::LVisualPartDescriptor(QZ::WString(u"colour"), {}, resize, Colorizer(argb), size, opacity, {}));
}

// A part showing rect of the image at path (all of it for an empty rect).
inline QZ::RCPtr<QZ::LVisualPartDescriptor> ImagePart(const QZ::WString& path, QZ::RectT<int32_t> rect = {},
                                                      QZ::ResizeType resize = QZ::ResizeType::Stretch) {
  return QZ::RCPtr<QZ::LVisualPartDescriptor>(
      new QZ::LVisualPartDescriptor(QZ::WString(u"image"), {path, rect}, resize, nullptr, {}, 1.0f, {}));
}

// A docked entry with the offsets given (flags from LDockedPart) and optional size.
inline QZ::RCPtr<QZ::LDockedPart> Docked(const QZ::RCPtr<QZ::LVisualPartDescriptor>& part,
                                         const QZ::LDockedPart::Dock& dock) {
  return QZ::RCPtr<QZ::LDockedPart>(new QZ::LDockedPart(part, dock));
}

// A look descriptor whose client part is `client` with the given offsets.
inline QZ::RCPtr<QZ::LLookDescriptor> LookOf(const QZ::RCPtr<QZ::LVisualPartDescriptor>& client,
                                             QZ::LDockedPart::Dock dock = QZ::LDockedPart::ClientDock(0, 0, 0, 0)) {
  QZ::RCPtr<QZ::LLookDescriptor> look(new QZ::LLookDescriptor(QZ::WString(u"look")));
  look->SetClientPart(Docked(client, dock));
  return look;
}

// Writes a width x height PNG painted by pixel(x, y) -> ARGB into folder; its path.
template <class Pixel>
QZ::WString WriteImage(const TempFolder& folder, const std::string& name, int width, int height, Pixel pixel) {
  auto image = QZ::Platform::Graphics::Image::Create(width, height);
  bool painted = true;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      painted = painted &&
                image->SetPixel(x, y, QZ::Platform::Graphics::Color{pixel(x, y)}) == QZ::Platform::Graphics::Status::Ok;
    }
  }
  EXPECT_TRUE(painted && WritePng(*image, folder / name));
  return folder.Wide(name);
}

// The text of what call() throws, "" when it throws nothing.
template <class Call>
std::string ThrownText(Call call) {
  try {
    call();
  } catch (const std::exception& failure) {
    return failure.what();
  }
  return {};
}

} // namespace QZTest
