// The shipped string-table documents as written: well-formed UTF-8, English only, no
// repeated IDs (the loader would append a repeated string's text to the first), numbered
// lists without gaps, exactly the keys the code looks up, and format texts that fit
// their callers.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "QZFramework/Utilities/Storage/StringT.h"
#include "Resources/Documents/RawStringTableDocument.h"
#include "Support/StringTableKeys.h"

namespace {

using QZTest::RawStringTableDocument;

const std::string kDocumentFolder = QZ_RESOURCE_DOCUMENTS;

struct ShippedDocuments {
  RawStringTableDocument application = RawStringTableDocument::Read(kDocumentFolder + "/StringTables.xml");
  RawStringTableDocument framework = RawStringTableDocument::Read(kDocumentFolder + "/FrameworkStrings.xml");
  // Every text of both documents by table and ID (the first, should an ID repeat).
  std::map<QZTest::StringTableKey, std::string> texts;

  ShippedDocuments() {
    for (const RawStringTableDocument* document : {&application, &framework}) {
      for (const QZTest::RawStringTable& table : document->tables) {
        for (const QZTest::RawString& string : table.strings) {
          if (!string.locales.empty()) {
            texts.try_emplace({table.id, string.id}, string.locales.front().text);
          }
        }
      }
    }
  }
};

const ShippedDocuments& Documents() {
  static const ShippedDocuments documents;
  return documents;
}

std::string Text(const std::string& table, const std::string& id) {
  const auto& texts = Documents().texts;
  const auto found = texts.find({table, id});
  return found == texts.end() ? "<missing " + table + " " + id + ">" : found->second;
}

TEST(StringTableDocumentTest, BothDocumentsAreWellFormedUtf8WithTheirRootAndApplication) {
  for (const RawStringTableDocument* document : {&Documents().application, &Documents().framework}) {
    EXPECT_EQ(document->error, "");
    EXPECT_EQ(document->encoding, "UTF-8");
    EXPECT_EQ(document->rootElement, "Vandrel_StringTable_Definitions");
    EXPECT_EQ(document->applicationName, "PresetEditor");
  }
  ASSERT_EQ(Documents().framework.tables.size(), 1u);
  EXPECT_EQ(Documents().framework.tables[0].id, QZTest::kFrameworkTable);
}

TEST(StringTableDocumentTest, EveryStringHasOneEnglishTextAndNoIdRepeats) {
  std::set<std::string> tableIds;
  for (const RawStringTableDocument* document : {&Documents().application, &Documents().framework}) {
    for (const QZTest::RawStringTable& table : document->tables) {
      SCOPED_TRACE(table.id);
      EXPECT_FALSE(table.id.empty());
      EXPECT_TRUE(tableIds.insert(table.id).second) << "table ID repeated";
      std::set<std::string> stringIds;
      for (const QZTest::RawString& string : table.strings) {
        SCOPED_TRACE(string.id);
        EXPECT_TRUE(stringIds.insert(string.id).second) << "string ID repeated";
        ASSERT_EQ(string.locales.size(), 1u);
        EXPECT_EQ(string.locales[0].lcid, "0x0009");
        EXPECT_FALSE(string.locales[0].text.empty());
      }
    }
  }
}

TEST(StringTableDocumentTest, NumberedListsRunFromZeroWithoutGaps) {
  const std::regex numbered(R"((ITEM|TEXT)\.([0-9]+))");
  for (const QZTest::RawStringTable& table : Documents().application.tables) {
    SCOPED_TRACE(table.id);
    std::map<std::string, std::vector<std::string>> numbersByPrefix;
    for (const QZTest::RawString& string : table.strings) {
      std::smatch match;
      if (std::regex_match(string.id, match, numbered)) {
        numbersByPrefix[match[1]].push_back(match[2]);
      }
    }
    for (auto& [prefix, numbers] : numbersByPrefix) {
      const size_t digits = prefix == "ITEM" ? 2 : 3;
      std::sort(numbers.begin(), numbers.end());
      for (size_t n = 0; n < numbers.size(); ++n) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "%0*zu", int(digits), n);
        ASSERT_EQ(numbers[n], expected) << prefix << " list has a gap, a repeat or another width";
      }
    }
  }
}

