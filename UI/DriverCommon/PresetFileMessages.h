#pragma once
// The boxes that tell the user why a preset file did not load, one per load result of
// PresetFile.h. Each shows, with QZ::ShowEditorMessageBox (EditorUIHost.h), the caption
// "SETTINGS_FILE_LOAD_CAPTION" and its own text from the editor's string table, with the
// error icon and one OK button:
//
//   ShowLoadOlderMessage               -1  "SETTINGS_FILE_LOAD_OLDER_MESSAGE"
//   ShowLoadNewerMessage               -2  "SETTINGS_FILE_LOAD_NEWER_MESSAGE"
//   ShowLoadCorruptMessage             -3  "SETTINGS_FILE_LOAD_CORRUPT_MESSAGE"
//   ShowLoadWrongDeviceMessage         -4  "SETTINGS_FILE_LOAD_WRONG_DEVICE_MESSAGE"
//   ShowLoadTranslationFailureMessage  -5  "SETTINGS_FILE_TRANSLATION_FAILURE_MESSAGE"
//
//   if (presets->LoadPresetFile(path) == QZ::PresetFile::kNewerVersion) ShowLoadNewerMessage();
//
// Main thread; each returns once the box is closed.

void ShowLoadOlderMessage();
void ShowLoadNewerMessage();
void ShowLoadCorruptMessage();
void ShowLoadWrongDeviceMessage();
void ShowLoadTranslationFailureMessage();
