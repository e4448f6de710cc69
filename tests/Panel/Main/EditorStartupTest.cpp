// The editor's start-up: every class name of the program registered (each to its class's
// create function), the Windows hot keys,
// the engine and the MIDI manager made, the skin chosen by the screen's resolution; and
// the start-ups that fail before any of it.

#include <gmock/gmock.h>

#include <set>

#include "DeviceControl/PresetEditorAppEngine.h"
#include "EditorAppTestSupport.h"
#include "Panel/Main/EditorControlClasses.h"
#include "Support/ControlClassChecks.h"
#include "UI/ArpEditPanel.h"
#include "UI/ButtonEditPanel.h"
#include "UI/ButtonViewPanel.h"
#include "UI/ChordEditPanel.h"
#include "UI/ChordModeNoteVariantBufferSetterParameterPanel.h"
#include "UI/ClockEditPanel.h"
#include "UI/DeviceView.h"
#include "UI/DriverCommon/MainControl.h"
#include "UI/GlobalPresetEditPanel.h"
#include "UI/KnobEditPanel.h"
#include "UI/KnobViewPanel.h"
#include "UI/ModWheelEditPanel.h"
#include "UI/PadEditPanel.h"
#include "UI/PadViewPanel.h"
#include "UI/PitchBendEditPanel.h"
#include "UI/PresetEditorCommon/AboutDlg.h"
#include "UI/PresetEditorCommon/GetPresetFromMidiDeviceDlg.h"
#include "UI/PresetEditorCommon/MidiNoteSelector.h"
#include "UI/PresetEditorCommon/NumberBoxTextSelector.h"
#include "UI/PresetEditorCommon/SendPresetToMidiDeviceDlg.h"
#include "UI/PresetEditorCommon/VariantBufferSetterParameterPanel.h"
#include "UI/ScaleEditPanel.h"
#include "UI/SustainEditPanel.h"
#include "UI/SustainViewPanel.h"
#include "UI/UserPresetEditPanel.h"
#include "UI/UserPresetPanel.h"

