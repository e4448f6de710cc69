// The program's message boxes as a user meets them, under the X server of the Xvfb fixture:
// a preset file that cannot be loaded (a stand-in zenity answers a corrupt file) shows the
// load failure box. At 192 dots per inch the box is at least 1.6 times as wide as at 96; it
// is centred on the main window and Return closes it; under a window manager it stays above
// the main window; SIGTERM, SIGINT and SIGHUP end the program through its normal exit with
// the box up, its settings and the window's place saved, the skin's box and the window
// layer's (a skin without the box) alike, and leave no process of the box behind.

#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramProcess.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "Support/ProcessTree.h"
#include "Support/StandInPrograms.h"
#include "Support/WaitUntil.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbSupport.h"
#include "Support/XvfbWindowProperty.h"
// After the X11 headers, which it needs.
#include "Support/OpenboxSession.h"

namespace QZTest {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr char kMainTitle[] = "Quorin ZTR Preset Editor";
constexpr char kBoxTitle[] = "Preset File Load";
constexpr char kSettingsPath[] = "config/Vandrel/Quorin ZTR Preset Editor";

// The program's part of its end, from the signal to its settings saved, and its whole end:
// the sanitizers make every step of the test build's program several times slower, and add
// their leak check to the process's end.
#if defined(__SANITIZE_ADDRESS__)
constexpr auto kExitWorkBound = 1000ms;
constexpr auto kProcessEndBound = 3000ms;
#else
constexpr auto kExitWorkBound = 200ms;
constexpr auto kProcessEndBound = 1000ms;
#endif

class MessageBoxProgramXvfbTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(UseXvfbDisplay()) << "runs under the Xvfb fixture";
    fixtureDisplay = std::getenv("DISPLAY");
    // Bytes that are no preset: the load fails and says so in its box.
    corrupt = folder.Write("corrupt.QuorinZTRPreset", std::string(64, '\x7F'));
    programs.AddRecorder("zenity");
    programs.Answer("zenity", "--file-selection", corrupt + "\n", 0);
  }
  void TearDown() override {
    if (display) {
      XCloseDisplay(display);
    }
  }

  // The program at dpi on the fixture's screen, in a home of the test's own.
  std::unique_ptr<ProgramProcess> Start(const std::string& dpi, int screen,
                                        const std::optional<std::string>& resources = std::nullopt) {
    if (display) {
      XCloseDisplay(display);
    }
    const std::string name = fixtureDisplay + "." + std::to_string(screen);
    display = XOpenDisplay(name.c_str());
    EXPECT_NE(display, nullptr);
    return std::make_unique<ProgramProcess>(ProgramProcess::Changes{{"HOME", folder / "home"},
                                                                    {"XDG_CONFIG_HOME", folder / "config"},
                                                                    {"XDG_DATA_HOME", folder / "data"},
                                                                    {"QZ_REGISTRY_FILE", folder / "registry.reg"},
                                                                    {"QZ_VIRTUAL_KEYBOARD", "1"},
                                                                    {"QZ_RESOURCE_FOLDER", resources},
                                                                    {"QZ_DPI", dpi},
                                                                    {"DISPLAY", name},
                                                                    {"LANG", "C.UTF-8"}},
                                            folder);
  }

  // A shown window titled title (of the process pid; any process for 0) on any of the
  // server's screens, framed by a window manager or not; 0 when none shows within the wait
  // bound. (A program on the fixture's second screen gets its later windows on the first:
  // the window system's first display.)
  ::Window WaitForWindow(pid_t pid, const std::string& title) const {
    ::Window found = 0;
    WaitUntil([&] {
      for (int screen = 0; screen < ScreenCount(display) && found == 0; ++screen) {
        found = FindWindow(RootWindow(display, screen), pid, title, 2);
      }
      return found != 0;
    });
    return found;
  }
  ::Window FindWindow(::Window parent, pid_t pid, const std::string& title, int depth) const {
    ::Window root = 0;
    ::Window up = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    const XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    ::Window found = 0;
    if (XQueryTree(display, parent, &root, &up, &children, &count)) {
      for (unsigned int i = 0; i < count && found == 0; ++i) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) {
          continue;
        }
        const std::vector<long> owner = XLongProperty(display, children[i], AtomOf("_NET_WM_PID"));
        const bool titled = XTextProperty(display, children[i], AtomOf("_NET_WM_NAME")) == title ||
                            XTextProperty(display, children[i], XA_WM_NAME) == title;
        if (titled && (pid == 0 || (owner.size() == 1 && pid_t(owner[0]) == pid))) {
          found = children[i];
        } else if (depth > 1) {
          found = FindWindow(children[i], pid, title, depth - 1);
        }
      }
    }
    if (children) {
      XFree(children);
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    return found;
  }
  ::Atom AtomOf(const char* name) const { return XInternAtom(display, name, False); }
  // The window's place on its screen and its size.
  QZ::RectT<int> ScreenRect(::Window window) const {
    int x = 0;
    int y = 0;
    ::Window child = 0;
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
  }
  bool Gone(::Window window) const {
    return WaitUntil([&] {
      XWindowAttributes attributes{};
      const XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
      const bool shown = XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
      XSync(display, False);
      XSetErrorHandler(previous);
      return !shown;
    });
  }
  static int Xdotool(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "xdotool");
    return RunProgram(arguments);
  }

  // The editor's main window once it shows, then the load failure box that Ctrl+O opens
  // (the program's own window, or any process's): {main, box}.
  std::pair<::Window, ::Window> OpenTheBox(const ProgramProcess& program, bool anyProcessBox = false) {
    const ::Window main = WaitForWindow(program.Pid(), kMainTitle);
    EXPECT_NE(main, 0u) << folder.Read("program-stderr.txt");
    const size_t runs = programs.Runs("zenity").size();
    // The window takes keys once its first idle pass ran: Ctrl+O until the dialog runs.
    WaitUntil([&] {
      Xdotool({"windowfocus", "--sync", std::to_string(main), "key", "ctrl+o"});
      return WaitUntil([&] { return programs.Runs("zenity").size() > runs; }, 1s);
    });
    const ::Window box = WaitForWindow(anyProcessBox ? 0 : program.Pid(), kBoxTitle);
    EXPECT_NE(box, 0u) << "no box \"" << kBoxTitle << "\": " << folder.Read("program-stderr.txt");
    return {main, box};
  }

  // Signals the program with the box up: the time from the signal to the settings saved
  // (the exit's last step renames them into place); its end, which must come within
  // kProcessEndBound.
  std::optional<ProgramProcess::Ended> EndWith(ProgramProcess& program, int signal, Clock::duration& tookToSave) {
    const Clock::time_point signalled = Clock::now();
    const SettingsSaved end = SignalAndAwaitSettings(program, signal, folder / kSettingsPath, 5000ms);
    tookToSave = end.took;
    EXPECT_TRUE(end.saved) << "the settings were not saved";
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(kProcessEndBound - (Clock::now() - signalled));
    std::optional<ProgramProcess::Ended> ended = program.WaitFor(std::max(left, std::chrono::milliseconds(0)));
    EXPECT_TRUE(ended) << "still running " << kProcessEndBound.count() << " ms after the signal";
    return ended ? ended : program.WaitFor(20s);
  }

  // Every signal ends the program with its box up through its normal exit.
  void EachSignalEndsTheProgram(const std::optional<std::string>& resources) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
      SCOPED_TRACE(signal);
      std::unique_ptr<ProgramProcess> program = Start("96", 0, resources);
      const auto [main, box] = OpenTheBox(*program, resources.has_value());
      ASSERT_NE(box, 0u);
      // Moved while the box is up: the new place is the one kept.
      const ::Window mainClient = main;
      XMoveWindow(display, mainClient, 101 + signal, 77);
      XSync(display, False);
      ASSERT_TRUE(WaitUntil([&] {
        const QZ::RectT<int> rect = ScreenRect(mainClient);
        return rect.x == 101 + signal && rect.y == 77;
      }));
      const std::vector<pid_t> boxProcesses = Descendants(program->Pid());
      EXPECT_EQ(boxProcesses.empty(), !resources.has_value()) << "the skin's box is the program's own window";
      Clock::duration tookToSave{};
      const std::optional<ProgramProcess::Ended> ended = EndWith(*program, signal, tookToSave);
      EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(tookToSave), kExitWorkBound)
          << "from the signal to the settings saved";
      ASSERT_TRUE(ended) << "still running";
      EXPECT_TRUE(ended->exited && ended->status == 0) << ended->status << ": " << ended->errors;
      const std::vector<int32_t> placement = StoredPlacement(folder.Read(std::string(kSettingsPath) + "/Profile.ini"));
      ASSERT_EQ(placement.size(), 4u);
      EXPECT_EQ(placement[0], 101 + signal);
      EXPECT_EQ(placement[1], 77);
      for (const pid_t pid : boxProcesses) {
        EXPECT_TRUE(WaitUntil([&] { return !std::filesystem::exists("/proc/" + std::to_string(pid)); }))
            << "process " << pid << " of the box is left";
      }
      EXPECT_TRUE(Gone(box));
    }
  }

  TempFolder folder;
  StandInPrograms programs;
  std::string fixtureDisplay;
  std::string corrupt;
  Display* display = nullptr;
};

