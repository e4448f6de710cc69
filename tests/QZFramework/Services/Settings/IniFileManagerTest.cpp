#include "QZFramework/Services/Settings/IniFileManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "SettingsTestSupport.h"
#include "Support/StringPrinter.h"

namespace {

using QZ::IniFileHandle;
using QZ::WString;
using SettingsTest::ReadFile;
using SettingsTest::WriteFile;

const std::string kNewSettingsDocument = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                         "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
                                         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                         "<plist version=\"1.0\">\n"
                                         "<dict>\n"
                                         "\t<key>Application</key><string>Quorin Preset Editor</string>\n"
                                         "\t<key>1_0_0</key><dict>\n"
                                         "\t\t<key>CurrentSkinIndex</key><integer>0</integer>\n"
                                         "\t</dict>\n"
                                         "</dict>\n"
                                         "</plist>\n";

class IniFileManagerTest : public testing::Test {
protected:
  // Opens name in the test folder with the application's prefix and product name.
  IniFileHandle Open(const std::string& name, int32_t expected = 0) {
    IniFileHandle handle = 0;
    EXPECT_EQ(mStore->Load(WString((mFolder / name).c_str()), u"1_0_0", u"Quorin Preset Editor", handle), expected);
    return handle;
  }

  // A file holding the given entries inside the application's prefix dict.
  IniFileHandle OpenWith(const std::string& name, const std::string& entries) {
    WriteFile(mFolder / name, "<plist><dict><key>1_0_0</key><dict>" + entries + "</dict></dict></plist>");
    return Open(name);
  }

