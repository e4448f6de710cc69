// The editor's application object: its fixed answers, the seams it fills while it lives,
// its settings files, folders, cursors, the editor page it reports, its MIDI manager made
// anew, and the virtual keyboard it hosts.

#include <gmock/gmock.h>

#include "DeviceControl/MakerMidiId.h"
#include "EditorAppTestSupport.h"
#include "Platform/Midi/MidiSystem.h"
#include "Platform/Midi/Virtual/VirtualMidiRegistry.h"
#include "Platform/Window/Input.h"
#include "QZFramework/ControlBase/CursorNames.h"
#include "QZFramework/Controls/TabControl.h"
#include "Support/FontconfigInit.h"

namespace QZTest {
namespace {

using QZ::RCPtr;

constexpr char kNoMidiManagerText[] = "Runtime Error : Null Pointer : Cannot Create Midi Manager : "
                                      "LApplication::ReinitalizeMidiManager : panel\\main\\Application : Line 132";

class ApplicationTest : public EditorAppFixture {};

TEST_F(ApplicationTest, ItAnswersAsTheEditorAndIsEveryonesApplicationWhileItLives) {
  EXPECT_EQ(LApplication::GetInstance(), nullptr);
  MakeApplication(EditorSkins(2));
  EXPECT_EQ(LApplication::GetInstance(), app.Get());
  EXPECT_EQ(QZ::GetApplicationContext(), static_cast<QZ::IApplicationContext*>(app.Get()));
  EXPECT_EQ(QZ::GetEditorUIHost(), static_cast<QZ::IEditorUIHost*>(app.Get()));
  EXPECT_EQ(app->GetVersionString(), QZ::WString(u"1_0_0"));
  EXPECT_EQ(app->GetMainControlName(), QZ::WString(u"mainControl"));
  EXPECT_EQ(app->GetRendererType(), 1);
  EXPECT_TRUE(app->CanExit());
  DropApplication();
  EXPECT_EQ(LApplication::GetInstance(), nullptr);
  EXPECT_EQ(QZ::GetEditorUIHost(), nullptr);
}

TEST_F(ApplicationTest, TheEditorsMessageBoxesAndTextsComeFromTheApplication) {
  MakeApplication(EditorSkins(2));
  EXPECT_EQ(QZ::ShowEditorMessageBox(QZ::WString(u"text"), QZ::WString(u"caption"), QZ::kMessageBoxIconError),
            QZ::kMessageBoxAnswerOk);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"text");
  EXPECT_EQ(boxes[0].caption, u"caption");
  EXPECT_EQ(boxes[0].style, 0x10u);
  EXPECT_EQ(app->GetAppStringTable(), app->GetStringTable().Get());
  EXPECT_EQ(GetAppString(QZ::WString(u"GHK_WIN.NID_EDIT_COPY_REQ")), QZ::WString(u"Ctrl+VKEY_C"));
}

TEST_F(ApplicationTest, EachSettingsFileOpensOnceInItsFolder) {
  MakeApplication(EditorSkins(2));
  const uint32_t user = app->OpenSettingsFiles(1);
  const uint32_t shared = app->OpenSettingsFiles(0);
  ASSERT_NE(user, 0u);
  ASSERT_NE(shared, 0u);
  EXPECT_NE(user, shared);
  for (int32_t kind : {2, -1, 7}) {
    EXPECT_EQ(app->OpenSettingsFiles(kind), 0u) << kind;
  }
  // Asked again, the handle is kept: the folders are not even looked for.
  environment.Set("XDG_CONFIG_HOME", folder.Write("plain-file", "x"));
  EXPECT_EQ(app->OpenSettingsFiles(1), user);
  EXPECT_EQ(app->OpenSettingsFile(1), user);
  app->GetIniFileManagerPtr()->SetInt(user, u"Marker", 1);
  app->GetIniFileManagerPtr()->SetInt(shared, u"Marker", 2);
  DropApplication();
  EXPECT_THAT(folder.Read("config/Vandrel/Quorin ZTR Preset Editor/UserSettings.ini"),
              testing::HasSubstr("<key>Marker</key><integer>1</integer>"));
  EXPECT_THAT(folder.Read("data/Vandrel/Quorin ZTR Preset Editor/AppSettings.ini"),
              testing::HasSubstr("<key>Marker</key><integer>2</integer>"));
}

TEST_F(ApplicationTest, AFileWithoutItsFolderIsNotOpenedAndTriedAgainLater) {
  const std::string plain = folder.Write("plain-file", "not a folder");
  environment.Set("XDG_CONFIG_HOME", plain);
  MakeApplication(EditorSkins(2));
  EXPECT_EQ(app->GetFolder(3), QZ::WString());
  EXPECT_EQ(app->OpenSettingsFiles(1), 0u);
  EXPECT_EQ(app->GetCurrentSkinIndex(), 0);
  ASSERT_EQ(app->SetSkin(1), QZ::QZ_OK) << "remembered nowhere";
  EXPECT_EQ(app->OpenSettingsFiles(1), 0u);

  environment.Set("XDG_CONFIG_HOME", folder / "config");
  const uint32_t user = app->OpenSettingsFiles(1);
  EXPECT_NE(user, 0u);
  ASSERT_EQ(app->SetSkin(1), QZ::QZ_OK);
  DropApplication();
  EXPECT_FALSE(std::filesystem::exists("/UserSettings.ini")) << "nothing at the root of the file system";
  EXPECT_EQ(folder.Read("plain-file"), "not a folder");
  EXPECT_THAT(folder.Read("config/Vandrel/Quorin ZTR Preset Editor/UserSettings.ini"),
              testing::HasSubstr("<key>CurrentSkinIndex</key><integer>1</integer>"));
}

TEST_F(ApplicationTest, FoldersFiveAndSixAreTheDocuments) {
  MakeApplication(EditorSkins(2));
  const QZ::WString documents = app->GetFolder(4);
  EXPECT_EQ(documents, QZ::WString((folder / "home/Documents").c_str()));
  EXPECT_EQ(app->GetFolder(5), documents);
  EXPECT_EQ(app->GetFolder(6), documents);
  EXPECT_EQ(app->GetFolder(3), QZ::WString((folder / "config/Vandrel/Quorin ZTR Preset Editor").c_str()));
  EXPECT_THROW((void)app->GetFolder(7), std::out_of_range);
}

TEST_F(ApplicationTest, TheSharedNamesGiveTheProgramsDragCursorsAndNoToolCursors) {
  namespace Names = QZ::CursorNames;
  MakeApplication(EditorSkins(2));
  const QZ::CursorHandle arrow = app->GetCursor(QZ::WString(u"UI_CURSOR_ARROW"));
  const QZ::CursorHandle hand = app->GetCursor(QZ::WString(u"UI_CURSOR_HAND"));
  EXPECT_EQ(hand, reinterpret_cast<QZ::CursorHandle>(Win::LoadCursor(Win::IDC_HAND)));
  for (const QZ::WString* tool :
       {&Names::SplitV(), &Names::SplitH(), &Names::Rotate(), &Names::Mag(), &Names::MagPlus(), &Names::MagMinus()}) {
    EXPECT_EQ(app->GetCursor(*tool), 0u) << QZ::NString(*tool).GetBuffer();
  }
  const size_t made = backend->liveCursors.size();
  const QZ::CursorHandle move = app->GetCursor(Names::DropMove());
  const QZ::CursorHandle copy = app->GetCursor(Names::DropCopy());
  EXPECT_EQ(backend->liveCursors.size(), made + 2) << "two colour cursors";
  for (const QZ::CursorHandle cursor : {move, copy}) {
    EXPECT_NE(cursor, 0u);
    EXPECT_NE(cursor, arrow);
    EXPECT_NE(cursor, hand);
  }
  EXPECT_NE(move, copy);
  EXPECT_EQ(app->GetCursor(Names::DropMove()), move) << "made once";
  EXPECT_EQ(backend->liveCursors.size(), made + 2);
  // The same characters in another object are the base's: its table has no such name.
  EXPECT_EQ(app->GetCursor(QZ::WString(Names::DropMove())), arrow);
  EXPECT_EQ(app->GetCursor(QZ::WString(u"UI_CURSOR_SPLIT_H")), arrow);
  // The cursors go with the application (unless one is shown then).
  DropApplication();
  EXPECT_EQ(backend->liveCursors.size(), made);
}

TEST_F(ApplicationTest, TheEditorPageIsTheDeviceViewsSelectedTab) {
  MakeApplication(EditorSkins(2));
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  EXPECT_EQ(app->GetSelectedEditorPage(), -1) << "no main control";
  EXPECT_EQ(app->GetCurrentEditorPage(), -1);
  ASSERT_EQ(app->SetMainRootControl(u"mainControl"), QZ::QZ_OK);
  const RCPtr<QZ::LTabControl> tabs = QZ::DynamicCast<QZ::LTabControl>(
      app->GetMainRootControl()->FindChildByName(u"viewDevice")->FindChildByName(u"tabControl"));
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(app->GetSelectedEditorPage(), 0);
  ASSERT_EQ(tabs->SelectTab(u"globalPresetEditor"), QZ::QZ_OK);
  EXPECT_EQ(app->GetSelectedEditorPage(), 1);
  EXPECT_EQ(QZ::GetApplicationContext()->GetCurrentEditorPage(), 1);
  // Without its device view the main control shows no page.
  app->GetMainRootControl()->FindChildByName(u"viewDevice")->Detach();
  EXPECT_EQ(app->GetSelectedEditorPage(), -1);
}

TEST_F(ApplicationTest, TheMainWindowsDeviceViewHearsTheMenuCommandsAndTheStoredModelMakesItsMidiManager) {
  MakeApplication(EditorSkins(2));
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  app->GetIniFileManagerPtr()->SetInt(app->OpenSettingsFiles(1), u"DeviceModel", 2);
  const RCPtr<QZ::LMidiManager> first = app->GetMidiManager();
  ASSERT_EQ(app->SetMainRootControl(u"mainControl"), QZ::QZ_OK);
  EXPECT_NE(app->GetMidiManager(), first) << "made for the stored model";
  EXPECT_EQ(app->GetMidiManager()->GetModelByte(), QZ::KeyboardModelByte(2));
  const RCPtr<QZ::IRootWindow> window = app->GetMainRootControl()->GetRootWindowRef();
  ASSERT_NE(window, nullptr);
  window->HandleCommand(QZ::LNotification::Create(u"NID_MENU_FILE_EXIT_REQ", nullptr));
  EXPECT_FALSE(app->IsExiting()) << "posted";
  app->DoIdleWork(true);
  EXPECT_TRUE(app->IsExiting());
}

TEST_F(ApplicationTest, ANewMidiManagerReplacesTheOldOneAndPollsTheDevices) {
  MakeApplication(EditorSkins(2));
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  const RCPtr<QZ::LMidiManager> first = app->GetMidiManager();
  ASSERT_NE(first, nullptr);
  app->ReinitalizeMidiManager();
  const RCPtr<QZ::LMidiManager> second = app->GetMidiManager();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_TRUE(second->IsStatusPollingArmed());
  EXPECT_EQ(second->StartStatusPolling(), QZ::QZ_FALSE) << "armed already";
  EXPECT_FALSE(first->IsStatusPollingArmed());
}

TEST_F(ApplicationTest, WhenNoMidiManagerIsMadeTheApplicationSaysSo) {
  bool refuse = false;
  LApplication::Services services;
  services.createMidiManager = [&refuse] { return refuse ? nullptr : QZ::LMidiManager::Create(); };
  MakeApplication(EditorSkins(2), std::move(services));
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  ASSERT_NE(app->GetMidiManager(), nullptr);
  refuse = true;
  try {
    app->ReinitalizeMidiManager();
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& failure) {
    EXPECT_STREQ(failure.what(), kNoMidiManagerText);
  }
  EXPECT_EQ(app->GetMidiManager(), nullptr);
}

// The input devices of the process's virtual MIDI registry.
std::vector<std::string> VirtualInputs() {
  return QZ::Platform::Midi::VirtualMidiRegistry::Shared().ListDevices(QZ::Platform::Midi::MidiDirection::Input);
}

TEST_F(ApplicationTest, WithTheVirtualKeyboardOnTheMidiManagerMeetsAKeyboardOfTheSelectedModel) {
  MakeApplication(EditorSkins(2));
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  ASSERT_NE(app->GetVirtualKeyboard(), nullptr);
  // Its ports were there when the manager opened its own: polling is not armed yet.
  const RCPtr<QZ::LMidiManager> first = app->GetMidiManager();
  EXPECT_FALSE(first->IsStatusPollingArmed());
  ASSERT_TRUE(first->ArePortsOpen());
  EXPECT_EQ(first->GetInputPortName(), QZ::WString(u"MIDIIN3 (QUORIN 49 ZTR)"));
  EXPECT_TRUE(first->IsDeviceFirmwareVersionUseable()) << "the keyboard answers";

  app->GetIniFileManagerPtr()->SetInt(app->OpenSettingsFiles(1), u"DeviceModel", 0);
  app->ReinitalizeMidiManager();
  const RCPtr<QZ::LMidiManager> second = app->GetMidiManager();
  ASSERT_TRUE(second->ArePortsOpen());
  EXPECT_EQ(second->GetOutputPortName(), QZ::WString(u"MIDIOUT3 (QUORIN 25 ZTR)"));
  EXPECT_TRUE(second->IsDeviceFirmwareVersionUseable()) << "the identity of the 25-key model";
  EXPECT_THAT(VirtualInputs(), testing::Not(testing::Contains("MIDIIN3 (QUORIN 49 ZTR)"))) << "the old one went";
  EXPECT_THAT(VirtualInputs(), testing::Contains("MIDIIN3 (QUORIN 25 ZTR)"));
  DropApplication();
  EXPECT_THAT(VirtualInputs(), testing::IsEmpty()) << "the keyboard goes with the application";
}

TEST_F(ApplicationTest, NoKeyboardIsHostedWhileTheVirtualKeyboardIsOffOrTheModelIsUnknown) {
  environment.Unset("QZ_VIRTUAL_KEYBOARD");
  MakeApplication(EditorSkins(2));
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  EXPECT_EQ(app->GetVirtualKeyboard(), nullptr);
  EXPECT_THAT(VirtualInputs(), testing::IsEmpty());

  // Switched on later (as a test does), it is hosted from the next manager on; a stored
  // model that is no model gets none, as the manager gets no ports to look for.
  struct Switched {
    Switched() { QZ::Platform::Midi::MidiSystem::SetVirtualKeyboardEnabled(true); }
    ~Switched() { QZ::Platform::Midi::MidiSystem::SetVirtualKeyboardEnabled(std::nullopt); }
  } on;
  app->GetIniFileManagerPtr()->SetInt(app->OpenSettingsFiles(1), u"DeviceModel", 7);
  app->ReinitalizeMidiManager();
  EXPECT_EQ(app->GetVirtualKeyboard(), nullptr);
  app->GetIniFileManagerPtr()->SetInt(app->OpenSettingsFiles(1), u"DeviceModel", 2);
  app->ReinitalizeMidiManager();
  EXPECT_NE(app->GetVirtualKeyboard(), nullptr);
  EXPECT_TRUE(app->GetMidiManager()->ArePortsOpen());
}

TEST_F(ApplicationTest, TheApplicationLeavesNoThreadBehind) {
  const size_t before = ThreadCount();
  MakeApplication(EditorSkins(2));
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  app->ReinitalizeMidiManager();
  EXPECT_GT(ThreadCount(), before) << "the MIDI manager polls on a thread of its own";
  DropApplication();
  EXPECT_EQ(ThreadCount(), before);
}

} // namespace
} // namespace QZTest
