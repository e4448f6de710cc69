// The program as a desktop process, under the X server of the Xvfb fixture (and, for the
// lost display, one of the test's own): the signals a desktop sends end it through its
// normal exit, at once and with its settings saved; without a display, or when the display
// goes, it says so, ends and leaves nothing held; whatever is at its profile's path, or
// where its settings would go, its window shows; a broken skin is named, and a signal ends
// the failed start and its box.
//
// The program runs on the test skin (its start and exit are quick under the sanitizers);
// each wait is bounded.

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "Platform/Instance/InstanceLock.h"
#include "ProgramProcess.h"
#include "Support/PrivateXServer.h"
#include "Support/TestSeed.h"
#include "Support/WaitUntil.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbSupport.h"
#include "Support/XvfbWindowProperty.h"
#include <X11/Xatom.h>

extern char** environ;

namespace QZTest {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Instance = QZ::Platform::Instance::InstanceLock;

// A main control painted in one colour: its first frame shows that the program runs its
// loop, its start-up (and the placing of its window) done. A plain panel: the editor's main
// control needs its device view, which would slow every start down.
constexpr char kPaintedSkin[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<Vandrel_Skin_Definitions>
  <Application Name="PresetEditor">
    <Colorizers><Colorizer Name="fill" ColorType="SolidFill" Color="FF3070C0"/></Colorizers>
    <Parts><Part Name="fill" Width="1" Height="1" ResizeType="Stretch" ColorizerName="fill"/></Parts>
    <Looks>
      <Look Name="fill"><ClientPart Name="fill" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look>
    </Looks>
    <LookLists><LookList Name="fill" NumLooks="1"><Look Name="fill" Index="0"/></LookList></LookLists>
    <Skins>
      <Skin Name="Skin1" FontName="Arial" FontSize="8.25">
        <SubControl Class="Framework.Panel" Name="mainControl" XSizeAbs="320" YSizeAbs="200">
          <Skin Name="Skin1" LookList="fill"/>
        </SubControl>
      </Skin>
    </Skins>
  </Application>
</Vandrel_Skin_Definitions>
)";
constexpr unsigned long kPaintedColour = 0x3070C0;

// The program's part of its end: from the signal to its settings saved. The sanitizers
// make every step of the test build's program several times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr auto kExitWorkBound = std::chrono::milliseconds(1000);
#else
constexpr auto kExitWorkBound = std::chrono::milliseconds(200);
#endif

constexpr char kAppId[] = "Vandrel_Quorin ZTR Preset Editor";
constexpr char kSettingsPath[] = "Vandrel/Quorin ZTR Preset Editor";
constexpr char kNotKept[] = "Settings will not be kept: ";

int64_t Milliseconds(Clock::duration duration) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(duration).count();
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

class ProgramLifeXvfbTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(UseXvfbDisplay()) << "runs under the Xvfb fixture";
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    std::filesystem::create_directories(resources);
    for (const char* name : {"FrameworkStrings.xml", "StringTables.xml"}) {
      std::filesystem::copy_file(std::string(QZ_PROGRAM_DOCUMENTS) + "/" + name, resources + "/" + name);
    }
    folder.Write("resources/Skins.xml", kPaintedSkin);
  }
  void TearDown() override {
    if (display) {
      XCloseDisplay(display);
    }
  }

  // A run with its settings in the test's folder, on the test skin.
  ProgramProcess::Changes Environment() const {
    return {{"HOME", folder / "home"},
            {"XDG_CONFIG_HOME", folder / "config"},
            {"XDG_DATA_HOME", folder / "data"},
            {"QZ_REGISTRY_FILE", folder / "registry.reg"},
            {"QZ_VIRTUAL_KEYBOARD", "1"},
            {"QZ_RESOURCE_FOLDER", resources},
            {"QZ_DPI", "96"},
            {"LANG", "C.UTF-8"}};
  }
  std::string SettingsFolder() const { return folder / "config/" + kSettingsPath; }
  std::string LockPath() const { return folder / "runtime/" + std::string(kAppId) + "Prevent"; }

  // The program's window on the fixture's display (or another) within limit; 0 when none.
  static ::Window WaitForWindow(Display* on, const ProgramProcess& program,
                                std::chrono::milliseconds limit = kWaitBound) {
    ::Window window = 0;
    WaitUntil([&] { return (window = QZTest::FindTopLevelWindow(on, program.Pid())) != 0; },
              limit); // nothing announces it
    return window;
  }
  // Whether the window shows its first frame, within the wait bound.
  bool WaitForFirstFrame(::Window window) const {
    return WaitUntil([&] {
      XWindowAttributes attributes{};
      if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) {
        return false;
      }
      XImage* pixel = XGetImage(display, window, attributes.width / 2, attributes.height / 2, 1, 1, AllPlanes, ZPixmap);
      const bool painted = pixel && (XGetPixel(pixel, 0, 0) & 0xFFFFFF) == kPaintedColour;
      if (pixel) {
        XDestroyImage(pixel);
      }
      return painted;
    }); // nothing announces it
  }
  // How long a start on this machine takes until the window shows (the sanitizers make it
  // slow): a plain start, ended by a signal.
  std::chrono::milliseconds StartTime() {
    ProgramProcess program(Environment(), folder);
    const Clock::time_point started = Clock::now();
    EXPECT_NE(WaitForWindow(display, program), ::Window(0));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
    program.Signal(SIGTERM);
    program.Wait();
    return took;
  }
  // A start that shows its window within limit and ends with 0 on SIGTERM; its standard error.
  std::string StartShowAndEnd(const ProgramProcess::Changes& changes, std::chrono::milliseconds limit,
                              const ProgramProcess::Options& options = {}) {
    ProgramProcess program(changes, folder, options);
    EXPECT_NE(WaitForWindow(display, program, limit), ::Window(0)) << "no window within " << limit.count() << " ms";
    program.Signal(SIGTERM);
    const ProgramProcess::Ended ended = program.Wait();
    EXPECT_TRUE(ended.exited && ended.status == 0) << ended.status << ": " << ended.errors;
    return ended.errors;
  }

  Display* display = nullptr;
  TempFolder folder;
  const std::string resources = folder / "resources";
};

