// The program's file dialogs (real zenity) over its main window on the X server of the
// Xvfb fixture, as a desktop shows them: under a window manager (openbox) the open, save
// and overwrite dialogs are the editor's (zenity told its window, and its windows made
// transient for it), so a click on the editor's title bar or window, or the window manager
// asked to activate it, leaves the dialog in front and active (the stacking read from the
// X server); without one the dialog shows, and once it
// is closed the editor takes the keyboard again. SIGTERM, SIGINT and SIGHUP while a dialog
// is open, or as one opens, end the program through its normal exit at once (its settings
// and placement saved), and zenity with it. Pictures of the open and save dialogs over the
// editor in both skins are kept in the build folder. The browser that Help > User Guide
// starts is the user's: Ctrl+C in the editor's terminal leaves it running. A file-size
// limit in the editor's shell (ulimit -f) keeps no dialog from showing, and a dialog
// program whose output is made huge is a dialog that cannot be shown, not the editor's end.
//
// The program runs on its compiled-in skins, with the fonts the test program draws with
// headless (what it shows is compared with that); each wait is bounded.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramProcess.h"
#include "ShippedEditorWindow.h"
#include "Support/FontconfigInit.h"
#include "Support/ImageCompare.h"
#include "Support/ProcessTree.h"
#include "Support/StandInPrograms.h"
#include "Support/WaitUntil.h"
#include "UI/DriverCommon/PresetFile.h"

namespace QZTest {
namespace {

// Whether the image's first pixel is light (each channel above 0xC0). Here: X11's macros
// (Status) would break it below.
bool FirstPixelIsLight(const QZ::Platform::Graphics::Image& image) {
  QZ::Platform::Graphics::Color pixel;
  return image.GetPixel(0, 0, pixel) == QZ::Platform::Graphics::Status::Ok && pixel.R() > 0xC0 && pixel.G() > 0xC0 &&
         pixel.B() > 0xC0;
}

// Where a user edits knob 3's CC in the "Skin1" window (client coordinates), and what the
// window shows there with the factory CC (38) and once 74 is typed on the page: the
// program's own skin laid out and drawn headless as the program lays it out and draws it.
// A picture is null when the headless window did not come to show what it is named for.
struct KnobCcPlaces {
  QZ::RectT<int32_t> button; // knob 3 in the picture of the keyboard
  QZ::RectT<int32_t> label;  // its "CC: <n>" there
  QZ::RectT<int32_t> pageCc; // the CC box of the page a click on it shows
  std::unique_ptr<QZ::Platform::Graphics::Image> label38;
  std::unique_ptr<QZ::Platform::Graphics::Image> label74;
  std::unique_ptr<QZ::Platform::Graphics::Image> page38;
  std::unique_ptr<QZ::Platform::Graphics::Image> page74;
};

// The layout alone: a fixture of its own, made, used and gone before the program starts.
class KnobCcLayout final : public ShippedEditorFixture {
public:
  KnobCcPlaces Measure() {
    KnobCcPlaces places;
    SetUp();
    if (!HasFatalFailure()) {
      Start("96");
      const std::string knob3 = std::string(kPicturePath) + "/knobGroup/knob3";
      const QZ::RCPtr<QZ::LControl> button = Find(knob3 + "/button");
      const QZ::RCPtr<QZ::LControl> label = Find(knob3 + "/ccLabel");
      const QZ::RCPtr<QZ::LControl> pageCc =
          Find(std::string(kEditPanelPath) + "/knob/cc/parameterControl/numericUpDown/textBox");
      if (button && label && pageCc) {
        places.button = ControlWindowRect(*button);
        places.label = ControlWindowRect(*label);
        places.label38 = Shown(*label, u"CC: 38", places.label);
        Click(button);
        places.pageCc = ControlWindowRect(*pageCc);
        places.page38 = pageCc->IsShown(true) ? Shown(*pageCc, u"38", places.pageCc) : nullptr;
        // Typed as the user types it: the box then has the focus, and its caret shows.
        Click(pageCc);
        TypeSelectAllThen74();
        places.page74 = Shown(*pageCc, u"74", places.pageCc);
        places.label74 = Shown(*label, u"CC: 74", places.label);
      }
    }
    TearDown();
    return places;
  }

private:
  void TestBody() override {}

  // The pixels of rect while control holds text; null when it holds another.
  std::unique_ptr<QZ::Platform::Graphics::Image> Shown(const QZ::LControl& control, const char16_t* text,
                                                       const QZ::RectT<int32_t>& rect) {
    std::unique_ptr<QZ::Platform::Graphics::Image> pixels = Pixels(rect);
    return control.GetText() == QZ::WString(text) ? std::move(pixels) : nullptr;
  }

  // Ctrl+A, 7, 4, Return, as the window layer delivers them from the keyboard.
  void TypeSelectAllThen74() {
    const uint32_t id = backend->SdlIdOf(hwnd);
    const auto press = [&](SDL_Keycode key, SDL_Scancode position, uint16_t mod, const char* text) {
      backend->Push(KeyEvent(SDL_KEYDOWN, id, key, position, mod));
      if (text) {
        backend->Push(TextEvent(id, text));
      }
      backend->Push(KeyEvent(SDL_KEYUP, id, key, position, mod));
    };
    backend->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_LCTRL));
    press(SDLK_a, SDL_SCANCODE_A, KMOD_LCTRL, nullptr);
    backend->Push(KeyEvent(SDL_KEYUP, id, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_NONE));
    press(SDLK_7, SDL_SCANCODE_7, KMOD_NONE, "7");
    press(SDLK_4, SDL_SCANCODE_4, KMOD_NONE, "4");
    press(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_NONE, nullptr);
    Settle();
  }
};