TEST(StringTableDocumentTest, ListsReadByPositionHoldNothingElse) {
  // The note and CC selectors sort the whole table by key and take entry n, so one
  // more key would shift every name.
  for (const char* tableId :
       {"PresetEditor.Control.NoteSelector|noteNameLabel", "PresetEditor.Control.NoteSelector|octaveNameLabel",
        "PresetEditor.Control.CCSelector|label"}) {
    SCOPED_TRACE(tableId);
    const auto table = std::find_if(Documents().application.tables.begin(), Documents().application.tables.end(),
                                    [&](const QZTest::RawStringTable& t) { return t.id == tableId; });
    ASSERT_NE(table, Documents().application.tables.end());
    for (const QZTest::RawString& string : table->strings) {
      EXPECT_TRUE(string.id.starts_with("ITEM.") || string.id.starts_with("TEXT.")) << string.id;
    }
  }
}

TEST(StringTableDocumentTest, TheDocumentsHoldExactlyTheKeysTheCodeLooksUp) {
  const std::vector<QZTest::StringTableKey> listed = QZTest::AllStringTableKeys();
  const std::set<QZTest::StringTableKey> expected(listed.begin(), listed.end());
  EXPECT_EQ(expected.size(), listed.size()) << "the key list repeats a key";
  for (const QZTest::StringTableKey& key : expected) {
    EXPECT_TRUE(Documents().texts.contains(key)) << "missing: " << key.table << " " << key.id;
  }
  for (const auto& [key, text] : Documents().texts) {
    EXPECT_TRUE(expected.contains(key)) << "looked up by nothing: " << key.table << " " << key.id;
  }
}

// The conversion letters of a printf-style text, "%%" left out: "Bank %d, Pad %d" gives "dd".
std::string Conversions(const std::string& format) {
  std::string letters;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      continue;
    }
    ++i;
    while (i < format.size() && !std::isalpha(static_cast<unsigned char>(format[i])) && format[i] != '%') {
      ++i;
    }
    if (format.compare(i, 3, "I32") == 0 || format.compare(i, 3, "I64") == 0) {
      i += 3;
    }
    while (i < format.size() && (format[i] == 'h' || format[i] == 'l')) {
      ++i;
    }
    if (i < format.size() && format[i] != '%') {
      letters += format[i];
    }
  }
  return letters;
}

TEST(StringTableDocumentTest, FormatTextsHaveTheConversionsTheirCallersPass) {
  const struct {
    const char* table;
    const char* id;
    const char* conversions;
  } formats[] = {
      {"|PresetEditor", "EXCEPTION_ID", "d"},
      {"Framework", "GL_ERROR_MESSAGE_GET_PROC_ADDRESS", "ds"},
      {"PresetEditor.PadUserPresetEditPanel|label", "LABEL", "dd"},
      {"PresetEditor.KnobUserPresetEditPanel|label", "LABEL", "d"},
      {"PresetEditor.SliderUserPresetEditPanel|label", "LABEL", "d"},
      {"PresetEditor.UserPresetEditPanel|button", "LABEL", "d"},
      {"PresetEditor.UserKnob|ccLabel", "LABEL", "d"},
      {"PresetEditor.UserSlider|ccLabel", "LABEL", "d"},
      {"PresetEditor.UserKnob|channelLabel", "LABEL", "s"},
      {"PresetEditor.UserSlider|channelLabel", "LABEL", "s"},
      {"PresetEditor.UserPad|channelLabel", "LABEL", "s"},
      {"PresetEditor.CommonButton|channelLabel", "LABEL", "s"},
      {"PresetEditor.UserPad|messageLabel", "LABEL", "s"},
      {"PresetEditor.CommonButton|messageLabel", "LABEL", "s"},
      {"PresetEditor.Control.LabeledNoteSelector|controlNameLabel", "MULTI_NOTE_LABEL", "d"},
  };
  std::set<QZTest::StringTableKey> formatKeys;
  for (const auto& format : formats) {
    SCOPED_TRACE(std::string(format.table) + " " + format.id);
    formatKeys.insert({format.table, format.id});
    const std::string text = Text(format.table, format.id);
    EXPECT_EQ(Conversions(text), format.conversions);
    // What the callers pass: numbers as integers, texts as wide strings.
    const QZ::WString wide(text.c_str());
    const QZ::WString channel(u"G");
    if (std::string(format.conversions) == "d") {
      EXPECT_NO_THROW((void)QZ::WString::Format(wide.GetBuffer(), int32_t(7)));
    } else if (std::string(format.conversions) == "dd") {
      EXPECT_NO_THROW((void)QZ::WString::Format(wide.GetBuffer(), int32_t(2), int32_t(8)));
    } else if (std::string(format.conversions) == "ds") {
      EXPECT_NO_THROW(
          (void)QZ::NString::Format(text.c_str(), uint32_t(127), "The specified procedure could not be found."));
    } else {
      EXPECT_NO_THROW((void)QZ::WString::Format(wide.GetBuffer(), channel));
    }
  }
  EXPECT_EQ(
      QZ::WString::Format(QZ::WString(Text("PresetEditor.PadUserPresetEditPanel|label", "LABEL").c_str()).GetBuffer(),
                          int32_t(2), int32_t(8)),
      u"Bank 2, Pad 8");
  // Every other text is shown as it is; a '%' there is only a percent sign.
  for (const auto& [key, text] : Documents().texts) {
    if (!formatKeys.contains(key) && text.find('%') != std::string::npos) {
      EXPECT_TRUE(key.table.ends_with("|comboBox")) << key.table << " " << key.id << ": " << text;
    }
  }
}

