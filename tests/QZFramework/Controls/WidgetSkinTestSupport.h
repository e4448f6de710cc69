#pragma once
// The widget tests' world: a skin from tests/QZFramework/Controls/Data read by a factory
// that knows the widgets, the fake application (its clock stepped by the test) and a fake
// root window, a pointer that presses, moves and releases the way the root window does,
// and a listener that notes when each notification came.
//
//   QZTest::WidgetSkin skin("Buttons.xml");
//   skin.Create(u"buttons");                                  // the top control, in the window
//   auto ok = skin.Find<QZ::LButton>({u"fourteen"});
//   skin.pointer.MoveTo(ok, 5, 5);                            // hover
//   skin.pointer.Press();                                     // capture, left button down
//   skin.TickAt(0.3);                                         // clock at 0.3 s, one idle pass
//   skin.TickEveryMs(50, 500);                                // every 50 ms up to 0.5 s

#include <cmath>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/Label.h"
#include "QZFramework/Controls/Panel.h"
#include "QZFramework/Controls/ScrollView.h"
#include "QZFramework/Controls/Scrollbar.h"
#include "QZFramework/Controls/TabControl.h"
#include "QZFramework/Notification/Notification.h"
#include "Support/FakeControlApplication.h"
#include "Support/FakeRootWindow.h"
#include "Support/FixedAdvanceMeasurer.h"

namespace QZTest {

inline std::string Utf8(const QZ::WString& text) { return text.ToUTF8().GetBuffer(); }

inline std::string WidgetSkinFile(const std::string& name) { return std::string(QZ_WIDGET_TEST_DATA) + "/" + name; }

// The create functions of the widgets (the framework's names, and "Test.ScrollView" for a
// bare scroll view), unless the test registered its own for a name first.
inline void RegisterWidgets(QZ::LControlFactory& factory) {
  factory.RegisterControlCreateFunction(u"Framework.Button", &QZ::CreateControlOf<QZ::LButton>);
  factory.RegisterControlCreateFunction(u"Framework.ScrollBar", &QZ::CreateControlOf<QZ::LScrollbar>);
  factory.RegisterControlCreateFunction(u"Framework.ScrollChannel", &QZ::CreateControlOf<QZ::LPanel>);
  factory.RegisterControlCreateFunction(u"Framework.Panel", &QZ::CreateControlOf<QZ::LPanel>);
  factory.RegisterControlCreateFunction(u"Framework.TabControl", &QZ::CreateControlOf<QZ::LTabControl>);
  factory.RegisterControlCreateFunction(u"Framework.Label", &QZ::CreateControlOf<QZ::LLabel>);
  factory.RegisterControlCreateFunction(u"Test.ScrollView", &QZ::CreateControlOf<QZ::LScrollView>);
}

// Presses, moves and releases the left button at window points as the root window does:
// the hover follows the hit test, and the control that holds the capture gets the events.
class Pointer {
public:
  explicit Pointer(FakeRootWindow& window) : mWindow(window) {}

  // Moves the pointer to (x, y) of control (hover and a move event).
  void MoveTo(const QZ::RCPtr<QZ::LControl>& control, int32_t x, int32_t y) {
    const QZ::PointT<int32_t> origin = control->GetWindowPosition().Round();
    MoveToWindow(origin.x + x, origin.y + y);
  }
  void MoveToWindow(int32_t x, int32_t y) {
    mWindow.mousePosition = {x, y};
    QZ::PointT<int32_t> local;
    const QZ::RCPtr<QZ::LControl> hit = mWindow.SetMouseOverAt(mWindow.mousePosition, local, true);
    if (const QZ::RCPtr<QZ::LControl> target = Target(hit)) {
      target->OnMouseMove(QZ::LPointWithModifiersParam::Create(Local(target), 0));
    }
  }
  // Left button down where the pointer is.
  void Press() {
    mWindow.mouseButtons = QZ::kMouseButtonLeft;
    QZ::PointT<int32_t> local;
    const QZ::RCPtr<QZ::LControl> hit = mWindow.SetMouseOverAt(mWindow.mousePosition, local, true);
    if (hit) {
      hit->OnMouseDown(QZ::LMouseButtonParam::Create(QZ::kMouseButtonLeft, local, 0, false, QZ::kMouseButtonLeft, 0));
    }
  }
  // Left button up where the pointer is.
  void Release() {
    mWindow.mouseButtons = 0;
    QZ::PointT<int32_t> local;
    const QZ::RCPtr<QZ::LControl> hit = mWindow.SetMouseOverAt(mWindow.mousePosition, local, false);
    if (const QZ::RCPtr<QZ::LControl> target = Target(hit)) {
      target->OnMouseUp(QZ::LMouseButtonParam::Create(QZ::kMouseButtonLeft, Local(target), 0, false, 0, 0));
    }
    mWindow.SetMouseOverAt(mWindow.mousePosition, local, true); // the hover after the capture
  }
  // Left button down on control at (x, y) of it, whatever lies over that point.
  void PressOn(const QZ::RCPtr<QZ::LControl>& control, int32_t x, int32_t y) {
    const QZ::PointT<int32_t> origin = control->GetWindowPosition().Round();
    mWindow.mousePosition = {origin.x + x, origin.y + y};
    mWindow.mouseButtons = QZ::kMouseButtonLeft;
    control->OnMouseDown(
        QZ::LMouseButtonParam::Create(QZ::kMouseButtonLeft, {x, y}, 0, false, QZ::kMouseButtonLeft, 0));
  }
  void ClickAt(const QZ::RCPtr<QZ::LControl>& control, int32_t x, int32_t y) {
    MoveTo(control, x, y);
    Press();
    Release();
  }

private:
  QZ::RCPtr<QZ::LControl> Target(const QZ::RCPtr<QZ::LControl>& hit) const {
    return mWindow.captureControl ? mWindow.captureControl : hit;
  }
  QZ::PointT<int32_t> Local(const QZ::RCPtr<QZ::LControl>& control) const {
    const QZ::PointT<int32_t> origin = control->GetWindowPosition().Round();
    return {mWindow.mousePosition.x - origin.x, mWindow.mousePosition.y - origin.y};
  }

