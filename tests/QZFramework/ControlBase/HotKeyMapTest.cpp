#include "QZFramework/ControlBase/HotKeyMap.h"

#include <gtest/gtest.h>

#include "QZFramework/ControlBase/StringTable.h"
#include "Support/PresetEditorHotKeyTable.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

KeyCode Key(const char16_t* text) { return KeyCode::FromString(text); }

KeyCode Code(uint32_t code) {
  KeyCode key;
  key.code = code;
  return key;
}

class RecordingReceiver : public LNotificationReceiver {
public:
  QZResult ReceiveNotification(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) override {
    return QZ_OK;
  }
  QZResult UnregisterNotification(LNotificationDistributor*, NotificationName) override { return QZ_OK; }
};

TEST(HotKeyMapTest, AKeyIsBoundOnceAndACommandCollectsItsKeysInOrder) {
  HotKeyMap keys;
  EXPECT_EQ(keys.AddBinding(Key(u"Ctrl+VKEY_C"), u"NID_EDIT_COPY_REQ"), QZ_OK);
  EXPECT_EQ(keys.AddBinding(Key(u"VKEY_F3"), u"NID_EDIT_COPY_REQ"), QZ_OK);
  EXPECT_EQ(keys.AddBinding(Key(u"Ctrl+VKEY_C"), u"NID_EDIT_CUT_REQ"), QZ_E_INVALIDARG);
  EXPECT_EQ(keys.AddBinding(Key(u"Ctrl+VKEY_C"), u"NID_EDIT_COPY_REQ"), QZ_E_INVALIDARG);
  EXPECT_EQ(keys.AddBinding(Key(u"VKEY_F9"), u""), QZ_E_INVALIDARG);
  EXPECT_FALSE(keys.HasBinding(u"NID_EDIT_CUT_REQ"));
  EXPECT_FALSE(keys.HasBinding(u""));
  EXPECT_EQ(keys.FindCommand(Key(u"VKEY_F9")), WString());

  const Array<KeyCode> copy = keys.GetBindings(u"NID_EDIT_COPY_REQ");
  ASSERT_EQ(copy.GetCount(), 2u);
  EXPECT_EQ(copy.GetAt(0).code, 0x21430000u);
  EXPECT_EQ(copy.GetAt(1).code, 0x20720000u);
  EXPECT_EQ(keys.GetBindings(u"NID_EDIT_CUT_REQ").GetCount(), 0u);
  EXPECT_EQ(keys.GetBindings(u"").GetCount(), 0u);
}

TEST(HotKeyMapTest, ATypedCharacterFindsTheBindingOfItsCharacterWhateverCtrlAndShift) {
  HotKeyMap keys;
  ASSERT_EQ(keys.AddBinding(KeyCode(u'x', kModifierCtrl), u"NID_X"), QZ_OK);
  EXPECT_EQ(keys.FindCommand(KeyCode(u'x', 0)), WString(u"NID_X"));
  EXPECT_EQ(keys.FindCommand(KeyCode(u'x', kModifierShift)), WString(u"NID_X"));
  EXPECT_EQ(keys.FindCommand(KeyCode(u'x', kModifierAlt)), WString());
  EXPECT_EQ(keys.FindCommand(KeyCode(0x58, true, 0, kModifierCtrl)), WString()); // the X key is no character
  EXPECT_EQ(keys.AddBinding(KeyCode(u'x', kModifierShift), u"NID_Y"), QZ_E_INVALIDARG);
}

TEST(HotKeyMapTest, DefinitionsBindThePartAfterTheLastDotAndTheFirstIdOfAKeyWins) {
  HotKeyMap keys;
  EXPECT_EQ(keys.ParseDefinitions(nullptr, u"GHK"), QZ_E_INVALIDARG);

  const RCPtr<LStringTable> table = LStringTable::Create({
      {u"GHK.A.B.NID_X", u"VKEY_F2"},
      {u"GHK.NID_FIRST", u"VKEY_F5"},
      {u"GHK.NID_SECOND", u"vkey_f5"},
      {u"GHK.NID_Y", u"Ctrl+VKEY_NOPE"},
      {u"GHK.", u"VKEY_F6"},
      {u"XGHK.NID_Z", u"VKEY_F7"},
      {u"GHKX.NID_Z", u"VKEY_F8"},
  });
  EXPECT_EQ(keys.ParseDefinitions(table.Get(), u"GHK"), QZ_OK);
  EXPECT_EQ(keys.FindCommand(Key(u"VKEY_F2")), WString(u"NID_X"));
  EXPECT_EQ(keys.FindCommand(Key(u"VKEY_F5")), WString(u"NID_FIRST"));
  EXPECT_FALSE(keys.HasBinding(u"NID_SECOND"));
  ASSERT_EQ(keys.GetBindings(u"NID_Y").GetCount(), 1u);
  EXPECT_EQ(keys.GetBindings(u"NID_Y").GetAt(0).code, 0x21000000u);
  EXPECT_EQ(keys.FindCommand(Key(u"VKEY_F6")), WString());
  EXPECT_FALSE(keys.HasBinding(u"NID_Z"));
}