TEST(StringTableDocumentTest, GeneratedListsNameControllersNotesChannelsSlotsAndChordNotes) {
  const char* kControllers = "PresetEditor.Control.CCSelector|label";
  const std::map<int, std::string> controllers = {
      {0, "Bank Select"},       {1, "Modulation"},       {2, "Breath Control"},
      {3, "Controller 3"},      {7, "Channel Volume"},   {10, "Pan"},
      {11, "Expression"},       {64, "Sustain Pedal"},   {66, "Sostenuto"},
      {74, "Cutoff Frequency"}, {120, "All Sounds Off"}, {123, "All Notes Off"},
      {127, "Poly Mode On"},    {32, "Bank Select LSB"}, {35, "Controller 3 LSB"},
      {102, "Controller 102"}};
  for (const auto& [number, name] : controllers) {
    char id[16];
    std::snprintf(id, sizeof id, "TEXT.%03d", number);
    EXPECT_EQ(Text(kControllers, id), name) << number;
  }

  // A note's name is entry n mod 12, its octave entry n div 12, counted from -2.
  const auto noteName = [](int note) {
    char name[16];
    char octave[16];
    std::snprintf(name, sizeof name, "ITEM.%02d", note % 12);
    std::snprintf(octave, sizeof octave, "ITEM.%02d", note / 12);
    return Text("PresetEditor.Control.NoteSelector|noteNameLabel", name) + " " +
           Text("PresetEditor.Control.NoteSelector|octaveNameLabel", octave);
  };
  EXPECT_EQ(noteName(0), "C (-2)");
  EXPECT_EQ(noteName(11), "B (-2)");
  EXPECT_EQ(noteName(36), "C (1)");
  EXPECT_EQ(noteName(60), "C (3)");
  EXPECT_EQ(noteName(61), "Db (3)");
  EXPECT_EQ(noteName(127), "G (8)");
  EXPECT_EQ(Text("PresetEditor.Control.LabeledRootNoteSelector|comboBox", "ITEM.10"), "Bb");

  EXPECT_EQ(Text("PresetEditor.Control.LabeledGlobalMidiChannelSelector|comboBox", "ITEM.00"), "Channel 1");
  EXPECT_EQ(Text("PresetEditor.Control.LabeledGlobalMidiChannelSelector|comboBox", "ITEM.15"), "Channel 16");
  EXPECT_EQ(Text("PresetEditor.Control.LabeledMidiChannelSelector|comboBox", "ITEM.00"), "Global");
  EXPECT_EQ(Text("PresetEditor.Control.LabeledMidiChannelSelector|comboBox", "ITEM.16"), "Channel 16");
  EXPECT_EQ(Text("PresetEditor.Control.PresetSlotCombobox|comboBox", "ITEM.00"), "RAM");
  EXPECT_EQ(Text("PresetEditor.Control.PresetSlotCombobox|comboBox", "ITEM.10"), "Preset 10");
  EXPECT_EQ(Text("PresetEditor.Control.LabeledChordNoteSelector|comboBox", "ITEM.00"), "Off");
  EXPECT_EQ(Text("PresetEditor.Control.LabeledChordNoteSelector|comboBox", "ITEM.01"), "C (1)");
  EXPECT_EQ(Text("PresetEditor.Control.LabeledChordNoteSelector|comboBox", "ITEM.49"), "C (5)");
}

