// The application's run as the host drives it: an exit request closes the main window
// before the loop ends, and an exception inside the loop ends the run in order with the
// start-up error box and exit code 1.

#include <gmock/gmock.h>

#include <filesystem>

#include "ApplicationTestSupport.h"

namespace QZTest {
namespace {

constexpr char16_t kStartupError[] = u"The application encountered problems during startup and will now close.";

// The host of the run, which notes at its loop's end whether the main window is still there.
class RunHost : public TestApplicationHost {
public:
  using TestApplicationHost::TestApplicationHost;
  int32_t ExitInstance() override {
    mainWindowAtExit = GetMainWindow() != nullptr;
    ++exits;
    return TestApplicationHost::ExitInstance();
  }
  bool mainWindowAtExit = true;
  int exits = 0;
};

class ApplicationRunTest : public HostRunTest {
protected:
  void SetUp() override {
    HostRunTest::SetUp();
    // The program's own string tables beside the test skin.
    const std::string resources = folder / "resources";
    std::filesystem::create_directories(resources);
    for (const char* name : {"FrameworkStrings.xml", "StringTables.xml"}) {
      std::filesystem::copy_file(std::string(QZ_PROGRAM_DOCUMENTS) + "/" + name, resources + "/" + name);
    }
    std::filesystem::copy_file(std::string(QZ_APPLICATION_TEST_DATA) + "/Skins.xml", resources + "/Skins.xml");
    environment.Set("QZ_RESOURCE_FOLDER", resources);
  }
  void TearDown() override {
    TestApplication::MadeHook() = nullptr;
    HostRunTest::TearDown();
  }
};

TEST_F(ApplicationRunTest, AnExitRequestClosesTheMainWindowBeforeTheLoopEnds) {
  int idlePasses = 0;
  TestApplication::MadeHook() = [&idlePasses](TestApplication& application) {
    application.onIdle = [&idlePasses, &application](bool) {
      if (idlePasses++ == 1) {
        (void)application.GetApplicationNotificationCenter()->PostNotification(
            QZ::LNotification::Create(u"NID_APP_EXIT_REQ")); // 0
      }
    };
  };
  RunHost host(SteppedServices());
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(host.exits, 1);
  EXPECT_FALSE(host.mainWindowAtExit);
  // The window wrote its place as it closed, while the application still lived.
  EXPECT_TRUE(host.GetProfileBinary(QZ::MFCFrameworkAppBase::GetAppId(), QZ::WString(u"WP")).has_value());
  EXPECT_EQ(QZ::LFrameworkApp::Get(), nullptr);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ApplicationRunTest, AnExceptionInsideTheLoopShowsOneBoxEndsInOrderAndExitsWithOne) {
  int idlePasses = 0;
  bool exitRequested = false;
  TestApplication::MadeHook() = [&](TestApplication& application) {
    application.onIdle = [&](bool) {
      if (++idlePasses == 2) { // the loop's first: the run's own pass came before it
        throw std::runtime_error("A failure inside the loop.");
      }
    };
    application.onShutdown = [&] { exitRequested = application.IsExiting(); };
  };
  RunHost host(SteppedServices());
  testing::internal::CaptureStderr();
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "A failure inside the loop.\n");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kStartupError);
  EXPECT_EQ(boxes[0].caption, u"Error");
  EXPECT_EQ(boxes[0].style, 0x10u);
  EXPECT_TRUE(exitRequested) << "the run's last idle pass delivers the exit request";
  EXPECT_EQ(idlePasses, 3);
  EXPECT_EQ(QZ::LFrameworkApp::Get(), nullptr);
  EXPECT_EQ(host.GetMainWindow(), nullptr);
}

// A window whose procedure throws on WM_USER.
class ThrowingWindow : public Win::WindowProcedure {
public:
  Win::LRESULT WindowProc(Win::HWND hwnd, uint32_t message, Win::WPARAM wParam, Win::LPARAM lParam) override {
    if (message == Win::WM_USER) {
      throw std::logic_error("A handler failed.");
    }
    return Win::DefWindowProc(hwnd, message, wParam, lParam);
  }
};

class ApplicationRunFailureTest : public ApplicationFixture {};

TEST_F(ApplicationRunFailureTest, WithoutTheFrameworksTextsTheBoxSaysItInEnglish) {
  MakeApplication(SkinOf(MainControl(R"(XSizeAbs="320" YSizeAbs="200")")));
  ThrowingWindow procedure;
  const Win::HWND hwnd = Win::CreateWindowEx(0, u"throws", Win::WS_CAPTION, 0, 40, 100, 100, nullptr, &procedure);
  ASSERT_NE(hwnd, nullptr);
  ASSERT_TRUE(Host::PostMessage(hwnd, Win::WM_USER, 0, 0));
  testing::internal::CaptureStderr();
  app->Run();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "A handler failed.\n");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kStartupError);
  EXPECT_EQ(boxes[0].caption, u"Error");
  EXPECT_EQ(boxes[0].style, 0x10u);
  EXPECT_EQ(host->GetExitCode(), 1);
  Win::DestroyWindow(hwnd);
}

} // namespace
} // namespace QZTest
