// The program on the X server of the Xvfb fixture: it starts with the shipped skins, takes
// "HighDPI" when the display's resources say 192 dots per inch and "Skin1" without them,
// shows its main window (kept as a screenshot in the build folder) and ends in order on
// Ctrl+C, remembering the skin.
//
// The test holds a connection to the server throughout: Xvfb resets when its last client
// goes, and the root window's resources would go with it.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "ProgramProcess.h"
#include "Support/ImageCompare.h"
#include "Support/WaitUntil.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbSupport.h"
#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace QZTest {
namespace {

// What a command prints, without the last line end; empty when it fails.
std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[256];
    while (size_t count = std::fread(buffer, 1, sizeof buffer, pipe)) {
      text.append(buffer, count);
    }
    if (::pclose(pipe) != 0) {
      return {};
    }
  }
  while (!text.empty() && text.back() == '\n') {
    text.pop_back();
  }
  return text;
}

// The part of the window on the screen as the X server shows it; null when it has none.
// Its size is the window's in windowSize.
std::unique_ptr<QZ::Platform::Graphics::Image> Screenshot(Display* display, ::Window window,
                                                          std::pair<int, int>& windowSize) {
  XWindowAttributes attributes{};
  int x = 0;
  int y = 0;
  ::Window child = 0;
  if (!XGetWindowAttributes(display, window, &attributes) ||
      !XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child)) {
    return nullptr;
  }
  windowSize = {attributes.width, attributes.height};
  const int width = std::min(attributes.width, WidthOfScreen(attributes.screen) - x);
  const int height = std::min(attributes.height, HeightOfScreen(attributes.screen) - y);
  XImage* shot = width > 0 && height > 0 && x >= 0 && y >= 0
                     ? XGetImage(display, window, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap)
                     : nullptr;
  if (!shot) {
    return nullptr;
  }
  auto image = QZ::Platform::Graphics::Image::Create(width, height);
  for (int row = 0; image && row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const uint32_t rgb = uint32_t(XGetPixel(shot, column, row)) & 0xFFFFFF;
      (void)image->SetPixel(column, row, {0xFF000000u | rgb}); // Ok: inside the image
    }
  }
  XDestroyImage(shot);
  return image;
}

// Whether the image shows more than one colour: something was painted.
bool Painted(QZ::Platform::Graphics::Image& image) {
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

class ProgramXvfbTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(UseXvfbDisplay()) << "runs under the Xvfb fixture";
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
  }
  void TearDown() override {
    if (display) {
      SetResources(nullptr);
      XCloseDisplay(display);
    }
  }

  // The root window's resource database: text, or none.
  void SetResources(const char* text) const {
    const Atom resources = XInternAtom(display, "RESOURCE_MANAGER", False);
    if (text) {
      XChangeProperty(display, DefaultRootWindow(display), resources, XA_STRING, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(text), int(std::strlen(text)));
    } else {
      XDeleteProperty(display, DefaultRootWindow(display), resources);
    }
    XSync(display, False);
  }

  // One run until its main window shows: a screenshot of it as name.png, then Ctrl+C. The
  // skin index the run remembered; -1 when the run went wrong.
  int32_t RunOnce(const std::string& name) {
    size = {0, 0};
    ProgramProcess program({{"HOME", folder.Path()},
                            {"XDG_CONFIG_HOME", folder / "config"},
                            {"XDG_DATA_HOME", folder / "data"},
                            {"QZ_REGISTRY_FILE", folder / "registry.reg"},
                            {"QZ_VIRTUAL_KEYBOARD", "1"},
                            {"QZ_DPI", ""}},
                           folder);
    EXPECT_TRUE(program.Started());
    const std::string window = Output("timeout 120 xdotool search --sync --onlyvisible --pid " +
                                      std::to_string(program.Pid()) + " 2>/dev/null | head -n 1");
    EXPECT_FALSE(window.empty()) << "no window showed";
    // The first frame comes a moment after the window shows. Whether the skin paints is the
    // skin's business: the picture is kept for a look, painted or not.
    std::unique_ptr<QZ::Platform::Graphics::Image> shot;
    if (!window.empty()) {
      WaitUntil(
          [&] {
            if (auto taken = Screenshot(display, ::Window(std::stoul(window)), size)) {
              shot = std::move(taken);
            }
            return shot && Painted(*shot);
          },
          std::chrono::seconds(5));
    }
    EXPECT_TRUE(shot) << "no picture of the window";
    if (shot) {
      EXPECT_TRUE(WritePng(*shot, std::string(QZ_EDITOR_APP_TEST_OUTPUT) + "/" + name + ".png"));
    }
    program.Interrupt();
    const ProgramProcess::Ended ended = program.Wait();
    EXPECT_TRUE(ended.exited && ended.status == 0) << ended.status << ": " << ended.errors;
    std::ifstream in(folder / "config/Vandrel/Quorin ZTR Preset Editor/UserSettings.ini");
    const std::string settings((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string key = "<key>CurrentSkinIndex</key><integer>";
    const size_t at = settings.find(key);
    return at == std::string::npos ? -1 : std::stoi(settings.substr(at + key.size()));
  }

  Display* display = nullptr;
  TempFolder folder;
  // The main window's size in the last run.
  std::pair<int, int> size;
};

TEST_F(ProgramXvfbTest, TheDisplaysResolutionChoosesTheSkinOfTheRunningProgram) {
  std::filesystem::create_directories(QZ_EDITOR_APP_TEST_OUTPUT);
  SetResources("Xcursor.size: 24\nXft.dpi: 192\n");
  EXPECT_EQ(RunOnce("ProgramHighDpi"), 0);
  EXPECT_EQ(size, (std::pair{2400, 1700})) << "the high-resolution skin's main control (its minimum outweighs the "
                                              "fixture's small screen; the picture holds what the screen shows)";

  SetResources(nullptr);
  EXPECT_EQ(RunOnce("ProgramStandard"), 1);
  EXPECT_EQ(size, (std::pair{1200, 850})) << "the standard skin's main control";
}

} // namespace
} // namespace QZTest
