#pragma once
// LDeviceView ("PresetEditor.MainControl.DeviceView", skin entry "viewDevice"): the working
// area of the main window and the device module of the editor's module tree. It holds the
// tab control ("tabControl": the pages "userPresetEditor" and "globalPresetEditor") and the
// keyboard model box ("deviceSelectionComboBox"), carries out the File and Help commands of
// the menu bar and of the hot keys, tells the menu bar which of them are enabled, and owns
// the preset manager that loads and saves preset files.
//
//   // the main control binds the tree: ids first + 0 .. 139 reach the user preset panel
//   // ("controlNavigation" of the page "userPresetEditor"), first + 140 .. 144 the global
//   // settings page ("globalPresetEditor")
//   main->SetFirstParamID(nullptr, 0, 0);
//   root->HandleCommand(QZ::LNotification::Create(u"NID_MENU_FILE_SAVE_PRESET_TO_FILE"));  // save dialog
//
// Commands (from the menu bar through the root window, and from the "GHK_WIN" hot keys of
// the first four through the application centre); a command that is not enabled does
// nothing, whichever way it came:
//   "NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE"  retrieve: user tab the retrieve dialog, global
//                                            tab the global settings at once (Ctrl+Shift+R)
//   "NID_MENU_FILE_SEND_PRESET_TO_DEVICE"    send: likewise (Ctrl+Shift+S)
//   "NID_MENU_FILE_LOAD_PRESET_FROM_FILE"    load a preset file (Ctrl+O)
//   "NID_MENU_FILE_SAVE_PRESET_TO_FILE"      save a preset file (Ctrl+S)
//   "NID_MENU_FILE_EXIT_REQ"                 "NID_APP_EXIT_REQ" posted to the application
//   "NID_MENU_HELP_ABOUT_REQ"                the About box ("dialogAbout")
//   "NID_MENU_HELP_OPEN_USER_GUIDE_REQ"      the user guide opened ("URL_USER_GUIDE", UserGuide.h)
//   "NID_MENU_FILE_GLOBALSETTINGS_REQ"       opens "globalEditorControl" (no skin has one)
// Enabled: send and retrieve while the MIDI manager has both ports open, load and save
// unless the global settings tab is selected, the others always.
//
// A new keyboard model chosen in the box (and the stored one when the tree subscribes) is
// stored as "DeviceModel", the editor host makes a MIDI manager for it, and
// "NID_DEVICE_MODEL_SELECTION_CHANGED" is posted to the application centre with a
// QZ::LHolder<DEVICE_MODELS>.
//
// The application's services come from the installed seams: the editor host (MIDI manager,
// documents folder, message boxes, string table), the application context (settings,
// centre) and the control application (the skin's dialogs, their windows). UI thread.

#include <cstdint>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"
#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/ControlBase/MenuDescriptor.h"
#include "QZFramework/Controls/ComboBox.h"
#include "QZFramework/Controls/ScrollView.h"
#include "QZFramework/Controls/TabControl.h"
#include "QZFramework/System/FileDialog.h"
#include "UI/DriverCommon/PresetManager.h"
#include "UI/StatusView.h"

class LDeviceView : public QZ::LHandlerTableControl<LDeviceView, QZ::LScrollView>, public IDevice {
public:
  // The file extension of preset files, without its dot.
  static constexpr char16_t kPresetFileExtension[] = u"QuorinZTRPreset";

  LDeviceView(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);
  ~LDeviceView() override;

  // --- The control ---------------------------------------------------------------------

  // The scroll view's, its handler table, the file dialog in the last preset folder
  // ("PresetLastFolderPath", else the documents), the model box's choices heard, the status
  // view and the preset manager (loading skips the global settings 140 .. 144), the menu
  // bar told to ask this view when it is there already, the MIDI manager's status polling
  // armed and the automatic extent on both axes. The scroll view's failure as it is.
  // Throws "Failed Result : QZRESULT = 8007000E : LDeviceView::Initialize : UI\DeviceView :
  // Line 84" without a table, "Runtime Error : Null Pointer : Cannot find child
  // deviceSelectionComboBox : ... : Line 96" without the box, "Failed Result : QZRESULT =
  // <code> : ... : Line 97" when its choices cannot be heard; the preset manager's
  // exceptions pass.
  QZ::QZResult Initialize() override;
  // The eight commands heard from the root window, the four hot-key commands from the
  // application centre (refusals ignored), the menu bar told to ask this view, the stored
  // model selected in the box (the 49-key model for a value outside 0 .. 2), then the
  // scroll view's. The editor host's exception when no MIDI manager can be made passes. 0.
  QZ::QZResult SubscribeNotifications() override;
  // Sets state.enabled for send and retrieve (the ports open) and for load and save (not
  // the global settings tab); other commands keep the state they came with. 0.
  QZ::QZResult IsMenuItemEnabled(const QZ::LMenuDescriptor* menu, int32_t itemIndex, const QZ::WString& command,
                                 QZ::LMenuItemState& state) override;

