#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "Platform/Registry/RegistryFile.h"
#include "Support/TempFolder.h"

namespace {

namespace Registry = QZ::Platform::Registry;

class RegistryFileTest : public ::testing::Test {
protected:
  void SetUp() override { ::setenv("QZ_REGISTRY_FILE", mPath.c_str(), 1); }
  void TearDown() override { ::unsetenv("QZ_REGISTRY_FILE"); }
  void Write(const std::string& bytes) { std::ofstream(mPath, std::ios::binary) << bytes; }

  static std::u16string StringOf(const Registry::Value& value) {
    std::u16string text;
    for (size_t i = 0; i + 1 < value.data.size(); i += 2) {
      text.push_back(static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8)));
    }
    return text;
  }

  const QZTest::TempFolder mFolder;
  const std::string mPath = mFolder / "registry.reg";
};

const char* const kDrivers = "Windows Registry Editor Version 5.00\r\n"
                             "\r\n"
                             "[HKEY_LOCAL_MACHINE\\Software\\Orbaxa\\Audio\\Drivers\\Quorin ZTR]\r\n"
                             "\"SoftwarePath\"=\"/opt/quorin \\\"ztr\\\"\\\\lib\"\r\n"
                             "\"DeviceInterfaceLib\"=\"libDeviceControlClient.so\"\r\n"
                             "\"Flags\"=dword:0000001f\r\n"
                             "\"Blob\"=hex:01,02,\\\r\n"
                             "  03,ff\r\n"
                             "this line is not a value\r\n"
                             "\"Broken\"=dword:xyz\r\n"
                             "@=\"default\"\r\n"
                             "\r\n"
                             "[HKEY_LOCAL_MACHINE\\Software\\Orbaxa\\Audio\\Drivers\\Other]\r\n";

TEST_F(RegistryFileTest, ReadsStringDwordBinaryAndDefaultValues) {
  Write(kDrivers);
  Registry::Key key;
  ASSERT_EQ(Registry::OpenKey(Registry::Root::LocalMachine, u"Software\\Orbaxa\\Audio\\Drivers\\Quorin ZTR", key),
            Registry::kSuccess);
  Registry::Value value;
  ASSERT_EQ(key.QueryValue(u"SoftwarePath", value), Registry::kSuccess);
  EXPECT_EQ(value.type, Registry::kTypeString);
  EXPECT_EQ(StringOf(value), std::u16string(u"/opt/quorin \"ztr\"\\lib") + u'\0');

  ASSERT_EQ(key.QueryValue(u"flags", value), Registry::kSuccess);
  EXPECT_EQ(value.type, Registry::kTypeDword);
  EXPECT_EQ(value.data, (std::vector<uint8_t>{0x1F, 0, 0, 0}));

  ASSERT_EQ(key.QueryValue(u"Blob", value), Registry::kSuccess);
  EXPECT_EQ(value.type, Registry::kTypeBinary);
  EXPECT_EQ(value.data, (std::vector<uint8_t>{1, 2, 3, 0xFF}));

  ASSERT_EQ(key.QueryValue(u"", value), Registry::kSuccess);
  EXPECT_EQ(StringOf(value), std::u16string(u"default") + u'\0');
  EXPECT_EQ(key.QueryValue(u"Broken", value), Registry::kNotFound);
  EXPECT_EQ(key.QueryValue(u"Missing", value), Registry::kNotFound);
}

TEST_F(RegistryFileTest, KeysOpenCaselesslyAndListTheirChildrenInFileOrder) {
  Write(kDrivers);
  Registry::Key drivers;
  ASSERT_EQ(Registry::OpenKey(Registry::Root::LocalMachine, u"SOFTWARE\\orbaxa\\AUDIO\\Drivers\\", drivers),
            Registry::kSuccess);
  EXPECT_EQ(drivers.SubKeyCount(), 2u);
  std::u16string name;
  ASSERT_EQ(drivers.EnumKey(0, name), Registry::kSuccess);
  EXPECT_EQ(name, u"Quorin ZTR");
  ASSERT_EQ(drivers.EnumKey(1, name), Registry::kSuccess);
  EXPECT_EQ(name, u"Other");
  EXPECT_EQ(drivers.EnumKey(2, name), Registry::kNoMoreItems);

  Registry::Key elsewhere;
  EXPECT_EQ(Registry::OpenKey(Registry::Root::CurrentUser, u"Software\\Orbaxa", elsewhere), Registry::kNotFound);
  EXPECT_FALSE(elsewhere.IsOpen());
  EXPECT_EQ(Registry::OpenKey(static_cast<Registry::Root>(4), u"Software", elsewhere), Registry::kNotFound);
}

TEST_F(RegistryFileTest, AMissingFileIsAnEmptyRegistry) {
  Registry::Key key;
  EXPECT_EQ(Registry::OpenKey(Registry::Root::LocalMachine, u"Software", key), Registry::kNotFound);
  EXPECT_EQ(key.SubKeyCount(), 0u);
}

TEST_F(RegistryFileTest, ReadsUtf16ExportsWithByteOrderMark) {
  const std::u16string text = u"\xFEFFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_USERS\\S\x00e9t]\r\n"
                              u"\"Name\"=\"\x00e9\xD83D\xDE00\"\r\n";
  std::string bytes;
  for (char16_t unit : text.substr(1)) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  Write("\xFF\xFE" + bytes);
  Registry::Key key;
  ASSERT_EQ(Registry::OpenKey(Registry::Root::Users, u"S\x00e9t", key), Registry::kSuccess);
  Registry::Value value;
  ASSERT_EQ(key.QueryValue(u"Name", value), Registry::kSuccess);
  EXPECT_EQ(StringOf(value), std::u16string(u"\x00e9\xD83D\xDE00") + u'\0');
}

TEST_F(RegistryFileTest, MalformedTextNeverStopsTheRest) {
  Write("[HKEY_LOCAL_MACHINE\\A]\n\"Bad\xC0\x80Name\"=\"x\"\n\"Open=\"never closed\n[-HKEY_LOCAL_MACHINE\\Gone]\n"
        "\"Ignored\"=\"y\"\n[]\n[HKEY_LOCAL_MACHINE\\B]\n\"Ok\"=hex(2):41,00,00,00\n");
  Registry::Key b;
  ASSERT_EQ(Registry::OpenKey(Registry::Root::LocalMachine, u"B", b), Registry::kSuccess);
  Registry::Value value;
  ASSERT_EQ(b.QueryValue(u"Ok", value), Registry::kSuccess);
  EXPECT_EQ(value.type, 2u);
  Registry::Key a;
  ASSERT_EQ(Registry::OpenKey(Registry::Root::LocalMachine, u"A", a), Registry::kSuccess);
  EXPECT_EQ(a.QueryValue(u"Bad\xFFFD\xFFFDName", value), Registry::kSuccess);
  Registry::Key gone;
  EXPECT_EQ(Registry::OpenKey(Registry::Root::LocalMachine, u"Gone", gone), Registry::kNotFound);
}

} // namespace