TEST_F(ProgramLifeXvfbTest, SigtermAndSighupEndTheProgramThroughItsExitAtOnceWithSettingsAndPlacementSaved) {
  {
    ProgramProcess program(Environment(), folder);
    const ::Window window = WaitForWindow(display, program);
    ASSERT_NE(window, ::Window(0)) << folder.Read("program-stderr.txt");
    ASSERT_TRUE(WaitForFirstFrame(window));
    const SettingsSaved end = SignalAndAwaitSettings(program, SIGTERM, SettingsFolder(), 1000ms);
    EXPECT_TRUE(end.saved);
    // The program's own part of the end; the sanitizers' checks of the process end add more.
    EXPECT_LT(Milliseconds(end.took), kExitWorkBound.count()) << "from SIGTERM to the settings saved";
    const std::optional<ProgramProcess::Ended> ended = program.WaitFor(20s);
    ASSERT_TRUE(ended);
    EXPECT_TRUE(ended->exited && ended->status == 0) << ended->status << ": " << ended->errors;
  }
  // The terminal closed after the window was moved: the new place is kept.
  ProgramProcess program(Environment(), folder);
  const ::Window window = WaitForWindow(display, program);
  ASSERT_NE(window, ::Window(0));
  ASSERT_TRUE(WaitForFirstFrame(window)) << "the program has placed its window";
  XMoveWindow(display, window, 123, 87);
  XSync(display, False);
  ASSERT_TRUE(WaitUntil([&] {
    int x = 0;
    int y = 0;
    ::Window child = 0;
    return XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child) && x == 123 &&
           y == 87;
  }));
  program.Signal(SIGHUP);
  const std::optional<ProgramProcess::Ended> ended = program.WaitFor(20s);

  ASSERT_TRUE(ended);
  EXPECT_TRUE(ended->exited && ended->status == 0) << ended->status << ": " << ended->errors;
  const std::vector<int32_t> placement =
      StoredPlacement(folder.Read("config/" + std::string(kSettingsPath) + "/Profile.ini"));
  ASSERT_EQ(placement.size(), 4u);
  EXPECT_EQ(placement[0], 123);
  EXPECT_EQ(placement[1], 87);
}

