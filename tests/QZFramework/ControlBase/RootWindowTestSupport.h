#pragma once
// Root windows in real windows of the scripted window backend (SDL's offscreen driver, events
// made by hand, a fake clock), with the fake application and context installed, and
// controls that log what the root window calls on them.
//
//   class MyTest : public QZTest::RootWindowFixture {};
//   TEST_F(MyTest, Clicks) {
//     auto a = Probe(top, u"a", {10, 10, 50, 30});      // under the window's top control
//     script->Push(QZTest::ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, 20, 20));
//     Pump();                                            // events: "a enter", "a down 1 (10,10)"
//   }

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Host/MessageLoop.h"
#include "Platform/Window/Input.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "QZFramework/ControlBase/PaintTestSupport.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "Support/FakeApplicationContext.h"
#include "Support/FakeControlApplication.h"
#include "Support/ScriptedVideoBackend.h"

namespace QZTest {

namespace Win = QZ::Platform::Window;
namespace Host = QZ::Platform::Host;

inline std::string PointText(const QZ::PointT<int32_t>& point) {
  return "(" + std::to_string(point.x) + "," + std::to_string(point.y) + ")";
}

inline std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08X", value);
  return text;
}

// A control that logs, into a shared list, each call the root window makes on it:
// "<name> enter", "<name> leave", "<name> move (x,y)", "<name> down <button> (x,y)" (with
// " double" for a double click), "<name> up <button> (x,y)" (likewise), "<name> wheel
// <direction> (x,y)", "<name> key 0x<code>", "<name> release", "<name> tip on|off",
// "<name> drop <count>".
class InputProbe : public PaintProbe {
public:
  InputProbe(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name, std::vector<std::string>* events)
      : PaintProbe(parent, name, nullptr), mEvents(events) {}

  // A shown probe with a look of its size, so that hit testing sees it and its children.
  static QZ::RCPtr<InputProbe> Make(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name,
                                    std::vector<std::string>* events, QZ::RectT<int32_t> rect) {
    QZ::RCPtr<InputProbe> probe(new InputProbe(parent, name, events));
    probe->Place(rect.x, rect.y, rect.width, rect.height);
    probe->UseLook(ColourLook(0xFF808080, {rect.width, rect.height}));
    return probe;
  }

  // --- What the probe does besides logging ---
  bool captureOnPress = false;             // takes the capture at its root window on a press
  QZ::QZResult wheelAnswer = QZ::QZ_FALSE; // 1: not consumed
  QZ::WString toolTip;                     // its tool-tip text
  bool acceptsDrops = false;
  std::vector<QZ::WString> dropped;
  QZ::RCPtr<QZ::LStringTable> stringTable; // GetStringTable's answer when set
  std::function<void(const QZ::RCPtr<QZ::LMouseButtonParam>&)> onMouseUp;

  bool& UseParentToolTipFlag() { return mUseParentToolTip; }

  QZ::QZResult OnMouseEnter() override { return Logged("enter"); }
  QZ::QZResult OnMouseLeave() override { return Logged("leave"); }
  QZ::QZResult OnMouseMove(const QZ::RCPtr<QZ::LPointWithModifiersParam>& param) override {
    return Logged("move " + PointText(param->GetPoint()));
  }
  QZ::QZResult OnMouseDown(const QZ::RCPtr<QZ::LMouseButtonParam>& param) override {
    Logged("down " + Button(param));
    if (captureOnPress) {
      if (const QZ::RCPtr<QZ::IRootWindow> window = GetRootWindowRef()) {
        window->SetCaptureControl(QZ::RCPtr<QZ::LControl>(this));
      }
    }
    return QZ::QZ_OK;
  }
  QZ::QZResult OnMouseUp(const QZ::RCPtr<QZ::LMouseButtonParam>& param) override {
    Logged("up " + Button(param));
    if (onMouseUp) {
      onMouseUp(param);
    }
    return QZ::QZ_OK;
  }
  QZ::QZResult ReleaseCapture() override {
    Logged("release");
    const QZ::RCPtr<QZ::LRootWindow> window = QZ::DynamicCast<QZ::LRootWindow>(GetRootWindowRef());
    if (window && window->GetCaptureControl().Get() == this) {
      window->ReleaseCaptureControl();
    }
    return QZ::QZ_OK;
  }
  QZ::QZResult OnMouseWheel(const QZ::RCPtr<QZ::LMouseWheelParam>& param) override { return Wheel(param); }
  QZ::QZResult OnMouseHWheel(const QZ::RCPtr<QZ::LMouseWheelParam>& param) override { return Wheel(param); }
  QZ::QZResult OnKey(const QZ::RCPtr<QZ::LKeyParam>& param) override {
    keys.push_back(param->GetKey());
    return Logged("key " + Hex(param->GetKey().code));
  }
  QZ::QZResult CreateToolTip(bool show) override { return Logged(show ? "tip on" : "tip off"); }
  QZ::WString GetToolTipText() override { return toolTip; }
  bool CanDropFiles(const QZ::RCPtr<QZ::LDraggedFiles>&) override { return acceptsDrops; }
  QZ::QZResult DropFiles(const QZ::RCPtr<QZ::LDraggedFiles>& files) override {
    for (uint32_t i = 0; i < files->GetCount(); ++i) {
      dropped.push_back(files->GetAt(i));
    }
    Logged("drop " + std::to_string(files->GetCount()));
    return QZ::QZ_OK;
  }
  QZ::RCPtr<QZ::LStringTable> GetStringTable() override { return stringTable; }

