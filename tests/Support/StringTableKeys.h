#pragma once
// Every (table, string ID) that the framework and the editor look up in the shipped string
// tables, and nothing else: the documents in Resources/Documents hold exactly these. A
// table is "Framework", "|PresetEditor" (the editor's general texts) or "<parent class>|
// <control name>", where a top-level control's parent class is "PresetEditor"; a skin
// must place a control of that name under a parent of that class for the texts to reach it.
//
//   for (const QZTest::StringTableKey& key : QZTest::AllStringTableKeys()) {
//     ... key.table, key.id ...
//   }

#include <cstdio>
#include <string>
#include <vector>

namespace QZTest {

struct StringTableKey {
  std::string table;
  std::string id;
  bool operator==(const StringTableKey&) const = default;
  auto operator<=>(const StringTableKey&) const = default;
};

inline constexpr const char* kFrameworkTable = "Framework";
inline constexpr const char* kApplicationTable = "|PresetEditor";
inline constexpr const char* kMainMenuTable = "PresetEditor.MainControl|mainMenu";

// Keys looked up one by one.
inline constexpr struct {
  const char* table;
  const char* id;
} kSingleStringTableKeys[] = {
    // The framework: start-up failure box and the OpenGL renderer's failures.
    {"Framework", "STARTUP_ERROR"},
    {"Framework", "STARTUP_ERROR_CAPTION"},
    {"Framework", "GL_ERROR_CAPTION"},
    {"Framework", "GL_ERROR_UPDATE_DRIVER"},
    {"Framework", "GL_ERROR_MESSAGE_CHOOSE_PIXEL_FORMAT"},
    {"Framework", "GL_ERROR_MESSAGE_SET_PIXEL_FORMAT"},
    {"Framework", "GL_ERROR_MESSAGE_CREATE_CONTEXT"},
    {"Framework", "GL_ERROR_MESSAGE_GET_PROC_ADDRESS"},
    // The message box's buttons.
    {"Framework", "MESSAGE_BOX_BUTTON_OK"},
    {"Framework", "MESSAGE_BOX_BUTTON_CANCEL"},
    {"Framework", "MESSAGE_BOX_BUTTON_ABORT"},
    {"Framework", "MESSAGE_BOX_BUTTON_RETRY"},
    {"Framework", "MESSAGE_BOX_BUTTON_IGNORE"},
    {"Framework", "MESSAGE_BOX_BUTTON_YES"},
    {"Framework", "MESSAGE_BOX_BUTTON_NO"},

    // The editor's general table: hot keys ("GHK" for every platform, "GHK_WIN" here).
    {"|PresetEditor", "GHK.NID_EDIT_DELETE_REQ"},
    {"|PresetEditor", "GHK.NID_BUTTON_TOGGLE_DIALOG_BUTTON"},
    {"|PresetEditor", "GHK_WIN.NID_EDIT_COPY_REQ"},
    {"|PresetEditor", "GHK_WIN.NID_EDIT_CUT_REQ"},
    {"|PresetEditor", "GHK_WIN.NID_EDIT_PASTE_REQ"},
    {"|PresetEditor", "GHK_WIN.NID_MENU_FILE_LOAD_PRESET_FROM_FILE"},
    {"|PresetEditor", "GHK_WIN.NID_MENU_FILE_SAVE_PRESET_TO_FILE"},
    {"|PresetEditor", "GHK_WIN.NID_MENU_FILE_SEND_PRESET_TO_DEVICE"},
    {"|PresetEditor", "GHK_WIN.NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE"},
    // Error box of the application base.
    {"|PresetEditor", "EXCEPTION_ID"},
    // The text box's edit menu.
    {"|PresetEditor", "EDIT_CUT"},
    {"|PresetEditor", "EDIT_COPY"},
    {"|PresetEditor", "EDIT_PASTE"},
    {"|PresetEditor", "EDIT_DELETE"},
    // The progress bar's time remaining.
    {"|PresetEditor", "HOURS_SINGULAR"},
    {"|PresetEditor", "HOURS_PLURAL"},
    {"|PresetEditor", "MINUTES_SINGULAR"},
    {"|PresetEditor", "MINUTES_PLURAL"},
    {"|PresetEditor", "SECONDS_SINGULAR"},
    {"|PresetEditor", "SECONDS_PLURAL"},
    {"|PresetEditor", "REMAINING"},
    // The device view's file dialogs.
    {"|PresetEditor", "LOAD_PRESET_DIALOG_TITLE"},
    {"|PresetEditor", "SAVE_PRESET_DIALOG_TITLE"},
    {"|PresetEditor", "CONTROL_PANEL_SETTINGS_FILTER_SEGMENT_1"},
    {"|PresetEditor", "CONTROL_PANEL_SETTINGS_FILTER_SEGMENT_2"},
    // The preset manager's boxes.
    {"|PresetEditor", "SETTINGS_FILE_LOAD_CAPTION"},
    {"|PresetEditor", "SETTINGS_FILE_LOAD_OLDER_MESSAGE"},
    {"|PresetEditor", "SETTINGS_FILE_LOAD_NEWER_MESSAGE"},
    {"|PresetEditor", "SETTINGS_FILE_LOAD_CORRUPT_MESSAGE"},
    {"|PresetEditor", "SETTINGS_FILE_LOAD_WRONG_DEVICE_MESSAGE"},
    {"|PresetEditor", "SETTINGS_FILE_TRANSLATION_FAILURE_MESSAGE"},
    {"|PresetEditor", "SETTINGS_FILE_SAVE_CAPTION"},
    {"|PresetEditor", "SETTINGS_FILE_SAVE_FAILED_MESSAGE"},
    // The send and retrieve boxes.
    {"|PresetEditor", "LABEL_GET_PRESET_FAILED_MSGBOX_CAPTION"},
    {"|PresetEditor", "LABEL_GET_PRESET_FAILED_MIDI_ERROR_MSGBOX_TEXT"},
    {"|PresetEditor", "LABEL_GET_PRESET_FAILED_FW_COMPATIBILITY_ERROR_MSGBOX_TEXT"},
    {"|PresetEditor", "LABEL_GET_PRESET_SUCEESS_MSGBOX_CAPTION"},
    {"|PresetEditor", "LABEL_GET_PRESET_SUCEESS_MSGBOX_TEXT"},
    {"|PresetEditor", "LABEL_SEND_PRESET_FAILED_MSGBOX_CAPTION"},
    {"|PresetEditor", "LABEL_SEND_PRESET_FAILED_MIDI_ERROR_MSGBOX_TEXT"},
    {"|PresetEditor", "LABEL_SEND_PRESET_FAILED_FW_COMPATIBILITY_ERROR_MSGBOX_TEXT"},
    {"|PresetEditor", "LABEL_SEND_PRESET_SUCEESS_MSGBOX_CAPTION"},
    {"|PresetEditor", "LABEL_SEND_PRESET_SUCEESS_MSGBOX_TEXT"},
    // Help: the user guide, its failure box, the support page.
    {"|PresetEditor", "LABEL_OPEN_USERGUIDE_FILE_FAILED_MSGBOX_CAPTION"},
    {"|PresetEditor", "LABEL_OPEN_USERGUIDE_FILE_FAILED_MSGBOX_TEXT"},
    {"|PresetEditor", "URL_USER_GUIDE"},
    {"|PresetEditor", "URL_SUPPORT"},

    // Window titles of the top-level controls.
    {"PresetEditor|mainControl", "LABEL"},
    {"PresetEditor|dialogSendPreset", "LABEL"},
    {"PresetEditor|dialogRetrievePresetFromHardware", "LABEL"},
    {"PresetEditor|dialogAbout", "LABEL"},

    // The menu bar.
    {"PresetEditor.MainControl|mainMenu", "MENU_LABEL.00"},
    {"PresetEditor.MainControl|mainMenu", "MENU_LABEL.01"},
    {"PresetEditor.MainControl|mainMenu", "CONTEXT_MENU0.00.NID_MENU_FILE_SEND_PRESET_TO_DEVICE"},
    {"PresetEditor.MainControl|mainMenu", "CONTEXT_MENU0.01.NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE"},
    {"PresetEditor.MainControl|mainMenu", "CONTEXT_MENU0.02.-"},
    {"PresetEditor.MainControl|mainMenu", "CONTEXT_MENU0.03.NID_MENU_FILE_LOAD_PRESET_FROM_FILE"},
    {"PresetEditor.MainControl|mainMenu", "CONTEXT_MENU0.04.NID_MENU_FILE_SAVE_PRESET_TO_FILE"},
    {"PresetEditor.MainControl|mainMenu", "CONTEXT_MENU0.05.-"},
    {"PresetEditor.MainControl|mainMenu", "CONTEXT_MENU0.06.NID_MENU_FILE_EXIT_REQ"},
    {"PresetEditor.MainControl|mainMenu", "CONTEXT_MENU1.00.NID_MENU_HELP_OPEN_USER_GUIDE_REQ"},
    {"PresetEditor.MainControl|mainMenu", "CONTEXT_MENU1.01.NID_MENU_HELP_ABOUT_REQ"},

    // The device view: model label, tab buttons, the global page's title.
    {"PresetEditor.MainControl.DeviceView|deviceSelectionLabel", "LABEL"},
    {"PresetEditor.MainControl.DeviceView.TabControl.ButtonHolder|userPresetEditor", "LABEL"},
    {"PresetEditor.MainControl.DeviceView.TabControl.ButtonHolder|globalPresetEditor", "LABEL"},
    {"PresetEditor.GlobalPresetEditor|label", "LABEL"},

    // The controller picture: bank and group labels, the view panels' formats.
    {"PresetEditor.UserPresetEditor|padBank1Label", "LABEL"},
    {"PresetEditor.UserPresetEditor|padBank2Label", "LABEL"},
    {"PresetEditor.UserSustainGroup|labelSustain", "LABEL"},
    {"PresetEditor.UserPresetTempoGroup|tempoLabel", "LABEL"},
    {"PresetEditor.UserKnob|ccLabel", "LABEL"},
    {"PresetEditor.UserKnob|channelLabel", "LABEL"},
    {"PresetEditor.UserSlider|ccLabel", "LABEL"},
    {"PresetEditor.UserSlider|channelLabel", "LABEL"},
    {"PresetEditor.UserPad|channelLabel", "LABEL"},
    {"PresetEditor.UserPad|messageLabel", "LABEL"},
    {"PresetEditor.CommonButton|channelLabel", "LABEL"},
    {"PresetEditor.CommonButton|messageLabel", "LABEL"},

    // Headers of the edit pages (the button page formats its own table's text).
    {"PresetEditor.UserPresetEditPanel|button", "LABEL"},
    {"PresetEditor.KnobUserPresetEditPanel|label", "LABEL"},
    {"PresetEditor.SliderUserPresetEditPanel|label", "LABEL"},
    {"PresetEditor.PadUserPresetEditPanel|label", "LABEL"},
    {"PresetEditor.WheelsUserPresetEditPanel|label", "LABEL"},
    {"PresetEditor.ModWheelUserPresetEditPanel|label", "LABEL"},
    {"PresetEditor.PitchBendUserPresetEditPanel|label", "LABEL"},
    {"PresetEditor.SustainUserPresetEditPanel|label", "LABEL"},
    {"PresetEditor.KeyboardUserPresetEditPanel|label", "LABEL"},
    {"PresetEditor.KeyboardUserPresetEditPanel.TabControl.ButtonHolder|arp", "LABEL"},
    {"PresetEditor.KeyboardUserPresetEditPanel.TabControl.ButtonHolder|chord", "LABEL"},
    {"PresetEditor.KeyboardUserPresetEditPanel.TabControl.ButtonHolder|scale", "LABEL"},

    // Labels of the labelled selectors, with the extra labels some carry.
    {"PresetEditor.Control.LabeledArpTypeSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledArpLatchSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledArpOctaveSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledArpGateSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledArpSwingSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledButtonModeSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledCCSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledCCSelector|controlNameLabel", "CTRL_LABEL"},
    {"PresetEditor.Control.LabeledChordModeSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledChordVoicingsSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledClockSourceSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledDawSettingSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledGlobalMidiChannelSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledKeybedSensitivity|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledLatchingSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledMaxSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledMidiChannelSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledMinSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledNoteSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledNoteSelector|controlNameLabel", "MULTI_NOTE_LABEL"},
    {"PresetEditor.Control.LabeledNoteSelector|controlNameLabel", "START_NOTE_LABEL"},
    {"PresetEditor.Control.LabeledNoteSelector|controlNameLabel", "END_NOTE_LABEL"},
    {"PresetEditor.Control.LabeledNoteSelector|controlNameLabel", "KEY_LABEL"},
    {"PresetEditor.Control.LabeledPadSensitivity|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledPressedSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledProgramSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledProgramSelector|controlNameLabel", "PROGRAM1_LABEL"},
    {"PresetEditor.Control.LabeledProgramSelector|controlNameLabel", "PROGRAM2_LABEL"},
    {"PresetEditor.Control.LabeledProgramSelector|controlNameLabel", "PROGRAM3_LABEL"},
    {"PresetEditor.Control.LabeledProgramSelector|controlNameLabel", "PROGRAM4_LABEL"},
    {"PresetEditor.Control.LabeledReleasedSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledRootNoteSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledScaleModeScaleSelector|controlNameLabel", "LABEL"},
    {"PresetEditor.Control.LabeledTimeDivisionSelector|controlNameLabel", "LABEL"},

    // Dialogs.
    {"PresetEditor.Dialog.SendPresetToHardware|labelHeader", "LABEL"},
    {"PresetEditor.Dialog.SendPresetToHardware|send", "LABEL"},
    {"PresetEditor.Dialog.SendPresetToHardware|labelHint", "LABEL"},
    {"PresetEditor.Dialog.SendPresetToHardware|buttonClose", "LABEL"},
    {"PresetEditor.Dialog.RetrievePresetFromHardware|labelHeader", "LABEL"},
    {"PresetEditor.Dialog.RetrievePresetFromHardware|getButton", "LABEL"},
    {"PresetEditor.Dialog.RetrievePresetFromHardware|labelHint", "LABEL"},
    {"PresetEditor.Dialog.RetrievePresetFromHardware|buttonClose", "LABEL"},
    {"PresetEditor.DialogAbout|buttonSupport", "LABEL"},
    {"PresetEditor.DialogAbout|buttonOK", "LABEL"},
};

// Lists read by number: prefix followed by 0 .. count - 1 written with `digits` digits,
// without gaps ("ITEM.00", "ITEM.01" ...; "TEXT.000" ...).
inline constexpr struct {
  const char* table;
  const char* prefix;
  int digits;
  int count;
} kStringTableLists[] = {
    {"PresetEditor.MainControl.DeviceView|deviceSelectionComboBox", "ITEM.", 2, 3},
    {"PresetEditor.Control.LabeledArpTypeSelector|comboBox", "ITEM.", 2, 7},
    {"PresetEditor.Control.LabeledArpOctaveSelector|comboBox", "ITEM.", 2, 3},
    {"PresetEditor.Control.LabeledArpGateSelector|comboBox", "ITEM.", 2, 11},
    {"PresetEditor.Control.LabeledArpSwingSelector|comboBox", "ITEM.", 2, 8},
    {"PresetEditor.Control.LabeledButtonModeSelector|comboBox", "ITEM.", 2, 5},
    {"PresetEditor.Control.LabeledChordModeSelector|comboBox", "ITEM.", 2, 3},
    {"PresetEditor.Control.LabeledChordVoicingsSelector|comboBox", "ITEM.", 2, 8},
    {"PresetEditor.Control.LabeledClockSourceSelector|comboBox", "ITEM.", 2, 2},
    {"PresetEditor.Control.LabeledDawSettingSelector|comboBox", "ITEM.", 2, 6},
    {"PresetEditor.Control.LabeledGlobalMidiChannelSelector|comboBox", "ITEM.", 2, 16},
    {"PresetEditor.Control.LabeledKeybedSensitivity|comboBox", "ITEM.", 2, 7},
    {"PresetEditor.Control.LabeledMidiChannelSelector|comboBox", "ITEM.", 2, 17},
    {"PresetEditor.Control.LabeledPadSensitivity|comboBox", "ITEM.", 2, 7},
    {"PresetEditor.Control.LabeledRootNoteSelector|comboBox", "ITEM.", 2, 12},
    {"PresetEditor.Control.LabeledScaleModeScaleSelector|comboBox", "ITEM.", 2, 8},
    {"PresetEditor.Control.LabeledTimeDivisionSelector|comboBox", "ITEM.", 2, 8},
    {"PresetEditor.Control.LabeledChordNoteSelector|comboBox", "ITEM.", 2, 50},
    {"PresetEditor.Control.NoteSelector|noteNameLabel", "ITEM.", 2, 12},
    {"PresetEditor.Control.NoteSelector|octaveNameLabel", "ITEM.", 2, 11},
    {"PresetEditor.Control.CCSelector|label", "TEXT.", 3, 128},
    {"PresetEditor.Control.PresetSlotCombobox|comboBox", "ITEM.", 2, 11},
};

// The single keys, then every key of the lists.
inline std::vector<StringTableKey> AllStringTableKeys() {
  std::vector<StringTableKey> keys;
  for (const auto& key : kSingleStringTableKeys) {
    keys.push_back({key.table, key.id});
  }
  for (const auto& list : kStringTableLists) {
    for (int n = 0; n < list.count; ++n) {
      char number[8];
      std::snprintf(number, sizeof number, "%0*d", list.digits, n);
      keys.push_back({list.table, std::string(list.prefix) + number});
    }
  }
  return keys;
}

} // namespace QZTest