// The value of parameter index in the preset file's bytes; -1 when the file or the record
// is not there.
int PresetFileValue(const std::string& bytes, uint32_t index) {
  const std::vector<uint8_t> data(bytes.begin(), bytes.end());
  QZ::PresetFile::MemorySource source(data);
  QZ::LPresetFileBuffer buffer(0, 0, false);
  std::vector<QZ::PresetFile::Record> records;
  if (QZ::PresetFile::Read(source, buffer, records) != QZ::PresetFile::kLoaded) {
    return -1;
  }
  for (const QZ::PresetFile::Record& record : records) {
    uint32_t size = 0;
    const auto* value = static_cast<const uint8_t*>(record.value.GetData(size));
    if (record.index == index && size >= 1) {
      return value[0];
    }
  }
  return -1;
}

} // namespace
} // namespace QZTest

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbPictures.h"
#include "Support/XvfbWindowProperty.h"

#include "Support/OpenboxSession.h"

namespace QZTest {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr char kMainTitle[] = "Quorin ZTR Preset Editor";
constexpr char kOpenTitle[] = "Select Preset File";
constexpr char kSaveTitle[] = "Select Save Location";
constexpr char kLoadBoxTitle[] = "Preset File Load";
constexpr char kDialogFailedTitle[] = "File Dialog Error";
constexpr char kSettingsPath[] = "config/Vandrel/Quorin ZTR Preset Editor";
// The program's part of its end, from the signal to its settings saved, and its whole end:
// the sanitizers make each step of the test build's program several times slower, and add
// their checks to the process's end.
#if defined(__SANITIZE_ADDRESS__)
constexpr auto kExitWorkBound = 1000ms;
constexpr auto kProcessEndBound = 3000ms;
#else
constexpr auto kExitWorkBound = 200ms;
constexpr auto kProcessEndBound = 1000ms;
#endif

struct Screen {
  const char* skin;
  const char* dpi;
  int number; // of the fixture's screens: the second is large enough for "HighDPI"
};
constexpr Screen kSkin1{"Skin1", "96", 0};
constexpr Screen kHighDpi{"HighDPI", "192", 1};

int64_t Milliseconds(Clock::duration duration) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(duration).count();
}

class FileDialogXvfbTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(UseXvfbDisplay()) << "runs under the Xvfb fixture";
    server = std::getenv("DISPLAY");
    std::filesystem::create_directories(folder / "home/Documents");
    static int runs = 0;
    marker = std::to_string(::getpid()) + "-" + std::to_string(++runs);
  }
  void TearDown() override {
    program.reset();
    for (const pid_t zenity : ZenityProcesses()) {
      ::kill(zenity, SIGKILL); // left by a test that failed: the editor was killed
    }
    windowManager.reset();
    if (display) {
      XCloseDisplay(display);
      XSetErrorHandler(previousErrorHandler);
    }
    setenv("DISPLAY", server.c_str(), 1);
  }

  // The test's connection to screen, and a window manager on it when asked for.
  void UseScreen(const Screen& screen, bool withWindowManager) {
    setenv("DISPLAY", (server + "." + std::to_string(screen.number)).c_str(), 1);
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    // Windows come and go while they are looked at: a window gone is no failure.
    previousErrorHandler = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    if (withWindowManager) {
      windowManager = std::make_unique<OpenboxSession>(display);
      ASSERT_TRUE(windowManager->Running());
    }
  }

  // The editor on the test's screen at the skin's resolution, started by command (empty:
  // the editor itself); its main window, shown.
  ::Window StartEditor(const Screen& screen, const std::vector<std::string>& command = {}) {
    ProgramProcess::Options options;
    options.command = command;
    program = std::make_unique<ProgramProcess>(ProgramProcess::Changes{{"HOME", folder / "home"},
                                                                       {"XDG_CONFIG_HOME", folder / "config"},
                                                                       {"XDG_DATA_HOME", folder / "data"},
                                                                       {"QZ_REGISTRY_FILE", folder / "registry.reg"},
                                                                       {"QZ_VIRTUAL_KEYBOARD", "1"},
                                                                       {"QZ_RESOURCE_FOLDER", std::nullopt},
                                                                       {"QZ_DPI", screen.dpi},
                                                                       {"LANG", "C.UTF-8"},
                                                                       {"FONTCONFIG_FILE", PinnedFonts()},
                                                                       {"QZ_TEST_MARKER", marker}},
                                               folder, options);
    EXPECT_TRUE(program->Started());
    const pid_t pid = program->Pid();
    const ::Window main =
        WaitForWindow([&](::Window window) { return PidOf(window) == pid && Title(window) == kMainTitle; });
    EXPECT_NE(main, 0u) << folder.Read("program-stderr.txt");
    return main;
  }

  // The fonts the headless rendering draws with, for the editor: what it shows is compared
  // with that rendering.
  std::string PinnedFonts() const {
    const std::string path = folder / "fonts.conf";
    EXPECT_TRUE(WritePinnedFontsFile(path)) << path;
    return path;
  }

  // --- The X server ----------------------------------------------------------------------

  std::string Title(::Window window) const {
    const std::string title = XTextProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False));
    return title.empty() ? XTextProperty(display, window, XA_WM_NAME) : title;
  }
  pid_t PidOf(::Window window) const {
    const std::vector<long> pid = XLongProperty(display, window, XInternAtom(display, "_NET_WM_PID", False));
    return pid.size() == 1 ? pid_t(pid[0]) : 0;
  }
  ::Window OwnerOf(::Window window) const {
    ::Window owner = 0;
    return XGetTransientForHint(display, window, &owner) ? owner : 0;
  }
  ::Window ActiveWindow() const {
    const std::vector<long> active =
        XLongProperty(display, DefaultRootWindow(display), XInternAtom(display, "_NET_ACTIVE_WINDOW", False));
    return active.size() == 1 ? ::Window(active[0]) : 0;
  }
  // The top-level windows: the window manager's clients, else the root's children.
  std::vector<::Window> TopLevelWindows() const {
    if (windowManager) {
      const std::vector<long> clients =
          XLongProperty(display, DefaultRootWindow(display), XInternAtom(display, "_NET_CLIENT_LIST", False));
      return std::vector<::Window>(clients.begin(), clients.end());
    }
    return RootChildren();
  }
  // The root's children, bottom first.
  std::vector<::Window> RootChildren() const {
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    std::vector<::Window> windows;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) && children) {
      windows.assign(children, children + count);
      XFree(children);
    }
    return windows;
  }
  // Where the window (in its frame, under a window manager) is in the stacking order: higher
  // is in front; -1 when it is not shown.
  int StackingPlace(::Window window) const {
    const ::Window root = DefaultRootWindow(display);
    ::Window top = window;
    for (;;) {
      ::Window rootReturn = 0;
      ::Window parent = 0;
      ::Window* children = nullptr;
      unsigned int count = 0;
      if (!XQueryTree(display, top, &rootReturn, &parent, &children, &count)) {
        return -1;
      }
      if (children) {
        XFree(children);
      }
      if (parent == root) {
        break;
      }
      top = parent;
    }
    const std::vector<::Window> stack = RootChildren();
    const auto at = std::find(stack.begin(), stack.end(), top);
    return at == stack.end() ? -1 : int(at - stack.begin());
  }
  template <class Matches>
  ::Window WaitForWindow(Matches matches, std::chrono::milliseconds bound = kWaitBound) const {
    ::Window found = 0;
    WaitUntil(
        [&] {
          for (const ::Window window : TopLevelWindows()) {
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable &&
                matches(window)) {
              found = window;
            }
          }
          return found != 0;
        },
        bound); // nothing announces it
    return found;
  }
  // The shown dialog titled title that is not the window other; 0 when none shows within
  // the bound.
  ::Window WaitForDialog(const char* title, ::Window other = 0, std::chrono::milliseconds bound = kWaitBound) const {
    return WaitForWindow([&](::Window window) { return window != other && Title(window) == title; }, bound);
  }
  // The dialog titled title that keys typed into main show. The editor drops input until
  // it has collected the dialog program before, a moment after that program's window went:
  // typed again then (a second dialog cannot start while one runs).
  ::Window KeysUntilDialog(::Window main, const std::string& keys, const char* title) const {
    ::Window dialog = 0;
    for (int time = 0; time < 4 && dialog == 0; ++time) {
      Keys(main, {keys});
      dialog = WaitForDialog(title, 0, 5s);
    }
    return dialog;
  }
  bool WaitUntilGone(::Window window) const {
    return WaitUntil([&] {
      XWindowAttributes attributes{};
      return !XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable;
    });
  }
  // Returns once the window manager has handled everything the server told it before:
  // its answer to a question asked now comes after them.
  void SyncWithWindowManager() const {
    const ::Window probe = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = probe;
    event.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
    event.xclient.format = 32;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
    const Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
    EXPECT_TRUE(WaitUntil([&] { return !XLongProperty(display, probe, extents).empty(); }))
        << "the window manager never answered";
    XDestroyWindow(display, probe);
    XSync(display, False);
  }
  // The screen as the server shows it once the dialog has drawn itself (the middle of
  // zenity's file list is light, where the editor below is dark; lightMiddle false: a box
  // of the editor's own, black until it draws) and settled, kept in the build folder as
  // <skin>-<name>.png.
  void Keep(const Screen& screen, const std::string& name, ::Window dialog, bool lightMiddle = true) const {
    const auto lightInTheMiddle = [&] {
      XWindowAttributes attributes{};
      if (!XGetWindowAttributes(display, dialog, &attributes)) {
        return false;
      }
      const std::unique_ptr<QZ::Platform::Graphics::Image> middle =
          XWindowImage(display, dialog, 1, 1, attributes.width / 2, attributes.height / 2);
      return middle && FirstPixelIsLight(*middle);
    };
    EXPECT_TRUE(lightMiddle ? WaitUntil(lightInTheMiddle) : XWindowDrawn(display, dialog))
        << name << ": the dialog never drew itself";
    // Settled only once drawn: four equal reads of a window not yet drawn would pass.
    EXPECT_TRUE(Settled([&] { return XWholeWindowImage(display, dialog); })) << name << ": the dialog never settled";
    XSync(display, False);
    const std::unique_ptr<QZ::Platform::Graphics::Image> shot =
        XWindowImage(display, DefaultRootWindow(display), DisplayWidth(display, DefaultScreen(display)),
                     DisplayHeight(display, DefaultScreen(display)));
    std::filesystem::create_directories(QZ_EDITOR_APP_TEST_OUTPUT);
    const std::string path = std::string(QZ_EDITOR_APP_TEST_OUTPUT) + "/" + screen.skin + "-" + name + ".png";
    EXPECT_TRUE(shot && WritePng(*shot, path)) << path;
  }

  // The picture shoot takes once it is the same on several reads in a row (what shows has
  // settled); null when it never settles.
  template <class Shoot>
  static std::unique_ptr<QZ::Platform::Graphics::Image> Settled(Shoot shoot) {
    std::unique_ptr<QZ::Platform::Graphics::Image> before;
    int same = 0;
    const bool settled = WaitUntil([&] {
      std::unique_ptr<QZ::Platform::Graphics::Image> now = shoot();
      same = before && now && ImagesAlike(*now, *before, 0) ? same + 1 : 0;
      before = std::move(now);
      return same >= 4;
    });
    return settled ? std::move(before) : nullptr;
  }
  // Whether rect of the window comes to show expected, pixel for pixel, within the wait
  // bound: what a step means, not any change, and never a window not yet drawn (black). The
  // editor draws with the fonts of the headless rendering, so that rendering is expected
  // exactly. When it does not, the last picture and the expected one are kept in the build
  // folder as <name>.png and <name>Expected.png.
  bool Shows(::Window window, const QZ::RectT<int32_t>& rect, QZ::Platform::Graphics::Image& expected,
             const std::string& name) const {
    std::unique_ptr<QZ::Platform::Graphics::Image> now;
    if (XWindowComesToShow(display, window, rect, expected, 0, kWaitBound, now)) {
      return true;
    }
    const std::string path = std::string(QZ_EDITOR_APP_TEST_OUTPUT) + "/" + name;
    std::filesystem::create_directories(QZ_EDITOR_APP_TEST_OUTPUT);
    EXPECT_TRUE(now && WritePng(*now, path + ".png")) << path;
    EXPECT_TRUE(WritePng(expected, path + "Expected.png")) << path;
    return false;
  }

  // --- The user ----------------------------------------------------------------------------

  // A click in the middle of rect of window.
  static void ClickAt(::Window window, const QZ::RectT<int32_t>& rect) {
    EXPECT_EQ(
        RunProgram({"xdotool", "mousemove", "--sync", "--window", std::to_string(window),
                    std::to_string(rect.x + rect.width / 2), std::to_string(rect.y + rect.height / 2), "click", "1"}),
        0);
  }

  // Keys typed into window once it has the keyboard focus.
  static void Keys(::Window window, const std::vector<std::string>& keys) {
    std::vector<std::string> command = {"xdotool", "windowfocus", "--sync", std::to_string(window), "key"};
    command.insert(command.end(), keys.begin(), keys.end());
    EXPECT_EQ(RunProgram(command), 0);
  }

  // Help > User Guide, clicked in the main window of the "Skin1" editor. Help is the last
  // title of the menu bar (the window's top kMenuBarHeight pixels), so the rightmost text on
  // the bar; User Guide is the first row of its menu.
  void OpenUserGuide(::Window main) const {
    constexpr int kMenuBarHeight = 22;
    constexpr int kRowMiddle = kMenuBarHeight + 12;
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(display, main, &attributes));
    const int width = attributes.width;
    const auto differs = [](const QZ::Platform::Graphics::Color& a, const QZ::Platform::Graphics::Color& b) {
      return std::abs(int(a.R()) - int(b.R())) + std::abs(int(a.G()) - int(b.G())) + std::abs(int(a.B()) - int(b.B())) >
             96;
    };
    int textEnd = -1;
    WaitUntil([&] { // once the window has painted its first frame
      const std::unique_ptr<QZ::Platform::Graphics::Image> bar = XWindowImage(display, main, width, kMenuBarHeight);
      QZ::Platform::Graphics::Color background;
      (void)bar->GetPixel(width - 2, kMenuBarHeight / 2, background); // inside the image
      for (int x = width - 2; x > 0 && textEnd < 0; --x) {
        for (int y = 4; y < kMenuBarHeight - 4 && textEnd < 0; ++y) {
          QZ::Platform::Graphics::Color pixel;
          (void)bar->GetPixel(x, y, pixel); // likewise
          textEnd = differs(pixel, background) ? x : -1;
        }
      }
      return textEnd > 6;
    });
    ASSERT_GT(textEnd, 6) << "no title on the menu bar";
    const int x = textEnd - 6;
    const auto rowPixel = [&] {
      XSync(display, False);
      const std::unique_ptr<QZ::Platform::Graphics::Image> row = XWindowImage(display, main, 1, 1, x, kRowMiddle);
      QZ::Platform::Graphics::Color pixel;
      (void)row->GetPixel(0, 0, pixel); // likewise
      return pixel;
    };
    const QZ::Platform::Graphics::Color closed = rowPixel();
    // The editor drops clicks until it has collected the opener before: clicked again then.
    bool open = false;
    for (int click = 0; click < 4 && !open; ++click) {
      EXPECT_EQ(RunProgram({"xdotool", "mousemove", "--window", std::to_string(main), std::to_string(x),
                            std::to_string(kMenuBarHeight / 2), "click", "1"}),
                0);
      open = WaitUntil([&] { return rowPixel() != closed; }, 3s);
    }
    ASSERT_TRUE(open) << "the Help menu did not open";
    EXPECT_EQ(RunProgram({"xdotool", "mousemove", "--window", std::to_string(main), std::to_string(x),
                          std::to_string(kRowMiddle), "click", "1"}),
              0);
  }

  // --- Processes -------------------------------------------------------------------------

  // The zenity processes of the test's editor (they carry its marker in their environment).
  std::vector<pid_t> ZenityProcesses() const {
    std::vector<pid_t> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
      const std::string name = entry.path().filename().string();
      if (name.find_first_not_of("0123456789") != std::string::npos) {
        continue;
      }
      std::ifstream command(entry.path() / "comm");
      std::string comm;
      std::getline(command, comm);
      std::ifstream environment(entry.path() / "environ");
      const std::string variables((std::istreambuf_iterator<char>(environment)), std::istreambuf_iterator<char>());
      if (comm == "zenity" && variables.find("QZ_TEST_MARKER=" + marker + '\0') != std::string::npos) {
        found.push_back(pid_t(std::stol(name)));
      }
    }
    return found;
  }
  // The arguments zenity was started with.
  static std::vector<std::string> CommandLineOf(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline");
    std::vector<std::string> arguments;
    for (std::string argument; std::getline(in, argument, '\0');) {
      arguments.push_back(argument);
    }
    return arguments;
  }

  // The dialog window is the editor's: zenity was told its window, and it is transient for it.
  void ExpectOwnedByTheEditor(::Window dialog, ::Window main) const {
    const std::vector<pid_t> zenity = ZenityProcesses();
    ASSERT_EQ(zenity.size(), 1u);
    const std::vector<std::string> arguments = CommandLineOf(zenity[0]);
    EXPECT_NE(std::find(arguments.begin(), arguments.end(), "--attach=" + std::to_string(main)), arguments.end());
    EXPECT_NE(std::find(arguments.begin(), arguments.end(), "--modal"), arguments.end());
    EXPECT_EQ(PidOf(dialog), zenity[0]);
    EXPECT_TRUE(WaitUntil([&] { return OwnerOf(dialog) == main; })) << "the dialog is not the editor's";
  }

  // The editor activated as a user and the window manager do it: a click on its title bar
  // and one on its window beside the dialog, and the window manager asked to activate it.
  // Each time the dialog stays in front, and active.
  void ActivateTheEditor(::Window dialog, ::Window main) const {
    const std::vector<long> frame = XLongProperty(display, main, XInternAtom(display, "_NET_FRAME_EXTENTS", False));
    ASSERT_EQ(frame.size(), 4u);
    int x = 0;
    int y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, main, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    // The dialog to the right, below the title bar, out of the way of the clicks.
    EXPECT_EQ(
        RunProgram({"xdotool", "windowmove", std::to_string(dialog), std::to_string(x + 300), std::to_string(y + 150)}),
        0);
    EXPECT_TRUE(WaitUntil([&] {
      int dialogX = 0;
      int dialogY = 0;
      XTranslateCoordinates(display, dialog, DefaultRootWindow(display), 0, 0, &dialogX, &dialogY, &child);
      return std::abs(dialogY - (y + 150)) < 50;
    })) << "the dialog did not move";
    SyncWithWindowManager();
    const std::pair<const char*, std::vector<std::string>> activations[] = {
        {"a click on the title bar",
         {"xdotool", "mousemove", std::to_string(x + 100), std::to_string(y - frame[2] / 2), "click", "1"}},
        {"a click on the window",
         {"xdotool", "mousemove", std::to_string(x + 100), std::to_string(y + 300), "click", "1"}},
        {"the window manager asked", {"xdotool", "windowactivate", std::to_string(main)}}};
    for (const auto& [how, activation] : activations) {
      SCOPED_TRACE(how);
      EXPECT_EQ(RunProgram(activation), 0);
      SyncWithWindowManager();
      EXPECT_GT(StackingPlace(dialog), StackingPlace(main)) << "the editor came over its dialog";
      EXPECT_EQ(ActiveWindow(), dialog);
    }
  }

  // The signal ends the program through its exit at once (its settings and placement saved)
  // and with 0, and zenity with it; the trace kept zenity's messages off standard error.
  void ExpectEndOnSignal(int signal) {
    const std::string settings = folder / kSettingsPath;
    std::filesystem::remove(settings + "/Profile.ini");
    const SettingsSaved end = SignalAndAwaitSettings(*program, signal, settings, 2000ms);
    EXPECT_TRUE(end.saved) << "no settings saved";
    EXPECT_LT(Milliseconds(end.took), kExitWorkBound.count()) << "from signal " << signal << " to the settings saved";
    const std::optional<ProgramProcess::Ended> ended = program->WaitFor(kProcessEndBound);
    ASSERT_TRUE(ended) << "still running " << kProcessEndBound.count() << " ms after signal " << signal;
    EXPECT_TRUE(ended->exited && ended->status == 0) << ended->status << ": " << ended->errors;
    EXPECT_EQ(ended->errors.find("zenity"), std::string::npos) << ended->errors;
    EXPECT_NE(folder.Read(std::string(kSettingsPath) + "/Profile.ini").find("WP=hex:"), std::string::npos)
        << "no placement saved";
    EXPECT_TRUE(WaitUntil([this] { return ZenityProcesses().empty(); }, 1s)) << "zenity outlived the editor";
  }

  // Both dialogs under a window manager on screen; the signal ends the program with the
  // save dialog open.
  void ShowBothDialogsThenSignal(const Screen& screen, int signal) {
    UseScreen(screen, true);
    const ::Window main = StartEditor(screen);
    ASSERT_NE(main, 0u);
    ASSERT_TRUE(WaitUntil([&] { return ActiveWindow() == main; })) << "the editor never became active";

    Keys(main, {"ctrl+o"});
    const ::Window open = WaitForDialog(kOpenTitle);
    ASSERT_NE(open, 0u) << "Ctrl+O shows no dialog";
    ExpectOwnedByTheEditor(open, main);
    ASSERT_TRUE(WaitUntil([&] { return ActiveWindow() == open; }));
    EXPECT_GT(StackingPlace(open), StackingPlace(main));
    Keep(screen, "OpenDialog", open);
    ActivateTheEditor(open, main);
    Keys(open, {"Escape"});
    ASSERT_TRUE(WaitUntilGone(open));
    // Input reaches the editor once zenity has ended (and the editor has collected it).
    ASSERT_TRUE(WaitUntil([this] { return ZenityProcesses().empty(); }));
    ASSERT_TRUE(WaitUntil([&] { return ActiveWindow() == main; })) << "the editor is not given back";
    const ::Window save = KeysUntilDialog(main, "ctrl+s", kSaveTitle);
    ASSERT_NE(save, 0u) << "Ctrl+S shows no dialog";
    ExpectOwnedByTheEditor(save, main);
    Keep(screen, "SaveDialog", save);
    ActivateTheEditor(save, main);

    ExpectEndOnSignal(signal);
  }

  // A zenity that a signal ends before it shows anything: Ctrl+O gives the box that says
  // why, in the editor's look, over the editor; the program still ends on a signal.
  void ShowTheBoxOfADialogThatCannotBeShown(const Screen& screen) {
    UseScreen(screen, true);
    StandInPrograms programs;
    programs.Add("zenity", "#!/bin/sh\nkill -KILL $$\n");
    const ::Window main = StartEditor(screen);
    ASSERT_NE(main, 0u);
    ASSERT_TRUE(WaitUntil([&] { return ActiveWindow() == main; })) << "the editor never became active";
    Keys(main, {"ctrl+o"});
    const ::Window box = WaitForDialog(kDialogFailedTitle);
    ASSERT_NE(box, 0u) << "no box: " << folder.Read("program-stderr.txt");
    EXPECT_EQ(PidOf(box), program->Pid());
    EXPECT_TRUE(WaitUntil([&] { return ActiveWindow() == box; }));
    Keep(screen, "DialogFailedBox", box, false);
    ExpectEndOnSignal(SIGTERM);
  }

  std::string server; // the fixture's display, without a screen
  TempFolder folder;
  std::string marker;
  Display* display = nullptr;
  XErrorHandler previousErrorHandler = nullptr;
  std::unique_ptr<OpenboxSession> windowManager;
  std::unique_ptr<ProgramProcess> program;
};

