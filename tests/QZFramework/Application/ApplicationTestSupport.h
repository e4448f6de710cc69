#pragma once
// The application object under test: a program's application class over the real
// application base (a hand-driven clock, an exit permission, skins the test writes, a
// panel class for them), its host over the scripted window backend, and the environment of
// a test (home and XDG folders in a temporary folder, message boxes recorded).
//
//   class MyTest : public QZTest::ApplicationFixture {};
//   TEST_F(MyTest, Exits) {
//     MakeApplication(MainControl(R"(XSizeAbs="320" YSizeAbs="200")"));
//     ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
//     centre()->PostNotification(QZ::LNotification::Create(u"NID_APP_EXIT_REQ"));
//     app->DoIdleWork(true);                   // app->IsExiting()
//   }

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "HostTestSupport.h"
#include "Platform/Host/MessageLoop.h"
#include "Platform/Resources/Resources.h"
#include "QZFramework/Application/ApplicationBase.h"
#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "Support/ScriptedVideoBackend.h"
#include "Support/TempFolder.h"

namespace QZTest {

// A panel as the skins of these tests have it ("Test.Panel", made by CreateControlOf), or
// made in code and placed by hand.
class TestPanel : public QZ::LControl {
public:
  TestPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name) : LControl(parent, name) {}
  // Places the panel (parent coordinates) and gives it its label.
  void Place(double x, double y, double width, double height, const QZ::WString& label = QZ::WString()) {
    mRect = {x, y, width, height};
    mLabel = label;
  }
};

// A skin document of one skin holding controls (SubControl elements); its panels are of the
// class "Test.Panel".
inline std::string SkinOf(const std::string& controls) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Vandrel_Skin_Definitions><Application Name=\"PresetEditor\">"
         "<Skins><Skin Name=\"Skin1\" FontName=\"Arial\" FontSize=\"8.25\">" +
         controls + "</Skin></Skins></Application></Vandrel_Skin_Definitions>";
}
// "mainControl" with the given placement and limit attributes.
inline std::string MainControl(const std::string& attributes) {
  return "<SubControl Class=\"Test.Panel\" Name=\"mainControl\" " + attributes + "/>";
}

// A factory that read skin (and, when given, the string-table documents of folder) and knows
// "Test.Panel".
inline QZ::RCPtr<QZ::LControlFactory> MakeFactory(const std::string& skin, const std::string& tablesFolder = "") {
  static std::deque<std::string> documents; // the resource table points into them
  static std::deque<std::vector<QZ::Platform::Resources::Resource>> tables;
  const std::string& bytes = documents.emplace_back(skin);
  tables.push_back({{"QZXML", "APP_SKINS", {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}}});
  QZ::RCPtr<QZ::LControlFactory> factory(new QZ::LControlFactory(QZ::Platform::Resources::Module(tables.back())));
  if (!tablesFolder.empty()) {
    EXPECT_EQ(factory->LoadStringTables(QZ::WString((tablesFolder + "/StringTables.xml").c_str()),
                                        QZ::WString((tablesFolder + "/FrameworkStrings.xml").c_str()), 0x0409),
              QZ::QZ_OK);
  }
  EXPECT_EQ(factory->LoadSkins(u"::APP_SKINS"), QZ::QZ_OK);
  factory->RegisterControlCreateFunction(u"Test.Panel", &QZ::CreateControlOf<TestPanel>);
  return factory;
}

// The program's application class as these tests give it.
class TestApplication : public QZ::LApplicationBase<TestApplication> {
public:
  // As the host makes it: the monotonic clock; MadeHook() is told.
  TestApplication(const QZ::RCPtr<QZ::LControlFactory>& factory, const QZ::RCPtr<QZ::LStringTable>& framework,
                  const QZ::WString& commandLine)
      : LApplicationBase(factory, framework, commandLine) {
    if (MadeHook()) {
      MadeHook()(*this);
    }
  }
  TestApplication(const QZ::RCPtr<QZ::LControlFactory>& factory, const QZ::RCPtr<QZ::LStringTable>& framework,
                  const QZ::WString& commandLine, QZ::MillisecondClock clock)
      : LApplicationBase(factory, framework, commandLine, std::move(clock)) {}

  // What a test does with each application object a host makes.
  static std::function<void(TestApplication&)>& MadeHook() {
    static std::function<void(TestApplication&)> hook;
    return hook;
  }

  bool canExit = true;
  // Runs at each idle pass, before the framework's work (the host's runs included).
  std::function<void(bool sendIdle)> onIdle;

