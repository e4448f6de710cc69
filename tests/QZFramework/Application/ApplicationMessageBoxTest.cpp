// The application base's message boxes: the skin's box, modal to the active window and
// centred on it; the window layer's box where the skin has none or its recorder is
// installed; nothing while the program ends (an exit request, a termination signal), only
// its caption and text written out, and a box up when the exit request comes ends with the
// answer of a cancelled box.

#include <signal.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "ApplicationTestSupport.h"
#include "Platform/Host/TerminationSignals.h"
#include "Platform/Window/MessageBoxStyle.h"
#include "QZFramework/Controls/MessageBoxDialog.h"
#include "Support/WaitUntil.h"

namespace QZTest {
namespace {

using QZ::RCPtr;

// The main control and a message box of plain parts, the widest button row in its place.
std::string SkinWithBox(bool withBox) {
  std::string box =
      R"(<SubControl Class="Framework.Panel" Name="dialogMessageBox" XSizeAbs="300" YSizeAbs="110">)"
      R"(<SubControl Class="Framework.Label" Name="labelIcon" XPositionAbs="10" YPositionAbs="10" XSizeAbs="32" YSizeAbs="32"/>)"
      R"(<SubControl Class="Framework.Panel" Name="panelText" XPositionAbs="50" YPositionAbs="10" XSizeAbs="240" YSizeAbs="32">)"
      R"(<SubControl Class="Framework.Label" Name="labelText" XSizeAbs="240" YSizeAbs="32" TextOverflowXType="Wrap"/>)"
      R"(</SubControl>)";
  const char* const buttons[][2] = {{"buttonYes", "50"},   {"buttonNo", "130"},    {"buttonCancel", "210"},
                                    {"buttonAbort", "50"}, {"buttonRetry", "130"}, {"buttonIgnore", "210"},
                                    {"buttonOK", "210"}};
  for (const auto& [name, x] : buttons) {
    box += std::string(R"(<SubControl Class="Framework.Button" Name=")") + name + R"(" XPositionAbs=")" + x +
           R"(" YPositionAbs="70" XSizeAbs="80" YSizeAbs="30" IsVisible="False"/>)";
  }
  box += "</SubControl>";
  return SkinOf(MainControl(R"(XPositionAbs="100" YPositionAbs="150" XSizeAbs="600" YSizeAbs="400")") +
                (withBox ? box : std::string()));
}

class ApplicationMessageBoxTest : public ApplicationFixture {
protected:
  void Open(bool withBox) {
    MakeApplication(SkinWithBox(withBox));
    ASSERT_EQ(app->CreateMainWindow(app->GetRendererType()), QZ::QZ_OK);
    main = host->GetMainWindow();
    ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
    ASSERT_EQ(app->SetMainRootControl(QZ::WString(u"mainControl")), QZ::QZ_OK);
    Activate(main);
    idle = RCPtr<Listener>(new Listener);
    idle->RegisterNotification(RCPtr<QZ::LNotificationDistributor>(centre()), u"NID_IDLE");
  }
  void TearDown() override {
    if (idle) {
      idle->UnregisterAllNotifications();
    }
    ApplicationFixture::TearDown();
  }
  // At each idle pass while a box is up: act(box, its window).
  void WhileABoxIsUp(const std::function<void(QZ::LMessageBoxDialog&, Win::HWND)>& act) {
    idle->onReceive = [this, act](const RCPtr<QZ::LNotification>&) {
      for (const RCPtr<QZ::LRootWindow>& window : app->GetRootWindows()) {
        const RCPtr<QZ::LMessageBoxDialog> box = QZ::DynamicCast<QZ::LMessageBoxDialog>(window->GetRootControl());
        if (box && window->GetOSServices()) {
          ++passesWithABox;
          act(*box, static_cast<Win::HWND>(window->GetOSServices()->GetHandle()));
        }
      }
    };
  }
  void ShowNoBoxes() { Win::SetMessageBoxRecorder({}); }

  Win::HWND main = nullptr;
  RCPtr<Listener> idle;
  int passesWithABox = 0;
};

TEST_F(ApplicationMessageBoxTest, TheSkinsBoxIsModalToTheActiveWindowCentredOnItAndAnswersItsButton) {
  Open(true);
  ShowNoBoxes();
  Win::HWND owner = nullptr;
  std::u16string title;
  Win::RECT box{};
  Win::RECT client{};
  WhileABoxIsUp([&](QZ::LMessageBoxDialog& dialog, Win::HWND hwnd) {
    owner = Win::GetParent(hwnd);
    title = Win::GetWindowText(hwnd);
    EXPECT_TRUE(Win::GetWindowRect(hwnd, &box));
    EXPECT_FALSE(Win::IsWindowEnabled(main)) << "modal";
    dialog.EndDialog(Win::IDNO);
  });
  EXPECT_EQ(app->ShowMessageBox(QZ::WString(u"Replace the preset?"), QZ::WString(u"Load"),
                                Win::MB_YESNO | Win::MB_ICONQUESTION),
            Win::IDNO);
  EXPECT_GT(passesWithABox, 0);
  EXPECT_EQ(owner, main);
  EXPECT_EQ(title, u"Load");
  ASSERT_TRUE(Win::GetClientRect(main, &client));
  Win::POINT origin{0, 0};
  ASSERT_TRUE(Win::ClientToScreen(main, &origin));
  EXPECT_NEAR((box.left + box.right) / 2, origin.x + client.right / 2, 2);
  EXPECT_NEAR((box.top + box.bottom) / 2, origin.y + client.bottom / 2, 2);
  EXPECT_TRUE(Win::IsWindowEnabled(main));
  EXPECT_EQ(app->GetRootWindowCount(), 1u) << "the box's window is gone";
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ApplicationMessageBoxTest, TheRecorderTakesEveryBoxAndWithoutTheSkinsBoxTheWindowLayerShowsIt) {
  Open(true);
  WhileABoxIsUp([](QZ::LMessageBoxDialog& dialog, Win::HWND) { dialog.EndDialog(Win::IDOK); });
  EXPECT_EQ(app->ShowMessageBox(QZ::WString(u"Sent."), QZ::WString(u"Send Success"), 0), Win::IDOK);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, u"Send Success");
  EXPECT_EQ(passesWithABox, 0);