TEST_F(FileDialogXvfbTest, Skin1OpenAndSaveDialogsStayInFrontOfTheEditorAndSigtermEndsTheProgram) {
  ShowBothDialogsThenSignal(kSkin1, SIGTERM);
}

TEST_F(FileDialogXvfbTest, HighDpiOpenAndSaveDialogsStayInFrontOfTheEditorAndSigintEndsTheProgram) {
  ShowBothDialogsThenSignal(kHighDpi, SIGINT);
}

TEST_F(FileDialogXvfbTest, Skin1ADialogThatCannotBeShownSaysWhyInTheEditorsLook) {
  ShowTheBoxOfADialogThatCannotBeShown(kSkin1);
}

TEST_F(FileDialogXvfbTest, HighDpiADialogThatCannotBeShownSaysWhyInTheEditorsLook) {
  ShowTheBoxOfADialogThatCannotBeShown(kHighDpi);
}

TEST_F(FileDialogXvfbTest, SighupWhileTheOverwriteQuestionIsOpenEndsTheProgram) {
  UseScreen(kSkin1, true);
  folder.Write("home/Documents/taken.QuorinZTRPreset", "a preset");
  const ::Window main = StartEditor(kSkin1);
  ASSERT_NE(main, 0u);
  ASSERT_TRUE(WaitUntil([&] { return ActiveWindow() == main; }));
  Keys(main, {"ctrl+s"});
  const ::Window save = WaitForDialog(kSaveTitle);
  ASSERT_NE(save, 0u);
  // The name without its extension: the editor adds it and asks before replacing the file.
  Keys(save, {"ctrl+a"});
  EXPECT_EQ(RunProgram({"xdotool", "type", "--delay", "20", "taken"}), 0);
  Keys(save, {"Return"});
  ASSERT_TRUE(WaitUntilGone(save));
  const ::Window question = WaitForDialog(kSaveTitle, save);
  ASSERT_NE(question, 0u) << "no question";
  ExpectOwnedByTheEditor(question, main);
  ExpectEndOnSignal(SIGHUP);
}