  SettingsTest::TempFolder mFolder;
  QZ::RCPtr<QZ::LIniFileManager> mStore{new QZ::LIniFileManager};
};

TEST_F(IniFileManagerTest, AMissingFileIsWrittenOnlyAfterAChange) {
  const std::string path = mFolder / "UserSettings.ini";
  const IniFileHandle handle = Open("UserSettings.ini");
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(mStore->SaveFile(handle), 0);
  EXPECT_FALSE(std::filesystem::exists(path));

  EXPECT_EQ(mStore->SetInt(handle, u"CurrentSkinIndex", 0), 0);
  EXPECT_FALSE(std::filesystem::exists(path)); // changes stay in memory
  EXPECT_EQ(mStore->SaveFile(handle), 0);
  EXPECT_EQ(ReadFile(path), kNewSettingsDocument);
}

TEST_F(IniFileManagerTest, OpeningAPathTwiceGivesTheSameHandle) {
  const IniFileHandle first = Open("UserSettings.ini");
  const IniFileHandle second = Open("UserSettings.ini", 1);
  EXPECT_EQ(second, first);
  const IniFileHandle other = Open("AppSettings.ini");
  EXPECT_NE(other, 0u);
  EXPECT_NE(other, first);

  // A closed file's handle is not given out again.
  EXPECT_EQ(mStore->CloseFile(first, false), 0);
  const IniFileHandle reopened = Open("UserSettings.ini");
  EXPECT_NE(reopened, first);
  EXPECT_NE(reopened, other);
}

TEST_F(IniFileManagerTest, UnknownHandles) {
  const IniFileHandle unknown = Open("UserSettings.ini") + 100;
  int32_t number = 5;
  uint32_t count = 9;
  WString text(u"x");
  EXPECT_EQ(mStore->GetInt(unknown, u"k", 42, number), -3);
  EXPECT_EQ(number, 42);
  EXPECT_EQ(mStore->GetString(unknown, u"k", u"default", text), -3);
  EXPECT_EQ(text, u"default");
  EXPECT_FALSE(mStore->KeyExists(unknown, u"k"));
  const std::function<int32_t()> calls[] = {
      [&] { return mStore->SaveFile(unknown); },
      [&] { return mStore->CloseFile(unknown, true); },
      [&] { return mStore->SetInt(unknown, u"k", 1); },
      [&] { return mStore->SetString(unknown, u"k", u"v"); },
      [&] { return mStore->GetChildCount(unknown, u"", count); },
      [&] { return mStore->GetChildName(unknown, u"", 0, text); },
      [&] { return mStore->GetArrayCount(unknown, u"k", count); },
      [&] { return mStore->SetArrayCount(unknown, u"k", 1); },
      [&] { return mStore->GetArrayString(unknown, u"k", 0, text); },
      [&] { return mStore->SetArrayString(unknown, u"k", 0, u"v"); },
      [&] { return mStore->RemoveArrayItem(unknown, u"k", 0); },
  };
  for (const auto& call : calls) {
    EXPECT_EQ(call(), -3);
  }
}

TEST_F(IniFileManagerTest, GetIntByType) {
  const IniFileHandle handle =
      OpenWith("UserSettings.ini", "<key>Real</key><real>2.9</real><key>Negative</key><real>-2.9</real>"
                                   "<key>Huge</key><real>1e20</real><key>Yes</key><true/>"
                                   "<key>Text</key><string>12</string><key>Hex</key><integer>0x10</integer>");
  const std::pair<const char16_t*, int32_t> expected[] = {
      {u"Real", 2}, {u"Negative", -2}, {u"Huge", INT32_MAX}, {u"Yes", 1}, {u"Text", 0},
      {u"Hex", 16}, {u"", 0},          {u"Missing", 77},
  };
  for (const auto& [key, value] : expected) {
    int32_t out = -1;
    EXPECT_EQ(mStore->GetInt(handle, key, 77, out), 0);
    EXPECT_EQ(out, value) << WString(key).ToUTF8().GetBuffer();
  }
}

TEST_F(IniFileManagerTest, StringsAndKeys) {
  const IniFileHandle handle = OpenWith("UserSettings.ini", "<key>Count</key><integer>3</integer>");
  WString text;
  EXPECT_EQ(mStore->GetString(handle, u"Count", u"default", text), 0);
  EXPECT_EQ(text, u""); // another type: neutral, not the default
  EXPECT_EQ(mStore->GetString(handle, u"Missing", u"default", text), 0);
  EXPECT_EQ(text, u"default");

  const WString folder(u"/home/\u00e9l\u00e8ve/Presets & <Sets>/\U0001F3B9");
  EXPECT_EQ(mStore->SetString(handle, u"PresetLastFolderPath", folder), 0);
  EXPECT_EQ(mStore->GetString(handle, u"presetlastfolderpath", u"", text), 0);
  EXPECT_EQ(text, folder);
  EXPECT_TRUE(mStore->KeyExists(handle, u"PRESETLASTFOLDERPATH"));
  EXPECT_FALSE(mStore->KeyExists(handle, u"Other"));

  // Text XML cannot carry would make the whole file unreadable: refused, nothing created.
  EXPECT_EQ(mStore->SetString(handle, u"Bell", u"ding\u0007"), -1);
  EXPECT_EQ(mStore->SetInt(handle, u"Esc\u001B", 1), -1);
  EXPECT_FALSE(mStore->KeyExists(handle, u"Bell"));
}

TEST_F(IniFileManagerTest, LongValuesSurviveASaveAndALoad) {
  const IniFileHandle handle = Open("UserSettings.ini");
  WString longText;
  for (int i = 0; i < 3000; ++i) {
    longText += WString(u"\u00e9/abc");
  }
  EXPECT_EQ(mStore->SetString(handle, u"PresetLastFolderPath", longText), 0);
  EXPECT_EQ(mStore->CloseFile(handle, true), 0);

  const IniFileHandle reopened = Open("UserSettings.ini");
  WString text;
  EXPECT_EQ(mStore->GetString(reopened, u"PresetLastFolderPath", u"", text), 0);
  EXPECT_EQ(text.GetLength(), longText.GetLength());
  EXPECT_EQ(text, longText);
}

TEST_F(IniFileManagerTest, ChildrenOfDictsAndArrays) {
  const IniFileHandle handle =
      OpenWith("UserSettings.ini", "<key>Group</key><dict><key>A</key><integer>1</integer><key>B</key><string/></dict>"
                                   "<key>Items</key><array><string>x</string><integer>2</integer></array>");
  uint32_t count = 9;
  WString name(u"stale");
  EXPECT_EQ(mStore->GetChildCount(handle, u"Group", count), 0);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(mStore->GetChildCount(handle, u"Group.A", count), 0);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(mStore->GetChildCount(handle, u"Missing", count), -1);
  EXPECT_EQ(mStore->GetChildName(handle, u"Group", 1, name), 0);
  EXPECT_EQ(name, u"B");
  EXPECT_EQ(mStore->GetChildName(handle, u"Items", 0, name), 0);
  EXPECT_EQ(name, u""); // array items have no key
  EXPECT_EQ(mStore->GetChildName(handle, u"Group", 2, name), -1);
  EXPECT_EQ(mStore->GetChildName(handle, u"Missing", 0, name), -1);

  EXPECT_EQ(mStore->GetArrayCount(handle, u"Items", count), 0);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(mStore->GetArrayCount(handle, u"Group", count), -1);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(mStore->GetArrayString(handle, u"Items", 0, name), 0);
  EXPECT_EQ(name, u"x");
  EXPECT_EQ(mStore->GetArrayString(handle, u"Items", 1, name), 0);
  EXPECT_EQ(name, u"");
  EXPECT_EQ(mStore->GetArrayString(handle, u"Items", 2, name), -1);
  EXPECT_EQ(mStore->GetArrayString(handle, u"Group", 0, name), -1);
}

TEST_F(IniFileManagerTest, ArraysGrowWithEmptyStrings) {
  const IniFileHandle handle = Open("UserSettings.ini");
  EXPECT_EQ(mStore->SetArrayString(handle, u"Recent", 3, u"Bass.QuorinZTRPreset"), 0);
  uint32_t count = 0;
  EXPECT_EQ(mStore->GetArrayCount(handle, u"Recent", count), 0);
  EXPECT_EQ(count, 4u);
  WString item(u"stale");
  for (uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(mStore->GetArrayString(handle, u"Recent", i, item), 0);
    EXPECT_EQ(item, u"");
  }
  EXPECT_EQ(mStore->GetArrayString(handle, u"Recent", 3, item), 0);
  EXPECT_EQ(item, u"Bass.QuorinZTRPreset");

  EXPECT_EQ(mStore->RemoveArrayItem(handle, u"Recent", 0), 0);
  EXPECT_EQ(mStore->RemoveArrayItem(handle, u"Recent", 3), -1);
  EXPECT_EQ(mStore->GetArrayString(handle, u"Recent", 2, item), 0);
  EXPECT_EQ(item, u"Bass.QuorinZTRPreset");

  EXPECT_EQ(mStore->SetArrayCount(handle, u"Recent", 1), 0);
  EXPECT_EQ(mStore->GetArrayCount(handle, u"Recent", count), 0);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(mStore->SetArrayString(handle, u"Recent", 0xFFFFFFFF, u"x"), -1);

  // Another value under the key is replaced by the array.
  EXPECT_EQ(mStore->SetInt(handle, u"Model", 2), 0);
  EXPECT_EQ(mStore->SetArrayCount(handle, u"Model", 2), 0);
  EXPECT_EQ(mStore->GetArrayCount(handle, u"Model", count), 0);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(mStore->RemoveArrayItem(handle, u"Missing", 0), -1);
}

TEST_F(IniFileManagerTest, ThePrefixNameBecomesOneDict) {
  IniFileHandle handle = 0;
  ASSERT_EQ(mStore->Load(WString((mFolder / "AppSettings.ini").c_str()), u"a.b", u"App", handle), 0);
  EXPECT_EQ(mStore->SetInt(handle, u"Key", 1), 0);
  EXPECT_EQ(mStore->SaveFile(handle), 0);
  EXPECT_NE(ReadFile(mFolder / "AppSettings.ini").find("<key>a_b</key><dict>\n\t\t<key>Key</key>"), std::string::npos);
}

TEST_F(IniFileManagerTest, KeysDeeperThanTheFileCanHoldAreRefused) {
  const IniFileHandle handle = Open("UserSettings.ini");
  WString key(u"k");
  for (int depth = 3; depth <= 63; ++depth) { // the root and the prefix dict come first
    key += WString(u".k");
  }
  EXPECT_EQ(mStore->SetInt(handle, key, 1), 0);
  EXPECT_EQ(mStore->SetInt(handle, key + WString(u".k"), 1), -1);
  EXPECT_EQ(mStore->SaveFile(handle), 0);
}

TEST_F(IniFileManagerTest, CloseAndSaveAll) {
  const std::string userPath = mFolder / "UserSettings.ini";
  const std::string appPath = mFolder / "AppSettings.ini";
  const IniFileHandle user = Open("UserSettings.ini");
  EXPECT_EQ(mStore->SetInt(user, u"DeviceModel", 2), 0);
  EXPECT_EQ(mStore->CloseFile(user, false), 0); // discards
  EXPECT_FALSE(std::filesystem::exists(userPath));
  EXPECT_EQ(mStore->SaveFile(user), -3);

  const IniFileHandle reopened = Open("UserSettings.ini");
  const IniFileHandle app = Open("AppSettings.ini");
  EXPECT_EQ(mStore->SetInt(reopened, u"DeviceModel", 2), 0);
  EXPECT_EQ(mStore->Initialize(u""), 0);
  EXPECT_EQ(mStore->SaveAndCloseAll(), 0);
  EXPECT_NE(ReadFile(userPath).find("<key>DeviceModel</key><integer>2</integer>"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(appPath)); // never changed
  EXPECT_EQ(mStore->SaveFile(app), -3);
}

TEST_F(IniFileManagerTest, AnApplicationNameWithMarkupIsEscaped) {
  IniFileHandle handle = 0;
  ASSERT_EQ(mStore->Load(WString((mFolder / "UserSettings.ini").c_str()), u"1_0_0", u"Q & <Z>", handle), 0);
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(mStore->SetInt(handle, u"CurrentSkinIndex", 1), 0);
  EXPECT_EQ(mStore->SaveFile(handle), 0);
  const std::unique_ptr<XNode> root = XNode::LoadFile((mFolder / "UserSettings.ini").c_str(), nullptr);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->FindPath("Application", 0)->GetText(), "Q & <Z>");
}

TEST_F(IniFileManagerTest, ACorruptFileIsKeptAsBackup) {
  const std::string path = mFolder / "UserSettings.ini";
  const std::string corrupt = "<plist><dict><key>1_0_0</key><dict><key>DeviceModel</key><integer>2</int";
  WriteFile(path, corrupt);
  testing::internal::CaptureStderr();
  const IniFileHandle handle = Open("UserSettings.ini");
  const std::string messages = testing::internal::GetCapturedStderr();
  EXPECT_NE(messages.find(path + ":1: "), std::string::npos);
  EXPECT_NE(messages.find(path + ".bak"), std::string::npos);
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(ReadFile(path + ".bak"), corrupt);
  EXPECT_FALSE(std::filesystem::exists(path));

  int32_t model = -1;
  EXPECT_EQ(mStore->GetInt(handle, u"DeviceModel", 1, model), 0);
  EXPECT_EQ(model, 1);
  EXPECT_EQ(mStore->SetInt(handle, u"CurrentSkinIndex", 0), 0);
  EXPECT_EQ(mStore->SaveFile(handle), 0);
  EXPECT_EQ(ReadFile(path), kNewSettingsDocument);
  EXPECT_EQ(ReadFile(path + ".bak"), corrupt);
}

TEST_F(IniFileManagerTest, AnInterruptedSaveLeavesTheOldFile) {
  const std::string path = mFolder / "UserSettings.ini";
  WriteFile(path, kNewSettingsDocument);
  const IniFileHandle handle = Open("UserSettings.ini");
  WString big;
  for (int i = 0; i < 2000; ++i) {
    big += WString(u"0123456789");
  }
  EXPECT_EQ(mStore->SetString(handle, u"Notes", big), 0);
  {
    SettingsTest::FileSizeLimit full(4096);
    EXPECT_EQ(mStore->SaveFile(handle), -1);
  }
  EXPECT_EQ(ReadFile(path), kNewSettingsDocument);
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

  // Still modified: the next save writes it.
  EXPECT_EQ(mStore->SaveFile(handle), 0);
  EXPECT_NE(ReadFile(path).find("<key>Notes</key>"), std::string::npos);
}

} // namespace