  DropApplication();
  Open(false);
  ShowNoBoxes();
  testing::internal::CaptureStderr(); // the offscreen driver has no display
  EXPECT_EQ(app->ShowMessageBox(QZ::WString(u"Replace?"), QZ::WString(u"Load"), Win::MB_YESNOCANCEL), Win::IDCANCEL);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Load: Replace?\n");
}

TEST_F(ApplicationMessageBoxTest, WhileTheProgramEndsNoBoxShowsAndEachAnswersAsCancelled) {
  Open(true);
  // An exit request queued as the box opens (a signal's, say) ends it at its first idle pass.
  (void)centre()->PostNotification(QZ::LNotification::Create(u"NID_APP_EXIT_REQ")); // 0
  ShowNoBoxes();
  WhileABoxIsUp([](QZ::LMessageBoxDialog&, Win::HWND) {});
  EXPECT_EQ(app->ShowMessageBox(QZ::WString(u"Replace?"), QZ::WString(u"Load"), Win::MB_YESNO), Win::IDNO);
  EXPECT_TRUE(app->IsExiting());
  EXPECT_EQ(app->GetRootWindowCount(), 1u);

  // Once it ends, nothing shows.
  passesWithABox = 0;
  Win::SetMessageBoxRecorder([this](std::u16string_view text, std::u16string_view caption, uint32_t style) {
    boxes.push_back({std::u16string(text), std::u16string(caption), style});
    return Win::IDOK;
  });
  EXPECT_EQ(app->ShowMessageBox(QZ::WString(u"Go?"), QZ::WString(u"Send"), Win::MB_OKCANCEL), Win::IDCANCEL);
  EXPECT_EQ(app->ShowMessageBox(QZ::WString(u"Done."), QZ::WString(u"Send"), Win::MB_ICONERROR), Win::IDOK);
  EXPECT_EQ(app->ShowMessageBox(QZ::WString(u"Failed."), QZ::WString(u"Send"), Win::MB_ABORTRETRYIGNORE), Win::IDABORT);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(passesWithABox, 0);
}

TEST_F(ApplicationMessageBoxTest, ABoxAskedForAfterTheExitRequestIsWrittenToStandardErrorAndTheTrace) {
  Open(true);
  (void)centre()->PostNotification(QZ::LNotification::Create(u"NID_APP_EXIT_REQ")); // 0
  app->DoIdleWork(true);
  ASSERT_TRUE(app->IsExiting());
  ShowNoBoxes();
  WhileABoxIsUp([](QZ::LMessageBoxDialog&, Win::HWND) {});
  const auto show = [this] {
    return app->ShowMessageBox(QZ::WString(u"Die Einstellungen wurden nicht gespeichert."),
                               QZ::WString(u"Einstellungen für Quorin"), Win::MB_RETRYCANCEL | Win::MB_ICONERROR);
  };
  const std::string line = "Einstellungen für Quorin: Die Einstellungen wurden nicht gespeichert.\n";
  environment.Unset("QZ_DEBUG_TRACE");
  testing::internal::CaptureStderr();
  EXPECT_EQ(show(), Win::IDCANCEL);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), line);
  // The trace's debugger output is standard error while QZ_DEBUG_TRACE is set.
  environment.Set("QZ_DEBUG_TRACE", "1");
  testing::internal::CaptureStderr();
  EXPECT_EQ(show(), Win::IDCANCEL);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), line + line);
  EXPECT_EQ(passesWithABox, 0);
  EXPECT_EQ(app->GetRootWindowCount(), 1u);
}

TEST_F(ApplicationMessageBoxTest, AfterATerminationSignalNoBoxShowsButItsTextIsWrittenOut) {
  Open(true);
  ASSERT_TRUE(Host::WatchTerminationSignals([](int) {}));
  ::raise(SIGTERM);
  EXPECT_TRUE(WaitUntil([] { return Host::TerminationRequested(); }));
  environment.Unset("QZ_DEBUG_TRACE");
  testing::internal::CaptureStderr();
  EXPECT_EQ(app->ShowMessageBox(QZ::WString(u"Replace?"), QZ::WString(u"Load"), Win::MB_YESNOCANCEL), Win::IDCANCEL);
  const std::string written = testing::internal::GetCapturedStderr();
  Host::StopWatchingTerminationSignals();
  EXPECT_EQ(written, "Load: Replace?\n");
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(app->IsExiting()) << "the request itself is the window system's to answer";
}

TEST_F(ApplicationMessageBoxTest, AnExitRequestWhileABoxIsUpEndsItAsCancelled) {
  Open(true);
  ShowNoBoxes();
  WhileABoxIsUp([this](QZ::LMessageBoxDialog&, Win::HWND) {
    if (passesWithABox == 1) {
      (void)centre()->PostNotification(QZ::LNotification::Create(u"NID_APP_EXIT_REQ")); // 0
    }
  });
  EXPECT_EQ(app->ShowMessageBox(QZ::WString(u"Go?"), QZ::WString(u"Send"), Win::MB_OKCANCEL), Win::IDCANCEL);
  EXPECT_TRUE(app->IsExiting());
  EXPECT_EQ(app->GetRootWindowCount(), 1u);
}

} // namespace
} // namespace QZTest
