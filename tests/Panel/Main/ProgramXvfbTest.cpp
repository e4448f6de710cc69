// The program on the X server of the Xvfb fixture: it starts with the shipped skins, takes
// "HighDPI" when the display's resources say 192 dots per inch and its window fits the
// screen, "Skin1" without them or on a screen too small for the large window (under a
// window manager too: the window whole on a 2560 x 1440 screen), shows its main window
// (kept as a screenshot in the build folder) and ends in order on Ctrl+C, remembering the
// skin.
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
#include "Support/PrivateXServer.h"
#include "Support/WaitUntil.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbSupport.h"
#include "Support/XvfbWindowProperty.h"
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "Support/OpenboxSession.h"

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
  // skin index the run remembered; -1 when the run went wrong. changes: more of the
  // program's environment.
  int32_t RunOnce(const std::string& name, const ProgramProcess::Changes& changes = {}) {
    size = {0, 0};
    frame = {};
    errors.clear();
    ProgramProcess::Changes environment = {{"HOME", folder.Path()},
                                           {"XDG_CONFIG_HOME", folder / "config"},
                                           {"XDG_DATA_HOME", folder / "data"},
                                           {"QZ_REGISTRY_FILE", folder / "registry.reg"},
                                           {"QZ_VIRTUAL_KEYBOARD", "1"},
                                           {"QZ_DPI", ""}};
    for (const auto& [variable, value] : changes) {
      environment[variable] = value;
    }
    ProgramProcess program(environment, folder);
    EXPECT_TRUE(program.Started());
    const auto named = environment.find("DISPLAY");
    const std::string on = named != environment.end() && named->second ? "DISPLAY=" + *named->second + " " : "";
    const std::string window = Output(on + "timeout 120 xdotool search --sync --onlyvisible --pid " +
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
      frame = FrameOnRoot(::Window(std::stoul(window)));
    }
    program.Interrupt();
    const ProgramProcess::Ended ended = program.Wait();
    errors = ended.errors;
    EXPECT_TRUE(ended.exited && ended.status == 0) << ended.status << ": " << ended.errors;
    std::ifstream in(folder / "config/Vandrel/Quorin ZTR Preset Editor/UserSettings.ini");
    const std::string settings((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string key = "<key>CurrentSkinIndex</key><integer>";
    const size_t at = settings.find(key);
    return at == std::string::npos ? -1 : std::stoi(settings.substr(at + key.size()));
  }

  // The window with the frame its window manager put around it, on the root window.
  XRectangle FrameOnRoot(::Window window) const {
    XWindowAttributes attributes{};
    int x = 0;
    int y = 0;
    ::Window child = 0;
    if (!XGetWindowAttributes(display, window, &attributes) ||
        !XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child)) {
      return {};
    }
    // left, right, top, bottom; none without a window manager
    std::vector<long> sides = XLongProperty(display, window, XInternAtom(display, "_NET_FRAME_EXTENTS", False));
    sides.resize(4, 0);
    return {short(x - sides[0]), short(y - sides[2]), (unsigned short)(attributes.width + sides[0] + sides[1]),
            (unsigned short)(attributes.height + sides[2] + sides[3])};
  }

  Display* display = nullptr;
  TempFolder folder;
  // The main window's size in the last run, its frame on the screen and what it said.
  std::pair<int, int> size;
  XRectangle frame{};
  std::string errors;
};

// The display with screen number of the fixture's server ("0", "1", "2").
std::string Screen(const char* number) { return std::string(std::getenv("DISPLAY")) + "." + number; }

TEST_F(ProgramXvfbTest, TheDisplaysResolutionChoosesTheSkinOfTheRunningProgram) {
  std::filesystem::create_directories(QZ_EDITOR_APP_TEST_OUTPUT);
  SetResources("Xcursor.size: 24\nXft.dpi: 192\n");
  // The fixture's second screen (2560 x 1800) holds the large window.
  EXPECT_EQ(RunOnce("ProgramHighDpi", {{"DISPLAY", Screen("1")}}), 0);
  EXPECT_EQ(size, (std::pair{2400, 1700})) << "the high-resolution skin's main control";
  // Its first (1280 x 1024) does not: the standard skin, whole on the screen.
  EXPECT_EQ(RunOnce("ProgramHighDpiSmallScreen", {{"DISPLAY", Screen("0")}}), 1);
  EXPECT_EQ(size, (std::pair{1200, 850}));

  SetResources(nullptr);
  EXPECT_EQ(RunOnce("ProgramStandard", {{"DISPLAY", Screen("0")}}), 1);
  EXPECT_EQ(size, (std::pair{1200, 850})) << "the standard skin's main control";
}

TEST_F(ProgramXvfbTest, UnderAWindowManagerTheWindowAt192DpiIsWholeOnA2560x1440Screen) {
  std::filesystem::create_directories(QZ_EDITOR_APP_TEST_OUTPUT);
  // A screen of that size on a server of its own, managed by openbox: the large window
  // (1700 rows and a title bar) would leave its bottom below the screen.
  PrivateXServer server("2560x1440x24");
  ASSERT_FALSE(server.Name().empty());
  Display* screen = XOpenDisplay(server.Name().c_str());
  ASSERT_NE(screen, nullptr);
  {
    const std::string before = std::getenv("DISPLAY");
    setenv("DISPLAY", server.Name().c_str(), 1); // openbox manages the display it is started on
    OpenboxSession manager(screen);
    setenv("DISPLAY", before.c_str(), 1);
    ASSERT_TRUE(manager.Running());
    std::swap(display, screen); // the run's pictures and frame come from that server
    EXPECT_EQ(
        RunOnce("ProgramHighDpiOn2560x1440", {{"DISPLAY", server.Name()}, {"QZ_DPI", "192"}, {"QZ_DEBUG_TRACE", "1"}}),
        1);
    std::swap(display, screen);
    EXPECT_EQ(size, (std::pair{1200, 850}));
    EXPECT_GT(frame.height, 850) << "openbox framed the window";
    EXPECT_GE(frame.x, 0);
    EXPECT_GE(frame.y, 0);
    EXPECT_LE(frame.x + frame.width, 2560);
    EXPECT_LE(frame.y + frame.height, 1440);
    EXPECT_NE(errors.find("the standard skin is taken"), std::string::npos) << errors;
  }
  XCloseDisplay(screen);
}

} // namespace
} // namespace QZTest