TEST(StringTableDocumentTest, TextsTheCallersShowAsTheyAreWritten) {
  const struct {
    const char* table;
    const char* id;
    const char* text;
  } texts[] = {
      {"Framework", "STARTUP_ERROR", "The application encountered problems during startup and will now close."},
      {"Framework", "STARTUP_ERROR_CAPTION", "Error"},
      {"Framework", "GL_ERROR_UPDATE_DRIVER",
       "  Please make sure the latest driver for your graphics card is installed."},
      {"|PresetEditor", "EXCEPTION_ID",
       "The application has encountered Error ID %d.  Please contact Vandrel Technical Support."},
      {"|PresetEditor", "GHK.NID_EDIT_DELETE_REQ", "VKEY_DELETE"},
      {"|PresetEditor", "GHK.NID_BUTTON_TOGGLE_DIALOG_BUTTON", "VKEY_D"},
      {"|PresetEditor", "GHK_WIN.NID_MENU_FILE_SEND_PRESET_TO_DEVICE", "Ctrl+Shift+VKEY_S"},
      {"|PresetEditor", "GHK_WIN.NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE", "Ctrl+Shift+VKEY_R"},
      {"|PresetEditor", "EDIT_CUT", "Cut"},
      {"|PresetEditor", "EDIT_DELETE", "Delete"},
      {"|PresetEditor", "HOURS_SINGULAR", "Hour"},
      {"|PresetEditor", "REMAINING", "Remaining"},
      {"|PresetEditor", "CONTROL_PANEL_SETTINGS_FILTER_SEGMENT_1", "Control Panel Settings (*."},
      {"|PresetEditor", "CONTROL_PANEL_SETTINGS_FILTER_SEGMENT_2", "|All Files (*.*)|*.*"},
      {"|PresetEditor", "SETTINGS_FILE_LOAD_OLDER_MESSAGE",
       "Preset file is not compatible with this vesion of the preset editor"},
      {"|PresetEditor", "SETTINGS_FILE_LOAD_NEWER_MESSAGE",
       "Preset file is not compatible with this version of the editor"},
      {"|PresetEditor", "LABEL_SEND_PRESET_FAILED_MIDI_ERROR_MSGBOX_TEXT",
       "Error connecting to device. Verify your Tarn Keyboard is plugged into the USB port and try again."},
      {"|PresetEditor", "LABEL_GET_PRESET_SUCEESS_MSGBOX_CAPTION", "Retrieve Successful"},
      {"|PresetEditor", "SETTINGS_FILE_SAVE_FAILED_MESSAGE", "The preset file could not be saved."},
      {"PresetEditor|mainControl", "LABEL", "Quorin ZTR Preset Editor"},
      {"PresetEditor.MainControl|mainMenu", "MENU_LABEL.00", "File"},
      {"PresetEditor.MainControl|mainMenu", "MENU_LABEL.01", "Help"},
      {"PresetEditor.MainControl|mainMenu", "CONTEXT_MENU0.00.NID_MENU_FILE_SEND_PRESET_TO_DEVICE",
       "Send Preset | Send this preset to the controller."},
      {"PresetEditor.MainControl|mainMenu", "CONTEXT_MENU0.03.NID_MENU_FILE_LOAD_PRESET_FROM_FILE",
       "Load Preset | Load Preset from disk."},
      {"PresetEditor.Dialog.SendPresetToHardware|labelHeader", "LABEL", "SEND PRESET TO DEVICE"},
      {"PresetEditor.Dialog.RetrievePresetFromHardware|getButton", "LABEL", "GET"},
      {"PresetEditor.Control.LabeledArpGateSelector|comboBox", "ITEM.05", "50 %"},
  };
  for (const auto& entry : texts) {
    EXPECT_EQ(Text(entry.table, entry.id), entry.text) << entry.table << " " << entry.id;
  }
  // The support address and the firmware texts point at the maker's reserved domain; the
  // user guide is the file the program ships.
  for (const char* id : {"URL_SUPPORT", "LABEL_GET_PRESET_FAILED_FW_COMPATIBILITY_ERROR_MSGBOX_TEXT",
                         "LABEL_SEND_PRESET_FAILED_FW_COMPATIBILITY_ERROR_MSGBOX_TEXT"}) {
    EXPECT_NE(Text("|PresetEditor", id).find("https://www.vandrel.example/"), std::string::npos) << id;
  }
  EXPECT_EQ(Text("|PresetEditor", "URL_USER_GUIDE"), "UserGuide.html");
}

} // namespace