TEST_F(ProgramLifeXvfbTest, ASaveBeyondTheFileSizeLimitFailsSaysSoAndLeavesTheFileAsItWas) {
  StartShowAndEnd(Environment(), kWaitBound);
  // A settings file longer than the limit, that the next run will want to write.
  const std::string settings = "config/" + std::string(kSettingsPath) + "/UserSettings.ini";
  std::string text = folder.Read(settings);
  const size_t key = text.find("<key>CurrentSkinIndex</key>");
  ASSERT_NE(key, std::string::npos) << text;
  text.insert(key, "<key>Padding</key><string>" + std::string(4096, 'p') + "</string>\n\t\t");
  folder.Write(settings, text);
  ProgramProcess::Options options;
  options.fileSizeLimit = 2048;
  const std::string errors = StartShowAndEnd(Environment(), kWaitBound, options);
  EXPECT_NE(errors.find("UserSettings.ini: settings not saved: File too large"), std::string::npos) << errors;
  EXPECT_EQ(folder.Read(settings), text);
  EXPECT_FALSE(folder.Exists(settings + ".tmp"));
}

TEST_F(ProgramLifeXvfbTest, WithoutAUsableDisplayItNamesItEndsWithTwoAndHoldsNothing) {
  struct Case {
    std::optional<std::string> display;
    std::string named;
  };
  for (const Case& c : {Case{std::nullopt, "DISPLAY is not set"}, Case{":199", "The display \":199\""},
                        Case{"garbage", "The display \"garbage\""}}) {
    SCOPED_TRACE(c.named);
    ProgramProcess::Changes changes = Environment();
    changes["DISPLAY"] = c.display;
    changes["WAYLAND_DISPLAY"] = std::nullopt;
    changes["SDL_VIDEODRIVER"] = std::nullopt;
    ProgramProcess program(changes, folder);
    // Only a hang fails here: a sanitized start on a loaded machine can take seconds.
    const std::optional<ProgramProcess::Ended> ended = program.WaitFor(kWaitBound);
    ASSERT_TRUE(ended) << "still running after " << kWaitBound.count() << " ms";
    EXPECT_TRUE(ended->exited && ended->status == 2) << ended->status << ": " << ended->errors;
    EXPECT_NE(ended->errors.find(c.named), std::string::npos) << ended->errors;
    EXPECT_NE(ended->errors.find("xvfb-run -a -s \"-screen 0 1280x1024x24\""), std::string::npos) << ended->errors;
    EXPECT_TRUE(std::filesystem::is_empty(folder / "runtime")) << "no lock file left";
  }
  // The next start, on a display, is the running instance and shows its window.
  StartShowAndEnd(Environment(), kWaitBound);
}

TEST_F(ProgramLifeXvfbTest, WhateverIsAtTheProfilesPathTheWindowShows) {
  const auto bound = StartTime() + 2s;
  std::filesystem::remove_all(folder / "config");
  const std::string profile = SettingsFolder() + "/Profile.ini";
  std::filesystem::create_directories(SettingsFolder());

  ASSERT_EQ(::mkfifo(profile.c_str(), 0600), 0);
  StartShowAndEnd(Environment(), bound);
  EXPECT_TRUE(std::filesystem::is_fifo(profile)) << "the FIFO is left as it is";
  std::filesystem::remove(profile);

  std::filesystem::create_directories(profile);
  StartShowAndEnd(Environment(), bound);
  EXPECT_TRUE(std::filesystem::is_directory(profile));
  std::filesystem::remove(profile);

  TestSeed seed;
  std::mt19937_64 random(seed.value);
  std::string bytes(2000, '\0');
  for (char& byte : bytes) {
    byte = char(random());
  }
  folder.Write("config/" + std::string(kSettingsPath) + "/Profile.ini", bytes);
  const std::string errors = StartShowAndEnd(Environment(), bound);
  EXPECT_EQ(folder.Read("config/" + std::string(kSettingsPath) + "/Profile.ini.bak"), bytes);
  EXPECT_NE(errors.find(profile + ": not a profile: kept as " + profile + ".bak"), std::string::npos) << errors;
  EXPECT_EQ(StoredPlacement(folder.Read("config/" + std::string(kSettingsPath) + "/Profile.ini")).size(), 4u)
      << "the new placement is stored";
}

