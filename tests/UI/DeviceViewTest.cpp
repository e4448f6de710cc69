// The device view: which File commands are enabled (menu bar and hot keys alike), send and
// retrieve against the virtual keyboard by tab, the keyboard model, preset files through the
// scripted file dialogs, Help (the user guide found beside the program) and exit, the module
// routing, and skins without their parts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "DeviceViewKit.h"
#include "Support/FilePermissionsEnforced.h"
#include "Support/HexBytes.h"
#include "UI/DriverCommon/PresetFileBytes.h"
#include "UI/UserGuide.h"

namespace DeviceViews {
namespace {

using Box = QZTest::RecordingEditorUIHost::Box;
using QZTest::FromHex;
using QZTest::UiKit;

constexpr char16_t kSend[] = u"NID_MENU_FILE_SEND_PRESET_TO_DEVICE";
constexpr char16_t kRetrieve[] = u"NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE";
constexpr char16_t kLoad[] = u"NID_MENU_FILE_LOAD_PRESET_FROM_FILE";
constexpr char16_t kSave[] = u"NID_MENU_FILE_SAVE_PRESET_TO_FILE";

// What the application centre delivers of one name.
class Listener final : public QZ::LNotificationClient {
public:
  QZ::QZResult ReceiveNotification(const RCPtr<QZ::LNotificationDistributor>&,
                                   const RCPtr<QZ::LNotification>& notification) override {
    heard.push_back(notification);
    return QZ::QZ_OK;
  }
  std::vector<RCPtr<QZ::LNotification>> heard;
};

RCPtr<Listener> Listen(UiKit& kit, const char16_t* name) {
  const RCPtr<Listener> listener(new Listener);
  listener->RegisterNotification(RCPtr<QZ::LNotificationDistributor>(kit.centre.Get()), name);
  return listener;
}

std::u16string U16(const std::string& utf8) { return std::u16string(WString(utf8.c_str()).View()); }

const std::vector<Box> kGuideNotOpened{{u"The user guide could not be opened.", u"Open User Guide Error", 0}};

RCPtr<QZ::LComboBox> SlotBox(QZ::LControl& dialog) {
  return QZ::DynamicCast<QZ::LComboBox>(dialog.FindChildByName(u"presetSlot")->FindChildByName(u"comboBox"));
}

std::vector<uint8_t> Message(UiKit& kit, size_t index) {
  EXPECT_TRUE(kit.keyboard->WaitForReceived(index + 1, std::chrono::seconds(5)));
  const auto received = kit.keyboard->Received();
  return index < received.size() ? received[index] : std::vector<uint8_t>();
}

TEST(DeviceViewTest, WithoutAKeyboardTransfersAreOffAndOnTheGlobalTabFilesAreOffWhicheverWayTheyCome) {
  DeviceKit kit;
  EXPECT_FALSE(kit.MenuEnables(kSend));
  EXPECT_FALSE(kit.MenuEnables(kRetrieve));
  EXPECT_TRUE(kit.MenuEnables(kLoad));
  EXPECT_TRUE(kit.MenuEnables(kSave));
  EXPECT_TRUE(kit.MenuEnables(u"NID_MENU_HELP_ABOUT_REQ")) << "other commands keep their state";
  for (const char16_t* tab : {u"userPresetEditor", u"globalPresetEditor"}) {
    kit.SelectTab(tab);
    kit.HotKey(u"Ctrl+Shift+VKEY_S");
    kit.HotKey(u"Ctrl+Shift+VKEY_R");
    kit.Command(kSend);
  }
  EXPECT_TRUE(kit.application.modalControls.empty()) << "no dialog";
  EXPECT_TRUE(kit.MessageBoxes().empty()) << "no transfer tried, so none told";

  EXPECT_FALSE(kit.MenuEnables(kLoad));
  EXPECT_FALSE(kit.MenuEnables(kSave));
  kit.fileDialogAnswers = {u"/nowhere/a.QuorinZTRPreset"};
  kit.HotKey(u"Ctrl+VKEY_O");
  kit.HotKey(u"Ctrl+VKEY_S");
  kit.Command(kSave);
  EXPECT_TRUE(kit.fileDialogs.empty());
}

TEST(DeviceViewTest, TheUserPresetGetsIdsFromTheFirstAndTheGlobalPageFrom140) {
  DeviceKit kit;
  const auto user = kit.Find<TestUserPreset>("viewDevice/tabControl/pageHolder/userPresetEditor/controlNavigation");
  const auto global = kit.Find<LGlobalPresetEditPanel>("viewDevice/tabControl/pageHolder/globalPresetEditor");
  ASSERT_TRUE(user && global);
  EXPECT_EQ(user->GetFirstParamID(), 0u) << "bound by the main control from the engine's first id";
  EXPECT_EQ(global->GetFirstParamID(), 140u);
  user->asked.clear(); // the engine's first values went through it
  EXPECT_EQ(kit.View()->GetModuleForParamID(139), nullptr);
  EXPECT_EQ(user->asked, std::vector<uint32_t>{139});
  EXPECT_EQ(kit.View()->GetModuleForParamID(144).Get(), static_cast<LParameterizedModule*>(global.Get()));
  EXPECT_EQ(kit.View()->GetModuleForParamID(145), nullptr);
}

TEST(DeviceViewTest, RetrieveAsksTheChosenSlotAppliesTheReplyAndWithoutOneStaysOpen) {
  DeviceKit kit(QZ::kDeviceModel49Keys);
  Simulator::KeyboardMemory::PresetImage image;
  ASSERT_TRUE(kit.keyboard->Memory().GetPreset(3, image));
  image[33] = 0x4A;
  ASSERT_TRUE(kit.keyboard->Memory().StorePreset(3, image));
  EXPECT_TRUE(kit.MenuEnables(kSend));
  EXPECT_TRUE(kit.MenuEnables(kRetrieve));

  RCPtr<QZ::LDialog> dialog;
  kit.WhenModalOpens(u"dialogRetrievePresetFromHardware", {[&](QZ::LControl& shown) {
                       dialog = QZ::DynamicCast<QZ::LDialog>(RCPtr<QZ::LControl>(&shown));
                       ASSERT_TRUE(kit.Choose(SlotBox(shown), 3));
                       EXPECT_EQ(UiKit::TextOf(SlotBox(shown)), u"Preset 3");
                       kit.Click(shown, "getButton");
                     }});
  kit.HotKey(u"Ctrl+Shift+VKEY_R");
  EXPECT_EQ(kit.keyboard->Received(),
            std::vector<std::vector<uint8_t>>{FromHex("F0 00 7F 7D 7F 00 02 62 00 04 03 F7")});
  EXPECT_EQ(kit.engine->Bytes(33), std::vector<uint8_t>{0x4A});
  EXPECT_EQ(kit.MessageBoxes(),
            (std::vector<Box>{{u"The preset has been successfully retrieved", u"Retrieve Successful", 0}}));
  ASSERT_TRUE(dialog);
  EXPECT_EQ(dialog->GetResult(), 0);

  kit.keyboard->SetFaults({.reply = Simulator::KeyboardFaults::Reply::None});
  size_t boxesWhileOpen = 0;
  kit.WhenModalOpens(u"dialogRetrievePresetFromHardware",
                     {[&](QZ::LControl& shown) {
                        dialog = QZ::DynamicCast<QZ::LDialog>(RCPtr<QZ::LControl>(&shown));
                        ASSERT_TRUE(kit.Choose(SlotBox(shown), 3));
                        kit.Click(shown, "getButton");
                      },
                      [&](QZ::LControl& shown) {
                        boxesWhileOpen = kit.MessageBoxes().size();
                        kit.Click(shown, "buttonClose");
                      }});
  kit.Command(kRetrieve);
  EXPECT_EQ(kit.keyboard->Received().size(), 4u) << "three tries";
  EXPECT_EQ(boxesWhileOpen, 2u) << "told, and still open";
  EXPECT_EQ(kit.MessageBoxes().back(), (Box{u"The Preset has failed to get from the device. Verify the device is "
                                            u"connected to your computer via the USB cable.",
                                            u"Retrieve Preset Error", 0}));
  EXPECT_EQ(dialog->GetResult(), QZ::LDialog::kResultOK) << "closed by its Close button";
}

TEST(DeviceViewTest, SendStoresTheEnginesPresetInTheChosenSlotAndTheGlobalTabTransfersAtOnce) {
  DeviceKit kit(QZ::kDeviceModel49Keys);
  ASSERT_EQ(kit.engine->SetParamValue(QZ::ParamDescriptor(33), EditPages::Bytes({0x4A})), QZ::QZ_OK);
  RCPtr<QZ::LDialog> dialog;
  kit.WhenModalOpens(u"dialogSendPreset", {[&](QZ::LControl& shown) {
                       dialog = QZ::DynamicCast<QZ::LDialog>(RCPtr<QZ::LControl>(&shown));
                       ASSERT_TRUE(kit.Choose(SlotBox(shown), 2));
                       kit.Click(shown, "send");
                     }});
  kit.HotKey(u"Ctrl+Shift+VKEY_S");
  const std::vector<uint8_t> sent = Message(kit, 0);
  ASSERT_EQ(sent.size(), 153u);
  EXPECT_EQ(std::vector(sent.begin(), sent.begin() + 11), FromHex("F0 00 7F 7D 7F 00 02 61 01 11 02"));
  EXPECT_EQ(sent[44], 0x4A);
  EXPECT_EQ(sent.back(), 0xF7);
  std::vector<uint8_t> engineValues;
  for (uint32_t id = 0; id < 140; ++id) {
    const std::vector<uint8_t> bytes = kit.engine->Bytes(id);
    engineValues.insert(engineValues.end(), bytes.begin(), bytes.end());
  }
  Simulator::KeyboardMemory::PresetImage stored;
  ASSERT_TRUE(kit.keyboard->Memory().GetPreset(2, stored));
  EXPECT_EQ(std::vector(stored.begin(), stored.end()), engineValues);
  EXPECT_EQ(kit.MessageBoxes(),
            (std::vector<Box>{{u"The preset has been successfully sent to the device", u"Send Success", 0}}));
  EXPECT_EQ(dialog->GetResult(), 0);

  const std::vector<WString> modals = kit.application.modalControls;
  kit.SelectTab(u"globalPresetEditor");
  kit.HotKey(u"Ctrl+Shift+VKEY_S");
  const std::vector<uint8_t> globals = Message(kit, 1);
  ASSERT_EQ(globals.size(), 16u);
  EXPECT_EQ(std::vector(globals.begin(), globals.begin() + 10), FromHex("F0 00 7F 7D 7F 00 02 63 00 08"));
  EXPECT_EQ(globals.back(), 0xF7);
  kit.HotKey(u"Ctrl+Shift+VKEY_R");
  EXPECT_EQ(Message(kit, 2), FromHex("F0 00 7F 7D 7F 00 02 64 F7"));
  EXPECT_EQ(kit.application.modalControls, modals) << "no dialog for the global settings";
  EXPECT_EQ(kit.MessageBoxes().size(), 3u);
}

TEST(DeviceViewTest, ASendThatFailsIsToldAsTheConnectionsAndLeavesTheDialogOpen) {
  DeviceKit kit(QZ::kDeviceModel49Keys);
  const Box connection{u"Error connecting to device. Verify your Tarn Keyboard is plugged into the USB port and try "
                       u"again.",
                       u"Send Preset Error", 0};
  // A value the keyboard's format has no bytes for: the manager refuses with QZ_E_FAIL.
  QZ::Variant wide;
  wide.SetInt32(7);
  ASSERT_EQ(kit.engine->SetParamValue(QZ::ParamDescriptor(12), wide), QZ::QZ_OK);
  kit.Midi()->SetParamRange({0, 140});
  EXPECT_EQ(LSendPresetToMidiDeviceDlg::SendPresetToDevice(1), QZ::QZ_E_FAIL);
  EXPECT_EQ(kit.MessageBoxes(), std::vector<Box>{connection});

  ASSERT_EQ(kit.engine->SetParamValue(QZ::ParamDescriptor(12), EditPages::Bytes({0})), QZ::QZ_OK);
  RCPtr<QZ::LDialog> dialog;
  kit.WhenModalOpens(u"dialogSendPreset", {[&](QZ::LControl& shown) {
                                             dialog = QZ::DynamicCast<QZ::LDialog>(RCPtr<QZ::LControl>(&shown));
                                             kit.keyboard->UnplugOutput();
                                             ASSERT_TRUE(kit.Choose(SlotBox(shown), 1));
                                             kit.Click(shown, "send");
                                           },
                                           [&](QZ::LControl& shown) { kit.Click(shown, "buttonClose"); }});
  kit.Command(kSend);
  EXPECT_EQ(kit.MessageBoxes(), (std::vector<Box>{connection, connection}));
  EXPECT_EQ(dialog->GetResult(), QZ::LDialog::kResultOK) << "closed by its Close button";
}

TEST(DeviceViewTest, AnotherModelIsStoredGetsItsPortsAndIsAnnouncedAndAStoredOneIsSelectedAtStart) {
  DeviceKit kit(QZ::kDeviceModel49Keys);
  Simulator::VirtualKeyboard big(QZ::kDeviceModel61Keys, kit.midiDevices);
  const RCPtr<Listener> changes = Listen(kit, u"NID_DEVICE_MODEL_SELECTION_CHANGED");
  const auto models = kit.Find<QZ::LComboBox>("viewDevice/deviceSelectionComboBox");
  EXPECT_EQ(models->GetSelectedIndex(), 1);
  ASSERT_TRUE(kit.Choose(models, 2));
  EXPECT_EQ(QZ::GetDeviceModel(), 2);
  EXPECT_EQ(kit.Midi()->GetInputPortName(), WString(u"MIDIIN3 (QUORIN 61 ZTR)"));
  EXPECT_EQ(kit.Midi()->GetOutputPortName(), WString(u"MIDIOUT3 (QUORIN 61 ZTR)"));
  EXPECT_TRUE(kit.Midi()->IsStatusPollingArmed());
  kit.PumpIdle();
  ASSERT_EQ(changes->heard.size(), 1u);
  EXPECT_EQ(changes->heard[0]->GetParameterAs<QZ::LHolder<DEVICE_MODELS>>()->GetValue(), DEVICE_MODEL_61_KEYS);

  // A cleared selection names no model: nothing changes.
  const RCPtr<QZ::LMidiManager> midi = kit.Midi();
  models->SelectItem(-1);
  EXPECT_EQ(kit.View()->OnDeviceModelChanged(models, nullptr), QZ::QZ_FALSE);
  EXPECT_EQ(kit.Midi(), midi);
  EXPECT_EQ(QZ::GetDeviceModel(), 2);
  changes->UnregisterAllNotifications();

  for (const auto& [stored, selected] : {std::pair{2, 2}, std::pair{-1, 1}, std::pair{7, 1}}) {
    kit.context.SetDeviceModel(stored);
    kit.Build();
    EXPECT_EQ(kit.Find<QZ::LComboBox>("viewDevice/deviceSelectionComboBox")->GetSelectedIndex(), selected) << stored;
    EXPECT_EQ(QZ::GetDeviceModel(), selected) << stored;
  }
}

TEST(DeviceViewTest, PresetFilesGoThroughTheDialogsFromTheLastFolderAndFailuresAreTold) {
  DeviceKit kit;
  const std::string x = kit.folders / "x";
  const std::string y = kit.folders / "y";
  std::filesystem::create_directories(x);
  std::filesystem::create_directories(y);
  ASSERT_EQ(kit.View()->GetPresetManager()->SavePresetFile(WString((x + "/a.QuorinZTRPreset").c_str())), QZ::QZ_OK);
  const auto lastFolder = [&] {
    QZ::WString folder;
    kit.context.GetIniFileManager()->GetString(kit.context.OpenSettingsFile(QZ::kUserSettingsFile),
                                               u"PresetLastFolderPath", u"", folder);
    return std::string(folder.ToUTF8().GetBuffer());
  };
  const std::u16string filter = u"Control Panel Settings (*.QuorinZTRPreset)|*.QuorinZTRPreset|All Files (*.*)|*.*";

  kit.fileDialogAnswers = {U16(x + "/a.QuorinZTRPreset")};
  kit.HotKey(u"Ctrl+VKEY_O");
  ASSERT_EQ(kit.fileDialogs.size(), 1u);
  EXPECT_FALSE(kit.fileDialogs[0].save);
  EXPECT_EQ(kit.fileDialogs[0].title, u"Select Preset File");
  EXPECT_EQ(kit.fileDialogs[0].filter, filter);
  EXPECT_EQ(kit.fileDialogs[0].folder, U16(kit.folders / "documents"));
  EXPECT_EQ(lastFolder(), x);
  kit.Command(kLoad); // cancelled
  EXPECT_EQ(kit.fileDialogs.at(1).folder, U16(x));

  kit.fileDialogAnswers = {U16(y + "/mine")};
  kit.HotKey(u"Ctrl+VKEY_S");
  ASSERT_EQ(kit.fileDialogs.size(), 3u);
  EXPECT_TRUE(kit.fileDialogs[2].save);
  EXPECT_EQ(kit.fileDialogs[2].title, u"Select Save Location");
  EXPECT_EQ(kit.fileDialogs[2].filter, filter);
  EXPECT_TRUE(std::filesystem::is_regular_file(y + "/mine.QuorinZTRPreset"));
  EXPECT_EQ(lastFolder(), y);
  EXPECT_TRUE(kit.MessageBoxes().empty());

  kit.fileDialogAnswers = {U16(y + "/gone/mine")};
  kit.Command(kSave);
  EXPECT_EQ(kit.MessageBoxes(), (std::vector<Box>{{u"The preset file could not be saved.", u"Preset File Save",
                                                   QZ::kMessageBoxIconError}}));

  const std::pair<const char*, std::vector<uint8_t>> refused[] = {
      {"older", QZTest::PresetFileBytes().Header(1).Take()},
      {"newer", QZTest::PresetFileBytes().Header(3).Take()},
      {"corrupt", QZTest::PresetFileBytes().Word(2).Take()},
      {"other", QZTest::PresetFileBytes().Header(2, 1).Take()}};
  for (const auto& [name, bytes] : refused) {
    const std::string path = y + "/" + name + ".QuorinZTRPreset";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    kit.fileDialogAnswers = {U16(path)};
    kit.Command(kLoad);
  }
  ASSERT_EQ(kit.MessageBoxes().size(), 5u);
  const char16_t* texts[] = {u"SETTINGS_FILE_LOAD_OLDER_MESSAGE", u"SETTINGS_FILE_LOAD_NEWER_MESSAGE",
                             u"SETTINGS_FILE_LOAD_CORRUPT_MESSAGE", u"SETTINGS_FILE_LOAD_WRONG_DEVICE_MESSAGE"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(kit.MessageBoxes()[i + 1].text, std::u16string(GetAppString(WString(texts[i])).View())) << i;
    EXPECT_EQ(kit.MessageBoxes()[i + 1].caption, u"Preset File Load") << i;
  }
}

TEST(DeviceViewTest, HelpOpensTheUserGuideBesideTheProgramAsALocalAddressAndSaysSoWhenItIsNotThereToRead) {
  DeviceKit kit;
  kit.Command(u"NID_MENU_HELP_OPEN_USER_GUIDE_REQ");
  EXPECT_TRUE(kit.shellOpened.empty()) << "no opener for a guide that is missing";
  EXPECT_EQ(kit.MessageBoxes(), kGuideNotOpened);

  const std::string guide = PutUserGuide(kit);
  kit.Command(u"NID_MENU_HELP_OPEN_USER_GUIDE_REQ");
  EXPECT_EQ(kit.shellOpened, std::vector<std::u16string>{U16("file://" + guide)});
  EXPECT_EQ(kit.MessageBoxes().size(), 1u) << "opened without a word";

  ASSERT_EQ(::chmod(guide.c_str(), 0), 0);
  {
    QZTest::FilePermissionsEnforced ordinaryUser;
    kit.Command(u"NID_MENU_HELP_OPEN_USER_GUIDE_REQ");
  }
  EXPECT_EQ(kit.shellOpened.size(), 1u) << "no opener for a guide the user may not read";
  EXPECT_EQ(kit.MessageBoxes(), (std::vector<Box>{kGuideNotOpened[0], kGuideNotOpened[0]}));
}

TEST(DeviceViewTest, HelpShowsTheVersionAndOpensTheSupportPageExitPostsItsRequestAndNoSkinDialogDoesNothing) {
  DeviceKit kit;
  std::u16string product;
  std::u16string copyright;
  kit.WhenModalOpens(u"dialogAbout", {[&](QZ::LControl& shown) {
                       product = UiKit::TextOf(shown.FindChildByName(u"labelProduct"));
                       copyright = UiKit::TextOf(shown.FindChildByName(u"labelCopyright"));
                       EXPECT_EQ(shown.FindChildByName(u"buttonSupport")->GetCursor(),
                                 kit.application.Cursor(WString(u"UI_CURSOR_HAND")));
                       kit.Click(shown, "labelProduct");
                       kit.Click(shown, "buttonSupport");
                       kit.Click(shown, "buttonOK");
                     }});
  kit.Command(u"NID_MENU_HELP_ABOUT_REQ");
  const std::vector<WString> modals = kit.application.modalControls;
  EXPECT_EQ(product, u"1.0.1");
  EXPECT_EQ(copyright, u"Copyright © Vandrel. All rights reserved.");
  EXPECT_EQ(kit.shellOpened, std::vector<std::u16string>{u"https://www.vandrel.example/support"});

  // The guide is there, but no program opens it.
  const std::string guide = PutUserGuide(kit);
  kit.shellResult = false;
  kit.Command(u"NID_MENU_HELP_OPEN_USER_GUIDE_REQ");
  EXPECT_EQ(kit.shellOpened.back(), U16("file://" + guide));
  EXPECT_EQ(kit.MessageBoxes(), kGuideNotOpened);

  const RCPtr<Listener> exits = Listen(kit, u"NID_APP_EXIT_REQ");
  kit.Command(u"NID_MENU_FILE_EXIT_REQ");
  kit.Command(u"NID_MENU_FILE_GLOBALSETTINGS_REQ");
  kit.PumpIdle();
  EXPECT_EQ(exits->heard.size(), 1u);
  EXPECT_EQ(kit.application.modalControls, modals) << "only the About box";
  exits->UnregisterAllNotifications();
}

TEST(DeviceViewTest, PartsMissingFromTheSkinFailWithTheirTexts) {
  const std::string extra =
      Xml::Control("PresetEditor.MainControl.DeviceView", "viewWithoutBox", {0, 0, 800, 400}, ViewChildren(false)) +
      TransferDialog("PresetEditor.Dialog.SendPresetToHardware", "sendWithoutButton", "getButton") +
      TransferDialog("PresetEditor.Dialog.RetrievePresetFromHardware", "getWithoutButton", "send") +
      AboutDialog("aboutWithoutSupport", Button("buttonOK", {10, 10, 80, 30})) +
      AboutDialog("aboutWithoutLabels", Button("buttonSupport", {10, 10, 80, 30}));
  DeviceKit kit(-1, extra, false);
  const std::pair<const char16_t*, const char*> cases[] = {
      {u"viewWithoutBox", "Runtime Error : Null Pointer : Cannot find child deviceSelectionComboBox : "
                          "LDeviceView::Initialize : UI\\DeviceView : Line 96"},
      {u"sendWithoutButton",
       "Runtime Error : Null Pointer : Cannot find child send : "
       "LSendPresetToMidiDeviceDlg::Initialize : UI\\PresetEditorCommon\\SendPresetToMidiDeviceDlg "
       ": Line 46"},
      {u"getWithoutButton", "Runtime Error : Null Pointer : Cannot find child getButton : "
                            "LGetPresetFromMidiDeviceDlg::Initialize : "
                            "UI\\PresetEditorCommon\\GetPresetFromMidiDeviceDlg : Line 47"},
      {u"aboutWithoutSupport", "Runtime Error : Null Pointer : LSupportPanel couldn't find buttonSupport : "
                               "LAboutDlg::Initialize : UI\\PresetEditorCommon\\AboutDlg : Line 138"}};
  for (const auto& [name, text] : cases) {
    try {
      kit.factory->CreateControlByName(WString(name), nullptr);
      ADD_FAILURE() << text;
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), text);
    }
  }
  EXPECT_TRUE(kit.factory->CreateControlByName(WString(u"aboutWithoutLabels"), nullptr)) << "labels are skipped";
}