TEST_F(FileDialogXvfbTest, WithoutAWindowManagerTheDialogShowsAndClosingItGivesTheEditorBack) {
  UseScreen(kSkin1, false);
  const ::Window main = StartEditor(kSkin1);
  ASSERT_NE(main, 0u);
  for (int time = 0; time < 2; ++time) {
    SCOPED_TRACE(time);
    if (time == 0) {
      Keys(main, {"ctrl+o"});
    } else {
      // The editor took the keyboard back when the dialog closed: typed where it is.
      EXPECT_TRUE(WaitUntil([&] {
        ::Window focus = 0;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        return focus == main;
      })) << "the keyboard is not the editor's";
      EXPECT_EQ(RunProgram({"xdotool", "key", "ctrl+o"}), 0);
    }
    const ::Window open = WaitForDialog(kOpenTitle);
    ASSERT_NE(open, 0u) << "no dialog";
    EXPECT_GT(StackingPlace(open), StackingPlace(main));
    Keys(open, {"Escape"});
    ASSERT_TRUE(WaitUntilGone(open));
    EXPECT_TRUE(WaitUntil([this] { return ZenityProcesses().empty(); }));
  }
  ExpectEndOnSignal(SIGTERM);
}

TEST_F(FileDialogXvfbTest, ASignalAsTheDialogOpensEndsTheProgramAndTheDialog) {
  UseScreen(kSkin1, false);
  const ::Window main = StartEditor(kSkin1);
  ASSERT_NE(main, 0u);
  // The request and the signal meet wherever they do: before zenity starts, as it starts,
  // or once it shows.
  Keys(main, {"ctrl+o"});
  ExpectEndOnSignal(SIGTERM);
}

