#pragma once
// The fixture of the widget tests that draw in a real window under the X server of the Xvfb
// fixture: the pointer parked in a corner of the screen (nothing is hovered), the window
// layer started, a fake application with an empty control factory and a measurement renderer
// (text measures as the window draws it), then a window of the GDI renderer at (10, 10) with
// its root window, messages pumped with the idle passes, and the window as the X server
// shows it. The shipped skin, with its drawn images, loads from a folder of its own.
//
//   class SliderXvfbTest : public QZTest::XvfbWidgetTest {};
//   TEST_F(SliderXvfbTest, Shows) {
//     QZTest::RegisterWidgets(*application.factory);
//     ASSERT_EQ(application.factory->LoadSkins(file), QZ::QZ_OK);
//     OpenWindow(u"Sliders", 200, 160);
//     ASSERT_EQ(root->SetRootControl(u"top"), QZ::QZ_OK);
//     ASSERT_TRUE(Painted());
//     const auto shot = Screenshot();
//   }
//
// A test class that sets up more calls ASSERT_NO_FATAL_FAILURE(XvfbWidgetTest::SetUp())
// first. Include it last, as XvfbSupport.h.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "Platform/Host/MessageLoop.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "QZFramework/Utilities/Graphics/Font.h"
#include "Support/FakeControlApplication.h"
#include "Support/TempFolder.h"
#include "Support/XvfbSupport.h"

namespace QZTest {

class XvfbWidgetTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(UseXvfbDisplay()) << "runs under the Xvfb fixture";
    ASSERT_EQ(RunProgram({"xdotool", "mousemove", "1279", "1023"}), 0); // a corner of the screen
    ASSERT_TRUE(QZ::Platform::Host::Startup());
    application.measurer = measurer;
    QZ::LFont::SetMeasurementRendererSource([renderer = measurer] { return renderer; });
    application.factory = QZ::RCPtr<QZ::LControlFactory>(new QZ::LControlFactory());
  }

  void TearDown() override {
    QZ::LFont::SetMeasurementRendererSource({});
    root = nullptr;
    QZ::Platform::Host::Shutdown(); // the windows and their objects go with it
  }

  // The shipped skin, with its drawn images, read from a folder of its own: the images of
  // the folder images, and Skins.xml of the folder documents.
  void LoadShippedSkin(const std::string& images, const std::string& documents) {
    for (const auto& image : std::filesystem::directory_iterator(images)) {
      std::filesystem::copy_file(image.path(), std::filesystem::path(skinFolder / image.path().filename().string()));
    }
    std::filesystem::copy_file(documents + "/Skins.xml", skinFolder / "Skins.xml");
    ASSERT_EQ(application.factory->LoadSkins(QZ::WString((skinFolder / "Skins.xml").c_str())), QZ::QZ_OK);
  }

  // A visible borderless window of width x height at (10, 10) with the GDI renderer; its
  // root window, X display and X window set.
  void OpenWindow(const char16_t* title, int width, int height) {
    namespace Win = QZ::Platform::Window;
    windowWidth = width;
    windowHeight = height;
    window = new QZ::OSWindow;
    ASSERT_TRUE(window->CreateEx(0, u"QZFrameworkWindow", title, Win::WS_POPUP | Win::WS_VISIBLE, 10, 10, width, height,
                                 nullptr));
    hwnd = window->GetSafeHwnd();
    ASSERT_EQ(window->CreateRenderer(QZ::kRendererGDI), QZ::QZ_OK);
    root = window->GetRootWindow();
    ASSERT_TRUE(FindXWindow(hwnd, display, xwindow));
  }

  // Pumps the window layer until done holds, with the idle passes; false after 10 s.
  bool PumpUntil(const std::function<bool()>& done) {
    return QZTest::PumpUntil(done, [this] { application.DoIdleWork(true); }); // whether more waits
  }

  // Whether the window has painted all it was asked to (false after 10 s).
  bool Painted() {
    return PumpUntil([this] { return !QZ::Platform::Window::GetUpdateRect(hwnd, nullptr, false); });
  }

  // The window as the X server shows it now.
  std::unique_ptr<QZ::Platform::Graphics::Image> Screenshot() {
    XSync(display, False);
    return XWindowImage(display, xwindow, windowWidth, windowHeight);
  }

  QZ::RCPtr<QZ::LMeasurementRenderer> measurer{new QZ::LGDIRenderer};
  FakeControlApplication application;
  TempFolder skinFolder;
  QZ::OSWindow* window = nullptr; // owned by its window
  QZ::Platform::Window::HWND hwnd = nullptr;
  QZ::RCPtr<QZ::LRootWindow> root;
  Display* display = nullptr;
  ::Window xwindow = 0;
  int windowWidth = 0;
  int windowHeight = 0;
};

} // namespace QZTest
