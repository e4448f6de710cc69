// scripts/run.sh over the test build's programs (QZ_PREBUILT, so nothing is installed or
// built): without a display it shows how to start the editor and ends with 2; on the Xvfb
// fixture's display without a Quorin ZTR keyboard it turns the virtual keyboard on, says
// so and starts the editor, whose window ("Quorin ZTR Preset Editor") Alt+F4 closes; a QZ_VIRTUAL_KEYBOARD the user set
// stays as it was.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "ProgramProcess.h"
#include "Support/WaitUntil.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbSupport.h"

namespace QZTest {
namespace {

constexpr char kVirtualKeyboardLine[] =
    "No Quorin ZTR keyboard found: the editor uses its virtual keyboard (QZ_VIRTUAL_KEYBOARD=1).\n";

// run.sh started as a user starts it, in a home of its own, with changes on top.
ProgramProcess::Changes ScriptEnvironment(const TempFolder& folder, ProgramProcess::Changes changes) {
  changes.emplace("QZ_PREBUILT", QZ_TEST_BUILD_FOLDER);
  changes.emplace("HOME", folder.Path());
  changes.emplace("XDG_CONFIG_HOME", folder / "config");
  changes.emplace("XDG_DATA_HOME", folder / "data");
  changes.emplace("QZ_REGISTRY_FILE", folder / "registry.reg");
  // No JACK server answers to this name: the keyboards a JACK server may list stay away.
  changes.emplace("JACK_DEFAULT_SERVER", "qz-no-such-server");
  changes.emplace("QZ_DPI", "96");
  return changes;
}

ProgramProcess::Options Script() {
  ProgramProcess::Options options;
  options.command = {"/bin/bash", QZ_RUN_SCRIPT};
  return options;
}

TEST(RunScriptTest, WithoutADisplayItSaysHowToStartTheEditorAndEndsWithTwo) {
  TempFolder folder;
  ProgramProcess script(ScriptEnvironment(folder, {{"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}}),
                        folder, Script());
  ASSERT_TRUE(script.Started());
  const ProgramProcess::Ended ended = script.Wait();
  EXPECT_TRUE(ended.exited);
  EXPECT_EQ(ended.status, 2);
  EXPECT_EQ(ended.errors, "No display to show the window on: neither DISPLAY nor WAYLAND_DISPLAY is set.\n"
                          "Start the program from a desktop session, or without one under a virtual X server:\n"
                          "  xvfb-run -a -s \"-screen 0 1280x1024x24\" " QZ_RUN_SCRIPT "\n");
  EXPECT_EQ(ended.output, "") << "the keyboard is not looked for";
}

class RunScriptXvfbTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(UseXvfbDisplay()) << "runs under the Xvfb fixture"; }

  // The variable's value in the environment of the running process; nullopt without it.
  static std::optional<std::string> EnvironmentOf(pid_t pid, const std::string& name) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/environ", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (size_t at = 0; at < all.size(); at = all.find('\0', at) + 1) {
      const std::string entry = all.substr(at, all.find('\0', at) - at);
      if (entry.rfind(name + "=", 0) == 0) {
        return entry.substr(name.size() + 1);
      }
    }
    return std::nullopt;
  }

  // The editor started by the script: its window's name once it shows, the value of
  // QZ_VIRTUAL_KEYBOARD it runs with; then Alt+F4, which must end it with 0. What the
  // script printed.
  std::string RunUntilAltF4(ProgramProcess::Changes changes, std::optional<std::string>& virtualKeyboard) {
    ProgramProcess script(ScriptEnvironment(folder, std::move(changes)), folder, Script());
    EXPECT_TRUE(script.Started());
    const std::string found = folder / "window.txt";
    // The script becomes the editor (exec): its windows are the script's process's. The splash
    // screen shows first under the maker's name, and xdotool matches no UTF-8 title by name, so
    // the names are read until the main window's shows.
    const std::string pid = std::to_string(script.Pid());
    EXPECT_EQ(RunProgram({"/bin/sh", "-c",
                          "for i in $(seq 1200); do for w in $(xdotool search --onlyvisible --pid " + pid +
                              "); do name=$(xdotool getwindowname $w); [ \"$name\" = 'Quorin ZTR Preset Editor' ] "
                              "&& echo \"$name\" >" +
                              found + " && exit 0; done; sleep 0.1; done; exit 1"}),
              0);
    EXPECT_EQ(folder.Read("window.txt"), "Quorin ZTR Preset Editor\n") << "the skin's label titles the window";
    virtualKeyboard = EnvironmentOf(script.Pid(), "QZ_VIRTUAL_KEYBOARD");
    // The window that SDL shows without a window manager has the keyboard's focus.
    EXPECT_EQ(RunProgram({"xdotool", "key", "alt+F4"}), 0);
    const std::optional<ProgramProcess::Ended> ended = script.WaitFor(kWaitBound);
    EXPECT_TRUE(ended && ended->exited && ended->status == 0) << (ended ? ended->errors : "still running");
    return ended ? ended->output : "";
  }

  TempFolder folder;
};

TEST_F(RunScriptXvfbTest, WithoutAKeyboardTheEditorRunsWithTheVirtualOneAndAUsersChoiceIsKept) {
  std::optional<std::string> virtualKeyboard;
  EXPECT_EQ(RunUntilAltF4({{"QZ_VIRTUAL_KEYBOARD", std::nullopt}}, virtualKeyboard), kVirtualKeyboardLine);
  EXPECT_EQ(virtualKeyboard, "1");

  EXPECT_EQ(RunUntilAltF4({{"QZ_VIRTUAL_KEYBOARD", "0"}}, virtualKeyboard), "");
  EXPECT_EQ(virtualKeyboard, "0");
}

} // namespace
} // namespace QZTest