  std::vector<QZ::KeyCode> keys;

private:
  static std::string Button(const QZ::RCPtr<QZ::LMouseButtonParam>& param) {
    return std::to_string(param->GetButton()) + " " + PointText(param->GetPoint()) +
           (param->IsDoubleClick() ? " double" : "");
  }
  QZ::QZResult Wheel(const QZ::RCPtr<QZ::LMouseWheelParam>& param) {
    Logged("wheel " + std::to_string(param->GetDirection()) + " " + PointText(param->GetPoint()));
    return wheelAnswer;
  }
  // Logs event; 0, the answer of every logged call.
  QZ::QZResult Logged(const std::string& event) {
    if (mEvents) {
      mEvents->push_back(QZTest::Utf8(GetName()) + " " + event);
    }
    return QZ::QZ_OK;
  }

  std::vector<std::string>* mEvents;
};

// An OS window that says when its object is deleted.
class TrackedOSWindow : public QZ::OSWindow {
public:
  explicit TrackedOSWindow(bool* deleted) : mDeleted(deleted) {}
  ~TrackedOSWindow() override { *mDeleted = true; }

private:
  bool* mDeleted;
};

class RootWindowFixture : public ::testing::Test {
protected:
  static constexpr int32_t kLeft = 100;
  static constexpr int32_t kTop = 50;
  static constexpr int32_t kWidth = 200;
  static constexpr int32_t kHeight = 100;

  void SetUp() override {
    auto backend = std::make_unique<ScriptedVideoBackend>();
    script = backend.get();
    ASSERT_TRUE(Host::Startup(std::move(backend)));
    centre = QZ::LNotificationCenter::CreateNotificationCenter(u"application");
    context.SetApplicationNotificationCenter(centre.Get());
    window = Open(kLeft, kTop, kWidth, kHeight);
    ASSERT_NE(window, nullptr);
    hwnd = window->GetSafeHwnd();
    id = script->SdlIdOf(hwnd);
    root = window->GetRootWindow();
    top = InputProbe::Make(nullptr, u"top", &events, {0, 0, kWidth, kHeight});
    ASSERT_EQ(root->InstallRootControl(top), QZ::QZ_OK);
    Activate(hwnd);
    events.clear();
  }

  void TearDown() override {
    top = nullptr;
    root = nullptr;
    Host::Shutdown(); // destroys the windows left: their objects go with them
    context.SetApplicationNotificationCenter(nullptr);
    centre->Shutdown();
    centre = nullptr;
  }

  // A new window with its root window (kRendererGDI), visible, not yet active.
  QZ::OSWindow* Open(int32_t x, int32_t y, int32_t width, int32_t height, Win::HWND owner = nullptr,
                     QZ::OSWindow* object = nullptr, const char16_t* className = u"QZFrameworkWindow") {
    QZ::OSWindow* made = object ? object : new QZ::OSWindow;
    if (!made->CreateEx(0, className, u"test", Win::WS_CAPTION | Win::WS_VISIBLE, x, y, width, height, owner)) {
      delete made;
      return nullptr;
    }
    if (made->CreateRenderer(QZ::kRendererGDI) != QZ::QZ_OK) {
      return nullptr;
    }
    return made;
  }

  // The window system gives hwnd the keyboard focus.
  void Activate(Win::HWND target) {
    script->Push(WindowEvent(script->SdlIdOf(target), SDL_WINDOWEVENT_FOCUS_GAINED));
    Pump();
  }

  // Takes, translates and dispatches every message waiting, without waiting.
  void Pump() {
    Win::MSG msg;
    while (Host::PeekMessage(&msg, Win::PM_REMOVE) && msg.message != Win::WM_QUIT) {
      Host::TranslateMessage(&msg);
      Host::DispatchMessage(&msg);
    }
  }

  QZ::RCPtr<InputProbe> Probe(const QZ::RCPtr<QZ::LControl>& parent, const char16_t* name, QZ::RectT<int32_t> rect) {
    return InputProbe::Make(parent, QZ::WString(name), &events, rect);
  }

  FakeControlApplication application;
  FakeApplicationContext context;
  QZ::RCPtr<QZ::LNotificationCenter> centre;
  ScriptedVideoBackend* script = nullptr;
  QZ::OSWindow* window = nullptr;
  Win::HWND hwnd = nullptr;
  uint32_t id = 0;
  QZ::RCPtr<QZ::LRootWindow> root;
  std::vector<std::string> events;
  QZ::RCPtr<InputProbe> top;
};

} // namespace QZTest