  // --- The device view's own -------------------------------------------------------------

  // Null before Initialize.
  QZ::RCPtr<LStatusView> GetStatusView() const { return mStatusView; }
  const QZ::RCPtr<QZ::LPresetManager>& GetPresetManager() const { return mPresetManager; }
  // The model box's "NID_SELECTION_CHANGE": the selected model (0 .. 2) stored as
  // "DeviceModel", a new MIDI manager, then "NID_DEVICE_MODEL_SELECTION_CHANGED" posted.
  // The box showing the stored model as the view subscribes keeps the host's manager when
  // it was made for that model. A cleared selection changes nothing. The host's exception
  // passes. 1.
  QZ::QZResult OnDeviceModelChanged(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                    const QZ::RCPtr<QZ::LNotification>& notification);
  // "QuorinZTRPreset" and "*.QuorinZTRPreset".
  static QZ::WString GetPresetFileExtension();
  static QZ::WString GetPresetFilePattern();
  // "Control Panel Settings (*.QuorinZTRPreset)|*.QuorinZTRPreset|All Files (*.*)|*.*" from
  // the string table's two segments; load is not used.
  static QZ::WString GetPresetFileFilter(bool load);
  // The open dialog ("Select Preset File") in the last preset folder; a choice is copied to
  // path and its folder remembered. The dialog's result (QZ_E_FAIL cancelled).
  QZ::QZResult ShowLoadPresetDialog(QZ::WString& path);
  // The save dialog ("Select Save Location") in the file dialog's folder; a name without
  // an extension gets ".QuorinZTRPreset". A choice is copied to path. The dialog's result.
  QZ::QZResult ShowSavePresetDialog(QZ::WString& path);
  // The open dialog, then the chosen file loaded; -1 .. -5 tell the user why it was not.
  // The dialog's failure, else the load's result.
  int32_t LoadPresetFromFile();
  // The save dialog, then the engine's values saved to the chosen path and its folder
  // remembered; a failed save tells the user so ("Preset File Save" / "The preset file
  // could not be saved.", error icon). The dialog's failure, else the save's result.
  int32_t SavePresetToFile();

  // --- Command handlers (each 1) -----------------------------------------------------------

  QZ::QZResult OnMenuLoadPresetFromDevice(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                          const QZ::RCPtr<QZ::LNotification>& notification);
  QZ::QZResult OnMenuSendPresetToDevice(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                        const QZ::RCPtr<QZ::LNotification>& notification);
  QZ::QZResult OnMenuLoadPresetFromFile(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                        const QZ::RCPtr<QZ::LNotification>& notification);
  QZ::QZResult OnMenuSavePresetToFile(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                      const QZ::RCPtr<QZ::LNotification>& notification);
  QZ::QZResult OnMenuExit(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                          const QZ::RCPtr<QZ::LNotification>& notification);
  QZ::QZResult OnMenuHelpAbout(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                               const QZ::RCPtr<QZ::LNotification>& notification);
  // The guide that "URL_USER_GUIDE" names (UserGuide.h; the documentation folders of the
  // editor host's program folder) opened with the shell. A guide that is not there or not
  // readable, or an opener that does not start, shows "Open User Guide Error" / "The user
  // guide could not be opened." (style 0); the opener is not run for a missing guide.
  QZ::QZResult OnMenuOpenUserGuide(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                   const QZ::RCPtr<QZ::LNotification>& notification);
  QZ::QZResult OnMenuGlobalSettings(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                    const QZ::RCPtr<QZ::LNotification>& notification);

  // --- The device module (IDevice) --------------------------------------------------------

  // "controlNavigation" of the page "userPresetEditor" as the user preset; null when absent.
  QZ::RCPtr<IUserPreset> GetUserPreset() override;
  // The page "globalPresetEditor" as the global preset; null when absent.
  QZ::RCPtr<IGlobalPreset> GetGlobalPreset() override;

  // The control's cycles first, then the scroll view's.
  QZ::QZResult ReleaseInternalReferences() override;

private:
  using Handler = QZ::QZResult (LDeviceView::*)(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                                const QZ::RCPtr<QZ::LNotification>&);

  QZ::RCPtr<QZ::LTabControl> GetTabControl() const;
  bool IsCommandEnabled(const QZ::WString& command);
  // The main control's "mainMenu" asks this view about its items.
  void ConnectMainMenu();
  // The skin's top-level dialog of name shown modally; a missing one is traced.
  void OpenTopLevelControl(const QZ::WString& name);
  // Send or retrieve by the selected tab.
  void TransferPreset(bool send);
  // "PresetLastFolderPath", else the documents folder.
  static QZ::WString GetLastPresetFolder();

  QZ::RCPtr<LStatusView> mStatusView;
  QZ::RCPtr<QZ::LPresetManager> mPresetManager;
  QZ::RCPtr<QZ::LComboBox> mDeviceSelection;
  QZ::RCPtr<QZ::LFileDialog> mFileDialog;
  // The model box is being set to the stored model.
  bool mShowingStoredModel = false;
};
