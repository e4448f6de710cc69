#pragma once
// The UI kit for the device view and its dialogs: a main window as the program's skins
// shape it (menu bar "mainMenu", device view "viewDevice" with its two tabs and the model
// box) and the three dialogs, the editor's classes registered under their skin names, the
// user preset page a recording stand-in, commands raised as the menu bar and the hot keys
// raise them.
//
//   DeviceKit kit(1);                                 // a 49-key keyboard on the ports
//   kit.SelectTab(u"globalPresetEditor");             // the page the MIDI manager sends
//   kit.Key(u"Ctrl+Shift+VKEY_S");                    // through the window and the hot keys
//   kit.PumpIdle();

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "EditPageKit.h"
#include "QZFramework/Controls/MainMenu.h"
#include "UI/DeviceView.h"
#include "UI/PresetEditorCommon/AboutDlg.h"
#include "UI/PresetEditorCommon/GetPresetFromMidiDeviceDlg.h"
#include "UI/PresetEditorCommon/SendPresetToMidiDeviceDlg.h"
#include "UI/UserGuide.h"

namespace DeviceViews {

namespace Xml = QZTest::UiXml;
using QZ::RCPtr;
using QZ::WString;

// The user preset page's module: it records how it is bound and asked.
class TestUserPreset final : public QZ::LPanel, public IUserPreset {
public:
  TestUserPreset(const RCPtr<QZ::LControl>& parent, const WString& name) : LPanel(parent, name) {}
  RCPtr<IPitchbend> GetPitchbend() override { return nullptr; }
  RCPtr<IModWheel> GetModWheel() override { return nullptr; }
  RCPtr<ISustain> GetSustain() override { return nullptr; }
  RCPtr<ISliderAndKnob> GetSlider(uint32_t) override { return nullptr; }
  RCPtr<ISliderAndKnob> GetKnob(uint32_t) override { return nullptr; }
  RCPtr<IHardwareButton> GetHardwareButton(uint32_t) override { return nullptr; }
  RCPtr<IPad> GetPad(uint32_t) override { return nullptr; }
  RCPtr<IClock> GetClock() override { return nullptr; }
  RCPtr<IArp> GetArp() override { return nullptr; }
  RCPtr<IChord> GetChord() override { return nullptr; }
  RCPtr<IScale> GetScale() override { return nullptr; }
  RCPtr<LParameterizedModule> GetModuleForParamID(uint32_t id) override {
    asked.push_back(id);
    return nullptr;
  }
  QZ::QZResult ReleaseInternalReferences() override { return LPanel::ReleaseInternalReferences(); }

