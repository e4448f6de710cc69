#include "UI/DriverCommon/PresetFileMessages.h"

#include "UI/EditorUIHost.h"

namespace {

void ShowLoadMessage(const char16_t* textId) {
  // One button: the answer says nothing.
  QZ::ShowEditorMessageBox(GetAppString(textId), GetAppString(u"SETTINGS_FILE_LOAD_CAPTION"),
                           QZ::kMessageBoxOk | QZ::kMessageBoxIconError);
}

} // namespace

void ShowLoadOlderMessage() { ShowLoadMessage(u"SETTINGS_FILE_LOAD_OLDER_MESSAGE"); }

void ShowLoadNewerMessage() { ShowLoadMessage(u"SETTINGS_FILE_LOAD_NEWER_MESSAGE"); }

void ShowLoadCorruptMessage() { ShowLoadMessage(u"SETTINGS_FILE_LOAD_CORRUPT_MESSAGE"); }

void ShowLoadWrongDeviceMessage() { ShowLoadMessage(u"SETTINGS_FILE_LOAD_WRONG_DEVICE_MESSAGE"); }

void ShowLoadTranslationFailureMessage() { ShowLoadMessage(u"SETTINGS_FILE_TRANSLATION_FAILURE_MESSAGE"); }