TEST(DeviceViewTest, AtStartTheStoredModelKeepsTheManagerMadeForItAndAnUnknownOneGetsANewOne) {
  DeviceKit kit(QZ::kDeviceModel49Keys, {}, false);
  kit.context.SetDeviceModel(QZ::kDeviceModel49Keys);
  const RCPtr<Listener> changes = Listen(kit, u"NID_DEVICE_MODEL_SELECTION_CHANGED");
  const RCPtr<QZ::LMidiManager> started = kit.Midi();
  ASSERT_TRUE(started);
  kit.Build();
  EXPECT_EQ(kit.Find<QZ::LComboBox>("viewDevice/deviceSelectionComboBox")->GetSelectedIndex(), 1);
  EXPECT_EQ(kit.Midi(), started) << "its ports are open already";
  EXPECT_TRUE(started->IsStatusPollingArmed());
  EXPECT_EQ(changes->heard.size(), 1u) << "the pages still hear the model";

  // An unknown stored model shows 49 keys, which the manager was not made for.
  kit.context.SetDeviceModel(7);
  kit.Build();
  EXPECT_NE(kit.Midi(), started);
  EXPECT_EQ(QZ::GetDeviceModel(), QZ::kDeviceModel49Keys);
  EXPECT_TRUE(kit.Midi()->IsStatusPollingArmed());
}

} // namespace
} // namespace DeviceViews