TEST_F(ProgramLifeXvfbTest, SettingsThatCannotBeKeptAreSaidOnceAndNothingIsWrittenInTheWorkingFolder) {
  const auto bound = StartTime() + 2s;
  const std::string working = folder / "working";
  std::filesystem::create_directories(working);
  ProgramProcess::Options options;
  options.workingFolder = working;
  using Variables = std::vector<std::pair<std::string, std::optional<std::string>>>;
  for (const Variables& variables : {
           Variables{{"HOME", std::nullopt}, {"XDG_CONFIG_HOME", std::nullopt}, {"XDG_DATA_HOME", std::nullopt}},
           Variables{{"HOME", std::nullopt}, {"XDG_CONFIG_HOME", "relative/dir"}, {"XDG_DATA_HOME", "relative/data"}},
           Variables{{"XDG_CONFIG_HOME", "/proc"}, {"XDG_DATA_HOME", "/proc"}},
       }) {
    ProgramProcess::Changes changes = Environment();
    std::string described;
    for (const auto& [name, value] : variables) {
      changes[name] = value;
      described += name + "=" + value.value_or("(unset)") + " ";
    }
    SCOPED_TRACE(described);
    const std::string errors = StartShowAndEnd(changes, bound, options);
    EXPECT_EQ(Count(errors, kNotKept), 1u) << errors;
    EXPECT_TRUE(std::filesystem::is_empty(working)) << "written in the working folder";
  }
}

TEST_F(ProgramLifeXvfbTest, ABrokenSkinIsNamedWithItsLineAndASignalEndsTheFailedStartAndItsBox) {
  // The test skin cut after its fifth line.
  std::string text;
  std::istringstream in(kPaintedSkin);
  std::string line;
  for (int i = 0; i < 5 && std::getline(in, line); ++i) {
    text += line + "\n";
  }
  folder.Write("resources/Skins.xml", text);
  ProgramProcess program(Environment(), folder);
  ::Window box = 0;
  ASSERT_TRUE(WaitUntil([&] { return (box = QZTest::FindTopLevelWindow(display, 0, "Error")) != 0; }))
      << folder.Read("program-stderr.txt");
  const Clock::time_point signalled = Clock::now();
  program.Signal(SIGTERM);
  const std::optional<ProgramProcess::Ended> ended = program.WaitFor(1s);
  ASSERT_TRUE(ended) << "still running 1 s after SIGTERM";
  EXPECT_LT(Milliseconds(Clock::now() - signalled), 1000);
  EXPECT_TRUE(ended->exited && ended->status == 1) << ended->status << ": " << ended->errors;
  EXPECT_NE(ended->errors.find(resources + "/Skins.xml: line 6: no element found"), std::string::npos) << ended->errors;
  EXPECT_TRUE(WaitUntil([&] { return QZTest::FindTopLevelWindow(display, 0, "Error") == 0; }, 1s))
      << "the box is still up";
}

TEST_F(ProgramLifeXvfbTest, ALostDisplayEndsTheProgramAtOnceWithItsSettingsAndPlaceSavedAndTheLockFree) {
  PrivateXServer server;
  ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
  ProgramProcess::Changes changes = Environment();
  changes["DISPLAY"] = server.Name();
  ProgramProcess program(changes, folder);
  {
    Display* other = XOpenDisplay(server.Name().c_str());
    ASSERT_NE(other, nullptr);
    const ::Window window = WaitForWindow(other, program);
    XCloseDisplay(other);
    ASSERT_NE(window, ::Window(0)) << folder.Read("program-stderr.txt");
  }
  const Clock::time_point killed = Clock::now();
  server.Kill();
  const std::optional<ProgramProcess::Ended> ended = program.WaitFor(1s);
  ASSERT_TRUE(ended) << "still running 1 s after its display went";
  EXPECT_LT(Milliseconds(Clock::now() - killed), 1000);
  EXPECT_TRUE(ended->exited && ended->status != 0) << ended->status << ": " << ended->errors;
  EXPECT_NE(ended->errors.find("The connection to the display \"" + server.Name() + "\" was lost"), std::string::npos)
      << ended->errors;
  EXPECT_TRUE(folder.Exists("config/" + std::string(kSettingsPath) + "/UserSettings.ini"));
  EXPECT_EQ(StoredPlacement(folder.Read("config/" + std::string(kSettingsPath) + "/Profile.ini")).size(), 4u);
  EXPECT_EQ(Instance(LockPath()).GetState(), Instance::State::Held) << "the lock is free";
  // A new start on another display is the running instance and shows its window.
  StartShowAndEnd(Environment(), kWaitBound);
}

} // namespace
} // namespace QZTest