// Started from a terminal: its shell runs the editor as a job, a process group of its own
// (here a session too), and Ctrl+C goes to that group. Started with SIGCHLD ignored, as
// some launchers leave it. The user guide opens (xdg-open's 0 is its answer: no error box
// takes the next click), then a browser starts cold and keeps xdg-open waiting; Ctrl+C
// ends the editor through its exit, and the browser, with the guide, runs on.
TEST_F(FileDialogXvfbTest, ABrowserTheUserGuideStartedOutlivesCtrlCInTheEditorsTerminal) {
  UseScreen(kSkin1, true);
  StandInPrograms programs;
  const std::string opened = programs.folder / "opened";
  const std::string browser = programs.folder / "browser";
  // In a session of its own, out of the fixture's reach: ended here whatever the test met.
  struct BrowserEnd {
    const TempFolder& folder;
    ~BrowserEnd() {
      SignalProcess(NotedPid(folder.Read("browser")), SIGKILL); // none, or not yet whole: nothing
    }
  } browserEnd{programs.folder};
  programs.Add("qz-browser", "#!/bin/sh\necho $$ > '" + browser + ".tmp'; mv '" + browser + ".tmp' '" + browser +
                                 "'\nexec sleep 600\n");
  programs.Add("xdg-open", "#!/bin/sh\necho \"$1\" >> '" + opened + "'\n[ \"$(wc -l < '" + opened +
                               "')\" -eq 1 ] && exit 0\nqz-browser \"$1\"\n");
  const ::Window main = StartEditor(kSkin1, {"/usr/bin/env", "--ignore-signal=CHLD", "setsid", QZ_EDITOR_PROGRAM});
  ASSERT_NE(main, 0u);
  ASSERT_EQ(::getpgid(program->Pid()), program->Pid()) << "not the leader of its process group";
  ASSERT_TRUE(WaitUntil([&] { return ActiveWindow() == main; })) << "the editor never became active";

  OpenUserGuide(main);
  ASSERT_TRUE(WaitUntil([&] { return programs.folder.Exists("opened"); })) << "no xdg-open";
  const std::string guide = programs.folder.Read("opened");
  EXPECT_EQ(guide.rfind("file://", 0), 0u) << guide;
  // The editor takes clicks again once xdg-open has answered.
  ASSERT_TRUE(WaitUntil([&] { return ActiveWindow() == main; }));
  OpenUserGuide(main);
  ASSERT_TRUE(WaitUntil([&] { return programs.folder.Exists("browser"); })) << "no second open: a box took the click";
  const pid_t browserPid = NotedPid(programs.folder.Read("browser"));
  ASSERT_GT(browserPid, 0);

  const std::string settings = folder / kSettingsPath;
  std::filesystem::remove(settings + "/Profile.ini");
  ::kill(-program->Pid(), SIGINT); // what Ctrl+C in its terminal does
  const std::optional<ProgramProcess::Ended> ended = program->WaitFor(kProcessEndBound);
  ASSERT_TRUE(ended) << "still running " << kProcessEndBound.count() << " ms after Ctrl+C";
  EXPECT_TRUE(ended->exited && ended->status == 0) << ended->status << ": " << ended->errors;
  EXPECT_EQ(ended->errors.find("xdg-open"), std::string::npos) << ended->errors;
  EXPECT_NE(folder.Read(std::string(kSettingsPath) + "/Profile.ini").find("WP=hex:"), std::string::npos)
      << "no placement saved";
  std::ifstream state("/proc/" + std::to_string(browserPid) + "/stat");
  std::string pid;
  std::string name;
  std::string running;
  state >> pid >> name >> running;
  EXPECT_TRUE(!running.empty() && running != "Z") << "the browser ended with the editor";
}

