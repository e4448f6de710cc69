// The chord page and its note selectors: the mode decides which selectors show, the user
// notes are titled by the page and bound to consecutive ids, the note lists follow the
// keyboard model and send the chosen note straight to the engine (the page hangs under no
// main control here, so nothing can go through one), and skins without a selector fail with
// its name.
#include <gtest/gtest.h>

#include "EditPageKit.h"

namespace EditPages {
namespace {

using Note = LChordModeNoteVariantBufferSetterParameterPanel;

constexpr uint32_t kFirst = 129; // the chord module's first id in the device

Variant Qualifier(int32_t value) {
  Variant qualifier;
  qualifier.SetInt32(value);
  return qualifier;
}

QZ::WString Wide(const std::string& ascii) { return QZ::WString(std::u16string(ascii.begin(), ascii.end()).c_str()); }

std::string ChordTree() {
  return Xml::Control("Framework.Panel", "pageTop", {0, 0, 600, 180}, ChordPage("chordPage", {0, 0, 600, 180}));
}

class ChordPageTest : public ::testing::Test {
protected:
  // The page on a keyboard of model, bound from kFirst, its lists built.
  void Make(int32_t model) {
    kit = std::make_unique<PageKit>(ChordTree(), u"pageTop", model);
    page = kit->Find<LUserPresetChordEditPanel>("chordPage");
    ASSERT_TRUE(page);
    page->SetFirstParamID(nullptr, kFirst, 0);
    kit->Subscribe();
    kit->engine->setCalls.clear();
  }
  RCPtr<Note> UserNote(int i) { return kit->Find<Note>("chordPage/userChordNote" + std::to_string(i)); }
  RCPtr<QZ::LComboBox> Combo(const std::string& child) {
    return kit->Find<QZ::LComboBox>("chordPage/" + child + "/comboBox");
  }
  bool Shown(const std::string& child) { return kit->Find("chordPage/" + child)->IsShown(false); }
  void Show(uint32_t id, std::initializer_list<uint8_t> bytes) {
    EXPECT_EQ(page->SetParamValueLocal(QZ::ParamDescriptor(id), Bytes(bytes), true), QZ::QZ_OK);
  }

