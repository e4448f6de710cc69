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

#include "Platform/Process/Process.h"
#include "Platform/Window/MessageBoxProgram.h"
#include "Platform/Window/MessageBoxStyle.h"
#include "Support/WaitUntil.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbSupport.h"

namespace {

using namespace QZ::Platform::Window;
namespace Process = QZ::Platform::Process;

// The first line xdotool prints for its arguments; empty when it prints nothing.
std::string Xdotool(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "xdotool");
  const Process::ProcessResult result = Process::RunProcess(arguments);
  return result.output.substr(0, result.output.find('\n'));
}

// The processes below root (its children, theirs ...).
std::vector<pid_t> Descendants(pid_t root) {
  std::map<pid_t, pid_t> parents;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string text;
    std::getline(stat, text);
    const size_t close = text.rfind(')');
    std::istringstream fields(close == std::string::npos ? std::string() : text.substr(close + 1));
    std::string state;
    pid_t parent = 0;
    if (fields >> state >> parent) {
      parents[pid_t(std::atoi(entry.path().filename().c_str()))] = parent;
    }
  }
  std::vector<pid_t> found = {root};
  for (size_t i = 0; i < found.size(); ++i) {
    for (const auto& [pid, parent] : parents) {
      if (parent == found[i]) {
        found.push_back(pid);
      }
    }
  }
  found.erase(found.begin());
  return found;
}

// A box shown on a thread of its own, as the window layer shows it.
class ShownBox {
public:
  ShownBox(uint32_t style, std::string title, std::function<bool()> whileShown = {})
      : mTitle(std::move(title)), mThread([this, style, whileShown] {
          mAnswer = RunMessageBoxProgram(style, mTitle, "The preset could not be sent.", 0, whileShown);
          mDone = true;
        }) {}
  ~ShownBox() { mThread.join(); }
  ShownBox(const ShownBox&) = delete;
  ShownBox& operator=(const ShownBox&) = delete;

  // The box's X window once it shows; empty when it does not within the wait bound.
  std::string Window() const {
    std::string window;
    QZTest::WaitUntil([&] { return !(window = Xdotool({"search", "--name", "^" + mTitle + "$"})).empty(); });
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
  std::thread mThread;
};

TEST(MessageBoxProgramXvfbTest, ReturnAnswersTheDefaultButtonAndEscapeTheCancellingOne) {
  ASSERT_TRUE(QZTest::UseXvfbDisplay()) << "runs under the Xvfb fixture";
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
    const std::string window = box.Window();
    ASSERT_FALSE(window.empty()) << "no box showed";
    Xdotool({"windowfocus", "--sync", window, "key", c.key});
    EXPECT_EQ(box.Answer(), c.answer);
  }
}

TEST(MessageBoxProgramXvfbTest, AWaitThatGivesUpTakesTheBoxAndItsProcessesDown) {
  ASSERT_TRUE(QZTest::UseXvfbDisplay()) << "runs under the Xvfb fixture";
  std::atomic<bool> givenUp{false};
  ShownBox box(MB_YESNO, "Replace Preset", [&givenUp] { return !givenUp.load(); });
  const std::string window = box.Window();
  ASSERT_FALSE(window.empty()) << "no box showed";
  const std::vector<pid_t> boxProcesses = Descendants(::getpid());
  ASSERT_FALSE(boxProcesses.empty());
  givenUp = true;
  EXPECT_EQ(box.Answer(), 0) << "taken down, not answered";
  EXPECT_TRUE(QZTest::WaitUntil([&] { return Xdotool({"search", "--name", "^Replace Preset$"}).empty(); }));
  for (const pid_t pid : boxProcesses) {
    EXPECT_TRUE(QZTest::WaitUntil([&] { return !std::filesystem::exists("/proc/" + std::to_string(pid)); }))
        << "process " << pid << " of the box is left";
  }
}

} // namespace