// Hardened desktops and build boxes limit the size of the files a shell's programs write.
// Ctrl+O still shows the (stand-in) dialog, which is told the limit, and the file chosen
// in it arrives: its load fails, and that box says so.
TEST_F(FileDialogXvfbTest, UnderAFileSizeLimitCtrlOShowsTheDialogAndItsAnswerArrives) {
  UseScreen(kSkin1, true);
  StandInPrograms programs;
  const std::string chosen = folder.Write("home/Documents/broken.QuorinZTRPreset", "not a preset");
  // Written aside, then renamed: the file shows once what it holds is whole.
  const std::string limit = programs.folder / "limit";
  programs.Add("zenity", "#!/bin/bash\nulimit -f > '" + limit + ".tmp'\nmv '" + limit + ".tmp' '" + limit +
                             "'\necho '" + chosen + "'\n");
  const ::Window main = StartEditor(kSkin1, {"/bin/bash", "-c", "ulimit -f 10000 && exec \"$0\"", QZ_EDITOR_PROGRAM});
  ASSERT_NE(main, 0u);
  ASSERT_TRUE(WaitUntil([&] { return ActiveWindow() == main; })) << "the editor never became active";
  Keys(main, {"ctrl+o"});
  ASSERT_TRUE(WaitUntil([&] { return programs.folder.Exists("limit"); })) << "Ctrl+O shows no dialog";
  EXPECT_EQ(programs.folder.Read("limit"), "10000\n") << "the dialog ran without the limit";
  EXPECT_NE(WaitForDialog(kLoadBoxTitle), 0u) << "the chosen file never arrived: " << folder.Read("program-stderr.txt");
  ExpectEndOnSignal(SIGTERM);
}

