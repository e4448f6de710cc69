#pragma once
// The hot-key definitions of the editor's general string table ("|PresetEditor"), as
// shipped, with two definitions of the other platform and one text that is no hot key;
// and the application's hot-key map built from it the way the application does.
//
//   QZ::RCPtr<QZ::LStringTable> table = QZTest::MakePresetEditorHotKeyTable();
//   QZ::HotKeyMap keys = QZTest::BuildApplicationHotKeys(table.Get());

#include "QZFramework/ControlBase/HotKeyMap.h"
#include "QZFramework/ControlBase/StringTable.h"

namespace QZTest {

inline QZ::RCPtr<QZ::LStringTable> MakePresetEditorHotKeyTable() {
  return QZ::LStringTable::Create({
      {u"GHK.NID_EDIT_DELETE_REQ", u"VKEY_DELETE"},
      {u"GHK.NID_BUTTON_TOGGLE_DIALOG_BUTTON", u"VKEY_D"},
      {u"GHK_WIN.NID_EDIT_COPY_REQ", u"Ctrl+VKEY_C"},
      {u"GHK_WIN.NID_EDIT_CUT_REQ", u"Ctrl+VKEY_X"},
      {u"GHK_WIN.NID_EDIT_PASTE_REQ", u"Ctrl+VKEY_V"},
      {u"GHK_WIN.NID_MENU_FILE_LOAD_PRESET_FROM_FILE", u"Ctrl+VKEY_O"},
      {u"GHK_WIN.NID_MENU_FILE_SAVE_PRESET_TO_FILE", u"Ctrl+VKEY_S"},
      {u"GHK_WIN.NID_MENU_FILE_SEND_PRESET_TO_DEVICE", u"Ctrl+Shift+VKEY_S"},
      {u"GHK_WIN.NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE", u"Ctrl+Shift+VKEY_R"},
      {u"GHK_MAC.NID_EDIT_COPY_REQ", u"COMMAND+VKEY_C"},
      {u"GHK_MAC.NID_MENU_FILE_SAVE_PRESET_TO_FILE", u"COMMAND+VKEY_S"},
      {u"LABEL_READY", u"Ready"},
  });
}

// "GHK", then "Alt+VKEY_F4" for "NID_APP_EXIT_REQ" unless that key is bound, then
// "GHK_WIN"; with exitLast, "GHK", "GHK_WIN", then the exit key.
inline QZ::HotKeyMap BuildApplicationHotKeys(const QZ::LStringTable* table, bool exitLast = false) {
  QZ::HotKeyMap keys;
  const auto bindExit = [&keys] {
    const QZ::KeyCode exit = QZ::KeyCode::FromString(u"Alt+VKEY_F4");
    if (keys.FindCommand(exit).IsEmpty()) {
      (void)keys.AddBinding(exit, u"NID_APP_EXIT_REQ"); // checked by the tests through the map
    }
  };
  (void)keys.ParseDefinitions(table, u"GHK"); // a table is given: cannot fail
  if (!exitLast) {
    bindExit();
  }
  (void)keys.ParseDefinitions(table, u"GHK_WIN");
  if (exitLast) {
    bindExit();
  }
  return keys;
}

} // namespace QZTest
