// The running instance's side of a hand-over, in real windows of the scripted backend: the
// main window comes back from the task bar and to the front with the modal dialog over it,
// and the line reaches the application only while no modal dialog is open.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Platform/Host/MessagePump.h"
#include "QZFramework/Application/HandOverReceiver.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/Trace/DebugTrace.h"
#include "Support/FakeApplicationContext.h"
#include "Support/FakeControlApplication.h"
#include "Support/ScriptedVideoBackend.h"

namespace QZTest {
namespace {

namespace Win = QZ::Platform::Window;
namespace Host = QZ::Platform::Host;

// A scripted backend whose windows can be minimised and restored, recording what it raises.
class StackingBackend : public ScriptedVideoBackend {
public:
  void MinimizeWindow(uint32_t window) override { windowStates[window] = SDL_WINDOW_MINIMIZED; }
  void RestoreWindow(uint32_t window) override {
    windowStates.erase(window);
    restored.push_back(window);
  }
  std::vector<uint32_t> restored;
};

class HandOverReceiverTest : public ::testing::Test {
protected:
  void SetUp() override {
    auto owned = std::make_unique<StackingBackend>();
    backend = owned.get();
    ASSERT_TRUE(Host::Startup(std::move(owned)));
    centre = QZ::LNotificationCenter::CreateNotificationCenter(u"application");
    context.SetApplicationNotificationCenter(centre.Get());
    QZ::OSWindow* main = Open(100, 50, 300, 200, nullptr);
    ASSERT_NE(main, nullptr);
    hwnd = main->GetSafeHwnd();
  }
  void TearDown() override {
    Host::SetThreadMessageHandler({});
    Host::Shutdown();
    context.SetApplicationNotificationCenter(nullptr);
    centre->Shutdown();
  }

  // A visible window with its root window, owned by owner.
  QZ::OSWindow* Open(int32_t x, int32_t y, int32_t width, int32_t height, Win::HWND owner) {
    auto* window = new QZ::OSWindow;
    if (!window->CreateEx(0, u"QZFrameworkWindow", u"test", Win::WS_CAPTION | Win::WS_VISIBLE, x, y, width, height,
                          owner)) {
      delete window;
      return nullptr;
    }
    return window->CreateRenderer(QZ::kRendererGDI) == QZ::QZ_OK ? window : nullptr;
  }
  void Receive(const std::string& line) { QZ::ReceiveHandedOverCommandLine(hwnd, line, trace); }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (const QZ::WString& line : application.commandLines) {
      lines.emplace_back(QZ::NString(line).GetBuffer());
    }
    return lines;
  }
  uint32_t Id(Win::HWND window) const { return ScriptedVideoBackend::SdlIdOf(window); }

  FakeControlApplication application;
  FakeApplicationContext context;
  QZ::RCPtr<QZ::LNotificationCenter> centre;
  StackingBackend* backend = nullptr;
  Win::HWND hwnd = nullptr;
  std::string traced;
  QZ::DebugTrace trace{[this](std::string_view text) { traced += text; }};
};

TEST_F(HandOverReceiverTest, AMinimisedMainWindowIsRestoredAndRaisedAndGetsTheLineOnce) {
  Win::ShowWindow(hwnd, Win::SW_MINIMIZE);
  ASSERT_TRUE(Win::IsIconic(hwnd));
  backend->raised.clear();
  Receive("");
  EXPECT_FALSE(Win::IsIconic(hwnd));
  EXPECT_EQ(backend->restored, std::vector<uint32_t>{Id(hwnd)});
  ASSERT_FALSE(backend->raised.empty());
  EXPECT_EQ(backend->raised.back(), Id(hwnd));
  EXPECT_TRUE(Lines().empty()) << "an empty line calls no hook";

  Receive("\"editor\" a b \xC3\xA4");
  EXPECT_EQ(Lines(), std::vector<std::string>{"\"editor\" a b \xC3\xA4"});
  EXPECT_EQ(backend->restored.size(), 1u) << "restored only while minimised";
  EXPECT_EQ(traced, "Command line from another instance: \n"
                    "Command line from another instance: \"editor\" a b \xC3\xA4\n");
}

TEST_F(HandOverReceiverTest, AnOpenModalDialogIsRaisedAfterTheMainWindowAndKeepsTheLineFromTheApplication) {
  QZ::OSWindow* dialog = Open(150, 80, 120, 60, hwnd);
  ASSERT_NE(dialog, nullptr);
  const Win::HWND dialogHwnd = dialog->GetSafeHwnd();
  const uint32_t dialogId = Id(dialogHwnd); // the window goes with its loop
  const QZ::RCPtr<QZ::LRootWindow> dialogRoot = dialog->GetRootWindow();
  // Another window of the main one, made later: owned windows follow their owner to the
  // front in the order they were made, so this one would end on top but for the dialog.
  QZ::OSWindow* other = Open(400, 80, 120, 60, hwnd);
  ASSERT_NE(other, nullptr);

  std::vector<uint32_t> raisedInLoop;
  std::vector<std::string> linesInLoop;
  bool restoredDialog = false;
  Host::SetThreadMessageHandler([&](const Win::MSG& msg) {
    if (msg.message != Win::WM_APP) {
      return;
    }
    Win::ShowWindow(hwnd, Win::SW_MINIMIZE);
    Win::ShowWindow(dialogHwnd, Win::SW_MINIMIZE);
    backend->raised.clear();
    Receive("a b");
    raisedInLoop = backend->raised;
    linesInLoop = Lines();
    restoredDialog = !Win::IsIconic(dialogHwnd);
    EXPECT_EQ(dialogRoot->EndModal(1), QZ::QZ_OK);
  });
  ASSERT_TRUE(Host::PostThreadMessage(Win::WM_APP, 0, 0));
  EXPECT_EQ(dialogRoot->GetOSServices()->RunModalLoop(), 1);

  ASSERT_GE(raisedInLoop.size(), 2u);
  EXPECT_EQ(raisedInLoop.back(), dialogId);
  EXPECT_NE(std::find(raisedInLoop.begin(), raisedInLoop.end() - 1, Id(hwnd)), raisedInLoop.end() - 1)
      << "the main window first";
  EXPECT_TRUE(restoredDialog);
  EXPECT_TRUE(linesInLoop.empty()) << "not while the dialog is open";

  // Closed: the next line goes through, once; the one the dialog kept out stays out.
  Receive("a b");
  EXPECT_EQ(Lines(), std::vector<std::string>{"a b"});
}

} // namespace
} // namespace QZTest