// A dialog program (or a wrapper) that makes its output huge without writing it: Ctrl+O
// says the dialog cannot be shown, the editor lives on with the value edited before it
// still shown, and Ctrl+S then saves that value. Each step waits for what it means to show
// (the factory CC on a window that has drawn, the page with its CC box, the CC typed in the
// picture), so that no click or key comes before what it is meant for. The editor is started
// with its standard input closed, as some launchers leave it; its own start then takes
// descriptor 0 before any dialog runs, so what a closed 0-2 means for a run's memory files
// is shown by the process layer's tests, not here.
TEST_F(FileDialogXvfbTest, AnAnswerPastItsBoundSaysSoAndTheEditsStayToBeSaved) {
  const KnobCcPlaces places = KnobCcLayout().Measure();
  ASSERT_TRUE(places.label38) << "knob 3 in the picture, with its factory CC";
  ASSERT_TRUE(places.page38) << "the CC box of knob 3's page, with its factory CC";
  ASSERT_TRUE(places.page74 && places.label74) << "74 typed in the box, in the box and in the picture";
  UseScreen(kSkin1, true);
  StandInPrograms programs;
  const std::string savedName = "home/Documents/edited.QuorinZTRPreset";
  const std::string saved = folder / savedName;
  programs.Add("zenity", "#!/bin/sh\ncase \" $* \" in\n*' --save '*) echo '" + saved +
                             "' ;;\n*) echo '/home/me/a.QuorinZTRPreset'; truncate -s 64G /dev/stdout ;;\nesac\n");
  const ::Window main = StartEditor(kSkin1, {"/bin/sh", "-c", "exec \"$0\" <&-", QZ_EDITOR_PROGRAM});
  ASSERT_NE(main, 0u);
  ASSERT_TRUE(WaitUntil([&] { return ActiveWindow() == main; })) << "the editor never became active";

  ASSERT_TRUE(Shows(main, places.label, *places.label38, "Skin1-AnswerPastItsBoundFactoryCc"))
      << "the editor never showed knob 3's factory CC";
  ClickAt(main, places.button);
  // Its page shows at the editor's next idle pass: a click before would find no box.
  ASSERT_TRUE(Shows(main, places.pageCc, *places.page38, "Skin1-AnswerPastItsBoundPageCc"))
      << "a click on knob 3 shows no page with its CC";
  ClickAt(main, places.pageCc);
  Keys(main, {"ctrl+a", "7", "4", "Return"});
  ASSERT_TRUE(Shows(main, places.pageCc, *places.page74, "Skin1-AnswerPastItsBoundPageCcTyped"))
      << "the CC box does not hold the CC typed";
  ASSERT_TRUE(Shows(main, places.label, *places.label74, "Skin1-AnswerPastItsBoundEditedCc"))
      << "the picture never showed the CC typed";

  Keys(main, {"ctrl+o"});
  const ::Window box = WaitForDialog(kDialogFailedTitle);
  ASSERT_NE(box, 0u) << "no box: " << folder.Read("program-stderr.txt");
  EXPECT_EQ(PidOf(box), program->Pid());
  Keep(kSkin1, "AnswerPastItsBoundBox", box, false);
  Keys(box, {"Return"});
  ASSERT_TRUE(WaitUntilGone(box));
  ASSERT_FALSE(program->WaitFor(0ms)) << "the editor ended: " << folder.Read("program-stderr.txt");
  ASSERT_TRUE(WaitUntil([&] { return ActiveWindow() == main; })) << "the editor is not given back";
  EXPECT_TRUE(Shows(main, places.label, *places.label74, "Skin1-AnswerPastItsBoundCcAfterTheBox"))
      << "the edited value is no longer shown";

  // The editor drops input until it has collected the dialog program before: typed again then.
  for (int time = 0; time < 4 && !folder.Exists(savedName); ++time) {
    Keys(main, {"ctrl+s"});
    WaitUntil([&] { return folder.Exists(savedName); }, 5s);
  }
  constexpr uint32_t kKnob3Cc = 33; // the parameter's index in a preset file
  EXPECT_EQ(PresetFileValue(folder.Read(savedName), kKnob3Cc), 74) << "Ctrl+S saved no file with the value edited";
  ExpectEndOnSignal(SIGTERM);
}

} // namespace
} // namespace QZTest
