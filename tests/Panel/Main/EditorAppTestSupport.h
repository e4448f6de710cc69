#pragma once
// The editor's application object under test: made by hand over a factory that read a test
// skin and the program's string tables (with two definitions of the other platform's hot
// keys added), in a home of its own (XDG folders, an empty registry, the resolution set
// through QZ_DPI, the virtual keyboard on), with its host over the scripted window backend
// and message boxes recorded.
//
//   class MyTest : public QZTest::EditorAppFixture {};
//   TEST_F(MyTest, Starts) {
//     MakeApplication(QZTest::EditorSkins(2));
//     ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
//     app->GetMidiManager();                      // made by the start-up
//   }

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Panel/Main/Application.h"
#include "QZFramework/Application/ApplicationTestSupport.h"
#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"

namespace QZTest {

// The control's rectangle in its window's client coordinates, rounded as the window draws it.
inline QZ::RectT<int32_t> ControlWindowRect(const QZ::LControl& control) {
  const QZ::PointT<double> at = control.GetWindowPosition();
  return {QZ::RoundToInt32(at.x), QZ::RoundToInt32(at.y), QZ::RoundToInt32(control.GetRect().width),
          QZ::RoundToInt32(control.GetRect().height)};
}

// The resolution's skin names in the order the editor's skin document has them; a third
// skin and more are "Skin<n>".
inline std::string EditorSkinName(size_t index) { return index == 0 ? "HighDPI" : "Skin" + std::to_string(index); }

// A tab of the device view's tab control: its button and its page with children.
inline std::string DeviceViewTab(const std::string& name, const std::string& pageClass,
                                 const std::string& children = {}) {
  return "<SubControl Class=\"Framework.Button\" Name=\"" + name + "\" XSizeAbs=\"60\" YSizeAbs=\"20\"/>|" +
         "<SubControl Class=\"" + pageClass + "\" Name=\"" + name + "\" XSizeAbs=\"300\" YSizeAbs=\"200\">" + children +
         "</SubControl>";
}

// The global preset editor's five selectors, without their parts.
inline std::string GlobalPresetSelectors() {
  std::string selectors;
  for (const auto& [name, cls] :
       {std::pair{"midiChannel", "LabeledGlobalMidiChannelSelector"}, std::pair{"program", "LabeledProgramSelector"},
        std::pair{"keyboardSensitivity", "LabeledKeybedSensitivity"},
        std::pair{"padSensitivity", "LabeledPadSensitivity"}, std::pair{"dawSetting", "LabeledDawSettingSelector"}}) {
    selectors += std::string("<SubControl Class=\"PresetEditor.Control.") + cls + "\" Name=\"" + name +
                 "\" XSizeAbs=\"60\" YSizeAbs=\"20\"/>";
  }
  return selectors;
}

// "mainControl" of the editor's classes as the editor's skins nest them: the device view
// ("viewDevice") with its tab control ("tabControl": the user preset editor's page, without
// its picture and edit pages, and the global preset editor) and its keyboard model box
// ("deviceSelectionComboBox", with its list), and the preset slot box ("slot").
inline std::string EditorMainControl() {
  std::string buttons;
  std::string pages;
  for (const std::string& tab :
       {DeviceViewTab("userPresetEditor", "PresetEditor.UserPresetEditorView"),
        DeviceViewTab("globalPresetEditor", "PresetEditor.GlobalPresetEditor", GlobalPresetSelectors())}) {
    buttons += tab.substr(0, tab.find('|'));
    pages += tab.substr(tab.find('|') + 1);
  }
  return R"(<SubControl Class="PresetEditor.MainControl" Name="mainControl" XSizeAbs="640" YSizeAbs="480">)"
         R"(<SubControl Class="PresetEditor.MainControl.DeviceView" Name="viewDevice" XSizeAbs="640" YSizeAbs="440">)"
         R"(<SubControl Class="PresetEditor.MainControl.DeviceView.TabControl" Name="tabControl" XSizeAbs="640")"
         R"( YSizeAbs="440"><SubControl Class="PresetEditor.MainControl.DeviceView.TabControl.ButtonHolder")"
         R"( Name="buttonHolder" XSizeAbs="640" YSizeAbs="20">)" +
         buttons +
         R"(</SubControl><SubControl Class="PresetEditor.MainControl.DeviceView.TabControl.PageHolder")"
         R"( Name="pageHolder" YPositionAbs="20" XSizeAbs="640" YSizeAbs="420">)" +
         pages +
         R"(</SubControl></SubControl>)"
         R"(<SubControl Class="Framework.ComboBox" Name="deviceSelectionComboBox" XPositionAbs="500" XSizeAbs="120")"
         R"( YSizeAbs="20"><SubControl Class="Framework.ListBox" Name="listBox" YPositionAbs="20" XSizeAbs="120")"
         R"( YSizeAbs="60"><SubControl Class="Framework.ListBoxItem" Name="templateItem" XSizeAbs="120")"
         R"( YSizeAbs="20"/></SubControl></SubControl></SubControl>)"
         R"(<SubControl Class="PresetEditor.Control.PresetSlotCombobox" Name="slot" YPositionAbs="440")"
         R"( XSizeAbs="100" YSizeAbs="20"/></SubControl>)";
}

// A skin document of count skins (named as the editor's), each holding EditorMainControl
// and extra, with the editor's fonts ("HighDPI" 15.75 points, the others 8.25).
inline std::string EditorSkins(size_t count, const std::string& extra = "") {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Vandrel_Skin_Definitions><Application "
                     "Name=\"PresetEditor\"><Skins>";
  for (size_t i = 0; i < count; ++i) {
    text += "<Skin Name=\"" + EditorSkinName(i) + "\" FontName=\"Arial\" FontSize=\"" + (i == 0 ? "15.75" : "8.25") +
            "\" FontStyle=\"0\">" + EditorMainControl() + extra + "</Skin>";
  }
  return text + "</Skins></Application></Vandrel_Skin_Definitions>";
}

// The host of the editor's application object.
class EditorHost : public QZ::MFCFrameworkApp<LApplication> {
public:
  explicit EditorHost(Services services) : MFCFrameworkApp(std::move(services)) {}
};

// The number of threads the process runs now.
inline size_t ThreadCount() {
  return size_t(
      std::distance(std::filesystem::directory_iterator("/proc/self/task"), std::filesystem::directory_iterator()));
}

class EditorAppFixture : public ::testing::Test {
protected:
  void SetUp() override {
    environment.Set("SDL_VIDEODRIVER", realWindows ? "x11" : "offscreen");
    environment.Set("HOME", folder / "home");
    environment.Set("XDG_CONFIG_HOME", folder / "config");
    environment.Set("XDG_DATA_HOME", folder / "data");
    environment.Set("QZ_REGISTRY_FILE", folder / "registry.reg"); // missing: an empty registry
    environment.Set("QZ_DPI", "96");
    environment.Set("QZ_VIRTUAL_KEYBOARD", "1");
    environment.Unset("QZ_RESOURCE_FOLDER");
    std::filesystem::create_directories(folder / "home/Documents");
    WriteStringTables();
    Win::SetMessageBoxRecorder([this](std::u16string_view text, std::u16string_view caption, uint32_t style) {
      boxes.push_back({std::u16string(text), std::u16string(caption), style});
      return Win::IDOK;
    });
    QZ::MFCFrameworkAppBase::Services services;
    services.startWindowSystem = realWindows ? decltype(services.startWindowSystem)() : [this] {
      auto owned = std::make_unique<ScriptedVideoBackend>();
      backend = owned.get();
      return Host::Startup(std::move(owned));
    };
    host = std::make_unique<EditorHost>(std::move(services));
    ASSERT_TRUE(host->WinInit("quorin-ztr-preset-editor", Win::SW_SHOWNORMAL));
    host->SetRegistryKey(QZ::WString(u"Vandrel"));
  }
  void TearDown() override {
    DropApplication();
    host->WinTerm();
    host.reset();
    Win::SetMessageBoxRecorder({});
  }