  std::unique_ptr<PageKit> kit;
  RCPtr<LUserPresetChordEditPanel> page;
};

TEST_F(ChordPageTest, TheModeValueDecidesWhichSelectorsShow) {
  Make(QZ::kDeviceModel49Keys);
  const std::string notes[] = {"userChordNote1", "userChordNote2", "userChordNote3",
                               "userChordNote4", "userChordNote5", "userChordNote6"};
  const auto expectCustom = [&](bool custom, const char* when) {
    for (const std::string& note : notes) {
      EXPECT_EQ(Shown(note), custom) << note << " after " << when;
    }
    EXPECT_EQ(Shown("smartRootNote"), !custom) << when;
    EXPECT_EQ(Shown("voicings"), !custom) << when;
  };
  Show(kFirst + 1, {2});
  expectCustom(true, "{02}");
  EXPECT_EQ(QZTest::UiKit::TextOf(Combo("mode")), u"Custom");
  Show(kFirst + 1, {5});
  expectCustom(true, "{05}, which no mode is");
  Show(kFirst + 1, {0});
  expectCustom(false, "{00}");
  Show(kFirst + 1, {2});
  Show(kFirst + 1, {1});
  expectCustom(false, "{01}");
  Show(kFirst + 1, {7});
  expectCustom(false, "{07}");

  page->ShowUserChordNotes(3);
  for (int i = 1; i <= 6; ++i) {
    EXPECT_EQ(UserNote(i)->IsShown(false), i <= 3) << i;
  }
  page->ShowChordModeControls(-1);
  page->ShowChordModeControls(3);
  EXPECT_TRUE(Shown("voicings")) << "modes outside 0 .. 2 change nothing";
  EXPECT_TRUE(UserNote(3)->IsShown(false));
}

TEST_F(ChordPageTest, SelectorsAreBoundToTheirIdsAndTheNotesTitledByThePage) {
  Make(QZ::kDeviceModel49Keys);
  for (int i = 1; i <= 6; ++i) {
    UserNote(i)->FindChildByName(QZ::WString(u"controlNameLabel"))->SetText(QZ::WString(u"CHORD NOTE"));
  }
  page->SetFirstParamID(nullptr, kFirst, 0);
  EXPECT_EQ(kit->Find<LVariantBufferSetterParameterPanel>("chordPage/smartRootNote")->GetParameter().id, kFirst);
  EXPECT_EQ(kit->Find<LVariantBufferSetterParameterPanel>("chordPage/mode")->GetParameter().id, kFirst + 1);
  EXPECT_EQ(kit->Find<LVariantBufferSetterParameterPanel>("chordPage/voicings")->GetParameter().id, kFirst + 2);
  for (int i = 1; i <= 6; ++i) {
    EXPECT_EQ(UserNote(i)->GetParameter().id, kFirst + 2 + uint32_t(i));
    EXPECT_EQ(QZTest::UiKit::TextOf(UserNote(i)->FindChildByName(QZ::WString(u"controlNameLabel"))),
              u"NOTE " + std::u16string(1, char16_t(u'0' + i)));
  }

  Show(kFirst, {3});
  EXPECT_EQ(QZTest::UiKit::TextOf(Combo("smartRootNote")), u"Eb");
  Show(kFirst + 2, {7});
  EXPECT_EQ(QZTest::UiKit::TextOf(Combo("voicings")), u"Random");
  Show(kFirst + 8, {60});
  EXPECT_EQ(Combo("userChordNote6")->GetSelectedIndex(), 60 - 36 + 1);
  EXPECT_EQ(QZTest::UiKit::TextOf(Combo("userChordNote6")), u"C (4)");

  std::vector<int32_t> before;
  for (const char* child : {"mode", "smartRootNote", "voicings", "userChordNote1", "userChordNote6"}) {
    before.push_back(Combo(child)->GetSelectedIndex());
  }
  Show(kFirst + 9, {1});
  Show(kFirst - 1, {1});
  std::vector<int32_t> after;
  for (const char* child : {"mode", "smartRootNote", "voicings", "userChordNote1", "userChordNote6"}) {
    after.push_back(Combo(child)->GetSelectedIndex());
  }
  EXPECT_EQ(after, before) << "ids beside the page's nine change nothing";
}

TEST_F(ChordPageTest, TwentyFiveKeyNoteListHasOffAndSendsStraightToTheEngine) {
  kit = std::make_unique<PageKit>(ChordTree(), u"pageTop", QZ::kDeviceModel25Keys);
  page = kit->Find<LUserPresetChordEditPanel>("chordPage");
  page->SetFirstParamID(nullptr, kFirst, 0);
  kit->Hold(134, Bytes({0x3C}));
  kit->Subscribe();
  const RCPtr<QZ::LComboBox> combo = Combo("userChordNote3");
  const std::vector<std::u16string> items = ItemsOf(combo);
  ASSERT_EQ(items.size(), 26u);
  EXPECT_EQ(items[0], u"OFF");
  EXPECT_EQ(items[1], u"C (3)");
  EXPECT_EQ(items[2], u"Db (3)");
  EXPECT_EQ(items[12], u"B (3)");
  EXPECT_EQ(items[25], u"C (5)");
  EXPECT_EQ(combo->GetSelectedIndex(), 13) << "the engine's {3C}";
  EXPECT_EQ(QZTest::UiKit::TextOf(combo), u"C (4)");
  kit->engine->setCalls.clear();

  ASSERT_TRUE(kit->Choose(combo, 0));
  EXPECT_EQ(kit->Sent(), (SentList{{134, {0x00}}})) << "no main control in this tree: the engine directly";
  EXPECT_EQ(kit->engine->Bytes(134), (std::vector<uint8_t>{0x00}));
  ASSERT_TRUE(kit->Choose(combo, 2));
  EXPECT_EQ(kit->engine->Bytes(134), (std::vector<uint8_t>{49}));

  const std::pair<uint8_t, int32_t> shown[] = {{0x3C, 13}, {0x00, 0}, {72, 25}, {47, 0}, {48, 1}};
  for (const auto& [value, index] : shown) {
    EXPECT_EQ(UserNote(3)->SetValue(Bytes({value})), QZ::QZ_OK);
    EXPECT_EQ(combo->GetSelectedIndex(), index) << int(value);
  }
  EXPECT_EQ(UserNote(3)->SetValue(Bytes({1, 2})), QZ::QZ_E_FAIL);
  EXPECT_EQ(combo->GetSelectedIndex(), 1) << "a value of two bytes shows nothing";
}

TEST_F(ChordPageTest, RequiredNotesHaveNoOffAndFallBackToTheFirstNote) {
  Make(QZ::kDeviceModel61Keys);
  const RCPtr<QZ::LComboBox> combo = Combo("userChordNote1");
  const std::vector<std::u16string> items = ItemsOf(combo);
  ASSERT_EQ(items.size(), 61u);
  EXPECT_EQ(items.front(), u"C (2)");
  EXPECT_EQ(items.back(), u"C (7)");
  EXPECT_EQ(ItemsOf(Combo("userChordNote2")).size(), 61u);
  EXPECT_EQ(ItemsOf(Combo("userChordNote3")).size(), 62u);

  EXPECT_EQ(UserNote(1)->SetValue(Bytes({0x24})), QZ::QZ_OK);
  EXPECT_EQ(combo->GetSelectedIndex(), 0);
  kit->engine->setCalls.clear();
  EXPECT_EQ(UserNote(1)->SetValue(Bytes({0x14})), QZ::QZ_OK);
  EXPECT_EQ(combo->GetSelectedIndex(), 0);
  EXPECT_EQ(kit->Sent(), (SentList{{132, {0x25}}, {132, {0x24}}})) << "item 1, then item 0 announced";
  EXPECT_EQ(kit->engine->Bytes(132), (std::vector<uint8_t>{0x24}));
  kit->engine->setCalls.clear();
  EXPECT_EQ(UserNote(1)->SetValue(Bytes({97})), QZ::QZ_OK);
  EXPECT_EQ(kit->Sent(), (SentList{{132, {0x25}}, {132, {0x24}}})) << "above the keys as below them";

  // Only the plain ids 132 and 133 are required.
  const std::pair<QZ::ParamDescriptor, bool> bindings[] = {{QZ::ParamDescriptor(133), true},
                                                           {QZ::ParamDescriptor(133, Qualifier(1)), false},
                                                           {QZ::ParamDescriptor(134), false},
                                                           {QZ::ParamDescriptor(131), false}};
  for (const auto& [descriptor, required] : bindings) {
    UserNote(2)->SetParameter(QZ::ParamValue(descriptor, Variant()));
    UserNote(2)->SubscribeNotifications();
    EXPECT_EQ(UserNote(2)->IsRequiredNote(), required) << descriptor.id;
    EXPECT_EQ(Combo("userChordNote2")->GetItemText(0).View() == u"OFF", !required) << descriptor.id;
  }
}

TEST_F(ChordPageTest, AModelChangeRebuildsEveryListAndWritesTheFallbacks) {
  Make(QZ::kDeviceModel49Keys);
  kit->Hold(132, Bytes({36})); // below the 25-key list
  kit->Hold(133, Bytes({60}));
  kit->Hold(134, Bytes({60}));
  kit->Hold(135, Bytes({84})); // above it
  kit->Hold(136, Bytes({0}));
  kit->Hold(137, Bytes({72}));
  kit->ChangeModel(QZ::kDeviceModel25Keys);
  const int32_t expected[] = {0, 12, 13, 0, 0, 25};
  for (int i = 1; i <= 6; ++i) {
    EXPECT_EQ(Combo("userChordNote" + std::to_string(i))->GetItemCount(), i <= 2 ? 25 : 26) << i;
    EXPECT_EQ(Combo("userChordNote" + std::to_string(i))->GetSelectedIndex(), expected[i - 1]) << i;
  }
  EXPECT_EQ(kit->engine->Bytes(132), (std::vector<uint8_t>{48})) << "the fallback is written";
  EXPECT_EQ(kit->engine->Bytes(134), (std::vector<uint8_t>{60}));
  EXPECT_EQ(kit->engine->Bytes(135), (std::vector<uint8_t>{0})) << "the fallback of a note with OFF is OFF";
  EXPECT_EQ(kit->engine->Bytes(136), (std::vector<uint8_t>{0}));

  kit->engine->setCalls.clear();
  kit->ChangeModel(7);
  EXPECT_EQ(ItemsOf(Combo("userChordNote1")), std::vector<std::u16string>{});
  EXPECT_EQ(ItemsOf(Combo("userChordNote3")), std::vector<std::u16string>{u"OFF"});
  for (int i = 1; i <= 6; ++i) {
    EXPECT_EQ(Combo("userChordNote" + std::to_string(i))->GetSelectedIndex(), -1) << i;
  }
  EXPECT_TRUE(kit->Sent().empty());
}

TEST(ChordPageSkinTest, AMissingSelectorFailsWithItsName) {
  const std::vector<std::string> all = {"mode",           "smartRootNote",  "voicings",
                                        "userChordNote1", "userChordNote2", "userChordNote3",
                                        "userChordNote4", "userChordNote5", "userChordNote6"};
  const std::pair<const char*, const char*> cases[] = {
      {"mode", "mode : LUserPresetChordEditPanel::Initialize : UI\\ChordEditPanel : Line 32"},
      {"smartRootNote", "smartRootNode : LUserPresetChordEditPanel::Initialize : UI\\ChordEditPanel : Line 35"},
      {"voicings", "voicings : LUserPresetChordEditPanel::Initialize : UI\\ChordEditPanel : Line 38"},
      {"userChordNote1", "userChordNote1 : LUserPresetChordEditPanel::Initialize : UI\\ChordEditPanel : Line 41"},
      {"userChordNote4", "userChordNote4 : LUserPresetChordEditPanel::Initialize : UI\\ChordEditPanel : Line 50"},
      {"userChordNote6", "userChordNote6 : LUserPresetChordEditPanel::Initialize : UI\\ChordEditPanel : Line 56"},
  };
  std::string entries;
  for (const auto& [missing, text] : cases) {
    std::vector<std::string> names;
    for (const std::string& name : all) {
      if (name != missing) {
        names.push_back(name);
      }
    }
    entries += ChordPage(std::string("without_") + missing, {0, 0, 600, 180}, names);
  }
  PageKit kit(entries, nullptr, QZ::kDeviceModel49Keys);
  for (const auto& [missing, text] : cases) {
    try {
      kit.factory->CreateControlByName(Wide(std::string("without_") + missing), nullptr);
      ADD_FAILURE() << "no exception without " << missing;
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(std::string(error.what()), std::string("Runtime Error : Null Pointer : Cannot find child ") + text);
    }
  }
}

} // namespace
} // namespace EditPages