TEST_F(MessageBoxProgramXvfbTest, AtTwiceTheResolutionTheBoxIsAtLeast1_6TimesAsWideCentredAndReturnClosesIt) {
  int widths[2] = {};
  const struct {
    const char* dpi;
    int screen;
  } runs[] = {{"96", 0}, {"192", 1}};
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(runs[run].dpi);
    std::unique_ptr<ProgramProcess> program = Start(runs[run].dpi, runs[run].screen);
    const auto [main, box] = OpenTheBox(*program);
    ASSERT_NE(box, 0u);
    const QZ::RectT<int> owner = ScreenRect(main);
    const QZ::RectT<int> rect = ScreenRect(box);
    widths[run] = rect.width;
    if (runs[run].screen == 0) { // the second screen's box is on the first (see WaitForWindow)
      EXPECT_NEAR(rect.x + rect.width / 2, owner.x + owner.width / 2, 2);
      EXPECT_NEAR(rect.y + rect.height / 2, owner.y + owner.height / 2, 2);
    }
    EXPECT_EQ(Xdotool({"windowfocus", "--sync", std::to_string(box), "key", "Return"}), 0);
    EXPECT_TRUE(Gone(box)) << "Return left the box up";
    EXPECT_NE(WaitForWindow(program->Pid(), kMainTitle), 0u);
    program->Signal(SIGTERM);
    const std::optional<ProgramProcess::Ended> ended = program->WaitFor(20s);
    ASSERT_TRUE(ended);
    EXPECT_TRUE(ended->exited && ended->status == 0) << ended->status << ": " << ended->errors;
  }
  EXPECT_GE(widths[1], widths[0] * 1.6) << widths[0] << " at 96 dpi, " << widths[1] << " at 192";
}