  QZ::WString GetVersionString() override { return QZ::WString(u"1_0_0"); }
  QZ::WString GetMainControlName() override { return QZ::WString(u"mainControl"); }
  int32_t GetRendererType() override { return QZ::kRendererGDI; }
  bool CanExit() override { return canExit; }
  uint32_t OpenSettingsFiles(int32_t) override { return 0; }
  int32_t GetCurrentEditorPage() const override { return -1; }
  LRootModuleEngine* GetRootModuleEngine() const override { return nullptr; }
  // The host's runs build their main control from the test data's skin.
  QZ::QZResult RunApplicationStartup() override {
    if (const QZ::RCPtr<QZ::LControlFactory> factory = GetControlFactory()) {
      factory->RegisterControlCreateFunction(u"PresetEditor.MainControl", &QZ::CreateControlOf<TestPanel>);
    }
    return LApplicationBase::RunApplicationStartup();
  }
  // Runs as the shut-down begins.
  std::function<void()> onShutdown;
  QZ::QZResult RunApplicationShutdown() override {
    if (onShutdown) {
      onShutdown();
    }
    return LApplicationBase::RunApplicationShutdown();
  }
  bool DoIdleWork(bool sendIdle) override {
    if (onIdle) {
      onIdle(sendIdle);
    }
    return LApplicationBase::DoIdleWork(sendIdle);
  }
};

// The host of TestApplication.
class TestApplicationHost : public QZ::MFCFrameworkApp<TestApplication> {
public:
  explicit TestApplicationHost(Services services) : MFCFrameworkApp(std::move(services)) {}
};

// Records what a distributor delivers by name, and runs a hook on each.
class Listener : public QZ::LNotificationClient {
public:
  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                   const QZ::RCPtr<QZ::LNotification>& notification) override {
    heard.emplace_back(notification->GetID());
    if (onReceive) {
      onReceive(notification);
    }
    return QZ::QZ_OK;
  }
  std::vector<std::u16string> heard;
  std::function<void(const QZ::RCPtr<QZ::LNotification>&)> onReceive;
};

// An application object and its host over the scripted window backend (fake clock), in a
// home of its own.
class ApplicationFixture : public ::testing::Test {
protected:
  void SetUp() override {
    environment.Set("SDL_VIDEODRIVER", "offscreen");
    environment.Set("HOME", folder / "home");
    environment.Set("XDG_CONFIG_HOME", folder / "config");
    environment.Set("XDG_DATA_HOME", folder / "data");
    environment.Unset("QZ_RESOURCE_FOLDER");
    std::filesystem::create_directories(folder / "home");
    Win::SetMessageBoxRecorder([this](std::u16string_view text, std::u16string_view caption, uint32_t style) {
      boxes.push_back({std::u16string(text), std::u16string(caption), style});
      return Win::IDOK;
    });
    QZ::MFCFrameworkAppBase::Services services;
    services.startWindowSystem = [this] {
      auto owned = std::make_unique<ScriptedVideoBackend>();
      backend = owned.get();
      return Host::Startup(std::move(owned));
    };
    host = std::make_unique<TestApplicationHost>(std::move(services));
    ASSERT_TRUE(host->WinInit("quorin-ztr-preset-editor", Win::SW_SHOWNORMAL));
    host->SetRegistryKey(QZ::WString(u"Vandrel"));
  }
  void TearDown() override {
    DropApplication();
    host->WinTerm(); // the windows left go without an application
    host.reset();
    Win::SetMessageBoxRecorder({});
  }

  // The application object over a factory that read skin, its clock `now`.
  void MakeApplication(const std::string& skin, const std::string& tablesFolder = "") {
    app = QZ::RCPtr<TestApplication>(
        new TestApplication(MakeFactory(skin, tablesFolder), nullptr, QZ::WString(u"editor"), [this] { return now; }));
  }
  void DropApplication() {
    if (app) {
      app->RunApplicationShutdown();
      app = nullptr;
    }
  }
  QZ::LNotificationCenter* centre() const { return app->GetApplicationNotificationCenter(); }

  // A window of the window layer with its root window, visible; owned by owner.
  QZ::OSWindow* OpenWindow(int32_t x, int32_t y, int32_t width, int32_t height, Win::HWND owner = nullptr,
                           QZ::OSWindow* object = nullptr) {
    QZ::OSWindow* made = object ? object : new QZ::OSWindow;
    if (!made->CreateEx(0, QZ::WString(u"QZFrameworkWindow"), QZ::WString(u"test"), Win::WS_CAPTION | Win::WS_VISIBLE,
                        x, y, width, height, owner)) {
      delete made;
      return nullptr;
    }
    EXPECT_EQ(made->CreateRenderer(QZ::kRendererGDI), QZ::QZ_OK);
    return made;
  }
  // The window system gives hwnd the keyboard focus: it becomes the active window.
  void Activate(Win::HWND hwnd) {
    backend->keyboardFocus = backend->SdlIdOf(hwnd);
    backend->Push(WindowEvent(backend->SdlIdOf(hwnd), SDL_WINDOWEVENT_FOCUS_GAINED));
    Pump();
  }
  // Takes, translates and dispatches every message waiting, without waiting; stops at a
  // quit (left taken).
  void Pump() {
    Win::MSG msg;
    while (Host::PeekMessage(&msg, Win::PM_REMOVE) && msg.message != Win::WM_QUIT) {
      Host::TranslateMessage(&msg);
      Host::DispatchMessage(&msg);
    }
  }

  TempFolder folder;
  ScopedEnvironment environment;
  std::vector<RecordedBox> boxes;
  std::unique_ptr<TestApplicationHost> host;
  ScriptedVideoBackend* backend = nullptr;
  uint32_t now = 1000;
  QZ::RCPtr<TestApplication> app;
};

} // namespace QZTest