namespace QZTest {
namespace {

using QZ::RCPtr;

class EditorStartupTest : public EditorAppFixture {};

// The editor's classes built so far, for the checks of the class table.
const bool kEditorClassesKnown = [] {
  EditorClassFunctions().emplace("LVariantBufferSetterParameterPanel",
                                 &QZ::CreateControlOf<LVariantBufferSetterParameterPanel>);
  EditorClassFunctions().emplace("LGlobalPresetEditPanel", &QZ::CreateControlOf<LGlobalPresetEditPanel>);
  EditorClassFunctions().emplace("LUserPresetChordEditPanel", &QZ::CreateControlOf<LUserPresetChordEditPanel>);
  EditorClassFunctions().emplace("LChordModeNoteVariantBufferSetterParameterPanel",
                                 &QZ::CreateControlOf<LChordModeNoteVariantBufferSetterParameterPanel>);
  EditorClassFunctions().emplace("LKnobEditPanel", &QZ::CreateControlOf<LKnobEditPanel>);
  EditorClassFunctions().emplace("LKnobViewPanel", &QZ::CreateControlOf<LKnobViewPanel>);
  EditorClassFunctions().emplace("LPadEditPanel", &QZ::CreateControlOf<LPadEditPanel>);
  EditorClassFunctions().emplace("LPadViewPanel", &QZ::CreateControlOf<LPadViewPanel>);
  EditorClassFunctions().emplace("LArpEditPanel", &QZ::CreateControlOf<LArpEditPanel>);
  EditorClassFunctions().emplace("LScaleEditPanel", &QZ::CreateControlOf<LScaleEditPanel>);
  EditorClassFunctions().emplace("LClockEditPanel", &QZ::CreateControlOf<LClockEditPanel>);
  EditorClassFunctions().emplace("LMidiNoteSelector", &QZ::CreateControlOf<LMidiNoteSelector>);
  EditorClassFunctions().emplace("LNumberBoxTextSelector", &QZ::CreateControlOf<LNumberBoxTextSelector>);
  EditorClassFunctions().emplace("LCommonButtonEditPanel", &QZ::CreateControlOf<LCommonButtonEditPanel>);
  EditorClassFunctions().emplace("LCommonButtonViewPanel", &QZ::CreateControlOf<LCommonButtonViewPanel>);
  EditorClassFunctions().emplace("LModWheelEditPanel", &QZ::CreateControlOf<LModWheelEditPanel>);
  EditorClassFunctions().emplace("LPitchBendEditPanel", &QZ::CreateControlOf<LPitchBendEditPanel>);
  EditorClassFunctions().emplace("LSustainEditPanel", &QZ::CreateControlOf<LSustainEditPanel>);
  EditorClassFunctions().emplace("LSustainViewPanel", &QZ::CreateControlOf<LSustainViewPanel>);
  EditorClassFunctions().emplace("QZ::LMainControl", &QZ::CreateControlOf<QZ::LMainControl>);
  EditorClassFunctions().emplace("LDeviceView", &QZ::CreateControlOf<LDeviceView>);
  EditorClassFunctions().emplace("LSendPresetToMidiDeviceDlg", &QZ::CreateControlOf<LSendPresetToMidiDeviceDlg>);
  EditorClassFunctions().emplace("LGetPresetFromMidiDeviceDlg", &QZ::CreateControlOf<LGetPresetFromMidiDeviceDlg>);
  EditorClassFunctions().emplace("LAboutDlg", &QZ::CreateControlOf<LAboutDlg>);
  EditorClassFunctions().emplace("LUserPresetPanel", &QZ::CreateControlOf<LUserPresetPanel>);
  EditorClassFunctions().emplace("LUserPresetEditPanel", &QZ::CreateControlOf<LUserPresetEditPanel>);
  return true;
}();

std::string Narrow(const char16_t* text) { return QZ::NString(QZ::WString(text)).GetBuffer(); }

TEST_F(EditorStartupTest, TheEditorsTableHoldsThe123NamesInTheirOrderApartFromTheFrameworks) {
  std::vector<std::string> table;
  for (const QZ::ControlClassEntry& entry : QZ::EditorControlClasses()) {
    table.push_back(Narrow(entry.name));
  }
  std::vector<std::string> expected;
  for (const ControlClassName& name : kEditorClassNames) {
    expected.emplace_back(name.name);
  }
  EXPECT_EQ(table, expected);
  std::set<std::string> all(table.begin(), table.end());
  for (const QZ::ControlClassEntry& entry : QZ::FrameworkControlClasses()) {
    all.insert(Narrow(entry.name));
  }
  EXPECT_EQ(all.size(), 163u) << "no name twice";
}

TEST_F(EditorStartupTest, EveryNameResolvesToItsClasssCreateFunction) {
  MakeApplication(EditorSkins(2));
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  const RCPtr<QZ::LControlFactory> factory = app->GetControlFactory();
  for (const auto& names : {std::span<const ControlClassName>(kFrameworkClassNames),
                            std::span<const ControlClassName>(kEditorClassNames)}) {
    for (const ControlClassName& name : names) {
      ASSERT_NE(ExpectedCreateFunction(name), nullptr) << name.name << ": a class the tables do not know";
      EXPECT_EQ(RegisteredFunction(*factory, name.name), ExpectedCreateFunction(name)) << name.name;
    }
  }
  // The editor's panels, tab controls and labels are made by the framework's very functions.
  for (const auto& [editorName, frameworkName] :
       {std::pair{"PresetEditor.UserPresetSliderGroup", "Framework.Panel"},
        std::pair{"PresetEditor.TabControl", "Framework.TabControl"},
        std::pair{"PresetEditor.Control.ProductLogoLabels", "Framework.Label"}}) {
    EXPECT_EQ(RegisteredFunction(*factory, editorName), RegisteredFunction(*factory, frameworkName)) << editorName;
  }
  // Built from the skin.
  const RCPtr<QZ::LControl> main = factory->CreateControlByName(u"mainControl", nullptr);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(TypeOf(main->FindChildByName(u"slot")), "QZ::LPanel");
  const RCPtr<QZ::LControl> device = main->FindChildByName(u"viewDevice");
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(TypeOf(device->FindChildByName(u"tabControl")), "QZ::LTabControl");
}

TEST_F(EditorStartupTest, WithTwoSkinsTheScreensResolutionChoosesTheSkinAndIsRemembered) {
  struct Case {
    const char* dpi;
    int32_t stored;
    int32_t skin;
  };
  for (const Case& test : {Case{"160", 1, 0}, Case{"159", 0, 1}, Case{"96", 0, 1}, Case{"2400", 1, 0}}) {
    environment.Set("QZ_DPI", test.dpi);
    MakeApplication(EditorSkins(2));
    app->GetIniFileManagerPtr()->SetInt(app->OpenSettingsFiles(1), u"CurrentSkinIndex", test.stored);
    ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
    EXPECT_EQ(app->GetControlFactory()->GetCurrentSkinIndex(), test.skin) << test.dpi;
    EXPECT_EQ(app->GetCurrentSkinIndex(), test.skin) << test.dpi;
    float size = 0;
    int32_t style = -1;
    QZ::WString face;
    ASSERT_EQ(app->GetDefaultFont(face, size, style), QZ::QZ_OK);
    EXPECT_EQ(face, QZ::WString(u"Arial"));
    EXPECT_FLOAT_EQ(size, test.skin == 0 ? 15.75f : 8.25f);
    DropApplication();
    EXPECT_THAT(SavedUserSettings(),
                testing::HasSubstr("<key>1_0_0</key><dict>\n\t\t<key>CurrentSkinIndex</key><integer>" +
                                   std::to_string(test.skin) + "</integer>"))
        << test.dpi;
  }
}

// Two skins, the large one's main control twice the standard one's (640 x 480).
std::string SkinsWithALargeMainControl() {
  std::string skins = EditorSkins(2);
  const std::string standard = R"(Name="mainControl" XSizeAbs="640" YSizeAbs="480")";
  skins.replace(skins.find(standard), standard.size(), R"(Name="mainControl" XSizeAbs="1280" YSizeAbs="960")");
  return skins;
}

TEST_F(EditorStartupTest, TheLargeSkinGivesWayWhereItsWindowDoesNotFitTheWorkArea) {
  const std::string skins = SkinsWithALargeMainControl();
  environment.Set("QZ_DPI", "192");
  struct Case {
    SDL_Rect area;
    int32_t skin;
    int width;
    int height;
  };
  for (const Case& test : {Case{{0, 32, 1920, 1048}, 0, 1280, 960}, Case{{0, 0, 1280, 959}, 1, 640, 480},
                           Case{{0, 0, 1279, 2000}, 1, 640, 480}, Case{{100, 50, 500, 400}, 1, 500, 400}}) {
    SCOPED_TRACE(std::to_string(test.area.w) + " x " + std::to_string(test.area.h));
    backend->usableBounds = test.area;
    MakeApplication(skins);
    ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
    ASSERT_EQ(app->CreateMainWindow(QZ::kRendererGDI), QZ::QZ_OK);
    ASSERT_EQ(app->SetMainRootControl(app->GetMainControlName()), QZ::QZ_OK);
    EXPECT_EQ(app->GetControlFactory()->GetCurrentSkinIndex(), test.skin);
    float size = 0;
    int32_t style = -1;
    QZ::WString face;
    ASSERT_EQ(app->GetDefaultFont(face, size, style), QZ::QZ_OK);
    EXPECT_FLOAT_EQ(size, test.skin == 0 ? 15.75f : 8.25f);
    // The window on the work area, whole where the area holds it (the standard skin's
    // window, resizable here, shrunk to an area smaller than it).
    Win::RECT window;
    ASSERT_TRUE(Win::GetWindowRect(host->GetMainWindow(), &window));
    EXPECT_EQ(window.right - window.left, test.width);
    EXPECT_EQ(window.bottom - window.top, test.height);
    EXPECT_GE(window.left, test.area.x);
    EXPECT_GE(window.top, test.area.y);
    EXPECT_LE(window.right, test.area.x + test.area.w);
    EXPECT_LE(window.bottom, test.area.y + test.area.h);
    DropApplication();
    EXPECT_THAT(SavedUserSettings(),
                testing::HasSubstr("<key>CurrentSkinIndex</key><integer>" + std::to_string(test.skin) + "</integer>"));
  }
}

TEST_F(EditorStartupTest, AWorkAreaExactlyAsLargeAsTheLargeWindowWithItsFrameKeepsTheLargeSkin) {
  const std::string skins = SkinsWithALargeMainControl();
  environment.Set("QZ_DPI", "192");
  backend->windowFrame = {24, 3, 5, 7}; // the large window: 1290 x 989 with it
  for (const auto& [area, skin] : {std::pair{SDL_Rect{0, 0, 1290, 989}, 0}, std::pair{SDL_Rect{0, 0, 1289, 989}, 1},
                                   std::pair{SDL_Rect{0, 0, 1290, 988}, 1}}) {
    SCOPED_TRACE(std::to_string(area.w) + " x " + std::to_string(area.h));
    backend->usableBounds = area;
    MakeApplication(skins);
    ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
    ASSERT_EQ(app->CreateMainWindow(QZ::kRendererGDI), QZ::QZ_OK);
    EXPECT_EQ(app->GetControlFactory()->GetCurrentSkinIndex(), skin);
    DropApplication();
  }
}

TEST_F(EditorStartupTest, WithOneOrThreeSkinsTheFrameworksChoiceStays) {
  environment.Set("QZ_DPI", "200");
  for (const auto& [skins, stored, skin] : {std::tuple{size_t(1), 0, 0}, std::tuple{size_t(3), 2, 2},
                                            std::tuple{size_t(3), 1, 1}, std::tuple{size_t(1), 4, 0}}) {
    MakeApplication(EditorSkins(skins));
    app->GetIniFileManagerPtr()->SetInt(app->OpenSettingsFiles(1), u"CurrentSkinIndex", stored);
    ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
    EXPECT_EQ(app->GetControlFactory()->GetCurrentSkinIndex(), skin) << skins << " skins, " << stored << " stored";
    DropApplication();
  }
}

TEST_F(EditorStartupTest, TheHotKeysOfBothTablesPostTheirCommandsForTheNextIdlePass) {
  MakeApplication(EditorSkins(2));
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  const RCPtr<Listener> listener(new Listener);
  const char16_t* commands[] = {u"NID_MENU_FILE_SAVE_PRESET_TO_FILE", u"NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE",
                                u"NID_EDIT_DELETE_REQ", u"NID_BUTTON_TOGGLE_DIALOG_BUTTON", u"NID_MENU_HELP_ABOUT"};
  for (const char16_t* command : commands) {
    listener->RegisterNotification(RCPtr<QZ::LNotificationDistributor>(centre()), command);
  }
  const RCPtr<QZ::LGlobalHotKeyManager> keys = app->GetGlobalHotKeyManager();
  for (const auto& [key, command] :
       {std::pair{u"Ctrl+VKEY_S", u"NID_MENU_FILE_SAVE_PRESET_TO_FILE"},
        std::pair{u"Ctrl+Shift+VKEY_R", u"NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE"},
        std::pair{u"VKEY_DELETE", u"NID_EDIT_DELETE_REQ"}, std::pair{u"VKEY_D", u"NID_BUTTON_TOGGLE_DIALOG_BUTTON"}}) {
    EXPECT_EQ(keys->HandleKey(QZ::LKeyParam::Create(QZ::KeyCode::FromString(key), true)), QZ::QZ_OK)
        << QZ::NString(QZ::WString(key)).GetBuffer();
    EXPECT_TRUE(listener->heard.empty()) << "posted, not sent";
    app->DoIdleWork(true);
    EXPECT_EQ(listener->heard, std::vector<std::u16string>{command});
    listener->heard.clear();
  }
  // The other platform's definitions bind nothing; the exit key is there.
  const QZ::HotKeyMap& map = keys->GetHotKeyMap();
  EXPECT_EQ(keys->HandleKey(QZ::LKeyParam::Create(QZ::KeyCode::FromString(u"VKEY_F1"), true)), QZ::QZ_FALSE);
  EXPECT_EQ(map.FindCommand(QZ::KeyCode::FromString(u"Ctrl+VKEY_Q")), QZ::WString());
  EXPECT_EQ(map.GetBindings(u"NID_EDIT_COPY_REQ").GetCount(), 1u);
  EXPECT_EQ(map.FindCommand(QZ::KeyCode::FromString(u"Alt+VKEY_F4")), QZ::WString(u"NID_APP_EXIT_REQ"));
  listener->UnregisterAllNotifications();
}

TEST_F(EditorStartupTest, AStartupThatFailsBeforeTheEditorsStepsLeavesNothingOfTheEditors) {
  // No skin: the framework's start-up fails.
  MakeApplication(EditorSkins(0));
  EXPECT_EQ(app->RunApplicationStartup(), QZ::QZ_E_FAIL);
  EXPECT_EQ(RegisteredFunction(*app->GetControlFactory(), "PresetEditor.MainControl"), nullptr);
  EXPECT_EQ(app->GetRootModuleEngine(), nullptr);
  EXPECT_EQ(app->GetMidiManager(), nullptr);
  DropApplication();

  // No application string table: the "GHK_WIN" definitions cannot be read.
  app = RCPtr<LApplication>(new LApplication(MakeFactory(EditorSkins(2)), nullptr, QZ::WString(u"editor")));
  ASSERT_EQ(app->GetStringTable(), nullptr);
  EXPECT_EQ(app->RunApplicationStartup(), QZ::QZ_E_INVALIDARG);
  EXPECT_NE(RegisteredFunction(*app->GetControlFactory(), "Framework.Button"), nullptr);
  EXPECT_EQ(RegisteredFunction(*app->GetControlFactory(), "PresetEditor.MainControl"), nullptr);
  EXPECT_EQ(app->GetRootModuleEngine(), nullptr);
  EXPECT_EQ(app->GetMidiManager(), nullptr);
}

TEST_F(EditorStartupTest, TheStartupMakesTheEngineAndTheMidiManagerOverIt) {
  MakeApplication(EditorSkins(2));
  ASSERT_EQ(app->GetRootModuleEngine(), nullptr);
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  ASSERT_NE(app->GetRootModuleEngine(), nullptr);
  EXPECT_NE(dynamic_cast<QZ::LPresetEditorAppEngine*>(app->GetRootModuleEngine()), nullptr);
  EXPECT_EQ(QZ::GetApplicationContext()->GetRootModuleEngine(), app->GetRootModuleEngine());
  const RCPtr<QZ::LMidiManager> midi = app->GetMidiManager();
  ASSERT_NE(midi, nullptr);
  EXPECT_FALSE(midi->IsStatusPollingArmed());
  EXPECT_EQ(midi->GetParamRange(), (QZ::ParamIdRange{0, 145})) << "the engine's parameters from id 0";
}

} // namespace
} // namespace QZTest
