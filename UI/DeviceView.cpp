#include "UI/DeviceView.h"

#include "DeviceControl/MakerMidiId.h"
#include "Engine/PresetEditorCommon/MidiManager.h"
#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/Controls/Dialog.h"
#include "QZFramework/Controls/MainMenu.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Services/Settings/IniFileManager.h"
#include "QZFramework/Services/Trace/DebugTrace.h"
#include "QZFramework/Utilities/Storage/Holder.h"
#include "UI/DriverCommon/MainControl.h"
#include "UI/DriverCommon/PresetFileMessages.h"
#include "UI/EditorUIHost.h"
#include "UI/PresetEditorCommon/GetPresetFromMidiDeviceDlg.h"
#include "UI/PresetEditorCommon/SendPresetToMidiDeviceDlg.h"
#include "UI/UserGuide.h"

using QZ::QZResult;
using QZ::RCPtr;
using QZ::WString;

namespace {

constexpr char kInitialize[] = "LDeviceView::Initialize";
constexpr char kSource[] = R"(UI\DeviceView)";

constexpr char16_t kLoadFromDevice[] = u"NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE";
constexpr char16_t kSendToDevice[] = u"NID_MENU_FILE_SEND_PRESET_TO_DEVICE";
constexpr char16_t kLoadFromFile[] = u"NID_MENU_FILE_LOAD_PRESET_FROM_FILE";
constexpr char16_t kSaveToFile[] = u"NID_MENU_FILE_SAVE_PRESET_TO_FILE";

constexpr char16_t kUserPresetTab[] = u"userPresetEditor";
constexpr char16_t kGlobalPresetTab[] = u"globalPresetEditor";

// The parameters a transfer of each tab covers.
constexpr QZ::ParamIdRange kUserPresetRange{0, 140};
constexpr QZ::ParamIdRange kGlobalPresetRange{140, 5};
// The preset slot that stands for the global settings.
constexpr int32_t kGlobalSettingsSlot = -1;
constexpr int32_t kProgramFolder = 0;
constexpr int32_t kDocumentsFolder = 4;
// Loading a preset file leaves the global settings as they are.
constexpr int32_t kGlobalSettingIndexes[] = {140, 141, 142, 143, 144};

RCPtr<QZ::LMidiManager> MidiManager() {
  QZ::IEditorUIHost* host = QZ::GetEditorUIHost();
  return host ? host->GetMidiManager() : nullptr;
}

// The user settings file and its store; a null store when there is none.
QZ::IIniFileManager* UserSettings(QZ::IniFileHandle& file) {
  QZ::IApplicationContext* context = QZ::GetApplicationContext();
  QZ::IIniFileManager* settings = context ? context->GetIniFileManager() : nullptr;
  file = settings ? context->OpenSettingsFile(QZ::kUserSettingsFile) : 0;
  return file != 0 ? settings : nullptr;
}

} // namespace