  FakeRootWindow& mWindow;
};

// Notes the clock (seconds) and the name of every notification it hears.
class TimedRecorder : public QZ::LNotificationClient {
public:
  struct Heard {
    double seconds;
    std::string name;
    QZ::RCPtr<QZ::LRefCountedObject> parameter;
  };

  static QZ::RCPtr<TimedRecorder> Listen(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                         std::initializer_list<QZ::NotificationName> names) {
    QZ::RCPtr<TimedRecorder> recorder(new TimedRecorder);
    for (QZ::NotificationName name : names) {
      recorder->RegisterNotification(source, name);
    }
    return recorder;
  }

  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                   const QZ::RCPtr<QZ::LNotification>& notification) override {
    QZ::IControlApplication* application = QZ::GetControlApplication();
    heard.push_back({application ? application->GetElapsedSeconds() : 0.0, Utf8(QZ::WString(notification->GetID())),
                     notification->GetParameter()});
    if (onHeard) {
      onHeard(notification);
    }
    return QZ::QZ_OK;
  }

  std::vector<double> TimesOf(const std::string& name) const {
    std::vector<double> times;
    for (const Heard& entry : heard) {
      if (entry.name == name) {
        times.push_back(entry.seconds);
      }
    }
    return times;
  }
  size_t Count(const std::string& name) const { return TimesOf(name).size(); }

  std::vector<Heard> heard;
  // Called with every notification heard, after it is noted.
  std::function<void(const QZ::RCPtr<QZ::LNotification>&)> onHeard;
};

// One skin document with the widgets registered, the application and a window.
class WidgetSkin {
public:
  // register runs before the widgets' functions: a test's own class for a name wins.
  explicit WidgetSkin(const std::string& file,
                      const std::function<void(QZ::LControlFactory&)>& registerFirst = nullptr) {
    application.fontFace = FixedAdvanceFont()->GetFaceName();
    application.fontSize = FixedAdvanceFont()->GetSize();
    application.measurer = QZ::RCPtr<QZ::LMeasurementRenderer>(&*measuring);
    application.factory = QZ::RCPtr<QZ::LControlFactory>(new QZ::LControlFactory());
    if (registerFirst) {
      registerFirst(*application.factory);
    }
    RegisterWidgets(*application.factory);
    loaded = application.factory->LoadSkins(QZ::WString(WidgetSkinFile(file).c_str()));
    application.rootWindows = {window};
    application.activeRootWindow = window;
  }
  ~WidgetSkin() { window->InstallRootControl(nullptr); } // always 0
  WidgetSkin(const WidgetSkin&) = delete;
  WidgetSkin& operator=(const WidgetSkin&) = delete;

  // The top control of that name, installed in the window.
  QZ::RCPtr<QZ::LControl> Create(const QZ::WString& name) {
    top = application.factory->CreateControlByName(name, QZ::RCPtr<QZ::IRootWindow>(window));
    return top;
  }
  // The control at the end of a path of names below the top control; null when missing.
  template <class T = QZ::LControl>
  QZ::RCPtr<T> Find(std::initializer_list<const char16_t*> path) const {
    QZ::RCPtr<QZ::LControl> control = top;
    for (const char16_t* name : path) {
      control = control ? control->FindChildByName(name) : nullptr;
    }
    return QZ::DynamicCast<T>(control);
  }
  // The clock at seconds, then one idle pass.
  void TickAt(double seconds) {
    application.seconds = seconds;
    window->RaiseIdle();
  }
  // An idle pass every stepMs milliseconds after the clock's time, up to lastMs.
  void TickEveryMs(int stepMs, int lastMs) {
    for (int at = int(std::lround(application.seconds * 1000.0)) + stepMs; at <= lastMs; at += stepMs) {
      TickAt(at / 1000.0);
    }
  }

  ScopedFixedAdvanceMeasurer measuring;
  FakeControlApplication application;
  QZ::RCPtr<FakeRootWindow> window{new FakeRootWindow};
  Pointer pointer{*window};
  QZ::QZResult loaded = QZ::QZ_E_FAIL;
  QZ::RCPtr<QZ::LControl> top;
};

// A pressed virtual key with the modifier mask, as the OS window makes it.
inline QZ::RCPtr<QZ::LKeyParam> KeyPress(uint8_t virtualKey, uint32_t modifiers = 0) {
  return QZ::LKeyParam::Create(QZ::KeyCode(virtualKey, true, 0, modifiers), true);
}

} // namespace QZTest