  void MakeApplication(const std::string& skins, LApplication::Services services = {}) {
    app = QZ::RCPtr<LApplication>(
        new LApplication(MakeFactory(skins, tables), nullptr, QZ::WString(u"editor"), std::move(services)));
  }
  void DropApplication() {
    if (app) {
      app->RunApplicationShutdown();
      app = nullptr;
    }
  }
  QZ::LNotificationCenter* centre() const { return app->GetApplicationNotificationCenter(); }
  // The user settings file as the application saved it.
  std::string SavedUserSettings() const {
    std::ifstream in(folder / "config/Vandrel/Quorin ZTR Preset Editor/UserSettings.ini");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // Set by a subclass's constructor: the windows are SDL's on the X display (a test under
  // the Xvfb fixture) rather than the scripted backend's, and `backend` stays null.
  bool realWindows = false;
  TempFolder folder;
  // The program's string tables, with "GHK_MAC." definitions beside its "GHK_WIN." ones.
  const std::string tables = folder / "tables";
  ScopedEnvironment environment;
  std::vector<RecordedBox> boxes;
  std::unique_ptr<EditorHost> host;
  ScriptedVideoBackend* backend = nullptr;
  QZ::RCPtr<LApplication> app;

private:
  void WriteStringTables() const {
    std::filesystem::create_directories(tables);
    std::filesystem::copy_file(std::string(QZ_PROGRAM_DOCUMENTS) + "/FrameworkStrings.xml",
                               tables + "/FrameworkStrings.xml");
    std::ifstream in(std::string(QZ_PROGRAM_DOCUMENTS) + "/StringTables.xml");
    std::stringstream text;
    text << in.rdbuf();
    std::string document = text.str();
    const std::string anchor = "<String ID=\"GHK_WIN.NID_EDIT_COPY_REQ\">";
    document.insert(document.find(anchor),
                    "<String ID=\"GHK_MAC.NID_EDIT_COPY_REQ\"><Locale LCID=\"0x0009\">Ctrl+VKEY_Q</Locale></String>\n"
                    "<String ID=\"GHK_MAC.NID_MENU_HELP_ABOUT\"><Locale LCID=\"0x0009\">VKEY_F1</Locale></String>\n");
    std::ofstream(tables + "/StringTables.xml") << document;
  }
};

} // namespace QZTest
