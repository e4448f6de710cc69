// Dialogs in modal windows of the window layer (the scripted backend), made for DoModal as
// the framework application makes them: clicks and the close box end the modal loop.
#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "Platform/Host/MessageLoop.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "QZFramework/Controls/Dialog.h"
#include "QZFramework/Controls/WidgetSkinTestSupport.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "Support/FakeApplicationContext.h"
#include "Support/ScriptedVideoBackend.h"

namespace {

namespace Win = QZ::Platform::Window;
namespace Host = QZ::Platform::Host;
using QZ::LDialog;
using QZ::RCPtr;

// Ends a modal loop that nothing else ends: a quit after 10 s turns a hang into a failure.
class Watchdog {
public:
  Watchdog()
      : mThread([this] {
          std::unique_lock<std::mutex> hold(mMutex);
          if (!mDone.wait_for(hold, std::chrono::seconds(10), [this] { return mStopped; })) {
            Host::PostQuitMessage(99);
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> hold(mMutex);
      mStopped = true;
    }
    mDone.notify_all();
    mThread.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

private:
  std::mutex mMutex;
  std::condition_variable mDone;
  bool mStopped = false;
  std::thread mThread;
};

class DialogModalTest : public ::testing::Test {
protected:
  void SetUp() override {
    auto backend = std::make_unique<QZTest::ScriptedVideoBackend>();
    script = backend.get();
    ASSERT_TRUE(Host::Startup(std::move(backend)));
    centre = QZ::LNotificationCenter::CreateNotificationCenter(u"application");
    context.SetApplicationNotificationCenter(centre.Get());
    ASSERT_EQ(skin.loaded, QZ::QZ_OK);
    // The fake window stays the application's first (main) window.
    skin.application.rootWindowForControl = [this](const RCPtr<QZ::LControl>& control, bool systemMenu) {
      return RunInModalWindow(control, systemMenu);
    };
  }
  void TearDown() override {
    Host::Shutdown();
    context.SetApplicationNotificationCenter(nullptr);
    centre->Shutdown();
  }

  // What the framework application does: a window of the control's size, the control its
  // top control, then the modal loop; the test's events come first.
  int32_t RunInModalWindow(const RCPtr<QZ::LControl>& control, bool systemMenu) {
    auto window = std::make_unique<QZ::OSWindow>();
    const QZ::RectT<double>& rect = control->GetRect();
    if (!window->CreateEx(Win::WS_EX_DLGMODALFRAME, u"QZFrameworkWindow", control->GetText(),
                          Win::WS_CAPTION | (systemMenu ? Win::WS_SYSMENU : 0u), 100, 100, int32_t(rect.width),
                          int32_t(rect.height), nullptr)) {
      return QZ::QZ_E_FAIL;
    }
    QZ::OSWindow& made = *window.release(); // its window's from now on
    if (made.CreateRenderer(QZ::kRendererGDI) != QZ::QZ_OK) {
      return QZ::QZ_E_FAIL;
    }
    made.GetRootWindow()->InstallRootControl(control);
    const uint32_t id = script->SdlIdOf(made.GetSafeHwnd());
    script->Push(QZTest::WindowEvent(id, SDL_WINDOWEVENT_FOCUS_GAINED));
    for (const Step& step : steps) {
      step(id);
    }
    Watchdog watchdog;
    return made.GetOSServices().RunModalLoop();
  }

  // A click at the middle of a control of the dialog.
  void ClickOn(const RCPtr<LDialog>& dialog, const char16_t* name) {
    const RCPtr<QZ::LControl> button = dialog->FindChildByName(QZ::WString(name));
    ASSERT_TRUE(button);
    const QZ::RectT<double>& rect = button->GetRect();
    const int x = int(rect.x + rect.width / 2);
    const int y = int(rect.y + rect.height / 2);
    steps.push_back([this, x, y](uint32_t id) {
      script->Push(QZTest::MotionEvent(id, x, y));
      script->Push(QZTest::ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, x, y));
      script->Push(QZTest::ButtonEvent(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_LEFT, x, y));
    });
  }
  void CloseBox() {
    steps.push_back([this](uint32_t id) { script->Push(QZTest::WindowEvent(id, SDL_WINDOWEVENT_CLOSE)); });
  }
  RCPtr<LDialog> Make(const char16_t* name) {
    return QZ::DynamicCast<LDialog>(skin.application.factory->CreateControlByName(QZ::WString(name), nullptr));
  }

  using Step = std::function<void(uint32_t id)>;
  QZTest::ScriptedVideoBackend* script = nullptr;
  QZTest::FakeApplicationContext context;
  RCPtr<QZ::LNotificationCenter> centre;
  QZTest::WidgetSkin skin{"Dialog.xml", [](QZ::LControlFactory& factory) {
                            factory.RegisterControlCreateFunction(u"Test.Dialog", &QZ::CreateControlOf<LDialog>);
                            factory.RegisterControlCreateFunction(u"Framework.TextBox",
                                                                  &QZ::CreateControlOf<QZ::LControl>);
                          }};
  std::vector<Step> steps;
};

TEST_F(DialogModalTest, YesAndNoEndDoModalWithTheirResults) {
  const std::pair<const char16_t*, int32_t> cases[] = {{u"buttonYes", 6}, {u"buttonNo", 7}, {u"buttonAbort", 3}};
  for (const auto& [button, result] : cases) {
    steps.clear();
    const RCPtr<LDialog> dialog = Make(u"dialog");
    ASSERT_TRUE(dialog);
    ClickOn(dialog, button);
    EXPECT_EQ(dialog->DoModal(), result) << QZTest::Utf8(QZ::WString(button));
    EXPECT_FALSE(dialog->GetRootWindowRef()) << "the window went with its loop";
  }
}

TEST_F(DialogModalTest, TheCloseBoxEndsADialogWithCancel) {
  for (const char16_t* name : {u"dialog", u"bareDialog"}) {
    steps.clear();
    const RCPtr<LDialog> dialog = Make(name);
    ASSERT_TRUE(dialog);
    const RCPtr<QZTest::TimedRecorder> closed =
        QZTest::TimedRecorder::Listen(RCPtr<QZ::LNotificationDistributor>(dialog), {u"NID_DIALOG_CLOSED"});
    CloseBox();
    EXPECT_EQ(dialog->DoModal(), LDialog::kResultCancel) << QZTest::Utf8(QZ::WString(name));
    EXPECT_EQ(closed->Count("NID_DIALOG_CLOSED"), 1u);
  }
}

TEST_F(DialogModalTest, AListenerMayKeepTheDialogOpenAgainstTheCloseBox) {
  const RCPtr<LDialog> dialog = Make(u"dialog");
  ASSERT_TRUE(dialog);
  const RCPtr<QZTest::TimedRecorder> closing =
      QZTest::TimedRecorder::Listen(RCPtr<QZ::LNotificationDistributor>(dialog), {u"NID_DIALOG_CLOSING"});
  closing->onHeard = [&](const RCPtr<QZ::LNotification>& notification) {
    // The close box is refused; the No button's close is not.
    QZ::DynamicCast<QZ::LCancelArgs>(notification->GetParameter())->SetCancel(dialog->GetResult() == 2);
  };
  CloseBox();
  ClickOn(dialog, u"buttonNo");
  EXPECT_EQ(dialog->DoModal(), LDialog::kResultNo);
  EXPECT_EQ(closing->Count("NID_DIALOG_CLOSING"), 2u);
}

} // namespace
