// The application's clipboard over SDL's clipboard under the X server of the Xvfb fixture
// (its display number in the file QZ_TEST_XVFB_DISPLAY_FILE names), with another program
// on the same clipboard (the peer QZ_TEST_CLIPBOARD_PEER names): its copies reach us whole,
// ours reach it, and its copy takes the clipboard from us.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Clipboard/Clipboard.h"
#include "Platform/Host/MessageLoop.h"
#include "Platform/Window/Input.h"
#include "QZFramework/System/Clipboard.h"

extern char** environ;

namespace QZ {
namespace {

namespace Win = Platform::Window;
namespace Host = Platform::Host;

// The text of the other program, with a line feed and characters beyond Latin-1.
const std::string kTheirs = "Preset 12: \xC3\x9Cn\xC3\xAF"
                            "code \xE2\x9C\x93 line1\nline2";
const std::u16string kTheirsWide = u"Preset 12: \u00DCn\u00EFcode \u2713 line1\nline2";

// Forwards the window layer's clipboard updates to the clipboard, as the OS window does.
class ListeningWindow : public Win::WindowProcedure {
public:
  Win::LRESULT WindowProc(Win::HWND hwnd, uint32_t message, Win::WPARAM wParam, Win::LPARAM lParam) override {
    if (message == Win::WM_CLIPBOARDUPDATE && clipboard) {
      ++updates;
      clipboard->OnClipboardUpdate();
      return 0;
    }
    return Win::DefWindowProc(hwnd, message, wParam, lParam);
  }
  RCPtr<LClipboard> clipboard;
  int updates = 0;
};

// A running peer with pipes to its standard input and output.
struct Peer {
  pid_t pid = -1;
  int input = -1;
  int output = -1;
};

class ClipboardXvfbTest : public ::testing::Test {
protected:
  void SetUp() override {
    const char* displayFile = std::getenv("QZ_TEST_XVFB_DISPLAY_FILE");
    const char* peer = std::getenv("QZ_TEST_CLIPBOARD_PEER");
    ASSERT_NE(displayFile, nullptr) << "runs under the Xvfb fixture";
    ASSERT_NE(peer, nullptr);
    mPeerProgram = peer;
    std::string number;
    std::ifstream(displayFile) >> number;
    ASSERT_FALSE(number.empty());
    setenv("DISPLAY", (":" + number).c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    ASSERT_TRUE(Host::Startup());
    Platform::Clipboard::SetBackend(nullptr); // SDL's
    mWindow.clipboard = mClipboard;
    mHwnd = Win::CreateWindowEx(0, u"Clipboard test", Win::WS_POPUP, 0, 0, 40, 30, nullptr, &mWindow);
    ASSERT_NE(mHwnd, nullptr);
    ASSERT_TRUE(Win::AddClipboardFormatListener(mHwnd));
  }
  void TearDown() override {
    for (Peer& peer : mPeers) {
      Finish(peer);
    }
    Win::DestroyWindow(mHwnd);
    Host::Shutdown();
  }

  // Starts the peer with arguments (no shell); the test's record of it, which TearDown
  // finishes when the test did not.
  Peer& Start(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), mPeerProgram);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
      argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    int toPeer[2];
    int fromPeer[2];
    Peer& peer = mPeers.emplace_back();
    if (pipe2(toPeer, O_CLOEXEC) != 0 || pipe2(fromPeer, O_CLOEXEC) != 0) {
      ADD_FAILURE() << "no pipes";
      return peer;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toPeer[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromPeer[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, toPeer[1]);
    posix_spawn_file_actions_addclose(&actions, fromPeer[0]);
    const int spawned = posix_spawn(&peer.pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toPeer[0]);
    close(fromPeer[1]);
    peer.input = toPeer[1];
    peer.output = fromPeer[0];
    EXPECT_EQ(spawned, 0) << mPeerProgram;
    if (spawned != 0) {
      peer.pid = -1;
    }
    return peer;
  }

  // Handles our messages (SDL answers the peer's requests for our selection meanwhile)
  // until done holds; false after 10 s.
  static bool PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) {
        return false;
      }
      Win::MSG msg;
      while (Host::PeekMessage(&msg, Win::PM_REMOVE)) {
        Host::TranslateMessage(&msg);
        Host::DispatchMessage(&msg);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }

  // Reads what the peer wrote until it has written `until` (empty: until it closed its
  // output), pumping our messages meanwhile.
  static std::string ReadFrom(const Peer& peer, const std::string& until) {
    std::string text;
    bool closed = false;
    PumpUntil([&] {
      pollfd output{peer.output, POLLIN, 0};
      while (!closed && poll(&output, 1, 0) > 0) {
        char buffer[256];
        const ssize_t n = read(peer.output, buffer, sizeof buffer);
        if (n <= 0) {
          closed = true;
        } else {
          text.append(buffer, size_t(n));
        }
      }
      return closed || (!until.empty() && text.find(until) != std::string::npos);
    });
    return text;
  }

  // Closes the peer's input (a copying peer ends then) and waits for it, pumping our
  // messages; its exit status, -1 when it did not end normally.
  static int Finish(Peer& peer) {
    if (peer.pid < 0) {
      return -1;
    }
    close(peer.input);
    close(peer.output);
    int status = -1;
    const bool ended = PumpUntil([&] { return waitpid(peer.pid, &status, WNOHANG) == peer.pid; });
    if (!ended) {
      kill(peer.pid, SIGKILL);
      waitpid(peer.pid, &status, 0);
    }
    peer.pid = -1;
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string mPeerProgram;
  std::deque<Peer> mPeers;
  ListeningWindow mWindow;
  Win::HWND mHwnd = nullptr;
  const RCPtr<LClipboard> mClipboard{new LClipboard};
};

TEST_F(ClipboardXvfbTest, AnotherProgramsCopyArrivesExactly) {
  Peer& peer = Start({"copy", kTheirs});
  ASSERT_EQ(ReadFrom(peer, "ready\n"), "ready\n");
  const ConstRCPtr<LStringWrapper> text = mClipboard->GetText();
  ASSERT_TRUE(text);
  EXPECT_EQ(std::u16string(text->View()), kTheirsWide);
  EXPECT_EQ(Finish(peer), 0);
}

TEST_F(ClipboardXvfbTest, OurCopyIsReadByAnotherProgram) {
  ASSERT_EQ(mClipboard->SetText(MakeStringableWrapper(WString(kTheirsWide.c_str()))), QZ_OK);
  Peer& peer = Start({"paste"});
  EXPECT_EQ(ReadFrom(peer, ""), kTheirs);
  EXPECT_EQ(Finish(peer), 0);
}

TEST_F(ClipboardXvfbTest, AnotherProgramsCopyTakesTheClipboardFromUs) {
  ASSERT_EQ(mClipboard->SetText(MakeStringableWrapper(WString(u"ours"))), QZ_OK);
  EXPECT_EQ(std::u16string(mClipboard->GetText()->View()), u"ours");
  Peer& peer = Start({"copy", "theirs"});
  ASSERT_EQ(ReadFrom(peer, "ready\n"), "ready\n");
  ASSERT_TRUE(PumpUntil([this] { return mWindow.updates > 0; })) << "no clipboard update";
  const ConstRCPtr<LStringWrapper> text = mClipboard->GetText();
  ASSERT_TRUE(text);
  EXPECT_EQ(std::u16string(text->View()), u"theirs");
  EXPECT_EQ(Finish(peer), 0);
}

} // namespace
} // namespace QZ
