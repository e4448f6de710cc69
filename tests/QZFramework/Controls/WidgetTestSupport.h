#pragma once
// A harness for the widget tests: an application and a root window (fakes), a control
// factory that has read the widgets' test skin (Data/WidgetSkins.xml) and the English words
// of Data/WidgetStrings.xml, and the widget classes registered under their skin names
// ("Test.Part" is a plain control). A top control of the skin is made by name and
// installed in the window.
//
//   QZTest::WidgetHarness harness;
//   auto meter = harness.Create<QZ::LLevelMeter>(u"meterH");     // 200 x 20, laid out
//   auto bar = QZTest::Child(meter, u"activeOverlay");
//   harness.application.seconds = 14.0;                          // the clock the widgets read

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/Controls/FileDropper.h"
#include "QZFramework/Controls/Label.h"
#include "QZFramework/Controls/LevelMeter.h"
#include "QZFramework/Controls/ProgressBar.h"
#include "QZFramework/Controls/Splitter.h"
#include "Support/FakeControlApplication.h"
#include "Support/FakeRootWindow.h"

namespace QZTest {

inline const std::string kWidgetData = QZ_WIDGET_TEST_DATA;
inline const std::string kWidgetOutput = QZ_WIDGET_TEST_OUTPUT;

inline QZ::WString WidePath(const std::string& path) { return QZ::WString(path.c_str()); }

class WidgetHarness {
public:
  // Class names registered before the standard ones (a registered name keeps its first
  // function), for tests that build a subclass in a widget's place.
  using Overrides = std::vector<std::pair<const char16_t*, QZ::ControlCreateFunction>>;

  explicit WidgetHarness(const Overrides& overrides = {}) : window(new FakeRootWindow) {
    window->clientRect = {0, 0, 800, 600};
    application.rootWindows.push_back(window);
    factory = QZ::RCPtr<QZ::LControlFactory>(new QZ::LControlFactory());
    EXPECT_EQ(factory->LoadStringTables(WidePath(kWidgetData + "/WidgetStrings.xml"), QZ::WString(), 0x0409),
              QZ::QZ_OK);
    EXPECT_EQ(factory->LoadSkins(WidePath(kWidgetData + "/WidgetSkins.xml")), QZ::QZ_OK);
    for (const auto& [name, function] : overrides) {
      factory->RegisterControlCreateFunction(name, function);
    }
    const std::pair<const char16_t*, QZ::ControlCreateFunction> classes[] = {
        {u"Framework.LevelMeter", &QZ::CreateControlOf<QZ::LLevelMeter>},
        {u"Framework.ProgressBar", &QZ::CreateControlOf<QZ::LProgressBar>},
        {u"Framework.SplitterH", &QZ::CreateControlOf<QZ::LSplitterH>},
        {u"Framework.SplitterV", &QZ::CreateControlOf<QZ::LSplitterV>},
        {u"Framework.FileDropper", &QZ::CreateControlOf<QZ::LFileDropper>},
        {u"Framework.Dropper", &QZ::CreateControlOf<QZ::LDropper>},
        {u"Framework.Label", &QZ::CreateControlOf<QZ::LLabel>},
        {u"Test.Part", &QZ::CreateControlOf<QZ::LControl>},
    };
    for (const auto& [name, function] : classes) {
      factory->RegisterControlCreateFunction(name, function);
    }
    application.factory = factory;
  }
  ~WidgetHarness() {
    window->InstallRootControl(nullptr);
    application.rootWindows.clear();
  }
  WidgetHarness(const WidgetHarness&) = delete;
  WidgetHarness& operator=(const WidgetHarness&) = delete;

  // The skin's top control name, made and installed in the window (replacing the one
  // before); null when it cannot be made as a T.
  template <class T = QZ::LControl>
  QZ::RCPtr<T> Create(const char16_t* name) {
    return QZ::DynamicCast<T>(factory->CreateControlByName(QZ::WString(name), window));
  }

  FakeControlApplication application;
  QZ::RCPtr<FakeRootWindow> window;
  QZ::RCPtr<QZ::LControlFactory> factory;
};

// The child of parent named name; fails the test when there is none.
inline QZ::RCPtr<QZ::LControl> Child(const QZ::RCPtr<QZ::LControl>& parent, const char16_t* name) {
  QZ::RCPtr<QZ::LControl> child = parent ? parent->FindChildByName(QZ::WString(name)) : nullptr;
  EXPECT_TRUE(child) << "no child " << QZ::WString(name).ToUTF8().GetBuffer();
  return child;
}

} // namespace QZTest