TEST_F(MessageBoxProgramXvfbTest, UnderAWindowManagerTheBoxStaysAboveTheMainWindow) {
  std::unique_ptr<ProgramProcess> program = Start("96", 0);
  OpenboxSession windowManager(display);
  ASSERT_TRUE(windowManager.Running());
  const auto [main, box] = OpenTheBox(*program);
  ASSERT_NE(box, 0u);
  const std::vector<long> transientFor = XLongProperty(display, box, XA_WM_TRANSIENT_FOR);
  ASSERT_EQ(transientFor.size(), 1u);
  EXPECT_EQ(::Window(transientFor[0]), main);
  // The user raises the main window, and clicks on it: the box stays on top.
  const auto stacking = [&] {
    const std::vector<long> order =
        XLongProperty(display, DefaultRootWindow(display), AtomOf("_NET_CLIENT_LIST_STACKING"));
    const auto at = [&](::Window window) {
      return std::find(order.begin(), order.end(), long(window)) - order.begin();
    };
    return std::pair{at(main), at(box)};
  };
  EXPECT_EQ(Xdotool({"windowactivate", std::to_string(main)}), 0);
  const QZ::RectT<int> owner = ScreenRect(main);
  EXPECT_EQ(Xdotool({"mousemove", std::to_string(owner.x + 20), std::to_string(owner.y + 20), "click", "1"}), 0);
  XSync(display, False);
  EXPECT_FALSE(WaitUntil(
      [&] {
        const auto [mainAt, boxAt] = stacking();
        return mainAt > boxAt;
      },
      1s))
      << "the main window came above the box";
  const auto [mainAt, boxAt] = stacking();
  EXPECT_LT(mainAt, boxAt);
  EXPECT_EQ(Xdotool({"windowactivate", "--sync", std::to_string(box), "key", "Return"}), 0);
  EXPECT_TRUE(Gone(box));
  program->Signal(SIGTERM);
  const std::optional<ProgramProcess::Ended> ended = program->WaitFor(20s);
  ASSERT_TRUE(ended);
  EXPECT_TRUE(ended->exited && ended->status == 0) << ended->status << ": " << ended->errors;
}

TEST_F(MessageBoxProgramXvfbTest, EachSignalEndsTheProgramWithTheSkinsBoxUpAndItsPlaceSaved) {
  EachSignalEndsTheProgram(std::nullopt);
}

TEST_F(MessageBoxProgramXvfbTest, EachSignalTakesTheWindowLayersBoxDownWhereTheSkinHasNone) {
  // The shipped documents, the box renamed out of the skin.
  const std::string resources = folder / "resources";
  std::filesystem::create_directories(resources);
  for (const char* name : {"FrameworkStrings.xml", "StringTables.xml", "Skins.xml"}) {
    std::filesystem::copy_file(std::string(QZ_PROGRAM_DOCUMENTS) + "/" + name, resources + "/" + name);
  }
  std::string skins = folder.Read("resources/Skins.xml");
  for (size_t at = skins.find("\"dialogMessageBox\""); at != std::string::npos;
       at = skins.find("\"dialogMessageBox\"", at)) {
    skins.replace(at, 18, "\"noMessageBox\"");
  }
  folder.Write("resources/Skins.xml", skins);
  const std::string images = QZ_TEST_BUILD_FOLDER "/Resources/SkinArt/Images";
  for (const auto& image : std::filesystem::directory_iterator(images)) {
    std::filesystem::copy_file(image.path(), resources + "/" + image.path().filename().string());
  }
  EachSignalEndsTheProgram(resources);
}

} // namespace
} // namespace QZTest