  std::vector<uint32_t> asked;
};

inline std::string Button(const std::string& name, Xml::Rect rect) {
  return Xml::Control("Framework.Button", name, rect, {}, {}, "Kit.Text");
}

// The device view's children: the tabs and, unless left out, the model box.
inline std::string ViewChildren(bool withModelBox = true) {
  const std::string tabs = Xml::Control(
      "PresetEditor.MainControl.DeviceView.TabControl", "tabControl", {0, 30, 800, 420},
      Xml::Control("PresetEditor.MainControl.DeviceView.TabControl.ButtonHolder", "buttonHolder", {0, 0, 800, 20},
                   Button("userPresetEditor", {0, 0, 100, 20}) + Button("globalPresetEditor", {100, 0, 100, 20})) +
          Xml::Control("PresetEditor.MainControl.DeviceView.TabControl.PageHolder", "pageHolder", {0, 20, 800, 400},
                       Xml::Control("PresetEditor.UserPresetEditorView", "userPresetEditor", {0, 0, 800, 400},
                                    Xml::Control("Test.UserPreset", "controlNavigation", {0, 0, 800, 400})) +
                           EditPages::GlobalPage("globalPresetEditor", {0, 0, 800, 400})));
  return tabs + (withModelBox ? Xml::ComboBox("deviceSelectionComboBox", {600, 4, 190, 22}) : std::string());
}

// A transfer dialog of class cls named name with its slot box and the action button.
inline std::string TransferDialog(const std::string& cls, const std::string& name, const std::string& action) {
  return Xml::Control(cls, name, {0, 0, 320, 140},
                      Xml::Control("PresetEditor.Control.PresetSlotCombobox", "presetSlot", {10, 10, 200, 24},
                                   Xml::ComboBox("comboBox", {0, 0, 200, 24})) +
                          Button(action, {10, 100, 80, 30}) + Button("buttonClose", {100, 100, 80, 30}));
}

inline std::string AboutDialog(const std::string& name, const std::string& children) {
  return Xml::Control("PresetEditor.DialogAbout", name, {0, 0, 300, 140}, children);
}

inline std::string Skin() {
  const std::string label = "Kit.Text";
  return Xml::Control(
             "PresetEditor.MainControl", "mainControl", {0, 0, 800, 480},
             Xml::Control("PresetEditor.MainControl.DeviceView", "viewDevice", {0, 22, 800, 458}, ViewChildren()) +
                 Xml::Control("Framework.MainMenu", "mainMenu", {0, 0, 800, 22})) +
         TransferDialog("PresetEditor.Dialog.SendPresetToHardware", "dialogSendPreset", "send") +
         TransferDialog("PresetEditor.Dialog.RetrievePresetFromHardware", "dialogRetrievePresetFromHardware",
                        "getButton") +
         AboutDialog("dialogAbout",
                     Xml::Control("Framework.Label", "labelProduct", {10, 10, 280, 20}, {}, {}, label) +
                         Xml::Control("Framework.Label", "labelCopyright", {10, 40, 280, 20}, {}, {}, label) +
                         Button("buttonSupport", {10, 100, 80, 30}) + Button("buttonOK", {200, 100, 80, 30}));
}

inline void RegisterClasses(QZ::LControlFactory& factory) {
  EditPages::RegisterClasses(factory);
  const std::pair<const char16_t*, QZ::ControlCreateFunction> classes[] = {
      {u"Framework.MainMenu", &QZ::CreateControlOf<QZ::LMainMenu>},
      {u"PresetEditor.MainControl.DeviceView", &QZ::CreateControlOf<LDeviceView>},
      {u"PresetEditor.MainControl.DeviceView.TabControl", &QZ::CreateControlOf<QZ::LTabControl>},
      {u"PresetEditor.MainControl.DeviceView.TabControl.ButtonHolder", &QZ::CreateControlOf<QZ::LScrollView>},
      {u"PresetEditor.MainControl.DeviceView.TabControl.PageHolder", &QZ::CreateControlOf<QZ::LScrollView>},
      {u"PresetEditor.UserPresetEditorView", &QZ::CreateControlOf<QZ::LScrollView>},
      {u"Test.UserPreset", &QZ::CreateControlOf<TestUserPreset>},
      {u"PresetEditor.Control.PresetSlotCombobox", &QZ::CreateControlOf<QZ::LPanel>},
      {u"PresetEditor.Dialog.SendPresetToHardware", &QZ::CreateControlOf<LSendPresetToMidiDeviceDlg>},
      {u"PresetEditor.Dialog.RetrievePresetFromHardware", &QZ::CreateControlOf<LGetPresetFromMidiDeviceDlg>},
      {u"PresetEditor.DialogAbout", &QZ::CreateControlOf<LAboutDlg>},
  };
  for (const auto& [name, create] : classes) {
    factory.RegisterControlCreateFunction(WString(name), create);
  }
}

// A user guide in the kit's program folder, where a build folder keeps it; its path.
inline std::string PutUserGuide(const QZTest::UiKit& kit) {
  const std::string folder = QZ::DocumentationFolders(kit.folders / "program").at(0);
  std::filesystem::create_directories(folder);
  std::ofstream(folder + "/UserGuide.html") << "<title>Guide</title>";
  return folder + "/UserGuide.html";
}

class DeviceKit : public QZTest::UiKit {
public:
  // A keyboard of keyboardModel on the virtual ports (-1: none); extra top-level entries;
  // the main window built (its tree subscribed by its window) unless build is false.
  explicit DeviceKit(int32_t keyboardModel = -1, const std::string& extra = {}, bool build = true)
      : UiKit(Start(keyboardModel, extra)) {
    RegisterClasses(*factory);
    if (build) {
      Build();
    }
  }

  // The main window's tree made anew, the engine's first values delivered.
  void Build() {
    EXPECT_EQ(root->SetRootControl(WString(u"mainControl")), QZ::QZ_OK);
    PumpIdle();
  }
  RCPtr<LDeviceView> View() const { return Find<LDeviceView>("viewDevice"); }
  // Whether the menu bar shows command enabled (an item starts enabled).
  bool MenuEnables(const char16_t* command) const {
    QZ::LMenuItemState state;
    state.enabled = true;
    Find<QZ::LMainMenu>("mainMenu")->IsMenuItemEnabled(nullptr, 0, WString(command), state);
    return state.enabled;
  }
  // The tab's button clicked, and the editor page the MIDI manager reads follows the tab.
  void SelectTab(const char16_t* tab) {
    Click(Find("viewDevice/tabControl/buttonHolder/" + std::string(WString(tab).ToUTF8().GetBuffer())));
    ASSERT_EQ(Find<QZ::LTabControl>("viewDevice/tabControl")->GetSelectedTab(), WString(tab));
    context.SetCurrentEditorPage(std::u16string_view(tab) == u"globalPresetEditor" ? 1 : 0);
  }
  // A command as a menu item raises it at the window.
  void Command(const char16_t* command) { root->HandleCommand(QZ::LNotification::Create(command, nullptr)); }
  // A hot key through the window, and the command it posts delivered.
  void HotKey(const char16_t* keys) {
    Key(keys);
    PumpIdle();
  }

private:
  static Options Start(int32_t keyboardModel, const std::string& extra) {
    Options options;
    options.width = 800;
    options.height = 480;
    options.keyboardModel = keyboardModel;
    options.skin = Skin() + extra + Xml::Control("Framework.Panel", "kitStart", {0, 0, 10, 10});
    options.top = u"kitStart";
    return options;
  }
};

} // namespace DeviceViews
