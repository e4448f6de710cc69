#pragma once
// A skin whose images the tests draw (Data/DrawnSkin.xml and its strings
// Data/DrawnSkinStrings.xml), read from a folder of its own with the images drawn there
// first, and an application whose factory knows the classes the skin names.
//
//   QZTest::DrawnSkin skin;                       // an installed fake application too
//   QZ::RCPtr<QZTest::TestControl> top = QZTest::MakeTop();
//   window->InstallRootControl(top);
//   QZ::RCPtr<QZ::LControl> knob = skin.Create(top, u"knob");
//   skin.application.AdvanceMilliseconds(501);
//
// The knob's film strip ("knob.png") has 31 frames of 40 x 40 in colours of their own
// (KnobFrameColour), each with a dark mark where its pointer stands; "knob_focus.png" and
// "knob_disabled.png" are one frame each.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>

#include "Platform/Graphics/Graphics.h"
#include "Platform/Graphics/Image.h"
#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/ControlTestSupport.h"
#include "QZFramework/Controls/CenteredSlider.h"
#include "QZFramework/Controls/Knob.h"
#include "QZFramework/Controls/Label.h"
#include "QZFramework/Controls/StatusBar.h"
#include "QZFramework/Controls/ToolTip.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "QZFramework/Utilities/Graphics/Font.h"
#include "Support/FakeControlApplication.h"
#include "Support/ImageCompare.h"
#include "Support/TempFolder.h"

namespace QZTest {

inline constexpr int kKnobFrames = 31;
inline constexpr int kKnobSize = 40;
inline constexpr uint32_t kFocusColour = 0xFF1E64C8;
inline constexpr uint32_t kDisabledColour = 0xFFA0A0A0;

// The colour of frame i of the knob's film strip: a walk around the colour wheel.
inline uint32_t KnobFrameColour(int i) {
  const uint32_t r = uint32_t(40 + 7 * i);
  const uint32_t g = uint32_t(230 - 6 * i);
  const uint32_t b = uint32_t(60 + (i * 97) % 180);
  return 0xFF000000u | r << 16 | g << 8 | b;
}

// A top control that fills its window's client area, whatever its size.
inline QZ::RCPtr<TestControl> MakeTop() {
  QZ::RCPtr<TestControl> top = TestControl::Make(nullptr, u"top");
  top->Place(0, 0, 1024, 768);
  for (QZ::LayoutSize& size : top->Layout().size) {
    size = QZ::LayoutSize{QZ::kSizeToClient, {}, 1.0f, 0.0};
  }
  return top;
}

class DrawnSkin {
public:
  FakeControlApplication application;
  // Measures the skin's text and paints the screenshots.
  QZ::RCPtr<QZ::LGDIRenderer> renderer{new QZ::LGDIRenderer};
  TempFolder folder;

  DrawnSkin() {
    application.measurer = renderer;
    QZ::LFont::SetMeasurementRendererSource(
        [measurer = renderer] { return QZ::RCPtr<QZ::LMeasurementRenderer>(measurer); });
    Copy("DrawnSkin.xml", "Skins.xml");
    Copy("DrawnSkinStrings.xml", "StringTables.xml");
    DrawKnobImages();
    application.factory = QZ::RCPtr<QZ::LControlFactory>(new QZ::LControlFactory);
    EXPECT_EQ(application.factory->LoadResources(folder.Wide(), 0x0409), QZ::QZ_OK);
    Register(u"Framework.Knob", &QZ::CreateControlOf<QZ::LKnob>);
    Register(u"Framework.CenteredSlider", &QZ::CreateControlOf<QZ::LCenteredSlider>);
    Register(u"Framework.StatusBar", &QZ::CreateControlOf<QZ::LStatusBar>);
    Register(u"Framework.ToolTip", &QZ::CreateControlOf<QZ::LToolTip>);
    Register(u"Framework.Label", &QZ::CreateControlOf<QZ::LLabel>);
    Register(u"Framework.CenteredSliderBounds", &QZ::CreateControlOf<QZ::LPanel>);
    Register(u"Test.Panel", &QZ::CreateControlOf<QZ::LControl>);
  }

  ~DrawnSkin() { QZ::LFont::SetMeasurementRendererSource({}); }
  DrawnSkin(const DrawnSkin&) = delete;
  DrawnSkin& operator=(const DrawnSkin&) = delete;

  // The control of the skin's top-level entry name under parent; null when it fails.
  QZ::RCPtr<QZ::LControl> Create(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name) {
    return application.factory->CreateControl(parent, Entry(name));
  }
  template <class T>
  QZ::RCPtr<T> CreateAs(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name) {
    return QZ::DynamicCast<T>(Create(parent, name));
  }
  QZ::RCPtr<QZ::LControlDescriptor> Entry(const QZ::WString& name) const {
    return application.factory->FindControlDescriptor(name);
  }

private:
  void Register(const QZ::WString& name, QZ::ControlCreateFunction function) {
    EXPECT_EQ(application.factory->RegisterControlCreateFunction(name, function), QZ::QZ_OK);
  }

  void Copy(const std::string& from, const std::string& to) {
    std::ifstream in(std::string(QZ_WIDGET_TEST_DATA) + "/" + from, std::ios::binary);
    folder.Write(to, {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
  }

  // A frame of the strip: its colour, and a mark for the pointer at angle (degrees
  // clockwise from straight up).
  static void DrawFrame(QZ::Platform::Graphics::Graphics& graphics, float left, uint32_t colour, double angle) {
    namespace Gfx = QZ::Platform::Graphics;
    EXPECT_EQ(graphics.FillRectangle(Gfx::Brush::Solid(Gfx::Color{colour}), {left, 0, kKnobSize, kKnobSize}),
              Gfx::Status::Ok);
    const double radians = angle * std::numbers::pi / 180.0;
    const float x = left + float(20.0 + 12.0 * std::sin(radians)) - 3.0f;
    const float y = float(20.0 - 12.0 * std::cos(radians)) - 3.0f;
    EXPECT_EQ(graphics.FillRectangle(Gfx::Brush::Solid(Gfx::Color{0xFF202428}), {x, y, 6, 6}), Gfx::Status::Ok);
  }

  void DrawKnobImages() {
    namespace Gfx = QZ::Platform::Graphics;
    const auto write = [this](const std::string& name, int frames, auto colour) {
      auto image = Gfx::Image::Create(kKnobSize * frames, kKnobSize);
      ASSERT_TRUE(image);
      {
        auto graphics = Gfx::Graphics::FromImage(*image);
        ASSERT_TRUE(graphics);
        for (int i = 0; i < frames; ++i) {
          DrawFrame(*graphics, float(kKnobSize * i), colour(i), -135.0 + 270.0 * i / (kKnobFrames - 1));
        }
      }
      EXPECT_TRUE(WritePng(*image, folder / name));
    };
    write("knob.png", kKnobFrames, KnobFrameColour);
    write("knob_focus.png", 1, [](int) { return kFocusColour; });
    write("knob_disabled.png", 1, [](int) { return kDisabledColour; });
  }
};

} // namespace QZTest