LDeviceView::LDeviceView(const RCPtr<QZ::LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {}

LDeviceView::~LDeviceView() = default;

// =============================================================================================
// The control
// =============================================================================================

QZResult LDeviceView::Initialize() {
  const QZResult base = LScrollView::Initialize();
  if (QZ::Failed(base)) {
    return base;
  }
  if (QZ::Failed(CreateHandlerTable())) {
    QZ::CheckResult(QZ::QZ_E_OUTOFMEMORY, {kInitialize, kSource, 84});
  }
  mFileDialog = RCPtr<QZ::LFileDialog>(new QZ::LFileDialog(GetLastPresetFolder()));
  mDeviceSelection = QZ::DynamicCast<QZ::LComboBox>(FindChildByName(WString(u"deviceSelectionComboBox")));
  if (!mDeviceSelection) {
    QZ::Throw<std::runtime_error>({kInitialize, kSource, 96},
                                  "Null Pointer : Cannot find child deviceSelectionComboBox");
  }
  Subscribe(&LDeviceView::OnDeviceModelChanged, mDeviceSelection, u"NID_SELECTION_CHANGE", {kInitialize, kSource, 97});
  mStatusView = LStatusView::Create();
  mPresetManager = QZ::LPresetManager::Create();
  QZ::Array<int32_t> globals;
  for (const int32_t index : kGlobalSettingIndexes) {
    globals.AddItem(index);
  }
  mPresetManager->SetExcludedIndexes(globals, true);
  ConnectMainMenu();
  if (const RCPtr<QZ::LMidiManager> midi = MidiManager()) {
    midi->StartStatusPolling();
  }
  SetAutoClientExtent(kAutoExtentBoth, 0, 0);
  return base;
}

QZResult LDeviceView::SubscribeNotifications() {
  const RCPtr<LDeviceView> self(this);
  const RCPtr<QZ::LNotificationHandler<LDeviceView>>& table = GetHandlerTable();
  if (table) {
    const std::pair<const char16_t*, Handler> commands[] = {
        {kLoadFromDevice, &LDeviceView::OnMenuLoadPresetFromDevice},
        {kSendToDevice, &LDeviceView::OnMenuSendPresetToDevice},
        {kLoadFromFile, &LDeviceView::OnMenuLoadPresetFromFile},
        {kSaveToFile, &LDeviceView::OnMenuSavePresetToFile},
        {u"NID_MENU_FILE_EXIT_REQ", &LDeviceView::OnMenuExit},
        {u"NID_MENU_HELP_ABOUT_REQ", &LDeviceView::OnMenuHelpAbout},
        {u"NID_MENU_HELP_OPEN_USER_GUIDE_REQ", &LDeviceView::OnMenuOpenUserGuide},
        {u"NID_MENU_FILE_GLOBALSETTINGS_REQ", &LDeviceView::OnMenuGlobalSettings},
    };
    // The menu bar raises its commands at the window; outside one there is nobody to hear.
    if (const auto window = QZ::DynamicCast<QZ::LNotificationDistributor>(GetRootWindowRef())) {
      for (const auto& [command, handler] : commands) {
        table->AddHandler(handler, window, command);
      }
    }
    // The hot keys post theirs to the application centre.
    if (const RCPtr<QZ::LNotificationDistributor> centre(QZ::GetApplicationNotificationCenter()); centre) {
      for (const auto& [command, handler] : {commands[2], commands[1], commands[3], commands[0]}) {
        table->AddHandler(handler, centre, command);
      }
    }
  }
  // The menu bar comes after this view in the skins: it exists only now.
  ConnectMainMenu();
  if (mDeviceSelection) {
    int32_t model = QZ::GetDeviceModel();
    const bool stored = model >= QZ::kDeviceModel25Keys && model <= QZ::kDeviceModel61Keys;
    if (!stored) {
      model = QZ::kDeviceModel49Keys; // an unknown model would pick no ports and no picture
    }
    mShowingStoredModel = stored;
    mDeviceSelection->SelectItem(model);
    mShowingStoredModel = false;
  }
  return LScrollView::SubscribeNotifications();
}

QZResult LDeviceView::IsMenuItemEnabled(const QZ::LMenuDescriptor*, int32_t, const WString& command,
                                        QZ::LMenuItemState& state) {
  if (command == WString(kSendToDevice) || command == WString(kLoadFromDevice)) {
    const RCPtr<QZ::LMidiManager> midi = MidiManager();
    state.enabled = midi && midi->ArePortsOpen();
  } else if (command == WString(kSaveToFile) || command == WString(kLoadFromFile)) {
    const RCPtr<QZ::LTabControl> tabs = GetTabControl();
    state.enabled = !tabs || tabs->GetSelectedTab() != WString(kGlobalPresetTab);
  }
  return QZ::QZ_OK;
}

bool LDeviceView::IsCommandEnabled(const WString& command) {
  QZ::LMenuItemState state;
  state.enabled = true;
  IsMenuItemEnabled(nullptr, -1, command, state);
  return state.enabled;
}

void LDeviceView::ConnectMainMenu() {
  const RCPtr<QZ::LControl> parent = GetParent();
  if (!QZ::DynamicCast<QZ::LMainControl>(parent)) {
    return;
  }
  if (const auto menu = QZ::DynamicCast<QZ::LMainMenu>(parent->FindChildByName(WString(u"mainMenu")))) {
    menu->SetMenuItemUpdater(GetMenuItemUpdater());
  }
}

RCPtr<QZ::LTabControl> LDeviceView::GetTabControl() const {
  return QZ::DynamicCast<QZ::LTabControl>(FindChildByName(WString(u"tabControl")));
}

// =============================================================================================
// The keyboard model
// =============================================================================================

QZResult LDeviceView::OnDeviceModelChanged(const RCPtr<QZ::LNotificationDistributor>&,
                                           const RCPtr<QZ::LNotification>&) {
  const int32_t model = mDeviceSelection ? mDeviceSelection->GetSelectedIndex() : -1;
  if (model < QZ::kDeviceModel25Keys || model > QZ::kDeviceModel61Keys) {
    return QZ::QZ_FALSE; // a cleared selection names no keyboard
  }
  QZ::IniFileHandle file = 0;
  if (QZ::IIniFileManager* settings = UserSettings(file)) {
    settings->SetInt(file, u"DeviceModel", model);
  }
  // The new manager reads the model from the settings: stored first. The box showing the
  // stored model as the view subscribes keeps a manager made for that model (the host's
  // from start-up): opening the MIDI ports again would only hold the window back.
  QZ::IEditorUIHost* host = QZ::GetEditorUIHost();
  const RCPtr<QZ::LMidiManager> current = host ? host->GetMidiManager() : nullptr;
  const bool madeForIt = mShowingStoredModel && current && current->GetModelByte() == QZ::KeyboardModelByte(model);
  if (host && !madeForIt) {
    host->ReinitalizeMidiManager();
  }
  if (QZ::LNotificationCenter* centre = QZ::GetApplicationNotificationCenter()) {
    const RCPtr<QZ::LRefCountedObject> held(new QZ::LHolder<DEVICE_MODELS>(DEVICE_MODELS(model)));
    (void)centre->PostNotification(QZ::LNotification::Create(u"NID_DEVICE_MODEL_SELECTION_CHANGED", held)); // 0
  }
  return QZ::QZ_FALSE;
}

// =============================================================================================
// Preset files
// =============================================================================================

WString LDeviceView::GetPresetFileExtension() { return WString(kPresetFileExtension); }

WString LDeviceView::GetPresetFilePattern() { return WString(u"*.") + GetPresetFileExtension(); }

WString LDeviceView::GetPresetFileFilter(bool) {
  WString filter = GetAppString(WString(u"CONTROL_PANEL_SETTINGS_FILTER_SEGMENT_1"));
  filter += GetPresetFileExtension();
  filter += u")|*.";
  filter += GetPresetFileExtension();
  filter += GetAppString(WString(u"CONTROL_PANEL_SETTINGS_FILTER_SEGMENT_2"));
  return filter;
}

WString LDeviceView::GetLastPresetFolder() {
  QZ::IEditorUIHost* host = QZ::GetEditorUIHost();
  const WString documents = host ? host->GetFolder(kDocumentsFolder) : WString();
  WString folder = documents;
  QZ::IniFileHandle file = 0;
  if (QZ::IIniFileManager* settings = UserSettings(file)) {
    settings->GetString(file, QZ::LPresetManager::kLastFolderKey, documents, folder);
  }
  return folder;
}

// The dialogs take the default extension without its "*." (a name typed without one gets
// ".QuorinZTRPreset").
QZResult LDeviceView::ShowLoadPresetDialog(WString& path) {
  mFileDialog = RCPtr<QZ::LFileDialog>(new QZ::LFileDialog(GetLastPresetFolder()));
  const QZResult result = mFileDialog->ShowOpenDialog(GetPresetFileFilter(true), GetPresetFileExtension(),
                                                      GetAppString(WString(u"LOAD_PRESET_DIALOG_TITLE")), false);
  if (QZ::Succeeded(result)) {
    path = mFileDialog->GetFileName();
    if (mPresetManager) {
      mPresetManager->StoreLastFolder(mFileDialog->GetFolder());
    }
  }
  return result;
}

QZResult LDeviceView::ShowSavePresetDialog(WString& path) {
  if (!mFileDialog) {
    return QZ::QZ_E_FAIL;
  }
  // -1: any name length (0 would refuse every name).
  const QZResult result = mFileDialog->ShowSaveDialog(GetPresetFileFilter(false), GetPresetFileExtension(),
                                                      GetAppString(WString(u"SAVE_PRESET_DIALOG_TITLE")), -1);
  if (QZ::Succeeded(result)) {
    path = mFileDialog->GetFileName();
  }
  return result;
}

int32_t LDeviceView::LoadPresetFromFile() {
  WString path;
  int32_t result = ShowLoadPresetDialog(path);
  if (QZ::Failed(result) || !mPresetManager) {
    return result;
  }
  result = mPresetManager->LoadPresetFile(path);
  switch (result) {
  case -1:
    ShowLoadOlderMessage();
    break;
  case -2:
    ShowLoadNewerMessage();
    break;
  case -3:
    ShowLoadCorruptMessage();
    break;
  case -4:
    ShowLoadWrongDeviceMessage();
    break;
  case -5:
    ShowLoadTranslationFailureMessage();
    break;
  default:
    break;
  }
  return result;
}

int32_t LDeviceView::SavePresetToFile() {
  WString path;
  const QZResult chosen = ShowSavePresetDialog(path);
  if (QZ::Failed(chosen) || !mPresetManager) {
    return chosen;
  }
  const QZResult saved = mPresetManager->SavePresetFile(path);
  mPresetManager->StoreLastFolder(mFileDialog->GetFolder());
  if (QZ::Failed(saved)) {
    // Without a word the user would take the preset for saved.
    QZ::ShowEditorMessageBox(GetAppString(WString(u"SETTINGS_FILE_SAVE_FAILED_MESSAGE")),
                             GetAppString(WString(u"SETTINGS_FILE_SAVE_CAPTION")), QZ::kMessageBoxIconError);
  }
  return saved;
}

// =============================================================================================
// Commands
// =============================================================================================

void LDeviceView::OpenTopLevelControl(const WString& name) {
  QZ::IControlApplication* application = QZ::GetControlApplication();
  const RCPtr<QZ::LControlFactory> factory = application ? application->GetControlFactory() : nullptr;
  const RCPtr<QZ::LDialog> dialog =
      factory ? QZ::DynamicCast<QZ::LDialog>(factory->CreateControlByName(name, nullptr)) : nullptr;
  if (!dialog) {
    QZ::DebugTrace::Get().Wide() << u"LDeviceView: the skin has no dialog " << name.View() << u"\n";
    return;
  }
  application->CreateRootWindowForControl(dialog, true);
}

void LDeviceView::TransferPreset(bool send) {
  const RCPtr<QZ::LTabControl> tabs = GetTabControl();
  const RCPtr<QZ::LMidiManager> midi = MidiManager();
  if (!tabs || !midi) {
    return;
  }
  const WString tab = tabs->GetSelectedTab();
  if (tab == WString(kUserPresetTab)) {
    midi->SetParamRange(kUserPresetRange);
    OpenTopLevelControl(WString(send ? u"dialogSendPreset" : u"dialogRetrievePresetFromHardware"));
  } else if (tab == WString(kGlobalPresetTab)) {
    midi->SetParamRange(kGlobalPresetRange);
    if (send) {
      LSendPresetToMidiDeviceDlg::SendPresetToDevice(kGlobalSettingsSlot);
    } else {
      LGetPresetFromMidiDeviceDlg::GetPresetFromDevice(kGlobalSettingsSlot);
    }
  }
}

// Hot keys come without the menu's enablement test: each handler asks again.
QZResult LDeviceView::OnMenuLoadPresetFromDevice(const RCPtr<QZ::LNotificationDistributor>&,
                                                 const RCPtr<QZ::LNotification>&) {
  const RCPtr<LDeviceView> self(this);
  if (IsCommandEnabled(WString(kLoadFromDevice))) {
    TransferPreset(false);
  }
  return QZ::QZ_FALSE;
}

QZResult LDeviceView::OnMenuSendPresetToDevice(const RCPtr<QZ::LNotificationDistributor>&,
                                               const RCPtr<QZ::LNotification>&) {
  const RCPtr<LDeviceView> self(this);
  if (IsCommandEnabled(WString(kSendToDevice))) {
    TransferPreset(true);
  }
  return QZ::QZ_FALSE;
}

QZResult LDeviceView::OnMenuLoadPresetFromFile(const RCPtr<QZ::LNotificationDistributor>&,
                                               const RCPtr<QZ::LNotification>&) {
  const RCPtr<LDeviceView> self(this);
  if (IsCommandEnabled(WString(kLoadFromFile))) {
    LoadPresetFromFile();
  }
  return QZ::QZ_FALSE;
}

QZResult LDeviceView::OnMenuSavePresetToFile(const RCPtr<QZ::LNotificationDistributor>&,
                                             const RCPtr<QZ::LNotification>&) {
  const RCPtr<LDeviceView> self(this);
  if (IsCommandEnabled(WString(kSaveToFile))) {
    SavePresetToFile();
  }
  return QZ::QZ_FALSE;
}

QZResult LDeviceView::OnMenuExit(const RCPtr<QZ::LNotificationDistributor>&, const RCPtr<QZ::LNotification>&) {
  if (QZ::LNotificationCenter* centre = QZ::GetApplicationNotificationCenter()) {
    (void)centre->PostNotification(QZ::LNotification::Create(u"NID_APP_EXIT_REQ", nullptr)); // 0
  }
  return QZ::QZ_FALSE;
}

QZResult LDeviceView::OnMenuHelpAbout(const RCPtr<QZ::LNotificationDistributor>&, const RCPtr<QZ::LNotification>&) {
  const RCPtr<LDeviceView> self(this);
  OpenTopLevelControl(WString(u"dialogAbout"));
  return QZ::QZ_FALSE;
}

QZResult LDeviceView::OnMenuOpenUserGuide(const RCPtr<QZ::LNotificationDistributor>&, const RCPtr<QZ::LNotification>&) {
  QZ::IEditorUIHost* host = QZ::GetEditorUIHost();
  const WString address = QZ::UserGuideAddress(GetAppString(WString(u"URL_USER_GUIDE")),
                                               host ? host->GetFolder(kProgramFolder) : WString());
  // A guide that is not there would leave the user with the opener's error page, or nothing.
  if (address.IsEmpty() || QZ::Failed(QZ::LFileDialog::OpenWithShell(address))) {
    QZ::ShowEditorMessageBox(GetAppString(WString(u"LABEL_OPEN_USERGUIDE_FILE_FAILED_MSGBOX_TEXT")),
                             GetAppString(WString(u"LABEL_OPEN_USERGUIDE_FILE_FAILED_MSGBOX_CAPTION")),
                             QZ::kMessageBoxOk);
  }
  return QZ::QZ_FALSE;
}

QZResult LDeviceView::OnMenuGlobalSettings(const RCPtr<QZ::LNotificationDistributor>&,
                                           const RCPtr<QZ::LNotification>&) {
  const RCPtr<LDeviceView> self(this);
  OpenTopLevelControl(WString(u"globalEditorControl"));
  return QZ::QZ_FALSE;
}

// =============================================================================================
// The device module
// =============================================================================================

RCPtr<IUserPreset> LDeviceView::GetUserPreset() {
  const RCPtr<QZ::LTabControl> tabs = GetTabControl();
  const RCPtr<QZ::LControl> page = tabs ? tabs->GetPageOfTab(WString(kUserPresetTab)) : nullptr;
  return page ? QZ::DynamicCast<IUserPreset>(page->FindChildByName(WString(u"controlNavigation"))) : nullptr;
}

RCPtr<IGlobalPreset> LDeviceView::GetGlobalPreset() {
  const RCPtr<QZ::LTabControl> tabs = GetTabControl();
  return tabs ? QZ::DynamicCast<IGlobalPreset>(tabs->GetPageOfTab(WString(kGlobalPresetTab))) : nullptr;
}

QZResult LDeviceView::ReleaseInternalReferences() {
  mDeviceSelection = nullptr;
  return LScrollView::ReleaseInternalReferences();
}