TEST(HotKeyMapTest, TheApplicationMapOfTheEditorsTableFindsEachCommandByItsKey) {
  const RCPtr<LStringTable> table = QZTest::MakePresetEditorHotKeyTable();
  const std::pair<uint32_t, const char16_t*> expected[] = {
      {0x21430000, u"NID_EDIT_COPY_REQ"},
      {0x21580000, u"NID_EDIT_CUT_REQ"},
      {0x21560000, u"NID_EDIT_PASTE_REQ"},
      {0x214F0000, u"NID_MENU_FILE_LOAD_PRESET_FROM_FILE"},
      {0x21530000, u"NID_MENU_FILE_SAVE_PRESET_TO_FILE"},
      {0x23530000, u"NID_MENU_FILE_SEND_PRESET_TO_DEVICE"},
      {0x23520000, u"NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE"},
      {0x202E0000, u"NID_EDIT_DELETE_REQ"},
      {0x20440000, u"NID_BUTTON_TOGGLE_DIALOG_BUTTON"},
      {0x24730000, u"NID_APP_EXIT_REQ"},
      {0x28430000, u""}, // "GHK_MAC." is never read
      {0x28530000, u""},
      {0x202E0000 | kKeyCodeShift, u""},
      {0x002E0000, u""}, // a release
  };
  for (const bool exitLast : {false, true}) {
    const HotKeyMap keys = QZTest::BuildApplicationHotKeys(table.Get(), exitLast);
    for (const auto& [code, command] : expected) {
      EXPECT_EQ(keys.FindCommand(Code(code)), WString(command)) << std::hex << code << " exit last " << exitLast;
    }
  }
}

TEST(HotKeyMapTest, ARootWindowReadsOnlyGhkAndAGhkEntryForAltF4KeepsItsCommand) {
  HotKeyMap root;
  ASSERT_EQ(root.ParseDefinitions(QZTest::MakePresetEditorHotKeyTable().Get(), u"GHK"), QZ_OK);
  EXPECT_EQ(root.FindCommand(Key(u"VKEY_DELETE")), WString(u"NID_EDIT_DELETE_REQ"));
  EXPECT_EQ(root.FindCommand(Key(u"VKEY_D")), WString(u"NID_BUTTON_TOGGLE_DIALOG_BUTTON"));
  EXPECT_EQ(root.FindCommand(Key(u"Ctrl+VKEY_C")), WString());

  const RCPtr<LStringTable> table = QZTest::MakePresetEditorHotKeyTable();
  table->Set(u"GHK.NID_CLOSE_PANEL", u"Alt+VKEY_F4");
  const HotKeyMap application = QZTest::BuildApplicationHotKeys(table.Get());
  EXPECT_EQ(application.FindCommand(Key(u"Alt+VKEY_F4")), WString(u"NID_CLOSE_PANEL"));
  EXPECT_FALSE(application.HasBinding(u"NID_APP_EXIT_REQ"));
}

TEST(HotKeyMapTest, HandlersAreRecordedPerNameAndClearedWithTheBindings) {
  HotKeyMap keys;
  RCPtr<RecordingReceiver> menu(new RecordingReceiver);
  EXPECT_EQ(keys.SetHandler(menu.Get(), 7, u""), QZ_E_FAIL);
  EXPECT_EQ(keys.SetHandler(menu.Get(), 7, u"NID_EDIT_COPY_REQ"), QZ_OK);
  EXPECT_EQ(keys.GetHandler(u"NID_EDIT_COPY_REQ").receiver, menu.Get());
  EXPECT_EQ(keys.GetHandler(u"NID_EDIT_COPY_REQ").data, 7u);
  EXPECT_EQ(keys.GetHandler(u"NID_EDIT_CUT_REQ").receiver, nullptr);
  EXPECT_EQ(keys.SetHandler(nullptr, 0, u"NID_EDIT_COPY_REQ"), QZ_OK);
  EXPECT_EQ(keys.GetHandler(u"NID_EDIT_COPY_REQ").receiver, nullptr);

  ASSERT_EQ(keys.SetHandler(menu.Get(), 1, u"NID_EDIT_CUT_REQ"), QZ_OK);
  ASSERT_EQ(keys.AddBinding(Key(u"Ctrl+VKEY_X"), u"NID_EDIT_CUT_REQ"), QZ_OK);
  keys.Clear();
  EXPECT_FALSE(keys.HasBinding(u"NID_EDIT_CUT_REQ"));
  EXPECT_EQ(keys.FindCommand(Key(u"Ctrl+VKEY_X")), WString());
  EXPECT_EQ(keys.GetHandler(u"NID_EDIT_CUT_REQ").receiver, nullptr);
  EXPECT_EQ(menu->GetRefCount(), 1); // the map never holds its handlers
}

} // namespace
} // namespace QZ
