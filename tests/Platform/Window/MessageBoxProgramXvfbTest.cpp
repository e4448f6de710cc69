// The message box program on the X server of the Xvfb fixture: the box shows the buttons of
// its style, Return answers the default one and Escape the cancelling one, and a caller's
// wait that gives up takes the box and the process that draws it down.

#include <signal.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Window/MessageBoxProgram.h"
#include "Platform/Window/MessageBoxStyle.h"
#include "Support/ProcessTree.h"
#include "Support/WaitUntil.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbSupport.h"
#include "Support/XvfbWindowProperty.h"

namespace {

using namespace QZ::Platform::Window;
using QZTest::Descendants;

void Xdotool(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "xdotool");
  EXPECT_EQ(QZTest::RunProgram(arguments), 0);
}

// A box shown on a thread of its own, as the window layer shows it; taken down at the end
// of the scope if it is still up.
class ShownBox {
public:
  ShownBox(uint32_t style, std::string title, std::function<bool()> whileShown = {})
      : mTitle(std::move(title)), mThread([this, style, whileShown] {
          mAnswer = RunMessageBoxProgram(style, mTitle, "The preset could not be sent.", 0,
                                         [this, whileShown] { return !mEnding && (!whileShown || whileShown()); });
          mDone = true;
        }) {}
  ~ShownBox() {
    mEnding = true;
    mThread.join();
  }
  ShownBox(const ShownBox&) = delete;
  ShownBox& operator=(const ShownBox&) = delete;

  // The box's X window once it shows; 0 when it does not within the wait bound.
  ::Window Window(Display* display) const {
    ::Window window = 0;
    QZTest::WaitUntil([&] { return (window = QZTest::FindTopLevelWindow(display, 0, mTitle)) != 0; });
    return window;
  }
  std::optional<int32_t> Answer() {
    EXPECT_TRUE(QZTest::WaitUntil([this] { return mDone.load(); })) << "the box is still up";
    return mAnswer;
  }

private:
  std::string mTitle;
  std::optional<int32_t> mAnswer;
  std::atomic<bool> mDone{false};
  std::atomic<bool> mEnding{false};
  std::thread mThread;
};

class MessageBoxProgramXvfbTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(QZTest::UseXvfbDisplay()) << "runs under the Xvfb fixture";
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
  }
  void TearDown() override {
    if (display) {
      XCloseDisplay(display);
    }
  }

  Display* display = nullptr;
};

TEST_F(MessageBoxProgramXvfbTest, ReturnAnswersTheDefaultButtonAndEscapeTheCancellingOne) {
  const struct {
    uint32_t style;
    const char* key;
    int32_t answer;
  } cases[] = {
      {MB_YESNOCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION, "Return", IDNO},
      {MB_YESNOCANCEL | MB_ICONWARNING, "Escape", IDCANCEL},
      {MB_OK | MB_ICONERROR, "Escape", IDOK},
      {MB_RETRYCANCEL | MB_DEFBUTTON1, "Return", IDRETRY},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style);
    ShownBox box(c.style, "Send Preset");
    const ::Window window = box.Window(display);
    ASSERT_NE(window, 0u) << "no box showed";
    Xdotool({"windowfocus", "--sync", std::to_string(window), "key", c.key});
    EXPECT_EQ(box.Answer(), c.answer);
  }
}

TEST_F(MessageBoxProgramXvfbTest, AWaitThatGivesUpTakesTheBoxAndItsProcessesDown) {
  std::atomic<bool> givenUp{false};
  ShownBox box(MB_YESNO, "Replace Preset", [&givenUp] { return !givenUp.load(); });
  ASSERT_NE(box.Window(display), 0u) << "no box showed";
  const std::vector<pid_t> boxProcesses = Descendants(::getpid());
  ASSERT_FALSE(boxProcesses.empty());
  givenUp = true;
  EXPECT_EQ(box.Answer(), 0) << "taken down, not answered";
  EXPECT_TRUE(QZTest::WaitUntil([&] { return QZTest::FindTopLevelWindow(display, 0, "Replace Preset") == 0; }));
  for (const pid_t pid : boxProcesses) {
    EXPECT_TRUE(QZTest::WaitUntil([&] { return !std::filesystem::exists("/proc/" + std::to_string(pid)); }))
        << "process " << pid << " of the box is left";
  }
}

} // namespace
